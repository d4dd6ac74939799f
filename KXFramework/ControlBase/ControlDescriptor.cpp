#include "ControlBase/ControlDescriptor.h"

namespace KX {

RCPtr<LControlDescriptor> LControlDescriptor::Clone(const String& newName) const
{
    RCPtr<LControlDescriptor> clone = Create(mClassName, newName.IsEmpty() ? mName : newName, mParent);
    clone->mChildren = mChildren;
    clone->mSkinDescriptor = mSkinDescriptor;
    clone->mLayoutDescriptor = mLayoutDescriptor;
    clone->mCreateParams = mCreateParams;
    clone->mCreateFunction = mCreateFunction;
    return clone;
}

KXRESULT LControlDescriptor::SetLayoutDescriptor(const ConstRCPtr<LLayoutDescriptor>& layout)
{
    mLayoutDescriptor = layout;
    return S_OK;
}

KXRESULT LControlDescriptor::SetSkinDescriptor(const ConstRCPtr<LSkinDescriptor>& skin)
{
    mSkinDescriptor = skin;
    return S_OK;
}

KXRESULT LControlDescriptor::SetCreateParams(const ConstRCPtr<LStringTable>& params)
{
    mCreateParams = params;
    return S_OK;
}

KXRESULT LControlDescriptor::AddChild(const RCPtr<LControlDescriptor>& child)
{
    return mChildren.AddItem(child);
}

RCPtr<LControlDescriptor> LControlDescriptor::FindChild(const String& name) const
{
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControlDescriptor>& child = mChildren.GetAt(i);
        if (child && child->GetName() == name)
            return child;
    }
    return RCPtr<LControlDescriptor>();
}

} // namespace KX

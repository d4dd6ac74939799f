// KX::LControlDescriptor: the description of one control in a skin: class,
// name, placement, skin record, create parameters and the descriptions of its
// children. Controls are made from descriptors by the control factory.
//
// Contract:
// - The parent pointer is not counted: the factory's skins own the tree from
//   the top, and a description lives at least as long as its parent.
// - The create function is looked up once per descriptor by the factory and
//   cached here.
// - Clone shares everything but the name: the same children, skin record,
//   layout record and create parameters.
#pragma once

#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/StringTable.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LControl;
class LControlDescriptor;

// Makes a control of one class: out receives it (null on failure), parent may
// be null. Answers out.
using ControlCreateFunction = RCPtr<LControl>& (*)(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                                   const RCPtr<LControlDescriptor>& descriptor);

class LControlDescriptor : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    static RCPtr<LControlDescriptor> Create(const String& className, const String& name,
                                            LControlDescriptor* parent)
    {
        return RCPtr<LControlDescriptor>(new LControlDescriptor(className, name, parent));
    }

    // A description like this one under another name (this one's name when
    // the new name is empty).
    RCPtr<LControlDescriptor> Clone(const String& newName) const;

    KXRESULT SetLayoutDescriptor(const ConstRCPtr<LLayoutDescriptor>& layout);
    KXRESULT SetSkinDescriptor(const ConstRCPtr<LSkinDescriptor>& skin);
    KXRESULT SetCreateParams(const ConstRCPtr<LStringTable>& params);
    KXRESULT AddChild(const RCPtr<LControlDescriptor>& child);
    void SetCreateFunction(ControlCreateFunction function) { mCreateFunction = function; }

    const String& GetClassName() const { return mClassName; }
    const String& GetName() const { return mName; }
    LControlDescriptor* GetParent() const { return mParent; }
    RCPtrArray<LControlDescriptor>& GetChildren() { return mChildren; }
    const RCPtrArray<LControlDescriptor>& GetChildren() const { return mChildren; }
    const ConstRCPtr<LSkinDescriptor>& GetSkinDescriptor() const { return mSkinDescriptor; }
    const ConstRCPtr<LLayoutDescriptor>& GetLayoutDescriptor() const { return mLayoutDescriptor; }
    const ConstRCPtr<LStringTable>& GetCreateParams() const { return mCreateParams; }
    ControlCreateFunction GetCreateFunction() const { return mCreateFunction; }

    // The direct child of that name (the last one when several share it), or null.
    RCPtr<LControlDescriptor> FindChild(const String& name) const;

protected:
    LControlDescriptor(const String& className, const String& name, LControlDescriptor* parent)
        : mClassName(className), mName(name), mParent(parent)
    {
    }
    ~LControlDescriptor() override = default;

private:
    String mClassName;
    String mName;
    LControlDescriptor* mParent;
    RCPtrArray<LControlDescriptor> mChildren;
    ConstRCPtr<LSkinDescriptor> mSkinDescriptor;
    ConstRCPtr<LLayoutDescriptor> mLayoutDescriptor;
    ConstRCPtr<LStringTable> mCreateParams;
    ControlCreateFunction mCreateFunction = nullptr;
};

} // namespace KX

// Creation from descriptors: the steps of the creation sequence that every
// create function runs (LControl::CreateControlOfClass), and re-applying a
// description to a live control when the skin changes. The looks, the font,
// the label text and the create parameters join ApplyControlDescriptor and
// ApplyCreateParams with the looks and the text.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/ControlFactory.h"
#include "Notification/NotificationCenterManager.h"

namespace KX {

KXRESULT LControl::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!descriptor)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    mDescriptor = descriptor;
    SetLayoutDescriptor(descriptor->GetLayoutDescriptor());
    if (mRootWindow)
        EditLayout().mIsVisible = true; // a top control is always shown
    mRect = RectT<double>();
    RecalcLayout();
    if (!mCreated) {
        // The conditions start from what the new control is.
        mConditionsParam->mOldConditions = mConditionsParam->mNewConditions;
        mConditionsParam->mNewConditions = ComputeConditions();
        mConditionsParam->mPoint = mDragOrigin;
    }
    return S_OK;
}

KXRESULT LControl::CreateChildren(const RCPtr<LControlDescriptor>& descriptor)
{
    mChildren.RemoveAll();
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (descriptor && application && application->GetControlFactory()) {
        const RCPtr<LControlFactory> factory = application->GetControlFactory();
        const RCPtr<LControl> self(this);
        const RCPtrArray<LControlDescriptor>& children = descriptor->GetChildren();
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            const RCPtr<LControlDescriptor>& child = children.GetAt(i);
            String deferred;
            if (child->GetCreateParams() && child->GetCreateParams()->GetString(L"DEFER_CREATE", deferred)) {
                if (deferred.ToLower().Trim() == L"true")
                    continue;
            }
            // The child joins the tree through its constructor.
            RCPtr<LControl> created;
            factory->CreateControl(created, self, child);
        }
    }
    RecalcLayout();
    return S_OK;
}

KXRESULT LControl::Initialize()
{
    if (const RCPtr<LNotificationCenterManager>& manager = LNotificationCenterManager::GetInstance())
        mNotificationCenter = manager->GetApplicationCenter();
    mHandler = new Handler(this);
    ApplyCreateParams();
    if (!mStringTable)
        return S_OK;
    mStringTable->GetString(L"TOOLTIP", mToolTipText);
    return S_OK;
}

namespace {

// A boolean create parameter: its text, lower-cased and trimmed, is "true".
bool IsTrue(const StringT<wchar_t, char>& text)
{
    return text.ToLower().Trim() == L"true";
}

} // namespace

KXRESULT LControl::ApplyCreateParams()
{
    const ConstRCPtr<LStringTable> params = mDescriptor ? mDescriptor->GetCreateParams() : ConstRCPtr<LStringTable>();
    if (!params) {
        SetFocusDisabled(GetLayout().mTabStop < 0);
        return S_OK;
    }
    String text;
    if (params->GetString(L"INITIAL_VALUE", text))
        SetNormalizedValue(text.AsDouble());
    if (params->GetString(L"NOT_FOCUSABLE", text))
        SetFocusDisabled(IsTrue(text));
    else
        SetFocusDisabled(GetLayout().mTabStop < 0);
    if (params->GetString(L"USE_PARENT_TOOLTIP", text))
        mUseParentToolTip = IsTrue(text);
    if (params->GetString(L"WANTS_TAB", text))
        mWantsTab = IsTrue(text);
    return S_OK;
}

KXRESULT LControl::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!child || !descriptor)
        return E_FAIL;
    const KXRESULT result = child->SetParent(RCPtr<LControl>(this));
    if (result >= 0)
        child->ApplyControlDescriptor(descriptor);
    return result;
}

KXRESULT LControl::OnCreated()
{
    return S_OK;
}

} // namespace KX

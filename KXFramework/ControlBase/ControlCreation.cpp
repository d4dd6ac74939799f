// Creation from descriptors: the steps of the creation sequence that every
// create function runs (LControl::CreateControlOfClass), and re-applying a
// description to a live control when the skin changes: the live control and
// its children that the new description still names keep their objects and
// their state, take the new layout, looks and font, and are drawn anew; the
// children it no longer names are released; nothing is created.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/Look.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"
#include "System/DebugOutput.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>
#include <exception>
#include <ostream>

namespace KX {

namespace {

// A boolean create parameter: its text, lower-cased and trimmed, is "true".
bool IsTrue(const StringT<wchar_t, char>& text)
{
    return text.ToLower().Trim() == L"true";
}

// The create parameter's text; false when the description has none of it.
bool GetCreateParam(const RCPtr<LControlDescriptor>& descriptor, const wchar_t* name,
                    StringT<wchar_t, char>& text)
{
    return descriptor && descriptor->GetCreateParams() && descriptor->GetCreateParams()->GetString(name, text);
}

// A line on the debug output for a child description that made no control:
// its name, its class and why.
void ReportSkippedChild(const RCPtr<LControlDescriptor>& descriptor, const char* reason)
{
    std::wostream& stream = DebugOutput::GetInstance().GetWideStream();
    stream << L"KX::LControl::CreateChildren : child \"" << descriptor->GetName().GetData() << L"\" of class \""
           << descriptor->GetClassName().GetData() << L"\" not created : "
           << StringT<wchar_t, char>(reason ? reason : "").GetData() << L"\n";
    stream.flush();
}

// The X or Y placement of a layout with its kinds, anchors, names and docking
// kept, and absolute values in place of the relative ones.
void FixedAxis(const LLayoutDescriptor& layout, int32_t axis, double position, double size,
               LLayoutDescriptor::PositionSpec& positionSpec, bool& docked, LLayoutDescriptor::SizeSpec& sizeSpec)
{
    layout.GetAxisSpec(axis, positionSpec, docked, sizeSpec);
    positionSpec.mRel = 0.0f;
    positionSpec.mAbs = position;
    sizeSpec.mRel = 0.0f;
    sizeSpec.mAbs = size;
}

// The placement that fills the root window's client area on one axis.
void FillingAxis(const LLayoutDescriptor& layout, int32_t axis, LLayoutDescriptor::PositionSpec& positionSpec,
                 bool& docked, LLayoutDescriptor::SizeSpec& sizeSpec)
{
    layout.GetAxisSpec(axis, positionSpec, docked, sizeSpec);
    positionSpec = LLayoutDescriptor::PositionSpec();
    positionSpec.mKind = LLayoutDescriptor::PositionClient;
    sizeSpec = LLayoutDescriptor::SizeSpec();
    sizeSpec.mKind = LLayoutDescriptor::SizeClient;
    sizeSpec.mRel = 1.0f;
    sizeSpec.mAbs = 0.0;
}

} // namespace

KXRESULT LControl::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!descriptor)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const bool created = mCreated;

    // A live control keeps its visibility and enabled state across skins, and
    // leaves its ancestors' unclipped counts until its new layout is known.
    bool wasVisible = true;
    bool wasEnabled = true;
    if (created) {
        wasVisible = GetLayout().mIsVisible;
        wasEnabled = GetLayout().mEnabled;
        SetClipToParent(true);
    }

    // The control's own copy of the layout (which also counts it among its
    // ancestors' unclipped descendants when it does not clip).
    mDescriptor = descriptor;
    SetLayoutDescriptor(descriptor->GetLayoutDescriptor());

    if (mRootWindow) {
        EditLayout().mIsVisible = true; // a top control is always shown
        if (created)
            KeepWindowPlace();
    }

    if (created) {
        const bool visible = GetLayout().mIsVisible;
        if (visible != wasVisible) {
            EditLayout().mIsVisible = wasVisible;
            SetVisible(visible);
        }
        EditLayout().mEnabled = wasEnabled;
        String notFocusable;
        if (GetCreateParam(descriptor, L"NOT_FOCUSABLE", notFocusable))
            SetFocusDisabled(IsTrue(notFocusable));
        else
            SetFocusDisabled(GetLayout().mTabStop < 0);
    }

    ApplyLooks(descriptor);
    ApplyFont(descriptor);

    // The label text. A live control writes its text into the new looks even
    // though it does not change.
    if (!created) {
        if (mStringTable)
            ChangeText(GetString(L"LABEL"), false);
    } else {
        const String text = mText;
        mText += String(L"~");
        ChangeText(text, false);
    }

    RCPtrArray<LControl> previousChildren = mChildren.Snapshot();
    mChildren.RemoveAll();
    mRect = RectT<double>();
    RecalcLayout();

    if (created) {
        ReattachChildren(descriptor, previousChildren);
        previousChildren.SetCount(0); // the children the new skin does not name go
        OnCreated();
        mChildren.Touch();
        if (mRootWindow)
            FillRootWindow();
    } else {
        SelectLook(0, true);
        // The conditions start from what the new control is.
        mConditionsParam->mOldConditions = mConditionsParam->mNewConditions;
        mConditionsParam->mNewConditions = ComputeConditions();
        mConditionsParam->mPoint = mDragOrigin;
    }
    return S_OK;
}

void LControl::KeepWindowPlace()
{
    // The window stays where it is, at its current size, unless the control
    // asks to move it.
    const RCPtr<LRootWindow> window = mRootWindow;
    const RectT<long> client = window->GetClientRect();
    RectT<double> rect(ClampToIntegerLimit(static_cast<double>(client.x)),
                       ClampToIntegerLimit(static_cast<double>(client.y)), mRect.width, mRect.height);
    if (AdjustRootWindowRect(rect) == S_FALSE)
        window->SetWindowRect(RectT<long>(RoundDoubleToInt(rect.x), RoundDoubleToInt(rect.y),
                                          RoundDoubleToInt(rect.width), RoundDoubleToInt(rect.height)));
    LLayoutDescriptor::PositionSpec xPosition, yPosition;
    LLayoutDescriptor::SizeSpec xSize, ySize;
    bool xDocked = false, yDocked = false;
    FixedAxis(GetLayout(), 0, rect.x, mRect.width, xPosition, xDocked, xSize);
    FixedAxis(GetLayout(), 1, rect.y, mRect.height, yPosition, yDocked, ySize);
    SetPlacementXY(xPosition, xDocked, xSize, yPosition, yDocked, ySize);
}

void LControl::FillRootWindow()
{
    LLayoutDescriptor::PositionSpec xPosition, yPosition;
    LLayoutDescriptor::SizeSpec xSize, ySize;
    bool xDocked = false, yDocked = false;
    FillingAxis(GetLayout(), 0, xPosition, xDocked, xSize);
    FillingAxis(GetLayout(), 1, yPosition, yDocked, ySize);
    SetPlacementXY(xPosition, xDocked, xSize, yPosition, yDocked, ySize);
    RecalcLayout();
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
}

void LControl::ApplyLooks(const RCPtr<LControlDescriptor>& descriptor)
{
    // One look per slot of the skin's look list, empty slots included, so
    // that look indices stay those of the list. The weights stay.
    mLooks.SetCount(0);
    const ConstRCPtr<LSkinDescriptor>& skin = descriptor->GetSkinDescriptor();
    if (!skin || !skin->mLookList)
        return;
    const bool wrap = GetLayout().mTextOverflowXType == LLayoutDescriptor::OverflowXWrap;
    const LLookList& list = *skin->mLookList;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        RCPtr<LLook> look;
        if (const RCPtr<LLookDescriptor>& entry = list.GetAt(i))
            LLook::Create(look, ConstRCPtr<LLookDescriptor>(entry.Get()), wrap);
        AddLook(look);
    }
}

void LControl::ApplyFont(const RCPtr<LControlDescriptor>& descriptor)
{
    const ConstRCPtr<LSkinDescriptor>& skin = descriptor->GetSkinDescriptor();
    if (!skin) {
        mFontInheritsFromParent = false;
        mFontSizeIsRelative = false;
        SetFontFromSpec(String(), 0.0f, -1, false);
        return;
    }
    mFontInheritsFromParent = skin->mFontInheritsFromParent;
    mFontSizeIsRelative = skin->mFontSizeIsRelative;
    SetFontFromSpec(skin->mFontFamily, skin->mFontSize, skin->mFontStyle, mFontSizeIsRelative);
}

void LControl::ReattachChildren(const RCPtr<LControlDescriptor>& descriptor, RCPtrArray<LControl>& previous)
{
    {
        // The children relayout once at the end, not with every re-attach.
        mLayoutSuspended = true;
        const RCPtrArray<LControlDescriptor>& children = descriptor->GetChildren();
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            const RCPtr<LControlDescriptor>& childDescriptor = children.GetAt(i);
            for (int32_t j = 0; j < previous.GetCount(); ++j) {
                if (previous.GetAt(j)->mName == childDescriptor->GetName()) {
                    RCPtr<LControl> child;
                    previous.RemoveItem(j, child);
                    AddChild(child, childDescriptor);
                    break;
                }
            }
        }
        mLayoutSuspended = false;
    }
    if (mChildren.GetCount() > 0)
        RecalcLayout();
    UpdateConditions();
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
            if (GetCreateParam(child, L"DEFER_CREATE", deferred) && IsTrue(deferred))
                continue;
            // The child joins the tree through its constructor; a creator
            // that answers null is skipped. A child that cannot be made (its
            // class is not registered, or a step of its creation throws) is
            // left out and reported; its siblings are still made.
            const int32_t childrenBefore = mChildren.GetCount();
            try {
                RCPtr<LControl> created;
                factory->CreateControl(created, self, child);
            } catch (const std::exception& error) {
                // What joined the tree before the failure goes with it.
                for (int32_t last = mChildren.GetCount() - 1; last >= childrenBefore; --last) {
                    if (last < mChildren.GetCount()) {
                        const RCPtr<LControl> halfMade = mChildren.GetAt(last, 0);
                        halfMade->Detach();
                    }
                }
                ReportSkippedChild(child, error.what());
            }
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
    // Local hot keys act while the focus is on this control or a sibling:
    // the parent offers keys to its children as "NID_SIBLING_KEY", and the
    // control offers its own keys to itself the same way.
    mLocalHotKeys.Load(mStringTable, String(L"LHK"));
    if (mParent && !mLocalHotKeys.IsEmpty()) {
        mHandler->AddHandler(&LControl::OnLocalHotKey, RCPtr<LNotificationDistributor>(mParent.Get()),
                             NID_SIBLING_KEY);
        mHandler->AddDirectHandler(&LControl::OnLocalHotKey, NID_SIBLING_KEY);
    }
    return S_OK;
}

KXRESULT LControl::OnLocalHotKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LSiblingKeyParam> param =
        notification ? RCPtr<LSiblingKeyParam>::DynamicCast(notification->GetData()) : RCPtr<LSiblingKeyParam>();
    if (!param || !IsUsable())
        return S_FALSE;
    const String bound = mLocalHotKeys.FindNotificationID(param->mKey);
    if (bound.IsEmpty())
        return S_FALSE;
    param->mResult = 0;
    RCPtr<LNotification> hotKey;
    LNotification::Create(hotKey, bound.GetData(), RCPtr<LRefCountedObject>(param.Get()));
    if (hotKey)
        ReceiveNotification(RCPtr<LNotificationDistributor>(), hotKey);
    return S_FALSE;
}

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

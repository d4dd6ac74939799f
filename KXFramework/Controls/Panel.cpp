// The panel: a scroll view that hands its parent's sibling keys to its own
// children, keeps Tab inside itself up to its last (first) focusable child
// and passes unused hot keys up.
#include "Controls/Panel.h"

#include "Notification/NotificationIDs.h"

#include <stdexcept>

namespace KX {

namespace {

RCPtr<LControl> LastVisited(const RCPtr<LKeyParam>& param)
{
    const int32_t count = param->mVisited.GetCount();
    return count > 0 ? param->mVisited.GetAt(count - 1) : RCPtr<LControl>();
}

} // namespace

LPanel::LPanel(const RCPtr<LControl>& parent, const String& name) : LScrollView(parent, name) {}

LPanel::~LPanel() = default;

KXRESULT LPanel::Initialize()
{
    const KXRESULT result = LScrollView::Initialize();
    if (result < 0)
        return result;
    if (!mParent)
        return S_OK;
    try {
        mPanelHandler = new Handler(this);
        KX_THROW_IF_FAILED(mPanelHandler->AddHandler(&LPanel::OnParentSiblingKey,
                                                     RCPtr<LNotificationDistributor>(mParent.Get()), NID_SIBLING_KEY),
                           "KX::LPanel::Initialize", "Controls\\Panel", 37);
    } catch (const std::runtime_error&) {
        return E_FAIL;
    }
    return S_OK;
}

KXRESULT LPanel::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification)
{
    if (mCreated && mPanelHandler && mPanelHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mPanelHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LScrollView::ReceiveNotification(sender, notification);
}

KXRESULT LPanel::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mPanelHandler)
        mPanelHandler->RemoveHandler(sender, identifier);
    return LScrollView::UnregisterNotification(sender, identifier);
}

KXRESULT LPanel::OnParentSiblingKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LSiblingKeyParam> received =
        notification ? RCPtr<LSiblingKeyParam>::DynamicCast(notification->GetData()) : RCPtr<LSiblingKeyParam>();
    if (!received)
        return S_FALSE;
    // The children see the key as a key of their parent's siblings; none of
    // them is its source.
    const RCPtr<LKeyParam> key = LKeyParam::Create(received->mKey, 0);
    if (DispatchSiblingKey(key) == S_OK)
        received->mResult = 0;
    return S_FALSE;
}

RCPtr<LControl> LPanel::GetNextTabChild(const RCPtr<LControl>& child, bool backward)
{
    RCPtr<LControl> next = LScrollView::GetNextTabChild(child, backward);
    if (!mParent || !next || next->GetParent().Get() != this)
        return next;
    // A step that wraps round the tab order leaves the panel instead.
    const int32_t from = GetChildIndex(child, kTabOrder);
    const int32_t to = GetChildIndex(next, kTabOrder);
    if (backward ? to >= from : to <= from)
        return RCPtr<LControl>();
    return next;
}

KXRESULT LPanel::ProcessNavigationKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const bool backward = (param->mKey.GetCode() & KeyCode::ShiftBit) != 0;
    RCPtr<LControl> origin = LastVisited(param);
    RCPtr<LControl> candidate = GetNextTabChild(origin, backward);
    // Each child is met at most once per round; one more step covers an
    // origin that a hidden start hands on to a candidate.
    for (int32_t steps = mChildren.GetCount() + 1; steps >= 0 && candidate && candidate != origin; --steps) {
        if (candidate->IsFocusable() || candidate->HasFocusableChild())
            return candidate->SetFocus(!backward) >= 0 ? S_OK : E_FAIL;
        if (!origin || !origin->IsVisible(true) || !origin->IsEnabled(true))
            origin = candidate;
        candidate = GetNextTabChild(candidate, backward);
    }
    // No child takes the focus: the key leaves the panel.
    if (!mParent)
        return S_FALSE;
    param->mVisited.AddItem(self);
    const RCPtr<LControl> parent = mParent;
    return parent->ProcessNavigationKey(param);
}

KXRESULT LPanel::ProcessHotKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    if (DispatchSiblingKey(param) != S_FALSE)
        return S_OK;
    if (mParent) {
        param->mVisited.AddItem(self);
        const RCPtr<LControl> parent = mParent;
        return parent->ProcessHotKey(param);
    }
    // At the top: the window's key bindings, then the application's hot keys.
    return PassKeyToWindow(param, false);
}

} // namespace KX

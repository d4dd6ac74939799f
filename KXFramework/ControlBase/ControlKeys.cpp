// The way a key travels from the focused control: first the control's own
// local hot keys, then its key hook, then (Tab) the navigation through its
// container's tab order or (any other key) the siblings that listen for
// sibling keys, the root window's key bindings and last the application's
// global hot keys. Every step answers with the handled convention: 0 (or any
// value but 1) handled, 1 not handled.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace KX {

namespace {

constexpr uint32_t kTabKey = 9; // virtual key and character

bool IsTabPress(const KeyCode& key)
{
    return key.IsVirtualKeyDown() && key.GetVirtualKeyCode() == kTabKey;
}

RCPtr<LControl> LastVisited(const RCPtr<LKeyParam>& param)
{
    const int32_t count = param->mVisited.GetCount();
    return count > 0 ? param->mVisited.GetAt(count - 1) : RCPtr<LControl>();
}

// The application's global hot keys; 1 when they do not bind the key.
KXRESULT ProcessGlobalHotKey(const KeyCode& key)
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application || !application->GetHotKeyManager())
        return S_FALSE;
    const RCPtr<LGlobalHotKeyManager> manager = application->GetHotKeyManager();
    return manager->ProcessKey(key);
}

} // namespace

KXRESULT DeliverNotification(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* identifier,
                             const RCPtr<LRefCountedObject>& data)
{
    if (!receiver)
        return E_INVALIDARG;
    RCPtr<LNotification> notification;
    LNotification::Create(notification, identifier, data);
    if (!notification)
        return E_INVALIDARG;
    return receiver->ReceiveNotification(RCPtr<LNotificationDistributor>(), notification);
}

// ---- The focused control ----

KXRESULT LControl::KeyEvent(const RCPtr<LKeyParam>& param)
{
    if (!param || !IsUsable())
        return S_FALSE;
    const RCPtr<LControl> self(this);

    // The control's own local hot keys act first.
    const RCPtr<LSiblingKeyParam> sibling = LSiblingKeyParam::Create(param->mKey, self);
    DeliverNotification(RCPtr<LNotificationReceiver>(this), NID_SIBLING_KEY, sibling);
    if (sibling->mResult == 0)
        return S_OK;

    const KXRESULT handled = OnKey(param);
    if (handled != S_FALSE)
        return handled;

    param->mVisited.AddItem(self);
    if (IsTabPress(param->mKey)) {
        if (mWantsTab)
            return S_FALSE; // the control keeps the Tab for itself
        if (mParent) {
            const RCPtr<LControl> parent = mParent;
            return parent->ProcessNavigationKey(param);
        }
        return PassKeyToWindow(param, true);
    }
    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        return parent->ProcessHotKey(param);
    }
    return PassKeyToWindow(param, false);
}

KXRESULT LControl::OnKey(const RCPtr<LKeyParam>&)
{
    return S_FALSE;
}

KXRESULT LControl::PassKeyToWindow(const RCPtr<LKeyParam>& param, bool navigation)
{
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (navigation)
        return window ? window->CycleFocus(param->mKey) : S_FALSE;
    if (window && window->GetHotKeyManager()) {
        const RCPtr<LGlobalHotKeyManager> bindings = window->GetHotKeyManager();
        if (bindings->ProcessKey(param->mKey) != S_FALSE)
            return S_OK;
    }
    return ProcessGlobalHotKey(param->mKey);
}

// ---- Hot keys and sibling keys ----

KXRESULT LControl::ProcessHotKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    if (DispatchSiblingKey(param) != S_FALSE)
        return S_OK;
    // Not to this control's own parent: from a container the key goes to
    // the window's bindings and the application's hot keys.
    return PassKeyToWindow(param, false);
}

KXRESULT LControl::DispatchSiblingKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LNotificationClientPool> pool = FindClientPool(NID_SIBLING_KEY);
    if (!pool || pool->GetCount() == 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);

    Array<int32_t> order;
    SortSiblingKeyTargets(param, pool, order);
    // The receivers in their order, taken before any of them runs: a
    // listener may add or remove registrations.
    std::vector<RCPtr<LNotificationReceiver>> receivers;
    for (int32_t i = 0; i < order.GetCount(); ++i) {
        const int32_t position = order.GetAt(i);
        if (position >= 0 && position < pool->GetCount())
            receivers.push_back(pool->GetRegistration(position)->mReceiver);
    }

    const RCPtr<LControl> source = LastVisited(param);
    const RCPtr<LSiblingKeyParam> sibling = LSiblingKeyParam::Create(param->mKey, source);
    RCPtr<LNotification> notification;
    LNotification::Create(notification, NID_SIBLING_KEY, sibling);
    if (!notification)
        return E_INVALIDARG;
    const RCPtr<LNotificationDistributor> sender(this);
    for (auto it = receivers.rbegin(); it != receivers.rend(); ++it) {
        const LNotificationReceiver* receiver = it->Get();
        if (source && receiver == static_cast<const LNotificationReceiver*>(source.Get()))
            continue;
        const int32_t position = pool->FindClient(*it);
        if (position < 0)
            continue; // it left meanwhile
        pool->SendNotificationTo(sender, position, notification);
        if (sibling->mResult == 0)
            return S_OK;
    }
    return S_FALSE;
}

void LControl::SortSiblingKeyTargets(const RCPtr<LKeyParam>& param,
                                     const RCPtr<LNotificationDistributor::LNotificationClientPool>& registrations,
                                     Array<int32_t>& order)
{
    order.SetCount(0);
    if (!registrations)
        return;
    struct Entry
    {
        int64_t position; // the child's tab position, or a registration counter
        bool marked;      // a control that may take the focus
        int32_t registration;
    };
    std::vector<Entry> entries;
    int64_t outsider = INT32_MIN; // listeners that are no children sort first, as they registered
    for (int32_t k = 0; k < registrations->GetCount(); ++k) {
        const RCPtr<LControl> client = RCPtr<LControl>::DynamicCast(registrations->GetRegistration(k)->mReceiver);
        Entry entry{0, false, k};
        const int32_t tabPosition = client ? GetChildIndex(client, kTabOrder) : -1;
        entry.position = tabPosition >= 0 ? tabPosition : outsider++;
        entry.marked = client && !client->mFocusDisabled;
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.position < b.position; });

    const auto firstMarked = std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return e.marked; });
    for (auto it = entries.begin(); it != firstMarked; ++it)
        order.AddItem(it->registration);

    // The rest goes from just after the source round to it, so that the
    // backward walk of the dispatch offers the key to the one just before
    // the source first.
    const RCPtr<LControl> source = param ? LastVisited(param) : RCPtr<LControl>();
    const int64_t sourcePosition = source ? GetChildIndex(source, kTabOrder) : -1;
    for (auto it = firstMarked; it != entries.end(); ++it) {
        if (it->position > sourcePosition)
            order.AddItem(it->registration);
    }
    for (auto it = firstMarked; it != entries.end(); ++it) {
        if (it->position <= sourcePosition)
            order.AddItem(it->registration);
    }
}

// ---- Local hot keys (loaded and handled with the creation, ControlCreation.cpp) ----

KeyCode LControl::GetLocalHotKey(const wchar_t* notificationId) const
{
    return mLocalHotKeys.GetFirstKey(notificationId);
}

bool LControl::HasLocalHotKey(const wchar_t* notificationId) const
{
    return mLocalHotKeys.IsBound(notificationId);
}

// ---- Navigation ----

KXRESULT LControl::ProcessNavigationKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const uint32_t code = param->mKey.GetCode();
    const bool backward = (code & KeyCode::ShiftBit) != 0;

    // Passes the key on to the container above, which leaves this group.
    const auto passUp = [&](const RCPtr<LKeyParam>& key) -> KXRESULT {
        key->mVisited.AddItem(self);
        if (mParent) {
            const RCPtr<LControl> parent = mParent;
            return parent->ProcessNavigationKey(key);
        }
        return PassKeyToWindow(key, true);
    };

    if (code & KeyCode::CtrlBit) {
        // Ctrl+Tab: a Tab of the next group up, never wrapping here.
        const RCPtr<LKeyParam> groupKey =
            LKeyParam::Create(KeyCode(backward ? (KeyCode::ShiftBit | kTabKey) : kTabKey, 0, 0), 0);
        return passUp(groupKey);
    }

    const bool fromWindow = param->mWindowFlag != 0;
    RCPtr<LControl> origin = LastVisited(param);
    RCPtr<LControl> candidate = GetNextTabChild(origin, backward);
    // Every child is met at most once per round; a round and one more step
    // covers an origin that becomes a candidate.
    for (int32_t steps = mChildren.GetCount() + 1; steps >= 0; --steps) {
        if (!candidate || candidate == origin)
            return fromWindow ? S_FALSE : passUp(param);
        if (!fromWindow) {
            // A key made by a control does not wrap inside this group.
            const int32_t from = GetChildIndex(origin, kTabOrder);
            const int32_t to = GetChildIndex(candidate, kTabOrder);
            if (backward ? to >= from : to <= from)
                return passUp(param);
        }
        if (candidate->IsFocusable() || candidate->HasFocusableChild())
            return candidate->SetFocus(!backward) >= 0 ? S_OK : E_FAIL;
        if (!origin->IsUsable())
            origin = candidate;
        candidate = GetNextTabChild(candidate, backward);
    }
    return S_FALSE;
}

} // namespace KX

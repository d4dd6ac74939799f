// Tool tips, context menus and edit targets: the tool tip a control shows for
// its text, the menus a control builds from its "CONTEXT_MENU" strings, the
// forwarding that lets a context-menu item act exactly like its keyboard
// shortcut, the item-state query of menus, and the routing of cut, copy,
// paste and delete to the nearest control that edits text. A right click
// opens the skin's "contextMenu" popup menu at the pointer.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/MenuDescriptor.h"
#include "Controls/PopupMenu.h"
#include "Controls/ToolTip.h"
#include "Notification/Notification.h"
#include "Notification/NotificationID.h"
#include "System/GlobalHotKeyManager.h"

#include <set>

namespace KX {

namespace {

const wchar_t* const kToolTipName = L"toolTip";
const wchar_t* const kContextMenuName = L"contextMenu";
const wchar_t* const kContextMenuPrefix = L"CONTEXT_MENU";

RCPtr<LControlFactory> CurrentFactory()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetControlFactory() : RCPtr<LControlFactory>();
}

// The key bindings of the control's window, or null.
RCPtr<LGlobalHotKeyManager> WindowKeys(const LControl& control)
{
    const RCPtr<LRootWindow>& window = control.GetRootWindow();
    return window ? window->GetHotKeyManager() : RCPtr<LGlobalHotKeyManager>();
}

// The application's global key bindings, or null.
RCPtr<LGlobalHotKeyManager> ApplicationKeys()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetHotKeyManager() : RCPtr<LGlobalHotKeyManager>();
}

bool KeysBind(const RCPtr<LGlobalHotKeyManager>& keys, const wchar_t* identifier)
{
    return keys && keys->GetBindingMap().IsBound(identifier);
}

// The pairs of the table whose identifiers begin with the prefix and a
// point, with that much taken off the identifiers.
Array<LStringTable::StringPair> MenuPairs(const LStringTable& table, const StringT<wchar_t, char>& prefix)
{
    const StringT<wchar_t, char> start = prefix + StringT<wchar_t, char>(L".");
    Array<LStringTable::StringPair> pairs;
    table.GetStringsWithPrefix(start, pairs);
    for (int32_t i = 0; i < pairs.GetCount(); ++i)
        pairs.GetAt(i).first = pairs.GetAt(i).first.Mid(start.GetLength());
    return pairs;
}

} // namespace

// ---- Tool tips ----

StringT<wchar_t, char> LControl::GetToolTipText()
{
    return mToolTipText;
}

KXRESULT LControl::ShowToolTip(bool show)
{
    const RCPtr<LControl> self(this);
    if (!show) {
        if (const RCPtr<LToolTip> tip = RCPtr<LToolTip>::DynamicCast(FindChild(String(kToolTipName))))
            tip->Hide();
        return S_OK;
    }

    const String text = GetToolTipText();
    if (text.IsEmpty())
        return S_OK;
    const RCPtr<LControlFactory> factory = CurrentFactory();
    const RCPtr<LControlDescriptor> descriptor =
        factory ? factory->FindControlDescriptor(String(kToolTipName)) : RCPtr<LControlDescriptor>();
    if (!descriptor)
        return S_OK;

    // A tip of this control that is still showing goes first: hidden, it
    // waits among the queued removals, which the new tip's construction
    // runs before it takes the same name among this control's children.
    if (const RCPtr<LToolTip> previous = RCPtr<LToolTip>::DynamicCast(FindChild(String(kToolTipName))))
        previous->Hide();

    RCPtr<LControl> created;
    factory->CreateControl(created, self, descriptor);
    const RCPtr<LToolTip> tip = RCPtr<LToolTip>::DynamicCast(created);
    if (!tip || tip->GetParent().Get() != this) {
        // A description of another class makes no tool tip.
        if (created && created->GetParent().Get() == this)
            created->Detach();
        return S_OK;
    }
    tip->SetText(text);
    tip->Show();
    return S_OK;
}

// ---- Context menus ----

const RCPtr<LMenuDescriptor>& LControl::GetContextMenu()
{
    return mContextMenu;
}

void LControl::PrepareContextMenu(const RCPtr<LControl>&) {}

KXRESULT LControl::UpdateMenuItem(const RCPtr<LMenuDescriptor>&, int32_t, const wchar_t*, MenuItemState&)
{
    return S_FALSE;
}

KXRESULT LControl::SetContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    const RCPtr<LControl> self(this);
    if (mContextMenu)
        ForwardMenuShortcuts(mContextMenu, false);
    mContextMenu = menu;
    if (mContextMenu)
        ForwardMenuShortcuts(mContextMenu, true);
    return S_OK;
}

KXRESULT LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    // Without the skin's "contextMenu" description there is no menu to show.
    const RCPtr<LControlFactory> factory = CurrentFactory();
    const RCPtr<LControlDescriptor> descriptor =
        factory ? factory->FindControlDescriptor(String(kContextMenuName)) : RCPtr<LControlDescriptor>();
    if (!menu || !descriptor)
        return S_OK;
    const RCPtr<LControl> self(this);

    // A menu of this control that is still open closes first: closed, it
    // waits among the queued removals, which the new menu's construction
    // runs before it takes the same name among this control's children.
    if (const RCPtr<LPopupMenu> previous = RCPtr<LPopupMenu>::DynamicCast(FindChild(String(kContextMenuName))))
        previous->CloseMenu();

    RCPtr<LControl> created;
    factory->CreateControl(created, self, descriptor);
    const RCPtr<LPopupMenu> popup = RCPtr<LPopupMenu>::DynamicCast(created);
    if (!popup || popup->GetParent().Get() != this) {
        // A description of another class makes no menu.
        if (created && created->GetParent().Get() == this)
            created->Detach();
        return S_OK;
    }
    popup->SetVisible(false);
    popup->SetMenu(menu);
    PrepareContextMenu(RCPtr<LControl>(popup.Get()));
    // The popup lives on as this control's child while it is open.
    popup->ShowAtCursor();
    return S_OK;
}

KXRESULT LControl::LoadContextMenus(RCPtrArray<LMenuDescriptor>& menus)
{
    const RCPtr<LStringTable>& table = GetStringTable();
    if (!table)
        return S_FALSE;
    const String prefix(kContextMenuPrefix);

    // One menu under "CONTEXT_MENU." ...
    const Array<LStringTable::StringPair> single = MenuPairs(*table, prefix);
    if (single.GetCount() > 0) {
        if (const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(single))
            menus.AddItem(menu);
        return S_FALSE;
    }

    // ... or one menu per "CONTEXT_MENU<name>." in the order of the names.
    Array<LStringTable::StringPair> all;
    table->GetStringsWithPrefix(prefix, all);
    std::set<String> names;
    for (int32_t i = 0; i < all.GetCount(); ++i) {
        const String& identifier = all.GetAt(i).first;
        const int32_t point = identifier.Find('.');
        if (point >= 0)
            names.insert(identifier.Left(point));
    }
    for (const String& name : names) {
        // Only the entries of this very name: "CONTEXT_MENU1." is no part of
        // "CONTEXT_MENU10.".
        if (const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(MenuPairs(*table, name)))
            menus.AddItem(menu);
    }
    return S_FALSE;
}

const RCPtr<LMenuItemUpdater>& LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) {
        mMenuItemUpdater = LMenuItemUpdater::Create(RCPtr<LControl>(this));
        // The updater's reference back to this control is one of its own.
        AdjustInternalReferenceCount(1);
    }
    return mMenuItemUpdater;
}

void LControl::ForwardMenuShortcuts(const RCPtr<LMenuDescriptor>& menu, bool install)
{
    if (!menu || !mHandler)
        return;
    const RCPtr<LGlobalHotKeyManager> windowKeys = WindowKeys(*this);
    const RCPtr<LGlobalHotKeyManager> applicationKeys = ApplicationKeys();
    for (int32_t i = 0; i < menu->GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor>& item = menu->GetItem(i);
        if (!item)
            continue;
        if (item->HasItems()) {
            ForwardMenuShortcuts(RCPtr<LMenuDescriptor>(item.Get()), install);
            continue;
        }
        const wchar_t* identifier = InternNotificationID(item->mNotificationId.GetData());
        if (!identifier || !(KeysBind(windowKeys, identifier) || KeysBind(applicationKeys, identifier)))
            continue;
        if (install)
            mHandler->AddDirectHandler(&LControl::OnMenuShortcut, identifier);
        else
            mHandler->RemoveHandler(RCPtr<LNotificationDistributor>(), identifier);
    }
}

KXRESULT LControl::OnMenuShortcut(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!notification)
        return S_FALSE;
    const wchar_t* identifier = notification->GetID();
    const RCPtr<LGlobalHotKeyManager> windowKeys = WindowKeys(*this);
    if (KeysBind(windowKeys, identifier)) {
        DeliverNotification(windowKeys->GetReceiver(), identifier, notification->GetData());
    } else if (const RCPtr<LGlobalHotKeyManager> applicationKeys = ApplicationKeys()) {
        DeliverNotification(applicationKeys->GetReceiver(), identifier);
    }
    return S_FALSE;
}

// ---- Edit targets ----

bool LControl::CanEdit()
{
    return false;
}

RCPtr<LControl> LControl::GetEditTarget()
{
    if (CanEdit())
        return RCPtr<LControl>(this);
    return mParent ? mParent->GetEditTarget() : RCPtr<LControl>();
}

bool LControl::CanPerformEdit(int32_t)
{
    return false;
}

KXRESULT LControl::PerformEdit(int32_t)
{
    KX_THROW(std::logic_error, "LControl::PerformEdit must be overridden", "KX::LControl::PerformEdit",
             "ControlBase/Control", 591);
}

} // namespace KX

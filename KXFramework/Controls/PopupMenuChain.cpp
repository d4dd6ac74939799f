// The popup menu's chain: placement at the pointer, submenus opened beside
// their rows (by the hover delay, Right, Enter or a click) and closed again,
// keys and left drags through the open popups, the status text of the item
// under the pointer, and when a chain closes.
#include "Controls/PopupMenu.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutUtils.h"
#include "Controls/ComboMenu.h"
#include "Controls/ControlClock.h"
#include "Controls/MenuPlacement.h"
#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

constexpr const wchar_t* kSubmenuName = L"submenu";

PointT<long> Rounded(const PointT<double>& point)
{
    return PointT<long>(RoundDoubleToInt(point.x), RoundDoubleToInt(point.y));
}

PointT<long> RoundedSize(const RectT<double>& rect)
{
    return PointT<long>(RoundDoubleToInt(rect.width), RoundDoubleToInt(rect.height));
}

// The window's client size, as its OS window reports it.
PointT<long> WindowClientSize(const RCPtr<LRootWindow>& window)
{
    if (!window)
        return PointT<long>();
    const RectT<long> client = window->GetClientRect();
    return PointT<long>(client.width, client.height);
}

} // namespace

// ---- The chain's members ----

RCPtr<LPopupMenu> LPopupMenu::GetParentMenu() const
{
    return RCPtr<LPopupMenu>::DynamicCast(mParent);
}

bool LPopupMenu::IsInMenuChain(const RCPtr<LControl>& control) const
{
    if (!control)
        return false;
    for (LPopupMenu* below = mSubmenuPopup.Get(); below; below = below->mSubmenuPopup.Get()) {
        if (below == control.Get())
            return true;
    }
    for (RCPtr<LPopupMenu> above = GetParentMenu(); above; above = above->GetParentMenu()) {
        if (above.Get() == control.Get())
            return true;
    }
    return false;
}

RCPtr<LMenuItemDescriptor> LPopupMenu::CaretItem() const
{
    return mCaretIndex >= 0 ? GetMenuItem(mCaretIndex) : RCPtr<LMenuItemDescriptor>();
}

PointT<double> LPopupMenu::PointerInPopup(bool client) const
{
    PointT<long> pointer;
    if (const RCPtr<LRootWindow>& window = GetRootWindow())
        window->GetCursorPosition(pointer);
    const PointT<long> origin = Rounded(GetRootPosition());
    PointT<double> point(pointer.x - origin.x, pointer.y - origin.y);
    if (client) {
        const RectT<double> look = const_cast<LPopupMenu*>(this)->GetLookClientRect(-1);
        point.x -= look.x;
        point.y -= look.y;
    }
    return point;
}

// ---- Placement at the pointer ----

KXRESULT LPopupMenu::ShowAtCursor()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LRootWindow> window = GetRootWindow();
    PointT<long> pointer;
    if (window)
        window->GetCursorPosition(pointer);
    const PointT<long> at = MenuPlacement::PlaceAtPointer(pointer, RoundedSize(mRect), WindowClientSize(window));

    // Each axis keeps its anchor and kind, and is docked so that the popup
    // stays put when its parent scrolls. The reference point is measured
    // where the layout puts the popup with no offset, so that the popup's
    // corner lands on the point whatever frame, scroll or anchor its parent
    // and its layout have.
    LLayoutDescriptor::PositionSpec position[2];
    LLayoutDescriptor::SizeSpec size[2];
    bool docked[2] = {false, false};
    for (int32_t axis = 0; axis < 2; ++axis) {
        GetLayout().GetAxisSpec(axis, position[axis], docked[axis], size[axis]);
        position[axis].mRel = 0.0f;
        position[axis].mAbs = 0.0;
    }
    SetPlacementXY(position[0], true, size[0], position[1], true, size[1]);
    const PointT<long> reference = Rounded(GetRootPosition());
    position[0].mAbs = at.x - reference.x;
    position[1].mAbs = at.y - reference.y;
    SetPlacementXY(position[0], true, size[0], position[1], true, size[1]);

    SetVisible(true);
    if (!mHasFocus)
        SetFocus(true);
    return S_OK;
}

// ---- Submenus ----

KXRESULT LPopupMenu::OpenSubmenu(int32_t index)
{
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
    if (!item || !item->HasItems())
        return E_INVALIDARG;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : RCPtr<LControlFactory>();
    if (!factory || !mDescriptor)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    CloseSubmenu();

    // The new popup may take the focus for a moment while it is made and
    // laid out, and give it back: that is no focus coming back from outside.
    ScopedFlag opening(mOpeningSubmenu);
    const RCPtr<LLayoutDescriptor> layout = mLayout ? mLayout->Clone() : LLayoutDescriptor::Create();
    RCPtr<LControlDescriptor> descriptor;
    if (factory->CloneDescriptor(descriptor, mDescriptor, ConstRCPtr<LLayoutDescriptor>(layout.Get()),
                                 String(kSubmenuName)) < 0 ||
        !descriptor)
        return E_FAIL;
    RCPtr<LControl> created;
    factory->CreateControl(created, self, descriptor);
    const RCPtr<LPopupMenu> submenu = RCPtr<LPopupMenu>::DynamicCast(created);
    if (!submenu || submenu->GetParent().Get() != this) {
        if (created && created->GetParent().Get() == this)
            created->Detach();
        return E_FAIL;
    }
    mSubmenuPopup = submenu;
    mSubmenuItem = RCPtr<LMenuDescriptor>(item.Get());
    submenu->AttachToParentItem(index);
    submenu->mNotificationTarget = mNotificationTarget;
    submenu->mAutoClose = mAutoClose;

    // Beside the entry's row, inside the window.
    const PointT<long> place = MenuPlacement::PlaceSubmenu(GetItemRect(index), Rounded(GetRootPosition()),
                                                           RoundedSize(submenu->GetRect()),
                                                           WindowClientSize(GetRootWindow()));
    for (int32_t axis = 0; axis < 2; ++axis) {
        LLayoutDescriptor::PositionSpec position;
        LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        submenu->GetLayout().GetAxisSpec(axis, position, docked, size);
        position.mRel = 0.0f;
        position.mAbs = axis == 0 ? place.x : place.y;
        submenu->SetPlacement(axis, position, docked, size);
    }

    submenu->mUpdater = mUpdater;
    submenu->SetVisible(true);
    return S_OK;
}

KXRESULT LPopupMenu::AttachToParentItem(int32_t index)
{
    const RCPtr<LPopupMenu> parent = GetParentMenu();
    if (!parent || index < 0 || index >= parent->GetItemCount())
        return E_INVALIDARG;
    const RCPtr<LMenuItemDescriptor> item = parent->GetMenuItem(index);
    if (!item || !item->HasItems())
        return E_INVALIDARG;
    CloseSubmenu();
    // The parent's own item: the submenu shares the parent's clone.
    mMenu = RCPtr<LMenuDescriptor>(item.Get());
    FillHotKeyTexts(mMenu);
    return Rebuild();
}

KXRESULT LPopupMenu::OpenCaretSubmenu()
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = OpenSubmenu(mCaretIndex);
    if (result >= 0 && mSubmenuPopup && mSubmenuPopup->GetItemCount() > 0) {
        const RCPtr<LPopupMenu> submenu = mSubmenuPopup;
        submenu->SelectItemRange(0, -1, true);
    }
    return result;
}

KXRESULT LPopupMenu::CloseSubmenu()
{
    DisarmHoverTimer();
    if (mSubmenuPopup) {
        const RCPtr<LControl> self(this);
        const RCPtr<LPopupMenu> submenu = mSubmenuPopup;
        // The focus comes back from the closing submenu: that must not close
        // the chain (SetFocus).
        mClosingSubmenu = true;
        submenu->CloseSubmenu();
        submenu->SetVisible(false);
        RemoveChildDeferred(RCPtr<LControl>(submenu.Get()));
        mSubmenuPopup = nullptr;
    }
    mSubmenuItem = nullptr;
    return S_OK;
}

KXRESULT LPopupMenu::CloseMenu()
{
    const RCPtr<LControl> self(this);
    mClosed = true;
    if (const RCPtr<LPopupMenu> parent = GetParentMenu())
        return parent->CloseMenu();
    DisarmHoverTimer();
    CloseSubmenu();
    if (!mParent)
        return S_FALSE;
    const RCPtr<LControl> parent = mParent;
    return parent->RemoveChildDeferred(self);
}

// ---- The hover timer ----

KXRESULT LPopupMenu::ArmHoverTimer()
{
    mHoverTick = ApplicationTicks();
    if (!mHoverTimerArmed) {
        mHoverTimerArmed = true;
        AddIdleRequest();
    }
    return S_OK;
}

void LPopupMenu::DisarmHoverTimer()
{
    if (!mHoverTimerArmed)
        return;
    mHoverTimerArmed = false;
    ReleaseIdle();
}

void LPopupMenu::OnIdle()
{
    LCheckedListBox::OnIdle();
    if (!mHoverTimerArmed || static_cast<uint32_t>(ApplicationTicks() - mHoverTick) <= kHoverDelay)
        return;
    const RCPtr<LControl> self(this);
    CloseSubmenu();
    const RCPtr<LMenuItemDescriptor> caret = CaretItem();
    if (caret && caret->HasItems())
        OpenSubmenu(mCaretIndex);
}

void LPopupMenu::OnSelectionChanged()
{
    LCheckedListBox::OnSelectionChanged();
    const RCPtr<LMenuItemDescriptor> item = CaretItem();
    if (!item)
        return;
    const RCPtr<LControl> self(this);
    if (const RCPtr<LPopupMenu> parent = GetParentMenu())
        parent->SyncOpenItemSelection();
    const bool isOpenEntry = mSubmenuItem.Get() == static_cast<LMenuDescriptor*>(item.Get());
    if (item->HasItems() && !isOpenEntry) {
        // Only the pointer resting on the entry starts the delay; a caret
        // moved by keys with the pointer elsewhere does not.
        const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(mCaretIndex));
        if (row) {
            const PointT<double> pointer = PointerInPopup(true);
            const RectT<double>& rect = row->GetRect();
            if (rect.x <= pointer.x && pointer.x < rect.x + rect.width && rect.y <= pointer.y &&
                pointer.y < rect.y + rect.height)
                ArmHoverTimer();
        }
    } else if (item->HasItems()) {
        DisarmHoverTimer();
    } else if (mSubmenuItem) {
        ArmHoverTimer();
    }
}

void LPopupMenu::SyncOpenItemSelection()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LMenuItemDescriptor> caret = CaretItem();
    if (!caret || mSubmenuItem.Get() != static_cast<LMenuDescriptor*>(caret.Get())) {
        for (int32_t i = GetItemCount() - 1; i >= 0; --i) {
            if (mSubmenuItem && GetMenuItem(i).Get() == mSubmenuItem.Get()) {
                SelectItemRange(i, i, true);
                break;
            }
        }
    }
    DisarmHoverTimer();
}

// ---- Status text ----

KXRESULT LPopupMenu::OnMenuRowHover(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    // The list's own handling of the row's hover comes first: in drop-down
    // mode it selects the item under the pointer.
    LListBox::OnRowHoverCondition(sender, notification);
    const RCPtr<LConditionsParam> param =
        notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData()) : RCPtr<LConditionsParam>();
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!param || !application)
        return S_OK;
    const bool wasHot = (param->mOldConditions & kHoverOrOverride) != 0;
    const bool isHot = (param->mNewConditions & kHoverOrOverride) != 0;
    if (isHot && !wasHot) {
        const int32_t index = GetItemControlIndex(RCPtr<LControl>::DynamicCast(sender));
        const RCPtr<LMenuItemDescriptor> item = index < GetItemCount() ? GetMenuItem(index) : RCPtr<LMenuItemDescriptor>();
        if (item && !item->mStatusText.IsEmpty())
            application->SetStatusText(item->mStatusText, false);
    } else if (wasHot && !isHot) {
        application->ResetStatusText(false);
    }
    return S_OK;
}

// ---- Activation ----

void LPopupMenu::OnItemActivated()
{
    LCheckedListBox::OnItemActivated();
    const RCPtr<LMenuItemDescriptor> item = CaretItem();
    if (!item)
        return;
    const RCPtr<LControl> self(this);
    if (item->HasItems()) {
        if (mSubmenuItem.Get() != static_cast<LMenuDescriptor*>(item.Get()))
            OpenCaretSubmenu();
        return;
    }
    ActivateMenuItem(item);
}

void LPopupMenu::OnLeftButtonUp(const RCPtr<LMouseButtonParam>& param)
{
    // A release over a submenu entry opens its submenu; the popup stays open
    // and nothing is activated (the list would hide it and report it).
    if (param && mDropDownMode) {
        const int32_t index = HitTestItem(param->GetPoint());
        const RCPtr<LMenuItemDescriptor> item = index >= 0 ? GetMenuItem(index) : RCPtr<LMenuItemDescriptor>();
        if (item && item->HasItems() && IsItemSelectable(index)) {
            const RCPtr<LControl> self(this);
            LScrollView::OnLeftButtonUp(param);
            if (mCaretIndex != index)
                SelectItemRange(index, -1, true);
            if (mSubmenuItem.Get() != static_cast<LMenuDescriptor*>(item.Get()))
                OpenCaretSubmenu();
            return;
        }
    }
    LCheckedListBox::OnLeftButtonUp(param);
}

// ---- Keys ----

KXRESULT LPopupMenu::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const uint32_t code = param->mKey.GetCode();
    if (code == kKeyLeft) {
        if (const RCPtr<LPopupMenu> parent = GetParentMenu())
            parent->CloseSubmenu();
        return S_OK;
    }
    if (code == kKeyRight) {
        const RCPtr<LMenuItemDescriptor> caret = CaretItem();
        if (caret && caret->HasItems())
            OpenCaretSubmenu();
        return S_OK;
    }
    if (code == kKeyEscape) {
        if (mAutoClose && !mClosed)
            CloseMenu();
        return S_OK;
    }
    if (KeyCode(kKeyEnter, 0, 0).Matches(param->mKey)) {
        // Enter on a submenu entry opens it; the list would activate it.
        const RCPtr<LMenuItemDescriptor> caret = CaretItem();
        if (caret && caret->HasItems() && IsItemSelectable(mCaretIndex)) {
            if (mSubmenuItem.Get() != static_cast<LMenuDescriptor*>(caret.Get()))
                OpenCaretSubmenu();
            return S_OK;
        }
    }
    return LCheckedListBox::OnKey(param);
}

// ---- Dragging through the chain ----

void LPopupMenu::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    LCheckedListBox::OnMouseMove(param);
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (!mLeftDrag || !window)
        return;
    const PointT<long> pointer = Rounded(PointerInPopup(false));
    if (pointer.x >= 0 && pointer.x < mRect.width && pointer.y >= 0 && pointer.y < mRect.height)
        return;
    const RCPtr<LControl> self(this);
    PointT<long> atWindow;
    window->GetCursorPosition(atWindow);
    RCPtr<LControl> found;
    PointT<long> local;
    window->GetControlAtPoint(found, atWindow, local, false);
    if (!found)
        return;
    // Onto a menu-bar title: the drag moves over and the title opens its
    // own popup.
    if (const RCPtr<LComboMenu> title = RCPtr<LComboMenu>::DynamicCast(found)) {
        title->BeginCapture(1, 0, 0);
        return;
    }
    // Onto another popup of the chain: the held button selects there, and
    // its release chooses there.
    for (RCPtr<LControl> control = found; control; control = control->GetParent()) {
        const RCPtr<LPopupMenu> popup = RCPtr<LPopupMenu>::DynamicCast(control);
        if (!popup)
            continue;
        if (IsInMenuChain(control))
            popup->BeginCapture(1, 0, 0);
        return;
    }
}

// ---- Focus and visibility ----

KXRESULT LPopupMenu::SetFocus(bool first)
{
    const RCPtr<LControl> self(this);
    if ((mHasFocus || mContainsFocus) && !mClosingSubmenu && !mOpeningSubmenu && mAutoClose && !mClosed)
        CloseMenu();
    mClosingSubmenu = false;
    return LCheckedListBox::SetFocus(first);
}

void LPopupMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LCheckedListBox::OnConditionsChanged(param);
    if (!param)
        return;
    const RCPtr<LControl> self(this);
    const uint32_t oldWord = param->mOldConditions;
    const uint32_t newWord = param->mNewConditions;
    const bool topLevel = !GetParentMenu();
    if (((oldWord ^ newWord) & (kHasFocus | kContainsFocus)) && topLevel) {
        const bool focused = (newWord & (kHasFocus | kContainsFocus)) != 0;
        if (!focused && GetLayout().mIsVisible && mRect.width > 0.0 && mRect.height > 0.0 && mAutoClose && !mClosed)
            CloseMenu();
    }
    if ((newWord & kVisible) && !(oldWord & kVisible)) {
        UpdateItemStates();
        return;
    }
    if (!(newWord & kVisible) && (oldWord & kVisible) && topLevel)
        CloseSubmenu();
}

} // namespace KX

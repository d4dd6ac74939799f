// The popup menu's items: creation, the rows and sizes built from the menu,
// the hot-key texts, the item states its owner answers, and the activation
// of a leaf item. Placement, submenus, keys, drags and closing are in
// PopupMenuChain.cpp.
#include "Controls/PopupMenu.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Notification/NotificationIDs.h"
#include "Renderer/Renderer.h"
#include "System/GlobalHotKeyManager.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr const wchar_t* kCheckBoxName = L"checkBox";
constexpr const wchar_t* kHotKeyLabelName = L"hotKeyLabel";

int32_t Truncate(double value)
{
    if (!(value > INT32_MIN))
        return INT32_MIN;
    if (!(value < INT32_MAX))
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

// The width of a text in a font, as the application's renderer measures it.
float MeasureWidth(const StringT<wchar_t, char>& text, const RCPtr<LFont>& font)
{
    if (text.IsEmpty() || !LFrameworkApp::sInstance)
        return 0.0f;
    RCPtr<LRenderer> renderer;
    LFrameworkApp::sInstance->GetRenderer(renderer);
    return renderer ? renderer->MeasureText(text, font).width : 0.0f;
}

// One source of key bindings that hot-key texts are taken from.
struct KeySource
{
    const KeyBindingMap* map = nullptr; // a binding map, or
    const LControl* localOwner = nullptr; // a control's local hot keys

    bool Binds(const wchar_t* identifier) const
    {
        if (map)
            return map->IsBound(identifier);
        return localOwner && localOwner->HasLocalHotKey(identifier);
    }
    KeyCode FirstKey(const wchar_t* identifier) const
    {
        return map ? map->GetFirstKey(identifier) : localOwner->GetLocalHotKey(identifier);
    }
};

void FillFrom(const RCPtr<LMenuDescriptor>& menu, const std::vector<KeySource>& sources)
{
    for (int32_t i = 0; i < menu->GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor>& item = menu->GetItem(i);
        if (!item)
            continue;
        if (item->HasItems()) {
            FillFrom(RCPtr<LMenuDescriptor>(item.Get()), sources);
            continue;
        }
        if (!item->mHotKeyText.IsEmpty() || item->mNotificationId.IsEmpty())
            continue;
        const wchar_t* identifier = item->mNotificationId.GetData();
        for (const KeySource& source : sources) {
            if (source.Binds(identifier)) {
                item->mHotKeyText = KeyCode::ToString(source.FirstKey(identifier).GetCode());
                break;
            }
        }
    }
}

} // namespace

LPopupMenu::LPopupMenu(const RCPtr<LControl>& parent, const String& name) : LCheckedListBox(parent, name) {}

LPopupMenu::~LPopupMenu()
{
    // The order the references were taken in, reversed.
    mUpdater = nullptr;
    mNotificationTarget = nullptr;
    mSubmenuItem = nullptr;
    mSubmenuPopup = nullptr;
    mMenu = nullptr;
    mPopupHandler = nullptr;
}

// ---- Creation ----

KXRESULT LPopupMenu::Initialize()
{
    if (LCheckedListBox::Initialize() < 0)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    mPopupHandler = new PopupHandler(this);
    // Rows made while the list initialised were made before this table.
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        if (const RCPtr<LListBoxItem> row = RowAt(k))
            mPopupHandler->AddHandler(&LPopupMenu::OnMenuRowHover, RCPtr<LNotificationDistributor>(row.Get()),
                                      NID_HOVER_CONDITION_CHANGE);
    }
    ApplySizeLimits();
    mFocusScope = true;
    SetDropDownMode(true);
    SetCheckBoxesIgnorePointer(true);

    const RCPtr<LStringTable>& table = GetStringTable();
    if (!table)
        return S_FALSE;
    Array<LStringTable::StringPair> pairs;
    table->GetAllStrings(pairs);
    return SetMenu(LMenuDescriptor::CreateFromStringPairs(pairs));
}

KXRESULT LPopupMenu::OnCreated()
{
    SetClipToParent(false);
    SetVisible(false);
    ApplySizeLimits();
    return S_OK;
}

void LPopupMenu::ApplySizeLimits()
{
    if (mDescriptor && mDescriptor->GetLayoutDescriptor()) {
        const LLayoutDescriptor& skin = *mDescriptor->GetLayoutDescriptor();
        LLayoutDescriptor::SizeLimitSpec minimum;
        LLayoutDescriptor::SizeLimitSpec maximum;
        if (skin.mXMinimum.mAbs == 0.0 || skin.mXMaximum.mAbs == 0.0) {
            GetLayout().GetSizeLimits(0, minimum, maximum);
            // Never narrower than the skin made it.
            if (skin.mXMinimum.mAbs == 0.0)
                minimum.mAbs = Truncate(mRect.width);
            SetSizeLimits(0, minimum, maximum);
        }
        if (skin.mYMinimum.mAbs == 0.0 || skin.mYMaximum.mAbs == 0.0) {
            GetLayout().GetSizeLimits(1, minimum, maximum);
            // At least one row high.
            if (skin.mYMinimum.mAbs == 0.0) {
                minimum.mRel = 0.0f;
                minimum.mAbs = mRowHeight;
            }
            SetSizeLimits(1, minimum, maximum);
        }
    }
    mEmptyRowWidth = -1;
}

KXRESULT LPopupMenu::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const KXRESULT result = LCheckedListBox::ApplyControlDescriptor(descriptor);
    if (result >= 0 && mMenu) {
        DeselectAll();
        // The new template's row: its fixed part is measured again.
        mEmptyRowWidth = -1;
        Rebuild();
    }
    return result;
}

KXRESULT LPopupMenu::CreateItemControl()
{
    const KXRESULT result = LCheckedListBox::CreateItemControl();
    if (result >= 0 && mPopupHandler) {
        if (const RCPtr<LListBoxItem> row = RowAt(GetRowCount() - 1))
            mPopupHandler->AddHandler(&LPopupMenu::OnMenuRowHover, RCPtr<LNotificationDistributor>(row.Get()),
                                      NID_HOVER_CONDITION_CHANGE);
    }
    return result;
}

KXRESULT LPopupMenu::RequestFocus(const RCPtr<LControl>&)
{
    return S_OK;
}

KXRESULT LPopupMenu::SwapItems(int32_t, int32_t)
{
    return E_NOTIMPL;
}

// ---- The menu ----

KXRESULT LPopupMenu::SetMenu(const RCPtr<LMenuDescriptor>& menu)
{
    if (!menu)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    CloseSubmenu();
    RCPtr<LMenuDescriptor> clone;
    menu->Clone(clone);
    mMenu = clone;
    FillHotKeyTexts(mMenu);
    return Rebuild();
}

RCPtr<LMenuItemDescriptor> LPopupMenu::GetMenuItem(int32_t index) const
{
    return mMenu ? mMenu->GetItem(index) : RCPtr<LMenuItemDescriptor>();
}

RCPtr<LMenuListBoxItem> LPopupMenu::GetMenuRow(int32_t row)
{
    return RCPtr<LMenuListBoxItem>::DynamicCast(RowAt(row));
}

KXRESULT LPopupMenu::SetNotificationTarget(const RCPtr<LNotificationQueue>& queue)
{
    if (!queue)
        return E_INVALIDARG;
    if (mNotificationTarget)
        return E_FAIL;
    RCPtr<LNotificationQueue::LPostingReceiver> receiver;
    queue->GetPostingReceiver(receiver);
    if (!receiver)
        return E_FAIL;
    mNotificationTarget = RCPtr<LNotificationReceiver>(receiver.Get());
    if (mMenu) {
        FillHotKeyTexts(mMenu);
        Rebuild();
    }
    return S_OK;
}

RCPtr<LNotificationReceiver> LPopupMenu::GetOwner() const
{
    if (mNotificationTarget)
        return mNotificationTarget;
    for (LControl* ancestor = mParent.Get(); ancestor; ancestor = ancestor->GetParent().Get()) {
        if (!dynamic_cast<LPopupMenu*>(ancestor))
            return RCPtr<LNotificationReceiver>(ancestor);
    }
    return RCPtr<LNotificationReceiver>();
}

const RCPtr<LMenuItemUpdater>& LPopupMenu::GetMenuItemUpdater()
{
    if (!mUpdater) {
        const RCPtr<LControl> owner = RCPtr<LControl>::DynamicCast(GetOwner());
        if (owner)
            mUpdater = owner->GetMenuItemUpdater();
    }
    return mUpdater;
}

// ---- Hot-key texts ----

KXRESULT LPopupMenu::FillHotKeyTexts(const RCPtr<LMenuDescriptor>& menu)
{
    const RCPtr<LNotificationReceiver> owner = GetOwner();
    if (!menu || !owner)
        return E_FAIL;
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (mNotificationTarget && !window)
        return E_FAIL;

    std::vector<KeySource> sources;
    if (mNotificationTarget) {
        RCPtr<LNotificationQueue::LPostingReceiver> windowReceiver;
        window->GetPostingReceiver(windowReceiver);
        // Posted to the window's own queue: the window's bindings lead.
        if (windowReceiver && mNotificationTarget.Get() == static_cast<LNotificationReceiver*>(windowReceiver.Get()) &&
            window->GetHotKeyManager())
            sources.push_back(KeySource{&window->GetHotKeyManager()->GetBindingMap(), nullptr});
    } else if (const RCPtr<LControl> control = RCPtr<LControl>::DynamicCast(owner)) {
        sources.push_back(KeySource{nullptr, control.Get()});
        const RCPtr<LRootWindow>& ownerWindow = control->GetRootWindow();
        if (ownerWindow && ownerWindow->GetHotKeyManager())
            sources.push_back(KeySource{&ownerWindow->GetHotKeyManager()->GetBindingMap(), nullptr});
    }
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (application && application->GetHotKeyManager())
        sources.push_back(KeySource{&application->GetHotKeyManager()->GetBindingMap(), nullptr});
    FillFrom(menu, sources);
    return S_OK;
}

// ---- Rows and sizes ----

KXRESULT LPopupMenu::Rebuild()
{
    if (!mMenu)
        return S_OK;
    const RCPtr<LControl> self(this);
    const int32_t count = mMenu->GetItemCount();
    // The records are replaced below without counting: nothing may stay
    // selected meanwhile.
    if (GetSelectedCount() > 0)
        DeselectAll();
    SetItemCount(count);
    const RCPtr<LListBoxItem> patternRow = RowAt(GetRowCount() - 1);
    if (!patternRow)
        return S_FALSE;

    if (mEmptyRowWidth < 0) {
        // The row's fixed part: up to the check box's right edge, the margin
        // right of the hot-key label, and the spacing between the texts.
        const RCPtr<LControl> checkBox = patternRow->FindChild(String(kCheckBoxName));
        const RCPtr<LControl> hotKey = patternRow->FindChild(String(kHotKeyLabelName));
        const double rowWidth = patternRow->GetRect().width;
        const int32_t left = checkBox ? Truncate(checkBox->GetRect().x + checkBox->GetRect().width) : 0;
        const int32_t right = hotKey ? Truncate(rowWidth - (hotKey->GetRect().width + hotKey->GetRect().x)) : 0;
        mEmptyRowWidth = left + right + kRowSpacing;
    }

    // A separator row: its height with no text.
    patternRow->SetSeparator(true);
    patternRow->SetText(String());
    patternRow->RecalcLayout();
    mSeparatorHeight = Truncate(patternRow->GetRect().height);
    patternRow->SetSeparator(false);

    mSeparatorCount = 0;
    mWidestItemWidth = 0;
    for (int32_t i = 0; i < count; ++i) {
        const RCPtr<LMenuItemDescriptor>& item = mMenu->GetItem(i);
        SetItemData(i, RCPtr<LTaggableObject>(item.Get()), 0.0, item->HasItems(), item->mSeparator);
        SetItemChecked(i, item->mChecked);
        SetItemSeparator(i, item->mSeparator);
        if (item->mSeparator)
            ++mSeparatorCount;
        if (const RCPtr<LListBoxItem> row = RowAt(i))
            row->RecalcLayout();
        mWidestItemWidth = std::max(mWidestItemWidth, MeasureItemWidthWithHotKey(i));
    }
    SetClientWidth(Truncate(GetScrollBarSizes().x) + mWidestItemWidth);
    // A popup kept wider than its items by its least width gives its rows
    // the whole width, so that a highlighted row spans the popup.
    mWidestItemWidth = std::max(mWidestItemWidth, Truncate(GetClientRect().width));
    // The rows take the widest width measured just now, hot-key texts
    // included (binding them above saw only the items before).
    UpdateClientExtent();
    // The height follows the separators counted just now.
    FitDropDownHeight();
    EnsureEnoughItemControls();
    UpdateItemControlsFrom(0);
    return S_OK;
}

int32_t LPopupMenu::MeasureItemWidthWithHotKey(int32_t index)
{
    if (!mMenu || index < 0 || index >= GetItemCount())
        return 0;
    const RCPtr<LListBoxItem> row = RowAt(GetRowCount() - 1);
    if (!row)
        return 0;
    const float label = MeasureWidth(GetItemText(index), row->GetFont());
    float hotKey = 0.0f;
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
    const RCPtr<LControl> hotKeyLabel = row->FindChild(String(kHotKeyLabelName));
    if (item && hotKeyLabel)
        hotKey = MeasureWidth(item->mHotKeyText, hotKeyLabel->GetFont());
    return static_cast<int32_t>(LayoutUtils::Round(static_cast<double>(label) + hotKey)) + mEmptyRowWidth;
}

int32_t LPopupMenu::GetItemsHeight()
{
    return mSeparatorCount * mSeparatorHeight + (GetItemCount() - mSeparatorCount) * mRowHeight;
}

bool LPopupMenu::IsItemSelectable(int32_t index)
{
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
    return item && item->mEnabled && !item->mSeparator;
}

KXRESULT LPopupMenu::UpdateItemControl(int32_t index, int32_t& row)
{
    const KXRESULT result = LCheckedListBox::UpdateItemControl(index, row);
    if (result < 0 || row < 0)
        return result;
    const RCPtr<LMenuListBoxItem> control = GetMenuRow(row);
    if (!control)
        return result;
    const RCPtr<LMenuItemDescriptor> item = index < GetItemCount() ? GetMenuItem(index) : RCPtr<LMenuItemDescriptor>();
    if (item) {
        control->SetHotKeyText(item->mHotKeyText);
        control->SetSeparator(item->mSeparator);
        control->SetEnabled(item->mEnabled);
        const bool checked = IsItemChecked(index);
        control->SelectCheckLook(checked ? (control->IsHovered() ? kCheckLookCheckedHot : kCheckLookChecked)
                                         : kCheckLookClear);
    } else {
        control->SetHotKeyText(String());
        control->SetEnabled(false);
        control->SetLook(0, true);
        control->SelectCheckLook(kCheckLookClear);
    }
    control->FollowRowTextColour();
    return result;
}

// ---- Item states ----

KXRESULT LPopupMenu::UpdateItemStates()
{
    const RCPtr<LMenuItemUpdater> updater = GetMenuItemUpdater();
    if (!updater || !mMenu)
        return S_OK;
    const RCPtr<LControl> self(this);
    // The tree may change under the owner's answers: work on this menu.
    const RCPtr<LMenuDescriptor> menu = mMenu;
    DeselectAll();
    for (int32_t i = menu->GetItemCount() - 1; i >= 0; --i) {
        const RCPtr<LMenuItemDescriptor> item = menu->GetItem(i);
        if (!item || item->HasItems() || item->mSeparator)
            continue;
        MenuItemState state;
        menu->GetItemState(i, state);
        if (const RCPtr<LControl> control = updater->mControl)
            control->UpdateMenuItem(menu, i, item->mNotificationId.GetData(), state);
        if (menu == mMenu)
            ApplyItemState(i, state);
    }
    return S_OK;
}

KXRESULT LPopupMenu::ApplyItemState(int32_t index, const MenuItemState& state)
{
    if (index < 0 || index >= GetItemCount() || !mMenu)
        return E_INVALIDARG;
    MenuItemState current;
    mMenu->GetItemState(index, current);
    if (state == current)
        return 1;
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
    if (!item)
        return E_INVALIDARG;
    if (!item->mSeparator) {
        item->mEnabled = state.enabled;
        // A submenu entry shows its arrow, never a check mark.
        if (!item->HasItems()) {
            item->mChecked = state.checked;
            SetItemChecked(index, state.checked);
        }
    }
    if (!(state.text == item->mText)) {
        item->mText = state.text;
        Rebuild();
    }
    int32_t row = -1;
    UpdateItemControl(index, row);
    return 0;
}

// ---- Activation ----

KXRESULT LPopupMenu::ActivateMenuItem(const RCPtr<LMenuItemDescriptor>& item)
{
    if (!item)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    // The menu bar gives the focus back to the control that had it before
    // the bar was used.
    for (LControl* ancestor = mParent.Get(); ancestor; ancestor = ancestor->GetParent().Get()) {
        if (LMainMenu* bar = dynamic_cast<LMainMenu*>(ancestor)) {
            const RCPtr<LControl> saved = bar->GetSavedFocus();
            if (saved && saved->GetRootWindow())
                saved->SetFocus(true);
            break;
        }
    }
    if (mAutoClose && !mClosed)
        SetVisible(false);
    if (const RCPtr<LNotificationReceiver> owner = GetOwner()) {
        const int32_t index = mCaretIndex < GetItemCount() ? mCaretIndex : -1;
        SendNotificationWithData(NID_ITEM_ACTIVATED);
        const RCPtr<LMenuActivationParam> param = LMenuActivationParam::Create(mMenu, index);
        DeliverNotification(owner, item->mNotificationId.GetData(), RCPtr<LRefCountedObject>(param.Get()));
    }
    if (mAutoClose && !mClosed)
        CloseMenu();
    return S_OK;
}

// ---- Notifications ----

KXRESULT LPopupMenu::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (mCreated && mPopupHandler && mPopupHandler->Binds(sender, notification)) {
        const RCPtr<PopupHandler> handler = mPopupHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LCheckedListBox::ReceiveNotification(sender, notification);
}

KXRESULT LPopupMenu::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                            const wchar_t* identifier)
{
    if (mPopupHandler)
        mPopupHandler->RemoveHandler(sender, identifier);
    return LCheckedListBox::UnregisterNotification(sender, identifier);
}

} // namespace KX

// The menu bar: its titles made from a template and the string table, menus
// inserted and shifted with their titles, the focus it gives back, and the
// item states it forwards to its owner.
#include "Controls/MainMenu.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuDescriptor.h"
#include "Controls/PopupMenu.h"

#include <cwchar>
#include <vector>

namespace KX {

namespace {

constexpr const wchar_t* kLabelPrefix = L"MENU_LABEL.";

} // namespace

LMainMenu::LMainMenu(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LMainMenu::~LMainMenu() = default;

// ---- Creation ----

KXRESULT LMainMenu::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    const RCPtr<LControl> self(this);
    SetFocusDisabled(true);

    const RCPtrArray<LControl> children = mChildren.Snapshot();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LComboMenu> title = RCPtr<LComboMenu>::DynamicCast(children.GetAt(i));
        if (!title)
            continue;
        const RCPtr<LControlDescriptor> descriptor =
            mDescriptor ? mDescriptor->FindChild(title->GetName()) : RCPtr<LControlDescriptor>();
        if (title->GetName() == kTemplateName) {
            // The template never shows; only its description stays.
            mTemplateDescriptor = descriptor;
            title->Detach();
            mTemplateFound = true;
        } else {
            PrepareTitle(title);
            ++mFixedTitleCount;
            if (!mTemplateDescriptor)
                mTemplateDescriptor = descriptor;
        }
    }
    AddStringTableMenus();
    return result;
}

void LMainMenu::AddStringTableMenus()
{
    const RCPtr<LStringTable>& table = GetStringTable();
    if (!table)
        return;
    // Labels: "MENU_LABEL.<n>" is the label of menu n; numbers the table
    // skips leave empty labels.
    Array<LStringTable::StringPair> pairs;
    table->GetStringsWithPrefix(String(kLabelPrefix), pairs);
    std::vector<String> labels(static_cast<size_t>(pairs.GetCount()));
    const int32_t prefixLength = static_cast<int32_t>(std::wcslen(kLabelPrefix));
    for (int32_t i = 0; i < pairs.GetCount(); ++i) {
        const int32_t number = _wtoi(pairs.GetAt(i).first.Mid(prefixLength).GetData());
        if (number < 0)
            continue;
        // The table holds fewer menus than strings, labels included: a label
        // numbered past its string count makes more labels than menus, and
        // then no menu is added. Said here, before the labels would grow
        // to that number.
        if (number >= table->GetCount())
            return;
        if (static_cast<size_t>(number) >= labels.size())
            labels.resize(static_cast<size_t>(number) + 1);
        labels[static_cast<size_t>(number)] = pairs.GetAt(i).second;
    }
    RCPtrArray<LMenuDescriptor> menus;
    if (LoadContextMenus(menus) < 0 || static_cast<size_t>(menus.GetCount()) != labels.size())
        return;
    for (int32_t i = 0; i < menus.GetCount(); ++i) {
        const String& label = labels[static_cast<size_t>(i)];
        if (InsertMenu(i, label, label, menus.GetAt(i)) < 0)
            break;
    }
}

void LMainMenu::PrepareTitle(const RCPtr<LComboMenu>& title)
{
    title->SetFocusScope(true);
    title->SetTitleMenuItemUpdater(GetMenuItemUpdater());
    const RCPtr<LRootWindow>& window = GetRootWindow();
    const RCPtr<LPopupMenu> popup = title->GetPopupMenu();
    if (window && popup && !popup->GetNotificationTarget())
        popup->SetNotificationTarget(RCPtr<LNotificationQueue>(window.Get()));
}

KXRESULT LMainMenu::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (child && descriptor) {
        const KXRESULT result = LControl::AddChild(child, descriptor);
        if (!mTemplateDescriptor && RCPtr<LComboMenu>::DynamicCast(child))
            mTemplateDescriptor = descriptor;
        return result;
    }
    if (!child && descriptor && descriptor->GetName() == kTemplateName)
        mTemplateDescriptor = descriptor;
    return child ? LControl::AddChild(child, descriptor) : S_OK;
}

KXRESULT LMainMenu::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const RCPtr<LControl> self(this);
    mTemplateDescriptor = nullptr;
    // The string table's menus, with their texts and names, for the titles
    // made again from the new template.
    struct SavedMenu
    {
        String name;
        String text;
        RCPtr<LMenuDescriptor> menu;
    };
    std::vector<SavedMenu> saved;
    for (int32_t k = mFixedTitleCount; k < GetTitleCount(); ++k) {
        const RCPtr<LComboMenu> title = GetTitle(k);
        saved.push_back(SavedMenu{title->GetName(), title->GetText(), title->GetTitleMenu()});
    }
    const KXRESULT result = LControl::ApplyControlDescriptor(descriptor);
    if (!mCreated || !descriptor)
        return result;
    // The new skin's template: its "templateMenu" description (the control
    // made from it never joins the bar again), else the first title's.
    if (const RCPtr<LControlDescriptor> pattern = descriptor->FindChild(String(kTemplateName)))
        AddChild(RCPtr<LControl>(), pattern);
    if (const RCPtr<LControl> stray = FindChild(String(kTemplateName)))
        stray->Detach();
    for (const SavedMenu& entry : saved) {
        if (AddTitle(entry.name) < 0)
            continue;
        const RCPtr<LComboMenu> title = GetTitle(GetTitleCount() - 1);
        if (const RCPtr<LPopupMenu> popup = title->GetPopupMenu()) {
            if (entry.menu)
                popup->SetMenu(entry.menu);
        }
        title->SetText(entry.text);
    }
    return result;
}

KXRESULT LMainMenu::ProcessRootWindowAquired()
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LRootWindow> window = GetRootWindow()) {
        for (int32_t k = 0; k < GetTitleCount(); ++k) {
            const RCPtr<LPopupMenu> popup = GetTitle(k)->GetPopupMenu();
            // A target that is set already stays.
            if (popup && !popup->GetNotificationTarget())
                popup->SetNotificationTarget(RCPtr<LNotificationQueue>(window.Get()));
        }
    }
    return LControl::ProcessRootWindowAquired();
}

// ---- Titles ----

int32_t LMainMenu::GetTitleCount() const
{
    int32_t count = 0;
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        if (RCPtr<LComboMenu>::DynamicCast(children.GetAt(i)))
            ++count;
    }
    return count;
}

RCPtr<LComboMenu> LMainMenu::GetTitle(int32_t index) const
{
    if (index < 0)
        return RCPtr<LComboMenu>();
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const RCPtr<LComboMenu> title = RCPtr<LComboMenu>::DynamicCast(children.GetAt(i));
        if (title && index-- == 0)
            return title;
    }
    return RCPtr<LComboMenu>();
}

StringT<wchar_t, char> LMainMenu::GetMenuName(int32_t index) const
{
    if (index < 0)
        return String();
    const RCPtr<LComboMenu> title = GetTitle(mFixedTitleCount + index);
    return title ? title->GetName() : String();
}

int32_t LMainMenu::FindMenuIndex(const String& name) const
{
    for (int32_t k = GetTitleCount() - 1; k >= 0; --k) {
        if (GetTitle(k)->GetName() == name)
            return k < mFixedTitleCount ? -1 : k - mFixedTitleCount;
    }
    return -1;
}

KXRESULT LMainMenu::AddTitle(const String& name)
{
    if (FindChild(name))
        return E_INVALIDARG;
    // Without a template and without a title of the skin there is nothing to
    // copy a title from.
    LFrameworkApp* application = LFrameworkApp::sInstance;
    const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : RCPtr<LControlFactory>();
    if (!mTemplateDescriptor || !mTemplateDescriptor->GetLayoutDescriptor() || !factory)
        return E_FAIL;
    const RCPtr<LControl> self(this);

    const RCPtr<LLayoutDescriptor> layout = mTemplateDescriptor->GetLayoutDescriptor()->Clone();
    const int32_t titles = GetTitleCount();
    const bool firstFromTemplate = titles == mFixedTitleCount && mTemplateFound;
    if (!firstFromTemplate && titles > 0) {
        // Each new title starts at the right edge of the title before it.
        layout->mXPosition.mAnchor = 0.0f;
        layout->mXPosition.mKind = LLayoutDescriptor::PositionControl;
        layout->mXPosition.mControlName = GetTitle(titles - 1)->GetName();
        layout->mXPosition.mRel = 1.0f;
        layout->mXPosition.mAbs = 0.0;
    }
    RCPtr<LControlDescriptor> descriptor;
    if (factory->CloneDescriptor(descriptor, mTemplateDescriptor, ConstRCPtr<LLayoutDescriptor>(layout.Get()), name) <
            0 ||
        !descriptor)
        return E_FAIL;
    RCPtr<LControl> created;
    factory->CreateControl(created, self, descriptor);
    const RCPtr<LComboMenu> title = RCPtr<LComboMenu>::DynamicCast(created);
    if (!title || title->GetParent().Get() != this) {
        if (created && created->GetParent().Get() == this)
            created->Detach();
        return E_FAIL;
    }
    PrepareTitle(title);
    return S_OK;
}

KXRESULT LMainMenu::InsertMenu(int32_t index, const String& name, const String& text,
                               const RCPtr<LMenuDescriptor>& menu)
{
    if (index < 0 || index > GetTitleCount() - mFixedTitleCount)
        return E_INVALIDARG;
    return InsertMenuBefore(GetMenuName(index), name, text, menu);
}

KXRESULT LMainMenu::InsertMenuBefore(const String& before, const String& name, const String& text,
                                     const RCPtr<LMenuDescriptor>& menu)
{
    const RCPtr<LControl> self(this);
    int32_t place = GetTitleCount();
    if (!before.IsEmpty()) {
        const int32_t index = FindMenuIndex(before);
        if (index < 0)
            return E_INVALIDARG;
        place = index + mFixedTitleCount;
    }
    // Nothing moves when no title could be added.
    const KXRESULT added = AddTitle(name);
    if (added < 0)
        return added;

    // Each title from the new last one down takes over its left neighbour's
    // menu, text and name; the "_" keeps the names unique meanwhile.
    for (int32_t k = GetTitleCount() - 1; k > place; --k) {
        const RCPtr<LComboMenu> title = GetTitle(k);
        const RCPtr<LComboMenu> neighbour = GetTitle(k - 1);
        if (const RCPtr<LPopupMenu> popup = title->GetPopupMenu()) {
            if (const RCPtr<LMenuDescriptor> moved = neighbour->GetTitleMenu())
                popup->SetMenu(moved);
        }
        title->SetText(neighbour->GetText());
        const String oldName = neighbour->GetName();
        neighbour->SetName(oldName + String(L"_"));
        title->SetName(oldName);
    }
    const RCPtr<LComboMenu> title = GetTitle(place);
    title->SetText(text);
    if (const RCPtr<LPopupMenu> popup = title->GetPopupMenu()) {
        if (menu)
            popup->SetMenu(menu);
    }
    title->SetName(name);
    return place - mFixedTitleCount;
}

// ---- Owner, focus, edit target ----

bool LMainMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    const bool same = mItemUpdater == updater;
    mItemUpdater = updater;
    return same;
}

KXRESULT LMainMenu::UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex,
                                   const wchar_t* notificationId, MenuItemState& state)
{
    if (!mItemUpdater)
        return S_FALSE;
    const RCPtr<LControl> control = mItemUpdater->mControl;
    if (!control)
        return E_FAIL;
    return control->UpdateMenuItem(menu, itemIndex, notificationId, state);
}

void LMainMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    if ((param->mNewConditions & kContainsFocus) && !(param->mOldConditions & kContainsFocus)) {
        const RCPtr<LRootWindow>& window = GetRootWindow();
        mSavedFocus = window ? window->GetSavedFocusControl() : RCPtr<LControl>();
        // An ancestor of the bar is not held: the bar would keep its own
        // ancestor, and with it the whole tree, alive. Hiding the popup gives
        // the focus back up the tree anyway.
        for (LControl* ancestor = mParent.Get(); ancestor && mSavedFocus; ancestor = ancestor->GetParent().Get()) {
            if (ancestor == mSavedFocus.Get())
                mSavedFocus = nullptr;
        }
    }
}

RCPtr<LControl> LMainMenu::GetEditTarget()
{
    if (mSavedFocus && mSavedFocus->CanEdit())
        return mSavedFocus;
    return mParent ? mParent->GetEditTarget() : RCPtr<LControl>();
}

} // namespace KX

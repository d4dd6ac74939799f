// KX::LMainMenu: a window's menu bar ("Framework.MainMenu"): a row of titles
// (KX::LComboMenu), each dropping a popup menu. The titles are copies of a
// template title that the skin provides as the child "templateMenu"; their
// names, labels and menus come from the bar's string table: "MENU_LABEL.<n>"
// entries give the labels and the "CONTEXT_MENU<n>." entries one menu each.
//
// Contract:
// - Titles are the children that are combo menus, counted in insertion
//   order. The first mFixedTitleCount of them are the skin's own titles (not
//   menus of the string table); menu i is title mFixedTitleCount + i, and a
//   title's name identifies its menu.
// - Added titles stand one after the other: each starts at the right edge of
//   the title before it (the first added one where the template stands).
// - The bar never takes the focus itself; its titles do. When the bar comes
//   to contain the focus it remembers the control that had it, and a chosen
//   item gives the focus back to that control.
// - The popups ask the bar for item states; the bar forwards the questions to
//   the control whose updater it was given (the application's main control).
// - In a root window, the popups' activations are posted to the window's
//   queue: they are delivered in the next idle pass.
// - Label and menu counts that differ leave the bar without menus. AddTitle
//   without any title to copy (no "templateMenu", no skin title) fails with
//   E_FAIL, and InsertMenuBefore stops when AddTitle fails.
// - The string table's titles are rebuilt with their menus and texts on
//   every skin change.
// - User-interface thread only.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LComboMenu;
class LMenuDescriptor;

class LMainMenu : public LControl
{
public:
    static constexpr const wchar_t* kTemplateName = L"templateMenu";

    LMainMenu(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The remembered control when it edits text, else the parent's.
    RCPtr<LControl> GetEditTarget() override;
    // Coming to contain the focus: the control that had it is remembered.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // Every title's popup posts its activations to the new window's queue;
    // then the base's.
    KXRESULT ProcessRootWindowAquired() override;
    // Forwarded to the updater's control; 1 without an updater, E_FAIL when
    // the updater has no control.
    KXRESULT UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex, const wchar_t* notificationId,
                            MenuItemState& state) override;
    // A skin change: the string table's titles are made again with their
    // menus and texts.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // The base's; then the template and the skin titles, and the titles of
    // the string table. The base's result.
    KXRESULT Initialize() override;
    // Keeps the first combo menu's description (or a description-only
    // "templateMenu") as the template.
    KXRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;

    // ==== Plain operations ====

    // Stores the updater; whether it was the stored one already.
    bool SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater);
    int32_t GetTitleCount() const;
    // The k-th title in insertion order; null past them.
    RCPtr<LComboMenu> GetTitle(int32_t index) const;
    // The name of menu i; empty when there is none.
    String GetMenuName(int32_t index) const;
    // The menu whose title has that name (case-sensitive, searched from the
    // last title); -1 for none and for the skin's own titles.
    int32_t FindMenuIndex(const String& name) const;
    // A new last title of that name, copied from the template. E_INVALIDARG
    // when a child has the name, E_FAIL without a template; else 0.
    KXRESULT AddTitle(const String& name);
    // InsertMenuBefore the menu now at index i (i = the menu count appends).
    // The new menu's index, or E_INVALIDARG past the menus.
    KXRESULT InsertMenu(int32_t index, const String& name, const String& text, const RCPtr<LMenuDescriptor>& menu);
    // Inserts a menu before the named one (empty: appends); the titles after
    // it move one place to the right with their menus, texts and names. The
    // new menu's index, E_INVALIDARG for an unknown name, or AddTitle's
    // failure.
    KXRESULT InsertMenuBefore(const String& before, const String& name, const String& text,
                              const RCPtr<LMenuDescriptor>& menu);

    const RCPtr<LControl>& GetSavedFocus() const { return mSavedFocus; }
    int32_t GetFixedTitleCount() const { return mFixedTitleCount; }
    bool IsTemplateFound() const { return mTemplateFound; }
    const RCPtr<LControlDescriptor>& GetTemplateDescriptor() const { return mTemplateDescriptor; }

protected:
    ~LMainMenu() override;

private:
    // A title's popup posts to the window's queue and asks the bar for item
    // states.
    void PrepareTitle(const RCPtr<LComboMenu>& title);
    // The string table's labels and menus become titles.
    void AddStringTableMenus();

    RCPtr<LControl> mSavedFocus;
    RCPtr<LControlDescriptor> mTemplateDescriptor;
    RCPtr<LMenuItemUpdater> mItemUpdater;
    int32_t mFixedTitleCount = 0;
    bool mTemplateFound = false;
};

} // namespace KX

// KX::LTabControl ("Framework.TabControl"): a panel that switches between
// pages. Its skin gives it two child panels:
// - "buttonHolder": one button per tab;
// - "pageHolder": one page control per tab.
// Tab i is the button and the page at position i of the two holders' children
// in insertion order; a tab is named by its button's name.
//
// Contract:
// - Selecting a tab hides every other page, shows its own and sends
//   "NID_TAB_SELECTED" with the selected page as data. A click on a tab's
//   button selects it, also when it is selected already (the notification
//   comes again).
// - The selection is kept as a name only: a name that matches no button
//   hides every page and is announced with no page; adding or removing
//   buttons later changes the position the name stands for. A skin change
//   selects the kept name again.
// - Lookups by position answer null outside the tabs (a negative position
//   included) and where the page holder has fewer pages than there are
//   buttons; lookups by name answer -1 or null for an unknown name. With two
//   buttons of the same name the later one (insertion order) is the tab.
// - A tab control without both holders or without a first button (in the
//   button holder's tab order) selects nothing and binds no clicks; its
//   Initialize answers E_FAIL.
// - Notifications go to the tab control's table, then the panel's, the
//   scroll view's and the control base's.
// - User-interface thread only.
#pragma once

#include "Controls/Panel.h"

#include <cstdint>

namespace KX {

class LTabControl : public LPanel
{
public:
    using TabHandler = LNotificationHandler<LTabControl>;

    static constexpr const wchar_t* kButtonHolderName = L"buttonHolder";
    static constexpr const wchar_t* kPageHolderName = L"pageHolder";

    LTabControl(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides, in slot order ====

    // The scroll view's; on a live control (a skin change) the kept tab is
    // selected again, so that the new skin's page visibility follows it.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // The panel's, then the holders, the first tab in the button holder's
    // tab order, and the clicks of every button of the button holder. E_FAIL
    // when the panel's fails or no tab could be selected. A failed binding
    // throws the failed-result exception.
    KXRESULT Initialize() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations of the tab control, in slot order ====

    // The number of buttons; 0 without a button holder.
    virtual int32_t GetTabCount();
    // The position of the last button whose name equals the text (exact,
    // case-sensitive), -1 when none or without a button holder.
    virtual int32_t FindTab(const String& name);
    virtual int32_t GetSelectedTabIndex();
    // The selected tab's page; null when the kept name matches no tab or the
    // tab has no page.
    virtual RCPtr<LControl> GetSelectedPage();
    virtual const String& GetSelectedTabName();
    virtual RCPtr<LControl> GetPage(const String& name);
    virtual RCPtr<LControl> GetPageAt(int32_t index);
    virtual RCPtr<LControl> GetTabButton(const String& name);
    virtual RCPtr<LControl> GetTabButtonAt(int32_t index);
    // Hides every page but the named tab's, keeps the name, runs
    // OnTabSelected, shows the tab's page and sends "NID_TAB_SELECTED" with
    // it (null for an unknown name). 0; E_FAIL without both holders.
    virtual KXRESULT SelectTab(const String& name);
    // Selects the button at that position of the button holder's tab order.
    // E_FAIL without a button holder, for a position outside the buttons or
    // for a child there that is not a button; else SelectTab's result.
    virtual KXRESULT SelectTabAt(int32_t index);
    // Called by SelectTab before the page is shown, with the tab's position
    // (-1 for an unknown name). Empty here.
    virtual void OnTabSelected(int32_t index);

    const RCPtr<LPanel>& GetButtonHolder() const { return mButtonHolder; }
    const RCPtr<LPanel>& GetPageHolder() const { return mPageHolder; }

protected:
    ~LTabControl() override;

private:
    // A tab button's "NID_LEFT_CLICK": its tab is selected. 1.
    KXRESULT OnTabButtonClicked(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    // Binds the clicks of every button of the button holder.
    void BindTabButtons();

    // ---- Fields, in order ----
    RCPtr<TabHandler> mTabHandler;
    RCPtr<LPanel> mButtonHolder;
    RCPtr<LPanel> mPageHolder;
    String mSelectedTabName;
};

} // namespace KX

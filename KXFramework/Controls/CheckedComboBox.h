// KX::LCheckedComboBox ("Framework.CheckedComboBox" and
// "Framework.ComboBoxWithIcons"): a combo box whose list is a checked list box
// ("listBox"). It adds a button "checkBox" of its own that shows whether the
// chosen item is checked and carries the chosen item's icon, a second set of
// seven looks shown while any item is checked, and the list's
// "NID_ITEM_CHECK_CHANGE" passed on as its own.
//
// Contract:
// - Looks: the combo box's 0 to 6, shifted by 7 (7 to 13) while at least one
//   item of the list is checked.
// - The "checkBox" button follows the chosen item: its value is 1.0 when that
//   item is checked, 0.0 when not, and stays as it was when nothing is
//   chosen; every look of it shows the item's icon (none: no image). It
//   follows the chosen item's check state when that changes too. Its tool
//   tip is the combo box's.
// - With a list that has shared icons ("Framework.ComboBoxWithIcons" skins),
//   the button ignores the pointer and only shows the icon.
// - A skin whose "listBox" is missing or no checked list box fails
//   Initialize; without "checkBox" the box works without the check and icon
//   display.
// - User-interface thread only.
#pragma once

#include "Controls/CheckedListBox.h"
#include "Controls/ComboBox.h"

namespace KX {

class LButton;

class LCheckedComboBox : public LComboBox
{
public:
    using CheckedComboHandler = LNotificationHandler<LCheckedComboBox>;

    // The looks shown while an item is checked are the others plus this.
    static constexpr int32_t kCheckedLookOffset = 7;

    LCheckedComboBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The combo box's; then the check box's tool tip, the drop-down mode, the
    // icons and the binding of the list's check changes. E_FAIL without a
    // checked list box.
    KXRESULT Initialize() override;
    // The chosen item's icon on the check box; then the combo box's.
    KXRESULT OnCreated() override;
    // The combo box's; then the look.
    KXRESULT SetItemCount(int32_t count) override;
    // The check box shows the item's check state and icon; then the combo
    // box's choice.
    int32_t SetSelectedIndex(int32_t index) override;
    // The combo box's look, shifted while any item is checked. 0.
    KXRESULT UpdateLook() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Plain operations ====

    // The check box ignores the pointer (an icon display) or not.
    void SetCheckBoxIgnoresPointer(bool ignores);
    bool CheckBoxIgnoresPointer() const { return mCheckBoxIgnoresPointer; }
    const RCPtr<LCheckedListBox>& GetCheckedListBox() const { return mCheckedListBox; }
    // The "checkBox" child as a button, or null.
    RCPtr<LButton> CheckBox() const;

protected:
    ~LCheckedComboBox() override;

private:
    // The list's "NID_ITEM_CHECK_CHANGE": the look when the first item was
    // checked or the last unchecked, the check box when the chosen item
    // changed, then passed on. 1.
    KXRESULT OnListCheckChange(const RCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);
    // Every look of the check box shows the icon (null: no image).
    void ShowIcon(const RCPtr<LBitmap>& icon);

    RCPtr<CheckedComboHandler> mCheckedComboHandler;
    RCPtr<LCheckedListBox> mCheckedListBox;
    bool mCheckBoxIgnoresPointer = false;
};

} // namespace KX

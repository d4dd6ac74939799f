// KX::LCheckedListBoxItem: the row of a checked list box
// ("Framework.CheckedListBoxItem"): a list row whose child button
// "checkBox" shows the item's checked state and, in a list with icons, the
// item's icon. The popup menu's item row and the tree view's row derive from
// it.
//
// Contract:
// - The check box never takes the focus and offers the row's tool tip.
// - The row looks hot while the pointer is on its check box.
// - A row without a "checkBox" child (or with a child that is no button)
//   works as a plain row.
// - User-interface thread only.
#pragma once

#include "Controls/Button.h"
#include "Controls/ListBoxItem.h"

namespace KX {

class LCheckedListBoxItem : public LListBoxItem
{
public:
    using Handler = LNotificationHandler<LCheckedListBoxItem>;

    LCheckedListBoxItem(const RCPtr<LControl>& parent, const String& name);

    // The control base's; then the check box's hover binding, focus and tip.
    KXRESULT Initialize() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // Weight 1 for the look at the index, 0 for every other. Whether that
    // succeeded.
    bool SetLook(int32_t index, bool exclusive);

    // The direct child "checkBox" as a button; null without one.
    RCPtr<LButton> GetCheckBox() const;
    // Its value: 1 checked, 0 not. Nothing without a check box.
    void SetCheckBoxValue(double value);
    void ShowCheckBox(bool show);
    // Every look of the check box shows the icon (stretched, in place of its
    // client part); a null icon removes the images.
    void SetCheckBoxIcon(const RCPtr<LBitmap>& icon);

protected:
    ~LCheckedListBoxItem() override;

    // The check box's hover: the row looks hot while it lasts.
    KXRESULT OnCheckBoxHover(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<Handler> mCheckedItemHandler;
};

} // namespace KX

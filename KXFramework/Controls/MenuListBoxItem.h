// KX::LMenuListBoxItem: the row of a popup menu ("Framework.MenuItem"): a
// checked list row whose children come from the skin's "templateItem": the
// button "checkBox" (the check mark) and the label "hotKeyLabel" (the text of
// the key bound to the item, at the row's right edge). The popup binds menu
// items to these rows; the row itself only gives access to its two parts.
//
// Contract:
// - A row without a "hotKeyLabel" (or without a "checkBox") works without
//   that part: its texts and looks are simply not shown.
// - User-interface thread only.
#pragma once

#include "Controls/CheckedListBoxItem.h"

namespace KX {

class LMenuListBoxItem : public LCheckedListBoxItem
{
public:
    LMenuListBoxItem(const RCPtr<LControl>& parent, const String& name);

    // The direct child "hotKeyLabel", or null.
    RCPtr<LControl> GetHotKeyLabel() const;
    // The hot-key label's text; nothing without a label.
    void SetHotKeyText(const String& text);
    // The check box's look, alone; nothing without a check box.
    void SelectCheckLook(int32_t index);
    // The hot-key label's text colour follows the row's active look: its
    // looks take the row's text foreground part, when the row's look has one.
    void FollowRowTextColour();

protected:
    ~LMenuListBoxItem() override;
};

} // namespace KX

// KX::LTreeViewItem ("Framework.TreeViewItem"): the row of a tree view. A
// checked list row whose check box serves as the expander, indented by the
// depth of the item it shows.
//
// Contract:
// - SetIndent (depth) places the row depth check-box widths from the left of
//   its list's client area; the rest of its placement stays as the skin
//   gave it. A row without a check box is not indented.
// - User-interface thread only.
#pragma once

#include "Controls/CheckedListBoxItem.h"

#include <cstdint>

namespace KX {

class LTreeViewItem : public LCheckedListBoxItem
{
public:
    LTreeViewItem(const RCPtr<LControl>& parent, const String& name);

    // The X position becomes depth times the width of the "checkBox" child;
    // its other parts and the X size stay. 0.
    KXRESULT SetIndent(int32_t depth);

protected:
    ~LTreeViewItem() override;
};

} // namespace KX

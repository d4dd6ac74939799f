// The tree view's row: indentation by depth.
#include "Controls/TreeViewItem.h"

#include <algorithm>

namespace KX {

LTreeViewItem::LTreeViewItem(const RCPtr<LControl>& parent, const String& name) : LCheckedListBoxItem(parent, name) {}

LTreeViewItem::~LTreeViewItem() = default;

KXRESULT LTreeViewItem::SetIndent(int32_t depth)
{
    const RCPtr<LControl>& checkBox = FindChild(String(L"checkBox"));
    const double width = checkBox ? checkBox->GetRect().width : 0.0;
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    GetLayout().GetAxisSpec(0, position, docked, size);
    const double indent = std::max(0, depth) * width;
    if (position.mAbs == indent)
        return S_OK;
    position.mAbs = indent;
    return SetPlacement(0, position, docked, size);
}

} // namespace KX

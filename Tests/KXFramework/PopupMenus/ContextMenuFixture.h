// The context-menu scene of the menu test skin in a 1000 x 750 window: two
// menu owners ("target" at the window's origin, "corner" at its bottom
// right), each with the context menu of its strings, and a button.
#pragma once

#include "MenuOwnerControl.h"
#include "MenuTestSupport.h"

#include "Controls/MenuListBoxItem.h"
#include "Controls/PopupMenu.h"

namespace MenuTest {

class ContextMenuFixture : public MenuTestBase
{
protected:
    void SetUp() override
    {
        MenuTestBase::SetUp();
        Load(true, PointT<long>(1000, 750));
        OpenScene(L"contextScene");
        target = FindAs<MenuOwnerControl>(L"target");
        corner = FindAs<MenuOwnerControl>(L"corner");
        ASSERT_TRUE(target && corner);
        for (const RCPtr<MenuOwnerControl>& owner : {target, corner}) {
            KX::RCPtrArray<KX::LMenuDescriptor> menus;
            owner->LoadContextMenus(menus);
            ASSERT_EQ(1, menus.GetCount());
            owner->SetContextMenu(menus.GetAt(0));
        }
    }

    // A right click at the point (on an owner); the popup it opened, or null.
    RCPtr<KX::LPopupMenu> RightClickAt(const RCPtr<KX::LControl>& owner, const PointT<long>& point)
    {
        Click(point, 4);
        return RCPtr<KX::LPopupMenu>::DynamicCast(owner->FindChild(String(L"contextMenu")));
    }

    // The row that shows an item, as a menu row.
    static RCPtr<KX::LMenuListBoxItem> RowOf(const RCPtr<KX::LPopupMenu>& popup, int32_t item)
    {
        return popup->GetMenuRow(popup->GetItemRowIndex(item));
    }
    static std::wstring HotKeyText(const RCPtr<KX::LPopupMenu>& popup, int32_t item)
    {
        const RCPtr<KX::LMenuListBoxItem> row = RowOf(popup, item);
        const RCPtr<KX::LControl> label = row ? row->GetHotKeyLabel() : RCPtr<KX::LControl>();
        return label ? Text(label->GetText()) : std::wstring(L"(no label)");
    }

    RCPtr<MenuOwnerControl> target;
    RCPtr<MenuOwnerControl> corner;
};

} // namespace MenuTest

// Tool tips, context menus and edit targets: which control owns a tool tip,
// the menu a control offers on a right click, the item-state query of menus,
// and the routing of cut, copy, paste and delete to a text-editing control.
// Creating and showing the tool-tip and popup-menu controls, and building
// menus from the string table, complete this file with those controls.
#include "ControlBase/Control.h"

#include "Controls/MenuDescriptor.h"

namespace KX {

StringT<wchar_t, char> LControl::GetToolTipText()
{
    return mToolTipText;
}

KXRESULT LControl::ShowToolTip(bool)
{
    return S_OK;
}

const RCPtr<LMenuDescriptor>& LControl::GetContextMenu()
{
    return mContextMenu;
}

void LControl::PrepareContextMenu(const RCPtr<LControl>&) {}

KXRESULT LControl::UpdateMenuItem(const RCPtr<LMenuDescriptor>&, int32_t, const wchar_t*, MenuItemState&)
{
    return S_FALSE;
}

KXRESULT LControl::SetContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    mContextMenu = menu;
    return S_OK;
}

KXRESULT LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>&)
{
    return S_OK;
}

KXRESULT LControl::LoadContextMenus(RCPtrArray<LMenuDescriptor>&)
{
    return S_FALSE;
}

const RCPtr<LMenuItemUpdater>& LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) {
        mMenuItemUpdater = LMenuItemUpdater::Create(RCPtr<LControl>(this));
        // The updater's reference back to this control is one of its own.
        AdjustInternalReferenceCount(1);
    }
    return mMenuItemUpdater;
}

bool LControl::CanEdit()
{
    return false;
}

RCPtr<LControl> LControl::GetEditTarget()
{
    if (CanEdit())
        return RCPtr<LControl>(this);
    return mParent ? mParent->GetEditTarget() : RCPtr<LControl>();
}

bool LControl::CanPerformEdit(int32_t)
{
    return false;
}

KXRESULT LControl::PerformEdit(int32_t)
{
    KX_THROW(std::logic_error, "LControl::PerformEdit must be overridden", "KX::LControl::PerformEdit",
             "ControlBase/Control", 591);
}

} // namespace KX

// The menu-bar title: its looks, where its popup opens, the press that goes on
// as a drag in the popup, and the hover switch between the titles of a bar.
#include "Controls/ComboMenu.h"

#include "ControlBase/LayoutUtils.h"
#include "Controls/MenuPlacement.h"
#include "Controls/PopupMenu.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

const wchar_t* const kPopupMenuName = L"popupMenu";

} // namespace

LComboMenu::LComboMenu(const RCPtr<LControl>& parent, const String& name) : LDropDownControl(parent, name) {}

LComboMenu::~LComboMenu()
{
    mComboMenuHandler = nullptr;
}

// ---- Creation ----

KXRESULT LComboMenu::Initialize()
{
    if (LDropDownControl::Initialize() < 0)
        return E_FAIL;
    mComboMenuHandler = new ComboMenuHandler(this);
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
        const RCPtr<LNotificationDistributor> sender(popup.Get());
        mComboMenuHandler->AddHandler(&LComboMenu::OnPopupVisibilityChange, sender, NID_VISIBLITY_CONDITION_CHANGE);
        mComboMenuHandler->AddHandler(&LComboMenu::OnPopupItemActivated, sender, NID_ITEM_ACTIVATED);
        // The title hides its popup; the popup never closes itself, but a
        // release outside the title that chose nothing hides it.
        popup->SetAutoClose(false);
        popup->SetHidesOnReleaseOutsideParent(true);
    }
    return S_OK;
}

KXRESULT LComboMenu::OnCreated()
{
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu())
        mPopupOffsetX = popup->GetLayout().mXPosition.mAbs;
    return S_OK;
}

// ---- The popup ----

RCPtr<LPopupMenu> LComboMenu::GetPopupMenu() const
{
    return RCPtr<LPopupMenu>::DynamicCast(FindChild(String(kPopupMenuName)));
}

RCPtr<LMenuDescriptor> LComboMenu::GetTitleMenu() const
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    return popup ? popup->GetMenu() : RCPtr<LMenuDescriptor>();
}

KXRESULT LComboMenu::SetTitleMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu())
        popup->SetUpdater(updater);
    return S_OK;
}

bool LComboMenu::IsDropDownShown()
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    if (!popup)
        return false;
    const RectT<double>& rect = popup->GetRect();
    return popup->GetLayout().mIsVisible && rect.width > 0.0 && rect.height > 0.0;
}

void LComboMenu::FitPopupIntoRoot(const RCPtr<LPopupMenu>& popup)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> root = GetRootControl();
    if (!root)
        return;
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    popup->GetLayout().GetAxisSpec(0, position, docked, size);

    // The skin's offset, in the root control's coordinates, kept inside it.
    PointT<double> point(mPopupOffsetX, 0.0);
    OffsetToControl(root, point);
    const double rootWidth = root->GetRect().width;
    const double popupWidth = popup->GetRect().width;
    point.x = MenuPlacement::FitTitlePopupX(point.x, popupWidth, rootWidth);
    // Back into the title's coordinates, where the popup's position is
    // measured, whether or not it had to move: a title that is not at the
    // root control's left edge would otherwise push its popup away by its
    // own distance from that edge.
    root->OffsetToControl(self, point);
    if (point.x != position.mAbs) {
        position.mAbs = point.x;
        popup->SetPlacement(0, position, docked, size);
    }
}

KXRESULT LComboMenu::ShowDropDown(bool show)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LPopupMenu> popup = GetPopupMenu();
    if (!popup) {
        // Nothing to open: the title only shows whether it is hot.
        SelectLook(IsEnabled(true) ? StateLook() : kLookDisabled, true);
        return S_FALSE;
    }
    if (show)
        FitPopupIntoRoot(popup);
    popup->SetVisible(show);
    if (show) {
        popup->SetFocus(true);
        SelectLook(kLookOpen, true);
    } else {
        SelectLook(mHover ? kLookHot : kLookNormal, true);
    }
    // The press that opened the menu goes on in the popup: the popup takes
    // the held button, and a release over an item chooses it.
    if (show && mLeftPressed)
        popup->BeginCapture(1, RoundDoubleToInt(mPressPoint.x), RoundDoubleToInt(mPressPoint.y));
    return S_OK;
}

// ---- Conditions ----

int32_t LComboMenu::StateLook()
{
    if (IsDropDownShown())
        return kLookOpen;
    return mHover ? kLookHot : kLookNormal;
}

void LComboMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const RCPtr<LControl> self(this);
    const uint32_t oldWord = param->mOldConditions;
    const uint32_t newWord = param->mNewConditions;
    if (IsEnabled(true)) {
        SelectLook(StateLook(), true);
        if (((oldWord ^ newWord) & kHover) && (newWord & kHover)) {
            const RCPtr<LComboMenu> open = FindOpenSibling();
            if (open && open.Get() != this) {
                if (const RCPtr<LPopupMenu> openPopup = open->GetPopupMenu())
                    openPopup->SetVisible(false);
                open->SelectLook(open->IsHovered() ? kLookHot : kLookNormal, true);
                ShowDropDown(true);
            }
        }
    } else {
        SelectLook(kLookDisabled, true);
    }
    if ((newWord & kLeftPressed) && !(oldWord & kLeftPressed)) {
        // The condition's point is the press in the parent's coordinates:
        // into the title's, then into the popup's.
        PointT<double> press(param->mPoint.x - mRect.x, param->mPoint.y - mRect.y);
        if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
            press.x -= popup->GetRect().x;
            press.y -= popup->GetRect().y;
        }
        mPressPoint = press;
    }
    LDropDownControl::OnConditionsChanged(param);
}

RCPtr<LComboMenu> LComboMenu::FindOpenSibling() const
{
    if (!mParent)
        return RCPtr<LComboMenu>();
    const RCPtrArray<LControl> siblings = mParent->GetChildren().Snapshot();
    for (int32_t i = siblings.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LComboMenu> title = RCPtr<LComboMenu>::DynamicCast(siblings.GetAt(i));
        if (title && title->IsDropDownShown())
            return title;
    }
    return RCPtr<LComboMenu>();
}

// ---- Name ----

KXRESULT LComboMenu::SetName(const String& name)
{
    if (!mParent) {
        mName = name;
        return S_OK;
    }
    if (name == mName)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> parent = mParent;
    if (parent->FindChild(name))
        return E_FAIL;
    const int32_t index = parent->GetChildIndex(self, kInsertionOrder);
    if (index < 0)
        return E_INVALIDARG;
    const String oldName = mName;
    mName = name;
    const RCPtrArray<LControl> siblings = parent->GetChildren().Snapshot();
    for (int32_t i = index + 1; i < siblings.GetCount(); ++i) {
        const RCPtr<LControl>& sibling = siblings.GetAt(i);
        const RCPtr<LLayoutDescriptor>& layout = sibling->GetLayoutDescriptor();
        if (layout && layout->ReplaceControlName(oldName, name) == S_OK)
            sibling->RecalcLayout();
    }
    return S_OK;
}

// ---- The popup's notifications ----

KXRESULT LComboMenu::OnPopupItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu())
        popup->SetVisible(false);
    SelectLook(mHover ? kLookHot : kLookNormal, true);
    return S_FALSE;
}

KXRESULT LComboMenu::OnPopupVisibilityChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    SelectLook(StateLook(), true);
    return S_OK;
}

KXRESULT LComboMenu::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (mCreated && mComboMenuHandler && mComboMenuHandler->Binds(sender, notification)) {
        const RCPtr<ComboMenuHandler> handler = mComboMenuHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LDropDownControl::ReceiveNotification(sender, notification);
}

KXRESULT LComboMenu::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mComboMenuHandler)
        mComboMenuHandler->RemoveHandler(sender, identifier);
    return LDropDownControl::UnregisterNotification(sender, identifier);
}

} // namespace KX

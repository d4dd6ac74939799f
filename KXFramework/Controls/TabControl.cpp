// The tab control: tab i is the i-th child of the button holder and the i-th
// child of the page holder; the selection is the selected button's name.
#include "Controls/TabControl.h"

#include "Controls/Button.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

// The child at a position of a holder's insertion order, or null where the
// holder is missing or has no child there.
RCPtr<LControl> ChildAt(const RCPtr<LPanel>& holder, int32_t index)
{
    if (!holder || index < 0 || index >= holder->GetChildCount())
        return RCPtr<LControl>();
    return holder->GetChildren().GetAt(index, LControl::kInsertionOrder);
}

} // namespace

LTabControl::LTabControl(const RCPtr<LControl>& parent, const String& name) : LPanel(parent, name) {}

LTabControl::~LTabControl() = default;

// ---- Creation ----

KXRESULT LTabControl::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LPanel::ApplyControlDescriptor(descriptor);
    if (mCreated)
        SelectTab(String(mSelectedTabName));
    return result;
}

KXRESULT LTabControl::Initialize()
{
    if (LPanel::Initialize() < 0)
        return E_FAIL;
    mButtonHolder = RCPtr<LPanel>::DynamicCast(FindChild(String(kButtonHolderName)));
    mPageHolder = RCPtr<LPanel>::DynamicCast(FindChild(String(kPageHolderName)));
    const KXRESULT selected = SelectTabAt(0);
    if (selected < 0)
        return selected;
    mTabHandler = new TabHandler(this);
    BindTabButtons();
    return selected;
}

void LTabControl::BindTabButtons()
{
    const RCPtrArray<LControl> buttons = mButtonHolder->GetChildren().Snapshot();
    for (int32_t i = 0; i < buttons.GetCount(); ++i) {
        const RCPtr<LButton> button = RCPtr<LButton>::DynamicCast(buttons.GetAt(i));
        if (!button)
            continue;
        KX_THROW_IF_FAILED(mTabHandler->AddHandler(&LTabControl::OnTabButtonClicked,
                                                   RCPtr<LNotificationDistributor>(button.Get()), NID_LEFT_CLICK),
                           "KX::LTabControl::Initialize", "Controls\\TabControl", __LINE__);
    }
}

// ---- Lookups ----

int32_t LTabControl::GetTabCount()
{
    return mButtonHolder ? mButtonHolder->GetChildCount() : 0;
}

int32_t LTabControl::FindTab(const String& name)
{
    for (int32_t i = GetTabCount() - 1; i >= 0; --i) {
        if (ChildAt(mButtonHolder, i)->GetName() == name)
            return i;
    }
    return -1;
}

int32_t LTabControl::GetSelectedTabIndex()
{
    return FindTab(mSelectedTabName);
}

RCPtr<LControl> LTabControl::GetSelectedPage()
{
    return GetPageAt(GetSelectedTabIndex());
}

const StringT<wchar_t, char>& LTabControl::GetSelectedTabName()
{
    return mSelectedTabName;
}

RCPtr<LControl> LTabControl::GetPage(const String& name)
{
    return GetPageAt(FindTab(name));
}

RCPtr<LControl> LTabControl::GetPageAt(int32_t index)
{
    // A position outside the tabs (-1 for an unknown name) has no page, and
    // neither has a tab beyond the page holder's last child.
    if (index >= GetTabCount())
        return RCPtr<LControl>();
    return ChildAt(mPageHolder, index);
}

RCPtr<LControl> LTabControl::GetTabButton(const String& name)
{
    return GetTabButtonAt(FindTab(name));
}

RCPtr<LControl> LTabControl::GetTabButtonAt(int32_t index)
{
    return ChildAt(mButtonHolder, index);
}

// ---- Selection ----

KXRESULT LTabControl::SelectTab(const String& name)
{
    if (!mButtonHolder || !mPageHolder)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const String selectedName = name; // the argument may be the kept name itself
    const int32_t selected = FindTab(selectedName);
    for (int32_t i = GetTabCount() - 1; i >= 0; --i) {
        const RCPtr<LControl> page = GetPageAt(i);
        if (page && i != selected)
            page->SetVisible(false);
    }
    mSelectedTabName = selectedName;
    OnTabSelected(selected);
    const RCPtr<LControl> page = GetPageAt(selected);
    if (page)
        page->SetVisible(true);
    SendNotificationWithData(NID_TAB_SELECTED, RCPtr<LRefCountedObject>(GetSelectedPage().Get()));
    return S_OK;
}

KXRESULT LTabControl::SelectTabAt(int32_t index)
{
    if (!mButtonHolder || index < 0 || index >= mButtonHolder->GetChildCount())
        return E_FAIL;
    const RCPtr<LButton> button =
        RCPtr<LButton>::DynamicCast(mButtonHolder->GetChildren().GetAt(index, LControl::kTabOrder));
    if (!button)
        return E_FAIL;
    return SelectTab(button->GetName());
}

void LTabControl::OnTabSelected(int32_t) {}

KXRESULT LTabControl::OnTabButtonClicked(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    if (const RCPtr<LControl> button = RCPtr<LControl>::DynamicCast(sender))
        SelectTab(button->GetName());
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LTabControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    if (mCreated && mTabHandler && mTabHandler->Binds(sender, notification)) {
        const RCPtr<TabHandler> handler = mTabHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LPanel::ReceiveNotification(sender, notification);
}

KXRESULT LTabControl::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const wchar_t* identifier)
{
    if (mTabHandler)
        mTabHandler->RemoveHandler(sender, identifier);
    return LPanel::UnregisterNotification(sender, identifier);
}

} // namespace KX

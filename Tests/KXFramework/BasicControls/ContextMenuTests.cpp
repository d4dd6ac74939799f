// Context menus and edit targets: a control's "CONTEXT_MENU" strings build
// its menus in both string forms, a context-menu item bound to a key acts
// exactly like that key, the menu-item updater does not keep its control
// alive, and the clipboard's edit requests reach the nearest control that
// edits text.
#include "BasicControlsTestSupport.h"

#include "ControlBase/ControlEditTarget.h"
#include "Controls/MenuDescriptor.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"
#include "System/ClipBoard.h"

#include <stdexcept>

using namespace BasicTest;
using KX::LControl;
using KX::LMenuDescriptor;
using KX::PointT;

namespace {

// "label=ID" per item, "label{...}" for a submenu, items joined by ", ".
std::wstring Describe(const LMenuDescriptor& menu)
{
    std::wstring text;
    for (int32_t i = 0; i < menu.GetItemCount(); ++i) {
        const RCPtr<KX::LMenuItemDescriptor>& item = menu.GetItem(i);
        if (i)
            text += L", ";
        text += Text(item->mText);
        if (item->HasItems())
            text += L"{" + Describe(*item) + L"}";
        else
            text += L"=" + Text(item->mNotificationId);
    }
    return text;
}

std::vector<std::wstring> LoadMenus(const RCPtr<LControl>& control)
{
    KX::RCPtrArray<LMenuDescriptor> menus;
    EXPECT_EQ(S_FALSE, control->LoadContextMenus(menus));
    std::vector<std::wstring> described;
    for (int32_t i = 0; i < menus.GetCount(); ++i)
        described.push_back(Describe(*menus.GetAt(i)));
    return described;
}

class ContextMenuTest : public BasicControlsTest
{
protected:
    void SetUp() override
    {
        BasicControlsTest::SetUp();
        Open(true);
    }
};

TEST_F(ContextMenuTest, AControlsContextMenuStringsBuildItsMenus)
{
    // The single form "CONTEXT_MENU.": one menu, the numbered forms ignored.
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Plain=NID_TEST_PLAIN_ITEM, Window Item=NID_TEST_WINDOW_ITEM, "
                  L"More{Application Item=NID_TEST_APPLICATION_ITEM}"}),
              LoadMenus(Find(L"buttonA")));
    // One menu per "CONTEXT_MENU<name>." in string order of the names; a
    // name's entries are its own only, and an entry without a point is none.
    EXPECT_EQ((std::vector<std::wstring>{L"First=NID_FIRST_MENU", L"Second=NID_SECOND_MENU",
                                         L"Tenth=NID_TENTH_MENU"}),
              LoadMenus(Find(L"buttonB")));
    // A group that holds itself builds without a crash.
    EXPECT_EQ((std::vector<std::wstring>{L"Loop{Inside=NID_TEST_INSIDE}"}), LoadMenus(Find(L"radioA")));
    // No strings, no menus.
    EXPECT_TRUE(LoadMenus(Find(L"toggle")).empty());
}

TEST_F(ContextMenuTest, AnItemBoundToAKeyActsExactlyLikeThatKey)
{
    const RCPtr<LControl> button = Find(L"buttonA");
    KX::RCPtrArray<LMenuDescriptor> menus;
    button->LoadContextMenus(menus);
    ASSERT_EQ(1, menus.GetCount());
    ASSERT_EQ(S_OK, button->SetContextMenu(menus.GetAt(0)));
    EXPECT_EQ(menus.GetAt(0), button->GetContextMenu());

    const RCPtr<KXTest::Listener> windowListener = KXTest::Listener::Make();
    windowListener->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), L"NID_TEST_WINDOW_ITEM");
    const RCPtr<KX::LNotificationCenter> centre =
        KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    const RCPtr<KXTest::Listener> applicationListener = KXTest::Listener::Make();
    applicationListener->Listen(RCPtr<KX::LNotificationDistributor>(centre.Get()), L"NID_TEST_APPLICATION_ITEM");
    const RCPtr<KXTest::Listener> plainListener = KXTest::Listener::Make();
    plainListener->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), L"NID_TEST_PLAIN_ITEM");
    plainListener->Listen(RCPtr<KX::LNotificationDistributor>(centre.Get()), L"NID_TEST_PLAIN_ITEM");

    // The keys: Ctrl+Shift+S of the window, Ctrl+Shift+F7 of the application.
    button->SetFocus(true);
    KeyDown('S', KX::KeyCode::ModCtrl | KX::KeyCode::ModShift);
    KeyDown(VK_F7, KX::KeyCode::ModCtrl | KX::KeyCode::ModShift);
    IdlePass();
    ASSERT_EQ(1u, windowListener->received.size());
    ASSERT_EQ(1u, applicationListener->received.size());

    // The items, as the popup menu hands them to the control: the same
    // notifications at the same places; the window's keeps its data.
    const RCPtr<KX::LValueParam> data = KX::LValueParam::Create(0.5, 0.5);
    KX::DeliverNotification(button, L"NID_TEST_WINDOW_ITEM", data);
    KX::DeliverNotification(button, L"NID_TEST_APPLICATION_ITEM", data);
    KX::DeliverNotification(button, L"NID_TEST_PLAIN_ITEM");
    EXPECT_EQ(1u, windowListener->received.size()) << "posted, delivered in the idle pass";
    IdlePass();
    ASSERT_EQ(2u, windowListener->received.size());
    EXPECT_EQ(data.Get(), windowListener->received[1].data.Get());
    ASSERT_EQ(2u, applicationListener->received.size());
    EXPECT_FALSE(applicationListener->received[1].data);
    EXPECT_TRUE(plainListener->received.empty()) << "an item without a key is not forwarded";

    // Another menu takes the forwarding with it.
    ASSERT_EQ(S_OK, button->SetContextMenu(RCPtr<LMenuDescriptor>()));
    KX::DeliverNotification(button, L"NID_TEST_WINDOW_ITEM");
    KX::DeliverNotification(button, L"NID_TEST_APPLICATION_ITEM");
    IdlePass();
    EXPECT_EQ(2u, windowListener->received.size());
    EXPECT_EQ(2u, applicationListener->received.size());
    applicationListener->UnregisterAll();
    plainListener->UnregisterAll();
}

TEST_F(ContextMenuTest, ARightClickWithoutAPopupMenuShowsNothingAndBreaksNothing)
{
    const RCPtr<LControl> button = Find(L"buttonA");
    KX::RCPtrArray<LMenuDescriptor> menus;
    button->LoadContextMenus(menus);
    button->SetContextMenu(menus.GetAt(0));
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(button.Get()), KX::NID_RIGHT_CLICK);
    const PointT<long> at = CentreOf(button);
    MoveTo(at);
    os.buttons |= 4;
    window->MouseButton(KX::LRootWindow::kPress, 4, 0, at, 0);
    os.buttons &= ~4;
    window->MouseButton(KX::LRootWindow::kRelease, 4, 0, at, 0);
    EXPECT_EQ(1u, listener->received.size());
    // The skin's "contextMenu" is no popup menu here: nothing joins the button.
    EXPECT_FALSE(button->FindChild(String(L"contextMenu")));
    EXPECT_EQ(menus.GetAt(0), button->GetContextMenu());
    listener->UnregisterAll();
}

TEST_F(ContextMenuTest, TheMenuItemUpdaterDoesNotKeepItsControlAlive)
{
    KX::RCPtrArray<LControl> descendants;
    const int32_t inWindow = window->GetRootControl()->GetDescendants(descendants) + 1;
    descendants.SetCount(0);
    const int32_t before = LControl::GetLiveCount();
    {
        const RCPtr<LControl> button = Find(L"buttonA");
        const RCPtr<KX::LMenuItemUpdater> updater = button->GetMenuItemUpdater();
        ASSERT_TRUE(updater);
        EXPECT_EQ(button, updater->mControl);
        EXPECT_EQ(updater.Get(), button->GetMenuItemUpdater().Get());
        KX::MenuItemState state;
        EXPECT_EQ(S_FALSE, button->UpdateMenuItem(RCPtr<LMenuDescriptor>(), 0, L"NID_X", state));
    }
    window->SetRootControl(RCPtr<LControl>());
    EXPECT_EQ(before - inWindow, LControl::GetLiveCount());
}

// A control that edits text, recording the requests it performs.
class EditControl : public KXTest::TestControl
{
public:
    EditControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}

    bool CanEdit() override { return true; }
    bool CanPerformEdit(int32_t request) override { return request != KX::LClipboard::EditPaste; }
    KX::KXRESULT PerformEdit(int32_t request) override
    {
        performed.push_back(request);
        return S_OK;
    }

    std::vector<int32_t> performed;

protected:
    ~EditControl() override = default;
};

TEST_F(ContextMenuTest, EditRequestsReachTheNearestControlThatEdits)
{
    const RCPtr<LControl> top = window->GetRootControl();
    const RCPtr<EditControl> editor =
        KXTest::MakeControl<EditControl>(top, L"editor", KXTest::FixedLayout(400, 100, 120, 80));
    const RCPtr<KX::LButton> inner =
        KXTest::MakeControl<KX::LButton>(editor, L"inner", KXTest::FixedLayout(10, 10, 40, 20));
    ASSERT_TRUE(editor && inner);
    EXPECT_EQ(RCPtr<LControl>(editor.Get()), inner->GetEditTarget());
    EXPECT_FALSE(Find(L"buttonA")->GetEditTarget());
    EXPECT_FALSE(KX::LControlEditTarget::ForControl(Find(L"buttonA")));

    // The base refuses to edit, loudly when asked anyway.
    EXPECT_FALSE(Find(L"buttonA")->CanPerformEdit(KX::LClipboard::EditCopy));
    try {
        Find(L"buttonA")->PerformEdit(KX::LClipboard::EditCopy);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : LControl::PerformEdit must be overridden : KX::LControl::PerformEdit : "
                     "ControlBase/Control : Line 591",
                     error.what());
    }

    // The clipboard's requests, posted to the application centre, reach the
    // edit target of the focused control of the active window.
    const RCPtr<KX::LClipboard>& clipboard = application->GetClipboard();
    ASSERT_EQ(S_OK, clipboard->Initialize());
    const RCPtr<KX::LNotificationCenter> centre =
        KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    const auto post = [&centre](const wchar_t* id) {
        RCPtr<KX::LNotification> notification;
        KX::LNotification::Create(notification, id);
        centre->PostNotification(notification);
    };
    Find(L"buttonA")->SetFocus(true);
    post(L"NID_EDIT_COPY_REQ");
    IdlePass();
    EXPECT_TRUE(editor->performed.empty());
    EXPECT_FALSE(clipboard->CanPerformFocusEdit(KX::LClipboard::EditCopy));

    inner->SetFocus(true);
    ASSERT_EQ(RCPtr<LControl>(inner.Get()), window->GetFocusControl());
    EXPECT_TRUE(clipboard->CanPerformFocusEdit(KX::LClipboard::EditCopy));
    EXPECT_FALSE(clipboard->CanPerformFocusEdit(KX::LClipboard::EditPaste));
    post(L"NID_EDIT_CUT_REQ");
    post(L"NID_EDIT_COPY_REQ");
    post(L"NID_EDIT_PASTE_REQ");
    post(L"NID_EDIT_DELETE_REQ");
    IdlePass();
    EXPECT_EQ((std::vector<int32_t>{KX::LClipboard::EditCut, KX::LClipboard::EditCopy, KX::LClipboard::EditDelete}),
              editor->performed);

    // Only the active window's focus counts.
    os.active = false;
    EXPECT_FALSE(clipboard->CanPerformFocusEdit(KX::LClipboard::EditCopy));
    os.active = true;
    clipboard->UnregisterAll();
}

} // namespace

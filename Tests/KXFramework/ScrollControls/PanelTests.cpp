// The panel in keyboard navigation: Tab leaves a panel after its last child
// (Shift+Tab before its first), sibling keys reach the children of a panel,
// and keys nobody uses climb through every enclosing panel to the window's
// bindings and the application's hot keys.
#include "ScrollTestSupport.h"

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"

using namespace ScrollTest;
using KX::KeyCode;

namespace {

class PanelTest : public ScrollTestBase
{
protected:
    void SetUp() override
    {
        ScrollTestBase::SetUp();
        OpenScene(L"tabHost");
        ASSERT_TRUE(FindAs<KX::LPanel>(L"group"));
    }

    void FocusOn(const std::wstring& path)
    {
        const RCPtr<KX::LControl> control = Find(path);
        ASSERT_TRUE(control) << std::string(path.begin(), path.end());
        ASSERT_GE(control->SetFocus(true), 0);
    }
};

TEST_F(PanelTest, TabLeavesAPanelAfterItsLastChildAndShiftTabBeforeItsFirst)
{
    struct Case
    {
        const wchar_t* from;
        uint32_t modifiers;
        const wchar_t* to;
    };
    const Case cases[] = {
        {L"group/a", 0, L"b"},
        {L"group/b", 0, L"after"},                  // not back to a
        {L"group/a", KeyCode::ModShift, L"before"}, // not round to b
        {L"group/b", KeyCode::ModShift, L"a"},
        {L"before", 0, L"a"},                       // into the panel, its first child
        {L"after", KeyCode::ModShift, L"b"},        // into the panel from behind, its last
        {L"after", 0, L"leaf"},                     // into nested panels
        {L"outer/inner/leaf", 0, L"before"},        // out of both; the top wraps
        {L"before", KeyCode::ModShift, L"leaf"},
        {L"group/a", KeyCode::ModCtrl, L"after"},   // Ctrl+Tab leaves the group at once
        {L"group/b", KeyCode::ModCtrl | KeyCode::ModShift, L"before"},
    };
    for (const Case& c : cases) {
        FocusOn(c.from);
        EXPECT_EQ(S_OK, KeyDown(VK_TAB, c.modifiers)) << std::wstring(c.from);
        EXPECT_EQ(std::wstring(c.to), Focused()) << std::wstring(c.from) << L" modifiers " << c.modifiers;
    }
}

TEST_F(PanelTest, TabSkipsAPanelsChildThatCannotTakeTheFocus)
{
    Find(L"group/b")->SetVisible(false);
    FocusOn(L"group/a");
    KeyDown(VK_TAB);
    EXPECT_EQ(L"after", Focused());
    Find(L"group/a")->SetEnabled(false);
    FocusOn(L"before");
    KeyDown(VK_TAB);
    // With no child that can take it, the panel takes the focus itself.
    EXPECT_EQ(L"group", Focused());
}

TEST_F(PanelTest, APanelOffersItsParentsSiblingKeysToItsChildren)
{
    // Something in the group listens for its parent's sibling keys and uses F5.
    RCPtr<KXTest::Listener> inGroup = KXTest::Listener::Make();
    inGroup->Listen(Find(L"group"), KX::NID_SIBLING_KEY);
    inGroup->reaction = [](const RCPtr<KX::LNotification>& notification) {
        const RCPtr<KX::LSiblingKeyParam> key = RCPtr<KX::LSiblingKeyParam>::DynamicCast(notification->GetData());
        if (key && key->mKey.GetVirtualKeyCode() == VK_F5)
            key->mResult = 0;
    };
    application->GetHotKeyManager()->GetBindingMap().AddBinding(KeyCode(VK_F5, true, 0, 0), L"NID_TEST_GLOBAL_F5");
    RCPtr<KXTest::Listener> global = KXTest::Listener::Make();
    global->Listen(KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter(), L"NID_TEST_GLOBAL_F5");

    // From a sibling of the group, the key goes into it and is used there.
    FocusOn(L"before");
    EXPECT_EQ(S_OK, KeyDown(VK_F5));
    EXPECT_EQ(1u, inGroup->received.size());
    Advance(33);
    EXPECT_TRUE(global->received.empty());

    // A key the child does not use goes on.
    KeyDown(VK_F4);
    EXPECT_EQ(2u, inGroup->received.size());
    inGroup->UnregisterAll();
    global->UnregisterAll();
}

TEST_F(PanelTest, AKeyNobodyUsesClimbsThroughNestedPanelsToTheWindowAndTheApplicationOnce)
{
    KX::KeyBindingMap& globalKeys = application->GetHotKeyManager()->GetBindingMap();
    globalKeys.AddBinding(KeyCode(VK_F9, true, 0, 0), L"NID_TEST_GLOBAL_F9");
    RCPtr<KXTest::Listener> global = KXTest::Listener::Make();
    global->Listen(KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter(), L"NID_TEST_GLOBAL_F9");
    // The window's own bindings come first, even under a top panel.
    window->GetHotKeyManager()->GetBindingMap().AddBinding(KeyCode(VK_F6, true, 0, 0), L"NID_TEST_WINDOW_F6");
    RCPtr<KXTest::Listener> windowKeys = KXTest::Listener::Make();
    windowKeys->Listen(window, L"NID_TEST_WINDOW_F6");

    FocusOn(L"outer/inner/leaf");
    EXPECT_EQ(S_OK, KeyDown(VK_F9));
    EXPECT_EQ(S_OK, KeyDown(VK_F6));
    EXPECT_EQ(S_FALSE, KeyDown(VK_F11)); // bound nowhere
    Advance(33);
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL_F9"}), global->Ids());
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_WINDOW_F6"}), windowKeys->Ids());
    global->UnregisterAll();
    windowKeys->UnregisterAll();
}

TEST_F(PanelTest, ATopPanelListensToNoParentAndAChildPanelToItsParentsSiblingKeys)
{
    const RCPtr<KX::LControl> top = window->GetRootControl();
    ASSERT_TRUE(RCPtr<KX::LPanel>::DynamicCast(top));
    // The children's panels listen to their parents; nothing listens above
    // the top panel.
    const auto listens = [](const RCPtr<KX::LControl>& parent, const RCPtr<KX::LControl>& child) {
        const RCPtr<KX::LNotificationDistributor::LNotificationClientPool> pool =
            parent->FindClientPool(KX::NID_SIBLING_KEY);
        return pool && pool->FindClient(RCPtr<KX::LNotificationReceiver>(child.Get())) >= 0;
    };
    EXPECT_TRUE(listens(top, Find(L"group")));
    EXPECT_TRUE(listens(Find(L"outer"), Find(L"outer/inner")));
    EXPECT_FALSE(window->FindClientPool(KX::NID_SIBLING_KEY));
}

} // namespace

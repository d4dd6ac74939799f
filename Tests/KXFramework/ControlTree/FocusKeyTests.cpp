// Focus and keys through the root window's key entry point: Tab and Shift+Tab
// through the tab order, Ctrl+Tab between groups, controls that keep the Tab,
// local hot keys that act from a sibling, the order in which siblings are
// offered a key, and the root window's and the application's hot keys.
#include "Support/Scenes/ControlTestSupport.h"

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"

using namespace KXTest;
using KX::KeyCode;
using KX::LControl;

namespace {

constexpr uint32_t kTab = VK_TAB;

// Records the notifications handed to it (its own hot keys among them) and
// the keys that reach its key hook.
class KeyControl : public TestControl
{
public:
    KeyControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}

    KX::KXRESULT ReceiveNotification(const RCPtr<KX::LNotificationDistributor>& sender,
                                     const RCPtr<KX::LNotification>& notification) override
    {
        const std::wstring id = KX::GetNotificationIDText(notification->GetID()).GetData();
        if (id != KX::NID_SIBLING_KEY && id != KX::NID_IDLE)
            fired.push_back(id);
        return TestControl::ReceiveNotification(sender, notification);
    }
    KX::KXRESULT OnKey(const RCPtr<KX::LKeyParam>& param) override
    {
        keys.push_back(param->mKey.GetCode());
        return keyResult;
    }

    std::vector<std::wstring> fired;
    std::vector<uint32_t> keys;
    KX::KXRESULT keyResult = S_FALSE;
};

RCPtr<KX::LLayoutDescriptor> TabStop(int32_t tabStop, double x = 0)
{
    RCPtr<KX::LLayoutDescriptor> layout = FixedLayout(x, 0, 20, 20);
    layout->mTabStop = tabStop;
    return layout;
}

class KeyTest : public ControlTreeTest
{
protected:
    void SetUp() override
    {
        ControlTreeTest::SetUp();
        // The tests' bindings, loaded before any control asks for its table.
        ASSERT_EQ(S_OK, factory->LoadStringTables(L"::INPUT_STRINGS", L"::NO_FRAMEWORK_STRINGS", 9));
    }

    // A key press as the window makes it.
    KX::KXRESULT PressKey(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return window->KeyEvent(KX::LKeyParam::Create(KeyCode(virtualKey, true, 0, modifiers), 1));
    }

    RCPtr<KeyControl> Make(const RCPtr<LControl>& parent, const wchar_t* name, int32_t tabStop, double x = 0)
    {
        return MakeControl<KeyControl>(parent, name, TabStop(tabStop, x));
    }

    // The name of the control that has the focus, or "none".
    std::wstring Focused() const
    {
        const RCPtr<LControl>& focus = window->GetFocusControl();
        return focus ? Text(focus->GetName()) : L"none";
    }
};

} // namespace

TEST_F(KeyTest, TabWalksTheTabOrderSkippingWhatCannotTakeTheFocusAndWraps)
{
    RCPtr<TestControl> top = MakeTop();
    // Made out of tab order; a label, a hidden and a disabled control between.
    Make(top, L"c", 4, 60);
    Make(top, L"a", 1, 0);
    Make(top, L"label", -1, 100);
    Make(top, L"hidden", 2, 140)->SetVisible(false);
    Make(top, L"disabled", 3, 180)->SetEnabled(false);
    Make(top, L"b", 3, 30);
    ASSERT_GE(top->FindChild(L"a")->SetFocus(true), 0);

    std::vector<std::wstring> walk;
    for (int i = 0; i < 4; ++i) {
        PressKey(kTab);
        walk.push_back(Focused());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"c", L"a", L"b"}), walk);
    walk.clear();
    for (int i = 0; i < 3; ++i) {
        PressKey(kTab, KeyCode::ModShift);
        walk.push_back(Focused());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"c", L"b"}), walk);
}

TEST_F(KeyTest, CtrlTabLeavesTheGroupWithoutWrappingInsideIt)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> outer = MakeControl(top, L"outer", TabStop(1));
    RCPtr<TestControl> first = MakeControl(outer, L"first", TabStop(1));
    RCPtr<TestControl> last = MakeControl(outer, L"last", TabStop(2));
    Make(first, L"x1", 1);
    Make(first, L"x2", 2);
    Make(last, L"y1", 1);
    RCPtr<TestControl> other = MakeControl(top, L"other", TabStop(2));
    Make(other, L"z1", 1);

    ASSERT_GE(first->FindChild(L"x2")->SetFocus(true), 0);
    PressKey(kTab, KeyCode::ModCtrl);
    EXPECT_EQ(L"y1", Focused());
    // From the last group of "outer" the key goes up instead of wrapping to
    // "first".
    PressKey(kTab, KeyCode::ModCtrl);
    EXPECT_EQ(L"z1", Focused());
    // At the top the window cycles: the first control takes the focus.
    PressKey(kTab, KeyCode::ModCtrl);
    EXPECT_EQ(L"x1", Focused());
    PressKey(kTab, KeyCode::ModCtrl | KeyCode::ModShift);
    EXPECT_EQ(L"z1", Focused());
}

TEST_F(KeyTest, AControlThatWantsTheTabKeepsIt)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<KX::LControlDescriptor> descriptor = KX::LControlDescriptor::Create(L"Test.Control", L"editor", nullptr);
    descriptor->SetLayoutDescriptor(TabStop(1));
    descriptor->SetCreateParams(KX::LStringTable::Create(KX::LStringTable::Map{{L"WANTS_TAB", L" TRUE\r\n"}}));
    RCPtr<LControl> created;
    LControl::CreateControlOfClass<KeyControl>(created, top, descriptor);
    const RCPtr<KeyControl> editor = RCPtr<KeyControl>::DynamicCast(created);
    Make(top, L"next", 2, 40);
    ASSERT_TRUE(editor->WantsTab());
    ASSERT_GE(editor->SetFocus(true), 0);

    EXPECT_EQ(S_FALSE, PressKey(kTab));
    EXPECT_EQ(L"editor", Focused());
    EXPECT_EQ(1u, editor->keys.size()); // its key hook saw the Tab
}

TEST_F(KeyTest, NoFocusMovesWhenTheFirstChildInTabOrderCannotTakeInput)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", TabStop(1));
    // First in tab order but hidden; the others take input but no focus.
    Make(panel, L"hidden", -5)->SetVisible(false);
    Make(panel, L"label1", -1, 30);
    Make(panel, L"label2", -1, 60);
    EXPECT_FALSE(panel->GetFirstFocusableChild());
    EXPECT_FALSE(panel->GetLastFocusableChild());
    EXPECT_FALSE(panel->HasFocusableChild());
}

TEST_F(KeyTest, ALocalHotKeyActsFromItsSiblingsAndConsumesTheKey)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<KeyControl> hotKeyButton = Make(top, L"hotKeyButton", 1, 0);
    RCPtr<KeyControl> sibling = Make(top, L"sibling", 2, 30);
    ASSERT_TRUE(hotKeyButton->HasLocalHotKey(L"NID_TEST_HOT_KEY"));
    EXPECT_EQ(KeyCode(VK_F5, true, 0, 0).GetCode(), hotKeyButton->GetLocalHotKey(L"NID_TEST_HOT_KEY").GetCode());
    EXPECT_EQ(KeyCode::NoKey, sibling->GetLocalHotKey(L"NID_TEST_HOT_KEY").GetCode());
    // The same key bound globally never sees it while the button takes it.
    application->GetHotKeyManager()->GetBindingMap().AddBinding(KeyCode(VK_F5, true, 0, 0), L"NID_TEST_GLOBAL_F5");
    RCPtr<Listener> global = Listener::Make();
    global->Listen(KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter(), L"NID_TEST_GLOBAL_F5");

    ASSERT_GE(sibling->SetFocus(true), 0);
    EXPECT_EQ(S_OK, PressKey(VK_F5));
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_HOT_KEY"}), hotKeyButton->fired);
    EXPECT_EQ(1u, sibling->keys.size()); // the sibling's own hook came first

    // With the focus on the button itself the key acts before its key hook.
    ASSERT_GE(hotKeyButton->SetFocus(true), 0);
    PressKey(VK_F5);
    EXPECT_EQ(2u, hotKeyButton->fired.size());
    EXPECT_TRUE(hotKeyButton->keys.empty());

    // A disabled button's key goes on to the global hot keys.
    ASSERT_GE(sibling->SetFocus(true), 0);
    hotKeyButton->SetEnabled(false);
    PressKey(VK_F5);
    EXPECT_EQ(2u, hotKeyButton->fired.size());
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL_F5"}), global->Ids());
    global->UnregisterAll();
}

TEST_F(KeyTest, SiblingsAreOfferedAKeyFromTheOneBeforeTheSourceBackward)
{
    RCPtr<TestControl> top = MakeTop();
    // s1, s2 and s4 all bind F7; s3 has the focus.
    RCPtr<KeyControl> s4 = Make(top, L"s4", 4, 90);
    RCPtr<KeyControl> s1 = Make(top, L"s1", 1, 0);
    RCPtr<KeyControl> s3 = Make(top, L"s3", 3, 60);
    RCPtr<KeyControl> s2 = Make(top, L"s2", 2, 30);
    ASSERT_GE(s3->SetFocus(true), 0);
    const auto firedBy = [&]() {
        std::wstring who;
        for (const RCPtr<KeyControl>& control : {s1, s2, s4}) {
            if (!control->fired.empty())
                who += Text(control->GetName());
            control->fired.clear();
        }
        return who;
    };
    struct Case
    {
        const char* what;
        std::function<void()> setUp;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"the one just before the source", [] {}, L"s2"},
        {"then further back", [&] { s2->SetEnabled(false); }, L"s1"},
        {"then from the last one back", [&] { s1->SetEnabled(false); }, L"s4"},
        {"nobody left", [&] { s4->SetEnabled(false); }, L""},
    };
    for (const Case& c : cases) {
        c.setUp();
        PressKey(VK_F7);
        EXPECT_EQ(c.expected, firedBy()) << c.what;
    }
}

TEST_F(KeyTest, AKeyNobodyHandlesReachesTheWindowBindingsThenTheGlobalHotKeysOnce)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", TabStop(1));
    RCPtr<KeyControl> deep = Make(panel, L"deep", 1);
    ASSERT_GE(deep->SetFocus(true), 0);
    KX::KeyBindingMap& globalKeys = application->GetHotKeyManager()->GetBindingMap();
    globalKeys.AddBinding(KeyCode(VK_F9, true, 0, 0), L"NID_TEST_GLOBAL_F9");
    globalKeys.AddBinding(KeyCode(VK_F6, true, 0, 0), L"NID_TEST_GLOBAL_F6");
    RCPtr<Listener> global = Listener::Make();
    const RCPtr<KX::LNotificationCenter> center = KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    global->Listen(center, L"NID_TEST_GLOBAL_F9");
    global->Listen(center, L"NID_TEST_GLOBAL_F6");
    // The top control's "GHK" strings are the window's bindings.
    RCPtr<Listener> windowKeys = Listener::Make();
    windowKeys->Listen(window, L"NID_TEST_WINDOW_KEY");

    EXPECT_EQ(S_OK, PressKey(VK_F9));
    EXPECT_EQ(S_OK, PressKey(VK_F6));
    // Unbound everywhere: not handled.
    EXPECT_EQ(S_FALSE, PressKey(VK_F11));
    EXPECT_TRUE(global->received.empty()); // posted, delivered in the idle pass
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL_F9"}), global->Ids());
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_WINDOW_KEY"}), windowKeys->Ids());

    // From the top control itself the same way (hiding the panel moves the
    // focus up to it).
    panel->SetVisible(false);
    ASSERT_EQ(L"top", Focused());
    PressKey(VK_F9);
    IdlePass();
    EXPECT_EQ(2u, global->received.size());
    global->UnregisterAll();
    windowKeys->UnregisterAll();
}

TEST(DeliverNotification, HandsTheNotificationStraightToTheReceiver)
{
    RCPtr<Listener> listener = Listener::Make();
    const RCPtr<KX::LRefCountedObject> data = KX::LValueParam::Create(0.5, 1.0);
    EXPECT_EQ(S_OK, KX::DeliverNotification(listener, KX::NID_VALUE_CHANGE, data));
    ASSERT_EQ(1u, listener->received.size());
    EXPECT_EQ(KX::NID_VALUE_CHANGE, listener->received[0].id);
    EXPECT_EQ(data, listener->received[0].data);
    EXPECT_EQ(E_INVALIDARG, KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(), KX::NID_VALUE_CHANGE));
}

TEST_F(KeyTest, TakingTheFocusAwayFromTheFocusedControlMovesItToTheFirstOneOfItsParent)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<KeyControl> a = Make(top, L"a", 1, 0);
    RCPtr<KeyControl> b = Make(top, L"b", 2, 30);
    ASSERT_GE(b->SetFocus(true), 0);
    ASSERT_EQ(S_OK, b->SetFocusDisabled(true));
    EXPECT_EQ(L"a", Focused());
    EXPECT_FALSE(b->HasFocus());
    EXPECT_EQ(-2, b->GetLayout().mTabStop); // the sign follows
    EXPECT_EQ(S_FALSE, b->SetFocusDisabled(true));
    PressKey(kTab);
    EXPECT_EQ(L"a", Focused()); // skipped: it takes no focus now
    ASSERT_EQ(S_OK, b->SetFocusDisabled(false));
    EXPECT_EQ(2, b->GetLayout().mTabStop);
    PressKey(kTab);
    EXPECT_EQ(L"b", Focused());

    // A key to a hidden focus control goes nowhere.
    b->keys.clear();
    EXPECT_EQ(S_FALSE, b->KeyEvent(KX::LKeyParam::Create(KeyCode(VK_F9, true, 0, 0), 1)));
    top->SetVisible(false);
    EXPECT_EQ(S_FALSE, b->KeyEvent(KX::LKeyParam::Create(KeyCode(VK_F9, true, 0, 0), 1)));
    EXPECT_EQ(1u, b->keys.size());
}

// The update screen's control tree made from the program's skin, with plain
// controls under the skin's class names, driven through the root window's
// pointer and key entry points: clicks on its buttons, the focus walking
// through them by Tab, and its keys reaching sibling, window and global
// hot keys.
#include "Support/Scenes/ControlTestSupport.h"

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"

#include <algorithm>
#include <iterator>

using namespace KXTest;
using KX::KeyCode;
using KX::LControl;
using KX::PointT;

namespace {

const wchar_t* const kButtons[] = {L"buttonScanForDevice", L"buttonUpdateFirmware",
                                   L"buttonManualDeviceReadyForUpdateButton", L"buttonReinitialize",
                                   L"buttonExit"};

class SkinInputTest : public ControlTreeTest
{
protected:
    void SetUp() override
    {
        ControlTreeTest::SetUp();
        // The tests' key bindings (one of them for "buttonExit"), then the
        // program's skin.
        ASSERT_EQ(S_OK, factory->LoadStringTables(L"::INPUT_STRINGS", L"::NO_FRAMEWORK_STRINGS", 9));
        ASSERT_EQ(S_OK, factory->LoadSkin(L"::APP_SKINS"));
        for (const wchar_t* className :
             {L"FirmwareUpdater.MainControl", L"Framework.Label", L"Framework.ProgressBar", L"Framework.Panel",
              L"Framework.Button", L"Framework.MainMenu", L"Framework.ComboMenu", L"Framework.PopupMenu",
              L"Framework.MenuItem", L"Framework.ToolTip"})
            factory->RegisterControlCreateFunction(className, &LControl::CreateControlOfClass<LControl>);
        ASSERT_EQ(S_OK, window->SetRootControl(String(L"mainControl")));
        main = window->GetRootControl();
        ASSERT_TRUE(main);
    }
    void TearDown() override
    {
        main = nullptr;
        ControlTreeTest::TearDown();
    }

    RCPtr<LControl> Child(const wchar_t* name) const { return main->FindChild(name); }
    // The middle of a child of the main control, in the window.
    PointT<long> Middle(const wchar_t* name) const
    {
        const PointT<double> origin = Child(name)->GetRootPosition();
        const KX::RectT<double>& rect = Child(name)->GetRect();
        return PointT<long>(KX::RoundDoubleToInt(origin.x + rect.width / 2),
                            KX::RoundDoubleToInt(origin.y + rect.height / 2));
    }
    KX::KXRESULT PressKey(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return window->KeyEvent(KX::LKeyParam::Create(KeyCode(virtualKey, true, 0, modifiers), 1));
    }
    std::wstring Focused() const
    {
        const RCPtr<LControl>& focus = window->GetFocusControl();
        return focus ? Text(focus->GetName()) : L"none";
    }

    RCPtr<LControl> main;
};

// The notifications of a button that a user's click makes, in order.
RCPtr<Listener> ListenToButton(const RCPtr<LControl>& button)
{
    RCPtr<Listener> listener = Listener::Make();
    for (const wchar_t* id : {KX::NID_HOVER_CONDITION_CHANGE, KX::NID_HAS_FOCUS_CONDITION_CHANGE,
                              KX::NID_CAPTURE_CONDITION_CHANGE, KX::NID_LEFT_DRAG_CONDITION_CHANGE,
                              KX::NID_MOUSE_DOWN, KX::NID_MOUSE_UP, KX::NID_LEFT_CLICK})
        listener->Listen(button, id);
    return listener;
}

} // namespace

TEST_F(SkinInputTest, AMovePressAndReleaseOnTheExitButtonClickIt)
{
    const RCPtr<LControl> exit = Child(L"buttonExit");
    RCPtr<Listener> listener = ListenToButton(exit);
    const PointT<long> at = Middle(L"buttonExit");

    MoveTo(at);
    ASSERT_EQ(1u, listener->received.size());
    EXPECT_EQ(KX::NID_HOVER_CONDITION_CHANGE, listener->received[0].id);
    EXPECT_TRUE(listener->received[0].newWord & LControl::kHoverOrOverride);

    Press(at);
    const uint32_t pressed = exit->GetConditions();
    EXPECT_EQ(LControl::kCapture | LControl::kLeftPressed | LControl::kHasFocus,
              pressed & (LControl::kCapture | LControl::kLeftPressed | LControl::kHasFocus));
    Release(at);
    EXPECT_TRUE(exit->HasFocus());
    EXPECT_FALSE(exit->HasCapture());

    EXPECT_EQ((std::vector<std::wstring>{KX::NID_HOVER_CONDITION_CHANGE, KX::NID_HAS_FOCUS_CONDITION_CHANGE,
                                         KX::NID_MOUSE_DOWN, KX::NID_CAPTURE_CONDITION_CHANGE,
                                         KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_MOUSE_UP,
                                         KX::NID_CAPTURE_CONDITION_CHANGE, KX::NID_LEFT_DRAG_CONDITION_CHANGE,
                                         KX::NID_LEFT_CLICK}),
              listener->Ids());
    // The press reached the button at the point in its own coordinates.
    const RCPtr<KX::LMouseButtonParam> down = RCPtr<KX::LMouseButtonParam>::DynamicCast(listener->received[2].data);
    ASSERT_TRUE(down);
    EXPECT_EQ(PointT<long>(80, 16), down->GetPoint());
    EXPECT_EQ(1, down->mButton);
}

TEST_F(SkinInputTest, AReleaseOverAnotherButtonClicksNeitherAndHoversTheOtherAfterwards)
{
    const RCPtr<LControl> exit = Child(L"buttonExit");
    const RCPtr<LControl> reinitialize = Child(L"buttonReinitialize");
    RCPtr<Listener> onExit = ListenToButton(exit);
    RCPtr<Listener> onOther = ListenToButton(reinitialize);
    bool capturedWhenHovered = true;
    onOther->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        if (KX::GetNotificationIDText(notification->GetID()) == KX::NID_HOVER_CONDITION_CHANGE)
            capturedWhenHovered = static_cast<bool>(window->GetCaptureControl());
    };

    Press(Middle(L"buttonExit"));
    MoveTo(Middle(L"buttonReinitialize"));
    EXPECT_TRUE(onOther->received.empty());
    Release(Middle(L"buttonReinitialize"));
    const std::vector<std::wstring> exitIds = onExit->Ids();
    EXPECT_EQ(0, std::count(exitIds.begin(), exitIds.end(), std::wstring(KX::NID_LEFT_CLICK)));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_HOVER_CONDITION_CHANGE}), onOther->Ids());
    EXPECT_FALSE(capturedWhenHovered);
    EXPECT_TRUE(reinitialize->IsHovered());
}

TEST_F(SkinInputTest, AOnePixelMoveWhilePressedDragsAndStillClicksAndADoubleClickIsFlagged)
{
    const RCPtr<LControl> exit = Child(L"buttonExit");
    RCPtr<Listener> listener = ListenToButton(exit);
    const PointT<long> at = Middle(L"buttonExit");
    Press(at);
    listener->received.clear();
    MoveTo(PointT<long>(at.x + 1, at.y));
    ASSERT_EQ((std::vector<std::wstring>{KX::NID_LEFT_DRAG_CONDITION_CHANGE}), listener->Ids());
    EXPECT_EQ(LControl::kLeftPressed, listener->received[0].oldWord & (LControl::kLeftPressed | LControl::kLeftDrag));
    EXPECT_EQ(LControl::kLeftDrag, listener->received[0].newWord & (LControl::kLeftPressed | LControl::kLeftDrag));
    Release(PointT<long>(at.x + 1, at.y));
    EXPECT_EQ(KX::NID_LEFT_CLICK, listener->received.back().id);

    listener->received.clear();
    Press(at);
    Release(at);
    DoubleClickPress(at);
    Release(at);
    std::vector<int32_t> flags;
    for (const Listener::Received& entry : listener->received) {
        if (const RCPtr<KX::LMouseButtonParam> param = RCPtr<KX::LMouseButtonParam>::DynamicCast(entry.data))
            flags.push_back(param->mDoubleClick);
    }
    // Down, up, click; the second down, up and click flagged.
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 1, 1, 1}), flags);
}

TEST_F(SkinInputTest, TabWalksTheButtonsInTabOrderAndNeverStopsOnALabel)
{
    ASSERT_GE(Child(L"buttonScanForDevice")->SetFocus(true), 0);
    std::vector<std::wstring> forward{Focused()};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        PressKey(VK_TAB);
        forward.push_back(Focused());
    }
    EXPECT_EQ((std::vector<std::wstring>{kButtons[0], kButtons[1], kButtons[2], kButtons[3], kButtons[4],
                                         kButtons[0]}),
              forward);
    std::vector<std::wstring> backward;
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        PressKey(VK_TAB, KeyCode::ModShift);
        backward.push_back(Focused());
    }
    EXPECT_EQ((std::vector<std::wstring>{kButtons[4], kButtons[3], kButtons[2], kButtons[1], kButtons[0]}),
              backward);

    // A press on a label leaves the focus with the button that has it.
    Press(Middle(L"labelDeviceInformation"));
    Release(Middle(L"labelDeviceInformation"));
    EXPECT_EQ(kButtons[0], Focused());
    for (const wchar_t* label : {L"labelDeviceInformation", L"labelFirmwareFileInformation", L"updaterVersionLabel"})
        EXPECT_FALSE(Child(label)->IsFocusable()) << Text(String(label));
}

TEST_F(SkinInputTest, KeysReachASiblingsHotKeyThenTheApplicationsHotKeysOnce)
{
    const RCPtr<LControl> exit = Child(L"buttonExit");
    ASSERT_TRUE(exit->HasLocalHotKey(L"NID_TEST_EXIT_KEY"));
    // F5 is the exit button's local hot key and a global one too; F9 only
    // a global one.
    KX::KeyBindingMap& globalKeys = application->GetHotKeyManager()->GetBindingMap();
    globalKeys.AddBinding(KeyCode(VK_F5, true, 0, 0), L"NID_TEST_GLOBAL_F5");
    globalKeys.AddBinding(KeyCode(VK_F9, true, 0, 0), L"NID_TEST_GLOBAL_F9");
    RCPtr<Listener> global = Listener::Make();
    const RCPtr<KX::LNotificationCenter> center = KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    global->Listen(center, L"NID_TEST_GLOBAL_F5");
    global->Listen(center, L"NID_TEST_GLOBAL_F9");

    // The focus on a sibling of the exit button: its hot key takes F5.
    ASSERT_GE(Child(L"buttonReinitialize")->SetFocus(true), 0);
    EXPECT_EQ(S_OK, PressKey(VK_F5));
    EXPECT_EQ(S_OK, PressKey(VK_F9));
    EXPECT_EQ(S_FALSE, PressKey(VK_F11)); // bound nowhere
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL_F9"}), global->Ids());

    // A disabled exit button leaves F5 to the application.
    exit->SetEnabled(false);
    PressKey(VK_F5);
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL_F9", L"NID_TEST_GLOBAL_F5"}), global->Ids());
    EXPECT_EQ(L"buttonReinitialize", Focused());
    global->UnregisterAll();
}

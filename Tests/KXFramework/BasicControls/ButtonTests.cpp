// The button as a person meets it: its look among fourteen by pixels, the
// auto-repeat of a held button against a fixed clock, Enter's simulated
// click, radio groups and toggles, the idle requests it holds, and its caption
// as tool tip when the caption does not fit.
#include "BasicControlsTestSupport.h"

#include "Notification/NotificationIDs.h"

#include <functional>

using namespace BasicTest;
using KX::LButton;
using KX::LControl;
using KX::PointT;

namespace {

// The ticks at which a control sent a notification.
struct NotificationClock
{
    RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    std::vector<uint32_t> ticks;

    NotificationClock(const RCPtr<LControl>& control, const wchar_t* id,
                      const RCPtr<KXTest::ControlTestApplication>& application)
    {
        listener->Listen(RCPtr<KX::LNotificationDistributor>(control.Get()), id);
        KXTest::ControlTestApplication* app = application.Get();
        listener->reaction = [this, app](const RCPtr<KX::LNotification>&) { ticks.push_back(app->mTicks); };
    }
    ~NotificationClock()
    {
        listener->reaction = nullptr;
        listener->UnregisterAll();
    }
    size_t Count() const { return ticks.size(); }
};

class ButtonTest : public BasicControlsTest
{
protected:
    void SetUp() override
    {
        BasicControlsTest::SetUp();
        Open(true);
        buttonA = FindAs<LButton>(L"buttonA");
        buttonB = FindAs<LButton>(L"buttonB");
        repeat = FindAs<LButton>(L"repeatButton");
        ASSERT_TRUE(buttonA && buttonB && repeat);
    }
    void TearDown() override
    {
        buttonA = buttonB = repeat = nullptr;
        BasicControlsTest::TearDown();
    }

    // Paints and checks that the button shows the look of the slot, by its
    // colour and by its active look.
    void ExpectSlot(const RCPtr<LButton>& button, int32_t slot, const char* step)
    {
        PaintWindow(step);
        EXPECT_EQ(slot, button->GetActiveLookIndex()) << step;
        EXPECT_TRUE(NearColour(SlotColour(slot), ControlPixel(button)))
            << step << ": 0x" << std::hex << ControlPixel(button) << " for slot " << std::dec << slot;
    }

    PointT<long> Away() const { return PointT<long>(500, 340); }

    RCPtr<LButton> buttonA;
    RCPtr<LButton> buttonB;
    RCPtr<LButton> repeat;
};

TEST_F(ButtonTest, ItsLookFollowsTheFourteenConditionSlots)
{
    const PointT<long> on = CentreOf(buttonA);
    // Without the focus first: the button gives it to its parent on a press.
    buttonA->SetFocusDisabled(true);
    buttonB->SetFocus(true);
    MoveTo(Away());
    const std::vector<std::pair<std::function<void()>, int32_t>> steps = {
        {[] {}, 0},
        {[&] { MoveTo(on); }, 1},
        {[&] { Press(on); }, 2},
        {[&] { MoveTo(Away()); }, 1}, // held, the pointer off the button: hover
        {[&] { MoveTo(on); }, 2},
        {[&] { Release(on); }, 1},
        {[&] {
             buttonA->SetFocusDisabled(false);
             buttonA->SetFocus(true);
             MoveTo(Away());
         }, 3},
        {[&] { MoveTo(on); }, 4},
        {[&] { Press(on); }, 5},
        {[&] { Release(on); }, 4},
        {[&] { buttonA->SetChecked(true); }, 11},
        {[&] { Press(on); }, 12},
        {[&] { Release(on); }, 11},
        {[&] { MoveTo(Away()); }, 10},
        {[&] { buttonB->SetFocus(true); }, 7},
        {[&] { MoveTo(on); }, 8},
        {[&] {
             buttonA->SetFocusDisabled(true);
             Press(on);
         }, 9},
        {[&] { Release(on); }, 8},
        {[&] { buttonA->SetEnabled(false); }, 13},
        {[&] { buttonA->SetChecked(false); }, 6},
        {[&] { MoveTo(Away()); }, 6},
        {[&] { buttonA->SetEnabled(true); }, 0},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].first();
        ExpectSlot(buttonA, steps[i].second, ("step" + std::to_string(i)).c_str());
    }
}

TEST_F(ButtonTest, AHeldThumbStaysPressedOffTheButtonAndAnIgnoringButtonKeepsItsLook)
{
    const PointT<long> on = CentreOf(buttonA);
    buttonA->SetFocusDisabled(true);
    buttonA->SetPressedWhileCaptured(true);
    Press(on);
    MoveTo(Away());
    ExpectSlot(buttonA, 2, "thumb");
    Release(Away());
    ExpectSlot(buttonA, 0, "released");

    // Never hit, and its look stays whatever it was given.
    buttonA->SetIgnoresPointer(true);
    buttonA->SelectLook(9, true);
    MoveTo(on);
    RCPtr<LControl> hit;
    PointT<long> local;
    window->GetControlAtPoint(hit, on, local, false);
    EXPECT_NE(RCPtr<LControl>(buttonA), hit);
    EXPECT_FALSE(buttonA->IsHovered());
    buttonA->SetEnabled(false);
    ExpectSlot(buttonA, 9, "ignoring");
}

TEST_F(ButtonTest, AHeldAutoRepeatButtonRepeatsAtThePressAfterADelayAndThenTenTimesASecond)
{
    repeat->SetAutoRepeat(true);
    NotificationClock repeats(repeat, KX::NID_BUTTON_AUTOREPEAT, application);
    const PointT<long> on = CentreOf(repeat);
    MoveTo(on);
    const uint32_t pressed = application->mTicks;
    Press(on);
    ASSERT_EQ(1u, repeats.Count());
    EXPECT_EQ(pressed, repeats.ticks[0]);

    RunIdle(299, 10);
    EXPECT_EQ(1u, repeats.Count()) << "nothing again before 0.3 s";
    RunIdle(701, 10);
    // At 0.3 s and then every 0.1 s up to 1 s: seven more (six when the
    // passes of 10 ms fall just short of an interval).
    ASSERT_GE(repeats.Count(), 7u);
    ASSERT_LE(repeats.Count(), 8u);
    EXPECT_LE(pressed + 300, repeats.ticks[1]);
    EXPECT_GE(pressed + 310, repeats.ticks[1]);
    for (size_t i = 2; i < repeats.Count(); ++i) {
        EXPECT_LE(100u, repeats.ticks[i] - repeats.ticks[i - 1]) << i;
        EXPECT_GE(110u, repeats.ticks[i] - repeats.ticks[i - 1]) << i;
    }

    // Off the button the repeats stop; time spent there does not count.
    MoveTo(Away());
    const size_t beforeAway = repeats.Count();
    RunIdle(2000, 10);
    EXPECT_EQ(beforeAway, repeats.Count());
    MoveTo(on);
    const uint32_t back = application->mTicks;
    RunIdle(500, 10);
    // No burst: the first repeat after coming back is a whole interval's
    // rest away, and then the period holds.
    ASSERT_GT(repeats.Count(), beforeAway);
    EXPECT_LE(back + 10, repeats.ticks[beforeAway]);
    for (size_t i = beforeAway + 1; i < repeats.Count(); ++i)
        EXPECT_LE(100u, repeats.ticks[i] - repeats.ticks[i - 1]) << i;
    EXPECT_LE(repeats.Count() - beforeAway, 5u);

    // The release ends the repeats and the idle request.
    Release(on);
    const size_t released = repeats.Count();
    RunIdle(1000, 10);
    EXPECT_EQ(released, repeats.Count());
    EXPECT_EQ(0, repeat->GetIdleRequestCount());
    EXPECT_FALSE(repeat->IsRepeating());
}

TEST_F(ButtonTest, RepeatsAndSimulatedClicksShareOneIdleRequest)
{
    repeat->SetAutoRepeat(true);
    NotificationClock clicks(repeat, KX::NID_LEFT_CLICK, application);
    const int32_t start = repeat->GetIdleRequestCount();
    ASSERT_EQ(0, start);
    const PointT<long> on = CentreOf(repeat);
    const auto simulate = [&] { KX::DeliverNotification(repeat, KX::NID_SIMULATE_CLICK); };

    // Held and repeating, then a simulated click, then a second one at once.
    Press(on);
    EXPECT_EQ(1, repeat->GetIdleRequestCount());
    simulate();
    EXPECT_TRUE(repeat->IsClickPending());
    EXPECT_EQ(1, repeat->GetIdleRequestCount());
    simulate(); // finishes the first at once
    EXPECT_EQ(1u, clicks.Count());
    EXPECT_EQ(1, repeat->GetIdleRequestCount());
    // The release ends the repeat while the click is pending; the click ends
    // after its 0.15 s.
    Release(on);
    EXPECT_EQ(1, repeat->GetIdleRequestCount());
    RunIdle(200, 10);
    EXPECT_FALSE(repeat->IsClickPending());
    EXPECT_EQ(start, repeat->GetIdleRequestCount());

    // A pending click, then a press and a release while it is pending.
    simulate();
    Press(on);
    Release(on);
    EXPECT_EQ(1, repeat->GetIdleRequestCount());
    RunIdle(200, 10);
    // Enter twice, the second after the first completed.
    repeat->SetFocus(true);
    KeyDown(VK_RETURN);
    RunIdle(200, 10);
    KeyDown(VK_RETURN);
    Press(on);
    RunIdle(200, 10);
    Release(on);
    RunIdle(100, 10);
    EXPECT_EQ(start, repeat->GetIdleRequestCount());
    EXPECT_FALSE(repeat->IsRepeating());
    EXPECT_FALSE(repeat->IsClickPending());
    // Not registered for the idle pass any more: no idle work reaches it.
    EXPECT_FALSE(window->IsClientRegistered(RCPtr<KX::LNotificationReceiver>(repeat.Get())));
}

TEST_F(ButtonTest, EnterShowsThePressedLookForAMomentThenClicksOnce)
{
    NotificationClock clicks(buttonA, KX::NID_LEFT_CLICK, application);
    buttonA->SetFocus(true);
    MoveTo(Away());
    EXPECT_EQ(S_OK, KeyDown(VK_RETURN));
    ExpectSlot(buttonA, 2, "pressed");
    RunIdle(140, 10);
    EXPECT_EQ(0u, clicks.Count());
    ExpectSlot(buttonA, 2, "still");
    RunIdle(20, 10);
    ASSERT_EQ(1u, clicks.Count());
    ExpectSlot(buttonA, 3, "after");
    RunIdle(1000);
    EXPECT_EQ(1u, clicks.Count());

    // Enter with Shift is not the button's.
    KeyDown(VK_RETURN, KX::KeyCode::ModShift);
    EXPECT_FALSE(buttonA->IsClickPending());

    // Two Enters within 0.15 s: two clicks, the first at the second Enter.
    KeyDown(VK_RETURN);
    RunIdle(50, 10);
    KeyDown(VK_RETURN);
    EXPECT_EQ(2u, clicks.Count());
    RunIdle(200, 10);
    EXPECT_EQ(3u, clicks.Count());
}

TEST_F(ButtonTest, ASimulatedClickDoesNotHappenWhenTheButtonWasDisabledOrHiddenMeanwhile)
{
    NotificationClock clicks(buttonA, KX::NID_LEFT_CLICK, application);
    buttonA->SetFocus(true);
    KeyDown(VK_RETURN);
    RunIdle(50, 10);
    buttonA->SetEnabled(false);
    RunIdle(300, 10);
    EXPECT_EQ(0u, clicks.Count());
    EXPECT_FALSE(buttonA->IsClickPending());
    EXPECT_EQ(6, buttonA->GetActiveLookIndex());
    EXPECT_EQ(0, buttonA->GetIdleRequestCount());

    // A disabled button ignores "NID_SIMULATE_CLICK".
    KX::DeliverNotification(buttonA, KX::NID_SIMULATE_CLICK);
    EXPECT_FALSE(buttonA->IsClickPending());

    buttonA->SetEnabled(true);
    KX::DeliverNotification(buttonA, KX::NID_SIMULATE_CLICK);
    EXPECT_TRUE(buttonA->IsClickPending());
    buttonA->SetVisible(false);
    RunIdle(300, 10);
    EXPECT_EQ(0u, clicks.Count());
    EXPECT_EQ(0, buttonA->GetIdleRequestCount());

    // A click completed on a disabled button's parent does not happen either.
    buttonA->SetVisible(true);
    KX::DeliverNotification(buttonA, KX::NID_SIMULATE_CLICK);
    window->GetRootControl()->SetEnabled(false);
    RunIdle(300, 10);
    EXPECT_EQ(0u, clicks.Count());
    window->GetRootControl()->SetEnabled(true);
    KX::DeliverNotification(buttonA, KX::NID_SIMULATE_CLICK);
    RunIdle(300, 10);
    EXPECT_EQ(1u, clicks.Count());
}

TEST_F(ButtonTest, RadioButtonsOfOneParentExcludeEachOtherAndToggleButtonsToggle)
{
    const RCPtr<LButton> radioA = FindAs<LButton>(L"radioA");
    const RCPtr<LButton> radioB = FindAs<LButton>(L"radioB");
    const RCPtr<LButton> radioC = FindAs<LButton>(L"radioC");
    const RCPtr<LButton> toggle = FindAs<LButton>(L"toggle");
    ASSERT_TRUE(radioA && radioB && radioC && toggle);
    // The create parameters: "True" in any case; anything else is false.
    EXPECT_TRUE(radioA->GetIsRadio() && radioB->GetIsRadio() && radioC->GetIsRadio());
    EXPECT_TRUE(toggle->GetAutoValueSet());
    EXPECT_FALSE(toggle->GetIsRadio());
    EXPECT_FALSE(buttonA->GetAutoValueSet());

    EXPECT_TRUE(toggle->SetChecked(true));
    Click(CentreOf(radioA));
    EXPECT_TRUE(radioA->IsChecked());
    Click(CentreOf(radioB));
    EXPECT_FALSE(radioA->IsChecked());
    EXPECT_TRUE(radioB->IsChecked());
    EXPECT_FALSE(radioC->IsChecked());
    EXPECT_TRUE(toggle->IsChecked()) << "a non-radio sibling keeps its value";
    // A checked radio button clicked again stays checked.
    Click(CentreOf(radioB));
    EXPECT_TRUE(radioB->IsChecked());
    radioC->SetChecked(true);
    EXPECT_FALSE(radioB->IsChecked());

    // The toggle toggles on every click; a plain button keeps its value.
    Click(CentreOf(toggle));
    EXPECT_FALSE(toggle->IsChecked());
    Click(CentreOf(toggle));
    EXPECT_TRUE(toggle->IsChecked());
    Click(CentreOf(buttonA));
    EXPECT_FALSE(buttonA->IsChecked());
    EXPECT_FALSE(toggle->SetChecked(false));

    PaintWindow();
    EXPECT_TRUE(NearColour(SlotColour(7), ControlPixel(radioC)));
    EXPECT_TRUE(NearColour(SlotColour(0), ControlPixel(radioA)));
}

TEST_F(ButtonTest, ACaptionThatDoesNotFitIsItsOwnToolTip)
{
    PaintWindow(); // lays the captions out
    EXPECT_TRUE(buttonB->IsTextTruncated());
    EXPECT_EQ(L"A caption far too long for its button", Text(buttonB->GetToolTipText()));
    EXPECT_FALSE(buttonA->IsTextTruncated());
    EXPECT_EQ(L"Scans for the device", Text(buttonA->GetToolTipText()));
    buttonB->SetText(String(L"B"));
    PaintWindow();
    EXPECT_EQ(L"Short tip", Text(buttonB->GetToolTipText()));
}

// The program's skin: a focused button under the pointer keeps showing.
TEST_F(BasicControlsTest, TheProgramsFocusedButtonShowsItsHoverAndPressedLooks)
{
    Open(false);
    const RCPtr<LButton> exit = FindAs<LButton>(L"buttonExit");
    ASSERT_TRUE(exit);
    exit->SetFocus(true);
    MoveTo(PointT<long>(300, 20));
    PaintWindow("focused");
    EXPECT_EQ(3, exit->GetActiveLookIndex());
    const uint32_t button = 0xFF3B6EA5, hover = 0xFF4A82BF, pressed = 0xFF2C5584;
    EXPECT_TRUE(NearColour(hover, ControlPixel(exit)));
    MoveTo(CentreOf(exit));
    PaintWindow("hover");
    EXPECT_EQ(4, exit->GetActiveLookIndex());
    EXPECT_TRUE(NearColour(hover, ControlPixel(exit))) << std::hex << ControlPixel(exit);
    Press(CentreOf(exit));
    PaintWindow("pressed");
    EXPECT_EQ(5, exit->GetActiveLookIndex());
    EXPECT_TRUE(NearColour(pressed, ControlPixel(exit))) << std::hex << ControlPixel(exit);
    Release(CentreOf(exit));
    MoveTo(PointT<long>(300, 20));
    const RCPtr<LButton> restart = FindAs<LButton>(L"buttonReinitialize");
    restart->SetFocus(true);
    PaintWindow("normal");
    EXPECT_TRUE(NearColour(button, ControlPixel(exit)));
}

} // namespace

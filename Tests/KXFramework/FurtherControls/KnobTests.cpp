// Knobs: the radial gesture between a start and an end angle, the linear
// gesture over its full range with and without Ctrl, the film-strip frames,
// the arrow keys and the wheel, a value set during a drag, the focus image
// laid over the frames, and knobs with a full range of 1 or without frames.
#include "FurtherTestSupport.h"

#include "ControlBase/Look.h"
#include "Controls/Knob.h"

#include <cmath>

using namespace FurtherTest;
using KX::LControl;
using KX::LKnob;
using KX::LMouseWheelParam;

namespace {

class KnobTest : public FurtherControlTest
{
protected:
    void SetUp() override
    {
        FurtherControlTest::SetUp();
        OpenScene(L"knobScene");
        radial = FindAs<LKnob>(L"radialKnob");
        linear = FindAs<LKnob>(L"linearKnob");
        ASSERT_TRUE(radial && linear);
    }

    // A press `inner` pixels from the knob's centre towards (dx, dy), then a
    // move to twice as far along the same ray, then the release.
    void TurnTowards(const RCPtr<LKnob>& knob, long dx, long dy)
    {
        const PointT<long> centre = CentreOf(knob);
        Press(PointT<long>(centre.x + dx / 2, centre.y + dy / 2));
        MoveTo(PointT<long>(centre.x + dx, centre.y + dy));
        Release(PointT<long>(centre.x + dx, centre.y + dy));
    }

    RCPtr<LKnob> radial;
    RCPtr<LKnob> linear;
};

} // namespace

TEST_F(KnobTest, TheRadialGestureFollowsThePointersAngleBetweenStartAndEnd)
{
    // Start 225, end -225 brought to 135: the dead zone is the bottom quarter.
    EXPECT_TRUE(radial->IsRadial());
    EXPECT_EQ(225.0, radial->GetRadialStartAngle());
    EXPECT_EQ(135.0, radial->GetRadialEndAngle());
    EXPECT_EQ(PointT<long>(32, 32), radial->GetCenter());
    struct Case
    {
        long dx, dy;
        double value;
    };
    for (const Case& step : {Case{0, -20, 0.5}, Case{20, 0, 225.0 / 270.0}, Case{-20, 20, 0.0},
                             Case{-20, 0, 45.0 / 270.0}, Case{4, 24, 1.0}, Case{-8, 22, 0.0}}) {
        SCOPED_TRACE(testing::Message() << step.dx << ", " << step.dy);
        TurnTowards(radial, step.dx, step.dy);
        EXPECT_NEAR(step.value, radial->GetNormalizedValue(), 1e-12);
    }
}

TEST_F(KnobTest, ADragTellsItsBeginningAndEndAndAPressAtTheCentreChangesNothing)
{
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    for (const wchar_t* id : {KX::NID_VALUE_CHANGE, KX::NID_VALUE_CHANGE_CAPTURE})
        listener->Listen(RCPtr<KX::LNotificationDistributor>(radial.Get()), id);
    radial->SetNormalizedValue(0.3);
    listener->received.clear();

    const PointT<long> centre = CentreOf(radial);
    Press(centre);
    MoveTo(PointT<long>(centre.x + 1, centre.y)); // the drag starts at the centre
    EXPECT_EQ(std::vector<bool>{true}, CapturesSeen(*listener));
    MoveTo(PointT<long>(centre.x, centre.y - 20)); // straight up
    Release(PointT<long>(centre.x, centre.y - 20));
    EXPECT_EQ((std::vector<bool>{true, false}), CapturesSeen(*listener));
    // The press at the centre left 0.3; the move to the right set 0.5 + 1/4
    // of 270 degrees' worth ... of which only the ray counts: right of the
    // centre is 90 degrees, then straight up is 0.
    const std::vector<double> values = ValuesSeen(*listener);
    ASSERT_EQ(2u, values.size());
    EXPECT_NEAR(225.0 / 270.0, values[0], 1e-12);
    EXPECT_NEAR(0.5, values[1], 1e-12);
}

TEST_F(KnobTest, TheLinearGestureCoversTheRangeInOnePixelLessThanItsFullRange)
{
    // 64 frames: two pixels per frame, 128 pixels.
    EXPECT_FALSE(linear->IsRadial());
    EXPECT_EQ(64u, linear->GetFrameCount());
    EXPECT_EQ(128, linear->GetLinearFullRange());
    EXPECT_EQ(0, linear->GetActiveLookIndex());

    const PointT<long> centre = CentreOf(linear);
    Drag(centre, PointT<long>(centre.x + 64, centre.y));
    EXPECT_DOUBLE_EQ(64.0 / 127.0, linear->GetNormalizedValue());
    EXPECT_EQ(32, linear->GetActiveLookIndex()); // round(63 x 64/127)
    Drag(centre, PointT<long>(centre.x + 63, centre.y));
    EXPECT_DOUBLE_EQ(1.0, linear->GetNormalizedValue());
    EXPECT_EQ(63, linear->GetActiveLookIndex());
    // Down lowers it, up raises it.
    Drag(centre, PointT<long>(centre.x, centre.y + 127));
    EXPECT_DOUBLE_EQ(0.0, linear->GetNormalizedValue());
    EXPECT_EQ(0, linear->GetActiveLookIndex());
    Drag(centre, PointT<long>(centre.x, centre.y - 127));
    EXPECT_DOUBLE_EQ(1.0, linear->GetNormalizedValue());
}

TEST_F(KnobTest, CtrlMakesTheLinearGestureFiner)
{
    application->ctrlDown = true;
    const PointT<long> centre = CentreOf(linear);
    Drag(centre, PointT<long>(centre.x + 127, centre.y));
    // A quarter of the movement, in steps of 1 / (4 x 128 - 1).
    const double value = linear->GetNormalizedValue();
    EXPECT_NEAR(0.25, value, 1.0 / 511.0);
    EXPECT_DOUBLE_EQ(std::round(value * 511.0), value * 511.0);
    application->ctrlDown = false;
    Drag(centre, PointT<long>(centre.x + 10, centre.y));
    EXPECT_DOUBLE_EQ(std::round(value * 127.0 + 10.0) / 127.0, linear->GetNormalizedValue());
}

TEST_F(KnobTest, TheFineMultiplierAndTheFramesOfATenFrameKnob)
{
    const RCPtr<LKnob> knob = FindAs<LKnob>(L"tenFrameKnob");
    ASSERT_TRUE(knob);
    EXPECT_EQ(0.5, knob->GetFineAdjust());
    EXPECT_FALSE(knob->IsRadial());
    EXPECT_EQ(0.0, knob->GetRadialStartAngle());
    EXPECT_EQ(0.0, knob->GetRadialEndAngle());
    EXPECT_EQ(10u, knob->GetFrameCount());
    EXPECT_EQ(130, knob->GetLinearFullRange()); // 13 pixels per frame
    EXPECT_EQ(11, knob->GetFocusLookIndex());
    EXPECT_EQ(12, knob->GetDisabledLookIndex());
    struct Case
    {
        double value;
        int32_t frame;
    };
    for (const Case& step : {Case{0.5, 5}, Case{0.0, 0}, Case{1.0, 9}, Case{0.3, 3}, Case{0.05, 0}}) {
        knob->SetNormalizedValue(step.value);
        EXPECT_EQ(step.frame, knob->GetActiveLookIndex()) << step.value;
    }

    application->ctrlDown = true;
    knob->SetNormalizedValue(0.0);
    const PointT<long> centre = CentreOf(knob);
    Drag(centre, PointT<long>(centre.x + 129, centre.y));
    EXPECT_NEAR(0.5, knob->GetNormalizedValue(), 1.0 / 259.0);
}

TEST_F(KnobTest, TheFocusImageLiesOverEveryFrameWhileTheKnobHasTheFocus)
{
    const RCPtr<LKnob> knob = FindAs<LKnob>(L"tenFrameKnob");
    os.focused = true;
    ASSERT_GE(knob->SetFocus(true), 0);
    ASSERT_TRUE(knob->HasFocus());
    for (int32_t frame = 0; frame < 10; ++frame)
        EXPECT_TRUE(knob->GetLook(frame)->GetImagePart()) << frame;
    PaintWindow();
    // The ring's opaque edge over the frame, its clear middle shows the frame.
    EXPECT_EQ(0xFFFFD020u, Pixel(180, 20));
    EXPECT_EQ(0xFF4A82BFu, Pixel(212, 52));

    ASSERT_GE(linear->SetFocus(true), 0);
    for (int32_t frame = 0; frame < 10; ++frame)
        EXPECT_FALSE(knob->GetLook(frame)->GetImagePart()) << frame;
    // The disabled look has a plain colour and no image to lay over them.
    knob->SetEnabled(false);
    EXPECT_FALSE(knob->GetLook(0)->GetImagePart());
}

TEST_F(KnobTest, ArrowKeysStepByOneUnitAndTellTheAdjustmentsBeginningAndEnd)
{
    os.focused = true;
    ASSERT_GE(linear->SetFocus(true), 0);
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    for (const wchar_t* id : {KX::NID_VALUE_CHANGE_KEY_DOWN, KX::NID_VALUE_CHANGE_KEY_UP})
        listener->Listen(RCPtr<KX::LNotificationDistributor>(linear.Get()), id);

    KeyDown(VK_UP);
    KeyDown(VK_UP); // held: a repeat
    KeyDown(VK_RIGHT);
    EXPECT_DOUBLE_EQ(3.0 / 127.0, linear->GetNormalizedValue());
    KeyUp(VK_UP);
    KeyDown(VK_DOWN);
    KeyDown(VK_LEFT);
    EXPECT_DOUBLE_EQ(1.0 / 127.0, linear->GetNormalizedValue());
    KeyUp(VK_LEFT);
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_VALUE_CHANGE_KEY_DOWN, KX::NID_VALUE_CHANGE_KEY_UP,
                                         KX::NID_VALUE_CHANGE_KEY_DOWN, KX::NID_VALUE_CHANGE_KEY_UP}),
              listener->Ids());
    ASSERT_TRUE(RCPtr<KX::LKeyParam>::DynamicCast(listener->received[0].data));
    EXPECT_EQ(0x20260000u, RCPtr<KX::LKeyParam>::DynamicCast(listener->received[0].data)->mKey.GetCode());

    // Shift+Up is no adjustment key; below 0 and above 1 the value stays.
    KeyDown(VK_UP, KX::KeyCode::ModShift);
    KeyDown(VK_DOWN);
    KeyDown(VK_DOWN);
    EXPECT_DOUBLE_EQ(0.0, linear->GetNormalizedValue());

    // The focus leaves during an adjustment: the end comes without a key.
    listener->received.clear();
    ASSERT_GE(radial->SetFocus(true), 0);
    ASSERT_EQ(std::vector<std::wstring>{KX::NID_VALUE_CHANGE_KEY_UP}, listener->Ids());
    EXPECT_FALSE(listener->received[0].data);
}

TEST_F(KnobTest, TheWheelStepsByOneUnitInBothDirectionsOnBothAxes)
{
    linear->SetNormalizedValue(0.5);
    const double unit = 1.0 / 127.0;
    const PointT<long> over = CentreOf(linear);
    struct Case
    {
        int32_t direction;
        double change;
    };
    double expected = 0.5;
    for (const Case& step :
         {Case{LMouseWheelParam::WheelUp, unit}, Case{LMouseWheelParam::WheelUp, unit},
          Case{LMouseWheelParam::WheelDown, -unit}, Case{LMouseWheelParam::WheelRight, unit},
          Case{LMouseWheelParam::WheelLeft, -unit}, Case{LMouseWheelParam::WheelLeft, -unit}}) {
        Wheel(over, step.direction);
        expected += step.change;
        EXPECT_NEAR(expected, linear->GetNormalizedValue(), 1e-12) << step.direction;
    }
}

TEST_F(KnobTest, AValueSetDuringADragWaitsForItsEnd)
{
    const PointT<long> centre = CentreOf(linear);
    Press(centre);
    MoveTo(PointT<long>(centre.x + 10, centre.y));
    ASSERT_DOUBLE_EQ(10.0 / 127.0, linear->GetNormalizedValue());
    EXPECT_DOUBLE_EQ(10.0 / 127.0, linear->SetNormalizedValue(0.9));
    MoveTo(PointT<long>(centre.x + 20, centre.y));
    EXPECT_DOUBLE_EQ(20.0 / 127.0, linear->GetNormalizedValue());
    Release(PointT<long>(centre.x + 20, centre.y));
    EXPECT_DOUBLE_EQ(0.9, linear->GetNormalizedValue());
}

TEST_F(KnobTest, AFullRangeOfOnePixelAndAKnobWithoutFramesStillWork)
{
    // A full range of 1 would leave no step: it becomes 2, one step per pixel.
    const RCPtr<LKnob> tiny = FindAs<LKnob>(L"tinyKnob");
    ASSERT_TRUE(tiny);
    EXPECT_EQ(2, tiny->GetLinearFullRange());
    const PointT<long> centre = CentreOf(tiny);
    Drag(centre, PointT<long>(centre.x + 1, centre.y));
    EXPECT_DOUBLE_EQ(1.0, tiny->GetNormalizedValue());
    application->ctrlDown = true;
    Drag(centre, PointT<long>(centre.x, centre.y + 2));
    EXPECT_DOUBLE_EQ(4.0 / 7.0, tiny->GetNormalizedValue()); // round(7 x 0.5) sevenths
    application->ctrlDown = false;

    // No looks at all: no frame to show, the default travel of 128 pixels.
    const RCPtr<LKnob> bare = FindAs<LKnob>(L"bareKnob");
    ASSERT_TRUE(bare);
    EXPECT_EQ(0u, bare->GetFrameCount());
    EXPECT_EQ(128, bare->GetLinearFullRange());
    EXPECT_EQ(-1, bare->GetFocusLookIndex());
    bare->SetNormalizedValue(0.5);
    EXPECT_EQ(0.5, bare->GetNormalizedValue());
    EXPECT_EQ(-1, bare->GetActiveLookIndex());
    // Without looks it is transparent to the pointer, but keys reach it.
    os.focused = true;
    ASSERT_GE(bare->SetFocus(true), 0);
    KeyDown(VK_RIGHT);
    EXPECT_DOUBLE_EQ(0.5 + 1.0 / 127.0, bare->GetNormalizedValue());
}

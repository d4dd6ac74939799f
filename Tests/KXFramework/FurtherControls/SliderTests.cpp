// Sliders: the thumb made from its start marker and placed for the value,
// dragged along horizontal, vertical and diagonal tracks, the held track
// stepping toward the pointer on the application clock, keys and wheel, a
// value set during a drag, coinciding markers and a slider without markers.
#include "FurtherTestSupport.h"

#include "Controls/Button.h"
#include "Controls/Slider.h"

using namespace FurtherTest;
using KX::LControl;
using KX::LMouseWheelParam;
using KX::LSlider;

namespace {

constexpr uint32_t kThumbColour = 0xFFE8ECF0;
constexpr uint32_t kTrackColour = 0xFF505860;

class SliderTest : public FurtherControlTest
{
protected:
    void SetUp() override
    {
        FurtherControlTest::SetUp();
        OpenScene(L"sliderScene");
        slider = FindAs<LSlider>(L"slider");
        ASSERT_TRUE(slider && slider->GetThumb());
        listener = KXTest::Listener::Make();
        for (const wchar_t* id : {KX::NID_VALUE_CHANGE, KX::NID_VALUE_CHANGE_CAPTURE, KX::NID_VALUE_CHANGE_KEY_DOWN,
                                  KX::NID_VALUE_CHANGE_KEY_UP})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(slider.Get()), id);
    }

    static PointT<double> Origin(const RCPtr<LControl>& control)
    {
        return PointT<double>(control->GetRect().x, control->GetRect().y);
    }
    // A point of the slider in window coordinates.
    PointT<long> At(const RCPtr<LSlider>& which, long x, long y) const
    {
        const PointT<long> origin = OriginOf(which);
        return PointT<long>(origin.x + x, origin.y + y);
    }
    // Moves the clock on and runs one idle pass.
    void Tick(uint32_t milliseconds)
    {
        application->mTicks += milliseconds;
        IdlePass();
    }

    RCPtr<LSlider> slider;
    RCPtr<KXTest::Listener> listener;
};

} // namespace

TEST_F(SliderTest, TheThumbIsACopyOfTheStartMarkerPlacedForTheValue)
{
    const RCPtr<LControl> thumb = slider->GetThumb();
    EXPECT_EQ(L"thumb", KXTest::Text(thumb->GetName()));
    EXPECT_TRUE(thumb->IsVisible(true));
    EXPECT_FALSE(Find(L"slider/thumbStart")->GetLayout().mIsVisible);
    EXPECT_FALSE(Find(L"slider/thumbEnd")->GetLayout().mIsVisible);
    EXPECT_EQ(10.0, thumb->GetRect().width);
    EXPECT_EQ(20.0, thumb->GetRect().height);
    EXPECT_EQ(PointT<long>(5, 10), slider->GetThumbHotSpot());
    EXPECT_EQ(127.0, slider->NormalizedToValue(1.0));

    struct Case
    {
        double value;
        PointT<double> origin;
    };
    for (const Case& step : {Case{0.5, {60, 20}}, Case{0.0, {10, 20}}, Case{1.0, {110, 20}}, Case{0.333, {43, 20}},
                             Case{1.7, {110, 20}}}) {
        SCOPED_TRACE(step.value);
        slider->SetNormalizedValue(step.value);
        EXPECT_EQ(step.origin, Origin(thumb));
    }
    slider->SetNormalizedValue(0.5);
    PaintWindow();
    EXPECT_EQ(kThumbColour, Pixel(20 + 60 + 5, 20 + 20 + 10));
    EXPECT_EQ(kTrackColour, Pixel(20 + 30 + 5, 20 + 20 + 10));
}

TEST_F(SliderTest, DraggingTheThumbSetsTheValueFromWhereItIs)
{
    slider->SetNormalizedValue(0.5);
    listener->received.clear();
    const PointT<long> grip = CentreOf(slider->GetThumb());
    Press(grip);
    MoveTo(PointT<long>(grip.x + 10, grip.y + 7)); // sideways movement is ignored
    EXPECT_TRUE(slider->IsThumbDragging());
    EXPECT_EQ(PointT<double>(70, 20), Origin(slider->GetThumb()));
    // The step took the pointer off the thumb before it followed; the thumb
    // (focused by the press) still shows the pressed look of its button.
    EXPECT_FALSE(slider->GetThumb()->IsHovered());
    EXPECT_TRUE(slider->GetThumb()->HasFocus());
    EXPECT_EQ(KX::LButton::kLookPressed + KX::LButton::kFocusOffset, slider->GetThumb()->GetActiveLookIndex());
    MoveTo(PointT<long>(grip.x + 25, grip.y));
    Release(PointT<long>(grip.x + 25, grip.y));
    EXPECT_FALSE(slider->IsThumbDragging());
    EXPECT_DOUBLE_EQ(0.75, slider->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(85, 20), Origin(slider->GetThumb()));
    EXPECT_EQ((std::vector<bool>{true, false}), CapturesSeen(*listener));
    EXPECT_EQ((std::vector<double>{0.6, 0.75}), ValuesSeen(*listener));

    // Beyond the end the thumb stops at the end marker.
    const PointT<long> again = CentreOf(slider->GetThumb());
    Drag(again, PointT<long>(again.x + 200, again.y));
    EXPECT_DOUBLE_EQ(1.0, slider->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(110, 20), Origin(slider->GetThumb()));
}

TEST_F(SliderTest, AValueSetDuringAThumbDragWaitsForItsEnd)
{
    slider->SetNormalizedValue(0.5);
    const PointT<long> grip = CentreOf(slider->GetThumb());
    Press(grip);
    MoveTo(PointT<long>(grip.x + 10, grip.y));
    EXPECT_DOUBLE_EQ(0.6, slider->SetNormalizedValue(0.2));
    MoveTo(PointT<long>(grip.x + 20, grip.y));
    EXPECT_DOUBLE_EQ(0.7, slider->GetNormalizedValue());
    Release(PointT<long>(grip.x + 20, grip.y));
    EXPECT_DOUBLE_EQ(0.2, slider->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(30, 20), Origin(slider->GetThumb()));
}

TEST_F(SliderTest, VerticalAndDiagonalTracksKeepTheThumbOnTheTrack)
{
    const RCPtr<LSlider> vertical = FindAs<LSlider>(L"verticalSlider");
    ASSERT_TRUE(vertical && vertical->GetThumb());
    const PointT<long> grip = CentreOf(vertical->GetThumb());
    Drag(grip, PointT<long>(grip.x + 30, grip.y + 25));
    EXPECT_DOUBLE_EQ(0.5, vertical->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(60, 25), Origin(vertical->GetThumb()));

    // Start (10, 10), end (110, 60): the thumb takes the foot of the
    // perpendicular from the pointer (less the grab offset) to the track.
    const RCPtr<LSlider> diagonal = FindAs<LSlider>(L"diagonalSlider");
    ASSERT_TRUE(diagonal && diagonal->GetThumb());
    const PointT<long> hold = CentreOf(diagonal->GetThumb());
    Press(hold);
    MoveTo(PointT<long>(hold.x + 50, hold.y));
    // (60, 10) projects onto (50, 30).
    EXPECT_EQ(PointT<double>(50, 30), Origin(diagonal->GetThumb()));
    EXPECT_DOUBLE_EQ(0.4, diagonal->GetNormalizedValue());
    MoveTo(PointT<long>(hold.x + 300, hold.y + 300));
    EXPECT_EQ(PointT<double>(110, 60), Origin(diagonal->GetThumb()));
    MoveTo(PointT<long>(hold.x - 300, hold.y - 100));
    EXPECT_EQ(PointT<double>(10, 10), Origin(diagonal->GetThumb()));
    Release(PointT<long>(hold.x - 300, hold.y - 100));
    EXPECT_DOUBLE_EQ(0.0, diagonal->GetNormalizedValue());
}

TEST_F(SliderTest, HoldingTheTrackStepsTowardThePointerAndNeverPassesIt)
{
    // The pointer's hot point (less the thumb's half size) lies at 0.85.
    const PointT<long> on = At(slider, 100, 60);
    Press(on);
    EXPECT_TRUE(slider->IsTrackRepeating());
    EXPECT_EQ(1, slider->GetIdleRequestCount());
    Tick(299);
    EXPECT_DOUBLE_EQ(0.0, slider->GetNormalizedValue());
    Tick(1); // 0.3 s after the press
    EXPECT_DOUBLE_EQ(0.1, slider->GetNormalizedValue());
    Tick(99);
    EXPECT_DOUBLE_EQ(0.1, slider->GetNormalizedValue());
    for (double expected : {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.85, 0.85}) {
        Tick(100);
        EXPECT_NEAR(expected, slider->GetNormalizedValue(), 1e-12);
    }
    Release(on);
    EXPECT_NEAR(0.85, slider->GetNormalizedValue(), 1e-12);
    EXPECT_FALSE(slider->IsTrackRepeating());
    EXPECT_EQ(0, slider->GetIdleRequestCount());

    // A short press: one step at 0.3 s, one more at the release.
    const PointT<long> farther = At(slider, 5, 60);
    Press(farther);
    Tick(300);
    EXPECT_NEAR(0.75, slider->GetNormalizedValue(), 1e-12);
    Release(farther);
    EXPECT_NEAR(0.65, slider->GetNormalizedValue(), 1e-12);
}

TEST_F(SliderTest, HoldingTheTrackBeforeItsStartGoesAllTheWayToZero)
{
    slider->SetNormalizedValue(0.5);
    // Fifteen pixels before the start: a negative share, limited to 0.
    const PointT<long> before = At(slider, 0, 30);
    EXPECT_EQ(0.0, slider->GetValueAtPoint(-5, 20));
    Press(before);
    RunIdle(1000, 100);
    Release(before);
    EXPECT_DOUBLE_EQ(0.0, slider->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(10, 20), Origin(slider->GetThumb()));
}

TEST_F(SliderTest, ArrowKeysOnTheThumbStepByOneUnitAndTellTheAdjustment)
{
    os.focused = true;
    ASSERT_GE(slider->SetFocus(true), 0);
    ASSERT_TRUE(slider->GetThumb()->HasFocus());
    EXPECT_EQ(1, slider->GetActiveLookIndex());
    listener->received.clear();

    KeyDown(VK_RIGHT);
    KeyDown(VK_RIGHT);
    KeyDown(VK_UP);
    EXPECT_DOUBLE_EQ(3.0 / 127.0, slider->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(12, 20), Origin(slider->GetThumb()));
    KeyUp(VK_UP);
    KeyDown(VK_LEFT);
    KeyUp(VK_LEFT);
    EXPECT_DOUBLE_EQ(2.0 / 127.0, slider->GetNormalizedValue());
    // Shift+Up is no adjustment key.
    KeyDown(VK_UP, KX::KeyCode::ModShift);
    EXPECT_DOUBLE_EQ(2.0 / 127.0, slider->GetNormalizedValue());

    std::vector<std::wstring> adjustments;
    for (const std::wstring& id : listener->Ids())
        if (id != KX::NID_VALUE_CHANGE)
            adjustments.push_back(id);
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_VALUE_CHANGE_KEY_DOWN, KX::NID_VALUE_CHANGE_KEY_UP,
                                         KX::NID_VALUE_CHANGE_KEY_DOWN, KX::NID_VALUE_CHANGE_KEY_UP}),
              adjustments);

    // The focus leaves during an adjustment: its end comes without a key.
    KeyDown(VK_DOWN);
    listener->received.clear();
    ASSERT_GE(FindAs<LSlider>(L"verticalSlider")->SetFocus(true), 0);
    ASSERT_EQ(std::vector<std::wstring>{KX::NID_VALUE_CHANGE_KEY_UP}, listener->Ids());
    EXPECT_FALSE(listener->received[0].data);
    EXPECT_EQ(0, slider->GetActiveLookIndex());
    slider->SetEnabled(false);
    EXPECT_EQ(2, slider->GetActiveLookIndex());
}

TEST_F(SliderTest, TheWheelStepsByOneUnitOverTheTrackAndTheThumb)
{
    slider->SetNormalizedValue(0.5);
    const double unit = 1.0 / 127.0;
    struct Case
    {
        PointT<long> where;
        int32_t direction;
        double change;
    };
    double expected = 0.5;
    const PointT<long> track = At(slider, 100, 70);
    for (const Case& step :
         {Case{track, LMouseWheelParam::WheelUp, unit}, Case{track, LMouseWheelParam::WheelDown, -unit},
          Case{track, LMouseWheelParam::WheelDown, -unit}, Case{track, LMouseWheelParam::WheelRight, unit},
          Case{track, LMouseWheelParam::WheelLeft, -unit}}) {
        Wheel(step.where, step.direction);
        expected += step.change;
        EXPECT_NEAR(expected, slider->GetNormalizedValue(), 1e-12) << step.direction;
    }
    Wheel(CentreOf(slider->GetThumb()), LMouseWheelParam::WheelUp);
    EXPECT_NEAR(expected + unit, slider->GetNormalizedValue(), 1e-12);
}

TEST_F(SliderTest, CoincidingMarkersGiveZeroWithoutFailing)
{
    const RCPtr<LSlider> flat = FindAs<LSlider>(L"flatSlider");
    ASSERT_TRUE(flat && flat->GetThumb());
    EXPECT_EQ(0.0, flat->GetValueAtPoint(50, 20));
    EXPECT_EQ(0.0, flat->GetValueAtPoint(120, 70));
    const PointT<long> grip = CentreOf(flat->GetThumb());
    Drag(grip, PointT<long>(grip.x + 40, grip.y + 10));
    EXPECT_EQ(0.0, flat->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(50, 20), Origin(flat->GetThumb()));
    // A held track goes nowhere either; a value by program leaves the thumb.
    Press(At(flat, 120, 70));
    RunIdle(500, 100);
    Release(At(flat, 120, 70));
    EXPECT_EQ(0.0, flat->GetNormalizedValue());
    flat->SetNormalizedValue(0.7);
    EXPECT_DOUBLE_EQ(0.7, flat->GetNormalizedValue());
    EXPECT_EQ(PointT<double>(50, 20), Origin(flat->GetThumb()));
}

TEST_F(SliderTest, ASliderWithoutMarkersHasNoThumbButTakesTheWheel)
{
    const RCPtr<LSlider> bare = FindAs<LSlider>(L"bareSlider");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->GetThumb());
    EXPECT_EQ(0.0, bare->GetValueAtPoint(70, 40));
    Wheel(At(bare, 70, 40), LMouseWheelParam::WheelUp);
    EXPECT_DOUBLE_EQ(1.0 / 127.0, bare->GetNormalizedValue());
    bare->SetNormalizedValue(0.4);
    EXPECT_DOUBLE_EQ(0.4, bare->GetNormalizedValue());
}

TEST_F(SliderTest, AThumbAddedWithoutADescriptionIsMadeAgainFromTheStartMarker)
{
    slider->SetNormalizedValue(0.5);
    const RCPtr<LControl> first = slider->GetThumb();
    const RCPtr<LControl> stray = KXTest::MakeControl(RCPtr<LControl>(), L"thumb");
    EXPECT_EQ(S_OK, slider->AddChild(stray, RCPtr<KX::LControlDescriptor>()));
    const RCPtr<LControl> second = slider->GetThumb();
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_FALSE(first->GetParent());
    EXPECT_FALSE(stray->GetParent());
    EXPECT_EQ(second, slider->FindChild(String(L"thumb")));
    EXPECT_TRUE(RCPtr<KX::LButton>::DynamicCast(second));
    slider->SetNormalizedValue(0.25);
    EXPECT_EQ(PointT<double>(35, 20), Origin(second));
    // The new thumb drags like the first.
    const PointT<long> grip = CentreOf(second);
    Drag(grip, PointT<long>(grip.x + 50, grip.y));
    EXPECT_DOUBLE_EQ(0.75, slider->GetNormalizedValue());
}

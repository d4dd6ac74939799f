// Level meters: the bar along a horizontal and a vertical meter, the peak
// marker between its two places, the clip light with and without latching
// (clicked through the root window), and a meter whose skin lacks the bar,
// the light and the marker's far end.
#include "FurtherTestSupport.h"

#include "Controls/Button.h"
#include "Controls/LevelMeter.h"

using namespace FurtherTest;
using KX::LControl;
using KX::LLevelMeter;

namespace {

constexpr uint32_t kBarColour = 0xFF3FAE6A;
constexpr uint32_t kMeterColour = 0xFF3A4048;
constexpr uint32_t kLightColour = 0xFFE04030;
constexpr uint32_t kDarkLightColour = 0xFF505860;

class LevelMeterTest : public FurtherControlTest
{
protected:
    void SetUp() override
    {
        FurtherControlTest::SetUp();
        OpenScene(L"meterScene");
        meter = FindAs<LLevelMeter>(L"meter");
        ASSERT_TRUE(meter);
        overlay = Find(L"meter/activeOverlay");
        marker = Find(L"meter/peakLo");
        light = Find(L"meter/clipButton");
        ASSERT_TRUE(overlay && marker && light);
        ASSERT_TRUE(RCPtr<KX::LButton>::DynamicCast(light));
    }

    RCPtr<LLevelMeter> meter;
    RCPtr<LControl> overlay;
    RCPtr<LControl> marker;
    RCPtr<LControl> light;
};

} // namespace

TEST_F(LevelMeterTest, TheBarOfAHorizontalMeterIsAsLongAsTheLevel)
{
    EXPECT_FALSE(meter->IsVertical());
    struct Case
    {
        double level;
        bool shown;
        double width;
    };
    for (const Case& step : {Case{0.5, true, 100.0}, Case{0.25, true, 50.0}, Case{1.0, true, 200.0},
                             Case{0.002, false, 0.0}, Case{0.0, false, 0.0}, Case{0.7, true, 140.0}}) {
        SCOPED_TRACE(step.level);
        EXPECT_EQ(S_OK, meter->SetLevels(step.level, 0.0));
        EXPECT_EQ(step.level, meter->GetNormalizedValue());
        EXPECT_EQ(step.shown, overlay->GetLayout().mIsVisible);
        if (step.shown) {
            EXPECT_EQ(step.width, overlay->GetRect().width);
        }
    }
    meter->SetLevels(0.5, 0.0);
    PaintWindow();
    EXPECT_EQ(kBarColour, Pixel(21, 30));
    EXPECT_EQ(kBarColour, Pixel(119, 30));
    EXPECT_EQ(kMeterColour, Pixel(120, 30));

    // A value set from outside redraws the bar, without a peak.
    meter->SetLevels(0.5, 0.5);
    ASSERT_TRUE(marker->GetLayout().mIsVisible);
    meter->SetNormalizedValue(0.75);
    EXPECT_EQ(150.0, overlay->GetRect().width);
    EXPECT_FALSE(marker->GetLayout().mIsVisible);
}

TEST_F(LevelMeterTest, ThePeakMarkerMovesFromItsPlaceTowardsTheFarEnd)
{
    // "peakHi" lies 180 pixels further; both ends are hidden once created.
    EXPECT_FALSE(marker->GetLayout().mIsVisible);
    EXPECT_FALSE(Find(L"meter/peakHi")->GetLayout().mIsVisible);
    meter->SetLevels(0.3, 0.5);
    EXPECT_TRUE(marker->GetLayout().mIsVisible);
    EXPECT_EQ(90.0, marker->GetRect().x);
    meter->SetLevels(0.3, 1.0);
    EXPECT_EQ(180.0, marker->GetRect().x);
    meter->SetLevels(0.3, 0.0);
    EXPECT_FALSE(marker->GetLayout().mIsVisible);
}

TEST_F(LevelMeterTest, AVerticalMeterCoversThePartAboveTheLevel)
{
    const RCPtr<LLevelMeter> vertical = FindAs<LLevelMeter>(L"verticalMeter");
    ASSERT_TRUE(vertical);
    EXPECT_TRUE(vertical->IsVertical());
    const RCPtr<LControl> cover = Find(L"verticalMeter/activeOverlay");
    const RCPtr<LControl> peak = Find(L"verticalMeter/peakLo");
    vertical->SetLevels(0.25, 0.5);
    EXPECT_EQ(75.0, cover->GetRect().height);
    EXPECT_EQ(20.0, cover->GetRect().width);
    // Its marker starts at the bottom (2 high) and moves up by half of 98.
    EXPECT_EQ(49.0, peak->GetRect().y);
    vertical->SetLevels(1.0, 0.0);
    EXPECT_FALSE(cover->GetLayout().mIsVisible);
}

TEST_F(LevelMeterTest, TheClipLightComesOnWhenTheClipValueChangesAndGoesOffWhenItDoesNot)
{
    struct Case
    {
        int32_t clip;
        bool lit;
    };
    for (const Case& step : {Case{3, true}, Case{3, false}, Case{4, true}, Case{4, false}, Case{4, false}}) {
        SCOPED_TRACE(step.clip);
        meter->SetLevelsAndClip(0.5, 0.0, step.clip);
        EXPECT_EQ(step.lit, meter->IsClipLit());
        EXPECT_EQ(step.lit ? 1.0 : 0.0, light->GetNormalizedValue());
        EXPECT_EQ(step.clip, meter->GetClipValue());
    }
    // SetLevels keeps the clip value: unchanged, the light stays off.
    meter->SetLevels(0.4, 0.0);
    EXPECT_FALSE(meter->IsClipLit());
    // A stored clip value redraws nothing, but the next update compares with it.
    meter->SetClipValue(9);
    EXPECT_FALSE(meter->IsClipLit());
    meter->SetLevelsAndClip(0.4, 0.0, 4);
    EXPECT_TRUE(meter->IsClipLit());
    // The lit light is the button's checked look.
    PaintWindow("lit");
    EXPECT_EQ(kLightColour, Pixel(20 + 192, 20 + 10));
    meter->SetLevelsAndClip(0.4, 0.0, 4);
    PaintWindow("dark");
    EXPECT_EQ(kDarkLightColour, Pixel(20 + 192, 20 + 10));
}

TEST_F(LevelMeterTest, ALatchedLightStaysOnUntilClickedAndTellsOnce)
{
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(meter.Get()), KX::NID_CLIPLIGHT_UNLATCHED);

    meter->SetLevelsAndClip(0.5, 0.0, 3);
    ASSERT_TRUE(meter->IsClipLit());
    // Latching on switches the light off first.
    EXPECT_EQ(S_OK, meter->SetClipLatching(true));
    EXPECT_TRUE(meter->IsClipLatching());
    EXPECT_FALSE(meter->IsClipLit());
    meter->SetLevelsAndClip(0.5, 0.0, 4);
    for (int i = 0; i < 3; ++i)
        meter->SetLevelsAndClip(0.6, 0.0, 4);
    EXPECT_TRUE(meter->IsClipLit());

    const PointT<long> onLight = CentreOf(light);
    Press(onLight);
    Release(onLight);
    EXPECT_FALSE(meter->IsClipLit());
    EXPECT_EQ(std::vector<std::wstring>{KX::NID_CLIPLIGHT_UNLATCHED}, listener->Ids());
    // A click on the dark light sends nothing.
    Press(onLight);
    Release(onLight);
    EXPECT_EQ(1u, listener->received.size());

    // Latching off: the light follows the updates again, clicks do nothing.
    EXPECT_EQ(S_OK, meter->SetClipLatching(false));
    meter->SetLevelsAndClip(0.5, 0.0, 5);
    Press(onLight);
    Release(onLight);
    EXPECT_TRUE(meter->IsClipLit());
    EXPECT_EQ(1u, listener->received.size());
    meter->SetLevelsAndClip(0.5, 0.0, 5);
    EXPECT_FALSE(meter->IsClipLit());
}

TEST_F(LevelMeterTest, NeitherTheMeterNorItsPartsTakeTheFocus)
{
    for (const wchar_t* path : {L"meter", L"meter/clipButton", L"meter/activeOverlay", L"meter/peakLo",
                                L"meter/peakHi"})
        EXPECT_TRUE(Find(path)->IsFocusDisabled(false)) << path;
}

TEST_F(LevelMeterTest, AMeterWithoutBarLightOrFarEndStillTakesItsLevels)
{
    const RCPtr<LLevelMeter> bare = FindAs<LLevelMeter>(L"bareMeter");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->GetLevelOverlay());
    EXPECT_FALSE(bare->GetClipButton());
    // Without "peakHi" there is no marker: "peakLo" stays hidden.
    EXPECT_FALSE(bare->GetPeakMarker());
    const RCPtr<LControl> lonelyEnd = Find(L"bareMeter/peakLo");
    EXPECT_FALSE(lonelyEnd->GetLayout().mIsVisible);

    EXPECT_EQ(S_OK, bare->SetLevelsAndClip(0.5, 0.8, 3));
    EXPECT_EQ(0.5, bare->GetNormalizedValue());
    EXPECT_EQ(3, bare->GetClipValue());
    EXPECT_FALSE(bare->IsClipLit());
    EXPECT_FALSE(lonelyEnd->GetLayout().mIsVisible);
    bare->SetNormalizedValue(0.9);
    EXPECT_EQ(E_FAIL, bare->SetClipLatching(true));
    EXPECT_FALSE(bare->IsClipLatching());
}

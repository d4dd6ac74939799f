// The progress bar: its fill by pixels and its percentage, the remaining time
// in the string table's words, the estimate from the rate of growth against
// a fixed clock, and bars whose parts are missing or of another class.
#include "BasicControlsTestSupport.h"

#include <climits>

using namespace BasicTest;
using KX::LControl;
using KX::LProgressBar;

namespace {

class ProgressBarTest : public BasicControlsTest
{
protected:
    void OpenBar(bool testSkin, const wchar_t* path)
    {
        Open(testSkin);
        bar = FindAs<LProgressBar>(path);
        ASSERT_TRUE(bar);
        bar->SetVisible(true);
    }
    void TearDown() override
    {
        bar = nullptr;
        BasicControlsTest::TearDown();
    }
    std::wstring TimeText() const { return Text(bar->GetTimeRemainingLabel()->GetText()); }
    // Moves the clock on by the seconds, then gives the bar the value.
    void At(double seconds, double value)
    {
        application->mTicks = start + static_cast<uint32_t>(seconds * 1000.0 + 0.5);
        bar->SetNormalizedValue(value);
    }

    RCPtr<LProgressBar> bar;
    uint32_t start = 0;
};

TEST_F(ProgressBarTest, HalfOfA300PixelBarFills150PixelsAndReads50)
{
    OpenBar(true, L"bar");
    const RCPtr<LControl> overlay = Find(L"bar/activeOverlay");
    ASSERT_TRUE(overlay);
    ASSERT_EQ(300.0, bar->GetRect().width);
    // Starts empty, range 0 to 100.
    EXPECT_EQ(0.0, bar->GetNormalizedValue());
    EXPECT_FALSE(overlay->IsVisible(false));
    EXPECT_EQ(L"0", Text(bar->GetPercentCompleteLabel()->GetText()));
    EXPECT_EQ(50.0, bar->NormalizedToValue(0.5));
    EXPECT_TRUE(bar->IsFocusDisabled(false));

    bar->SetNormalizedValue(0.5);
    EXPECT_EQ(150.0, overlay->GetRect().width);
    EXPECT_EQ(20.0, overlay->GetRect().height);
    EXPECT_EQ(L"50", Text(bar->GetPercentCompleteLabel()->GetText()));
    PaintWindow("half");
    const uint32_t fill = 0xFF00C000, track = 0xFF000040;
    EXPECT_TRUE(NearColour(fill, Pixel(10, 210)));
    EXPECT_TRUE(NearColour(fill, Pixel(159, 210)));
    EXPECT_TRUE(NearColour(track, Pixel(160, 210)));
    EXPECT_TRUE(NearColour(track, Pixel(309, 210)));

    // 0.001 of 300 pixels rounds to none: the fill is hidden.
    bar->SetNormalizedValue(0.001);
    EXPECT_FALSE(overlay->IsVisible(false));
    EXPECT_EQ(L"0", Text(bar->GetPercentCompleteLabel()->GetText()));
    PaintWindow("thousandth");
    EXPECT_TRUE(NearColour(track, Pixel(10, 210)));
    // 0.002 is 0.6 pixels: one pixel.
    bar->SetNormalizedValue(0.002);
    EXPECT_TRUE(overlay->IsVisible(false));
    EXPECT_EQ(1.0, overlay->GetRect().width);
    bar->SetNormalizedValue(1.0);
    EXPECT_EQ(300.0, overlay->GetRect().width);
    EXPECT_EQ(L"100", Text(bar->GetPercentCompleteLabel()->GetText()));
}

TEST_F(ProgressBarTest, TheRemainingTimeReadsInTheProgramsWords)
{
    OpenBar(false, L"progressBar");
    const RCPtr<LControl> label = bar->GetTimeRemainingLabel();
    ASSERT_TRUE(label);
    EXPECT_FALSE(label->IsVisible(false)) << "hidden until the first time";
    const std::vector<std::pair<int32_t, const wchar_t*>> cases = {
        {3725, L"1 Hour 2 Minutes 5 Seconds Remaining"},
        {7200, L"2 Hours 0 Minutes 0 Seconds Remaining"},
        {3600, L"1 Hour 0 Minutes 0 Seconds Remaining"},
        {3661, L"1 Hour 1 Minute 1 Second Remaining"},
        {61, L"1 Minute 1 Second Remaining"},
        {60, L"1 Minute 0 Seconds Remaining"},
        {59, L"59 Seconds Remaining"},
        {1, L"1 Second Remaining"},
        {0, L"0 Seconds Remaining"},
        {-5, L"0 Seconds Remaining"},
        {INT_MIN, L"0 Seconds Remaining"},
        {INT_MAX, L"596523 Hours 14 Minutes 7 Seconds Remaining"},
    };
    for (const auto& [seconds, text] : cases) {
        bar->SetTimeRemaining(seconds);
        EXPECT_EQ(text, TimeText()) << seconds;
    }
    EXPECT_TRUE(label->IsVisible(false));
}

TEST_F(ProgressBarTest, TheWordsComeFromTheStringTable)
{
    OpenBar(true, L"bar");
    bar->SetTimeRemaining(3725);
    EXPECT_EQ(L"1 Stunde 2 Minuten 5 Sekunden verbleibend", TimeText());
    bar->SetTimeRemaining(61);
    EXPECT_EQ(L"1 Minute 1 Sekunde verbleibend", TimeText());
    bar->SetTimeRemaining(-1);
    EXPECT_EQ(L"0 Sekunden verbleibend", TimeText());
}

TEST_F(ProgressBarTest, TheEstimateFollowsTheRateOfGrowth)
{
    OpenBar(false, L"progressBar");
    start = application->mTicks;
    EXPECT_EQ(S_OK, bar->SetAutoTimeEstimate(true));
    EXPECT_EQ(S_FALSE, bar->SetAutoTimeEstimate(true));
    // A quarter in ten seconds: three quarters take thirty more.
    At(10.0, 0.25);
    EXPECT_EQ(L"30 Seconds Remaining", TimeText());

    // Two changes within the same second both update the estimate, and the
    // mark does not move before a second has passed.
    // The rate is always the one since the start: 0.3 in 10.4 s leaves 24.3
    // seconds for the remaining 0.7.
    At(10.4, 0.3);
    EXPECT_EQ(L"24 Seconds Remaining", TimeText());
    At(10.8, 0.28); // lower, but still above the mark at 0.25: 27.8 seconds
    EXPECT_EQ(L"28 Seconds Remaining", TimeText());
    At(11.5, 0.35); // more than a second after the mark: it moves to 0.35
    EXPECT_EQ(L"21 Seconds Remaining", TimeText());
    // A value not above the last mark leaves the time as it is.
    At(12.0, 0.3);
    EXPECT_EQ(L"21 Seconds Remaining", TimeText());
    At(12.5, 0.35);
    EXPECT_EQ(L"21 Seconds Remaining", TimeText());

    // Reaching the end: the last time, and the estimate stops.
    At(20.0, 1.0);
    EXPECT_EQ(L"0 Seconds Remaining", TimeText());
    EXPECT_FALSE(bar->GetAutoTimeEstimate());
    bar->SetTimeRemaining(42);
    At(21.0, 0.5);
    EXPECT_EQ(L"42 Seconds Remaining", TimeText()) << "no estimate any more";

    // Switched on again, it starts from the clock and value of that moment.
    start = application->mTicks;
    bar->SetAutoTimeEstimate(true);
    At(4.0, 0.6); // 0.1 in four seconds: 0.4 take sixteen
    EXPECT_EQ(L"16 Seconds Remaining", TimeText());
}

TEST_F(ProgressBarTest, AnEndlessEstimateIsLimitedBeforeItBecomesSeconds)
{
    OpenBar(false, L"progressBar");
    start = application->mTicks;
    bar->SetAutoTimeEstimate(true);
    // A billionth in more than a month: far beyond any number of seconds.
    At(4000000.0, 1e-9);
    EXPECT_EQ(L"596523 Hours 14 Minutes 7 Seconds Remaining", TimeText());
}

TEST_F(ProgressBarTest, MissingOrMistypedPartsLeaveTheirDisplayOut)
{
    OpenBar(true, L"barWithoutParts");
    EXPECT_FALSE(bar->GetActiveOverlay());
    EXPECT_FALSE(bar->GetPercentCompleteLabel());
    EXPECT_FALSE(bar->GetTimeRemainingLabel());
    EXPECT_EQ(0.5, bar->SetNormalizedValue(0.5));
    EXPECT_EQ(S_FALSE, bar->SetTimeRemaining(10));
    start = application->mTicks;
    bar->SetAutoTimeEstimate(true);
    At(1.0, 0.9);
    At(2.0, 1.0);
    EXPECT_FALSE(bar->GetAutoTimeEstimate());

    // Children of the right names but other classes count as absent.
    bar = FindAs<LProgressBar>(L"barWithWrongParts");
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->GetActiveOverlay());
    EXPECT_FALSE(bar->GetPercentCompleteLabel());
    EXPECT_FALSE(bar->GetTimeRemainingLabel());
    const RCPtr<LControl> overlay = Find(L"barWithWrongParts/activeOverlay");
    const RCPtr<LControl> button = Find(L"barWithWrongParts/percentCompleteLabel");
    const RCPtr<LControl> plain = Find(L"barWithWrongParts/timeRemainingLabel");
    ASSERT_TRUE(overlay && button && plain);
    bar->SetNormalizedValue(0.75);
    bar->SetTimeRemaining(5);
    // The overlay that is no panel keeps the skin's width.
    EXPECT_EQ(40.0, overlay->GetRect().width);
    EXPECT_TRUE(button->GetText().IsEmpty());
    EXPECT_TRUE(plain->GetText().IsEmpty());
    EXPECT_TRUE(plain->IsVisible(false));
    PaintWindow();
}

TEST_F(ProgressBarTest, TheProgramsPercentLabelsLetTheFillShowThrough)
{
    OpenBar(false, L"progressBar");
    bar->SetNormalizedValue(0.5);
    PaintWindow("program");
    // The bar at (24, 196), 512 x 28: filled up to x = 280. The percent
    // labels sit from x = 240 to 320 in the bar's middle; left of their text
    // the fill and the track show through them.
    const uint32_t fill = 0xFF3FAE6A, track = 0xFF14181C;
    const RCPtr<LControl> percent = Find(L"progressBar/percentCompleteLabel");
    ASSERT_EQ(KX::RectT<double>(216, 0, 60, 28), percent->GetRect());
    for (long y = 197; y < 223; ++y) {
        EXPECT_TRUE(NearColour(fill, Pixel(242, y))) << y << std::hex << " 0x" << Pixel(242, y);
        EXPECT_TRUE(NearColour(track, Pixel(330, y))) << y;
    }
    EXPECT_EQ(L"50", Text(bar->GetPercentCompleteLabel()->GetText()));
    EXPECT_EQ(L"%", Text(Find(L"progressBar/labelPercentComplete")->GetText()));
}

} // namespace

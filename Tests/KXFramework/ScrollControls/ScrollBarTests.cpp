// The scroll bar: paging by a held channel with its repeat delays (fixed
// clock, pumped idle passes) and its highlight, thumb dragging and values
// set meanwhile, the thumb's length, the navigation keys, the arrows, and a
// bar without arrows.
#include "ScrollTestSupport.h"

#include "Notification/NotificationIDs.h"

#include <vector>

using namespace ScrollTest;
using KX::LScrollbar;
using KX::PointT;

namespace {

class ScrollBarTest : public ScrollTestBase
{
protected:
    void SetUp() override
    {
        ScrollTestBase::SetUp();
        OpenScene(L"scrollHost");
        view = FindAs<KX::LPanel>(L"view");
        bareBar = FindAs<LScrollbar>(L"bareBar");
        ASSERT_TRUE(view);
        ASSERT_TRUE(bareBar);
        vBar = view->GetVerticalScrollBar();
        ASSERT_TRUE(vBar);
    }

    // A point of a bar's channel, along its axis, in the middle across it.
    PointT<long> InChannel(const RCPtr<LScrollbar>& bar, long along) const
    {
        const RCPtr<KX::LControl>& channel = bar->GetChannel();
        const long across = KX::RoundDoubleToInt((bar->IsVertical() ? channel->GetRect().width
                                                                     : channel->GetRect().height) / 2);
        return bar->IsVertical() ? AtControl(channel, across, along) : AtControl(channel, along, across);
    }

    RCPtr<KX::LPanel> view;
    RCPtr<LScrollbar> vBar;
    RCPtr<LScrollbar> bareBar;
};

// Records the bar's values with the time they came at.
class ValueRecorder : public KX::LNotificationClient
{
public:
    static RCPtr<ValueRecorder> Make(const RCPtr<LScrollbar>& bar, const KXTest::ControlTestApplication* clock)
    {
        RCPtr<ValueRecorder> recorder(new ValueRecorder(clock));
        recorder->Register(RCPtr<KX::LNotificationDistributor>(bar.Get()), KX::NID_VALUE_CHANGE);
        return recorder;
    }

    KX::KXRESULT ReceiveNotification(const RCPtr<KX::LNotificationDistributor>&,
                                     const RCPtr<KX::LNotification>& notification) override
    {
        const RCPtr<KX::LValueParam> value = RCPtr<KX::LValueParam>::DynamicCast(notification->GetData());
        values.push_back(value ? value->mNormalizedValue : -1.0);
        times.push_back(mClock->mTicks);
        return S_OK;
    }

    std::vector<double> values;
    std::vector<uint32_t> times;

protected:
    explicit ValueRecorder(const KXTest::ControlTestApplication* clock) : mClock(clock) {}
    ~ValueRecorder() override = default;

private:
    const KXTest::ControlTestApplication* mClock;
};

TEST_F(ScrollBarTest, ABarWithoutArrowsTakesItsAxisFromItsShapeAndSizesItsThumb)
{
    EXPECT_FALSE(bareBar->IsVertical());
    EXPECT_EQ(0.0, bareBar->GetChannelStart());
    EXPECT_EQ(300.0, bareBar->GetChannelEnd());
    // The created thumb (10 pixels) is shorter than a tenth of the channel.
    EXPECT_EQ(10.0, bareBar->GetMinThumbLength());
    EXPECT_EQ(30.0, bareBar->GetThumbLength());
    EXPECT_EQ(30.0, bareBar->GetThumb()->GetRect().width);
    bareBar->SetThumbFraction(0.01);
    EXPECT_EQ(10.0, bareBar->GetThumbLength()); // never shorter than created
    bareBar->SetThumbFraction(0.1);

    // The value places the thumb over the channel's length less its own.
    struct Case
    {
        double value;
        double x;
    };
    for (const Case& c : {Case{0.0, 0}, Case{0.5, 135}, Case{1.0, 270}, Case{1.5, 270}, Case{-1.0, 0}}) {
        bareBar->SetNormalizedValue(c.value);
        EXPECT_EQ(c.x, bareBar->GetThumb()->GetRect().x) << c.value;
    }
    // The bar and all its parts take no focus.
    EXPECT_TRUE(bareBar->IsFocusDisabled(false));
    EXPECT_TRUE(bareBar->GetChannel()->IsFocusDisabled(false));
    EXPECT_TRUE(bareBar->GetThumb()->IsFocusDisabled(false));
    EXPECT_TRUE(vBar->FindChild(String(L"dec"))->IsFocusDisabled(false));
}

TEST_F(ScrollBarTest, AHeldChannelPagesAtOnceThenAfterAFirstDelayAndThenAtTheRepeatInterval)
{
    struct Case
    {
        const char* what;
        double start;  // the value before the press
        long pressAt;  // along the channel
        double step;   // the page, signed
        size_t pages;  // how many until the thumb reaches the pointer
    };
    const Case cases[] = {
        {"forward, beyond the thumb", 0.0, 290, 0.2, 5},
        {"back, before the thumb", 1.0, 10, -0.2, 5},
        {"forward from the middle", 0.5, 250, 0.2, 2},
    };
    for (const Case& c : cases) {
        bareBar->SetNormalizedValue(c.start);
        RCPtr<ValueRecorder> recorder = ValueRecorder::Make(bareBar, application.Get());
        const uint32_t pressed = application->mTicks;
        Press(InChannel(bareBar, c.pressAt));
        EXPECT_EQ(1, bareBar->GetIdleRequestCount()) << c.what;
        // Idle passes every 10 ms for two seconds, the pointer held still.
        for (int i = 0; i < 200; ++i)
            Advance(10);
        Release(InChannel(bareBar, c.pressAt));

        ASSERT_EQ(c.pages, recorder->values.size()) << c.what;
        EXPECT_EQ(pressed, recorder->times[0]) << c.what << ": the first page comes with the press";
        for (size_t i = 0; i < c.pages; ++i)
            EXPECT_NEAR(std::min(1.0, std::max(0.0, c.start + c.step * (i + 1))), recorder->values[i], 1e-9) << c.what;
        if (c.pages > 1) {
            const uint32_t first = recorder->times[1] - recorder->times[0];
            EXPECT_GE(first, 400u) << c.what;
            EXPECT_LE(first, 410u) << c.what;
        }
        for (size_t i = 2; i < c.pages; ++i) {
            const uint32_t gap = recorder->times[i] - recorder->times[i - 1];
            EXPECT_GE(gap, 200u) << c.what;
            EXPECT_LE(gap, 210u) << c.what;
        }
        // The pages stopped where the thumb covers the pointer; the idle
        // request went with the release.
        EXPECT_EQ(LScrollbar::kPageNone, bareBar->GetPageMode()) << c.what;
        EXPECT_EQ(0, bareBar->GetIdleRequestCount()) << c.what;
        recorder->UnregisterAll();
    }
}

TEST_F(ScrollBarTest, PagingPausesWhileThePointerIsAwayAndResumesWithoutABurst)
{
    RCPtr<ValueRecorder> recorder = ValueRecorder::Make(bareBar, application.Get());
    const PointT<long> held = InChannel(bareBar, 290);
    Press(held);
    for (int i = 0; i < 45; ++i)
        Advance(10); // one repeat at 400 ms
    ASSERT_EQ(2u, recorder->values.size());
    // Off the bar, still held: the interval has this much left.
    const uint32_t left = application->mTicks;
    const int32_t remaining = 200 - static_cast<int32_t>(left - recorder->times[1]);
    MoveTo(AtControl(view, 100, 100));
    for (int i = 0; i < 100; ++i)
        Advance(10);
    EXPECT_EQ(2u, recorder->values.size());
    MoveTo(held);
    const uint32_t back = application->mTicks;
    for (int i = 0; i < 30; ++i)
        Advance(10);
    // The next page comes when the rest of the interval has passed after the
    // pointer's return (to an idle pass), not at once.
    ASSERT_EQ(3u, recorder->values.size());
    const int32_t waited = static_cast<int32_t>(recorder->times[2] - back);
    EXPECT_GE(waited, remaining);
    EXPECT_LE(waited, remaining + 10);
    EXPECT_GT(remaining, 100);
    Release(held);
    recorder->UnregisterAll();
}

TEST_F(ScrollBarTest, TheHeldSideOfTheChannelShowsThePressedLookUntilTheRelease)
{
    const PointT<long> held = InChannel(bareBar, 290);
    Press(held);
    // Value 0.2: the thumb covers 54..84; the pressed side is 84..300.
    ASSERT_EQ(54.0, bareBar->GetThumb()->GetRect().x);
    PaintWindow("held");
    const PointT<long> channel = AtControl(bareBar->GetChannel(), 0, 8);
    EXPECT_EQ(kChannelColor, Pixel(channel.x + 20, channel.y));
    EXPECT_EQ(kThumbColor, Pixel(channel.x + 60, channel.y));
    EXPECT_EQ(kChannelPressedColor, Pixel(channel.x + 84, channel.y));
    EXPECT_EQ(kChannelPressedColor, Pixel(channel.x + 299, channel.y));

    Release(held);
    PaintWindow("released");
    EXPECT_EQ(kChannelColor, Pixel(channel.x + 200, channel.y));
    EXPECT_EQ(0.0f, bareBar->GetChannel()->GetLookWeight(1));
}

TEST_F(ScrollBarTest, DraggingTheThumbMovesTheViewAndValuesSetMeanwhileWaitForTheDragsEnd)
{
    // The thumb covers 0..80 of the 268-pixel channel; its travel is 188.
    const RCPtr<KX::LControl> thumb = vBar->GetThumb();
    ASSERT_EQ(80.0, thumb->GetRect().height);
    Press(InChannel(vBar, 40));
    MoveTo(InChannel(vBar, 41)); // the press becomes a drag
    ASSERT_TRUE(vBar->IsDraggingThumb());
    MoveTo(InChannel(vBar, 40 + 94));
    EXPECT_EQ(94.0, thumb->GetRect().y);
    EXPECT_NEAR(0.5, vBar->GetNormalizedValue(), 1e-12);
    EXPECT_EQ(350.0, view->GetScrollOffset().y);

    // Beyond the channel's end the thumb stops at its last place.
    MoveTo(InChannel(vBar, 300));
    EXPECT_EQ(188.0, thumb->GetRect().y);
    EXPECT_EQ(700.0, view->GetScrollOffset().y);

    // Values from elsewhere do not move the dragged thumb.
    vBar->SetNormalizedValue(0.9);
    vBar->SetNormalizedValue(0.25);
    EXPECT_EQ(188.0, thumb->GetRect().y);
    EXPECT_EQ(1.0, vBar->GetNormalizedValue());
    Release(InChannel(vBar, 300));
    // The last of them is applied at the drag's end, and the view follows.
    EXPECT_FALSE(vBar->IsDraggingThumb());
    EXPECT_EQ(0.25, vBar->GetNormalizedValue());
    EXPECT_EQ(47.0, thumb->GetRect().y);
    EXPECT_EQ(175.0, view->GetScrollOffset().y);
    PaintWindow();
    const PointT<long> channel = AtControl(vBar->GetChannel(), 8, 0);
    EXPECT_EQ(kThumbColor, Pixel(channel.x, channel.y + 47));
    EXPECT_EQ(kChannelColor, Pixel(channel.x, channel.y + 46));
}

TEST_F(ScrollBarTest, TheNavigationKeysOfTheViewsChildrenMoveTheView)
{
    ASSERT_GE(view->FindChild(String(L"content"))->SetFocus(true), 0);
    ASSERT_EQ(L"content", Focused());
    const double step = 300.0 / 7000.0;
    struct Case
    {
        const char* what;
        uint32_t key;
        int32_t offset; // the view's vertical offset afterwards
    };
    const Case cases[] = {
        {"Down steps", VK_DOWN, KX::RoundDoubleToInt(700 * step)},
        {"Page Down pages", VK_NEXT, KX::RoundDoubleToInt(700 * (step + 300.0 / 700.0))},
        {"End goes to the end", VK_END, 700},
        {"Up steps back", VK_UP, KX::RoundDoubleToInt(700 * (1 - step))},
        {"Page Up pages back", VK_PRIOR, KX::RoundDoubleToInt(700 * (1 - step - 300.0 / 700.0))},
        {"Home goes to the start", VK_HOME, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S_OK, KeyDown(c.key)) << c.what;
        EXPECT_EQ(static_cast<double>(c.offset), view->GetScrollOffset().y) << c.what;
    }
    // Left and Right are for horizontal bars: the view's is collapsed, so the
    // key goes on up to the bar beside the view.
    EXPECT_EQ(S_OK, KeyDown(VK_RIGHT));
    EXPECT_NEAR(0.02, bareBar->GetNormalizedValue(), 1e-12);
    EXPECT_EQ(0.0, view->GetScrollOffset().y);
    // With a modifier the keys are not the bars'.
    EXPECT_EQ(S_FALSE, KeyDown(VK_DOWN, KX::KeyCode::ModShift));
    EXPECT_EQ(0.0, view->GetScrollOffset().y);
}

TEST_F(ScrollBarTest, KeysHandedToABarActByItsAxisAndItsKeyFlags)
{
    struct Case
    {
        uint32_t key;
        double expected; // from 0.5
        bool handled;
    };
    const Case cases[] = {
        {VK_LEFT, 0.48, true},  {VK_RIGHT, 0.52, true},  {VK_UP, 0.5, false}, {VK_DOWN, 0.5, false},
        {VK_PRIOR, 0.5, false}, {VK_NEXT, 0.5, false},   {VK_HOME, 0.0, true}, {VK_END, 1.0, true},
        {VK_SPACE, 0.5, false},
    };
    for (const Case& c : cases) {
        bareBar->SetNormalizedValue(0.5);
        const RCPtr<KX::LSiblingKeyParam> key =
            KX::LSiblingKeyParam::Create(KX::KeyCode(c.key, true, 0, 0), RCPtr<KX::LControl>());
        KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(bareBar.Get()), KX::NID_SIBLING_KEY, key);
        EXPECT_NEAR(c.expected, bareBar->GetNormalizedValue(), 1e-12) << c.key;
        EXPECT_EQ(c.handled ? 0 : -1, key->mResult) << c.key;
    }
    // Only the keys of the mask.
    EXPECT_EQ(E_INVALIDARG, bareBar->SetKeyFlags(0x100));
    EXPECT_EQ(0xFF, bareBar->GetKeyFlags());
    ASSERT_EQ(S_OK, bareBar->SetKeyFlags(LScrollbar::kKeyHome));
    bareBar->SetNormalizedValue(0.5);
    for (uint32_t key : {VK_END, VK_LEFT, VK_HOME}) {
        const RCPtr<KX::LSiblingKeyParam> param =
            KX::LSiblingKeyParam::Create(KX::KeyCode(key, true, 0, 0), RCPtr<KX::LControl>());
        KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(bareBar.Get()), KX::NID_SIBLING_KEY, param);
    }
    EXPECT_EQ(0.0, bareBar->GetNormalizedValue());
    // A hidden bar takes no keys.
    bareBar->SetNormalizedValue(0.5);
    bareBar->SetVisible(false);
    const RCPtr<KX::LSiblingKeyParam> hidden =
        KX::LSiblingKeyParam::Create(KX::KeyCode(VK_HOME, true, 0, 0), RCPtr<KX::LControl>());
    KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(bareBar.Get()), KX::NID_SIBLING_KEY, hidden);
    EXPECT_EQ(0.5, bareBar->GetNormalizedValue());
    EXPECT_EQ(-1, hidden->mResult);
}

TEST_F(ScrollBarTest, ArrowRepeatsStepTheValueAndStopAtTheEnds)
{
    const RCPtr<KX::LControl> dec = vBar->FindChild(String(L"dec"));
    const RCPtr<KX::LControl> inc = vBar->FindChild(String(L"inc"));
    ASSERT_TRUE(dec);
    ASSERT_TRUE(inc);
    EXPECT_TRUE(vBar->IsVertical());
    vBar->SetStep(0.02);
    vBar->SetNormalizedValue(0.97);
    const auto repeat = [](const RCPtr<KX::LControl>& arrow) {
        RCPtr<KX::LNotification> notification;
        KX::LNotification::Create(notification, KX::NID_BUTTON_AUTOREPEAT, RCPtr<KX::LRefCountedObject>());
        arrow->SendNotification(notification);
    };
    repeat(inc);
    EXPECT_NEAR(0.99, vBar->GetNormalizedValue(), 1e-12);
    repeat(inc);
    EXPECT_EQ(1.0, vBar->GetNormalizedValue());
    repeat(dec);
    EXPECT_NEAR(0.98, vBar->GetNormalizedValue(), 1e-12);
    vBar->SetNormalizedValue(0.01);
    repeat(dec);
    EXPECT_EQ(0.0, vBar->GetNormalizedValue());
}

TEST_F(ScrollBarTest, AHeldArrowStepsAtOnceThenAfterAFirstDelayThenTenTimesASecondUpToTheEnd)
{
    const RCPtr<KX::LButton> inc = RCPtr<KX::LButton>::DynamicCast(vBar->FindChild(String(L"inc")));
    ASSERT_TRUE(inc);
    EXPECT_TRUE(inc->GetAutoRepeat());
    EXPECT_TRUE(vBar->GetThumb()->IsFocusDisabled(false));
    vBar->SetStep(0.1);
    RCPtr<ValueRecorder> recorder = ValueRecorder::Make(vBar, application.Get());
    const uint32_t pressed = application->mTicks;
    const PointT<long> onArrow = AtControl(inc, 8, 8);
    Press(onArrow);
    for (int i = 0; i < 200; ++i)
        Advance(10);
    Release(onArrow);
    // 0.1 at the press, then ten steps later it stops at 1.
    ASSERT_EQ(10u, recorder->values.size());
    EXPECT_EQ(pressed, recorder->times[0]);
    EXPECT_NEAR(0.1, recorder->values[0], 1e-12);
    EXPECT_EQ(1.0, recorder->values.back());
    const uint32_t first = recorder->times[1] - recorder->times[0];
    EXPECT_GE(first, 300u);
    EXPECT_LE(first, 310u);
    for (size_t i = 2; i < recorder->times.size(); ++i) {
        EXPECT_GE(recorder->times[i] - recorder->times[i - 1], 100u) << i;
        EXPECT_LE(recorder->times[i] - recorder->times[i - 1], 110u) << i;
    }
    EXPECT_EQ(700.0, view->GetScrollOffset().y);
    EXPECT_EQ(0, inc->GetIdleRequestCount());
    recorder->UnregisterAll();
}

TEST_F(ScrollBarTest, AChangedRangeKeepsTheValueInRangeUnits)
{
    bareBar->SetNormalizedValue(0.5); // 50 of 0..100
    EXPECT_EQ(S_OK, bareBar->SetValueRange(0, 200, 0));
    EXPECT_DOUBLE_EQ(0.25, bareBar->GetNormalizedValue());
    EXPECT_EQ(KX::RoundDoubleToInt(270 * 0.25), bareBar->GetThumb()->GetRect().x);
    // An exponential range needs positive limits; the range stays.
    EXPECT_EQ(E_INVALIDARG, bareBar->SetValueRange(0, 1000, 1));
    EXPECT_DOUBLE_EQ(50.0, bareBar->NormalizedToValue(bareBar->GetNormalizedValue()));
    EXPECT_EQ(S_OK, bareBar->SetValueRange(1, 1000, 1));
    EXPECT_NEAR(50.0, bareBar->NormalizedToValue(bareBar->GetNormalizedValue()), 1e-9);
}

} // namespace

// The scroll view: the bars shown for the extent with their range, page, step
// and thumb; the coupling of bars and offset; the automatic extent; the
// client, visible and scroll rectangles; the wheel; the row mode.
#include "ScrollTestSupport.h"

#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"

using namespace ScrollTest;
using KX::LMouseWheelParam;
using KX::LScrollbar;
using KX::LScrollView;
using KX::PointT;
using KX::RectT;

namespace {

class ScrollViewTest : public ScrollTestBase
{
protected:
    void SetUp() override
    {
        ScrollTestBase::SetUp();
        OpenScene(L"scrollHost");
        view = FindAs<KX::LPanel>(L"view");
        ASSERT_TRUE(view);
        vBar = view->GetVerticalScrollBar();
        hBar = view->GetHorizontalScrollBar();
        ASSERT_TRUE(vBar);
        ASSERT_TRUE(hBar);
    }

    // The view with a fixed extent instead of the children's.
    void UseExtent(double width, double height)
    {
        view->SetAutoClientExtent(0, 0, 0);
        view->SetClientExtent(width, height);
    }

    bool Shown(const RCPtr<LScrollbar>& bar) const { return LScrollView::IsBarUsable(bar); }

    RCPtr<KX::LPanel> view;
    RCPtr<LScrollbar> vBar;
    RCPtr<LScrollbar> hBar;
};

TEST_F(ScrollViewTest, ContentOf1000PixelsInA300PixelViewGivesAPageOf300Over700AndAThumbOf30Percent)
{
    // The children reach 280 x 1000: only the vertical bar is needed.
    EXPECT_EQ(PointT<double>(280, 1000), view->GetClientExtent());
    EXPECT_TRUE(Shown(vBar));
    EXPECT_FALSE(Shown(hBar));
    EXPECT_EQ(RectT<double>(0, 0, 284, 300), view->GetClientRect());

    EXPECT_NEAR(300.0 / 700.0, vBar->GetPage(), 1e-6);
    EXPECT_NEAR(300.0 / 7000.0, vBar->GetStep(), 1e-6);
    EXPECT_NEAR(0.3, vBar->GetThumbFraction(), 1e-6);
    EXPECT_DOUBLE_EQ(700.0, vBar->NormalizedToValue(1.0)); // the range is 0..700 pixels

    // The channel runs between the arrows: 300 - 2 x 16.
    const double channel = vBar->GetChannelEnd() - vBar->GetChannelStart();
    EXPECT_EQ(268.0, channel);
    EXPECT_EQ(80.0, vBar->GetThumbLength()); // 30 % of 268, rounded
    EXPECT_EQ(80.0, vBar->GetThumb()->GetRect().height);
    EXPECT_EQ(0.0, vBar->GetThumb()->GetRect().y);

    // The same by its pixels: the thumb's colour 80 pixels down the channel.
    PaintWindow();
    const PointT<long> channelTop = AtControl(vBar->GetChannel(), 8, 0);
    EXPECT_EQ(kThumbColor, Pixel(channelTop.x, channelTop.y));
    EXPECT_EQ(kThumbColor, Pixel(channelTop.x, channelTop.y + 79));
    EXPECT_EQ(kChannelColor, Pixel(channelTop.x, channelTop.y + 80));
    EXPECT_EQ(kArrowColor, Pixel(channelTop.x, channelTop.y - 1));
}

TEST_F(ScrollViewTest, BarsAreShownExactlyWhenTheContentDoesNotFitCountingTheOtherBar)
{
    struct Case
    {
        const char* what;
        double width, height;
        bool vertical, horizontal;
    };
    const Case cases[] = {
        {"fits exactly", 300, 300, false, false},
        {"taller", 300 - 16, 301, true, false},
        {"wider", 301, 300 - 16, false, true},
        {"fits but for the vertical bar's width", 290, 1000, true, true},
        {"fits but for the horizontal bar's height", 1000, 290, true, true},
        {"no content", 0, 0, false, false},
    };
    for (const Case& c : cases) {
        UseExtent(c.width, c.height);
        EXPECT_EQ(c.vertical, Shown(vBar)) << c.what;
        EXPECT_EQ(c.horizontal, Shown(hBar)) << c.what;
        const RectT<double> client = view->GetClientRect();
        EXPECT_EQ(c.vertical ? 284.0 : 300.0, client.width) << c.what;
        EXPECT_EQ(c.horizontal ? 284.0 : 300.0, client.height) << c.what;
    }
    // With both bars shown the corner fills the square between them.
    UseExtent(1000, 1000);
    EXPECT_EQ(RectT<double>(284, 284, 16, 16), view->GetCorner()->GetRect());
    EXPECT_EQ(284.0, vBar->GetRect().height);
    EXPECT_EQ(284.0, hBar->GetRect().width);
}

TEST_F(ScrollViewTest, TheSameExtentTwiceIsReportedOnce)
{
    RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(view, KX::NID_CLIENT_EXTENT_CHANGE);
    view->SetAutoClientExtent(0, 0, 0);
    EXPECT_EQ(S_OK, view->SetClientExtent(500, 600));
    EXPECT_EQ(S_FALSE, view->SetClientExtent(500, 600));
    EXPECT_EQ(S_FALSE, view->SetClientExtent(500 + 1e-16, 600));
    EXPECT_EQ(1u, listener->received.size());
    listener->UnregisterAll();
}

TEST_F(ScrollViewTest, BarsFollowTheOffsetWithoutFeedingBackAndTheOffsetFollowsTheBars)
{
    UseExtent(1000, 1000); // both bars; client 284 x 284, ranges 716
    RCPtr<KXTest::Listener> offsets = KXTest::Listener::Make();
    offsets->Listen(view, KX::NID_SCROLL_OFFSET_CHANGE);

    // Scrolling by offset moves both bars, once each, and nothing comes back.
    view->SetScrollOffset(PointT<double>(179, 358));
    EXPECT_EQ(1u, offsets->received.size());
    EXPECT_NEAR(0.25, hBar->GetNormalizedValue(), 1e-12);
    EXPECT_NEAR(0.5, vBar->GetNormalizedValue(), 1e-12);
    EXPECT_EQ(PointT<double>(179, 358), view->GetScrollOffset());

    // A bar's value moves the offset on its own axis only.
    vBar->SetNormalizedValue(1.0);
    EXPECT_EQ(PointT<double>(179, 716), view->GetScrollOffset());
    hBar->SetNormalizedValue(0.0);
    EXPECT_EQ(PointT<double>(0, 716), view->GetScrollOffset());
    EXPECT_EQ(3u, offsets->received.size());

    // The content moved with it: the marker (at 20, 500 in the content) is
    // now 216 pixels above the view's top.
    EXPECT_EQ(-216.0, view->FindChild(String(L"marker"))->GetPositionInParentClient().y);

    // A smaller extent keeps the pixel offset where it still fits, and
    // limits it where it does not.
    UseExtent(1000, 800); // vertical range 516
    EXPECT_EQ(516.0, view->GetScrollOffset().y);
    EXPECT_NEAR(1.0, vBar->GetNormalizedValue(), 1e-12);
    view->SetScrollOffset(PointT<double>(0, 100));
    UseExtent(1000, 900);
    EXPECT_EQ(100.0, view->GetScrollOffset().y);
    offsets->UnregisterAll();
}

TEST_F(ScrollViewTest, TheExtentFollowsTheChildrenAndTheBarsTheExtent)
{
    const RCPtr<KX::LControl> marker = view->FindChild(String(L"marker"));
    const RCPtr<KX::LControl> content = view->FindChild(String(L"content"));
    // Shrinking the content: the marker (20 + 40 wide, 500 + 40 high) now
    // reaches furthest; the bar stays, with a new page.
    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    content->GetLayout().GetAxisSpec(1, position, docked, size);
    size.mAbs = 100;
    content->SetPlacement(1, position, docked, size);
    EXPECT_EQ(PointT<double>(280, 540), view->GetClientExtent());
    EXPECT_EQ(1.0, vBar->GetPage()); // a page larger than the range is the whole range
    EXPECT_TRUE(Shown(vBar));

    // Removing the children that reach further: everything fits.
    view->RemoveChildDeferred(marker);
    Advance(33);
    EXPECT_EQ(PointT<double>(280, 100), view->GetClientExtent());
    EXPECT_FALSE(Shown(vBar));
    EXPECT_EQ(RectT<double>(0, 0, 300, 300), view->GetClientRect());

    // Margins are added on the automatic axes only.
    view->SetAutoClientExtent(LScrollView::kAutoExtentY, 7, 9);
    EXPECT_EQ(PointT<double>(280, 109), view->GetClientExtent());
    EXPECT_EQ(PointT<long>(280, 100), view->GetChildrenExtent());
}

TEST_F(ScrollViewTest, ScrollRangeClientAndVisibleRectangles)
{
    // Without extent the range is unbounded.
    UseExtent(0, 0);
    const double unbounded = 4503599627370496.0;
    EXPECT_EQ(RectT<double>(0, 0, unbounded, unbounded), view->GetScrollRange(RCPtr<KX::LControl>()));
    UseExtent(200, 1000);
    EXPECT_EQ(RectT<double>(0, 0, 0, 700), view->GetScrollRange(RCPtr<KX::LControl>()));

    // The visible rectangle: from the offset, the client size limited by the
    // children's far edges (content 280 wide, 1000 high).
    view->SetScrollOffset(PointT<double>(0, 120));
    EXPECT_EQ(RectT<double>(0, 120, 280, 300), view->GetVisibleRect());
    // Without undocked children the client size counts.
    view->FindChild(String(L"content"))->SetPlacement(
        0, KX::LLayoutDescriptor::PositionSpec(), true, KX::LLayoutDescriptor::SizeSpec{2, String(), 0.0f, 280});
    view->FindChild(String(L"marker"))->SetPlacement(
        1, KX::LLayoutDescriptor::PositionSpec(), true, KX::LLayoutDescriptor::SizeSpec{2, String(), 0.0f, 40});
    EXPECT_EQ(RectT<double>(0, 120, 300, 300), view->GetVisibleRect());
}

TEST_F(ScrollViewTest, TheWheelStepsAndPagesTheVerticalBarAndAltChoosesTheHorizontalOne)
{
    UseExtent(1000, 1000); // both bars; ranges 716, page 284 pixels, step 28.4
    const PointT<long> inside = AtControl(view, 100, 100);
    // Each step lands on a whole pixel, and the bar shows where it landed.
    struct Case
    {
        const char* what;
        int32_t direction;
        int32_t modifiers;
        PointT<double> offset;
    };
    const Case cases[] = {
        {"down steps", LMouseWheelParam::WheelDown, 0, {0, 28}},
        {"Shift pages", LMouseWheelParam::WheelDown, 0x08, {0, 312}},
        {"Shift pages up", LMouseWheelParam::WheelUp, 0x08, {0, 28}},
        {"up steps", LMouseWheelParam::WheelUp, 0, {0, 0}},
        {"and stops at the top", LMouseWheelParam::WheelUp, 0, {0, 0}},
        {"Alt: the horizontal bar", LMouseWheelParam::WheelDown, 0x40, {28, 0}},
        {"tilting right shows what lies right", LMouseWheelParam::WheelRight, 0, {56, 0}},
        {"tilting left", LMouseWheelParam::WheelLeft, 0, {28, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S_OK, Wheel(inside, c.direction, c.modifiers)) << c.what;
        EXPECT_EQ(c.offset, view->GetScrollOffset()) << c.what;
        EXPECT_DOUBLE_EQ(c.offset.y / 716, vBar->GetNormalizedValue()) << c.what;
        EXPECT_DOUBLE_EQ(c.offset.x / 716, hBar->GetNormalizedValue()) << c.what;
    }

    // With the vertical bar alone, Alt changes nothing and the horizontal
    // wheel moves the vertical bar.
    UseExtent(200, 1000);
    view->SetScrollOffset(PointT<double>(0, 0));
    Wheel(inside, LMouseWheelParam::WheelDown, 0x40);
    EXPECT_EQ(30.0, view->GetScrollOffset().y);
    Wheel(inside, LMouseWheelParam::WheelRight);
    EXPECT_EQ(60.0, view->GetScrollOffset().y);
    // Without any bar the view leaves the wheel to its parent.
    UseExtent(200, 200);
    EXPECT_EQ(S_FALSE, view->OnMouseWheel(LMouseWheelParam::Create(inside, 0, LMouseWheelParam::WheelDown)));
    EXPECT_EQ(S_FALSE, view->OnMouseWheelHorizontal(LMouseWheelParam::Create(inside, 0, LMouseWheelParam::WheelRight)));
    EXPECT_EQ(S_FALSE, Wheel(inside, LMouseWheelParam::WheelDown));
}

TEST_F(ScrollViewTest, RowModeCountsWholeRows)
{
    // A list of 20 rows of 14 pixels in a 100-pixel view.
    view->SetAutoClientExtent(0, 0, 0);
    view->SetRowMode(true, 14);
    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    view->GetLayout().GetAxisSpec(1, position, docked, size);
    size.mAbs = 100;
    view->SetPlacement(1, position, docked, size);
    view->SetClientExtent(200, 20 * 14);
    view->UpdateScrollBarRanges();
    ASSERT_TRUE(Shown(vBar));
    // 7 rows are in view, the range is 13 rows, a step is one row.
    EXPECT_NEAR(1.0 / 13, vBar->GetStep(), 1e-12);
    EXPECT_NEAR(7.0 / 13, vBar->GetPage(), 1e-12);
    EXPECT_NEAR(7.0 / 20, vBar->GetThumbFraction(), 1e-12);
    EXPECT_DOUBLE_EQ(13.0, vBar->NormalizedToValue(1.0));

    // The bar moves the offset by whole rows.
    vBar->SetNormalizedValue(vBar->GetStep() * 3);
    EXPECT_EQ(3.0 * 14, view->GetScrollOffset().y);
    vBar->SetNormalizedValue(1.0);
    EXPECT_EQ(13.0 * 14, view->GetScrollOffset().y);

    // An offset set from elsewhere shows on the bar as its row.
    view->SetScrollOffset(PointT<double>(0, 10 * 14));
    EXPECT_DOUBLE_EQ(10.0, vBar->NormalizedToValue(vBar->GetNormalizedValue()));

    // Fewer rows: the bar keeps its value in rows within the new last row.
    view->SetClientExtent(200, 10 * 14);
    view->UpdateScrollBarRanges();
    EXPECT_DOUBLE_EQ(3.0, vBar->NormalizedToValue(1.0));
    EXPECT_EQ(3.0 * 14, view->GetScrollOffset().y);
}

TEST_F(ScrollViewTest, InRowModeTheBarStaysOnTheOffsetsRowWhenTheClientHeightIsNoMultipleOfRows)
{
    // 20 rows of 14 in a view 111 high: 7 rows in view, 13 to scroll; the
    // pixels to scroll (280 - 111 = 169) are not 13 rows.
    view->SetAutoClientExtent(0, 0, 0);
    view->SetRowMode(true, 14);
    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    view->GetLayout().GetAxisSpec(1, position, docked, size);
    size.mAbs = 111;
    view->SetPlacement(1, position, docked, size);
    view->SetClientExtent(200, 20 * 14);
    view->UpdateScrollBarRanges();
    for (int32_t row : {1, 6, 10, 12, 13}) {
        view->SetScrollOffset(PointT<double>(0, row * 14));
        EXPECT_DOUBLE_EQ(row, vBar->NormalizedToValue(vBar->GetNormalizedValue())) << row;
        // Updating the bars again leaves the list on its row.
        view->UpdateScrollBarRanges();
        EXPECT_EQ(row * 14.0, view->GetScrollOffset().y) << row;
    }
}

TEST_F(ScrollViewTest, MissingOrOtherPartsLeaveTheirFeatureOutWithoutAnError)
{
    // A panel made in code, without corner, whose "vBar" is no scroll bar and
    // whose "hBar" is a scroll bar without arrows, channel or thumb.
    RCPtr<KX::LControlDescriptor> descriptor = KX::LControlDescriptor::Create(L"Framework.Panel", L"bare", nullptr);
    descriptor->SetLayoutDescriptor(KXTest::FixedLayout(0, 0, 100, 100));
    RCPtr<KX::LControlDescriptor> notABar = KX::LControlDescriptor::Create(L"Test.Block", L"vBar", nullptr);
    notABar->SetLayoutDescriptor(KXTest::FixedLayout(84, 0, 16, 100));
    RCPtr<KX::LControlDescriptor> emptyBar = KX::LControlDescriptor::Create(L"Framework.ScrollBar", L"hBar", nullptr);
    RCPtr<KX::LLayoutDescriptor> barLayout = KXTest::FixedLayout(0, 84, 100, 16);
    barLayout->mXIsDocked = barLayout->mYIsDocked = true;
    emptyBar->SetLayoutDescriptor(barLayout);
    descriptor->AddChild(notABar);
    descriptor->AddChild(emptyBar);
    RCPtr<KX::LControl> made;
    KX::LControl::CreateControlOfClass<KX::LPanel>(made, window->GetRootControl(), descriptor);
    RCPtr<KX::LPanel> bare = RCPtr<KX::LPanel>::DynamicCast(made);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->GetVerticalScrollBar());
    EXPECT_FALSE(bare->GetCorner());
    const RCPtr<LScrollbar> bar = bare->GetHorizontalScrollBar();
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->GetThumb());
    EXPECT_FALSE(bar->IsVertical()); // its shape

    // Content wider than the view: the horizontal bar takes its height from
    // its own size; nothing scrolls by bar vertically.
    bare->SetAutoClientExtent(0, 0, 0);
    EXPECT_EQ(S_OK, bare->SetClientExtent(400, 400));
    EXPECT_EQ(PointT<double>(0, 16), bare->GetScrollBarSize());
    EXPECT_TRUE(LScrollView::IsBarUsable(bar));
    EXPECT_EQ(RectT<double>(0, 0, 100, 84), bare->GetClientRect());
    EXPECT_EQ(RectT<double>(0, 0, 300, 316), bare->GetScrollRange(RCPtr<KX::LControl>()));
    // The wheel scrolls what there is a bar for.
    EXPECT_EQ(S_OK, bare->OnMouseWheel(LMouseWheelParam::Create(PointT<long>(1, 1), 0, LMouseWheelParam::WheelDown)));
    EXPECT_EQ(PointT<double>(KX::LayoutUtils::Round(300 * bar->GetStep()), 0), bare->GetScrollOffset());
    bare->SetScrollOffset(PointT<double>(10.5, 20));
    EXPECT_EQ(PointT<double>(11, 20), bare->GetScrollOffset());
    EXPECT_NEAR(11.0 / 300, bar->GetNormalizedValue(), 1e-12);
    // Content that fits collapses the bar.
    bare->SetClientExtent(50, 50);
    EXPECT_FALSE(LScrollView::IsBarUsable(bar));
    EXPECT_EQ(RectT<double>(0, 0, 100, 100), bare->GetClientRect());
}

TEST_F(ScrollViewTest, ASkinAppliedAgainKeepsTheBarsTheExtentAndTheOffset)
{
    vBar->SetNormalizedValue(400.0 / 700.0);
    ASSERT_EQ(400.0, view->GetScrollOffset().y);
    ASSERT_EQ(S_OK, factory->ReapplyControlDescriptor(window->GetRootControl()));
    ASSERT_EQ(view, FindAs<KX::LPanel>(L"view")); // the same objects
    EXPECT_EQ(vBar, view->GetVerticalScrollBar());
    EXPECT_EQ(PointT<double>(280, 1000), view->GetClientExtent());
    EXPECT_TRUE(Shown(vBar));
    EXPECT_FALSE(Shown(hBar));
    EXPECT_EQ(400.0, view->GetScrollOffset().y);
    EXPECT_NEAR(300.0 / 700.0, vBar->GetPage(), 1e-6);
    EXPECT_EQ(10.0, vBar->GetMinThumbLength());
    EXPECT_EQ(80.0, vBar->GetThumbLength());
    EXPECT_EQ(KX::LayoutUtils::Round(188 * 4.0 / 7.0), vBar->GetThumb()->GetRect().y);
    // And the bars still drive the view.
    vBar->SetNormalizedValue(0.0);
    EXPECT_EQ(0.0, view->GetScrollOffset().y);
}

TEST_F(ScrollViewTest, ASkinWithoutSomePartsLeavesThemOutOfTheLiveControls)
{
    const RCPtr<KX::LControl> oldDec = vBar->FindChild(String(L"dec"));
    ASSERT_TRUE(oldDec);
    // The second skin has no corner, no horizontal bar and no arrows.
    application->SetSkin(1);
    ASSERT_EQ(S_OK, factory->ReapplyControlDescriptor(window->GetRootControl()));
    ASSERT_EQ(view, FindAs<KX::LPanel>(L"view"));
    EXPECT_FALSE(view->GetHorizontalScrollBar());
    EXPECT_FALSE(view->GetCorner());
    EXPECT_EQ(vBar, view->GetVerticalScrollBar());
    EXPECT_FALSE(vBar->FindChild(String(L"dec")));

    // The vertical bar's own width is the thickness now.
    EXPECT_EQ(PointT<double>(12, 0), view->GetScrollBarSize());
    EXPECT_EQ(PointT<double>(280, 1000), view->GetClientExtent()); // the marker went
    EXPECT_TRUE(Shown(vBar));
    EXPECT_EQ(RectT<double>(0, 0, 288, 300), view->GetClientRect());
    EXPECT_EQ(300.0, vBar->GetChannelEnd());
    EXPECT_EQ(20.0, vBar->GetMinThumbLength());
    EXPECT_EQ(90.0, vBar->GetThumbLength());

    // The first skin's arrow steps the bar no more; the bar still scrolls.
    RCPtr<KX::LNotification> repeat;
    KX::LNotification::Create(repeat, KX::NID_BUTTON_AUTOREPEAT, RCPtr<KX::LRefCountedObject>());
    oldDec->SendNotification(repeat);
    vBar->SetNormalizedValue(0.5);
    oldDec->SendNotification(repeat);
    EXPECT_EQ(0.5, vBar->GetNormalizedValue());
    EXPECT_EQ(350.0, view->GetScrollOffset().y);
}

TEST_F(ScrollViewTest, PaintedScrolledContentShowsTheMarkerWhereTheOffsetPutsIt)
{
    // Scrolled by 400: the marker (content y 500) shows 100 pixels down.
    vBar->SetNormalizedValue(400.0 / 700.0);
    ASSERT_EQ(400.0, view->GetScrollOffset().y);
    PaintWindow();
    const PointT<long> viewOrigin = AtControl(view, 0, 0);
    EXPECT_EQ(kMarkerColor, Pixel(viewOrigin.x + 30, viewOrigin.y + 110));
    EXPECT_EQ(kContentColor, Pixel(viewOrigin.x + 30, viewOrigin.y + 90));
    EXPECT_EQ(kContentColor, Pixel(viewOrigin.x + 30, viewOrigin.y + 150));
    // The bar does not scroll: its thumb sits at 4/7 of its travel.
    const double travel = 268.0 - 80.0;
    const long thumbTop = KX::RoundDoubleToInt(travel * 4.0 / 7.0);
    const PointT<long> channel = AtControl(vBar->GetChannel(), 8, 0);
    EXPECT_EQ(kChannelColor, Pixel(channel.x, channel.y + thumbTop - 1));
    EXPECT_EQ(kThumbColor, Pixel(channel.x, channel.y + thumbTop));
    EXPECT_EQ(kThumbColor, Pixel(channel.x, channel.y + thumbTop + 79));
}

} // namespace

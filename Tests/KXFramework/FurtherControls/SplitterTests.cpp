// Splitters: a vertical and a horizontal bar dragged between two panels,
// limited by the partner's preferred and maximum size and by the panel that
// follows the bar; a bar without a partner; the range correction after the
// window shrinks; the resize cursor and the looks.
#include "FurtherTestSupport.h"

#include "Controls/SplitterH.h"
#include "Controls/SplitterV.h"

using namespace FurtherTest;
using KX::LControl;
using KX::LLayoutDescriptor;

namespace {

double Width(const RCPtr<LControl>& control)
{
    return control->GetRect().width;
}

double Height(const RCPtr<LControl>& control)
{
    return control->GetRect().height;
}

class SplitterTest : public FurtherControlTest
{
protected:
    // Drags the splitter by `distance` along its axis from its centre.
    void DragSplitter(const RCPtr<LControl>& splitter, long distance, bool horizontalBar = false)
    {
        const PointT<long> from = CentreOf(splitter);
        const PointT<long> to = horizontalBar ? PointT<long>(from.x, from.y + distance)
                                              : PointT<long>(from.x + distance, from.y);
        Drag(from, to);
    }
    // The OS window's client area becomes `width` wide.
    void ResizeWindow(long width)
    {
        os.clientSize = PointT<long>(width, 360);
        window->OnSize(os.clientSize);
    }
};

} // namespace

TEST_F(SplitterTest, DraggingAVerticalBarResizesItsPartnerWithinItsPreferredAndMaximumSize)
{
    OpenScene(L"splitterScene");
    const RCPtr<LControl> left = Find(L"leftPanel");
    const RCPtr<KX::LSplitterV> splitter = FindAs<KX::LSplitterV>(L"splitter");
    const RCPtr<LControl> right = Find(L"rightPanel");
    ASSERT_TRUE(left && splitter && right);
    ASSERT_EQ(100.0, Width(left));
    ASSERT_EQ(100.0, splitter->GetRect().x);

    // Preferred width 50 (its minimum), maximum 300; the right panel keeps
    // its own minimum of 100 beyond that.
    struct Case
    {
        long distance;
        double width;
    };
    for (const Case& step : {Case{30, 130.0}, Case{-100, 50.0}, Case{500, 300.0}, Case{-20, 280.0}}) {
        SCOPED_TRACE(step.distance);
        DragSplitter(splitter, step.distance);
        EXPECT_EQ(step.width, Width(left));
        // Released, the bar sits at the partner's edge again, referring to it.
        EXPECT_EQ(step.width, splitter->GetRect().x);
        EXPECT_EQ(step.width + 4.0, right->GetRect().x);
        EXPECT_EQ(560.0, right->GetRect().x + Width(right));
        const LLayoutDescriptor& layout = splitter->GetLayout();
        EXPECT_EQ(LLayoutDescriptor::PositionControl, layout.mXPosition.mKind);
        EXPECT_EQ(1.0f, layout.mXPosition.mRel);
        EXPECT_EQ(0.0, layout.mXPosition.mAbs);
        EXPECT_FALSE(splitter->GetPartner());
        EXPECT_FALSE(splitter->HasCapture());
    }
    MoveTo(PointT<long>(400, 100));
    PaintWindow();
    EXPECT_EQ(0xFF3A4048u, Pixel(279, 100)); // the left panel
    EXPECT_EQ(0xFF808890u, Pixel(281, 100)); // the bar
    EXPECT_EQ(0xFF3A4048u, Pixel(285, 100)); // the right panel
}

TEST_F(SplitterTest, DuringADragTheBarFollowsThePointerFreelyAndThePartnerTracksIt)
{
    OpenScene(L"splitterScene");
    const RCPtr<LControl> left = Find(L"leftPanel");
    const RCPtr<KX::LSplitterV> splitter = FindAs<KX::LSplitterV>(L"splitter");
    const PointT<long> from = CentreOf(splitter);
    Press(from);
    MoveTo(PointT<long>(from.x + 25, from.y + 40)); // the vertical bar ignores Y
    EXPECT_EQ(splitter->GetPartner(), left);
    EXPECT_EQ(LLayoutDescriptor::PositionClient, splitter->GetLayout().mXPosition.mKind);
    EXPECT_EQ(125.0, splitter->GetRect().x);
    EXPECT_EQ(0.0, splitter->GetRect().y);
    EXPECT_EQ(125.0, Width(left));
    // The bounds in the drag's coordinates: the partner from 50 to 300, two
    // pixels of grab offset added.
    EXPECT_EQ(52.0, splitter->GetDragMin());
    EXPECT_EQ(302.0, splitter->GetDragMax());
    MoveTo(PointT<long>(from.x - 200, from.y));
    EXPECT_EQ(50.0, Width(left));
    Release(PointT<long>(from.x - 200, from.y));
    EXPECT_EQ(50.0, splitter->GetRect().x);
}

TEST_F(SplitterTest, AHorizontalBarStaysWithinItsBoundsUpAndDown)
{
    OpenScene(L"hSplitterScene");
    const RCPtr<LControl> top = Find(L"topPanel");
    const RCPtr<KX::LSplitterH> splitter = FindAs<KX::LSplitterH>(L"splitter");
    const RCPtr<LControl> bottom = Find(L"bottomPanel");
    ASSERT_TRUE(top && splitter && bottom);
    ASSERT_EQ(80.0, splitter->GetRect().y);

    // Up: the top panel stops at its preferred 40. Down: the bottom panel
    // (from the bar to the bottom edge) stops at its minimum of 100.
    DragSplitter(splitter, -60, true);
    EXPECT_EQ(40.0, Height(top));
    EXPECT_EQ(40.0, splitter->GetRect().y);
    DragSplitter(splitter, 300, true);
    EXPECT_EQ(256.0, Height(top));
    EXPECT_EQ(260.0, bottom->GetRect().y);
    EXPECT_EQ(100.0, Height(bottom));
    // The bar does not move sideways.
    EXPECT_EQ(0.0, splitter->GetRect().x);
}

TEST_F(SplitterTest, ABarWithoutPartnerMovesWithinTheBoundsOfThePanelThatEndsAtIt)
{
    OpenScene(L"freeSplitterScene");
    const RCPtr<KX::LSplitterV> splitter = FindAs<KX::LSplitterV>(L"splitter");
    const RCPtr<LControl> left = Find(L"leftPanel");
    ASSERT_TRUE(splitter && left);
    ASSERT_EQ(200.0, Width(left));

    // The panel reaches up to the bar and may not get narrower than 120.
    DragSplitter(splitter, -150);
    EXPECT_EQ(120.0, splitter->GetRect().x);
    EXPECT_EQ(120.0, Width(left));
    EXPECT_FALSE(splitter->GetPartner());
    DragSplitter(splitter, 100);
    EXPECT_EQ(220.0, splitter->GetRect().x);
    EXPECT_EQ(220.0, Width(left));
    // Its own position stays a plain one: nothing to give back.
    EXPECT_EQ(LLayoutDescriptor::PositionClient, splitter->GetLayout().mXPosition.mKind);
}

TEST_F(SplitterTest, AfterTheWindowShrinksThePartnerBringsTheBarBackIntoRange)
{
    const RCPtr<LControl> scene = OpenScene(L"splitterScene");
    const RCPtr<LControl> left = Find(L"leftPanel");
    const RCPtr<LControl> splitter = Find(L"splitter");
    const RCPtr<LControl> right = Find(L"rightPanel");
    DragSplitter(splitter, 200);
    ASSERT_EQ(300.0, Width(left));

    // 350 wide: the right panel would get 46 of its 100 pixels; the partner
    // gives up the difference.
    ResizeWindow(350);
    ASSERT_EQ(350.0, Width(scene));
    EXPECT_EQ(246.0, Width(left));
    EXPECT_EQ(246.0, splitter->GetRect().x);
    EXPECT_EQ(250.0, right->GetRect().x);
    EXPECT_EQ(100.0, Width(right));

    // Growing again leaves the partner as it is: the bar is within range.
    ResizeWindow(560);
    EXPECT_EQ(246.0, Width(left));
    EXPECT_EQ(310.0, Width(right));
}

TEST_F(SplitterTest, TheResizeCursorAndTheLooksFollowHoverDragAndState)
{
    OpenScene(L"splitterScene");
    const RCPtr<LControl> splitter = Find(L"splitter");
    const PointT<long> over = CentreOf(splitter);
    MoveTo(PointT<long>(over.x - 40, over.y));
    EXPECT_NE(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    EXPECT_EQ(0, splitter->GetActiveLookIndex());

    MoveTo(over);
    EXPECT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    EXPECT_EQ(1, splitter->GetActiveLookIndex());
    Press(over);
    MoveTo(PointT<long>(over.x + 1, over.y));
    EXPECT_EQ(2, splitter->GetActiveLookIndex()); // dragged, the pointer on it
    // A longer step leaves the pointer beside the bar until the next move
    // finds it there again: dragged, not hovered.
    MoveTo(PointT<long>(over.x + 10, over.y));
    EXPECT_EQ(1, splitter->GetActiveLookIndex());
    EXPECT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    Release(PointT<long>(over.x + 10, over.y));
    EXPECT_EQ(1, splitter->GetActiveLookIndex());
    EXPECT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    MoveTo(PointT<long>(over.x + 60, over.y));
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());
    EXPECT_EQ(0, splitter->GetActiveLookIndex());

    splitter->SetEnabled(false);
    EXPECT_EQ(6, splitter->GetActiveLookIndex());
}

TEST_F(SplitterTest, AHorizontalBarShowsTheVerticalResizeCursor)
{
    OpenScene(L"hSplitterScene");
    MoveTo(CentreOf(Find(L"splitter")));
    EXPECT_EQ(L"UI_CURSOR_SIZE_NS", CurrentCursor());
}

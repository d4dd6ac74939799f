// The layout engine: positions and sizes against every kind of reference,
// the anchor, minimum and maximum sizes, pixel snapping, scrolling, and the
// program's own skin laid out in its window.
#include "Support/Scenes/ControlTestSupport.h"

using namespace KXTest;
using KX::LControl;
using KX::LLayoutDescriptor;
using KX::PointT;
using KX::RectT;

namespace {

void ExpectRect(const RectT<double>& expected, const RectT<double>& actual, const std::string& what)
{
    EXPECT_EQ(expected.x, actual.x) << what;
    EXPECT_EQ(expected.y, actual.y) << what;
    EXPECT_EQ(expected.width, actual.width) << what;
    EXPECT_EQ(expected.height, actual.height) << what;
}

// One placement case under a parent at {10, 20, 200, 100} whose child
// "mark" sits at {30, 40, 50, 20}.
struct PlacementCase
{
    const char* what;
    std::function<void(LLayoutDescriptor&)> setUp;
    RectT<double> expected;
};

} // namespace

TEST_F(ControlTreeTest, ADefaultLayoutRecordGivesSixteenByForty)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> child = MakeControl(top, L"defaults", LLayoutDescriptor::Create());
    ExpectRect(RectT<double>(0, 0, 16, 40), child->GetRect(), "default record");

    // A control that no description reached reads the defaults: visible,
    // enabled, clipped, no layout of its own yet.
    RCPtr<TestControl> bare(new TestControl(top, L"bare"));
    EXPECT_TRUE(bare->GetLayout().mIsVisible);
    EXPECT_TRUE(bare->GetLayout().mClipToParent);
    EXPECT_FALSE(bare->GetLayoutDescriptor());
    EXPECT_EQ(E_FAIL, bare->RecalcLayout());
    EXPECT_FALSE(bare->IsVisible(true)); // no size yet
}

TEST_F(ControlTreeTest, PlacementFollowsItsReferences)
{
    const std::vector<PlacementCase> cases = {
        {"client position, Self size", [](LLayoutDescriptor& l) { l.mXPosition.mAbs = 7; l.mXSize.mAbs = 20; },
         RectT<double>(7, 0, 20, 40)},
        {"parent position, half way", [](LLayoutDescriptor& l) {
             l.mXPosition.mKind = LLayoutDescriptor::PositionParent;
             l.mXPosition.mRel = 0.5f;
             l.mXPosition.mAbs = 5;
         },
         RectT<double>(105, 0, 16, 40)},
        {"client fill", [](LLayoutDescriptor& l) {
             l.mXSize = {LLayoutDescriptor::SizeClient, String(), 1.0f, 0.0};
             l.mYSize = {LLayoutDescriptor::SizeClient, String(), 1.0f, 0.0};
         },
         RectT<double>(0, 0, 200, 100)},
        {"right edge 15 pixels in", [](LLayoutDescriptor& l) {
             l.mXPosition.mAnchor = 1.0f;
             l.mXPosition.mRel = 1.0f;
             l.mXPosition.mAbs = -15;
             l.mXSize.mAbs = 30;
         },
         RectT<double>(155, 0, 30, 40)},
        {"centred on the client area", [](LLayoutDescriptor& l) {
             l.mXPosition.mAnchor = 0.5f;
             l.mXPosition.mRel = 0.5f;
             l.mXSize.mAbs = 41;
         },
         RectT<double>(80, 0, 41, 40)},
        {"after a named sibling", [](LLayoutDescriptor& l) {
             l.mXPosition.mKind = LLayoutDescriptor::PositionControl;
             l.mXPosition.mControlName = L"mark";
             l.mXPosition.mRel = 1.0f;
             l.mXPosition.mAbs = 2;
         },
         RectT<double>(82, 0, 16, 40)},
        {"size up to a named sibling's far edge", [](LLayoutDescriptor& l) {
             l.mXSize = {LLayoutDescriptor::SizeControl, String(L"mark"), 1.0f, 0.0};
         },
         RectT<double>(0, 0, 80, 40)},
        {"an unknown name is a zero reference", [](LLayoutDescriptor& l) {
             l.mXPosition.mKind = LLayoutDescriptor::PositionControl;
             l.mXPosition.mControlName = L"nobody";
             l.mXPosition.mAbs = 3;
         },
         RectT<double>(3, 0, 16, 40)},
        {"a far edge before the position needs an anchor", [](LLayoutDescriptor& l) {
             l.mXPosition.mAbs = 100;
             l.mXSize = {LLayoutDescriptor::SizeClient, String(), 0.0f, 0.0};
         },
         RectT<double>(100, 0, 0, 40)},
        {"a far edge before the position with anchor 1", [](LLayoutDescriptor& l) {
             l.mXPosition.mAbs = 100;
             l.mXPosition.mAnchor = 1.0f;
             l.mXSize = {LLayoutDescriptor::SizeClient, String(), 0.25f, 0.0};
         },
         RectT<double>(50, 0, 50, 40)},
        {"a minimum keeps the anchor point", [](LLayoutDescriptor& l) {
             l.mXPosition.mAbs = 100;
             l.mXPosition.mAnchor = 0.5f;
             l.mXSize.mAbs = 10;
             l.mXMinimum.mAbs = 40;
         },
         RectT<double>(80, 0, 40, 40)},
        {"a maximum keeps the anchor point", [](LLayoutDescriptor& l) {
             l.mXPosition.mAnchor = 1.0f;
             l.mXPosition.mRel = 1.0f;
             l.mXSize.mAbs = 150;
             l.mXMaximum.mAbs = 120;
         },
         RectT<double>(80, 0, 120, 40)},
        {"a maximum of 0 is none", [](LLayoutDescriptor& l) { l.mYSize.mAbs = 500; },
         RectT<double>(0, 0, 16, 500)},
    };
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> parent = MakeControl(top, L"parent", FixedLayout(10, 20, 200, 100));
    MakeControl(parent, L"mark", FixedLayout(30, 40, 50, 20));
    for (const PlacementCase& placement : cases) {
        RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
        placement.setUp(*layout);
        RCPtr<TestControl> child = MakeControl(parent, L"case", layout);
        ExpectRect(placement.expected, child->GetRect(), placement.what);
        child->SetParent(RCPtr<LControl>());
    }
}

TEST_F(ControlTreeTest, ATopControlIsPlacedAgainstScreenWindowAndPointer)
{
    os.cursor = PointT<long>(30, 40);
    RCPtr<LLayoutDescriptor> screen = LLayoutDescriptor::Create();
    screen->mXPosition.mKind = LLayoutDescriptor::PositionParent;
    screen->mYPosition.mKind = LLayoutDescriptor::PositionParent;
    screen->mXSize = {LLayoutDescriptor::SizeParent, String(), 1.0f, 0.0};
    RCPtr<TestControl> onScreen = MakeControl(RCPtr<LControl>(), L"screen", screen);
    // The screen in client coordinates: the window's client area starts at
    // (100, 50) on the screen; the work area is 1280 wide.
    ExpectRect(RectT<double>(-100, -50, 1280, 40), onScreen->GetRect(), "screen");

    RCPtr<LLayoutDescriptor> pointer = LLayoutDescriptor::Create();
    pointer->mXPosition.mKind = LLayoutDescriptor::PositionControl;
    pointer->mXPosition.mAbs = 5;
    pointer->mYPosition.mKind = LLayoutDescriptor::PositionControl;
    RCPtr<TestControl> atPointer = MakeControl(RCPtr<LControl>(), L"pointer", pointer);
    ExpectRect(RectT<double>(35, 40, 16, 40), atPointer->GetRect(), "pointer");
}

TEST_F(ControlTreeTest, TheProgramsSkinLaysOutItsWindow)
{
    ASSERT_EQ(S_OK, factory->LoadSkin(L"::APP_SKINS"));
    for (const wchar_t* className :
         {L"FirmwareUpdater.MainControl", L"Framework.Label", L"Framework.ProgressBar", L"Framework.Panel",
          L"Framework.Button", L"Framework.MainMenu", L"Framework.ComboMenu", L"Framework.PopupMenu",
          L"Framework.MenuItem", L"Framework.ToolTip"})
        factory->RegisterControlCreateFunction(className, &LControl::CreateControlOfClass<TestControl>);

    ASSERT_EQ(S_OK, window->SetRootControl(String(L"mainControl")));
    const RCPtr<LControl> main = window->GetRootControl();
    ASSERT_TRUE(main);
    EXPECT_EQ(window, main->GetRootWindow());
    ExpectRect(RectT<double>(0, 0, 560, 360), main->GetRect(), "mainControl");
    const RCPtr<LControl>& exit = main->FindChild(L"buttonExit");
    ASSERT_TRUE(exit);
    ExpectRect(RectT<double>(376, 308, 160, 32), exit->GetRect(), "buttonExit");
    const RCPtr<LControl>& progress = main->FindChild(L"progressBar");
    ASSERT_TRUE(progress);
    ExpectRect(RectT<double>(24, 196, 512, 28), progress->GetRect(), "progressBar");
    const RCPtr<LControl>& remaining = progress->FindChild(L"timeRemainingLabel");
    ASSERT_TRUE(remaining);
    ExpectRect(RectT<double>(0, 32, 512, 20), remaining->GetRect(), "timeRemainingLabel");
    // It draws below its parent: counted along the chain.
    EXPECT_GE(progress->GetUnclippedDescendantCount(), 1);

    // The window's size limits come from the main control's layout.
    int32_t width = 800;
    int32_t height = 100;
    EXPECT_TRUE(window->ConstrainSize(width, height));
    EXPECT_EQ(560, width);
    EXPECT_EQ(360, height);
}

TEST(LayoutArithmetic, SnappingToThePixelGrid)
{
    RectT<double> rect(0.5, 0.5, 9.5, 2);
    rect.SnapToPixelGrid();
    EXPECT_EQ(RectT<double>(0, 0, 10, 2), rect);
    RectT<double> negative(4, 0, -3, 1);
    negative.SnapToPixelGrid();
    EXPECT_EQ(RectT<double>(1, 0, 3, 1), negative);
    // Within 2^-52 below an integer counts as that integer.
    RectT<double> almost(-1.5, 0.0, 11.499999999999998, 1);
    almost.SnapToPixelGrid();
    EXPECT_EQ(RectT<double>(-2, 0, 12, 1), almost);
}

TEST(LayoutArithmetic, TextGrowsTheMinimumOnlyThroughAPositiveShare)
{
    KX::LayoutUtils::TextMeasure measure;
    measure.mAreaWidth = 50;
    measure.mWidestLine = 80.2;
    measure.mLeftRel = 0.0f;
    measure.mRightRel = 0.5f;
    // 31 pixels missing over half the width: 62 more.
    EXPECT_EQ(162.0, KX::LayoutUtils::TextMinimum(0, PointT<double>(100, 20), 10, measure));
    // A text area that does not grow with the control gives no candidate
    // (the missing width cannot be divided by it).
    for (float right : {0.0f, -0.25f}) {
        measure.mRightRel = right;
        EXPECT_EQ(10.0, KX::LayoutUtils::TextMinimum(0, PointT<double>(100, 20), 10, measure)) << right;
    }
    measure.mAreaHeight = 14;
    measure.mWrappedHeight = 30;
    measure.mTopRel = 0.25f;
    measure.mBottomRel = 0.25f;
    EXPECT_EQ(20.0, KX::LayoutUtils::TextMinimum(1, PointT<double>(100, 20), 20, measure));
    measure.mBottomRel = 0.75f;
    // 16 pixels missing over half the height: 32 more.
    EXPECT_EQ(52.0, KX::LayoutUtils::TextMinimum(1, PointT<double>(100, 20), 20, measure));
}

TEST_F(ControlTreeTest, ScrollingMovesUndockedChildrenAndKeepsDockedOnes)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> view = MakeControl(top, L"view", FixedLayout(10, 10, 200, 100));
    RCPtr<TestControl> content = MakeControl(view, L"content", FixedLayout(0, 0, 50, 20));
    RCPtr<LLayoutDescriptor> dockedLayout = FixedLayout(5, 5, 20, 20);
    dockedLayout->mXIsDocked = true;
    dockedLayout->mYIsDocked = true;
    RCPtr<TestControl> docked = MakeControl(view, L"docked", dockedLayout);
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(view, KX::NID_SCROLL_OFFSET_CHANGE);

    EXPECT_EQ(PointT<double>(11, -11), view->SetScrollOffset(PointT<double>(10.5, -10.5)));
    EXPECT_EQ(PointT<double>(11, -11), view->GetScrollOffset());
    EXPECT_EQ(PointT<double>(-1, 21), content->GetRootPosition());
    EXPECT_EQ(PointT<double>(15, 15), docked->GetRootPosition());
    EXPECT_EQ(1u, listener->received.size());
    // The same rounded offset again changes nothing.
    view->SetScrollOffset(PointT<double>(11.4, -11.4));
    EXPECT_EQ(1u, listener->received.size());

    // Docked on both axes: not part of the children's bounds.
    RCPtr<TestControl> empty = MakeControl(top, L"empty", FixedLayout(300, 0, 50, 50));
    RCPtr<TestControl> onlyDocked = MakeControl(empty, L"onlyDocked", dockedLayout);
    EXPECT_EQ(RectT<double>(2147483647.0, 2147483647.0, 1, 1), empty->GetChildrenBounds());
    EXPECT_EQ(RectT<double>(0, 0, 50, 20), view->GetChildrenBounds());
}

TEST_F(ControlTreeTest, ARectLikeTheCurrentOneChangesNothing)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> child = MakeControl(top, L"child", FixedLayout(10, 10, 40, 30));
    const size_t invalidations = os.invalidations.size();
    EXPECT_EQ(S_FALSE, child->SetRect(PointT<double>(10, 10), PointT<double>(40, 30)));
    EXPECT_EQ(invalidations, os.invalidations.size());
    EXPECT_EQ(S_OK, child->SetRect(PointT<double>(12, 10), PointT<double>(40, 30)));
    EXPECT_GT(os.invalidations.size(), invalidations);
}

TEST_F(ControlTreeTest, ChangingASizeRelaysOutTheChildrenAndLaterSiblings)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 200, 100));
    RCPtr<LLayoutDescriptor> fill = LLayoutDescriptor::Create();
    fill->mXSize = {LLayoutDescriptor::SizeClient, String(), 1.0f, 0.0};
    RCPtr<TestControl> filler = MakeControl(panel, L"filler", fill);
    RCPtr<LLayoutDescriptor> after = LLayoutDescriptor::Create();
    after->mXPosition.mKind = LLayoutDescriptor::PositionControl;
    after->mXPosition.mControlName = L"panel";
    after->mXPosition.mRel = 1.0f;
    RCPtr<TestControl> follower = MakeControl(top, L"follower", after);
    EXPECT_EQ(200.0, filler->GetRect().width);
    EXPECT_EQ(200.0, follower->GetRect().x);

    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    panel->GetLayout().GetAxisSpec(0, position, docked, size);
    size.mAbs = 260;
    panel->SetPlacement(0, position, docked, size);
    EXPECT_EQ(260.0, filler->GetRect().width);
    EXPECT_EQ(260.0, follower->GetRect().x);
}

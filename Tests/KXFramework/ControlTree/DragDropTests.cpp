// Drag and drop in the tree, through the root window's pointer entry points
// and the idle passes: moving and resizing by drag modes within the drag
// bounds, drop targets with their notifications and cursors, and the
// scrolls near the edges that carry the dragged control along.
#include "Support/Scenes/ControlTestSupport.h"

using namespace KXTest;
using KX::LControl;
using KX::PointT;
using KX::RectT;

namespace {

// A control that takes a drag mode when its left drag begins, and records
// what happens to it as a drop target.
class DragControl : public TestControl
{
public:
    DragControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}

    void OnConditionsChanged(const RCPtr<KX::LConditionsParam>& param) override
    {
        TestControl::OnConditionsChanged(param);
        const uint32_t began = param->mNewConditions & ~param->mOldConditions;
        if (mode != 0 && (began & LControl::kLeftDrag))
            SetDragMode(mode, flags);
    }
    bool AcceptsDrop(const RCPtr<LControl>&) override { return accepts; }
    int32_t DragReserved(const RCPtr<LControl>&) override { return reserved; }
    KX::RectT<double> GetScrollRange(const RCPtr<LControl>& control) override
    {
        return hasRange ? range : TestControl::GetScrollRange(control);
    }
    // The bounds stop short of the visible area by the inset on the left
    // and on the right.
    void GetDragBounds(RectT<double>& bounds) override
    {
        bounds.x += boundsInset;
        bounds.width -= 2 * boundsInset;
    }
    void DragEnter(const RCPtr<LControl>& dragged) override { Log(L"enter", dragged); }
    void DragOver(const RCPtr<LControl>& dragged, const PointT<long>& point) override
    {
        Log(L"over", dragged);
        lastOver = point;
    }
    void DragLeave(const RCPtr<LControl>& dragged) override { Log(L"leave", dragged); }
    KX::KXRESULT Drop(const RCPtr<LControl>& dragged) override
    {
        Log(L"drop", dragged);
        return S_OK;
    }

    int32_t mode = 0;
    int32_t flags = 0;
    bool accepts = false;
    int32_t reserved = 0;
    bool hasRange = false;
    RectT<double> range;
    double boundsInset = 0.0;
    PointT<long> lastOver;
    std::vector<std::wstring>* log = nullptr;

private:
    void Log(const wchar_t* what, const RCPtr<LControl>& dragged)
    {
        if (log)
            log->push_back(Text(GetName()) + L":" + what + L":" + Text(dragged->GetName()));
    }
};

RCPtr<DragControl> MakeDragControl(const RCPtr<LControl>& parent, const wchar_t* name, const RectT<double>& rect,
                                   int32_t mode = 0, int32_t flags = 0)
{
    RCPtr<DragControl> control =
        MakeControl<DragControl>(parent, name, FixedLayout(rect.x, rect.y, rect.width, rect.height));
    control->mode = mode;
    control->flags = flags;
    return control;
}

} // namespace

TEST_F(ControlTreeTest, DragModesMoveAndResizeWithinTheVisibleAreaOfTheParent)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> area = MakeControl(top, L"area", FixedLayout(0, 0, 400, 300));
    struct Case
    {
        const char* what;
        int32_t mode;
        int32_t flags;
        PointT<long> press;
        PointT<long> to;
        RectT<double> expected;
    };
    const std::vector<Case> cases = {
        {"move along X", 2, 0x01, {120, 120}, {170, 150}, {150, 100, 100, 50}},
        {"move along X past the edge stops at the edge", 2, 0x01, {120, 120}, {500, 120}, {380, 100, 100, 50}},
        {"move both ways past the top left", 2, 0x03, {120, 120}, {-50, -50}, {-20, -20, 100, 50}},
        {"free move, no limits", 1, 0x03, {120, 120}, {500, 400}, {480, 380, 100, 50}},
        {"right edge", 4, 0x04, {195, 120}, {245, 120}, {100, 100, 150, 50}},
        {"left edge past the right one leaves width 1", 4, 0x08, {102, 120}, {302, 120}, {199, 100, 1, 50}},
        {"top edge down by 10", 4, 0x10, {120, 102}, {120, 112}, {100, 110, 100, 40}},
        {"bottom edge past the top leaves height 1", 5, 0x20, {120, 148}, {120, 0}, {100, 100, 100, 1}},
        {"two edges at once", 4, 0x04 | 0x20, {195, 145}, {205, 165}, {100, 100, 110, 70}},
    };
    for (const Case& c : cases) {
        RCPtr<DragControl> box = MakeDragControl(area, L"box", RectT<double>(100, 100, 100, 50), c.mode, c.flags);
        RCPtr<Listener> clicks = Listener::Make();
        clicks->Listen(box, KX::NID_LEFT_CLICK);
        Press(c.press);
        MoveTo(c.to);
        EXPECT_EQ(c.expected, box->GetRect()) << c.what;
        Release(c.to);
        EXPECT_TRUE(clicks->received.empty()) << c.what;
        EXPECT_EQ(0, area->GetIdleRequestCount()) << c.what;
        box->Detach();
    }
}

TEST_F(ControlTreeTest, AFreeMoveStartsWhereTheControlIsWhateverItsPlacement)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> area = MakeControl(top, L"area", FixedLayout(0, 0, 400, 300));
    area->SetScrollOffset(PointT<double>(0, 40));
    // Centred on the middle of the area, and scrolled with it.
    RCPtr<KX::LLayoutDescriptor> layout = FixedLayout(0, 100, 100, 50);
    layout->mXPosition.mRel = 0.5f;
    layout->mXPosition.mAnchor = 0.5f;
    RCPtr<DragControl> box = MakeControl<DragControl>(area, L"box", layout);
    box->mode = 1;
    box->flags = 3;
    ASSERT_EQ(RectT<double>(150, 100, 100, 50), box->GetRect());
    const PointT<double> before = box->GetRootPosition();

    Press(PointT<long>(200, 80));
    MoveTo(PointT<long>(201, 80));
    const PointT<double> during = box->GetRootPosition();
    EXPECT_EQ(PointT<double>(before.x + 1, before.y), during);
    EXPECT_FALSE(box->GetLayout().mClipToParent);
    EXPECT_TRUE(box->GetLayout().mXIsDocked && box->GetLayout().mYIsDocked);

    // Dropped, it stays where it is, clipped and scrolling with the area again.
    Release(PointT<long>(201, 80));
    EXPECT_EQ(during, box->GetRootPosition());
    EXPECT_TRUE(box->GetLayout().mClipToParent);
    EXPECT_FALSE(box->GetLayout().mXIsDocked || box->GetLayout().mYIsDocked);
    area->SetScrollOffset(PointT<double>(0, 0));
    EXPECT_EQ(PointT<double>(during.x, during.y + 40), box->GetRootPosition());
}

TEST_F(ControlTreeTest, DropTargetsHearOfTheDragInOrderUnderTheRightCursors)
{
    RCPtr<TestControl> top = MakeTop();
    std::vector<std::wstring> events;
    RCPtr<DragControl> source = MakeDragControl(top, L"source", RectT<double>(10, 10, 50, 30), 1, 3);
    RCPtr<DragControl> bin = MakeDragControl(top, L"bin", RectT<double>(200, 10, 150, 150));
    bin->accepts = true;
    bin->log = &events;
    RCPtr<DragControl> slot = MakeDragControl(bin, L"slot", RectT<double>(10, 10, 50, 50));
    slot->log = &events;
    RCPtr<DragControl> other = MakeDragControl(top, L"other", RectT<double>(10, 200, 100, 100));
    other->log = &events;

    Press(PointT<long>(20, 20));
    MoveTo(PointT<long>(30, 20));
    EXPECT_FALSE(source->GetDropTarget());
    EXPECT_EQ(L"UI_CURSOR_NO_DROP", CurrentCursor());

    // Over a child that takes no drop: its parent is the target, in its
    // own coordinates.
    MoveTo(PointT<long>(220, 30));
    EXPECT_TRUE(Same(bin, source->GetDropTarget()));
    EXPECT_EQ(L"UI_CURSOR_DROP_MOVE", CurrentCursor());
    EXPECT_EQ(PointT<long>(20, 20), bin->lastOver);
    MoveTo(PointT<long>(300, 100));
    EXPECT_EQ(PointT<long>(100, 90), bin->lastOver);
    // Away over a control that takes none, and back.
    MoveTo(PointT<long>(50, 250));
    EXPECT_FALSE(source->GetDropTarget());
    EXPECT_EQ(L"UI_CURSOR_NO_DROP", CurrentCursor());
    MoveTo(PointT<long>(300, 100));
    Release(PointT<long>(300, 100));

    EXPECT_EQ((std::vector<std::wstring>{L"bin:enter:source", L"bin:over:source", L"bin:over:source",
                                         L"bin:leave:source", L"bin:enter:source", L"bin:over:source",
                                         L"bin:drop:source", L"bin:leave:source"}),
              events);
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());
    EXPECT_FALSE(source->GetDropTarget());
    // The source stays where it was dropped.
    EXPECT_EQ(RectT<double>(290, 90, 50, 30), source->GetRect());
    EXPECT_FALSE(source->IsHitTestExcluded());
}

TEST_F(ControlTreeTest, ADropTargetScrollsNearItsEdgeWhileTheDragRests)
{
    RCPtr<TestControl> top = MakeTop();
    std::vector<std::wstring> events;
    RCPtr<DragControl> source = MakeDragControl(top, L"source", RectT<double>(10, 10, 50, 30), 1, 3);
    RCPtr<DragControl> list = MakeDragControl(top, L"list", RectT<double>(200, 10, 150, 150));
    list->accepts = true;
    list->reserved = 0x20; // scrolls down by itself
    list->hasRange = true;
    list->range = RectT<double>(0, 0, 0, 1000);
    list->log = &events;

    Press(PointT<long>(20, 20));
    // 10 pixels inside the list's bottom edge: 20 pixels deep into the zone.
    MoveTo(PointT<long>(250, 150));
    ASSERT_TRUE(list->IsKineticScrollRunning(1));
    EXPECT_EQ((20 + 1) * 15.0, list->GetKineticVelocity(1));
    EXPECT_FALSE(list->IsKineticScrollRunning(0));
    const size_t oversBefore = events.size();
    RunIdle(1000);
    EXPECT_NEAR(315.0, list->GetScrollOffset().y, 1.0);
    // Each step of the scroll drags the source on, though the pointer rests.
    EXPECT_GT(events.size(), oversBefore + 20);
    EXPECT_EQ(L"list:over:source", events.back());

    // Up, out of the zone: the scroll stops.
    MoveTo(PointT<long>(250, 80));
    EXPECT_FALSE(list->IsKineticScrollRunning(1));
    EXPECT_EQ(0, list->GetIdleRequestCount());
    MoveTo(PointT<long>(250, 155));
    EXPECT_TRUE(list->IsKineticScrollRunning(1));
    Release(PointT<long>(250, 155));
    EXPECT_FALSE(list->IsKineticScrollRunning(1));
    EXPECT_EQ(0, list->GetIdleRequestCount());
    EXPECT_EQ(L"list:leave:source", events.back());
}

TEST_F(ControlTreeTest, EdgeScrollingOfTheParentCarriesTheDraggedControlAlong)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<DragControl> canvas = MakeDragControl(top, L"canvas", RectT<double>(0, 0, 300, 200));
    canvas->hasRange = true;
    canvas->range = RectT<double>(0, 0, 0, 1000);
    RCPtr<DragControl> item = MakeDragControl(canvas, L"item", RectT<double>(100, 10, 50, 30), 3, 3);

    Press(PointT<long>(120, 20));
    // 10 pixels inside the bottom edge: (20 + 1) x 15 pixels per second.
    MoveTo(PointT<long>(120, 190));
    ASSERT_TRUE(canvas->IsKineticScrollRunning(1));
    EXPECT_EQ(315.0, canvas->GetKineticVelocity(1));
    EXPECT_FALSE(canvas->IsKineticScrollRunning(0));
    RunIdle(1000);
    const double scrolled = canvas->GetScrollOffset().y;
    EXPECT_NEAR(315.0, scrolled, 1.0);
    // The item stays under the resting pointer while the content moves.
    EXPECT_EQ(180.0, item->GetRootPosition().y);
    EXPECT_EQ(180.0 + scrolled, item->GetRect().y);

    // On the zone's border the scroll is slowest, 15 pixels per second, and
    // still moves.
    MoveTo(PointT<long>(120, 170));
    EXPECT_EQ(15.0, canvas->GetKineticVelocity(1));
    RunIdle(2000);
    EXPECT_NEAR(scrolled + 30.0, canvas->GetScrollOffset().y, 1.0);
    EXPECT_EQ(160.0, item->GetRootPosition().y);

    // Out of the zones it stops; the release ends the drag where it is.
    MoveTo(PointT<long>(120, 100));
    EXPECT_FALSE(canvas->IsKineticScrollRunning(1));
    Release(PointT<long>(120, 100));
    EXPECT_EQ(0, canvas->GetIdleRequestCount());
    EXPECT_EQ(90.0, item->GetRootPosition().y);
}

TEST_F(ControlTreeTest, TheEdgeZonesAreTheThirtyPixelsNextToTheVisibleEdgesWhateverTheDragBounds)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<DragControl> canvas = MakeDragControl(top, L"canvas", RectT<double>(0, 0, 300, 200));
    canvas->hasRange = true;
    canvas->range = RectT<double>(0, 0, 1000, 0);
    struct Case
    {
        const char* what;
        double inset; // of the drag bounds, on the left and on the right
        long x;       // where the pointer goes
        double velocity;
    };
    // Bounds 10 pixels inside the area leave 20-pixel zones between them and
    // the edge zones' inner borders, on both sides alike.
    const std::vector<Case> cases = {
        {"left zone", 0, 25, -(5 + 1) * 15.0},
        {"beside the left zone", 0, 35, 0.0},
        {"beside the left zone, bounds inside", 10, 35, 0.0},
        {"left zone, bounds inside", 10, 25, -(5 + 1) * 15.0},
        {"right zone", 0, 275, (5 + 1) * 15.0},
        {"beside the right zone, bounds inside", 10, 265, 0.0},
        {"right zone, bounds inside", 10, 275, (5 + 1) * 15.0},
    };
    for (const Case& c : cases) {
        RCPtr<DragControl> item = MakeDragControl(canvas, L"item", RectT<double>(130, 50, 40, 30), 3, 1);
        item->boundsInset = c.inset;
        Press(PointT<long>(150, 60));
        MoveTo(PointT<long>(c.x, 60));
        EXPECT_EQ(c.velocity, canvas->IsKineticScrollRunning(0) ? canvas->GetKineticVelocity(0) : 0.0) << c.what;
        EXPECT_FALSE(canvas->IsKineticScrollRunning(1)) << c.what; // the item moves along X only
        Release(PointT<long>(c.x, 60));
        EXPECT_EQ(0, canvas->GetIdleRequestCount()) << c.what;
        item->Detach();
    }
}

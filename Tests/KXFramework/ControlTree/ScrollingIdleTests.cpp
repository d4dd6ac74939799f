// What runs between input events, on the application clock the tests set and
// in idle passes they pump: kinetic scrolls (slow ones, flicks, range
// limits), the counting of idle requests across attaching and detaching, and
// wheel steps offered up the tree.
#include "Support/Scenes/ControlTestSupport.h"

using namespace KXTest;
using KX::LControl;
using KX::LMouseWheelParam;
using KX::PointT;

namespace {

// Counts its idle passes; its scroll range is unbounded unless given one.
class IdleControl : public TestControl
{
public:
    IdleControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}

    void OnIdle() override { ++idlePasses; }
    KX::RectT<double> GetScrollRange(const RCPtr<LControl>& control) override
    {
        return range.width > 0 ? range : TestControl::GetScrollRange(control);
    }
    // The wheel scrolls the content by 10 pixels a step.
    KX::KXRESULT OnMouseWheel(const RCPtr<KX::LMouseWheelParam>& param) override
    {
        if (!scrollsOnWheel)
            return TestControl::OnMouseWheel(param);
        wheelDirections.push_back(param->mDirection);
        const PointT<double> offset = GetScrollOffset();
        const double step = param->mDirection == LMouseWheelParam::WheelDown ? 10 : -10;
        SetScrollOffset(PointT<double>(offset.x, offset.y + step));
        return S_OK;
    }

    int idlePasses = 0;
    bool scrollsOnWheel = false;
    KX::RectT<double> range;
};

} // namespace

TEST_F(ControlTreeTest, SlowKineticScrollsMoveAtTheirSpeedOnEachAxis)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<IdleControl> view = MakeControl<IdleControl>(top, L"view", FixedLayout(0, 0, 200, 200));
    view->SetScrollOffset(PointT<double>(0, 100));
    // 15 px/s is less than half a pixel per 33 ms pass.
    ASSERT_EQ(S_OK, view->StartKineticScroll(0, 15.0, 1000.0, 0.0, RCPtr<LControl>()));
    ASSERT_EQ(S_OK, view->StartKineticScroll(1, -7.5, 1000.0, 0.0, RCPtr<LControl>()));
    EXPECT_EQ(2, view->GetIdleRequestCount());
    RunIdle(2000);
    EXPECT_NEAR(30.0, view->GetScrollOffset().x, 1.0);
    EXPECT_NEAR(85.0, view->GetScrollOffset().y, 1.0);
    // The speed does not depend on how often the passes come.
    RunIdle(2000, 10);
    EXPECT_NEAR(60.0, view->GetScrollOffset().x, 1.0);
    RunIdle(2000, 250);
    EXPECT_NEAR(90.0, view->GetScrollOffset().x, 1.0);
    // Without a flick it runs until stopped, at the limits too.
    RunIdle(10000);
    EXPECT_EQ(0.0, view->GetScrollOffset().y);
    EXPECT_TRUE(view->IsKineticScrollRunning(1));
    EXPECT_EQ(S_OK, view->StopKineticScroll(0));
    EXPECT_EQ(S_OK, view->StopKineticScroll(1));
    EXPECT_EQ(0, view->GetIdleRequestCount());
}

TEST_F(ControlTreeTest, AFlickCoastsForASecondThenFrictionStopsIt)
{
    RCPtr<TestControl> top = MakeTop();
    struct Case
    {
        const char* what;
        KX::RectT<double> range;
        double travel; // after the release
    };
    // 2000 px/s for a second, then 1000 px/s less every second: 2000 + 2000.
    for (const Case& c : {Case{"unbounded", KX::RectT<double>(), 4000.0},
                          Case{"range of 1000", KX::RectT<double>(0, 0, 1000, 1000), -1.0}}) {
        RCPtr<IdleControl> view = MakeControl<IdleControl>(top, L"view", FixedLayout(0, 0, 200, 200));
        view->range = c.range;
        // A scroll drag along Y from the press on; 40 pixels up in 20 ms
        // and released at once: 2000 px/s.
        view->SetDragThreshold(0);
        RCPtr<Listener> modeSetter = Listener::Make();
        modeSetter->Listen(view, KX::NID_LEFT_DRAG_CONDITION_CHANGE);
        modeSetter->reaction = [&](const RCPtr<KX::LNotification>&) {
            if (view->GetConditions() & LControl::kLeftDrag)
                view->SetDragMode(6, 2);
        };
        Press(PointT<long>(50, 150));
        application->mTicks += 20;
        MoveTo(PointT<long>(50, 110));
        Release(PointT<long>(50, 110));
        modeSetter->UnregisterAll();
        const double atRelease = view->GetScrollOffset().y;
        EXPECT_EQ(40.0, atRelease) << c.what;
        ASSERT_TRUE(view->IsFlickActive(1)) << c.what;
        EXPECT_EQ(2000.0, view->GetKineticVelocity(1)) << c.what;
        RunIdle(1000);
        EXPECT_EQ(2000.0, view->GetKineticVelocity(1)) << c.what << ": still coasting";
        RunIdle(1900);
        EXPECT_TRUE(view->IsKineticScrollRunning(1)) << c.what;
        RunIdle(200);
        EXPECT_FALSE(view->IsKineticScrollRunning(1)) << c.what;
        EXPECT_FALSE(view->IsFlickActive(1)) << c.what;
        EXPECT_EQ(0, view->GetIdleRequestCount()) << c.what;
        if (c.travel > 0)
            EXPECT_NEAR(c.travel, view->GetScrollOffset().y - atRelease, 50.0) << c.what;
        else
            EXPECT_EQ(1000.0, view->GetScrollOffset().y) << c.what;
        view->Detach();
    }
}

TEST_F(ControlTreeTest, KineticScrollsHoldOneIdleRequestPerRunningAxis)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<IdleControl> view = MakeControl<IdleControl>(top, L"view", FixedLayout(0, 0, 200, 200));
    EXPECT_EQ(S_FALSE, view->StopKineticScroll(1)); // idle axis: nothing released
    EXPECT_EQ(0, view->GetIdleRequestCount());
    view->StartKineticScroll(1, 100.0, 1000.0, 0.0, RCPtr<LControl>());
    view->StartKineticScroll(1, -50.0, 1000.0, 0.0, RCPtr<LControl>()); // retargeted
    EXPECT_EQ(1, view->GetIdleRequestCount());
    EXPECT_EQ(-50.0, view->GetKineticVelocity(1));
    IdlePass();
    EXPECT_EQ(1, view->idlePasses);
    EXPECT_EQ(S_OK, view->StopKineticScroll(1));
    EXPECT_EQ(0, view->GetIdleRequestCount());
    IdlePass();
    EXPECT_EQ(1, view->idlePasses);
}

TEST_F(ControlTreeTest, IdleRequestsMadeBeforeAttachingAreServedOnceAttached)
{
    RCPtr<IdleControl> top = MakeControl<IdleControl>(RCPtr<LControl>(), L"top", FixedLayout(0, 0, 560, 360));
    RCPtr<IdleControl> child = MakeControl<IdleControl>(top, L"child");
    EXPECT_EQ(S_OK, child->AddIdleRequest());
    EXPECT_EQ(1, child->GetIdleRequestCount());
    IdlePass();
    EXPECT_EQ(0, child->idlePasses);
    top->SetRootWindow(window);
    window->SetRootControl(top);
    IdlePass();
    EXPECT_EQ(1, child->idlePasses);
    EXPECT_EQ(0, top->idlePasses);
}

TEST_F(ControlTreeTest, ReleasingAnIdleRequestThatWasNeverMadeChangesNothing)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<IdleControl> child = MakeControl<IdleControl>(top, L"child");
    EXPECT_EQ(S_OK, child->ReleaseIdle());
    EXPECT_EQ(0, child->GetIdleRequestCount());
    // The count did not go below 0: the next request is the first again.
    ASSERT_EQ(S_OK, child->AddIdleRequest());
    IdlePass();
    EXPECT_EQ(1, child->idlePasses);
    child->ReleaseIdle();
    IdlePass();
    EXPECT_EQ(1, child->idlePasses);
}

TEST_F(ControlTreeTest, DetachingStopsTheKineticScrollsBeforeItGivesBackTheRequests)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<IdleControl> child = MakeControl<IdleControl>(top, L"child", FixedLayout(0, 0, 100, 100));
    child->StartKineticScroll(0, 100.0, 1000.0, 0.0, RCPtr<LControl>());
    child->StartKineticScroll(1, 100.0, 1000.0, 0.0, RCPtr<LControl>());
    child->AddIdleRequest();
    ASSERT_EQ(3, child->GetIdleRequestCount());
    child->Detach();
    EXPECT_FALSE(child->IsKineticScrollRunning(0));
    EXPECT_FALSE(child->IsKineticScrollRunning(1));
    EXPECT_EQ(0, child->GetIdleRequestCount());
    EXPECT_EQ(S_FALSE, child->StopKineticScroll(1));

    // Back in the tree, its requests count from 0 again.
    child->SetParent(top);
    child->SetVisible(true);
    child->StartKineticScroll(1, 100.0, 1000.0, 0.0, RCPtr<LControl>());
    EXPECT_EQ(1, child->GetIdleRequestCount());
    IdlePass();
    EXPECT_EQ(1, child->idlePasses);
    child->StopKineticScroll(1);
    EXPECT_EQ(0, child->GetIdleRequestCount());
}

TEST_F(ControlTreeTest, TheWheelScrollsTheControlUnderThePointerOrItsNearestScrollableParent)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<IdleControl> panel = MakeControl<IdleControl>(top, L"panel", FixedLayout(10, 10, 300, 300));
    panel->scrollsOnWheel = true;
    RCPtr<TestControl> group = MakeControl(panel, L"group", FixedLayout(0, 0, 200, 100));
    RCPtr<TestControl> label = MakeControl(group, L"label", FixedLayout(0, 0, 100, 20));
    RCPtr<IdleControl> list = MakeControl<IdleControl>(panel, L"list", FixedLayout(0, 150, 200, 100));
    list->scrollsOnWheel = true;

    struct Case
    {
        const char* what;
        PointT<long> point;
        int32_t direction;
        PointT<double> panelOffset;
        PointT<double> listOffset;
    };
    const std::vector<Case> cases = {
        {"over a label two levels down: the panel", PointT<long>(20, 15), LMouseWheelParam::WheelDown,
         PointT<double>(0, 10), PointT<double>()},
        {"over the list: the list itself", PointT<long>(20, 170), LMouseWheelParam::WheelDown, PointT<double>(0, 10),
         PointT<double>(0, 10)},
        {"up over the label", PointT<long>(20, 15), LMouseWheelParam::WheelUp, PointT<double>(), PointT<double>(0, 10)},
    };
    for (const Case& c : cases) {
        os.cursor = c.point;
        EXPECT_EQ(S_OK, window->MouseWheel(c.point, 0, c.direction)) << c.what;
        EXPECT_EQ(c.panelOffset, panel->GetScrollOffset()) << c.what;
        EXPECT_EQ(c.listOffset, list->GetScrollOffset()) << c.what;
    }
    EXPECT_EQ((std::vector<int32_t>{LMouseWheelParam::WheelDown, LMouseWheelParam::WheelUp}), label->wheelDirections);

    // Nobody scrolls: not handled, nothing left marked.
    panel->scrollsOnWheel = false;
    EXPECT_EQ(S_FALSE, window->MouseWheel(PointT<long>(20, 15), 0, LMouseWheelParam::WheelDown));
    for (const RCPtr<LControl>& control : {RCPtr<LControl>(top), RCPtr<LControl>(panel), RCPtr<LControl>(group),
                                           RCPtr<LControl>(label)})
        EXPECT_FALSE(control->IsHitTestExcluded());
}

// The root window between its OS window and its controls: invalidation into
// the dirty region, deferred closes and the dialog's close, pointer routing
// with capture, double clicks and the wheel, inactive windows, and the
// application's list of root windows.
#include "Support/Scenes/ControlTestSupport.h"

using namespace KXTest;
using KX::LControl;
using KX::LMouseWheelParam;
using KX::LRootWindow;
using KX::PointT;
using KX::RectT;

namespace {

std::vector<RectT<long>> Rectangles(const KX::LRectRegion& region)
{
    KX::Array<RectT<long>> sink;
    region.Enumerate(sink);
    std::vector<RectT<long>> rectangles;
    for (int32_t i = 0; i < sink.GetCount(); ++i)
        rectangles.push_back(sink.GetAt(i));
    return rectangles;
}

} // namespace

TEST_F(ControlTreeTest, InvalidatingIsClippedToTheClientArea)
{
    os.invalidations.clear();
    EXPECT_EQ(S_OK, window->Invalidate(RectT<long>(-10, -10, 20, 20)));
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(0, 0, 10, 10)}), Rectangles(window->GetDirtyRegion()));
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(0, 0, 10, 10)}), os.invalidations);

    // Outside the 560 x 360 client area: nothing is added, nothing asked.
    EXPECT_EQ(S_FALSE, window->Invalidate(RectT<long>(560, 0, 20, 20)));
    EXPECT_EQ(S_FALSE, window->Invalidate(RectT<long>(-30, 100, 30, 20)));
    EXPECT_EQ(1u, os.invalidations.size());
    EXPECT_EQ(1u, Rectangles(window->GetDirtyRegion()).size());

    // Painting takes the region, and a pending full repaint with it.
    window->SetFullRepaint();
    KX::LRectRegion taken;
    window->TakeDirtyRegion(taken);
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(0, 0, 560, 360)}), Rectangles(taken));
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
    EXPECT_FALSE(window->IsFullRepaintPending());
}

TEST_F(ControlTreeTest, AControlInvalidatesThroughItsClippingAncestors)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(100, 100, 50, 50));
    RCPtr<TestControl> wide = MakeControl(panel, L"wide", FixedLayout(40, 10, 30, 10));
    KX::LRectRegion ignored;
    window->TakeDirtyRegion(ignored);
    // Only the part inside the panel.
    wide->InvalidateRect(RectT<double>(0, 0, 30, 10), true);
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(140, 110, 10, 10)}), Rectangles(window->GetDirtyRegion()));
    window->TakeDirtyRegion(ignored);
    // Unclipped, the whole of it.
    wide->SetClipToParent(false);
    window->TakeDirtyRegion(ignored);
    wide->InvalidateRect(RectT<double>(0, 0, 30, 10), wide->GetLayout().mClipToParent);
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(140, 110, 30, 10)}), Rectangles(window->GetDirtyRegion()));
    // A hidden ancestor stops the chain.
    window->TakeDirtyRegion(ignored);
    panel->SetVisible(false);
    window->TakeDirtyRegion(ignored);
    EXPECT_EQ(S_FALSE, wide->InvalidateRect(RectT<double>(0, 0, 30, 10), false));
    EXPECT_TRUE(window->GetDirtyRegion().IsEmpty());
}

TEST_F(ControlTreeTest, ACloseRequestClosesInTheNextIdlePass)
{
    EXPECT_EQ(S_OK, window->RequestClose(7));
    EXPECT_TRUE(os.closeCodes.empty());
    IdlePass();
    EXPECT_EQ((std::vector<int32_t>{7}), os.closeCodes);
    IdlePass();
    EXPECT_EQ(1u, os.closeCodes.size());

    RCPtr<LRootWindow> detached;
    LRootWindow::Create(detached, RCPtr<KX::LRenderer>(), nullptr);
    EXPECT_EQ(E_FAIL, detached->RequestClose(0));
}

TEST_F(ControlTreeTest, ADialogWhoseClosingListenerCancelsStaysOpen)
{
    RCPtr<TestDialog> dialog = MakeControl<TestDialog>(RCPtr<LControl>(), L"dialog", FixedLayout(0, 0, 300, 200));
    dialog->SetRootWindow(window);
    window->SetRootControl(dialog);
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(dialog, KX::NID_DIALOG_CLOSING);
    listener->Listen(dialog, KX::NID_DIALOG_CLOSED);
    bool cancel = true;
    listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        if (const RCPtr<KX::LCancelArgs> args = RCPtr<KX::LCancelArgs>::DynamicCast(notification->GetData()))
            args->mCancel = cancel;
    };

    // The window's close command reaches the dialog with code 2.
    EXPECT_EQ(S_FALSE, window->CloseRequest());
    IdlePass();
    EXPECT_TRUE(os.closeCodes.empty());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_DIALOG_CLOSING}), listener->Ids());
    EXPECT_EQ(0, dialog->closedHookCount);

    cancel = false;
    listener->received.clear();
    EXPECT_EQ(S_OK, window->CloseRequest());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_DIALOG_CLOSING, KX::NID_DIALOG_CLOSED}), listener->Ids());
    EXPECT_EQ(1, dialog->closedHookCount);
    EXPECT_EQ(2, dialog->GetCloseCode());
    EXPECT_TRUE(os.closeCodes.empty());
    IdlePass();
    EXPECT_EQ((std::vector<int32_t>{2}), os.closeCodes);

    // A root control of another kind closes with code 0.
    MakeTop();
    window->CloseRequest();
    IdlePass();
    EXPECT_EQ((std::vector<int32_t>{2, 0}), os.closeCodes);
}

TEST_F(ControlTreeTest, TheReleaseOfADoubleClickIsFlaggedDouble)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    std::vector<int32_t> downFlags;
    std::vector<int32_t> upFlags;
    std::vector<PointT<long>> upPoints;
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(button, KX::NID_MOUSE_DOWN);
    listener->Listen(button, KX::NID_MOUSE_UP);
    listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        const RCPtr<KX::LMouseButtonParam> param = RCPtr<KX::LMouseButtonParam>::DynamicCast(notification->GetData());
        if (KX::GetNotificationIDText(notification->GetID()) == KX::NID_MOUSE_DOWN) {
            downFlags.push_back(param->mDoubleClick);
        } else {
            upFlags.push_back(param->mDoubleClick);
            upPoints.push_back(param->GetPoint());
        }
    };
    const PointT<long> at(30, 25);
    os.cursor = at;
    const auto click = [&](int32_t pressKind) {
        os.buttons = 1;
        window->MouseButton(pressKind, 1, 0, at, 0);
        os.buttons = 0;
        window->MouseButton(LRootWindow::kRelease, 1, 0, at, 0);
    };
    click(LRootWindow::kPress);
    click(LRootWindow::kDoubleClick);
    click(LRootWindow::kPress);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 0}), downFlags);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 0}), upFlags);
    // The release reaches the capture control in its own coordinates.
    EXPECT_EQ(PointT<long>(20, 15), upPoints.front());

    // Without a capture control a release reaches nobody.
    EXPECT_EQ(S_FALSE, window->MouseButton(LRootWindow::kRelease, 1, 0, at, 0));
    EXPECT_EQ(3u, upFlags.size());
}

// The wheel directions are fixed numbers: 0 down, 1 up, 2 left, 3 right.
static_assert(LMouseWheelParam::WheelDown == 0 && LMouseWheelParam::WheelUp == 1 &&
              LMouseWheelParam::WheelLeft == 2 && LMouseWheelParam::WheelRight == 3);

TEST_F(ControlTreeTest, AWheelStepThatNobodyUnderThePointerTakesReachesTheFocusControl)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> under = MakeControl(top, L"under", FixedLayout(10, 10, 100, 30));
    RCPtr<TestControl> focus = MakeControl(top, L"focus", FixedLayout(200, 10, 100, 30));
    ASSERT_GE(focus->SetFocus(true), 0);
    ASSERT_TRUE(Same(focus, window->GetFocusControl()));
    focus->wheelResult = S_OK;

    const int32_t up = LMouseWheelParam::WheelUp;
    const int32_t down = LMouseWheelParam::WheelDown;
    EXPECT_EQ(S_OK, window->MouseWheel(PointT<long>(20, 20), 0, up));
    EXPECT_EQ((std::vector<int32_t>{up}), under->wheelDirections);
    EXPECT_EQ((std::vector<int32_t>{up}), top->wheelDirections); // offered up the chain first
    EXPECT_EQ((std::vector<int32_t>{up}), focus->wheelDirections);

    // Taken under the pointer, it goes no further.
    under->wheelResult = S_OK;
    EXPECT_EQ(S_OK, window->MouseWheel(PointT<long>(20, 20), 0, down));
    EXPECT_EQ((std::vector<int32_t>{up, down}), under->wheelDirections);
    EXPECT_EQ(1u, focus->wheelDirections.size());
}

TEST_F(ControlTreeTest, AWheelStepPassesAControlOutsideItsParentToWhatLiesBelow)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> holder = MakeControl(top, L"holder", FixedLayout(10, 10, 100, 30));
    RCPtr<TestControl> below = MakeControl(top, L"below", FixedLayout(10, 60, 100, 100));
    RCPtr<KX::LLayoutDescriptor> dropLayout = FixedLayout(0, 40, 100, 60);
    dropLayout->mClipToParent = false;
    dropLayout->mZOrder = 5;
    RCPtr<TestControl> dropDown = MakeControl(holder, L"dropDown", dropLayout);
    below->wheelResult = S_OK;

    // Over the drop-down, which lies over "below" and outside "holder".
    EXPECT_EQ(S_OK, window->MouseWheel(PointT<long>(20, 70), 0, LMouseWheelParam::WheelUp));
    EXPECT_EQ(1u, dropDown->wheelDirections.size());
    EXPECT_TRUE(holder->wheelDirections.empty());
    EXPECT_EQ(1u, below->wheelDirections.size());
    EXPECT_FALSE(dropDown->IsHitTestExcluded());
    EXPECT_FALSE(below->IsHitTestExcluded());
}

TEST_F(ControlTreeTest, InputToAnInactiveWindowIsIgnored)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(button, KX::NID_MOUSE_DOWN);
    listener->Listen(button, KX::NID_MOUSE_MOVE);
    os.active = false;
    os.buttons = 1;
    EXPECT_EQ(S_FALSE, window->MouseMove(PointT<long>(20, 20), 0, 0));
    EXPECT_EQ(S_FALSE, window->MouseButton(LRootWindow::kPress, 1, 0, PointT<long>(20, 20), 0));
    EXPECT_EQ(S_FALSE, window->MouseWheel(PointT<long>(20, 20), 0, LMouseWheelParam::WheelUp));
    EXPECT_TRUE(listener->received.empty());
    EXPECT_TRUE(button->wheelDirections.empty());
    EXPECT_FALSE(window->GetHoverControl());
    EXPECT_FALSE(window->GetCaptureControl());

    os.active = true;
    window->MouseMove(PointT<long>(20, 20), 0, 0);
    EXPECT_TRUE(Same(button, window->GetHoverControl()));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_MOVE}), listener->Ids());
}

TEST_F(ControlTreeTest, HoverChangesLeaveTheOldControlBeforeEnteringTheNew)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> a = MakeControl(top, L"a", FixedLayout(10, 10, 100, 30));
    RCPtr<TestControl> b = MakeControl(top, L"b", FixedLayout(200, 10, 100, 30));
    std::vector<std::wstring> order;
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(a, KX::NID_HOVER_CONDITION_CHANGE);
    listener->Listen(b, KX::NID_HOVER_CONDITION_CHANGE);
    listener->reaction = [&](const RCPtr<KX::LNotification>&) {
        order.push_back(a->IsHovered() ? L"a" : (b->IsHovered() ? L"b" : L"none"));
    };
    window->MouseMove(PointT<long>(20, 20), 0, 0);
    window->MouseMove(PointT<long>(210, 20), 0, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"none", L"b"}), order);
    // Outside every child the top control is under the pointer.
    window->MouseMove(PointT<long>(400, 300), 0, 0);
    EXPECT_TRUE(Same(top, window->GetHoverControl()));
}

TEST_F(ControlTreeTest, TheRootControlFillsTheWindowAndTakesTheFocus)
{
    RCPtr<TestControl> top = MakeControl(RCPtr<LControl>(), L"top", FixedLayout(5, 5, 100, 100));
    os.focused = true;
    EXPECT_EQ(S_OK, window->SetRootControl(top));
    EXPECT_EQ(RectT<double>(0, 0, 560, 360), top->GetRect());
    EXPECT_EQ(window, top->GetRootWindow());
    EXPECT_TRUE(top->HasFocus());
    EXPECT_TRUE(Same(top, window->GetFocusControl()));

    // Without the keyboard focus the window asks for it instead.
    os.focused = false;
    const int before = os.setFocusCount;
    RCPtr<TestControl> other = MakeControl(RCPtr<LControl>(), L"other", FixedLayout(0, 0, 10, 10));
    window->SetRootControl(other);
    EXPECT_FALSE(other->HasFocus());
    EXPECT_EQ(before + 1, os.setFocusCount);
    // The previous root control left the window.
    EXPECT_FALSE(top->GetRootWindow());
}

TEST_F(ControlTreeTest, TheApplicationKeepsItsRootWindowsAndRunsTheirIdleSteps)
{
    FakeOSServices secondOS;
    secondOS.active = false;
    RCPtr<LRootWindow> second;
    LRootWindow::Create(second, RCPtr<KX::LRenderer>(), &secondOS);
    EXPECT_EQ(1, application->AddRootWindow(second));
    EXPECT_EQ(1, application->AddRootWindow(second)); // listed once
    EXPECT_EQ(0, application->AddRootWindow(window));
    EXPECT_EQ(2, application->GetRootWindowCount());

    EXPECT_EQ(window, application->GetActiveRootWindow());
    secondOS.active = true;
    EXPECT_EQ(second, application->GetActiveRootWindow()); // the last active one
    os.active = false;
    secondOS.active = false;
    EXPECT_FALSE(application->GetActiveRootWindow());

    // A notification posted to a root window is delivered in the idle pass.
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(second, KX::NID_VALUE_CHANGE);
    RCPtr<KX::LNotification> notification;
    KX::LNotification::Create(notification, KX::NID_VALUE_CHANGE);
    ASSERT_EQ(S_OK, second->PostNotification(notification));
    EXPECT_TRUE(listener->received.empty());
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_VALUE_CHANGE}), listener->Ids());

    EXPECT_EQ(S_OK, application->RemoveRootWindow(second));
    EXPECT_LT(application->RemoveRootWindow(second), 0);
    EXPECT_EQ(1, application->GetRootWindowCount());
    listener->UnregisterAll();
    second = nullptr;
}

TEST_F(ControlTreeTest, ATreeAttachedToAWindowGoesWithTheWindow)
{
    const int32_t before = LControl::GetLiveCount();
    {
        RCPtr<TestControl> top = MakeTop();
        RCPtr<TestControl> child = MakeControl(top, L"child");
        ASSERT_EQ(S_OK, child->AddIdleRequest());
        EXPECT_EQ(before + 2, LControl::GetLiveCount());
    }
    application->RemoveRootWindow(window);
    window = nullptr;
    EXPECT_EQ(before, LControl::GetLiveCount());
}

namespace {

// Records the order in which the root window has its controls drawn, and
// hands back a given list of controls that draw on top.
class PaintedControl : public TestControl
{
public:
    PaintedControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}

    KX::KXRESULT Render(const RCPtr<KX::LRenderer>& renderer, const KX::LRectRegion& region,
                        KX::RCPtrArray<LControl>& unclipped, bool unclippedPass) override
    {
        sPainted.push_back(Text(GetName()) + (unclippedPass ? L"+" : L""));
        if (handBack.empty())
            return LControl::Render(renderer, region, unclipped, unclippedPass);
        for (const RCPtr<LControl>& control : handBack)
            unclipped.AddItem(control);
        return S_OK;
    }

    std::vector<RCPtr<LControl>> handBack;
    static std::vector<std::wstring> sPainted;
};

std::vector<std::wstring> PaintedControl::sPainted;

RCPtr<KX::LLayoutDescriptor> OnTop(double x, int32_t zOrder)
{
    RCPtr<KX::LLayoutDescriptor> layout = FixedLayout(x, 0, 20, 20);
    layout->mClipToParent = false;
    layout->mZOrder = zOrder;
    return layout;
}

} // namespace

TEST_F(ControlTreeTest, ControlsOnTopArePaintedAfterTheTreeInZOrder)
{
    RCPtr<PaintedControl> top = MakeControl<PaintedControl>(RCPtr<LControl>(), L"top", FixedLayout(0, 0, 560, 360));
    top->SetRootWindow(window);
    window->SetRootControl(top);
    const RCPtr<LControl> high = MakeControl<PaintedControl>(top, L"high", OnTop(0, 9));
    const RCPtr<LControl> firstEqual = MakeControl<PaintedControl>(top, L"firstEqual", OnTop(30, 2));
    const RCPtr<LControl> secondEqual = MakeControl<PaintedControl>(top, L"secondEqual", OnTop(60, 2));
    MakeControl<PaintedControl>(top, L"hidden", OnTop(90, 1))->SetVisible(false);

    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    PaintedControl::sPainted.clear();
    EXPECT_EQ(S_OK, window->Paint(region));
    // The visible ones, after the tree, by Z order.
    EXPECT_EQ((std::vector<std::wstring>{L"top", L"firstEqual+", L"secondEqual+", L"high+"}),
              PaintedControl::sPainted);

    // Equal Z orders keep the order in which they were handed back.
    top->handBack = {secondEqual, high, firstEqual};
    PaintedControl::sPainted.clear();
    window->Paint(region);
    EXPECT_EQ((std::vector<std::wstring>{L"top", L"secondEqual+", L"firstEqual+", L"high+"}),
              PaintedControl::sPainted);

    // Nothing to paint: nothing drawn.
    PaintedControl::sPainted.clear();
    window->Paint(KX::LRectRegion());
    EXPECT_TRUE(PaintedControl::sPainted.empty());
}

// Pointer input through the root window's entry points: presses that capture,
// releases that click or not, presses that turn into drags, double clicks,
// second buttons, the "held" state, and the hit test's depth, clipping,
// transparency and exclusion rules.
#include "Support/Scenes/ControlTestSupport.h"

#include <algorithm>

using namespace KXTest;
using KX::LControl;
using KX::PointT;

namespace {

constexpr uint32_t kShown = LControl::kEnabled | LControl::kVisible;
constexpr uint32_t kHovered = LControl::kHover | LControl::kHoverOrOverride;

// What reached a listener, with the points of pointer parameters.
struct PointerLog
{
    RCPtr<Listener> listener = Listener::Make();

    explicit PointerLog(const RCPtr<LControl>& control)
    {
        for (const wchar_t* id : {KX::NID_MOUSE_DOWN, KX::NID_MOUSE_UP, KX::NID_MOUSE_MOVE, KX::NID_LEFT_CLICK,
                                  KX::NID_MIDDLE_CLICK, KX::NID_RIGHT_CLICK, KX::NID_LEFT_DRAG_CONDITION_CHANGE})
            listener->Listen(control, id);
    }
    std::vector<std::wstring> Ids() const { return listener->Ids(); }
    RCPtr<KX::LPointParam> Point(size_t index) const
    {
        return RCPtr<KX::LPointParam>::DynamicCast(listener->received.at(index).data);
    }
    RCPtr<KX::LMouseButtonParam> Button(size_t index) const
    {
        return RCPtr<KX::LMouseButtonParam>::DynamicCast(listener->received.at(index).data);
    }
    void Clear() { listener->received.clear(); }
};

// A control that no press point ever hits.
class SeeThroughControl : public TestControl
{
public:
    SeeThroughControl(const RCPtr<LControl>& parent, const String& name) : TestControl(parent, name) {}
    bool IsTransparentAt(const PointT<long>&) override { return true; }
};

RCPtr<KX::LLayoutDescriptor> Unclipped(double x, double y, double width, double height, int32_t zOrder)
{
    RCPtr<KX::LLayoutDescriptor> layout = FixedLayout(x, y, width, height);
    layout->mClipToParent = false;
    layout->mZOrder = zOrder;
    return layout;
}

} // namespace

TEST_F(ControlTreeTest, AReleaseClicksOnlyOverTheControlThatWasPressed)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    RCPtr<TestControl> other = MakeControl(top, L"other", FixedLayout(200, 10, 100, 30));
    PointerLog log(button);

    Press(PointT<long>(30, 25));
    // Into the button's coordinates, with the capture and the press bits.
    ASSERT_EQ(L"NID_MOUSE_DOWN", log.Ids().at(1));
    EXPECT_EQ(PointT<long>(20, 15), log.Point(1)->GetPoint());
    EXPECT_EQ(kShown | kHovered | LControl::kHasFocus | LControl::kCapture | LControl::kLeftPressed,
              button->GetConditions());
    EXPECT_TRUE(button->IsHeld());

    // Off and back on before the release: the click is sent.
    MoveTo(PointT<long>(250, 25));
    EXPECT_FALSE(button->IsHovered());
    MoveTo(PointT<long>(31, 25));
    EXPECT_TRUE(button->IsHovered());
    log.Clear();
    Release(PointT<long>(31, 25));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_UP, KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_LEFT_CLICK}),
              log.Ids());
    EXPECT_FALSE(button->IsHeld());

    // Released over the other control: no click, and the other control is
    // hovered only once the capture has ended.
    RCPtr<Listener> otherHover = Listener::Make();
    otherHover->Listen(other, KX::NID_HOVER_CONDITION_CHANGE);
    bool capturedWhenOtherHovered = true;
    otherHover->reaction = [&](const RCPtr<KX::LNotification>&) {
        capturedWhenOtherHovered = static_cast<bool>(window->GetCaptureControl());
    };
    Press(PointT<long>(30, 25));
    MoveTo(PointT<long>(250, 25));
    EXPECT_FALSE(other->IsHovered());
    log.Clear();
    Release(PointT<long>(250, 25));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_UP, KX::NID_LEFT_DRAG_CONDITION_CHANGE}), log.Ids());
    EXPECT_TRUE(other->IsHovered());
    EXPECT_FALSE(capturedWhenOtherHovered);
}

TEST_F(ControlTreeTest, AOnePixelMoveTurnsThePressIntoADragThatStillClicks)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    PointerLog log(button);
    Press(PointT<long>(30, 25));
    log.Clear();

    MoveTo(PointT<long>(31, 25));
    // The listeners see the pointer at the press point first, then the one
    // change that swaps the press bit for the drag bit, then the move.
    ASSERT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_MOVE, KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_MOUSE_MOVE}),
              log.Ids());
    EXPECT_EQ(PointT<long>(20, 15), log.Point(0)->GetPoint());
    EXPECT_EQ(PointT<long>(21, 15), log.Point(2)->GetPoint());
    EXPECT_EQ(LControl::kLeftPressed, log.listener->received[1].oldWord & (LControl::kLeftPressed | LControl::kLeftDrag));
    EXPECT_EQ(LControl::kLeftDrag, log.listener->received[1].newWord & (LControl::kLeftPressed | LControl::kLeftDrag));
    EXPECT_TRUE(button->IsHeld());

    log.Clear();
    Release(PointT<long>(31, 25));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_UP, KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_LEFT_CLICK}),
              log.Ids());
}

TEST_F(ControlTreeTest, ADragModeSetByAListenerTakesTheClickAway)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    PointerLog log(button);
    log.listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        if (KX::GetNotificationIDText(notification->GetID()) == KX::NID_LEFT_DRAG_CONDITION_CHANGE &&
            (button->GetConditions() & LControl::kLeftDrag))
            button->SetDragMode(2, 1);
    };
    Press(PointT<long>(30, 25));
    MoveTo(PointT<long>(35, 25));
    ASSERT_EQ(2, button->GetDragMode());
    log.Clear();
    Release(PointT<long>(35, 25));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_UP, KX::NID_LEFT_DRAG_CONDITION_CHANGE}), log.Ids());

    // The next press starts without a drag mode.
    Press(PointT<long>(30, 25));
    EXPECT_EQ(0, button->GetDragMode());
    Release(PointT<long>(30, 25));
}

TEST_F(ControlTreeTest, AThresholdOfZeroStartsTheDragWithTheCapture)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> handle = MakeControl(top, L"handle", FixedLayout(10, 10, 100, 30));
    EXPECT_EQ(E_INVALIDARG, handle->SetDragThreshold(-1));
    EXPECT_EQ(1, handle->GetDragThreshold());
    ASSERT_EQ(S_OK, handle->SetDragThreshold(0));
    PointerLog log(handle);

    Press(PointT<long>(30, 25));
    EXPECT_EQ(LControl::kCapture | LControl::kLeftDrag,
              handle->GetConditions() & (LControl::kCapture | LControl::kLeftDrag | LControl::kLeftPressed));
    // Press and drag bit come and go within the press: two left changes.
    const std::vector<std::wstring> ids = log.Ids();
    EXPECT_EQ(2, std::count(ids.begin(), ids.end(), std::wstring(KX::NID_LEFT_DRAG_CONDITION_CHANGE)));
    EXPECT_TRUE(handle->IsHeld());
    Release(PointT<long>(30, 25));

    // Lowered to 0 while a press waits for its first move: that move starts
    // the drag once (the move at the press point it sends first does not).
    ASSERT_EQ(S_OK, handle->SetDragThreshold(1));
    Press(PointT<long>(30, 25));
    handle->SetDragThreshold(0);
    log.Clear();
    MoveTo(PointT<long>(32, 25));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_MOVE, KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_MOUSE_MOVE}),
              log.Ids());
    Release(PointT<long>(32, 25));
}

TEST_F(ControlTreeTest, ADoubleClickFlagsTheSecondPressAndItsRelease)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    PointerLog log(button);
    Press(PointT<long>(30, 25));
    Release(PointT<long>(30, 25));
    DoubleClickPress(PointT<long>(30, 25));
    Release(PointT<long>(30, 25));
    std::vector<std::pair<std::wstring, int32_t>> flags;
    for (size_t i = 0; i < log.listener->received.size(); ++i) {
        if (const RCPtr<KX::LMouseButtonParam> param = log.Button(i))
            flags.emplace_back(log.listener->received[i].id, param->mDoubleClick);
    }
    const std::vector<std::pair<std::wstring, int32_t>> expected = {
        {KX::NID_MOUSE_DOWN, 0}, {KX::NID_MOUSE_UP, 0}, {KX::NID_LEFT_CLICK, 0},
        {KX::NID_MOUSE_DOWN, 1}, {KX::NID_MOUSE_UP, 1}, {KX::NID_LEFT_CLICK, 1}};
    EXPECT_EQ(expected, flags);
}

TEST_F(ControlTreeTest, ASecondButtonDuringACaptureClicksNothingAndTheLastReleaseEndsIt)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    MoveTo(PointT<long>(30, 25));
    PointerLog log(button);
    Press(PointT<long>(30, 25), 1);
    Press(PointT<long>(30, 25), 4);
    EXPECT_FALSE(button->GetConditions() & LControl::kRightPressed);
    Release(PointT<long>(30, 25), 4);
    EXPECT_TRUE(button->HasCapture()); // the left button is still down
    Release(PointT<long>(30, 25), 1);
    EXPECT_FALSE(button->HasCapture());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_DOWN, KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_MOUSE_DOWN,
                                         KX::NID_MOUSE_UP, KX::NID_MOUSE_UP, KX::NID_LEFT_DRAG_CONDITION_CHANGE,
                                         KX::NID_LEFT_CLICK}),
              log.Ids());
}

TEST_F(ControlTreeTest, HeldMeansTheCaptureWithTheLeftPressOrDrag)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    struct Case
    {
        const char* what;
        int32_t button;
        bool drag;
        bool held;
    };
    for (const Case& c : {Case{"left press", 1, false, true}, Case{"left drag", 1, true, true},
                          Case{"right press", 4, false, false}, Case{"middle drag", 2, true, false}}) {
        Press(PointT<long>(30, 25), c.button);
        if (c.drag)
            MoveTo(PointT<long>(40, 25));
        EXPECT_TRUE(button->HasCapture()) << c.what;
        EXPECT_EQ(c.held, button->IsHeld()) << c.what;
        Release(PointT<long>(40, 25), c.button);
        EXPECT_FALSE(button->IsHeld()) << c.what;
    }
    // A capture without any button is not held either.
    ASSERT_EQ(S_OK, button->BeginCapture(0, 0, 0));
    EXPECT_FALSE(button->IsHeld());
    button->EndCapture();
}

TEST_F(ControlTreeTest, APressIsRefusedOutsideTheControlsUsableState)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 300, 200));
    RCPtr<TestControl> button = MakeControl(panel, L"button", FixedLayout(10, 10, 100, 30));
    const RCPtr<KX::LMouseButtonParam> press = KX::LMouseButtonParam::Create(1, PointT<long>(5, 5), 0, 0, 1, 0);
    os.buttons = 1;
    EXPECT_EQ(E_INVALIDARG, button->MouseDown(KX::LMouseButtonParam::Create(3, PointT<long>(5, 5), 0, 0, 1, 0)));
    EXPECT_EQ(E_INVALIDARG, button->MouseDown(RCPtr<KX::LMouseButtonParam>()));
    panel->SetEnabled(false);
    EXPECT_EQ(S_FALSE, button->MouseDown(press));
    panel->SetEnabled(true);
    // A press whose button is up again captures nothing.
    os.buttons = 0;
    EXPECT_EQ(S_OK, button->MouseDown(press));
    EXPECT_FALSE(button->HasCapture());
    EXPECT_FALSE(window->GetCaptureControl());
    EXPECT_EQ(S_FALSE, button->EndCapture());
}

TEST_F(ControlTreeTest, APressOnAControlThatTakesNoFocusFocusesTheNearestThatDoes)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 300, 200));
    RCPtr<TestControl> first = MakeControl(panel, L"first", FixedLayout(10, 10, 50, 20));
    RCPtr<TestControl> second = MakeControl(panel, L"second", FixedLayout(70, 10, 50, 20));
    RCPtr<KX::LLayoutDescriptor> labelLayout = FixedLayout(10, 50, 100, 20);
    labelLayout->mTabStop = -1;
    RCPtr<TestControl> label = MakeControl(panel, L"label", labelLayout);
    ASSERT_TRUE(label->IsFocusDisabled(false));

    // The panel gives the focus to its first focusable child...
    Press(PointT<long>(20, 55));
    Release(PointT<long>(20, 55));
    EXPECT_TRUE(first->HasFocus());
    EXPECT_FALSE(label->HasFocus());
    // ...or leaves it with the child that has it.
    ASSERT_GE(second->SetFocus(true), 0);
    Press(PointT<long>(20, 55));
    Release(PointT<long>(20, 55));
    EXPECT_TRUE(second->HasFocus());
}

TEST_F(ControlTreeTest, HitTestingFollowsDepthClippingTransparencyAndExclusion)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> holder = MakeControl(top, L"holder", FixedLayout(10, 10, 100, 100));
    // Outside its parent, drawn with depth 5 and 3.
    RCPtr<TestControl> high = MakeControl(holder, L"high", Unclipped(120, 0, 60, 60, 5));
    RCPtr<TestControl> low = MakeControl(holder, L"low", Unclipped(150, 30, 60, 60, 3));
    // A clipped child that reaches past its parent's area.
    RCPtr<TestControl> wide = MakeControl(holder, L"wide", FixedLayout(50, 80, 100, 10));
    // A see-through panel whose child is still found.
    RCPtr<SeeThroughControl> glass =
        MakeControl<SeeThroughControl>(top, L"glass", FixedLayout(300, 10, 100, 100));
    RCPtr<TestControl> pane = MakeControl(glass, L"pane", FixedLayout(10, 10, 20, 20));

    struct Case
    {
        const char* what;
        PointT<long> point;
        RCPtr<LControl> expected;
        PointT<long> local;
    };
    const std::vector<Case> cases = {
        {"unclipped child outside its parent", PointT<long>(140, 20), high, PointT<long>(10, 10)},
        {"greater depth wins where two overlap", PointT<long>(175, 45), high, PointT<long>(45, 35)},
        {"the lower one where it is alone", PointT<long>(200, 80), low, PointT<long>(40, 40)},
        {"the parent where no child is", PointT<long>(20, 20), holder, PointT<long>(10, 10)},
        {"a clipped child inside its parent", PointT<long>(70, 95), wide, PointT<long>(10, 5)},
        {"a clipped child past its parent's area is not hit", PointT<long>(130, 95), top, PointT<long>(130, 95)},
        {"see-through control: its child", PointT<long>(315, 25), pane, PointT<long>(5, 5)},
        {"see-through control: what lies below", PointT<long>(350, 80), top, PointT<long>(350, 80)},
    };
    for (const Case& c : cases) {
        RCPtr<LControl> found;
        PointT<long> local;
        window->GetControlAtPoint(found, c.point, local, false);
        EXPECT_TRUE(Same(c.expected, found)) << c.what << ": " << (found ? Text(found->GetName()) : L"none");
        EXPECT_EQ(c.local, local) << c.what;
    }

    // Marked controls are passed over.
    high->SetHitTestExcluded(true);
    RCPtr<LControl> found;
    PointT<long> local;
    window->GetControlAtPoint(found, PointT<long>(175, 45), local, false);
    EXPECT_TRUE(Same(low, found));
    high->SetHitTestExcluded(false);
}

TEST_F(ControlTreeTest, AScrollDragReleasedQuicklyEnoughFlicks)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> view = MakeControl(top, L"view", FixedLayout(10, 10, 200, 200));
    view->SetDragThreshold(0);
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(view, KX::NID_LEFT_DRAG_CONDITION_CHANGE);
    listener->reaction = [&](const RCPtr<KX::LNotification>&) {
        if (view->GetConditions() & LControl::kLeftDrag)
            view->SetDragMode(6, 2);
    };
    struct Case
    {
        const char* what;
        int32_t moveTicks;    // for the 40 pixels of the move
        int32_t restTicks;    // between the move and the release
        bool flick;
    };
    for (const Case& c : {Case{"40 px in 20 ms, released at once", 20, 0, true},
                          Case{"released after 100 ticks", 20, 100, false},
                          Case{"released after 99 ticks", 20, 99, true},
                          Case{"999.9 px/s is too slow", 40004, 0, false}}) {
        Press(PointT<long>(50, 150));
        application->mTicks += c.moveTicks;
        MoveTo(PointT<long>(50, 110));
        application->mTicks += c.restTicks;
        Release(PointT<long>(50, 110));
        EXPECT_EQ(c.flick, view->IsFlickActive(1)) << c.what;
        EXPECT_EQ(c.flick, view->IsKineticScrollRunning(1)) << c.what;
        EXPECT_FALSE(view->IsKineticScrollRunning(0)) << c.what;
        // A press catches the flicking view.
        Press(PointT<long>(50, 110));
        EXPECT_FALSE(view->IsKineticScrollRunning(1)) << c.what;
        Release(PointT<long>(50, 110));
        EXPECT_EQ(0, view->GetIdleRequestCount()) << c.what;
    }
}

TEST_F(ControlTreeTest, AHoverCursorShowsWhileTheControlIsHoveredOrHoldsTheCapture)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> splitter = MakeControl(top, L"splitter", FixedLayout(100, 10, 10, 200));
    const HCURSOR sizing = application->GetCursor(L"UI_CURSOR_SIZE_WE");
    ASSERT_EQ(S_OK, splitter->SetHoverCursor(sizing));
    EXPECT_EQ(S_FALSE, splitter->SetHoverCursor(sizing));
    EXPECT_EQ(L"", CurrentCursor()); // not hovered yet: nothing shown

    MoveTo(PointT<long>(105, 50));
    EXPECT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    MoveTo(PointT<long>(300, 50));
    // The cursor it replaced: none, which stands for the arrow.
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());

    // Held, it keeps its cursor off the control until the release.
    Press(PointT<long>(105, 50));
    MoveTo(PointT<long>(300, 50));
    EXPECT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    Release(PointT<long>(300, 50));
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());

    // Taken away while hovered: the arrow at once.
    MoveTo(PointT<long>(105, 50));
    ASSERT_EQ(L"UI_CURSOR_SIZE_WE", CurrentCursor());
    ASSERT_EQ(S_OK, splitter->SetHoverCursor(nullptr));
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());
}

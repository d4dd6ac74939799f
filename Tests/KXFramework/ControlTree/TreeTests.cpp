// The control tree: children in their three orders, names unique among
// siblings, moving controls between parents, the unclipped-descendant
// counts, deferred removal, and the release hook that takes a whole tree
// apart when its last outside reference goes.
#include "Support/Scenes/ControlTestSupport.h"

using namespace KXTest;
using KX::LControl;

namespace {

RCPtr<KX::LLayoutDescriptor> Layout(int32_t tabStop, int32_t zOrder, bool clip, bool xDocked, bool yDocked)
{
    RCPtr<KX::LLayoutDescriptor> layout = FixedLayout(0, 0, 10, 10);
    layout->mTabStop = tabStop;
    layout->mZOrder = zOrder;
    layout->mClipToParent = clip;
    layout->mXIsDocked = xDocked;
    layout->mYIsDocked = yDocked;
    return layout;
}

std::vector<std::wstring> Names(const LControl& parent, int32_t order)
{
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < parent.GetChildCount(); ++i)
        names.push_back(Text(parent.GetChildren().GetAt(i, order)->GetName()));
    return names;
}

std::string ThrownText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "nothing thrown";
}

} // namespace

TEST_F(ControlTreeTest, ChildrenComeInInsertionDrawAndTabOrder)
{
    RCPtr<TestControl> top = MakeTop();
    MakeControl(top, L"plain", Layout(2, 0, true, false, false));
    MakeControl(top, L"onTop", Layout(0, 0, false, false, false));
    MakeControl(top, L"raised", Layout(1, 5, true, false, false));
    MakeControl(top, L"docked", Layout(0, -3, true, true, true));
    MakeControl(top, L"sideDocked", Layout(3, 9, true, true, false));

    EXPECT_EQ((std::vector<std::wstring>{L"plain", L"onTop", L"raised", L"docked", L"sideDocked"}),
              Names(*top, LControl::kInsertionOrder));
    // Clipped before unclipped, undocked before one docked axis before two,
    // then Z order.
    EXPECT_EQ((std::vector<std::wstring>{L"plain", L"raised", L"sideDocked", L"docked", L"onTop"}),
              Names(*top, LControl::kDrawOrder));
    // TabStop ascending; equal TabStops keep insertion order.
    EXPECT_EQ((std::vector<std::wstring>{L"onTop", L"docked", L"raised", L"plain", L"sideDocked"}),
              Names(*top, LControl::kTabOrder));

    const RCPtr<LControl> raised = top->FindChild(L"raised");
    ASSERT_TRUE(raised);
    EXPECT_EQ(2, top->GetChildIndex(raised, LControl::kInsertionOrder));
    EXPECT_EQ(1, top->GetChildIndex(raised, LControl::kDrawOrder));
    EXPECT_EQ(2, top->GetChildIndex(raised, LControl::kTabOrder));
    EXPECT_FALSE(top->FindChild(L"Raised")); // names compare exactly
    EXPECT_EQ(1, top->GetUnclippedDescendantCount());

    // A change of docking or clipping sorts again on the next read.
    raised->SetClipToParent(false);
    EXPECT_EQ((std::vector<std::wstring>{L"plain", L"sideDocked", L"docked", L"onTop", L"raised"}),
              Names(*top, LControl::kDrawOrder));
    EXPECT_EQ(2, top->GetUnclippedDescendantCount());
}

TEST_F(ControlTreeTest, ReadingPastTheListOrWithAnUnknownOrderThrows)
{
    RCPtr<TestControl> top = MakeTop();
    MakeControl(top, L"only");
    LControl::ChildControlList& children = top->GetChildren();
    const LControl::ChildControlList& constChildren = children;
    EXPECT_EQ("Runtime Error : KX::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3327",
              ThrownText([&] { children.GetAt(1, 0); }));
    EXPECT_EQ("Runtime Error : KX::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3347",
              ThrownText([&] { children.GetAt(0, 3); }));
    EXPECT_EQ("Runtime Error : KX::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3355",
              ThrownText([&] { constChildren.GetAt(1, 1); }));
    EXPECT_EQ("Runtime Error : KX::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3375",
              ThrownText([&] { constChildren.GetAt(0, -1); }));
}

TEST_F(ControlTreeTest, ASiblingNameIsTakenOnlyOnce)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> first = MakeControl(top, L"twin");
    MakeControl(top, L"other");
    RCPtr<TestControl> second = MakeControl(top, L"twin");

    // Made under a taken name, the control is in no tree.
    EXPECT_FALSE(second->GetParent());
    EXPECT_EQ(2, top->GetChildCount());
    EXPECT_TRUE(Same(first, top->FindChild(L"twin")));

    // Moving it there is refused with the list's own result, not answered 0.
    EXPECT_EQ(E_FAIL, second->SetParent(top));
    EXPECT_FALSE(second->GetParent());
    EXPECT_EQ(0, top->GetChildIndex(first, LControl::kInsertionOrder));
    EXPECT_EQ(E_INVALIDARG, top->GetChildren().Add(RCPtr<LControl>()));
}

TEST_F(ControlTreeTest, ReparentingMovesTheChildAndItsUnclippedCounts)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> left = MakeControl(top, L"left", FixedLayout(0, 0, 100, 100));
    RCPtr<TestControl> right = MakeControl(top, L"right", FixedLayout(100, 0, 100, 100));
    RCPtr<TestControl> box = MakeControl(left, L"box", FixedLayout(0, 0, 50, 50));
    MakeControl(box, L"popup", Layout(0, 1, false, false, false));

    EXPECT_EQ(1, box->GetUnclippedDescendantCount());
    EXPECT_EQ(1, left->GetUnclippedDescendantCount());
    EXPECT_EQ(1, top->GetUnclippedDescendantCount());

    EXPECT_EQ(S_FALSE, box->SetParent(left)); // already there
    EXPECT_EQ(S_OK, box->SetParent(right));
    EXPECT_TRUE(Same(right, box->GetParent()));
    EXPECT_EQ(0, left->GetChildCount());
    EXPECT_EQ(0, left->GetUnclippedDescendantCount());
    EXPECT_EQ(1, right->GetUnclippedDescendantCount());
    EXPECT_EQ(1, top->GetUnclippedDescendantCount());
    EXPECT_EQ(window, box->GetRootWindow());

    // The child list's own removal answers the former index, -1 when absent.
    EXPECT_EQ(0, right->GetChildren().Remove(box));
    EXPECT_EQ(-1, right->GetChildren().Remove(box));
    EXPECT_EQ(0, top->GetUnclippedDescendantCount());
    EXPECT_FALSE(box->GetRootWindow());

    EXPECT_EQ(S_FALSE, left->GetChildren().RemoveAll());
    EXPECT_EQ(S_OK, top->GetChildren().RemoveAll());
    EXPECT_EQ(0, top->GetChildCount());
}

TEST_F(ControlTreeTest, DescendantsComeDepthFirst)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> a = MakeControl(top, L"a");
    MakeControl(a, L"a1");
    MakeControl(a, L"a2");
    MakeControl(top, L"b");
    KX::RCPtrArray<LControl> descendants;
    ASSERT_EQ(4, top->GetDescendants(descendants));
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < descendants.GetCount(); ++i)
        names.push_back(Text(descendants.GetAt(i)->GetName()));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"a1", L"a2", L"b"}), names);
}

TEST_F(ControlTreeTest, ATreeFallsApartWhenItsLastOutsideReferenceGoes)
{
    const int32_t before = LControl::GetLiveCount();
    {
        RCPtr<TestControl> top = MakeControl(RCPtr<LControl>(), L"detachedTop", FixedLayout(0, 0, 300, 200));
        RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 200, 100));
        for (const wchar_t* name : {L"one", L"two", L"three"})
            MakeControl(panel, name);
        // Listeners of the tree's own controls hold references back on them.
        RCPtr<Listener> listener = Listener::Make();
        listener->Listen(panel, KX::NID_VALUE_CHANGE);
        const RCPtr<LControl> one = panel->FindChild(L"one");
        listener->Listen(one, KX::NID_VALUE_CHANGE);
        EXPECT_EQ(before + 5, LControl::GetLiveCount());
    }
    EXPECT_EQ(before, LControl::GetLiveCount());
}

TEST_F(ControlTreeTest, ATreeFallsApartEvenWhenAListenerRemovesASiblingMeanwhile)
{
    const int32_t before = LControl::GetLiveCount();
    {
        RCPtr<TestControl> parent = MakeControl(RCPtr<LControl>(), L"parent", FixedLayout(0, 0, 300, 200));
        MakeControl(parent, L"first");
        MakeControl(parent, L"second");
        RCPtr<TestControl> last = MakeControl(parent, L"last");
        // The parent announces every removal through the removed child; a
        // listener of the last child then takes the first child away.
        parent->onChildRemoved = [](const RCPtr<LControl>& child, int32_t) {
            RCPtr<TestControl>::DynamicCast(child)->SendNotificationWithData(KX::NID_SELECTION_CHANGE);
        };
        RCPtr<Listener> listener = Listener::Make();
        listener->Listen(last, KX::NID_SELECTION_CHANGE);
        LControl* parentPointer = parent.Get();
        listener->reaction = [parentPointer](const RCPtr<KX::LNotification>&) {
            if (const RCPtr<LControl> first = parentPointer->FindChild(L"first"))
                first->SetParent(RCPtr<LControl>());
        };
        last = nullptr;
        parent = nullptr; // the hook removes "last", whose listener removes "first"
        EXPECT_EQ(1u, listener->received.size());
    }
    EXPECT_EQ(before, LControl::GetLiveCount());
}

TEST_F(ControlTreeTest, TwoChildrenQueuedInOnePassBothLeaveInTheNextIdlePass)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> a = MakeControl(top, L"a");
    RCPtr<TestControl> b = MakeControl(top, L"b");
    RCPtr<TestControl> stays = MakeControl(top, L"stays");
    const int32_t requestsBefore = top->GetIdleRequestCount();
    const int32_t registrationsBefore = window->GetClientCount();

    EXPECT_EQ(S_OK, top->RemoveChildDeferred(a));
    EXPECT_EQ(S_OK, top->RemoveChildDeferred(b));
    EXPECT_EQ(E_INVALIDARG, top->RemoveChildDeferred(RCPtr<LControl>(top.Get())));
    EXPECT_EQ(E_INVALIDARG, stays->RemoveChildDeferred(a));
    // Hidden at once, still children until the idle pass.
    EXPECT_FALSE(a->IsVisible(false));
    EXPECT_FALSE(b->IsVisible(false));
    EXPECT_TRUE(Same(top, a->GetParent()));
    // One idle request for the queue, however many entries it holds.
    EXPECT_EQ(requestsBefore + 1, top->GetIdleRequestCount());

    IdlePass();
    EXPECT_FALSE(a->GetParent());
    EXPECT_FALSE(b->GetParent());
    EXPECT_TRUE(Same(top, stays->GetParent()));
    EXPECT_EQ(requestsBefore, top->GetIdleRequestCount());
    EXPECT_EQ(registrationsBefore, window->GetClientCount());

    // Further passes release nothing more.
    IdlePass();
    IdlePass();
    EXPECT_EQ(requestsBefore, top->GetIdleRequestCount());
}

TEST_F(ControlTreeTest, AQueueThatADetachingChildRefillsKeepsOneRequest)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> a = MakeControl(top, L"a");
    RCPtr<TestControl> b = MakeControl(top, L"b");
    // While "a" leaves, a listener of its visibility queues "b".
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(a, KX::NID_VISIBLITY_CONDITION_CHANGE);
    TestControl* topPointer = top.Get();
    TestControl* bPointer = b.Get();
    listener->reaction = [topPointer, bPointer](const RCPtr<KX::LNotification>&) {
        if (bPointer->GetParent())
            topPointer->RemoveChildDeferred(RCPtr<LControl>(bPointer));
    };
    EXPECT_EQ(S_OK, top->RemoveChildDeferred(a));
    EXPECT_EQ(1, top->GetIdleRequestCount());
    IdlePass();
    IdlePass();
    EXPECT_FALSE(a->GetParent());
    EXPECT_FALSE(b->GetParent());
    EXPECT_EQ(0, top->GetIdleRequestCount());
}

TEST_F(ControlTreeTest, HidingAndShowingFollowTheFocus)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 200, 100));
    RCPtr<TestControl> field = MakeControl(panel, L"field");
    RCPtr<TestControl> other = MakeControl(top, L"other", FixedLayout(300, 0, 50, 20));

    ASSERT_GE(field->SetFocus(true), 0);
    EXPECT_TRUE(field->HasFocus());
    EXPECT_TRUE(panel->ContainsFocus());
    EXPECT_TRUE(top->ContainsFocus());
    EXPECT_TRUE(Same(field, window->GetFocusControl()));

    // Hiding the focused control hands the focus to its parent, which gives
    // it to its first focusable child: none is left in the panel.
    field->SetVisible(false);
    EXPECT_FALSE(field->HasFocus());
    EXPECT_FALSE(panel->ContainsFocus());
    EXPECT_TRUE(panel->HasFocus());
}

TEST_F(ControlTreeTest, AControlMadeUnderTheNameOfAQueuedSiblingTakesItsPlace)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> old = MakeControl(top, L"tip");
    const int32_t requestsBefore = top->GetIdleRequestCount();
    ASSERT_EQ(S_OK, top->RemoveChildDeferred(old));

    // The queue goes before the name is checked: the old control leaves the
    // tree, the new one joins it, and the queue's idle request goes too.
    RCPtr<TestControl> replacement = MakeControl(top, L"tip");
    EXPECT_FALSE(old->GetParent());
    EXPECT_TRUE(Same(top, replacement->GetParent()));
    EXPECT_TRUE(Same(replacement, top->FindChild(String(L"tip"))));
    EXPECT_EQ(1, top->GetChildCount());
    EXPECT_EQ(requestsBefore, top->GetIdleRequestCount());

    // A name taken by a sibling that stays still leaves the new control out.
    RCPtr<TestControl> refused = MakeControl(top, L"tip");
    EXPECT_FALSE(refused->GetParent());
    EXPECT_TRUE(Same(replacement, top->FindChild(String(L"tip"))));
}

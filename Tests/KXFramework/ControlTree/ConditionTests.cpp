// Condition words: the bits behind hover, focus, capture and presses, the
// order of the change sequence and its notifications, and the pools the
// event parameters come from.
#include "Support/Scenes/ControlTestSupport.h"

#include <algorithm>

using namespace KXTest;
using KX::LControl;

namespace {

const wchar_t* const kAllConditionIds[] = {
    KX::NID_CONDITION_CHANGE,           KX::NID_HAS_FOCUS_CONDITION_CHANGE, KX::NID_CONTAINS_FOCUS_CONDITION_CHANGE,
    KX::NID_HOVER_CONDITION_CHANGE,     KX::NID_CAPTURE_CONDITION_CHANGE,   KX::NID_LEFT_DRAG_CONDITION_CHANGE,
    KX::NID_MIDDLE_DRAG_CONDITION_CHANGE, KX::NID_RIGHT_DRAG_CONDITION_CHANGE, KX::NID_ENABLED_CONDITION_CHANGE,
    KX::NID_VISIBLITY_CONDITION_CHANGE,
};

RCPtr<Listener> ListenToConditions(const RCPtr<LControl>& control)
{
    RCPtr<Listener> listener = Listener::Make();
    for (const wchar_t* id : kAllConditionIds)
        listener->Listen(control, id);
    return listener;
}

constexpr uint32_t kShown = LControl::kEnabled | LControl::kVisible;

} // namespace

TEST_F(ControlTreeTest, HoverSetsBitsTwoAndTwelveThroughTheSequence)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    EXPECT_EQ(kShown, button->GetConditions());
    RCPtr<Listener> listener = ListenToConditions(button);
    listener->reaction = [&](const RCPtr<KX::LNotification>&) {
        // The hook has run before the first notification goes out.
        EXPECT_FALSE(button->hookWords.empty());
    };

    window->SetHoverControl(button);
    ASSERT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_HOVER_CONDITION_CHANGE}),
              listener->Ids());
    EXPECT_EQ(kShown, listener->received[0].oldWord);
    EXPECT_EQ(kShown | LControl::kHover | LControl::kHoverOrOverride, listener->received[0].newWord);
    // Every notification of one change carries the same parameter object.
    EXPECT_EQ(listener->received[0].data, listener->received[1].data);
    EXPECT_EQ((std::vector<uint32_t>{kShown | 0x1004}), button->hookWords);

    // Nothing changed, nothing sent.
    listener->received.clear();
    button->UpdateConditions();
    EXPECT_TRUE(listener->received.empty());

    window->SetHoverControl(RCPtr<LControl>());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_HOVER_CONDITION_CHANGE}),
              listener->Ids());
    EXPECT_EQ(kShown, button->GetConditions());
}

TEST_F(ControlTreeTest, AHoverOverrideHoldsBitTwelve)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> item = MakeControl(top, L"item", FixedLayout(10, 10, 100, 30));
    item->SetHoverOverride(true);
    EXPECT_EQ(kShown | LControl::kHoverOrOverride, item->GetConditions());
    RCPtr<Listener> listener = ListenToConditions(item);
    window->SetHoverControl(item);
    // Bit 2 changed, bit 12 did not: no hover notification.
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE}), listener->Ids());
}

TEST_F(ControlTreeTest, FocusSetsBitZeroOnTheControlAndBitOneAlongItsPath)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 300, 200));
    RCPtr<TestControl> field = MakeControl(panel, L"field");
    RCPtr<Listener> onField = ListenToConditions(field);
    RCPtr<Listener> onPanel = ListenToConditions(panel);

    ASSERT_GE(field->SetFocus(true), 0);
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_HAS_FOCUS_CONDITION_CHANGE}),
              onField->Ids());
    EXPECT_EQ(kShown | LControl::kHasFocus, field->GetConditions());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_CONTAINS_FOCUS_CONDITION_CHANGE}),
              onPanel->Ids());
    EXPECT_EQ(kShown | LControl::kContainsFocus, panel->GetConditions());
}

TEST_F(ControlTreeTest, APressCapturesAndTheReleaseClicks)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    RCPtr<Listener> listener = ListenToConditions(button);
    listener->Listen(button, KX::NID_LEFT_CLICK);

    os.cursor = KX::PointT<long>(20, 20);
    os.buttons = 1;
    window->MouseButton(KX::LRootWindow::kPress, 1, 0, KX::PointT<long>(20, 20), 0);
    EXPECT_TRUE(Same(button, window->GetCaptureControl()));
    EXPECT_EQ(kShown | LControl::kHover | LControl::kHoverOrOverride | LControl::kHasFocus | LControl::kCapture |
                  LControl::kLeftPressed,
              button->GetConditions());
    // The press: hover, then focus, then capture with the left press in one change.
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_HOVER_CONDITION_CHANGE,
                                         KX::NID_CONDITION_CHANGE, KX::NID_HAS_FOCUS_CONDITION_CHANGE,
                                         KX::NID_CONDITION_CHANGE, KX::NID_CAPTURE_CONDITION_CHANGE,
                                         KX::NID_LEFT_DRAG_CONDITION_CHANGE}),
              listener->Ids());

    listener->received.clear();
    os.buttons = 0;
    window->MouseButton(KX::LRootWindow::kRelease, 1, 0, KX::PointT<long>(20, 20), 0);
    EXPECT_FALSE(window->GetCaptureControl());
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_CAPTURE_CONDITION_CHANGE,
                                         KX::NID_LEFT_DRAG_CONDITION_CHANGE, KX::NID_LEFT_CLICK}),
              listener->Ids());
}

TEST_F(ControlTreeTest, MovingOffThePressedControlAndReleasingDoesNotClick)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    RCPtr<TestControl> beside = MakeControl(top, L"beside", FixedLayout(200, 10, 100, 30));
    RCPtr<Listener> listener = Listener::Make();
    listener->Listen(button, KX::NID_LEFT_CLICK);
    listener->Listen(button, KX::NID_MOUSE_UP);

    os.cursor = KX::PointT<long>(20, 20);
    os.buttons = 1;
    window->MouseButton(KX::LRootWindow::kPress, 1, 0, KX::PointT<long>(20, 20), 0);
    // Over another control the captured control is no hover control at all.
    os.cursor = KX::PointT<long>(210, 20);
    window->MouseMove(KX::PointT<long>(210, 20), 0, 0);
    EXPECT_FALSE(window->GetHoverControl());
    EXPECT_FALSE(button->IsHovered());
    EXPECT_FALSE(beside->IsHovered());
    os.buttons = 0;
    window->MouseButton(KX::LRootWindow::kRelease, 1, 0, KX::PointT<long>(210, 20), 0);
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_MOUSE_UP}), listener->Ids());
}

TEST_F(ControlTreeTest, DisablingAParentChangesItFirstThenItsChildrenFromTheLast)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> panel = MakeControl(top, L"panel", FixedLayout(0, 0, 300, 200));
    RCPtr<TestControl> first = MakeControl(panel, L"first");
    RCPtr<TestControl> second = MakeControl(panel, L"second", FixedLayout(0, 30, 50, 20));
    std::vector<RCPtr<KX::LRefCountedObject>> params;
    RCPtr<Listener> listener = Listener::Make();
    for (const RCPtr<TestControl>& control : {panel, first, second})
        listener->Listen(control, KX::NID_ENABLED_CONDITION_CHANGE);
    listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        params.push_back(notification->GetData());
    };

    panel->SetEnabled(false);
    ASSERT_EQ(3u, params.size());
    EXPECT_TRUE(Same(panel->GetConditionsParam(), params[0]));
    EXPECT_TRUE(Same(second->GetConditionsParam(), params[1]));
    EXPECT_TRUE(Same(first->GetConditionsParam(), params[2]));
    EXPECT_EQ(LControl::kVisible, first->GetConditions());
}

TEST_F(ControlTreeTest, AZeroSizeClearsTheVisibleBit)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> label = MakeControl(top, L"label", FixedLayout(0, 0, 100, 20));
    RCPtr<Listener> listener = ListenToConditions(label);
    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    label->GetLayout().GetAxisSpec(0, position, docked, size);
    size.mAbs = 0.0;
    label->SetPlacement(0, position, docked, size);
    EXPECT_EQ(0.0, label->GetRect().width);
    // The visibility follows the size when the conditions are next computed.
    label->UpdateConditions();
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_CONDITION_CHANGE, KX::NID_VISIBLITY_CONDITION_CHANGE}),
              listener->Ids());
    EXPECT_EQ(LControl::kEnabled, label->GetConditions());
}

TEST_F(ControlTreeTest, AListenerThatChangesTheConditionsMidSequenceCannotCorruptIt)
{
    RCPtr<TestControl> top = MakeTop();
    RCPtr<TestControl> button = MakeControl(top, L"button", FixedLayout(10, 10, 100, 30));
    RCPtr<Listener> listener = ListenToConditions(button);
    bool disabled = false;
    listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        // The first notification of the hover change disables the button,
        // which runs a whole sequence of its own in the middle of this one.
        if (!disabled && KX::GetNotificationIDText(notification->GetID()) == KX::NID_CONDITION_CHANGE) {
            disabled = true;
            button->SetEnabled(false);
        }
    };
    window->SetHoverControl(button);
    const std::vector<std::wstring> ids = listener->Ids();
    EXPECT_EQ(1, std::count(ids.begin(), ids.end(), std::wstring(KX::NID_HOVER_CONDITION_CHANGE)));
    EXPECT_EQ(1, std::count(ids.begin(), ids.end(), std::wstring(KX::NID_ENABLED_CONDITION_CHANGE)));
    EXPECT_EQ(2, std::count(ids.begin(), ids.end(), std::wstring(KX::NID_CONDITION_CHANGE)));
    EXPECT_EQ(LControl::kVisible | LControl::kHover | LControl::kHoverOrOverride, button->GetConditions());
}

namespace {

// A conditions parameter of another size than its pool's objects, as the
// list items' parameter is.
class WiderConditionsParam : public KX::LConditionsParam
{
public:
    static RCPtr<WiderConditionsParam> Make() { return RCPtr<WiderConditionsParam>(new WiderConditionsParam()); }
    double mExtra[4] = {};

protected:
    ~WiderConditionsParam() override = default;
};

} // namespace

TEST(EventParameterPools, ObjectsComeFromTheirPoolAndGoBack)
{
    auto& pool = KX::LMouseButtonParam::GetReuseAllocator();
    const KX::LMouseButtonParam* firstAddress = nullptr;
    {
        RCPtr<KX::LMouseButtonParam> first = KX::LMouseButtonParam::Create(1, KX::PointT<long>(1, 2), 0, 0, 1, 0);
        firstAddress = first.Get();
        EXPECT_EQ(1, first->mButton);
    }
    const int32_t blocks = pool.GetBlockCount();
    const int32_t free = pool.GetFreeCount();
    {
        // The most recently freed block is reused: no new block.
        RCPtr<KX::LMouseButtonParam> again = KX::LMouseButtonParam::Create(4, KX::PointT<long>(3, 4), 8, 1, 0, 0);
        EXPECT_EQ(firstAddress, again.Get());
        EXPECT_EQ(blocks, pool.GetBlockCount());
        EXPECT_EQ(free - 1, pool.GetFreeCount());
    }
    EXPECT_EQ(free, pool.GetFreeCount());

    // Each class has its own pool.
    EXPECT_NE(static_cast<void*>(&KX::LPointWithModifiersParam::GetReuseAllocator()), static_cast<void*>(&pool));
    const int32_t wheelBlocks = KX::LMouseWheelParam::GetReuseAllocator().GetBlockCount();
    { RCPtr<KX::LMouseWheelParam> wheel = KX::LMouseWheelParam::Create(KX::PointT<long>(), 0, 1); }
    EXPECT_GE(KX::LMouseWheelParam::GetReuseAllocator().GetBlockCount(), std::max(wheelBlocks, 1));
}

TEST(EventParameterPools, AnObjectOfAnotherSizeGoesToTheSystemHeap)
{
    auto& pool = KX::LConditionsParam::GetReuseAllocator();
    { RCPtr<KX::LConditionsParam> warm = KX::LConditionsParam::Create(0, 1, KX::PointT<double>()); }
    const int32_t blocks = pool.GetBlockCount();
    const int32_t free = pool.GetFreeCount();
    {
        RCPtr<WiderConditionsParam> wide = WiderConditionsParam::Make();
        EXPECT_EQ(blocks, pool.GetBlockCount());
        EXPECT_EQ(free, pool.GetFreeCount());
    }
    EXPECT_EQ(blocks, pool.GetBlockCount());
    EXPECT_EQ(free, pool.GetFreeCount());
}

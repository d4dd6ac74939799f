// File droppers: a press is already a drag; the release drops the dropper on
// the control under it, hides it at once and removes it at the next idle
// pass; a moved dropper is carried to another place first; it never takes
// the focus.
#include "FurtherTestSupport.h"

#include "Controls/FileDropper.h"

using namespace FurtherTest;
using KX::LControl;

namespace {

class FileDropperTest : public FurtherControlTest
{
protected:
    void SetUp() override
    {
        FurtherControlTest::SetUp();
        scene = OpenScene(L"dropperScene");
        dropper = FindAs<KX::LFileDropper>(L"dropper");
        target = FindAs<DropTarget>(L"target");
        ASSERT_TRUE(dropper && target);
    }

    RCPtr<LControl> scene;
    RCPtr<KX::LFileDropper> dropper;
    RCPtr<DropTarget> target;
};

} // namespace

TEST_F(FileDropperTest, APressAndAReleaseWithoutMovingDropItAndItIsGoneAfterTheNextIdlePass)
{
    EXPECT_TRUE(dropper->IsVisible(true));
    const PointT<long> on = CentreOf(dropper);
    Press(on);
    // Dragging from the press on, without any travel.
    EXPECT_EQ(1, dropper->GetDragMode());
    EXPECT_EQ(0, dropper->GetDragThreshold());
    EXPECT_NE(0u, dropper->GetConditions() & LControl::kLeftDrag);
    EXPECT_EQ(target, RCPtr<DropTarget>::DynamicCast(dropper->GetDropTarget()));
    Release(on);

    EXPECT_EQ((std::vector<std::wstring>{L"enter dropper", L"drop dropper", L"leave dropper"}), target->events);
    // Hidden at once, still a child until the idle pass.
    EXPECT_FALSE(dropper->GetLayout().mIsVisible);
    EXPECT_EQ(scene, dropper->GetParent());
    IdlePass();
    EXPECT_FALSE(dropper->GetParent());
    EXPECT_FALSE(scene->FindChild(String(L"dropper")));
    EXPECT_EQ(0, scene->GetIdleRequestCount());
}

TEST_F(FileDropperTest, ADropperCarriedAwayFromTheTargetIsDroppedNowhere)
{
    const PointT<long> on = CentreOf(dropper);
    Press(on);
    MoveTo(PointT<long>(on.x + 100, on.y + 150)); // below the target
    EXPECT_EQ(250.0, dropper->GetRect().x);
    EXPECT_EQ(270.0, dropper->GetRect().y);
    EXPECT_FALSE(dropper->GetDropTarget());
    EXPECT_EQ(L"UI_CURSOR_NO_DROP", CurrentCursor());
    Release(PointT<long>(on.x + 100, on.y + 150));
    EXPECT_EQ((std::vector<std::wstring>{L"enter dropper", L"leave dropper"}), target->events);
    EXPECT_FALSE(dropper->GetLayout().mIsVisible);
    IdlePass();
    EXPECT_FALSE(scene->FindChild(String(L"dropper")));
}

TEST_F(FileDropperTest, ItNeverTakesTheFocusNotEvenThroughTab)
{
    os.focused = true;
    const RCPtr<LControl> neighbour = Find(L"neighbour");
    EXPECT_TRUE(dropper->IsFocusDisabled(false));
    EXPECT_FALSE(dropper->IsFocusable());
    ASSERT_GE(neighbour->SetFocus(true), 0);
    KeyDown(VK_TAB);
    KeyUp(VK_TAB);
    EXPECT_TRUE(neighbour->HasFocus());
    EXPECT_FALSE(dropper->HasFocus());
}

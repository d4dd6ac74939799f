// The drop-down base: presses open and close the part, the focus closes it
// whenever it arrives or leaves, and only a left press ever opens it. Driven
// through the root window with a drop-down control of the test program whose
// part is a child panel.
#include "DropDownTestControl.h"
#include "MenuTestSupport.h"

using namespace MenuTest;

namespace {

class DropDownTest : public MenuTestBase
{
protected:
    void SetUp() override
    {
        MenuTestBase::SetUp();
        Load(true);
        OpenScene(L"dropDownScene");
        dropDown = FindAs<DropDownTestControl>(L"dropDown");
        other = Find(L"other");
        ASSERT_TRUE(dropDown);
        ASSERT_TRUE(other);
    }

    bool Open() { return dropDown->IsDropDownShown(); }

    RCPtr<DropDownTestControl> dropDown;
    RCPtr<KX::LControl> other;
};

TEST_F(DropDownTest, LeftPressesOpenAndCloseThePartInTurn)
{
    const PointT<long> at = CentreOf(dropDown);
    Click(at);
    EXPECT_TRUE(Open());
    EXPECT_TRUE(dropDown->HasFocus());
    PaintWindow("open");
    EXPECT_TRUE(NearColour(0xFF4A82BF, PixelIn(dropDown, 10, 40))) << "the part shows below the control";

    Click(at);
    EXPECT_FALSE(Open()) << "a press on the open part closes it and does not open it again";
    EXPECT_FALSE(dropDown->IsPressClosing()) << "the press that closed it is over";
    Click(at);
    EXPECT_TRUE(Open());
    PaintWindow("reopened");
}

TEST_F(DropDownTest, TheFocusClosesThePartWhenItLeavesOrArrives)
{
    // A press on another control takes the focus: the part closes.
    Click(CentreOf(dropDown));
    ASSERT_TRUE(Open());
    Click(CentreOf(other));
    EXPECT_TRUE(other->HasFocus());
    EXPECT_FALSE(Open());

    // The focus given by code while the part is open closes it too.
    dropDown->ShowDropDown(true);
    ASSERT_TRUE(Open());
    dropDown->SetFocus(true);
    EXPECT_FALSE(Open());
    EXPECT_TRUE(dropDown->WasOpenAtFocus());
}

TEST_F(DropDownTest, OnlyALeftPressOpensThePart)
{
    const PointT<long> at = CentreOf(dropDown);
    for (int32_t button : {2, 4}) {
        Click(at, button);
        EXPECT_FALSE(Open()) << "button " << button;
    }

    // On an open part a right press closes it like any press, and the next
    // left press opens it again.
    Click(at);
    ASSERT_TRUE(Open());
    Click(at, 4);
    EXPECT_FALSE(Open());
    Click(at);
    EXPECT_TRUE(Open()) << "the right press that closed the part must not swallow the next left press";
}

} // namespace

// Tool tips as a person meets them: the pointer rests on a control, the tip
// appears near it after the delay in the skin's tool-tip look, goes after its
// time or at a press, follows at once from control to control, stays inside
// the window, and is shared by a label that uses its parent's tip.
#include "BasicControlsTestSupport.h"

using namespace BasicTest;
using KX::LControl;
using KX::LToolTip;
using KX::PointT;

namespace {

class ToolTipTest : public BasicControlsTest
{
protected:
    void SetUp() override
    {
        BasicControlsTest::SetUp();
        Open(true);
        buttonA = Find(L"buttonA");
        buttonB = Find(L"buttonB");
        ASSERT_TRUE(buttonA && buttonB);
    }
    void TearDown() override
    {
        buttonA = buttonB = nullptr;
        BasicControlsTest::TearDown();
    }

    static RCPtr<LToolTip> TipOf(const RCPtr<LControl>& owner)
    {
        return RCPtr<LToolTip>::DynamicCast(owner->FindChild(String(L"toolTip")));
    }
    // The tip's rectangle in window coordinates.
    static KX::RectT<double> WindowRect(const RCPtr<LControl>& control)
    {
        const PointT<double> origin = control->GetRootPosition();
        return KX::RectT<double>(origin.x, origin.y, control->GetRect().width, control->GetRect().height);
    }

    RCPtr<LControl> buttonA;
    RCPtr<LControl> buttonB;
};

TEST_F(ToolTipTest, RestingOnAButtonShowsItsTipNearThePointerAfterTheDelayUntilItsTimeOut)
{
    const PointT<long> at(40, 22);
    MoveTo(at);
    const RCPtr<LToolTip> tip = TipOf(buttonA);
    ASSERT_TRUE(tip);
    EXPECT_EQ(LToolTip::StatePending, tip->GetToolTipState());
    EXPECT_FALSE(tip->IsVisible(true));
    RunIdle(500, 10);
    EXPECT_FALSE(tip->IsVisible(true)) << "not before the delay";
    RunIdle(10, 10);
    ASSERT_TRUE(tip->IsVisible(true));
    EXPECT_EQ(LToolTip::StateShown, tip->GetToolTipState());
    EXPECT_EQ(L"Scans for the device", Text(tip->GetText()));

    // Left edge at the pointer, top 20 pixels below it; as wide as its text.
    const KX::RectT<double> rect = WindowRect(tip);
    EXPECT_EQ(40.0, rect.x);
    EXPECT_EQ(42.0, rect.y);
    EXPECT_GE(rect.width, 60.0);
    EXPECT_EQ(20.0, rect.height);

    // Drawn over everything in the tool-tip look, with its text in it.
    PaintWindow("shown");
    EXPECT_TRUE(NearColour(0xFFFFFF80, Pixel(42, 44))) << std::hex << Pixel(42, 44);
    int dark = 0;
    for (long x = 42; x < static_cast<long>(rect.x + rect.width); ++x) {
        for (long y = 44; y < 60; ++y)
            dark += (Pixel(x, y) & 0xFF) < 0x60 ? 1 : 0;
    }
    EXPECT_GT(dark, 20);

    // It goes after five seconds and leaves its owner in the next pass.
    RunIdle(4990, 10);
    EXPECT_TRUE(tip->IsVisible(true));
    RunIdle(20, 10);
    EXPECT_FALSE(tip->IsVisible(true));
    EXPECT_EQ(LToolTip::StateHidden, tip->GetToolTipState());
    RunIdle(10, 10);
    EXPECT_FALSE(TipOf(buttonA));
    EXPECT_FALSE(tip->GetParent());
    EXPECT_EQ(0, tip->GetIdleRequestCount());
    EXPECT_EQ(0, buttonA->GetIdleRequestCount());
    PaintWindow("gone");
    EXPECT_FALSE(NearColour(0xFFFFFF80, Pixel(42, 44)));
}

TEST_F(ToolTipTest, APressHidesTheTip)
{
    MoveTo(PointT<long>(40, 22));
    RunIdle(600);
    const RCPtr<LToolTip> tip = TipOf(buttonA);
    ASSERT_TRUE(tip && tip->IsVisible(true));
    Press(PointT<long>(40, 22));
    EXPECT_FALSE(tip->IsVisible(true));
    Release(PointT<long>(40, 22));
    IdlePass();
    EXPECT_FALSE(TipOf(buttonA));
}

TEST_F(ToolTipTest, TheNextTipFollowsAtOnceOnlyWhenAVisibleTipWentJustBefore)
{
    MoveTo(PointT<long>(40, 22));
    RunIdle(600);
    ASSERT_TRUE(TipOf(buttonA)->IsVisible(true));
    // Straight on to the next button: its tip shows at once.
    MoveTo(PointT<long>(150, 22));
    RCPtr<LToolTip> tip = TipOf(buttonB);
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->IsVisible(true));
    EXPECT_EQ(L"Short tip", Text(tip->GetText()));
    EXPECT_EQ(150.0, WindowRect(tip).x);
    EXPECT_EQ(42.0, WindowRect(tip).y);

    // Later than 50 ms: the delay again.
    MoveTo(PointT<long>(500, 340));
    RunIdle(60, 10);
    MoveTo(PointT<long>(40, 22));
    tip = TipOf(buttonA);
    ASSERT_TRUE(tip);
    EXPECT_FALSE(tip->IsVisible(true));

    // A tip that never appeared does not start the quick follow.
    RunIdle(100, 10);
    MoveTo(PointT<long>(150, 22));
    ASSERT_TRUE(TipOf(buttonB));
    EXPECT_FALSE(TipOf(buttonB)->IsVisible(true));
}

TEST_F(ToolTipTest, ALabelThatUsesItsParentsTipSharesTheButtonsTip)
{
    const RCPtr<LControl> caption = Find(L"buttonA/captionLabel");
    ASSERT_TRUE(caption);
    // On the label: the button's tip.
    MoveTo(PointT<long>(95, 25));
    ASSERT_EQ(caption, window->GetHoverControl());
    EXPECT_EQ(buttonA, window->GetToolTipControl());
    const RCPtr<LToolTip> tip = TipOf(buttonA);
    ASSERT_TRUE(tip);
    RunIdle(600);
    ASSERT_TRUE(tip->IsVisible(true));
    // From the label to the button: the same tip stays.
    MoveTo(PointT<long>(40, 25));
    EXPECT_EQ(buttonA, window->GetHoverControl());
    EXPECT_EQ(tip, TipOf(buttonA));
    EXPECT_TRUE(tip->IsVisible(true));
}

TEST_F(ToolTipTest, NoTextOrNoDescriptionMeansNoTip)
{
    // A control without a "TOOLTIP" string owns no tip.
    const RCPtr<LControl> repeat = Find(L"repeatButton");
    MoveTo(CentreOf(repeat));
    EXPECT_EQ(repeat, window->GetHoverControl());
    EXPECT_FALSE(window->GetToolTipControl());
    RunIdle(600);
    EXPECT_FALSE(TipOf(repeat));

    // A skin without a "toolTip" description shows none, silently.
    factory->SetCurrentSkinIndex(1);
    MoveTo(PointT<long>(40, 22));
    EXPECT_EQ(buttonA, window->GetToolTipControl());
    RunIdle(600);
    EXPECT_FALSE(TipOf(buttonA));
    factory->SetCurrentSkinIndex(0);
}

TEST_F(ToolTipTest, ATipStaysInsideTheWindow)
{
    MoveTo(PointT<long>(150, 22));
    RunIdle(600);
    const RCPtr<LToolTip> tip = TipOf(buttonB);
    ASSERT_TRUE(tip && tip->IsVisible(true));

    // Near the bottom right corner: it ends at the right edge and is moved
    // up so that its bottom meets the bottom edge, over the pointer.
    os.cursor = PointT<long>(555, 355);
    tip->UpdatePosition();
    KX::RectT<double> rect = WindowRect(tip);
    EXPECT_EQ(560.0, rect.x + rect.width);
    EXPECT_EQ(360.0, rect.y + rect.height);

    // A long text grows it no wider than the window less 8 pixels.
    tip->SetText(String(L"A tool tip text that is far longer than the whole window is wide, "
                        L"so that the tip would pass both of its edges if nothing held it"));
    tip->UpdatePosition();
    rect = WindowRect(tip);
    EXPECT_EQ(552.0, rect.width);
    EXPECT_EQ(8.0, rect.x);

    // Without that limit, a tip wider than the window starts at its left edge.
    tip->SetSizeLimits(0, KX::LLayoutDescriptor::SizeLimitSpec(), KX::LLayoutDescriptor::SizeLimitSpec());
    ASSERT_GT(tip->GetRect().width, 560.0);
    tip->UpdatePosition();
    EXPECT_EQ(0.0, WindowRect(tip).x);
}

TEST_F(BasicControlsTest, TheProgramsButtonsShowTheirTipsInTheSkinsToolTipLook)
{
    Open(false);
    const RCPtr<LControl> exit = Find(L"buttonExit");
    ASSERT_TRUE(exit);
    MoveTo(PointT<long>(390, 315));
    RunIdle(510, 10);
    const RCPtr<LToolTip> tip = RCPtr<LToolTip>::DynamicCast(exit->FindChild(String(L"toolTip")));
    ASSERT_TRUE(tip);
    ASSERT_TRUE(tip->IsVisible(true));
    EXPECT_FALSE(tip->GetText().IsEmpty());
    const PointT<double> origin = tip->GetRootPosition();
    PaintWindow();
    // Colorizer.ToolTip, inside the window even near its bottom edge.
    EXPECT_TRUE(NearColour(0xFFFFF8DC, Pixel(static_cast<long>(origin.x) + 1, static_cast<long>(origin.y) + 1)));
    EXPECT_LE(origin.y + tip->GetRect().height, 360.0);
    EXPECT_LE(origin.x + tip->GetRect().width, 560.0);
}

} // namespace

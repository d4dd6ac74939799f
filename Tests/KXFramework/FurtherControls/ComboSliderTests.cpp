// Combo sliders in a 1000-pixel-wide window: the slider panel opens on a
// press and stays inside the window, the field and the slider share one value
// (each change told once, the text following), the looks follow hover, focus
// and the panel, and fields without a panel or a slider still hold a value.
#include "FurtherTestSupport.h"

#include "Controls/ComboSlider.h"
#include "Controls/Panel.h"
#include "Controls/Slider.h"

using namespace FurtherTest;
using KX::LComboSlider;
using KX::LControl;
using KX::LSlider;

namespace {

constexpr uint32_t kBackgroundColour = 0xFF202428;
constexpr uint32_t kTrackColour = 0xFF505860;
constexpr uint32_t kThumbColour = 0xFFE8ECF0;
constexpr uint32_t kFieldOpenColour = 0xFF7A5030;

class ComboSliderTest : public FurtherControlTest
{
protected:
    void SetUp() override
    {
        os.clientSize = PointT<long>(1000, 360);
        FurtherControlTest::SetUp();
        OpenScene(L"comboSliderScene");
        other = Find(L"other");
        ASSERT_TRUE(other);
    }

    RCPtr<LComboSlider> Combo(const wchar_t* name) const { return FindAs<LComboSlider>(name); }
    static RCPtr<LSlider> SliderOf(const RCPtr<LComboSlider>& combo)
    {
        return RCPtr<LSlider>::DynamicCast(combo->GetSlider());
    }
    static RCPtr<KXTest::Listener> ListenToValues(const RCPtr<LControl>& control)
    {
        const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
        listener->Listen(RCPtr<KX::LNotificationDistributor>(control.Get()), KX::NID_VALUE_CHANGE);
        return listener;
    }
    void Click(const PointT<long>& point)
    {
        Press(point);
        Release(point);
    }
    // Pixels of the last paint inside a control that differ from a colour.
    int CountPixelsUnlike(const RCPtr<LControl>& control, uint32_t colour) const
    {
        const PointT<long> origin = OriginOf(control);
        const RectT<double>& rect = control->GetRect();
        int count = 0;
        for (long y = 0; y < static_cast<long>(rect.height); ++y)
            for (long x = 0; x < static_cast<long>(rect.width); ++x)
                count += Pixel(origin.x + x, origin.y + y) != colour ? 1 : 0;
        return count;
    }

    // A point of the scene's background, away from every control.
    const PointT<long> kNowhere{600, 320};
    RCPtr<LControl> other;
};

} // namespace

TEST_F(ComboSliderTest, TheSliderPanelOpensInsideTheWindowAndDraggingItsThumbSetsTheField)
{
    const RCPtr<LComboSlider> combo = Combo(L"edgeCombo");
    ASSERT_TRUE(combo && combo->GetDropDownPanel());
    const RCPtr<LSlider> slider = SliderOf(combo);
    ASSERT_TRUE(slider && slider->GetThumb());
    combo->SetValueRange(0.0, 127.0, 0);
    const RCPtr<KXTest::Listener> fieldValues = ListenToValues(combo);
    const RCPtr<KXTest::Listener> sliderValues = ListenToValues(slider);
    EXPECT_FALSE(combo->IsDropDownShown());

    // The skin puts the 200-pixel panel at 900: it opens ending at the
    // window's right edge.
    Click(CentreOf(combo));
    ASSERT_TRUE(combo->IsDropDownShown());
    const RCPtr<KX::LPanel> panel = combo->GetDropDownPanel();
    EXPECT_EQ(PointT<long>(800, 264), OriginOf(panel));
    EXPECT_EQ(200.0, panel->GetRect().width);
    EXPECT_EQ(LComboSlider::kFieldLookOpenHovered, combo->GetActiveLookIndex());
    PaintWindow("open");
    EXPECT_EQ(kBackgroundColour, Pixel(798, 294));
    EXPECT_EQ(kTrackColour, Pixel(805, 294));
    EXPECT_EQ(kThumbColour, Pixel(815, 294)) << "the thumb at the start of the track";
    EXPECT_EQ(kTrackColour, Pixel(999, 294));

    // One track pixel is one unit of 127: the field's text follows every
    // step of the drag, and the panel stays open while the thumb has the
    // focus.
    const PointT<long> grip = CentreOf(slider->GetThumb());
    Press(grip);
    EXPECT_TRUE(combo->IsDropDownShown());
    EXPECT_TRUE(combo->ContainsFocus());
    for (long dx : {10L, 20L, 40L, 64L}) {
        MoveTo(PointT<long>(grip.x + dx, grip.y));
        EXPECT_EQ(std::to_wstring(dx), KXTest::Text(combo->GetText())) << dx;
    }
    Release(PointT<long>(grip.x + 64, grip.y));
    EXPECT_DOUBLE_EQ(64.0 / 127.0, combo->GetNormalizedValue());
    EXPECT_TRUE(combo->IsDropDownShown());
    EXPECT_EQ(LComboSlider::kFieldLookOpen, combo->GetActiveLookIndex());

    // The field's own listeners saw each change once, as the slider's did.
    const std::vector<double> expected{10.0 / 127.0, 20.0 / 127.0, 40.0 / 127.0, 64.0 / 127.0};
    EXPECT_EQ(expected, ValuesSeen(*sliderValues));
    EXPECT_EQ(expected, ValuesSeen(*fieldValues));

    MoveTo(kNowhere);
    PaintWindow("dragged");
    EXPECT_EQ(kThumbColour, Pixel(815 + 64, 294));
    EXPECT_EQ(kFieldOpenColour, Pixel(1, 241));
    EXPECT_GT(CountPixelsUnlike(combo, kFieldOpenColour), 0) << "the field draws its text";
}

TEST_F(ComboSliderTest, ThePanelOpensAtTheSkinsPlaceKeptInsideTheTopControl)
{
    struct Case
    {
        const wchar_t* combo;
        long windowX; // where the panel opens in the window
        double layoutX; // its x position, in the field's coordinates
    };
    for (const Case& c : {Case{L"combo", 20, 0.0},          // fits where the skin puts it
                          Case{L"offsetCombo", 800, 100.0}, // field at 700, panel at 900: moved left
                          Case{L"edgeCombo", 800, 800.0},   // field at 0, panel at 900: moved left
                          Case{L"wideCombo", 0, -300.0}}) { // 1200 wide: starts at the left edge
        SCOPED_TRACE(KXTest::Text(String(c.combo)));
        const RCPtr<LComboSlider> combo = Combo(c.combo);
        ASSERT_TRUE(combo && combo->GetDropDownPanel());
        // Opened twice: each opening starts again from the skin's value.
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(S_OK, combo->ShowDropDown(true));
            ASSERT_TRUE(combo->IsDropDownShown());
            EXPECT_EQ(c.windowX, OriginOf(combo->GetDropDownPanel()).x);
            EXPECT_EQ(c.layoutX, combo->GetDropDownPanel()->GetLayout().mXPosition.mAbs);
            EXPECT_EQ(S_OK, combo->ShowDropDown(false));
            EXPECT_FALSE(combo->IsDropDownShown());
            EXPECT_FALSE(combo->GetDropDownPanel()->IsVisible(false));
        }
    }
    Combo(L"wideCombo")->ShowDropDown(true);
    PaintWindow();
}

TEST_F(ComboSliderTest, AValueSetOnTheFieldMovesTheSliderAndIsToldOnce)
{
    const RCPtr<LComboSlider> combo = Combo(L"combo");
    const RCPtr<LSlider> slider = SliderOf(combo);
    ASSERT_TRUE(slider && slider->GetThumb());
    combo->SetValueRange(0.0, 127.0, 0);
    const RCPtr<KXTest::Listener> fieldValues = ListenToValues(combo);
    const RCPtr<KXTest::Listener> sliderValues = ListenToValues(slider);

    struct Case
    {
        double set;
        double value;
        const wchar_t* text;
        double thumbX;
    };
    for (const Case& c : {Case{0.25, 0.25, L"32", 42.0}, Case{1.0, 1.0, L"127", 137.0},
                          Case{1.7, 1.0, L"127", 137.0}, Case{-0.5, 0.0, L"0", 10.0},
                          Case{0.0, 0.0, L"0", 10.0}}) {
        SCOPED_TRACE(c.set);
        EXPECT_DOUBLE_EQ(c.value, combo->SetNormalizedValue(c.set));
        EXPECT_DOUBLE_EQ(c.value, slider->GetNormalizedValue());
        EXPECT_EQ(c.text, KXTest::Text(combo->GetText()));
        EXPECT_EQ(c.thumbX, slider->GetThumb()->GetRect().x);
    }
    // Values beyond the range and repeated values tell nobody again.
    const std::vector<double> expected{0.25, 1.0, 0.0};
    EXPECT_EQ(expected, ValuesSeen(*fieldValues));
    EXPECT_EQ(expected, ValuesSeen(*sliderValues));

    // A value set on the slider by program reaches the field the same way.
    slider->SetNormalizedValue(0.5);
    EXPECT_DOUBLE_EQ(0.5, combo->GetNormalizedValue());
    EXPECT_EQ(L"64", KXTest::Text(combo->GetText()));
    EXPECT_EQ(4u, ValuesSeen(*fieldValues).size());

    // The text maps the value through the field's own range: the default
    // range (0 to 0) reads "0" whatever the value.
    const RCPtr<LComboSlider> plain = Combo(L"offsetCombo");
    EXPECT_DOUBLE_EQ(0.8, plain->SetNormalizedValue(0.8));
    EXPECT_EQ(L"0", KXTest::Text(plain->GetText()));
}

TEST_F(ComboSliderTest, PressesOpenAndCloseThePanelAndTheLooksFollow)
{
    const RCPtr<LComboSlider> combo = Combo(L"combo");
    const PointT<long> field = CentreOf(combo);
    EXPECT_EQ(LComboSlider::kFieldLookNormal, combo->GetActiveLookIndex());
    MoveTo(field);
    EXPECT_EQ(LComboSlider::kFieldLookHovered, combo->GetActiveLookIndex());

    Press(field);
    EXPECT_TRUE(combo->IsDropDownShown());
    EXPECT_EQ(LComboSlider::kFieldLookOpenHovered, combo->GetActiveLookIndex());
    Release(field);
    EXPECT_TRUE(combo->IsDropDownShown());
    MoveTo(kNowhere);
    EXPECT_EQ(LComboSlider::kFieldLookOpen, combo->GetActiveLookIndex());
    PaintWindow("open");
    EXPECT_EQ(kFieldOpenColour, Pixel(21, 21));

    // A second press closes it and does not open it again.
    Click(field);
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_TRUE(combo->HasFocus());
    EXPECT_EQ(LComboSlider::kFieldLookHoveredFocused, combo->GetActiveLookIndex());
    MoveTo(kNowhere);
    EXPECT_EQ(LComboSlider::kFieldLookFocused, combo->GetActiveLookIndex());

    // The focus going elsewhere closes an open panel.
    Click(field);
    ASSERT_TRUE(combo->IsDropDownShown());
    Click(CentreOf(other));
    EXPECT_TRUE(other->HasFocus());
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(LComboSlider::kFieldLookNormal, combo->GetActiveLookIndex());

    // Opened and closed by code, the look follows at once.
    EXPECT_EQ(S_OK, combo->ShowDropDown(true));
    EXPECT_EQ(LComboSlider::kFieldLookOpen, combo->GetActiveLookIndex());
    EXPECT_EQ(S_OK, combo->ShowDropDown(false));
    EXPECT_EQ(LComboSlider::kFieldLookNormal, combo->GetActiveLookIndex());

    // Disabled: its own look, and a press opens nothing.
    combo->SetEnabled(false);
    EXPECT_EQ(LComboSlider::kFieldLookDisabled, combo->GetActiveLookIndex());
    Click(field);
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(LComboSlider::kFieldLookDisabled, combo->GetActiveLookIndex());
}

TEST_F(ComboSliderTest, TheSliderInTheOpenPanelTakesKeysAndTheWheel)
{
    os.focused = true;
    const RCPtr<LComboSlider> combo = Combo(L"combo");
    const RCPtr<LSlider> slider = SliderOf(combo);
    ASSERT_TRUE(slider && slider->GetThumb());
    combo->SetValueRange(0.0, 127.0, 0);

    // The panel that opens under the focused field takes the focus to the
    // slider's thumb: the arrow keys adjust at once.
    Click(CentreOf(combo));
    ASSERT_TRUE(combo->IsDropDownShown());
    EXPECT_TRUE(slider->GetThumb()->HasFocus());
    EXPECT_TRUE(combo->ContainsFocus());
    KeyDown(VK_RIGHT);
    KeyDown(VK_RIGHT);
    KeyDown(VK_UP);
    KeyUp(VK_UP);
    EXPECT_EQ(L"3", KXTest::Text(combo->GetText()));
    EXPECT_DOUBLE_EQ(3.0 / 127.0, combo->GetNormalizedValue());

    // A click on the thumb or the wheel over the track leave it open.
    Click(CentreOf(slider->GetThumb()));
    EXPECT_TRUE(combo->IsDropDownShown());
    const PointT<long> track = OriginOf(slider);
    Wheel(PointT<long>(track.x + 150, track.y + 50), 0);
    EXPECT_EQ(L"2", KXTest::Text(combo->GetText()));
    EXPECT_TRUE(combo->IsDropDownShown());

    // A press on the field closes the panel and the focus comes back to the
    // field; the next press opens it again.
    Click(CentreOf(combo));
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_TRUE(combo->HasFocus());
    EXPECT_EQ(LComboSlider::kFieldLookHoveredFocused, combo->GetActiveLookIndex());
    Click(CentreOf(combo));
    EXPECT_TRUE(combo->IsDropDownShown());
    EXPECT_TRUE(slider->GetThumb()->HasFocus());
    EXPECT_DOUBLE_EQ(2.0 / 127.0, slider->GetNormalizedValue());
}

TEST_F(ComboSliderTest, WithoutAPanelOrASliderTheFieldStillHoldsItsValue)
{
    // A "dropDownPanel" that is no panel counts as none.
    const RCPtr<LComboSlider> panelless = Combo(L"panelless");
    ASSERT_TRUE(panelless);
    EXPECT_FALSE(panelless->GetDropDownPanel());
    EXPECT_FALSE(panelless->GetSlider());
    EXPECT_EQ(E_FAIL, panelless->ShowDropDown(true));
    Click(CentreOf(panelless));
    EXPECT_FALSE(panelless->IsDropDownShown());
    EXPECT_FALSE(Find(L"panelless/dropDownPanel")->GetLayout().mIsVisible);
    EXPECT_TRUE(panelless->HasFocus());
    panelless->SetValueRange(0.0, 127.0, 0);
    EXPECT_DOUBLE_EQ(0.5, panelless->SetNormalizedValue(0.5));
    EXPECT_EQ(L"64", KXTest::Text(panelless->GetText()));

    // A panel without a slider opens; the value stays the field's own.
    const RCPtr<LComboSlider> sliderless = Combo(L"offsetCombo");
    ASSERT_TRUE(sliderless && sliderless->GetDropDownPanel());
    EXPECT_FALSE(sliderless->GetSlider());
    Click(CentreOf(sliderless));
    EXPECT_TRUE(sliderless->IsDropDownShown());
    EXPECT_DOUBLE_EQ(0.3, sliderless->SetNormalizedValue(0.3));
    EXPECT_DOUBLE_EQ(0.3, sliderless->GetNormalizedValue());
}

TEST_F(ComboSliderTest, TheFieldsInitialValueReachesItsSlider)
{
    // The description's initial value arrives before the field knows its
    // panel: the slider starts with it all the same.
    const RCPtr<LComboSlider> combo = Combo(L"initialCombo");
    const RCPtr<LSlider> slider = SliderOf(combo);
    ASSERT_TRUE(slider && slider->GetThumb());
    EXPECT_DOUBLE_EQ(0.25, combo->GetNormalizedValue());
    EXPECT_DOUBLE_EQ(0.25, slider->GetNormalizedValue());
    EXPECT_EQ(42.0, slider->GetThumb()->GetRect().x);
    EXPECT_EQ(L"0", KXTest::Text(combo->GetText())) << "the default range maps every value to 0";
    // From there on the two move together.
    const RCPtr<KXTest::Listener> fieldValues = ListenToValues(combo);
    slider->SetNormalizedValue(0.5);
    EXPECT_DOUBLE_EQ(0.5, combo->GetNormalizedValue());
    EXPECT_EQ(std::vector<double>{0.5}, ValuesSeen(*fieldValues));
}

TEST_F(ComboSliderTest, NoControlOutlivesTheTreeAfterThePanelWasUsed)
{
    // The field holds its panel and listens to the slider inside it: when
    // the window lets the tree go, every control goes.
    window->SetRootControl(RCPtr<LControl>());
    other = nullptr;
    const int32_t before = LControl::GetLiveCount();
    {
        OpenScene(L"comboSliderScene");
        const RCPtr<LComboSlider> combo = Combo(L"edgeCombo");
        Click(CentreOf(combo));
        ASSERT_TRUE(combo->IsDropDownShown());
        const PointT<long> grip = CentreOf(SliderOf(combo)->GetThumb());
        Drag(grip, PointT<long>(grip.x + 30, grip.y));
        EXPECT_LT(0.0, combo->GetNormalizedValue());
        Combo(L"combo")->SetNormalizedValue(0.5);
    }
    EXPECT_LT(before, LControl::GetLiveCount());
    window->SetRootControl(RCPtr<LControl>());
    EXPECT_EQ(before, LControl::GetLiveCount());
}

// The text box's display: character positions and hit testing, the caret's
// place, colour and blinking, the looks for focus, hover, selection and the
// cue text, the focus coming and going, and the tool tip.
#include "TextTestSupport.h"

#include "ControlBase/Look.h"
#include "Notification/NotificationIDs.h"

#include <cmath>

namespace {

using namespace TextTest;
using KX::KeyCode;

// Measures every character 6.25 pixels wide and nothing more, as a renderer
// with fractional widths does: the characters' rectangles (a pixel narrower
// than the characters) then leave gaps of a pixel between them.
class FractionalRenderer : public KX::LGDIRenderer
{
public:
    RectT<float> MeasureText(const String& text, const RCPtr<KX::LFont>&) override
    {
        return text.IsEmpty() ? RectT<float>() : RectT<float>(0.0f, 0.0f, 6.25f * text.GetLength(), 14.0f);
    }

protected:
    ~FractionalRenderer() override = default;
};

class TextBoxDisplayTest : public TextControlTest
{
protected:
    void SetUp() override
    {
        TextControlTest::SetUp();
        OpenScene(L"textBoxScene");
        field = TextBox(L"field");
        ASSERT_TRUE(field);
    }

    // A point of the field's own coordinates on its text's middle line.
    PointT<long> OnLine(const RCPtr<KX::LTextBox>& box, double x) const
    {
        const RectT<float> area = box->GetTextArea();
        return PointT<long>(std::lround(x), std::lround(area.y + area.height / 2));
    }

    // The brightness (channel average) of a window pixel of the last paint.
    int Brightness(long x, long y) const
    {
        const uint32_t pixel = Pixel(x, y);
        return static_cast<int>((((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3);
    }

    RCPtr<KX::LTextBox> field;
};

TEST_F(TextBoxDisplayTest, APointFindsTheNearestCharacterBoundary)
{
    field->SetText(String(L"abcd"));
    // "b" reaches from the caret before it to the caret before "c", each a
    // pixel left of the character's edge.
    const double left = field->GetCharRect(1).x - 1.0;
    const double right = field->GetCharRect(2).x - 1.0;
    ASSERT_GT(right - left, 3.0);
    const double middle = (left + right) * 0.5;
    // On the middle and right of it: after the character; left of it: before.
    EXPECT_EQ(2, field->GetCharIndexAtPoint(PointT<long>(OnLine(field, std::ceil(middle)))));
    EXPECT_EQ(2, field->GetCharIndexAtPoint(PointT<long>(OnLine(field, right - 1))));
    EXPECT_EQ(1, field->GetCharIndexAtPoint(PointT<long>(OnLine(field, std::floor(middle) - 1))));
    EXPECT_EQ(1, field->GetCharIndexAtPoint(OnLine(field, left)));
    // Left of the text, right of it, above and below it.
    EXPECT_EQ(0, field->GetCharIndexAtPoint(OnLine(field, 0)));
    EXPECT_EQ(4, field->GetCharIndexAtPoint(OnLine(field, 200)));
    EXPECT_EQ(2, field->GetCharIndexAtPoint(PointT<long>(std::lround(std::ceil(middle)), -30)));
    EXPECT_EQ(2, field->GetCharIndexAtPoint(PointT<long>(std::lround(std::ceil(middle)), 300)));

    // The caret sits a pixel left of the edge of the character after it.
    field->SetCaretPosition(2, false);
    EXPECT_FLOAT_EQ(field->GetCharRect(2).x - 1.0f, field->GetCaretRect().x);
    EXPECT_FLOAT_EQ(1.0f, field->GetCaretRect().width);
    EXPECT_GT(field->GetCaretRect().height, 8.0f);
    EXPECT_FLOAT_EQ(field->GetTextOrigin().y, field->GetCaretRect().y);
}

TEST_F(TextBoxDisplayTest, APointBetweenTwoCharactersRectanglesLandsBetweenThem)
{
    // Root window 0 measures with fractional widths: "abcd" has its
    // characters 6.25 wide from the text origin, each rectangle 5.25 wide.
    window->SetRootControl(RCPtr<KX::LControl>());
    application->RemoveRootWindow(window);
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(new FractionalRenderer()), &os);
    application->AddRootWindow(window);
    OpenScene(L"textBoxScene");
    field = TextBox(L"field");
    ASSERT_TRUE(field);
    field->SetText(String(L"abcd"));
    const float origin = field->GetTextOrigin().x;
    ASSERT_FLOAT_EQ(origin + 6.25f, field->GetCharRect(1).x);
    ASSERT_FLOAT_EQ(5.25f, field->GetCharRect(1).width);

    struct Case
    {
        float x; // from the text origin
        int32_t index;
    };
    // 6 and 12: between the rectangles of a and b, of b and c.
    for (const Case& c : {Case{6.0f, 1}, Case{12.0f, 2}, Case{18.0f, 3}, Case{1.0f, 0}, Case{3.0f, 1},
                          Case{25.0f, 4}, Case{60.0f, 4}}) {
        EXPECT_EQ(c.index, field->GetCharIndexAtPoint(OnLine(field, origin + c.x))) << c.x;
    }
    // A click there puts the caret between them.
    Click(InWindow(RCPtr<KX::LControl>(field.Get()), origin + 12.0, field->GetTextArea().height / 2));
    EXPECT_EQ(2, field->GetCaretPosition());
}

TEST_F(TextBoxDisplayTest, TheCaretBlinksWhileFocusedAndShowsAtOnceWhenItMoves)
{
    Focus(RCPtr<KX::LControl>(field.Get()));
    field->SetText(String(L"abc"));
    ASSERT_TRUE(field->IsCaretVisible());
    const double start = field->GetNextBlinkTime();
    application->mTicks = static_cast<uint32_t>(std::lround(start * 1000.0)) - 1;
    IdlePass();
    EXPECT_TRUE(field->IsCaretVisible());
    application->mTicks += 1; // 0.5 s shown
    IdlePass();
    EXPECT_FALSE(field->IsCaretVisible());
    application->mTicks += 299;
    IdlePass();
    EXPECT_FALSE(field->IsCaretVisible());
    application->mTicks += 1; // 0.3 s hidden
    IdlePass();
    EXPECT_TRUE(field->IsCaretVisible());
    application->mTicks += 500;
    IdlePass();
    EXPECT_FALSE(field->IsCaretVisible());

    // A move shows it for a whole phase.
    Tap(VK_END);
    EXPECT_TRUE(field->IsCaretVisible());
    application->mTicks += 499;
    IdlePass();
    EXPECT_TRUE(field->IsCaretVisible());

    // Without the focus there is no caret and no blinking.
    Focus(Find(L"darkField"));
    EXPECT_FALSE(field->IsCaretVisible());
    EXPECT_EQ(0, field->GetIdleRequestCount());
    RunIdle(2000);
    EXPECT_FALSE(field->IsCaretVisible());
}

TEST_F(TextBoxDisplayTest, TheCaretIsDarkOnALightLookAndLightOnADarkOne)
{
    const RCPtr<KX::LTextBox> dark = TextBox(L"darkField");
    for (const RCPtr<KX::LTextBox>& box : {field, dark}) {
        Focus(RCPtr<KX::LControl>(box.Get()));
        const RectT<float> caret = box->GetCaretRect();
        const PointT<long> at = InWindow(RCPtr<KX::LControl>(box.Get()), caret.x, caret.y + caret.height / 2);
        const PointT<long> beside = InWindow(RCPtr<KX::LControl>(box.Get()), caret.x + 30, caret.y + caret.height / 2);
        PaintWindow(box == field ? "light" : "dark");
        const int fieldBrightness = Brightness(beside.x, beside.y);
        const int caretBrightness = Brightness(at.x, at.y);
        if (box == field) {
            EXPECT_GT(fieldBrightness, 200);
            EXPECT_LT(caretBrightness, 60);
        } else {
            EXPECT_LT(fieldBrightness, 60);
            EXPECT_GT(caretBrightness, 200);
        }
        // Hidden in its blink, the caret leaves the look alone.
        application->mTicks = static_cast<uint32_t>(std::lround(box->GetNextBlinkTime() * 1000.0));
        IdlePass();
        ASSERT_FALSE(box->IsCaretVisible());
        PaintWindow(box == field ? "light_hidden" : "dark_hidden");
        EXPECT_NEAR(fieldBrightness, Brightness(at.x, at.y), 8);
    }
}

TEST_F(TextBoxDisplayTest, LooksFollowFocusHoverAndTheSelection)
{
    const RCPtr<KX::LTextBox> dark = TextBox(L"darkField");
    Focus(RCPtr<KX::LControl>(dark.Get()));
    field->SetText(String(L"hello world"));
    EXPECT_EQ(KX::LTextBox::kLookNormal, field->GetActiveLookIndex());
    MoveTo(CentreOf(RCPtr<KX::LControl>(field.Get())));
    EXPECT_EQ(KX::LTextBox::kLookHovered, field->GetActiveLookIndex());
    EXPECT_EQ(L"UI_CURSOR_IBEAM", application->CursorName(os.currentCursor));
    Focus(RCPtr<KX::LControl>(field.Get()));
    EXPECT_EQ(KX::LTextBox::kLookFocusedHovered, field->GetActiveLookIndex());
    MoveTo(PointT<long>(400, 300));
    EXPECT_EQ(KX::LTextBox::kLookFocused, field->GetActiveLookIndex());

    // The selection shows in look 10 over its characters; look 3 everywhere else.
    field->SelectRange(6, 10);
    EXPECT_EQ(1.0f, field->GetLookWeight(KX::LTextBox::kLookFocused));
    EXPECT_EQ(1.0f, field->GetLookWeight(KX::LTextBox::kLookSelection));
    // (A point at the range's right end, past the last character's ink.)
    const RectT<float> selected = field->GetCharRangeRect(6, 10);
    const PointT<long> inside =
        InWindow(RCPtr<KX::LControl>(field.Get()), selected.x + selected.width - 2, selected.y + selected.height / 2);
    const PointT<long> outside = InWindow(RCPtr<KX::LControl>(field.Get()), 200, 12);
    PaintWindow();
    EXPECT_EQ(0xFF3060C0u, Pixel(inside.x, inside.y));
    EXPECT_EQ(0xFFFFFFFFu, Pixel(outside.x, outside.y));
    MoveTo(CentreOf(RCPtr<KX::LControl>(field.Get())));
    EXPECT_EQ(1.0f, field->GetLookWeight(KX::LTextBox::kLookSelectionHovered));
    EXPECT_EQ(0.0f, field->GetLookWeight(KX::LTextBox::kLookSelection));

    // A selection scrolled out of the field shows nothing of it.
    MoveTo(PointT<long>(400, 300));
    field->SetClientExtent(1000.0, 24.0);
    field->SetScrollOffset(PointT<double>(500.0, 0.0));
    EXPECT_EQ(0.0f, field->GetLookWeight(KX::LTextBox::kLookSelection));
    EXPECT_EQ(1.0f, field->GetLookWeight(KX::LTextBox::kLookFocused));

    // The focus leaving takes the selection's look and the scroll with it.
    Focus(RCPtr<KX::LControl>(dark.Get()));
    EXPECT_EQ(0.0, field->GetScrollOffset().x);
    EXPECT_EQ(KX::LTextBox::kLookNormal, field->GetActiveLookIndex());
    EXPECT_EQ(0.0f, field->GetLookWeight(KX::LTextBox::kLookSelection));

    field->SetEnabled(false);
    EXPECT_EQ(KX::LTextBox::kLookDisabled, field->GetActiveLookIndex());
}

TEST_F(TextBoxDisplayTest, TheLabelStringIsACueTextNeverTheContent)
{
    const RCPtr<KX::LTextBox> cue = TextBox(L"cueField");
    ASSERT_TRUE(cue);
    EXPECT_EQ(L"", Text(cue->GetText()));
    EXPECT_EQ(L"Type here", Text(cue->GetCueText()));
    EXPECT_EQ(1.0f, cue->GetLookWeight(KX::LTextBox::kLookCueBackground));
    EXPECT_EQ(1.0f, cue->GetLookWeight(KX::LTextBox::kLookCueText));
    EXPECT_EQ(L"Type here", Text(cue->GetLook(KX::LTextBox::kLookCueText)->GetTextLayout()->GetText()));
    PaintWindow("cue");

    // Focused, the field shows its focus look and no cue.
    Focus(RCPtr<KX::LControl>(cue.Get()));
    EXPECT_EQ(KX::LTextBox::kLookFocused, cue->GetActiveLookIndex());
    EXPECT_EQ(0.0f, cue->GetLookWeight(KX::LTextBox::kLookCueText));
    Type(L"abc");
    EXPECT_EQ(L"abc", Text(cue->GetText()));
    EXPECT_EQ(L"Type here", Text(cue->GetLook(KX::LTextBox::kLookCueText)->GetTextLayout()->GetText()));

    // The skin applied again keeps the content.
    application->SetSkin(0);
    EXPECT_EQ(L"abc", Text(cue->GetText()));
    EXPECT_EQ(L"Type here", Text(cue->GetCueText()));

    // A skin that gives fewer looks than the cue look shows the content in
    // every look.
    const RCPtr<KX::LTextBox> shortField = TextBox(L"shortField");
    EXPECT_EQ(L"Short hint", Text(shortField->GetCueText()));
    shortField->SetText(String(L"typed"));
    for (int32_t i = 0; i < shortField->GetLookCount(); ++i)
        EXPECT_EQ(L"typed", Text(shortField->GetLook(i)->GetTextLayout()->GetText())) << i;
}

TEST_F(TextBoxDisplayTest, AnIdleRequestMadeBeforeTheTreeHasAWindowTakesEffectWhenItJoinsOne)
{
    window->SetRootControl(RCPtr<KX::LControl>());
    RCPtr<KX::LControl> scene;
    factory->CreateControl(scene, RCPtr<KX::LControl>(), factory->FindControlDescriptor(String(L"textBoxScene")));
    ASSERT_TRUE(scene);
    const RCPtr<KX::LTextBox> box = RCPtr<KX::LTextBox>::DynamicCast(scene->FindChild(String(L"field")));
    ASSERT_TRUE(box);
    box->AddIdleRequest();
    window->SetRootControl(scene);
    // The context menu is built, and the window's idle passes reach the box.
    ASSERT_TRUE(box->GetContextMenu());
    ASSERT_TRUE(box->IsCaretVisible());
    application->mTicks += 1000;
    IdlePass();
    EXPECT_FALSE(box->IsCaretVisible());
}

TEST_F(TextBoxDisplayTest, TheToolTipIsTheWholeTextWhenItDoesNotFit)
{
    const RCPtr<KX::LTextBox> narrow = TextBox(L"narrowField");
    narrow->SetText(String(L"a text far too long for the field"));
    EXPECT_EQ(L"a text far too long for the field", Text(narrow->GetToolTipText()));
    narrow->SetText(String(L"ok"));
    EXPECT_EQ(L"", Text(narrow->GetToolTipText()));
}

} // namespace

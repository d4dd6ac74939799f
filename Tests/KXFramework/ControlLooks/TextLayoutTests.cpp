// The label text laid out in a look's text area: wrapping at blanks and after
// hyphens, paragraphs, alignment, and sizes that follow the text.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LControl;
using KX::RectT;
using KXTest::Text;

namespace {

std::vector<std::wstring> Lines(const RCPtr<KX::LFontText>& text)
{
    std::vector<std::wstring> lines;
    const uint32_t count = text->GetLineCount();
    for (uint32_t i = 0; i < count; ++i)
        lines.push_back(Text(text->GetLineText(i)));
    return lines;
}

} // namespace

class TextLayoutTest : public SkinTest
{
protected:
    void SetUp() override
    {
        SkinTest::SetUp();
        KX::LFont::Create(font, String(L"Tahoma"), 9.0f, 0);
    }

    // A text layout measured with the test's renderer.
    RCPtr<KX::LFontText> Layout(const wchar_t* text, bool wrap, int32_t width, int32_t height = 100)
    {
        RCPtr<KX::LFontText> layout(new KX::LFontText(String(text), font));
        layout->SetMeasurementRenderer(RCPtr<KX::LMeasurementRenderer>(renderer.Get()));
        layout->SetWrap(wrap);
        layout->SetBoxSize(width, height);
        return layout;
    }

    float Width(const wchar_t* text) { return renderer->MeasureText(String(text), font).width; }

    // A width that fits `fits` and not `tooWide`.
    int32_t Between(const wchar_t* fits, const wchar_t* tooWide)
    {
        const int32_t width = static_cast<int32_t>(Width(fits)) + 1;
        EXPECT_GT(Width(tooWide), static_cast<float>(width)) << "the test's texts do not tell the widths apart";
        return width;
    }

    RCPtr<KX::LFont> font;
};

TEST_F(TextLayoutTest, WrappingBreaksAtBlanksAndAfterHyphens)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* fits;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {L"Select Firmware File", L"Select Firmware", {L"Select Firmware", L"File"}},
        {L"alpha-beta gamma", L"alpha-beta", {L"alpha-beta", L"gamma"}},
        {L"update-mode", L"update-", {L"update-", L"mode"}},
        // Leading blanks, tabs and line ends of the rest are dropped.
        {L"first \t  second", L"first", {L"first", L"second"}},
        // A rest of blanks only ends the paragraph with the fitted line.
        {L"first      ", L"first", {L"first"}},
    };
    for (const Case& test : cases) {
        const RCPtr<KX::LFontText> layout = Layout(test.text, true, Between(test.fits, test.text));
        EXPECT_EQ(test.lines, Lines(layout)) << Text(String(test.text));
    }
    // A word without blank or hyphen stays whole, wider than the box; so does
    // a blank at position 0.
    EXPECT_EQ((std::vector<std::wstring>{L"unbreakable"}), Lines(Layout(L"unbreakable", true, 10)));
    EXPECT_EQ((std::vector<std::wstring>{L" unbreakable"}), Lines(Layout(L" unbreakable", true, 10)));
}

TEST_F(TextLayoutTest, ParagraphsAlignmentAndBounds)
{
    // Without wrap: one line per paragraph, an empty middle one kept, nothing
    // after a final line break.
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"b"}), Lines(Layout(L"a\n\nb", false, 100)));
    EXPECT_EQ((std::vector<std::wstring>{L"a"}), Lines(Layout(L"a\n", false, 100)));
    const RCPtr<KX::LFontText> empty = Layout(L"", false, 100);
    EXPECT_EQ(1u, empty->GetLineCount());
    EXPECT_EQ(0.0f, empty->GetLineRect(0).width);
    EXPECT_EQ(RectT<float>(), empty->GetLineRect(1));

    // Two lines centred in a box 40 high start at (40 - 2H) / 2 and one line
    // height below it; centred horizontally by their widths.
    const RCPtr<KX::LFontText> two = Layout(L"ab\nabcdef", false, 100, 40);
    two->SetVerticalAlignment(0.5f);
    two->SetHorizontalAlignment(0.5f);
    const float height = static_cast<float>(font->GetHeight());
    ASSERT_GT(height, 0.0f);
    EXPECT_FLOAT_EQ((40.0f - 2.0f * height) * 0.5f, two->GetLineRect(0).y);
    EXPECT_FLOAT_EQ((40.0f - 2.0f * height) * 0.5f + height, two->GetLineRect(1).y);
    EXPECT_FLOAT_EQ((100.0f - Width(L"abcdef")) * 0.5f, two->GetLineRect(1).x);
    EXPECT_EQ(static_cast<int32_t>(Width(L"abcdef") + 0.99f), two->GetMaxLineWidth());
    // An alignment change keeps the lines, a box change lays out again.
    two->SetVerticalAlignment(0.0f);
    two->SetHorizontalAlignment(0.0f);
    EXPECT_TRUE(two->IsLaidOut());
    EXPECT_FLOAT_EQ(0.0f, two->GetLineRect(0).y);
    // The bounds of the lines from the area's top left.
    EXPECT_EQ(KX::PointT<long>(static_cast<long>(Width(L"abcdef")), static_cast<long>(2 * height)),
              two->GetTextBounds());
    two->SetBoxSize(50, 40);
    EXPECT_FALSE(two->IsLaidOut());
}

TEST_F(TextLayoutTest, TheNoDeviceTextWrapsWithinTheLabel)
{
    OpenMainControl();
    const RCPtr<LControl> label = Find(L"labelDeviceInformation");
    const String text = label->GetString(L"LABEL_NO_DEVICE_FOUND");
    ASSERT_FALSE(text.IsEmpty());
    label->SetText(text);
    const RCPtr<KX::LLook>& look = label->GetLook(-1);
    const RCPtr<KX::LFontText>& layout = look->GetTextLayout();
    ASSERT_TRUE(layout);
    EXPECT_EQ(504, layout->GetBoxWidth());
    const std::vector<std::wstring> lines = Lines(layout);
    ASSERT_GE(lines.size(), 2u);
    std::wstring joined;
    for (const std::wstring& line : lines) {
        EXPECT_LE(renderer->MeasureText(String(line.c_str()), label->GetFont()).width, 504.0f) << line;
        joined += (joined.empty() ? L"" : L" ") + line;
    }
    EXPECT_EQ(Text(text), joined);
    // Wrapped lines fit: nothing is cut.
    EXPECT_FALSE(label->IsTextTruncated());
    PaintWindow();

    // A label that clips is cut by a text wider than its area.
    const RCPtr<LControl> version = Find(L"updaterVersionLabel");
    version->SetText(text);
    version->GetLook(-1)->GetTextLayout()->GetLineCount();
    EXPECT_TRUE(version->IsTextTruncated());
}

TEST_F(TextLayoutTest, AnExpandingLabelGrowsWithItsTextUpToItsMaximum)
{
    const RCPtr<LControl> main = OpenMainControl();
    RCPtr<LControl> tip;
    factory->CreateControl(tip, main, factory->FindControlDescriptor(String(L"toolTip")));
    ASSERT_TRUE(tip);
    EXPECT_EQ(RectT<double>(0, 0, 200, 20), tip->GetRect());

    // Wider than the 192 pixels of its text area: the text's width plus the
    // area's margins (4 on each side).
    const String text = main->FindChild(String(L"labelDeviceInformation"))->GetString(L"LABEL_NO_DEVICE_FOUND");
    tip->SetText(text);
    const RCPtr<KX::LFontText>& layout = tip->GetLook(-1)->GetTextLayout();
    const int32_t widest = layout->GetMaxLineWidth();
    ASSERT_GT(widest, 192);
    EXPECT_EQ(widest + 8, tip->GetRect().width);
    EXPECT_EQ(20.0, tip->GetRect().height);
    EXPECT_EQ(1u, layout->GetLineCount());

    // With a maximum it stops there, wraps, and grows in height instead.
    KX::LLayoutDescriptor::SizeLimitSpec minimum, maximum;
    maximum.mAbs = 300.0;
    tip->SetSizeLimits(0, minimum, maximum);
    EXPECT_EQ(300.0, tip->GetRect().width);
    EXPECT_TRUE(layout->GetWrap());
    const uint32_t lines = layout->GetLineCount();
    EXPECT_GE(lines, 3u);
    EXPECT_EQ(static_cast<double>(lines) * tip->GetFont()->GetHeight(), tip->GetRect().height);
    for (uint32_t i = 0; i < lines; ++i)
        EXPECT_LE(layout->GetLineRect(i).width, 292.0f) << i;

    // A short text does not shrink it below its own size.
    tip->SetText(String(L"Exit"));
    EXPECT_EQ(200.0, tip->GetRect().width);
}

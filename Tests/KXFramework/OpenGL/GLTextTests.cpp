// Text through the OpenGL renderer: FreeType glyphs from the glyph cache's
// atlas, placed with the font's ascent line at the given top, inside the
// bounds that MeasureText reports.
#include "GLTestSupport.h"

using namespace GLTest;

namespace {

using GLText = GLFixture;

constexpr uint32_t kWhite = 0xFFFFFF;

// The measured box moved to where DrawText puts the text: MeasureText's y is
// relative to the baseline (it starts at the ascent), DrawText's position is
// the text's top, where the ascent line lies.
RectT<long> MeasuredBox(const RectT<float>& measured, const RCPtr<KX::LFont>& font, const PointT<long>& position)
{
    return RectT<long>(position.x + static_cast<long>(measured.x),
                       position.y + static_cast<long>(measured.y) - font->GetAscent(),
                       static_cast<long>(measured.width), static_cast<long>(measured.height));
}

bool Inside(const RectT<long>& inner, const RectT<long>& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::string Describe(const RectT<long>& r)
{
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + ", " +
           std::to_string(r.height) + "}";
}

} // namespace

TEST_F(GLText, HgInTahoma12StaysInsideItsMeasuredBounds)
{
    const RCPtr<KX::LFont> font = MakeFont(L"Tahoma", 12.0f);
    const PointT<long> position(30, 40);
    const RectT<float> measured = mRenderer->MeasureText(String(L"Hg"), font);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->DrawText(String(L"Hg"), font, position, Argb(0xFF000000));
    }
    const Image image = ReadFront();
    Save(image);
    const RectT<long> ink = InkBounds(image, kWhite);
    const RectT<long> box = MeasuredBox(measured, font, position);
    ASSERT_GT(ink.width, 0) << "the text was drawn";
    EXPECT_TRUE(Inside(ink, box)) << "ink " << Describe(ink) << " measured " << Describe(box);
    EXPECT_GE(ink.width * 2, box.width) << "the ink fills most of the measured width";
    EXPECT_LT(ink.y, position.y - font->GetAscent()) << "'H' rises above the baseline";
    EXPECT_GT(ink.y + ink.height, position.y - font->GetAscent()) << "'g' hangs below it";
    EXPECT_LT(image.Rgb(ink.x, ink.y + 2) & 0xFF, 0x40u) << "the stem of the H is drawn in the text colour";
}

TEST_F(GLText, TextTakesItsColourAndTheClipCutsIt)
{
    const RCPtr<KX::LFont> font = MakeFont(L"DejaVu Sans", 20.0f, 1);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->DrawText(String(L"MMMM"), font, PointT<long>(5, 5), Argb(0xFFFF0000));
        mRenderer->PushClip(RectT<double>(0, 0, kWidth, kHeight), RectT<double>(0, 60, 40, 60), nullptr, true);
        mRenderer->DrawText(String(L"MMMM"), font, PointT<long>(5, 60), Argb(0xFF0000FF));
        mRenderer->PopState();
    }
    const Image image = ReadFront();
    Save(image);
    bool red = false;
    bool blueOutside = false;
    bool blue = false;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            red |= image.Rgb(x, y) == 0xFF0000;
            blue |= image.Rgb(x, y) == 0x0000FF;
            blueOutside |= (x >= 40 || y < 60) && (image.Rgb(x, y) & 0xFF) > 0 && image.Rgb(x, y) != kWhite &&
                           (image.Rgb(x, y) & 0xFF0000) == 0;
        }
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
    EXPECT_FALSE(blueOutside) << "blue text only inside the clip";
}

TEST_F(GLText, EmptyTextDrawsNothingAndMeasuresAsTheFontRendererSays)
{
    const RCPtr<KX::LFont> font = MakeFont(L"Tahoma", 12.0f);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->DrawText(String(), font, PointT<long>(5, 5), Argb(0xFF000000));
    }
    EXPECT_EQ(0, InkBounds(ReadFront(), kWhite).width);
    const RectT<float> empty = mRenderer->MeasureText(String(), font);
    EXPECT_EQ(1.0f, empty.width);
    EXPECT_EQ(static_cast<float>(font->GetAscent()), empty.y);
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    EXPECT_EQ(S_OK, mRenderer->GetFontMetrics(font, height, ascent, descent));
    EXPECT_EQ(font->GetAscent(), ascent);
    EXPECT_EQ(font->GetHeight(), height);
}

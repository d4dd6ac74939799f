// The glyph cache's atlases: shelf packing, growth, the one-pixel margins,
// glyphs too wide for the atlas, bounds, and the number of fonts kept. No GL
// is needed: without the upload and draw flags the cache works in memory.
#include "FontTestSupport.h"

#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Utilities/Graphics/Font.h"

#include <gtest/gtest.h>

using namespace FontTest;
using KX::LGlyphProcessor;
using KX::LGLGlyphRenderer;
using KX::RCPtr;

namespace {

class GlyphCache : public ::testing::Test
{
protected:
    void SetUp() override { mGlyphs = LGLGlyphRenderer::Create(); }

    static RCPtr<KX::LFont> Font(float size, const wchar_t* face = L"Glyph Cache Test")
    {
        RCPtr<KX::LFont> font;
        return KX::LFont::Create(font, String(face), size, 0);
    }

    // Hands the cache a new glyph of the size, filled with the value, at the pen.
    LGlyphProcessor::SCachedGlyph Place(uint32_t charCode, int32_t width, int32_t height, float penX = 0.0f,
                                        unsigned char value = 0xFF)
    {
        LGlyphProcessor::GlyphJob job;
        job.mCharCode = charCode;
        EXPECT_EQ(7u, mGlyphs->FindGlyph(job)) << "glyph " << charCode << " is new";
        job.mGlyphIndex = charCode;
        job.mBox.mLeft = 0;
        job.mBox.mTop = static_cast<int8_t>(-std::min(height, 127));
        job.mBox.mRight = static_cast<int8_t>(std::min(width, 127));
        job.mBox.mBottom = 0;
        job.mAdvance = LGlyphProcessor::MakeAdvance((width + 1) * 64, 0);
        job.mPenX = penX;
        auto bitmap = KX::LPixelBuffer<unsigned char>::Create(width, height, width);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                *bitmap->GetPixel(x, y) = value;
        job.mBitmap = bitmap;
        mGlyphs->ProcessGlyph(job);
        return mGlyphs->GetCurrentFont()->FindGlyph(charCode);
    }

    RCPtr<LGLGlyphRenderer> mGlyphs;
};

struct Cell
{
    int32_t x, y, width, height;
};

bool Overlap(const Cell& a, const Cell& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

} // namespace

TEST_F(GlyphCache, AFontOfSizeTenStartsWithA512By16Atlas)
{
    mGlyphs->BeginFont(Font(10.0f), 3);
    const auto cached = mGlyphs->GetCurrentFont();
    ASSERT_TRUE(cached);
    EXPECT_EQ(512, cached->GetAtlas()->GetWidth());
    EXPECT_EQ(16, cached->GetAtlas()->GetHeight());
    EXPECT_EQ(512, cached->GetAtlas()->GetStride());
    mGlyphs->EndFont();
    EXPECT_FALSE(mGlyphs->GetCurrentFont());
    EXPECT_EQ(cached.Get(), mGlyphs->FindCachedFont(Font(10.0f)).Get()) << "kept for the next text";
}

TEST_F(GlyphCache, GlyphsFillAShelfThenOpenTheNextBelowIt)
{
    mGlyphs->BeginFont(Font(10.0f), 3);
    // Cells of 102 x 10 with their margins: five fit in 512, the sixth does not.
    for (uint32_t i = 0; i < 5; ++i) {
        const auto glyph = Place('a' + i, 100, 8);
        EXPECT_EQ(1 + 102 * static_cast<int32_t>(i), glyph.mAtlasX);
        EXPECT_EQ(1, glyph.mAtlasY);
    }
    const auto sixth = Place('f', 100, 8);
    EXPECT_EQ(1, sixth.mAtlasX);
    EXPECT_EQ(11, sixth.mAtlasY) << "the next shelf starts below the first one's 10 rows";
    EXPECT_EQ(32, mGlyphs->GetCurrentFont()->GetAtlas()->GetHeight()) << "grown to a power of two";
}

TEST_F(GlyphCache, CellsNeverOverlapAndStayInsideTheAtlas)
{
    mGlyphs->BeginFont(Font(9.0f), 3);
    // A tall glyph opening a shelf, short ones after it, wide ones, tiny ones.
    const int32_t sizes[][2] = {{500, 10}, {20, 30}, {480, 5}, {40, 5}, {7, 12}, {300, 2}, {250, 40},
                                {1, 1},    {510, 3}, {0, 0},   {64, 64}, {200, 9}, {311, 17}, {12, 50}};
    std::vector<Cell> cells;
    uint32_t code = 0x100;
    for (const auto& size : sizes) {
        const auto glyph = Place(code++, size[0], size[1]);
        cells.push_back(Cell{glyph.mAtlasX - 1, glyph.mAtlasY - 1, size[0] + 2, size[1] + 2});
    }
    const auto atlas = mGlyphs->GetCurrentFont()->GetAtlas();
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_LE(cells[i].x + cells[i].width, 512) << "cell " << i;
        EXPECT_LE(cells[i].y + cells[i].height, atlas->GetHeight()) << "cell " << i;
        for (size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_FALSE(Overlap(cells[i], cells[j])) << "cells " << i << " and " << j;
    }
}

TEST_F(GlyphCache, GrowingKeepsThePixelsAlreadyPlaced)
{
    mGlyphs->BeginFont(Font(4.0f), 3);
    const auto first = Place('x', 3, 3, 0.0f, 0x80);
    const auto atlas = [&] { return mGlyphs->GetCurrentFont()->GetAtlas(); };
    const int32_t before = atlas()->GetHeight();
    Place('y', 10, 100);
    EXPECT_GT(atlas()->GetHeight(), before);
    EXPECT_EQ(0x80, *atlas()->GetPixel(first.mAtlasX + 2, first.mAtlasY + 2));
    EXPECT_EQ(0x00, *atlas()->GetPixel(first.mAtlasX + 3, first.mAtlasY + 2)) << "the margin";
}

TEST_F(GlyphCache, AGlyphWiderThanTheAtlasIsCutAtItsEdge)
{
    mGlyphs->BeginFont(Font(6.0f), 3);
    Place('s', 5, 5);
    const auto wide = Place('w', 600, 3);
    EXPECT_EQ(1, wide.mAtlasX) << "a new shelf";
    const auto atlas = mGlyphs->GetCurrentFont()->GetAtlas();
    for (int32_t y = 0; y < 3; ++y) {
        EXPECT_EQ(0xFF, *atlas->GetPixel(511, wide.mAtlasY + y));
        EXPECT_EQ(0x00, *atlas->GetPixel(0, wide.mAtlasY + y)) << "row " << y << " ran into the next row";
    }
    for (int32_t x = 0; x < 512; ++x)
        ASSERT_EQ(0x00, *atlas->GetPixel(x, wide.mAtlasY + 3)) << "the margin row below, column " << x;
    const auto next = Place('n', 4, 4);
    EXPECT_GT(next.mAtlasY, wide.mAtlasY + 3) << "the next glyph takes a new shelf";
}

TEST_F(GlyphCache, MeasuringAddsEachGlyphsCellToTheBounds)
{
    mGlyphs->BeginFont(Font(20.0f), 3);
    Place('A', 10, 14, 0.0f);
    Place('B', 8, 20, 11.0f);
    const LGlyphProcessor::Bounds bounds = mGlyphs->GetBounds();
    EXPECT_EQ(0.0f, bounds.mLeft);
    EXPECT_EQ(-20.0f, bounds.mTop);
    EXPECT_EQ(11.0f + 9.0f, bounds.mRight) << "pen + advance of the last glyph";
    EXPECT_EQ(0.0f, bounds.mBottom);
    mGlyphs->EndFont();
    mGlyphs->BeginFont(Font(20.0f), 3);
    EXPECT_EQ(0.0f, mGlyphs->GetBounds().mRight) << "each text starts from zero bounds";
}

TEST_F(GlyphCache, WithoutAFontNothingIsAskedOrDone)
{
    LGlyphProcessor::GlyphJob job;
    job.mCharCode = 'q';
    EXPECT_EQ(0u, mGlyphs->FindGlyph(job));
    mGlyphs->ProcessGlyph(job);
    EXPECT_EQ(0.0f, mGlyphs->GetBounds().mRight);
}

TEST_F(GlyphCache, SixteenFontsKeepTheirAtlasesAndASeventeenthEvictsTheOldest)
{
    std::vector<RCPtr<KX::LFont>> fonts;
    for (int i = 0; i < 17; ++i)
        fonts.push_back(Font(30.0f + i, L"Glyph Cache Eviction"));
    for (int i = 0; i < 16; ++i) {
        mGlyphs->BeginFont(fonts[i], 3);
        mGlyphs->EndFont();
    }
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(mGlyphs->FindCachedFont(fonts[i])) << i;
    mGlyphs->BeginFont(fonts[0], 3); // the first is used again: the second is now the oldest
    mGlyphs->EndFont();
    mGlyphs->BeginFont(fonts[16], 3);
    mGlyphs->EndFont();
    EXPECT_TRUE(mGlyphs->FindCachedFont(fonts[0]));
    EXPECT_FALSE(mGlyphs->FindCachedFont(fonts[1]));
    EXPECT_TRUE(mGlyphs->FindCachedFont(fonts[16]));
}

TEST(PixelBuffer, StrideAddressesAndGrowth)
{
    auto buffer = KX::LPixelBuffer<unsigned char>::Create(20, 3);
    EXPECT_EQ(32, buffer->GetStride()) << "without data: the width rounded up to 16";
    EXPECT_EQ(buffer->GetPixel(0, 1), buffer->GetPixel(0, 0) + 32);
    EXPECT_EQ(nullptr, buffer->GetPixel(0, 3));
    EXPECT_EQ(nullptr, buffer->GetPixel(-1, 0));
    EXPECT_NE(nullptr, buffer->GetPixel(31, 2));
    *buffer->GetPixel(5, 2) = 9;
    ASSERT_EQ(S_OK, buffer->SetHeight(5));
    EXPECT_EQ(9, *buffer->GetPixel(5, 2));
    EXPECT_EQ(0, *buffer->GetPixel(5, 4));

    const unsigned char data[] = {1, 2, 3, 4, 5, 6};
    auto copied = KX::LPixelBuffer<unsigned char>::Create(2, 2, 3, data);
    EXPECT_EQ(3, copied->GetStride());
    EXPECT_EQ(4, *copied->GetPixel(0, 1));
}

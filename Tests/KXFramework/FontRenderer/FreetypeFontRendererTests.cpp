// The FreeType font renderer: metrics, what it hands to a glyph processor,
// rendering modes, kerning, measuring, and the FreeType objects shared by
// every renderer.
#include "FontTestSupport.h"

#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

#include <gtest/gtest.h>

#include <set>

using namespace FontTest;
using KX::LGlyphProcessor;
using KX::RCPtr;

namespace {

// A processor that knows no glyph and records every job it is handed.
class RecordingProcessor : public LGlyphProcessor
{
public:
    struct Record
    {
        uint32_t mCharCode;
        float mPenX;
        GlyphBox mBox;
        uint32_t mAdvance;
        int32_t mBitmapWidth;
        int32_t mBitmapHeight;
        std::set<int> mLevels; // the distinct pixel values of the bitmap
    };

    void BeginFont(const RCPtr<KX::LFont>&, uint8_t flags) override { mFlags = flags; }
    void EndFont() override { ++mEnded; }
    uint32_t FindGlyph(GlyphJob&) override { return kWorkAll; }
    void ProcessGlyph(GlyphJob& job) override
    {
        Record record{job.mCharCode, job.mPenX, job.mBox, job.mAdvance, 0, 0, {}};
        if (job.mBitmap) {
            record.mBitmapWidth = job.mBitmap->GetWidth();
            record.mBitmapHeight = job.mBitmap->GetHeight();
            for (int32_t y = 0; y < record.mBitmapHeight; ++y)
                for (int32_t x = 0; x < record.mBitmapWidth; ++x)
                    record.mLevels.insert(*job.mBitmap->GetPixel(x, y));
        }
        mRecords.push_back(record);
    }
    Bounds GetBounds() const override { return Bounds(); }

    std::vector<Record> mRecords;
    uint8_t mFlags = 0;
    int mEnded = 0;
};

// Fonts measured through the font renderer alone.
class FreetypeMetrics : public KX::LMeasurementRenderer
{
public:
    explicit FreetypeMetrics(const RCPtr<KX::LFontRenderer>& renderer) : mRenderer(renderer) {}

    KX::KXRESULT GetFontMetrics(const RCPtr<KX::LFont>& font, int32_t& height, int32_t& ascent,
                            int32_t& descent) override
    {
        return mRenderer->GetFontMetrics(font, height, ascent, descent);
    }
    KX::RectT<float> MeasureText(const String& text, const RCPtr<KX::LFont>& font) override
    {
        KX::RectT<float> measured;
        return mRenderer->MeasureText(measured, text, font);
    }

private:
    RCPtr<KX::LFontRenderer> mRenderer;
};

class FreetypeFontRenderer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mGlyphs = KX::LGLGlyphRenderer::Create();
        mRenderer = KX::LFreetypeFontRenderer::Create(mGlyphs, mGlyphs);
    }

    static RCPtr<KX::LFont> Font(const wchar_t* face, float size, int32_t style = 0)
    {
        RCPtr<KX::LFont> font;
        return KX::LFont::Create(font, String(face), size, style);
    }

    // The font measured by the FreeType renderer (there is no application
    // renderer to measure it).
    RCPtr<KX::LFont> Measured(const wchar_t* face, float size)
    {
        RCPtr<KX::LFont> font = Font(face, size);
        RCPtr<FreetypeMetrics> metrics(new FreetypeMetrics(mRenderer));
        font->Measure(metrics.Get());
        return font;
    }

    std::vector<RecordingProcessor::Record> Render(const wchar_t* text, const RCPtr<KX::LFont>& font,
                                                   int32_t* consumed = nullptr)
    {
        RCPtr<RecordingProcessor> processor(new RecordingProcessor());
        const int32_t count = mRenderer->RenderText(String(text), font, processor, 0, 0.0f, 15);
        if (consumed)
            *consumed = count;
        EXPECT_EQ(15, processor->mFlags);
        EXPECT_EQ(1, processor->mEnded);
        return processor->mRecords;
    }

    RCPtr<KX::LGLGlyphRenderer> mGlyphs;
    RCPtr<KX::LFreetypeFontRenderer> mRenderer;
};

} // namespace

TEST_F(FreetypeFontRenderer, MetricsOfTahoma12)
{
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    ASSERT_EQ(S_OK, mRenderer->GetFontMetrics(Font(L"Tahoma", 12.0f), height, ascent, descent));
    EXPECT_LT(ascent, -10);
    EXPECT_GT(descent, 1);
    EXPECT_GE(height, 16) << "at least 96 x 12 / 72";
    EXPECT_GE(height, descent - ascent);
}

TEST_F(FreetypeFontRenderer, EveryCharacterWithAGlyphIsHandedOnWithItsPen)
{
    int32_t consumed = 0;
    const auto records = Render(L"Hg\x4E2D" L"a", Font(L"Tahoma", 12.0f), &consumed);
    EXPECT_EQ(4, consumed);
    ASSERT_EQ(3u, records.size()) << "Tahoma has no glyph for U+4E2D: skipped";
    EXPECT_EQ(static_cast<uint32_t>('H'), records[0].mCharCode);
    EXPECT_EQ(0.0f, records[0].mPenX);
    EXPECT_EQ(static_cast<float>(LGlyphProcessor::AdvanceX(records[0].mAdvance) / 64), records[1].mPenX);
    EXPECT_EQ(records[1].mPenX + LGlyphProcessor::AdvanceX(records[1].mAdvance) / 64, records[2].mPenX);
    // 'g' hangs below the baseline, 'H' stands on it.
    EXPECT_LT(records[0].mBox.mTop, 0);
    EXPECT_EQ(0, records[0].mBox.mBottom);
    EXPECT_GT(records[1].mBox.mBottom, 0);
    EXPECT_EQ(records[0].mBox.mRight - records[0].mBox.mLeft, records[0].mBitmapWidth);
    EXPECT_EQ(records[0].mBox.mBottom - records[0].mBox.mTop, records[0].mBitmapHeight);
}

TEST_F(FreetypeFontRenderer, BelowEightPointsGlyphsAreMonochrome)
{
    const auto small = Render(L"g", Font(L"DejaVu Sans", 7.5f));
    const auto large = Render(L"g", Font(L"DejaVu Sans", 8.0f));
    ASSERT_EQ(1u, small.size());
    ASSERT_EQ(1u, large.size());
    EXPECT_EQ((std::set<int>{0x00, 0xFF}), small[0].mLevels);
    EXPECT_GT(large[0].mLevels.size(), 2u) << "anti-aliased: grey levels";
}

TEST_F(FreetypeFontRenderer, KerningMovesThePenOfAFontThatHasIt)
{
    // Liberation Sans kerns "AV"; Tahoma has no kerning table.
    const auto kerned = Render(L"AV", Font(L"Liberation Sans", 24.0f));
    ASSERT_EQ(2u, kerned.size());
    EXPECT_LT(kerned[1].mPenX, static_cast<float>(LGlyphProcessor::AdvanceX(kerned[0].mAdvance) / 64));
    const auto plain = Render(L"AV", Font(L"Tahoma", 24.0f));
    ASSERT_EQ(2u, plain.size());
    EXPECT_EQ(static_cast<float>(LGlyphProcessor::AdvanceX(plain[0].mAdvance) / 64), plain[1].mPenX);
}

TEST_F(FreetypeFontRenderer, WithKerningAFirstGlyphLeftOfItsOriginMovesThePenRight)
{
    const auto records = Render(L"j", Font(L"Liberation Sans", 48.0f));
    ASSERT_EQ(1u, records.size());
    ASSERT_LT(records[0].mBox.mLeft, 0) << "the test needs a glyph that reaches left of its origin";
    EXPECT_EQ(static_cast<float>(-records[0].mBox.mLeft), records[0].mPenX);
}

TEST_F(FreetypeFontRenderer, MeasuringAddsUpTheGlyphCells)
{
    const RCPtr<KX::LFont> font = Measured(L"Tahoma", 12.0f);
    KX::RectT<float> measured;
    mRenderer->MeasureText(measured, String(L"Hg"), font);
    const auto records = Render(L"Hg", font);
    ASSERT_EQ(2u, records.size());
    const int32_t advance =
        LGlyphProcessor::AdvanceX(records[0].mAdvance) / 64 + LGlyphProcessor::AdvanceX(records[1].mAdvance) / 64;
    EXPECT_EQ(0.0f, measured.x);
    EXPECT_EQ(static_cast<float>(advance + 1), measured.width) << "right + 1 - left";
    EXPECT_EQ(static_cast<float>(font->GetAscent()), measured.y) << "the ascent is above every glyph top";
    EXPECT_EQ(static_cast<float>(font->GetDescent() - font->GetAscent()), measured.height);

    KX::RectT<float> empty;
    mRenderer->MeasureText(empty, String(), font);
    EXPECT_EQ(0.0f, empty.x);
    EXPECT_EQ(static_cast<float>(font->GetAscent()), empty.y);
    EXPECT_EQ(1.0f, empty.width) << "zero bounds: right + 1 - left";
}

TEST_F(FreetypeFontRenderer, KnownGlyphsAreNotRenderedAgain)
{
    const RCPtr<KX::LFont> font = Font(L"Tahoma", 13.0f);
    mRenderer->RenderText(String(L"abab"), font, mGlyphs, 0, 0.0f, 3);
    const RCPtr<KX::LGLGlyphRenderer::LCachedFont> cached = mGlyphs->FindCachedFont(font);
    ASSERT_TRUE(cached);
    EXPECT_EQ(2, cached->GetGlyphCount());
    const int32_t cursor = cached->GetCursorX();
    mRenderer->RenderText(String(L"ba"), font, mGlyphs, 0, 0.0f, 3);
    EXPECT_EQ(cursor, cached->GetCursorX()) << "nothing placed twice";
    KX::LGlyphProcessor::GlyphJob job;
    job.mCharCode = 'a';
    mGlyphs->BeginFont(font, 3);
    EXPECT_EQ(0u, mGlyphs->FindGlyph(job));
    EXPECT_NE(0u, job.mGlyphIndex);
    job.mCharCode = 'z';
    EXPECT_EQ(7u, mGlyphs->FindGlyph(job));
    mGlyphs->EndFont();
}

TEST_F(FreetypeFontRenderer, TheFirstFamilysRegularFileOpens)
{
    // File id 0 is a real file; FreeType must still be able to open it.
    const String family = KX::LFontFileInfo::GetFamily(0)->GetFamilyName();
    const int32_t id = KX::LFontFileInfo::GetFileID(Font(family.GetData(), 10.0f));
    ASSERT_EQ(0, id);
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    EXPECT_EQ(S_OK, mRenderer->GetFontMetrics(Font(family.GetData(), 10.0f), height, ascent, descent));
}

TEST_F(FreetypeFontRenderer, FreetypeAndTheCatalogueLiveAsLongAsTheLastRenderer)
{
    ASSERT_TRUE(KX::LFreetypeLibrary::GetLiving());
    RCPtr<KX::LFreetypeFontRenderer> second = KX::LFreetypeFontRenderer::Create(mGlyphs, mGlyphs);
    EXPECT_EQ(mRenderer->GetLibrary().Get(), second->GetLibrary().Get());
    mRenderer = nullptr;
    ASSERT_GT(KX::LFontFileInfo::GetFamilyCount(), 0) << "the second renderer still needs the catalogue";
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    EXPECT_EQ(S_OK, second->GetFontMetrics(Font(L"Tahoma", 11.0f), height, ascent, descent));
    second = nullptr;
    EXPECT_EQ(nullptr, KX::LFreetypeLibrary::GetLiving());
    EXPECT_EQ(0, KX::LFontFileInfo::GetFamilyCount());
}

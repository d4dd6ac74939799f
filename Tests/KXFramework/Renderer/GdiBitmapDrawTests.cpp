// DrawBitmap of the GDI+ renderer: the three resize types, the cache of
// scaled bitmaps and its purge, and the refusals.
#include "Support/Scenes/RendererTestSupport.h"

#include <gmock/gmock.h>

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;
using ::testing::StrEq;

// A GDI+ renderer whose purge clock the test sets.
class ClockedGdiRenderer : public KX::LGDIRenderer
{
public:
    static KX::RCPtr<ClockedGdiRenderer> Create() { return KX::RCPtr<ClockedGdiRenderer>(new ClockedGdiRenderer()); }
    void SetNow(uint32_t now) { mNow = now; }

protected:
    ClockedGdiRenderer() { mLastPurge = 0; }
    uint32_t GetTicks() override { return mNow; }

private:
    uint32_t mNow = 0;
};

class GdiBitmapDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        renderer = ClockedGdiRenderer::Create();
        context = MakeOffscreenContext(renderer, 120, 80);
    }
    void TearDown() override { SaveScreenshot(context, CurrentTestName()); }

    int32_t CachedEntries() const { return renderer->GetBitmapCache().GetIndex().GetCount(); }

    KX::RCPtr<ClockedGdiRenderer> renderer;
    KX::RCPtr<KX::LRenderContextInfo> context;
};

template <class F>
std::string ErrorText(F&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no exception";
}

TEST_F(GdiBitmapDrawTest, TileAndStretchOfOneBitmapAtOneSizeEachShowTheirOwnPixels)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    {
        Frame frame(renderer, context);
        renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 25, 25), KX::ResizeTile);
        renderer->DrawBitmap(bitmap, RectT<long>(40, 0, 25, 25), KX::ResizeStretch);
    }
    // Tile: copies at 0, 10 and 20 on each axis, the last ones cut.
    for (long y = 0; y < 25; ++y) {
        for (long x = 0; x < 25; ++x)
            ASSERT_EQ(PatternPixel(x % 10, y % 10), ReadPixel(context, x, y)) << x << "," << y;
    }
    EXPECT_EQ(0u, ReadPixel(context, 25, 25));
    // Stretch: the whole bitmap over 25 x 25 (GDI+ interpolates, and blends
    // the outermost pixels with what lies outside the image).
    EXPECT_EQ(PatternPixel(0, 0), ReadPixel(context, 40, 0));
    const uint32_t middle = ReadPixel(context, 52, 12);
    EXPECT_EQ(0xFFu, middle >> 24);
    EXPECT_NEAR(4.5 * 6, (middle >> 16) & 0xFF, 4); // source x about 4.5
    EXPECT_NEAR(4.5 * 6, (middle >> 8) & 0xFF, 4);
    EXPECT_EQ(PatternPixel(2, 2), ReadPixel(context, 12, 12)); // the tile there
    EXPECT_EQ(0u, ReadPixel(context, 65, 0));
    EXPECT_EQ(2, CachedEntries());
}

TEST_F(GdiBitmapDrawTest, ThreeTilesAlongAnAxisAreFilledWithATexture)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    {
        Frame frame(renderer, context);
        renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 30, 10), KX::ResizeTile);
    }
    for (long x : {0L, 9L, 10L, 15L, 20L, 29L})
        EXPECT_EQ(PatternPixel(x % 10, 4), ReadPixel(context, x, 4)) << x;
}

TEST_F(GdiBitmapDrawTest, CenterShowsTheMiddleOfALargerBitmap)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(40, 20);
    {
        Frame frame(renderer, context);
        renderer->DrawBitmap(bitmap, RectT<long>(2, 3, 30, 10), KX::ResizeCenter);
    }
    EXPECT_EQ(PatternPixel(5, 5), ReadPixel(context, 2, 3));
    EXPECT_EQ(PatternPixel(34, 14), ReadPixel(context, 31, 12));
    EXPECT_EQ(0u, ReadPixel(context, 32, 12));
    EXPECT_EQ(0u, ReadPixel(context, 2, 13));
}

TEST_F(GdiBitmapDrawTest, AtItsOwnSizeAnyTypeIsAPlainCopyAndOtherSizesRefuseAnUnknownType)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    Frame frame(renderer, context);
    renderer->DrawBitmap(bitmap, RectT<long>(5, 5, 10, 10), static_cast<KX::ResizeType>(7));
    EXPECT_EQ(PatternPixel(3, 4), ReadPixel(context, 8, 9));
    // The same copy as Stretch at that size: one cache entry.
    renderer->DrawBitmap(bitmap, RectT<long>(50, 5, 10, 10), KX::ResizeTile);
    EXPECT_EQ(1, CachedEntries());
    EXPECT_THAT(ErrorText([&] {
                    renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 20, 20), static_cast<KX::ResizeType>(7));
                }),
                StrEq("Invalid Argument : Invalid ResizeType passed to DrawBitmap. : KX::LGDIRenderer::DrawBitmap : "
                      "Renderer\\Gdi\\GDIRenderer : Line 559"));
}

TEST_F(GdiBitmapDrawTest, ACachedBitmapIsTranslatedAndClippedLikeAnyDrawing)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    Frame frame(renderer, context);
    renderer->PushClip(RectT<double>(30, 20, 6, 40), RectT<double>(0, 0, 100, 100), nullptr, true);
    renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 10, 10), KX::ResizeStretch);
    renderer->PopState();
    EXPECT_EQ(PatternPixel(0, 0), ReadPixel(context, 30, 20));
    EXPECT_EQ(PatternPixel(5, 9), ReadPixel(context, 35, 29));
    EXPECT_EQ(0u, ReadPixel(context, 36, 20)); // clipped
    EXPECT_EQ(0u, ReadPixel(context, 0, 0));
}

TEST_F(GdiBitmapDrawTest, NothingIsDrawnForANullBitmapOrAnEmptyDestination)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    Frame frame(renderer, context);
    renderer->DrawBitmap(nullptr, RectT<long>(0, 0, 20, 20), KX::ResizeStretch);
    renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 0, 20), KX::ResizeStretch);
    renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 20, -5), KX::ResizeTile);
    EXPECT_EQ(0u, ReadPixel(context, 0, 0));
    EXPECT_EQ(0, CachedEntries());
}

TEST_F(GdiBitmapDrawTest, DrawingWithoutAFrameIsAnError)
{
    EXPECT_THAT(ErrorText([&] {
                    renderer->DrawBitmap(MakePatternBitmap(2, 2), RectT<long>(0, 0, 2, 2), KX::ResizeStretch);
                }),
                StrEq("Runtime Error : KX::LGDIRenderer::DrawBitmap : Renderer\\Gdi\\GDIRenderer : Line 568"));
}

TEST_F(GdiBitmapDrawTest, ABitmapIsScaledOncePerSizeAndTheCopyIgnoresLaterPixelChanges)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(10, 10);
    {
        Frame frame(renderer, context);
        renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 20, 20), KX::ResizeStretch);
    }
    WriteImagePixel(bitmap, 0, 0, 0xFF00FF00);
    {
        Frame frame(renderer, context);
        renderer->DrawBitmap(bitmap, RectT<long>(0, 40, 20, 20), KX::ResizeStretch);
        renderer->DrawBitmap(bitmap, RectT<long>(60, 40, 10, 10), KX::ResizeStretch);
    }
    EXPECT_EQ(PatternPixel(0, 0), ReadPixel(context, 0, 40)); // the cached copy
    EXPECT_EQ(0xFF00FF00u, ReadPixel(context, 60, 40));     // a new size is scaled anew
    EXPECT_EQ(2, CachedEntries());
}

TEST_F(GdiBitmapDrawTest, AFrameAfterThePurgeIntervalReleasesBitmapsNotUsedSinceThePreviousPurge)
{
    KX::RCPtr<KX::LBitmap> kept = MakePatternBitmap(4, 4);
    KX::RCPtr<KX::LBitmap> dropped = MakePatternBitmap(6, 6);
    auto frameWith = [&](uint32_t now, std::initializer_list<KX::RCPtr<KX::LBitmap>> bitmaps) {
        renderer->SetNow(now);
        Frame frame(renderer, context);
        for (const auto& bitmap : bitmaps)
            renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 8, 8), KX::ResizeStretch);
    };
    auto holds = [&](const KX::RCPtr<KX::LBitmap>& bitmap) {
        const auto& cache = renderer->GetBitmapCache();
        for (int32_t i = 0; i < cache.GetIndex().GetCount(); ++i) {
            const auto& entry = cache.GetEntryAt(i);
            if (entry.mId.mBitmap.Get() == bitmap.Get())
                return !entry.IsPurgable();
        }
        return false;
    };
    frameWith(1000, {kept, dropped});
    frameWith(300000, {kept});         // not due yet: 299000 ms since construction
    EXPECT_TRUE(holds(dropped));
    frameWith(301001, {kept});         // the first purge only marks the use counter
    EXPECT_TRUE(holds(dropped));
    frameWith(601002, {kept});         // due again: dropped was not used since the mark
    EXPECT_TRUE(holds(kept));
    EXPECT_FALSE(holds(dropped));
    EXPECT_EQ(2, CachedEntries());     // the entries stay, without their bitmaps
}

} // namespace

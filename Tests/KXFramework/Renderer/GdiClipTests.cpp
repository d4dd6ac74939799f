// Clip, translation and fills of the GDI+ renderer on an off-screen surface,
// read back pixel by pixel.
#include "Support/Scenes/RendererTestSupport.h"

#include "Renderer/AutoClip.h"

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;

constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kUntouched = 0x00000000; // a new surface is transparent black

class GdiClipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        renderer = MakeGdiRenderer();
        ASSERT_TRUE(renderer);
        context = MakeOffscreenContext(renderer, 100, 60);
    }
    void TearDown() override { SaveScreenshot(context, CurrentTestName()); }

    KX::RCPtr<KX::LGDIRenderer> renderer;
    KX::RCPtr<KX::LRenderContextInfo> context;
};

TEST_F(GdiClipTest, RelativeClipLimitsAFillToTheAreaUntilPopState)
{
    Frame frame(renderer, context);
    renderer->PushClip(RectT<double>(20, 30, 100, 100), RectT<double>(0, 0, 50, 50), nullptr, true);
    renderer->FillRect(RectT<long>(0, 0, 200, 200), Argb(kBlue), true);
    // Translated by (20, 30) and clipped to {20, 30, 30, 20}.
    EXPECT_EQ(kBlue, ReadPixel(context, 20, 30));
    EXPECT_EQ(kBlue, ReadPixel(context, 49, 49));
    EXPECT_EQ(kUntouched, ReadPixel(context, 19, 30));
    EXPECT_EQ(kUntouched, ReadPixel(context, 50, 30));
    EXPECT_EQ(kUntouched, ReadPixel(context, 20, 50));
    EXPECT_EQ(kUntouched, ReadPixel(context, 2, 2));

    renderer->PopState();
    renderer->FillRect(RectT<long>(0, 0, 5, 5), Argb(kRed), true);
    EXPECT_EQ(kRed, ReadPixel(context, 2, 2));
}

TEST_F(GdiClipTest, ClipsThatDoNotOverlapLetNothingThroughUntilPopState)
{
    Frame frame(renderer, context);
    // The clip lies left of the area: their intersection is empty.
    renderer->PushClip(RectT<double>(50, 10, 20, 20), RectT<double>(0, 0, 10, 10), nullptr, true);
    renderer->FillRect(RectT<long>(-100, -100, 400, 400), Argb(kBlue), true);
    // A nested clip inside the empty one stays empty.
    renderer->PushClip(RectT<double>(0, 0, 10, 10), RectT<double>(0, 0, 10, 10), nullptr, true);
    renderer->FillRect(RectT<long>(-100, -100, 400, 400), Argb(kBlue), true);
    renderer->PopState();
    for (long x = 0; x < 100; x += 3) {
        for (long y = 0; y < 60; y += 3)
            ASSERT_EQ(kUntouched, ReadPixel(context, x, y)) << x << "," << y;
    }
    renderer->PopState();
    renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kRed), true);
    EXPECT_EQ(kRed, ReadPixel(context, 40, 5)); // the gap between the two rectangles
    EXPECT_EQ(kRed, ReadPixel(context, 99, 59));
}

TEST_F(GdiClipTest, AnUnblendedFillWritesItsColourExactlyIgnoringTheTranslation)
{
    Frame frame(renderer, context);
    renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kBlue), true);
    renderer->PushState();
    renderer->PushTranslate(PointT<double>(10, 10));
    renderer->FillRect(RectT<long>(0, 0, 20, 20), Argb(0x80FF0000), false);
    EXPECT_EQ(0x80FF0000u, ReadPixel(context, 11, 11));
    EXPECT_EQ(0x80FF0000u, ReadPixel(context, 0, 0)); // the surface's own coordinates
    EXPECT_EQ(kBlue, ReadPixel(context, 25, 25));
    // Blended, the same colour mixes with the blue below and is translated.
    renderer->FillRect(RectT<long>(30, 30, 5, 5), Argb(0x80FF0000), true);
    const uint32_t mixed = ReadPixel(context, 41, 41);
    EXPECT_EQ(0xFFu, mixed >> 24);
    EXPECT_NEAR(0x80, (mixed >> 16) & 0xFF, 2);
    EXPECT_NEAR(0x7F, mixed & 0xFF, 2);
    EXPECT_EQ(kBlue, ReadPixel(context, 39, 39));
    renderer->PopState();
    renderer->PopState();
}

TEST_F(GdiClipTest, AnUnblendedFillReachingFarOutsideTheSurfaceReplacesOnlyItsPixels)
{
    Frame frame(renderer, context);
    renderer->FillRect(RectT<long>(-2000000000, 50, 2100000000, 2000000000), Argb(kRed), false);
    EXPECT_EQ(kRed, ReadPixel(context, 0, 50));
    EXPECT_EQ(kRed, ReadPixel(context, 99, 59));
    EXPECT_EQ(kUntouched, ReadPixel(context, 99, 49));
}

TEST_F(GdiClipTest, TheUnlimitedClipOfAFreshStateLetsEverythingThrough)
{
    // The state's clip is -5e15 .. 5e15: set as a rectangle, GDI+ under Wine
    // would draw nothing at all.
    Frame frame(renderer, context);
    renderer->PushState();
    renderer->SetClipRect(context->mState.mClip);
    renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kBlue), true);
    EXPECT_EQ(kBlue, ReadPixel(context, 0, 0));
    EXPECT_EQ(kBlue, ReadPixel(context, 99, 59));
    // A clip that reaches far out on one side only is cut to the surface.
    renderer->SetClipRect(RectT<double>(-1e12, 10, 1e12 + 30, 1e13));
    renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kRed), true);
    EXPECT_EQ(kRed, ReadPixel(context, 29, 59));
    EXPECT_EQ(kBlue, ReadPixel(context, 30, 59));
    EXPECT_EQ(kBlue, ReadPixel(context, 0, 9));
    renderer->PopState();
}

TEST_F(GdiClipTest, EachFrameStartsFromTheStateNotFromTheLastFramesTransform)
{
    // The state (and the surface's graphics) outlive a frame: a translation
    // left in the state applies once per frame, never twice.
    context->mState.mTranslation = PointT<double>(10, 5);
    for (int frame = 0; frame < 2; ++frame) {
        Frame scope(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 4, 4), Argb(frame == 0 ? kBlue : kRed), true);
    }
    EXPECT_EQ(kRed, ReadPixel(context, 10, 5));
    EXPECT_EQ(kRed, ReadPixel(context, 13, 8));
    EXPECT_EQ(kUntouched, ReadPixel(context, 20, 10));
    EXPECT_EQ(kUntouched, ReadPixel(context, 9, 5));

    // A clip left in the state is applied again at the next frame.
    context->mState.mTranslation = PointT<double>(0, 0);
    context->mState.mClip = RectT<double>(50, 0, 10, 10);
    {
        Frame scope(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kBlue), true);
    }
    EXPECT_EQ(kBlue, ReadPixel(context, 55, 5));
    EXPECT_EQ(kUntouched, ReadPixel(context, 65, 5));
}

TEST_F(GdiClipTest, TheStatesAlphaIsLeftToTheCallers)
{
    Frame frame(renderer, context);
    renderer->PushState();
    context->mState.mAlpha = 0.25f;
    renderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(kBlue), true);
    EXPECT_EQ(kBlue, ReadPixel(context, 5, 5)); // not faded by the renderer
    renderer->PopState();
    EXPECT_EQ(1.0f, context->mState.mAlpha);
}

TEST_F(GdiClipTest, AutoClipPopsWhatItPushed)
{
    Frame frame(renderer, context);
    KX::RCPtr<KX::LRenderer> base = renderer;
    {
        KX::CAutoClip clip(base, RectT<double>(10, 10, 20, 20), RectT<double>(0, 0, 100, 100), nullptr);
        renderer->FillRect(RectT<long>(0, 0, 100, 100), Argb(kBlue), true);
        EXPECT_EQ(1u, context->mSavedStates.size());
    }
    EXPECT_TRUE(context->mSavedStates.empty());
    EXPECT_EQ(kBlue, ReadPixel(context, 10, 10));
    EXPECT_EQ(kBlue, ReadPixel(context, 29, 29));
    EXPECT_EQ(kUntouched, ReadPixel(context, 30, 30));
    renderer->FillRect(RectT<long>(40, 40, 5, 5), Argb(kRed), true);
    EXPECT_EQ(kRed, ReadPixel(context, 40, 40));
}

TEST_F(GdiClipTest, FillAndFrameSkipsTransparentColours)
{
    Frame frame(renderer, context);
    renderer->FillAndFrameRect(RectT<long>(10, 10, 20, 20), Argb(kBlue), Argb(0x00FF0000), 1.0f);
    EXPECT_EQ(kBlue, ReadPixel(context, 10, 10));
    renderer->FillAndFrameRect(RectT<long>(10, 10, 20, 20), Argb(0x0000FF00), Argb(kRed), 1.0f);
    EXPECT_EQ(kRed, ReadPixel(context, 10, 10));  // the outline
    EXPECT_EQ(kBlue, ReadPixel(context, 15, 15)); // no fill over the inside
}

TEST_F(GdiClipTest, ColorRectsAreScaledMovedAndFilledInTheirOwnColours)
{
    KX::ColorRectListT<float> rects;
    rects.AddRect(RectT<float>(0, 0, 5, 5), kBlue);
    rects.AddRect(RectT<float>(10, 0, 5, 5), kRed);
    rects.SetScale(2.0f, 1.0f);
    Frame frame(renderer, context);
    renderer->FillColorRects(rects, PointT<double>(3, 7), true);
    EXPECT_EQ(kBlue, ReadPixel(context, 3, 7));
    EXPECT_EQ(kBlue, ReadPixel(context, 12, 11));
    EXPECT_EQ(kUntouched, ReadPixel(context, 13, 7));
    EXPECT_EQ(kRed, ReadPixel(context, 23, 7));
    EXPECT_EQ(kRed, ReadPixel(context, 32, 11));
    EXPECT_EQ(kUntouched, ReadPixel(context, 33, 7));
    EXPECT_EQ(PointT<double>(0, 0), context->mState.mTranslation);
}

TEST_F(GdiClipTest, LinesAndPolygonsDrawWhereTheirPointsAre)
{
    Frame frame(renderer, context);
    renderer->DrawLine(PointT<float>(0, 2), PointT<float>(40, 2), Argb(kRed), 1.0f);
    EXPECT_EQ(kRed, ReadPixel(context, 20, 2));
    EXPECT_EQ(kUntouched, ReadPixel(context, 20, 4));

    KX::PolylineT<float> square(1.0f);
    square.AddPoint(50, 10);
    square.AddPoint(70, 10);
    square.AddPoint(70, 30);
    square.AddPoint(50, 30);
    renderer->FillPolygon(square, Argb(kBlue), PointT<float>(0, 0), PointT<float>(1, 1), true);
    EXPECT_EQ(kBlue, ReadPixel(context, 60, 20));
    EXPECT_FALSE(square.IsChanged()); // the renderer built its path
    // Moved and scaled by half.
    renderer->FillPolygon(square, Argb(kRed), PointT<float>(-20, 20), PointT<float>(0.5f, 0.5f), true);
    EXPECT_EQ(kRed, ReadPixel(context, 10, 30));
    EXPECT_EQ(kBlue, ReadPixel(context, 60, 20));
    EXPECT_EQ(PointT<double>(0, 0), context->mState.mTranslation);

    // Pairs of points are separate segments; an odd last point is ignored.
    KX::PolylineT<float> pairs(1.0f);
    pairs.AddPoint(0, 50);
    pairs.AddPoint(10, 50);
    pairs.AddPoint(20, 50);
    pairs.AddPoint(30, 50);
    pairs.AddPoint(90, 50);
    renderer->DrawLines(pairs, Argb(kRed), PointT<float>(0, 0), PointT<float>(1, 1), false);
    EXPECT_EQ(kRed, ReadPixel(context, 5, 50));
    EXPECT_EQ(kUntouched, ReadPixel(context, 15, 50));
    EXPECT_EQ(kRed, ReadPixel(context, 25, 50));
    EXPECT_EQ(kUntouched, ReadPixel(context, 60, 50));
}

TEST_F(GdiClipTest, AChangedPolylineIsBuiltAgain)
{
    KX::PolylineT<float> shape(1.0f);
    shape.AddPoint(0, 0);
    shape.AddPoint(10, 0);
    shape.AddPoint(10, 10);
    Frame frame(renderer, context);
    renderer->FillPolygon(shape, Argb(kBlue), PointT<float>(0, 0), PointT<float>(1, 1), true);
    shape.SetPoint(0, PointT<float>(60, 40));
    shape.SetPoint(1, PointT<float>(90, 40));
    shape.SetPoint(2, PointT<float>(90, 58));
    renderer->FillPolygon(shape, Argb(kRed), PointT<float>(0, 0), PointT<float>(1, 1), true);
    EXPECT_EQ(kRed, ReadPixel(context, 85, 45));
    EXPECT_EQ(1, renderer->GetPathCache().GetIndex().GetCount());
}

TEST_F(GdiClipTest, NothingDrawsWithoutAFrame)
{
    renderer->FillRect(RectT<long>(0, 0, 100, 60), Argb(kBlue), true);
    renderer->DrawLine(PointT<float>(0, 0), PointT<float>(50, 50), Argb(kBlue), 3.0f);
    EXPECT_EQ(kUntouched, ReadPixel(context, 10, 10));
}

} // namespace

// Frames of the OpenGL renderer: fills read back from the GL front buffer,
// clips as scissor boxes, the replace fill, contexts and their limits,
// nested frames.
#include "GLTestSupport.h"

using namespace GLTest;

namespace {

using GLFrame = GLFixture;

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;

} // namespace

TEST_F(GLFrame, RendererTypeZeroIsOpenGLAndItsContextKnowsItsLimits)
{
    EXPECT_EQ(0, mRenderer->GetRendererType());
    const PointT<long> maxSize = mContext->GetMaxSize();
    EXPECT_GE(maxSize.x, kWidth) << "GL_MAX_VIEWPORT_DIMS, read with the context current";
    EXPECT_GE(maxSize.y, kHeight);
    EXPECT_TRUE(mRenderer->IsDoubleBuffered());
}

TEST_F(GLFrame, AFormatThatCannotSwapByCopyIsReplacedByTheArbChoice)
{
    // Here the first choice is never swap-copy, and wglChoosePixelFormatARB
    // answers formats for the swap-copy request all the same: the renderer
    // takes the ARB one, set on the window, with a context of its own.
    HDC dc = GetDC(mWindow);
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_SWAP_COPY | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    const int first = ChoosePixelFormat(dc, &request);
    PIXELFORMATDESCRIPTOR firstDescriptor = {};
    DescribePixelFormat(dc, first, sizeof(firstDescriptor), &firstDescriptor);
    const int windowFormat = GetPixelFormat(dc);
    ReleaseDC(mWindow, dc);
    ASSERT_EQ(0u, firstDescriptor.dwFlags & PFD_SWAP_COPY) << "the platform this test describes";
    EXPECT_NE(first, mRenderer->GetPixelFormat());
    EXPECT_EQ(windowFormat, mRenderer->GetPixelFormat());
    EXPECT_EQ(0u, mRenderer->GetPixelFormatDescriptor().dwFlags & PFD_GENERIC_FORMAT);
    EXPECT_FALSE(mRenderer->IsSwapCopy()) << "so frames are copied from the back buffer to the front";
    EXPECT_EQ(nullptr, wglGetCurrentContext()) << "no context is left current outside a frame";
}

TEST_F(GLFrame, WithNoClipARedFillReadsBackRed)
{
    {
        Frame frame(mRenderer, mContext);
        Background(0x000000);
        mRenderer->FillRect(RectT<long>(20, 10, 50, 40), Argb(0xFFFF0000), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(20, 10));
    EXPECT_EQ(kRed, image.Rgb(69, 49));
    EXPECT_EQ(0u, image.Rgb(19, 10));
    EXPECT_EQ(0u, image.Rgb(70, 49));
    EXPECT_EQ(0u, image.Rgb(20, 50));
}

TEST_F(GLFrame, APushedClipLetsTheFillThroughOnlyInsideIt)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->PushClip(RectT<double>(10, 20, 100, 80), RectT<double>(30, 15, 40, 25), nullptr, true);
        // In the clip's coordinates: the area's origin (10, 20) is now (0, 0).
        mRenderer->FillRect(RectT<long>(-10, -20, kWidth, kHeight), Argb(0xFFFF0000), true);
        mRenderer->PopState();
        mRenderer->FillRect(RectT<long>(0, 110, 10, 10), Argb(0xFF0000FF), true);
    }
    const Image image = ReadFront();
    Save(image);
    // The clip {30, 15, 40, 25} cut to the area {10, 20, 100, 80}: {30, 20, 40, 20}.
    EXPECT_EQ(InkBounds(image, kWhite), RectT<long>(0, 20, 70, 100)) << "red block and the blue corner only";
    EXPECT_EQ(kRed, image.Rgb(30, 20));
    EXPECT_EQ(kRed, image.Rgb(69, 39));
    EXPECT_EQ(kWhite, image.Rgb(29, 20));
    EXPECT_EQ(kWhite, image.Rgb(70, 39));
    EXPECT_EQ(kWhite, image.Rgb(30, 19));
    EXPECT_EQ(kWhite, image.Rgb(30, 40));
    EXPECT_EQ(kBlue, image.Rgb(5, 115)) << "after PopState the whole window draws again";
}

TEST_F(GLFrame, AClipOutsideTheWindowLetsNothingThrough)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->PushClip(RectT<double>(0, 0, kWidth, kHeight), RectT<double>(-50, -40, 30, 20), nullptr, true);
        mRenderer->FillRect(RectT<long>(-100, -100, 1000, 1000), Argb(0xFFFF0000), true);
        mRenderer->PopState();
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(0, InkBounds(image, kWhite).width);
}

TEST(GLScissorBox, ClipsBecomeBoxesCutToTheViewport)
{
    const RectT<long> viewport(0, 0, 200, 150);
    const struct {
        RectT<double> clip;
        RectT<long> box;
    } cases[] = {
        {RectT<double>(10, 20, 30, 40), RectT<long>(10, 90, 30, 40)},
        {RectT<double>(-5000000136282112.0, -5000000136282112.0, 10000000272564224.0, 10000000272564224.0),
         RectT<long>(0, 0, 200, 150)},
        {RectT<double>(-20, -10, 50, 40), RectT<long>(0, 120, 30, 30)},
        {RectT<double>(190, 140, 50, 50), RectT<long>(190, 0, 10, 10)},
        {RectT<double>(-60, 10, 50, 40), RectT<long>(200, 0, 1, 1)},   // left of the viewport
        {RectT<double>(10, -60, 50, 40), RectT<long>(200, 0, 1, 1)},   // above it
        {RectT<double>(10, 10, 0, 40), RectT<long>(200, 0, 1, 1)},     // empty
        {RectT<double>(10.5, 20.4, 29.5, 10.2), RectT<long>(11, 119, 30, 10)},
    };
    for (const auto& c : cases) {
        const RectT<long> box = KX::LGLRenderer::ComputeScissorBox(c.clip, viewport);
        EXPECT_EQ(c.box, box) << c.clip.x << "," << c.clip.y << " " << c.clip.width << "x" << c.clip.height << " gave "
                              << box.x << "," << box.y << " " << box.width << "x" << box.height;
    }
}

TEST_F(GLFrame, AFillWithoutBlendingClearsToTransparentBlackWhateverTheColour)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->PushClip(RectT<double>(0, 0, kWidth, kHeight), RectT<double>(0, 0, 20, 20), nullptr, true);
        mRenderer->FillRect(RectT<long>(40, 30, 20, 10), Argb(0xFF00FF00), false);
        mRenderer->FillRect(RectT<long>(0, 0, 100, 100), Argb(0xFF0000FF), true); // the clip is back
        mRenderer->PopState();
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(0u, image.At(40, 30) & 0xFFFFFF);
    EXPECT_EQ(0u, image.Rgb(59, 39));
    EXPECT_EQ(kWhite, image.Rgb(60, 39));
    EXPECT_EQ(kBlue, image.Rgb(19, 19));
    EXPECT_EQ(kWhite, image.Rgb(20, 20));
}

TEST_F(GLFrame, ATranslationMovesWhatIsDrawnAndPopStateMovesItBack)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->PushState();
        mRenderer->PushTranslate(PointT<double>(30.4, 40.6));
        mRenderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(0xFFFF0000), true);
        mRenderer->PopState();
        mRenderer->PopState();
        mRenderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(0xFF0000FF), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(30, 41));
    EXPECT_EQ(kRed, image.Rgb(39, 50));
    EXPECT_EQ(kWhite, image.Rgb(29, 41));
    EXPECT_EQ(kBlue, image.Rgb(0, 0));
    EXPECT_EQ(kBlue, image.Rgb(9, 9));
}

TEST_F(GLFrame, TheFrameKeepsThePreviousOneOutsideWhatItRedraws)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillRect(RectT<long>(0, 0, 20, 20), Argb(0xFFFF0000), true);
    }
    {
        Frame frame(mRenderer, mContext);
        mRenderer->FillRect(RectT<long>(100, 100, 20, 20), Argb(0xFF0000FF), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(10, 10)) << "the back buffer still holds the first frame";
    EXPECT_EQ(kBlue, image.Rgb(110, 110));
    EXPECT_EQ(kWhite, image.Rgb(50, 50));
}

TEST_F(GLFrame, AfterANestedFrameTheOuterFrameDrawsOnInItsClip)
{
    RCPtr<KX::LRenderContextInfo> inner;
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 80, 60), SharedWindow(1), false, inner));
    inner->mDirtyRegion.AddRect(0, 0, 80, 60);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->PushClip(RectT<double>(0, 0, kWidth, kHeight), RectT<double>(10, 10, 50, 50), nullptr, true);
        mRenderer->PushState();
        mRenderer->PushTranslate(PointT<double>(5, 5));
        {
            Frame nested(mRenderer, inner);
            mRenderer->FillRect(RectT<long>(0, 0, 80, 60), Argb(0xFF0000FF), true);
        }
        // Back in the outer frame: its context, translation (5, 5) and clip.
        mRenderer->FillRect(RectT<long>(0, 0, 100, 100), Argb(0xFF00FF00), true);
        mRenderer->PopState();
        mRenderer->PopState();
    }
    const Image outer = ReadFront();
    const Image nested = ReadFront(inner);
    Save(outer, "outer");
    Save(nested, "inner");
    EXPECT_EQ(kBlue, nested.Rgb(0, 0)) << "the nested frame is drawn unmoved into its own window";
    EXPECT_EQ(kBlue, nested.Rgb(79, 59));
    EXPECT_EQ(RectT<long>(10, 10, 50, 50), InkBounds(outer, kWhite));
    EXPECT_EQ(kGreen, outer.Rgb(10, 10));
    EXPECT_EQ(kGreen, outer.Rgb(59, 59));
}

TEST_F(GLFrame, LastFramesAreOnlyTakenFromOffscreenGLContexts)
{
    RCPtr<KX::LRenderContextInfo> offscreen;
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 80, 60), SharedWindow(1), true, offscreen));
    RCPtr<KX::LRenderer> gdi;
    KX::LRenderer::Create(gdi, KX::RendererGdiPlus, RectT<long>(0, 0, 10, 10), nullptr);
    RCPtr<KX::LRenderContextInfo> foreign;
    ASSERT_EQ(S_OK, gdi->InitRenderContextInfo(RectT<long>(0, 0, 10, 10), nullptr, true, foreign));
    {
        Frame frame(mRenderer, mContext);
        for (const RCPtr<KX::LRenderContextInfo>& source : {RCPtr<KX::LRenderContextInfo>(), mContext, foreign}) {
            EXPECT_EQ(E_INVALIDARG, mRenderer->CopyFromLastFrame(source, PointT<long>(0, 0), RectT<long>(0, 0, 5, 5)));
            EXPECT_EQ(E_INVALIDARG, mRenderer->DrawLastFrame(source, PointT<long>(0, 0)));
        }
        EXPECT_EQ(E_FAIL, mRenderer->CopyFromLastFrame(offscreen, PointT<long>(0, 0), RectT<long>(0, 0, 5, 5)))
            << "no frame kept yet";
        EXPECT_EQ(S_OK, mRenderer->DrawLastFrame(offscreen, PointT<long>(0, 3)));
        EXPECT_EQ(S_OK, mRenderer->CopyFromLastFrame(offscreen, PointT<long>(0, 0), RectT<long>(0, 0, 5, 5)))
            << "the frame that DrawLastFrame finished is kept";
        EXPECT_EQ(1, mRenderer->GetContextDepth()) << "the off-screen frame is finished again";
        EXPECT_TRUE(offscreen->mSavedStates.empty());
        mRenderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(0xFF00FF00), true);
    }
    EXPECT_EQ(kGreen, ReadFront().Rgb(5, 5)) << "the window's frame goes on after it";
}

TEST_F(GLFrame, AFinishWithAnotherContextThrowsAndTheOpenFrameDrawsOn)
{
    RCPtr<KX::LRenderContextInfo> other;
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 40, 30), mWindow, true, other));
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        EXPECT_THROW(mRenderer->RenderFinish(other), std::runtime_error);
        EXPECT_EQ(1, mRenderer->GetContextDepth());
        mRenderer->PushState();
        mRenderer->PushTranslate(PointT<double>(10, 10));
        mRenderer->FillRect(RectT<long>(0, 0, 20, 20), Argb(0xFFFF0000), true);
        mRenderer->PopState();
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(RectT<long>(10, 10, 20, 20), InkBounds(image, kWhite)) << "drawn, at the frame's translation";
    EXPECT_EQ(kRed, image.Rgb(15, 15));
    EXPECT_EQ(nullptr, wglGetCurrentContext());
}

TEST_F(GLFrame, AClearOutsideASmallerOffscreenContextLeavesTheWindowsPixelsAlone)
{
    // An off-screen context draws into its window's back buffer; a fill that
    // nothing of the context's viewport takes must not reach the window's
    // part beyond it either (just right of the viewport in particular).
    RCPtr<KX::LRenderContextInfo> offscreen;
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 40, 30), mWindow, true, offscreen));
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
    }
    {
        Frame frame(mRenderer, offscreen);
        mRenderer->FillRect(RectT<long>(-50, -50, 10, 10), Argb(0xFF00FF00), false); // left of and above it
        mRenderer->FillRect(RectT<long>(45, 0, 10, 10), Argb(0xFF00FF00), false);    // right of it
    }
    { Frame frame(mRenderer, mContext); } // presents the window's back buffer
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kWhite, image.Rgb(40, kHeight - 1)) << "the pixel right of the context's viewport";
    EXPECT_EQ(0, InkBounds(image, kWhite).width);
}

TEST_F(GLFrame, AWindowContextAsksForACompleteRedrawWhenItsSizeChangedAndOnlyAPartIsDirty)
{
    const struct
    {
        long width;
        long height;
        bool wholeDirty;
        bool asks;
        const char* what;
    } steps[] = {
        {kWidth, kHeight, true, false, "the first frame, whole"},
        {kWidth, kHeight, false, false, "a part at the same size"},
        {120, 90, false, true, "a part at a new size"},
        {120, 90, false, false, "asked once per size"},
        {kWidth, kHeight, true, false, "a new size painted whole"},
        {kWidth, kHeight, false, false, "then a part again"},
    };
    for (const auto& step : steps) {
        mContext->mViewport = RectT<long>(0, 0, step.width, step.height);
        mContext->mDirtyRegion.Clear();
        if (step.wholeDirty)
            mContext->mDirtyRegion.AddRect(0, 0, step.width, step.height);
        else
            mContext->mDirtyRegion.AddRect(10, 10, 30, 30);
        Frame frame(mRenderer, mContext);
        EXPECT_EQ(step.asks, mContext->mCompleteRedraw) << step.what;
    }

    // An off-screen context is never presented and never asks.
    RCPtr<KX::LRenderContextInfo> offscreen;
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 40, 30), mWindow, true, offscreen));
    offscreen->mDirtyRegion.AddRect(0, 0, 5, 5);
    { Frame frame(mRenderer, offscreen); }
    offscreen->mViewport = RectT<long>(0, 0, 30, 20);
    Frame frame(mRenderer, offscreen);
    EXPECT_FALSE(offscreen->mCompleteRedraw);
}

// The base behaviour every renderer shares: the context stack and its error
// texts, the state stack, PushTranslate and PushClip arithmetic, stencils,
// KX::CAutoClip and the renderer factory.
#include "Support/Scenes/RendererTestSupport.h"

#include "Renderer/AutoClip.h"
#include "Renderer/D3D9/D3D9Renderer.h"

#include <gmock/gmock.h>

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;
using ::testing::StrEq;

constexpr double kUnlimitedOrigin = -5000000136282112.0;
constexpr double kUnlimitedSize = 10000000272564224.0;

class RenderStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        renderer = MakeGdiRenderer();
        context = MakeOffscreenContext(renderer, 100, 60);
        renderer->RenderStart(context);
    }
    void TearDown() override
    {
        if (renderer->GetContextDepth() > 0)
            renderer->RenderFinish(context);
    }

    KX::RenderState& State() { return context->mState; }

    KX::RCPtr<KX::LGDIRenderer> renderer;
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

TEST_F(RenderStateTest, AFreshContextHasTheUnlimitedStateAndNoSavedStates)
{
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
    EXPECT_EQ(RectT<double>(kUnlimitedOrigin, kUnlimitedOrigin, kUnlimitedSize, kUnlimitedSize), State().mClip);
    EXPECT_EQ(1.0f, State().mAlpha);
    EXPECT_FALSE(State().mStencil);
    EXPECT_FALSE(State().mStencilSet);
    EXPECT_TRUE(context->mSavedStates.empty());
    EXPECT_EQ(context.Get(), renderer->GetCurrentContext().Get());
}

TEST_F(RenderStateTest, PushTranslateRoundsHalfAwayAndPopStateRestoresEverything)
{
    KX::RCPtr<KX::LStencil> stencil;
    KX::LStencil::Create(stencil, PointT<long>(8, 4));
    State().mAlpha = 0.25f;
    renderer->SetStencil(stencil);
    renderer->PushState();
    State().mAlpha = 0.5f;
    renderer->PushTranslate(PointT<double>(2.5, -2.5));
    EXPECT_EQ(PointT<double>(3, -3), State().mTranslation);
    EXPECT_EQ(kUnlimitedOrigin - 3, State().mClip.x);
    EXPECT_EQ(kUnlimitedOrigin + 3, State().mClip.y);
    renderer->SetStencil(nullptr);

    renderer->PopState();
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
    EXPECT_EQ(0.5f, State().mAlpha);
    renderer->PopState();
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
    EXPECT_EQ(RectT<double>(kUnlimitedOrigin, kUnlimitedOrigin, kUnlimitedSize, kUnlimitedSize), State().mClip);
    EXPECT_EQ(0.25f, State().mAlpha);
    EXPECT_EQ(stencil.Get(), State().mStencil.Get());
    EXPECT_TRUE(context->mSavedStates.empty());
}

TEST_F(RenderStateTest, PushTranslateWithoutASavedStateChangesNothing)
{
    renderer->PushTranslate(PointT<double>(7, 7));
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
    EXPECT_TRUE(context->mSavedStates.empty());
    renderer->PopState();
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
}

TEST_F(RenderStateTest, RelativePushClipCutsTheClipToTheAreaAndTranslatesToIt)
{
    renderer->PushClip(RectT<double>(20, 30, 100, 100), RectT<double>(0, 0, 50, 50), nullptr, true);
    EXPECT_EQ(PointT<double>(20, 30), State().mTranslation);
    EXPECT_EQ(RectT<double>(0, 0, 30, 20), State().mClip);
    renderer->PopState();
    EXPECT_EQ(PointT<double>(0, 0), State().mTranslation);
    EXPECT_EQ(RectT<double>(kUnlimitedOrigin, kUnlimitedOrigin, kUnlimitedSize, kUnlimitedSize), State().mClip);
}

TEST_F(RenderStateTest, AbsolutePushClipTakesTheClipAsGivenAndTheAreaFromTheTargetOrigin)
{
    renderer->PushClip(RectT<double>(20, 30, 100, 100), RectT<double>(0, 0, 50, 50), nullptr, true);
    renderer->PushClip(RectT<double>(25, 35, 10, 10), RectT<double>(1.5, 2.25, 7.5, 3.5), nullptr, false);
    // Translated by (25, 35) - (20, 30) more, to (25, 35) in all; the clip is
    // snapped and stays in the coordinates it was given in.
    EXPECT_EQ(PointT<double>(25, 35), State().mTranslation);
    EXPECT_EQ(RectT<double>(1, 2, 8, 3), State().mClip);
    renderer->PopState();
    EXPECT_EQ(PointT<double>(20, 30), State().mTranslation);
    EXPECT_EQ(RectT<double>(0, 0, 30, 20), State().mClip);
    renderer->PopState();
}

TEST_F(RenderStateTest, ClipsThatDoNotOverlapLeaveAnEmptyClip)
{
    renderer->PushClip(RectT<double>(50, 10, 20, 20), RectT<double>(0, 0, 10, 10), nullptr, true);
    EXPECT_EQ(0.0, State().mClip.width);
    EXPECT_EQ(0.0, State().mClip.height);
    renderer->PopState();
}

TEST_F(RenderStateTest, ASecondStencilPushInstallsACloneOfTheSameSize)
{
    KX::RCPtr<KX::LStencil> first;
    KX::RCPtr<KX::LStencil> second;
    KX::LStencil::Create(first, PointT<long>(10, 20));
    KX::LStencil::Create(second, PointT<long>(30, 40));
    renderer->PushClip(RectT<double>(0, 0, 50, 50), RectT<double>(0, 0, 50, 50), first, true);
    EXPECT_EQ(first.Get(), State().mStencil.Get());
    EXPECT_TRUE(State().mStencilSet);
    renderer->PushClip(RectT<double>(0, 0, 50, 50), RectT<double>(0, 0, 50, 50), second, true);
    ASSERT_TRUE(State().mStencil);
    EXPECT_NE(second.Get(), State().mStencil.Get());
    EXPECT_EQ(30, State().mStencil->mWidth);
    EXPECT_EQ(40, State().mStencil->mHeight);
    EXPECT_EQ(RectT<long>(0, 0, 30, 40), State().mStencil->mRect);
    renderer->PopState();
    EXPECT_EQ(first.Get(), State().mStencil.Get());
    renderer->PopState();
    EXPECT_FALSE(State().mStencil);
    EXPECT_FALSE(State().mStencilSet);
}

TEST_F(RenderStateTest, TheContextStackRefusesMisuseWithItsExactTexts)
{
    EXPECT_THAT(ErrorText([&] { renderer->RenderStart(nullptr); }),
                StrEq("Runtime Error : Render context is NULL : KX::LRenderer::RenderStart : "
                      "KXFramework\\Renderer\\Renderer : Line 231"));
    EXPECT_THAT(ErrorText([&] { renderer->RenderStart(context); }),
                StrEq("Runtime Error : Render context reentered. : KX::LRenderer::RenderStart : "
                      "KXFramework\\Renderer\\Renderer : Line 237"));
    EXPECT_EQ(1, renderer->GetContextDepth());

    // Nesting works; the outer context cannot finish first.
    KX::RCPtr<KX::LRenderContextInfo> inner = MakeOffscreenContext(renderer, 10, 10);
    renderer->RenderStart(inner);
    EXPECT_EQ(inner.Get(), renderer->GetCurrentContext().Get());
    const std::string mismatch = "Runtime Error : RenderFinish context does not match RenderStart context : "
                                 "KX::LRenderer::RenderFinish : KXFramework\\Renderer\\Renderer : Line 250";
    EXPECT_THAT(ErrorText([&] { renderer->RenderFinish(context); }), StrEq(mismatch));
    EXPECT_EQ(2, renderer->GetContextDepth());
    renderer->RenderFinish(inner);
    renderer->RenderFinish(context);
    EXPECT_EQ(0, renderer->GetContextDepth());
    EXPECT_THAT(ErrorText([&] { renderer->RenderFinish(context); }), StrEq(mismatch));
}

TEST_F(RenderStateTest, AutoClipPushesEachFlavorAndRefusesAnUnknownOne)
{
    KX::RCPtr<KX::LRenderer> base = renderer;
    KX::CAutoClip::Spec spec;
    spec.mFlavor = KX::CAutoClip::Spec::FlavorTranslate;
    spec.mOffset = PointT<double>(4.4, 5.5);
    {
        KX::CAutoClip outer(base);
        {
            KX::CAutoClip translated(base, spec);
            EXPECT_EQ(PointT<double>(4, 6), State().mTranslation);
            spec.mFlavor = KX::CAutoClip::Spec::FlavorClip;
            spec.mArea = RectT<double>(1, 1, 5, 5);
            spec.mClipRect = RectT<double>(0, 0, 100, 100);
            KX::CAutoClip clipped(base, spec);
            EXPECT_EQ(PointT<double>(5, 7), State().mTranslation);
            EXPECT_EQ(3u, context->mSavedStates.size());
        }
        EXPECT_EQ(1u, context->mSavedStates.size());
    }
    EXPECT_TRUE(context->mSavedStates.empty());

    spec.mFlavor = 3;
    EXPECT_THAT(ErrorText([&] { KX::CAutoClip unknown(base, spec); }),
                StrEq("Runtime Error : Unknown PushClip flavor : KX::CAutoClip::CAutoClip : "
                      "KXFramework\\Renderer\\Renderer : Line 404"));
    EXPECT_TRUE(context->mSavedStates.empty());
}

TEST_F(RenderStateTest, ViewportAndStencilGoToTheTopContext)
{
    renderer->SetViewport(RectT<long>(1, 2, 3, 4));
    EXPECT_EQ(RectT<long>(1, 2, 3, 4), context->mViewport);
    EXPECT_EQ((PointT<long>(4096, 4096)), context->GetMaxSize());
}

// The type numbers are fixed: callers pass them as plain numbers.
static_assert(KX::RendererOpenGL == 0 && KX::RendererGdiPlus == 1 && KX::RendererDirect3D9 == 2);

TEST(RendererFactory, MakesTheRendererOfEachTypeAndRefusesOthers)
{
    KX::RCPtr<KX::LRenderer> renderer;
    EXPECT_EQ(KX::RendererGdiPlus,
              KX::LRenderer::Create(renderer, KX::RendererGdiPlus, RectT<long>(), nullptr)->GetRendererType());
    EXPECT_TRUE(KX::RCPtr<KX::LGDIRenderer>::DynamicCast(renderer));
    EXPECT_EQ(KX::RendererDirect3D9,
              KX::LRenderer::Create(renderer, KX::RendererDirect3D9, RectT<long>(), nullptr)->GetRendererType());
    EXPECT_THAT(ErrorText([&] { KX::LRenderer::Create(renderer, 3, RectT<long>(), nullptr); }),
                StrEq("Domain Error : KX::LRenderer::Create : Renderer\\Renderer : Line 116"));
}

TEST(GeometryForRenderers, SnapToPixelGridFloorsTheEdges)
{
    struct Case
    {
        RectT<double> in;
        RectT<double> out;
    };
    const Case cases[] = {
        {{1.5, 2.25, 7.5, 3.5}, {1, 2, 8, 3}},
        {{10, 10, -4.5, -2}, {5, 8, 5, 2}},                // negative sizes move the origin
        {{3.0000000000000004, 0, 2, 2}, {3, 0, 2, 2}},     // within 2^-52 of an integer
        {{-0.5, -0.5, 1, 1}, {-1, -1, 1, 1}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        RectT<double> snapped = c.in;
        snapped.SnapToPixelGrid();
        EXPECT_EQ(c.out, snapped) << c.in.x << "," << c.in.y << "," << c.in.width << "," << c.in.height;
    }
}

TEST(GeometryForRenderers, UnionIsTheBoundingBoxAndTellsWhetherItHasArea)
{
    RectT<float> bounds(0, 0, 0, 0);
    EXPECT_FALSE(bounds.Union(RectT<float>(0, 0, 0, 5)));
    EXPECT_TRUE(bounds.Union(RectT<float>(2, -3, 4, 1)));
    EXPECT_EQ(RectT<float>(0, -3, 6, 8), bounds);
}

TEST(GeometryForRenderers, HandlesArePointerSizedAddresses)
{
    KX::PolylineT<float> line;
    KX::ColorRectListT<float> rects;
    EXPECT_EQ(reinterpret_cast<intptr_t>(&line), KX::PolylineT<float>::GetHandle(line));
    EXPECT_EQ(reinterpret_cast<intptr_t>(&rects), KX::ColorRectListT<float>::GetHandle(rects));
    static_assert(sizeof(KX::PolylineT<float>::GetHandle(line)) == sizeof(void*), "pointer-sized");
}

} // namespace

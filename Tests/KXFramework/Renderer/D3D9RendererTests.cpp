// The Direct3D 9 renderer (type 2): a whole frame runs without an error and
// changes nothing.
#include "Support/Scenes/RendererTestSupport.h"

#include "Renderer/AutoClip.h"
#include "Renderer/D3D9/D3D9Renderer.h"

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;

TEST(D3D9Renderer, AWholeFrameRunsAndDrawsNothing)
{
    KX::RCPtr<KX::LRenderer> renderer;
    KX::LRenderer::Create(renderer, KX::RendererDirect3D9, RectT<long>(0, 0, 50, 50), nullptr);
    ASSERT_TRUE(renderer);
    EXPECT_EQ(KX::RendererDirect3D9, renderer->GetRendererType());
    KX::RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 50, 50), nullptr, true, context));
    EXPECT_EQ((PointT<long>(0, 0)), context->GetMaxSize());

    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(4, 4);
    KX::RCPtr<KX::LFont> font;
    KX::LFont::Create(font, L"Tahoma", 10.0f, 0);
    KX::PolylineT<float> line;
    line.AddPoint(0, 0);
    line.AddPoint(5, 5);
    KX::ColorRectListT<float> rects;
    rects.AddRect(RectT<float>(0, 0, 3, 3), 0xFFFF0000);

    EXPECT_EQ(S_OK, renderer->RenderStart(context));
    EXPECT_EQ(0, renderer->GetContextDepth()); // nothing is pushed
    {
        KX::CAutoClip clip(renderer, RectT<double>(5, 5, 10, 10), RectT<double>(0, 0, 20, 20), nullptr);
        renderer->PushState();
        renderer->PushTranslate(PointT<double>(3, 3));
        renderer->DrawText(L"Hg", font, PointT<long>(1, 1), Argb(0xFF000000));
        renderer->DrawRect(RectT<long>(0, 0, 10, 10), Argb(0xFF000000), 1.0f);
        renderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(0xFF000000), false);
        renderer->FillAndFrameRect(RectT<long>(0, 0, 10, 10), Argb(0xFF000000), Argb(0xFF000000), 1.0f);
        renderer->FillColorRects(rects, PointT<double>(1, 1), true);
        renderer->DrawLine(PointT<float>(0, 0), PointT<float>(9, 9), Argb(0xFF000000), 1.0f);
        renderer->DrawLines(line, Argb(0xFF000000), PointT<float>(), PointT<float>(1, 1), true);
        renderer->DrawPolyline(line, Argb(0xFF000000), PointT<float>(), PointT<float>(1, 1), true);
        renderer->DrawPolygon(line, Argb(0xFF000000), PointT<float>(), PointT<float>(1, 1), true);
        renderer->FillPolygon(line, Argb(0xFF000000), PointT<float>(), PointT<float>(1, 1), true);
        renderer->DrawBitmap(bitmap, RectT<long>(0, 0, 9, 9), static_cast<KX::ResizeType>(9));
        renderer->SetClipRect(RectT<double>(0, 0, 1, 1));
        renderer->PopState();
        renderer->PopState();
    }
    EXPECT_EQ(E_NOTIMPL, renderer->CopyFromLastFrame(context, PointT<long>(), RectT<long>(0, 0, 5, 5)));
    EXPECT_EQ(E_NOTIMPL, renderer->DrawLastFrame(context, PointT<long>()));
    EXPECT_EQ(S_OK, renderer->RenderFinish(context));

    // The context's state never changed; measuring answers nothing.
    EXPECT_EQ(PointT<double>(0, 0), context->mState.mTranslation);
    EXPECT_EQ(KX::RenderState::UnlimitedClip(), context->mState.mClip);
    EXPECT_TRUE(context->mSavedStates.empty());
    int32_t height = -7;
    int32_t ascent = -7;
    int32_t descent = -7;
    EXPECT_EQ(S_OK, renderer->GetFontMetrics(font, height, ascent, descent));
    EXPECT_EQ(-7, height);
    EXPECT_EQ(-7, ascent);
    EXPECT_EQ(-7, descent);
    EXPECT_EQ(RectT<float>(), renderer->MeasureText(L"Hg", font));
}

} // namespace

#include "RendererTestSupport.h"

#include "Utilities/Graphics/GdiplusFlat.h"

#include <vector>

namespace RendererTest {

using namespace KX::Gdip;

namespace {

// GDI+ for the whole test program.
class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        GdiplusStartupInput input;
        ASSERT_EQ(Ok, GdiplusStartup(&mToken, &input, nullptr));
    }
    void TearDown() override
    {
        KX::LFont::ReleaseRegistry();
        GdiplusShutdown(mToken);
    }

private:
    ULONG_PTR mToken = 0;
};

[[maybe_unused]] const ::testing::Environment* const sGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment());

} // namespace

KX::RCPtr<KX::LGDIRenderer> MakeGdiRenderer()
{
    KX::RCPtr<KX::LRenderer> renderer;
    KX::LRenderer::Create(renderer, 1, KX::RectT<long>(0, 0, 100, 100), nullptr);
    return KX::RCPtr<KX::LGDIRenderer>::DynamicCast(renderer);
}

KX::RCPtr<KX::LRenderContextInfo> MakeOffscreenContext(const KX::RCPtr<KX::LRenderer>& renderer, long width,
                                                      long height)
{
    KX::RCPtr<KX::LRenderContextInfo> context;
    EXPECT_EQ(S_OK, renderer->InitRenderContextInfo(KX::RectT<long>(0, 0, width, height), nullptr, true, context));
    return context;
}

uint32_t ReadImagePixel(Gdiplus::GpBitmap* image, long x, long y)
{
    ARGB argb = 0;
    EXPECT_EQ(Ok, GdipBitmapGetPixel(image, x, y, &argb)) << "pixel " << x << "," << y;
    return argb;
}

uint32_t ReadPixel(const KX::RCPtr<KX::LRenderContextInfo>& context, long x, long y)
{
    auto gdiContext = KX::RCPtr<KX::LGDIRenderContextInfo>::DynamicCast(context);
    if (!gdiContext || !gdiContext->mSurface) {
        ADD_FAILURE() << "not a GDI+ context";
        return 0;
    }
    GdipFlush(gdiContext->mSurface->GetGraphics(), FlushIntentionSync);
    return ReadImagePixel(gdiContext->mSurface->GetBitmap(), x, y);
}

KX::RCPtr<KX::LBitmap> MakePatternBitmap(long width, long height)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::CreateFilledBitmap(bitmap, KX::PointT<long>(width, height), Argb(0));
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x)
            WriteImagePixel(bitmap, x, y, PatternPixel(x, y));
    }
    return bitmap;
}

void WriteImagePixel(const KX::RCPtr<KX::LBitmap>& bitmap, long x, long y, uint32_t argb)
{
    ASSERT_EQ(Ok, GdipBitmapSetPixel(bitmap->GetImage(), x, y, argb));
}

void SaveImage(Gdiplus::GpBitmap* image, const std::string& name)
{
    if (!image)
        return;
    EXPECT_TRUE(TestScreen::SavePng(image, TestScreen::ScreenshotPath(name))) << name;
}

void SaveScreenshot(const KX::RCPtr<KX::LRenderContextInfo>& context, const std::string& name)
{
    auto gdiContext = KX::RCPtr<KX::LGDIRenderContextInfo>::DynamicCast(context);
    if (!gdiContext || !gdiContext->mSurface)
        return;
    GdipFlush(gdiContext->mSurface->GetGraphics(), FlushIntentionSync);
    SaveImage(gdiContext->mSurface->GetBitmap(), name);
}

} // namespace RendererTest

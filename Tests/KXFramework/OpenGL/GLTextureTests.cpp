// Textures from bitmaps and pixels (power-of-two sizes, rescaling, the
// driver's fit), bitmaps drawn stretched, tiled and centred, and display
// list blocks.
#include "GLTestSupport.h"

#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/GdiplusFlat.h"

using namespace GLTest;
using KX::LGLTexture;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

class GLTexture : public GLFixture
{
protected:
    // A frame whose GL context stays current for direct texture work.
    void Begin()
    {
        mRenderer->RenderStart(mContext);
        Background(kWhite);
    }
    Image End()
    {
        mRenderer->RenderFinish(mContext);
        const Image image = ReadFront();
        Save(image);
        return image;
    }

    // BGRA pixels of the size: the left half red, the right half blue.
    static std::vector<uint32_t> HalfAndHalf(int width, int height)
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] = x < width / 2 ? 0xFFFF0000u : 0xFF0000FFu;
        return pixels;
    }

    static RCPtr<KX::LBitmap> FilledBitmap(long width, long height, uint32_t argb)
    {
        RCPtr<KX::LBitmap> bitmap;
        KX::LBitmap::CreateFilledBitmap(bitmap, PointT<long>(width, height), Argb(argb));
        return bitmap;
    }
};

LGLTexture::Edges Edges(float left, float top, float right, float bottom)
{
    LGLTexture::Edges edges;
    edges.mLeft = left;
    edges.mTop = top;
    edges.mRight = right;
    edges.mBottom = bottom;
    return edges;
}

} // namespace

TEST(GLTextureSize, TheSmallestPowerOfTwoNotBelowUpTo16384)
{
    const int32_t cases[][2] = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {30, 32}, {100, 128}, {512, 512},
                                {513, 1024}, {16384, 16384}, {16385, 16384}, {20000, 16384}};
    for (const auto& c : cases)
        EXPECT_EQ(c[1], LGLTexture::GetTextureSize(c[0])) << c[0];
}

TEST_F(GLTexture, ABitmapIsUploadedPixelForPixel)
{
    RCPtr<KX::LBitmap> bitmap = FilledBitmap(2, 2, 0xFFFF0000);
    ASSERT_EQ(KX::Gdip::Ok, KX::Gdip::GdipBitmapSetPixel(bitmap->GetImage(), 1, 0, 0xFF00FF00));
    ASSERT_EQ(KX::Gdip::Ok, KX::Gdip::GdipBitmapSetPixel(bitmap->GetImage(), 0, 1, 0xFF0000FF));
    ASSERT_EQ(KX::Gdip::Ok, KX::Gdip::GdipBitmapSetPixel(bitmap->GetImage(), 1, 1, 0xFF000000));
    Begin();
    RCPtr<LGLTexture> texture;
    ASSERT_EQ(S_OK, LGLTexture::CreateFromBitmap(texture, bitmap));
    EXPECT_EQ(2, texture->GetTextureWidth());
    EXPECT_EQ(bitmap.Get(), texture->GetBitmap().Get());
    mRenderer->DrawBitmap(bitmap, RectT<long>(10, 10, 2, 2), KX::ResizeStretch);
    const Image image = End();
    EXPECT_EQ(kRed, image.Rgb(10, 10));
    EXPECT_EQ(0x00FF00u, image.Rgb(11, 10));
    EXPECT_EQ(kBlue, image.Rgb(10, 11));
    EXPECT_EQ(0u, image.Rgb(11, 11));
}

TEST_F(GLTexture, AnImageSitsAtTheTexturesOriginUnlessRepeatWantsItRescaled)
{
    std::vector<uint32_t> pixels = HalfAndHalf(100, 30);
    Begin();
    RCPtr<LGLTexture> placed = LGLTexture::Create();
    KX::LGLTextureImage image(GL_BGRA, GL_UNSIGNED_BYTE, pixels.data(), 100, 30, 400, 4);
    placed->Upload(image, GL_RGBA8, 0, 1.0f);
    EXPECT_EQ(128, placed->GetTextureWidth());
    EXPECT_EQ(32, placed->GetTextureHeight());
    EXPECT_EQ(100.0f, placed->GetImageWidth()) << "only its part of the texture is mapped";

    RCPtr<LGLTexture> repeated = LGLTexture::Create();
    KX::LGLTextureImage again(GL_BGRA, GL_UNSIGNED_BYTE, pixels.data(), 100, 30, 400, 4);
    repeated->Upload(again, GL_RGBA8, LGLTexture::kRepeat | LGLTexture::kNearest, 1.0f);
    EXPECT_EQ(128.0f, repeated->GetImageWidth()) << "rescaled to the texture's size";
    EXPECT_EQ(32.0f, repeated->GetImageHeight());
    EXPECT_EQ(100.0f, repeated->GetScaledWidth());

    // Both draw the whole image: red on the left half, blue on the right.
    placed->Draw(Edges(0, 0, 100, 30), Edges(10, 10, 110, 40));
    repeated->Draw(Edges(0, 0, 100, 30), Edges(10, 60, 110, 90));
    const Image drawn = End();
    for (int y : {25, 75}) {
        EXPECT_EQ(kRed, drawn.Rgb(12, y));
        EXPECT_EQ(kRed, drawn.Rgb(55, y));
        EXPECT_EQ(kBlue, drawn.Rgb(65, y)) << "row " << y;
        EXPECT_EQ(kBlue, drawn.Rgb(107, y));
        EXPECT_EQ(kWhite, drawn.Rgb(111, y));
    }
}

TEST_F(GLTexture, AnImageWiderThanTheLargestTextureIsScaledIntoIt)
{
    std::vector<uint32_t> pixels = HalfAndHalf(16400, 2);
    Begin();
    RCPtr<LGLTexture> texture = LGLTexture::Create();
    KX::LGLTextureImage image(GL_BGRA, GL_UNSIGNED_BYTE, pixels.data(), 16400, 2, 16400 * 4, 4);
    texture->Upload(image, GL_RGBA8, 0, 1.0f);
    EXPECT_EQ(16384, texture->GetTextureWidth());
    texture->Draw(Edges(0, 0, 16400, 2), Edges(0, 50, 100, 70));
    const Image drawn = End();
    EXPECT_EQ(kRed, drawn.Rgb(20, 60));
    EXPECT_EQ(kBlue, drawn.Rgb(80, 60)) << "the whole image, not its first 16384 columns unscaled";
}

TEST_F(GLTexture, ASizeTheDriverRefusesIsHalvedUntilItFits)
{
    Begin();
    int32_t width = 32768;
    int32_t height = 32768;
    const int32_t factor = LGLTexture::FitTextureSize(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, width, height);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    End();
    EXPECT_GE(factor, 2);
    EXPECT_EQ(32768 / factor, width);
    EXPECT_LE(width, maxSize);
    int32_t small = 64;
    int32_t smallHeight = 16;
    mRenderer->RenderStart(mContext);
    EXPECT_EQ(1, LGLTexture::FitTextureSize(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, small, smallHeight));
    mRenderer->RenderFinish(mContext);
    EXPECT_EQ(64, small);
}

TEST_F(GLTexture, TilesStartInsideTheDestinationAndMayReachPastIt)
{
    const RCPtr<KX::LBitmap> tile = FilledBitmap(10, 10, 0xFF0000FF);
    Begin();
    mRenderer->DrawBitmap(tile, RectT<long>(20, 20, 25, 25), KX::ResizeTile);
    const Image image = End();
    EXPECT_EQ(RectT<long>(20, 20, 30, 30), InkBounds(image, kWhite)) << "nine tiles, the last ending at 30";
}

TEST_F(GLTexture, StretchAndCenter)
{
    const RCPtr<KX::LBitmap> bitmap = FilledBitmap(40, 20, 0xFFFF0000);
    Begin();
    mRenderer->DrawBitmap(bitmap, RectT<long>(5, 5, 80, 10), KX::ResizeStretch);
    mRenderer->DrawBitmap(bitmap, RectT<long>(100, 80, 30, 10), KX::ResizeCenter);
    const Image image = End();
    EXPECT_EQ(kRed, image.Rgb(5, 5));
    EXPECT_EQ(kRed, image.Rgb(84, 14));
    EXPECT_EQ(kWhite, image.Rgb(85, 14));
    EXPECT_EQ(kWhite, image.Rgb(5, 15));
    // Centred: (100 + (30 - 40) / 2, 80 + (10 - 20) / 2) = (95, 75), its own size.
    EXPECT_EQ(RectT<long>(95, 75, 40, 20), [&] {
        Image part = image;
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x)
                if (y < 30)
                    part.pixels[static_cast<size_t>(y) * part.width + x] = kWhite;
        return InkBounds(part, kWhite);
    }());
}

TEST_F(GLTexture, BadBitmapArgumentsThrowTheRenderersErrors)
{
    const RCPtr<KX::LBitmap> bitmap = FilledBitmap(8, 8, 0xFFFF0000);
    Begin();
    try {
        mRenderer->DrawBitmap(RCPtr<KX::LBitmap>(), RectT<long>(0, 0, 8, 8), KX::ResizeStretch);
        ADD_FAILURE() << "a null bitmap";
    } catch (const KX::FailedResultException& error) {
        EXPECT_STREQ("Failed Result : KXRESULT = 80070057 : KX::LGLRenderer::DrawBitmap : "
                     "Renderer\\OpenGL\\GLRenderer : Line 1102",
                     error.what());
    }
    try {
        mRenderer->DrawBitmap(bitmap, RectT<long>(0, 0, 9, 8), static_cast<KX::ResizeType>(3));
        ADD_FAILURE() << "an unknown resize type";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : Invalid ResizeType passed to DrawBitmap! : KX::LGLRenderer::DrawBitmap : "
                     "Renderer\\OpenGL\\GLRenderer : Line 1152",
                     error.what());
    }
    // The same size: any type draws a plain copy.
    mRenderer->DrawBitmap(bitmap, RectT<long>(0, 0, 8, 8), static_cast<KX::ResizeType>(3));
    const Image image = End();
    EXPECT_EQ(kRed, image.Rgb(7, 7));
}

TEST_F(GLTexture, DisplayListBlocks)
{
    RCPtr<KX::LGLDisplayList> none;
    RCPtr<KX::LGLDisplayList> noneAgain;
    KX::LGLDisplayList::Create(none, 0);
    KX::LGLDisplayList::Create(noneAgain, 0);
    EXPECT_EQ(none.Get(), noneAgain.Get()) << "one shared null block";

    Begin();
    EXPECT_EQ(E_FAIL, none->BeginCompile(0));
    EXPECT_EQ(E_FAIL, none->Call(0, 0));
    RCPtr<KX::LGLDisplayList> block;
    KX::LGLDisplayList::Create(block, 1);
    EXPECT_EQ(E_FAIL, block->Call(0, 1)) << "nothing generated yet";
    EXPECT_EQ(E_FAIL, block->EndCompile());
    ASSERT_EQ(S_OK, block->BeginCompile(0));
    mRenderer->FillRect(RectT<long>(30, 30, 20, 20), Argb(0xFFFF0000), true);
    EXPECT_EQ(S_OK, block->EndCompile());
    EXPECT_EQ(E_INVALIDARG, block->Call(0, 2));
    EXPECT_EQ(S_OK, block->Call(0, 1));
    const Image image = End();
    EXPECT_EQ(RectT<long>(30, 30, 20, 20), InkBounds(image, kWhite)) << "compiled, not drawn, then replayed once";
}

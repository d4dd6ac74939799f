// Visual parts: drawing a solid or bitmap part, the colour under a point at
// any drawn size, the errors of parts that cannot draw, and the descriptor's
// cache that lives exactly as long as some holder of the part.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LVisualPart;
using KX::PointT;
using KX::RectT;

namespace {

constexpr uint32_t kRed = 0xFFC03020;

RCPtr<KX::LColorizer> Solid(uint32_t argb)
{
    RCPtr<KX::LColorizer> colorizer = KX::LColorizer::Create();
    colorizer->mColor = KX::ColorT<float>::FromARGB(argb);
    return colorizer;
}

RCPtr<LVisualPart> SolidPart(uint32_t argb, long width, long height, KX::ResizeType type = KX::ResizeStretch,
                             float alphaModifier = 1.0f)
{
    return RCPtr<LVisualPart>(new LVisualPart(String(L"solid"), RCPtr<KX::LBitmap>(), type, Solid(argb),
                                              PointT<long>(width, height), alphaModifier, RCPtr<KX::LBitmap>()));
}

RCPtr<LVisualPart> BitmapPart(const RCPtr<KX::LBitmap>& bitmap, KX::ResizeType type)
{
    return RCPtr<LVisualPart>(new LVisualPart(String(L"image"), bitmap, type, RCPtr<KX::LColorizer>(),
                                              PointT<long>(), 1.0f, RCPtr<KX::LBitmap>()));
}

// The pixel of a wide test bitmap: column and row in green and blue.
uint32_t WidePixel(long x, long y)
{
    return 0xFF000000u | (static_cast<uint32_t>(x) << 8) | static_cast<uint32_t>(y);
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no exception";
}

} // namespace

class VisualPartTest : public SkinTest
{
protected:
    // Draws the part at the size into a new 16 x 16 surface.
    void Draw(const RCPtr<LVisualPart>& part, float width, float height)
    {
        surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 16, 16);
        RendererTest::Frame frame(RCPtr<KX::LRenderer>(renderer.Get()), surface);
        part->Draw(RCPtr<KX::LRenderer>(renderer.Get()), PointT<float>(width, height));
    }
};

TEST_F(VisualPartTest, ASolidPartFillsOrCentresItsColour)
{
    Draw(SolidPart(kRed, 8, 7, KX::ResizeCenter), 16, 16);
    EXPECT_EQ(kRed, Pixel(4, 4));
    EXPECT_EQ(kRed, Pixel(11, 10));
    EXPECT_EQ(0u, Pixel(3, 4));
    EXPECT_EQ(0u, Pixel(12, 4));
    EXPECT_EQ(0u, Pixel(4, 11));
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName());

    Draw(SolidPart(kRed, 8, 8), 10.4f, 5.6f);
    EXPECT_EQ(kRed, Pixel(9, 5));
    EXPECT_EQ(0u, Pixel(10, 0));
    EXPECT_EQ(0u, Pixel(0, 6));

    // An alpha modifier of 0 draws nothing and reads transparent.
    const RCPtr<LVisualPart> invisible = SolidPart(kRed, 8, 8, KX::ResizeStretch, 0.0f);
    Draw(invisible, 16, 16);
    EXPECT_EQ(0u, Pixel(8, 8));
    EXPECT_EQ(0u, invisible->GetColorAtPoint(PointT<long>(1, 1)) >> 24);
    const RCPtr<LVisualPart> half = SolidPart(kRed, 8, 8, KX::ResizeStretch, 0.5f);
    EXPECT_EQ(0x80C03020u, half->GetColorAtPoint(PointT<long>(1, 1)));
}

TEST_F(VisualPartTest, TheColourUnderAPointFollowsTheDrawnSize)
{
    RCPtr<KX::LBitmap> pattern = RendererTest::MakePatternBitmap(64, 64);
    const RCPtr<LVisualPart> tiled = BitmapPart(pattern, KX::ResizeTile);
    EXPECT_EQ(64, tiled->GetWidth());
    // At its own size the point is rounded; outside it is transparent white.
    EXPECT_EQ(RendererTest::PatternPixel(10, 4), tiled->GetColorAtPoint(PointT<float>(10.4f, 3.6f),
                                                                        PointT<float>(64, 64)));
    EXPECT_EQ(LVisualPart::kTransparent, tiled->GetColorAtPoint(PointT<long>(64, 0)));
    // Tiled at 200 x 30: (130, 10) is the tile's (2, 10).
    EXPECT_EQ(RendererTest::PatternPixel(2, 10), tiled->GetColorAtPoint(PointT<float>(130, 10), PointT<float>(200, 30)));
    EXPECT_EQ(LVisualPart::kTransparent, tiled->GetColorAtPoint(PointT<float>(200, 10), PointT<float>(200, 30)));
    // Centred: the middle of a larger area is the part.
    const RCPtr<LVisualPart> centred = BitmapPart(pattern, KX::ResizeCenter);
    EXPECT_EQ(RendererTest::PatternPixel(5, 7), centred->GetColorAtPoint(PointT<float>(23, 25), PointT<float>(100, 100)));
    EXPECT_EQ(LVisualPart::kTransparent, centred->GetColorAtPoint(PointT<float>(5, 5), PointT<float>(100, 100)));
    // Stretched larger: scaled back to the part.
    const RCPtr<LVisualPart> stretched = BitmapPart(pattern, KX::ResizeStretch);
    EXPECT_EQ(RendererTest::PatternPixel(5, 16), stretched->GetColorAtPoint(PointT<float>(10, 32), PointT<float>(128, 128)));

    // A 140 x 30 part whose even columns are transparent, drawn at 70 x 30:
    // each screen pixel covers two columns; the first opaque one wins.
    RCPtr<KX::LBitmap> wide;
    KX::LBitmap::CreateFilledBitmap(wide, PointT<long>(140, 30), RendererTest::Argb(0));
    for (long y = 0; y < 30; ++y)
        for (long x = 1; x < 140; x += 2)
            RendererTest::WriteImagePixel(wide, x, y, WidePixel(x, y));
    const RCPtr<LVisualPart> reduced = BitmapPart(wide, KX::ResizeStretch);
    EXPECT_EQ(WidePixel(11, 3), reduced->GetColorAtPoint(PointT<float>(5, 3), PointT<float>(70, 30)));
    EXPECT_EQ(WidePixel(1, 0), reduced->GetColorAtPoint(PointT<float>(0, 0), PointT<float>(70, 30)));
    EXPECT_EQ(LVisualPart::kTransparent, reduced->GetColorAtPoint(PointT<float>(70, 0), PointT<float>(70, 30)));
}

TEST_F(VisualPartTest, APartWithoutAreaIsTransparentAtAnySize)
{
    // Tiling or stretching a part of no width would divide by zero.
    for (const KX::ResizeType type : {KX::ResizeStretch, KX::ResizeTile, KX::ResizeCenter}) {
        EXPECT_EQ(LVisualPart::kTransparent,
                  SolidPart(kRed, 0, 8, type)->GetColorAtPoint(PointT<float>(1, 1), PointT<float>(10, 10)));
        EXPECT_EQ(LVisualPart::kTransparent,
                  SolidPart(kRed, 8, 0, type)->GetColorAtPoint(PointT<float>(1, 1), PointT<float>(10, 10)));
    }
    EXPECT_EQ(LVisualPart::kTransparent, SolidPart(kRed, 0, 0)->GetColorAtPoint(PointT<long>(0, 0)));
}

TEST_F(VisualPartTest, PartsThatCannotDrawSaySo)
{
    const RCPtr<LVisualPart> nothing(new LVisualPart(String(L"nothing"), RCPtr<KX::LBitmap>(), KX::ResizeStretch,
                                                     RCPtr<KX::LColorizer>(), PointT<long>(8, 8), 1.0f,
                                                     RCPtr<KX::LBitmap>()));
    EXPECT_EQ("Runtime Error : KX::LVisualPart::Draw : ControlBase\\VisualPart : Line 218",
              ErrorOf([&] { Draw(nothing, 8, 8); }));
    EXPECT_EQ("Runtime Error : KX::LVisualPart::GetColorAtPoint : ControlBase\\VisualPart : Line 91",
              ErrorOf([&] { nothing->GetColorAtPoint(PointT<long>(1, 1)); }));
    const RCPtr<LVisualPart> odd = BitmapPart(RendererTest::MakePatternBitmap(8, 8), static_cast<KX::ResizeType>(7));
    EXPECT_EQ("Runtime Error : KX::LVisualPart::GetColorAtPoint : ControlBase\\VisualPart : Line 165",
              ErrorOf([&] { odd->GetColorAtPoint(PointT<float>(1, 1), PointT<float>(16, 16)); }));
}

TEST_F(VisualPartTest, TheDescriptorCachesItsPartWhileItIsHeld)
{
    RCPtr<KX::LVisualPartDescriptor> descriptor = KX::LVisualPartDescriptor::Create();
    descriptor->mName = String(L"cached");
    descriptor->mWidth = 8;
    descriptor->mHeight = 8;
    descriptor->mColorizer = Solid(kRed);
    {
        RCPtr<LVisualPart> first = descriptor->GetVisualPart();
        RCPtr<LVisualPart> second = descriptor->GetVisualPart();
        ASSERT_TRUE(first);
        EXPECT_EQ(first, second);
        EXPECT_EQ(first, descriptor->GetCachedVisualPart());
        EXPECT_EQ(descriptor.Get(), first->GetOwner().Get());
        EXPECT_EQ(kRed, first->GetColorAtPoint(PointT<long>(7, 7)));
        first = nullptr;
        EXPECT_TRUE(descriptor->GetCachedVisualPart()); // still held
    }
    // The last holder gone, the cache let the part go.
    EXPECT_FALSE(descriptor->GetCachedVisualPart());
    const RCPtr<LVisualPart> again = descriptor->GetVisualPart();
    EXPECT_EQ(2, again->GetRefCount());
    EXPECT_EQ(1, again->GetInternalRefCount());

    // A part without image and colorizer is none.
    RCPtr<KX::LVisualPartDescriptor> empty = KX::LVisualPartDescriptor::Create();
    EXPECT_FALSE(empty->GetVisualPart());
}

TEST_F(SkinTest, LooksOfOneSkinShareTheirParts)
{
    OpenMainControl();
    // Every button's face is one part object.
    const RCPtr<KX::LLook>& exitLook = Find(L"buttonExit")->GetLook(0);
    const RCPtr<KX::LLook>& restartLook = Find(L"buttonReinitialize")->GetLook(0);
    ASSERT_TRUE(exitLook->GetClientVisualPart());
    EXPECT_EQ(exitLook->GetClientVisualPart(), restartLook->GetClientVisualPart());
    EXPECT_EQ(factory->FindPart(String(L"Part.Button"))->GetCachedVisualPart(), exitLook->GetClientVisualPart());
    // Without the tree, no part is held.
    window->SetRootControl(RCPtr<KX::LControl>());
    EXPECT_FALSE(factory->FindPart(String(L"Part.Button"))->GetCachedVisualPart());
}

// Looks: the client area and docked parts laid out for a size, the text
// area, the colour under a point, the run-time image, and the label's
// foreground part.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LLook;
using KX::PointT;
using KX::RectT;

namespace {

constexpr uint32_t kClient = 0xFF204060;
constexpr uint32_t kImage = 0xFFE0C000;

RCPtr<KX::LVisualPartDescriptor> SolidPartDescriptor(uint32_t argb, int32_t width, int32_t height,
                                                     float alphaModifier = 1.0f)
{
    RCPtr<KX::LColorizer> colorizer = KX::LColorizer::Create();
    colorizer->mColor = KX::ColorT<float>::FromARGB(argb);
    RCPtr<KX::LVisualPartDescriptor> part = KX::LVisualPartDescriptor::Create();
    part->mWidth = width;
    part->mHeight = height;
    part->mColorizer = colorizer;
    part->mAlphaModifier = alphaModifier;
    return part;
}

RCPtr<KX::LDockedPart> Docked(const RCPtr<KX::LVisualPartDescriptor>& part, int32_t edges, int32_t left, int32_t top,
                              int32_t right, int32_t bottom)
{
    RCPtr<KX::LDockedPart> docked = KX::LDockedPart::Create();
    docked->mPart = part;
    docked->mGivenEdges = edges;
    docked->mOffsetLeft = left;
    docked->mOffsetTop = top;
    docked->mOffsetRight = right;
    docked->mOffsetBottom = bottom;
    return docked;
}

RCPtr<KX::LLookDescriptor> LookWithClient(int32_t right, int32_t bottom, uint32_t color = kClient)
{
    RCPtr<KX::LLookDescriptor> look = KX::LLookDescriptor::Create(String(L"look"));
    look->SetClientPart(Docked(SolidPartDescriptor(color, 8, 8), KX::LDockedPart::EdgeAll, 0, 0, right, bottom));
    return look;
}

RCPtr<LLook> MakeLook(const RCPtr<KX::LLookDescriptor>& descriptor, long width, long height)
{
    RCPtr<LLook> look;
    LLook::Create(look, descriptor, false);
    look->SetSize(PointT<long>(width, height));
    return look;
}

} // namespace

TEST(LookLayoutTest, TheClientAreaFollowsItsOffsets)
{
    EXPECT_EQ(RectT<long>(0, 0, 140, 30), MakeLook(LookWithClient(0, 0), 140, 30)->GetClientRect());
    EXPECT_EQ(RectT<long>(0, 0, 137, 28), MakeLook(LookWithClient(-3, -2), 140, 30)->GetClientRect());
    // Outside the edge it still ends at the edge.
    EXPECT_EQ(RectT<long>(0, 0, 140, 30), MakeLook(LookWithClient(5, 3), 140, 30)->GetClientRect());
    // A look never sized is 0 x 0.
    RCPtr<LLook> unsized;
    LLook::Create(unsized, LookWithClient(0, 0), false);
    EXPECT_EQ(RectT<long>(), unsized->GetClientRect());
}

TEST(LookLayoutTest, DockedPartsSitAtTheirEdgesOrCentred)
{
    RCPtr<KX::LLookDescriptor> descriptor = LookWithClient(0, 0);
    // Only its left edge given: centred vertically, (30 - 7) / 2 truncated.
    descriptor->GetNonClientParts().AddItem(
        Docked(SolidPartDescriptor(0xFF000000, 3, 7), KX::LDockedPart::EdgeLeft, 0, 0, 0, 0));
    // Right and top given, no width: the top right corner at its own size.
    descriptor->GetNonClientParts().AddItem(Docked(SolidPartDescriptor(0xFF000000, 10, 4),
                                                   KX::LDockedPart::EdgeRight | KX::LDockedPart::EdgeTop, 0, 0, 0, 0));
    // Left and right given: stretched between them, 2 pixels inside.
    RCPtr<KX::LDockedPart> bar = Docked(SolidPartDescriptor(0xFF000000, 1, 1),
                                        KX::LDockedPart::EdgeLeft | KX::LDockedPart::EdgeRight |
                                            KX::LDockedPart::EdgeBottom,
                                        2, 0, -2, 0);
    bar->mHasHeight = true;
    bar->mHeight = 3;
    descriptor->GetNonClientParts().AddItem(bar);
    const RCPtr<LLook> look = MakeLook(descriptor, 140, 30);
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(0, 11, 3, 7), RectT<long>(130, 0, 10, 4),
                                         RectT<long>(2, 27, 136, 3)}),
              look->GetDockedRects());
}

TEST(LookLayoutTest, TheTextAreaIsLaidOutOnceASize)
{
    RCPtr<KX::LLookDescriptor> descriptor = LookWithClient(0, 0);
    KX::LLookDescriptor::TextProperties text;
    text.mRightRel = 1.0f;
    text.mHAlign = 0.5f;
    text.mTopRel = 0.15f;
    text.mBottomRel = 0.85f;
    text.mVAlign = 0.5f;
    descriptor->SetTextProperties(text, SolidPartDescriptor(0xFFFFFFFF, 8, 8));
    const RCPtr<LLook> look = MakeLook(descriptor, 140, 30);
    // (0, 4.5, 140, 21): origin (0, 4), box 140 x 21.
    EXPECT_EQ(RectT<long>(0, 4, 140, 21), look->GetTextArea());
    EXPECT_EQ(0.5f, look->GetTextLayout()->GetHorizontalAlignment());

    look->SetText(String(L"label"));
    look->GetTextLayout()->GetLineCount();
    ASSERT_TRUE(look->GetTextLayout()->IsLaidOut());
    EXPECT_TRUE(look->SetSize(PointT<long>(140, 30)));
    EXPECT_TRUE(look->GetTextLayout()->IsLaidOut()); // the same size: nothing laid out again
    EXPECT_TRUE(look->SetSize(PointT<long>(100, 30)));
    EXPECT_FALSE(look->GetTextLayout()->IsLaidOut());
    EXPECT_EQ(S_FALSE, look->SetText(String(L"label")));
    EXPECT_EQ(S_OK, look->SetText(String(L"other")));

    // A look without text properties has no text layout.
    const RCPtr<LLook> plain = MakeLook(LookWithClient(0, 0), 10, 10);
    EXPECT_FALSE(plain->GetTextLayout());
    EXPECT_EQ(S_FALSE, plain->SetText(String(L"label")));
}

TEST(LookLayoutTest, TheColourUnderAPointLooksThroughTransparentParts)
{
    RCPtr<KX::LLookDescriptor> descriptor = LookWithClient(0, 0);
    descriptor->GetNonClientParts().AddItem(Docked(SolidPartDescriptor(0xFF000000, 10, 10, 0.0f),
                                                   KX::LDockedPart::EdgeLeft | KX::LDockedPart::EdgeTop, 0, 0, 0, 0));
    descriptor->GetNonClientParts().AddItem(Docked(SolidPartDescriptor(0xFF112233, 10, 10),
                                                   KX::LDockedPart::EdgeRight | KX::LDockedPart::EdgeTop, 0, 0, 0, 0));
    const RCPtr<LLook> look = MakeLook(descriptor, 40, 20);
    EXPECT_EQ(kClient, look->GetColorAtPoint(PointT<long>(5, 5)));      // transparent docked part
    EXPECT_EQ(0xFF112233u, look->GetColorAtPoint(PointT<long>(35, 5))); // opaque docked part
    EXPECT_EQ(kClient, look->GetColorAtPoint(PointT<long>(20, 15)));
    EXPECT_EQ(KX::LVisualPart::kTransparent, look->GetColorAtPoint(PointT<long>(40, 15)));
}

TEST_F(SkinTest, AnImageReplacesTheClientPartWhereItIsDrawn)
{
    const RCPtr<LLook> look = MakeLook(LookWithClient(0, 0), 4, 4);
    RCPtr<KX::LBitmap> image;
    KX::LBitmap::CreateFilledBitmap(image, PointT<long>(4, 4), RendererTest::Argb(kImage));
    RendererTest::WriteImagePixel(image, 0, 0, 0x00000000);
    EXPECT_EQ(S_OK, look->SetImage(image, KX::ResizeStretch, true));

    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 4, 4);
    KX::LRectRegion region;
    region.AddRect(0, 0, 4, 4);
    {
        RendererTest::Frame frame(RCPtr<KX::LRenderer>(renderer.Get()), surface);
        look->DrawInRegion(RCPtr<KX::LRenderer>(renderer.Get()), region);
    }
    EXPECT_EQ(0u, Pixel(0, 0)); // no client part under the transparent pixel
    EXPECT_EQ(kImage, Pixel(1, 1));
    // Hit testing still sees the client part there.
    EXPECT_EQ(kClient, look->GetColorAtPoint(PointT<long>(0, 0)));
    EXPECT_EQ(kImage, look->GetColorAtPoint(PointT<long>(1, 1)));

    EXPECT_EQ(S_OK, look->SetImage(RCPtr<KX::LBitmap>(), KX::ResizeStretch, false));
    EXPECT_EQ(S_FALSE, look->SetImage(RCPtr<KX::LBitmap>(), KX::ResizeStretch, false));
    EXPECT_EQ(kClient, look->GetColorAtPoint(PointT<long>(1, 1)));
}

TEST_F(SkinTest, ALabelInABitmapColourIsRefused)
{
    OpenMainControl();
    const RCPtr<KX::LControl> exit = Find(L"buttonExit");
    RCPtr<KX::LBitmap> image = RendererTest::MakePatternBitmap(8, 8);
    const RCPtr<KX::LVisualPart> bitmapPart(new KX::LVisualPart(String(L"image"), image, KX::ResizeStretch,
                                                                RCPtr<KX::LColorizer>(), PointT<long>(), 1.0f,
                                                                RCPtr<KX::LBitmap>()));
    EXPECT_EQ(E_INVALIDARG, exit->SetLookPart(RCPtr<KX::LVisualPart>(), 0));
    EXPECT_EQ(E_FAIL, exit->SetLookPart(bitmapPart, 14)); // no such slot
    ASSERT_EQ(S_OK, exit->SetLookPart(bitmapPart, 0));
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    KX::RCPtrArray<KX::LControl> unclipped;
    renderer->RenderStart(surface);
    try {
        exit->Render(RCPtr<KX::LRenderer>(renderer.Get()), region, unclipped, false);
        FAIL() << "no exception";
    } catch (const std::domain_error& error) {
        EXPECT_STREQ("Domain Error : Bitmap fill for text foreground part not yet implemented. : "
                     "KX::LLook::DrawLabelText : ControlBase\\Look : Line 293",
                     error.what());
    }
    // Every clip pushed on the way was popped.
    EXPECT_EQ(1, renderer->GetContextDepth());
    EXPECT_TRUE(renderer->GetCurrentContext()->mSavedStates.empty());
    renderer->RenderFinish(surface);
}

TEST_F(SkinTest, AnImageOnTheActiveLookRedrawsTheControl)
{
    OpenMainControl();
    const RCPtr<KX::LControl> exit = Find(L"buttonExit");
    const RCPtr<KX::LBitmap> image = RendererTest::MakePatternBitmap(8, 8);
    ForgetInvalidations();
    EXPECT_EQ(S_OK, exit->SetLookImage(image, KX::ResizeTile, 1, false)); // an inactive look
    EXPECT_TRUE(DirtyRectangles().empty());
    EXPECT_EQ(S_OK, exit->SetLookImage(image, KX::ResizeTile, 0, false));
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(376, 308, 160, 32)}, DirtyRectangles());
    EXPECT_EQ(E_FAIL, exit->SetLookImage(image, KX::ResizeTile, 14, false)); // no such slot
    PaintWindow();
    EXPECT_EQ(RendererTest::PatternPixel(2, 3), Pixel(386, 311)); // tiled from the client's corner
    ForgetInvalidations();
    EXPECT_EQ(S_OK, exit->SetLookImage(RCPtr<KX::LBitmap>(), KX::ResizeTile, 0, false));
    EXPECT_EQ(S_FALSE, exit->SetLookImage(RCPtr<KX::LBitmap>(), KX::ResizeTile, 0, false));
    EXPECT_EQ(1u, DirtyRectangles().size());
}

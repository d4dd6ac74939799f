// Drawing the update screen off-screen with the GDI+ renderer: the skin's
// colours, the label text, the second pass for controls that do not clip to
// their parent, look weights and regions, and the invalidation chain.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LControl;
using KX::PointT;
using KX::RectT;
using KXTest::Text;

namespace {

constexpr uint32_t kBackground = 0xFF1E2328;
constexpr uint32_t kButton = 0xFF3B6EA5;
constexpr uint32_t kButtonHover = 0xFF4A82BF;

// Counts how often it is drawn.
class CountingControl : public PlainControl
{
public:
    CountingControl(const RCPtr<LControl>& parent, const String& name) : PlainControl(parent, name) {}
    KX::KXRESULT Render(const RCPtr<KX::LRenderer>& renderer, const KX::LRectRegion& region,
                        KX::RCPtrArray<LControl>& unclipped, bool unclippedPass) override
    {
        ++renders;
        return PlainControl::Render(renderer, region, unclipped, unclippedPass);
    }
    int renders = 0;
};

} // namespace

TEST_F(SkinTest, TheScreenShowsTheSkinsColoursAndCentredButtonText)
{
    OpenMainControl();
    PaintWindow();
    // The background, left of every control and at the bottom right.
    EXPECT_EQ(kBackground, Pixel(5, 200));
    EXPECT_EQ(kBackground, Pixel(550, 350));
    // buttonExit (376, 308, 160 x 32): its face and its edges.
    EXPECT_EQ(kButton, Pixel(380, 312));
    EXPECT_EQ(kButton, Pixel(376, 308));
    EXPECT_EQ(kButton, Pixel(535, 339));
    EXPECT_EQ(kBackground, Pixel(375, 308));
    EXPECT_EQ(kBackground, Pixel(376, 307));
    EXPECT_EQ(kBackground, Pixel(536, 339));
    EXPECT_EQ(kBackground, Pixel(535, 340));

    // "EXIT" in near-white, centred in the button within 2 pixels.
    long left = 560, top = 360, right = -1, bottom = -1;
    int count = 0;
    for (long y = 308; y < 340; ++y) {
        for (long x = 376; x < 536; ++x) {
            if (!NearWhite(Pixel(x, y)))
                continue;
            ++count;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GT(count, 20);
    EXPECT_NEAR(456.0, (left + right + 1) / 2.0, 2.0);
    EXPECT_NEAR(324.0, (top + bottom + 1) / 2.0, 2.0);
}

TEST_F(SkinTest, AControlThatDoesNotClipIsDrawnOutsideItsParentInTheSecondPass)
{
    OpenMainControl();
    const RCPtr<LControl> progress = Find(L"progressBar");
    const RCPtr<LControl> remaining = Find(L"progressBar/timeRemainingLabel");
    progress->SetVisible(true);
    remaining->SetVisible(true);
    remaining->SetText(String(L"12 Seconds Remaining"));
    // Below the 28 pixels high progress bar at (24, 196).
    EXPECT_EQ(RectT<double>(24, 196, 512, 28), progress->GetRect());
    EXPECT_EQ(RectT<double>(0, 32, 512, 20), remaining->GetRect());

    // Text pixels of the label in the band between the progress bar's bottom
    // (224) and the next label (240).
    const auto textPixels = [this] {
        int count = 0;
        for (long y = 224; y < 240; ++y) {
            for (long x = 24; x < 300; ++x) {
                if (((Pixel(x, y) >> 8) & 0xFF) > 0x60)
                    ++count;
            }
        }
        return count;
    };
    PaintWindow("unclipped");
    EXPECT_GT(textPixels(), 10);

    // The hit test finds it there too.
    RCPtr<LControl> hit;
    PointT<long> local;
    window->GetControlAtPoint(hit, PointT<long>(100, 234), local, false);
    EXPECT_EQ(remaining, hit);
    EXPECT_EQ(PointT<long>(76, 6), local);

    // Clipped to its parent, nothing of it shows outside.
    remaining->SetClipToParent(true);
    PaintWindow("clipped");
    EXPECT_EQ(0, textPixels());
}

TEST_F(SkinTest, UnclippedDescendantsAreCollectedOnlyWhileTheyShow)
{
    const RCPtr<LControl> main = OpenMainControl();
    const RCPtr<LControl> progress = Find(L"progressBar");
    const RCPtr<LControl> remaining = Find(L"progressBar/timeRemainingLabel");
    KX::RCPtrArray<LControl> list;
    // Hidden (the progress bar and the label start hidden): none.
    EXPECT_EQ(0, main->CollectUnclippedDescendants(list, true, false));
    progress->SetVisible(true);
    EXPECT_EQ(0, main->CollectUnclippedDescendants(list, true, false));
    EXPECT_EQ(2, main->CollectUnclippedDescendants(list, false, false)); // and the hidden menu's popup
    remaining->SetVisible(true);
    list.SetCount(0);
    EXPECT_EQ(1, main->CollectUnclippedDescendants(list, true, false));

    // A progress bar outside the current clip draws nothing but hands its
    // label on.
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    {
        KX::CAutoClip clip(RCPtr<KX::LRenderer>(renderer.Get()), RectT<double>(0, 0, 560, 360),
                           RectT<double>(0, 0, 560, 100), RCPtr<KX::LStencil>());
        list.SetCount(0);
        EXPECT_EQ(S_OK, progress->Render(RCPtr<KX::LRenderer>(renderer.Get()), region, list, false));
        ASSERT_EQ(1, list.GetCount());
        EXPECT_EQ(remaining, list.GetAt(0));
        // The wrong pass draws nothing.
        EXPECT_EQ(E_INVALIDARG, remaining->Render(RCPtr<KX::LRenderer>(renderer.Get()), region, list, false));
        EXPECT_EQ(E_INVALIDARG, progress->Render(RCPtr<KX::LRenderer>(renderer.Get()), region, list, true));
    }
    renderer->RenderFinish(surface);
}

TEST_F(SkinTest, WeightedLooksAreDrawnInOrderWithTheChildrenOncePerLook)
{
    OpenMainControl();
    const RCPtr<LControl> exit = Find(L"buttonExit");
    RCPtr<CountingControl> child = KXTest::MakeControl<CountingControl>(exit, L"child", KXTest::FixedLayout(2, 2, 4, 4));
    exit->SetLookWeight(0, 0.25f, false);
    exit->SetLookWeight(1, 0.75f, false);
    PaintWindow();
    EXPECT_EQ(2, child->renders);
    // No blending: the later look lies over the earlier one.
    EXPECT_EQ(kButtonHover, Pixel(380, 330));

    // SetLookWeight(0, 1.5, true) stores nothing for look 0 but clears the others.
    EXPECT_EQ(S_OK, exit->SetLookWeight(0, 1.5f, true));
    EXPECT_EQ(0.25f, exit->GetLookWeight(0));
    EXPECT_EQ(0.0f, exit->GetLookWeight(1));
    EXPECT_EQ(E_INVALIDARG, exit->SetLookWeight(14, 1.0f, false));
}

TEST_F(SkinTest, ALookWithARegionDrawsOnlyThere)
{
    OpenMainControl();
    const RCPtr<LControl> exit = Find(L"buttonExit");
    KX::LRectRegion corner;
    corner.AddRect(0, 0, 10, 10);
    ForgetInvalidations();
    EXPECT_EQ(S_OK, exit->SetLookRegion(0, corner));
    EXPECT_EQ((std::vector<RectT<long>>{RectT<long>(376, 308, 160, 32)}), DirtyRectangles());
    PaintWindow();
    EXPECT_EQ(kButton, Pixel(376, 308));
    EXPECT_EQ(kButton, Pixel(385, 317));
    EXPECT_EQ(kBackground, Pixel(386, 308));
    EXPECT_EQ(kBackground, Pixel(400, 330));

    // Look 1 everywhere look 0 is not.
    exit->SetLookWeight(1, 1.0f, false);
    EXPECT_EQ(S_OK, exit->InvalidateLookExcept(1, 0));
    PaintWindow("except");
    EXPECT_EQ(kButton, Pixel(380, 312));
    EXPECT_EQ(kButtonHover, Pixel(400, 312));
    EXPECT_EQ(E_INVALIDARG, exit->InvalidateLookExcept(1, 14)); // there is no slot 14
    EXPECT_EQ(E_INVALIDARG, exit->SetLookRegion(20, corner));

    EXPECT_EQ(S_OK, exit->ClearAllLookRegions());
    EXPECT_EQ(S_FALSE, exit->ClearAllLookRegions());
}

TEST_F(SkinTest, ATextChangeDirtiesExactlyThatLabel)
{
    OpenMainControl();
    const RCPtr<LControl> label = Find(L"labelDeviceInformation");
    ForgetInvalidations();
    EXPECT_EQ(S_OK, label->SetText(String(L"Looking for device.")));
    const std::vector<RectT<long>> expected{RectT<long>(24, 40, 512, 48)};
    EXPECT_EQ(expected, DirtyRectangles());
    EXPECT_EQ(expected, os.invalidations);

    // The same text again: nothing.
    ForgetInvalidations();
    EXPECT_EQ(S_FALSE, label->SetText(String(L"Looking for device.")));
    EXPECT_TRUE(DirtyRectangles().empty());
    EXPECT_TRUE(os.invalidations.empty());

    // Inside the hidden progress bar: the text changes, nothing is dirtied.
    const RCPtr<LControl> percent = Find(L"progressBar/percentCompleteLabel");
    EXPECT_EQ(S_OK, percent->SetText(String(L"42")));
    EXPECT_EQ(L"42", Text(percent->GetText()));
    EXPECT_TRUE(DirtyRectangles().empty());
    EXPECT_TRUE(os.invalidations.empty());
}

TEST_F(SkinTest, AFrameTheRendererCannotPaintInPartInvalidatesTheWholeWindowInstead)
{
    OpenMainControl();
    // The window's own context (not off-screen), without a window to present to.
    RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 560, 360), nullptr, false, context));
    const auto paint = [&](const RectT<long>& dirty) {
        context->mDirtyRegion.Clear();
        context->mDirtyRegion.AddRect(dirty.x, dirty.y, dirty.x + dirty.width, dirty.y + dirty.height);
        renderer->RenderStart(context);
        window->Paint(context->mDirtyRegion);
        renderer->RenderFinish(context);
    };
    os.invalidateAllCount = 0;
    paint(RectT<long>(0, 0, 560, 360));
    EXPECT_EQ(kBackground, RendererTest::ReadPixel(context, 5, 200));

    // The window grew (the size a WM_SIZE gives the context) and only a part
    // is dirty: the new surfaces hold nothing of the earlier frame, so the
    // part is not painted and the whole window is invalidated.
    context->mViewport = RectT<long>(0, 0, 600, 400);
    paint(RectT<long>(0, 150, 100, 100));
    EXPECT_EQ(1, os.invalidateAllCount);
    EXPECT_EQ(0u, RendererTest::ReadPixel(context, 5, 200)) << "nothing painted";

    // The paint that follows covers the whole window.
    paint(RectT<long>(0, 0, 600, 400));
    EXPECT_EQ(1, os.invalidateAllCount);
    EXPECT_EQ(kBackground, RendererTest::ReadPixel(context, 5, 200));
    // And parts are painted again.
    paint(RectT<long>(0, 150, 100, 100));
    EXPECT_EQ(1, os.invalidateAllCount);
}

// KX::LFont: interning and ids, measuring through the application's renderer
// or without one; and the GDI+ renderer's text metrics, measurement and
// drawing.
#include "Support/Scenes/RendererTestSupport.h"
#include "Support/Windows/Programs.h"

#include "Application/FrameworkApp.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include <algorithm>

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;

const wchar_t* const kFreshProcessVariable = L"KX_RENDERER_TESTS_FRESH_FONTS";

// Run by the test below in a process of its own, where no font exists yet.
TEST(FontsInAFreshProcess, DISABLED_InternByNameSizeAndStyle)
{
    wchar_t flag[8] = {};
    if (GetEnvironmentVariableW(kFreshProcessVariable, flag, 8) == 0)
        GTEST_SKIP() << "started by Font.IdsCountFromOneInAFreshProcess";
    ASSERT_EQ(0, KX::LFont::GetRegistryCount());
    KX::RCPtr<KX::LFont> arial;
    KX::RCPtr<KX::LFont> lower;
    KX::RCPtr<KX::LFont> larger;
    KX::RCPtr<KX::LFont> bold;
    KX::LFont::Create(arial, L"Arial", 10.0f, 0);
    KX::LFont::Create(lower, L"arial", 10.0f, 0);
    KX::LFont::Create(larger, L"Arial", 10.5f, 0);
    KX::LFont::Create(bold, L"Arial", 10.0f, 1);
    EXPECT_EQ(arial.Get(), lower.Get());
    EXPECT_EQ(1, KX::LFont::GetUniqueID(arial));
    EXPECT_EQ(2, KX::LFont::GetUniqueID(larger));
    EXPECT_EQ(3, KX::LFont::GetUniqueID(bold));
    EXPECT_EQ(3, KX::LFont::GetRegistryCount());
}

TEST(Font, IdsCountFromOneInAFreshProcess)
{
    TestSystem::ChildOptions options;
    options.timeoutMs = 120000;
    options.environment = {{kFreshProcessVariable, L"1"}};
    const TestSystem::ChildRun run =
        TestSystem::RunOwnTest(L"FontsInAFreshProcess.DISABLED_InternByNameSizeAndStyle", options);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode) << "the fresh process's fonts were not interned as expected";
}

TEST(Font, FindComparesFacesIgnoringCaseAndSizesExactly)
{
    KX::RCPtr<KX::LFont> font;
    KX::LFont::Create(font, L"Find Me", 9.0f, 2);
    const int32_t index = KX::LFont::Find(L"FIND ME", 9.0f, 2);
    EXPECT_GE(index, 0);
    EXPECT_EQ(-1, KX::LFont::Find(L"FIND ME", 9.0001f, 2));
    EXPECT_EQ(-1, KX::LFont::Find(L"FIND ME", 9.0f, 0));
    EXPECT_EQ(L"Find Me", std::wstring(font->GetFaceName().GetData()));
    EXPECT_EQ(9.0f, font->GetSize());
    EXPECT_EQ(2, font->GetStyle());
}

// A renderer that counts how often it is asked for metrics.
class CountingRenderer : public KX::LMeasurementRenderer
{
public:
    KX::KXRESULT GetFontMetrics(const KX::RCPtr<KX::LFont>&, int32_t& height, int32_t& ascent,
                                int32_t& descent) override
    {
        ++calls;
        height = 17;
        ascent = -13;
        descent = 4;
        return S_OK;
    }
    RectT<float> MeasureText(const String&, const KX::RCPtr<KX::LFont>&) override { return RectT<float>(); }
    int calls = 0;
};

TEST(Font, WithoutARendererTheMetricsAreZeroAndMeasuredAtTheNextChance)
{
    ASSERT_EQ(nullptr, KX::LFrameworkApp::sInstance); // no application, so no renderer
    KX::RCPtr<KX::LFont> font;
    KX::LFont::Create(font, L"Unmeasured", 11.0f, 0);
    EXPECT_EQ(0, font->GetHeight());
    EXPECT_EQ(0, font->GetAscent());
    EXPECT_FALSE(font->IsMeasured());

    KX::RCPtr<CountingRenderer> renderer(new CountingRenderer());
    EXPECT_TRUE(font->Measure(renderer.Get()));
    EXPECT_TRUE(font->Measure(renderer.Get()));
    EXPECT_EQ(17, font->GetHeight());
    EXPECT_EQ(-13, font->GetAscent());
    EXPECT_EQ(4, font->GetDescent());
    EXPECT_EQ(1, renderer->calls); // measured once
}

class GdiTextTest : public ::testing::Test
{
protected:
    void SetUp() override { renderer = MakeGdiRenderer(); }

    KX::RCPtr<KX::LFont> Font(const wchar_t* face, float size, int32_t style = 0)
    {
        KX::RCPtr<KX::LFont> font;
        KX::LFont::Create(font, face, size, style);
        return font;
    }

    KX::RCPtr<KX::LGDIRenderer> renderer;
};

TEST_F(GdiTextTest, MetricsFollowTheFontsDesignUnits)
{
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    ASSERT_EQ(S_OK, renderer->GetFontMetrics(Font(L"Tahoma", 10.0f), height, ascent, descent));
    EXPECT_LT(ascent, 0);
    EXPECT_GT(descent, 0);
    EXPECT_GE(height, descent - ascent);
    EXPECT_LE(height, descent - ascent + 3);
    int32_t largerHeight = 0;
    ASSERT_EQ(S_OK, renderer->GetFontMetrics(Font(L"Tahoma", 20.0f), largerHeight, ascent, descent));
    EXPECT_NEAR(2 * height, largerHeight, 2);
}

TEST_F(GdiTextTest, AnEmptyTextMeasuresNothing)
{
    EXPECT_EQ(RectT<float>(0, 0, 0, 0), renderer->MeasureText(L"", Font(L"Tahoma", 10.0f)));
}

TEST_F(GdiTextTest, MeasuredTextIsTheLineWithThreePixelsToSpare)
{
    const KX::RCPtr<KX::LFont> font = Font(L"Tahoma", 10.0f);
    const RectT<float> hg = renderer->MeasureText(L"Hg", font);
    const RectT<float> longer = renderer->MeasureText(L"Hg Hg Hg", font);
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    renderer->GetFontMetrics(font, height, ascent, descent);
    EXPECT_EQ(RectT<float>(0, static_cast<float>(ascent), hg.width, static_cast<float>(height)), hg);
    EXPECT_GT(hg.width, 3.0f);
    EXPECT_EQ(hg.width, std::floor(hg.width));
    EXPECT_GT(longer.width, 3.0f * (hg.width - 3.0f));
    // Trailing blanks are measured.
    EXPECT_GT(renderer->MeasureText(L"Hg  ", font).width, hg.width);
}

TEST_F(GdiTextTest, AnUnknownFaceIsMeasuredAsTheGenericSansSerifFamily)
{
    using namespace KX::Gdip;
    OwnedFontFamily generic;
    ASSERT_EQ(Ok, GdipGetGenericFontFamilySansSerif(generic.Out()));
    WCHAR name[LF_FACESIZE] = {};
    ASSERT_EQ(Ok, GdipGetFamilyName(generic.Get(), name, LANG_NEUTRAL));

    const KX::RCPtr<KX::LFont> unknown = Font(L"NoSuchFace", 12.0f);
    const KX::RCPtr<KX::LFont> known = Font(name, 12.0f);
    EXPECT_EQ(renderer->MeasureText(L"Sample text", known), renderer->MeasureText(L"Sample text", unknown));
    int32_t metrics[2][3] = {};
    EXPECT_EQ(S_OK, renderer->GetFontMetrics(unknown, metrics[0][0], metrics[0][1], metrics[0][2]));
    EXPECT_EQ(S_OK, renderer->GetFontMetrics(known, metrics[1][0], metrics[1][1], metrics[1][2]));
    EXPECT_TRUE(std::equal(metrics[0], metrics[0] + 3, metrics[1]));
    EXPECT_GT(metrics[0][0], 0);
}

TEST_F(GdiTextTest, DrawnTextStaysInsideItsMeasuredBox)
{
    const KX::RCPtr<KX::LFont> font = Font(L"Tahoma", 10.0f);
    KX::RCPtr<KX::LRenderContextInfo> context = MakeOffscreenContext(renderer, 60, 40);
    const PointT<long> at(10, 8);
    {
        Frame frame(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 60, 40), Argb(0xFFFFFFFF), true);
        renderer->DrawText(L"Hg", font, at, Argb(0xFF000000));
    }
    SaveScreenshot(context, CurrentTestName());
    const RectT<float> box = renderer->MeasureText(L"Hg", font);
    int dark = 0;
    for (long y = 0; y < 40; ++y) {
        for (long x = 0; x < 60; ++x) {
            if ((ReadPixel(context, x, y) & 0xFF) >= 0x80)
                continue;
            ++dark;
            EXPECT_GE(x, at.x) << "dark pixel at " << x << "," << y;
            EXPECT_LT(x, at.x + static_cast<long>(box.width)) << "dark pixel at " << x << "," << y;
            EXPECT_GE(y, at.y - 1) << "dark pixel at " << x << "," << y;
            EXPECT_LT(y, at.y + static_cast<long>(box.height)) << "dark pixel at " << x << "," << y;
        }
    }
    EXPECT_GT(dark, 10);
}

} // namespace

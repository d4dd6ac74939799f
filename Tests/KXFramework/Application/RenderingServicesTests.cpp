// What the application object gives the renderers: the renderer that fonts
// are measured with, the skin's default font as a font object, and a
// shut-down that lets every rendering object go before GDI+ does.
#include "Support/Shell/ShellTestSupport.h"

#include "Renderer/D3D9/D3D9Renderer.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

namespace {

using String = KX::StringT<wchar_t, char>;
using RenderingServicesTest = ShellTest;

// A renderer that answers fixed metrics and counts the questions.
class FixedMetricsRenderer : public KX::LD3D9Renderer
{
public:
    static KX::RCPtr<FixedMetricsRenderer> Make() { return KX::RCPtr<FixedMetricsRenderer>(new FixedMetricsRenderer()); }
    KX::KXRESULT GetFontMetrics(const KX::RCPtr<KX::LFont>&, int32_t& height, int32_t& ascent,
                                int32_t& descent) override
    {
        ++calls;
        height = 15;
        ascent = -12;
        descent = 3;
        return S_OK;
    }
    int calls = 0;
};

// An application whose first root window has the given renderer.
class MeasuringApplication : public TestApplication
{
public:
    static KX::RCPtr<MeasuringApplication> Make()
    {
        return KX::RCPtr<MeasuringApplication>(new MeasuringApplication());
    }
    KX::KXRESULT GetRenderer(KX::RCPtr<KX::LRenderer>& renderer) override
    {
        renderer = mRenderer;
        return S_OK;
    }
    KX::RCPtr<KX::LRenderer> mRenderer;

protected:
    MeasuringApplication() : TestApplication(nullptr, nullptr, L"prog.exe") {}
};

TEST_F(RenderingServicesTest, WithoutARootWindowThereIsNoRenderer)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    KX::RCPtr<KX::LRenderer> renderer;
    KX::LRenderer::Create(renderer, KX::RendererDirect3D9, KX::RectT<long>(), nullptr);
    EXPECT_EQ(S_OK, app->GetRenderer(renderer));
    EXPECT_FALSE(renderer);
}

TEST_F(RenderingServicesTest, FontsWaitForTheApplicationsRendererToBeMeasured)
{
    KX::RCPtr<MeasuringApplication> app = MeasuringApplication::Make();
    KX::RCPtr<KX::LFont> font;
    KX::LFont::Create(font, L"Waiting Face", 13.0f, 0);
    EXPECT_EQ(0, font->GetHeight()); // no renderer yet: 0, and still unmeasured
    EXPECT_EQ(0, font->GetDescent());
    EXPECT_FALSE(font->IsMeasured());

    KX::RCPtr<FixedMetricsRenderer> renderer = FixedMetricsRenderer::Make();
    app->mRenderer = renderer;
    EXPECT_EQ(15, font->GetHeight());
    EXPECT_EQ(-12, font->GetAscent());
    EXPECT_EQ(3, font->GetDescent());
    EXPECT_EQ(1, renderer->calls); // measured once, then kept
    app->mRenderer = nullptr;
    EXPECT_EQ(15, font->GetHeight());
}

TEST_F(RenderingServicesTest, TheSkinsDefaultFontIsTheInternedFontOfTheSystemsFace)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    EXPECT_FALSE(app->GetSkinDefaultFont());
    ASSERT_EQ(S_OK, app->RunApplicationStartup()); // selects the skin
    String face;
    float points = 0;
    int32_t style = 0;
    ASSERT_EQ(S_OK, app->GetDefaultFont(face, points, style));
    const KX::RCPtr<KX::LFont>& font = app->GetSkinDefaultFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(face, font->GetFaceName());
    EXPECT_EQ(points, font->GetSize());
    EXPECT_EQ(style, font->GetStyle());
    KX::RCPtr<KX::LFont> same;
    KX::LFont::Create(same, face.ToLower(), points, style);
    EXPECT_EQ(font.Get(), same.Get());
    app->Shutdown();
}

// A control factory that notes, when it goes, whether GDI+ still runs.
class ProbeFactory : public KX::LControlFactory
{
public:
    static KX::RCPtr<ProbeFactory> Make() { return KX::RCPtr<ProbeFactory>(new ProbeFactory()); }
    static const ULONG_PTR* sToken;
    static ULONG_PTR sTokenWhenReleased;

protected:
    ProbeFactory() : KX::LControlFactory(L"Probe") {}
    ~ProbeFactory() override { sTokenWhenReleased = sToken ? *sToken : 0; }
};
const ULONG_PTR* ProbeFactory::sToken = nullptr;
ULONG_PTR ProbeFactory::sTokenWhenReleased = 0;

class ProbeMfcApp : public KX::MFCFrameworkApp<TestApplication>
{
public:
    void StartGdiplusAndHold(const KX::RCPtr<KX::LControlFactory>& factory)
    {
        KX::StartGdiplus(mGdiplusToken);
        mControlFactory = factory;
        ProbeFactory::sToken = &mGdiplusToken;
    }
    ULONG_PTR Token() const { return mGdiplusToken; }
};

TEST_F(RenderingServicesTest, ShutDownReleasesRenderingObjectsBeforeGdiplus)
{
    ProbeMfcApp mfcApp;
    mfcApp.StartGdiplusAndHold(ProbeFactory::Make());
    ASSERT_NE(0u, mfcApp.Token());
    KX::RCPtr<KX::LFont> font;
    KX::LFont::Create(font, L"Shut-down Face", 9.0f, 0);
    font = nullptr;
    ASSERT_GT(KX::LFont::GetRegistryCount(), 0);

    mfcApp.ReleaseStartupObjects();
    EXPECT_NE(0u, ProbeFactory::sTokenWhenReleased); // GDI+ still ran
    EXPECT_EQ(0, KX::LFont::GetRegistryCount());
    EXPECT_EQ(0u, mfcApp.Token());
    ProbeFactory::sToken = nullptr;
}

} // namespace

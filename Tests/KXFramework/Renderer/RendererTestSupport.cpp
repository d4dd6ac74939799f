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

bool FindPngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    ImageCodecInfo* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, size, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wstring(codecs[i].MimeType) == L"image/png") {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// The Windows path of a folder of the build tree (Wine maps "/" to Z:).
std::wstring ScreenshotFolder()
{
    std::wstring folder = L"Z:";
    for (const char* c = KX_SCREENSHOT_FOLDER; *c; ++c)
        folder += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return folder;
}

void CreateFolders(const std::wstring& folder)
{
    for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

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
    CLSID png;
    if (!image || !FindPngEncoder(png))
        return;
    const std::wstring folder = ScreenshotFolder();
    CreateFolders(folder);
    const std::wstring path = folder + L"\\" + std::wstring(name.begin(), name.end()) + L".png";
    EXPECT_EQ(Ok, GdipSaveImageToFile(image, path.c_str(), &png, nullptr)) << name;
}

void SaveScreenshot(const KX::RCPtr<KX::LRenderContextInfo>& context, const std::string& name)
{
    auto gdiContext = KX::RCPtr<KX::LGDIRenderContextInfo>::DynamicCast(context);
    if (!gdiContext || !gdiContext->mSurface)
        return;
    GdipFlush(gdiContext->mSurface->GetGraphics(), FlushIntentionSync);
    SaveImage(gdiContext->mSurface->GetBitmap(), name);
}

std::string CurrentTestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "_" + info->name() : std::string("unnamed");
}

} // namespace RendererTest

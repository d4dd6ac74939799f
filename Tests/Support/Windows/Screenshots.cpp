#include "Screenshots.h"

#include "Programs.h"

#include <gtest/gtest.h>

#ifndef KX_SCREENSHOT_ROOT
#error "KX_SCREENSHOT_ROOT names the build folder's screenshots folder"
#endif

namespace TestScreen {

using namespace Gdiplus::DllExports;

std::wstring ScreenshotFolder(const std::wstring& subfolder)
{
    std::wstring folder = L"Z:";
    for (const char* c = KX_SCREENSHOT_ROOT; *c; ++c)
        folder += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    if (!subfolder.empty())
        folder += L"\\" + subfolder;
    // Every level after the drive, the last one included.
    for (size_t i = 3; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == L'/' || folder[i] == L'\\')
            CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
    return folder;
}

std::wstring ScreenshotPath(const std::string& name)
{
    return ScreenshotFolder(TestSystem::ProgramName()) + L"\\" + std::wstring(name.begin(), name.end()) + L".png";
}

std::string CurrentTestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "_" + info->name() : std::string("unnamed");
}

bool FindPngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SavePng(Gdiplus::GpImage* image, const std::wstring& path)
{
    CLSID png;
    return image && FindPngEncoder(png) && GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool SavePixelsAsPng(const std::vector<uint32_t>& pixels, int width, int height, const std::wstring& path)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return false;
    std::vector<uint32_t> opaque(pixels);
    for (uint32_t& pixel : opaque)
        pixel |= 0xFF000000u;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(opaque.data()), &bitmap) != Gdiplus::Ok)
        return false;
    const bool saved = SavePng(bitmap, path);
    GdipDisposeImage(bitmap);
    return saved;
}

} // namespace TestScreen

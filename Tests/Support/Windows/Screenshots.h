// Where the tests' screenshots go and how they are written: PNG files below
// the build folder's screenshots/ folder, named after the running test. The
// functions that write a file need GDI+ running in the calling program.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestScreen {

// <build>/screenshots/<subfolder> as a Windows path (Wine maps "/" to Z:),
// made with every missing folder above it. The subfolder may name several
// levels, with "\" or "/" between them; empty names the screenshots folder.
std::wstring ScreenshotFolder(const std::wstring& subfolder);

// Where a screenshot of the test program goes:
// <build>/screenshots/<test program>/<name>.png (the folder made).
std::wstring ScreenshotPath(const std::string& name);

// The name of the running test, "Suite_Test" ("unnamed" outside a test), as
// screenshot names and folders use it.
std::string CurrentTestName();

// GDI+'s PNG encoder; false when it has none.
bool FindPngEncoder(CLSID& encoder);

// Saves a GDI+ image as a PNG file; false when it could not.
bool SavePng(Gdiplus::GpImage* image, const std::wstring& path);

// Saves pixels (rows top first, each 0x??RRGGBB) as an opaque PNG file: the
// alpha byte is left out, as a screen shows a frame; false when it could not.
bool SavePixelsAsPng(const std::vector<uint32_t>& pixels, int width, int height, const std::wstring& path);

} // namespace TestScreen

// What the renderer tests and the control scenes share: GDI+ for the whole
// test program, off-screen GDI+ contexts whose surface pixels are read back,
// bitmaps with a known pattern, and PNG screenshots of what a test drew,
// saved below the build folder in a folder named after the test program
// (screenshots/RendererTests/, screenshots/MenuTests/, ...).
//
// GDI+ starts with the first test and stops after the last one (a global
// test environment, registered by the object file that holds the functions
// below: a program that uses any of them has it).
#pragma once

#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Font.h"

#include "Support/Scenes/RenderFrame.h"
#include "Support/Windows/Screenshots.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace RendererTest {

using String = KX::StringT<wchar_t, char>;
using Color = KX::ColorT<float>;

inline Color Argb(uint32_t packed)
{
    return Color::FromARGB(packed);
}

// Whether two ARGB pixels agree in red, green and blue, each within
// `tolerance` (anti-aliasing and blending round differently).
inline bool NearColour(uint32_t a, uint32_t b, int tolerance = 6)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance)
            return false;
    }
    return true;
}

// A GDI+ renderer (type 1) made through the factory.
KX::RCPtr<KX::LGDIRenderer> MakeGdiRenderer();

// A new off-screen GDI+ context of the size (no window).
KX::RCPtr<KX::LRenderContextInfo> MakeOffscreenContext(const KX::RCPtr<KX::LRenderer>& renderer, long width,
                                                      long height);

// The 32-bit ARGB value of a pixel of a GDI+ context's current surface.
uint32_t ReadPixel(const KX::RCPtr<KX::LRenderContextInfo>& context, long x, long y);
// The same of a bitmap's image.
uint32_t ReadImagePixel(Gdiplus::GpBitmap* image, long x, long y);

// The pixel of the pattern bitmaps: every pixel distinct, opaque.
inline uint32_t PatternPixel(long x, long y)
{
    return 0xFF000000u | (static_cast<uint32_t>(x * 6) << 16) | (static_cast<uint32_t>(y * 6) << 8) | 0x40u;
}
// An unregistered bitmap of the size filled with PatternPixel.
KX::RCPtr<KX::LBitmap> MakePatternBitmap(long width, long height);
// Writes one pixel of a bitmap's image.
void WriteImagePixel(const KX::RCPtr<KX::LBitmap>& bitmap, long x, long y, uint32_t argb);

// Saves the context's current surface (or an image) as
// <build>/screenshots/<test program>/<name>.png.
void SaveScreenshot(const KX::RCPtr<KX::LRenderContextInfo>& context, const std::string& name);
void SaveImage(Gdiplus::GpBitmap* image, const std::string& name);
// The name of the running test, "Suite_Test", for screenshot names.
using TestScreen::CurrentTestName;

// A frame, finished when the scope ends.
using Frame = KXTest::RenderFrame;

} // namespace RendererTest

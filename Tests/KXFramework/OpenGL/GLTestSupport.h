// What the OpenGL renderer tests share: real windows under Xvfb with the
// renderer of type 0 (Mesa's llvmpipe through Wine's opengl32), frames, the
// GL front buffer read back into memory, PNG screenshots of it saved below
// the build folder (screenshots/OpenGLTests/), and the renderer's error
// boxes recorded instead of shown.
#pragma once

#include "Renderer/OpenGL/GLRenderer.h"
#include "Utilities/Graphics/Font.h"

#include "Support/Scenes/RenderFrame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace GLTest {

using String = KX::StringT<wchar_t, char>;
using Color = KX::ColorT<float>;
using KX::PointT;
using KX::RCPtr;
using KX::RectT;

inline Color Argb(uint32_t packed)
{
    return Color::FromARGB(packed);
}

// The texts of the error boxes the renderer tried to show since the last call.
std::vector<std::wstring> TakeErrorBoxes();

// Visible topmost windows in the lower left of the screen that live until the
// program ends: hiding or destroying a top-level window costs Wine 2 s without
// a window manager (it waits for a withdrawal nobody confirms), so the tests
// share them. Window 0 is the fixture's (160 x 120), window 1 (80 x 60) stands
// right of it, window 2 (40 x 30) right of that, for whatever pixel format a
// test gives it. A window keeps its pixel format once set, and every renderer
// chooses the same one.
HWND SharedWindow(int index);
// Where a shared window stands on the screen.
RECT SharedWindowRect(int index);
// True when the window is what the screen shows at its client corners: the
// GL front buffer of a window is read back from the screen.
bool ShowsOnTop(HWND window);

// Pixels read back, top row first, each 0xAARRGGBB.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The colour without its alpha (the framebuffer's alpha is not shown).
    uint32_t Rgb(int x, int y) const { return At(x, y) & 0xFFFFFF; }
};

// A window with the renderer of type 0 made through the factory, and the
// window's render context, whose frames cover the whole window (its dirty
// region is the whole viewport unless a test sets another).
class GLFixture : public ::testing::Test
{
public:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

protected:
    void SetUp() override;
    void TearDown() override;

    // The front buffer of a context after its frame.
    Image ReadFront(const RCPtr<KX::LRenderContextInfo>& context) const;
    Image ReadFront() const { return ReadFront(mContext); }
    // The last frame that an off-screen context kept.
    static Image ReadLastFrame(const RCPtr<KX::LRenderContextInfo>& context);
    // Saves the image as screenshots/OpenGLTests/<Suite_Test>[_suffix].png.
    void Save(const Image& image, const std::string& suffix = std::string()) const;

    // The whole viewport filled opaque with the colour.
    void Background(uint32_t rgb);

    HWND mWindow = nullptr;
    RCPtr<KX::LGLRenderer> mRenderer;
    RCPtr<KX::LRenderContextInfo> mContext;
};

// A frame, finished when the scope ends.
using Frame = KXTest::RenderFrame;

// The bounding box {x, y, width, height} of the pixels whose colour differs
// from the background; width 0 when there are none.
RectT<long> InkBounds(const Image& image, uint32_t backgroundRgb);

inline RCPtr<KX::LFont> MakeFont(const wchar_t* face, float size, int32_t style = 0)
{
    RCPtr<KX::LFont> font;
    return KX::LFont::Create(font, String(face), size, style);
}

} // namespace GLTest

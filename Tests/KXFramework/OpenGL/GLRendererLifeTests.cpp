// The OpenGL renderer's life: what it shows when OpenGL refuses, the caches
// it purges after five minutes, and FreeType shared by several renderers.
#include "GLTestSupport.h"

#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLErrorBox.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Utilities/Graphics/Bitmap.h"

using namespace GLTest;

namespace {

// An OpenGL renderer whose clock the test sets.
class ClockedGLRenderer : public KX::LGLRenderer
{
public:
    static RCPtr<ClockedGLRenderer> Create(HWND window)
    {
        const RCPtr<KX::LGLGlyphRenderer> glyphs = KX::LGLGlyphRenderer::Create();
        return RCPtr<ClockedGLRenderer>(
            new ClockedGLRenderer(KX::LFreetypeFontRenderer::Create(glyphs, glyphs), window));
    }

    uint32_t mNow = 0;

protected:
    ClockedGLRenderer(const RCPtr<KX::LFontRenderer>& fonts, HWND window) : KX::LGLRenderer(fonts, window)
    {
        mNow = LGLRenderer::GetTicks();
    }
    uint32_t GetTicks() const override { return mNow; }
};

// Shared window 2 with its pixel format set to one the renderer does not
// choose, before any renderer sees it.
HWND WindowWithAnotherPixelFormat(int chosenFormat)
{
    static HWND window = nullptr;
    if (window)
        return window;
    window = SharedWindow(2);
    HDC dc = GetDC(window);
    const int count = DescribePixelFormat(dc, 1, sizeof(PIXELFORMATDESCRIPTOR), nullptr);
    for (int format = 1; format <= count; ++format) {
        PIXELFORMATDESCRIPTOR descriptor = {};
        DescribePixelFormat(dc, format, sizeof(descriptor), &descriptor);
        if (format != chosenFormat && (descriptor.dwFlags & PFD_SUPPORT_OPENGL) &&
            SetPixelFormat(dc, format, &descriptor))
            break;
    }
    ReleaseDC(window, dc);
    return window;
}

using GLRendererLife = GLFixture;

// The live GL names of the current context: how many of the first names are
// textures and display lists (names are handed out from 1 up).
struct LiveNames
{
    int textures = 0;
    int lists = 0;

    static LiveNames Count()
    {
        LiveNames live;
        for (GLuint name = 1; name <= 512; ++name) {
            live.textures += glIsTexture(name) == GL_TRUE ? 1 : 0;
            live.lists += glIsList(name) == GL_TRUE ? 1 : 0;
        }
        return live;
    }
};

} // namespace

TEST_F(GLRendererLife, AContextOnAWindowOfAnotherPixelFormatShowsTheWarningAndThrows)
{
    HWND other = WindowWithAnotherPixelFormat(mRenderer->GetPixelFormat());
    RCPtr<KX::LRenderContextInfo> context;
    try {
        mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 40, 30), other, false, context);
        FAIL() << "the window's pixel format cannot change";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Runtime Error : KX::LGLRenderer::InitRenderContextInfo : Renderer\\OpenGL\\GLRenderer : Line 334",
                     error.what());
    }
    const std::vector<std::wstring> boxes = TakeErrorBoxes();
    ASSERT_EQ(1u, boxes.size());
    // No application: the string table's identifiers stand for its texts.
    EXPECT_EQ(L"GL_ERROR_MESSAGE_SET_PIXEL_FORMATGL_ERROR_UPDATE_DRIVER", boxes[0]);
    EXPECT_FALSE(context);
}

TEST(GLErrorBox, TheSystemErrorGoesIntoTheTextOrAfterIt)
{
    const std::wstring system = [] {
        wchar_t* buffer = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, ERROR_PROC_NOT_FOUND, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::wstring text = buffer ? buffer : L"";
        LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
        return text;
    }();
    ASSERT_FALSE(system.empty());
    EXPECT_EQ(L"No extension. (127: " + system + L")",
              std::wstring(KX::FormatGLErrorText(String(L"No extension."), ERROR_PROC_NOT_FOUND).GetData()));
    EXPECT_EQ(L"Error 127 - " + system + L"!",
              std::wstring(KX::FormatGLErrorText(String(L"Error %d - %s!"), ERROR_PROC_NOT_FOUND).GetData()));
    EXPECT_EQ(L"%x stays, 127",
              std::wstring(KX::FormatGLErrorText(String(L"%x stays, %d"), ERROR_PROC_NOT_FOUND).GetData()));
    const std::wstring longText(300, L'a');
    EXPECT_EQ(180, KX::FormatGLErrorText(String(longText.c_str()), 5).GetLength());
}

TEST(GLErrorBox, BoxesGoThroughTheReplaceableFunction)
{
    TakeErrorBoxes();
    KX::ShowGLErrorBox(KX::MakeGLErrorText(L"GL_ERROR_MESSAGE_CREATE_CONTEXT"), MB_ICONERROR);
    EXPECT_EQ(std::vector<std::wstring>{L"GL_ERROR_MESSAGE_CREATE_CONTEXTGL_ERROR_UPDATE_DRIVER"}, TakeErrorBoxes());
}

TEST(GLRendererCaches, WhatWasNotUsedForFiveMinutesIsReleased)
{
    const RCPtr<ClockedGLRenderer> renderer = ClockedGLRenderer::Create(SharedWindow(0));
    RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 160, 120), SharedWindow(0), false, context));
    RCPtr<KX::LBitmap> used;
    RCPtr<KX::LBitmap> unused;
    KX::LBitmap::CreateFilledBitmap(used, PointT<long>(4, 4), Argb(0xFFFF0000));
    KX::LBitmap::CreateFilledBitmap(unused, PointT<long>(4, 4), Argb(0xFF0000FF));
    const auto frame = [&](bool drawUnused) {
        Frame scope(renderer, context);
        renderer->DrawBitmap(used, RectT<long>(0, 0, 4, 4), KX::ResizeStretch);
        if (drawUnused)
            renderer->DrawBitmap(unused, RectT<long>(10, 0, 4, 4), KX::ResizeStretch);
    };
    frame(true);
    EXPECT_EQ(2, unused->GetRefCount()) << "its texture holds it";

    renderer->mNow += 300000;
    frame(false);
    EXPECT_EQ(2, unused->GetRefCount()) << "not yet five minutes since the construction";
    renderer->mNow += 1;
    frame(false);
    EXPECT_EQ(2, unused->GetRefCount()) << "the first purge only sets the mark";
    renderer->mNow += 300001;
    frame(false);
    EXPECT_EQ(1, unused->GetRefCount()) << "not used since the mark: released";
    EXPECT_EQ(2, used->GetRefCount()) << "used in every frame: kept";
}

TEST(GLRendererCaches, PurgedTexturesAndDisplayListsLeaveGL)
{
    const RCPtr<ClockedGLRenderer> renderer = ClockedGLRenderer::Create(SharedWindow(0));
    RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 160, 120), SharedWindow(0), false, context));
    std::vector<RCPtr<KX::LBitmap>> bitmaps(4);
    std::vector<KX::PolylineT<float>> lines(4);
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        KX::LBitmap::CreateFilledBitmap(bitmaps[i], PointT<long>(4, 4), Argb(0xFF000000u | (0x40u << (i * 4))));
        lines[i].AddPoint(0, 10.0f * i);
        lines[i].AddPoint(50, 10.0f * i);
    }
    // Draws the first `count` bitmaps and lines; answers what GL held when
    // the frame began (after the previous frame's purge).
    const auto frame = [&](size_t count) {
        Frame scope(renderer, context);
        const LiveNames live = LiveNames::Count();
        for (size_t i = 0; i < count; ++i) {
            renderer->DrawBitmap(bitmaps[i], RectT<long>(10 * static_cast<long>(i), 0, 4, 4), KX::ResizeStretch);
            renderer->DrawPolyline(lines[i], Argb(0xFF0000FF), PointT<float>(0, 0), PointT<float>(1, 1), true);
        }
        return live;
    };
    const LiveNames before = frame(4);
    const LiveNames drawn = frame(1);
    EXPECT_EQ(before.textures + 4, drawn.textures);
    EXPECT_EQ(before.lists + 4, drawn.lists);

    renderer->mNow += 300001;
    frame(1); // the first purge only sets the mark
    renderer->mNow += 300001;
    frame(1); // releases what was not used since the mark
    const LiveNames purged = frame(1);
    EXPECT_EQ(before.textures + 1, purged.textures) << "the three textures not used are deleted";
    EXPECT_EQ(before.lists + 1, purged.lists) << "so are their display lists";
    EXPECT_EQ(1, bitmaps[1]->GetRefCount());
}

TEST(GLRendererCaches, AGlyphAtlasEvictedWhileMeasuringOutsideAFrameLeavesGL)
{
    RCPtr<KX::LRenderer> created;
    KX::LRenderer::Create(created, KX::RendererOpenGL, RectT<long>(0, 0, 160, 120), SharedWindow(0));
    const RCPtr<KX::LGLRenderer> renderer = RCPtr<KX::LGLRenderer>::DynamicCast(created);
    ASSERT_TRUE(renderer);
    RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 160, 120), SharedWindow(0), false, context));
    std::vector<RCPtr<KX::LFont>> fonts;
    for (int i = 0; i <= KX::LGLGlyphRenderer::kCachedFonts; ++i)
        fonts.push_back(MakeFont(L"Liberation Sans", 8.0f + i));
    const auto countInAFrame = [&] {
        Frame scope(renderer, context);
        return LiveNames::Count().textures;
    };
    const int before = countInAFrame();
    {
        // One atlas per font, each uploaded into a texture.
        Frame scope(renderer, context);
        for (int i = 0; i < KX::LGLGlyphRenderer::kCachedFonts; ++i)
            renderer->DrawText(String(L"A"), fonts[i], PointT<long>(0, 0), Argb(0xFF000000));
    }
    EXPECT_EQ(before + KX::LGLGlyphRenderer::kCachedFonts, countInAFrame());

    // Measuring one more font outside a frame evicts the first font's atlas
    // while no GL context is current; the new atlas has no texture yet.
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    renderer->MeasureText(String(L"A"), fonts.back());
    EXPECT_EQ(before + KX::LGLGlyphRenderer::kCachedFonts - 1, countInAFrame());
}

TEST(GLRendererFonts, RenderersShareFreetypeAndTheLastOneTakesItAway)
{
    RCPtr<KX::LRenderer> first;
    RCPtr<KX::LRenderer> second;
    KX::LRenderer::Create(first, KX::RendererOpenGL, RectT<long>(0, 0, 160, 120), SharedWindow(0));
    KX::LRenderer::Create(second, KX::RendererOpenGL, RectT<long>(0, 0, 80, 60), SharedWindow(1));
    ASSERT_TRUE(first && second);
    const RCPtr<KX::LFont> font = MakeFont(L"Liberation Sans", 15.0f);
    const RectT<float> before = first->MeasureText(String(L"Shared"), font);
    first = nullptr;
    EXPECT_EQ(before.width, second->MeasureText(String(L"Shared"), font).width)
        << "the second renderer still has FreeType and the catalogue";
    EXPECT_GT(KX::LFontFileInfo::GetFamilyCount(), 0);
    second = nullptr;
    EXPECT_EQ(0, KX::LFontFileInfo::GetFamilyCount());
    EXPECT_EQ(nullptr, KX::LFreetypeLibrary::GetLiving());
}

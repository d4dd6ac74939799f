// The GDI+ render context: its two surfaces, when a frame remakes them, the
// frame copies between off-screen contexts, and presentation to a real
// window under Xvfb (and a frame that is not presented), read back from the
// screen.
#include "Support/Scenes/RendererTestSupport.h"
#include "Support/Windows/ScreenCapture.h"

#include <vector>

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;

constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

KX::RCPtr<KX::LGDIRenderContextInfo> AsGdi(const KX::RCPtr<KX::LRenderContextInfo>& context)
{
    return KX::RCPtr<KX::LGDIRenderContextInfo>::DynamicCast(context);
}

TEST(GdiContext, SurfacesFollowTheViewportAndAreAtLeastOnePixel)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> empty = MakeOffscreenContext(renderer, 0, 0);
    EXPECT_EQ((PointT<long>(1, 1)), AsGdi(empty)->mSurface->GetSize());
    EXPECT_EQ((PointT<long>(1, 1)), AsGdi(empty)->mPreviousSurface->GetSize());
    EXPECT_EQ((PointT<long>(4096, 4096)), empty->GetMaxSize());
    EXPECT_TRUE(empty->mOffscreen);
    EXPECT_EQ(nullptr, empty->mWindow);

    // A viewport of another size remakes both surfaces at the next frame.
    empty->mViewport = RectT<long>(0, 0, 80, 60);
    { Frame frame(renderer, empty); }
    EXPECT_EQ((PointT<long>(80, 60)), AsGdi(empty)->mSurface->GetSize());
    EXPECT_EQ((PointT<long>(80, 60)), AsGdi(empty)->mPreviousSurface->GetSize());
}

TEST(GdiContext, AZeroViewportKeepsItsOnePixelSurfacesFromFrameToFrame)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> empty = MakeOffscreenContext(renderer, 0, 0);
    {
        Frame frame(renderer, empty);
        renderer->FillRect(RectT<long>(0, 0, 1, 1), Argb(kBlue), true);
    }
    for (int i = 0; i < 2; ++i) {
        Frame frame(renderer, empty);
    }
    EXPECT_EQ(kBlue, ReadPixel(empty, 0, 0)) << "the surfaces were not made again";
}

TEST(GdiContext, AWindowsSurfacesRemadeForAPartOfTheirSizeAskForACompleteRedraw)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    const struct
    {
        bool offscreen;
        long width; // the viewport's at the frame; the context is made 40 x 30
        long height;
        bool wholeDirty;
        bool asks;
    } cases[] = {
        {false, 60, 40, false, true},
        {false, 60, 40, true, false},  // painted whole anyway
        {false, 40, 30, false, false}, // same size: the surfaces keep the frame
        {false, 0, 0, false, true},    // remade at 1 x 1, where they then stay
        {true, 60, 40, false, false},  // a back buffer is never presented
    };
    for (const auto& c : cases) {
        KX::RCPtr<KX::LRenderContextInfo> context;
        ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 40, 30), nullptr, c.offscreen, context));
        context->mViewport = RectT<long>(0, 0, c.width, c.height);
        if (c.wholeDirty)
            context->mDirtyRegion.AddRect(0, 0, c.width, c.height);
        else
            context->mDirtyRegion.AddRect(0, 0, 10, 10);
        {
            Frame frame(renderer, context);
            EXPECT_EQ(c.asks, context->mCompleteRedraw) << c.width << "x" << c.height << " " << c.offscreen;
        }
        // The request is for one frame: the next one at this size paints.
        Frame frame(renderer, context);
        EXPECT_FALSE(context->mCompleteRedraw) << c.width << "x" << c.height;
    }
}

TEST(GdiContext, PixelsPersistUnlessTheWholeViewportIsDirty)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> context = MakeOffscreenContext(renderer, 40, 30);
    {
        Frame frame(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 40, 30), Argb(kBlue), true);
    }
    context->mDirtyRegion.AddRect(0, 0, 10, 10);
    { Frame frame(renderer, context); }
    EXPECT_EQ(kBlue, ReadPixel(context, 20, 20));

    context->mDirtyRegion.Clear();
    context->mDirtyRegion.AddRect(0, 0, 40, 30); // the whole viewport
    { Frame frame(renderer, context); }
    EXPECT_EQ(0u, ReadPixel(context, 20, 20));
}

TEST(GdiContext, CopyFromLastFrameTakesAnOffscreenContextsPixels)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> target = MakeOffscreenContext(renderer, 50, 50);
    KX::RCPtr<KX::LRenderContextInfo> buffer = MakeOffscreenContext(renderer, 20, 20);
    {
        Frame frame(renderer, buffer);
        renderer->FillRect(RectT<long>(0, 0, 20, 20), Argb(kRed), true);
        renderer->FillRect(RectT<long>(5, 5, 5, 5), Argb(kBlue), true);
    }
    Frame frame(renderer, target);
    EXPECT_EQ(S_OK, renderer->CopyFromLastFrame(buffer, PointT<long>(30, 30), RectT<long>(5, 5, 10, 10)));
    EXPECT_EQ(kBlue, ReadPixel(target, 30, 30));
    EXPECT_EQ(kRed, ReadPixel(target, 39, 39));
    EXPECT_EQ(0u, ReadPixel(target, 40, 40));

    KX::RCPtr<KX::LRenderContextInfo> window;
    renderer->InitRenderContextInfo(RectT<long>(0, 0, 10, 10), nullptr, false, window);
    EXPECT_EQ(E_INVALIDARG, renderer->CopyFromLastFrame(nullptr, PointT<long>(), RectT<long>(0, 0, 1, 1)));
    EXPECT_EQ(E_INVALIDARG, renderer->CopyFromLastFrame(window, PointT<long>(), RectT<long>(0, 0, 1, 1)));
    EXPECT_EQ(E_INVALIDARG, renderer->DrawLastFrame(window, PointT<long>()));
    SaveScreenshot(target, CurrentTestName());
}

TEST(GdiContext, DrawLastFrameScrollsTheBackBuffer)
{
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> buffer = MakeOffscreenContext(renderer, 30, 30);
    {
        Frame frame(renderer, buffer);
        renderer->FillRect(RectT<long>(0, 0, 10, 10), Argb(kRed), true);
    }
    Frame frame(renderer, buffer);
    EXPECT_EQ(S_OK, renderer->DrawLastFrame(buffer, PointT<long>(5, 12)));
    EXPECT_EQ(0u, ReadPixel(buffer, 0, 0));
    EXPECT_EQ(kRed, ReadPixel(buffer, 5, 12));
    EXPECT_EQ(kRed, ReadPixel(buffer, 14, 21));
    EXPECT_EQ(0u, ReadPixel(buffer, 15, 22));
    // Drawing goes on into the new back surface.
    renderer->FillRect(RectT<long>(20, 0, 5, 5), Argb(kBlue), true);
    EXPECT_EQ(kBlue, ReadPixel(buffer, 22, 2));
    SaveScreenshot(buffer, CurrentTestName());
}

// ---- Presentation to a window ----

const wchar_t* const kWindowClass = L"KXRendererTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1; // the test presents every pixel it checks
    return DefWindowProcW(window, message, wParam, lParam);
}

class TestWindow
{
public:
    TestWindow(int x, int y, int width, int height)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass);
        mWindow = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"Renderer test", WS_POPUP | WS_VISIBLE, x, y, width,
                                  height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Pump();
    }
    ~TestWindow()
    {
        if (mWindow)
            DestroyWindow(mWindow);
        Pump();
    }
    HWND Get() const { return mWindow; }

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

private:
    HWND mWindow = nullptr;
};

// The screen's pixels of a rectangle, as 0x00RRGGBB, read from the display
// the window shows on.
class ScreenCapture
{
public:
    ScreenCapture(int x, int y, int width, int height)
        : mWidth(width), mHeight(height), mPixels(TestScreen::ReadPixels(nullptr, x, y, width, height))
    {
    }
    uint32_t At(int x, int y) const { return mPixels[static_cast<size_t>(y) * mWidth + x]; }
    void Save(const std::string& name) const
    {
        EXPECT_TRUE(TestScreen::SavePixelsAsPng(mPixels, mWidth, mHeight, TestScreen::ScreenshotPath(name))) << name;
    }

private:
    int mWidth;
    int mHeight;
    std::vector<uint32_t> mPixels;
};

// A place for a test window in the lower right of the screen, away from where
// other programs' windows usually open.
POINT WindowPlace(int width, int height, int slot)
{
    return POINT{GetSystemMetrics(SM_CXSCREEN) - width - 20, GetSystemMetrics(SM_CYSCREEN) - (slot + 1) * (height + 20)};
}

// True when the window is what the screen shows at each of the points
// (client coordinates): a capture there shows the window's own pixels.
bool ShowsOnTop(HWND window, std::initializer_list<POINT> points)
{
    for (POINT point : points) {
        ClientToScreen(window, &point);
        if (WindowFromPoint(point) != window)
            return false;
    }
    return true;
}

TEST(GdiPresentation, OnlyTheDirtyRectanglesReachTheWindow)
{
    const POINT place = WindowPlace(200, 100, 0);
    const int kLeft = place.x;
    const int kTop = place.y;
    TestWindow window(kLeft, kTop, 200, 100);
    ASSERT_TRUE(window.Get());
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 200, 100), window.Get(), false, context));
    EXPECT_FALSE(context->mOffscreen);
    EXPECT_TRUE(context->mDC);

    // The first frame presents the whole window white.
    context->mDirtyRegion.AddRect(0, 0, 200, 100);
    {
        Frame frame(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 200, 100), Argb(kWhite), true);
    }
    // The next frame fills everything blue but presents two rectangles.
    context->mDirtyRegion.Clear();
    context->mDirtyRegion.AddRect(10, 10, 50, 40);
    context->mDirtyRegion.AddRect(120, 50, 190, 90);
    {
        Frame frame(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 200, 100), Argb(kBlue), true);
    }
    EXPECT_EQ(2, context->mDirtyRegion.GetCount()); // left to its owner
    TestWindow::Pump();

    ASSERT_TRUE(ShowsOnTop(window.Get(), {{0, 0}, {199, 0}, {0, 99}, {199, 99}, {100, 50}}))
        << "another window covers the test window";
    const ScreenCapture screen(kLeft, kTop, 200, 100);
    screen.Save(CurrentTestName());
    struct Probe
    {
        int x, y;
        uint32_t rgb;
    };
    const Probe probes[] = {
        {10, 10, 0x0000FF},  {49, 39, 0x0000FF},  {120, 50, 0x0000FF}, {189, 89, 0x0000FF},
        {9, 10, 0xFFFFFF},   {50, 20, 0xFFFFFF},  {30, 40, 0xFFFFFF},  {119, 70, 0xFFFFFF},
        {190, 89, 0xFFFFFF}, {150, 49, 0xFFFFFF}, {100, 50, 0xFFFFFF}, {0, 0, 0xFFFFFF},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.rgb, screen.At(probe.x, probe.y)) << "screen pixel " << probe.x << "," << probe.y;
}

TEST(GdiPresentation, AnOffscreenContextIsNeverDrawnToItsWindow)
{
    const POINT place = WindowPlace(60, 40, 3);
    const int kLeft = place.x;
    const int kTop = place.y;
    TestWindow window(kLeft, kTop, 60, 40);
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> windowContext;
    KX::RCPtr<KX::LRenderContextInfo> offscreen;
    renderer->InitRenderContextInfo(RectT<long>(0, 0, 60, 40), window.Get(), false, windowContext);
    renderer->InitRenderContextInfo(RectT<long>(0, 0, 60, 40), window.Get(), true, offscreen);
    windowContext->mDirtyRegion.AddRect(0, 0, 60, 40);
    offscreen->mDirtyRegion.AddRect(0, 0, 60, 40);
    {
        Frame frame(renderer, windowContext);
        renderer->FillRect(RectT<long>(0, 0, 60, 40), Argb(kWhite), true);
    }
    {
        Frame frame(renderer, offscreen);
        renderer->FillRect(RectT<long>(0, 0, 60, 40), Argb(kRed), true);
    }
    TestWindow::Pump();
    ASSERT_TRUE(ShowsOnTop(window.Get(), {{30, 20}})) << "another window covers the test window";
    const ScreenCapture screen(kLeft, kTop, 60, 40);
    EXPECT_EQ(0xFFFFFFu, screen.At(30, 20));
    EXPECT_EQ(kRed, ReadPixel(offscreen, 30, 20));
}

TEST(GdiPresentation, AFrameThatAsksForACompleteRedrawIsNotPresented)
{
    const POINT place = WindowPlace(60, 40, 4);
    TestWindow window(place.x, place.y, 60, 40);
    ASSERT_TRUE(window.Get());
    KX::RCPtr<KX::LGDIRenderer> renderer = MakeGdiRenderer();
    KX::RCPtr<KX::LRenderContextInfo> context;
    ASSERT_EQ(S_OK, renderer->InitRenderContextInfo(RectT<long>(0, 0, 60, 40), window.Get(), false, context));
    context->mDirtyRegion.AddRect(0, 0, 60, 40);
    {
        Frame frame(renderer, context);
        renderer->FillRect(RectT<long>(0, 0, 60, 40), Argb(kWhite), true);
    }
    // A new size (what a WM_SIZE gives the context) with only a part dirty:
    // the new surfaces hold nothing around the part, so the frame is not
    // presented, not even what its owner drew into it all the same.
    context->mViewport = RectT<long>(0, 0, 50, 30);
    context->mDirtyRegion.Clear();
    context->mDirtyRegion.AddRect(10, 10, 40, 25);
    {
        Frame frame(renderer, context);
        EXPECT_TRUE(context->mCompleteRedraw);
        renderer->FillRect(RectT<long>(0, 0, 50, 30), Argb(kBlue), true);
    }
    TestWindow::Pump();
    ASSERT_TRUE(ShowsOnTop(window.Get(), {{10, 10}, {39, 24}})) << "another window covers the test window";
    const ScreenCapture screen(place.x, place.y, 60, 40);
    screen.Save(CurrentTestName());
    EXPECT_EQ(0xFFFFFFu, screen.At(10, 10));
    EXPECT_EQ(0xFFFFFFu, screen.At(39, 24));
}

} // namespace

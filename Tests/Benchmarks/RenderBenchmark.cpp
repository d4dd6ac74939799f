// RenderBenchmark: what the GDI+ renderer costs for a frame of the kind the
// update screen draws (560 x 360: background and panel fills, a stretched
// and a tiled bitmap, a progress bar, twenty text runs), and what presenting
// a dirty region to a window costs per rectangle.
//
// Usage: RenderBenchmark [frames [rectangles]]
//        (default: 300 frames; a dirty region of 4 rectangles)
// Needs a display for its window (scripts/test's Xvfb, or DISPLAY=:N).
//
// Measured, each as the mean over the frames:
// - off-screen: RenderStart, the whole frame's drawing, RenderFinish on an
//   off-screen context (nothing presented); and the text runs alone;
// - window, partial: the same frame on the window's context with a dirty
//   region of the given rectangles; RenderFinish (which presents them) timed
//   on its own, divided by the rectangles;
// - window, whole: a dirty region that is the whole window, which also makes
//   RenderStart remake the surfaces (a full repaint);
// - idle progress step: only the progress bar redrawn and presented.
#include "Renderer/Gdi/GDIRenderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Font.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include "BenchmarkClock.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using KX::PointT;
using KX::RectT;
using Color = KX::ColorT<float>;

constexpr long kWidth = 560;
constexpr long kHeight = 360;

using Benchmark::WallMilliseconds;

KX::RCPtr<KX::LBitmap> PatternBitmap(long width, long height)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::CreateFilledBitmap(bitmap, PointT<long>(width, height), Color::FromARGB(0xFF202020));
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            const uint32_t argb = 0xFF000000u | (static_cast<uint32_t>(x * 255 / width) << 16) |
                                  (static_cast<uint32_t>(y * 255 / height) << 8) | 0x60u;
            KX::Gdip::GdipBitmapSetPixel(bitmap->GetImage(), x, y, argb);
        }
    }
    return bitmap;
}

struct Scene
{
    KX::RCPtr<KX::LBitmap> logo = PatternBitmap(64, 48);
    KX::RCPtr<KX::LBitmap> texture = PatternBitmap(16, 16);
    KX::RCPtr<KX::LFont> font;
    KX::RCPtr<KX::LFont> bold;
    double progress = 0.0;

    Scene()
    {
        KX::LFont::Create(font, L"Tahoma", 10.0f, 0);
        KX::LFont::Create(bold, L"Tahoma", 12.0f, 1);
    }

    void DrawProgress(KX::LRenderer& renderer) const
    {
        renderer.FillAndFrameRect(RectT<long>(40, 300, 480, 18), Color::FromARGB(0xFF303840),
                                  Color::FromARGB(0xFF8090A0), 1.0f);
        renderer.FillRect(RectT<long>(42, 302, static_cast<long>(476 * progress), 14), Color::FromARGB(0xFF40A0E0),
                          true);
    }

    void DrawTexts(KX::LRenderer& renderer) const
    {
        static const wchar_t* const kTexts[] = {
            L"TAVIK8 Firmware Updater", L"Device:", L"TAVIK8", L"Firmware version:", L"1.0.3.0",
            L"Firmware file:", L"ZTSeries8.led", L"File version:", L"1.0.4.0", L"Status:",
            L"Putting Device in Update Mode...", L"Switch the device off and on, then press NEXT.",
            L"Waiting for Device Reset To Complete...", L"SCAN", L"UPDATE FIRMWARE", L"NEXT", L"EXIT",
            L"Allow downgrade", L"Progress", L"The update completed successfully."};
        for (int i = 0; i < 20; ++i) {
            const PointT<long> at(i < 13 ? 130 + (i % 2) * 150 : 50 + (i - 13) * 70, i < 13 ? 60 + i * 16 : 332);
            renderer.DrawText(kTexts[i], i == 0 ? bold : font, at, Color::FromARGB(0xFFE0E8F0));
        }
    }

    void Draw(KX::LRenderer& renderer) const
    {
        renderer.FillRect(RectT<long>(0, 0, kWidth, kHeight), Color::FromARGB(0xFF1C2024), true);
        renderer.DrawBitmap(texture, RectT<long>(0, 0, kWidth, 40), KX::ResizeTile);
        renderer.DrawBitmap(logo, RectT<long>(12, 50, 96, 72), KX::ResizeStretch);
        renderer.FillAndFrameRect(RectT<long>(120, 50, 420, 230), Color::FromARGB(0xFF262C32),
                                  Color::FromARGB(0xFF50606C), 1.0f);
        for (int i = 0; i < 4; ++i)
            renderer.FillAndFrameRect(RectT<long>(40 + i * 125, 326, 110, 26), Color::FromARGB(0xFF34404A),
                                      Color::FromARGB(0xFF90A0B0), 1.0f);
        DrawTexts(renderer);
        DrawProgress(renderer);
    }
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KXRenderBenchmark";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"RenderBenchmark", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                           kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

struct Timing
{
    double frame = 0.0;   // ms per frame, start to finish
    double present = 0.0; // ms per frame spent in RenderFinish
};

Timing Measure(KX::LRenderer& renderer, const KX::RCPtr<KX::LRenderContextInfo>& context, int frames,
               const std::function<void(int)>& draw)
{
    // One frame first, so that first-use costs (fonts, cached bitmaps) stay out.
    renderer.RenderStart(context);
    draw(0);
    renderer.RenderFinish(context);
    Timing total;
    for (int i = 0; i < frames; ++i) {
        const double start = WallMilliseconds();
        renderer.RenderStart(context);
        draw(i);
        const double drawn = WallMilliseconds();
        renderer.RenderFinish(context);
        const double end = WallMilliseconds();
        total.frame += end - start;
        total.present += end - drawn;
        Pump();
    }
    total.frame /= frames;
    total.present /= frames;
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const int rectangles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    int result = 0;
    {
        KX::RCPtr<KX::LRenderer> renderer;
        KX::LRenderer::Create(renderer, KX::RendererGdiPlus, RectT<long>(0, 0, kWidth, kHeight), nullptr);
        Scene scene;
        const auto wholeFrame = [&](int i) {
            scene.progress = (i % 100) / 100.0;
            scene.Draw(*renderer);
        };

        KX::RCPtr<KX::LRenderContextInfo> offscreen;
        renderer->InitRenderContextInfo(RectT<long>(0, 0, kWidth, kHeight), nullptr, true, offscreen);
        const Timing offscreenTiming = Measure(*renderer, offscreen, frames, wholeFrame);
        const Timing textTiming = Measure(*renderer, offscreen, frames, [&](int) { scene.DrawTexts(*renderer); });

        HWND window = MakeWindow();
        if (!window) {
            std::fprintf(stderr, "no window (is there a display?)\n");
            result = 1;
        } else {
            Pump();
            KX::RCPtr<KX::LRenderContextInfo> onScreen;
            renderer->InitRenderContextInfo(RectT<long>(0, 0, kWidth, kHeight), window, false, onScreen);

            // Dirty rectangles side by side along the top half, as labels are.
            const long width = kWidth / rectangles;
            for (int i = 0; i < rectangles; ++i)
                onScreen->mDirtyRegion.AddRect(i * width, 60, i * width + width - 8, 60 + 120);
            const Timing partial = Measure(*renderer, onScreen, frames, wholeFrame);

            onScreen->mDirtyRegion.Clear();
            onScreen->mDirtyRegion.AddRect(0, 0, kWidth, kHeight);
            const Timing whole = Measure(*renderer, onScreen, frames, wholeFrame);

            onScreen->mDirtyRegion.Clear();
            onScreen->mDirtyRegion.AddRect(40, 300, 520, 318);
            const Timing progress = Measure(*renderer, onScreen, frames, [&](int i) {
                scene.progress = (i % 100) / 100.0;
                scene.DrawProgress(*renderer);
            });
            DestroyWindow(window);

            std::printf("GDI+ renderer, %ld x %ld frame (fills, a stretched and a tiled bitmap, 20 text runs), "
                        "mean of %d frames\n",
                        kWidth, kHeight, frames);
            std::printf("  off-screen, whole frame drawn:             %8.3f ms per frame\n", offscreenTiming.frame);
            std::printf("  off-screen, the 20 text runs alone:        %8.3f ms per frame\n", textTiming.frame);
            std::printf("  window, whole frame, %2d dirty rectangles:  %8.3f ms per frame, %8.3f ms presenting "
                        "(%6.3f ms per rectangle of %ld x 120)\n",
                        rectangles, partial.frame, partial.present, partial.present / rectangles, width - 8);
            std::printf("  window, whole frame, whole window dirty:   %8.3f ms per frame, %8.3f ms presenting "
                        "(surfaces remade)\n",
                        whole.frame, whole.present);
            std::printf("  window, progress bar only (480 x 18):      %8.3f ms per frame, %8.3f ms presenting\n",
                        progress.frame, progress.present);
        }
    }
    KX::LFont::ReleaseRegistry();
    Gdiplus::GdiplusShutdown(token);
    return result;
}

// ScreenBenchmark: what the control framework costs for the update screen
// made from the program's own skin (plain controls registered under its class
// names, as in the looks tests), drawn off-screen with the GDI+ renderer.
//
// Usage: ScreenBenchmark [rounds]     (default 200)
//
// Measured, each as the mean over the rounds:
// - creation: the 24 controls of "mainControl" made and attached to a root
//   window, then released;
// - whole paint: the 560 x 360 window painted into an off-screen surface
//   (looks, label texts, children, the second pass);
// - label change: one label's text changed and only its dirty rectangle
//   painted (the kind of repaint the screen makes while it updates);
// - re-skin: the skin's description applied again to the live tree.
#include "Support/Scenes/ControlTestSupport.h"

#include "Renderer/Gdi/GDIRenderer.h"
#include "Utilities/Graphics/Font.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include "BenchmarkClock.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

namespace {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;

class PlainControl : public KX::LControl
{
public:
    PlainControl(const RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name) {}
};

using Benchmark::WallMilliseconds;

double MeanMilliseconds(int rounds, const std::function<void(int)>& round)
{
    const double start = WallMilliseconds();
    for (int i = 0; i < rounds; ++i)
        round(i);
    return (WallMilliseconds() - start) / rounds;
}

void RegisterClasses(KX::LControlFactory& factory, const RCPtr<KX::LControlDescriptor>& descriptor)
{
    for (int32_t i = 0; i < descriptor->GetChildren().GetCount(); ++i) {
        const RCPtr<KX::LControlDescriptor>& child = descriptor->GetChildren().GetAt(i);
        factory.RegisterControlCreateFunction(child->GetClassName(),
                                              &KX::LControl::CreateControlOfClass<PlainControl>);
        RegisterClasses(factory, child);
    }
}

int Run(int rounds)
{
    const RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater");
    if (factory->LoadResources(String(L"::"), 0x0409) != S_OK) {
        std::printf("the program's documents did not load\n");
        return 1;
    }
    RegisterClasses(*factory, factory->GetSkins().GetAt(0));
    RCPtr<KXTest::ControlTestApplication> application = KXTest::ControlTestApplication::Make(factory);
    application->SetSkin(0);
    KXTest::FakeOSServices os;
    RCPtr<KX::LRenderer> renderer;
    KX::LRenderer::Create(renderer, KX::RendererGdiPlus, KX::RectT<long>(0, 0, 560, 360), nullptr);
    RCPtr<KX::LRootWindow> window;
    KX::LRootWindow::Create(window, renderer, &os);
    application->AddRootWindow(window);
    RCPtr<KX::LRenderContextInfo> surface;
    renderer->InitRenderContextInfo(KX::RectT<long>(0, 0, 560, 360), nullptr, true, surface);

    const auto paint = [&](const KX::LRectRegion& region) {
        renderer->RenderStart(surface);
        window->Paint(region);
        renderer->RenderFinish(surface);
    };
    KX::LRectRegion whole;
    whole.AddRect(0, 0, 560, 360);

    const double creation = MeanMilliseconds(rounds, [&](int) {
        window->SetRootControl(String(L"mainControl"));
        window->SetRootControl(RCPtr<KX::LControl>());
    });
    window->SetRootControl(String(L"mainControl"));
    paint(whole); // fonts measured, bitmaps and families made once
    const double wholePaint = MeanMilliseconds(rounds, [&](int) { paint(whole); });
    const RCPtr<KX::LControl> label = window->GetRootControl()->FindChild(String(L"labelUpdateProcessInformation"));
    const double labelChange = MeanMilliseconds(rounds, [&](int i) {
        label->SetText(i % 2 ? String(L"Firmware update in progress. Do not disconnect TAVIK8.")
                             : String(L"Waiting for device to reset."));
        KX::LRectRegion dirty;
        window->TakeDirtyRegion(dirty);
        paint(dirty);
    });
    const double reskin = MeanMilliseconds(rounds, [&](int) {
        factory->ReapplyControlDescriptor(window->GetRootControl());
        KX::LRectRegion dirty;
        window->TakeDirtyRegion(dirty);
    });

    std::printf("update screen, %d rounds, mean per round:\n", rounds);
    std::printf("  creation of the 24 controls and release: %8.3f ms\n", creation);
    std::printf("  whole paint, 560 x 360 off-screen:       %8.3f ms\n", wholePaint);
    std::printf("  one label's text change and its repaint: %8.3f ms\n", labelChange);
    std::printf("  re-skin of the live tree:                %8.3f ms\n", reskin);

    window->SetRootControl(RCPtr<KX::LControl>());
    application->RemoveRootWindow(window);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    KX::Gdip::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (KX::Gdip::GdiplusStartup(&token, &input, nullptr) != KX::Gdip::Ok)
        return 1;
    const int result = Run(rounds);
    KX::LFont::ReleaseRegistry();
    KX::Gdip::GdiplusShutdown(token);
    return result;
}

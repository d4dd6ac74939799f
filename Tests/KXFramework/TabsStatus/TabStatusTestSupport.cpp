#include "TabStatusTestSupport.h"

#include "Controls/FrameworkControlTypes.h"

#include <algorithm>

namespace TabStatusTest {

RCPtr<KX::LStatusBar> TestApplication::GetStatusBar()
{
    const RCPtr<KX::LRootWindow>& window = GetRootWindow(0);
    const RCPtr<KX::LControl> top = window ? window->GetRootControl() : RCPtr<KX::LControl>();
    return top ? RCPtr<KX::LStatusBar>::DynamicCast(top->FindChild(String(L"statusBar"))) : RCPtr<KX::LStatusBar>();
}

void TabStatusTestBase::SetUp()
{
    factory = KX::LControlFactory::Create(L"Tab Status Tests");
    if (mWithStrings) {
        ASSERT_EQ(S_OK, factory->LoadStringTables(String(L"::TAB_STATUS_STRINGS"), String(L"::NO_FRAMEWORK_STRINGS"),
                                                  0x0409))
            << KXTest::Text(factory->GetLastErrorText());
    }
    ASSERT_EQ(S_OK, factory->LoadSkin(L"::TAB_STATUS_SKINS")) << KXTest::Text(factory->GetLastErrorText());
    factory->SetCurrentSkinIndex(0);
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(L"Test.Part", &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    factory->RegisterControlCreateFunction(L"Test.CountingLabel", &KX::LControl::CreateControlOfClass<CountingLabel>);
    application = TestApplication::Make(factory);
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
}

void TabStatusTestBase::TearDown()
{
    surface = nullptr;
    if (window) {
        window->SetRootControl(RCPtr<KX::LControl>());
        application->RemoveRootWindow(window);
        window = nullptr;
    }
    renderer = nullptr;
    application = nullptr;
    factory = nullptr;
}

RCPtr<KX::LControl> TabStatusTestBase::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> TabStatusTestBase::Find(const std::wstring& path) const
{
    RCPtr<KX::LControl> control = window->GetRootControl();
    size_t start = 0;
    while (control) {
        const size_t end = path.find(L'/', start);
        const std::wstring name = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        control = control->FindChild(String(name.c_str()));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return control;
}

PointT<long> TabStatusTestBase::CentreOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    const RectT<double>& rect = control->GetRect();
    return PointT<long>(PointT<double>(origin.x + rect.width / 2.0, origin.y + rect.height / 2.0));
}

void TabStatusTestBase::MoveTo(const PointT<long>& point)
{
    os.cursor = point;
    window->MouseMove(point, 0, 0);
}

void TabStatusTestBase::Press(const PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= 1;
    window->MouseButton(KX::LRootWindow::kPress, 1, 0, point, 0);
}

void TabStatusTestBase::Release(const PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons &= ~1;
    window->MouseButton(KX::LRootWindow::kRelease, 1, 0, point, 0);
}

void TabStatusTestBase::Click(const RCPtr<KX::LControl>& control)
{
    const PointT<long> centre = CentreOf(control);
    Press(centre);
    Release(centre);
}

void TabStatusTestBase::IdlePass()
{
    application->mTicks += 33;
    application->ProcessIdle(true);
}

void TabStatusTestBase::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t TabStatusTestBase::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

int TabStatusTestBase::CountPixelsOtherThan(const RectT<long>& rect, uint32_t argb) const
{
    int count = 0;
    for (long y = rect.y; y < rect.y + rect.height; ++y) {
        for (long x = rect.x; x < rect.x + rect.width; ++x) {
            if (Pixel(x, y) != argb)
                ++count;
        }
    }
    return count;
}

} // namespace TabStatusTest

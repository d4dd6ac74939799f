#include "ScrollTestSupport.h"

#include "ControlBase/ControlFactory.h"
#include "Controls/FrameworkControlTypes.h"

namespace ScrollTest {

void ScrollTestBase::SetUp()
{
    factory = KX::LControlFactory::Create(L"Scroll Tests");
    ASSERT_EQ(S_OK, factory->LoadSkin(String(L"::SCROLL_SKIN"))) << KXTest::Text(factory->GetLastErrorText());
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(String(L"Test.Block"), &KX::LControl::CreateControlOfClass<Block>);
    // The arrows and the thumb are plain parts where the framework has no
    // button class (the first registration of a name wins).
    factory->RegisterControlCreateFunction(String(L"Framework.Button"), &KX::LControl::CreateControlOfClass<Block>);
    application = KXTest::ControlTestApplication::Make(factory);
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
}

void ScrollTestBase::TearDown()
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

RCPtr<KX::LControl> ScrollTestBase::Open(const wchar_t* name)
{
    window->SetRootControl(String(name));
    return window->GetRootControl();
}

RCPtr<KX::LControl> ScrollTestBase::Find(const std::wstring& path) const
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

KX::PointT<long> ScrollTestBase::AtControl(const RCPtr<KX::LControl>& control, long x, long y) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    return KX::PointT<long>(KX::RoundDoubleToInt(origin.x) + x, KX::RoundDoubleToInt(origin.y) + y);
}

void ScrollTestBase::MoveTo(const KX::PointT<long>& point)
{
    os.cursor = point;
    window->MouseMove(point, 0, 0);
}

void ScrollTestBase::Press(const KX::PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= 1;
    window->MouseButton(KX::LRootWindow::kPress, 1, 0, point, 0);
}

void ScrollTestBase::Release(const KX::PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons &= ~1;
    window->MouseButton(KX::LRootWindow::kRelease, 1, 0, point, 0);
}

KX::KXRESULT ScrollTestBase::Wheel(const KX::PointT<long>& point, int32_t direction, int32_t modifiers)
{
    os.cursor = point;
    return window->MouseWheel(point, modifiers, direction);
}

KX::KXRESULT ScrollTestBase::PressKey(uint32_t virtualKey, uint32_t modifiers)
{
    return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
}

std::wstring ScrollTestBase::Focused() const
{
    const RCPtr<KX::LControl>& focus = window->GetFocusControl();
    return focus ? KXTest::Text(focus->GetName()) : L"none";
}

void ScrollTestBase::Advance(uint32_t milliseconds)
{
    application->mTicks += milliseconds;
    application->ProcessIdle(true);
}

void ScrollTestBase::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t ScrollTestBase::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

} // namespace ScrollTest

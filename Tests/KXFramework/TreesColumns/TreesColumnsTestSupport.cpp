#include "TreesColumnsTestSupport.h"

#include "Controls/FrameworkControlTypes.h"

#include <algorithm>

namespace TreesColumnsTest {

std::wstring TextOf(const RCPtr<KX::LTaggableObject>& object)
{
    return object ? KXTest::Text(object->ToString()) : std::wstring();
}

void TreesColumnsTest::SetUp()
{
    factory = KX::LControlFactory::Create(L"Trees Columns Tests");
    ASSERT_EQ(S_OK, factory->LoadSkin(L"::TREES_COLUMNS_SKINS")) << KXTest::Text(factory->GetLastErrorText());
    factory->SetCurrentSkinIndex(0);
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(L"Test.Part", &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    application = KXTest::ControlTestApplication::Make(factory);
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
}

void TreesColumnsTest::TearDown()
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

RCPtr<KX::LControl> TreesColumnsTest::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> TreesColumnsTest::Find(const std::wstring& path) const
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

PointT<long> TreesColumnsTest::OriginOf(const RCPtr<KX::LControl>& control) const
{
    return PointT<long>(control->GetRootPosition());
}

PointT<long> TreesColumnsTest::CentreOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    const RectT<double>& rect = control->GetRect();
    return PointT<long>(PointT<double>(origin.x + rect.width / 2.0, origin.y + rect.height / 2.0));
}

void TreesColumnsTest::MoveTo(const PointT<long>& point, int32_t modifiers)
{
    os.cursor = point;
    window->MouseMove(point, modifiers, 0);
}

void TreesColumnsTest::Press(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kPress, button, modifiers, point, 0);
}

void TreesColumnsTest::Release(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons &= ~button;
    window->MouseButton(KX::LRootWindow::kRelease, button, modifiers, point, 0);
}

void TreesColumnsTest::Click(const PointT<long>& point, int32_t modifiers)
{
    Press(point, 1, modifiers);
    Release(point, 1, modifiers);
}

void TreesColumnsTest::DoubleClick(const PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= 1;
    window->MouseButton(KX::LRootWindow::kDoubleClick, 1, 0, point, 0);
    Release(point);
}

void TreesColumnsTest::Key(uint32_t virtualKey, uint32_t modifiers)
{
    window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
    window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, false, 1, modifiers), 1));
}

void TreesColumnsTest::RunIdle(uint32_t duration, uint32_t step)
{
    for (uint32_t elapsed = 0; elapsed < duration;) {
        const uint32_t next = std::min(step, duration - elapsed);
        application->mTicks += next;
        elapsed += next;
        application->ProcessIdle(true);
    }
}

void TreesColumnsTest::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t TreesColumnsTest::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

} // namespace TreesColumnsTest

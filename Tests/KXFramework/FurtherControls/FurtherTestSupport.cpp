#include "FurtherTestSupport.h"

#include "Controls/FrameworkControlTypes.h"
#include "ObjectBase/Holder.h"

#include <cstdlib>

namespace FurtherTest {

std::vector<double> ValuesSeen(const KXTest::Listener& listener)
{
    std::vector<double> values;
    for (const KXTest::Listener::Received& entry : listener.received) {
        if (entry.id != KX::NID_VALUE_CHANGE)
            continue;
        if (const RCPtr<KX::LValueParam> param = RCPtr<KX::LValueParam>::DynamicCast(entry.data))
            values.push_back(param->mNormalizedValue);
    }
    return values;
}

std::vector<bool> CapturesSeen(const KXTest::Listener& listener)
{
    std::vector<bool> captures;
    for (const KXTest::Listener::Received& entry : listener.received) {
        if (entry.id != KX::NID_VALUE_CHANGE_CAPTURE)
            continue;
        if (const RCPtr<KX::LHolder<bool>> flag = RCPtr<KX::LHolder<bool>>::DynamicCast(entry.data))
            captures.push_back(flag->GetValue());
    }
    return captures;
}

void FurtherControlTest::SetUp()
{
    factory = KX::LControlFactory::Create(L"Further Tests");
    ASSERT_EQ(S_OK, factory->LoadSkin(L"::FURTHER_SKINS")) << KXTest::Text(factory->GetLastErrorText());
    factory->SetCurrentSkinIndex(0);
    KX::RegisterFrameworkControlTypes(*factory);
    // The scenes' plain parts.
    factory->RegisterControlCreateFunction(L"Test.Part", &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    factory->RegisterControlCreateFunction(L"Test.DropTarget", &KX::LControl::CreateControlOfClass<DropTarget>);
    application = TestApplication::Make(factory);
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
}

void FurtherControlTest::TearDown()
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

RCPtr<KX::LControl> FurtherControlTest::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> FurtherControlTest::Find(const std::wstring& path) const
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

PointT<long> FurtherControlTest::OriginOf(const RCPtr<KX::LControl>& control) const
{
    return PointT<long>(control->GetRootPosition());
}

PointT<long> FurtherControlTest::CentreOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    const RectT<double>& rect = control->GetRect();
    return PointT<long>(PointT<double>(origin.x + rect.width / 2.0, origin.y + rect.height / 2.0));
}

void FurtherControlTest::MoveTo(const PointT<long>& point, int32_t modifiers)
{
    os.cursor = point;
    window->MouseMove(point, modifiers, 0);
}

void FurtherControlTest::Press(const PointT<long>& point, int32_t button)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kPress, button, 0, point, 0);
}

void FurtherControlTest::Release(const PointT<long>& point, int32_t button)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons &= ~button;
    window->MouseButton(KX::LRootWindow::kRelease, button, 0, point, 0);
}

void FurtherControlTest::Drag(const PointT<long>& from, const PointT<long>& to, long step)
{
    Press(from);
    PointT<long> at = from;
    while (at != to) {
        const long dx = std::max(-step, std::min(step, to.x - at.x));
        const long dy = std::max(-step, std::min(step, to.y - at.y));
        at = PointT<long>(at.x + dx, at.y + dy);
        MoveTo(at);
    }
    Release(to);
}

void FurtherControlTest::Wheel(const PointT<long>& point, int32_t direction)
{
    if (os.cursor != point)
        MoveTo(point);
    window->MouseWheel(point, 0, direction);
}

void FurtherControlTest::Key(uint32_t virtualKey, bool down, uint32_t modifiers)
{
    const KX::KeyCode key(virtualKey, down, down ? 0 : 1, modifiers);
    window->KeyEvent(KX::LKeyParam::Create(key, 1));
}

void FurtherControlTest::IdlePass()
{
    application->ProcessIdle(true);
}

void FurtherControlTest::RunIdle(uint32_t duration, uint32_t step)
{
    for (uint32_t elapsed = 0; elapsed < duration;) {
        const uint32_t next = std::min(step, duration - elapsed);
        application->mTicks += next;
        elapsed += next;
        IdlePass();
    }
}

void FurtherControlTest::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), os.clientSize.x,
                                                 os.clientSize.y);
    KX::LRectRegion region;
    region.AddRect(0, 0, os.clientSize.x, os.clientSize.y);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t FurtherControlTest::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

} // namespace FurtherTest

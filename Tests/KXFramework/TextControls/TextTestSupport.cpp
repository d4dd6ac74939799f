#include "TextTestSupport.h"

#include "Application/RootWindow.h"
#include "Controls/FrameworkControlTypes.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace TextTest {

std::vector<std::wstring> IdsOf(const KXTest::Listener& listener)
{
    return listener.Ids();
}

int CountOf(const KXTest::Listener& listener, const wchar_t* id)
{
    const std::vector<std::wstring> ids = listener.Ids();
    return static_cast<int>(std::count(ids.begin(), ids.end(), std::wstring(id)));
}

void TextControlTest::SetUp()
{
    factory = KX::LControlFactory::Create(L"Text Tests");
    ASSERT_EQ(S_OK, factory->LoadResources(L"::", 0x0409)) << KXTest::Text(factory->GetLastErrorText());
    factory->SetCurrentSkinIndex(0);
    KX::RegisterFrameworkControlTypes(*factory);
    application = KXTest::ControlTestApplication::Make(factory);
    // What start-up does for keys and the clipboard.
    application->GetHotKeyManager()->GetBindingMap().Load(application->GetAppStringTable(), String(L"GHK"));
    application->GetClipboard()->Initialize();
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    os.handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
    os.focused = true;
}

void TextControlTest::TearDown()
{
    surface = nullptr;
    if (window) {
        window->SetRootControl(RCPtr<KX::LControl>());
        application->RemoveRootWindow(window);
        window = nullptr;
    }
    renderer = nullptr;
    if (application && application->GetClipboard())
        application->GetClipboard()->UnregisterAll();
    if (os.handle)
        DestroyWindow(os.handle);
    os.handle = nullptr;
    application = nullptr;
    factory = nullptr;
}

RCPtr<KX::LControl> TextControlTest::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> TextControlTest::Find(const std::wstring& path) const
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

PointT<long> TextControlTest::OriginOf(const RCPtr<KX::LControl>& control) const
{
    return PointT<long>(control->GetRootPosition());
}

PointT<long> TextControlTest::CentreOf(const RCPtr<KX::LControl>& control) const
{
    const RectT<double>& rect = control->GetRect();
    return InWindow(control, rect.width / 2.0, rect.height / 2.0);
}

PointT<long> TextControlTest::InWindow(const RCPtr<KX::LControl>& control, double x, double y) const
{
    const PointT<double> origin = control->GetRootPosition();
    return PointT<long>(std::lround(origin.x + x), std::lround(origin.y + y));
}

void TextControlTest::MoveTo(const PointT<long>& point, int32_t modifiers)
{
    os.cursor = point;
    window->MouseMove(point, modifiers, 0);
}

void TextControlTest::Press(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kPress, button, modifiers, point, 0);
}

void TextControlTest::Release(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons &= ~button;
    window->MouseButton(KX::LRootWindow::kRelease, button, modifiers, point, 0);
}

void TextControlTest::Click(const PointT<long>& point, int32_t modifiers)
{
    Press(point, 1, modifiers);
    Release(point, 1, modifiers);
}

void TextControlTest::DoubleClick(const PointT<long>& point)
{
    Click(point);
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= 1;
    window->MouseButton(KX::LRootWindow::kDoubleClick, 1, 0, point, 0);
    Release(point);
}

void TextControlTest::KeyDown(uint32_t virtualKey, uint32_t modifiers)
{
    window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
}

void TextControlTest::KeyUp(uint32_t virtualKey, uint32_t modifiers)
{
    window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, false, 1, modifiers), 1));
}

void TextControlTest::Tap(uint32_t virtualKey, uint32_t modifiers)
{
    KeyDown(virtualKey, modifiers);
    KeyUp(virtualKey, modifiers);
}

void TextControlTest::Type(const std::wstring& text)
{
    for (wchar_t character : text) {
        const wchar_t key = static_cast<wchar_t>(std::towupper(character));
        const bool hasKey = (key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9') || key == L' ';
        const uint32_t modifiers = std::iswupper(character) ? KX::KeyCode::ModShift : 0;
        if (hasKey)
            KeyDown(key, modifiers);
        window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(character, modifiers), 1));
        if (hasKey)
            KeyUp(key, modifiers);
    }
}

void TextControlTest::IdlePass()
{
    application->ProcessIdle(true);
}

void TextControlTest::RunIdle(uint32_t duration, uint32_t step)
{
    for (uint32_t elapsed = 0; elapsed < duration;) {
        const uint32_t next = std::min(step, duration - elapsed);
        application->mTicks += next;
        elapsed += next;
        IdlePass();
    }
}

void TextControlTest::Focus(const RCPtr<KX::LControl>& control)
{
    ASSERT_TRUE(control);
    control->SetFocus(true);
    ASSERT_EQ(control.Get(), window->GetFocusControl().Get());
}

void TextControlTest::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t TextControlTest::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

} // namespace TextTest

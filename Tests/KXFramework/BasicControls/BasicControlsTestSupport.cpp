#include "BasicControlsTestSupport.h"

#include "Controls/FrameworkControlTypes.h"
#include "System/GlobalHotKeyManager.h"

#include <algorithm>
#include <cstdlib>

namespace BasicTest {

uint32_t SlotColour(int32_t slot)
{
    // As Documents/TestSkin.xml defines "Test.Colour<slot>".
    const uint32_t red = 0x10u * static_cast<uint32_t>(slot) + 0x08u;
    const uint32_t blue = 0xF8u - 0x10u * static_cast<uint32_t>(slot);
    return 0xFF000000u | (red << 16) | (0x80u << 8) | blue;
}

bool NearColour(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance)
            return false;
    }
    return true;
}

void BasicControlsTest::SetUp()
{
    KX::LToolTip::SetLastHideTick(0);
    renderer = RendererTest::MakeGdiRenderer();
}

void BasicControlsTest::TearDown()
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

void BasicControlsTest::Open(bool testSkin)
{
    if (testSkin) {
        factory = KX::LControlFactory::Create(String(L"Basic Tests"));
        ASSERT_EQ(S_OK, factory->LoadStringTables(String(L"::BASIC_TEST_STRINGS"), String(L"::FRAMEWORK_STRINGS"),
                                                  0x0409))
            << Text(factory->GetLastErrorText());
        ASSERT_EQ(S_OK, factory->LoadSkin(String(L"::BASIC_TEST_SKIN"))) << Text(factory->GetLastErrorText());
    } else {
        factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
        ASSERT_EQ(S_OK, factory->LoadResources(String(L"::"), 0x0409)) << Text(factory->GetLastErrorText());
    }
    // The framework's types as the program registers them; the first
    // registration of a name wins, so stand-ins only fill the gaps.
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(String(L"Test.Plain"),
                                           &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    for (const wchar_t* className : {L"FirmwareUpdater.MainControl", L"Framework.Panel", L"Framework.MainMenu",
                                     L"Framework.ComboMenu", L"Framework.PopupMenu", L"Framework.MenuItem"})
        factory->RegisterControlCreateFunction(String(className), &KX::LControl::CreateControlOfClass<KX::LControl>);

    application = KXTest::ControlTestApplication::Make(factory);
    // The application's own key bindings, as its start-up loads them.
    application->GetHotKeyManager()->GetBindingMap().Load(application->GetAppStringTable(), String(L"GHK"));
    application->SetSkin(0);
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
    ASSERT_EQ(S_OK, window->SetRootControl(String(testSkin ? L"testPanel" : L"mainControl")));
    ASSERT_TRUE(window->GetRootControl());
}

RCPtr<KX::LControl> BasicControlsTest::Find(const std::wstring& path) const
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

KX::PointT<long> BasicControlsTest::Middle(const RCPtr<KX::LControl>& control) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    const KX::RectT<double>& rect = control->GetRect();
    return KX::PointT<long>(KX::RoundDoubleToInt(origin.x + rect.width / 2),
                            KX::RoundDoubleToInt(origin.y + rect.height / 2));
}

void BasicControlsTest::MoveTo(const KX::PointT<long>& point)
{
    os.cursor = point;
    window->MouseMove(point, 0, 0);
}

void BasicControlsTest::Press(const KX::PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= 1;
    window->MouseButton(KX::LRootWindow::kPress, 1, 0, point, 0);
}

void BasicControlsTest::Release(const KX::PointT<long>& point)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons &= ~1;
    window->MouseButton(KX::LRootWindow::kRelease, 1, 0, point, 0);
}

void BasicControlsTest::Click(const KX::PointT<long>& point)
{
    Press(point);
    Release(point);
}

KX::KXRESULT BasicControlsTest::PressKey(uint32_t virtualKey, uint32_t modifiers)
{
    return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
}

void BasicControlsTest::IdlePass()
{
    application->ProcessIdle(true);
}

void BasicControlsTest::RunIdle(uint32_t duration, uint32_t step)
{
    for (uint32_t elapsed = 0; elapsed < duration;) {
        const uint32_t next = std::min(step, duration - elapsed);
        application->mTicks += next;
        elapsed += next;
        IdlePass();
    }
}

void BasicControlsTest::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), os.clientSize.x,
                                                 os.clientSize.y);
    KX::LRectRegion region;
    region.AddRect(0, 0, os.clientSize.x, os.clientSize.y);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    EXPECT_EQ(0, renderer->GetContextDepth());
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t BasicControlsTest::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

uint32_t BasicControlsTest::ControlPixel(const RCPtr<KX::LControl>& control) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    const KX::RectT<double>& rect = control->GetRect();
    return Pixel(static_cast<long>(origin.x + rect.width / 4), static_cast<long>(origin.y + rect.height / 4));
}

} // namespace BasicTest

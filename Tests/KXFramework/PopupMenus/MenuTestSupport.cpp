#include "MenuTestSupport.h"

#include "DropDownTestControl.h"
#include "MenuOwnerControl.h"

#include "Controls/FrameworkControlTypes.h"
#include "Controls/ListBox.h"
#include "System/GlobalHotKeyManager.h"

#include <algorithm>
#include <cstdlib>

namespace MenuTest {

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

void MenuTestBase::SetUp()
{
    renderer = RendererTest::MakeGdiRenderer();
}

void MenuTestBase::TearDown()
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

void MenuTestBase::Load(bool testDocuments, const PointT<long>& clientSize)
{
    os.clientSize = clientSize;
    if (testDocuments) {
        factory = KX::LControlFactory::Create(String(L"Menu Tests"));
        ASSERT_EQ(S_OK, factory->LoadStringTables(String(L"::MENU_TEST_STRINGS"), String(L"::FRAMEWORK_STRINGS"),
                                                  0x0409))
            << Text(factory->GetLastErrorText());
        ASSERT_EQ(S_OK, factory->LoadSkin(String(L"::MENU_TEST_SKIN"))) << Text(factory->GetLastErrorText());
    } else {
        factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
        ASSERT_EQ(S_OK, factory->LoadResources(String(L"::"), 0x0409)) << Text(factory->GetLastErrorText());
    }
    // The framework's types as the program registers them; the first
    // registration of a name wins, so the stand-ins only fill gaps.
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(String(L"Test.Part"),
                                           &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    factory->RegisterControlCreateFunction(String(L"Test.DropDown"),
                                           &KX::LControl::CreateControlOfClass<DropDownTestControl>);
    factory->RegisterControlCreateFunction(String(L"Test.MenuOwner"),
                                           &KX::LControl::CreateControlOfClass<MenuOwnerControl>);
    // The update screen's own control is another branch's: a plain control
    // holds the program skin's tree here.
    factory->RegisterControlCreateFunction(String(L"FirmwareUpdater.MainControl"),
                                           &KX::LControl::CreateControlOfClass<KXTest::TestControl>);

    application = MenuTestApplication::Make(factory);
    // The application's own key bindings, as its start-up loads them.
    application->GetHotKeyManager()->GetBindingMap().Load(application->GetAppStringTable(), String(L"GHK"));
    application->SetSkin(0);
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
}

RCPtr<KX::LControl> MenuTestBase::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> MenuTestBase::Find(const std::wstring& path) const
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

PointT<long> MenuTestBase::OriginOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    return PointT<long>(KX::RoundDoubleToInt(origin.x), KX::RoundDoubleToInt(origin.y));
}

PointT<long> MenuTestBase::Middle(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    const RectT<double>& rect = control->GetRect();
    return PointT<long>(KX::RoundDoubleToInt(origin.x + rect.width / 2),
                        KX::RoundDoubleToInt(origin.y + rect.height / 2));
}

RectT<long> MenuTestBase::WindowRectOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<long> origin = OriginOf(control);
    const RectT<double>& rect = control->GetRect();
    return RectT<long>(origin.x, origin.y, KX::RoundDoubleToInt(rect.width), KX::RoundDoubleToInt(rect.height));
}

PointT<long> MenuTestBase::ItemPoint(const RCPtr<KX::LControl>& list, int32_t item) const
{
    const RCPtr<KX::LListBox> box = RCPtr<KX::LListBox>::DynamicCast(list);
    if (!box)
        return PointT<long>(-1, -1);
    const RectT<double> rect = box->GetItemRect(item);
    const PointT<long> origin = OriginOf(list);
    return PointT<long>(origin.x + KX::RoundDoubleToInt(rect.x + rect.width / 2),
                        origin.y + KX::RoundDoubleToInt(rect.y + rect.height / 2));
}

std::vector<std::wstring> MenuTestBase::RowTexts(const RCPtr<KX::LControl>& popup) const
{
    std::vector<std::wstring> texts;
    const RCPtr<KX::LListBox> box = RCPtr<KX::LListBox>::DynamicCast(popup);
    if (!box)
        return texts;
    for (int32_t i = 0; i < box->GetItemCount(); ++i)
        texts.push_back(Text(box->GetItemText(i)));
    return texts;
}

void MenuTestBase::MoveTo(const PointT<long>& point)
{
    os.cursor = point;
    window->MouseMove(point, 0, 0);
}

void MenuTestBase::Press(const PointT<long>& point, int32_t button)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kPress, button, 0, point, 0);
}

void MenuTestBase::Release(const PointT<long>& point, int32_t button)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons &= ~button;
    window->MouseButton(KX::LRootWindow::kRelease, button, 0, point, 0);
}

void MenuTestBase::Click(const PointT<long>& point, int32_t button)
{
    Press(point, button);
    Release(point, button);
}

void MenuTestBase::MoveAlong(const PointT<long>& from, const PointT<long>& to, long step)
{
    PointT<long> at = from;
    MoveTo(at);
    while (at != to) {
        const long dx = std::max(-step, std::min(step, to.x - at.x));
        const long dy = std::max(-step, std::min(step, to.y - at.y));
        at = PointT<long>(at.x + dx, at.y + dy);
        MoveTo(at);
    }
}

KX::KXRESULT MenuTestBase::PressKey(uint32_t virtualKey, uint32_t modifiers)
{
    return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
}

void MenuTestBase::IdlePass()
{
    application->ProcessIdle(true);
}

void MenuTestBase::RunIdle(uint32_t duration, uint32_t step)
{
    for (uint32_t elapsed = 0; elapsed < duration;) {
        const uint32_t next = std::min(step, duration - elapsed);
        application->mTicks += next;
        elapsed += next;
        IdlePass();
    }
}

void MenuTestBase::PaintWindow(const std::string& suffix)
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

uint32_t MenuTestBase::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

uint32_t MenuTestBase::PixelIn(const RCPtr<KX::LControl>& control, long x, long y) const
{
    const PointT<long> origin = OriginOf(control);
    return Pixel(origin.x + x, origin.y + y);
}

} // namespace MenuTest

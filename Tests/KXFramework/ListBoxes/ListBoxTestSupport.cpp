#include "ListBoxTestSupport.h"

#include "Controls/FrameworkControlTypes.h"

namespace ListTest {

std::vector<std::wstring> Heard(const KXTest::Listener& listener)
{
    return listener.Ids();
}

int CountOf(const KXTest::Listener& listener, const wchar_t* id)
{
    int count = 0;
    for (const KXTest::Listener::Received& entry : listener.received)
        count += entry.id == id ? 1 : 0;
    return count;
}

void ListBoxTest::SetUp()
{
    factory = KX::LControlFactory::Create(L"List Tests");
    ASSERT_EQ(S_OK, factory->LoadStringTables(String(L"::LIST_TEST_STRINGS"), String(L"::NO_FRAMEWORK_STRINGS"),
                                              0x0409))
        << KXTest::Text(factory->GetLastErrorText());
    ASSERT_EQ(S_OK, factory->LoadSkin(L"::LIST_TEST_SKINS")) << KXTest::Text(factory->GetLastErrorText());
    factory->SetCurrentSkinIndex(0);
    KX::RegisterFrameworkControlTypes(*factory);
    factory->RegisterControlCreateFunction(L"Test.Part", &KX::LControl::CreateControlOfClass<KXTest::TestControl>);
    factory->RegisterControlCreateFunction(L"Test.DerivedChecked", &KX::LControl::CreateControlOfClass<DerivedChecked>);
    application = KXTest::ControlTestApplication::Make(factory);
    application->SetSkin(0);
    renderer = RendererTest::MakeGdiRenderer();
    KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
    application->AddRootWindow(window);
    // The window has the keyboard: a pressed list takes the focus.
    os.focused = true;
}

void ListBoxTest::TearDown()
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

RCPtr<KX::LControl> ListBoxTest::OpenScene(const wchar_t* scene)
{
    EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
    return window->GetRootControl();
}

RCPtr<KX::LControl> ListBoxTest::Find(const std::wstring& path) const
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

RCPtr<KX::LListBox> ListBoxTest::OpenList(const wchar_t* scene, const std::wstring& path)
{
    OpenScene(scene);
    return FindAs<KX::LListBox>(path);
}

void ListBoxTest::AddItems(const RCPtr<KX::LListBox>& list, int32_t count, const std::wstring& prefix)
{
    for (int32_t i = 0; i < count; ++i) {
        const std::wstring text = prefix + std::to_wstring(i);
        list->InsertItem(list->GetItemCount(), KX::CreateStringItem(String(text.c_str())));
    }
}

std::vector<std::wstring> ListBoxTest::RowTexts(const RCPtr<KX::LListBox>& list)
{
    std::vector<std::wstring> texts;
    for (int32_t k = 0; k < list->GetRowCount(); ++k) {
        const RCPtr<KX::LListBoxItem> row = list->GetRowControl(k);
        texts.push_back(row ? KXTest::Text(row->GetText()) : std::wstring(L"(no row)"));
    }
    return texts;
}

std::vector<std::wstring> ListBoxTest::ItemTexts(const RCPtr<KX::LListBox>& list)
{
    std::vector<std::wstring> texts;
    for (int32_t i = 0; i < list->GetItemCount(); ++i)
        texts.push_back(KXTest::Text(list->GetItemText(i)));
    return texts;
}

std::vector<int32_t> ListBoxTest::Selection(const RCPtr<KX::LListBox>& list)
{
    std::vector<int32_t> selected;
    const KX::Array<unsigned int>& indices = list->GetSelectedIndices();
    for (int32_t i = 0; i < indices.GetCount(); ++i)
        selected.push_back(static_cast<int32_t>(indices.GetAt(i)));
    return selected;
}

PointT<long> ListBoxTest::CentreOf(const RCPtr<KX::LControl>& control) const
{
    const PointT<double> origin = control->GetRootPosition();
    const RectT<double>& rect = control->GetRect();
    return PointT<long>(PointT<double>(origin.x + rect.width / 2.0, origin.y + rect.height / 2.0));
}

PointT<long> ListBoxTest::RowCentre(const RCPtr<KX::LListBox>& list, int32_t item) const
{
    const RCPtr<KX::LListBoxItem> row = list->GetRowControl(list->GetItemRowIndex(item));
    EXPECT_TRUE(row) << "item " << item << " has no row";
    return row ? CentreOf(RCPtr<KX::LControl>(row.Get())) : PointT<long>(-100, -100);
}

void ListBoxTest::MoveTo(const PointT<long>& point, int32_t modifiers)
{
    os.cursor = point;
    window->MouseMove(point, modifiers, 0);
}

void ListBoxTest::Press(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kPress, button, modifiers, point, 0);
}

void ListBoxTest::Release(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    if (os.cursor != point)
        MoveTo(point, modifiers);
    os.buttons &= ~button;
    window->MouseButton(KX::LRootWindow::kRelease, button, modifiers, point, 0);
}

void ListBoxTest::Click(const PointT<long>& point, int32_t button, int32_t modifiers)
{
    Press(point, button, modifiers);
    Release(point, button, modifiers);
}

void ListBoxTest::DoubleClick(const PointT<long>& point, int32_t button)
{
    if (os.cursor != point)
        MoveTo(point);
    os.buttons |= button;
    window->MouseButton(KX::LRootWindow::kDoubleClick, button, 0, point, 0);
    Release(point, button);
}

void ListBoxTest::Wheel(const PointT<long>& point, int32_t direction)
{
    if (os.cursor != point)
        MoveTo(point);
    window->MouseWheel(point, 0, direction);
}

KX::KXRESULT ListBoxTest::KeyDown(uint32_t virtualKey, uint32_t modifiers)
{
    return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
}

void ListBoxTest::Key(uint32_t virtualKey, uint32_t modifiers)
{
    KeyDown(virtualKey, modifiers);
    window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, false, 1, modifiers), 1));
}

void ListBoxTest::IdlePass()
{
    application->ProcessIdle(true);
}

void ListBoxTest::PaintWindow(const std::string& suffix)
{
    surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), 560, 360);
    KX::LRectRegion region;
    region.AddRect(0, 0, 560, 360);
    renderer->RenderStart(surface);
    window->Paint(region);
    renderer->RenderFinish(surface);
    RendererTest::SaveScreenshot(surface, RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
}

uint32_t ListBoxTest::Pixel(long x, long y) const
{
    return RendererTest::ReadPixel(surface, x, y);
}

} // namespace ListTest

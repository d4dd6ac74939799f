#include "TextTestSupport.h"

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
    ASSERT_NO_FATAL_FAILURE(LoadProgramDocuments(L"Text Tests"));
    StartApplication(kKeyBindings | kClipboard);
    os.focused = true;
}

PointT<long> TextControlTest::InWindow(const RCPtr<KX::LControl>& control, double x, double y) const
{
    const PointT<double> origin = control->GetRootPosition();
    return PointT<long>(std::lround(origin.x + x), std::lround(origin.y + y));
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

void TextControlTest::Focus(const RCPtr<KX::LControl>& control)
{
    ASSERT_TRUE(control);
    control->SetFocus(true);
    ASSERT_EQ(control.Get(), window->GetFocusControl().Get());
}

} // namespace TextTest

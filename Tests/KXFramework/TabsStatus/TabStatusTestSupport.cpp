#include "TabStatusTestSupport.h"

namespace TabStatusTest {

RCPtr<KX::LStatusBar> TestApplication::GetStatusBar()
{
    const RCPtr<KX::LRootWindow>& window = GetRootWindow(0);
    const RCPtr<KX::LControl> top = window ? window->GetRootControl() : RCPtr<KX::LControl>();
    return top ? RCPtr<KX::LStatusBar>::DynamicCast(top->FindChild(String(L"statusBar"))) : RCPtr<KX::LStatusBar>();
}

void TabStatusTestBase::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(
        LoadDocuments(L"Tab Status Tests", L"::TAB_STATUS_SKINS", mWithStrings ? L"::TAB_STATUS_STRINGS" : nullptr));
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    RegisterClass<CountingLabel>(L"Test.CountingLabel");
    StartApplication();
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

#include "ScrollTestSupport.h"

namespace ScrollTest {

void ScrollTestBase::SetUp()
{
    CreateFactory(L"Scroll Tests");
    ASSERT_NO_FATAL_FAILURE(LoadSkin(L"::SCROLL_SKIN"));
    RegisterControlTypes();
    RegisterClass<Block>(L"Test.Block");
    StartApplication();
}

KX::PointT<long> ScrollTestBase::AtControl(const RCPtr<KX::LControl>& control, long x, long y) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    return KX::PointT<long>(KX::RoundDoubleToInt(origin.x) + x, KX::RoundDoubleToInt(origin.y) + y);
}

std::wstring ScrollTestBase::Focused() const
{
    const RCPtr<KX::LControl>& focus = window->GetFocusControl();
    return focus ? KXTest::Text(focus->GetName()) : L"none";
}

} // namespace ScrollTest

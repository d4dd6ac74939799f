#include "ScrollTestSupport.h"

namespace ScrollTest {

void ScrollTestBase::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(LoadDocuments(L"Scroll Tests", L"::SCROLL_SKIN"));
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

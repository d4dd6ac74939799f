#include "TreesColumnsTestSupport.h"

namespace TreesColumnsTest {

std::wstring TextOf(const RCPtr<KX::LTaggableObject>& object)
{
    return object ? KXTest::Text(object->ToString()) : std::wstring();
}

void TreesColumnsTest::SetUp()
{
    CreateFactory(L"Trees Columns Tests");
    ASSERT_NO_FATAL_FAILURE(LoadSkin(L"::TREES_COLUMNS_SKINS"));
    RegisterControlTypes();
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    StartApplication();
}

} // namespace TreesColumnsTest

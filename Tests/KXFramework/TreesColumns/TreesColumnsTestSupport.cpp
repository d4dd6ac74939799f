#include "TreesColumnsTestSupport.h"

namespace TreesColumnsTest {

std::wstring TextOf(const RCPtr<KX::LTaggableObject>& object)
{
    return object ? KXTest::Text(object->ToString()) : std::wstring();
}

void TreesColumnsTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(LoadDocuments(L"Trees Columns Tests", L"::TREES_COLUMNS_SKINS"));
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    StartApplication();
}

} // namespace TreesColumnsTest

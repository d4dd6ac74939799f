#include "ListBoxTestSupport.h"

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
    ASSERT_NO_FATAL_FAILURE(LoadDocuments(L"List Tests", L"::LIST_TEST_SKINS", L"::LIST_TEST_STRINGS"));
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    RegisterClass<DerivedChecked>(L"Test.DerivedChecked");
    StartApplication();
    os.focused = true;
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

PointT<long> ListBoxTest::RowCentre(const RCPtr<KX::LListBox>& list, int32_t item) const
{
    const RCPtr<KX::LListBoxItem> row = list->GetRowControl(list->GetItemRowIndex(item));
    EXPECT_TRUE(row) << "item " << item << " has no row";
    return row ? CentreOf(RCPtr<KX::LControl>(row.Get())) : PointT<long>(-100, -100);
}

} // namespace ListTest

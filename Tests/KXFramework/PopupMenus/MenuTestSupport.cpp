#include "MenuTestSupport.h"

#include "DropDownTestControl.h"
#include "MenuOwnerControl.h"

#include "Controls/ListBox.h"

namespace MenuTest {

void MenuTestBase::Load(bool testDocuments, const PointT<long>& clientSize)
{
    os.clientSize = clientSize;
    // The test documents, or the program's own under the program's name.
    ASSERT_NO_FATAL_FAILURE(testDocuments ? LoadDocuments(L"Menu Tests", L"::MENU_TEST_SKIN", L"::MENU_TEST_STRINGS",
                                                          L"::FRAMEWORK_STRINGS")
                                          : LoadProgramDocuments(L"TAVIK8 Updater"));
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    RegisterClass<DropDownTestControl>(L"Test.DropDown");
    RegisterClass<MenuOwnerControl>(L"Test.MenuOwner");
    // The update screen's own control is another branch's: a plain control
    // holds the program skin's tree here.
    RegisterClass<KXTest::TestControl>(L"FirmwareUpdater.MainControl");
    StartApplication(kKeyBindings);
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

uint32_t MenuTestBase::PixelIn(const RCPtr<KX::LControl>& control, long x, long y) const
{
    const PointT<long> origin = OriginOf(control);
    return Pixel(origin.x + x, origin.y + y);
}

} // namespace MenuTest

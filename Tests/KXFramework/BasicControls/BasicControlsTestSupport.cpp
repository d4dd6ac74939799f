#include "BasicControlsTestSupport.h"

namespace BasicTest {

uint32_t SlotColour(int32_t slot)
{
    // As Documents/TestSkin.xml defines "Test.Colour<slot>".
    const uint32_t red = 0x10u * static_cast<uint32_t>(slot) + 0x08u;
    const uint32_t blue = 0xF8u - 0x10u * static_cast<uint32_t>(slot);
    return 0xFF000000u | (red << 16) | (0x80u << 8) | blue;
}

void BasicControlsTest::SetUp()
{
    KX::LToolTip::SetLastHideTick(0);
}

void BasicControlsTest::Open(bool testSkin)
{
    // The test documents, or the program's own under the program's name.
    ASSERT_NO_FATAL_FAILURE(testSkin ? LoadDocuments(L"Basic Tests", L"::BASIC_TEST_SKIN", L"::BASIC_TEST_STRINGS",
                                                     L"::FRAMEWORK_STRINGS")
                                     : LoadProgramDocuments(L"TAVIK8 Updater"));
    RegisterClass<KXTest::TestControl>(L"Test.Plain");
    for (const wchar_t* className : {L"FirmwareUpdater.MainControl", L"Framework.Panel", L"Framework.MainMenu",
                                     L"Framework.ComboMenu", L"Framework.PopupMenu", L"Framework.MenuItem"})
        RegisterClass<KX::LControl>(className);
    StartApplication(kKeyBindings);
    ASSERT_EQ(S_OK, window->SetRootControl(String(testSkin ? L"testPanel" : L"mainControl")));
    ASSERT_TRUE(window->GetRootControl());
}

uint32_t BasicControlsTest::ControlPixel(const RCPtr<KX::LControl>& control) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    const KX::RectT<double>& rect = control->GetRect();
    return Pixel(static_cast<long>(origin.x + rect.width / 4), static_cast<long>(origin.y + rect.height / 4));
}

} // namespace BasicTest

// The program's own documents: they load from the program's resources and
// from their folder, and hold every text and control the program names.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using KXTest::String;
using KX::RCPtr;

const wchar_t* const kApplicationName = L"TAVIK8 Updater";
const wchar_t* const kMainControl = L"FirmwareUpdater.MainControl|";

// The framework's own texts.
const std::vector<const wchar_t*> kFrameworkStrings = {
    L"STARTUP_ERROR", L"STARTUP_ERROR_CAPTION", L"EXCEPTION_ID", L"GL_ERROR_CAPTION", L"GL_ERROR_UPDATE_DRIVER",
    L"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", L"GL_ERROR_MESSAGE_CREATE_CONTEXT",
    L"GL_ERROR_MESSAGE_GET_PROC_ADDRESS", L"EDIT_CUT", L"EDIT_COPY", L"EDIT_PASTE", L"EDIT_DELETE"};

// The application's general texts.
const std::vector<const wchar_t*> kApplicationStrings = {
    L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE", L"SELECT_FIRMWARE_FILE_DIALOG_TITLE",
    L"SELECT_FIRMWARE_FILE_DIALOG_FILE_FILTER", L"SELECT_FIRMWARE_FILE_DEFAULT_FILE_EXTENSION",
    L"EXIT_APPLICATION_DIALOG_TITLE", L"EXIT_APPLICATION_DIALOG_MESSAGE", L"HOURS_SINGULAR", L"HOURS_PLURAL",
    L"MINUTES_SINGULAR", L"MINUTES_PLURAL", L"SECONDS_SINGULAR", L"SECONDS_PLURAL", L"REMAINING", L"EDIT_CUT",
    L"EDIT_COPY", L"EDIT_PASTE", L"EDIT_DELETE"};

// The texts of each control of the update screen, in the control's own table.
struct ControlStrings
{
    const wchar_t* table;
    std::vector<const wchar_t*> ids;
};

const std::vector<ControlStrings> kControlStrings = {
    {L"buttonExit", {L"LABEL"}},
    {L"buttonUpdateFirmware", {L"LABEL"}},
    {L"buttonReinitialize", {L"LABEL"}},
    {L"buttonScanForDevice", {L"LABEL"}},
    {L"buttonManualDeviceReadyForUpdateButton", {L"LABEL"}},
    {L"labelDeviceInformation",
     {L"LABEL_NO_DEVICE_DEFINED", L"LABEL_NO_DEVICE_FOUND", L"LABEL_SCANNING_FOR_DEVICE",
      L"LABEL_DEVICES_AVAILABLE_NONE_SELECTED", L"LABEL_DEVICE_NOT_IN_UPDATE_MODE", L"LABEL_DEVICE_IN_UPDATE_MODE"}},
    {L"labelFirmwareFileInformation",
     {L"LABEL_NO_FILE_DEFINED", L"LABEL_FIRMARE_FILE_INVALID", L"LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN"}},
    {L"labelUpdateProcessInformation",
     {L"LABEL_READY_FOR_UPDATE", L"LABEL_READY_FOR_DOWNGRADE_UPDATE", L"LABEL_UPDATE_IN_PROGRESS",
      L"LABEL_UPDATE_ABORTED", L"LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL", L"LABEL_UPDATE_SUCCEEDED",
      L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE", L"LABEL_UPDATE_SUCESS_UNKNOWN",
      L"LABEL_UPDATE_TRANSITIONING_TO_UPDATE_MODE"}},
    {L"labelDeviceFirmwareVersion", {L"LABEL"}},
    {L"labelFileFirmwareVersion", {L"LABEL"}},
    {L"labelDeviceCannotUpdateError",
     {L"LABEL_DEVICE_CANNOT_BE_UPDATED_NO_REASON", L"LABEL_DRIVER_IS_TOO_OLD", L"LABEL_CANNOT_UPDATE_SYSTEM_FAILURE",
      L"LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE", L"LABEL_DEVICE_DEVICE_ACCESS_FAILURE", L"LABEL_UPDATE_NOT_NEEDED"}},
    {L"updaterVersionLabel", {L"LABEL"}},
    {L"mainMenu", {L"MENU_LABEL.00", L"CONTEXT_MENU0.00.NID_MENU_FILE_ITEM_1"}},
};

// The children of the main control: name and class.
const std::vector<std::pair<const wchar_t*, const wchar_t*>> kMainChildren = {
    {L"buttonExit", L"Framework.Button"},
    {L"buttonUpdateFirmware", L"Framework.Button"},
    {L"buttonReinitialize", L"Framework.Button"},
    {L"buttonScanForDevice", L"Framework.Button"},
    {L"buttonManualDeviceReadyForUpdateButton", L"Framework.Button"},
    {L"labelDeviceInformation", L"Framework.Label"},
    {L"labelFirmwareFileInformation", L"Framework.Label"},
    {L"labelUpdateProcessInformation", L"Framework.Label"},
    {L"labelFileFirmwareVersion", L"Framework.Label"},
    {L"labelDeviceFirmwareVersion", L"Framework.Label"},
    {L"labelDeviceCannotUpdateError", L"Framework.Label"},
    {L"progressBar", L"Framework.ProgressBar"},
    {L"updaterVersionLabel", L"Framework.Label"},
    {L"mainMenu", L"Framework.MainMenu"},
};

String Text(const RCPtr<KX::LStringTable>& table, const wchar_t* id)
{
    String text(L"<absent>");
    if (table)
        table->GetString(id, text);
    return text;
}

class ProgramDocumentsTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
        const String folder = GetParam() ? String(L"::") : KXTest::ResourceFolder();
        ASSERT_EQ(factory->LoadResources(folder, 0x0409), S_OK) << factory->GetLastErrorText();
    }

    RCPtr<KX::LControlFactory> factory;
};

TEST_P(ProgramDocumentsTest, EveryStringIsPresent)
{
    EXPECT_EQ(factory->GetApplicationName(), kApplicationName);
    EXPECT_EQ(factory->GetLocaleId(), 9);

    RCPtr<KX::LStringTable> table;
    factory->GetFrameworkStringTable(table);
    ASSERT_TRUE(table);
    for (const wchar_t* id : kFrameworkStrings)
        EXPECT_TRUE(table->HasString(id)) << String(id);
    EXPECT_EQ(Text(table, L"STARTUP_ERROR"), L"The application encountered problems during startup and will now close.");

    factory->GetAppStringTable(table);
    ASSERT_TRUE(table);
    for (const wchar_t* id : kApplicationStrings)
        EXPECT_TRUE(table->HasString(id)) << String(id);
    EXPECT_EQ(Text(table, L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE"), L"Putting Device in Update Mode...");

    for (const ControlStrings& control : kControlStrings) {
        factory->GetControlStringTable(table, String(L"FirmwareUpdater.MainControl"), String(control.table));
        ASSERT_TRUE(table) << String(control.table);
        for (const wchar_t* id : control.ids)
            EXPECT_TRUE(table->HasString(id)) << String(control.table) << " " << String(id);
    }
    factory->GetControlStringTable(table, String(), String(L"mainControl"));
    EXPECT_TRUE(table && table->HasString(L"LABEL"));
    factory->GetControlStringTable(table, String(L"Framework.ProgressBar"), String(L"labelPercentComplete"));
    EXPECT_EQ(Text(table, L"LABEL"), L"%");
}

TEST_P(ProgramDocumentsTest, QuotedTextsAreExact)
{
    const std::vector<std::tuple<const wchar_t*, const wchar_t*, const wchar_t*>> texts = {
        {L"buttonExit", L"LABEL", L"EXIT"},
        {L"buttonUpdateFirmware", L"LABEL", L"UPDATE FIRMWARE"},
        {L"buttonReinitialize", L"LABEL", L"RESTART"},
        {L"buttonScanForDevice", L"LABEL", L"SCAN FOR DEVICE"},
        {L"buttonManualDeviceReadyForUpdateButton", L"LABEL", L"NEXT"},
        {L"labelDeviceInformation", L"LABEL_SCANNING_FOR_DEVICE", L"Looking for device."},
        {L"labelDeviceInformation", L"LABEL_DEVICE_NOT_IN_UPDATE_MODE", L""},
        {L"labelFirmwareFileInformation", L"LABEL_NO_FILE_DEFINED", L"Use the file menu to open a firmware file."},
        {L"labelFirmwareFileInformation", L"LABEL_FIRMARE_FILE_INVALID", L"The firmware update file is missing or invalid."},
        {L"labelFirmwareFileInformation", L"LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN", L""},
        {L"labelUpdateProcessInformation", L"LABEL_UPDATE_IN_PROGRESS", L"Firmware update in progress. Do not disconnect TAVIK8."},
        {L"labelUpdateProcessInformation", L"LABEL_UPDATE_ABORTED", L"Update aborted."},
        {L"labelUpdateProcessInformation", L"LABEL_UPDATE_SUCCEEDED",
         L"Your TAVIK8 has been successfully updated. You may now close this application."},
        {L"labelUpdateProcessInformation", L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE", L"Waiting for device to reset."},
        {L"labelDeviceCannotUpdateError", L"LABEL_UPDATE_NOT_NEEDED",
         L"The TAVIK8 device is up to date. An update is not needed."},
        {L"labelDeviceFirmwareVersion", L"LABEL", L"Device's current firmware version: %s"},
        {L"labelFileFirmwareVersion", L"LABEL", L"Update to firmware version: %s"},
        {L"updaterVersionLabel", L"LABEL", L"Updater: %s"},
        {L"mainMenu", L"MENU_LABEL.00", L"File"},
        {L"mainMenu", L"CONTEXT_MENU0.00.NID_MENU_FILE_ITEM_1", L"Select Firmware File"},
    };
    RCPtr<KX::LStringTable> table;
    for (const auto& [control, id, expected] : texts) {
        factory->GetControlStringTable(table, String(L"FirmwareUpdater.MainControl"), String(control));
        EXPECT_EQ(Text(table, id), expected) << String(control) << " " << String(id);
    }
    factory->GetAppStringTable(table);
    for (const auto& [id, expected] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"HOURS_SINGULAR", L"Hour"}, {L"HOURS_PLURAL", L"Hours"}, {L"MINUTES_SINGULAR", L"Minute"},
             {L"MINUTES_PLURAL", L"Minutes"}, {L"SECONDS_SINGULAR", L"Second"}, {L"SECONDS_PLURAL", L"Seconds"},
             {L"REMAINING", L"Remaining"}})
        EXPECT_EQ(Text(table, id), expected);
}

TEST_P(ProgramDocumentsTest, SkinNamesEveryControl)
{
    ASSERT_EQ(factory->GetSkinCount(), 1);
    RCPtr<KX::LControlDescriptor> main = factory->FindControlDescriptor(String(L"mainControl"));
    ASSERT_TRUE(main);
    EXPECT_EQ(main->GetClassName(), L"FirmwareUpdater.MainControl");
    ASSERT_TRUE(main->GetSkinDescriptor());
    ASSERT_TRUE(main->GetLayoutDescriptor());
    EXPECT_EQ(main->GetLayoutDescriptor()->mXSize.mKind, KX::LLayoutDescriptor::SizeSelf);
    EXPECT_GT(main->GetLayoutDescriptor()->mXSize.mAbs, 0.0);

    EXPECT_EQ(main->GetChildren().GetCount(), static_cast<int32_t>(kMainChildren.size()));
    for (const auto& [name, className] : kMainChildren) {
        RCPtr<KX::LControlDescriptor> child = main->FindChild(String(name));
        ASSERT_TRUE(child) << String(name);
        EXPECT_EQ(child->GetClassName(), className) << String(name);
        ASSERT_TRUE(child->GetSkinDescriptor()) << String(name);
        EXPECT_TRUE(child->GetSkinDescriptor()->mLookList) << String(name);
    }
    // The menu bar is shown: its file menu is how a firmware file is chosen.
    EXPECT_TRUE(main->FindChild(String(L"mainMenu"))->GetLayoutDescriptor()->mIsVisible);
    EXPECT_FALSE(main->FindChild(String(L"progressBar"))->GetLayoutDescriptor()->mIsVisible);

    RCPtr<KX::LControlDescriptor> bar = main->FindChild(String(L"progressBar"));
    for (const auto& [name, className] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"activeOverlay", L"Framework.Panel"},
             {L"percentCompleteLabel", L"Framework.Label"},
             {L"timeRemainingLabel", L"Framework.Label"},
             {L"labelPercentComplete", L"Framework.Label"}}) {
        RCPtr<KX::LControlDescriptor> child = bar->FindChild(String(name));
        ASSERT_TRUE(child) << String(name);
        EXPECT_EQ(child->GetClassName(), className);
    }

    RCPtr<KX::LControlDescriptor> menuTitle = main->FindChild(String(L"mainMenu"))->FindChild(String(L"templateMenu"));
    ASSERT_TRUE(menuTitle);
    EXPECT_EQ(menuTitle->GetClassName(), L"Framework.ComboMenu");
    RCPtr<KX::LControlDescriptor> popup = menuTitle->FindChild(String(L"popupMenu"));
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->GetClassName(), L"Framework.PopupMenu");
    RCPtr<KX::LControlDescriptor> item = popup->FindChild(String(L"templateItem"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->GetClassName(), L"Framework.MenuItem");
    EXPECT_TRUE(item->FindChild(String(L"checkBox")));
    EXPECT_TRUE(item->FindChild(String(L"hotKeyLabel")));

    RCPtr<KX::LControlDescriptor> toolTip = factory->FindControlDescriptor(String(L"toolTip"));
    ASSERT_TRUE(toolTip);
    EXPECT_EQ(toolTip->GetClassName(), L"Framework.ToolTip");

    String fontName;
    float fontSize = 0;
    int32_t fontStyle = -1;
    EXPECT_EQ(factory->GetSkinFont(fontName, fontSize, fontStyle), S_OK);
    EXPECT_EQ(fontName, L"Tahoma");
}

TEST_P(ProgramDocumentsTest, EveryLookListSlotThatIsFilledHasAClientPart)
{
    for (const wchar_t* name : {L"LookList.Button", L"LookList.Label", L"LookList.ProgressTrack"}) {
        RCPtr<KX::LLookList> list = factory->FindLookList(String(name));
        ASSERT_TRUE(list) << String(name);
        ASSERT_TRUE(list->GetAt(0)) << String(name);
        EXPECT_TRUE(list->GetAt(0)->GetClientPart()) << String(name);
    }
}

INSTANTIATE_TEST_SUITE_P(FromResourcesAndFolder, ProgramDocumentsTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Resources" : "Folder";
                         });

TEST(ProgramDocuments, FrameworkStringsInEveryLanguage)
{
    const std::vector<std::pair<int32_t, int32_t>> locales = {
        {0x0409, 0x0009}, {0x040A, 0x000A}, {0x0407, 0x0007}, {0x0411, 0x0011}, {0x040C, 0x000C},
        {0x0410, 0x0010}, {0x0412, 0x0012}, {0x0804, 0x0004}, {0x0404, 0x7C04}};
    String english;
    for (const auto& [userLocale, language] : locales) {
        RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
        // The application document is English only; with the framework
        // document in its place the framework texts settle on each language.
        ASSERT_EQ(factory->LoadStringTables(String(L"::FRAMEWORK_STRINGS"), String(L"::FRAMEWORK_STRINGS"), userLocale),
                  S_OK);
        EXPECT_EQ(factory->GetLocaleId(), language);
        RCPtr<KX::LStringTable> table;
        factory->GetFrameworkStringTable(table);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->GetCount(), static_cast<int32_t>(kFrameworkStrings.size()));
        for (const wchar_t* id : kFrameworkStrings) {
            String text;
            EXPECT_TRUE(table->GetString(id, text)) << userLocale << " " << String(id);
            EXPECT_FALSE(text.IsEmpty()) << userLocale << " " << String(id);
        }
        String startupError;
        table->GetString(L"STARTUP_ERROR", startupError);
        if (language == 9)
            english = startupError;
        else
            EXPECT_NE(startupError, english) << userLocale;
    }
}

TEST(ProgramDocuments, VersionResource)
{
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    const auto value = [&](const wchar_t* key) {
        void* data = nullptr;
        UINT length = 0;
        const String query = String(L"\\StringFileInfo\\040904b0\\") + String(key);
        if (!VerQueryValueW(block.data(), query.GetData(), &data, &length) || !data)
            return String();
        return String(static_cast<const wchar_t*>(data));
    };
    EXPECT_EQ(value(L"CompanyName"), L"Ostrel");
    EXPECT_EQ(value(L"ProductName"), kApplicationName);
    EXPECT_FALSE(value(L"ProductVersion").IsEmpty());
}

TEST(ProgramDocuments, ImagesUnderTheResourcePrefix)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
    ASSERT_EQ(factory->LoadResources(String(L"::"), 9), S_OK);
    EXPECT_EQ(factory->GetResourcePrefix(), L"::");
    const char* const document =
        "<R><Parts><Part Name=\"Image\" Width=\"4\" Height=\"4\" ResizeType=\"Tile\" ImageFile=\"Sprites.PNG\" "
        "ImageLocX=\"1\" ImageLocY=\"2\"/></Parts></R>";
    ASSERT_EQ(factory->ParseXml(document, 0), S_OK);
    EXPECT_EQ(factory->FindPart(String(L"Image"))->mImage.mFile, L"::sprites.png");
}

} // namespace

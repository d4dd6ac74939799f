// The update screen's display for every combination its tables name: label
// texts by device, file and update state, and which buttons and labels show.
#include "MainControlTestSupport.h"

namespace ScreenTest {
namespace {

// The engine's answers a row needs besides the three states.
struct Situation
{
    int32_t update;
    int32_t device;
    int32_t file;
    bool needed = false;     // the device's version is older than the file's
    bool always = false;     // the always-update flag
    bool started = false;    // this screen started the transfer
    int32_t errorCode = 0;   // the selected device's error (device state 4)
};

// Opens the screen in that situation: started rows open while a transfer
// runs (so the screen follows it), then the engine moves to the row's states.
class DisplayTest : public MainControlTest
{
protected:
    void Open(const Situation& s, const std::vector<std::wstring>& added = {}, const wchar_t* className = nullptr)
    {
        engine->SetStates(s.started ? Engine::Updating : s.device, s.file, s.started ? Engine::Running : s.update);
        engine->updateNeeded = s.needed;
        engine->errorCode = s.errorCode;
        Start();
        if (className)
            OpenVariantOfClass(className);
        else if (added.empty())
            OpenScreen();
        else
            OpenVariant({}, added);
        ASSERT_TRUE(screen);
        ASSERT_EQ(s.started, screen->IsUpdateStarted());
        application->GetUpdateProcessor()->SetAlwaysUpdate(s.always);
        engine->SetStates(s.device, s.file, s.update);
    }

    void OpenVariantOfClass(const wchar_t* className);
};

// ---- Label texts ----

constexpr const wchar_t* kBefore = L"(text before)";

struct TextRow
{
    const char* what;
    Situation situation;
    const wchar_t* label;
    const wchar_t* id;   // the label's own string of this id; null: the text stays
    const wchar_t* text; // or exactly this text
};

const TextRow kTextRows[] = {
    // labelDeviceInformation: by device state.
    {"device 0", {0, 0, 3}, L"labelDeviceInformation", L"LABEL_NO_DEVICE_DEFINED", L"No device is defined for this updater."},
    {"device 1", {0, 1, 3}, L"labelDeviceInformation", L"LABEL_NO_DEVICE_FOUND", nullptr},
    {"device 2", {0, 2, 3}, L"labelDeviceInformation", L"LABEL_SCANNING_FOR_DEVICE", L"Looking for device."},
    {"device 3", {0, 3, 3}, L"labelDeviceInformation", L"LABEL_DEVICES_AVAILABLE_NONE_SELECTED", L""},
    {"device 4 keeps", {0, 4, 3}, L"labelDeviceInformation", nullptr, nullptr},
    {"device 5", {0, 5, 3, true}, L"labelDeviceInformation", L"LABEL_DEVICE_NOT_IN_UPDATE_MODE", L""},
    {"device 6 keeps", {0, 6, 3, true}, L"labelDeviceInformation", nullptr, nullptr},
    {"device 7", {0, 7, 3, true}, L"labelDeviceInformation", L"LABEL_DEVICE_IN_UPDATE_MODE", L""},
    {"device 8 keeps", {1, 8, 3, true}, L"labelDeviceInformation", nullptr, nullptr},
    // labelFirmwareFileInformation: by file state.
    {"file 0", {0, 1, 0}, L"labelFirmwareFileInformation", L"LABEL_NO_FILE_DEFINED",
     L"Use the file menu to open a firmware file."},
    {"file 1", {0, 1, 1}, L"labelFirmwareFileInformation", L"LABEL_FIRMARE_FILE_INVALID",
     L"The firmware update file is missing or invalid."},
    {"file 2", {0, 1, 2}, L"labelFirmwareFileInformation", L"LABEL_FIRMARE_FILE_INVALID", nullptr},
    {"file 3", {0, 1, 3}, L"labelFirmwareFileInformation", L"LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN", L""},
    // labelUpdateProcessInformation: by update and device state.
    {"idle, entering update mode", {0, 6, 3, true}, L"labelUpdateProcessInformation",
     L"LABEL_UPDATE_TRANSITIONING_TO_UPDATE_MODE", nullptr},
    {"idle, in update mode", {0, 7, 3, true}, L"labelUpdateProcessInformation", L"LABEL_READY_FOR_UPDATE",
     L"A firmware update is available for your TAVIK8. Click UPDATE FIRMWARE to install it."},
    {"idle, in update mode, whatever the engine says of the version", {0, 7, 3, false}, L"labelUpdateProcessInformation",
     L"LABEL_READY_FOR_UPDATE", nullptr},
    {"idle, update needed", {0, 5, 3, true}, L"labelUpdateProcessInformation", L"LABEL_READY_FOR_UPDATE", nullptr},
    {"idle, up to date", {0, 5, 3, false, true}, L"labelUpdateProcessInformation",
     L"LABEL_READY_FOR_DOWNGRADE_UPDATE", nullptr},
    {"idle, no device", {0, 1, 3}, L"labelUpdateProcessInformation", L"LABEL_READY_FOR_DOWNGRADE_UPDATE", nullptr},
    {"running", {1, 8, 3, true}, L"labelUpdateProcessInformation", L"LABEL_UPDATE_IN_PROGRESS",
     L"Firmware update in progress. Do not disconnect TAVIK8."},
    {"failed keeps", {2, 7, 3, true}, L"labelUpdateProcessInformation", nullptr, nullptr},
    {"aborted", {3, 7, 3, true}, L"labelUpdateProcessInformation", L"LABEL_UPDATE_ABORTED", L"Update aborted."},
    {"done, back with the new version", {4, 5, 3, false}, L"labelUpdateProcessInformation", L"LABEL_UPDATE_SUCCEEDED",
     L"Your TAVIK8 has been successfully updated. You may now close this application."},
    {"done, back with the old version", {4, 5, 3, true}, L"labelUpdateProcessInformation",
     L"LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL", nullptr},
    {"done, waiting for the device", {4, 4, 3, true, false, true}, L"labelUpdateProcessInformation",
     L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE", L"Waiting for device to reset."},
    {"done, device not back", {4, 4, 3, true}, L"labelUpdateProcessInformation", L"LABEL_UPDATE_SUCESS_UNKNOWN",
     nullptr},
    {"done, device in update mode", {4, 7, 3, true}, L"labelUpdateProcessInformation", L"LABEL_UPDATE_SUCESS_UNKNOWN",
     nullptr},
    // The version labels: the label's format with the engine's text.
    {"device version", {0, 5, 3, true}, L"labelDeviceFirmwareVersion", nullptr,
     L"Device's current firmware version: 1.0.3.0"},
    {"device version unknown keeps", {0, 3, 3}, L"labelDeviceFirmwareVersion", nullptr, nullptr},
    {"file version", {0, 5, 3, true}, L"labelFileFirmwareVersion", nullptr, L"Update to firmware version: 1.0.4.4"},
    {"file version unknown keeps", {0, 5, 1}, L"labelFileFirmwareVersion", nullptr, nullptr},
    // labelDeviceCannotUpdateError: the device's error code, or why no update.
    {"allowed, code 0", {0, 4, 3, true, false, false, 0}, L"labelDeviceCannotUpdateError",
     L"LABEL_DEVICE_CANNOT_BE_UPDATED_NO_REASON", nullptr},
    {"allowed, code 1", {0, 4, 3, true, false, false, 1}, L"labelDeviceCannotUpdateError",
     L"LABEL_DRIVER_IS_TOO_OLD", nullptr},
    {"allowed, code 2", {0, 4, 3, true, false, false, 2}, L"labelDeviceCannotUpdateError",
     L"LABEL_CANNOT_UPDATE_SYSTEM_FAILURE", nullptr},
    {"allowed, code 3", {0, 4, 3, true, false, false, 3}, L"labelDeviceCannotUpdateError",
     L"LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE", nullptr},
    {"allowed, code 4", {0, 4, 3, true, false, false, 4}, L"labelDeviceCannotUpdateError",
     L"LABEL_DEVICE_DEVICE_ACCESS_FAILURE", nullptr},
    {"allowed, another code keeps", {0, 4, 3, true, false, false, 9}, L"labelDeviceCannotUpdateError", nullptr,
     nullptr},
    {"not allowed, code 1", {0, 4, 3, false, false, false, 1}, L"labelDeviceCannotUpdateError",
     L"LABEL_DRIVER_IS_TOO_OLD", nullptr},
    {"not allowed, code 4", {0, 4, 3, false, false, false, 4}, L"labelDeviceCannotUpdateError",
     L"LABEL_UPDATE_NOT_NEEDED", nullptr},
    {"not allowed, up to date", {0, 5, 3}, L"labelDeviceCannotUpdateError", L"LABEL_UPDATE_NOT_NEEDED",
     L"The TAVIK8 device is up to date. An update is not needed."},
};

TEST_F(DisplayTest, LabelTextsFollowTheStates)
{
    Open({0, 5, 3, true});
    for (const TextRow& row : kTextRows) {
        SCOPED_TRACE(row.what);
        const Situation& s = row.situation;
        if (s.started)
            continue; // below, on a screen of its own
        engine->SetStates(s.device, s.file, s.update);
        engine->updateNeeded = s.needed;
        engine->errorCode = s.errorCode;
        application->GetUpdateProcessor()->SetAlwaysUpdate(s.always);
        Child(row.label)->SetText(String(kBefore));
        screen->UpdateDisplay(s.update, s.device, s.file);
        const std::wstring text = TextOf(row.label);
        if (row.id) {
            EXPECT_EQ(StringOf(row.label, row.id), text);
        }
        if (row.text) {
            EXPECT_EQ(std::wstring(row.text), text);
        }
        if (!row.id && !row.text) {
            EXPECT_EQ(std::wstring(kBefore), text);
        }
        if (row.id && !row.text) {
            EXPECT_FALSE(text.empty()) << "the program's strings have a text for " << Text(String(row.id));
        }
    }
}

TEST_F(DisplayTest, AfterAStartedTransferTheScreenWaitsForTheDeviceToReset)
{
    for (const TextRow& row : kTextRows) {
        if (!row.situation.started)
            continue;
        SCOPED_TRACE(row.what);
        Open(row.situation);
        screen->UpdateDisplay(row.situation.update, row.situation.device, row.situation.file);
        EXPECT_EQ(StringOf(row.label, row.id), TextOf(row.label));
        EXPECT_EQ(std::wstring(row.text), TextOf(row.label));
    }
}

// The screen as the engine's notifications move it, from what it showed
// before: each step ends in the texts and the buttons of its row.
TEST_F(DisplayTest, TheNotifiedStatesReplaceTextsComputedBefore)
{
    struct Step
    {
        const char* what;
        int32_t device;
        int32_t file;
        bool needed;
        const wchar_t* label;
        const wchar_t* text;
        const wchar_t* visible;
    };
    const Step steps[] = {
        {"no device", 1, 3, false, L"labelDeviceInformation",
         L"The TAVIK8 was not found. Please connect it to this computer with a USB cable, switch it on and click "
         L"SCAN FOR DEVICE.",
         L"labelDeviceInformation labelFileFirmwareVersion buttonScanForDevice buttonExit"},
        {"the device appears in update mode", 7, 3, true, L"labelUpdateProcessInformation",
         L"A firmware update is available for your TAVIK8. Click UPDATE FIRMWARE to install it.",
         L"labelDeviceInformation labelFileFirmwareVersion labelUpdateProcessInformation buttonUpdateFirmware "
         L"buttonExit"},
        {"a file that cannot be sent is chosen", 7, 1, false, L"labelFirmwareFileInformation",
         L"The firmware update file is missing or invalid.",
         L"labelDeviceInformation labelFirmwareFileInformation buttonExit"},
        {"the device is switched to normal mode", 5, 1, false, L"labelFirmwareFileInformation",
         L"The firmware update file is missing or invalid.", L"labelFirmwareFileInformation buttonExit"},
    };
    Open({0, 1, 3});
    int32_t device = Engine::NoDeviceFound;
    int32_t file = Engine::FileFoundVersionKnown;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        engine->SetStates(step.device, step.file, Engine::Idle);
        engine->updateNeeded = step.needed;
        if (step.file != file)
            PostFileState(step.file, file);
        if (step.device != device)
            PostDeviceState(step.device, device);
        IdlePass();
        device = step.device;
        file = step.file;
        EXPECT_EQ(std::wstring(step.text), TextOf(step.label));
        EXPECT_EQ(std::wstring(step.visible), VisibleControls());
    }
}

void DisplayTest::OpenVariantOfClass(const wchar_t* className)
{
    const RCPtr<KX::LControlDescriptor> original = factory->FindControlDescriptor(String(L"mainControl"));
    const RCPtr<KX::LControlDescriptor> variant =
        KX::LControlDescriptor::Create(String(className), original->GetName(), nullptr);
    variant->SetLayoutDescriptor(original->GetLayoutDescriptor());
    variant->SetSkinDescriptor(original->GetSkinDescriptor());
    for (int32_t i = 0; i < original->GetChildren().GetCount(); ++i)
        variant->AddChild(original->GetChildren().GetAt(i));
    RCPtr<KX::LControl> control;
    KX::LControl::CreateControlOfClass<KX::LMainControl>(control, RCPtr<KX::LControl>(), variant);
    ASSERT_EQ(S_OK, window->SetRootControl(control));
    screen = RCPtr<KX::LMainControl>::DynamicCast(control);
}

TEST_F(DisplayTest, WithoutAResetTextTheProcessLabelSaysTheUpdateIsInProgress)
{
    // A skin whose process label has the in-progress text but no reset text
    // (the test documents' "FirmwareUpdater.MainControlWithoutResetText").
    ASSERT_EQ(S_OK, factory->LoadStringTables(String(L"::SCREEN_TEST_STRINGS"), String(L"::FRAMEWORK_STRINGS"), 0x0409));
    Open({4, 4, 3, true, false, true}, {}, L"FirmwareUpdater.MainControlWithoutResetText");
    ASSERT_TRUE(screen);
    screen->UpdateDisplay(4, 4, 3);
    EXPECT_EQ(std::wstring(L"Updating."), TextOf(L"labelUpdateProcessInformation"));
}

// ---- Visibility ----

struct VisibilityRow
{
    const char* what;
    Situation situation;
    const wchar_t* visible; // kScreenControls that show, in that order
};

// The program's skin: no has-updated, select-file or abort button, no
// transition control, no device-not-found control.
const VisibilityRow kSkinRows[] = {
    {"idle, no device, valid file", {0, 1, 3},
     L"labelDeviceInformation labelFileFirmwareVersion buttonScanForDevice buttonExit"},
    {"idle, no device, invalid file", {0, 1, 1}, L"labelFirmwareFileInformation buttonExit"},
    {"idle, no definition, no file", {0, 0, 0}, L"labelFirmwareFileInformation buttonExit"},
    {"idle, scanning", {0, 2, 3}, L"labelDeviceInformation labelFileFirmwareVersion buttonExit"},
    {"idle, several devices", {0, 3, 3},
     L"labelDeviceInformation labelFileFirmwareVersion buttonScanForDevice buttonExit"},
    {"idle, device error", {0, 4, 3, false, false, false, 4},
     L"labelDeviceCannotUpdateError labelFileFirmwareVersion buttonReinitialize buttonExit"},
    {"idle, normal mode, update needed", {0, 5, 3, true},
     L"labelDeviceInformation labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation "
     L"buttonUpdateFirmware buttonExit"},
    {"idle, normal mode, up to date", {0, 5, 3},
     L"labelDeviceCannotUpdateError labelDeviceFirmwareVersion labelFileFirmwareVersion buttonExit"},
    {"idle, normal mode, up to date, always update", {0, 5, 3, false, true},
     L"labelDeviceInformation labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation "
     L"buttonUpdateFirmware buttonExit"},
    {"idle, normal mode, invalid file", {0, 5, 1}, L"labelFirmwareFileInformation buttonExit"},
    {"idle, entering update mode", {0, 6, 3, true},
     L"labelDeviceInformation labelFileFirmwareVersion labelUpdateProcessInformation "
     L"buttonManualDeviceReadyForUpdateButton"},
    {"idle, entering update mode, up to date", {0, 6, 3},
     L"labelDeviceCannotUpdateError labelFileFirmwareVersion labelUpdateProcessInformation "
     L"buttonManualDeviceReadyForUpdateButton"},
    {"idle, entering update mode, invalid file", {0, 6, 1},
     L"labelDeviceInformation labelFirmwareFileInformation labelUpdateProcessInformation "
     L"buttonManualDeviceReadyForUpdateButton"},
    {"idle, in update mode", {0, 7, 3, true},
     L"labelDeviceInformation labelFileFirmwareVersion labelUpdateProcessInformation buttonUpdateFirmware "
     L"buttonExit"},
    {"idle, in update mode, invalid file", {0, 7, 1},
     L"labelDeviceInformation labelFirmwareFileInformation buttonExit"},
    {"idle, in update mode, no file", {0, 7, 0}, L"labelDeviceInformation labelFirmwareFileInformation buttonExit"},
    {"idle, device error, invalid file", {0, 4, 1, true, false, false, 4},
     L"labelDeviceCannotUpdateError buttonReinitialize buttonExit"},
    {"idle, updating", {0, 8, 3, true},
     L"labelDeviceInformation labelFileFirmwareVersion progressBar labelUpdateProcessInformation buttonExit"},
    {"running", {1, 8, 3, true}, L"labelFileFirmwareVersion progressBar labelUpdateProcessInformation"},
    {"failed", {2, 7, 3, true},
     L"labelFirmwareFileInformation labelDeviceCannotUpdateError labelFileFirmwareVersion buttonReinitialize "
     L"buttonExit"},
    {"failed, then a file that cannot be sent", {2, 4, 1, false, false, false, 4},
     L"labelFirmwareFileInformation labelDeviceCannotUpdateError buttonReinitialize buttonExit"},
    {"aborted", {3, 7, 3, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonReinitialize buttonExit"},
    {"aborted, then a file that cannot be sent", {3, 7, 1, true},
     L"labelUpdateProcessInformation buttonReinitialize buttonExit"},
    {"done, device back with the new version", {4, 5, 3},
     L"labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation buttonExit"},
    {"done, device back with the old version", {4, 5, 3, true},
     L"labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation buttonReinitialize "
     L"buttonExit"},
    {"done, device not back", {4, 4, 3, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonReinitialize buttonExit"},
    {"done, waiting for the device", {4, 4, 3, true, false, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonExit"},
};

// A skin with every optional control as well.
const std::vector<std::wstring> kOptional = {
    L"buttonManualDeviceHasUpdatedRescanButton", L"buttonSelectFirmwareFile", L"buttonAbort",
    L"controlTransitioningToUpdateMode", L"labelDeviceNotFound"};

const VisibilityRow kFullSkinRows[] = {
    {"idle, entering update mode: the transition control in place of the labels", {0, 6, 3, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonManualDeviceReadyForUpdateButton buttonAbort "
     L"controlTransitioningToUpdateMode"},
    {"idle, entering update mode, up to date", {0, 6, 3},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonManualDeviceReadyForUpdateButton buttonAbort "
     L"controlTransitioningToUpdateMode"},
    {"idle, no device, valid file", {0, 1, 3},
     L"labelDeviceInformation labelFileFirmwareVersion buttonScanForDevice buttonExit buttonAbort "
     L"labelDeviceNotFound"},
    {"idle, no device, file of unknown version", {0, 1, 2},
     L"labelFirmwareFileInformation buttonExit buttonSelectFirmwareFile buttonAbort labelDeviceNotFound"},
    {"idle, no device, invalid file", {0, 1, 1},
     L"labelFirmwareFileInformation buttonExit buttonSelectFirmwareFile buttonAbort"},
    {"idle, normal mode, update needed", {0, 5, 3, true},
     L"labelDeviceInformation labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation "
     L"buttonUpdateFirmware buttonExit buttonAbort"},
    {"running", {1, 8, 3, true},
     L"labelFileFirmwareVersion progressBar labelUpdateProcessInformation buttonAbort"},
    {"failed", {2, 7, 3, true},
     L"labelFirmwareFileInformation labelDeviceCannotUpdateError labelFileFirmwareVersion buttonReinitialize "
     L"buttonExit"},
    {"aborted", {3, 7, 3, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonReinitialize buttonExit"},
    {"done, device not back", {4, 4, 3, true},
     L"labelFileFirmwareVersion labelUpdateProcessInformation buttonReinitialize buttonExit "
     L"buttonManualDeviceHasUpdatedRescanButton"},
    {"done, device back", {4, 5, 3},
     L"labelDeviceFirmwareVersion labelFileFirmwareVersion labelUpdateProcessInformation buttonExit"},
};

void CheckRows(DisplayTest& test, const VisibilityRow* rows, size_t count, bool started,
               const std::function<std::wstring()>& visible, const std::function<void(const Situation&)>& apply)
{
    for (size_t i = 0; i < count; ++i) {
        const VisibilityRow& row = rows[i];
        if (row.situation.started != started)
            continue;
        SCOPED_TRACE(row.what);
        apply(row.situation);
        EXPECT_EQ(std::wstring(row.visible), visible());
    }
    (void)test;
}

TEST_F(DisplayTest, TheProgramsSkinShowsWhatEachStateNeeds)
{
    Open({0, 5, 3, true});
    const auto apply = [this](const Situation& s) {
        engine->SetStates(s.device, s.file, s.update);
        engine->updateNeeded = s.needed;
        engine->errorCode = s.errorCode;
        application->GetUpdateProcessor()->SetAlwaysUpdate(s.always);
        screen->UpdateDisplay(s.update, s.device, s.file);
    };
    CheckRows(*this, kSkinRows, std::size(kSkinRows), false, [this]() { return VisibleControls(); }, apply);
    // The screen of the main road once the update button was pressed.
    apply({0, 6, 3, true});
    PaintWindow("entering_update_mode");
}

TEST_F(DisplayTest, TheProgramsSkinWhileTheScreenWaitsForTheDevice)
{
    for (const VisibilityRow& row : kSkinRows) {
        if (!row.situation.started)
            continue;
        SCOPED_TRACE(row.what);
        Open(row.situation);
        screen->UpdateDisplay(row.situation.update, row.situation.device, row.situation.file);
        EXPECT_EQ(std::wstring(row.visible), VisibleControls());
    }
}

TEST_F(DisplayTest, ASkinWithEveryOptionalControlShowsThemByTheirRules)
{
    Open({0, 5, 3, true}, kOptional);
    const auto apply = [this](const Situation& s) {
        engine->SetStates(s.device, s.file, s.update);
        engine->updateNeeded = s.needed;
        application->GetUpdateProcessor()->SetAlwaysUpdate(s.always);
        screen->UpdateDisplay(s.update, s.device, s.file);
    };
    CheckRows(*this, kFullSkinRows, std::size(kFullSkinRows), false, [this]() { return VisibleControls(); },
              apply);
}

TEST_F(DisplayTest, AnUnknownUpdateStateChangesNoVisibility)
{
    Open({0, 5, 3, true});
    const std::wstring before = VisibleControls();
    screen->UpdateDisplay(7, Engine::Updating, Engine::FileInvalid);
    EXPECT_EQ(before, VisibleControls());
}

TEST_F(DisplayTest, TheDeviceVersionShowsOnlyWithAKnownVersionInNormalMode)
{
    Open({0, 5, 3, true});
    screen->UpdateDisplay(0, 5, 3);
    EXPECT_TRUE(Visible(L"labelDeviceFirmwareVersion"));
    engine->deviceVersion = String();
    screen->UpdateDisplay(0, 5, 3);
    EXPECT_FALSE(Visible(L"labelDeviceFirmwareVersion"));
    engine->deviceVersion = L"1.0.3.0";
    engine->deviceVersionResult = E_FAIL; // a failing engine call counts as no version
    screen->UpdateDisplay(0, 5, 3);
    EXPECT_FALSE(Visible(L"labelDeviceFirmwareVersion"));
    engine->deviceVersionResult = S_OK;
    engine->SetStates(Engine::InUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
    screen->UpdateDisplay(0, 7, 3);
    EXPECT_FALSE(Visible(L"labelDeviceFirmwareVersion"));
}

TEST_F(DisplayTest, WithoutTheScanButtonNoDeviceShowsOnlyTheTextAndExit)
{
    engine->SetStates(Engine::NoDeviceFound, Engine::FileFoundVersionKnown, Engine::Idle);
    Start();
    OpenVariant({L"buttonScanForDevice"}, {});
    ASSERT_TRUE(screen);
    EXPECT_FALSE(screen->HasScanButton());
    EXPECT_EQ(std::wstring(L"labelDeviceInformation labelFileFirmwareVersion buttonExit"), VisibleControls());
}

TEST_F(DisplayTest, TheSelectFileButtonShowsWhileTheFileIsNotValid)
{
    Open({0, 5, 1}, {L"buttonSelectFirmwareFile"});
    EXPECT_TRUE(Visible(L"buttonSelectFirmwareFile"));
    for (int32_t update = 0; update <= 4; ++update) {
        engine->SetStates(Engine::NotInUpdateMode, Engine::FileFoundVersionKnown, update);
        screen->UpdateDisplay(update, 5, 3);
        EXPECT_FALSE(Visible(L"buttonSelectFirmwareFile")) << update;
        engine->SetStates(Engine::NotInUpdateMode, Engine::FileInvalid, update);
        screen->UpdateDisplay(update, 5, 1);
        EXPECT_TRUE(Visible(L"buttonSelectFirmwareFile")) << update;
    }
}

} // namespace
} // namespace ScreenTest

// The update screen's actions with a scripted engine: what each button and
// menu item asks of the engine, the busy cursor around the calls that wait
// for the device, the engine's notifications, the wait for the device after
// a transfer, broken skins, and whether the program may exit.
#include "MainControlTestSupport.h"

#include "Application/FileDialog.h"
#include "Controls/MenuDescriptor.h"
#include "Notification/NotificationIDs.h"
#include "System/DebugOutput.h"

#include <functional>
#include <sstream>

namespace ScreenTest {
namespace {

// What the program writes to its debug output meanwhile.
class DebugCapture
{
public:
    DebugCapture() : mStream(KX::DebugOutput::GetInstance().GetStream()) { mPrevious = mStream.rdbuf(&mBuffer); }
    ~DebugCapture() { mStream.rdbuf(mPrevious); }
    std::string Text() const { return mBuffer.str(); }

private:
    std::ostream& mStream;
    std::stringbuf mBuffer;
    std::streambuf* mPrevious = nullptr;
};

// What the window showed at one moment of a blocking call.
struct Moment
{
    std::wstring cursor;
    std::wstring status;
    std::wstring process;
    std::wstring visible;
};

class ActionTest : public MainControlTest
{
protected:
    Moment Now() const { return {CurrentCursor(), application->statusText, TextOf(L"labelUpdateProcessInformation"),
                                 VisibleControls()}; }
    // A notification that the menu bar's popup posts to the window's queue.
    void MenuItem(const wchar_t* id)
    {
        RCPtr<KX::LNotification> notification;
        KX::LNotification::Create(notification, id);
        window->PostNotification(notification);
        IdlePass();
    }
};

// ---- UPDATE FIRMWARE and NEXT ----

TEST_F(ActionTest, UpdateInNormalModeShowsTheTransitionThenAsksForUpdateModeUnderTheBusyCursor)
{
    OpenScreen();
    ASSERT_TRUE(Visible(L"buttonUpdateFirmware"));
    const int redraws = os.redrawCount;
    Moment during;
    engine->onEnterUpdateMode = [&]() {
        during = Now();
        engine->SetDevice(Engine::EnteringUpdateMode); // the device acknowledged
    };
    ClickButton(L"buttonUpdateFirmware");

    EXPECT_EQ("RequestEnterUpdateMode", engine->Names());
    EXPECT_EQ(L"UI_CURSOR_WAIT", during.cursor);
    EXPECT_EQ(L"Putting Device in Update Mode...", during.status);
    // Shown before the call blocked: the off-and-on instruction with NEXT,
    // and no EXIT.
    EXPECT_EQ(Text(screen->GetTransitionText()), during.process);
    EXPECT_NE(std::wstring::npos, during.process.find(L"NEXT"));
    EXPECT_EQ(L"labelDeviceInformation labelDeviceFirmwareVersion labelFileFirmwareVersion "
              L"labelUpdateProcessInformation buttonManualDeviceReadyForUpdateButton",
              during.visible);
    EXPECT_GT(os.redrawCount, redraws);
    // Afterwards: still the transition, no transfer, the cursor back.
    EXPECT_NE(L"UI_CURSOR_WAIT", CurrentCursor());
    EXPECT_EQ(Text(screen->GetTransitionText()), TextOf(L"labelUpdateProcessInformation"));
    EXPECT_TRUE(Visible(L"buttonManualDeviceReadyForUpdateButton"));
    EXPECT_FALSE(Visible(L"buttonExit"));
    EXPECT_FALSE(screen->IsUpdateStarted());
    PaintWindow("after_update_press");
}

TEST_F(ActionTest, UpdateWithADeviceAlreadyInUpdateModeStartsTheTransfer)
{
    engine->SetStates(Engine::InUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
    bar->SetNormalizedValue(0.7);
    bar->SetAutoTimeEstimate(true);
    ClickButton(L"buttonUpdateFirmware");
    EXPECT_EQ("StartUpdate", engine->Names());
    EXPECT_TRUE(screen->IsUpdateStarted());
    EXPECT_EQ(0.0, bar->GetNormalizedValue());
    EXPECT_FALSE(bar->GetAutoTimeEstimate());
    EXPECT_EQ(L"labelFileFirmwareVersion progressBar labelUpdateProcessInformation", VisibleControls());
    PaintWindow("transfer_started");
}

TEST_F(ActionTest, UpdateWithoutAValidFileDoesNothing)
{
    for (const int32_t file : {Engine::NoFileDefined, Engine::FileInvalid, Engine::FileFoundVersionUnknown}) {
        engine->SetStates(Engine::NotInUpdateMode, file, Engine::Idle);
        OpenScreen();
        screen->UpdateFirmware();
        EXPECT_EQ("", engine->Names()) << file;
    }
}

struct NextRow
{
    const char* what;
    int32_t deviceAfterProbe;
    KXRESULT probeResult;
    bool transferStarts;
};

TEST_F(ActionTest, NextStartsTheTransferOnlyWhenTheProbeFindsTheDeviceInUpdateMode)
{
    const NextRow rows[] = {
        {"still in normal mode (not switched off and on)", Engine::EnteringUpdateMode, S_OK, false},
        {"not found", Engine::DeviceError, S_OK, false},
        {"the probe failed", Engine::EnteringUpdateMode, E_FAIL, false},
        {"in update mode", Engine::InUpdateMode, S_OK, true},
    };
    for (const NextRow& row : rows) {
        SCOPED_TRACE(row.what);
        engine->SetStates(Engine::EnteringUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
        engine->calls.clear();
        OpenScreen();
        ASSERT_TRUE(Visible(L"buttonManualDeviceReadyForUpdateButton"));
        std::wstring cursorDuringProbe;
        engine->onRefresh = [&]() {
            cursorDuringProbe = CurrentCursor();
            engine->SetDevice(row.deviceAfterProbe);
            return row.probeResult;
        };
        ClickButton(L"buttonManualDeviceReadyForUpdateButton");
        EXPECT_EQ(L"UI_CURSOR_WAIT", cursorDuringProbe);
        EXPECT_EQ(row.transferStarts ? "RefreshSelectedDevice StartUpdate" : "RefreshSelectedDevice",
                  engine->Names());
        EXPECT_EQ(row.transferStarts, screen->IsUpdateStarted());
        EXPECT_NE(L"UI_CURSOR_WAIT", CurrentCursor());
        engine->onRefresh = nullptr;
    }
}

TEST_F(ActionTest, AbortActsOnlyWhileEnteringUpdateModeOrUpdating)
{
    Start();
    OpenVariant({}, {L"buttonAbort"});
    for (int32_t device = Engine::NoDeviceDefined; device <= Engine::Updating; ++device) {
        engine->SetDevice(device);
        engine->calls.clear();
        screen->OnAbortButton(RCPtr<KX::LNotificationDistributor>(), RCPtr<KX::LNotification>());
        const bool acts = device == Engine::EnteringUpdateMode || device == Engine::Updating;
        EXPECT_EQ(acts ? "Abort" : "", engine->Names()) << device;
    }
    // The button is bound to it.
    engine->SetDevice(Engine::Updating);
    engine->calls.clear();
    ClickButton(L"buttonAbort");
    EXPECT_EQ("Abort", engine->Names());
}

// ---- SCAN FOR DEVICE, RESTART, has-updated rescan ----

TEST_F(ActionTest, ScanForDeviceAsksTheEngineToScan)
{
    engine->SetStates(Engine::NoDeviceFound, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    ClickButton(L"buttonScanForDevice");
    EXPECT_EQ("Rescan", engine->Names());
}

TEST_F(ActionTest, RestartReinitialisesAndScansWithoutWaitingForASilentUpdate)
{
    // The window opened although the command line was silent (no device
    // then); now the device is there, in update mode, and needs the file.
    engine->SetStates(Engine::DeviceError, Engine::FileFoundVersionKnown, Engine::Idle);
    Start(L"FirmwareUpdater.exe -SILENT");
    OpenScreen();
    ASSERT_TRUE(Visible(L"buttonReinitialize"));
    engine->SetDevice(Engine::InUpdateMode);
    ClickButton(L"buttonReinitialize");
    // The silent option starts the update, and the screen follows it instead
    // of waiting with the window frozen.
    EXPECT_EQ(0, engine->Count("WaitForUpdate"));
    EXPECT_EQ(1, engine->Count("StartUpdate"));
    EXPECT_EQ(1, engine->Count("Initialize"));
    EXPECT_EQ("Rescan", engine->calls.back().name);
    EXPECT_TRUE(screen->IsUpdateStarted());
    EXPECT_TRUE(Visible(L"progressBar"));
}

TEST_F(ActionTest, RestartWithoutOptionsReinitialisesThenScans)
{
    engine->SetStates(Engine::DeviceError, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    ClickButton(L"buttonReinitialize");
    EXPECT_EQ(1, engine->Count("Initialize"));
    EXPECT_EQ(0, engine->Count("StartUpdate"));
    EXPECT_EQ("Rescan", engine->calls.back().name);
    EXPECT_FALSE(screen->IsUpdateStarted());
}

TEST_F(ActionTest, HasUpdatedRescanEndsTheFollowedUpdateOnceTheDeviceIsBack)
{
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
    Start();
    OpenVariant({}, {L"buttonManualDeviceHasUpdatedRescanButton"});
    ASSERT_TRUE(screen->IsUpdateStarted());
    engine->SetStates(Engine::DeviceError, Engine::FileFoundVersionKnown, Engine::Succeeded);
    screen->UpdateDisplay(Engine::Succeeded, Engine::DeviceError, Engine::FileFoundVersionKnown);
    Moment during;
    engine->onRefresh = [&]() {
        during = Now();
        engine->SetDevice(Engine::NotInUpdateMode);
        return S_OK;
    };
    engine->updateNeeded = false;
    ClickButton(L"buttonManualDeviceHasUpdatedRescanButton");
    EXPECT_EQ(L"UI_CURSOR_WAIT", during.cursor);
    EXPECT_FALSE(screen->IsUpdateStarted());
    EXPECT_EQ(StringOf(L"labelUpdateProcessInformation", L"LABEL_UPDATE_SUCCEEDED"),
              TextOf(L"labelUpdateProcessInformation"));
}

// ---- The engine's notifications ----

TEST_F(ActionTest, SeveralDevicesSelectTheFirstAndTheScreenGoesOn)
{
    engine->SetStates(Engine::Scanning, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    DebugCapture debug;
    engine->SetDevice(Engine::DevicesAvailableNoneSelected);
    PostDeviceState(Engine::DevicesAvailableNoneSelected, Engine::Scanning);
    EXPECT_NO_THROW(IdlePass());
    EXPECT_EQ(std::vector<uint32_t>{0}, engine->selectedIndices);
    EXPECT_NE(std::string::npos,
              debug.Text().find("Logic Error : Multiple devices found. Handling multiple devices is not "
                                "implemented. Only the first connected device will be updated. : "
                                "KX::LMainControl::OnDeviceStateChangeNotification : UI\\MainControl : Line 1195"))
        << debug.Text();
    // The selection's own state change is what the screen shows next.
    engine->SetDevice(Engine::NotInUpdateMode);
    PostDeviceState(Engine::NotInUpdateMode, Engine::DevicesAvailableNoneSelected);
    IdlePass();
    EXPECT_TRUE(Visible(L"buttonUpdateFirmware"));
    EXPECT_EQ(StringOf(L"labelUpdateProcessInformation", L"LABEL_READY_FOR_UPDATE"),
              TextOf(L"labelUpdateProcessInformation"));
}

TEST_F(ActionTest, ADeviceStateChangeShowsTheNotifiedStateAndTheArrow)
{
    OpenScreen();
    window->SetCursor(application->GetCursor(L"UI_CURSOR_WAIT"));
    // The notification's state counts, not the engine's state now.
    PostDeviceState(Engine::NoDeviceFound, Engine::NotInUpdateMode);
    IdlePass();
    EXPECT_EQ(L"UI_CURSOR_ARROW", CurrentCursor());
    EXPECT_EQ(StringOf(L"labelDeviceInformation", L"LABEL_NO_DEVICE_FOUND"), TextOf(L"labelDeviceInformation"));
    EXPECT_TRUE(Visible(L"buttonScanForDevice"));
}

TEST_F(ActionTest, WithoutTheScanButtonNoDeviceOnlyLeavesANote)
{
    Start();
    OpenVariant({L"buttonScanForDevice"}, {});
    DebugCapture debug;
    PostDeviceState(Engine::NoDeviceFound, Engine::Scanning);
    EXPECT_NO_THROW(IdlePass());
    EXPECT_NE(std::string::npos, debug.Text().find("Incomplete Code! : KX::LMainControl::ScanForDeviceInBackground"))
        << debug.Text();
    EXPECT_EQ(StringOf(L"labelDeviceInformation", L"LABEL_NO_DEVICE_FOUND"), TextOf(L"labelDeviceInformation"));
}

TEST_F(ActionTest, AFileStateChangeShowsTheFileAndItsVersion)
{
    engine->SetStates(Engine::NotInUpdateMode, Engine::FileInvalid, Engine::Idle);
    OpenScreen();
    EXPECT_TRUE(Visible(L"labelFirmwareFileInformation"));
    engine->SetStates(Engine::NotInUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
    PostFileState(Engine::FileFoundVersionKnown, Engine::FileInvalid);
    IdlePass();
    EXPECT_EQ(L"Update to firmware version: 1.0.4.4", TextOf(L"labelFileFirmwareVersion"));
    EXPECT_TRUE(Visible(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Visible(L"labelFirmwareFileInformation"));
}

TEST_F(ActionTest, ProgressMovesTheBarAndTheEstimate)
{
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
    OpenScreen();
    const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
    PostProgress(0.25);
    PostProgress(0.5); // several in one pass: the last counts
    IdlePass();
    EXPECT_DOUBLE_EQ(0.5, bar->GetNormalizedValue());
    EXPECT_TRUE(bar->GetAutoTimeEstimate());
    EXPECT_EQ(L"50", Text(bar->GetPercentCompleteLabel()->GetText()));
    // A given remaining time is shown as it is.
    PostProgress(0.6, false, 65);
    IdlePass();
    EXPECT_FALSE(bar->GetAutoTimeEstimate());
    EXPECT_EQ(Text(bar->FormatTimeRemaining(65)), Text(bar->GetTimeRemainingLabel()->GetText()));
    EXPECT_TRUE(bar->GetTimeRemainingLabel()->GetLayout().mIsVisible);
    PaintWindow("progress");
}

// ---- The wait for the device after a transfer ----

struct ReturnRow
{
    const char* what;
    int32_t backAtProbe;      // the probe that finds the device in normal mode (0: never)
    bool oldVersion;          // it still needs the file then
    KXRESULT failingProbe;    // a probe answers this at probe 2 (S_OK: none fails)
    uint32_t probeMs;         // the time each probe takes on the clock
    int expectedProbes;
    uint32_t expectedElapsedMs;
    const wchar_t* processId;
    bool restartVisible;
};

TEST_F(ActionTest, AfterASuccessfulTransferTheScreenWaitsForTheDeviceByTheClock)
{
    const ReturnRow rows[] = {
        {"back at the third probe", 3, false, S_OK, 0, 3, 1500, L"LABEL_UPDATE_SUCCEEDED", false},
        {"back with its old version", 1, true, S_OK, 0, 1, 500, L"LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL", true},
        {"never back: 20 probes, 10 s", 0, false, S_OK, 0, 20, 10000, L"LABEL_UPDATE_SUCESS_UNKNOWN", true},
        {"never back, each probe waiting 2 s for a reply: 10 s", 0, false, S_OK, 2000, 4, 10000,
         L"LABEL_UPDATE_SUCESS_UNKNOWN", true},
        {"a probe fails", 0, false, E_FAIL, 0, 2, 1000, L"LABEL_UPDATE_SUCESS_UNKNOWN", true},
    };
    for (const ReturnRow& row : rows) {
        SCOPED_TRACE(row.what);
        engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
        engine->updateNeeded = true;
        engine->calls.clear();
        OpenScreen();
        ASSERT_TRUE(screen->IsUpdateStarted());
        int probes = 0;
        std::vector<Moment> during;
        engine->onRefresh = [&]() {
            ++probes;
            during.push_back(Now());
            application->mTicks += row.probeMs;
            if (probes == row.backAtProbe) {
                engine->SetDevice(Engine::NotInUpdateMode);
                engine->updateNeeded = row.oldVersion;
                return S_OK;
            }
            engine->SetDevice(Engine::DeviceError);
            return probes == 2 ? row.failingProbe : S_OK;
        };
        engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Succeeded);
        const uint32_t start = application->mTicks;
        PostCompleted(true);
        IdlePass();
        EXPECT_EQ(row.expectedProbes, probes);
        EXPECT_EQ(row.expectedElapsedMs, application->mTicks - start);
        ASSERT_FALSE(during.empty());
        EXPECT_EQ(L"UI_CURSOR_WAIT", during.front().cursor);
        EXPECT_EQ(L"Waiting for Device Reset To Complete...", during.front().status);
        EXPECT_EQ(L"Waiting for device to reset.", during.front().process);
        EXPECT_FALSE(screen->IsUpdateStarted());
        EXPECT_NE(L"UI_CURSOR_WAIT", CurrentCursor());
        EXPECT_EQ(StringOf(L"labelUpdateProcessInformation", row.processId), TextOf(L"labelUpdateProcessInformation"));
        EXPECT_EQ(row.restartVisible, Visible(L"buttonReinitialize"));
        EXPECT_TRUE(Visible(L"buttonExit"));
        engine->onRefresh = nullptr;
    }
}

TEST_F(ActionTest, AFailedTransferEndsTheFollowedUpdateAndASecondReportOnlyRepeatsTheDisplay)
{
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
    OpenScreen();
    ASSERT_TRUE(screen->IsUpdateStarted());
    engine->SetStates(Engine::InUpdateMode, Engine::FileFoundVersionKnown, Engine::Failed);
    PostCompleted(false);
    IdlePass();
    EXPECT_FALSE(screen->IsUpdateStarted());
    const std::wstring shown = VisibleControls();
    EXPECT_EQ(L"labelFirmwareFileInformation labelDeviceCannotUpdateError labelFileFirmwareVersion "
              L"buttonReinitialize buttonExit",
              shown);
    PostCompleted(false);
    IdlePass();
    EXPECT_EQ(shown, VisibleControls());
    EXPECT_EQ("", engine->Names());
}

TEST_F(ActionTest, AWindowOpenedDuringATransferTheCommandLineStartedFollowsIt)
{
    // -START_UPDATE_AUTOMATICALLY: the transfer runs when the window opens.
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
    OpenScreen();
    EXPECT_TRUE(screen->IsUpdateStarted());
    engine->onRefresh = [&]() {
        engine->SetDevice(Engine::NotInUpdateMode);
        engine->updateNeeded = false;
        return S_OK;
    };
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Succeeded);
    PostCompleted(true);
    IdlePass();
    EXPECT_EQ(L"Your TAVIK8 has been successfully updated. You may now close this application.",
              TextOf(L"labelUpdateProcessInformation"));
}

// ---- Menus ----

TEST_F(ActionTest, AllowDowngradeTogglesTheFlagAndTheScreen)
{
    engine->updateNeeded = false; // up to date
    OpenScreen();
    const std::wstring upToDate = VisibleControls();
    EXPECT_FALSE(Visible(L"buttonUpdateFirmware"));
    KX::MenuItemState state;
    screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, KX::NID_MENU_OPTIONS_ALLOW_DOWNGRADE, state);
    EXPECT_FALSE(state.checked);

    MenuItem(KX::NID_MENU_OPTIONS_ALLOW_DOWNGRADE);
    EXPECT_TRUE(application->GetUpdateProcessor()->GetAlwaysUpdate());
    EXPECT_TRUE(Visible(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Visible(L"labelDeviceCannotUpdateError"));
    EXPECT_EQ(StringOf(L"labelUpdateProcessInformation", L"LABEL_READY_FOR_DOWNGRADE_UPDATE"),
              TextOf(L"labelUpdateProcessInformation"));
    screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, KX::NID_MENU_OPTIONS_ALLOW_DOWNGRADE, state);
    EXPECT_TRUE(state.checked);
    // Other items stay as they are.
    KX::MenuItemState other;
    other.checked = true;
    EXPECT_EQ(S_OK, screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, KX::NID_MENU_FILE_SELECT, other));
    EXPECT_TRUE(other.checked);

    MenuItem(KX::NID_MENU_OPTIONS_ALLOW_DOWNGRADE);
    EXPECT_FALSE(application->GetUpdateProcessor()->GetAlwaysUpdate());
    EXPECT_EQ(upToDate, VisibleControls());
}

std::wstring sChosenFile;
int sDialogs = 0;

// Runs while the fake dialog is open (the real one runs a loop of its own).
std::function<void()> sWhileTheDialogIsOpen;

BOOL WINAPI FakeOpenDialog(OPENFILENAMEW* record)
{
    ++sDialogs;
    if (sWhileTheDialogIsOpen)
        sWhileTheDialogIsOpen();
    if (sChosenFile.empty())
        return FALSE;
    wcsncpy(record->lpstrFile, sChosenFile.c_str(), record->nMaxFile);
    return TRUE;
}

TEST_F(ActionTest, TheFileMenuItemsChooseTheFirmwareFile)
{
    engine->SetStates(Engine::NotInUpdateMode, Engine::FileInvalid, Engine::Idle);
    OpenScreen();
    EXPECT_EQ(L"The firmware update file is missing or invalid.", TextOf(L"labelFirmwareFileInformation"));
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction(FakeOpenDialog);
    sDialogs = 0;
    sChosenFile.clear(); // cancelled: nothing changes
    MenuItem(L"NID_MENU_FILE_ITEM_1");
    EXPECT_EQ(1, sDialogs);
    EXPECT_TRUE(engine->firmwareFiles.empty());

    sChosenFile = L"C:\\Firmware\\ZTSeries8.led";
    MenuItem(L"NID_MENU_FILE_ITEM_1");
    MenuItem(KX::NID_MENU_FILE_SELECT);
    KX::LFileDialog::SetOpenFunction(previous);
    EXPECT_EQ(3, sDialogs);
    ASSERT_EQ(2u, engine->firmwareFiles.size());
    EXPECT_EQ(sChosenFile, Text(engine->firmwareFiles[0]));
}

TEST_F(ActionTest, AChosenFileStaysTheFileForRestart)
{
    engine->SetStates(Engine::DeviceError, Engine::FileFoundVersionKnown, Engine::Failed);
    Start(L"FirmwareUpdater.exe -ABSOLUTE_FIRMWARE_FILE_PATH=C:\\Firmware\\command.led");
    OpenScreen();
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction(FakeOpenDialog);
    sChosenFile = L"C:\\Firmware\\chosen.led";
    MenuItem(L"NID_MENU_FILE_ITEM_1");
    KX::LFileDialog::SetOpenFunction(previous);
    ASSERT_TRUE(Visible(L"buttonReinitialize"));
    ClickButton(L"buttonReinitialize");
    ClickButton(L"buttonReinitialize");
    // RESTART runs the command line's initialisation again, with the chosen
    // file in place of the command line's.
    EXPECT_EQ(2, engine->Count("Initialize"));
    ASSERT_EQ(3u, engine->firmwareFiles.size());
    for (const String& file : engine->firmwareFiles)
        EXPECT_EQ(sChosenFile, Text(file));
}

// The screen's states while a transfer runs and around it: whether the file
// menu's item may be used.
struct SendingRow
{
    const char* what;
    int32_t device;
    int32_t update;
    bool chooses;
};

TEST_F(ActionTest, NoFirmwareFileIsChosenWhileTheImageIsSent)
{
    const SendingRow rows[] = {
        {"sending", Engine::Updating, Engine::Running, false},
        {"sent, the device not probed yet", Engine::Updating, Engine::Succeeded, false},
        {"switched off and on for update mode", Engine::EnteringUpdateMode, Engine::Idle, true},
        {"in update mode", Engine::InUpdateMode, Engine::Idle, true},
        {"failed", Engine::DeviceError, Engine::Failed, true},
        {"aborted", Engine::InUpdateMode, Engine::Aborted, true},
    };
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction(FakeOpenDialog);
    sChosenFile = L"C:\\Firmware\\other.led";
    for (const SendingRow& row : rows) {
        SCOPED_TRACE(row.what);
        engine->SetStates(row.device, Engine::FileFoundVersionKnown, row.update);
        OpenScreen();
        engine->firmwareFiles.clear();
        sDialogs = 0;
        // The item is greyed while the image is sent ...
        for (const wchar_t* id : {L"NID_MENU_FILE_ITEM_1", KX::NID_MENU_FILE_SELECT}) {
            KX::MenuItemState state;
            state.enabled = !row.chooses;
            EXPECT_EQ(S_OK, screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, id, state));
            EXPECT_EQ(row.chooses, state.enabled);
        }
        // ... and a request that still comes opens no dialog.
        MenuItem(L"NID_MENU_FILE_ITEM_1");
        MenuItem(KX::NID_MENU_FILE_SELECT);
        EXPECT_EQ(row.chooses ? 2 : 0, sDialogs);
        EXPECT_EQ(row.chooses ? 2u : 0u, engine->firmwareFiles.size());
    }
    KX::LFileDialog::SetOpenFunction(previous);
}

TEST_F(ActionTest, NoFirmwareFileIsChosenUntilTheWaitForTheDeviceHasEnded)
{
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Running);
    OpenScreen();
    std::vector<bool> enabled;
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction(FakeOpenDialog);
    sChosenFile = L"C:\\Firmware\\other.led";
    sDialogs = 0;
    engine->onRefresh = [&]() {
        // Not back yet: the device state is no longer Updating.
        engine->SetDevice(enabled.size() < 2 ? Engine::DeviceError : Engine::NotInUpdateMode);
        KX::MenuItemState state;
        screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, L"NID_MENU_FILE_ITEM_1", state);
        enabled.push_back(state.enabled);
        screen->SelectFirmwareFile(RCPtr<KX::LNotificationDistributor>(), RCPtr<KX::LNotification>());
        return S_OK;
    };
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Succeeded);
    PostCompleted(true);
    IdlePass();
    engine->onRefresh = nullptr;
    EXPECT_EQ((std::vector<bool>{false, false, false}), enabled);
    EXPECT_EQ(0, sDialogs);
    EXPECT_TRUE(engine->firmwareFiles.empty());

    // The wait is over: a file may be chosen again.
    KX::MenuItemState state;
    screen->UpdateMenuItem(RCPtr<KX::LMenuDescriptor>(), 0, L"NID_MENU_FILE_ITEM_1", state);
    EXPECT_TRUE(state.enabled);
    MenuItem(L"NID_MENU_FILE_ITEM_1");
    KX::LFileDialog::SetOpenFunction(previous);
    EXPECT_EQ(1, sDialogs);
    ASSERT_EQ(1u, engine->firmwareFiles.size());
}

TEST_F(ActionTest, AFileChosenWhileATransferBeganIsNotTaken)
{
    engine->SetStates(Engine::InUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction(FakeOpenDialog);
    sChosenFile = L"C:\\Firmware\\other.led";
    sDialogs = 0;
    engine->firmwareFiles.clear();
    sWhileTheDialogIsOpen = [&]() { engine->SetDevice(Engine::Updating); };
    MenuItem(KX::NID_MENU_FILE_SELECT);
    sWhileTheDialogIsOpen = nullptr;
    KX::LFileDialog::SetOpenFunction(previous);
    EXPECT_EQ(1, sDialogs);
    EXPECT_TRUE(engine->firmwareFiles.empty());
    EXPECT_TRUE(application->GetUpdateProcessor()->GetChosenFirmwareFile().IsEmpty());
}

// ---- Exit ----

TEST_F(ActionTest, TheProgramMayExitExceptDuringATransfer)
{
    Start();
    // Before the screen exists the engine answers.
    for (int32_t device = Engine::NoDeviceDefined; device <= Engine::Updating; ++device) {
        engine->SetDevice(device);
        EXPECT_EQ(device != Engine::Updating, application->CanExit()) << device;
    }
    engine->SetDevice(Engine::NotInUpdateMode);
    OpenScreen();
    for (int32_t device = Engine::NoDeviceDefined; device <= Engine::Updating; ++device) {
        engine->SetDevice(device);
        EXPECT_EQ(device != Engine::Updating, application->CanExit()) << device;
        EXPECT_EQ(device != Engine::Updating, screen->IsNotUpdating()) << device;
    }
}

TEST_F(ActionTest, ExitAsksTheApplicationWhichRefusesDuringATransfer)
{
    engine->SetStates(Engine::Updating, Engine::FileFoundVersionKnown, Engine::Idle);
    OpenScreen();
    ASSERT_TRUE(Visible(L"buttonExit")); // idle update state: shown
    ClickButton(L"buttonExit");
    IdlePass();
    EXPECT_FALSE(application->IsExiting());
    MenuItem(KX::NID_MENU_FILE_EXIT_REQ);
    EXPECT_FALSE(application->IsExiting());

    engine->SetDevice(Engine::NotInUpdateMode);
    ClickButton(L"buttonExit");
    IdlePass();
    EXPECT_TRUE(application->IsExiting());
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// ---- Broken skins ----

struct MissingRow
{
    const wchar_t* name;
    int line;
};

TEST_F(ActionTest, ASkinWithoutARequiredChildFailsNamingIt)
{
    const MissingRow rows[] = {
        {L"buttonExit", 75},
        {L"buttonUpdateFirmware", 79},
        {L"buttonReinitialize", 83},
        {L"labelDeviceInformation", 116},
        {L"labelFirmwareFileInformation", 119},
        {L"labelUpdateProcessInformation", 122},
        {L"labelFileFirmwareVersion", 125},
        {L"labelDeviceFirmwareVersion", 128},
        {L"labelDeviceCannotUpdateError", 131},
        {L"progressBar", 134},
        {L"updaterVersionLabel", 140},
    };
    Start();
    const int32_t liveBefore = KX::LControl::GetLiveCount();
    for (const MissingRow& row : rows) {
        const std::string expected = "Runtime Error : Null Pointer : LMainControl couldn't find " +
                                     std::string(String(row.name).ToNarrow().GetData()) +
                                     " : KX::LMainControl::Initialize : UI\\MainControl : Line " +
                                     std::to_string(row.line);
        try {
            CreateVariant({row.name});
            ADD_FAILURE() << "no failure without " << expected;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(expected, error.what());
        }
    }
    EXPECT_EQ(liveBefore, KX::LControl::GetLiveCount()); // nothing is left of the failed screens
}

TEST_F(ActionTest, ASkinWithoutTheExitButtonNamesIt)
{
    Start();
    try {
        CreateVariant({L"buttonExit"});
        FAIL() << "created";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("LMainControl couldn't find buttonExit"));
    }
}

TEST_F(ActionTest, TheUpdatersVersionLabelShowsTheProgramsVersion)
{
    OpenScreen();
    String version;
    application->GetProductVersion(version);
    EXPECT_FALSE(version.IsEmpty());
    EXPECT_EQ(L"Updater: " + Text(version), TextOf(L"updaterVersionLabel"));
    PaintWindow();
}

} // namespace
} // namespace ScreenTest

// The update screen: its texts and visibility for the engine's states, and
// the handling of the engine's notifications.
#include "UI/MainControl.h"

#include "Application/BusyCursor.h"
#include "Application/Cursors.h"
#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateNotificationData.h"
#include "Engine/UpdateProcessor.h"
#include "ObjectBase/Exception.h"
#include "System/DebugOutput.h"

#include <string>

namespace KX {

namespace {

using Engine = LUpdateEngineInterface;

void SystemPause(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

LMainControl::PauseFunction sPause = SystemPause;

template <class T>
RCPtr<T> DataOf(const RCPtr<LNotification>& notification)
{
    return notification ? RCPtr<T>::DynamicCast(notification->GetData()) : RCPtr<T>();
}

void Show(const RCPtr<LControl>& control, bool visible)
{
    if (control)
        control->SetVisible(visible);
}

// A line of the program's debug output, in the layout of the framework's
// exception texts: what happened and where.
void DebugNote(const char* detail, const char* operation, int line)
{
    const std::string text = FormatExceptionText(ExceptionCategory<std::logic_error>::Text, detail, operation,
                                                 "UI\\MainControl", line);
    std::ostream& stream = DebugOutput::GetInstance().GetStream();
    stream << text << "\n";
    stream.flush();
}

uint32_t ApplicationTicks()
{
    return LFrameworkApp::sInstance ? LFrameworkApp::sInstance->GetTicks() : GetTickCount();
}

} // namespace

LMainControl::PauseFunction LMainControl::SetPauseFunction(PauseFunction function)
{
    const PauseFunction previous = sPause;
    sPause = function ? function : SystemPause;
    return previous;
}

// ---- The whole display ----

void LMainControl::UpdateDisplay(int32_t updateState, int32_t deviceState, int32_t fileState)
{
    const RCPtr<LControl> self(this);
    UpdateDeviceStateLabel(deviceState);
    UpdateFirmwareFileStateLabel(fileState);
    UpdateProcessLabel(updateState, deviceState);
    UpdateDeviceVersionLabel();
    UpdateFileVersionLabel();
    UpdateCannotUpdateLabel(deviceState, IsUpdateAllowed());
    Show(mButtonSelectFirmwareFile, fileState != Engine::FileFoundVersionKnown);
    UpdateVisibility(updateState, deviceState, fileState);
}

void LMainControl::UpdateDisplayFromEngine()
{
    UpdateDisplay(CurrentUpdateState(), CurrentDeviceState(), CurrentFileState());
}

void LMainControl::UpdateVisibility(int32_t updateState, int32_t deviceState, int32_t fileState)
{
    if (updateState == Engine::Idle) {
        ShowIdleScreen(deviceState, fileState);
        return;
    }
    if (updateState < Engine::Running || updateState > Engine::Succeeded)
        return;
    const bool running = updateState == Engine::Running;
    const bool failed = updateState == Engine::Failed;
    const bool done = updateState == Engine::Succeeded;
    Show(mLabelFirmwareFileInformation, failed);
    Show(mLabelDeviceInformation, false);
    // The version is the file's only while the file is valid: another file
    // chosen since leaves the text of the one before.
    Show(mLabelFileFirmwareVersion, fileState == Engine::FileFoundVersionKnown);
    Show(mLabelDeviceFirmwareVersion, ShouldShowDeviceVersion());
    Show(mProgressBar, running);
    Show(mButtonUpdateFirmware, false);
    Show(mLabelUpdateProcessInformation, !failed);
    Show(mLabelDeviceCannotUpdateError, failed);
    Show(mButtonReinitialize, done ? ShouldShowReinitialize(deviceState, updateState) : !running);
    Show(mButtonScanForDevice, false);
    Show(mButtonManualDeviceReadyForUpdate, false);
    Show(mButtonManualDeviceHasUpdatedRescan, done && deviceState != Engine::NotInUpdateMode);
    Show(mTransitioningToUpdateMode, false);
    Show(mDeviceNotFound, false);
    Show(mButtonExit, !running);
    Show(mButtonAbort, running);
}

void LMainControl::ShowIdleScreen(int32_t deviceState, int32_t fileState)
{
    const bool fileValid = fileState == Engine::FileFoundVersionKnown;
    const bool entering = deviceState == Engine::EnteringUpdateMode;
    const bool transitionShown = mTransitioningToUpdateMode && entering;
    const bool updateButton = ShouldShowUpdateButton(deviceState, fileState);
    // Whatever the device's mode, a file that cannot be sent is said; only a
    // device error takes the label's place.
    Show(mLabelFirmwareFileInformation, deviceState != Engine::DeviceError && !fileValid);
    Show(mLabelDeviceInformation, ShouldShowDeviceInformation(deviceState, fileState) && !transitionShown);
    Show(mLabelFileFirmwareVersion, fileValid);
    Show(mLabelDeviceFirmwareVersion, ShouldShowDeviceVersion());
    Show(mProgressBar, deviceState == Engine::Updating);
    Show(mButtonUpdateFirmware, updateButton);
    Show(mLabelUpdateProcessInformation, updateButton || entering || deviceState == Engine::Updating);
    Show(mLabelDeviceCannotUpdateError, ShouldShowCannotUpdateError(deviceState, fileState) && !transitionShown);
    Show(mButtonReinitialize, ShouldShowReinitialize(deviceState, Engine::Idle));
    Show(mButtonScanForDevice, ShouldShowScanButton(deviceState, Engine::Idle, fileState));
    Show(mButtonManualDeviceReadyForUpdate, entering);
    Show(mButtonManualDeviceHasUpdatedRescan, false);
    Show(mTransitioningToUpdateMode, entering);
    Show(mDeviceNotFound, deviceState == Engine::NoDeviceFound &&
                              (fileState == Engine::FileFoundVersionUnknown || fileValid));
    Show(mButtonExit, !entering);
    Show(mButtonAbort, true);
}

// ---- Label texts ----

LMainControl::String LMainControl::LabelString(const RCPtr<LLabel>& label, const wchar_t* identifier)
{
    return label ? label->GetString(identifier) : String();
}

bool LMainControl::HasLabelString(const RCPtr<LLabel>& label, const wchar_t* identifier)
{
    return label && label->GetStringTable() && label->GetStringTable()->HasString(identifier);
}

void LMainControl::UpdateDeviceStateLabel(int32_t deviceState)
{
    const wchar_t* id = nullptr;
    switch (deviceState) {
    case Engine::NoDeviceDefined: id = L"LABEL_NO_DEVICE_DEFINED"; break;
    case Engine::NoDeviceFound: id = L"LABEL_NO_DEVICE_FOUND"; break;
    case Engine::Scanning: id = L"LABEL_SCANNING_FOR_DEVICE"; break;
    case Engine::DevicesAvailableNoneSelected: id = L"LABEL_DEVICES_AVAILABLE_NONE_SELECTED"; break;
    case Engine::NotInUpdateMode: id = L"LABEL_DEVICE_NOT_IN_UPDATE_MODE"; break;
    case Engine::InUpdateMode: id = L"LABEL_DEVICE_IN_UPDATE_MODE"; break;
    default: return; // error, entering update mode, updating: the text stays
    }
    mLabelDeviceInformation->SetText(LabelString(mLabelDeviceInformation, id));
}

void LMainControl::UpdateFirmwareFileStateLabel(int32_t fileState)
{
    const wchar_t* id = nullptr;
    switch (fileState) {
    case Engine::NoFileDefined: id = L"LABEL_NO_FILE_DEFINED"; break;
    case Engine::FileInvalid:
    case Engine::FileFoundVersionUnknown: id = L"LABEL_FIRMARE_FILE_INVALID"; break;
    case Engine::FileFoundVersionKnown: id = L"LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN"; break;
    default: return;
    }
    mLabelFirmwareFileInformation->SetText(LabelString(mLabelFirmwareFileInformation, id));
}

void LMainControl::UpdateProcessLabel(int32_t updateState, int32_t deviceState)
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    const RCPtr<LLabel>& label = mLabelUpdateProcessInformation;
    switch (updateState) {
    case Engine::Idle:
        // A device in update mode has no firmware to keep: it is ready for
        // the file's, whatever text was computed before it appeared.
        if (deviceState == Engine::EnteringUpdateMode)
            label->SetText(mTransitionText);
        else if (deviceState == Engine::InUpdateMode)
            label->SetText(LabelString(label, L"LABEL_READY_FOR_UPDATE"));
        else
            label->SetText(LabelString(label, engine && engine->IsUpdateNeeded()
                                                  ? L"LABEL_READY_FOR_UPDATE"
                                                  : L"LABEL_READY_FOR_DOWNGRADE_UPDATE"));
        break;
    case Engine::Running:
        label->SetText(LabelString(label, L"LABEL_UPDATE_IN_PROGRESS"));
        break;
    case Engine::Aborted:
        label->SetText(LabelString(label, L"LABEL_UPDATE_ABORTED"));
        break;
    case Engine::Succeeded:
        if (deviceState == Engine::NotInUpdateMode)
            label->SetText(LabelString(label, engine && engine->IsUpdateNeeded()
                                                  ? L"LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL"
                                                  : L"LABEL_UPDATE_SUCCEEDED"));
        else if (!mUpdateStarted)
            label->SetText(LabelString(label, L"LABEL_UPDATE_SUCESS_UNKNOWN"));
        else if (HasLabelString(label, L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE"))
            label->SetText(LabelString(label, L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE"));
        else
            label->SetText(LabelString(label, L"LABEL_UPDATE_IN_PROGRESS"));
        break;
    default: // failed: the text stays (the label is hidden)
        break;
    }
}

void LMainControl::UpdateDeviceVersionLabel()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    String version;
    if (engine && engine->GetDeviceVersionText(version) == S_OK)
        mLabelDeviceFirmwareVersion->SetText(
            FillPlaceholder(LabelString(mLabelDeviceFirmwareVersion, L"LABEL"), version));
}

void LMainControl::UpdateFileVersionLabel()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    String version;
    if (engine && engine->GetFirmwareFileVersionText(version) == S_OK)
        mLabelFileFirmwareVersion->SetText(
            FillPlaceholder(LabelString(mLabelFileFirmwareVersion, L"LABEL"), version));
}

void LMainControl::UpdateCannotUpdateLabel(int32_t, bool updateAllowed)
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    int32_t code = Engine::NoReason;
    if (engine)
        engine->GetSelectedDeviceErrorCode(code);
    const wchar_t* id = nullptr;
    if (!updateAllowed) {
        id = code == Engine::DriverTooOld ? L"LABEL_DRIVER_IS_TOO_OLD" : L"LABEL_UPDATE_NOT_NEEDED";
    } else {
        switch (code) {
        case Engine::NoReason: id = L"LABEL_DEVICE_CANNOT_BE_UPDATED_NO_REASON"; break;
        case Engine::DriverTooOld: id = L"LABEL_DRIVER_IS_TOO_OLD"; break;
        case Engine::SystemFailure: id = L"LABEL_CANNOT_UPDATE_SYSTEM_FAILURE"; break;
        case Engine::FileAccessFailure: id = L"LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE"; break;
        case Engine::DeviceAccessFailure: id = L"LABEL_DEVICE_DEVICE_ACCESS_FAILURE"; break;
        default: return;
        }
    }
    mLabelDeviceCannotUpdateError->SetText(LabelString(mLabelDeviceCannotUpdateError, id));
}

// ---- Visibility rules ----

bool LMainControl::ShouldShowDeviceInformation(int32_t deviceState, int32_t fileState)
{
    const bool fileValid = fileState == Engine::FileFoundVersionKnown;
    if (deviceState == Engine::DeviceError)
        return false;
    if (deviceState <= Engine::DevicesAvailableNoneSelected)
        return fileValid;
    if (deviceState == Engine::NotInUpdateMode)
        return fileValid && IsUpdateAllowed();
    return !fileValid || IsUpdateAllowed();
}

bool LMainControl::ShouldShowCannotUpdateError(int32_t deviceState, int32_t fileState)
{
    if (deviceState == Engine::DeviceError)
        return true;
    if (deviceState <= Engine::DevicesAvailableNoneSelected || fileState != Engine::FileFoundVersionKnown)
        return false;
    return !IsUpdateAllowed();
}

bool LMainControl::ShouldShowUpdateButton(int32_t deviceState, int32_t fileState)
{
    return fileState == Engine::FileFoundVersionKnown && IsUpdateAllowed() &&
           (deviceState == Engine::NotInUpdateMode || deviceState == Engine::InUpdateMode);
}

bool LMainControl::ShouldShowReinitialize(int32_t deviceState, int32_t updateState)
{
    if (updateState == Engine::Idle)
        return deviceState == Engine::DeviceError;
    if (updateState != Engine::Succeeded || mUpdateStarted)
        return false;
    if (deviceState != Engine::NotInUpdateMode)
        return true;
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine && engine->IsUpdateNeeded();
}

bool LMainControl::ShouldShowScanButton(int32_t deviceState, int32_t updateState, int32_t fileState)
{
    return !mNoScanButton && fileState == Engine::FileFoundVersionKnown &&
           (deviceState == Engine::NoDeviceFound || deviceState == Engine::DevicesAvailableNoneSelected) &&
           updateState == Engine::Idle;
}

bool LMainControl::ShouldShowDeviceVersion()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    String version;
    return engine && engine->GetDeviceVersionText(version) >= 0 && !version.IsEmpty() &&
           engine->GetDeviceState() == Engine::NotInUpdateMode &&
           engine->GetFirmwareFileState() == Engine::FileFoundVersionKnown;
}

// ---- The engine's notifications ----

KXRESULT LMainControl::OnDeviceStateChangeNotification(const RCPtr<LNotificationDistributor>&,
                                                       const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LDeviceStateChangeNotificationData> data = DataOf<LDeviceStateChangeNotificationData>(notification);
    if (!data)
        return 1;
    const int32_t state = data->mState;
    UpdateDeviceStateLabel(state);
    const int32_t updateState = CurrentUpdateState();
    const int32_t fileState = CurrentFileState();
    if (const RCPtr<LRootWindow>& window = GetRootWindow())
        window->SetCursor(GetAppCursor(UI_CURSOR_ARROW));
    if (state == Engine::NoDeviceFound && mNoScanButton)
        ScanForDeviceInBackground();
    if (state == Engine::DevicesAvailableNoneSelected) {
        // The engine's own state change after the selection updates the screen.
        if (const RCPtr<Engine> engine = GetUpdateEngine())
            engine->SelectDevice(0);
        DebugNote("Multiple devices found. Handling multiple devices is not implemented. Only the first "
                  "connected device will be updated.",
                  "KX::LMainControl::OnDeviceStateChangeNotification", 1195);
        return 1;
    }
    UpdateDisplay(updateState, state, fileState);
    return 1;
}

KXRESULT LMainControl::OnFirmwareFileStateChangeNotification(const RCPtr<LNotificationDistributor>&,
                                                             const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LFirmwareFileStateChangeNotificationData> data =
            DataOf<LFirmwareFileStateChangeNotificationData>(notification)) {
        UpdateFirmwareFileStateLabel(data->mState);
        if (data->mState == Engine::FileFoundVersionKnown)
            UpdateFileVersionLabel();
    }
    UpdateDisplayFromEngine();
    return 1;
}

KXRESULT LMainControl::OnFirmwareUpdateProgressNotification(const RCPtr<LNotificationDistributor>&,
                                                            const RCPtr<LNotification>& notification)
{
    const RCPtr<LFirmwareUpdateProgressNotificationData> data =
        DataOf<LFirmwareUpdateProgressNotificationData>(notification);
    if (!data)
        return 1;
    const RCPtr<LProgressBar> bar = mProgressBar;
    bar->SetNormalizedValue(data->mProgress);
    if (!data->mAutoEstimate)
        bar->SetTimeRemaining(data->mSecondsRemaining);
    bar->SetAutoTimeEstimate(data->mAutoEstimate);
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->SetStatusText(data->mStatusText, false);
    return 1;
}

KXRESULT LMainControl::OnFirmwareUpdateCompletedNotification(const RCPtr<LNotificationDistributor>&,
                                                             const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LFirmwareUpdateCompletedNotificationData> data =
        DataOf<LFirmwareUpdateCompletedNotificationData>(notification);
    if (!data)
        return 1;
    if (!data->mSuccess) {
        mUpdateStarted = false;
        UpdateDisplayFromEngine();
        return 1;
    }
    CBusyCursor busy{String(L"Waiting for Device Reset To Complete...")};
    UpdateDisplayFromEngine();
    RedrawNow();
    WaitForDeviceReturn();
    mUpdateStarted = false;
    UpdateDisplayFromEngine();
    return 1;
}

void LMainControl::WaitForDeviceReturn()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine)
        return;
    // The device restarts with its new firmware. A probe of a device that is
    // not back yet may itself wait for a reply, so the limit is the time
    // gone by on the application clock, not the number of pauses.
    const uint32_t start = ApplicationTicks();
    for (int32_t probes = 0; probes < kMaxProbes; ++probes) {
        sPause(kProbeIntervalMs);
        if (engine->RefreshSelectedDevice() < 0 || engine->GetDeviceState() == Engine::NotInUpdateMode)
            return;
        if (ApplicationTicks() - start >= kReturnWaitMs)
            return;
    }
}

void LMainControl::ScanForDeviceInBackground()
{
    // This program has no background scan: a skin without the scan button
    // leaves finding the device to RESTART.
    DebugNote("Incomplete Code!", "KX::LMainControl::ScanForDeviceInBackground", 1321);
}

// ---- Helpers ----

int32_t LMainControl::CurrentUpdateState()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine ? engine->GetUpdateState(false) : Engine::Idle;
}

int32_t LMainControl::CurrentDeviceState()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine ? engine->GetDeviceState() : Engine::NoDeviceDefined;
}

int32_t LMainControl::CurrentFileState()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine ? engine->GetFirmwareFileState() : Engine::NoFileDefined;
}

void LMainControl::RedrawNow()
{
    if (const RCPtr<LRootWindow>& window = GetRootWindow())
        window->RedrawNow();
}

} // namespace KX

// The update screen: what its buttons and menu items do.
#include "UI/MainControl.h"

#include "Application/BusyCursor.h"
#include "Application/FileDialog.h"
#include "Application/FrameworkApp.h"
#include "Controls/Button.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateProcessor.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

using Engine = LUpdateEngineInterface;

StringT<wchar_t, char> AppString(const wchar_t* identifier)
{
    StringT<wchar_t, char> text;
    GetString(text, identifier);
    return text;
}

} // namespace

// ---- The two-step update ----

KXRESULT LMainControl::OnUpdateFirmwareButton(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    UpdateFirmware();
    return 1;
}

void LMainControl::UpdateFirmware()
{
    const RCPtr<LControl> self(this);
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetFirmwareFileState() != Engine::FileFoundVersionKnown)
        return;
    if (engine->GetDeviceState() == Engine::NotInUpdateMode) {
        // The screen says what is going on before the call blocks.
        UpdateDisplay(Engine::Idle, Engine::EnteringUpdateMode, Engine::FileFoundVersionKnown);
        RedrawNow();
        CBusyCursor busy(AppString(L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE"));
        engine->RequestEnterUpdateMode();
    }
    if (engine->GetDeviceState() == Engine::InUpdateMode) {
        mUpdateStarted = true;
        mProgressBar->SetNormalizedValue(0.0);
        mProgressBar->SetAutoTimeEstimate(false);
        engine->StartUpdate();
    }
    UpdateDisplayFromEngine();
    RedrawNow();
}

KXRESULT LMainControl::OnManualDeviceReadyForUpdateButton(const RCPtr<LNotificationDistributor>&,
                                                          const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    // Only a device that came back in update mode gets the image; any other
    // outcome of the probe reaches the screen as the engine's state change.
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (engine && RefreshDevice() >= 0 && engine->GetDeviceState() == Engine::InUpdateMode)
        UpdateFirmware();
    return 1;
}

KXRESULT LMainControl::OnManualDeviceHasUpdatedRescanButton(const RCPtr<LNotificationDistributor>&,
                                                            const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine)
        return 1;
    KXRESULT refreshed = E_FAIL;
    {
        CBusyCursor busy(AppString(L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE"));
        refreshed = RefreshDevice();
    }
    if (refreshed >= 0 && engine->GetDeviceState() == Engine::NotInUpdateMode) {
        mUpdateStarted = false;
        UpdateDisplayFromEngine();
    }
    return 1;
}

KXRESULT LMainControl::RefreshDevice()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine)
        return E_FAIL;
    CBusyCursor busy{StringT<wchar_t, char>()};
    return engine->RefreshSelectedDevice();
}

KXRESULT LMainControl::OnAbortButton(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (engine) {
        const int32_t state = engine->GetDeviceState();
        if (state == Engine::EnteringUpdateMode || state == Engine::Updating)
            engine->Abort();
    }
    return 1;
}

// ---- Device and file ----

KXRESULT LMainControl::OnScanForDeviceButton(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (const RCPtr<Engine> engine = GetUpdateEngine())
        engine->Rescan();
    return 1;
}

KXRESULT LMainControl::OnReinitializeButton(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    Reinitialize();
    if (const RCPtr<Engine> engine = GetUpdateEngine())
        engine->Rescan();
    return 1;
}

void LMainControl::Reinitialize()
{
    if (!mUpdateProcessor)
        return;
    // The screen shows an update the command line starts; it never waits
    // for one here, as a silent run would, with the window frozen meanwhile.
    mUpdateProcessor->ReinitializeInteractively();
    mNoScanButton = !mButtonScanForDevice;
    if (CurrentUpdateState() == Engine::Running)
        mUpdateStarted = true;
    UpdateDisplayFromEngine();
}

KXRESULT LMainControl::OnSelectFirmwareFileButton(const RCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification)
{
    return SelectFirmwareFile(sender, notification);
}

KXRESULT LMainControl::SelectFirmwareFile(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    // The greyed menu item sends nothing; a request that comes another way
    // (queued before the transfer began) is refused too.
    if (IsSendingImage())
        return 1;
    const StringT<wchar_t, char> title = AppString(L"SELECT_FIRMWARE_FILE_DIALOG_TITLE");
    const StringT<wchar_t, char> filter = AppString(L"SELECT_FIRMWARE_FILE_DIALOG_FILE_FILTER");
    const StringT<wchar_t, char> extension = AppString(L"SELECT_FIRMWARE_FILE_DEFAULT_FILE_EXTENSION");
    if (!mFileDialog)
        LFileDialog::Create(mFileDialog, StringT<wchar_t, char>());
    if (!mFileDialog || mFileDialog->ShowOpenDialog(filter, extension, title, false) < 0)
        return 1; // cancelled: nothing changes
    // The engine posts the file's new state, which the screen then shows;
    // the processor keeps the file for RESTART. An update started while the
    // dialog was open leaves the file as it is (the engine refuses it).
    if (mUpdateProcessor)
        mUpdateProcessor->ChooseFirmwareFile(mFileDialog->GetFileName());
    return 1;
}

KXRESULT LMainControl::OnAllowDowngradeMenu(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (!mUpdateProcessor)
        return 1;
    mUpdateProcessor->SetAlwaysUpdate(!mUpdateProcessor->GetAlwaysUpdate());
    UpdateDisplayFromEngine();
    return 1;
}

// ---- Exit ----

KXRESULT LMainControl::OnExitButton(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    RequestExit();
    return 1;
}

void LMainControl::RequestExit()
{
    const RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    RCPtr<LNotification> notification;
    LNotification::Create(notification, NID_APP_EXIT_REQ);
    if (center && notification)
        center->PostNotification(notification);
}

// ---- Questions ----

bool LMainControl::IsUpdateAllowed()
{
    if (mUpdateProcessor && mUpdateProcessor->GetAlwaysUpdate())
        return true;
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine && engine->IsUpdateNeeded();
}

bool LMainControl::IsNotUpdating()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return !engine || engine->GetDeviceState() != Engine::Updating;
}

bool LMainControl::IsSendingImage()
{
    // After a successful transfer the device state leaves Updating at the
    // first probe, while the wait for the device goes on.
    return !IsNotUpdating() || (mUpdateStarted && CurrentUpdateState() == Engine::Succeeded);
}

} // namespace KX

// KX::LMainControl: the update screen ("FirmwareUpdater.MainControl"), the
// skin's top control "mainControl". It finds its buttons and labels among
// its skin children by name, turns the user's clicks into calls on the
// update engine, and shows the engine's device, firmware-file and update
// states in its labels, button visibility and progress bar.
//
// Contract:
// - The engine is always reached through the application's update processor
//   (LApplication::GetUpdateProcessor), taken by Initialize.
// - Required children missing from the skin fail creation with the runtime
//   error "Runtime Error : Null Pointer : LMainControl couldn't find <name>
//   : KX::LMainControl::Initialize : UI\MainControl : Line <n>"; optional
//   ones only leave their feature out.
// - Every display is recomputed from the three engine states, the
//   processor's always-update flag, mUpdateStarted and the optional
//   controls present (UpdateDisplay); the screen keeps no other state.
// - The engine's notifications arrive from the "application" centre in the
//   idle pass; the engine is called on the user-interface thread, and the
//   calls that wait for the device run under the busy cursor.
// - A firmware file is chosen through the processor (ChooseFirmwareFile),
//   which keeps it for RESTART; never while an image is sent: the file menu
//   item is greyed then and the choice is refused.
// - After a successful transfer the screen waits for the device's return:
//   it probes every kProbeIntervalMs until the device is back in normal mode,
//   a probe fails, kMaxProbes probes were made or kReturnWaitMs went by on
//   the application clock (probes that wait for a silent device would
//   otherwise stretch the wait far beyond its intended time).
// - Several devices found: the first is selected and the screen goes on; a
//   note goes to the debug output. A skin without the scan button asks for
//   no background scan either: that too is only noted there.
// - User-interface thread only.
//
// The implementation is split by responsibility:
//   MainControl.cpp         construction, children and bindings
//   MainControlActions.cpp  what the buttons and menu items do
//   MainControlDisplay.cpp  texts, visibility and the engine's notifications
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

class LUpdateEngineInterface;
class LUpdateProcessor;

namespace KX {

class LButton;
class LFileDialog;
class LLabel;
class LProgressBar;

class LMainControl : public LControl
{
public:
    using MainHandler = LNotificationHandler<LMainControl>;

    static constexpr const wchar_t* kClassName = L"FirmwareUpdater.MainControl";
    // The notification the file menu's item sends (besides the menu
    // notification "NID_MENU_FILE_SELECT"): both choose a firmware file.
    static constexpr const wchar_t* kFileMenuItemID = L"NID_MENU_FILE_ITEM_1";
    // The wait for the device's return after a transfer.
    static constexpr uint32_t kProbeIntervalMs = 500;
    static constexpr uint32_t kReturnWaitMs = 10000;
    static constexpr int32_t kMaxProbes = 20;

    // The creator registered for kClassName: the standard creation sequence.
    static RCPtr<LControl>& Create(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                   const RCPtr<LControlDescriptor>& descriptor);

    LMainControl(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The base's; then the menu notifications of the new root window (the
    // queue the menu bar's popups post to). Throws the runtime error "No
    // Root Window!" when the control has none.
    KXRESULT ProcessRootWindowAquired() override;
    // The allow-downgrade item's check mark is the always-update flag; the
    // file items (kFileMenuItemID, "NID_MENU_FILE_SELECT") are greyed while
    // an image is sent (IsSendingImage); every other item stays as it is. 0.
    KXRESULT UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex, const wchar_t* notificationId,
                            MenuItemState& state) override;
    // Binds the engine's notifications, finds the children (throwing for a
    // missing required one), binds the buttons and shows the engine's
    // current states.
    KXRESULT Initialize() override;

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Actions (MainControlActions.cpp); handlers answer 1 ====

    KXRESULT OnExitButton(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnUpdateFirmwareButton(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    KXRESULT OnManualDeviceReadyForUpdateButton(const RCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>& notification);
    KXRESULT OnManualDeviceHasUpdatedRescanButton(const RCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification);
    KXRESULT OnScanForDeviceButton(const RCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    KXRESULT OnReinitializeButton(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    KXRESULT OnSelectFirmwareFileButton(const RCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification);
    KXRESULT SelectFirmwareFile(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    KXRESULT OnAbortButton(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnAllowDowngradeMenu(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);

    // With a valid file: a device in normal mode is asked to enter update
    // mode (blocking, under the busy cursor); a device in update mode gets
    // the transfer started. The screen is shown and redrawn either way.
    void UpdateFirmware();
    // Posts "NID_APP_EXIT_REQ" to the application centre; the application
    // decides in its idle pass (LApplication::CanExit).
    void RequestExit();
    // The engine's RefreshSelectedDevice under the busy cursor; its result.
    KXRESULT RefreshDevice();
    // The processor's initialisation again (never waiting for an update),
    // then the display of the engine's states.
    void Reinitialize();
    // The always-update flag, else whether the device needs the file.
    bool IsUpdateAllowed();
    // Whether the engine is not sending an image (device state not Updating).
    bool IsNotUpdating();
    // Whether an image is on its way to the device, or the screen still waits
    // for the device to come back after one: from StartUpdate to the end of
    // that wait. No firmware file is chosen meanwhile, so the file the screen
    // shows is the file being sent.
    bool IsSendingImage();
    RCPtr<LUpdateEngineInterface> GetUpdateEngine() const;

    // ==== Display (MainControlDisplay.cpp) ====

    // Every label text and every visibility for these states.
    void UpdateDisplay(int32_t updateState, int32_t deviceState, int32_t fileState);
    void UpdateDeviceStateLabel(int32_t deviceState);
    void UpdateFirmwareFileStateLabel(int32_t fileState);
    void UpdateProcessLabel(int32_t updateState, int32_t deviceState);
    void UpdateDeviceVersionLabel();
    void UpdateFileVersionLabel();
    void UpdateCannotUpdateLabel(int32_t deviceState, bool updateAllowed);

    bool ShouldShowDeviceInformation(int32_t deviceState, int32_t fileState);
    bool ShouldShowCannotUpdateError(int32_t deviceState, int32_t fileState);
    bool ShouldShowUpdateButton(int32_t deviceState, int32_t fileState);
    bool ShouldShowReinitialize(int32_t deviceState, int32_t updateState);
    bool ShouldShowScanButton(int32_t deviceState, int32_t updateState, int32_t fileState);
    bool ShouldShowDeviceVersion();

    // The engine's notifications; each answers 1.
    KXRESULT OnDeviceStateChangeNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification);
    KXRESULT OnFirmwareFileStateChangeNotification(const RCPtr<LNotificationDistributor>& sender,
                                                   const RCPtr<LNotification>& notification);
    KXRESULT OnFirmwareUpdateProgressNotification(const RCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification);
    KXRESULT OnFirmwareUpdateCompletedNotification(const RCPtr<LNotificationDistributor>& sender,
                                                   const RCPtr<LNotification>& notification);
    // "NID_FOUND_DEVICE_LIST_CHANGE": nothing to do. 1.
    KXRESULT OnFoundDeviceListChange(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);

    // A skin without the scan button: the request for a background scan,
    // which this program does not make (a debug note only).
    void ScanForDeviceInBackground();

    bool IsUpdateStarted() const { return mUpdateStarted; }
    bool HasScanButton() const { return !mNoScanButton; }
    const String& GetTransitionText() const { return mTransitionText; }

    // How the wait after a transfer pauses between probes (Sleep by default);
    // tests put their own clock's step in its place. Answers the previous one.
    using PauseFunction = void (*)(uint32_t milliseconds);
    static PauseFunction SetPauseFunction(PauseFunction function);

protected:
    ~LMainControl() override;

private:
    // ---- Children and bindings (MainControl.cpp) ----

    // Finds the buttons of the table, binding each one's click; throws for a
    // missing required one.
    void FindButtons();
    // Finds the labels, the progress bar and the optional controls.
    void FindLabels();
    // "Updater: <product version>" in the updater's version label.
    void ShowUpdaterVersion();
    // Hands the menu bar this control's menu item updater.
    void ConnectMainMenu();
    // Binds a notification of the sender to a handler; throws the failed
    // result naming the line.
    void Bind(MainHandler::Callback callback, const RCPtr<LNotificationDistributor>& sender, const wchar_t* id,
              int line);

    // ---- Display steps (MainControlDisplay.cpp) ----

    void UpdateVisibility(int32_t updateState, int32_t deviceState, int32_t fileState);
    void ShowIdleScreen(int32_t deviceState, int32_t fileState);
    // The label's string of that identifier (empty when its table lacks it).
    static String LabelString(const RCPtr<LLabel>& label, const wchar_t* identifier);
    static bool HasLabelString(const RCPtr<LLabel>& label, const wchar_t* identifier);
    // The engine's states now.
    int32_t CurrentUpdateState();
    int32_t CurrentDeviceState();
    int32_t CurrentFileState();
    void UpdateDisplayFromEngine();
    // Repaints the window at once (before a call that blocks).
    void RedrawNow();
    // Probes the device until it is back after a transfer (see the contract).
    void WaitForDeviceReturn();

    RCPtr<MainHandler> mMainControlHandler;
    RCPtr<LButton> mButtonUpdateFirmware;
    RCPtr<LButton> mButtonScanForDevice;
    RCPtr<LButton> mButtonExit;
    RCPtr<LButton> mButtonReinitialize;
    RCPtr<LButton> mButtonManualDeviceReadyForUpdate;
    RCPtr<LButton> mButtonManualDeviceHasUpdatedRescan;
    RCPtr<LButton> mButtonSelectFirmwareFile;
    RCPtr<LButton> mButtonAbort;
    RCPtr<LLabel> mLabelDeviceInformation;
    RCPtr<LLabel> mLabelFirmwareFileInformation;
    RCPtr<LLabel> mLabelUpdateProcessInformation;
    RCPtr<LLabel> mLabelFileFirmwareVersion;
    RCPtr<LLabel> mLabelDeviceFirmwareVersion;
    RCPtr<LLabel> mLabelDeviceCannotUpdateError;
    RCPtr<LControl> mTransitioningToUpdateMode;
    RCPtr<LControl> mDeviceNotFound;
    RCPtr<LProgressBar> mProgressBar;
    RCPtr<LUpdateProcessor> mUpdateProcessor;
    RCPtr<LFileDialog> mFileDialog;
    bool mNoScanButton = false;
    bool mUpdateStarted = false;
    String mTransitionText;
};

} // namespace KX

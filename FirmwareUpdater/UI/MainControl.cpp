// The update screen: construction, its children by name and its bindings.
#include "UI/MainControl.h"

#include "Application/FileDialog.h"
#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuDescriptor.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateProcessor.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationID.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "UI/Application.h"

#include <string>

namespace KX {

namespace {

constexpr const char* kInitialize = "KX::LMainControl::Initialize";
constexpr const char* kSourcePath = "UI\\MainControl";

// One button of the screen: its name, whether the skin must have it, the
// line its absence and its binding's failure are reported under, and what
// its click does.
struct ButtonEntry
{
    const wchar_t* mName;
    bool mRequired;
    int mMissingLine;
    int mBindLine;
    RCPtr<LButton> LMainControl::*mMember;
    LMainControl::MainHandler::Callback mCallback;
};

// The named child of the class, or null when it is missing or of another class.
template <class T>
RCPtr<T> FindPart(const LControl& control, const wchar_t* name)
{
    return RCPtr<T>::DynamicCast(control.FindChild(StringT<wchar_t, char>(name)));
}

[[noreturn]] void ThrowMissing(const wchar_t* name, int line)
{
    const std::string detail =
        std::string("Null Pointer : LMainControl couldn't find ") + StringT<wchar_t, char>(name).ToNarrow().GetData();
    KX_THROW(std::runtime_error, detail, kInitialize, kSourcePath, line);
}

} // namespace

LMainControl::LMainControl(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LMainControl::~LMainControl() = default;

RCPtr<LControl>& LMainControl::Create(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                      const RCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOfClass<LMainControl>(out, parent, descriptor);
}

// ---- Initialize ----

KXRESULT LMainControl::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    mMainControlHandler = new MainHandler(this);

    const RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    const RCPtr<LNotificationDistributor> application(center.Get());
    Bind(&LMainControl::OnDeviceStateChangeNotification, application, NID_DEVICE_STATE_CHANGE, 67);
    Bind(&LMainControl::OnFirmwareFileStateChangeNotification, application, NID_FIRMWARE_FILE_STATE_CHANGE, 68);
    Bind(&LMainControl::OnFoundDeviceListChange, application, NID_FOUND_DEVICE_LIST_CHANGE, 69);
    Bind(&LMainControl::OnFirmwareUpdateProgressNotification, application, NID_FIRMWARE_UPDATE_PROGRESS, 70);
    Bind(&LMainControl::OnFirmwareUpdateCompletedNotification, application, NID_FIRMWARE_UPDATE_COMPLETED, 72);

    FindButtons();
    FindLabels();
    ShowUpdaterVersion();
    mTransitionText = LabelString(mLabelUpdateProcessInformation, L"LABEL_UPDATE_TRANSITIONING_TO_UPDATE_MODE");
    ConnectMainMenu();

    if (LApplication* app = dynamic_cast<LApplication*>(LFrameworkApp::sInstance))
        mUpdateProcessor = app->GetUpdateProcessor();
    mNoScanButton = !mButtonScanForDevice;
    // A window opened while a transfer the command line started still runs
    // (-START_UPDATE_AUTOMATICALLY): its end is that of an update this
    // screen is following, not of one it knows nothing about.
    if (CurrentUpdateState() == LUpdateEngineInterface::Running)
        mUpdateStarted = true;
    UpdateDisplayFromEngine();
    return result;
}

void LMainControl::Bind(MainHandler::Callback callback, const RCPtr<LNotificationDistributor>& sender,
                        const wchar_t* id, int line)
{
    KX_THROW_IF_FAILED(mMainControlHandler->AddHandler(callback, sender, id), kInitialize, kSourcePath, line);
}

void LMainControl::FindButtons()
{
    static const ButtonEntry kButtons[] = {
        {L"buttonExit", true, 75, 76, &LMainControl::mButtonExit, &LMainControl::OnExitButton},
        {L"buttonUpdateFirmware", true, 79, 80, &LMainControl::mButtonUpdateFirmware,
         &LMainControl::OnUpdateFirmwareButton},
        {L"buttonReinitialize", true, 83, 84, &LMainControl::mButtonReinitialize,
         &LMainControl::OnReinitializeButton},
        {L"buttonScanForDevice", false, 0, 89, &LMainControl::mButtonScanForDevice,
         &LMainControl::OnScanForDeviceButton},
        {L"buttonManualDeviceReadyForUpdateButton", false, 0, 95, &LMainControl::mButtonManualDeviceReadyForUpdate,
         &LMainControl::OnManualDeviceReadyForUpdateButton},
        {L"buttonManualDeviceHasUpdatedRescanButton", false, 0, 100,
         &LMainControl::mButtonManualDeviceHasUpdatedRescan, &LMainControl::OnManualDeviceHasUpdatedRescanButton},
        {L"buttonSelectFirmwareFile", false, 0, 106, &LMainControl::mButtonSelectFirmwareFile,
         &LMainControl::OnSelectFirmwareFileButton},
        {L"buttonAbort", false, 0, 112, &LMainControl::mButtonAbort, &LMainControl::OnAbortButton},
    };
    for (const ButtonEntry& entry : kButtons) {
        RCPtr<LButton>& button = this->*entry.mMember;
        button = FindPart<LButton>(*this, entry.mName);
        if (!button) {
            if (entry.mRequired)
                ThrowMissing(entry.mName, entry.mMissingLine);
            continue;
        }
        Bind(entry.mCallback, RCPtr<LNotificationDistributor>(button.Get()), NID_LEFT_CLICK, entry.mBindLine);
    }
}

void LMainControl::FindLabels()
{
    struct LabelEntry
    {
        const wchar_t* mName;
        int mLine;
        RCPtr<LLabel> LMainControl::*mMember;
    };
    static const LabelEntry kLabels[] = {
        {L"labelDeviceInformation", 116, &LMainControl::mLabelDeviceInformation},
        {L"labelFirmwareFileInformation", 119, &LMainControl::mLabelFirmwareFileInformation},
        {L"labelUpdateProcessInformation", 122, &LMainControl::mLabelUpdateProcessInformation},
        {L"labelFileFirmwareVersion", 125, &LMainControl::mLabelFileFirmwareVersion},
        {L"labelDeviceFirmwareVersion", 128, &LMainControl::mLabelDeviceFirmwareVersion},
        {L"labelDeviceCannotUpdateError", 131, &LMainControl::mLabelDeviceCannotUpdateError},
    };
    for (const LabelEntry& entry : kLabels) {
        this->*entry.mMember = FindPart<LLabel>(*this, entry.mName);
        if (!(this->*entry.mMember))
            ThrowMissing(entry.mName, entry.mLine);
    }
    mProgressBar = FindPart<LProgressBar>(*this, L"progressBar");
    if (!mProgressBar)
        ThrowMissing(L"progressBar", 134);
    mTransitioningToUpdateMode = FindChild(String(L"controlTransitioningToUpdateMode"));
    mDeviceNotFound = FindChild(String(L"labelDeviceNotFound"));
}

void LMainControl::ShowUpdaterVersion()
{
    const RCPtr<LLabel> label = FindPart<LLabel>(*this, L"updaterVersionLabel");
    if (!label)
        ThrowMissing(L"updaterVersionLabel", 140);
    String version;
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->GetProductVersion(version);
    label->SetText(FillPlaceholder(label->GetString(L"LABEL"), version));
}

void LMainControl::ConnectMainMenu()
{
    // The menu bar asks this control for the states of its items.
    if (const RCPtr<LMainMenu> menu = FindPart<LMainMenu>(*this, L"mainMenu"))
        menu->SetMenuItemUpdater(GetMenuItemUpdater());
}

// ---- Root window ----

KXRESULT LMainControl::ProcessRootWindowAquired()
{
    const KXRESULT result = LControl::ProcessRootWindowAquired();
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (!window)
        KX_THROW(std::runtime_error, "No Root Window!", "KX::LMainControl::ProcessRootWindowAquired", kSourcePath,
                 1248);
    if (!mMainControlHandler)
        return result;
    // The menu bar's popups post their items' notifications to the window's
    // queue, which the root window delivers. Without a menu nothing comes.
    const RCPtr<LNotificationDistributor> sender(window.Get());
    mMainControlHandler->AddHandler(&LMainControl::SelectFirmwareFile, sender, NID_MENU_FILE_SELECT);
    mMainControlHandler->AddHandler(&LMainControl::SelectFirmwareFile, sender, kFileMenuItemID);
    mMainControlHandler->AddHandler(&LMainControl::OnExitButton, sender, NID_MENU_FILE_EXIT_REQ);
    mMainControlHandler->AddHandler(&LMainControl::OnAllowDowngradeMenu, sender, NID_MENU_OPTIONS_ALLOW_DOWNGRADE);
    return result;
}

KXRESULT LMainControl::UpdateMenuItem(const RCPtr<LMenuDescriptor>&, int32_t, const wchar_t* notificationId,
                                      MenuItemState& state)
{
    if (!mUpdateProcessor || !notificationId)
        return S_OK;
    const wchar_t* id = InternNotificationID(notificationId);
    if (id == InternNotificationID(NID_MENU_OPTIONS_ALLOW_DOWNGRADE))
        state.checked = mUpdateProcessor->GetAlwaysUpdate();
    else if (id == InternNotificationID(NID_MENU_FILE_SELECT) || id == InternNotificationID(kFileMenuItemID))
        state.enabled = !IsSendingImage();
    return S_OK;
}

// ---- Notifications ----

KXRESULT LMainControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    if (mCreated && mMainControlHandler && mMainControlHandler->Binds(sender, notification)) {
        const RCPtr<MainHandler> handler = mMainControlHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LMainControl::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                              const wchar_t* identifier)
{
    if (mMainControlHandler)
        mMainControlHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

KXRESULT LMainControl::OnFoundDeviceListChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    return 1;
}

RCPtr<LUpdateEngineInterface> LMainControl::GetUpdateEngine() const
{
    return mUpdateProcessor ? mUpdateProcessor->GetUpdateEngine() : RCPtr<LUpdateEngineInterface>();
}

} // namespace KX

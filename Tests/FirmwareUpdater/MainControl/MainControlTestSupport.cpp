#include "MainControlTestSupport.h"

#include "Controls/FrameworkControlTypes.h"
#include "Engine/UpdateNotificationData.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"

#include <sstream>

namespace ScreenTest {

const std::vector<std::wstring> kScreenControls = {
    L"labelDeviceInformation",
    L"labelFirmwareFileInformation",
    L"labelDeviceCannotUpdateError",
    L"labelDeviceFirmwareVersion",
    L"labelFileFirmwareVersion",
    L"progressBar",
    L"labelUpdateProcessInformation",
    L"buttonScanForDevice",
    L"buttonUpdateFirmware",
    L"buttonManualDeviceReadyForUpdateButton",
    L"buttonReinitialize",
    L"buttonExit",
    L"buttonManualDeviceHasUpdatedRescanButton",
    L"buttonSelectFirmwareFile",
    L"buttonAbort",
    L"controlTransitioningToUpdateMode",
    L"labelDeviceNotFound",
};

namespace {

StubApplication* sClockOwner = nullptr;

} // namespace

void AdvanceClock(uint32_t milliseconds)
{
    if (sClockOwner)
        sClockOwner->mTicks += milliseconds;
}

// ---- StubEngine ----

void StubEngine::Record(const char* name)
{
    calls.push_back({name, cursorProbe ? cursorProbe() : std::wstring()});
}

int StubEngine::Count(const std::string& name) const
{
    int count = 0;
    for (const Call& call : calls)
        count += call.name == name ? 1 : 0;
    return count;
}

std::string StubEngine::Names() const
{
    std::string names;
    for (const Call& call : calls)
        names += (names.empty() ? "" : " ") + call.name;
    return names;
}

KXRESULT StubEngine::Initialize(const String&)
{
    Record("Initialize");
    return S_OK;
}

KXRESULT StubEngine::SetDeviceDefinitions(const KX::IArray<DeviceDefinition>&)
{
    Record("SetDeviceDefinitions");
    return S_OK;
}

KXRESULT StubEngine::Rescan()
{
    Record("Rescan");
    return S_OK;
}

KXRESULT StubEngine::SelectDevice(uint32_t index)
{
    Record("SelectDevice");
    selectedIndices.push_back(index);
    return S_OK;
}

KXRESULT StubEngine::GetSelectedDeviceErrorCode(int32_t& code)
{
    if (GetDeviceState() != DeviceError) {
        code = NoReason;
        return E_FAIL;
    }
    code = errorCode;
    return S_OK;
}

KXRESULT StubEngine::GetDeviceVersionText(String& text)
{
    if (GetDeviceState() <= DevicesAvailableNoneSelected) {
        text = L"N/A";
        return E_FAIL;
    }
    text = deviceVersion;
    return deviceVersionResult;
}

KXRESULT StubEngine::GetFirmwareFileVersionText(String& text) const
{
    if (GetFirmwareFileState() < FileFoundVersionKnown) {
        text = L"N/A";
        return E_FAIL;
    }
    text = fileVersion;
    return fileVersionResult;
}

KXRESULT StubEngine::GetFoundDeviceErrorCode(uint32_t, int32_t& code) const
{
    code = errorCode;
    return S_OK;
}

KXRESULT StubEngine::RefreshSelectedDevice()
{
    Record("RefreshSelectedDevice");
    return onRefresh ? onRefresh() : S_OK;
}

KXRESULT StubEngine::RequestEnterUpdateMode()
{
    Record("RequestEnterUpdateMode");
    if (onEnterUpdateMode)
        onEnterUpdateMode();
    return S_OK;
}

KXRESULT StubEngine::StartUpdate()
{
    Record("StartUpdate");
    if (GetDeviceState() != InUpdateMode)
        return E_FAIL;
    mDeviceState.store(Updating);
    mUpdateState.store(Running);
    return S_OK;
}

KXRESULT StubEngine::Abort()
{
    Record("Abort");
    return GetDeviceState() == Updating ? S_OK : E_FAIL;
}

KXRESULT StubEngine::SetFirmwareFile(const String& path)
{
    Record("SetFirmwareFile");
    firmwareFiles.push_back(path);
    return S_OK;
}

// ---- StubApplication ----

KX::KXRESULT StubApplication::SetStatusText(const String& text, bool)
{
    statusText = text.GetData();
    statusTexts.push_back(statusText);
    return E_FAIL; // as the program answers: it has no status bar
}

KX::KXRESULT StubApplication::ResetStatusText(bool)
{
    statusText.clear();
    statusTexts.push_back(L"(reset)");
    return E_FAIL;
}

// ---- MainControlTest ----

void MainControlTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(LoadProgramDocuments(L"TAVIK8 Updater"));
    engine = StubEngine::Make();
    engine->cursorProbe = [this]() { return CurrentCursor(); };
    // A device in normal mode that needs the file: the program's main road.
    engine->SetStates(Engine::NotInUpdateMode, Engine::FileFoundVersionKnown, Engine::Idle);
    KX::LMainControl::SetPauseFunction(AdvanceClock);
}

void MainControlTest::Start(const wchar_t* commandLine)
{
    RCPtr<KX::LStringTable> strings;
    factory->GetFrameworkStringTable(strings);
    const RCPtr<StubApplication> made = StubApplication::Make(factory, strings, String(commandLine), engine);
    sClockOwner = made.Get();
    ASSERT_NO_FATAL_FAILURE(StartApplication(made, kApplicationStartUp)) << "the run needs no window";
    engine->calls.clear();
    engine->firmwareFiles.clear();
}

void MainControlTest::TearDown()
{
    screen = nullptr;
    SceneFixture::TearDown();
    sClockOwner = nullptr;
    engine = nullptr;
    KX::LMainControl::SetPauseFunction(nullptr);
    // Every test starts with empty centres: nothing posted here reaches the next.
    KX::LNotificationCenterManager::sInstance = nullptr;
}

RCPtr<KX::LMainControl> MainControlTest::OpenScreen()
{
    if (!application)
        Start();
    EXPECT_EQ(S_OK, window->SetRootControl(String(L"mainControl")));
    screen = RCPtr<KX::LMainControl>::DynamicCast(window->GetRootControl());
    EXPECT_TRUE(screen);
    return screen;
}

namespace {

// The skin's main control description with children left out and optional
// ones added as copies of a button or a label.
RCPtr<KX::LControlDescriptor> MakeVariant(const KX::LControlFactory& factory, const std::vector<std::wstring>& removed,
                                          const std::vector<std::wstring>& added)
{
    const RCPtr<KX::LControlDescriptor> original = factory.FindControlDescriptor(String(L"mainControl"));
    RCPtr<KX::LControlDescriptor> variant = original->Clone(String());
    KX::RCPtrArray<KX::LControlDescriptor>& children = variant->GetChildren();
    for (const std::wstring& name : removed) {
        for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
            if (children.GetAt(i)->GetName() == name.c_str())
                children.RemoveItems(i, 1);
        }
    }
    for (const std::wstring& name : added) {
        const bool isButton = name.compare(0, 6, L"button") == 0;
        const RCPtr<KX::LControlDescriptor> model =
            original->FindChild(String(isButton ? L"buttonExit" : L"labelDeviceInformation"));
        variant->AddChild(model->Clone(String(name.c_str())));
    }
    return variant;
}

} // namespace

RCPtr<KX::LMainControl> MainControlTest::OpenVariant(const std::vector<std::wstring>& removed,
                                                     const std::vector<std::wstring>& added)
{
    if (!application)
        Start();
    RCPtr<KX::LControl> control;
    KX::LControl::CreateControlOfClass<KX::LMainControl>(control, RCPtr<KX::LControl>(),
                                                         MakeVariant(*factory, removed, added));
    EXPECT_EQ(S_OK, window->SetRootControl(control));
    screen = RCPtr<KX::LMainControl>::DynamicCast(control);
    EXPECT_TRUE(screen);
    return screen;
}

void MainControlTest::CreateVariant(const std::vector<std::wstring>& removed)
{
    if (!application)
        Start();
    RCPtr<KX::LControl> control;
    KX::LControl::CreateControlOfClass<KX::LMainControl>(control, RCPtr<KX::LControl>(),
                                                         MakeVariant(*factory, removed, {}));
}

RCPtr<KX::LControl> MainControlTest::Child(const wchar_t* name) const
{
    return screen ? screen->FindChild(String(name)) : RCPtr<KX::LControl>();
}

std::wstring MainControlTest::TextOf(const wchar_t* name) const
{
    const RCPtr<KX::LControl> child = Child(name);
    return child ? Text(child->GetText()) : L"(missing)";
}

bool MainControlTest::Visible(const wchar_t* name) const
{
    const RCPtr<KX::LControl> child = Child(name);
    return child && child->GetLayout().mIsVisible;
}

std::wstring MainControlTest::VisibleControls() const
{
    std::wstring names;
    for (const std::wstring& name : kScreenControls) {
        if (Visible(name.c_str()))
            names += (names.empty() ? L"" : L" ") + name;
    }
    return names;
}

std::wstring MainControlTest::StringOf(const wchar_t* name, const wchar_t* id) const
{
    const RCPtr<KX::LControl> child = Child(name);
    return child ? Text(child->GetString(id)) : L"(missing)";
}

namespace {

void Post(const wchar_t* id, const RCPtr<KX::LRefCountedObject>& data)
{
    RCPtr<KX::LNotification> notification;
    KX::LNotification::Create(notification, id, data);
    KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter()->PostNotification(notification);
}

} // namespace

void MainControlTest::PostDeviceState(int32_t state, int32_t previous)
{
    Post(KX::NID_DEVICE_STATE_CHANGE, KX::LDeviceStateChangeNotificationData::Create(state, previous));
}

void MainControlTest::PostFileState(int32_t state, int32_t previous)
{
    Post(KX::NID_FIRMWARE_FILE_STATE_CHANGE, KX::LFirmwareFileStateChangeNotificationData::Create(state, previous));
}

void MainControlTest::PostProgress(double progress, bool autoEstimate, int32_t seconds)
{
    Post(KX::NID_FIRMWARE_UPDATE_PROGRESS,
         KX::LFirmwareUpdateProgressNotificationData::Create(0, progress, seconds, autoEstimate, false, String()));
}

void MainControlTest::PostCompleted(bool success)
{
    Post(KX::NID_FIRMWARE_UPDATE_COMPLETED, KX::LFirmwareUpdateCompletedNotificationData::Create(success));
}

void MainControlTest::ClickButton(const wchar_t* name)
{
    const RCPtr<KX::LControl> button = Child(name);
    ASSERT_TRUE(button) << name;
    ASSERT_TRUE(button->IsVisible(true)) << name << L" is hidden";
    const KX::PointT<double> origin = button->GetRootPosition();
    const KX::PointT<long> middle(static_cast<long>(origin.x + button->GetRect().width / 2),
                                  static_cast<long>(origin.y + button->GetRect().height / 2));
    MoveTo(middle);
    Click(middle);
    // Away again, so that the next click is no double click.
    application->mTicks += 1000;
}

} // namespace ScreenTest

// LApplication: its settings files and where they live, the skin index kept in
// the user settings from one run to the next, its cursors and its answers to
// the shell.
#include "UI/Application.h"

#include "ControlBase/ControlFactory.h"
#include "Engine/UpdateEngineInterface.h"
#include "Notification/NotificationCenterManager.h"
#include "System/IniFileManager.h"

#include "Support/Tavik8Sim/StateFile.h"

#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/StateStore.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using String = KX::StringT<wchar_t, char>;

KX::RCPtr<LApplication> MakeApplication(const String& commandLine = L"prog.exe")
{
    KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater Tests");
    KX::RCPtr<LApplication> app;
    EXPECT_EQ(S_OK, LApplication::Create(app, factory, KX::RCPtr<KX::LStringTable>(), commandLine));
    return app;
}

// The simulated device in update mode, on a state file of its own, and a
// firmware file for it.
class SimulatedDevice
{
public:
    SimulatedDevice()
    {
        SetEnvironmentVariableW(L"TAVIK8_SIM", mState.Path().c_str());
        Do([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
            m.Reset(now, Tavik8Sim::Mode::Update, "1.0.3.0");
            m.Set(now, "ack_latency_ms", "0");
        });
        const std::string text = Tavik8Sim::MakeFirmwareText(20, 30, 5);
        TestSystem::WriteWholeFile(FirmwarePath(), text);
        // Only the whole image counts as a success.
        Tavik8Sim::Bytes image;
        Tavik8Sim::DecodeFirmwareText(text, image);
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.ExpectImage(now, "test image", image); });
    }
    ~SimulatedDevice()
    {
        DeleteFileW(FirmwarePath().c_str());
        SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr);
    }

    void Do(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
    {
        Tavik8SimTest::ChangeDevice(mStore, step);
    }

    std::wstring FirmwarePath() const { return mState.Path() + L".led"; }
    Tavik8Sim::DeviceState State() { return mStore.Read(); }

    // "match" once the device has received exactly the firmware file's image.
    std::string ImageVerdict()
    {
        std::string verdict;
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs) { verdict = m.ImageVerdict(); });
        return verdict;
    }

private:
    Tavik8SimTest::TempStateFile mState;
    Tavik8Sim::StateStore mStore{mState.Path()};
};

TEST(ApplicationClassTest, AnswersTheShellsQuestions)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    String text;
    app->GetSettingsVersion(text);
    EXPECT_EQ(String(L"1_0_0"), text);
    app->GetMainControlName(text);
    EXPECT_EQ(String(L"mainControl"), text);
    EXPECT_EQ(KX::RendererGdiPlus, app->GetRendererType());
    EXPECT_TRUE(app->CanExit()); // no update screen, no update running
    EXPECT_FALSE(app->GetUpdateProcessor());
}

TEST(ApplicationClassTest, RefusesToExitWhileTheImageIsSent)
{
    SimulatedDevice device;
    KX::RCPtr<LApplication> app = MakeApplication(String(L"prog.exe -START_UPDATE_AUTOMATICALLY -ABSOLUTE_FIRMWARE_FILE_PATH=") +
                                                  String(device.FirmwarePath().c_str()));
    ASSERT_EQ(S_OK, app->RunApplicationStartup()); // the window would open now
    const KX::RCPtr<LUpdateEngineInterface> engine = app->GetUpdateProcessor()->GetUpdateEngine();
    ASSERT_EQ(LUpdateEngineInterface::Updating, engine->GetDeviceState());
    EXPECT_FALSE(app->CanExit());
    ASSERT_EQ(S_OK, engine->WaitForUpdate(60000));
    EXPECT_EQ(LUpdateEngineInterface::Succeeded, engine->GetUpdateState(false));
    // The device state stays Updating until the device is looked for again.
    EXPECT_FALSE(app->CanExit());
    engine->RefreshSelectedDevice();
    EXPECT_NE(LUpdateEngineInterface::Updating, engine->GetDeviceState());
    EXPECT_TRUE(app->CanExit());
    EXPECT_EQ(20, device.State().records);
    EXPECT_EQ("match", device.ImageVerdict());
    app->Shutdown();
    app = nullptr;
    KX::LNotificationCenterManager::sInstance = nullptr;
}

TEST(ApplicationClassTest, ShutdownStopsARunningTransferBeforeAnythingIsReleased)
{
    SimulatedDevice device;
    // Slow acknowledgements: the transfer is far from its end at shut-down.
    device.Do([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.Set(now, "ack_latency_ms", "100"); });
    KX::RCPtr<LApplication> app = MakeApplication(String(L"prog.exe -START_UPDATE_AUTOMATICALLY -ABSOLUTE_FIRMWARE_FILE_PATH=") +
                                                  String(device.FirmwarePath().c_str()));
    ASSERT_EQ(S_OK, app->RunApplicationStartup());
    const KX::RCPtr<LUpdateEngineInterface> engine = app->GetUpdateProcessor()->GetUpdateEngine();
    ASSERT_EQ(LUpdateEngineInterface::Updating, engine->GetDeviceState());

    app->Shutdown();
    // The transfer stopped at a record (or never began) and the worker has
    // ended: nothing runs any more, and the device saw nothing out of order.
    EXPECT_NE(LUpdateEngineInterface::Running, engine->GetUpdateState(false));
    EXPECT_EQ(S_OK, engine->WaitForUpdate(0));
    EXPECT_TRUE(app->CanExit());
    const Tavik8Sim::DeviceState state = device.State();
    EXPECT_LT(state.records, 20);
    EXPECT_EQ(0, state.violationCount);
    app = nullptr;
    KX::LNotificationCenterManager::sInstance = nullptr;
}

TEST(ApplicationClassTest, SettingsFilesLiveInTheDataFoldersAndOpenOnce)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    String path;
    String folder;
    app->GetSettingsFilePath(0, path);
    app->GetFolder(folder, KX::FolderCommonAppData);
    EXPECT_EQ(folder + String(L"\\AppSettings.ini"), path);
    EXPECT_EQ(String(L"\\Ostrel\\TAVIK8 Updater Tests\\AppSettings.ini"), path.Right(44));
    app->GetSettingsFilePath(1, path);
    app->GetFolder(folder, KX::FolderLocalAppData);
    EXPECT_EQ(folder + String(L"\\UserSettings.ini"), path);
    EXPECT_EQ(E_INVALIDARG, app->GetSettingsFilePath(2, path));

    EXPECT_EQ(0, app->GetSettingsFile(2));
    const int32_t appSettings = app->GetSettingsFile(0);
    const int32_t userSettings = app->GetSettingsFile(1);
    EXPECT_GT(appSettings, 0);
    EXPECT_GT(userSettings, 0);
    EXPECT_NE(appSettings, userSettings);
    EXPECT_EQ(appSettings, app->GetSettingsFile(0));
    EXPECT_EQ(userSettings, app->GetSettingsFile(1));
}

TEST(ApplicationClassTest, SkinIndexIsKeptInTheUserSettingsAndClampedToTheSkins)
{
    {
        KX::RCPtr<LApplication> app = MakeApplication();
        ASSERT_GT(app->GetSettingsFile(1), 0);
        ASSERT_EQ(S_OK, app->GetIniFileManager()->SetIniValueInt(app->GetSettingsFile(1), L"CurrentSkinIndex", 5));
    }
    // The next run reads 5 from the file; with no more skins than the
    // factory has, start-up applies the last one there is and saves it.
    KX::RCPtr<LApplication> app = MakeApplication();
    EXPECT_EQ(5, app->GetCurrentSkinIndex());
    ASSERT_EQ(S_OK, app->KX::LApplicationBase<LApplication>::RunApplicationStartup());
    EXPECT_EQ(0, app->GetControlFactory()->GetCurrentSkinIndex());
    EXPECT_EQ(0, app->GetCurrentSkinIndex());
    EXPECT_FALSE(app->GetDefaultFontFace().IsEmpty());
    app->Shutdown();
}

TEST(ApplicationClassTest, CursorsOfTheProgramNoneAndTheSystems)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    const HINSTANCE program = GetModuleHandleW(nullptr);
    HCURSOR move = app->GetCursor(L"UI_CURSOR_DROP_MOVE");
    HCURSOR copy = app->GetCursor(L"UI_CURSOR_DROP_COPY");
    EXPECT_NE(nullptr, move);
    EXPECT_NE(nullptr, copy);
    EXPECT_NE(move, copy);
    EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(102)), move);
    EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(103)), copy);
    for (const wchar_t* name : {L"UI_CURSOR_SPLIT_V", L"UI_CURSOR_SPLIT_H", L"UI_CURSOR_ROTATE", L"UI_CURSOR_MAG",
                                L"UI_CURSOR_MAG_PLUS", L"UI_CURSOR_MAG_MINUS"})
        EXPECT_EQ(nullptr, app->GetCursor(name)) << name;
    EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), app->GetCursor(L"UI_CURSOR_WAIT"));
    EXPECT_NE(nullptr, app->GetAppIcon());
}

} // namespace

// States, their notifications and the refusals of the engine, without a
// transfer: state setters, queries with their "N/A" answers, the update
// state's reset, the start refusals and a worker that cannot be triggered.
#include "EngineTestSupport.h"

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;

class EngineStateTest : public EngineFixture
{
};

TEST_F(EngineStateTest, ConstructionStartsIdleWithoutDefinitions)
{
    RCPtr<LUpdateEngineInterface> fresh = LUpdateEngineInterface::Create();
    EXPECT_EQ(Engine::NoDeviceDefined, fresh->GetDeviceState());
    EXPECT_EQ(Engine::NoFileDefined, fresh->GetFirmwareFileState());
    EXPECT_EQ(Engine::Idle, fresh->GetUpdateState(false));
    EXPECT_EQ(-1, fresh->GetSelectedDeviceIndex());
    EXPECT_EQ(1, fresh->GetModeChangeBehavior());
    EXPECT_FALSE(fresh->IsModeChangeAsynchronous());
    String path = L"x";
    EXPECT_EQ(E_FAIL, fresh->GetFirmwareFilePath(path));
    EXPECT_TRUE(path.IsEmpty());
}

TEST_F(EngineStateTest, SettingDefinitionsPostsNoDeviceFound)
{
    const std::vector<Posted> changes = posted->Of(NID_DEVICE_STATE_CHANGE);
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(Engine::NoDeviceFound, changes[0].state);
    EXPECT_EQ(Engine::NoDeviceDefined, changes[0].previous);
}

TEST_F(EngineStateTest, StateSettersPostChangesOnly)
{
    posted->Clear();
    engine->SetDeviceState(Engine::NoDeviceFound); // unchanged
    engine->SetFirmwareFileState(Engine::NoFileDefined); // unchanged
    EXPECT_TRUE(posted->Deliver().empty());

    engine->SetDeviceState(Engine::InUpdateMode);
    engine->SetFirmwareFileState(Engine::FileInvalid);
    const std::vector<Posted> device = posted->Of(NID_DEVICE_STATE_CHANGE);
    ASSERT_EQ(1u, device.size());
    EXPECT_EQ(Engine::InUpdateMode, device[0].state);
    EXPECT_EQ(Engine::NoDeviceFound, device[0].previous);
    const std::vector<Posted> file = posted->Of(NID_FIRMWARE_FILE_STATE_CHANGE);
    ASSERT_EQ(1u, file.size());
    EXPECT_EQ(Engine::FileInvalid, file[0].state);
    EXPECT_EQ(Engine::NoFileDefined, file[0].previous);
}

TEST_F(EngineStateTest, DefinitionsRefusedWhileScanningEnteringOrUpdating)
{
    Array<Engine::DeviceDefinition> definitions;
    definitions.AddItem(DefaultDefinition());
    for (int32_t state : {Engine::Scanning, Engine::EnteringUpdateMode, Engine::Updating}) {
        engine->SetDeviceState(state);
        EXPECT_EQ(E_FAIL, engine->SetDeviceDefinitions(definitions)) << state;
        EXPECT_EQ(state, engine->GetDeviceState());
        EXPECT_EQ(E_FAIL, engine->Rescan()) << state;
        EXPECT_EQ(E_FAIL, engine->SelectDevice(0)) << state;
        EXPECT_EQ(state, engine->GetDeviceState());
    }
}

TEST_F(EngineStateTest, QueriesAnswerNotAvailableWhenRefused)
{
    engine->SetDeviceState(Engine::DevicesAvailableNoneSelected);
    String text;
    EXPECT_EQ(E_FAIL, engine->GetDeviceVersionText(text));
    EXPECT_EQ(String(L"N/A"), text);

    engine->SetFirmwareFile(L"C:\\no such folder\\no such file.led");
    EXPECT_EQ(Engine::FileInvalid, engine->GetFirmwareFileState());
    text = L"x";
    EXPECT_EQ(E_FAIL, engine->GetFirmwareFileVersionText(text));
    EXPECT_EQ(String(L"N/A"), text);

    int32_t code = 7;
    EXPECT_EQ(E_FAIL, engine->GetSelectedDeviceErrorCode(code));
    EXPECT_EQ(0, code);
    code = 7;
    EXPECT_EQ(E_FAIL, engine->GetFoundDeviceErrorCode(3, code));
    EXPECT_EQ(0, code);
    EXPECT_FALSE(engine->IsFoundDeviceInUpdateMode(3));
    FirmwareVersion version;
    EXPECT_EQ(E_FAIL, engine->GetFoundDeviceVersion(3, version));
    EXPECT_FALSE(engine->IsUpdateNeeded());
}

TEST_F(EngineStateTest, FirmwareFileStatesAndVersion)
{
    TempFile file("0001FF");
    EXPECT_EQ(S_OK, engine->SetFirmwareFile(file.Path().c_str()));
    EXPECT_EQ(Engine::FileFoundVersionKnown, engine->GetFirmwareFileState());
    String text;
    EXPECT_EQ(S_OK, engine->GetFirmwareFileVersionText(text));
    EXPECT_EQ(String(L"1.0.4.4"), text);
    String path;
    EXPECT_EQ(S_OK, engine->GetFirmwareFilePath(path));
    EXPECT_EQ(String(file.Path().c_str()), path);

    // A folder is no firmware file; the path is kept all the same.
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    EXPECT_EQ(E_FAIL, engine->SetFirmwareFile(folder));
    EXPECT_EQ(Engine::FileInvalid, engine->GetFirmwareFileState());
    EXPECT_EQ(S_OK, engine->GetFirmwareFilePath(path));
    EXPECT_EQ(String(folder), path);

    const std::vector<Posted> changes = posted->Of(NID_FIRMWARE_FILE_STATE_CHANGE);
    ASSERT_EQ(2u, changes.size());
    EXPECT_EQ(Engine::FileFoundVersionKnown, changes[0].state);
    EXPECT_EQ(Engine::FileInvalid, changes[1].state);
    EXPECT_EQ(Engine::FileFoundVersionKnown, changes[1].previous);
}

TEST_F(EngineStateTest, WaitAndAbortOutsideAnUpdate)
{
    EXPECT_EQ(S_OK, engine->WaitForUpdate(600000)); // returns at once: nothing runs
    EXPECT_EQ(E_FAIL, engine->Abort());
    EXPECT_FALSE(engine->AbortRequested());
    engine->SetDeviceState(Engine::Updating);
    EXPECT_EQ(S_OK, engine->Abort());
    EXPECT_TRUE(engine->AbortRequested());
}

TEST_F(EngineStateTest, StartUpdateRefusedWithoutFileOrOutsideUpdateMode)
{
    TempFile file("0001FF");
    engine->SetDeviceState(Engine::InUpdateMode);
    engine->SetFirmwareFile(L"C:\\no such file.led");
    posted->Clear();
    EXPECT_EQ(E_FAIL, engine->StartUpdate());

    engine->SetFirmwareFile(file.Path().c_str());
    engine->SetDeviceState(Engine::NotInUpdateMode);
    posted->Clear();
    EXPECT_EQ(E_FAIL, engine->StartUpdate());
    EXPECT_TRUE(posted->Deliver().empty());
    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
    EXPECT_EQ(Engine::Idle, engine->GetUpdateState(false));
}

TEST_F(EngineStateTest, UntriggerableWorkerPutsTheDeviceBackInUpdateMode)
{
    TempFile file("0001FF");
    engine->SetFirmwareFile(file.Path().c_str());
    engine->SetDeviceState(Engine::InUpdateMode);
    engine->StopWorker();
    posted->Clear();

    EXPECT_EQ(E_FAIL, engine->StartUpdate());
    EXPECT_EQ(Engine::InUpdateMode, engine->GetDeviceState());
    EXPECT_EQ(Engine::Idle, engine->GetUpdateState(false));
    EXPECT_EQ(S_OK, engine->WaitForUpdate(600000));
    const std::vector<Posted> changes = posted->Of(NID_DEVICE_STATE_CHANGE);
    ASSERT_EQ(2u, changes.size());
    EXPECT_EQ(Engine::Updating, changes[0].state);
    EXPECT_EQ(Engine::InUpdateMode, changes[1].state);
    EXPECT_TRUE(posted->Of(NID_FIRMWARE_UPDATE_COMPLETED).empty());
}

TEST_F(EngineStateTest, ReleasingTheEngineEndsItAndItsComponent)
{
    // The engine and its component hold each other through the handler's
    // registration: releasing the engine must break that cycle.
    const int32_t before = LNotificationDistributor::GetActiveDistributorCount();
    RCPtr<LUpdateEngineInterface> other = LUpdateEngineInterface::Create();
    ASSERT_EQ(S_OK, other->Initialize(L""));
    EXPECT_EQ(before + 1, LNotificationDistributor::GetActiveDistributorCount());
    ASSERT_EQ(S_OK, other->Initialize(L"")); // the first component is let go
    EXPECT_EQ(before + 1, LNotificationDistributor::GetActiveDistributorCount());
    other = nullptr;
    EXPECT_EQ(before, LNotificationDistributor::GetActiveDistributorCount());
}

TEST(FirmwareVersionTest, OrdersPartByPartIgnoringText)
{
    struct Case
    {
        FirmwareVersion a, b;
        bool less;
    };
    const Case cases[] = {
        {{1, 0, 3, 0, L""}, {1, 0, 4, 4, L""}, true},
        {{1, 0, 4, 4, L"x"}, {1, 0, 4, 4, L"y"}, false},
        {{2, 0, 0, 0, L""}, {1, 9, 9, 9, L""}, false},
        {{0, 0, 0, 0, L"Unknown"}, {1, 0, 4, 4, L""}, true},
        {{1, 0, 4, 0xFFFFFFFF, L""}, {1, 0, 5, 0, L""}, true},
        {{0xFFFFFFFF, 0, 0, 0, L""}, {1, 0, 0, 0, L""}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.less, c.a < c.b) << c.a.mMajor << "." << c.a.mMinor << "." << c.a.mPatch << "." << c.a.mBuild;
    EXPECT_TRUE((FirmwareVersion{1, 0, 4, 4, L"a"} == FirmwareVersion{1, 0, 4, 4, L"b"}));
}

} // namespace

// LUpdateProcessor::Initialize over an engine whose answers the test sets:
// which engine operations a command line leads to, and what it answers.
#include "Application/ProgramGlobals.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateProcessor.h"
#include "ObjectBase/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using String = KX::StringT<wchar_t, char>;

// An engine that records the operations the processor calls and answers as
// the test set it up: the state a scan finds, whether an update is needed,
// the file state the firmware file gets.
class ScriptedEngine : public LUpdateEngineInterface
{
public:
    static KX::RCPtr<ScriptedEngine> Create() { return KX::RCPtr<ScriptedEngine>(new ScriptedEngine()); }

    KXRESULT Initialize(const String& commandLine) override
    {
        mCalls.push_back("Initialize");
        mInitializedWith.push_back(commandLine);
        if (mStateAfterInitialize >= 0)
            mDeviceState.store(mStateAfterInitialize);
        return mInitializeResult;
    }
    KXRESULT SetDeviceDefinitions(const KX::IArray<DeviceDefinition>& definitions) override
    {
        mCalls.push_back("SetDeviceDefinitions");
        mDefinitions.clear();
        for (int32_t i = 0; i < definitions.GetCount(); ++i)
            mDefinitions.push_back(definitions.GetAt(i));
        mDeviceState.store(NoDeviceFound);
        return S_OK;
    }
    KXRESULT Rescan() override
    {
        mCalls.push_back("Rescan");
        mDeviceState.store(mStateAfterScan);
        return S_OK;
    }
    KXRESULT SetFirmwareFile(const String& path) override
    {
        mCalls.push_back("SetFirmwareFile");
        mFirmwarePaths.push_back(path);
        if (mSetFileResult == kRefusedWhileUpdating)
            return mSetFileResult;
        mFirmwareFileState.store(mFileStateToSet);
        return mSetFileResult;
    }
    bool IsUpdateNeeded() override { return mUpdateNeeded; }
    KXRESULT RequestEnterUpdateMode() override
    {
        mCalls.push_back("RequestEnterUpdateMode");
        mDeviceState.store(EnteringUpdateMode);
        return S_OK;
    }
    KXRESULT StartUpdate() override
    {
        mCalls.push_back("StartUpdate");
        return mDeviceState.load() == InUpdateMode ? S_OK : E_FAIL;
    }
    KXRESULT WaitForUpdate(uint32_t milliseconds) override
    {
        if (mWaits == 0)
            mCalls.push_back("WaitForUpdate");
        mWaitedMs = milliseconds;
        ++mWaits;
        return mTransfer ? mTransfer(mWaits) : S_OK;
    }
    // A record acknowledged by the device.
    void Acknowledge() { mAcknowledgedRecords.fetch_add(1); }

    KXRESULT SelectDevice(uint32_t) override { return E_NOTIMPL; }
    KXRESULT RefreshSelectedDevice() override { return E_NOTIMPL; }
    KXRESULT EnterUpdateMode() override { return E_NOTIMPL; }
    KXRESULT Abort() override { return E_FAIL; }
    KXRESULT ScanDevices() override { return E_NOTIMPL; }
    uint32_t GetFoundDeviceCount() const override { return 0; }
    bool IsFoundDeviceInUpdateMode(uint32_t) const override { return false; }
    KXRESULT GetFoundDeviceErrorCode(uint32_t, int32_t& code) const override
    {
        code = 0;
        return E_FAIL;
    }
    KXRESULT GetFoundDeviceVersion(uint32_t, FirmwareVersion&) const override { return E_FAIL; }
    KXRESULT UpdateFirmware() override { return E_NOTIMPL; }

    bool Called(const char* name) const
    {
        for (const std::string& call : mCalls)
            if (call == name)
                return true;
        return false;
    }

    KXRESULT mInitializeResult = S_OK;
    int32_t mStateAfterInitialize = -1;
    int32_t mStateAfterScan = NoDeviceFound;
    int32_t mFileStateToSet = FileFoundVersionKnown;
    KXRESULT mSetFileResult = S_OK;
    bool mUpdateNeeded = false;
    uint32_t mWaitedMs = 0;
    int mWaits = 0;
    // The transfer as the waits see it: given the number of the wait (from 1),
    // E_FAIL while it runs on, S_OK once it has ended. Unset: ended at once.
    std::function<KXRESULT(int)> mTransfer;
    std::vector<std::string> mCalls;
    std::vector<String> mInitializedWith;
    std::vector<String> mFirmwarePaths;
    std::vector<DeviceDefinition> mDefinitions;

protected:
    ScriptedEngine() = default;
    ~ScriptedEngine() override = default;
};

class InitializeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KX::SetProgramExitCode(0);
        mEngine = ScriptedEngine::Create();
        LUpdateProcessor::Create(mProcessor, KX::RCPtr<LUpdateEngineInterface>(mEngine.Get()));
    }
    void TearDown() override { KX::SetProgramExitCode(0); }

    KX::KXRESULT Run(const wchar_t* commandLine) { return mProcessor->Initialize(commandLine); }

    KX::RCPtr<ScriptedEngine> mEngine;
    KX::RCPtr<LUpdateProcessor> mProcessor;
};

const KX::KXRESULT kQuit = LUpdateProcessor::kQuitWithoutWindow;

TEST_F(InitializeTest, PreparesTheEngineThenReportsNoDevice)
{
    EXPECT_EQ(kQuit, Run(L"prog.exe -RETURN_UPDATE_MODE_STATUS"));
    EXPECT_EQ(1, KX::GetProgramExitCode());
    EXPECT_EQ((std::vector<std::string>{"Initialize", "SetFirmwareFile", "SetDeviceDefinitions", "Rescan"}),
              mEngine->mCalls);
    ASSERT_EQ(1u, mEngine->mDefinitions.size());
    EXPECT_EQ(String(L"Tavik 8"), mEngine->mDefinitions[0].mNormalModeInputPort);
    EXPECT_EQ(String(L"Tavik 8"), mEngine->mDefinitions[0].mNormalModeOutputPort);
    EXPECT_EQ(String(L"Tavik Updater"), mEngine->mDefinitions[0].mUpdateModeInputPort);
    EXPECT_EQ(String(L"Tavik Updater"), mEngine->mDefinitions[0].mUpdateModeOutputPort);
    EXPECT_TRUE(mEngine->mDefinitions[0].mReservedPort.IsEmpty());
    ASSERT_EQ(1u, mEngine->mFirmwarePaths.size());
    EXPECT_EQ(KX::GetProgramFileFolder() + String(L"\\ZTSeries8.led"), mEngine->mFirmwarePaths[0]);
}

TEST_F(InitializeTest, StatusOfSeveralDevicesLeavesTheExitCode)
{
    mEngine->mStateAfterScan = LUpdateEngineInterface::DevicesAvailableNoneSelected;
    KX::SetProgramExitCode(0);
    EXPECT_EQ(kQuit, Run(L"prog.exe -RETURN_UPDATE_MODE_STATUS"));
    EXPECT_EQ(0, KX::GetProgramExitCode());

    SetUp();
    mEngine->mStateAfterScan = LUpdateEngineInterface::DevicesAvailableNoneSelected;
    EXPECT_EQ(S_OK, Run(L"prog.exe -SILENT"));
}

TEST_F(InitializeTest, QuotedFirmwarePathReachesTheEngineWithoutQuotes)
{
    Run(L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\Program Files\\fw.led\" -FIRMWARE_IMAGE_NAME=other.led");
    ASSERT_EQ(1u, mEngine->mFirmwarePaths.size());
    EXPECT_EQ(String(L"C:\\Program Files\\fw.led"), mEngine->mFirmwarePaths[0]);
}

TEST_F(InitializeTest, UpToDateDeviceEndsSilentlyUnlessAlwaysUpdate)
{
    mEngine->mStateAfterScan = LUpdateEngineInterface::NotInUpdateMode;
    EXPECT_EQ(kQuit, Run(L"prog.exe -SILENT_IF_UPDATE_NOT_NEEDED"));
    EXPECT_FALSE(mEngine->Called("RequestEnterUpdateMode"));
    EXPECT_FALSE(mEngine->Called("WaitForUpdate"));

    // With -ALWAYS_UPDATE the window opens; "-SILENT" inside the longer
    // option is no "-SILENT".
    SetUp();
    mEngine->mStateAfterScan = LUpdateEngineInterface::NotInUpdateMode;
    EXPECT_EQ(S_OK, Run(L"prog.exe -SILENT_IF_UPDATE_NOT_NEEDED -ALWAYS_UPDATE"));
    EXPECT_TRUE(mProcessor->GetAlwaysUpdate());
    EXPECT_FALSE(mEngine->Called("RequestEnterUpdateMode"));
    EXPECT_FALSE(mEngine->Called("WaitForUpdate"));
}

TEST_F(InitializeTest, SilentRunWithDeviceInNormalModeOnlySendsTheModeChange)
{
    mEngine->mStateAfterScan = LUpdateEngineInterface::NotInUpdateMode;
    mEngine->mUpdateNeeded = true;
    EXPECT_EQ(kQuit, Run(L"prog.exe -silent"));
    EXPECT_TRUE(mEngine->Called("RequestEnterUpdateMode"));
    EXPECT_FALSE(mEngine->Called("StartUpdate"));
    EXPECT_TRUE(mEngine->Called("WaitForUpdate"));
    EXPECT_EQ(1, mEngine->mWaits) << "no transfer to wait for";
    EXPECT_EQ(0, KX::GetProgramExitCode());
}

// A silent run waits for the transfer while it makes progress, however long
// that takes, and gives up on one that has made none for the time limit. Each
// wait that runs out counts as its whole slice of time.
class SilentWaitTest : public InitializeTest
{
protected:
    void SetUp() override
    {
        InitializeTest::SetUp();
        mEngine->mStateAfterScan = LUpdateEngineInterface::InUpdateMode;
        mEngine->mUpdateNeeded = true;
    }
    KX::KXRESULT RunSilent() { return Run(L"prog.exe -SILENT"); }
};

TEST_F(SilentWaitTest, ATransferThatKeepsProgressingIsWaitedForToItsEnd)
{
    // 1500 seconds, far beyond the limit, with a record acknowledged every 100.
    mEngine->mTransfer = [this](int wait) {
        if (wait % 100 == 0)
            mEngine->Acknowledge();
        return wait < 1500 ? E_FAIL : S_OK;
    };
    EXPECT_EQ(kQuit, RunSilent());
    EXPECT_EQ(1500, mEngine->mWaits);
    EXPECT_EQ(LUpdateProcessor::kSilentProgressCheckMs, mEngine->mWaitedMs);
}

TEST_F(SilentWaitTest, ATransferWithoutProgressIsGivenUpAfterTheLimit)
{
    // Progress for 50 s, then none: given up 600 s later.
    mEngine->mTransfer = [this](int wait) {
        if (wait <= 50)
            mEngine->Acknowledge();
        return E_FAIL;
    };
    EXPECT_EQ(kQuit, RunSilent());
    EXPECT_EQ(50 + 600, mEngine->mWaits);
}

TEST_F(SilentWaitTest, TheLimitCanBeShortened)
{
    mProcessor->SetSilentTimeLimit(250);
    mEngine->mTransfer = [](int) { return E_FAIL; };
    EXPECT_EQ(kQuit, RunSilent());
    EXPECT_EQ(1, mEngine->mWaits);
    EXPECT_EQ(250u, mEngine->mWaitedMs) << "slices no longer than the limit";

    SetUp();
    mProcessor->SetSilentTimeLimit(2500);
    mEngine->mTransfer = [](int) { return E_FAIL; };
    EXPECT_EQ(kQuit, RunSilent());
    EXPECT_EQ(3, mEngine->mWaits);
}

TEST_F(InitializeTest, DeviceInUpdateModeStartsTheUpdate)
{
    mEngine->mStateAfterScan = LUpdateEngineInterface::InUpdateMode;
    mEngine->mUpdateNeeded = true;
    // Automatic start: the update runs, the window opens, nothing waits.
    EXPECT_EQ(S_OK, Run(L"prog.exe -START_UPDATE_AUTOMATICALLY"));
    EXPECT_TRUE(mEngine->Called("StartUpdate"));
    EXPECT_FALSE(mEngine->Called("WaitForUpdate"));

    SetUp();
    mEngine->mStateAfterScan = LUpdateEngineInterface::InUpdateMode;
    mEngine->mUpdateNeeded = true;
    EXPECT_EQ(kQuit, Run(L"prog.exe -START_UPDATE_AUTOMATICALLY -SILENT"));
    EXPECT_EQ((std::vector<std::string>{"Initialize", "SetFirmwareFile", "SetDeviceDefinitions", "Rescan",
                                        "StartUpdate", "WaitForUpdate"}),
              mEngine->mCalls);
}

TEST_F(InitializeTest, SilentRunWithoutDeviceOrValidFileOpensTheWindow)
{
    EXPECT_EQ(S_OK, Run(L"prog.exe -SILENT"));
    EXPECT_FALSE(mEngine->Called("WaitForUpdate"));

    SetUp();
    mEngine->mStateAfterScan = LUpdateEngineInterface::InUpdateMode;
    mEngine->mFileStateToSet = LUpdateEngineInterface::FileInvalid;
    mEngine->mUpdateNeeded = true;
    EXPECT_EQ(S_OK, Run(L"prog.exe -SILENT"));
    EXPECT_FALSE(mEngine->Called("StartUpdate"));
}

TEST_F(InitializeTest, EngineInErrorStateJudgesTheFirmwareFileAgainThenStops)
{
    // The failed update may have been the file's: it is judged again, so
    // that the update is not offered for a file that broke since.
    mEngine->mStateAfterInitialize = LUpdateEngineInterface::DeviceError;
    mEngine->mFileStateToSet = LUpdateEngineInterface::FileInvalid;
    EXPECT_EQ(S_OK, Run(L"prog.exe -RETURN_UPDATE_MODE_STATUS"));
    EXPECT_EQ((std::vector<std::string>{"Initialize", "SetFirmwareFile"}), mEngine->mCalls);
    EXPECT_EQ(LUpdateEngineInterface::FileInvalid, mEngine->GetFirmwareFileState());
    EXPECT_EQ(0, KX::GetProgramExitCode());
}

TEST_F(InitializeTest, AChosenFileTakesTheCommandLinesPlaceFromThenOn)
{
    Run(L"prog.exe -FIRMWARE_IMAGE_NAME=a.led");
    const String chosen = L"C:\\Firmware\\chosen.led";
    EXPECT_EQ(S_OK, mProcessor->ChooseFirmwareFile(chosen));
    EXPECT_EQ(chosen, mProcessor->GetChosenFirmwareFile());
    mProcessor->Reinitialize();
    mProcessor->ReinitializeInteractively();
    ASSERT_EQ(4u, mEngine->mFirmwarePaths.size());
    EXPECT_EQ(String(L"a.led"), mEngine->mFirmwarePaths[0].Right(5));
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(chosen, mEngine->mFirmwarePaths[i]) << i;

    // A file that does not pass the engine's check is still the chosen one
    // (RESTART judges it again); one refused while an image is sent is not.
    mEngine->mSetFileResult = E_FAIL;
    const String broken = L"C:\\Firmware\\broken.led";
    EXPECT_EQ(E_FAIL, mProcessor->ChooseFirmwareFile(broken));
    EXPECT_EQ(broken, mProcessor->GetChosenFirmwareFile());
    mEngine->mSetFileResult = LUpdateEngineInterface::kRefusedWhileUpdating;
    EXPECT_EQ(LUpdateEngineInterface::kRefusedWhileUpdating, mProcessor->ChooseFirmwareFile(chosen));
    EXPECT_EQ(broken, mProcessor->GetChosenFirmwareFile());
    mEngine->mSetFileResult = S_OK;
    mProcessor->Reinitialize();
    EXPECT_EQ(broken, mEngine->mFirmwarePaths.back());
}

TEST_F(InitializeTest, FailedEngineInitializationThrows)
{
    mEngine->mInitializeResult = E_FAIL;
    try {
        Run(L"prog.exe");
        FAIL() << "no exception";
    } catch (const KX::Exception<KX::FailedResultException>& error) {
        EXPECT_STREQ("Failed Result : KXRESULT = 80004005 : LUpdateProcessor::Initialize : Engine/UpdateProcessor : "
                     "Line 53",
                     error.what());
    }
}

TEST_F(InitializeTest, TheFirstNonEmptyCommandLineIsKeptForReinitialize)
{
    Run(L"");
    Run(L"prog.exe -ALWAYS_UPDATE -FIRMWARE_IMAGE_NAME=a.led");
    Run(L"prog.exe -FIRMWARE_IMAGE_NAME=b.led");
    EXPECT_EQ(String(L"prog.exe -ALWAYS_UPDATE -FIRMWARE_IMAGE_NAME=a.led"), mProcessor->GetStoredCommandLine());
    EXPECT_TRUE(mProcessor->GetAlwaysUpdate());
    mProcessor->Reinitialize();
    ASSERT_EQ(4u, mEngine->mInitializedWith.size());
    EXPECT_EQ(mProcessor->GetStoredCommandLine(), mEngine->mInitializedWith[3]);
    // Every run reads the options of the stored command line.
    for (size_t i = 1; i < mEngine->mFirmwarePaths.size(); ++i)
        EXPECT_EQ(String(L"a.led"), mEngine->mFirmwarePaths[i].Right(5)) << i;

    EXPECT_EQ(S_FALSE, mProcessor->SetAlwaysUpdate(true));
    EXPECT_EQ(S_OK, mProcessor->SetAlwaysUpdate(false));
    EXPECT_FALSE(mProcessor->GetAlwaysUpdate());
}

} // namespace

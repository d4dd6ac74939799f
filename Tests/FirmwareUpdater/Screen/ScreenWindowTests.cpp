// The real update screen in a real window under Xvfb, driven with the
// pointer as a person drives it, against the simulated TAVIK8: the whole
// two-step update, and the short roads off it.
#include "Support/UpdateScreen/ScreenWindowSupport.h"

#include "Model/Crc32.h"

#include <vector>

namespace ScreenWindowTest {
namespace {

using Tavik8Sim::Mode;

const std::wstring kTransition =
    L"Switch the TAVIK8 off and on again, wait until it has started, and then press NEXT.";
const std::wstring kInProgress = L"Firmware update in progress. Do not disconnect TAVIK8.";
const std::wstring kResetting = L"Waiting for device to reset.";
const std::wstring kSucceeded = L"Your TAVIK8 has been successfully updated. You may now close this application.";

// What the screen showed while it waited for the device after a transfer:
// the pause between probes is the moment to look (the window is blocked).
struct ResetWatch
{
    static ResetWatch* sCurrent;
    std::function<void()> atFirstPause;
    std::vector<std::wstring> processTexts;
    std::vector<DWORD> pauses;

    static void Pause(uint32_t milliseconds)
    {
        if (ResetWatch* watch = sCurrent) {
            watch->pauses.push_back(GetTickCount());
            if (watch->pauses.size() == 1 && watch->atFirstPause)
                watch->atFirstPause();
        }
        Sleep(milliseconds);
    }
};
ResetWatch* ResetWatch::sCurrent = nullptr;

class ScreenWindowTest : public ScreenWindowTestBase
{
protected:
    void SetUp() override
    {
        ScreenWindowTestBase::SetUp();
        ResetWatch::sCurrent = &mWatch;
        mWatch.atFirstPause = [this]() {
            mWatch.processTexts.push_back(TextOf(kProcess.c_str()));
            Screenshot(L"waiting_for_reset");
        };
        KX::LMainControl::SetPauseFunction(ResetWatch::Pause);
    }
    void TearDown() override
    {
        ResetWatch::sCurrent = nullptr;
        ScreenWindowTestBase::TearDown();
    }

    // The transfer runs; the screen shows its progress until the device is
    // back (or the wait for it ended).
    void FollowTransfer()
    {
        ASSERT_TRUE(LoopUntil([this]() { return Shows(L"progressBar"); }, 30000));
        EXPECT_EQ(kInProgress, TextOf(kProcess.c_str()));
        EXPECT_FALSE(Shows(L"buttonExit"));
        EXPECT_FALSE(mApp->CanExit());
        const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
        LoopUntil([&]() { return bar->GetNormalizedValue() >= 0.3; }, 10000);
        Screenshot(L"transfer");
        ASSERT_TRUE(LoopUntil([&]() { return bar->GetNormalizedValue() >= 1.0 || !mWatch.pauses.empty(); }, 30000));
        EXPECT_EQ(L"100", Text(bar->GetPercentCompleteLabel()->GetText()));
        ASSERT_TRUE(LoopUntil([this]() { return !mScreen->IsUpdateStarted(); }, 30000));
    }

    ResetWatch mWatch;
};

TEST_F(ScreenWindowTest, TheTwoStepUpdateAsAPersonDoesIt)
{
    Open(FileOption(mFirmware));
    EXPECT_EQ(kReady, TextOf(kProcess.c_str()));
    EXPECT_EQ(L"Device's current firmware version: 1.0.3.0", TextOf(L"labelDeviceFirmwareVersion"));
    EXPECT_EQ(L"Update to firmware version: 1.0.4.4", TextOf(L"labelFileFirmwareVersion"));
    EXPECT_EQ(L"Updater: 1.0.0.1", TextOf(L"updaterVersionLabel"));
    EXPECT_TRUE(Shows(L"buttonUpdateFirmware"));
    EXPECT_TRUE(Shows(L"buttonExit"));
    Screenshot(L"ready");

    // UPDATE FIRMWARE: the device is asked once to enter update mode; the
    // screen asks to switch it off and on and to press NEXT.
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kTransition));
    EXPECT_TRUE(Shows(L"buttonManualDeviceReadyForUpdateButton"));
    EXPECT_FALSE(Shows(L"buttonExit"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    EXPECT_EQ(Engine::EnteringUpdateMode, DeviceState());
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));
    Screenshot(L"switch_off_and_on");

    // NEXT before the power cycle: the device is still in normal mode, and
    // nothing starts.
    Click(L"buttonManualDeviceReadyForUpdateButton");
    LoopUntil([]() { return false; }, 300);
    EXPECT_EQ(Engine::EnteringUpdateMode, DeviceState());
    EXPECT_EQ(kTransition, TextOf(kProcess.c_str()));
    EXPECT_TRUE(Shows(L"buttonManualDeviceReadyForUpdateButton"));
    EXPECT_EQ(0, mDevice->Counter("handshakes"));
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));

    // The person switches the device off and on, and presses NEXT.
    mDevice->PowerCycle();
    EXPECT_EQ(Mode::Update, mDevice->State().mode);
    Click(L"buttonManualDeviceReadyForUpdateButton");
    FollowTransfer();

    ASSERT_FALSE(mWatch.processTexts.empty());
    EXPECT_EQ(kResetting, mWatch.processTexts.front());
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kSucceeded));
    EXPECT_EQ(L"Device's current firmware version: 1.0.4.4", TextOf(L"labelDeviceFirmwareVersion"));
    EXPECT_TRUE(Shows(L"labelDeviceFirmwareVersion"));
    EXPECT_TRUE(Shows(L"buttonExit"));
    EXPECT_FALSE(Shows(L"buttonReinitialize"));
    Screenshot(L"updated");

    const Tavik8Sim::DeviceState device = mDevice->State();
    EXPECT_EQ("1.0.4.4", device.version);
    EXPECT_EQ(16, device.records);
    // The image the device received is the file's, byte for byte.
    Tavik8Sim::Bytes image;
    ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(TestSystem::ReadWholeFile(mFirmware), image));
    EXPECT_EQ(static_cast<int64_t>(image.size()), device.imageBytes);
    EXPECT_EQ(Tavik8Sim::Crc32Update(0, image.data(), image.size()), device.imageCrc32);
    EXPECT_EQ(0, device.violationCount);
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));

    // EXIT ends the program.
    Click(L"buttonExit");
    EXPECT_TRUE(LoopUntil([this]() { return mApp->IsExiting(); }, 30000));
}

TEST_F(ScreenWindowTest, ADeviceBackWithItsOldVersionAsksForRestart)
{
    // The device takes only another image: it restarts with 1.0.3.0.
    mDevice->Reset(Mode::Update, "1.0.3.0");
    mDevice->ExpectImage(mDevice->WriteFirmware(L"other.led", 16, 24, 99));
    Open(FileOption(mFirmware));
    ASSERT_TRUE(Shows(L"buttonUpdateFirmware"));
    Click(L"buttonUpdateFirmware");
    FollowTransfer();
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(),
                              L"The firmware was sent, but the TAVIK8 still reports its old version. Please press "
                              L"RESTART to try again."));
    EXPECT_TRUE(Shows(L"buttonReinitialize"));
    EXPECT_EQ("1.0.3.0", mDevice->State().version);
    Screenshot(L"old_version");
}

TEST_F(ScreenWindowTest, ADeviceThatNeverReturnsAsksForRestartAfterAboutTenSeconds)
{
    mDevice->Reset(Mode::Update, "1.0.3.0");
    mDevice->Set("after_update", "never");
    Open(FileOption(mFirmware));
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([this]() { return !mWatch.pauses.empty(); }, 30000));
    const DWORD waitStarted = mWatch.pauses.front();
    ASSERT_TRUE(LoopUntil([this]() { return !mScreen->IsUpdateStarted(); }, 20000));
    // Real time only bounds the wait from below here: a loaded machine may
    // stretch it, never shorten it. The exact rule (20 probes 500 ms apart,
    // ended by the clock when the probes take time) is held with a fixed clock
    // in the action table tests.
    const DWORD waited = GetTickCount() - waitStarted;
    EXPECT_GE(waited, 9000u);
    EXPECT_LE(mWatch.pauses.size(), 20u);
    EXPECT_EQ(L"The update has finished, but the TAVIK8 did not answer afterwards. Please unplug the TAVIK8, plug "
              L"it in again and press RESTART.",
              TextOf(kProcess.c_str()));
    EXPECT_TRUE(Shows(L"buttonReinitialize"));
    EXPECT_TRUE(Shows(L"buttonExit"));
    Screenshot(L"never_back");
}

TEST_F(ScreenWindowTest, AMissingModeChangeAcknowledgementShowsTheErrorAndRestart)
{
    mDevice->Set("mode_ack", "none");
    Open(FileOption(mFirmware));
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([this]() { return Shows(L"buttonReinitialize"); }, 30000));
    EXPECT_EQ(Engine::DeviceError, DeviceState());
    EXPECT_TRUE(Shows(L"labelDeviceCannotUpdateError"));
    EXPECT_NE(std::wstring::npos, TextOf(L"labelDeviceCannotUpdateError").find(L"RESTART"));
    EXPECT_FALSE(Shows(L"buttonManualDeviceReadyForUpdateButton"));
    EXPECT_TRUE(Shows(L"buttonExit"));
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));
    Screenshot(L"no_acknowledgement");
}

TEST_F(ScreenWindowTest, AnUpToDateDeviceNeedsNoUpdate)
{
    mDevice->Reset(Mode::Normal, "1.0.4.4");
    Open(FileOption(mFirmware));
    EXPECT_EQ(L"The TAVIK8 device is up to date. An update is not needed.", TextOf(L"labelDeviceCannotUpdateError"));
    EXPECT_TRUE(Shows(L"labelDeviceCannotUpdateError"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    EXPECT_TRUE(Shows(L"buttonExit"));
    Screenshot(L"up_to_date");
}

TEST_F(ScreenWindowTest, NoDeviceThenScanOnceItIsConnected)
{
    mDevice->Set("off_ms", "3600000");
    mDevice->PowerCycle();
    Open(FileOption(mFirmware));
    EXPECT_EQ(L"The TAVIK8 was not found. Please connect it to this computer with a USB cable, switch it on and "
              L"click SCAN FOR DEVICE.",
              TextOf(L"labelDeviceInformation"));
    EXPECT_TRUE(Shows(L"buttonScanForDevice"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    Screenshot(L"no_device");

    mDevice->Reset(Mode::Normal, "1.0.3.0"); // connected and switched on
    Click(L"buttonScanForDevice");
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    EXPECT_TRUE(Shows(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Shows(L"buttonScanForDevice"));
    Screenshot(L"found");
}

TEST_F(ScreenWindowTest, ClosingTheWindowDuringTheTransferIsRefused)
{
    mDevice->Reset(Mode::Update, "1.0.3.0");
    mDevice->Set("ack_latency_ms", "30"); // a transfer long enough to try
    mDevice->ExpectImage(mFirmware);
    Open(FileOption(mFirmware));
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([this]() { return Shows(L"progressBar"); }, 30000));
    PostMessageW(mWindow, WM_CLOSE, 0, 0);
    PostMessageW(mWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    LoopUntil([]() { return false; }, 300);
    EXPECT_TRUE(IsWindow(mWindow));
    EXPECT_FALSE(mApp->IsExiting());
    EXPECT_FALSE(mQuitSeen);
    ASSERT_TRUE(LoopUntil([this]() { return !mScreen->IsUpdateStarted(); }, 30000));
    EXPECT_EQ(0, mDevice->State().violationCount);
}

TEST_F(ScreenWindowTest, AMissingFileThenSelectFirmwareFileFromTheFileMenu)
{
    Open(FileOption(mDevice->Folder() + L"\\missing.led"));
    EXPECT_EQ(L"The firmware update file is missing or invalid.", TextOf(L"labelFirmwareFileInformation"));
    EXPECT_TRUE(Shows(L"labelFirmwareFileInformation"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    Screenshot(L"missing_file");

    // File, then its item, with the pointer.
    const OpenDialogAnswer dialog(mFirmware);
    const RCPtr<KX::LMenuListBoxItem> row = OpenFileMenu();
    ASSERT_TRUE(row);
    Screenshot(L"file_menu");
    ClickAt(ScreenMiddle(RCPtr<KX::LControl>(row.Get())));
    EXPECT_TRUE(LoopUntil([&]() { return dialog.Shown() == 1; }, 30000));

    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    EXPECT_TRUE(Shows(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Shows(L"labelFirmwareFileInformation"));
    EXPECT_EQ(L"Update to firmware version: 1.0.4.4", TextOf(L"labelFileFirmwareVersion"));
    Screenshot(L"file_chosen");
}

} // namespace
} // namespace ScreenWindowTest

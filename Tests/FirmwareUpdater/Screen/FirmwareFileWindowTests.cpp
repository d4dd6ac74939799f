// The firmware file through the real update screen, against the simulated
// TAVIK8: a file chosen in the File menu stays the file across RESTART, a
// file that breaks after it was chosen is named and never offered, and no
// file is chosen while an image is sent. The device's counters and the image
// it received show what was sent.
#include "Support/UpdateScreen/ScreenWindowSupport.h"

#include "Controls/ComboMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Engine/UpdateEngine.h"
#include "Engine/UpdateProcessor.h"
#include "Model/Crc32.h"

#include <algorithm>

namespace ScreenWindowTest {
namespace {

using Tavik8Sim::Mode;

const std::wstring kTransition =
    L"Switch the TAVIK8 off and on again, wait until it has started, and then press NEXT.";
const std::wstring kSucceeded = L"Your TAVIK8 has been successfully updated. You may now close this application.";
const std::wstring kOldVersion =
    L"The firmware was sent, but the TAVIK8 still reports its old version. Please press RESTART to try again.";
const std::wstring kFileCannotBeRead = L"The firmware file cannot be read. Please check the file and press RESTART.";
const std::wstring kFileInvalid = L"The firmware update file is missing or invalid.";
const std::wstring kFileVersion = L"Update to firmware version: 1.0.4.4";

void WriteText(const std::wstring& path, const std::string& text)
{
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, text));
}

// The engine's timing of the running program, holding the worker before one
// data message until the test lets it go: the transfer stands still at a
// known point while the window goes on.
class HeldTiming : public LEngineTiming
{
public:
    static RCPtr<HeldTiming> Create(int heldPause) { return RCPtr<HeldTiming>(new HeldTiming(heldPause)); }

    void SleepUntil(int64_t deadline) override
    {
        if (mPauses++ == mHeldPause) {
            SetEvent(mReached);
            WaitForSingleObject(mRelease, 30000);
        }
        LEngineTiming::SleepUntil(deadline);
    }
    bool Reached() const { return WaitForSingleObject(mReached, 0) == WAIT_OBJECT_0; }
    void LetGo() { SetEvent(mRelease); }

protected:
    ~HeldTiming() override
    {
        CloseHandle(mReached);
        CloseHandle(mRelease);
    }

private:
    explicit HeldTiming(int heldPause) : mHeldPause(heldPause) {}
    const int mHeldPause;
    int mPauses = 0;
    HANDLE mReached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE mRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

class FirmwareFileWindowTest : public ScreenWindowTestBase
{
protected:
    // A device that restarts soon after an update, so that the screen's wait
    // for it is short. (A reset forgets it.)
    void QuickRestart()
    {
        mDevice->Set("restart_quiet_ms", "300");
        mDevice->Set("reboot_ms", "100");
    }

    // A click on File closes its open menu.
    void CloseFileMenu()
    {
        const RCPtr<KX::LComboMenu> file = FileTitle();
        ASSERT_TRUE(file && file->IsDropDownShown());
        ClickAt(ScreenMiddle(RCPtr<KX::LControl>(file.Get())));
        EXPECT_TRUE(LoopUntil([&]() { return !file->IsDropDownShown(); }, 30000));
    }

    // The brightest green of the row's middle lines on the screen: its text
    // colour (the row's background is dark).
    int BrightestGreenOf(const RCPtr<KX::LControl>& row)
    {
        const POINT middle = ScreenMiddle(row);
        const int width = static_cast<int>(row->GetRect().width);
        HDC screen = GetDC(nullptr);
        int brightest = 0;
        for (int y = middle.y - 3; y <= middle.y + 3; ++y) {
            for (int x = middle.x - width / 2; x < middle.x + width / 2; ++x)
                brightest = std::max(brightest, static_cast<int>(GetGValue(GetPixel(screen, x, y))));
        }
        ReleaseDC(nullptr, screen);
        return brightest;
    }

    // The transfer that the click started (it may be over already) ran, and
    // the screen's wait for the device is over.
    void WaitForTheUpdatesEnd()
    {
        ASSERT_TRUE(LoopUntil([this]() { return !mScreen->IsUpdateStarted(); }, 30000));
    }

    // "match" when the last session's image is the expected one.
    std::string ImageVerdict()
    {
        std::string verdict;
        mDevice->Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs) { verdict = m.ImageVerdict(); });
        return verdict;
    }

    // The device's last session received exactly this file's image.
    void ExpectReceived(const std::wstring& file, int records)
    {
        const Tavik8Sim::DeviceState device = mDevice->State();
        EXPECT_EQ(records, device.records);
        Tavik8Sim::Bytes image;
        ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(TestSystem::ReadWholeFile(file), image));
        EXPECT_EQ(static_cast<int64_t>(image.size()), device.imageBytes);
        EXPECT_EQ(Tavik8Sim::Crc32Update(0, image.data(), image.size()), device.imageCrc32);
        EXPECT_EQ(0, device.violationCount);
    }

    RCPtr<LUpdateEngine> RealEngine() const
    {
        return RCPtr<LUpdateEngine>::DynamicCast(mApp->GetUpdateProcessor()->GetUpdateEngine());
    }

    // The dialog for what a test chooses outside ChooseThroughFileMenu.
    OpenDialogAnswer mDialog;
};

TEST_F(FirmwareFileWindowTest, AFileChosenInTheFileMenuStaysTheFileAfterRestart)
{
    // A device in update mode that comes back with its old version: the
    // screen asks for RESTART.
    mDevice->Reset(Mode::Update, "1.0.3.0");
    QuickRestart();
    mDevice->Set("after_update", "old");
    const std::wstring chosen = mDevice->WriteFirmware(L"chosen.led", 8, 24, 11);
    Open(FileOption(mFirmware)); // the command line's file: 16 records
    ASSERT_EQ(kReady, TextOf(kProcess.c_str()));
    ChooseThroughFileMenu(chosen);
    Screenshot(L"chosen");

    Click(L"buttonUpdateFirmware");
    WaitForTheUpdatesEnd();
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kOldVersion));
    ExpectReceived(chosen, 8);
    Screenshot(L"old_version");

    // Now the device takes the chosen image and switches itself off and on
    // after the mode change. RESTART, UPDATE FIRMWARE, NEXT.
    mDevice->Set("after_update", "new");
    mDevice->ExpectImage(chosen);
    Click(L"buttonReinitialize");
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    EXPECT_EQ(kFileVersion, TextOf(L"labelFileFirmwareVersion"));
    Screenshot(L"restarted");
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kTransition));
    mDevice->PowerCycle();
    ASSERT_EQ(Mode::Update, mDevice->State().mode);
    Click(L"buttonManualDeviceReadyForUpdateButton");
    WaitForTheUpdatesEnd();

    // The device received the chosen file once more, and took it.
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kSucceeded));
    ExpectReceived(chosen, 8);
    EXPECT_EQ("1.0.4.4", mDevice->State().version);
    EXPECT_EQ("match", ImageVerdict());
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));
    Screenshot(L"updated");
}

TEST_F(FirmwareFileWindowTest, AFileThatBreaksAfterItWasChosenIsNamedAndNotOfferedAgain)
{
    QuickRestart();
    Open(FileOption(mFirmware));
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kTransition));
    mDevice->PowerCycle();

    // The file loses its last character: it ends in half a byte.
    const std::string text = TestSystem::ReadWholeFile(mFirmware);
    WriteText(mFirmware, text.substr(0, text.size() - 1));
    Click(L"buttonManualDeviceReadyForUpdateButton");
    ASSERT_TRUE(LoopUntil([this]() { return Shows(L"labelDeviceCannotUpdateError"); }, 10000));
    EXPECT_EQ(kFileCannotBeRead, TextOf(L"labelDeviceCannotUpdateError"));
    EXPECT_TRUE(Shows(L"buttonReinitialize"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    Screenshot(L"file_named");
    // Nothing beyond the mode change reached the device.
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));
    EXPECT_EQ(0, mDevice->Counter("handshakes"));
    EXPECT_EQ(0, mDevice->Counter("data_messages"));

    // RESTART judges the file again: the device is found, but the update is
    // not offered for a file that cannot be sent whole.
    Click(L"buttonReinitialize");
    ASSERT_TRUE(LoopUntil([this]() { return DeviceState() == Engine::InUpdateMode; }, 10000));
    LoopUntil([]() { return false; }, 200);
    EXPECT_EQ(kFileInvalid, TextOf(L"labelFirmwareFileInformation"));
    EXPECT_TRUE(Shows(L"labelFirmwareFileInformation"));
    EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Shows(kProcess.c_str()) && TextOf(kProcess.c_str()) == kReady);
    EXPECT_FALSE(Shows(L"labelFileFirmwareVersion"));
    Screenshot(L"not_offered");
    EXPECT_EQ(0, mDevice->Counter("handshakes"));
    EXPECT_EQ(0, mDevice->Counter("data_messages"));

    // Mended and chosen again, it is offered and sent whole.
    WriteText(mFirmware, text);
    ChooseThroughFileMenu(mFirmware);
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    Click(L"buttonUpdateFirmware");
    WaitForTheUpdatesEnd();
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kSucceeded));
    ExpectReceived(mFirmware, 16);
    Screenshot(L"mended_and_sent");
}

TEST_F(FirmwareFileWindowTest, NoFileIsChosenWhileTheImageIsSent)
{
    mDevice->Reset(Mode::Update, "1.0.3.0");
    QuickRestart();
    mDevice->ExpectImage(mFirmware);
    Open(FileOption(mFirmware));
    // 16 records of 26 bytes go out as 48 messages (11, 11 and 4 bytes): held
    // before the eleventh, inside the fourth record, at about a fifth.
    const RCPtr<HeldTiming> timing = HeldTiming::Create(10);
    ASSERT_TRUE(RealEngine());
    RealEngine()->SetTiming(RCPtr<LEngineTiming>(timing.Get()));
    Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([&]() { return timing->Reached(); }, 10000));
    const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
    ASSERT_TRUE(LoopUntil([&]() { return bar->GetNormalizedValue() > 0.2; }, 30000));
    EXPECT_EQ(kFileVersion, TextOf(L"labelFileFirmwareVersion"));

    // The item is greyed: drawn in the dim text colour, and a click on it
    // opens no dialog.
    const std::wstring empty = mDevice->Folder() + L"\\empty.led";
    WriteText(empty, "");
    mDialog.SetFile(empty);
    const RCPtr<KX::LMenuListBoxItem> row = OpenFileMenu();
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->IsEnabled(false));
    LoopUntil([]() { return false; }, 100);
    const int green = BrightestGreenOf(RCPtr<KX::LControl>(row.Get()));
    EXPECT_GE(green, 0x90);
    EXPECT_LE(green, 0xB8) << "brighter than the dim text";
    Screenshot(L"file_menu_greyed");
    ClickAt(ScreenMiddle(RCPtr<KX::LControl>(row.Get())));
    LoopUntil([]() { return false; }, 300);
    EXPECT_EQ(0, mDialog.Shown());
    CloseFileMenu();
    EXPECT_EQ(Engine::FileFoundVersionKnown, mApp->GetUpdateProcessor()->GetUpdateEngine()->GetFirmwareFileState());
    EXPECT_TRUE(Shows(L"labelFileFirmwareVersion"));

    timing->LetGo();
    WaitForTheUpdatesEnd();
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kSucceeded));
    EXPECT_EQ(kFileVersion, TextOf(L"labelFileFirmwareVersion"));
    EXPECT_TRUE(Shows(L"labelFileFirmwareVersion"));
    EXPECT_TRUE(Shows(L"labelDeviceFirmwareVersion"));
    ExpectReceived(mFirmware, 16);
    EXPECT_EQ("match", ImageVerdict());
    Screenshot(L"updated");

    // The wait is over: the item is there again.
    const RCPtr<KX::LMenuListBoxItem> again = OpenFileMenu();
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->IsEnabled(false));
    EXPECT_GE(BrightestGreenOf(RCPtr<KX::LControl>(again.Get())), 0xD0);
    Screenshot(L"file_menu_again");
    CloseFileMenu();
}

} // namespace
} // namespace ScreenWindowTest

// The real update screen says what is so at the places where a person meets
// a fault: a device that appears in update mode, a firmware file that cannot
// be sent (chosen through the File menu or given on the command line) or is
// missing, and the pointer leaving the window.
#include "Support/UpdateScreen/ScreenWindowSupport.h"

#include "Application/RootWindow.h"

namespace ScreenWindowTest {
namespace {

using Tavik8Sim::Mode;

const wchar_t* const kFileLabel = L"labelFirmwareFileInformation";
const std::wstring kInvalidFile = L"The firmware update file is missing or invalid.";

// Files that exist but whose image cannot be sent whole.
struct BadFile
{
    const char* name;
    std::string text;
};

const BadFile kBadFiles[] = {
    {"OddLength", "0003ABCDEF0001F"},
    {"NotHexadecimal", "0003ABCDEF0001FG"},
    {"Empty", ""},
};

std::string BadFileName(const ::testing::TestParamInfo<BadFile>& info)
{
    return info.param.name;
}

class ScreenTruth : public ScreenWindowTestBase
{
protected:
    std::wstring WriteFile(const wchar_t* name, const std::string& text)
    {
        const std::wstring path = mDevice->Folder() + L"\\" + name;
        TestSystem::WriteWholeFile(path, text);
        return path;
    }

    // The invalid-file text, no update offered, and the device never asked
    // for anything.
    void ExpectTheFileRefused()
    {
        EXPECT_TRUE(LoopUntilText(kFileLabel, kInvalidFile));
        EXPECT_TRUE(Shows(kFileLabel));
        EXPECT_FALSE(Shows(L"buttonUpdateFirmware"));
        EXPECT_FALSE(Shows(L"progressBar"));
        EXPECT_TRUE(Shows(L"buttonExit"));
        EXPECT_EQ(0, mDevice->Counter("mode_changes"));
        EXPECT_EQ(0, mDevice->Counter("handshakes"));
    }

    RCPtr<KX::LRootWindow> Root() const { return mApp->GetRootWindow(0); }
};

TEST_F(ScreenTruth, ADeviceThatAppearsInUpdateModeIsOfferedTheUpdate)
{
    mDevice->Set("off_ms", "3600000");
    mDevice->PowerCycle();
    Open(FileOption(mFirmware));
    ASSERT_TRUE(Shows(L"buttonScanForDevice"));
    Screenshot(L"no_device");

    mDevice->Reset(Mode::Update, "1.0.3.0"); // connected, still in update mode
    Click(L"buttonScanForDevice");
    ASSERT_TRUE(LoopUntil([this]() { return DeviceState() == Engine::InUpdateMode; }, 30000));
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    EXPECT_TRUE(Shows(kProcess.c_str()));
    EXPECT_TRUE(Shows(L"buttonUpdateFirmware"));
    EXPECT_FALSE(Shows(L"buttonScanForDevice"));
    Screenshot(L"found_in_update_mode");
}

class FileChosen : public ScreenTruth, public ::testing::WithParamInterface<BadFile>
{
};

TEST_P(FileChosen, ThroughTheFileMenuIsRefusedAtOnce)
{
    Open(FileOption(mFirmware));
    ASSERT_TRUE(LoopUntilText(kProcess.c_str(), kReady));
    ASSERT_TRUE(Shows(L"buttonUpdateFirmware"));

    ChooseThroughFileMenu(WriteFile(L"bad.led", GetParam().text));
    ExpectTheFileRefused();
    EXPECT_EQ(Engine::NotInUpdateMode, DeviceState());
    Screenshot(L"refused");
}

INSTANTIATE_TEST_SUITE_P(Unsendable, FileChosen, ::testing::ValuesIn(kBadFiles), BadFileName);

// A firmware file on the command line that cannot be sent or is missing,
// with the device in either mode and with the options that would start
// the update at once.
struct CommandLineCase
{
    const char* name;
    const char* text; // null: no such file
    const wchar_t* options;
    Mode mode;
};

const CommandLineCase kCommandLines[] = {
    {"OddLengthNormalMode", "0003ABCDEF0001F", L"", Mode::Normal},
    {"NotHexadecimalSilent", "0003ABCDEF0001FG", L"-SILENT", Mode::Normal},
    {"EmptyStartAutomaticallyInUpdateMode", "", L"-START_UPDATE_AUTOMATICALLY", Mode::Update},
    {"MissingSilentInUpdateMode", nullptr, L"-SILENT", Mode::Update},
    {"MissingInUpdateMode", nullptr, L"", Mode::Update},
};

class FileGiven : public ScreenTruth, public ::testing::WithParamInterface<CommandLineCase>
{
};

TEST_P(FileGiven, OnTheCommandLineIsSaidWhateverTheDevicesMode)
{
    const CommandLineCase& c = GetParam();
    mDevice->Reset(c.mode, "1.0.3.0");
    const std::wstring path = c.text ? WriteFile(L"given.led", c.text) : mDevice->Folder() + L"\\nope\\x.led";
    Open(std::wstring(c.options) + L" " + FileOption(path));
    ASSERT_FALSE(HasFatalFailure());
    ExpectTheFileRefused();
    EXPECT_EQ(c.mode == Mode::Normal ? Engine::NotInUpdateMode : Engine::InUpdateMode, DeviceState());
    Screenshot(L"refused");
}

INSTANTIATE_TEST_SUITE_P(Unsendable, FileGiven, ::testing::ValuesIn(kCommandLines),
                         [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

// Moves the display's pointer as a person's mouse does, without any input
// through the program's own window system: the window hears of it only
// when the pointer is over it.
void MovePointerOnTheDisplay(int x, int y)
{
    const std::wstring command = L"/usr/bin/xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y);
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(L"Z:\\usr\\bin\\xdotool", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << "xdotool runs";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST_F(ScreenTruth, LeavingTheWindowEndsTheHover)
{
    Open(FileOption(mFirmware));
    const RCPtr<KX::LControl> exit = Child(L"buttonExit");
    ASSERT_TRUE(exit && exit->IsVisible(true));
    const POINT over = ScreenMiddle(exit);
    TestScreen::MoveMouseTo(over.x, over.y);
    ASSERT_TRUE(LoopUntil([&]() { return Root()->GetHoverControl() == exit; }, 30000));
    Screenshot(L"hover");

    RECT frame{};
    GetWindowRect(mWindow, &frame);
    const POINT away{std::min<LONG>(frame.right + 40, GetSystemMetrics(SM_CXSCREEN) - 2),
                     std::min<LONG>(frame.bottom + 40, GetSystemMetrics(SM_CYSCREEN) - 2)};
    ASSERT_FALSE(PtInRect(&frame, away)) << "room beside the window";
    MovePointerOnTheDisplay(away.x, away.y);
    ASSERT_TRUE(LoopUntil(
        [&]() {
            POINT now{};
            GetCursorPos(&now);
            return now.x == away.x && now.y == away.y;
        },
        5000))
        << "the pointer moved";
    EXPECT_TRUE(LoopUntil([&]() { return !Root()->GetHoverControl(); }, 30000));
    EXPECT_FALSE(Root()->GetToolTipControl());
    Screenshot(L"left");
}

} // namespace
} // namespace ScreenWindowTest

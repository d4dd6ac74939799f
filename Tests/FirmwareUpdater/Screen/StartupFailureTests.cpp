// The program's start-up when its main window cannot be made: through the
// framework's WinMain with the program's application class, its documents
// and the simulated TAVIK8, a window-creation hook of the test refuses the
// main window in each way the system can. The run ends with the failure
// code and says why on standard error; its MIDI ports are closed and the
// device is as it was. ctest runs these cases once more with Wine's heap
// checks on (StartupFailureHeapChecks).
#include "Support/UpdateScreen/ScreenWindowSupport.h"

#include "Application/ProgramGlobals.h"
#include "Support/Windows/StandardErrorCapture.h"
#include "Support/Windows/WindowRefusal.h"

#include <cwchar>

namespace ScreenWindowTest {
namespace {

using TestScreen::Refusal;

const char* NameOf(Refusal refusal)
{
    switch (refusal) {
    case Refusal::CreationHook:
        return "CreationHook";
    case Refusal::NcCreate:
        return "NcCreate";
    case Refusal::Create:
        return "Create";
    }
    return "?";
}

Refusal sRefusal = Refusal::CreationHook;
int sRefusedWindows = 0;

bool IsMainWindowClass(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return std::wcscmp(name, LApplication::GetUniqueAppName().GetData()) == 0;
}

// Installed before the run, so called after the window object's own
// creation hook: the object is attached when the window fails.
LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && IsMainWindowClass(window)) {
        ++sRefusedWindows;
        if (const LRESULT answer = TestScreen::RefuseWindow(window, sRefusal))
            return answer;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class StartupFailureTest : public ScreenWindowTestBase, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(StartupFailureTest, AMainWindowThatCannotBeMadeEndsTheRunWithTheFailureCode)
{
    sRefusal = GetParam();
    sRefusedWindows = 0;
    mDevice->Reset(Tavik8Sim::Mode::Normal, "1.0.3.0");
    KX::SetProgramExitCode(0);

    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    int exitCode = -1;
    const std::string error = TestScreen::StandardErrorOf([&]() {
        exitCode = KX::FrameworkWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOW, 0x0409);
    });
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(1, sRefusedWindows);
    EXPECT_EQ(KX::kUncaughtExceptionExitCode, exitCode);
    EXPECT_NE(std::string::npos, error.find("The main window cannot be created")) << error;
    EXPECT_EQ(nullptr, FindWindowW(LApplication::GetUniqueAppName().GetData(), nullptr));
    EXPECT_FALSE(KX::MFCFrameworkApp<LApplication>::sApplication);
    // The ports are closed and the device was not asked to change.
    const Tavik8Sim::DeviceState device = mDevice->State();
    EXPECT_TRUE(device.openPorts.empty()) << device.openPorts.size() << " ports left open";
    EXPECT_EQ(Tavik8Sim::Mode::Normal, device.mode);
    EXPECT_EQ("1.0.3.0", device.version);
    EXPECT_FALSE(device.armed);
}

INSTANTIATE_TEST_SUITE_P(EveryRefusal, StartupFailureTest,
                         ::testing::Values(Refusal::CreationHook, Refusal::NcCreate, Refusal::Create),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return NameOf(info.param); });

} // namespace
} // namespace ScreenWindowTest

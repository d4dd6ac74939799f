// A second start of the program while the first runs: the second process
// finds the first one's main window, hands its whole command line over and
// ends; the first one takes it only while its window is enabled.
#include "Support/Shell/WindowTestSupport.h"

#include "Application/CommandLineHandOver.h"
#include "Support/Windows/Programs.h"

#include <string>

namespace {

using String = KX::StringT<wchar_t, char>;
using SecondInstanceTest = WindowTest;

const wchar_t kChildVariable[] = L"KX_SECOND_INSTANCE_OF_APPLICATION_TESTS";

int NoBox(HWND, const wchar_t*, const wchar_t*, UINT)
{
    return IDOK;
}

// The second process: this test program started again by the test below,
// with the variable set. It starts as the program starts.
TEST(SecondInstanceProcess, HandsItsCommandLineToTheRunningInstance)
{
    if (GetEnvironmentVariableW(kChildVariable, nullptr, 0) == 0)
        GTEST_SKIP() << "the second process of SecondInstanceTest";
    KX::SetStartupErrorBoxFunction(NoBox);
    // Should it take itself for the first, its run ends at once, without a window.
    TestApplication::sStartupResult = static_cast<KX::KXRESULT>(0x8000A020);
    KX::MFCFrameworkApp<TestApplication> app;
    EXPECT_EQ(0, KX::FrameworkWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOW, -1));
    EXPECT_FALSE(app.IsFirstInstance());
    EXPECT_EQ(nullptr, TestApplication::sLast); // no application object: it ended in InitApplication
    KX::SetStartupErrorBoxFunction(nullptr);
}

class SecondProcess
{
public:
    // Starts this program as the second process with the command line.
    explicit SecondProcess(std::wstring commandLine)
    {
        SetEnvironmentVariableW(kChildVariable, L"1");
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        mNul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = mNul;
        startup.hStdError = mNul;
        mStarted = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                  &mProcess) != FALSE;
        SetEnvironmentVariableW(kChildVariable, nullptr);
    }
    ~SecondProcess()
    {
        if (mStarted) {
            // Never left behind.
            if (WaitForSingleObject(mProcess.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(mProcess.hProcess, 99);
            WaitForSingleObject(mProcess.hProcess, 5000);
            CloseHandle(mProcess.hThread);
            CloseHandle(mProcess.hProcess);
        }
        if (mNul != INVALID_HANDLE_VALUE)
            CloseHandle(mNul);
    }

    bool Started() const { return mStarted; }
    bool Ended() const { return WaitForSingleObject(mProcess.hProcess, 0) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(mProcess.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION mProcess{};
    HANDLE mNul = INVALID_HANDLE_VALUE;
    bool mStarted = false;
};

std::wstring ChildCommandLine(const wchar_t* option)
{
    return L"\"" + TestSystem::ProgramPath() + L"\" --gtest_filter=SecondInstanceProcess.* " + option;
}

TEST_F(SecondInstanceTest, TheCommandLineArrivesWhileTheWindowIsEnabledAndOnlyThen)
{
    // This process is the running program: the mutex is taken, the window open.
    const String mutexName = TestApplication::GetUniqueAppName() + String(L"Prevent");
    HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName.GetData());
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;

    const std::wstring commandLine = ChildCommandLine(L"-ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\fw dir\\\u00E9t\u00E9.led\"");
    {
        SecondProcess second(commandLine);
        ASSERT_TRUE(second.Started());
        // The first instance answers the hand-over from its message loop.
        ASSERT_TRUE(LoopUntil([&]() { return second.Ended(); }, 30000));
        EXPECT_EQ(0u, second.ExitCode());
    }
    ASSERT_EQ(1u, mApp->mCommandLines.size());
    EXPECT_EQ(String(commandLine.c_str()), mApp->mCommandLines[0]);
    EXPECT_TRUE(IsWindow(handle));

    // A disabled window (a modal loop runs) takes nothing.
    EnableWindow(handle, FALSE);
    {
        SecondProcess second(ChildCommandLine(L"-SILENT"));
        ASSERT_TRUE(second.Started());
        ASSERT_TRUE(LoopUntil([&]() { return second.Ended(); }, 30000));
        EXPECT_EQ(0u, second.ExitCode());
    }
    EXPECT_EQ(1u, mApp->mCommandLines.size());
    EnableWindow(handle, TRUE);

    // A record is read no further than its byte count.
    const char text[] = "prog.exe -SILENT and more";
    COPYDATASTRUCT record{KX::kCommandLineHandOver, 8, const_cast<char*>(text)};
    SendMessageW(handle, WM_COPYDATA, KX::kCommandLineHandOver, reinterpret_cast<LPARAM>(&record));
    ASSERT_EQ(2u, mApp->mCommandLines.size());
    EXPECT_EQ(String(L"prog.exe"), mApp->mCommandLines[1]);
    COPYDATASTRUCT other{0x466, sizeof(text), const_cast<char*>(text)};
    SendMessageW(handle, WM_COPYDATA, 0x466, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(2u, mApp->mCommandLines.size());
    CloseHandle(mutex);
}

} // namespace

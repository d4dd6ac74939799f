// Start-up and shut-down through the MFC application object and the
// framework's WinMain: unattended ends, failures, the start-up error box, the
// single instance and the hand-over of a second instance's command line.
#include "Support/Shell/ShellTestSupport.h"

#include "Application/ApplicationFolders.h"
#include "ObjectBase/Exception.h"
#include "Support/Windows/StandardErrorCapture.h"

#include <gmock/gmock.h>

#include <objbase.h>

#include <string>
#include <thread>

namespace {

using String = KX::StringT<wchar_t, char>;
using StartupTest = ShellTest;
using ::testing::HasSubstr;

TEST_F(StartupTest, EveryQuitCodeEndsTheRunWithoutWindowKeepingTheExitCode)
{
    for (KX::KXRESULT code : KX::kQuitCodes) {
        KX::MFCFrameworkApp<TestApplication> mfcApp;
        ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
        TestApplication::sStartupResult = code;
        TestApplication::sExitCodeToSet = 3;
        TestApplication::sShutdownCount = 0;
        EXPECT_EQ(1, mfcApp.Run()) << std::hex << code;
        EXPECT_EQ(3, KX::GetProgramExitCode());
        EXPECT_EQ(1, TestApplication::sShutdownCount);
        EXPECT_EQ(0, TestApplication::sLiveCount); // released
        EXPECT_FALSE(KX::MFCFrameworkApp<TestApplication>::sApplication);
        EXPECT_EQ(nullptr, mfcApp.m_pMainWnd);
        AfxWinTerm();
    }
}

TEST_F(StartupTest, AnyOtherFailureOfStartUpRaisesTheRunException)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    TestApplication::sStartupResult = E_FAIL;
    try {
        mfcApp.Run();
        FAIL() << "no exception";
    } catch (const KX::Exception<KX::FailedResultException>& error) {
        EXPECT_THAT(error.what(), HasSubstr("80004005"));
        EXPECT_THAT(error.what(), HasSubstr(" : KX::MFCFrameworkApp<class TestApplication>::Run : "
                                            "Application/ApplicationBaseWin : Line 368"));
    }
    EXPECT_EQ(0, TestApplication::sLiveCount);
    EXPECT_TRUE(sBoxes.empty());
    AfxWinTerm();
}

TEST_F(StartupTest, AWindowedRunOpensTheMainWindowAndEndsOnTheCloseCommand)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    ASSERT_TRUE(mfcApp.InitApplication()); // GDI+ and the documents
    mfcApp.SetRegistryKey(L"Ostrel Test/Labs");
    const std::wstring section = mfcApp.GetSectionKeyPath(TestApplication::GetUniqueAppName().GetData());
    RegDeleteKeyW(HKEY_CURRENT_USER, section.c_str());
    TestApplication::sStartupResult = S_OK;
    HWND seen = nullptr;
    bool visible = false;
    // Once the loop runs, the person closes the window.
    TestApplication::sOnRunStart = [&](TestApplication& app) {
        seen = app.GetMainOSWindow() ? app.GetMainOSWindow()->m_hWnd : nullptr;
        visible = seen && IsWindowVisible(seen);
        PostMessageW(seen, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    EXPECT_EQ(1, mfcApp.Run());
    EXPECT_TRUE(visible);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(nullptr, mfcApp.m_pMainWnd);
    EXPECT_EQ(1, TestApplication::sShutdownCount);
    EXPECT_EQ(0, TestApplication::sLiveCount);
    EXPECT_EQ(0, KX::GetProgramExitCode());
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, &key)); // "WP" saved
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, section.c_str());
    mfcApp.ReleaseStartupObjects();
    AfxWinTerm();
}

TEST_F(StartupTest, AMainControlThatTheSkinLacksEndsTheRunWithItsErrorAndNoWindow)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    TestApplication::sStartupResult = S_OK;
    TestApplication::sMainControlName = L"noSuchControl";
    try {
        mfcApp.Run();
        FAIL() << "no exception";
    } catch (const KX::Exception<std::runtime_error>& error) {
        EXPECT_THAT(error.what(), HasSubstr("Invalid Control Name"));
    }
    EXPECT_EQ(1, TestApplication::sShutdownCount);
    EXPECT_EQ(0, TestApplication::sLiveCount);
    EXPECT_EQ(nullptr, FindWindowW(TestApplication::GetUniqueAppName().GetData(), nullptr));
    AfxWinTerm();
}

TEST_F(StartupTest, FrameworkWinMainAnswersTheExitCodeOfAnUnattendedRun)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    TestApplication::sStartupResult = static_cast<KX::KXRESULT>(0x8000A020);
    TestApplication::sExitCodeToSet = 5;
    EXPECT_EQ(5, KX::FrameworkWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW, -1));
    EXPECT_EQ(static_cast<int32_t>(GetUserDefaultLCID() & 0xFFFF), mfcApp.GetLocaleId());
    EXPECT_EQ(TestApplication::GetUniqueAppName().GetData(), KX::GetUniqueAppNamePointer());
    EXPECT_EQ(GetModuleHandleW(nullptr), KX::GetModuleInstance());
    EXPECT_TRUE(sBoxes.empty());
    // The profile lives under the company name of the version block.
    EXPECT_STREQ(L"Ostrel Test/Labs", mfcApp.m_pszRegistryKey);
    // The objects of start-up are gone.
    EXPECT_FALSE(mfcApp.GetControlFactory());
    EXPECT_FALSE(mfcApp.GetStringTable());
    EXPECT_EQ(0, TestApplication::sLiveCount);
}

TEST_F(StartupTest, FrameworkWinMainKeepsAGivenLocaleAndEndsAFailedRunWithAReport)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    TestApplication::sStartupResult = E_FAIL;
    EXPECT_EQ(KX::kUncaughtExceptionExitCode,
              KX::FrameworkWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW, 0x0407));
    EXPECT_EQ(0x0407, mfcApp.GetLocaleId());
    EXPECT_TRUE(sBoxes.empty()); // a failure of the run shows no box
}

TEST_F(StartupTest, MissingDocumentsShowTheStartupErrorBoxAndEndInitApplication)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    mfcApp.m_hInstance = GetModuleHandleW(L"kernel32.dll"); // a module without the documents
    EXPECT_FALSE(mfcApp.InitApplication());
    ASSERT_EQ(1u, sBoxes.size());
    EXPECT_EQ(L"The application encountered problems during startup and will now close.", sBoxes[0].text);
    EXPECT_EQ(L"Error", sBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), sBoxes[0].type);
    mfcApp.ReleaseStartupObjects();
    AfxWinTerm();
}

// A start-up that fails before the run (here: a module without the
// documents) ends with the failure code, never a status answer; its error
// text goes to the standard error stream too when no box could show it.
TEST_F(StartupTest, AFailedStartUpEndsWithTheFailureCodeAndItsTextWhereABoxCannotShowIt)
{
    const struct
    {
        int boxAnswer;
        bool textOnStandardError;
    } cases[] = {{IDOK, false}, {0, true}};
    for (const auto& c : cases) {
        sBoxes.clear();
        sBoxAnswer = c.boxAnswer;
        KX::SetProgramExitCode(0);
        KX::MFCFrameworkApp<TestApplication> mfcApp;
        int exitCode = -1;
        const std::string error = TestScreen::StandardErrorOf([&]() {
            exitCode = KX::FrameworkWinMain(GetModuleHandleW(L"kernel32.dll"), nullptr, nullptr, SW_SHOW, -1);
        });
        EXPECT_EQ(KX::kStartupFailureExitCode, exitCode) << c.boxAnswer;
        EXPECT_EQ(1u, sBoxes.size()) << c.boxAnswer;
        EXPECT_EQ(c.textOnStandardError, error.find("problems during startup") != std::string::npos)
            << c.boxAnswer << ": " << error;
        EXPECT_EQ(0, TestApplication::sLiveCount);
    }
}

// The running instance's main window, as far as the hand-over needs it.
struct HandOver
{
    int messages = 0;
    WPARAM wParam = 0;
    ULONG_PTR data = 0;
    DWORD bytes = 0;
    std::string text;
};
HandOver* sHandOver = nullptr;

LRESULT CALLBACK FirstInstanceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && sHandOver) {
        const COPYDATASTRUCT* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        ++sHandOver->messages;
        sHandOver->wParam = wParam;
        sHandOver->data = record->dwData;
        sHandOver->bytes = record->cbData;
        sHandOver->text.assign(static_cast<const char*>(record->lpData));
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(StartupTest, SecondInstanceHandsItsCommandLineToTheFirstAndEnds)
{
    // This process is the first instance: it takes the mutex.
    {
        KX::MFCFrameworkApp<TestApplication> first;
        ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
        EXPECT_TRUE(first.InitApplication());
        first.ReleaseStartupObjects();
        AfxWinTerm();
    }
    // A second start while the first has no window goes on as a first instance.
    {
        KX::MFCFrameworkApp<TestApplication> second;
        ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
        EXPECT_TRUE(second.InitApplication());
        EXPECT_FALSE(second.IsFirstInstance());
        second.ReleaseStartupObjects();
        AfxWinTerm();
    }
    // With the first instance's main window: hand-over and end.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FirstInstanceProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = TestApplication::GetUniqueAppName().GetData();
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance); // an OS window's class of earlier tests
    ASSERT_TRUE(RegisterClassW(&windowClass));
    HWND mainWindow = CreateWindowW(windowClass.lpszClassName, L"first", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, mainWindow);
    HandOver handOver;
    sHandOver = &handOver;
    {
        KX::MFCFrameworkApp<TestApplication> second;
        ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
        EXPECT_FALSE(second.InitApplication());
        second.ReleaseStartupObjects();
        AfxWinTerm();
    }
    sHandOver = nullptr;
    DestroyWindow(mainWindow);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);

    const std::string expected = String(GetCommandLineW()).ToNarrow().GetData();
    EXPECT_EQ(1, handOver.messages);
    EXPECT_EQ(0x465u, handOver.wParam);
    EXPECT_EQ(0x465u, handOver.data);
    EXPECT_EQ(expected, handOver.text);
    EXPECT_EQ(expected.size() + 1, handOver.bytes);
    EXPECT_TRUE(sBoxes.empty());
}

} // namespace

namespace {

TEST_F(StartupTest, OleRefusedShowsTheStartupErrorBoxAndEndsInitInstance)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    BOOL initialized = TRUE;
    // A thread already in the multi-threaded apartment cannot take OLE.
    std::thread([&]() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        initialized = mfcApp.InitInstance();
        CoUninitialize();
    }).join();
    EXPECT_FALSE(initialized);
    ASSERT_EQ(1u, sBoxes.size());
    EXPECT_EQ(L"The application encountered problems during startup and will now close.", sBoxes[0].text);
    EXPECT_EQ(L"Error", sBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), sBoxes[0].type);
    EXPECT_EQ(nullptr, mfcApp.m_pszRegistryKey); // stopped before the profile
    AfxWinTerm();
}

TEST_F(StartupTest, WithTheDocumentsLoadedTheBoxUsesTheirTexts)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    ASSERT_TRUE(mfcApp.InitApplication());
    BOOL initialized = TRUE;
    std::thread([&]() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        initialized = mfcApp.InitInstance();
        CoUninitialize();
    }).join();
    EXPECT_FALSE(initialized);
    ASSERT_EQ(1u, sBoxes.size());
    EXPECT_EQ(L"Start-up failed in the test.", sBoxes[0].text);
    EXPECT_EQ(L"Test caption", sBoxes[0].caption);
    mfcApp.ReleaseStartupObjects();
    AfxWinTerm();
}

} // namespace

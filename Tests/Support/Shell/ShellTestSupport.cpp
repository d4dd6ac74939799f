#include "ShellTestSupport.h"

#include "Support/Windows/MessageLoop.h"
#include "Support/Windows/Programs.h"

#include <tlhelp32.h>

#include <cwchar>

void ShellTest::SetUp()
{
    sBoxes.clear();
    sBoxAnswer = IDOK;
    KX::SetStartupErrorBoxFunction(RecordBox);
    KX::SetProgramExitCode(0);
    TestApplication::sStartupResult = S_OK;
    TestApplication::sExitCodeToSet = -1;
    TestApplication::sShutdownCount = 0;
    TestApplication::sMainControlName = L"mainControl";
    TestApplication::sOnRunStart = nullptr;
    DrainQueue();
}

void ShellTest::TearDown()
{
    KX::SetStartupErrorBoxFunction(nullptr);
    DrainQueue();
    EXPECT_EQ(0, RunningCopiesStartedHere()) << "a started copy of the test program is left behind";
}

int ShellTest::RunningCopiesStartedHere()
{
    const std::wstring name = TestSystem::ProgramName() + L".exe";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        const wchar_t* entrySlash = std::wcsrchr(entry.szExeFile, L'\\');
        const wchar_t* entryName = entrySlash ? entrySlash + 1 : entry.szExeFile;
        if (entry.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(entryName, name.c_str()) == 0)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

void ShellTest::DrainQueue()
{
    TestScreen::DiscardMessages();
}

bool ShellTest::QuitMessageQueued()
{
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

KX::RCPtr<KX::LControlFactory> ShellTest::LoadedFactory()
{
    KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"Shell Tests");
    EXPECT_EQ(S_OK, factory->LoadResources(L"::", 0x0409));
    return factory;
}

KX::RCPtr<TestApplication> ShellTest::MakeApplication()
{
    KX::RCPtr<KX::LControlFactory> factory = LoadedFactory();
    KX::RCPtr<KX::LStringTable> strings;
    factory->GetFrameworkStringTable(strings);
    KX::RCPtr<TestApplication> app;
    TestApplication::Create(app, factory, strings, L"prog.exe -Option \"quoted text\"");
    return app;
}

int ShellTest::RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    sBoxes.push_back({text ? text : L"", caption ? caption : L"", type, owner});
    return sBoxAnswer;
}

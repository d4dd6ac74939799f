// What the shell tests share: a recorder in place of the start-up error box,
// a clean message queue and program-wide values, a control factory over the
// test program's own documents, and the check that no copy of the program
// that a test started outlives it.
#pragma once

#include "TestApplication.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>
#include <vector>

struct RecordedBox
{
    std::wstring text;
    std::wstring caption;
    UINT type;
    HWND owner;
};

class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
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
    void TearDown() override
    {
        KX::SetStartupErrorBoxFunction(nullptr);
        DrainQueue();
        EXPECT_EQ(0, RunningCopiesStartedHere()) << "a started copy of the test program is left behind";
    }

    // Copies of this program that this process started and that still run.
    static int RunningCopiesStartedHere()
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        const wchar_t* name = slash ? slash + 1 : path;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return -1;
        int count = 0;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            const wchar_t* entrySlash = std::wcsrchr(entry.szExeFile, L'\\');
            const wchar_t* entryName = entrySlash ? entrySlash + 1 : entry.szExeFile;
            if (entry.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(entryName, name) == 0)
                ++count;
        }
        CloseHandle(snapshot);
        return count;
    }

    static void DrainQueue()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    static bool QuitMessageQueued()
    {
        MSG message;
        return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }

    // A factory that loaded the test program's documents.
    static KX::RCPtr<KX::LControlFactory> LoadedFactory()
    {
        KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"Shell Tests");
        EXPECT_EQ(S_OK, factory->LoadResources(L"::", 0x0409));
        return factory;
    }

    static KX::RCPtr<TestApplication> MakeApplication()
    {
        KX::RCPtr<KX::LControlFactory> factory = LoadedFactory();
        KX::RCPtr<KX::LStringTable> strings;
        factory->GetFrameworkStringTable(strings);
        KX::RCPtr<TestApplication> app;
        TestApplication::Create(app, factory, strings, L"prog.exe -Option \"quoted text\"");
        return app;
    }

    static int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
    {
        sBoxes.push_back({text ? text : L"", caption ? caption : L"", type, owner});
        return sBoxAnswer;
    }

    static std::vector<RecordedBox> sBoxes;
    // What the recorded box answers: 0 is a box that could not be shown.
    static inline int sBoxAnswer = IDOK;
};

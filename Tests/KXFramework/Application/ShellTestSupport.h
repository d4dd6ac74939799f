// What the shell tests share: a recorder in place of the start-up error box,
// a clean message queue and program-wide values, and a control factory over
// the test program's own documents.
#pragma once

#include "TestApplication.h"

#include <gtest/gtest.h>

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
        return IDOK;
    }

    static std::vector<RecordedBox> sBoxes;
};

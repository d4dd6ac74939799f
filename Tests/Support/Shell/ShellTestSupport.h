// What the shell tests share: a recorder in place of the start-up error box,
// a clean message queue and program-wide values, a control factory over the
// test program's own documents, and the check that no copy of the program
// that a test started outlives it.
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
    void SetUp() override;
    void TearDown() override;

    // Copies of this program that this process started and that still run.
    static int RunningCopiesStartedHere();

    static void DrainQueue();
    static bool QuitMessageQueued();

    // A factory that loaded the test program's documents.
    static KX::RCPtr<KX::LControlFactory> LoadedFactory();
    // The test's application over such a factory, with a command line of
    // an option and a quoted text.
    static KX::RCPtr<TestApplication> MakeApplication();

    static int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

    // The boxes shown since the test began.
    static inline std::vector<RecordedBox> sBoxes;
    // What the recorded box answers: 0 is a box that could not be shown.
    static inline int sBoxAnswer = IDOK;
};

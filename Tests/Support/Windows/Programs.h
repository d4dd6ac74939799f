// The running test program and the programs it runs to their end: a peer
// program beside it, or the test program itself with one test chosen.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace TestSystem {

// The running program's file, its folder (ending in a backslash) and its
// name without the folder and the ".exe" ("ControlLooksTests").
std::wstring ProgramPath();
std::wstring ProgramFolder();
std::wstring ProgramName();

struct ChildOptions
{
    // How long the child may run before the test gives up waiting.
    DWORD timeoutMs = 60000;
    // Runs this thread's messages while the child runs: for a child that
    // talks to a window of this thread (a clipboard owner, say).
    bool pumpMessages = false;
    // Variables set while the child starts, so that it inherits them, and
    // removed again afterwards.
    std::vector<std::pair<std::wstring, std::wstring>> environment;
};

struct ChildRun
{
    bool started = false;
    bool ended = false;          // false when the time ran out
    DWORD exitCode = STILL_ACTIVE; // STILL_ACTIVE until it ended
};

// Runs the program with the arguments (its quoted path is the command
// line's first word) and waits for its end; the child is not ended when the
// time runs out.
ChildRun RunChild(const std::wstring& program, const std::wstring& arguments, const ChildOptions& options = {});

// The test program itself, with only the named test (a disabled one is run
// too: children's tests are disabled so that a normal run passes them over).
ChildRun RunOwnTest(const std::wstring& test, const ChildOptions& options);

} // namespace TestSystem

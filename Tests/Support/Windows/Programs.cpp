#include "Programs.h"

#include "MessageLoop.h"

namespace TestSystem {

std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder()
{
    const std::wstring path = ProgramPath();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring ProgramName()
{
    const std::wstring path = ProgramPath();
    const std::wstring file = path.substr(path.find_last_of(L"\\/") + 1);
    return file.substr(0, file.find_last_of(L'.'));
}

ChildRun RunChild(const std::wstring& program, const std::wstring& arguments, const ChildOptions& options)
{
    ChildRun run;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    for (const auto& variable : options.environment)
        SetEnvironmentVariableW(variable.first.c_str(), variable.second.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    run.started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != FALSE;
    for (const auto& variable : options.environment)
        SetEnvironmentVariableW(variable.first.c_str(), nullptr);
    if (!run.started)
        return run;
    const auto ended = [&]() { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; };
    if (options.pumpMessages)
        run.ended = TestScreen::PumpUntil(ended, options.timeoutMs);
    else
        run.ended = WaitForSingleObject(process.hProcess, options.timeoutMs) == WAIT_OBJECT_0;
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

ChildRun RunOwnTest(const std::wstring& test, const ChildOptions& options)
{
    return RunChild(ProgramPath(), L"--gtest_filter=" + test + L" --gtest_also_run_disabled_tests --gtest_color=no",
                    options);
}

} // namespace TestSystem

// launch.exe PROGRAM: runs PROGRAM with the command line in the environment
// variable KX_RUN_COMMAND_LINE taken whole, waits for it and ends with its
// exit code. scripts/run starts the updater through it, because Wine builds a
// program's command line from separate arguments and quotes them its own way:
// through launch.exe the program sees exactly what a user would type after
// its name on Windows, quotes and all.
// Exit codes of its own: 126 no program given, 127 the program did not start,
// 255 the program ended by an exception (an exit code of 0xC0000000 or more,
// which the shell would see cut to its low byte: 0xC0000005 as 5, a status
// answer of the updater); that code goes to standard error.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
// Exit codes from here up are exception codes (error severity), not a
// program's answer.
constexpr DWORD kFirstExceptionCode = 0xC0000000;
constexpr int kExceptionExitCode = 255;
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: launch.exe PROGRAM (arguments in KX_RUN_COMMAND_LINE)\n");
        return 126;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    wchar_t arguments[32768] = {};
    if (GetEnvironmentVariableW(L"KX_RUN_COMMAND_LINE", arguments, 32768) > 0 && arguments[0]) {
        commandLine += L" ";
        commandLine += arguments;
    }
    SetEnvironmentVariableW(L"KX_RUN_COMMAND_LINE", nullptr);

    // The program writes to our standard streams (its reports go there).
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle && handle != INVALID_HANDLE_VALUE)
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fwprintf(stderr, L"launch.exe: cannot start %ls (error %lu)\n", argv[1], GetLastError());
        return 127;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 127;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode >= kFirstExceptionCode) {
        std::fwprintf(stderr, L"launch.exe: %ls ended by exception 0x%08lX\n", argv[1], exitCode);
        return kExceptionExitCode;
    }
    return static_cast<int>(exitCode);
}

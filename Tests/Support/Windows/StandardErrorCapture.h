// What a piece of a test writes to the process's standard error stream:
// the stream is a pipe while the piece runs, then the one it was before.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace TestScreen {

// The bytes that `run` wrote to the standard error stream (up to the pipe's
// 64 KiB, which the reports of a start-up never reach).
inline std::string StandardErrorOf(const std::function<void()>& run)
{
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, nullptr, 1 << 16))
        return "(no pipe)";
    HANDLE previous = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, writer);
    run();
    SetStdHandle(STD_ERROR_HANDLE, previous);
    CloseHandle(writer);
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(reader);
    return text;
}

} // namespace TestScreen

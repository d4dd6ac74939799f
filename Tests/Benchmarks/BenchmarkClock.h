// The clocks the benchmarks measure with, in milliseconds: the wall clock
// (the performance counter) and the processor time of a process (kernel and
// user, all its threads).
#pragma once

#include <windows.h>

#include <cstdint>

namespace Benchmark {

inline double WallMilliseconds()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

// 0 when the process's times cannot be read.
inline double CpuMilliseconds(HANDLE process = GetCurrentProcess())
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0.0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace Benchmark

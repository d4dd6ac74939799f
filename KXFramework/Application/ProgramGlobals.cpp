#include "Application/ProgramGlobals.h"

#include <atomic>

namespace KX {

namespace {
std::atomic<int32_t> sExitCode{0};
HINSTANCE sModuleInstance = nullptr;
const wchar_t* sUniqueAppName = nullptr;
} // namespace

int32_t GetProgramExitCode()
{
    return sExitCode.load();
}

void SetProgramExitCode(int32_t exitCode)
{
    sExitCode.store(exitCode);
}

HINSTANCE GetModuleInstance()
{
    return sModuleInstance;
}

void SetModuleInstance(HINSTANCE instance)
{
    sModuleInstance = instance;
}

const wchar_t* GetUniqueAppNamePointer()
{
    return sUniqueAppName;
}

void SetUniqueAppNamePointer(const wchar_t* name)
{
    sUniqueAppName = name;
}

StringT<wchar_t, char> GetProgramFileFolder()
{
    // 521 characters: a long path still fits with its terminator.
    wchar_t path[521] = {};
    GetModuleFileNameW(nullptr, path, 521);
    StringT<wchar_t, char> folder(path);
    const int32_t slash = folder.ReverseFind('\\');
    return slash < 0 ? folder : folder.Left(slash);
}

} // namespace KX

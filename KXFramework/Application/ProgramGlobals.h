// The program-wide values of start-up: the exit code that the process ends
// with, the module whose resources are looked up, the unique application name,
// and the quit codes by which a start-up says that the run ends without a
// window.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

// 0 at start; the update processor may set it; the framework's WinMain
// returns it.
int32_t GetProgramExitCode();
void SetProgramExitCode(int32_t exitCode);

// The program file's instance handle, copied from the MFC application object
// at start-up (null until then).
HINSTANCE GetModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// The unique application name (null until start-up sets it).
const wchar_t* GetUniqueAppNamePointer();
void SetUniqueAppNamePointer(const wchar_t* name);

// The quit codes (IsQuitCode, ResultCodes.h) in the order start-up tests
// them.
constexpr KXRESULT kQuitCodes[] = {KXQUIT_UNATTENDED_DONE, KXQUIT_0, KXQUIT_1, KXQUIT_2, KXQUIT_10, KXQUIT_3};

// The folder of the running program file (without the last backslash).
StringT<wchar_t, char> GetProgramFileFolder();

} // namespace KX

// Result codes: signed 32-bit values in the Windows convention. Negative means
// failure; every test for failure is a test for a value below 0.
#pragma once

#include "KXPlatform.h"

#include <cstdint>
#include <string>

namespace KX {

using KXRESULT = HRESULT;

inline bool Failed(KXRESULT result) { return result < 0; }
inline bool Succeeded(KXRESULT result) { return result >= 0; }

// The application's own codes: the run is complete and ends without a window.
constexpr KXRESULT KXQUIT_0 = static_cast<KXRESULT>(0x8000A000);
constexpr KXRESULT KXQUIT_1 = static_cast<KXRESULT>(0x8000A001);
constexpr KXRESULT KXQUIT_2 = static_cast<KXRESULT>(0x8000A002);
constexpr KXRESULT KXQUIT_3 = static_cast<KXRESULT>(0x8000A003);
constexpr KXRESULT KXQUIT_10 = static_cast<KXRESULT>(0x8000A010);
constexpr KXRESULT KXQUIT_UNATTENDED_DONE = static_cast<KXRESULT>(0x8000A020);

inline bool IsQuitCode(KXRESULT result)
{
    return result == KXQUIT_0 || result == KXQUIT_1 || result == KXQUIT_2 || result == KXQUIT_3 ||
           result == KXQUIT_10 || result == KXQUIT_UNATTENDED_DONE;
}

// "KXRESULT = " and the 32-bit pattern in upper-case hexadecimal without leading
// zeros: E_FAIL gives "KXRESULT = 80004005", 0 gives "KXRESULT = 0".
std::string ResultCodeToString(KXRESULT result);

} // namespace KX

// Byte strings and times shared by the simulated device's parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tavik8Sim {

using Bytes = std::vector<uint8_t>;

// Microseconds on the device's clock. The model never reads a clock itself:
// every operation is given "now", so that tests drive time by hand and the
// running simulation uses wall-clock time shared by all processes (since
// 1970). The device's settings are in milliseconds; Micros converts them.
using TimeUs = int64_t;
constexpr TimeUs kNever = -1;
constexpr TimeUs kMicrosPerMilli = 1000;

constexpr TimeUs Micros(int64_t milliseconds)
{
    return milliseconds * kMicrosPerMilli;
}

// Upper-case hexadecimal pairs with separator between two of them: "F0 7E 7F"
// for " ", "F07E7F" for "".
std::string ToHexPairs(const Bytes& bytes, const char* separator);

// "F0 7E 7F": upper-case hexadecimal pairs separated by blanks.
std::string ToHexWords(const Bytes& bytes);

// The reverse of ToHexWords; blanks are optional, case is free. False when the
// text holds anything but hexadecimal pairs.
bool ParseHexWords(const std::string& text, Bytes& out);

// The value of one hexadecimal digit, or -1.
int HexDigitValue(char c);

} // namespace Tavik8Sim

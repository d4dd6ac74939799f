// Byte strings and times shared by the simulated device's parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tavik8Sim {

using Bytes = std::vector<uint8_t>;

// Milliseconds on the device's clock. The model never reads a clock itself:
// every operation is given "now", so that tests drive time by hand and the
// running simulation uses wall-clock time shared by all processes.
using TimeMs = int64_t;
constexpr TimeMs kNever = -1;

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

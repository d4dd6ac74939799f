#include "Model/Bytes.h"

#include <cstring>

namespace Tavik8Sim {

std::string ToHexPairs(const Bytes& bytes, const char* separator)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * (2 + std::strlen(separator)));
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            text += separator;
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

std::string ToHexWords(const Bytes& bytes)
{
    return ToHexPairs(bytes, " ");
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ParseHexWords(const std::string& text, Bytes& out)
{
    out.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == ',') {
            if (high >= 0)
                return false;
            continue;
        }
        int v = HexDigitValue(c);
        if (v < 0)
            return false;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return high < 0;
}

} // namespace Tavik8Sim

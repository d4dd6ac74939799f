#include "Model/Crc32.h"

#include <array>
#include <cstdio>

namespace Tavik8Sim {

namespace {

std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

} // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size)
{
    static const std::array<uint32_t, 256> table = MakeTable();
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string Crc32Text(uint32_t crc)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(crc));
    return text;
}

} // namespace Tavik8Sim

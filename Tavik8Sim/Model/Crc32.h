// CRC-32 as zlib's crc32() computes it (reflected polynomial 0xEDB88320,
// initial value and final XOR 0xFFFFFFFF), so that a device's report of the
// image it received can be compared with any other tool's checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Tavik8Sim {

// Continues the checksum `crc` (the result of an earlier call, 0 to start)
// over `size` more bytes, exactly like zlib's crc32(crc, data, size).
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size);

// The checksum as eight lower-case hexadecimal digits, as checksum tools print it.
std::string Crc32Text(uint32_t crc);

} // namespace Tavik8Sim

// Firmware files as the updater reads them: a text of hexadecimal digit pairs
// with no separators, one pair per byte, decoding into an image of records,
// each a big-endian 16-bit payload length L followed by L payload bytes.
#pragma once

#include "Model/Bytes.h"

#include <string>
#include <vector>

namespace Tavik8Sim {

// A valid firmware file of `records` records of `payloadSize` bytes each
// (payloadSize at most 65535), payload bytes from a generator seeded with
// `seed`, in upper-case digits, without a line end.
std::string MakeFirmwareText(int records, int payloadSize, uint32_t seed);

// Decodes firmware text into bytes, as the updater reads a firmware file:
// line ends (CR, LF) at the end of the text are not part of it, as an editor
// may add them; false for an odd length or any other character that is not a
// hexadecimal digit (either case).
bool DecodeFirmwareText(const std::string& text, Bytes& image);

// Upper-case digit pairs, no separators: the inverse of DecodeFirmwareText.
std::string EncodeFirmwareText(const Bytes& image);

// Splits an image into its records, each with its two length bytes; false
// when the last record runs past the end of the image.
bool SplitRecords(const Bytes& image, std::vector<Bytes>& records);

} // namespace Tavik8Sim

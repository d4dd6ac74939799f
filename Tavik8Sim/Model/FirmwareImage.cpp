#include "Model/FirmwareImage.h"

namespace Tavik8Sim {

std::string EncodeFirmwareText(const Bytes& image)
{
    return ToHexPairs(image, "");
}

std::string MakeFirmwareText(int records, int payloadSize, uint32_t seed)
{
    // xorshift32: any seed but 0 gives a full-period sequence.
    uint32_t x = seed ? seed : 0x9E3779B9u;
    Bytes image;
    image.reserve(static_cast<size_t>(records) * (payloadSize + 2));
    for (int r = 0; r < records; ++r) {
        image.push_back(static_cast<uint8_t>(payloadSize >> 8));
        image.push_back(static_cast<uint8_t>(payloadSize & 0xFF));
        for (int i = 0; i < payloadSize; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            image.push_back(static_cast<uint8_t>(x >> 24));
        }
    }
    return EncodeFirmwareText(image);
}

bool DecodeFirmwareText(const std::string& text, Bytes& image)
{
    image.clear();
    size_t length = text.size();
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
        --length;
    if (length % 2)
        return false;
    image.reserve(length / 2);
    for (size_t i = 0; i < length; i += 2) {
        int high = HexDigitValue(text[i]);
        int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        image.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool SplitRecords(const Bytes& image, std::vector<Bytes>& records)
{
    records.clear();
    size_t position = 0;
    while (position < image.size()) {
        if (image.size() - position < 2)
            return false;
        size_t length = (static_cast<size_t>(image[position]) << 8) | image[position + 1];
        if (image.size() - position - 2 < length)
            return false;
        records.emplace_back(image.begin() + position, image.begin() + position + 2 + length);
        position += 2 + length;
    }
    return true;
}

} // namespace Tavik8Sim

#include "Utilities/Storage/ConvertUTF.h"

namespace KX {

namespace {

constexpr uint32_t kSurrogateHighStart = 0xD800;
constexpr uint32_t kSurrogateHighEnd = 0xDBFF;
constexpr uint32_t kSurrogateLowStart = 0xDC00;
constexpr uint32_t kSurrogateLowEnd = 0xDFFF;
constexpr uint32_t kMaxBmp = 0xFFFF;
constexpr uint32_t kMaxUtf16 = 0x10FFFF;
constexpr uint32_t kReplacementChar = 0xFFFD;
constexpr int kHalfShift = 10;
constexpr uint32_t kHalfBase = 0x10000;
constexpr uint32_t kHalfMask = 0x3FF;

// Number of trailing bytes that follow each lead byte. Bytes 0x80-0xBF are not
// lead bytes; isLegalUTF8 rejects them. 0xF8-0xFF would start the five- and
// six-byte forms of the original definition, which are illegal as well.
constexpr unsigned char kTrailingBytesForUTF8[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

// Subtracted from the accumulated value to remove the marker bits of a
// sequence with that many trailing bytes.
constexpr uint32_t kOffsetsFromUTF8[6] = {0x00000000, 0x00003080, 0x000E2080,
                                          0x03C82080, 0xFA082080, 0x82082080};

// Marks the first byte of a sequence of each length.
constexpr UTF8 kFirstByteMark[7] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

} // namespace

ConversionResult ConvertUTF16toUTF8(const UTF16** sourceStart, const UTF16* sourceEnd, UTF8** targetStart,
                                    UTF8* targetEnd, ConversionFlags flags)
{
    ConversionResult result = ConversionOK;
    const UTF16* source = *sourceStart;
    UTF8* target = *targetStart;
    while (source < sourceEnd) {
        constexpr uint32_t byteMask = 0xBF;
        constexpr uint32_t byteMark = 0x80;
        const UTF16* oldSource = source; // back up here when the target is full
        uint32_t ch = static_cast<uint16_t>(*source++);
        if (ch >= kSurrogateHighStart && ch <= kSurrogateHighEnd) {
            if (source < sourceEnd) {
                const uint32_t ch2 = static_cast<uint16_t>(*source);
                if (ch2 >= kSurrogateLowStart && ch2 <= kSurrogateLowEnd) {
                    ch = ((ch - kSurrogateHighStart) << kHalfShift) + (ch2 - kSurrogateLowStart) + kHalfBase;
                    ++source;
                } else if (flags == StrictConversion) {
                    --source;
                    result = SourceIllegal;
                    break;
                }
            } else {
                // The pair may continue in the caller's next piece of text.
                --source;
                result = SourceExhausted;
                break;
            }
        } else if (flags == StrictConversion && ch >= kSurrogateLowStart && ch <= kSurrogateLowEnd) {
            --source;
            result = SourceIllegal;
            break;
        }

        int bytesToWrite = 0;
        if (ch < 0x80)
            bytesToWrite = 1;
        else if (ch < 0x800)
            bytesToWrite = 2;
        else if (ch < 0x10000)
            bytesToWrite = 3;
        else if (ch < 0x110000)
            bytesToWrite = 4;
        else {
            bytesToWrite = 3;
            ch = kReplacementChar;
        }

        if (targetEnd - target < bytesToWrite) {
            source = oldSource;
            result = TargetExhausted;
            break;
        }
        target += bytesToWrite;
        switch (bytesToWrite) { // everything falls through
        case 4:
            *--target = static_cast<UTF8>((ch | byteMark) & byteMask);
            ch >>= 6;
            [[fallthrough]];
        case 3:
            *--target = static_cast<UTF8>((ch | byteMark) & byteMask);
            ch >>= 6;
            [[fallthrough]];
        case 2:
            *--target = static_cast<UTF8>((ch | byteMark) & byteMask);
            ch >>= 6;
            [[fallthrough]];
        case 1:
            *--target = static_cast<UTF8>(ch | kFirstByteMark[bytesToWrite]);
        }
        target += bytesToWrite;
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

bool isLegalUTF8(const UTF8* source, int length)
{
    const UTF8* cursor = source + length;
    UTF8 a = 0;
    switch (length) {
    default:
        return false;
    // Everything falls through when legal.
    case 4:
        if ((a = *--cursor) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 3:
        if ((a = *--cursor) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 2:
        if ((a = *--cursor) > 0xBF)
            return false;
        switch (*source) {
        // No fall-through in this inner switch.
        case 0xE0:
            if (a < 0xA0)
                return false;
            break;
        case 0xED:
            if (a > 0x9F)
                return false;
            break;
        case 0xF0:
            if (a < 0x90)
                return false;
            break;
        case 0xF4:
            if (a > 0x8F)
                return false;
            break;
        default:
            if (a < 0x80)
                return false;
        }
        [[fallthrough]];
    case 1:
        if (*source >= 0x80 && *source < 0xC2)
            return false;
    }
    return *source <= 0xF4;
}

ConversionResult ConvertUTF8toUTF16(const UTF8** sourceStart, const UTF8* sourceEnd, UTF16** targetStart,
                                    UTF16* targetEnd, ConversionFlags flags)
{
    ConversionResult result = ConversionOK;
    const UTF8* source = *sourceStart;
    UTF16* target = *targetStart;
    while (source < sourceEnd) {
        const int extraBytesToRead = kTrailingBytesForUTF8[*source];
        if (extraBytesToRead >= sourceEnd - source) {
            result = SourceExhausted;
            break;
        }
        // Rejects overlong forms, surrogates, values above 0x10FFFF and the
        // five- and six-byte forms.
        if (!isLegalUTF8(source, extraBytesToRead + 1)) {
            result = SourceIllegal;
            break;
        }
        uint32_t ch = 0;
        switch (extraBytesToRead) { // everything falls through
        case 5:
            ch += *source++;
            ch <<= 6;
            [[fallthrough]];
        case 4:
            ch += *source++;
            ch <<= 6;
            [[fallthrough]];
        case 3:
            ch += *source++;
            ch <<= 6;
            [[fallthrough]];
        case 2:
            ch += *source++;
            ch <<= 6;
            [[fallthrough]];
        case 1:
            ch += *source++;
            ch <<= 6;
            [[fallthrough]];
        case 0:
            ch += *source++;
        }
        ch -= kOffsetsFromUTF8[extraBytesToRead];

        if (target >= targetEnd) {
            source -= (extraBytesToRead + 1);
            result = TargetExhausted;
            break;
        }
        if (ch <= kMaxBmp) {
            if (ch >= kSurrogateHighStart && ch <= kSurrogateLowEnd) {
                if (flags == StrictConversion) {
                    source -= (extraBytesToRead + 1);
                    result = SourceIllegal;
                    break;
                }
                *target++ = static_cast<UTF16>(kReplacementChar);
            } else {
                *target++ = static_cast<UTF16>(ch);
            }
        } else if (ch > kMaxUtf16) {
            if (flags == StrictConversion) {
                source -= (extraBytesToRead + 1);
                result = SourceIllegal;
                break;
            }
            *target++ = static_cast<UTF16>(kReplacementChar);
        } else {
            // A surrogate pair needs room for both units.
            if (targetEnd - target < 2) {
                source -= (extraBytesToRead + 1);
                result = TargetExhausted;
                break;
            }
            ch -= kHalfBase;
            *target++ = static_cast<UTF16>((ch >> kHalfShift) + kSurrogateHighStart);
            *target++ = static_cast<UTF16>((ch & kHalfMask) + kSurrogateLowStart);
        }
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

} // namespace KX

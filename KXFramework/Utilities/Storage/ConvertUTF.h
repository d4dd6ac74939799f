// Conversion between UTF-16 and UTF-8 after the Unicode Consortium's published
// reference code: its tables, its result codes and its strict and lenient
// modes. The framework string converts between its two instances with these.
//
// Contract:
// - Nothing is written before *targetStart or at or beyond targetEnd.
// - On return both start pointers stand after the last character converted;
//   after a non-zero result, at the character that failed, with everything
//   before it converted.
// - UTF-16 to UTF-8: a high surrogate that is the last unit of the source gives
//   SourceExhausted. An unpaired surrogate gives SourceIllegal in strict mode
//   and is encoded on its own (three bytes of its value) in lenient mode.
// - UTF-8 to UTF-16: a sequence that reaches the source end gives
//   SourceExhausted; a sequence isLegalUTF8 rejects gives SourceIllegal in
//   either mode; characters above 0xFFFF take a surrogate pair.
#pragma once

#include <cstdint>

namespace KX {

using UTF8 = unsigned char;
using UTF16 = wchar_t;
static_assert(sizeof(UTF16) == 2, "wide characters are UTF-16 code units on this platform");

enum ConversionResult : int32_t
{
    ConversionOK = 0,    // conversion complete
    SourceExhausted = 1, // the source ends in the middle of a character
    TargetExhausted = 2, // no room for the next character
    SourceIllegal = 3    // an ill-formed sequence
};

enum ConversionFlags : int32_t
{
    StrictConversion = 0,
    LenientConversion = 1
};

ConversionResult ConvertUTF16toUTF8(const UTF16** sourceStart, const UTF16* sourceEnd, UTF8** targetStart,
                                    UTF8* targetEnd, ConversionFlags flags);

ConversionResult ConvertUTF8toUTF16(const UTF8** sourceStart, const UTF8* sourceEnd, UTF16** targetStart,
                                    UTF16* targetEnd, ConversionFlags flags);

// True when the `length` bytes (1 to 4) at `source` form one well-formed UTF-8
// character; any other length is illegal.
bool isLegalUTF8(const UTF8* source, int length);

} // namespace KX

#include "Utilities/Storage/ConvertUTF.h"

#include <gtest/gtest.h>

#include <vector>

using namespace KX;

namespace {

struct Utf8Outcome
{
    ConversionResult result;
    std::vector<UTF8> bytes;
    size_t consumed; // source units read
};

struct Utf16Outcome
{
    ConversionResult result;
    std::wstring units;
    size_t consumed; // source bytes read
};

Utf8Outcome ToUtf8(const std::vector<uint16_t>& source, ConversionFlags flags, size_t room = 64)
{
    std::wstring text(source.begin(), source.end());
    // One guard byte after the target end shows that nothing is written there.
    std::vector<UTF8> target(room + 1, 0xCC);
    const UTF16* from = text.data();
    UTF8* to = target.data();
    const ConversionResult result = ConvertUTF16toUTF8(&from, text.data() + text.size(), &to, target.data() + room, flags);
    EXPECT_EQ(0xCC, target[room]);
    return {result, std::vector<UTF8>(target.data(), to), static_cast<size_t>(from - text.data())};
}

Utf16Outcome ToUtf16(const std::vector<UTF8>& source, ConversionFlags flags, size_t room = 64)
{
    std::wstring target(room + 1, static_cast<wchar_t>(0xCCCC));
    const UTF8* from = source.data();
    UTF16* to = &target[0];
    const ConversionResult result = ConvertUTF8toUTF16(&from, source.data() + source.size(), &to, &target[0] + room, flags);
    EXPECT_EQ(static_cast<wchar_t>(0xCCCC), target[room]);
    return {result, std::wstring(target.data(), to), static_cast<size_t>(from - source.data())};
}

} // namespace

TEST(ConvertUTFTest, RoundTripsOneTwoThreeAndFourByteCharacters)
{
    const std::vector<uint16_t> wide{0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00};
    const std::vector<UTF8> utf8{0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80};
    for (ConversionFlags flags : {StrictConversion, LenientConversion}) {
        const Utf8Outcome out = ToUtf8(wide, flags);
        EXPECT_EQ(ConversionOK, out.result);
        EXPECT_EQ(utf8, out.bytes);
        EXPECT_EQ(wide.size(), out.consumed);
        const Utf16Outcome back = ToUtf16(utf8, flags);
        EXPECT_EQ(ConversionOK, back.result);
        EXPECT_EQ(std::wstring(wide.begin(), wide.end()), back.units);
    }
    // The highest code point.
    const Utf16Outcome top = ToUtf16({0xF4, 0x8F, 0xBF, 0xBF}, StrictConversion);
    EXPECT_EQ(ConversionOK, top.result);
    EXPECT_EQ((std::wstring{static_cast<wchar_t>(0xDBFF), static_cast<wchar_t>(0xDFFF)}), top.units);
}

TEST(ConvertUTFTest, UnpairedSurrogatesAreEncodedOnTheirOwnOnlyInLenientMode)
{
    const Utf8Outcome lenientHigh = ToUtf8({0xD800, 'A'}, LenientConversion);
    EXPECT_EQ(ConversionOK, lenientHigh.result);
    EXPECT_EQ((std::vector<UTF8>{0xED, 0xA0, 0x80, 0x41}), lenientHigh.bytes);

    const Utf8Outcome strictHigh = ToUtf8({'x', 0xD800, 'A'}, StrictConversion);
    EXPECT_EQ(SourceIllegal, strictHigh.result);
    EXPECT_EQ((std::vector<UTF8>{'x'}), strictHigh.bytes);
    EXPECT_EQ(1u, strictHigh.consumed); // stands on the surrogate

    const Utf8Outcome lenientLow = ToUtf8({0xDC00}, LenientConversion);
    EXPECT_EQ(ConversionOK, lenientLow.result);
    EXPECT_EQ((std::vector<UTF8>{0xED, 0xB0, 0x80}), lenientLow.bytes);
    EXPECT_EQ(SourceIllegal, ToUtf8({0xDC00}, StrictConversion).result);

    // A high surrogate at the very end may be continued by more text.
    const Utf8Outcome last = ToUtf8({'a', 0xD800}, LenientConversion);
    EXPECT_EQ(SourceExhausted, last.result);
    EXPECT_EQ((std::vector<UTF8>{'a'}), last.bytes);
    EXPECT_EQ(1u, last.consumed);
    // Followed by the terminating NUL, as the string converts, it is encoded.
    const Utf8Outcome terminated = ToUtf8({'a', 0xD800, 0}, LenientConversion);
    EXPECT_EQ(ConversionOK, terminated.result);
    EXPECT_EQ((std::vector<UTF8>{'a', 0xED, 0xA0, 0x80, 0}), terminated.bytes);
}

TEST(ConvertUTFTest, IllFormedUtf8IsIllegalInBothModes)
{
    struct Case
    {
        std::vector<UTF8> bytes;
        ConversionResult expected;
        std::wstring converted;
    };
    const std::vector<Case> cases = {
        {{'a', 0xED, 0xA0, 0x80}, SourceIllegal, L"a"},            // an encoded surrogate
        {{0xC0, 0x80}, SourceIllegal, L""},                         // an overlong NUL
        {{0xE0, 0x80, 0x80}, SourceIllegal, L""},                   // overlong three-byte form
        {{0xF5, 0x80, 0x80, 0x80}, SourceIllegal, L""},             // above 0x10FFFF
        {{0xF4, 0x90, 0x80, 0x80}, SourceIllegal, L""},             // above 0x10FFFF
        {{0xFE, 0x80, 0x80, 0x80, 0x80, 0x80}, SourceIllegal, L""}, // six-byte form
        {{0xFE, 0x80, 0x80}, SourceExhausted, L""},                 // the form reaches the end
        {{0x80, 'a'}, SourceIllegal, L""},                          // a lone trail byte
        {{'a', 0xE2, 0x82}, SourceExhausted, L"a"},                 // cut at the end
        {{'a', 0xE2, 0x82, 0x00}, SourceIllegal, L"a"},             // NUL is no trail byte
    };
    for (const Case& c : cases) {
        for (ConversionFlags flags : {StrictConversion, LenientConversion}) {
            SCOPED_TRACE(::testing::Message() << "case " << (&c - cases.data()) << " flags " << flags);
            const Utf16Outcome out = ToUtf16(c.bytes, flags);
            EXPECT_EQ(c.expected, out.result);
            EXPECT_EQ(c.converted, out.units);
            EXPECT_EQ(c.converted.size(), out.consumed); // all converted text is ASCII
        }
    }
}

TEST(ConvertUTFTest, AFullTargetStopsBeforeTheCharacterThatDoesNotFit)
{
    const Utf8Outcome narrow = ToUtf8({'a', 0x20AC}, LenientConversion, 3);
    EXPECT_EQ(TargetExhausted, narrow.result);
    EXPECT_EQ((std::vector<UTF8>{'a'}), narrow.bytes);
    EXPECT_EQ(1u, narrow.consumed);

    // A surrogate pair needs two units; exactly two is enough.
    const std::vector<UTF8> emoji{0xF0, 0x9F, 0x98, 0x80};
    const Utf16Outcome oneUnit = ToUtf16(emoji, LenientConversion, 1);
    EXPECT_EQ(TargetExhausted, oneUnit.result);
    EXPECT_EQ(0u, oneUnit.consumed);
    EXPECT_EQ(ConversionOK, ToUtf16(emoji, LenientConversion, 2).result);
    EXPECT_EQ(TargetExhausted, ToUtf16({'a'}, LenientConversion, 0).result);
}

TEST(ConvertUTFTest, LegalityOfSingleSequences)
{
    const UTF8 ascii[] = {'a'};
    const UTF8 twoByte[] = {0xC2, 0x80};
    const UTF8 lowLead[] = {0xC1, 0xBF};
    const UTF8 badTrail[] = {0xE2, 0x82, 0x41};
    EXPECT_TRUE(isLegalUTF8(ascii, 1));
    EXPECT_TRUE(isLegalUTF8(twoByte, 2));
    EXPECT_FALSE(isLegalUTF8(lowLead, 2));
    EXPECT_FALSE(isLegalUTF8(badTrail, 3));
    EXPECT_FALSE(isLegalUTF8(ascii, 0));
    EXPECT_FALSE(isLegalUTF8(ascii, 5));
}

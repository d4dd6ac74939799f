#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace KX;

namespace {

using WString = StringT<wchar_t, char>;
using NString = StringT<char, wchar_t>;

bool SameBuffer(const WString& a, const WString& b)
{
    return a.GetBuffer() == b.GetBuffer();
}

// The bytes of the buffer, NULs and all, as a wide text.
std::wstring BufferUnits(const WString& s)
{
    return std::wstring(s.GetData(), s.GetBuffer()->GetSize() / sizeof(wchar_t));
}

std::vector<unsigned char> Bytes(const NString& s)
{
    const auto* data = reinterpret_cast<const unsigned char*>(s.GetData());
    return std::vector<unsigned char>(data, data + s.GetLength());
}

} // namespace

TEST(StringTest, EmptyResultsShareOneBufferButTheNulCharacterMakesItsOwn)
{
    const WString defaulted;
    WString emptied(L"text");
    emptied.Empty();
    const WString mid = WString(L"abc").Mid(10, 2);
    const WString assigned(L"");
    EXPECT_TRUE(SameBuffer(defaulted, emptied));
    EXPECT_TRUE(SameBuffer(defaulted, mid));
    EXPECT_TRUE(SameBuffer(defaulted, assigned));
    EXPECT_TRUE(SameBuffer(defaulted, WString::sEmpty));
    EXPECT_EQ(2u, defaulted.GetBuffer()->GetSize());
    EXPECT_EQ(0, defaulted.GetLength());

    const WString nul(L'\0');
    EXPECT_TRUE(nul.IsEmpty());
    EXPECT_EQ(0, nul.GetLength());
    EXPECT_FALSE(SameBuffer(defaulted, nul));
    EXPECT_EQ(nul, defaulted);

    const WString one(L'x');
    EXPECT_EQ(1, one.GetLength());
    EXPECT_EQ(std::wstring(L"x", 2), BufferUnits(one));
}

TEST(StringTest, CopiesShareTheBufferUntilOneSideChanges)
{
    const WString original(L"abc");
    WString copy(original);
    EXPECT_TRUE(SameBuffer(original, copy));
    EXPECT_EQ(2, original.GetBuffer()->GetRefCount());

    copy.Append(WString(L"de"));
    EXPECT_EQ(L"abc", original);
    EXPECT_EQ(1, original.GetBuffer()->GetRefCount());
    EXPECT_EQ(L"abcde", copy);
    EXPECT_FALSE(SameBuffer(original, copy));
    EXPECT_EQ(12u, copy.GetBuffer()->GetSize()); // exactly length + 1 characters
    EXPECT_TRUE(copy.GetBuffer()->IsShareable());

    WString assigned;
    assigned = original;
    EXPECT_TRUE(SameBuffer(original, assigned));
    assigned = assigned;
    EXPECT_EQ(L"abc", assigned);
}

TEST(StringTest, AppendingOrInsertingAStringIntoItself)
{
    WString s(L"ab");
    s.Append(s);
    EXPECT_EQ(L"abab", s);
    s.Append(s); // private buffer now: grows in place
    EXPECT_EQ(L"abababab", s);

    WString t(L"xy");
    EXPECT_EQ(S_OK, t.Insert(1, t));
    EXPECT_EQ(L"xxyy", t);
    EXPECT_EQ(S_OK, t.Insert(4, t));
    EXPECT_EQ(L"xxyyxxyy", t);
    EXPECT_EQ(S_OK, t.Insert(0, t));
    EXPECT_EQ(16, t.GetLength());

    WString shared(L"12");
    WString other(shared);
    shared.Append(other);
    EXPECT_EQ(L"1212", shared);
    EXPECT_EQ(L"12", other);

    WString locked(L"ab");
    locked.Lock(0);
    locked.Append(locked);
    EXPECT_EQ(L"abab", locked);
    EXPECT_EQ(0, locked.Unlock());
    EXPECT_EQ(L"abab", locked);
}

TEST(StringTest, RemoveTakesARangeOutOrRefusesOneOutsideTheText)
{
    struct Case
    {
        int32_t index;
        int32_t count;
        bool result;
        const wchar_t* expected;
    };
    for (const Case& c : {Case{0, 1, true, L"bcdef"}, Case{2, 2, true, L"abef"}, Case{4, 2, true, L"abcd"},
                          Case{0, 6, true, L"" }, Case{3, 0, true, L"abcdef"}, Case{5, 2, false, L"abcdef"},
                          Case{6, 0, false, L"abcdef"}, Case{-1, 1, false, L"abcdef"},
                          Case{1, -1, false, L"abcdef"}, Case{1, 0x7FFFFFFF, false, L"abcdef"}}) {
        WString s(L"abcdef");
        EXPECT_EQ(c.result, s.Remove(c.index, c.count)) << c.index << "," << c.count;
        EXPECT_EQ(c.expected, s) << c.index << "," << c.count;
    }
    WString empty;
    EXPECT_FALSE(empty.Remove(0, 0));

    // A copy that shares the buffer keeps its text.
    WString original(L"abc");
    WString copy(original);
    EXPECT_TRUE(copy.Remove(1, 1));
    EXPECT_EQ(L"ac", copy);
    EXPECT_EQ(L"abc", original);

    WString locked(L"xyz");
    locked.Lock(8);
    EXPECT_TRUE(locked.Remove(0, 2));
    EXPECT_EQ(L"z", locked);
    EXPECT_EQ(0, locked.Unlock());
    EXPECT_EQ(L"z", locked);
}

TEST(StringTest, InsertAtEachPlaceAndBeyondTheEnd)
{
    struct Case
    {
        int32_t index;
        KXRESULT result;
        const wchar_t* expected;
    };
    for (const Case& c : {Case{3, S_OK, L"abcX"}, Case{0, S_OK, L"Xabc"}, Case{1, S_OK, L"aXbc"},
                          Case{4, E_INVALIDARG, L"abc"}, Case{-1, E_INVALIDARG, L"abc"}}) {
        WString s(L"abc");
        EXPECT_EQ(c.result, s.Insert(c.index, WString(L"X"))) << c.index;
        EXPECT_EQ(c.expected, s) << c.index;
    }
    WString s(L"ac");
    EXPECT_EQ(S_OK, s.Insert(1, L"bzz", 1));
    EXPECT_EQ(L"abc", s);
    EXPECT_EQ(S_OK, s.Insert(3, L"de", -1)); // unsigned: beyond every length
    EXPECT_EQ(L"abcde", s);
    s += L'f';
    s.Append(L'\0'); // NUL appends nothing
    EXPECT_EQ(L"abcdef", s);
    EXPECT_EQ(L"abcdef!", s + WString(L"!"));
}

TEST(StringTest, MidClipsItsStartAndCount)
{
    struct Case
    {
        const wchar_t* text;
        int32_t start;
        int32_t count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abcde", 1, 2, L"bc"},  {L"abcde", 3, 10, L"de"}, {L"abcde", -2, 2, L"de"}, {L"abcde", 2, -1, L"cde"},
        {L"abc", -5, 1, L"abc"},  {L"abc", -4, 1, L""},     {L"abc", 3, 1, L""},      {L"abc", 0, 0, L""},
        {L"", 0, 5, L""},         {L"abc", 0x7FFFFFFF, 1, L""},
        {L"abc", -0x7FFFFFFF, -0x7FFFFFFF, L"abc"}, // the count stays negative: to the end
    };
    for (const Case& c : cases) {
        const WString result = WString(c.text).Mid(c.start, c.count);
        EXPECT_EQ(c.expected, result) << c.text << " " << c.start << " " << c.count;
        EXPECT_EQ((result.GetLength() + 1) * 2u, result.GetBuffer()->GetSize());
    }
    const WString abc(L"abc");
    EXPECT_EQ(L"abc", abc.Right(5));
    EXPECT_EQ(L"bc", abc.Right(2));
    EXPECT_EQ(L"", abc.Left(0));
    EXPECT_EQ(L"ab", abc.Left(2));
    EXPECT_EQ(L"bc", abc.Mid(1));
    EXPECT_EQ(L"c", abc.Mid(-1));
}

TEST(StringTest, LockGivesAPrivateWritableBufferAndUnlockShrinksIt)
{
    WString s(L"abc");
    const WString sharer(s);
    wchar_t* data = s.Lock(0);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(std::wstring(L"abc", 4), std::wstring(data, 4));
    EXPECT_EQ(nullptr, s.Lock(0));
    EXPECT_TRUE(s.IsLocked());
    EXPECT_EQ(L"abc", sharer); // the copy was taken before writing
    std::wcscpy(data, L"xy");
    EXPECT_EQ(2, s.GetLength());
    EXPECT_EQ(0, s.Unlock());
    EXPECT_EQ(1, s.Unlock());
    EXPECT_EQ(L"xy", s);
    EXPECT_EQ(6u, s.GetBuffer()->GetSize());
    EXPECT_TRUE(s.GetBuffer()->IsShareable());

    // Shared: a private copy of 10 characters, zero beyond the text.
    WString shared(L"abc");
    const WString other(shared);
    data = shared.Lock(10);
    EXPECT_EQ(std::wstring(L"abc\0\0\0\0\0\0\0", 10), std::wstring(data, 10));
    EXPECT_EQ(20u, shared.GetBuffer()->GetSize());
    // Not shared: enlarged in place; the old NUL and the last unit are NUL.
    WString alone(L"abc");
    data = alone.Lock(10);
    EXPECT_EQ(L'\0', data[3]);
    EXPECT_EQ(L'\0', data[9]);
    EXPECT_EQ(3, alone.GetLength());

    // A copy of a locked string gets its own exact buffer.
    const WString copied(alone);
    EXPECT_FALSE(SameBuffer(copied, alone));
    EXPECT_EQ(8u, copied.GetBuffer()->GetSize());

    // Nothing left: the empty buffer.
    data[0] = 0;
    EXPECT_EQ(0, alone.Unlock());
    EXPECT_TRUE(SameBuffer(alone, WString()));

    EXPECT_EQ(nullptr, WString(L"a").Lock(-1));
}

TEST(StringTest, UnlockTerminatesATextThatFillsTheWholeBuffer)
{
    WString s;
    wchar_t* data = s.Lock(3);
    data[0] = L'a';
    data[1] = L'b';
    data[2] = L'c'; // overwrites the NUL Lock put there
    EXPECT_EQ(3, s.GetLength());
    EXPECT_EQ(0, s.Unlock());
    EXPECT_EQ(L"abc", s);
    EXPECT_EQ(L'\0', s.GetData()[3]);
}

TEST(StringTest, ReplacingTheTextOfALockedStringWritesIntoItsBufferAndGrowsIt)
{
    WString s(L"ab");
    s.Lock(4);
    const LIBuffer* buffer = s.GetBuffer();
    s = WString(L"xyz");
    EXPECT_EQ(buffer, s.GetBuffer());
    EXPECT_EQ(L"xyz", s);

    // Longer than the locked buffer: it grows rather than overruns.
    s = WString(L"a much longer text than four characters");
    EXPECT_TRUE(s.IsLocked());
    EXPECT_EQ(L"a much longer text than four characters", s);
    EXPECT_GE(s.GetBuffer()->GetSize(), 80u);

    // Assigning a part of its own text.
    s.Assign(s.GetData() + 2, 4);
    EXPECT_EQ(L"much", s);
    s.Assign("gr\xC3\xBC\xC3\x9F"); // UTF-8 into the locked buffer
    EXPECT_EQ(L"gr\u00FC\u00DF", s);
    EXPECT_EQ(S_OK, s.Insert(2, WString(L"--")));
    EXPECT_EQ(L"gr--\u00FC\u00DF", s);
    // Appending keeps the room the lock asked for and grows beyond it.
    WString roomy(L"abc");
    roomy.Lock(10);
    roomy.Append(WString(L"de"));
    EXPECT_EQ(L"abcde", roomy);
    EXPECT_EQ(20u, roomy.GetBuffer()->GetSize());
    roomy.Append(WString(L"fghijk"));
    EXPECT_EQ(L"abcdefghijk", roomy);
    EXPECT_EQ(24u, roomy.GetBuffer()->GetSize());

    s.Empty();
    EXPECT_TRUE(s.IsLocked());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.Unlock());
    EXPECT_TRUE(SameBuffer(s, WString()));
}

TEST(StringTest, TrimLeftKeepsATextOfOnlyBlanksTrimRightEmptiesIt)
{
    EXPECT_EQ(L"a ", WString(L"  a ").TrimLeft());
    EXPECT_EQ(L"   ", WString(L"   ").TrimLeft());
    EXPECT_EQ(L"", WString(L"   ").TrimRight());
    EXPECT_EQ(L"  a", WString(L"  a \r\n").TrimRight());
    EXPECT_EQ(L"a b", WString(L" \t a b \r\n").Trim());
    EXPECT_EQ(L"", WString(L"   ").Trim());
    EXPECT_EQ(L"", WString().Trim());
    EXPECT_EQ(L"b", WString(L"xyxbyx").TrimLeft(L"xy").TrimRight(L"yx"));
    const WString untouched(L"abc");
    EXPECT_TRUE(SameBuffer(untouched, untouched.Trim()));
}

TEST(StringTest, ComparisonsByCodeUnit)
{
    const WString empty;
    const WString ab(L"ab");
    EXPECT_TRUE(empty == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(empty == static_cast<const char*>(nullptr));
    EXPECT_TRUE(empty == nullptr);
    EXPECT_FALSE(ab == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(empty == L"");
    EXPECT_TRUE(ab == L"ab");
    EXPECT_FALSE(ab == L"abc");
    EXPECT_FALSE(ab == L"a");
    EXPECT_TRUE(ab == "ab");
    EXPECT_TRUE(ab != "aB");
    EXPECT_TRUE(L"ab" == ab);
    EXPECT_TRUE(WString(L"\u00E9") == "\xC3\xA9");

    EXPECT_TRUE(ab < WString(L"abc"));
    EXPECT_TRUE(WString(L"abc") < WString(L"b"));
    EXPECT_FALSE(ab < ab);
    EXPECT_FALSE(WString(L"b") < ab);
    EXPECT_TRUE(empty < ab);
    // Unsigned units: a unit above 0x7FFF sorts after ASCII.
    EXPECT_TRUE(WString(L"z") < WString(L"\u00E9"));
    EXPECT_TRUE(NString("z") < NString("\xC3\xA9"));
}

TEST(StringTest, SearchesAnswerIndicesOrMinusOne)
{
    const WString s(L"abcabc");
    EXPECT_EQ(1, s.Find(WString(L"bc")));
    EXPECT_EQ(4, s.Find(WString(L"bc"), 2));
    EXPECT_EQ(-1, s.Find(WString(L"cb")));
    EXPECT_EQ(0, s.Find(WString()));
    EXPECT_EQ(2, s.Find('c'));
    EXPECT_EQ(5, s.Find('c', 3));
    EXPECT_EQ(-1, s.Find('c', 6));
    EXPECT_EQ(-1, s.Find('x'));
    EXPECT_EQ(5, s.ReverseFind('c'));
    EXPECT_EQ(-1, s.ReverseFind('x'));
    EXPECT_EQ(-1, WString(L"\u00E9").Find('\xE9')); // no UTF-8 text on its own

    const NString n("path/to/file");
    EXPECT_EQ(4, n.Find(NString("/")));
    EXPECT_EQ(7, n.Find(NString("/"), 5));
    EXPECT_EQ(7, n.ReverseFind('/'));
}

TEST(StringTest, CaseNumbersAndReplacement)
{
    EXPECT_EQ(L"ABC-1", WString(L"aBc-1").ToUpper());
    EXPECT_EQ(L"abc-1", WString(L"aBc-1").ToLower());
    EXPECT_EQ("ABC", NString("abc").ToUpper());
    EXPECT_EQ(42, WString(L" 42abc").ToInt());
    EXPECT_EQ(-7, WString(L"-7").ToInt());
    EXPECT_DOUBLE_EQ(2.5, WString(L"2.5").AsDouble());

    WString path(L"a/b\\c:d");
    path.ReplaceAny(L"/\\:", L'_');
    EXPECT_EQ(L"a_b_c_d", path);
    path.ReplaceAny(L"_", L'\0');
    EXPECT_EQ(L"a_b_c_d", path);
}

TEST(StringTest, FormatFollowsTheWideRulesOfTheRunTime)
{
    EXPECT_EQ(L"abc", WString::CreateFormatted(L"%s", L"abc"));
    WString s;
    EXPECT_EQ(L"x=5 y=abc 1.50", s.Format(L"x=%d y=%s %.2f", 5, L"abc", 1.5));
    EXPECT_EQ("n=3 t", NString::CreateFormatted("n=%d %s", 3, "t"));

    // A result beyond the buffer is cut, never written past it.
    const std::wstring longText(20000, L'q');
    const WString cut = WString::CreateFormatted(L"%s", longText.c_str());
    EXPECT_EQ(WString::kFormatBufferSize - 1, cut.GetLength());
    EXPECT_EQ(L'q', cut.GetAt(cut.GetLength() - 1));
}

TEST(StringTest, FixedPointAndDoubleTexts)
{
    struct Case
    {
        int32_t value;
        int32_t decimals;
        const wchar_t* expected;
    };
    for (const Case& c : {Case{1234, 2, L"12.34"}, Case{5, 2, L".05"}, Case{7, 0, L"7"}, Case{7, -1, L"7"},
                          Case{123, 3, L".123"}, Case{0, 1, L".0"}, Case{-1234, 2, L"-12.34"},
                          Case{-5, 2, L"-.05"}, Case{-2147483647 - 1, 0, L"-2147483648"}}) {
        EXPECT_EQ(c.expected, WString::FormatFixedPoint(c.value, c.decimals)) << c.value << " " << c.decimals;
    }
    EXPECT_EQ(L"2.50", WString::FormatDouble(2.5, 2));
    EXPECT_EQ(L"1.500000", WString::FormatDouble(1.5, -1));
    EXPECT_EQ(L"3", WString::FormatDouble(2.5001, 0).Left(1));
}

TEST(StringConversionTest, WideAndUtf8TextsConvertBothWays)
{
    const wchar_t wide[] = {0xE9, 0x20AC, 0xD83D, 0xDE00, 0};
    const NString narrow{WString(wide)};
    EXPECT_EQ((std::vector<unsigned char>{0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}), Bytes(narrow));
    EXPECT_EQ(10u, narrow.GetBuffer()->GetSize());
    const WString back(narrow);
    EXPECT_EQ(wide, back);
    EXPECT_EQ(4, back.GetLength());
    EXPECT_EQ(wide, back.ToNarrow().ToWide());
    EXPECT_EQ(L"abc", WString("abc"));
    EXPECT_EQ(L"ab", WString().Assign("abc", 2));
}

TEST(StringConversionTest, UnpairedSurrogatesSurviveIllFormedUtf8CutsTheText)
{
    const wchar_t lone[] = {'a', 0xD800, 'b', 0xDC00, 0xD800, 0};
    EXPECT_EQ((std::vector<unsigned char>{'a', 0xED, 0xA0, 0x80, 'b', 0xED, 0xB0, 0x80, 0xED, 0xA0, 0x80}),
              Bytes(NString(lone)));

    struct Case
    {
        const char* utf8;
        const wchar_t* kept;
    };
    for (const Case& c : {Case{"ab\xC0\x80" "cd", L"ab"}, Case{"a\xE2\x82", L"a"}, Case{"x\xED\xA0\x80", L"x"},
                          Case{"\xF5\x80\x80\x80", L""}, Case{"ok\xFE\x80", L"ok"}}) {
        const WString converted(c.utf8);
        EXPECT_EQ(c.kept, converted) << c.utf8;
        EXPECT_EQ((converted.GetLength() + 1) * 2u, converted.GetBuffer()->GetSize());
    }
    EXPECT_TRUE(SameBuffer(WString("\xC0\x80"), WString()));

    RCPtr<LIBuffer> buffer;
    EXPECT_EQ(E_FAIL, WString::AssignConverted(buffer, "ab\xFF", -1));
    EXPECT_EQ(S_OK, WString::AssignConverted(buffer, "abc", -1));
    EXPECT_EQ(8u, buffer->GetSize());
    EXPECT_EQ(S_OK, WString::AssignConverted(buffer, "abcdef", 3)); // NUL not included: exact
    EXPECT_EQ(std::wstring(L"abc"), static_cast<const wchar_t*>(buffer->GetData()));
    // A text cut inside a sequence is exhausted, not complete.
    EXPECT_EQ(E_FAIL, WString::AssignConverted(buffer, "a\xC3\xA9", 2));
    RCPtr<LIBuffer> narrowBuffer;
    const wchar_t pair[] = {0xD83D, 0xDE00, 0};
    EXPECT_EQ(S_OK, NString::AssignConverted(narrowBuffer, pair, -1));
    EXPECT_EQ(5u, narrowBuffer->GetSize());
    EXPECT_EQ(S_OK, NString::AssignConverted(narrowBuffer, nullptr, -1));
    EXPECT_EQ(NString().GetBuffer(), narrowBuffer.Get());
}

TEST(StringConversionTest, TheUtf8TargetHasRoomForThreeBytesPerUnit)
{
    // 3000 units of three bytes each: any target below 3 bytes per unit would
    // run short.
    const std::wstring text(3000, static_cast<wchar_t>(0x20AC));
    const NString narrow(text.c_str());
    EXPECT_EQ(9000, narrow.GetLength());
    EXPECT_EQ(text.c_str(), WString(narrow));
}

TEST(NarrowStringTest, SubstringsAndAssignmentByByte)
{
    const NString s("abcde");
    EXPECT_EQ("bc", s.Mid(1, 2));
    EXPECT_EQ("de", s.Right(2));
    EXPECT_EQ("ab", s.Left(2));
    EXPECT_EQ("cde", s.Mid(2));
    EXPECT_EQ(5, s.GetLength());
    NString t;
    t.Assign("abcdef", 3);
    EXPECT_EQ("abc", t);
    EXPECT_TRUE(t == L"abc");
    EXPECT_TRUE(NString("\xC3\xA9") == L"\u00E9");
    EXPECT_TRUE(NString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(NString().GetBuffer(), NString::sEmpty.GetBuffer());
}

TEST(StringThreadTest, StringsSharingABufferChangeIndependentlyOnTheirOwnThreads)
{
    const WString original(L"shared");
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&original, &wrong, t] {
            for (int i = 0; i < 2000; ++i) {
                WString copy(original);
                copy.Append(L'!');
                if (copy != L"shared!" || original != L"shared")
                    ++wrong[static_cast<size_t>(t)];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(std::vector<int>(4, 0), wrong);
    EXPECT_EQ(1, original.GetBuffer()->GetRefCount());
}

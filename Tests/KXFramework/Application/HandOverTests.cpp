// What the running instance reads from a second instance's WM_COPYDATA
// record: only records of the hand-over, never past their byte count.
#include "Application/CommandLineHandOver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using String = KX::StringT<wchar_t, char>;

COPYDATASTRUCT Record(ULONG_PTR id, const void* data, DWORD bytes)
{
    COPYDATASTRUCT record{};
    record.dwData = id;
    record.cbData = bytes;
    record.lpData = const_cast<void*>(data);
    return record;
}

TEST(HandOverTest, ReadsTheUtf8TextUpToItsNulAndNeverPastTheByteCount)
{
    const char text[] = "prog.exe -SILENT \xC3\xA9t\xC3\xA9"; // "été" in UTF-8
    struct Case
    {
        DWORD bytes;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {sizeof(text), L"prog.exe -SILENT \u00E9t\u00E9"},     // the sender's count: text and NUL
        {8, L"prog.exe"},                                       // no NUL within the count
        {0, L""},                                               // nothing to read
        {sizeof(text) + 40, L"prog.exe -SILENT \u00E9t\u00E9"}, // stops at the NUL
    };
    for (const Case& c : cases) {
        char buffer[sizeof(text) + 40];
        memset(buffer, 'x', sizeof(buffer));
        memcpy(buffer, text, sizeof(text));
        const COPYDATASTRUCT record = Record(KX::kCommandLineHandOver, buffer, c.bytes);
        String read(L"before");
        EXPECT_TRUE(KX::ReadCommandLineHandOver(&record, read)) << c.bytes;
        EXPECT_EQ(String(c.expected), read) << c.bytes;
    }

    // A text that fills its count exactly, with no NUL anywhere after it.
    const char unterminated[5] = {'a', 'b', 'c', 'd', 'e'};
    const COPYDATASTRUCT exact = Record(KX::kCommandLineHandOver, unterminated, 5);
    String read;
    EXPECT_TRUE(KX::ReadCommandLineHandOver(&exact, read));
    EXPECT_EQ(String(L"abcde"), read);
}

TEST(HandOverTest, OtherRecordsAndRecordsWithoutDataAreNoHandOver)
{
    const char text[] = "prog.exe";
    const COPYDATASTRUCT other = Record(0x466, text, sizeof(text));
    const COPYDATASTRUCT noData = Record(KX::kCommandLineHandOver, nullptr, 100);
    String read(L"before");
    EXPECT_FALSE(KX::ReadCommandLineHandOver(&other, read));
    EXPECT_TRUE(read.IsEmpty());
    EXPECT_FALSE(KX::ReadCommandLineHandOver(&noData, read));
    EXPECT_FALSE(KX::ReadCommandLineHandOver(nullptr, read));
}

} // namespace

// The exports of IniFileManager.dll, called through pointers looked up by name.
#include "IniFileFixture.h"

#include <climits>
#include <thread>
#include <vector>

using namespace IniFileTest;

namespace {

// Exactly size bytes of mixed one-, two- and three-byte UTF-8 characters.
std::string TextOfSize(size_t size)
{
    const std::string pattern = "abc-\xC3\xA9-\xE2\x82\xAC-"; // "abc-é-€-"
    std::string text;
    while (text.size() + pattern.size() <= size)
        text += pattern;
    text.append(size - text.size(), 'z');
    return text;
}

using IniFileManagerTest = IniFileFixture;

TEST_F(IniFileManagerTest, AllFifteenExportsAreFoundByName)
{
    EXPECT_TRUE(lib.AllExportsFound());
}

TEST_F(IniFileManagerTest, IntegersRoundTripThroughTheFile)
{
    const int32_t values[] = {0, 1, -1, 42, INT32_MAX, INT32_MIN};
    for (size_t i = 0; i < std::size(values); ++i) {
        const std::string key = "Numbers/N" + std::to_string(i);
        ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, key.c_str(), values[i])) << key;
        int32_t value = 0;
        EXPECT_EQ(S_OK, lib.GetInt(handle, key.c_str(), 7, value)) << key;
        EXPECT_EQ(values[i], value) << key;
    }
    Reload();
    for (size_t i = 0; i < std::size(values); ++i) {
        const std::string key = "Numbers/N" + std::to_string(i);
        int32_t value = 0;
        EXPECT_EQ(S_OK, lib.GetInt(handle, key.c_str(), 7, value)) << key;
        EXPECT_EQ(values[i], value) << key;
    }
}

TEST_F(IniFileManagerTest, TextsRoundTripThroughTheFile)
{
    const std::string texts[] = {
        "",
        "plain",
        "  blanks around  ",
        " ",
        "C:\\new\\temp\\file.led",
        "\\",
        "\\n is not a line break, \\s not a blank",
        "line 1\nline 2\r\nline 3\r",
        "\ttab first, tab last\t",
        "a=b; c#d [section] e",
        "; looks like a comment",
        "[looks like a header]",
        "\xC3\xBC\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x8E\xB9", // "ü€中" and a four-byte character
        "not UTF-8: \xFF\xFE\x80",
    };
    for (size_t i = 0; i < std::size(texts); ++i) {
        const std::string key = "Texts/T" + std::to_string(i);
        ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, key.c_str(), texts[i].c_str())) << key;
        const auto read = lib.GetStr(handle, key.c_str(), "default");
        EXPECT_EQ(S_OK, read.result) << key;
        EXPECT_EQ(texts[i], read.text) << key;
    }
    Reload();
    for (size_t i = 0; i < std::size(texts); ++i) {
        const std::string key = "Texts/T" + std::to_string(i);
        const auto read = lib.GetStr(handle, key.c_str(), "default");
        EXPECT_EQ(S_OK, read.result) << key;
        EXPECT_EQ(texts[i], read.text) << key;
    }
}

TEST_F(IniFileManagerTest, LongTextsComeBackWholeThroughTheSizeTheLibraryAsksFor)
{
    struct Case
    {
        size_t size;
        int calls;
        int32_t firstNeeded;
    };
    const Case cases[] = {{1023, 1, 1024}, {1024, 2, 1025}, {5000, 2, 5001}, {70000, 2, 70001}};
    for (const Case& c : cases) {
        const std::string text = TextOfSize(c.size);
        const std::string key = "Long/L" + std::to_string(c.size);
        ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, key.c_str(), text.c_str()));
        ASSERT_EQ(S_OK, lib.SetArrayItemAt(handle, "LongItems", 0, text.c_str()));
        Reload();
        for (const auto& read : {lib.GetStr(handle, key.c_str(), ""), lib.ArrayItemAt(handle, "LongItems", 0)}) {
            EXPECT_EQ(S_OK, read.result) << c.size;
            EXPECT_EQ(c.calls, read.calls) << c.size;
            EXPECT_EQ(c.firstNeeded, read.firstNeeded) << c.size;
            EXPECT_EQ(text, read.text) << c.size;
        }
    }

    // A long default, and a long key name, take the same way.
    const std::string longDefault = TextOfSize(3000);
    const auto fallback = lib.GetStr(handle, "Missing", longDefault.c_str());
    EXPECT_EQ(INIFILE_S_DEFAULT, fallback.result);
    EXPECT_EQ(2, fallback.calls);
    EXPECT_EQ(longDefault, fallback.text);

    const std::string longName(2000, 'K');
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, ("Names/" + longName).c_str(), 1));
    const auto name = lib.KeyNameAt(handle, "Names", 0);
    EXPECT_EQ(S_OK, name.result);
    EXPECT_EQ(2, name.calls);
    EXPECT_EQ(longName, name.text);
}

TEST_F(IniFileManagerTest, TooSmallBufferIsEmptiedAndTheNeededSizeReported)
{
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Key", "12345"));
    char buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    int32_t needed = -1;

    EXPECT_EQ(INIFILE_E_BUFFER_TOO_SMALL, lib.GetIniValueStr(handle, "Key", "", buffer, 5, &needed));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(6, needed);

    needed = -1;
    EXPECT_EQ(INIFILE_E_BUFFER_TOO_SMALL, lib.GetIniValueStr(handle, "Key", "", nullptr, 0, &needed));
    EXPECT_EQ(6, needed);

    EXPECT_EQ(S_OK, lib.GetIniValueStr(handle, "Key", "", buffer, 6, nullptr));
    EXPECT_STREQ("12345", buffer);
}

TEST_F(IniFileManagerTest, MissingOrUnusableValuesAnswerTheDefault)
{
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Words", "twelve"));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "TooBig", "2147483648"));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Section/Inner", "1"));

    for (const char* key : {"Missing", "Words", "TooBig", "Section", "Section/Missing/Deeper"}) {
        int32_t value = 0;
        EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetInt(handle, key, -5, value)) << key;
        EXPECT_EQ(-5, value) << key;
    }

    const auto text = lib.GetStr(handle, "Missing", "fallback");
    EXPECT_EQ(INIFILE_S_DEFAULT, text.result);
    EXPECT_EQ("fallback", text.text);
    const auto nullDefault = lib.GetStr(handle, "Section", nullptr);
    EXPECT_EQ(INIFILE_S_DEFAULT, nullDefault.result);
    EXPECT_EQ("", nullDefault.text);
}

TEST_F(IniFileManagerTest, IntegersAreReadInDecimalOrHexadecimal)
{
    struct Case
    {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {{"17", 17}, {" -17 ", -17}, {"+3", 3}, {"0x10", 16}, {"0XfF", 255},
        {"0xFFFFFFFF", -1}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}};
    for (const Case& c : cases) {
        ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Number", c.text));
        int32_t value = 0;
        EXPECT_EQ(S_OK, lib.GetInt(handle, "Number", 0, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
    for (const char* bad : {"", "-", "0x", "0x123456789", "12abc", "1 2", "-2147483649"}) {
        ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Number", bad));
        int32_t value = 0;
        EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetInt(handle, "Number", 99, value)) << bad;
        EXPECT_EQ(99, value) << bad;
    }
}

TEST_F(IniFileManagerTest, KeyPathsMakeNodesThatCanBeListed)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Window/Main/Width", 640));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Window\\Main\\Height", 480));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Window/Title", "TAVIK8"));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, " Top ", 1));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "window/MAIN/width", 800)); // same key, first spelling kept

    for (const char* key : {"", "/", "Window", "Window/Main", "window\\main\\WIDTH", "/Top/"})
        EXPECT_TRUE(lib.DoesNodeExist(handle, key)) << key;
    for (const char* key : {"Window/Other", "Top/Below", "Windo", "a=b"})
        EXPECT_FALSE(lib.DoesNodeExist(handle, key)) << key;

    int32_t width = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Window/Main/Width", 0, width));
    EXPECT_EQ(800, width);

    struct Listing
    {
        const char* node;
        std::vector<std::string> names;
    };
    const Listing listings[] = {
        {"", {"Top", "Window"}}, {"Window", {"Title", "Main"}}, {"Window/Main", {"Width", "Height"}}};
    for (int pass = 0; pass < 2; ++pass) {
        for (const Listing& listing : listings) {
            int32_t count = -1;
            EXPECT_EQ(S_OK, lib.GetKeyCount(handle, listing.node, &count)) << listing.node;
            ASSERT_EQ(static_cast<int32_t>(listing.names.size()), count) << listing.node;
            for (int32_t i = 0; i < count; ++i) {
                const auto name = lib.KeyNameAt(handle, listing.node, i);
                EXPECT_EQ(S_OK, name.result);
                EXPECT_EQ(listing.names[static_cast<size_t>(i)], name.text) << listing.node << " " << i;
            }
            EXPECT_EQ(E_INVALIDARG, lib.KeyNameAt(handle, listing.node, count).result);
            EXPECT_EQ(E_INVALIDARG, lib.KeyNameAt(handle, listing.node, -1).result);
        }
        Reload();
    }

    int32_t count = -1;
    EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetKeyCount(handle, "Nowhere", &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(E_INVALIDARG, lib.KeyNameAt(handle, "Nowhere", 0).result);
    count = -1;
    EXPECT_EQ(S_OK, lib.GetKeyCount(handle, "Top", &count));
    EXPECT_EQ(0, count);
}

TEST_F(IniFileManagerTest, ArraysGrowShrinkAndCloseGapsOnRemoval)
{
    auto items = [this]() {
        std::vector<std::string> out;
        int32_t count = -1;
        EXPECT_EQ(S_OK, lib.GetArrayCount(handle, "Recent", &count));
        for (int32_t i = 0; i < count; ++i) {
            const auto item = lib.ArrayItemAt(handle, "Recent", i);
            EXPECT_EQ(S_OK, item.result);
            out.push_back(item.text);
        }
        return out;
    };
    using Items = std::vector<std::string>;

    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Recent", 3));
    EXPECT_EQ((Items{"", "", ""}), items());
    for (int32_t i = 0; i < 3; ++i)
        ASSERT_EQ(S_OK, lib.SetArrayItemAt(handle, "Recent", i, std::string(1, static_cast<char>('a' + i)).c_str()));
    EXPECT_EQ((Items{"a", "b", "c"}), items());

    // Setting beyond the end grows the array with empty items.
    ASSERT_EQ(S_OK, lib.SetArrayItemAt(handle, "Recent", 5, "f"));
    EXPECT_EQ((Items{"a", "b", "c", "", "", "f"}), items());

    ASSERT_EQ(S_OK, lib.RemoveArrayItemAt(handle, "Recent", 1));
    EXPECT_EQ((Items{"a", "c", "", "", "f"}), items());
    ASSERT_EQ(S_OK, lib.RemoveArrayItemAt(handle, "Recent", 4));
    EXPECT_EQ((Items{"a", "c", "", ""}), items());
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Recent", 2));
    EXPECT_EQ((Items{"a", "c"}), items());

    Reload();
    EXPECT_EQ((Items{"a", "c"}), items());
    EXPECT_EQ("c", lib.GetStr(handle, "Recent/1", "").text); // items are keys too

    for (int32_t bad : {-1, 2, 100}) {
        EXPECT_EQ(E_INVALIDARG, lib.ArrayItemAt(handle, "Recent", bad).result) << bad;
        EXPECT_EQ(E_INVALIDARG, lib.RemoveArrayItemAt(handle, "Recent", bad)) << bad;
    }
    EXPECT_EQ(E_INVALIDARG, lib.SetArrayItemAt(handle, "Recent", -1, "x"));
    EXPECT_EQ(E_INVALIDARG, lib.SetArrayItemAt(handle, "Recent", INIFILE_MAX_ARRAY_COUNT, "x"));
    EXPECT_EQ(E_INVALIDARG, lib.SetArrayCount(handle, "Recent", -1));
    EXPECT_EQ(E_INVALIDARG, lib.SetArrayCount(handle, "Recent", INIFILE_MAX_ARRAY_COUNT + 1));
    EXPECT_EQ((Items{"a", "c"}), items());

    // The largest array there may be.
    ASSERT_EQ(S_OK, lib.SetArrayItemAt(handle, "Big", INIFILE_MAX_ARRAY_COUNT - 1, "last"));
    Reload();
    int32_t bigCount = 0;
    EXPECT_EQ(S_OK, lib.GetArrayCount(handle, "Big", &bigCount));
    EXPECT_EQ(INIFILE_MAX_ARRAY_COUNT, bigCount);
    EXPECT_EQ("last", lib.ArrayItemAt(handle, "Big", INIFILE_MAX_ARRAY_COUNT - 1).text);
    EXPECT_EQ("", lib.ArrayItemAt(handle, "Big", 0).text);
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Big", 1));

    // An empty array is still there after a reload; a missing one has no items.
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Empty", 0));
    Reload();
    EXPECT_TRUE(lib.DoesNodeExist(handle, "Empty"));
    int32_t count = -1;
    EXPECT_EQ(S_OK, lib.GetArrayCount(handle, "Empty", &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetArrayCount(handle, "Missing", &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(E_INVALIDARG, lib.ArrayItemAt(handle, "Missing", 0).result);
    EXPECT_FALSE(lib.DoesNodeExist(handle, "Missing")); // the failed reads created nothing
}

TEST_F(IniFileManagerTest, BadArgumentsAndHandlesAreRefusedAndChangeNothing)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Kept", 1));
    const std::string kept = FileText();

    for (const char* key : {static_cast<const char*>(nullptr), "", "/", "a=b", "[x]", "x]", ";c", "#c", "A/\x01/B"}) {
        EXPECT_EQ(E_INVALIDARG, lib.SetIniValueStr(handle, key, "v")) << (key ? key : "null");
        EXPECT_EQ(E_INVALIDARG, lib.SetIniValueInt(handle, key, 1)) << (key ? key : "null");
        EXPECT_EQ(E_INVALIDARG, lib.SetArrayItemAt(handle, key, 0, "v")) << (key ? key : "null");
        EXPECT_EQ(E_INVALIDARG, lib.SetArrayCount(handle, key, 1)) << (key ? key : "null");
        EXPECT_EQ(E_INVALIDARG, lib.GetStr(handle, key, "").result) << (key ? key : "null");
    }
    EXPECT_EQ(kept, FileText());

    // Keys may be 64 names deep, not more.
    std::string deepKey = "N";
    for (int depth = 2; depth <= 64; ++depth)
        deepKey += "/N";
    EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, deepKey.c_str(), 64));
    EXPECT_EQ(E_INVALIDARG, lib.SetIniValueInt(handle, (deepKey + "/N").c_str(), 65));
    EXPECT_FALSE(lib.DoesNodeExist(handle, (deepKey + "/N").c_str()));
    const std::string before = FileText();

    EXPECT_EQ(E_INVALIDARG, lib.SetIniValueStr(handle, "Kept", nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.SetArrayItemAt(handle, "Array", 0, nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.GetIniValueInt(handle, "Kept", 0, nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.GetKeyCount(handle, "", nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.GetArrayCount(handle, "Kept", nullptr));
    char buffer[8] = {'x'};
    EXPECT_EQ(E_INVALIDARG, lib.GetIniValueStr(handle, "Kept", "", buffer, -1, nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.GetIniValueStr(handle, "Kept", "", nullptr, 8, nullptr));
    EXPECT_EQ(E_INVALIDARG, lib.OpenIniFile(ToUtf8(path).c_str(), "1", "P", nullptr));
    EXPECT_FALSE(lib.DoesNodeExist(handle, nullptr));

    int32_t other = -1;
    EXPECT_EQ(E_INVALIDARG, lib.OpenIniFile(nullptr, "1", "P", &other));
    EXPECT_EQ(0, other);
    other = -1;
    EXPECT_EQ(E_INVALIDARG, lib.OpenIniFile((ToUtf8(folder.Path()) + "\\bad \xFF.ini").c_str(), "1", "P", &other));
    EXPECT_EQ(0, other);

    // Handles that were never given out, or are closed.
    int32_t closed = 0;
    ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), closed));
    ASSERT_EQ(S_OK, lib.CloseIniFile(closed, 0));
    EXPECT_EQ(E_HANDLE, lib.CloseIniFile(closed, 0));
    for (int32_t bad : {0, -1, closed, handle + 1000}) {
        int32_t value = 0;
        EXPECT_EQ(E_HANDLE, lib.GetInt(bad, "Kept", 3, value)) << bad;
        EXPECT_EQ(3, value);
        EXPECT_EQ(E_HANDLE, lib.SetIniValueInt(bad, "Kept", 2)) << bad;
        EXPECT_EQ(E_HANDLE, lib.SetIniValueStr(bad, "Kept", "2")) << bad;
        EXPECT_EQ(E_HANDLE, lib.GetStr(bad, "Kept", "").result) << bad;
        EXPECT_EQ(E_HANDLE, lib.KeyNameAt(bad, "", 0).result) << bad;
        EXPECT_EQ(E_HANDLE, lib.ArrayItemAt(bad, "A", 0).result) << bad;
        EXPECT_EQ(E_HANDLE, lib.SetArrayCount(bad, "A", 1)) << bad;
        EXPECT_EQ(E_HANDLE, lib.SetArrayItemAt(bad, "A", 0, "x")) << bad;
        EXPECT_EQ(E_HANDLE, lib.RemoveArrayItemAt(bad, "A", 0)) << bad;
        EXPECT_EQ(E_HANDLE, lib.WriteIniFile(bad)) << bad;
        EXPECT_FALSE(lib.DoesNodeExist(bad, "Kept")) << bad;
        int32_t count = 5;
        EXPECT_EQ(E_HANDLE, lib.GetKeyCount(bad, "", &count)) << bad;
        EXPECT_EQ(0, count);
        count = 5;
        EXPECT_EQ(E_HANDLE, lib.GetArrayCount(bad, "A", &count)) << bad;
        EXPECT_EQ(0, count);
    }

    EXPECT_EQ(before, FileText());
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Kept", 0, value));
    EXPECT_EQ(1, value);
}

TEST_F(IniFileManagerTest, HandlesOfOneFileShareItsSettings)
{
    // The same file under another spelling of its path.
    std::wstring otherSpelling = path;
    const size_t lastSeparator = otherSpelling.rfind(L'\\');
    otherSpelling.replace(lastSeparator, std::wstring::npos, L"\\.\\USERSETTINGS.INI");
    int32_t second = 0;
    ASSERT_EQ(S_OK, lib.Open(ToUtf8(otherSpelling), second));
    EXPECT_NE(handle, second);

    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "A", 1));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(second, "B", 2));
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(second, "A", 0, value));
    EXPECT_EQ(1, value);

    ASSERT_EQ(S_OK, lib.CloseIniFile(handle, 1));
    EXPECT_EQ(S_OK, lib.GetInt(second, "B", 0, value));
    EXPECT_EQ(2, value);
    EXPECT_EQ(S_OK, lib.WriteIniFile(second));
    EXPECT_EQ(S_OK, lib.CloseIniFile(second, 0));

    Reload();
    EXPECT_EQ(S_OK, lib.GetInt(handle, "A", 0, value));
    EXPECT_EQ(1, value);
    EXPECT_EQ(S_OK, lib.GetInt(handle, "B", 0, value));
    EXPECT_EQ(2, value);
}

TEST_F(IniFileManagerTest, ThreadsChangingOneFileAtOnceLoseNothing)
{
    constexpr int kThreads = 6;
    constexpr int kKeysEach = 15;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t]() {
            for (int k = 0; k < kKeysEach; ++k) {
                const std::string key = "Thread" + std::to_string(t) + "/Key" + std::to_string(k);
                EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, key.c_str(), t * 100 + k));
                EXPECT_EQ(S_OK, lib.SetArrayItemAt(handle, "Shared", t * kKeysEach + k, key.c_str()));
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    Reload();
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeysEach; ++k) {
            const std::string key = "Thread" + std::to_string(t) + "/Key" + std::to_string(k);
            int32_t value = -1;
            EXPECT_EQ(S_OK, lib.GetInt(handle, key.c_str(), -1, value)) << key;
            EXPECT_EQ(t * 100 + k, value) << key;
            EXPECT_EQ(key, lib.ArrayItemAt(handle, "Shared", t * kKeysEach + k).text);
        }
    }
}

} // namespace

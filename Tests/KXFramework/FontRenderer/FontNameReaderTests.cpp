// The family and style names of font files: which records count, how pairs
// form, and that no count or offset in a file can make the reader leave it.
#include "FontTestSupport.h"

#include "Renderer/FontRenderer/FontNameReader.h"

#include <gtest/gtest.h>

using namespace FontTest;
using FontTest::TestFolder;

namespace {

// "family/style" of each pair, in order.
std::vector<std::string> ReadPairs(const TestFolder& folder, const std::string& bytes)
{
    const std::wstring path = folder.WriteFile(L"font.ttf", bytes);
    std::vector<std::string> pairs;
    for (const KX::FontFaceName& name : KX::ReadFontFaceNames(String(path.c_str())))
        pairs.push_back(N(name.mFamily) + "/" + N(name.mStyle));
    return pairs;
}

using Pairs = std::vector<std::string>;

} // namespace

TEST(FontNameReader, TakesMacintoshAndUsEnglishWindowsFamilyAndSubfamilyRecords)
{
    TestFolder folder;
    const struct {
        const char* what;
        std::vector<NameRecord> records;
        Pairs expected;
    } cases[] = {
        {"Windows pair, style lower-cased", Names(L"Alpha", L"Bold Italic"), {"Alpha/bold italic"}},
        {"Macintosh then Windows: two pairs",
         {Mac(1, "Beta"), Mac(2, "Regular"), Windows(1, L"Beta W"), Windows(2, L"Bold")},
         {"Beta/regular", "Beta W/bold"}},
        {"other languages and name ids are not names",
         {Windows(1, L"Deutsch", 0x0407), Mac(1, "Japanese", 11), Windows(4, L"Gamma Full"), Windows(1, L"Gamma"),
          Windows(2, L"Italic")},
         {"Gamma/italic"}},
        {"the first family waits for a style; later families are ignored",
         {Windows(1, L"First"), Windows(1, L"Second"), Windows(2, L"Regular")},
         {"First/regular"}},
        {"empty strings are skipped", {Windows(1, L""), Windows(1, L"Delta"), Windows(2, L""), Windows(2, L"Book")},
         {"Delta/book"}},
        {"a family without a style makes no pair", {Windows(1, L"Lonely")}, {}},
        {"Macintosh bytes are characters", {Mac(1, "Caf\xE9"), Mac(2, "Regular")}, {"Caf\xC3\xA9/regular"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ReadPairs(folder, SfntFont(c.records))) << c.what;
}

TEST(FontNameReader, AnOddWindowsLengthDropsTheLastByte)
{
    TestFolder folder;
    NameRecord family = Windows(1, L"Odd");
    family.bytes.push_back('\x41'); // half a unit
    EXPECT_EQ(Pairs{"Odd/regular"}, ReadPairs(folder, SfntFont({family, Windows(2, L"Regular")})));
}

TEST(FontNameReader, ACollectionGivesTheNamesOfEveryFont)
{
    TestFolder folder;
    const std::string collection = Collection({Names(L"One", L"Regular"), Names(L"Two", L"Bold")});
    EXPECT_EQ((Pairs{"One/regular", "Two/bold"}), ReadPairs(folder, collection));
}

TEST(FontNameReader, CountsAndOffsetsThatLieNeverLeadOutOfTheFile)
{
    TestFolder folder;
    const std::string good = SfntFont(Names(L"Good", L"Regular"));

    // A collection claiming 0xFFFFFFFF fonts: only the offsets the file holds are read.
    const std::string manyFonts = Collection({Names(L"Many", L"Regular")}, 0xFFFFFFFFu);
    EXPECT_EQ(Pairs{"Many/regular"}, ReadPairs(folder, manyFonts));

    // A table count far beyond the records the file has, and no 'name' table.
    std::string manyTables = good;
    Set16(manyTables, 4, 0xFFFF);
    std::memcpy(&manyTables[12], "head", 4);
    EXPECT_EQ(Pairs{}, ReadPairs(folder, manyTables));

    // A name-record count far beyond the records: the real ones still count.
    std::string manyRecords = good;
    Set16(manyRecords, 28 + 2, 0xFFFF);
    EXPECT_EQ(Pairs{"Good/regular"}, ReadPairs(folder, manyRecords));

    // A string whose offset lies past the end: that string is not read, the
    // next family is.
    std::string farString = SfntFont({Windows(1, L"Lost"), Windows(1, L"Kept"), Windows(2, L"Regular")});
    Set16(farString, 28 + 6 + 10, 0xFFF0);
    EXPECT_EQ(Pairs{"Kept/regular"}, ReadPairs(folder, farString));

    // A 'name' table whose offset lies past the end.
    std::string farTable = good;
    farTable[12 + 8] = '\x7F';
    EXPECT_EQ(Pairs{}, ReadPairs(folder, farTable));

    // Truncated anywhere: never more than the names wholly present.
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_EQ(Pairs{}, ReadPairs(folder, good.substr(0, length))) << "cut at " << length;
}

TEST(FontNameReader, ARealFontOfThePrefixAndAMissingFile)
{
    TestFolder folder;
    // Its Macintosh and its Windows records both name it.
    EXPECT_EQ((Pairs{"Tahoma/bold", "Tahoma/bold"}), ReadPairs(folder, PrefixFont(L"tahomabd.ttf")));
    EXPECT_TRUE(KX::ReadFontFaceNames(String((folder / L"none.ttf").c_str())).empty());
}

// Menus built from string-table pairs: the key grammar, numbering, groups and
// submenus, malformed keys, and the program's own menu strings.
#include "MenuTestSupport.h"

#include "ControlBase/ControlFactory.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using namespace KXTest;
using StringPairs = KX::Array<LMenuDescriptor::StringPair>;

StringPairs Pairs(const std::vector<std::pair<const wchar_t*, const wchar_t*>>& entries)
{
    StringPairs pairs;
    for (const auto& [key, text] : entries)
        pairs.AddItem(LMenuDescriptor::StringPair(String(key), String(text)));
    return pairs;
}

std::wstring Build(const StringPairs& pairs)
{
    RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(pairs);
    return menu ? Describe(*menu) : L"<null>";
}

struct GrammarCase
{
    const char* what;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> pairs;
    const wchar_t* expected;
};

TEST(MenuStringForm, KeysBuildTheirTree)
{
    const GrammarCase cases[] = {
        {"item with status, then separator", {{L"00.NID_A", L"Open|Opens a file"}, {L"01.-", L"ignored"}},
         L"Open=NID_A|Opens a file, -"},
        {"a gap ends the list", {{L"00.NID_A", L"A"}, {L"02.NID_B", L"B"}, {L"03.NID_C", L"C"}}, L"A=NID_A"},
        {"a repeated number is dropped", {{L"00.NID_A", L"A"}, {L"00.NID_B", L"B"}}, L"A=NID_A"},
        {"submenu", {{L"00.Edit.", L"Edit"}, {L"Edit.00.NID_CUT", L"Cut"}}, L"Edit(Cut=NID_CUT)"},
        {"submenu without group", {{L"00.Edit.", L"Edit"}}, L""},
        {"a missing group still takes its number", {{L"00.Missing.", L"M"}, {L"01.NID_A", L"A"}}, L"A=NID_A"},
        {"one part", {{L"NID_A", L"A"}}, L""},
        {"empty first part", {{L".00.NID_A", L"A"}}, L""},
        {"a final point alone is no part", {{L"00.", L"X"}, {L"00.NID_A", L"A"}}, L"A=NID_A"},
        {"two bars", {{L"00.NID_A", L"Open|Opens|a file"}}, L"Open=NID_A|Opens|a file"},
        {"later parts are ignored", {{L"00.NID_A.extra", L"A"}}, L"A=NID_A"},
        {"group entry without item part", {{L"00.G.", L"G"}, {L"G.00", L"Plain"}}, L"G(Plain=)"},
        {"nested groups with separator and status",
         {{L"00.File.", L"File"},
          {L"File.00.NID_OPEN", L"Open"},
          {L"File.01.-", L""},
          {L"File.02.Recent.", L"Recent|Recent files"},
          {L"Recent.00.NID_R1", L"one"}},
         L"File(Open=NID_OPEN, -, Recent|Recent files(one=NID_R1))"},
        {"a group used twice", {{L"00.G.", L"A"}, {L"01.G.", L"B"}, {L"G.00.NID_X", L"x"}},
         L"A(x=NID_X), B(x=NID_X)"},
        {"group numbering is its own", {{L"00.NID_A", L"A"}, {L"01.G.", L"G"}, {L"G.00.NID_X", L"x"}},
         L"A=NID_A, G(x=NID_X)"},
    };
    for (const GrammarCase& c : cases)
        EXPECT_EQ(Build(Pairs(c.pairs)), c.expected) << c.what;
}

TEST(MenuStringForm, TwoDigitNumbersKeepMoreThanTenItemsInOrder)
{
    StringPairs pairs;
    std::wstring expected;
    for (int i = 0; i < 12; ++i) {
        const String number = String::CreateFormatted(L"%02d", i);
        pairs.AddItem({number + String(L".NID_") + number, String(L"T") + number});
        expected += (i ? L", T" : L"T") + std::wstring(number.GetData()) + L"=NID_" + number.GetData();
    }
    EXPECT_EQ(Build(pairs), expected);
}

TEST(MenuStringForm, KeysWithoutAProperNumberAreSkipped)
{
    const GrammarCase cases[] = {
        {"negative entry number", {{L"00.Edit.", L"Edit"}, {L"Edit.-1.NID_A", L"bad"}, {L"Edit.00.NID_B", L"b"}},
         L"Edit(b=NID_B)"},
        {"minus zero", {{L"00.Edit.", L"Edit"}, {L"Edit.-0.NID_A", L"bad"}, {L"Edit.00.NID_B", L"b"}},
         L"Edit(b=NID_B)"},
        {"a word where the number belongs", {{L"00.Edit.", L"Edit"}, {L"Edit.NID_A", L"bad"}, {L"Edit.00.NID_B", L"b"}},
         L"Edit(b=NID_B)"},
        {"blank before the number", {{L"00.Edit.", L"Edit"}, {L"Edit. 0.NID_A", L"bad"}, {L"Edit.00.NID_B", L"b"}},
         L"Edit(b=NID_B)"},
        // Digits of other scripts are no numbers: such a first part names a group.
        {"Arabic-Indic zero", {{L"\x0660.NID_A", L"bad"}}, L""},
        {"full-width zero", {{L"\xFF10.NID_A", L"bad"}}, L""},
        {"superscript one", {{L"00.NID_A", L"A"}, {L"\x00B9.NID_B", L"bad"}}, L"A=NID_A"},
    };
    for (const GrammarCase& c : cases)
        EXPECT_EQ(Build(Pairs(c.pairs)), c.expected) << c.what;

    const std::pair<const wchar_t*, int32_t> numbers[] = {
        {L"0", 0}, {L"07", 7}, {L"12abc", 12}, {L"-1", -1}, {L"-0", -1}, {L"+1", -1},
        {L" 1", -1}, {L"", -1}, {L"\xFF11", -1}, {L"99999999999", 2147483647},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(LMenuDescriptor::ParseKeyNumber(String(text)), value) << String(text);
}

TEST(MenuStringForm, GroupsThatContainThemselvesAreLeftOut)
{
    const GrammarCase cases[] = {
        {"self", {{L"00.Loop.", L"Loop"}, {L"Loop.00.NID_A", L"a"}, {L"Loop.01.Loop.", L"again"}},
         L"Loop(a=NID_A)"},
        {"through another group",
         {{L"00.A.", L"A"}, {L"A.00.B.", L"B"}, {L"B.00.A.", L"back to A"}, {L"B.01.NID_X", L"x"}},
         L"A(B(x=NID_X))"},
        {"a group may still appear twice side by side",
         {{L"00.A.", L"A"}, {L"A.00.B.", L"B1"}, {L"A.01.B.", L"B2"}, {L"B.00.NID_X", L"x"}},
         L"A(B1(x=NID_X), B2(x=NID_X))"},
    };
    for (const GrammarCase& c : cases)
        EXPECT_EQ(Build(Pairs(c.pairs)), c.expected) << c.what;
}

TEST(MenuStringForm, ABuiltTreeIsFreedWithItsLastReference)
{
    RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(
        Pairs({{L"00.File.", L"File"}, {L"01.NID_HELP", L"Help"}, {L"File.00.NID_OPEN", L"Open"},
               {L"File.01.Sub.", L"Sub"}, {L"Sub.00.NID_DEEP", L"Deep"}}));
    ASSERT_TRUE(menu);
    EXPECT_EQ(TagTree(*menu), 6);
    menu = nullptr;
    EXPECT_EQ(LiveTag::sLive, 0);
}

TEST(MenuStringForm, NoPairsGiveAnEmptyMenu)
{
    RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(StringPairs());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->GetItemCount(), 0);
}

// The Windows path of a folder of the source tree (Wine maps "/" to Z:).
String WindowsPath(const char* unixPath)
{
    String path(unixPath);
    path.ReplaceAny(L"/", L'\\');
    return String(L"Z:") + path;
}

// The pairs of a table whose identifiers begin with the prefix, without it.
StringPairs PairsAfterPrefix(const KX::LStringTable& table, const wchar_t* prefix)
{
    StringPairs pairs;
    table.GetStringsWithPrefix(String(prefix), pairs);
    const int32_t length = String(prefix).GetLength();
    for (int32_t i = 0; i < pairs.GetCount(); ++i)
        pairs.GetAt(i).first = pairs.GetAt(i).first.Mid(length);
    return pairs;
}

TEST(MenuStringForm, TheProgramsMenuBarStringsGiveTheFileMenu)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
    const String folder = WindowsPath(KX_TEST_RESOURCE_FOLDER);
    ASSERT_EQ(factory->LoadStringTables(folder + String(L"\\StringTables.xml"),
                                        folder + String(L"\\FrameworkStrings.xml"), 0x0409),
              S_OK);
    RCPtr<KX::LStringTable> table;
    factory->GetControlStringTable(table, String(L"FirmwareUpdater.MainControl"), String(L"mainMenu"));
    ASSERT_TRUE(table);

    // The menu bar's strings: titles under "MENU_LABEL.", and no single
    // "CONTEXT_MENU." menu but one menu per "CONTEXT_MENU" number.
    const StringPairs labels = PairsAfterPrefix(*table, L"MENU_LABEL.");
    ASSERT_EQ(labels.GetCount(), 1);
    EXPECT_EQ(LMenuDescriptor::ParseKeyNumber(labels.GetAt(0).first), 0);
    EXPECT_EQ(labels.GetAt(0).second, L"File");
    EXPECT_EQ(PairsAfterPrefix(*table, L"CONTEXT_MENU.").GetCount(), 0);
    StringPairs all;
    table->GetStringsWithPrefix(String(L"CONTEXT_MENU"), all);
    EXPECT_EQ(all.GetCount(), 1);

    RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringPairs(PairsAfterPrefix(*table, L"CONTEXT_MENU0."));
    ASSERT_TRUE(menu);
    EXPECT_EQ(Describe(*menu), L"Select Firmware File=NID_MENU_FILE_ITEM_1");
    EXPECT_TRUE(menu->GetItem(0)->mEnabled);
    EXPECT_FALSE(menu->GetItem(0)->mChecked);
}

} // namespace

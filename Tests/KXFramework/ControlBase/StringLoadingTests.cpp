// String-table documents: the choice of locale, table ids, and reading
// documents from resources and from files.
#include "TestSupport.h"

#include "Support/Windows/TempFiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using KXTest::String;
using KX::RCPtr;

String Text(const KX::LControlFactory& factory, const wchar_t* table, const wchar_t* id)
{
    RCPtr<KX::LStringTable> strings;
    factory.GetStringTable(strings, String(table));
    String text(L"<absent>");
    if (strings)
        strings->GetString(id, text);
    return text;
}

struct LocaleCase
{
    int32_t userLocale;
    int32_t settledLocale;
    const wchar_t* greeting;  // application string with English and Simplified Chinese texts
    const wchar_t* farewell;  // application string with English and Traditional Chinese texts
    const wchar_t* caption;   // framework string in four languages
    const wchar_t* english;   // framework string in English only
};

class StringLocaleTest : public ::testing::TestWithParam<LocaleCase>
{
};

TEST_P(StringLocaleTest, ApplicationDocumentChoosesTheLocaleOfBoth)
{
    const LocaleCase& c = GetParam();
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Unnamed"));
    ASSERT_EQ(factory->LoadStringTables(String(L"::TEST_APP_STRINGS"), String(L"::TEST_FRAMEWORK_STRINGS"),
                                        c.userLocale),
              S_OK);
    EXPECT_EQ(factory->GetLocaleId(), c.settledLocale);
    EXPECT_EQ(factory->GetApplicationName(), L"Varrow");
    EXPECT_EQ(Text(*factory, L"|Varrow", L"GREETING"), c.greeting);
    EXPECT_EQ(Text(*factory, L"|Varrow", L"FAREWELL"), c.farewell);
    EXPECT_EQ(Text(*factory, L"Framework", L"STARTUP_ERROR_CAPTION"), c.caption);
    EXPECT_EQ(Text(*factory, L"Framework", L"ONLY_ENGLISH"), c.english);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, StringLocaleTest,
    ::testing::Values(
        // English (United States): no 0x0409 texts; the primary language matches.
        LocaleCase{0x0409, 0x0009, L"Hello", L"Goodbye", L"Error", L"English only"},
        // Chinese (PRC): 0x04 matches the one Simplified text; every other string is absent.
        LocaleCase{0x0804, 0x0004, L"你好", L"<absent>", L"错误", L"<absent>"},
        // Chinese (Hong Kong) falls back to Traditional Chinese, not to 0x04.
        LocaleCase{0x0C04, 0x7C04, L"<absent>", L"再見", L"錯誤", L"<absent>"},
        // Japanese: the application has no Japanese, so the framework is English too.
        LocaleCase{0x0411, 0x0009, L"Hello", L"Goodbye", L"Error", L"English only"},
        // A locale that no document has.
        LocaleCase{0x0407, 0x0009, L"Hello", L"Goodbye", L"Error", L"English only"}));

TEST(StringTables, PiecesOfOneTextAreJoined)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String());
    factory->LoadStringTables(String(L"::TEST_APP_STRINGS"), String(L"::TEST_FRAMEWORK_STRINGS"), 9);
    EXPECT_EQ(Text(*factory, L"|Varrow", L"JOINED"), L"Salt & pepper\nsecond line");
    EXPECT_EQ(Text(*factory, L"|Varrow", L"TWICE"), L"onetwo");
    EXPECT_EQ(Text(*factory, L"|Varrow", L"EMPTY"), L""); // present, with an empty text
}

TEST(StringTables, TableIdsOfTheApplicationAndOfControls)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String());
    factory->LoadStringTables(String(L"::TEST_APP_STRINGS"), String(L"::TEST_FRAMEWORK_STRINGS"), 9);

    RCPtr<KX::LStringTable> table;
    EXPECT_EQ(factory->GetAppStringTable(table), S_OK);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->HasString(L"GREETING"));
    EXPECT_EQ(factory->GetFrameworkStringTable(table), S_OK);
    EXPECT_TRUE(table->HasString(L"ONLY_ENGLISH"));

    String text;
    factory->GetControlStringTable(table, String(L"FirmwareUpdater.MainControl"), String(L"buttonExit"));
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->GetString(L"LABEL", text));
    EXPECT_EQ(text, L"EXIT");
    factory->GetControlStringTable(table, String(), String(L"mainControl")); // no parent: the application's name
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->GetString(L"LABEL", text));
    EXPECT_EQ(text, L"Main window");
    EXPECT_EQ(KX::LControlFactory::MakeControlTableId(String(L"Framework.ProgressBar"), String(L"timeRemainingLabel")),
              L"Framework.ProgressBar|timeRemainingLabel");

    // A table that does not exist is no table at all, not an empty one.
    table = KX::LStringTable::Create();
    EXPECT_EQ(factory->GetControlStringTable(table, String(L"Framework.Panel"), String(L"buttonExit")), S_FALSE);
    EXPECT_FALSE(table);

    // Every table handed out is a copy.
    RCPtr<KX::LStringTable> first, second;
    factory->GetAppStringTable(first);
    factory->GetAppStringTable(second);
    EXPECT_NE(first.Get(), second.Get());
    first->SetString(L"GREETING", String(L"changed"));
    second->GetString(L"GREETING", text);
    EXPECT_EQ(text, L"Hello");
}

TEST(StringTables, MissingAndEmptyDocumentsAreSkipped)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    EXPECT_EQ(factory->LoadStringTables(String(L"::NO_SUCH_RESOURCE"), String(L"::TEST_EMPTY"), 0x0409), S_OK);
    EXPECT_TRUE(factory->GetStringTables().empty());
    EXPECT_EQ(factory->GetLocaleId(), 9);

    const String empty = KXTest::DocumentFolder() + String(L"\\Empty.xml");
    EXPECT_EQ(factory->LoadStringTables(empty, String(L"::TEST_FRAMEWORK_STRINGS"), 0x0411), S_OK);
    EXPECT_EQ(Text(*factory, L"Framework", L"STARTUP_ERROR_CAPTION"), L"Error");
}

TEST(StringTables, UnreadableFileThrows)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    const String missing = KXTest::DocumentFolder() + String(L"\\NoSuchFile.xml");
    EXPECT_THROW(factory->LoadStringTables(missing, String(L"::TEST_FRAMEWORK_STRINGS"), 9), std::runtime_error);
}

TEST(StringTables, DocumentsFromFiles)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    const String folder = KXTest::DocumentFolder();
    ASSERT_EQ(factory->LoadStringTables(folder + String(L"\\AppStrings.xml"), folder + String(L"\\FrameworkStrings.xml"),
                                        0x0804),
              S_OK);
    EXPECT_EQ(factory->GetLocaleId(), 4);
    EXPECT_EQ(Text(*factory, L"|Varrow", L"GREETING"), L"你好");
    EXPECT_EQ(Text(*factory, L"Framework", L"STARTUP_ERROR_CAPTION"), L"错误");
}

TEST(SkinSources, ResourceNamesAndEmptyOrMissingSkins)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    // "::" and "app skins.xml" name the resource APP_SKINS_XML.
    EXPECT_EQ(factory->LoadSkin(String(L"::app skins.xml")), S_OK);
    EXPECT_EQ(factory->GetApplicationName(), L"Small");
    EXPECT_TRUE(factory->FindControlDescriptor(String(L"onlyPanel")));

    EXPECT_EQ(factory->LoadSkin(String(L"::NO_SUCH_SKIN")), E_FAIL);
    EXPECT_EQ(factory->LoadSkin(String(L"::TEST_EMPTY")), E_FAIL);
    EXPECT_EQ(factory->LoadSkin(KXTest::DocumentFolder() + String(L"\\Empty.xml")), E_FAIL);
    EXPECT_EQ(factory->LoadSkin(KXTest::DocumentFolder() + String(L"\\NoSuchFile.xml")), E_FAIL);
    EXPECT_EQ(factory->GetSkinCount(), 1);
}

// A folder whose string documents are empty and whose skin document is the
// small test skin.
class ResourceFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Write(L"StringTables.xml", "");
        Write(L"FrameworkStrings.xml", "");
    }

    void Write(const wchar_t* name, const std::string& text)
    {
        ASSERT_TRUE(TestSystem::WriteWholeFile(mFolder / name, text));
    }

    TestSystem::TempFolder mFolder{L"ControlBaseTests"};
    const String folder{mFolder.Path().c_str()};
};

TEST_F(ResourceFolderTest, EmptyStringDocumentsAreSkippedAndAnEmptySkinFails)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    Write(L"Skins.xml", "");
    EXPECT_EQ(factory->LoadResources(folder, 9), E_FAIL);
    EXPECT_EQ(factory->GetResourcePrefix(), folder + String(L"\\"));

    Write(L"Skins.xml",
          "<R><Parts><Part Name=\"P\" Width=\"1\" Height=\"1\" ResizeType=\"Tile\" ImageFile=\"Sprites.PNG\" "
          "ImageLocX=\"0\" ImageLocY=\"0\"/></Parts></R>");
    EXPECT_EQ(factory->LoadResources(folder, 9), S_OK);
    EXPECT_EQ(factory->FindPart(String(L"P"))->mImage.mFile, folder + String(L"\\sprites.png"));

    // Two top-level skins: the first is current after loading.
    Write(L"Skins.xml", "<R><Skins><Skin Name=\"A\"/><Skin Name=\"B\"/></Skins></R>");
    EXPECT_EQ(factory->LoadSkin(folder + String(L"\\Skins.xml")), S_OK);
    EXPECT_EQ(factory->GetSkinCount(), 2);
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);

    // A string document that cannot be read is an error of the file, not a skipped document.
    EXPECT_THROW(factory->LoadResources(folder + String(L"\\missing"), 9), std::runtime_error);
}

} // namespace

namespace {

TEST(StringTables, ElementsOutsideTheirPlaceAreIgnored)
{
    const char* const document = R"(<R>
  <String ID="BEFORE_TABLE"><Locale LCID="9">lost</Locale></String>
  <StringTable ID="T">
    <Locale LCID="9">no string yet</Locale>
    <String ID="A"><Locale LCID="9">a</Locale></String>
    <String><Locale LCID="9">+more</Locale></String>
    <String ID="B"><Locale>no locale</Locale><Locale LCID="0x0009">b</Locale></String>
  </StringTable>
  <StringTable><String ID="C"><Locale LCID="9">c</Locale></String></StringTable>
</R>)";
    KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(KXTest::String(L"Varrow"));
    // Parsed as a string document through one pass of the loader's rules.
    const TestSystem::TempFile temp(L"StringsInPlace", L".xml");
    ASSERT_TRUE(TestSystem::WriteWholeFile(temp.Path(), document));
    const KXTest::String file(temp.Path().c_str());

    EXPECT_EQ(factory->LoadStringTables(file, KXTest::String(L"::NO_FRAMEWORK"), 9), S_OK);
    temp.Remove();
    ASSERT_EQ(factory->GetStringTables().size(), 1u);
    const auto& table = factory->GetStringTables().begin()->second;
    EXPECT_EQ(factory->GetStringTables().begin()->first, L"T");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.at(KXTest::String(L"A")), L"a+more"); // a String without ID keeps the previous id
    EXPECT_EQ(table.at(KXTest::String(L"B")), L"b");
}

} // namespace

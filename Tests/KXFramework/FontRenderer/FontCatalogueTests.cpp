// The font-file catalogue: families of a folder, which file a font is served
// from, and folders with broken files.
#include "FontTestSupport.h"

#include "Utilities/Graphics/Font.h"

#include <gtest/gtest.h>

#include <set>

using namespace FontTest;
using FontTest::TestFolder;
using KX::LFontFileInfo;

namespace {

class FontCatalogue : public ::testing::Test
{
protected:
    void TearDown() override { LFontFileInfo::ClearCatalogue(); }

    static std::set<std::string> Families()
    {
        std::set<std::string> families;
        for (int32_t i = 0; i < LFontFileInfo::GetFamilyCount(); ++i)
            families.insert(N(LFontFileInfo::GetFamily(i)->GetFamilyName()));
        return families;
    }

    static KX::RCPtr<KX::LFont> Font(const wchar_t* face, int32_t style, float size = 12.0f)
    {
        KX::RCPtr<KX::LFont> font;
        return KX::LFont::Create(font, String(face), size, style);
    }

    // The file name of the path a font is served from.
    static std::wstring ServedFile(const wchar_t* face, int32_t style)
    {
        const std::wstring path = W(LFontFileInfo::GetFilePath(LFontFileInfo::GetFileID(Font(face, style))));
        return path.substr(path.find_last_of(L'\\') + 1);
    }
};

} // namespace

TEST_F(FontCatalogue, ThePrefixFontsFolderHoldsExactlyItsFamilies)
{
    ASSERT_EQ(S_OK, LFontFileInfo::BuildCatalogue());
    EXPECT_EQ((std::set<std::string>{"Tahoma", "Liberation Sans", "DejaVu Sans", "Marlett"}), Families());
    for (int32_t i = 0; i < LFontFileInfo::GetFamilyCount(); ++i)
        EXPECT_EQ(i, LFontFileInfo::GetFamily(i)->GetFamilyIndex());
    const KX::RCPtr<LFontFileInfo> tahoma = LFontFileInfo::FindFamily(String(L"Tahoma"));
    ASSERT_TRUE(tahoma);
    EXPECT_NE(std::wstring::npos, W(tahoma->GetPath(LFontFileInfo::Regular)).find(L"tahoma.ttf"));
    EXPECT_NE(std::wstring::npos, W(tahoma->GetPath(LFontFileInfo::Bold)).find(L"tahomabd.ttf"));
    EXPECT_TRUE(tahoma->GetPath(LFontFileInfo::Italic).IsEmpty());
}

TEST_F(FontCatalogue, AStyleIsServedByItsFileOrTheNearestOne)
{
    ASSERT_EQ(S_OK, LFontFileInfo::BuildCatalogue());
    EXPECT_EQ(L"tahoma.ttf", ServedFile(L"Tahoma", 0));
    EXPECT_EQ(L"tahomabd.ttf", ServedFile(L"Tahoma", 1));
    EXPECT_EQ(L"tahoma.ttf", ServedFile(L"Tahoma", 2)) << "italic: no bold italic, so the regular file";
    EXPECT_EQ(L"tahomabd.ttf", ServedFile(L"Tahoma", 3)) << "bold italic: the bold file";
    // Underline and strike-out choose no file: the id stays in Tahoma's family.
    const int32_t tahoma = LFontFileInfo::FindFamily(String(L"Tahoma"))->GetFamilyIndex();
    EXPECT_EQ(tahoma << 2, LFontFileInfo::GetFileID(Font(L"Tahoma", 4)));
    EXPECT_EQ(L"tahoma.ttf", ServedFile(L"Tahoma", 4));
    EXPECT_EQ((tahoma << 2) | 1, LFontFileInfo::GetFileID(Font(L"Tahoma", 1 | 8)));
}

TEST_F(FontCatalogue, AFamilyWithOnlyABoldFileServesRegularFromIt)
{
    TestFolder folder;
    const std::wstring bold = folder.WriteFile(L"kappabd.ttf", SfntFont(Names(L"Kappa", L"Bold")));
    ASSERT_EQ(S_OK, LFontFileInfo::ScanFolder(String(folder.Path().c_str())));
    const int32_t id = LFontFileInfo::GetFileID(Font(L"Kappa", 0));
    EXPECT_EQ(bold, W(LFontFileInfo::GetFilePath(id)));
    EXPECT_EQ(bold, W(LFontFileInfo::FindFamily(String(L"Kappa"))->GetPath(LFontFileInfo::Regular)))
        << "the regular slot keeps the bold path";
}

TEST_F(FontCatalogue, AFolderWithBrokenFilesIsReadToTheEndAndKeepsTheGoodOnes)
{
    TestFolder folder;
    const std::string dejaVu = PrefixFont(L"DejaVuSans.ttf");
    ASSERT_GT(dejaVu.size(), 4096u);
    folder.WriteFile(L"truncated.ttf", dejaVu.substr(0, dejaVu.size() / 2));
    std::string liar = "ttcf";
    Put32(liar, 0x00010000);
    Put32(liar, 0xFFFFFFFFu);
    Put32(liar, 12);
    folder.WriteFile(L"liar.ttc", liar);
    folder.WriteFile(L"empty.ttf", "");
    const std::wstring tahomaBold = folder.WriteFile(L"tahomabd.ttf", PrefixFont(L"tahomabd.ttf"));
    folder.WriteFile(L"zeta.ttf", SfntFont(Names(L"Zeta", L"Regular")));
    // Collections are read after the single fonts: its Zeta replaces the file's.
    const std::wstring collection =
        folder.WriteFile(L"more.ttc", Collection({Names(L"Eta", L"Bold"), Names(L"Zeta", L"Regular")}));

    ASSERT_EQ(S_OK, LFontFileInfo::ScanFolder(String(folder.Path().c_str())));
    EXPECT_EQ((std::set<std::string>{"Tahoma", "Zeta", "Eta"}), Families());
    EXPECT_EQ(tahomaBold, W(LFontFileInfo::FindFamily(String(L"Tahoma"))->GetPath(LFontFileInfo::Bold)));
    EXPECT_EQ(collection, W(LFontFileInfo::FindFamily(String(L"Zeta"))->GetPath(LFontFileInfo::Regular)));
    EXPECT_EQ(collection, W(LFontFileInfo::FindFamily(String(L"Eta"))->GetPath(LFontFileInfo::Bold)));
}

TEST_F(FontCatalogue, AMissingFolderIsAnEmptyCatalogue)
{
    ASSERT_EQ(S_OK, LFontFileInfo::BuildCatalogue());
    ASSERT_GT(LFontFileInfo::GetFamilyCount(), 0);
    TestFolder folder;
    EXPECT_EQ(S_OK, LFontFileInfo::ScanFolder(String((folder / L"missing").c_str())));
    EXPECT_EQ(0, LFontFileInfo::GetFamilyCount());
}

TEST_F(FontCatalogue, FileIdsOutsideTheCatalogueHaveNoPath)
{
    ASSERT_EQ(S_OK, LFontFileInfo::BuildCatalogue());
    const int32_t families = LFontFileInfo::GetFamilyCount();
    EXPECT_TRUE(LFontFileInfo::GetFilePath(-1).IsEmpty());
    EXPECT_TRUE(LFontFileInfo::GetFilePath(families * 4).IsEmpty());
    EXPECT_FALSE(LFontFileInfo::GetFilePath(LFontFileInfo::FindFamily(String(L"Tahoma"))->GetFamilyIndex() * 4)
                     .IsEmpty());
}

TEST_F(FontCatalogue, AFaceNobodyHasWithoutADefaultFontIsARuntimeError)
{
    ASSERT_EQ(S_OK, LFontFileInfo::BuildCatalogue());
    try {
        LFontFileInfo::GetFileID(Font(L"No Such Face", 0));
        FAIL() << "no family and no application default font";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Runtime Error : KX::LFontFileInfo::GetFileID : Renderer\\FontRenderer\\FontFileInfo : Line 464",
                     error.what());
    }
}

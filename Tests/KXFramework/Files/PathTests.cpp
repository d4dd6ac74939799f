#include "TestFolder.h"

#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/KXFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using String = KX::StringT<wchar_t, char>;
using FilesTest::TestFolder;

namespace {

String S(const std::wstring& text)
{
    return String(text.c_str());
}

std::wstring W(const String& text)
{
    return std::wstring(text.GetData());
}

std::vector<std::wstring> Sorted(const KX::StringArrayT& files)
{
    std::vector<std::wstring> paths;
    for (int32_t i = 0; i < files.GetCount(); ++i)
        paths.push_back(W(files.GetAt(i)));
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

TEST(Paths, SplitIntoFolderAndFileName)
{
    const struct {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* name;
    } cases[] = {
        {L"D:\\a\\b.txt", L"D:\\a", L"b.txt"},
        {L"b.txt", L"b.txt", L"b.txt"},
        {L"\\b.txt", L"", L"b.txt"},
        {L"D:/a/b.txt", L"D:/a/b.txt", L"b.txt"},     // '/' splits only the file name
        {L"D:\\a\\", L"D:\\a", L"D:\\a\\"},           // a final separator: the whole path is the name
        {L"D:\\a/b\\c/d.led", L"D:\\a/b", L"d.led"},  // the later separator counts
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(c.folder), W(KX::GetFolderPart(String(c.path)))) << "folder of " << String(c.path).ToNarrow().GetData();
        EXPECT_EQ(std::wstring(c.name), W(KX::GetFileNamePart(String(c.path)))) << "name of " << String(c.path).ToNarrow().GetData();
    }
}

TEST(Paths, MakeValidFileNameReplacesTheFifteenCharacters)
{
    const struct {
        const wchar_t* name;
        const wchar_t* valid;
    } cases[] = {
        {L"A/B: D", L"A_B_ D"},
        {L"\\/:*?\"<>|&;,^()", L"_______________"},
        {L"Kestrel Works, Inc. (Europe)", L"Kestrel Works_ Inc. _Europe_"},
        {L"Pr\u00fcf-Ger\u00e4t_1.0 [x] {y} 'z' %!#", L"Pr\u00fcf-Ger\u00e4t_1.0 [x] {y} 'z' %!#"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.valid), W(KX::MakeValidFileName(String(c.name))));
}

TEST(Paths, FolderExistsForRootsTrailingSeparatorsAndNonAsciiNames)
{
    TestFolder folder;
    const std::wstring nonAscii = folder / L"Einstellungen \u00e4\u00f6\u00fc \u65e5\u672c\u8a9e";
    ASSERT_TRUE(CreateDirectoryW(nonAscii.c_str(), nullptr));
    const std::wstring file = folder.WriteFile(L"plain.txt", "x");

    EXPECT_TRUE(KX::FolderExists(String(L"C:\\")));
    EXPECT_TRUE(KX::FolderExists(S(folder.Path())));
    EXPECT_TRUE(KX::FolderExists(S(folder.Path() + L"\\")));
    EXPECT_TRUE(KX::FolderExists(S(nonAscii)));
    EXPECT_TRUE(KX::FolderExists(S(nonAscii + L"\\")));
    EXPECT_FALSE(KX::FolderExists(S(file)));
    EXPECT_FALSE(KX::FolderExists(S(folder / L"missing")));
    EXPECT_FALSE(KX::FolderExists(String()));

    EXPECT_TRUE(KX::FileExists(S(file)));
    EXPECT_FALSE(KX::FileExists(S(folder.Path())));
    EXPECT_FALSE(KX::FileExists(S(nonAscii)));
    EXPECT_FALSE(KX::FileExists(S(folder / L"missing.txt")));
    EXPECT_FALSE(KX::FileExists(String()));
}

TEST(Paths, CreateFolderMakesMissingParentsAndReportsWhatWasThere)
{
    TestFolder folder;
    const std::wstring file = folder.WriteFile(L"plain.txt", "x");

    EXPECT_EQ(S_FALSE, KX::CreateFolder(S(folder.Path()))) << "an existing folder";
    EXPECT_EQ(E_FAIL, KX::CreateFolder(S(file))) << "a file of that name";

    const std::wstring nested = folder / L"Kestrel\\\u00dcbung/1_0_0";
    EXPECT_EQ(S_OK, KX::CreateFolder(S(nested)));
    EXPECT_TRUE(KX::FolderExists(S(folder / L"Kestrel\\\u00dcbung\\1_0_0")));
    EXPECT_EQ(S_FALSE, KX::CreateFolder(S(nested)));

    EXPECT_EQ(E_FAIL, KX::CreateFolder(S(file + L"\\below"))) << "a file stands in the way";
}

TEST(Paths, CreateFolderPathForAFileCreatesOnlyItsFolder)
{
    TestFolder folder;
    const std::wstring target = folder / L"a\\b\\settings.ini";
    EXPECT_TRUE(KX::CreateFolderPath(S(target), true));
    EXPECT_TRUE(KX::FolderExists(S(folder / L"a\\b")));
    EXPECT_FALSE(FilesTest::PathExists(target));

    EXPECT_TRUE(KX::CreateFolderPath(String(L"settings.ini"), true)) << "a bare name needs no folder";
    EXPECT_TRUE(KX::CreateFolderPath(S(folder / L"c\\d\\"), false));
    EXPECT_TRUE(KX::FolderExists(S(folder / L"c\\d")));
}

TEST(Paths, ListFilesOfMissingEmptyAndFilledFolders)
{
    TestFolder folder;
    KX::StringArrayT files;
    files.AddItem(String(L"stale"));

    EXPECT_EQ(E_NOTIMPL, KX::ListFiles(S(folder / L"missing"), String(L"*"), files));
    EXPECT_EQ(0, files.GetCount()) << "the array is emptied first";

    EXPECT_EQ(0, KX::ListFiles(S(folder.Path()), String(L"*"), files)) << "an empty folder";
    EXPECT_EQ(0, KX::ListFiles(S(folder.Path()), String(L"*.ttf"), files)) << "an empty folder, a pattern";

    folder.WriteFile(L"a.ttf", "a");
    folder.WriteFile(L"b.ttc", "b");
    folder.WriteFile(L"\u00e7.ttf", "c");
    CreateDirectoryW((folder / L"sub.ttf").c_str(), nullptr);

    EXPECT_EQ(3, KX::ListFiles(S(folder.Path()), String(L"*"), files));
    EXPECT_EQ((std::vector<std::wstring>{folder / L"a.ttf", folder / L"b.ttc", folder / L"\u00e7.ttf"}),
              Sorted(files));
    EXPECT_EQ(2, KX::ListFiles(S(folder.Path()), String(L"*.ttf"), files)) << "folders are left out";
    EXPECT_EQ((std::vector<std::wstring>{folder / L"a.ttf", folder / L"\u00e7.ttf"}), Sorted(files));
    EXPECT_EQ(0, KX::ListFiles(S(folder.Path()), String(L"*.fon"), files));
    EXPECT_EQ(0, files.GetCount());
}

TEST(Paths, GetLongPathNameOfExistingAndMissingPaths)
{
    TestFolder folder;
    const std::wstring file = folder.WriteFile(L"a rather long file name.settings", "x");
    EXPECT_EQ(file, W(KX::GetLongPathName(S(file))));

    wchar_t shortForm[MAX_PATH] = {};
    if (GetShortPathNameW(file.c_str(), shortForm, MAX_PATH) > 0 && file != shortForm) {
        EXPECT_EQ(file, W(KX::GetLongPathName(String(shortForm))));
    }

    const std::wstring missing = folder / L"no such file.txt";
    EXPECT_EQ(missing, W(KX::GetLongPathName(S(missing)))) << "an unresolvable path comes back as it was";
}

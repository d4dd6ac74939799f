#include "TestFolder.h"

#include "Utilities/Storage/KXFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using KX::File;
using String = KX::StringT<wchar_t, char>;
using FilesTest::TestFolder;

namespace {

String S(const std::wstring& text)
{
    return String(text.c_str());
}

// The text of the runtime error that the action throws, or a note that it
// threw nothing or something else.
std::string RuntimeErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const KX::Exception<std::runtime_error>& error) {
        return error.what();
    } catch (...) {
        return "<another exception>";
    }
    return "<no exception>";
}

} // namespace

TEST(KXFile, ReadsAtAnOffsetAndFromTheCurrentPosition)
{
    TestFolder folder;
    folder.WriteFile(L"data.bin", "0123456789");

    File file(S(folder.Path()), String(L"data.bin"), File::ReadOnly);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.GetPath() == S(folder / L"data.bin"));
    EXPECT_TRUE(file.GetName() == L"data.bin");
    EXPECT_EQ(10, file.GetLength());

    char buffer[16] = {};
    EXPECT_EQ(4, file.Read(buffer, 4, 2));
    EXPECT_EQ("2345", std::string(buffer, 4));
    EXPECT_EQ(4, file.Read(buffer, 4, -1));
    EXPECT_EQ("6789", std::string(buffer, 4));
    EXPECT_EQ(0, file.Read(buffer, 4, -1)) << "the end of the file is a short read, not an error";
    EXPECT_EQ(10, file.Read(buffer, 16, 0));
    EXPECT_EQ(3, file.Seek(-7, 2));
    EXPECT_EQ(-1, file.Seek(-20, 0));
}

TEST(KXFile, OpenWithAnEmptyNameTakesTheFolderAsThePathAndKeepsTheOldName)
{
    TestFolder folder;
    folder.WriteFile(L"one.txt", "1");
    folder.WriteFile(L"two.txt", "22");

    File file;
    EXPECT_EQ(File::ReadOnly, file.GetFlags());
    ASSERT_EQ(S_OK, file.Open(S(folder.Path()), String(L"one.txt"), File::ReadOnly));
    EXPECT_EQ(S_FALSE, file.Open(S(folder / L"two.txt"), String(), File::ReadOnly)) << "already open";
    EXPECT_TRUE(file.GetPath() == S(folder / L"one.txt"));
    ASSERT_EQ(S_OK, file.Close());

    ASSERT_EQ(S_OK, file.Open(S(folder / L"two.txt"), File::ReadOnly));
    EXPECT_TRUE(file.GetPath() == S(folder / L"two.txt"));
    EXPECT_TRUE(file.GetName() == L"one.txt");
    EXPECT_EQ(2, file.GetLength());
}

TEST(KXFile, CreateFlagsDecideWhetherAMissingFileIsMadeOrAnExistingOneRefused)
{
    TestFolder folder;
    File missing;
    EXPECT_EQ(E_FAIL, missing.Open(S(folder.Path()), String(L"new.bin"), File::ReadWrite));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.GetPath() == S(folder / L"new.bin")) << "the path of a failed open stays";
    EXPECT_EQ(File::ReadWrite, missing.GetFlags());

    {
        File created(S(folder.Path()), String(L"new.bin"), File::ReadWrite | File::Create);
        ASSERT_TRUE(created.IsOpen());
        EXPECT_EQ(3, created.Write("abc", 3, 0));
        EXPECT_EQ(2, created.Write("de", 2, -1));
        EXPECT_EQ(2, created.Write("XY", 2, 1));
        EXPECT_EQ(5, created.GetLength());
    }
    EXPECT_EQ("aXYde", FilesTest::ReadWholeFile(folder / L"new.bin"));

    File exclusive;
    EXPECT_EQ(E_FAIL, exclusive.Open(S(folder.Path()), String(L"new.bin"),
                                     File::ReadWrite | File::Create | File::FailIfExists));
    File again;
    EXPECT_EQ(S_OK, again.Open(S(folder.Path()), String(L"new.bin"), File::ReadWrite | File::Create));
}

TEST(KXFile, ErrorsThrowTheirExactTexts)
{
    TestFolder folder;
    folder.WriteFile(L"data.bin", "0123");
    const String path = S(folder / L"data.bin");
    char buffer[8] = {};

    File readOnly(path, String(), File::ReadOnly);
    File closed;
    File closedForWriting;
    ASSERT_EQ(E_FAIL, closedForWriting.Open(S(folder / L"missing.bin"), String(), File::ReadWrite));

    const struct {
        const char* name;
        std::function<void()> action;
        const char* text;
    } cases[] = {
        {"empty folder and name", [&] { File().Open(String(), String(), File::ReadOnly); },
         "Runtime Error : invalid pathname : KX::File::Open : Utilities/Storage/KXFile : Line 303"},
        {"constructor with empty folder and name", [&] { File(String(), String(), File::ReadOnly); },
         "Runtime Error : invalid pathname : KX::File::Open : Utilities/Storage/KXFile : Line 303"},
        {"write to a read-only file", [&] { readOnly.Write("x", 1, 0); },
         "Runtime Error : file is read only : KX::File::Write : Utilities/Storage/KXFile : Line 583"},
        {"read at a negative offset", [&] { readOnly.Read(buffer, 1, -2); },
         "Runtime Error : lseek : KX::File::Read : Utilities/Storage/KXFile : Line 457"},
        {"read a closed file at an offset", [&] { closed.Read(buffer, 1, 0); },
         "Runtime Error : lseek : KX::File::Read : Utilities/Storage/KXFile : Line 457"},
        {"read a closed file", [&] { closed.Read(buffer, 1, -1); },
         "Runtime Error : read : KX::File::Read : Utilities/Storage/KXFile : Line 484"},
        {"read a negative count", [&] { readOnly.Read(buffer, -1, -1); },
         "Runtime Error : read : KX::File::Read : Utilities/Storage/KXFile : Line 484"},
        {"write a closed file at an offset", [&] { closedForWriting.Write("x", 1, 0); },
         "Runtime Error : lseek : KX::File::Write : Utilities/Storage/KXFile : Line 592"},
        {"write a closed file", [&] { closedForWriting.Write("x", 1, -1); },
         "Runtime Error : write : KX::File::Write : Utilities/Storage/KXFile : Line 628"},
        {"size of a closed file", [&] { closed.GetLength(); },
         "Runtime Error : fstat : KX::File::GetLength : Utilities/Storage/KXFile : Line 122"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, RuntimeErrorText(c.action)) << c.name;
    EXPECT_EQ(-1, closed.Seek(0, 0));
}

TEST(KXFile, DeleteOnCloseRemovesTheFileOnCloseAndOnDestruction)
{
    TestFolder folder;
    const std::wstring first = folder.WriteFile(L"first.tmp", "1");
    const std::wstring second = folder.WriteFile(L"second.tmp", "2");

    File closing(S(first), String(), File::ReadOnly | File::DeleteOnClose);
    ASSERT_TRUE(closing.IsOpen());
    EXPECT_TRUE(FilesTest::PathExists(first));
    EXPECT_EQ(S_OK, closing.Close());
    EXPECT_FALSE(FilesTest::PathExists(first));
    EXPECT_FALSE(closing.IsOpen());

    {
        File destroyed(S(second), String(), File::ReadOnly | File::DeleteOnClose);
        ASSERT_TRUE(destroyed.IsOpen());
    }
    EXPECT_FALSE(FilesTest::PathExists(second));
}

TEST(KXFile, ASharedDescriptorIsClosedByItsLastHolder)
{
    TestFolder folder;
    const std::wstring path = folder.WriteFile(L"shared.tmp", "0123");

    auto* original = new File(S(path), String(), File::ReadOnly | File::DeleteOnClose);
    File copy(*original);
    EXPECT_EQ(S_OK, original->Close());
    EXPECT_TRUE(FilesTest::PathExists(path)) << "the copy still holds the descriptor";
    delete original;

    char buffer[4] = {};
    EXPECT_EQ(4, copy.Read(buffer, 4, 0)) << "the descriptor stays usable for the copy";
    EXPECT_EQ(S_OK, copy.Close());
    EXPECT_FALSE(FilesTest::PathExists(path));
}

TEST(KXFile, AssigningClosesTheFileThatWasHeld)
{
    TestFolder folder;
    const std::wstring first = folder.WriteFile(L"first.tmp", "1");
    const std::wstring second = folder.WriteFile(L"second.tmp", "22");

    File file(S(first), String(), File::ReadOnly | File::DeleteOnClose);
    File other(S(second), String(), File::ReadOnly);
    file = other;
    EXPECT_FALSE(FilesTest::PathExists(first)) << "the first file was closed and deleted";
    EXPECT_EQ(2, file.GetLength());
    EXPECT_TRUE(file.GetPath() == S(second));
}

TEST(KXFile, OpensAFileWithANonAsciiPath)
{
    TestFolder folder;
    const std::wstring name = L"Pr\u00fcfung \u65e5\u672c.bin";
    CreateDirectoryW((folder / L"\u00c4rger").c_str(), nullptr);
    const std::wstring sub = folder / L"\u00c4rger";
    ASSERT_TRUE(TestSystem::WriteWholeFile(sub + L"\\" + name, "xyz"));

    File file(S(sub), S(name), File::ReadOnly);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(3, file.GetLength());
}

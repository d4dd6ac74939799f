// What IniFileManager.dll leaves on disk: every change at once, in the documented
// format; damaged files read as far as they make sense and kept until a write;
// settings handed from one process to the next.
#include "IniFileFixture.h"

#include "Support/Windows/Programs.h"

#include <cstdlib>

using namespace IniFileTest;

namespace {

const wchar_t kChildFileVariable[] = L"INIFILEMANAGER_TEST_FILE";
const char kParentText[] = "from the parent \xE2\x80\x94 \xC3\xA9t\xC3\xA9";    // "— été"
const char kChildText[] = "from the child \xE5\xAD\x90\xE3\x83\x97\xE3\x83\xAD"; // "子プロ"

using IniFilePersistenceTest = IniFileFixture;

TEST_F(IniFilePersistenceTest, ANewFileIsMadeByTheFirstChangeWithItsComment)
{
    EXPECT_EQ(L"", folder.Listing()) << "opening writes nothing";
    int32_t value = 0;
    EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetInt(handle, "CurrentSkinIndex", 7, value));
    EXPECT_EQ(L"", folder.Listing()) << "nor does reading";
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 0));
    EXPECT_EQ("; TAVIK8 Updater settings, version 1_0_0\r\nCurrentSkinIndex=0\r\n", FileText());
    EXPECT_EQ(L"UserSettings.ini;", folder.Listing());
}

// The file's last write time, as a number.
uint64_t LastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

TEST_F(IniFilePersistenceTest, AChangeThatChangesNothingWritesNothing)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 2));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Window/Title", "TAVIK8"));
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Recent", 1));
    // An old time stamp that any write would replace.
    FILETIME old{0x12345678, 0x01D00000};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
    CloseHandle(file);
    const uint64_t stamp = LastWriteTime(path);
    const std::string before = FileText();

    EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 2));
    EXPECT_EQ(S_OK, lib.SetIniValueStr(handle, "Window/Title", "TAVIK8"));
    EXPECT_EQ(S_OK, lib.SetArrayCount(handle, "Recent", 1));
    EXPECT_EQ(S_OK, lib.SetArrayItemAt(handle, "Recent", 0, ""));
    int32_t opened = 0;
    EXPECT_EQ(S_OK, lib.Open(ToUtf8(path), opened));
    EXPECT_EQ(stamp, LastWriteTime(path));
    EXPECT_EQ(before, FileText());

    EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 3));
    EXPECT_NE(stamp, LastWriteTime(path)) << "a real change is written";
}

// UTF-16 text with its byte-order mark, little- or big-endian.
std::string Utf16(const std::wstring& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST_F(IniFilePersistenceTest, AUtf16FileIsReadAndKeptInItsForm)
{
    // As the system's profile functions leave a file, with keys of other programs.
    const std::wstring text = L"[Other]\r\nName=Gr\u00F6\u00DFe \u5B50\r\nCount=4\r\n[Window]\r\nWidth=640\r\n";
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        ASSERT_TRUE(TestSystem::WriteWholeFile(path, Utf16(text, bigEndian)));
        Reload();
        EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e \xE5\xAD\x90", lib.GetStr(handle, "Other/Name", "").text);
        int32_t value = 0;
        EXPECT_EQ(S_OK, lib.GetInt(handle, "Window/Width", 0, value));
        EXPECT_EQ(640, value);

        ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 1));
        const std::string written = FileText();
        ASSERT_GE(written.size(), 2u);
        EXPECT_EQ(bigEndian ? "\xFE\xFF" : "\xFF\xFE", written.substr(0, 2)) << "still UTF-16, same order";
        Reload();
        EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e \xE5\xAD\x90", lib.GetStr(handle, "Other/Name", "").text);
        EXPECT_EQ(S_OK, lib.GetInt(handle, "Other/Count", 0, value));
        EXPECT_EQ(4, value);
        EXPECT_EQ(S_OK, lib.GetInt(handle, "CurrentSkinIndex", 0, value));
        EXPECT_EQ(1, value);
    }
    // A UTF-8 byte-order mark stays as well.
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, "\xEF\xBB\xBFKey=1\r\n"));
    Reload();
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Key", 2));
    EXPECT_EQ("\xEF\xBB\xBF", FileText().substr(0, 3));
}

TEST_F(IniFilePersistenceTest, AReadOnlyFileIsNeverWritten)
{
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, "CurrentSkinIndex=3\r\n"));
    Reload();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(E_ACCESSDENIED, lib.SetIniValueInt(handle, "CurrentSkinIndex", 0));
    EXPECT_EQ(E_ACCESSDENIED, lib.SetIniValueStr(handle, "Other", "x"));
    EXPECT_EQ(E_ACCESSDENIED, lib.WriteIniFile(handle));
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "CurrentSkinIndex", 0, value));
    EXPECT_EQ(3, value) << "the settings in memory stay as the file has them";
    EXPECT_EQ("CurrentSkinIndex=3\r\n", FileText());
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY), GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(L"UserSettings.ini;", folder.Listing()) << "no temporary file left";
    EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 3)) << "no change, nothing to refuse";
}

TEST_F(IniFilePersistenceTest, EveryChangeIsInTheFileBeforeTheCallReturns)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 3));
    EXPECT_NE(std::string::npos, FileText().find("\r\nCurrentSkinIndex=3\r\n"));

    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Window/Main/Title", " TAVIK8\\Updater\n"));
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Recent", 2));
    ASSERT_EQ(S_OK, lib.SetArrayItemAt(handle, "Recent", 0, "C:\\Firmware\\first.led"));
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Empty", 0));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "\xC3\x9C" "bersicht/Gr\xC3\xB6\xC3\x9F" "e", "gro\xC3\x9F"));
    ASSERT_EQ(S_OK, lib.RemoveArrayItemAt(handle, "Recent", 1));
    EXPECT_EQ("; TAVIK8 Updater settings, version 1_0_0\r\n"
              "CurrentSkinIndex=3\r\n"
              "[Window/Main]\r\n"
              "Title=\\sTAVIK8\\\\Updater\\n\r\n"
              "[Recent]\r\n"
              "0=C:\\\\Firmware\\\\first.led\r\n"
              "[Empty]\r\n"
              "[\xC3\x9C" "bersicht]\r\n"
              "Gr\xC3\xB6\xC3\x9F" "e=gro\xC3\x9F\r\n",
        FileText());

    // Nothing but the file itself: no temporary file is left behind.
    EXPECT_EQ(L"UserSettings.ini;", folder.Listing());
}

TEST_F(IniFilePersistenceTest, ASettingSurvivesUnloadingTheLibraryWithoutWriteOrClose)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 4));
    ASSERT_TRUE(lib.Unload()); // nothing of the library is left in the process
    ASSERT_TRUE(lib.Load());
    int32_t reopened = 0;
    ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), reopened));
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(reopened, "CurrentSkinIndex", 0, value));
    EXPECT_EQ(4, value);
}

// Started by the test below as a second process; not run on its own.
TEST(IniFileManagerChild, DISABLED_ReadsTheParentsValueAndWritesOneBack)
{
    wchar_t file[4096] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(kChildFileVariable, file, 4096));
    IniFileLibrary lib;
    ASSERT_TRUE(lib.AllExportsFound());
    int32_t handle = 0;
    ASSERT_EQ(S_OK, lib.Open(ToUtf8(file), handle));
    EXPECT_EQ(kParentText, lib.GetStr(handle, "Handover/Parent", "").text);
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "CurrentSkinIndex", 0, value));
    EXPECT_EQ(7, value);
    EXPECT_EQ(S_OK, lib.SetIniValueStr(handle, "Handover/Child", kChildText));
}

TEST(IniFileManagerProcesses, AValueWrittenByOneProcessIsReadByTheNext)
{
    ScratchFolder folder;
    const std::wstring path = folder.File(L"R\u00E9glages-\u8A2D\u5B9A.ini");
    IniFileLibrary lib;
    ASSERT_TRUE(lib.AllExportsFound());
    int32_t handle = 0;
    ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), handle));
    ASSERT_EQ(S_OK, lib.SetIniValueStr(handle, "Handover/Parent", kParentText));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 7));

    // This same program again, running only the child's test.
    TestSystem::ChildOptions options;
    options.timeoutMs = 120000;
    options.environment = {{kChildFileVariable, path}};
    const TestSystem::ChildRun run =
        TestSystem::RunOwnTest(L"IniFileManagerChild.DISABLED_ReadsTheParentsValueAndWritesOneBack", options);
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode) << "the child process found other values";

    // The handle still open here sees what the other process wrote.
    EXPECT_EQ(kChildText, lib.GetStr(handle, "Handover/Child", "").text);
    EXPECT_EQ(kParentText, lib.GetStr(handle, "Handover/Parent", "").text);
}

TEST_F(IniFilePersistenceTest, ChangesMadeOnDiskMeanwhileAreSeen)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Mine", 1));
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, "Mine=1\r\nTheirs=2\r\n"));
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Theirs", 0, value));
    EXPECT_EQ(2, value);

    // A change keeps what the other writer added.
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, "Mine=1\r\nTheirs=3\r\n"));
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Mine", 5));
    Reload();
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Theirs", 0, value));
    EXPECT_EQ(3, value);

    // A file removed meanwhile holds nothing; the next change makes it again.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(INIFILE_S_DEFAULT, lib.GetInt(handle, "Mine", -1, value));
    EXPECT_EQ(-1, value);
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Again", 6));
    EXPECT_TRUE(FileExists(path));
    Reload();
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Again", 0, value));
    EXPECT_EQ(6, value);
}

const char kDamagedFile[] =
    "\xEF\xBB\xBF; a comment\r\n"
    "Top = 5 \r\n"
    "a line without an equals sign\r\n"
    "= a value without a name\r\n"
    "Top=6\r\n"
    "[Good]\n"
    "Name=two\\nlines\n"
    "Odd=\xFF\xFE bytes\n"
    "[Unclosed header\n"
    "Lost=1\n"
    "[Bad=Header]\n"
    "AlsoLost=1\n"
    "[Good/Sub]\r"
    "Deep=yes\r"
    "Zeros=\0\0\0\0\n"
    "[Recent]\n"
    "0=a\n"
    "1=b\n"
    "3=after a gap\n"
    "[Cut]\n"
    "Half=trunc";

TEST_F(IniFilePersistenceTest, ADamagedFileIsReadAsFarAsItMakesSenseAndKeptUntilAWrite)
{
    const std::string damaged(kDamagedFile, sizeof kDamagedFile - 1);
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, damaged));
    Reload();

    auto checkReadable = [this](int32_t rootCount) {
        int32_t value = 0;
        EXPECT_EQ(S_OK, lib.GetInt(handle, "Top", 0, value));
        EXPECT_EQ(5, value);
        EXPECT_EQ("two\nlines", lib.GetStr(handle, "Good/Name", "").text);
        EXPECT_EQ("\xFF\xFE bytes", lib.GetStr(handle, "Good/Odd", "").text);
        EXPECT_EQ("yes", lib.GetStr(handle, "Good/Sub/Deep", "").text);
        EXPECT_EQ("trunc", lib.GetStr(handle, "Cut/Half", "").text);
        int32_t count = -1;
        EXPECT_EQ(S_OK, lib.GetArrayCount(handle, "Recent", &count));
        EXPECT_EQ(2, count);
        EXPECT_EQ("after a gap", lib.GetStr(handle, "Recent/3", "").text);
        for (const char* gone : {"Unclosed header", "Lost", "AlsoLost", "Good/Zeros", "Good/Sub/Zeros"})
            EXPECT_FALSE(lib.DoesNodeExist(handle, gone)) << gone;
        EXPECT_EQ(S_OK, lib.GetKeyCount(handle, "", &count));
        EXPECT_EQ(rootCount, count);
    };
    checkReadable(4); // Top, Good, Recent, Cut
    EXPECT_EQ(damaged, FileText()) << "reading must not touch the file";
    EXPECT_EQ(E_INVALIDARG, lib.SetIniValueStr(handle, "a=b", "refused"));
    EXPECT_EQ(damaged, FileText()) << "a refused change must not touch the file";

    // The first write keeps everything that could be read.
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "CurrentSkinIndex", 1));
    EXPECT_NE(damaged, FileText());
    Reload();
    checkReadable(5);
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "CurrentSkinIndex", 0, value));
    EXPECT_EQ(1, value);
}

TEST_F(IniFilePersistenceTest, AFileCutShortAnywhereOpensAndKeepsItsCompleteLines)
{
    const std::string whole = "; comment\r\nFirst=1\r\n[Section]\r\nSecond=2\r\n[Array]\r\n0=x\r\n";
    ASSERT_EQ(S_OK, lib.CloseIniFile(handle, 0));
    for (size_t length = 0; length <= whole.size(); ++length) {
        const std::string cut = whole.substr(0, length);
        ASSERT_TRUE(TestSystem::WriteWholeFile(path, cut));
        int32_t cutHandle = 0;
        ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), cutHandle)) << length;
        int32_t value = 0;
        const bool firstComplete = cut.find("First=1") != std::string::npos;
        EXPECT_EQ(firstComplete ? S_OK : INIFILE_S_DEFAULT, lib.GetInt(cutHandle, "First", 0, value)) << length;
        const bool secondComplete = cut.find("Second=2") != std::string::npos;
        EXPECT_EQ(secondComplete ? 2 : 0, (lib.GetInt(cutHandle, "Section/Second", 0, value), value)) << length;
        int32_t count = -1;
        lib.GetArrayCount(cutHandle, "Array", &count);
        EXPECT_EQ(cut.find("0=") != std::string::npos ? 1 : 0, count) << length; // "0=" is an empty item
        EXPECT_EQ(cut, FileText()) << length;
        ASSERT_EQ(S_OK, lib.CloseIniFile(cutHandle, 0));
    }
}

TEST_F(IniFilePersistenceTest, AHeaderNestedTooDeepIsSkipped)
{
    std::string deep = "Top=2\r\n[";
    for (int depth = 0; depth < 100000; ++depth)
        deep += "a/";
    deep += "a]\r\nLost=1\r\n[Fine]\r\nX=3\r\n";
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, deep));
    Reload();
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Top", 0, value));
    EXPECT_EQ(2, value);
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Fine/X", 0, value));
    EXPECT_EQ(3, value);
    EXPECT_FALSE(lib.DoesNodeExist(handle, "a"));
    EXPECT_EQ(deep, FileText());
}

TEST_F(IniFilePersistenceTest, BinaryGarbageOpensWithoutHarm)
{
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 8192; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    ASSERT_TRUE(TestSystem::WriteWholeFile(path, garbage));
    Reload();
    int32_t count = -1;
    EXPECT_GE(lib.GetKeyCount(handle, "", &count), 0);
    for (int32_t i = 0; i < count; ++i)
        EXPECT_EQ(S_OK, lib.KeyNameAt(handle, "", i).result);
    EXPECT_EQ(garbage, FileText());
}

TEST_F(IniFilePersistenceTest, AFileTooLargeToBeSettingsIsNeitherOpenedNorTouched)
{
    ASSERT_EQ(S_OK, lib.CloseIniFile(handle, 0));
    const std::wstring large = folder.File(L"Large.ini");
    const std::string content = "Key=1\r\n" + std::string(INIFILE_MAX_FILE_SIZE, 'x');
    ASSERT_TRUE(TestSystem::WriteWholeFile(large, content));
    int32_t largeHandle = -1;
    EXPECT_EQ(E_FAIL, lib.Open(ToUtf8(large), largeHandle));
    EXPECT_EQ(0, largeHandle);
    std::string after;
    ASSERT_TRUE(TestSystem::ReadWholeFile(large, after));
    EXPECT_TRUE(after == content);
}

TEST_F(IniFilePersistenceTest, PathsThatCannotHoldAFileGiveNoHandle)
{
    const std::wstring missingFolder = folder.File(L"Missing\\UserSettings.ini");
    const std::wstring aFolder = folder.File(L"AFolder");
    ASSERT_TRUE(CreateDirectoryW(aFolder.c_str(), nullptr));
    for (const std::wstring& bad : {missingFolder, aFolder}) {
        int32_t badHandle = -1;
        EXPECT_EQ(E_FAIL, lib.Open(ToUtf8(bad), badHandle));
        EXPECT_EQ(0, badHandle);
    }
    EXPECT_EQ(L"AFolder;", folder.Listing());
}

TEST_F(IniFilePersistenceTest, AFailedWriteChangesNeitherTheFileNorTheSettings)
{
    ASSERT_EQ(S_OK, lib.SetIniValueInt(handle, "Value", 1));
    ASSERT_EQ(S_OK, lib.SetArrayCount(handle, "Items", 2));
    const std::string before = FileText();

    // The temporary file cannot be made where a folder of its name stands.
    const std::wstring blocker = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    EXPECT_EQ(E_FAIL, lib.SetIniValueInt(handle, "Value", 2));
    EXPECT_EQ(E_FAIL, lib.SetIniValueStr(handle, "Other", "x"));
    EXPECT_EQ(E_FAIL, lib.RemoveArrayItemAt(handle, "Items", 0));
    EXPECT_EQ(E_FAIL, lib.WriteIniFile(handle));
    int32_t value = 0;
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Value", 0, value));
    EXPECT_EQ(1, value);
    EXPECT_FALSE(lib.DoesNodeExist(handle, "Other"));
    int32_t count = 0;
    EXPECT_EQ(S_OK, lib.GetArrayCount(handle, "Items", &count));
    EXPECT_EQ(2, count);
    EXPECT_EQ(before, FileText());

    ASSERT_TRUE(RemoveDirectoryW(blocker.c_str()));
    EXPECT_EQ(S_OK, lib.SetIniValueInt(handle, "Value", 2));
    Reload();
    EXPECT_EQ(S_OK, lib.GetInt(handle, "Value", 0, value));
    EXPECT_EQ(2, value);
}

} // namespace

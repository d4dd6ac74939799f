// The update processor's command line: how options and their values are
// found, which exit code a status query reports, and which firmware file a
// command line names.
#include "Engine/UpdateProcessor.h"

#include <gtest/gtest.h>

namespace {

using String = KX::StringT<wchar_t, char>;

struct OptionCase
{
    const wchar_t* commandLine;
    const wchar_t* option;
    bool found;
    const wchar_t* value;
};

class FindOptionTest : public ::testing::TestWithParam<OptionCase>
{
};

TEST_P(FindOptionTest, FindsTheFirstOccurrenceAndItsValue)
{
    const OptionCase& c = GetParam();
    String value(L"left over");
    EXPECT_EQ(c.found, LUpdateProcessor::FindCommandLineOption(c.commandLine, c.option, value));
    EXPECT_EQ(String(c.value), value);
}

INSTANTIATE_TEST_SUITE_P(
    Options, FindOptionTest,
    ::testing::Values(
        // Flags, in any case, at the end or before a blank.
        OptionCase{L"prog.exe -silent", L"-SILENT", true, L""},
        OptionCase{L"prog.exe -Silent -START_UPDATE_AUTOMATICALLY", L"-SILENT", true, L""},
        OptionCase{L"prog.exe -start_update_automatically\t-silent", L"-START_UPDATE_AUTOMATICALLY", true, L""},
        // A flag glued to further letters is not the flag.
        OptionCase{L"prog.exe -SILENTLY", L"-SILENT", false, L""},
        // Only the first occurrence counts.
        OptionCase{L"prog.exe -SILENT_IF_UPDATE_NOT_NEEDED -SILENT", L"-SILENT", false, L""},
        OptionCase{L"prog.exe -SILENT -SILENT_IF_UPDATE_NOT_NEEDED", L"-SILENT", true, L""},
        OptionCase{L"prog.exe -SILENT -SILENT_IF_UPDATE_NOT_NEEDED", L"-SILENT_IF_UPDATE_NOT_NEEDED", true, L""},
        OptionCase{L"prog.exe", L"-SILENT", false, L""},
        // Values run to the next blank and keep their own case.
        OptionCase{L"prog.exe -FIRMWARE_IMAGE_NAME=fw2.led -SILENT", L"-FIRMWARE_IMAGE_NAME=", true, L"fw2.led"},
        OptionCase{L"prog.exe -FIRMWARE_IMAGE_NAME=fw2.led -SILENT", L"-SILENT", true, L""},
        OptionCase{L"prog.exe -firmware_image_name=MyFw.LED", L"-FIRMWARE_IMAGE_NAME=", true, L"MyFw.LED"},
        OptionCase{L"prog.exe -FIRMWARE_IMAGE_NAME=a.led -FIRMWARE_IMAGE_NAME=b.led", L"-FIRMWARE_IMAGE_NAME=",
                   true, L"a.led"},
        // A blank right after '=' means no value: not found.
        OptionCase{L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH= C:\\fw.led", L"-ABSOLUTE_FIRMWARE_FILE_PATH=", false,
                   L""},
        // At the very end: found, with an empty value.
        OptionCase{L"prog.exe -FIRMWARE_IMAGE_NAME=", L"-FIRMWARE_IMAGE_NAME=", true, L""},
        // A quoted value may hold blanks and is used without its quotes.
        OptionCase{L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\Program Files\\fw.led\" -SILENT",
                   L"-ABSOLUTE_FIRMWARE_FILE_PATH=", true, L"C:\\Program Files\\fw.led"},
        OptionCase{L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\Program Files\\fw.led\" -SILENT", L"-SILENT",
                   true, L""},
        OptionCase{L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\No End\\fw.led", L"-ABSOLUTE_FIRMWARE_FILE_PATH=",
                   true, L"C:\\No End\\fw.led"},
        OptionCase{L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"\" -SILENT", L"-ABSOLUTE_FIRMWARE_FILE_PATH=", true,
                   L""},
        // Options are written in upper case and begin with '-'.
        OptionCase{L"prog.exe -silent", L"-silent", false, L""},
        OptionCase{L"prog.exe SILENT", L"SILENT", false, L""},
        OptionCase{L"prog.exe - x", L"-", false, L""},
        OptionCase{L"prog.exe -SILENT", L"", false, L""}));

TEST(StatusExitCodeTest, ReportsPresenceModeAndNeedOfUpdate)
{
    struct Case
    {
        int32_t state;
        bool needed;
        bool set;
        int32_t code;
    };
    const Case cases[] = {
        {1, false, true, 1}, {1, true, true, 1}, {7, false, true, 2}, {7, true, true, 3}, {5, false, true, 4},
        {5, true, true, 5},  {0, false, false, 0}, {2, true, false, 0}, {3, true, false, 0}, {4, false, false, 0},
        {6, true, false, 0}, {8, true, false, 0},
    };
    for (const Case& c : cases) {
        int32_t code = 0;
        EXPECT_EQ(c.set, LUpdateProcessor::StatusExitCode(c.state, c.needed, code)) << c.state;
        EXPECT_EQ(c.code, code) << c.state << " " << c.needed;
    }
}

TEST(FirmwareFilePathTest, DefaultImageNameOrAbsolutePath)
{
    const String folder(L"C:\\Updater");
    EXPECT_EQ(String(L"C:\\Updater\\ZTSeries8.led"), LUpdateProcessor::FirmwareFilePath(L"prog.exe", folder));
    EXPECT_EQ(String(L"C:\\Updater\\fw2.led"),
              LUpdateProcessor::FirmwareFilePath(L"prog.exe -FIRMWARE_IMAGE_NAME=fw2.led -SILENT", folder));
    EXPECT_EQ(String(L"D:\\images\\fw.led"),
              LUpdateProcessor::FirmwareFilePath(
                  L"prog.exe -FIRMWARE_IMAGE_NAME=fw2.led -ABSOLUTE_FIRMWARE_FILE_PATH=D:\\images\\fw.led", folder));
    EXPECT_EQ(String(L"C:\\Program Files\\fw.led"),
              LUpdateProcessor::FirmwareFilePath(L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=\"C:\\Program Files\\fw.led\"",
                                                 folder));
    // A path option without a value falls back to the program's folder; one
    // with an empty value names nothing (the engine keeps its file).
    EXPECT_EQ(String(L"C:\\Updater\\ZTSeries8.led"),
              LUpdateProcessor::FirmwareFilePath(L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH= x", folder));
    EXPECT_TRUE(LUpdateProcessor::FirmwareFilePath(L"prog.exe -ABSOLUTE_FIRMWARE_FILE_PATH=", folder).IsEmpty());
}

} // namespace

// The command-line side of LUpdateProcessor: option lookup, the status exit
// codes and the firmware file's path. None of it needs the engine.
#include "Engine/UpdateProcessor.h"

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

bool LUpdateProcessor::FindCommandLineOption(const String& commandLine, const wchar_t* option, String& value)
{
    value.Empty();
    const String optionText(option ? option : L"");
    const int32_t optionLength = optionText.GetLength();
    if (optionLength < 2 || optionText.GetAt(0) != L'-')
        return false;

    const int32_t match = commandLine.ToUpper().Find(optionText);
    if (match < 0)
        return false;
    const int32_t end = match + optionLength;
    const int32_t length = commandLine.GetLength();

    if (optionText.GetAt(optionLength - 1) == L'=') {
        if (end >= length)
            return true; // at the very end: found, with an empty value
        const wchar_t next = commandLine.GetAt(end);
        if (IsBlank(next))
            return false;
        if (next == L'"') {
            // A quoted value is used without its quotes; with no closing
            // quote it runs to the end of the command line.
            const int32_t close = commandLine.Find('"', end + 1);
            value = close < 0 ? commandLine.Mid(end + 1) : commandLine.Mid(end + 1, close - end - 1);
            return true;
        }
        int32_t stop = end;
        while (stop < length && !IsBlank(commandLine.GetAt(stop)))
            ++stop;
        value = commandLine.Mid(end, stop - end);
        return true;
    }
    return end >= length || IsBlank(commandLine.GetAt(end));
}

bool LUpdateProcessor::StatusExitCode(int32_t deviceState, bool updateNeeded, int32_t& exitCode)
{
    switch (deviceState) {
    case 1: // no device found
        exitCode = 1;
        return true;
    case 7: // in update mode
        exitCode = updateNeeded ? 3 : 2;
        return true;
    case 5: // in normal mode
        exitCode = updateNeeded ? 5 : 4;
        return true;
    default:
        return false;
    }
}

LUpdateProcessor::String LUpdateProcessor::FirmwareFilePath(const String& commandLine, const String& programFolder)
{
    String value;
    if (FindCommandLineOption(commandLine, L"-ABSOLUTE_FIRMWARE_FILE_PATH=", value))
        return value;
    String path = programFolder;
    path += String(L"\\");
    if (FindCommandLineOption(commandLine, L"-FIRMWARE_IMAGE_NAME=", value))
        path += value;
    else
        path += String(kDefaultFirmwareFileName);
    return path;
}

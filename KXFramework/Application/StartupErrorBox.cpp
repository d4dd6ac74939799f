#include "Application/StartupErrorBox.h"

#include "System/DebugOutput.h"
#include "Utilities/Storage/StringT.h"

#include <ostream>

namespace KX {

namespace {

int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxFunction sBoxFunction = SystemMessageBox;

void ToDebugOutput(const wchar_t* text)
{
    std::wostream& stream = DebugOutput::GetInstance().GetWideStream();
    stream << text << L"\n";
    stream.flush();
}

void ToStandardError(const wchar_t* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) {
        StringT<char, wchar_t> utf8(text);
        utf8 += StringT<char, wchar_t>("\n");
        DWORD written = 0;
        WriteFile(error, utf8.GetData(), static_cast<DWORD>(utf8.GetLength()), &written, nullptr);
    }
}

} // namespace

int ShowStartupErrorBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    ToDebugOutput(text);
    const int answer = sBoxFunction(owner, text, caption, type);
    // No box could be shown (no window can be made): the text must still
    // reach the person who started the program.
    if (answer == 0)
        ToStandardError(text);
    return answer;
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return sBoxFunction(owner, text, caption, type);
}

MessageBoxFunction SetStartupErrorBoxFunction(MessageBoxFunction function)
{
    const MessageBoxFunction previous = sBoxFunction;
    sBoxFunction = function ? function : SystemMessageBox;
    return previous;
}

void ReportFatalError(const wchar_t* text)
{
    ToDebugOutput(text);
    ToStandardError(text);
}

void ReportStartupProblem(const wchar_t* text)
{
    ReportFatalError(text);
}

} // namespace KX

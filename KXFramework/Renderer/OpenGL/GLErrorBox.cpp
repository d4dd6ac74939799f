#include "Renderer/OpenGL/GLErrorBox.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/StringTable.h"
#include "System/DebugOutput.h"

#include <ostream>
#include <string>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

constexpr size_t kMaxSystemErrorText = 180;

int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxFunction sBoxFunction = SystemMessageBox;

// The system's text for an error code, without its line break.
std::wstring SystemErrorText(uint32_t code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

// Puts the value in place of the first placeholder; false when there is none.
bool ReplaceFirst(std::wstring& text, const wchar_t* placeholder, const std::wstring& value)
{
    const size_t at = text.find(placeholder);
    if (at == std::wstring::npos)
        return false;
    text.replace(at, 2, value);
    return true;
}

} // namespace

String GetGLErrorString(const wchar_t* identifier)
{
    String text;
    if (LFrameworkApp::sInstance && LFrameworkApp::sInstance->GetFrameworkStringTable())
        LFrameworkApp::sInstance->GetFrameworkStringTable()->GetString(identifier, text);
    return text.IsEmpty() ? String(identifier) : text;
}

String MakeGLErrorText(const wchar_t* messageId)
{
    return GetGLErrorString(messageId) + GetGLErrorString(L"GL_ERROR_UPDATE_DRIVER");
}

String MakeGLErrorText(const wchar_t* messageId, uint32_t errorCode)
{
    return FormatGLErrorText(MakeGLErrorText(messageId), errorCode);
}

String FormatGLErrorText(const String& boxText, uint32_t errorCode)
{
    std::wstring text = boxText.GetData();
    const std::wstring code = std::to_wstring(errorCode);
    const std::wstring system = SystemErrorText(errorCode);
    // Literal replacement, never printf: the text comes from a document.
    const bool placedCode = ReplaceFirst(text, L"%d", code);
    const bool placedSystem = ReplaceFirst(text, L"%s", system);
    if (!placedCode && !placedSystem)
        text += L" (" + code + (system.empty() ? L"" : L": " + system) + L")";
    if (text.size() > kMaxSystemErrorText)
        text.resize(kMaxSystemErrorText);
    return String(text.c_str());
}

int ShowGLErrorBox(const String& text, UINT icon)
{
    std::wostream& stream = DebugOutput::GetInstance().GetWideStream();
    stream << text.GetData() << L"\n";
    stream.flush();
    const String caption = GetGLErrorString(L"GL_ERROR_CAPTION");
    return sBoxFunction(nullptr, text.GetData(), caption.GetData(), MB_OK | icon);
}

MessageBoxFunction SetGLErrorBoxFunction(MessageBoxFunction function)
{
    const MessageBoxFunction previous = sBoxFunction;
    sBoxFunction = function ? function : SystemMessageBox;
    return previous;
}

} // namespace KX

// Another program on the clipboard, for the clipboard tests: each run does one
// thing and reports through its exit code (0 done, 1 no, 2 failed, 3 data not
// NUL-terminated) and, for reads, a file.
//
//   ClipboardPeer put-text TEXT       Unicode text, as a program would copy it
//   ClipboardPeer empty               empties the clipboard
//   ClipboardPeer has-private         0 when format 0x200 is on the clipboard
//   ClipboardPeer dump-unicode FILE   the Unicode text's bytes up to its NUL
//   ClipboardPeer dump-text FILE      the 8-bit text's bytes up to its NUL
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

bool OpenWithRetry()
{
    // The test program may still be closing the clipboard.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

int PutText(const wchar_t* text)
{
    if (!OpenWithRetry())
        return 2;
    int result = 2;
    if (EmptyClipboard()) {
        const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (block) {
            memcpy(GlobalLock(block), text, bytes);
            GlobalUnlock(block);
            if (SetClipboardData(CF_UNICODETEXT, block))
                result = 0;
            else
                GlobalFree(block);
        }
    }
    CloseClipboard();
    return result;
}

int Empty()
{
    if (!OpenWithRetry())
        return 2;
    const int result = EmptyClipboard() ? 0 : 2;
    CloseClipboard();
    return result;
}

int Dump(UINT format, size_t unit, const wchar_t* path)
{
    if (!OpenWithRetry())
        return 2;
    int result = 2;
    HANDLE data = GetClipboardData(format);
    const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes) {
        const size_t size = GlobalSize(data);
        size_t end = 0;
        bool terminated = false;
        for (; end + unit <= size; end += unit) {
            if (memcmp(bytes + end, "\0\0", unit) == 0) {
                terminated = true;
                end += unit;
                break;
            }
        }
        FILE* file = _wfopen(path, L"wb");
        if (file) {
            fwrite(bytes, 1, end, file);
            fclose(file);
            result = terminated ? 0 : 3;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2)
        return 2;
    const std::wstring command = args[1];
    if (command == L"put-text" && count > 2)
        return PutText(args[2]);
    if (command == L"empty")
        return Empty();
    if (command == L"has-private")
        return IsClipboardFormatAvailable(0x200) ? 0 : 1;
    if (command == L"dump-unicode" && count > 2)
        return Dump(CF_UNICODETEXT, sizeof(wchar_t), args[2]);
    if (command == L"dump-text" && count > 2)
        return Dump(CF_TEXT, 1, args[2]);
    return 2;
}

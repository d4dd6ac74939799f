// A settings library that lacks most of the fifteen operations: only
// OpenIniFile, GetIniValueInt and GetIniValueStr are exported. Its texts are
// made to try the caller's text protocol: some keys answer with sizes that no
// text can have, or with a buffer left without its terminating NUL.
#include <windows.h>

#include <cstring>

namespace {

int CopyText(const char* text, char* buffer, int size, int* needed)
{
    const int length = static_cast<int>(std::strlen(text));
    if (length + 1 > size) {
        *needed = length + 1;
        return -2;
    }
    std::memcpy(buffer, text, static_cast<size_t>(length) + 1);
    return 0;
}

} // namespace

extern "C" __declspec(dllexport) int OpenIniFile(const char*, const char*, const char*, int* handle)
{
    *handle = 7;
    return 0;
}

extern "C" __declspec(dllexport) int GetIniValueInt(int, const char* key, int defaultValue, int* value)
{
    *value = std::strcmp(key, "Answer") == 0 ? 42 : defaultValue;
    return 0;
}

extern "C" __declspec(dllexport) int GetIniValueStr(int, const char* key, const char* defaultText, char* buffer,
                                                    int size, int* needed)
{
    if (std::strcmp(key, "Unterminated") == 0) {
        std::memset(buffer, 'u', static_cast<size_t>(size));
        return 0;
    }
    if (std::strcmp(key, "ZeroSize") == 0) {
        *needed = 0;
        return -2;
    }
    if (std::strcmp(key, "NegativeSize") == 0) {
        *needed = -8;
        return -2;
    }
    if (std::strcmp(key, "AbsurdSize") == 0) {
        *needed = 0x7FFFFFFF;
        return -2;
    }
    if (std::strcmp(key, "FailsOnRetry") == 0) {
        if (size < 2000) {
            *needed = 2000;
            return -2;
        }
        std::strcpy(buffer, "partial");
        return -5;
    }
    return CopyText(defaultText, buffer, size, needed);
}

#include "Model/StateStore.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace Tavik8Sim {

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

namespace {

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH * 2)
        return path;
    return std::wstring(buffer, length);
}

std::wstring MutexName(const std::wstring& path)
{
    // FNV-1a over the lower-cased full path: one lock per state file.
    std::wstring full = FullPath(path);
    uint64_t hash = 1469598103934665603ull;
    for (wchar_t c : full) {
        hash ^= static_cast<uint64_t>(std::towlower(c));
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    _snwprintf(name, 64, L"Local\\Tavik8Sim-%016llx", static_cast<unsigned long long>(hash));
    name[63] = 0;
    return name;
}

bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    content.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return true;
}

void WriteFileData(const std::wstring& path, const void* data, size_t size, bool append)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (append)
        SetFilePointer(file, 0, nullptr, FILE_END);
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 20));
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            break;
        bytes += written;
        size -= written;
    }
    CloseHandle(file);
}

} // namespace

class StateStore::Lock
{
public:
    explicit Lock(void* mutex) : mMutex(mutex)
    {
        // An abandoned lock (a process ended while holding it) is ours now.
        if (mMutex)
            WaitForSingleObject(static_cast<HANDLE>(mMutex), INFINITE);
    }
    ~Lock()
    {
        if (mMutex)
            ReleaseMutex(static_cast<HANDLE>(mMutex));
    }

private:
    void* mMutex;
};

StateStore::StateStore(const std::wstring& path) : mPath(path)
{
    mMutex = CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
}

StateStore::~StateStore()
{
    if (mMutex)
        CloseHandle(static_cast<HANDLE>(mMutex));
}

DeviceState StateStore::Load()
{
    std::string text;
    if (!ReadWholeFile(mPath, text)) {
        DeviceState fresh;
        fresh.resetAt = WallClockNow();
        return fresh;
    }
    return DeviceState::Parse(text);
}

void StateStore::Update(const std::function<void(DeviceState&)>& change)
{
    Lock lock(mMutex);
    DeviceState state = Load();
    change(state);
    if (!state.changed)
        return;
    std::string text = state.Serialize();
    WriteFileData(mPath, text.data(), text.size(), false);
    if (state.truncateImage || !state.newImageBytes.empty())
        WriteFileData(ImagePath(), state.newImageBytes.data(), state.newImageBytes.size(), !state.truncateImage);
    if (state.truncateTranscript || !state.newTranscriptLines.empty()) {
        std::string lines;
        for (const std::string& line : state.newTranscriptLines)
            lines += line + "\n";
        WriteFileData(TranscriptPath(), lines.data(), lines.size(), !state.truncateTranscript);
    }
}

DeviceState StateStore::Read()
{
    Lock lock(mMutex);
    return Load();
}

std::string StateStore::ReadTranscript()
{
    Lock lock(mMutex);
    std::string text;
    ReadWholeFile(TranscriptPath(), text);
    return text;
}

Bytes StateStore::ReadImage()
{
    Lock lock(mMutex);
    std::string text;
    ReadWholeFile(ImagePath(), text);
    return Bytes(text.begin(), text.end());
}

std::wstring StateStore::PathFromEnvironment()
{
    wchar_t value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(L"TAVIK8_SIM", value, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) {
        wchar_t temp[MAX_PATH];
        DWORD tempLength = GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp, tempLength) + L"tavik8-sim.state";
    }
    std::wstring path(value, length);
    if (path[0] != L'/')
        return path;
    // A Unix path given to a program under Wine: Wine itself knows its drive.
    typedef WCHAR*(CDECL * ToDosName)(LPCSTR);
    auto toDos = reinterpret_cast<ToDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos) {
        if (WCHAR* dos = toDos(ToUtf8(path).c_str())) {
            std::wstring converted(dos);
            HeapFree(GetProcessHeap(), 0, dos);
            return converted;
        }
    }
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

TimeMs StateStore::WallClockNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<TimeMs>(ticks / 10000) - 11644473600000LL;
}

} // namespace Tavik8Sim

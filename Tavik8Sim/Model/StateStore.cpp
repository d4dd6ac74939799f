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

} // namespace

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

namespace {

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

// True while the process runs (or cannot be asked: then it is assumed to).
bool IsProcessRunning(DWORD processId)
{
    if (processId == GetCurrentProcessId())
        return true;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

void SignalRelease(DWORD processId, int64_t keeperId)
{
    if (keeperId == 0)
        return; // nobody to wake: the owner answers when it next looks
    HANDLE event =
        OpenEventW(EVENT_MODIFY_STATE, FALSE, StateStore::ReleaseEventName(processId, keeperId).c_str());
    if (event) {
        SetEvent(event);
        CloseHandle(event);
    }
}

std::string TranscriptText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Pending transcript and image bytes beyond which an owner writes at once.
const size_t kMaxPendingBytes = 1u << 20;

} // namespace

// Lives in the named section: every field is written under the named mutex.
// A store is named by its process and its address in that process.
struct StateStore::Shared
{
    volatile LONG64 generation;     // grows with every write of the files
    volatile LONG64 ownerStore;
    volatile LONG ownerProcess;     // 0: the files are the state
    volatile LONG releaseRequested; // by requestProcess/requestStore, to whom the owner hands over
    volatile LONG64 requestStore;
    volatile LONG requestProcess;
    volatile LONG64 ownerKeeper;    // the keeper that serves the owner (0: none)
    volatile LONG64 requestKeeper;
};

namespace {

LONG64 StoreId(const void* store)
{
    return static_cast<LONG64>(reinterpret_cast<intptr_t>(store));
}

} // namespace

class StateStore::Lock
{
public:
    explicit Lock(void* mutex, DWORD waitMs = INFINITE) : mMutex(mutex) { Relock(waitMs); }
    ~Lock() { Unlock(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // Without a mutex (it could not be made) the store runs unguarded.
    bool Held() const { return mHeld || !mMutex; }

    void Relock(DWORD waitMs = INFINITE)
    {
        if (!mMutex || mHeld)
            return;
        // An abandoned lock (a process ended while holding it) is ours now.
        const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mMutex), waitMs);
        mHeld = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }

    void Unlock()
    {
        if (mHeld)
            ReleaseMutex(static_cast<HANDLE>(mMutex));
        mHeld = false;
    }

private:
    void* mMutex;
    bool mHeld = false;
};

// The named mutex, held once no other store owns the state. An owner is
// asked to release it and hands it over to the asking store, which holds it
// until the access ends (so that a busy owner cannot take it straight back);
// an owner whose process has ended, or that does not answer in time, loses it.
class StateStore::Access
{
public:
    explicit Access(StateStore& store) : mStore(store), mLock(store.mMutex)
    {
        Shared* shared = store.mShared;
        if (!shared)
            return;
        const bool ownedBefore = store.Owns();
        const ULONGLONG deadline = GetTickCount64() + kReleaseTimeoutMs;
        for (;;) {
            const DWORD owner = static_cast<DWORD>(shared->ownerProcess);
            const int64_t ownerKeeper = shared->ownerKeeper;
            if (owner == 0) {
                shared->releaseRequested = 0; // whoever asked is no longer waiting for an owner
                return;
            }
            if (store.Owns()) {
                mHandedOver = !ownedBefore;
                return;
            }
            if (!IsProcessRunning(owner) || GetTickCount64() >= deadline) {
                shared->ownerProcess = 0;
                shared->ownerStore = 0;
                shared->ownerKeeper = 0;
                shared->releaseRequested = 0;
                return;
            }
            shared->requestProcess = static_cast<LONG>(GetCurrentProcessId());
            shared->requestStore = StoreId(&store);
            shared->requestKeeper = store.mKeeperId;
            shared->releaseRequested = 1;
            mLock.Unlock();
            SignalRelease(owner, ownerKeeper);
            WaitForSingleObject(static_cast<HANDLE>(store.mReleased), 5);
            mLock.Relock();
        }
    }

    ~Access()
    {
        if (!mHandedOver)
            return;
        mStore.mShared->ownerProcess = 0;
        mStore.mShared->ownerStore = 0;
        mStore.mShared->ownerKeeper = 0;
        // A store that asked meanwhile asks again (it looks every few ms).
        mStore.mShared->releaseRequested = 0;
        mLock.Unlock();
        if (mStore.mReleased)
            SetEvent(static_cast<HANDLE>(mStore.mReleased));
    }

    Access(const Access&) = delete;
    Access& operator=(const Access&) = delete;

    // The store goes on owning the state after this access.
    void KeepOwnership() { mHandedOver = false; }

private:
    StateStore& mStore;
    Lock mLock;
    bool mHandedOver = false;
};

StateStore::StateStore(const std::wstring& path, Caching caching) : mPath(path), mCaching(caching)
{
    const std::wstring name = MutexName(path);
    mMutex = CreateMutexW(nullptr, FALSE, name.c_str());
    mReleased = CreateEventW(nullptr, FALSE, FALSE, (name + L"-released").c_str());
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                        (name + L"-shared").c_str());
    if (section) {
        // A new section is all zeros: nobody owns the state, generation 0.
        mShared = static_cast<Shared*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
        if (mShared)
            mSection = section;
        else
            CloseHandle(section);
    }
}

StateStore::~StateStore()
{
    {
        std::lock_guard<std::mutex> guard(mGuard);
        if (Owns() || mDirty)
            ReleaseLocked(INFINITE);
    }
    if (mShared)
        UnmapViewOfFile(mShared);
    for (void* handle : {mSection, mReleased, mMutex}) {
        if (handle)
            CloseHandle(static_cast<HANDLE>(handle));
    }
}

bool StateStore::Owns() const
{
    return mShared && static_cast<DWORD>(mShared->ownerProcess) == GetCurrentProcessId() &&
           mShared->ownerStore == StoreId(this);
}

bool StateStore::TakeOwnership()
{
    if (!mShared)
        return false;
    Access access(*this);
    if (!mHaveCache || mShared->generation != mGeneration) {
        // Someone else wrote the files: they are the state now, and whatever
        // this store still held belongs to a state that has been replaced.
        mCache = LoadFile();
        mHaveCache = true;
        mGeneration = mShared->generation;
        mDirty = false;
        mPendingTranscript.clear();
        mTruncateTranscript = false;
        mPendingImage.clear();
        mTruncateImage = false;
    }
    mShared->ownerStore = StoreId(this);
    mShared->ownerProcess = static_cast<LONG>(GetCurrentProcessId());
    mShared->ownerKeeper = mKeeperId;
    // A request still recorded was meant for an earlier owner; a store that
    // still waits asks again.
    mShared->releaseRequested = 0;
    access.KeepOwnership();
    return true;
}

// Takes what a change produced into the owned state and the pending writes.
void StateStore::Keep(DeviceState& state)
{
    if (state.truncateTranscript) {
        mPendingTranscript.clear();
        mTruncateTranscript = true;
    }
    for (const std::string& line : state.newTranscriptLines)
        mPendingTranscript += line + "\n";
    if (state.truncateImage) {
        mPendingImage.clear();
        mTruncateImage = true;
    }
    mPendingImage.insert(mPendingImage.end(), state.newImageBytes.begin(), state.newImageBytes.end());
    state.newTranscriptLines.clear();
    state.newImageBytes.clear();
    state.truncateTranscript = false;
    state.truncateImage = false;
    state.changed = false;
    mCache = std::move(state);
    if (!mDirty) {
        mDirty = true;
        mDirtySince = WallClockNow();
    }
    if (mPendingTranscript.size() + mPendingImage.size() > kMaxPendingBytes)
        FlushLocked();
}

void StateStore::Update(const std::function<void(DeviceState&)>& change)
{
    std::lock_guard<std::mutex> guard(mGuard);
    if (mCaching == Caching::WriteBehind && (Owns() || TakeOwnership())) {
        DeviceState state = mCache;
        change(state);
        if (state.changed)
            Keep(state);
        return;
    }
    Access access(*this);
    DeviceState state = LoadFile();
    change(state);
    if (!state.changed)
        return;
    WriteFiles(state, TranscriptText(state.newTranscriptLines), state.truncateTranscript, state.newImageBytes,
               state.truncateImage);
}

void StateStore::FlushLocked()
{
    if (!mDirty)
        return;
    Lock lock(mMutex);
    // Written only when nobody else wrote since this store loaded or last
    // wrote the files (else it lost the state while it did not answer).
    if (!mShared || mShared->generation == mGeneration) {
        WriteFiles(mCache, mPendingTranscript, mTruncateTranscript, mPendingImage, mTruncateImage);
        if (mShared)
            mGeneration = mShared->generation;
    } else {
        mHaveCache = false;
    }
    mDirty = false;
    mPendingTranscript.clear();
    mTruncateTranscript = false;
    mPendingImage.clear();
    mTruncateImage = false;
}

void StateStore::ReleaseLocked(unsigned mutexWaitMs)
{
    Lock lock(mMutex, mutexWaitMs);
    if (!lock.Held())
        return;
    FlushLocked(); // the named mutex is re-entrant for its owning thread
    if (Owns()) {
        // Handed over to the store that asked, or to nobody.
        const bool asked = mShared->releaseRequested != 0;
        mShared->ownerStore = asked ? mShared->requestStore : 0;
        mShared->ownerProcess = asked ? mShared->requestProcess : 0;
        mShared->ownerKeeper = asked ? mShared->requestKeeper : 0;
        mShared->releaseRequested = 0;
    }
    lock.Unlock();
    if (mReleased)
        SetEvent(static_cast<HANDLE>(mReleased));
}

void StateStore::Flush()
{
    std::lock_guard<std::mutex> guard(mGuard);
    FlushLocked();
}

void StateStore::Release()
{
    std::lock_guard<std::mutex> guard(mGuard);
    ReleaseLocked(INFINITE);
}

void StateStore::Maintain(TimeUs flushAfter)
{
    // A busy store is skipped: it may be waiting for another store of the
    // same keeper to release the state. A request is signalled again while
    // it waits, and a flush is due again at the next round.
    std::unique_lock<std::mutex> guard(mGuard, std::try_to_lock);
    if (!guard.owns_lock())
        return;
    if (Owns() && mShared->releaseRequested)
        ReleaseLocked(INFINITE);
    else if (mDirty && WallClockNow() - mDirtySince >= flushAfter)
        FlushLocked();
}

void StateStore::ReleaseAtExit()
{
    std::unique_lock<std::mutex> guard(mGuard, std::try_to_lock);
    if (guard.owns_lock() && (Owns() || mDirty))
        ReleaseLocked(kReleaseTimeoutMs);
}

DeviceState StateStore::LoadFile()
{
    std::string text;
    if (!ReadWholeFile(mPath, text)) {
        DeviceState fresh;
        fresh.resetAt = WallClockNow();
        return fresh;
    }
    return DeviceState::Parse(text);
}

void StateStore::WriteFiles(const DeviceState& state, const std::string& transcript, bool truncateTranscript,
                            const Bytes& image, bool truncateImage)
{
    // The state file last: once it shows a change, the side files hold
    // everything that came with it (a process killed in between loses the
    // state's part, not a transcript line the state already counts).
    if (truncateImage || !image.empty())
        WriteFileData(ImagePath(), image.data(), image.size(), !truncateImage);
    if (truncateTranscript || !transcript.empty())
        WriteFileData(TranscriptPath(), transcript.data(), transcript.size(), !truncateTranscript);
    const std::string text = state.Serialize();
    WriteFileData(mPath, text.data(), text.size(), false);
    if (mShared)
        mShared->generation = mShared->generation + 1;
}

DeviceState StateStore::Read()
{
    std::lock_guard<std::mutex> guard(mGuard);
    if (Owns())
        return mCache;
    Access access(*this);
    return LoadFile();
}

std::string StateStore::ReadTranscript()
{
    std::lock_guard<std::mutex> guard(mGuard);
    FlushLocked();
    Access access(*this);
    std::string text;
    ReadWholeFile(TranscriptPath(), text);
    return text;
}

Bytes StateStore::ReadImage()
{
    std::lock_guard<std::mutex> guard(mGuard);
    FlushLocked();
    Access access(*this);
    std::string text;
    ReadWholeFile(ImagePath(), text);
    return Bytes(text.begin(), text.end());
}

std::wstring StateStore::ReleaseEventName(unsigned long processId, int64_t keeperId)
{
    wchar_t name[80];
    _snwprintf(name, 80, L"Local\\Tavik8Sim-release-%lu-%llx", processId, static_cast<unsigned long long>(keeperId));
    name[79] = 0;
    return name;
}

void StateStore::SetKeeper(int64_t keeperId)
{
    std::lock_guard<std::mutex> guard(mGuard);
    mKeeperId = keeperId;
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
    return WindowsPath(std::wstring(value, length));
}

std::wstring StateStore::WindowsPath(const std::wstring& path)
{
    if (path.empty() || path[0] != L'/')
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
    std::wstring windows = path;
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return L"Z:" + windows;
}

TimeUs StateStore::WallClockNow()
{
    // The precise clock where the system has it (the plain one steps in
    // milliseconds on Windows), in 100 ns units since 1601.
    typedef VOID(WINAPI * PreciseTime)(LPFILETIME);
    static const PreciseTime precise = reinterpret_cast<PreciseTime>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME ft;
    if (precise)
        precise(&ft);
    else
        GetSystemTimeAsFileTime(&ft);
    const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<TimeUs>(ticks / 10) - 11644473600000000LL;
}

} // namespace Tavik8Sim

#include "Winmm/SimulatedMidi.h"

#include "Model/DeviceModel.h"
#include "Model/StateKeeper.h"
#include "Model/StateStore.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace Tavik8Sim {

namespace {

// Cross-process changes (the tool switching the device off and on) are seen
// at least this often while a program listens to the device.
const TimeUs kPoll = Micros(20);

// Handle values: well above any device identifier, so that the capabilities
// functions can tell a handle from an identifier.
const UINT_PTR kFirstHandleValue = 0x4D490010;

struct Handle
{
    bool input = false;
    UINT_PTR value = 0;
    std::shared_ptr<StateStore> store;
    UINT deviceId = 0;
    std::string portName;
    bool isDevice = false;
    int64_t epoch = 0;
    DWORD callbackType = CALLBACK_NULL;
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 0;
    bool closed = false;
    // Input.
    std::deque<MIDIHDR*> queue;
    bool started = false;
    TimeUs startedAt = 0;
    // Output: long messages not yet reported done.
    std::vector<MIDIHDR*> inFlight;
};

struct Callback
{
    std::shared_ptr<Handle> handle;
    UINT message;
    DWORD_PTR param1;
    DWORD_PTR param2;
};

struct PendingDone
{
    TimeUs due;
    std::shared_ptr<Handle> handle;
    MIDIHDR* header;
};

// A message on the link to the device: the device receives it when its last
// byte arrives.
struct PendingArrival
{
    TimeUs started;
    TimeUs arrived;
    std::shared_ptr<Handle> handle;
    MIDIHDR* header; // the long message's header; null for a short message
    Bytes bytes;
};

struct View
{
    std::vector<Port> ports;
    int64_t epoch = 0;
};

View LookAt(DeviceState& state, TimeUs now)
{
    DeviceModel model(state);
    model.Advance(now);
    View view;
    view.ports = model.Ports();
    view.epoch = state.powerEpoch;
    return view;
}

bool IsAlive(const Handle& handle, const View& view)
{
    if (handle.isDevice) {
        return view.epoch == handle.epoch && handle.deviceId < view.ports.size() &&
               view.ports[handle.deviceId].isDevice && view.ports[handle.deviceId].name == handle.portName;
    }
    for (const Port& port : view.ports) {
        if (!port.isDevice && port.name == handle.portName)
            return true;
    }
    return false;
}

// Brings the handle's device up to now and, when the handle's port is still
// there, lets step work on the device's state; answers whether it is.
template <class Step>
bool WithLivePort(const Handle& handle, TimeUs now, Step&& step)
{
    bool alive = false;
    handle.store->Update([&](DeviceState& state) {
        alive = IsAlive(handle, LookAt(state, now));
        if (alive)
            step(state);
    });
    return alive;
}

// This process as the holder of open ports: its identifier and start time.
struct ProcessIdentity
{
    uint32_t id;
    int64_t start;
};

int64_t StartTimeOf(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return static_cast<int64_t>((static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

const ProcessIdentity& ThisProcess()
{
    static const ProcessIdentity self{GetCurrentProcessId(), StartTimeOf(GetCurrentProcess())};
    return self;
}

bool IsThisProcess(const OpenPort& port)
{
    return port.process == ThisProcess().id && port.processStart == ThisProcess().start;
}

// Whether the process that holds the port still runs (when it cannot be asked,
// it is taken to run).
bool IsHolderRunning(const OpenPort& port)
{
    if (IsThisProcess(port))
        return true;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, port.process);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && StartTimeOf(process) == port.processStart;
    CloseHandle(process);
    return running;
}

// Forgets the ports of a device that has gone off since they opened, and of
// programs that have ended without closing them.
void ForgetStalePorts(DeviceState& state)
{
    auto& ports = state.openPorts;
    const auto stale = std::remove_if(ports.begin(), ports.end(), [&](const OpenPort& port) {
        return port.epoch != state.powerEpoch || !IsHolderRunning(port);
    });
    if (stale != ports.end()) {
        ports.erase(stale, ports.end());
        state.changed = true;
    }
}

// The smallest header the system accepts: everything up to dwOffset.
bool IsHeaderSizeValid(UINT size)
{
    return size >= offsetof(MIDIHDR, dwOffset);
}

int ShortMessageLength(uint8_t status)
{
    if (status < 0x80)
        return 1;
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2)
        return 3;
    if (status < 0xE0 || status == 0xF1 || status == 0xF3)
        return 2;
    return 1;
}

void Notify(const Callback& callback)
{
    const Handle& h = *callback.handle;
    switch (h.callbackType) {
    case CALLBACK_FUNCTION:
        if (h.callback)
            reinterpret_cast<LPDRVCALLBACK>(h.callback)(reinterpret_cast<HDRVR>(h.value), callback.message, h.instance,
                                                        callback.param1, callback.param2);
        break;
    case CALLBACK_WINDOW:
        PostMessageW(reinterpret_cast<HWND>(h.callback), callback.message, static_cast<WPARAM>(h.value),
                     static_cast<LPARAM>(callback.param1));
        break;
    case CALLBACK_THREAD:
        PostThreadMessageW(static_cast<DWORD>(h.callback), callback.message, static_cast<WPARAM>(h.value),
                           static_cast<LPARAM>(callback.param1));
        break;
    case CALLBACK_EVENT:
        SetEvent(reinterpret_cast<HANDLE>(h.callback));
        break;
    default:
        break;
    }
}

void NotifyAll(const std::vector<Callback>& callbacks)
{
    for (const Callback& callback : callbacks)
        Notify(callback);
}

void MarkDone(MIDIHDR* header)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
}

void MarkQueued(MIDIHDR* header)
{
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
}

// A header may be handed over when it is prepared and not handed over already.
MMRESULT CheckQueueable(const MIDIHDR& header)
{
    if (!(header.dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    if (header.dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    return MMSYSERR_NOERROR;
}

template <class Caps>
void FillName(Caps& caps, const std::string& name)
{
    std::wstring wide = FromUtf8(name);
    size_t n = std::min<size_t>(wide.size(), MAXPNAMELEN - 1);
    std::memcpy(caps.szPname, wide.data(), n * sizeof(wchar_t));
    caps.szPname[n] = 0;
}

// Wide capabilities of the port called name, with the fields that input and
// output ports share filled in.
template <class WideCaps>
WideCaps NewCaps(const std::string& name)
{
    WideCaps w{};
    w.wMid = 0xFFFF;
    w.wPid = 0xFFFF;
    w.vDriverVersion = 0x0100;
    FillName(w, name);
    return w;
}

// The ANSI form of wide capabilities: the shared fields copied, the name
// converted to the ANSI code page.
template <class AnsiCaps, class WideCaps>
AnsiCaps SharedAnsiCaps(const WideCaps& w)
{
    AnsiCaps a{};
    a.wMid = w.wMid;
    a.wPid = w.wPid;
    a.vDriverVersion = w.vDriverVersion;
    WideCharToMultiByte(CP_ACP, 0, w.szPname, -1, a.szPname, MAXPNAMELEN, nullptr, nullptr);
    a.szPname[MAXPNAMELEN - 1] = 0;
    return a;
}

MIDIINCAPSA ToAnsi(const MIDIINCAPSW& w)
{
    return SharedAnsiCaps<MIDIINCAPSA>(w);
}

MIDIOUTCAPSA ToAnsi(const MIDIOUTCAPSW& w)
{
    MIDIOUTCAPSA a = SharedAnsiCaps<MIDIOUTCAPSA>(w);
    a.wTechnology = w.wTechnology;
    a.wChannelMask = w.wChannelMask;
    return a;
}

// Copies the capabilities into the caller's caps, wide or ANSI as asked, no
// more than size bytes of them.
template <class WideCaps>
void AnswerCaps(const WideCaps& w, void* caps, UINT size, bool wide)
{
    if (wide) {
        std::memcpy(caps, &w, std::min<size_t>(size, sizeof w));
    } else {
        const auto a = ToAnsi(w);
        std::memcpy(caps, &a, std::min<size_t>(size, sizeof a));
    }
}

} // namespace

struct SimulatedMidi::Impl
{
    CRITICAL_SECTION lock;
    std::map<UINT_PTR, std::shared_ptr<Handle>> handles;
    std::map<std::wstring, std::shared_ptr<StateStore>> stores;
    std::map<StateStore*, TimeUs> deadlines; // the device's next event, as last seen
    std::vector<PendingDone> dones;
    std::vector<PendingArrival> arrivals; // in the order of the link
    UINT_PTR nextValue = kFirstHandleValue;
    // The delivery thread sleeps on this condition (with `lock`): waking it
    // costs far less than signalling an event, which matters once per message.
    CONDITION_VARIABLE wakeCondition = CONDITION_VARIABLE_INIT;
    bool wakeRequested = false;
    // Writes the stores' state behind them and gives it to other processes.
    StateKeeper* keeper = nullptr;

    class Locked
    {
    public:
        explicit Locked(Impl& impl) : mImpl(impl) { EnterCriticalSection(&mImpl.lock); }
        ~Locked() { LeaveCriticalSection(&mImpl.lock); }

    private:
        Impl& mImpl;
    };

    std::shared_ptr<StateStore> CurrentStore()
    {
        std::wstring path = StateStore::PathFromEnvironment();
        std::shared_ptr<StateStore>& store = stores[path];
        if (!store) {
            // Every message passes through the store: it keeps the state in
            // memory while it owns it.
            store = std::make_shared<StateStore>(path, StateStore::Caching::WriteBehind);
            keeper->Add(store);
        }
        return store;
    }

    std::shared_ptr<Handle> Find(bool input, void* value)
    {
        auto it = handles.find(reinterpret_cast<UINT_PTR>(value));
        if (it == handles.end() || it->second->input != input)
            return nullptr;
        return it->second;
    }

    View ViewOf(StateStore& store)
    {
        View view;
        TimeUs now = StateStore::WallClockNow();
        store.Update([&](DeviceState& state) { view = LookAt(state, now); });
        return view;
    }

    // With the lock held.
    void Wake()
    {
        wakeRequested = true;
        WakeConditionVariable(&wakeCondition);
    }

    static DWORD WINAPI ThreadMain(void* self)
    {
        static_cast<Impl*>(self)->Run();
        return 0;
    }

    void Run()
    {
        for (;;) {
            // The device sees a message before the program hears it was sent.
            DeliverDueArrivals();
            CompleteDueSends();
            DeliverDueReplies();
            Locked locked(*this);
            if (!wakeRequested)
                SleepConditionVariableCS(&wakeCondition, &lock, NextWait());
            wakeRequested = false;
        }
    }

    void DeliverDueArrivals()
    {
        Locked locked(*this);
        const TimeUs now = StateStore::WallClockNow();
        size_t due = 0;
        while (due < arrivals.size() && arrivals[due].arrived <= now)
            ++due;
        for (size_t i = 0; i < due; ++i) {
            const PendingArrival& arrival = arrivals[i];
            // At the time it arrived, whenever this thread got to it.
            WithLivePort(*arrival.handle, arrival.arrived, [&](DeviceState& state) {
                if (arrival.handle->isDevice)
                    DeviceModel(state).Receive(arrival.arrived, arrival.handle->portName, arrival.bytes,
                                               arrival.started);
            });
        }
        arrivals.erase(arrivals.begin(), arrivals.begin() + static_cast<std::ptrdiff_t>(due));
    }

    // Sends bytes over the link at `now`: the device receives them at once
    // over an instant link, else when their last byte arrives. Answers when
    // that is; the caller holds the lock and `state` is the handle's device.
    TimeUs Transmit(DeviceState& state, const std::shared_ptr<Handle>& handle, TimeUs now, MIDIHDR* header,
                    const Bytes& bytes)
    {
        DeviceModel model(state);
        const WireSpan span = model.Transmit(now, bytes.size());
        if (span.end <= now) {
            if (handle->isDevice)
                model.Receive(now, handle->portName, bytes, span.start);
        } else {
            arrivals.push_back(PendingArrival{span.start, span.end, handle, header, bytes});
        }
        return span.end;
    }

    void CompleteDueSends()
    {
        std::vector<Callback> callbacks;
        {
            Locked locked(*this);
            TimeUs now = StateStore::WallClockNow();
            auto due = std::stable_partition(dones.begin(), dones.end(),
                                             [now](const PendingDone& d) { return d.due > now; });
            for (auto it = due; it != dones.end(); ++it) {
                std::vector<MIDIHDR*>& inFlight = it->handle->inFlight;
                auto at = std::find(inFlight.begin(), inFlight.end(), it->header);
                if (at == inFlight.end())
                    continue; // reset or closed meanwhile
                inFlight.erase(at);
                MarkDone(it->header);
                callbacks.push_back(Callback{it->handle, MOM_DONE, reinterpret_cast<DWORD_PTR>(it->header), 0});
            }
            dones.erase(due, dones.end());
        }
        NotifyAll(callbacks);
    }

    std::vector<std::shared_ptr<Handle>> ListeningHandles()
    {
        std::vector<std::shared_ptr<Handle>> listening;
        for (const auto& entry : handles) {
            if (entry.second->input && entry.second->isDevice && entry.second->started)
                listening.push_back(entry.second);
        }
        return listening;
    }

    void DeliverDueReplies()
    {
        std::vector<std::pair<std::shared_ptr<Handle>, std::vector<Bytes>>> deliveries;
        {
            Locked locked(*this);
            std::map<StateStore*, std::vector<std::shared_ptr<Handle>>> byStore;
            for (const std::shared_ptr<Handle>& handle : ListeningHandles())
                byStore[handle->store.get()].push_back(handle);
            deadlines.clear();
            for (auto& entry : byStore) {
                TimeUs now = StateStore::WallClockNow();
                std::vector<std::shared_ptr<Handle>> alive;
                std::vector<Bytes> messages;
                entry.first->Update([&](DeviceState& state) {
                    View view = LookAt(state, now);
                    for (const std::shared_ptr<Handle>& handle : entry.second) {
                        if (IsAlive(*handle, view))
                            alive.push_back(handle);
                    }
                    DeviceModel model(state);
                    if (!alive.empty())
                        messages = model.TakeDue(now);
                    deadlines[entry.first] = model.NextDeadline();
                });
                for (const std::shared_ptr<Handle>& handle : alive) {
                    if (!messages.empty())
                        deliveries.emplace_back(handle, messages);
                }
            }
        }
        for (const auto& delivery : deliveries) {
            for (const Bytes& message : delivery.second)
                Deliver(delivery.first, message);
        }
    }

    // One message from the device to one input handle: short messages as
    // MIM_DATA, system-exclusive ones buffer by buffer as MIM_LONGDATA. The
    // lock is let go before each report, so that the callback can hand its
    // buffer back for the rest of the message.
    void Deliver(const std::shared_ptr<Handle>& handle, const Bytes& message)
    {
        const bool systemExclusive = !message.empty() && message[0] == 0xF0;
        size_t offset = 0;
        while (offset < message.size()) {
            Callback callback{handle, 0, 0, 0};
            {
                Locked locked(*this);
                if (handle->closed || !handle->started)
                    return;
                const DWORD timestamp =
                    static_cast<DWORD>((StateStore::WallClockNow() - handle->startedAt) / kMicrosPerMilli);
                if (!systemExclusive) {
                    size_t length = std::min<size_t>(ShortMessageLength(message[offset]), message.size() - offset);
                    DWORD packed = 0;
                    for (size_t i = 0; i < length; ++i)
                        packed |= static_cast<DWORD>(message[offset + i]) << (8 * i);
                    offset += length;
                    callback = Callback{handle, MIM_DATA, packed, timestamp};
                } else {
                    if (handle->queue.empty())
                        return; // no buffer: the rest is lost
                    MIDIHDR* header = handle->queue.front();
                    handle->queue.pop_front();
                    size_t length = std::min<size_t>(header->dwBufferLength, message.size() - offset);
                    std::memcpy(header->lpData, message.data() + offset, length);
                    header->dwBytesRecorded = static_cast<DWORD>(length);
                    MarkDone(header);
                    offset += length;
                    callback = Callback{handle, MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), timestamp};
                }
            }
            Notify(callback);
        }
    }

    // With the lock held.
    DWORD NextWait()
    {
        TimeUs now = StateStore::WallClockNow();
        TimeUs wait = -1;
        auto consider = [&](TimeUs at) {
            TimeUs w = std::max<TimeUs>(0, at - now);
            if (wait < 0 || w < wait)
                wait = w;
        };
        for (const PendingDone& done : dones)
            consider(done.due);
        for (const PendingArrival& arrival : arrivals)
            consider(arrival.arrived);
        if (!ListeningHandles().empty()) {
            consider(now + kPoll);
            for (const auto& entry : deadlines) {
                if (entry.second != kNever)
                    consider(entry.second);
            }
        }
        // Whole milliseconds, rounded up: woken early, the thread would find
        // nothing due and go back to sleep.
        return wait < 0 ? INFINITE : static_cast<DWORD>((wait + kMicrosPerMilli - 1) / kMicrosPerMilli);
    }
};

namespace {

std::atomic<SimulatedMidi*> sInstance{nullptr};

} // namespace

SimulatedMidi& SimulatedMidi::Instance()
{
    // Never destroyed: the delivery thread may run until the process ends.
    static SimulatedMidi* instance = new SimulatedMidi();
    sInstance = instance;
    return *instance;
}

void SimulatedMidi::ProcessEnding()
{
    if (SimulatedMidi* instance = sInstance.load())
        instance->mImpl->keeper->ReleaseAllAtExit();
}

SimulatedMidi::SimulatedMidi() : mImpl(new Impl())
{
    InitializeCriticalSection(&mImpl->lock);
    mImpl->keeper = new StateKeeper();
    HANDLE thread = CreateThread(nullptr, 0, &Impl::ThreadMain, mImpl, 0, nullptr);
    if (thread) {
        SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
        CloseHandle(thread);
    }
}

UINT SimulatedMidi::GetNumDevs(bool /*input*/)
{
    Impl::Locked locked(*mImpl);
    return static_cast<UINT>(mImpl->ViewOf(*mImpl->CurrentStore()).ports.size());
}

MMRESULT SimulatedMidi::GetDevCaps(bool input, UINT_PTR id, void* caps, UINT size, bool wide)
{
    if (!caps)
        return MMSYSERR_INVALPARAM;
    std::string name;
    {
        Impl::Locked locked(*mImpl);
        std::shared_ptr<Handle> handle = mImpl->Find(input, reinterpret_cast<void*>(id));
        if (handle) {
            if (!IsAlive(*handle, mImpl->ViewOf(*handle->store)))
                return MMSYSERR_NODRIVER;
            name = handle->portName;
        } else {
            View view = mImpl->ViewOf(*mImpl->CurrentStore());
            if (id >= view.ports.size())
                return MMSYSERR_BADDEVICEID;
            name = view.ports[id].name;
        }
    }
    if (input) {
        AnswerCaps(NewCaps<MIDIINCAPSW>(name), caps, size, wide);
    } else {
        MIDIOUTCAPSW w = NewCaps<MIDIOUTCAPSW>(name);
        w.wTechnology = MOD_MIDIPORT;
        w.wChannelMask = 0xFFFF;
        AnswerCaps(w, caps, size, wide);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::Open(bool input, void* handleOut, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags)
{
    if (!handleOut)
        return MMSYSERR_INVALPARAM;
    *static_cast<UINT_PTR*>(handleOut) = 0;
    DWORD type = flags & CALLBACK_TYPEMASK;
    if (type != CALLBACK_NULL && type != CALLBACK_WINDOW && type != CALLBACK_THREAD && type != CALLBACK_FUNCTION &&
        type != CALLBACK_EVENT)
        return MMSYSERR_INVALFLAG;

    std::shared_ptr<Handle> handle = std::make_shared<Handle>();
    {
        Impl::Locked locked(*mImpl);
        std::shared_ptr<StateStore> store = mImpl->CurrentStore();
        handle->value = mImpl->nextValue;
        MMRESULT result = MMSYSERR_NOERROR;
        // The check and the claim in one step: no other program slips in between.
        store->Update([&](DeviceState& state) {
            const View view = LookAt(state, StateStore::WallClockNow());
            if (id >= view.ports.size()) {
                result = MMSYSERR_BADDEVICEID;
                return;
            }
            handle->input = input;
            handle->store = store;
            handle->deviceId = id;
            handle->portName = view.ports[id].name;
            handle->isDevice = view.ports[id].isDevice;
            handle->epoch = view.epoch;
            // A port is open at most once, as with a real driver: in this
            // program and in any other.
            for (const auto& entry : mImpl->handles) {
                const Handle& other = *entry.second;
                if (other.input == input && other.store == store && other.deviceId == id &&
                    other.portName == handle->portName && IsAlive(other, view))
                    result = MMSYSERR_ALLOCATED;
            }
            ForgetStalePorts(state);
            for (const OpenPort& port : state.openPorts) {
                if (port.input == input && port.deviceId == id && port.name == handle->portName)
                    result = MMSYSERR_ALLOCATED;
            }
            if (result != MMSYSERR_NOERROR)
                return;
            OpenPort claim;
            claim.input = input;
            claim.deviceId = id;
            claim.epoch = view.epoch;
            claim.process = ThisProcess().id;
            claim.processStart = ThisProcess().start;
            claim.handle = handle->value;
            claim.name = handle->portName;
            state.openPorts.push_back(claim);
            state.changed = true;
        });
        if (result != MMSYSERR_NOERROR)
            return result;
        handle->callbackType = type;
        handle->callback = callback;
        handle->instance = instance;
        mImpl->nextValue += 0x10;
        mImpl->handles[handle->value] = handle;
        *static_cast<UINT_PTR*>(handleOut) = handle->value;
    }
    Notify(Callback{handle, static_cast<UINT>(input ? MIM_OPEN : MOM_OPEN), 0, 0});
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::Close(bool input, void* value)
{
    std::shared_ptr<Handle> handle;
    {
        Impl::Locked locked(*mImpl);
        handle = mImpl->Find(input, value);
        if (!handle)
            return MMSYSERR_INVALHANDLE;
        if (!handle->queue.empty() || !handle->inFlight.empty())
            return MIDIERR_STILLPLAYING;
        handle->closed = true;
        handle->started = false;
        mImpl->handles.erase(handle->value);
        // Other programs may open the port from now on.
        handle->store->Update([&](DeviceState& state) {
            auto& ports = state.openPorts;
            const auto mine = std::remove_if(ports.begin(), ports.end(), [&](const OpenPort& port) {
                return IsThisProcess(port) && port.handle == handle->value;
            });
            if (mine != ports.end()) {
                ports.erase(mine, ports.end());
                state.changed = true;
            }
        });
    }
    // What the port did is on disk once it is closed.
    handle->store->Flush();
    Notify(Callback{handle, static_cast<UINT>(input ? MIM_CLOSE : MOM_CLOSE), 0, 0});
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::PrepareHeader(bool input, void* value, MIDIHDR* header, UINT size)
{
    Impl::Locked locked(*mImpl);
    if (!mImpl->Find(input, value))
        return MMSYSERR_INVALHANDLE;
    if (!header || !IsHeaderSizeValid(size) || !header->lpData)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::UnprepareHeader(bool input, void* value, MIDIHDR* header, UINT size)
{
    Impl::Locked locked(*mImpl);
    if (!mImpl->Find(input, value))
        return MMSYSERR_INVALHANDLE;
    if (!header || !IsHeaderSizeValid(size))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MMSYSERR_NOERROR;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::GetId(bool input, void* value, UINT* id)
{
    Impl::Locked locked(*mImpl);
    std::shared_ptr<Handle> handle = mImpl->Find(input, value);
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    if (!id)
        return MMSYSERR_INVALPARAM;
    *id = handle->deviceId;
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::AddBuffer(HMIDIIN value, MIDIHDR* header, UINT size)
{
    Impl::Locked locked(*mImpl);
    std::shared_ptr<Handle> handle = mImpl->Find(true, value);
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    if (!header || !IsHeaderSizeValid(size) || !header->lpData || header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    if (MMRESULT result = CheckQueueable(*header))
        return result;
    MarkQueued(header);
    header->dwBytesRecorded = 0;
    handle->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::Start(HMIDIIN value)
{
    Impl::Locked locked(*mImpl);
    std::shared_ptr<Handle> handle = mImpl->Find(true, value);
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    if (handle->started)
        return MMSYSERR_NOERROR;
    TimeUs now = StateStore::WallClockNow();
    const bool alive = WithLivePort(*handle, now, [&](DeviceState& state) {
        // Replies sent while nobody listened are gone.
        if (handle->isDevice)
            DeviceModel(state).DropDue(now);
    });
    if (!alive)
        return MMSYSERR_NODRIVER;
    handle->started = true;
    handle->startedAt = now;
    mImpl->Wake();
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::Stop(HMIDIIN value)
{
    Impl::Locked locked(*mImpl);
    std::shared_ptr<Handle> handle = mImpl->Find(true, value);
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    handle->started = false;
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::ResetInput(HMIDIIN value)
{
    std::vector<Callback> callbacks;
    {
        Impl::Locked locked(*mImpl);
        std::shared_ptr<Handle> handle = mImpl->Find(true, value);
        if (!handle)
            return MMSYSERR_INVALHANDLE;
        handle->started = false;
        DWORD timestamp = 0;
        for (MIDIHDR* header : handle->queue) {
            MarkDone(header);
            callbacks.push_back(Callback{handle, MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), timestamp});
        }
        handle->queue.clear();
    }
    NotifyAll(callbacks);
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::ShortMsg(HMIDIOUT value, DWORD message)
{
    Impl::Locked locked(*mImpl);
    std::shared_ptr<Handle> handle = mImpl->Find(false, value);
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    Bytes bytes;
    int length = ShortMessageLength(static_cast<uint8_t>(message & 0xFF));
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<uint8_t>(message >> (8 * i)));
    TimeUs now = StateStore::WallClockNow();
    const bool alive = WithLivePort(*handle, now, [&](DeviceState& state) {
        mImpl->Transmit(state, handle, now, nullptr, bytes);
    });
    mImpl->Wake();
    return alive ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
}

MMRESULT SimulatedMidi::LongMsg(HMIDIOUT value, MIDIHDR* header, UINT size)
{
    // The time the program handed the message over, before any wait here.
    const TimeUs now = StateStore::WallClockNow();
    std::shared_ptr<Handle> handle;
    {
        Impl::Locked locked(*mImpl);
        handle = mImpl->Find(false, value);
        if (!handle)
            return MMSYSERR_INVALHANDLE;
        if (!header || !IsHeaderSizeValid(size) || !header->lpData)
            return MMSYSERR_INVALPARAM;
        if (MMRESULT result = CheckQueueable(*header))
            return result;
        Bytes bytes(reinterpret_cast<const uint8_t*>(header->lpData),
                    reinterpret_cast<const uint8_t*>(header->lpData) + header->dwBufferLength);
        TimeUs done = now;
        bool completes = true;
        bool replied = false;
        const bool alive = WithLivePort(*handle, now, [&](DeviceState& state) {
            completes = state.settings.Text("send_done") != "never";
            const size_t replies = state.outbox.size();
            // Reported done once the last byte has arrived, after the driver's latency.
            done = mImpl->Transmit(state, handle, now, header, bytes) + state.settings.Duration("send_latency_ms");
            replied = state.outbox.size() != replies;
        });
        if (!alive)
            return MMSYSERR_NODRIVER;
        MarkQueued(header);
        if (!completes || done > now) {
            handle->inFlight.push_back(header);
            if (completes)
                mImpl->dones.push_back(PendingDone{done, handle, header});
            mImpl->Wake();
            return MMSYSERR_NOERROR;
        }
        MarkDone(header);
        // Only a reply the device has to deliver wakes the delivery thread.
        if (replied)
            mImpl->Wake();
    }
    // Over an instant link, without a driver's latency, the device has the
    // message before the call returns, and the driver says so at once (as a
    // driver that handles the message inside the call does).
    Notify(Callback{handle, MOM_DONE, reinterpret_cast<DWORD_PTR>(header), 0});
    return MMSYSERR_NOERROR;
}

MMRESULT SimulatedMidi::ResetOutput(HMIDIOUT value)
{
    std::vector<Callback> callbacks;
    {
        Impl::Locked locked(*mImpl);
        std::shared_ptr<Handle> handle = mImpl->Find(false, value);
        if (!handle)
            return MMSYSERR_INVALHANDLE;
        for (MIDIHDR* header : handle->inFlight) {
            MarkDone(header);
            callbacks.push_back(Callback{handle, MOM_DONE, reinterpret_cast<DWORD_PTR>(header), 0});
        }
        handle->inFlight.clear();
        auto& dones = mImpl->dones;
        dones.erase(std::remove_if(dones.begin(), dones.end(),
                                   [&](const PendingDone& d) { return d.handle == handle; }),
                    dones.end());
        // Long messages still on the link are cut off: the device never sees them.
        auto& arrivals = mImpl->arrivals;
        arrivals.erase(std::remove_if(arrivals.begin(), arrivals.end(),
                                      [&](const PendingArrival& a) { return a.handle == handle && a.header; }),
                       arrivals.end());
    }
    NotifyAll(callbacks);
    return MMSYSERR_NOERROR;
}

} // namespace Tavik8Sim

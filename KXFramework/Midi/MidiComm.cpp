#include "Midi/MidiComm.h"

#include "Midi/MidiCallbackTargets.h"
#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "System/Thread.h"
#include "System/ThreadPool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace KX {

namespace {

// The port lists of both directions are handled alike; the caller holds the
// component's lock.
template <class PortList>
void ListPortNames(const PortList& ports, StringArrayT& names)
{
    names.RemoveAll();
    for (int32_t i = 0; i < ports.GetCount(); ++i)
        names.AddItem(ports.GetAt(i)->GetName());
}

template <class PortList, class Port>
KXRESULT RemovePort(PortList& ports, Port* port)
{
    for (int32_t i = 0; i < ports.GetCount(); ++i) {
        if (ports.GetAt(i).Get() == port) {
            ports.RemoveItems(i, 1);
            return S_OK;
        }
    }
    return E_FAIL;
}

// The most recently opened port with the handle, or null.
template <class PortList, class Handle>
auto FindPortByHandle(const PortList& ports, Handle handle) -> decltype(ports.GetAt(0).Get())
{
    if (!handle)
        return nullptr;
    for (int32_t i = ports.GetCount() - 1; i >= 0; --i) {
        auto* port = ports.GetAt(i).Get();
        if (port->GetHandle() == handle)
            return port;
    }
    return nullptr;
}

using String = StringT<wchar_t, char>;

// One long message on its way: the header and a copy of the bytes, together,
// because the system may hold on to both after Send has given up waiting.
struct LongMessage
{
    MIDIHDR header;
    std::vector<char> bytes;
};

// How often Send tries to get a header back from an output that was reset
// after a time-out, and the pause between the tries.
const int kUnprepareAttempts = 50;
const DWORD kUnprepareRetryMs = 10;

} // namespace

LMidiComm::LMidiComm()
{
    CreateThreadPool();
    MidiCallbackTargets::Add(this);
}

LMidiComm::~LMidiComm()
{
    // A callback of a port closed just now may still be under way: it ends
    // before anything of this component goes.
    MidiCallbackTargets::Remove(this);
}

void LMidiComm::CreateThreadPool()
{
    mThreadPool = new LThreadPool(1, Thread::PriorityHighest);
}

// ---------------------------------------------------------------------------
// Device listing and naming

KXRESULT LMidiComm::GetDeviceProductNames(bool capture, StringArrayT& names)
{
    names.RemoveAll();
    const UINT count = capture ? midiInGetNumDevs() : midiOutGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        String name;
        if (capture) {
            MIDIINCAPSW caps{};
            if (midiInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
                return E_FAIL;
            name.Assign(caps.szPname, MAXPNAMELEN);
        } else {
            MIDIOUTCAPSW caps{};
            if (midiOutGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
                return E_FAIL;
            name.Assign(caps.szPname, MAXPNAMELEN);
        }
        names.AddItem(name);
    }
    return S_OK;
}

KXRESULT LMidiComm::GetCaptureDeviceNames(StringArrayT& names)
{
    StringArrayT products;
    const KXRESULT result = GetDeviceProductNames(true, products);
    MakeUniqueDeviceNames(products, names);
    return result;
}

KXRESULT LMidiComm::GetRenderDeviceNames(StringArrayT& names)
{
    StringArrayT products;
    const KXRESULT result = GetDeviceProductNames(false, products);
    MakeUniqueDeviceNames(products, names);
    return result;
}

void LMidiComm::MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique)
{
    Array<int32_t> sources;
    MakeUniqueDeviceNames(names, unique, sources);
}

void LMidiComm::MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique, Array<int32_t>& sources)
{
    // The names still to place, each with its index in `names`.
    std::vector<std::pair<String, int32_t>> rest;
    for (int32_t i = 0; i < names.GetCount(); ++i)
        rest.emplace_back(names.GetAt(i), i);

    StringArrayT result;
    Array<int32_t> resultSources;
    while (!rest.empty()) {
        const String name = rest.front().first;
        std::vector<int32_t> copies = {rest.front().second};
        rest.erase(rest.begin());
        for (auto it = rest.begin(); it != rest.end();) {
            if (it->first == name) {
                copies.push_back(it->second);
                it = rest.erase(it);
            } else {
                ++it;
            }
        }
        if (copies.size() == 1) {
            result.AddItem(name);
            resultSources.AddItem(copies.front());
            continue;
        }
        for (size_t j = 0; j < copies.size(); ++j) {
            String numbered;
            numbered.Format(L" (%d)", static_cast<int>(j + 1));
            result.AddItem(name + numbered);
            resultSources.AddItem(copies[j]);
        }
    }
    unique = result;
    sources = resultSources;
}

int32_t LMidiComm::FindPortName(const StringArrayT& names, const String& text, int32_t start)
{
    const String lowerText = text.ToLower();
    for (int32_t i = start < 0 ? 0 : start; i < names.GetCount(); ++i) {
        if (names.GetAt(i).ToLower().Find(lowerText) >= 0)
            return i;
    }
    return -1;
}

int32_t LMidiComm::ResolvePortName(const StringArrayT& names, const String& request, int32_t& position)
{
    const String lowerRequest = request.ToLower();
    position = -1;
    int32_t count = 0;
    int32_t start = 0;
    for (;;) {
        const int32_t found = FindPortName(names, lowerRequest, start);
        if (found < 0)
            break;
        if (names.GetAt(found).ToLower() == lowerRequest) {
            // An exact match wins over every partial one, before or after it.
            position = found;
            count = 1;
            break;
        }
        if (position == -1)
            position = found;
        ++count;
        start = found + 1;
    }
    return count;
}

void LMidiComm::SplitIndexedName(const String& name, String& base, int32_t& index)
{
    const int32_t length = name.GetLength();
    // The number as the run-time library reads it: leading digits, else 0.
    auto number = [&name](int32_t first, int32_t count) {
        String digits = name.Mid(first, count);
        return static_cast<int32_t>(std::wcstol(digits.GetData(), nullptr, 10));
    };
    if (length >= 4 && name.GetAt(length - 3) == L'(' && name.GetAt(length - 1) == L')') {
        index = number(length - 2, 1) - 1;
        base = name.Left(length - 4);
    } else if (length >= 5 && name.GetAt(length - 4) == L'(' && name.GetAt(length - 1) == L')') {
        index = number(length - 3, 2) - 1;
        base = name.Left(length - 5);
    } else {
        base = name;
        index = 0;
    }
}

LMidiComm::DeviceChoice LMidiComm::ChooseDevice(bool capture, const String& request)
{
    DeviceChoice choice;
    StringArrayT products;
    GetDeviceProductNames(capture, products);
    StringArrayT unique;
    Array<int32_t> sources;
    MakeUniqueDeviceNames(products, unique, sources);
    int32_t position = -1;
    choice.matches = ResolvePortName(unique, request, position);
    if (choice.matches == 1 && position >= 0) {
        choice.uniqueName = unique.GetAt(position);
        choice.deviceId = sources.GetAt(position);
        choice.productName = products.GetAt(choice.deviceId);
    }
    return choice;
}

int32_t LMidiComm::GetMessageLength(const void* first)
{
    const uint8_t status = *static_cast<const uint8_t*>(first);
    if (status < 0x80)
        return 1;
    if (status < 0xC0)
        return 3;
    if (status < 0xE0)
        return 2;
    if (status < 0xF0)
        return 3;
    switch (status) {
    case 0xF0:
    case 0xF7:
        return 0;
    case 0xF1:
        return 2;
    case 0xF2:
        return 3;
    case 0xF3:
    case 0xF4:
    case 0xF5:
        return 2;
    default:
        return 1;
    }
}

int32_t LMidiComm::GetCapturedShortMessageLength(uint8_t status)
{
    // The system packs a whole short message into one report, data bytes
    // included, for the system common messages as for the channel messages.
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        break;
    }
    if ((status >= 0x80 && status < 0xC0) || (status >= 0xE0 && status < 0xF0))
        return 3;
    if (status >= 0xC0 && status < 0xE0)
        return 2;
    return 1;
}

// ---------------------------------------------------------------------------
// Opening ports

KXRESULT LMidiComm::OpenCapturePort(const String& name, RCPtr<LRefCountedObject>& port)
{
    port = nullptr;
    MutexLock lock(mLock);

    StringArrayT names;
    GetCaptureDeviceNames(names);
    int32_t position = -1;
    const int32_t matches = ResolvePortName(names, name, position);
    if (matches >= 2)
        return E_INVALIDARG;

    if (matches == 1) {
        StringArrayT openNames;
        GetOpenCapturePortNames(openNames);
        const int32_t index = openNames.Find(names.GetAt(position), false);
        if (index >= 0) {
            RCPtr<LMidiCapturePort> existing = mCapturePorts.GetAt(index);
            MIDIINCAPSW caps{};
            if (existing->GetHandle() &&
                midiInGetDevCapsW(reinterpret_cast<UINT_PTR>(existing->GetHandle()), &caps, sizeof caps) ==
                    MMSYSERR_NOERROR) {
                port = existing;
            } else if (existing->Open() == MMSYSERR_NOERROR) {
                // Opened again: it listens only once input is started again.
                if (midiInStart(existing->GetHandle()) == MMSYSERR_NOERROR)
                    port = existing;
                else
                    existing->Close();
            }
            return port ? S_OK : E_FAIL;
        }
    }

    RCPtr<LMidiCapturePort> created;
    LMidiCapturePort::Create(created, name, RCPtr<LMidiComm>(this));
    if (created && created->Open() == MMSYSERR_NOERROR) {
        mCapturePorts.AddItem(created);
        created->AdjustInternalReferenceCount(1);
        if (midiInStart(created->GetHandle()) == MMSYSERR_NOERROR) {
            port = created;
        } else {
            created->Close();
            // The list's reference stops being internal before it goes, so
            // that its release does not start the port's own removal.
            created->AdjustInternalReferenceCount(-1);
            RemoveCapturePort(created.Get());
        }
    }
    return port ? S_OK : E_FAIL;
}

KXRESULT LMidiComm::OpenRenderPort(const String& name, RCPtr<LRefCountedObject>& port)
{
    port = nullptr;
    MutexLock lock(mLock);

    StringArrayT names;
    GetRenderDeviceNames(names);
    int32_t position = -1;
    const int32_t matches = ResolvePortName(names, name, position);
    if (matches >= 2)
        return E_INVALIDARG;

    if (matches == 1) {
        StringArrayT openNames;
        GetOpenRenderPortNames(openNames);
        const int32_t index = openNames.Find(names.GetAt(position), false);
        if (index >= 0) {
            RCPtr<LMidiRenderPort> existing = mRenderPorts.GetAt(index);
            MIDIOUTCAPSW caps{};
            if (existing->GetHandle() &&
                midiOutGetDevCapsW(reinterpret_cast<UINT_PTR>(existing->GetHandle()), &caps, sizeof caps) ==
                    MMSYSERR_NOERROR) {
                port = existing;
            } else if (existing->Open() == MMSYSERR_NOERROR) {
                port = existing;
            }
            return port ? S_OK : E_FAIL;
        }
    }

    RCPtr<LMidiRenderPort> created;
    LMidiRenderPort::Create(created, name, RCPtr<LMidiComm>(this));
    if (created && created->Open() == MMSYSERR_NOERROR) {
        mRenderPorts.AddItem(created);
        created->AdjustInternalReferenceCount(1);
        port = created;
    }
    return port ? S_OK : E_FAIL;
}

void LMidiComm::GetOpenCapturePortNames(StringArrayT& names)
{
    MutexLock lock(mLock);
    ListPortNames(mCapturePorts, names);
}

void LMidiComm::GetOpenRenderPortNames(StringArrayT& names)
{
    MutexLock lock(mLock);
    ListPortNames(mRenderPorts, names);
}

KXRESULT LMidiComm::RemoveCapturePort(LMidiCapturePort* port)
{
    MutexLock lock(mLock);
    return RemovePort(mCapturePorts, port);
}

KXRESULT LMidiComm::RemoveRenderPort(LMidiRenderPort* port)
{
    MutexLock lock(mLock);
    return RemovePort(mRenderPorts, port);
}

int32_t LMidiComm::GetCapturePortCount()
{
    MutexLock lock(mLock);
    return mCapturePorts.GetCount();
}

int32_t LMidiComm::GetRenderPortCount()
{
    MutexLock lock(mLock);
    return mRenderPorts.GetCount();
}

LMidiCapturePort* LMidiComm::FindCapturePort(HMIDIIN handle)
{
    return FindPortByHandle(mCapturePorts, handle);
}

LMidiRenderPort* LMidiComm::FindRenderPort(HMIDIOUT handle)
{
    return FindPortByHandle(mRenderPorts, handle);
}

// ---------------------------------------------------------------------------
// Capture

void CALLBACK LMidiComm::MidiInProc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                    DWORD_PTR param2)
{
    // Only a component that still lives is called, and it lives until this returns.
    const MidiCallbackTargets::Pin pin(reinterpret_cast<const void*>(instance));
    if (pin)
        reinterpret_cast<LMidiComm*>(instance)->OnMidiInMessage(handle, message, param1, param2);
}

void CALLBACK LMidiComm::MidiOutProc(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2)
{
    const MidiCallbackTargets::Pin pin(reinterpret_cast<const void*>(instance));
    if (pin)
        reinterpret_cast<LMidiComm*>(instance)->OnMidiOutMessage(handle, message, param1, param2);
}

void LMidiComm::OnMidiInMessage(HMIDIIN handle, UINT message, DWORD_PTR param1, DWORD_PTR param2)
{
    MutexLock lock(mLock);
    // Ports are looked at only as plain pointers here: a counted reference
    // taken on this thread could end a port inside the system's callback.
    LMidiCapturePort* port = FindCapturePort(handle);
    if (!port)
        return;
    switch (message) {
    case MIM_DATA:
    case MIM_MOREDATA:
        OnShortMessage(port, static_cast<DWORD>(param1), static_cast<DWORD>(param2));
        break;
    case MIM_LONGDATA:
        OnLongData(port, reinterpret_cast<MIDIHDR*>(param1), true);
        break;
    case MIM_LONGERROR:
        OnLongData(port, reinterpret_cast<MIDIHDR*>(param1), false);
        break;
    default:
        break;
    }
}

void LMidiComm::OnLongData(LMidiCapturePort* port, MIDIHDR* header, bool read)
{
    if (!header)
        return;
    // A buffer that comes back empty (a reset returns the queued buffers this
    // way) carries no part of any message.
    if (read && header->dwBytesRecorded > 0) {
        const DWORD count = header->dwBytesRecorded < header->dwBufferLength ? header->dwBytesRecorded
                                                                             : header->dwBufferLength;
        const auto* bytes = reinterpret_cast<const signed char*>(header->lpData);
        const bool complete = count < MidiInputBuffer::Size || static_cast<uint8_t>(bytes[count - 1]) == 0xF7;
        OnSysExData(port, bytes, static_cast<int32_t>(count), complete);
    }
    port->AddInputBuffer(header);
}

void LMidiComm::OnShortMessage(LMidiCapturePort* port, DWORD message, DWORD timeStamp)
{
    const int32_t length = GetCapturedShortMessageLength(static_cast<uint8_t>(message & 0xFF));
    const signed char bytes[3] = {static_cast<signed char>(message & 0xFF),
                                  static_cast<signed char>((message >> 8) & 0xFF),
                                  static_cast<signed char>((message >> 16) & 0xFF)};
    int32_t filtered = length;
    ApplyCaptureFilters(bytes, filtered);
    if (filtered <= 0)
        return;
    RCPtr<LMidiCaptureNotificationData> data;
    LMidiCaptureNotificationData::Create(data, port->GetName());
    data->SetTimeStamp(timeStamp);
    data->AppendBytes(bytes, length);
    QueueCapturedData(data);
}

void LMidiComm::OnSysExData(LMidiCapturePort* port, const signed char* bytes, int32_t count, bool complete)
{
    RCPtr<LMidiCaptureNotificationData>& pending = port->PendingMessage();
    if (!complete) {
        if (!pending)
            LMidiCaptureNotificationData::Create(pending, port->GetName());
        pending->AppendBytes(bytes, count);
        return;
    }
    if (!pending) {
        // A whole message in one buffer must be system-exclusive.
        if (count < 1 || static_cast<uint8_t>(bytes[0]) != 0xF0)
            return;
        int32_t length = count;
        ApplyCaptureFilters(bytes, length);
        if (length <= 0)
            return;
        RCPtr<LMidiCaptureNotificationData> data;
        LMidiCaptureNotificationData::Create(data, port->GetName());
        data->AppendBytes(bytes, count);
        QueueCapturedData(data);
        return;
    }
    RCPtr<LMidiCaptureNotificationData> message = pending;
    pending = nullptr;
    message->AppendBytes(bytes, count);
    int32_t length = message->GetBytes().GetCount();
    ApplyCaptureFilters(message->GetBytes().GetData(), length);
    if (length > 0)
        QueueCapturedData(message);
}

void LMidiComm::QueueCapturedData(const RCPtr<LMidiCaptureNotificationData>& data)
{
    // The component lock is held here, and the pool's lock is taken inside:
    // always in this order.
    if (mThreadPool)
        mThreadPool->QueueWork(ConstRCPtr<LThreadWorker>(this), ConstRCPtr<LRefCountedObject>(data.Get()),
                               Thread::PriorityNormal);
}

KXRESULT LMidiComm::DoWork(const ConstRCPtr<LRefCountedObject>& parameter)
{
    RCPtr<LNotification> notification;
    LNotification::Create(notification, NID_MIDI_DATA_CAPTURED, RCPtr<LRefCountedObject>(parameter.Get()));
    return SendNotification(notification);
}

// ---------------------------------------------------------------------------
// Sending

void LMidiComm::OnMidiOutMessage(HMIDIOUT handle, UINT message, DWORD_PTR /*param1*/, DWORD_PTR /*param2*/)
{
    // The moment of the report, before any wait for the lock.
    const int64_t now = Microseconds();
    MutexLock lock(mLock);
    LMidiRenderPort* port = FindRenderPort(handle);
    if (port && message == MOM_DONE) {
        port->SetDoneTime(now);
        port->GetIdleLight().SetGreen();
    }
}

int64_t LMidiComm::Microseconds()
{
    static const int64_t ticksPerSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart / ticksPerSecond * 1000000 + counter.QuadPart % ticksPerSecond * 1000000 / ticksPerSecond;
}

int64_t LMidiComm::GetTimeSinceSendDone(const ConstRCPtr<LRefCountedObject>& port)
{
    const LMidiRenderPort* render = dynamic_cast<const LMidiRenderPort*>(port.Get());
    const int64_t done = render ? render->GetDoneTime() : -1;
    return done < 0 ? -1 : std::max<int64_t>(0, Microseconds() - done);
}

int32_t LMidiComm::Send(const ConstRCPtr<LRefCountedObject>& port, const ConstRCPtr<LIBuffer>& buffer)
{
    if (!buffer)
        return E_INVALIDARG;
    return Send(port, buffer->GetData(), buffer->GetSize());
}

int32_t LMidiComm::Send(const ConstRCPtr<LRefCountedObject>& port, const IArray<signed char>& bytes)
{
    const int32_t count = bytes.GetCount();
    return Send(port, bytes.GetData(), count > 0 ? static_cast<uint32_t>(count) : 0);
}

int32_t LMidiComm::Send(const ConstRCPtr<LRefCountedObject>& port, const void* bytes, uint32_t length)
{
    LMidiRenderPort* render = dynamic_cast<LMidiRenderPort*>(port.Get());
    // The count sent is the result, so it must fit one.
    if (!render || length < 1 || length > 0x7FFFFFFF || !bytes)
        return E_INVALIDARG;
    // A long message of an earlier send may still be on its way; the send
    // goes on after the wait in any case.
    render->GetIdleLight().Wait(GetSendTimeout());
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (data[0] >= 0x80 && data[0] != 0xF0 && data[0] != 0xF7)
        return SendShortMessage(render, data, length);
    return SendLongMessage(render, bytes, length);
}

int32_t LMidiComm::SendShortMessage(LMidiRenderPort* port, const uint8_t* bytes, uint32_t length)
{
    DWORD message = bytes[0];
    if (length > 1)
        message |= static_cast<DWORD>(bytes[1]) << 8;
    if (length > 2)
        message |= static_cast<DWORD>(bytes[2]) << 16;
    if (midiOutShortMsg(port->GetHandle(), message) != MMSYSERR_NOERROR)
        return E_FAIL;
    return GetMessageLength(bytes);
}

int32_t LMidiComm::SendLongMessage(LMidiRenderPort* port, const void* bytes, uint32_t length)
{
    const HMIDIOUT handle = port->GetHandle();
    std::unique_ptr<LongMessage> message(new LongMessage());
    message->bytes.assign(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + length);
    MIDIHDR& header = message->header;
    std::memset(&header, 0, sizeof header);
    header.lpData = message->bytes.data();
    header.dwBufferLength = length;
    header.dwBytesRecorded = length;
    if (midiOutPrepareHeader(handle, &header, sizeof header) != MMSYSERR_NOERROR)
        return E_FAIL;

    TrafficLight& idle = port->GetIdleLight();
    idle.SetRed();
    const bool accepted = midiOutLongMsg(handle, &header, sizeof header) == MMSYSERR_NOERROR;
    const bool done = accepted && idle.Wait(GetSendTimeout()) == 0;
    if (accepted && !done) {
        // Never completed: the reset makes the system hand the header back.
        midiOutReset(handle);
    }
    MMRESULT unprepared = midiOutUnprepareHeader(handle, &header, sizeof header);
    for (int attempt = 1; unprepared == MIDIERR_STILLPLAYING && attempt < kUnprepareAttempts; ++attempt) {
        Sleep(kUnprepareRetryMs);
        midiOutReset(handle);
        unprepared = midiOutUnprepareHeader(handle, &header, sizeof header);
    }
    if (unprepared == MIDIERR_STILLPLAYING) {
        // The system still holds the header and the bytes: they must stay
        // valid, so they are left to it rather than freed under it.
        (void)message.release();
    }
    idle.SetGreen();
    return done ? static_cast<int32_t>(length) : E_FAIL;
}

} // namespace KX

// KX::LMidiComm's ports: opening a capture or render port by name (one path
// for both directions, which differ only as the direction types below say),
// and the two lists of open ports with their look-ups.
#include "Midi/MidiComm.h"

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

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

// Whether the system still answers for the device behind an open handle: its
// capabilities can be read through the handle.
template <class Caps, class Handle>
bool DeviceAnswers(MMRESULT(WINAPI* getCaps)(UINT_PTR, Caps*, UINT), Handle handle)
{
    Caps caps{};
    return getCaps(reinterpret_cast<UINT_PTR>(handle), &caps, sizeof caps) == MMSYSERR_NOERROR;
}

// What opening a port does in each direction: the devices it chooses among,
// whether an open handle still answers for its device, and what makes an
// opened port ready.
struct CaptureDirection
{
    using Port = LMidiCapturePort;

    static KXRESULT ListDevices(StringArrayT& names) { return LMidiComm::GetCaptureDeviceNames(names); }

    static bool Answers(HMIDIIN handle) { return DeviceAnswers<MIDIINCAPSW>(&midiInGetDevCapsW, handle); }

    // An input listens only once started; one that will not start is closed again.
    static bool MakeReady(LMidiCapturePort& port)
    {
        if (midiInStart(port.GetHandle()) == MMSYSERR_NOERROR)
            return true;
        port.Close();
        return false;
    }
};

struct RenderDirection
{
    using Port = LMidiRenderPort;

    static KXRESULT ListDevices(StringArrayT& names) { return LMidiComm::GetRenderDeviceNames(names); }

    static bool Answers(HMIDIOUT handle) { return DeviceAnswers<MIDIOUTCAPSW>(&midiOutGetDevCapsW, handle); }

    // An output is ready once it is open.
    static bool MakeReady(LMidiRenderPort& /*port*/) { return true; }
};

// A listed port asked for again: itself while its handle still answers, else
// opened (and made ready) again. S_OK with the port, or E_FAIL.
template <class Direction>
KXRESULT ReopenListedPort(const RCPtr<typename Direction::Port>& existing, RCPtr<LRefCountedObject>& port)
{
    if (existing->GetHandle() && Direction::Answers(existing->GetHandle()))
        port = existing;
    else if (existing->Open() == MMSYSERR_NOERROR && Direction::MakeReady(*existing))
        port = existing;
    return port ? S_OK : E_FAIL;
}

// Opens a port of the direction by name (the contract of
// LMidiCommInterface::OpenCapturePort and OpenRenderPort), under the
// component lock: a name that resolves to the unique name of a listed port
// gives that port; otherwise a new port is made, listed and made ready.
template <class Direction, class PortList>
KXRESULT OpenPort(LMidiComm& comm, PortList& ports, const String& name, RCPtr<LRefCountedObject>& port)
{
    using Port = typename Direction::Port;
    port = nullptr;
    MutexLock lock(comm.GetLock());

    StringArrayT names;
    Direction::ListDevices(names);
    int32_t position = -1;
    const int32_t matches = LMidiComm::ResolvePortName(names, name, position);
    if (matches >= 2)
        return E_INVALIDARG;

    if (matches == 1) {
        StringArrayT openNames;
        ListPortNames(ports, openNames);
        const int32_t index = openNames.Find(names.GetAt(position), false);
        if (index >= 0)
            return ReopenListedPort<Direction>(ports.GetAt(index), port);
    }

    RCPtr<Port> created;
    Port::Create(created, name, RCPtr<LMidiComm>(&comm));
    if (created && created->Open() == MMSYSERR_NOERROR) {
        ports.AddItem(created);
        created->AdjustInternalReferenceCount(1);
        if (Direction::MakeReady(*created)) {
            port = created;
        } else {
            // The list's reference stops being internal before it goes, so
            // that its release does not start the port's own removal.
            created->AdjustInternalReferenceCount(-1);
            RemovePort(ports, created.Get());
        }
    }
    return port ? S_OK : E_FAIL;
}

} // namespace

KXRESULT LMidiComm::OpenCapturePort(const String& name, RCPtr<LRefCountedObject>& port)
{
    return OpenPort<CaptureDirection>(*this, mCapturePorts, name, port);
}

KXRESULT LMidiComm::OpenRenderPort(const String& name, RCPtr<LRefCountedObject>& port)
{
    return OpenPort<RenderDirection>(*this, mRenderPorts, name, port);
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

} // namespace KX

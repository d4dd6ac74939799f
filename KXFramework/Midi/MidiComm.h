// KX::LMidiComm: the MIDI component over the Windows multimedia MIDI services.
//
// Naming. The system's devices are listed under unique names: names that occur
// more than once (compared exactly) are all numbered " (1)", " (2)", ... in
// device order, and the numbered copies of a name stand together at the place
// of its first occurrence: A, B, A, A give "A (1)", "A (2)", "A (3)", "B".
//
// Matching a requested name against the unique names, without regard to case:
// an entry equal to the request wins over every entry that merely contains it;
// otherwise the entries that contain it are counted: one is a match, two or
// more make the request ambiguous (E_INVALIDARG), none fails (E_FAIL). A port
// opens exactly the device behind the unique name that matched.
//
// Ports. The component lists every port it opened and holds it through that
// list (an internal reference of the port); every port holds its component.
// A request that matches the unique name a listed port was opened under gives
// that port again. When the last outside reference to a port goes, the port
// leaves the list and closes its device.
//
// Capture. The system's callbacks assemble complete messages under the
// component lock, filter them and queue each as a work item on the component's
// thread pool (one worker, dispatcher at the highest priority); the worker
// sends "NID_MIDI_DATA_CAPTURED" through this distributor, one message at a
// time in arrival order. A system-exclusive message that spans several input
// buffers is delivered once, whole.
//
// Locks. The component lock guards both port lists and the capture state of
// every port. It is re-entrant: the system may call back on the thread that
// holds it while a port opens or closes. It is taken before the thread pool's
// lock, never after it. Send takes no lock.
//
// Lifetime. The system's callbacks reach the component by a plain pointer and
// may still be under way when its last port closes: every callback pins the
// component in KX::MidiCallbackTargets first, and the destructor waits until
// no callback holds it. A callback that comes after the component has gone
// is dropped.
#pragma once

#include "Midi/MidiCommInterface.h"
#include "System/Mutex.h"
#include "System/ThreadWorker.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringArrayT.h"

#include "KXPlatform.h"
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

namespace KX {

class LMidiCapturePort;
class LMidiRenderPort;
class LMidiCaptureNotificationData;
class LThreadPool;

class LMidiComm : public LMidiCommInterface, public LThreadWorker
{
public:
    // How long Send waits for an earlier long message, and for its own.
    static constexpr uint32_t DefaultSendTimeoutMilliseconds = 10000;

    // What the name resolution chose for a request: the number of matches and,
    // for exactly one, the unique name and the device behind it.
    struct DeviceChoice
    {
        int32_t matches = 0;
        int32_t deviceId = -1;
        StringT<wchar_t, char> uniqueName;
        StringT<wchar_t, char> productName;
    };

    KXRESULT OpenCapturePort(const StringT<wchar_t, char>& name, RCPtr<LRefCountedObject>& port) override;
    KXRESULT OpenRenderPort(const StringT<wchar_t, char>& name, RCPtr<LRefCountedObject>& port) override;
    using LMidiCommInterface::Send;
    int32_t Send(const ConstRCPtr<LRefCountedObject>& port, const ConstRCPtr<LIBuffer>& buffer) override;
    int32_t Send(const ConstRCPtr<LRefCountedObject>& port, const IArray<signed char>& bytes) override;
    // Sends `length` bytes to a render port (see LMidiCommInterface::Send).
    int32_t Send(const ConstRCPtr<LRefCountedObject>& port, const void* bytes, uint32_t length);
    int64_t GetTimeSinceSendDone(const ConstRCPtr<LRefCountedObject>& port) override;

    // The clock of the completion times: the performance counter in microseconds.
    static int64_t Microseconds();

    // Delivery of one captured message (the parameter) on the pool's worker:
    // answers the distributor's result for sending "NID_MIDI_DATA_CAPTURED".
    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override;

    // ---- Device listing and naming -------------------------------------------

    // The product names of the input (output) devices in identifier order, made
    // unique. A failing capabilities call ends the list there: E_FAIL with the
    // names read so far; else S_OK.
    static KXRESULT GetCaptureDeviceNames(StringArrayT& names);
    static KXRESULT GetRenderDeviceNames(StringArrayT& names);
    // The product names as the system lists them, not made unique.
    static KXRESULT GetDeviceProductNames(bool capture, StringArrayT& names);
    static void MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique);
    // The same, with the index into `names` (the device identifier) of every
    // unique name.
    static void MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique, Array<int32_t>& sources);
    // The number of matches of the request in the unique names (see above);
    // `position` is the index of the match that counts, or -1.
    static int32_t ResolvePortName(const StringArrayT& names, const StringT<wchar_t, char>& request,
                                   int32_t& position);
    // The index of the first name at or after `start` that contains `text`,
    // without regard to case, or -1.
    static int32_t FindPortName(const StringArrayT& names, const StringT<wchar_t, char>& text, int32_t start);
    // Splits a trailing " (N)" with one or two digits off a name: the base
    // without the suffix (and the character before "("), and N - 1. A number
    // that does not read as digits counts as 0 (index -1); any other name is
    // its own base with index 0.
    static void SplitIndexedName(const StringT<wchar_t, char>& name, StringT<wchar_t, char>& base, int32_t& index);
    // Lists the input (output) devices now and resolves the request among them.
    static DeviceChoice ChooseDevice(bool capture, const StringT<wchar_t, char>& request);
    // The length of a MIDI message by its first byte (0 for 0xF0 and 0xF7).
    static int32_t GetMessageLength(const void* first);
    // The length of a short message that arrived as a packed word, by its status.
    static int32_t GetCapturedShortMessageLength(uint8_t status);

    // ---- Ports ----------------------------------------------------------------

    // The names the listed ports were opened under, in list order.
    void GetOpenCapturePortNames(StringArrayT& names);
    void GetOpenRenderPortNames(StringArrayT& names);
    // Takes the port off its list, under the component lock; E_FAIL when it
    // is not listed.
    KXRESULT RemoveCapturePort(LMidiCapturePort* port);
    KXRESULT RemoveRenderPort(LMidiRenderPort* port);
    int32_t GetCapturePortCount();
    int32_t GetRenderPortCount();

    // The component lock (re-entrant).
    Mutex& GetLock() { return mLock; }

    // The time limit of Send's waits (10000 ms unless changed; tests shorten it).
    void SetSendTimeout(uint32_t milliseconds) { mSendTimeout.store(milliseconds); }
    uint32_t GetSendTimeout() const { return mSendTimeout.load(); }

    // ---- The system's callbacks -----------------------------------------------

    // The instance value is the component (a plain pointer); null, and a
    // component that has gone, are ignored.
    static void CALLBACK MidiInProc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                    DWORD_PTR param2);
    static void CALLBACK MidiOutProc(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2);
    void OnMidiInMessage(HMIDIIN handle, UINT message, DWORD_PTR param1, DWORD_PTR param2);
    void OnMidiOutMessage(HMIDIOUT handle, UINT message, DWORD_PTR param1, DWORD_PTR param2);
    // The two halves of the capture path; the caller holds the component lock.
    void OnShortMessage(LMidiCapturePort* port, DWORD message, DWORD timeStamp);
    void OnSysExData(LMidiCapturePort* port, const signed char* bytes, int32_t count, bool complete);

protected:
    friend class LMidiCommInterface;

    LMidiComm();
    ~LMidiComm() override;

    // The component's own pool: one worker, dispatcher at the highest priority.
    virtual void CreateThreadPool();

private:
    // Queues the data for delivery on the pool's worker.
    void QueueCapturedData(const RCPtr<LMidiCaptureNotificationData>& data);
    LMidiCapturePort* FindCapturePort(HMIDIIN handle);
    LMidiRenderPort* FindRenderPort(HMIDIOUT handle);
    // Hands an input buffer back after a long-data report.
    void OnLongData(LMidiCapturePort* port, MIDIHDR* header, bool read);
    // A short message: midiOutShortMsg with up to three bytes.
    int32_t SendShortMessage(LMidiRenderPort* port, const uint8_t* bytes, uint32_t length);
    // A long message: prepared header, completion awaited.
    int32_t SendLongMessage(LMidiRenderPort* port, const void* bytes, uint32_t length);

    RCPtrArray<LMidiCapturePort, 1, 0> mCapturePorts;
    RCPtrArray<LMidiRenderPort, 1, 0> mRenderPorts;
    RCPtr<LThreadPool> mThreadPool;
    Mutex mLock;
    std::atomic<uint32_t> mSendTimeout{DefaultSendTimeoutMilliseconds};
};

} // namespace KX

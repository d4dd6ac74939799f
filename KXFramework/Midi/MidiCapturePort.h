// KX::LMidiCapturePort: an input port of a KX::LMidiComm, handed to users as
// an opaque KX::RCPtr<KX::LRefCountedObject>.
//
// Contract:
// - Made closed by Create; Open opens the device that the port's name resolves
//   to among the system's input devices (see LMidiComm) and queues its three
//   input buffers; input is started by the component, not here.
// - The closing flag is set from the moment the port starts to close (or fails
//   to open) until it is opened again; while it is set no buffer goes back to
//   the system.
// - The pending message collects a system-exclusive message that spans several
//   buffers. It, the closing flag and the buffers are guarded by the owner's
//   lock while the port is listed.
// - When the last reference held outside the component goes, the port takes
//   itself off its owner's list; its destructor then closes the device and
//   releases the owner. A port holds its owner, so the owner outlives it.
#pragma once

#include "Midi/MidiInputBuffer.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include "KXPlatform.h"
#include <mmsystem.h>

#include <cstdint>

namespace KX {

class LMidiComm;
class LMidiCaptureNotificationData;

class LMidiCapturePort : public virtual LRefCountedObject
{
public:
    static constexpr int32_t BufferCount = 3;

    // A new closed port, or null when the name is empty or the owner null.
    static void Create(RCPtr<LMidiCapturePort>& port, const StringT<wchar_t, char>& name,
                       const RCPtr<LMidiComm>& owner);

    // Closes an open device first, then opens the chosen device and queues the
    // buffers. 0 on success, MMSYSERR_NODRIVER (6) when no device matches,
    // else the failing call's result.
    MMRESULT Open();
    // Stops, resets and closes the device when the port has one; drops a
    // message still being collected.
    void Close();
    // Queues the three buffers: 1 without a handle; else 0 or the failing
    // call's result (all three are then unprepared).
    MMRESULT AddInputBuffers();
    // Hands one of the port's buffers back: MMSYSERR_HANDLEBUSY (12) while
    // closing or without a handle, MMSYSERR_ERROR (1) when the header is not
    // one of the port's prepared buffers, else the system's result.
    MMRESULT AddInputBuffer(MIDIHDR* header);
    // Unprepares the three headers under the handles they were prepared with.
    void UnprepareInputBuffers();

    // Takes the port off its owner's list (see the class comment).
    KXRESULT ReleaseInternalReferences() override;

    const StringT<wchar_t, char>& GetName() const { return mName; }
    const StringT<wchar_t, char>& GetDeviceName() const { return mDeviceName; }
    HMIDIIN GetHandle() const { return mHandle; }
    const RCPtr<LMidiComm>& GetOwner() const { return mOwner; }
    bool IsClosing() const { return mClosing; }
    MidiInputBuffer& GetBuffer(int32_t index) { return mBuffers[index]; }
    // The system-exclusive message being collected; null when none.
    RCPtr<LMidiCaptureNotificationData>& PendingMessage() { return mPending; }

protected:
    LMidiCapturePort(const StringT<wchar_t, char>& name, const RCPtr<LMidiComm>& owner);
    ~LMidiCapturePort() override;

private:
    // Stop, reset, unprepare, close; the closing flag is set first.
    void CloseHandle();

    StringT<wchar_t, char> mName;
    StringT<wchar_t, char> mDeviceName;
    HMIDIIN mHandle = nullptr;
    RCPtr<LMidiComm> mOwner;
    MidiInputBuffer mBuffers[BufferCount];
    bool mClosing = false;
    RCPtr<LMidiCaptureNotificationData> mPending;
};

} // namespace KX

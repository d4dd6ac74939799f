// The MIDI half of the simulated winmm.dll: the ports the simulated device
// shows in its current mode, the handles a program opens on them, buffer
// handling as the multimedia system does it, and the delivery thread.
//
// Rules kept from the real system:
// - MIM_OPEN, MIM_CLOSE, MOM_OPEN, MOM_CLOSE, and the buffers a reset returns
//   (MIM_LONGDATA, MOM_DONE), are reported inside the call that causes them,
//   on the caller's thread. Data from the device (MIM_DATA, MIM_LONGDATA) and
//   the completion of long messages (MOM_DONE) come from the delivery thread,
//   except that a long message done at once (no wire time, no send latency)
//   is reported inside midiOutLongMsg, as a driver without latency does.
// - No lock of this module is held while a program's callback runs, so a
//   callback may call back into the API and may take the program's own locks.
// - A system-exclusive message fills the queued input buffers in order, one
//   report per buffer; a buffer the callback hands back is used for the rest.
//   Bytes for which no buffer is queued are lost, as with a real driver.
// - midiOutLongMsg and midiOutShortMsg copy the bytes onto the link to the
//   device, one message after the other: with a wire speed set
//   (wire_bytes_per_s), the device receives a message when its last byte has
//   arrived, and a long message's header is reported done send_latency_ms
//   after that (never with send_done=never). midiOutReset cuts off the long
//   messages still on the link.
// - The device's state is kept in memory while this process owns it (see
//   StateStore's write-behind) and reaches the state file within
//   StateKeeper::kFlushAfterMs, when a port closes, when another process asks
//   for it, and when the process ends (ProcessEnding).
// - A port is open at most once, in any program: a second open, in this
//   program or another one, answers MMSYSERR_ALLOCATED until the port closes,
//   the program that holds it ends, or the device goes off. The ports held
//   open are part of the device's shared state.
// - A handle belongs to the device as it was when it was opened: once the
//   device goes off (power cycle, restart, vanishing) the handle is dead:
//   sends fail with MMSYSERR_NODRIVER, capabilities by handle fail, input stays
//   silent; closing still works.
#pragma once

#define _WINMM_
#include <windows.h>
#include <mmsystem.h>

namespace Tavik8Sim {

class SimulatedMidi
{
public:
    static SimulatedMidi& Instance();

    // From DLL_PROCESS_DETACH: writes what only this process knows of the
    // device's state (nothing when the simulation was never used).
    static void ProcessEnding();

    UINT GetNumDevs(bool input);
    MMRESULT GetDevCaps(bool input, UINT_PTR id, void* caps, UINT size, bool wide);
    MMRESULT Open(bool input, void* handleOut, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT Close(bool input, void* handle);
    MMRESULT PrepareHeader(bool input, void* handle, MIDIHDR* header, UINT size);
    MMRESULT UnprepareHeader(bool input, void* handle, MIDIHDR* header, UINT size);
    MMRESULT GetId(bool input, void* handle, UINT* id);

    MMRESULT AddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size);
    MMRESULT Start(HMIDIIN handle);
    MMRESULT Stop(HMIDIIN handle);
    MMRESULT ResetInput(HMIDIIN handle);

    MMRESULT ShortMsg(HMIDIOUT handle, DWORD message);
    MMRESULT LongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size);
    MMRESULT ResetOutput(HMIDIOUT handle);

private:
    SimulatedMidi();

    struct Impl;
    Impl* mImpl;
};

} // namespace Tavik8Sim

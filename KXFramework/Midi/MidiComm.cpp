// KX::LMidiComm, its life: the component's own thread pool, and its entry in
// the table of live callback targets from construction to destruction. The
// rest of the component: MidiCommNaming.cpp (device listing and names),
// MidiCommPorts.cpp (opening ports and the port lists), MidiCommCapture.cpp
// (the input callbacks and delivery) and MidiCommSend.cpp (sending).
#include "Midi/MidiComm.h"

#include "Midi/MidiCallbackTargets.h"
#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "System/Thread.h"
#include "System/ThreadPool.h"

namespace KX {

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

} // namespace KX

// KX::LMidiRenderPort: an output port of a KX::LMidiComm, handed to users as
// an opaque KX::RCPtr<KX::LRefCountedObject> and passed to Send.
//
// Contract:
// - Made closed by Create; Open opens the device that the port's name resolves
//   to among the system's output devices (see LMidiComm).
// - The idle light is green while no long message is in flight: Send sets it
//   red before a long message and the system's completion (or the end of
//   Send's wait) sets it green again. The completion's time is noted (on the
//   performance counter, in microseconds), -1 until the first.
// - When the last reference held outside the component goes, the port takes
//   itself off its owner's list; its destructor then closes the device and
//   releases the owner.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/TrafficLight.h"
#include "Utilities/Storage/StringT.h"

#include "KXPlatform.h"
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

namespace KX {

class LMidiComm;

class LMidiRenderPort : public virtual LRefCountedObject
{
public:
    // A new closed port, or null when the name is empty or the owner null.
    static void Create(RCPtr<LMidiRenderPort>& port, const StringT<wchar_t, char>& name,
                       const RCPtr<LMidiComm>& owner);

    // Closes an open device first, then opens the chosen device. 0 on success,
    // MMSYSERR_NODRIVER (6) when no device matches, else the system's result.
    MMRESULT Open();

    // Takes the port off its owner's list (see the class comment).
    KXRESULT ReleaseInternalReferences() override;

    const StringT<wchar_t, char>& GetName() const { return mName; }
    const StringT<wchar_t, char>& GetDeviceName() const { return mDeviceName; }
    HMIDIOUT GetHandle() const { return mHandle; }
    const RCPtr<LMidiComm>& GetOwner() const { return mOwner; }
    TrafficLight& GetIdleLight() { return mIdleLight; }
    int64_t GetDoneTime() const { return mDoneTime.load(); }
    void SetDoneTime(int64_t microseconds) { mDoneTime.store(microseconds); }

protected:
    LMidiRenderPort(const StringT<wchar_t, char>& name, const RCPtr<LMidiComm>& owner);
    ~LMidiRenderPort() override;

private:
    StringT<wchar_t, char> mName;
    StringT<wchar_t, char> mDeviceName;
    HMIDIOUT mHandle = nullptr;
    RCPtr<LMidiComm> mOwner;
    TrafficLight mIdleLight;
    std::atomic<int64_t> mDoneTime{-1};
};

} // namespace KX

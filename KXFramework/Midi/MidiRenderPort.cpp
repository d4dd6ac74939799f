#include "Midi/MidiRenderPort.h"

#include "Midi/MidiComm.h"

namespace KX {

LMidiRenderPort::LMidiRenderPort(const StringT<wchar_t, char>& name, const RCPtr<LMidiComm>& owner)
    : mName(name), mOwner(owner)
{
    mIdleLight.SetGreen();
}

LMidiRenderPort::~LMidiRenderPort()
{
    if (mHandle)
        midiOutClose(mHandle);
    mHandle = nullptr;
    mOwner = nullptr;
}

void LMidiRenderPort::Create(RCPtr<LMidiRenderPort>& port, const StringT<wchar_t, char>& name,
                             const RCPtr<LMidiComm>& owner)
{
    port = nullptr;
    if (name.IsEmpty() || !owner)
        return;
    port = new LMidiRenderPort(name, owner);
}

MMRESULT LMidiRenderPort::Open()
{
    if (mHandle) {
        midiOutClose(mHandle);
        mHandle = nullptr;
    }

    const LMidiComm::DeviceChoice choice = LMidiComm::ChooseDevice(false, mName);
    if (choice.matches != 1 || choice.deviceId < 0)
        return MMSYSERR_NODRIVER;
    mDeviceName = choice.productName;

    const MMRESULT result = midiOutOpen(&mHandle, static_cast<UINT>(choice.deviceId),
                                        reinterpret_cast<DWORD_PTR>(&LMidiComm::MidiOutProc),
                                        reinterpret_cast<DWORD_PTR>(mOwner.Get()), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR && mHandle) {
        midiOutClose(mHandle);
        mHandle = nullptr;
    }
    return result;
}

KXRESULT LMidiRenderPort::ReleaseInternalReferences()
{
    RCPtr<LMidiRenderPort> self(this);
    if (mOwner)
        mOwner->RemoveRenderPort(this);
    self = nullptr;
    AdjustInternalReferenceCount(-1);
    return GetInternalRefCount() == 0 && GetRefCount() == 1 ? S_OK : E_FAIL;
}

} // namespace KX

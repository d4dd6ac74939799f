#include "Midi/MidiCapturePort.h"

#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiComm.h"

namespace KX {

LMidiCapturePort::LMidiCapturePort(const StringT<wchar_t, char>& name, const RCPtr<LMidiComm>& owner)
    : mName(name), mOwner(owner)
{
}

LMidiCapturePort::~LMidiCapturePort()
{
    // Off the owner's list already, so the callbacks of the close no longer
    // find this port.
    if (mHandle)
        CloseHandle();
    mPending = nullptr;
    mOwner = nullptr;
}

void LMidiCapturePort::Create(RCPtr<LMidiCapturePort>& port, const StringT<wchar_t, char>& name,
                              const RCPtr<LMidiComm>& owner)
{
    port = nullptr;
    if (name.IsEmpty() || !owner)
        return;
    port = new LMidiCapturePort(name, owner);
}

void LMidiCapturePort::CloseHandle()
{
    mClosing = true;
    midiInStop(mHandle);
    // The reset hands every queued buffer back through the callback; the
    // closing flag keeps it from being queued again.
    midiInReset(mHandle);
    UnprepareInputBuffers();
    midiInClose(mHandle);
    mHandle = nullptr;
}

MMRESULT LMidiCapturePort::Open()
{
    if (mHandle)
        Close();

    const LMidiComm::DeviceChoice choice = LMidiComm::ChooseDevice(true, mName);
    if (choice.matches != 1 || choice.deviceId < 0) {
        mClosing = true;
        return MMSYSERR_NODRIVER;
    }
    mDeviceName = choice.productName;

    MMRESULT result = midiInOpen(&mHandle, static_cast<UINT>(choice.deviceId),
                                 reinterpret_cast<DWORD_PTR>(&LMidiComm::MidiInProc),
                                 reinterpret_cast<DWORD_PTR>(mOwner.Get()), CALLBACK_FUNCTION | MIDI_IO_STATUS);
    if (result == MMSYSERR_NOERROR) {
        mClosing = false;
        result = AddInputBuffers();
        if (result == MMSYSERR_NOERROR)
            return MMSYSERR_NOERROR;
    }
    if (mHandle)
        CloseHandle();
    mClosing = true;
    return result;
}

void LMidiCapturePort::Close()
{
    if (mHandle)
        CloseHandle();
    // A message cut off by the close is no message.
    mPending = nullptr;
}

MMRESULT LMidiCapturePort::AddInputBuffers()
{
    if (!mHandle)
        return MMSYSERR_ERROR;
    for (MidiInputBuffer& buffer : mBuffers) {
        buffer.preparedUnder = mHandle;
        buffer.header.dwFlags &= ~static_cast<DWORD>(MHDR_DONE);
        buffer.header.dwBytesRecorded = 0;
        MMRESULT result = midiInPrepareHeader(mHandle, &buffer.header, sizeof buffer.header);
        if (result == MMSYSERR_NOERROR)
            result = midiInAddBuffer(mHandle, &buffer.header, sizeof buffer.header);
        if (result != MMSYSERR_NOERROR) {
            UnprepareInputBuffers();
            return result;
        }
    }
    return MMSYSERR_NOERROR;
}

MMRESULT LMidiCapturePort::AddInputBuffer(MIDIHDR* header)
{
    if (mClosing || !mHandle)
        return MMSYSERR_HANDLEBUSY;
    MidiInputBuffer* buffer = nullptr;
    for (MidiInputBuffer& candidate : mBuffers) {
        if (header && header->dwUser == reinterpret_cast<DWORD_PTR>(&candidate) && header == &candidate.header)
            buffer = &candidate;
    }
    if (!buffer || !buffer->preparedUnder)
        return MMSYSERR_ERROR;
    header->dwFlags &= ~static_cast<DWORD>(MHDR_DONE);
    header->dwBytesRecorded = 0;
    MMRESULT result = midiInPrepareHeader(mHandle, header, sizeof *header);
    if (result == MMSYSERR_NOERROR)
        result = midiInAddBuffer(mHandle, header, sizeof *header);
    return result;
}

void LMidiCapturePort::UnprepareInputBuffers()
{
    for (MidiInputBuffer& buffer : mBuffers)
        buffer.Unprepare();
}

KXRESULT LMidiCapturePort::ReleaseInternalReferences()
{
    RCPtr<LMidiCapturePort> self(this);
    if (mOwner)
        mOwner->RemoveCapturePort(this);
    self = nullptr;
    AdjustInternalReferenceCount(-1);
    return GetInternalRefCount() == 0 && GetRefCount() == 1 ? S_OK : E_FAIL;
}

} // namespace KX

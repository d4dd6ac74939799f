// KX::LMidiComm's sending: short messages in one call, long messages with a
// prepared header and their completion awaited, the output callback that
// notes a completion, and the time since the last one.
#include "Midi/MidiComm.h"

#include "Midi/MidiCallbackTargets.h"
#include "Midi/MidiRenderPort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace KX {

namespace {

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

void CALLBACK LMidiComm::MidiOutProc(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2)
{
    const MidiCallbackTargets::Pin pin(reinterpret_cast<const void*>(instance));
    if (pin)
        reinterpret_cast<LMidiComm*>(instance)->OnMidiOutMessage(handle, message, param1, param2);
}

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

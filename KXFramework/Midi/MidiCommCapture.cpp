// KX::LMidiComm's capture path: the system's input callback, the assembly of
// short and system-exclusive messages under the component lock, the filters,
// and the delivery of each message as "NID_MIDI_DATA_CAPTURED" on the
// component's pool worker.
#include "Midi/MidiComm.h"

#include "Midi/MidiCallbackTargets.h"
#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiCapturePort.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "System/Thread.h"
#include "System/ThreadPool.h"

namespace KX {

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

void CALLBACK LMidiComm::MidiInProc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                    DWORD_PTR param2)
{
    // Only a component that still lives is called, and it lives until this returns.
    const MidiCallbackTargets::Pin pin(reinterpret_cast<const void*>(instance));
    if (pin)
        reinterpret_cast<LMidiComm*>(instance)->OnMidiInMessage(handle, message, param1, param2);
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

} // namespace KX

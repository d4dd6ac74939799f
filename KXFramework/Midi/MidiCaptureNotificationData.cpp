#include "Midi/MidiCaptureNotificationData.h"

#include <cstring>

namespace KX {

LMidiCaptureNotificationData::LMidiCaptureNotificationData(const StringT<wchar_t, char>& portName)
    : mPortName(portName)
{
}

void LMidiCaptureNotificationData::Create(RCPtr<LMidiCaptureNotificationData>& data,
                                          const StringT<wchar_t, char>& portName)
{
    data = new LMidiCaptureNotificationData(portName);
}

KXRESULT LMidiCaptureNotificationData::AppendBytes(const signed char* bytes, int32_t count)
{
    if (count < 0 || (count > 0 && !bytes))
        return E_INVALIDARG;
    if (count == 0)
        return S_OK;
    const int32_t old = mBytes.GetCount();
    const int32_t size = mBytes.SetSize(old + count);
    if (size < 0)
        return size;
    std::memcpy(mBytes.GetData() + old, bytes, static_cast<size_t>(count));
    return S_OK;
}

} // namespace KX

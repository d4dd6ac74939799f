// KX::LMidiCaptureNotificationData: one captured MIDI message, the data of the
// notification "NID_MIDI_DATA_CAPTURED".
//
// Contract:
// - The bytes are the whole message in the order received; a system-exclusive
//   message runs from its 0xF0 through its 0xF7. Up to four bytes are held
//   inside the object, so short messages need no heap block.
// - The port name is the name the capture port was opened under.
// - The time stamp is the system's time stamp of a short message
//   (milliseconds since input started on the port); 0 for system-exclusive data.
// - Objects come from one program-wide locked block pool: they are made on the
//   system's callback threads and released on the component's worker thread.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/ArrayBufferM.h"
#include "Utilities/Storage/ReuseAllocator.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LMidiCaptureNotificationData : public virtual LRefCountedObject
{
    KX_DECLARE_REUSE_ALLOCATOR(LMidiCaptureNotificationData, 4, true)

public:
    using Bytes = ArrayBufferM<signed char, 4, 1, 0, 1, 8, &GetSystemAllocator>;

    // A new, empty object with time stamp 0.
    static void Create(RCPtr<LMidiCaptureNotificationData>& data, const StringT<wchar_t, char>& portName);

    // Grows the byte array by `count` and copies the bytes to its end. S_OK;
    // E_INVALIDARG for null bytes with a positive count or a negative count.
    KXRESULT AppendBytes(const signed char* bytes, int32_t count);

    const Bytes& GetBytes() const { return mBytes; }
    Bytes& GetBytes() { return mBytes; }
    const StringT<wchar_t, char>& GetPortName() const { return mPortName; }
    uint32_t GetTimeStamp() const { return mTimeStamp; }
    void SetTimeStamp(uint32_t timeStamp) { mTimeStamp = timeStamp; }

protected:
    explicit LMidiCaptureNotificationData(const StringT<wchar_t, char>& portName);
    ~LMidiCaptureNotificationData() override = default;

private:
    Bytes mBytes;
    StringT<wchar_t, char> mPortName;
    uint32_t mTimeStamp = 0;
};

} // namespace KX

// KX::LMidiCommInterface: the MIDI component as its users see it.
//
// Contract:
// - Create makes a new component (a KX::LMidiComm) with its own thread pool.
// - OpenCapturePort / OpenRenderPort open an input or output port by device
//   name (see KX::LMidiComm for the naming and matching rules). The out port is
//   cleared first; S_OK with the port, E_INVALIDARG with a null port when the
//   name is ambiguous, E_FAIL with a null port when nothing could be opened. A
//   port is an opaque handle: keep it, pass it to Send, release it. Releasing
//   the last outside reference closes the port. Opening a port that is already
//   open under its device's full unique name gives the same port again.
// - Send sends the bytes to a render port: a short message when the first byte
//   is a status byte other than 0xF0 and 0xF7, else one long message whose
//   completion it waits for. Answers the count of bytes sent (the message
//   length for a short message), E_INVALIDARG for a missing or non-render port
//   or no bytes, E_FAIL when the system fails or never completes the message.
// - GetTimeSinceSendDone tells how long ago the system reported the last long
//   message sent on a render port done, so that a caller pacing its messages
//   can count a pause from that moment rather than from the later return of
//   Send; -1 when it is not known.
// - Every complete message captured on an open capture port is sent through
//   this distributor as "NID_MIDI_DATA_CAPTURED" on the component's worker
//   thread, one at a time in arrival order; its data is a
//   KX::LMidiCaptureNotificationData. Register before opening ports.
// - The capture filters: a list of byte patterns. With no pattern every message
//   passes; otherwise a message passes only when some non-empty pattern equals
//   its first bytes. The filter operations take no lock: change the list only
//   while no capture port is open.
#pragma once

#include "Notification/NotificationDistributor.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LMidiCommInterface : public LNotificationDistributor, public virtual LRefCountedObject
{
public:
    using ByteArray = Array<signed char>;
    using FilterList = Array<Array<signed char>>;

    // A new component (KX::LMidiComm) in `comm`.
    static void Create(RCPtr<LMidiCommInterface>& comm);

    virtual KXRESULT OpenCapturePort(const StringT<wchar_t, char>& name, RCPtr<LRefCountedObject>& port) = 0;
    virtual KXRESULT OpenRenderPort(const StringT<wchar_t, char>& name, RCPtr<LRefCountedObject>& port) = 0;
    // The buffer's data and size are sent.
    virtual int32_t Send(const ConstRCPtr<LRefCountedObject>& port, const ConstRCPtr<LIBuffer>& buffer) = 0;
    // The array's data and count are sent.
    virtual int32_t Send(const ConstRCPtr<LRefCountedObject>& port, const IArray<signed char>& bytes) = 0;
    // Microseconds since the last long message on the render port was
    // reported done; -1 when none was, or for anything but a render port.
    virtual int64_t GetTimeSinceSendDone(const ConstRCPtr<LRefCountedObject>& port);

    // Empties the filter list; answers the list's result for removing all.
    virtual int32_t ClearCaptureFilters();
    // Replaces the list by a copy of `filters`.
    virtual void SetCaptureFilters(const FilterList& filters);
    // Appends a copy of the pattern; answers its index.
    virtual int32_t AddCaptureFilter(const ByteArray& pattern);
    // Copies the list into `filters`.
    virtual void GetCaptureFilters(FilterList& filters) const;

    // Filters one message of `length` bytes. S_FALSE (length unchanged) when
    // there is no filter; E_FAIL (length unchanged) for null bytes or a length
    // below 1; else S_OK, with the length set to 0 when no pattern matched.
    KXRESULT ApplyCaptureFilters(const signed char* bytes, int32_t& length) const;

protected:
    LMidiCommInterface() = default;
    ~LMidiCommInterface() override = default;

private:
    FilterList mCaptureFilters;
};

} // namespace KX

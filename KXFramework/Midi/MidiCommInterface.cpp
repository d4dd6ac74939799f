#include "Midi/MidiCommInterface.h"

#include "Midi/MidiComm.h"

#include <cstring>

namespace KX {

void LMidiCommInterface::Create(RCPtr<LMidiCommInterface>& comm)
{
    comm = new LMidiComm();
}

int32_t LMidiCommInterface::ClearCaptureFilters()
{
    return mCaptureFilters.RemoveAll();
}

void LMidiCommInterface::SetCaptureFilters(const FilterList& filters)
{
    mCaptureFilters = filters;
}

int32_t LMidiCommInterface::AddCaptureFilter(const ByteArray& pattern)
{
    return mCaptureFilters.AddItem(pattern);
}

void LMidiCommInterface::GetCaptureFilters(FilterList& filters) const
{
    filters = mCaptureFilters;
}

KXRESULT LMidiCommInterface::ApplyCaptureFilters(const signed char* bytes, int32_t& length) const
{
    const int32_t patterns = mCaptureFilters.GetCount();
    if (patterns == 0)
        return S_FALSE;
    if (!bytes || length < 1)
        return E_FAIL;
    for (int32_t i = 0; i < patterns; ++i) {
        const ByteArray& pattern = mCaptureFilters.GetAt(i);
        const int32_t n = pattern.GetCount();
        // An empty pattern never matches.
        if (n > 0 && n <= length && std::memcmp(pattern.GetData(), bytes, static_cast<size_t>(n)) == 0)
            return S_OK;
    }
    length = 0;
    return S_OK;
}

int64_t LMidiCommInterface::GetTimeSinceSendDone(const ConstRCPtr<LRefCountedObject>&)
{
    return -1;
}

} // namespace KX

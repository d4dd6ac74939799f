#include "Midi/MidiInputBuffer.h"

#include <cstring>

namespace KX {

MidiInputBuffer::MidiInputBuffer()
{
    std::memset(&header, 0, sizeof header);
    std::memset(data, 0, sizeof data);
    header.lpData = data;
    header.dwBufferLength = Size;
    header.dwUser = reinterpret_cast<DWORD_PTR>(this);
}

MidiInputBuffer::~MidiInputBuffer()
{
    Unprepare();
}

MMRESULT MidiInputBuffer::Unprepare()
{
    if (!preparedUnder)
        return MMSYSERR_NOERROR;
    const MMRESULT result = midiInUnprepareHeader(preparedUnder, &header, sizeof header);
    preparedUnder = nullptr;
    return result;
}

} // namespace KX

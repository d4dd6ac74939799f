// KX::MidiInputBuffer: one input buffer of a capture port, with the system's
// header that describes it.
//
// Contract:
// - The header's data pointer is this record's data, its length Size, and its
//   user field this record, so that a header the system hands back leads to
//   its buffer.
// - preparedUnder is the input handle the header is prepared under, null when
//   it is not prepared; the destructor unprepares a prepared header.
// - The record never moves: the system holds the header's address while the
//   buffer is queued.
#pragma once

#include "KXPlatform.h"
#include <mmsystem.h>

#include <cstdint>

namespace KX {

struct MidiInputBuffer
{
    static constexpr uint32_t Size = 256;

    MidiInputBuffer();
    ~MidiInputBuffer();
    MidiInputBuffer(const MidiInputBuffer&) = delete;
    MidiInputBuffer& operator=(const MidiInputBuffer&) = delete;

    // Unprepares the header under the handle it was prepared with, when there
    // is one, and forgets that handle. Answers the system's result (0 when
    // nothing was prepared).
    MMRESULT Unprepare();

    MIDIHDR header;
    char data[Size];
    HMIDIIN preparedUnder = nullptr;
};

} // namespace KX

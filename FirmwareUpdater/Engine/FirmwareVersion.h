// FirmwareVersion: the version of a firmware file or of a device, four numbers
// and the text shown to the user.
//
// Versions order part by part over (major, minor, patch, build) as unsigned
// numbers; the text takes no part in the order or in equality.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

struct FirmwareVersion
{
    FirmwareVersion() = default;
    FirmwareVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build,
                    const KX::StringT<wchar_t, char>& text);

    bool operator<(const FirmwareVersion& other) const;
    bool operator==(const FirmwareVersion& other) const;
    bool operator!=(const FirmwareVersion& other) const { return !(*this == other); }

    uint32_t mMajor = 0;
    uint32_t mMinor = 0;
    uint32_t mPatch = 0;
    uint32_t mBuild = 0;
    KX::StringT<wchar_t, char> mText;
};

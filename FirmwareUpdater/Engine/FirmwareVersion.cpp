#include "Engine/FirmwareVersion.h"

#include <tuple>

FirmwareVersion::FirmwareVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build,
                                 const KX::StringT<wchar_t, char>& text)
    : mMajor(major), mMinor(minor), mPatch(patch), mBuild(build), mText(text)
{
}

bool FirmwareVersion::operator<(const FirmwareVersion& other) const
{
    return std::tie(mMajor, mMinor, mPatch, mBuild) < std::tie(other.mMajor, other.mMinor, other.mPatch, other.mBuild);
}

bool FirmwareVersion::operator==(const FirmwareVersion& other) const
{
    return std::tie(mMajor, mMinor, mPatch, mBuild) == std::tie(other.mMajor, other.mMinor, other.mPatch, other.mBuild);
}

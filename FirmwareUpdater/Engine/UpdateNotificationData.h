// The payloads of the update engine's notifications to the user interface:
// plain data objects, made by their static factories and read by receivers on
// the user-interface thread. Nobody changes one after it was posted.
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace KX {

// "NID_DEVICE_STATE_CHANGE": the new device state and the one before it.
class LDeviceStateChangeNotificationData : public virtual LRefCountedObject
{
public:
    static RCPtr<LDeviceStateChangeNotificationData> Create(int32_t state, int32_t previousState);

    int32_t mState = 0;
    int32_t mPreviousState = 0;

protected:
    LDeviceStateChangeNotificationData() = default;
    ~LDeviceStateChangeNotificationData() override = default;
};

// "NID_FIRMWARE_FILE_STATE_CHANGE": the new firmware-file state and the one before it.
class LFirmwareFileStateChangeNotificationData : public virtual LRefCountedObject
{
public:
    static RCPtr<LFirmwareFileStateChangeNotificationData> Create(int32_t state, int32_t previousState);

    int32_t mState = 0;
    int32_t mPreviousState = 0;

protected:
    LFirmwareFileStateChangeNotificationData() = default;
    ~LFirmwareFileStateChangeNotificationData() override = default;
};

// "NID_FIRMWARE_UPDATE_COMPLETED": whether the transfer ended without error.
class LFirmwareUpdateCompletedNotificationData : public virtual LRefCountedObject
{
public:
    static RCPtr<LFirmwareUpdateCompletedNotificationData> Create(bool success);

    bool mSuccess = false;

protected:
    LFirmwareUpdateCompletedNotificationData() = default;
    ~LFirmwareUpdateCompletedNotificationData() override = default;
};

// "NID_FIRMWARE_UPDATE_PROGRESS": how far the transfer is. mProgress is the
// fraction done (0 to 1); mSecondsRemaining is -1 when not given, and with
// mAutoEstimate the receiver estimates the remaining time itself.
class LFirmwareUpdateProgressNotificationData : public virtual LRefCountedObject
{
public:
    static RCPtr<LFirmwareUpdateProgressNotificationData> Create(int32_t phase, double progress,
                                                                 int32_t secondsRemaining, bool autoEstimate,
                                                                 bool reservedFlag,
                                                                 const StringT<wchar_t, char>& statusText);

    int32_t mPhase = 0;
    double mProgress = 0.0;
    int32_t mSecondsRemaining = -1;
    bool mAutoEstimate = false;
    bool mReservedFlag = false;
    StringT<wchar_t, char> mStatusText;

protected:
    LFirmwareUpdateProgressNotificationData() = default;
    ~LFirmwareUpdateProgressNotificationData() override = default;
};

} // namespace KX

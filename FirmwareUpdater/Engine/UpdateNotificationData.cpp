#include "Engine/UpdateNotificationData.h"

namespace KX {

RCPtr<LDeviceStateChangeNotificationData> LDeviceStateChangeNotificationData::Create(int32_t state,
                                                                                     int32_t previousState)
{
    RCPtr<LDeviceStateChangeNotificationData> data(new LDeviceStateChangeNotificationData);
    data->mState = state;
    data->mPreviousState = previousState;
    return data;
}

RCPtr<LFirmwareFileStateChangeNotificationData> LFirmwareFileStateChangeNotificationData::Create(
    int32_t state, int32_t previousState)
{
    RCPtr<LFirmwareFileStateChangeNotificationData> data(new LFirmwareFileStateChangeNotificationData);
    data->mState = state;
    data->mPreviousState = previousState;
    return data;
}

RCPtr<LFirmwareUpdateCompletedNotificationData> LFirmwareUpdateCompletedNotificationData::Create(bool success)
{
    RCPtr<LFirmwareUpdateCompletedNotificationData> data(new LFirmwareUpdateCompletedNotificationData);
    data->mSuccess = success;
    return data;
}

RCPtr<LFirmwareUpdateProgressNotificationData> LFirmwareUpdateProgressNotificationData::Create(
    int32_t phase, double progress, int32_t secondsRemaining, bool autoEstimate, bool reservedFlag,
    const StringT<wchar_t, char>& statusText)
{
    RCPtr<LFirmwareUpdateProgressNotificationData> data(new LFirmwareUpdateProgressNotificationData);
    data->mPhase = phase;
    data->mProgress = progress;
    data->mSecondsRemaining = secondsRemaining;
    data->mAutoEstimate = autoEstimate;
    data->mReservedFlag = reservedFlag;
    data->mStatusText = statusText;
    return data;
}

} // namespace KX

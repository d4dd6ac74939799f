// LUpdateEngine: finding the device and asking it for its firmware version.
#include "Engine/UpdateEngine.h"

namespace {

const signed char kIdentityRequest[] = {
    static_cast<signed char>(0xF0), 0x7E, 0x7F, 0x06, 0x01, static_cast<signed char>(0xF7),
};

bool RefusedWhileBusy(int32_t state)
{
    return state == LUpdateEngineInterface::Scanning || state == LUpdateEngineInterface::EnteringUpdateMode ||
           state == LUpdateEngineInterface::Updating;
}

} // namespace

KXRESULT LUpdateEngine::Rescan()
{
    if (RefusedWhileBusy(mDeviceState.load()))
        return E_FAIL;
    mSelectedDeviceIndex.store(-1);
    const KXRESULT result = ScanDevices();
    const uint32_t found = GetFoundDeviceCount();
    if (found == 0) {
        SetDeviceState(NoDeviceFound);
    } else if (found >= 2) {
        SetDeviceState(DevicesAvailableNoneSelected);
    } else {
        // Not posted: the selection below posts its state with this one as
        // the previous state.
        mDeviceState.store(DevicesAvailableNoneSelected);
        SelectDevice(0);
    }
    return result;
}

KXRESULT LUpdateEngine::ScanDevices()
{
    {
        KX::MutexLock lock(mLock);
        mFoundDevices.RemoveAll();
    }
    for (int32_t i = 0; i < mDeviceDefinitions.GetCount(); ++i) {
        DeviceDefinitionEx device(mDeviceDefinitions.GetAt(i));
        if (ProbeDevice(device) >= 0) {
            KX::MutexLock lock(mLock);
            mFoundDevices.AddItem(device);
        }
    }
    return S_OK;
}

KXRESULT LUpdateEngine::SelectDevice(uint32_t index)
{
    const int32_t state = mDeviceState.load();
    if (state == NoDeviceDefined || state == NoDeviceFound || RefusedWhileBusy(state))
        return E_FAIL;
    mSelectedDeviceIndex.store(-1);
    if (index >= GetFoundDeviceCount()) {
        SetDeviceState(DevicesAvailableNoneSelected);
        return E_INVALIDARG;
    }
    mSelectedDeviceIndex.store(static_cast<int32_t>(index));
    int32_t code = NoReason;
    if (GetFoundDeviceErrorCode(index, code) < 0 || code != NoReason)
        SetDeviceState(DeviceError);
    else
        SetDeviceState(IsFoundDeviceInUpdateMode(index) ? InUpdateMode : NotInUpdateMode);
    return S_OK;
}

KXRESULT LUpdateEngine::RefreshSelectedDevice()
{
    // The probe replaces the MIDI component, which a running transfer uses.
    if (mUpdateState.load() == Running)
        return E_FAIL;
    const int32_t state = mDeviceState.load();
    const int32_t index = mSelectedDeviceIndex.load();
    const bool selected = index >= 0 && static_cast<uint32_t>(index) < GetFoundDeviceCount();
    if (!(state > DevicesAvailableNoneSelected && selected) && state != EnteringUpdateMode)
        return E_FAIL;
    DeviceDefinitionEx device;
    if (!GetSelectedDevice(device))
        return E_FAIL;

    const KXRESULT probed = ProbeDevice(device);
    if (probed < 0 && state != EnteringUpdateMode)
        device.mErrorCode = DeviceAccessFailure;
    {
        // The probe updates the selected record in place.
        KX::MutexLock lock(mLock);
        if (index < mFoundDevices.GetCount())
            mFoundDevices.GetData()[index] = device;
    }
    if (probed >= 0) {
        if (device.mInUpdateMode)
            SetDeviceState(InUpdateMode);
        else
            SetDeviceState(state == EnteringUpdateMode ? EnteringUpdateMode : NotInUpdateMode);
    } else if (state != EnteringUpdateMode) {
        // While entering update mode the device is expected to be off for a while.
        SetDeviceState(DeviceError);
    }
    return S_OK;
}

KXRESULT LUpdateEngine::ProbeDevice(DeviceDefinitionEx& device)
{
    if (IsDevicePresent(device.mNormalModeInputPort, device.mNormalModeOutputPort)) {
        device.mInUpdateMode = false;
        device.mErrorCode = NoReason;
        {
            KX::MutexLock lock(mLock);
            mCurrentDevice = device;
        }
        KXRESULT result = E_FAIL;
        {
            const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
            KX::RCPtr<KX::LRefCountedObject> capturePort;
            KX::RCPtr<KX::LRefCountedObject> renderPort;
            if (comm) {
                comm->OpenCapturePort(device.mNormalModeInputPort, capturePort);
                comm->OpenRenderPort(device.mNormalModeOutputPort, renderPort);
            }
            result = QueryDeviceIdentity(device, capturePort, renderPort);
            {
                // Whatever the result: a version the handler wrote lands in the record.
                KX::MutexLock lock(mLock);
                device = mCurrentDevice;
            }
        } // both ports released
        if (result >= 0)
            return result;
    }
    if (IsDevicePresent(device.mUpdateModeInputPort, device.mUpdateModeOutputPort)) {
        device.mFirmwareVersion.mText = L"Unknown";
        device.mInUpdateMode = true;
        device.mErrorCode = NoReason;
        return S_OK;
    }
    return E_FAIL;
}

bool LUpdateEngine::IsDevicePresent(const String& inputPort, const String& outputPort)
{
    ReplaceMidiComm(true);
    const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
    if (!comm)
        return false;
    KX::RCPtr<KX::LRefCountedObject> capturePort;
    KX::RCPtr<KX::LRefCountedObject> renderPort;
    comm->OpenCapturePort(inputPort, capturePort);
    comm->OpenRenderPort(outputPort, renderPort);
    return capturePort && renderPort;
}

KXRESULT LUpdateEngine::QueryDeviceIdentity(DeviceDefinitionEx&, const KX::ConstRCPtr<KX::LRefCountedObject>&,
                                            const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort)
{
    // The capture port stays open with the caller meanwhile, so the reply is captured.
    mIdentitySignal.SetRed();
    SendIdentityRequest(renderPort);
    return mTiming->WaitForSignal(mIdentitySignal, kIdentityReplyMilliseconds) ? S_OK : E_FAIL;
}

KXRESULT LUpdateEngine::SendIdentityRequest(const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort)
{
    const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
    if (!renderPort || !comm)
        return E_FAIL;
    ByteArray request;
    request.SetCount(static_cast<int32_t>(sizeof kIdentityRequest));
    request.CopyIn(kIdentityRequest, 0, request.GetCount());
    return comm->Send(renderPort, request);
}

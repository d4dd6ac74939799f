#include "Engine/UpdateEngineInterface.h"

#include "Engine/UpdateNotificationData.h"

#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"
#include "System/Thread.h"

namespace {

const wchar_t* const kNotAvailable = L"N/A";

} // namespace

LUpdateEngineInterface::LUpdateEngineInterface()
{
    KX::LEvent::Create(mWorkerDone);
}

LUpdateEngineInterface::~LUpdateEngineInterface()
{
    // Normally stopped already by the implementation's destructor; a run holds
    // a reference on the engine, so no run can be using it here.
    mWorker.Stop(kWorkerStopMilliseconds);
}

KXRESULT LUpdateEngineInterface::DoWork(const KX::ConstRCPtr<KX::LRefCountedObject>& parameter)
{
    using TaskHolder = KX::LHolder<ThreadWorkerTask>;
    const TaskHolder* holder = dynamic_cast<const TaskHolder*>(parameter.Get());
    if (!holder)
        return E_FAIL;
    switch (holder->GetValue()) {
    case EnterUpdateModeTask:
        return EnterUpdateMode();
    case UpdateFirmwareTask: {
        const KXRESULT result = UpdateFirmware();
        // The one completion notice of the run, on every path.
        PostUpdateCompleted(result >= 0);
        return result;
    }
    }
    return E_FAIL;
}

KXRESULT LUpdateEngineInterface::Initialize(const String&)
{
    return S_OK;
}

int32_t LUpdateEngineInterface::GetDeviceState() const
{
    return mDeviceState.load();
}

KXRESULT LUpdateEngineInterface::SetDeviceDefinitions(const KX::IArray<DeviceDefinition>& definitions)
{
    const int32_t state = mDeviceState.load();
    if (state == Scanning || state == EnteringUpdateMode || state == Updating)
        return E_FAIL;
    mDeviceDefinitions.Assign(definitions);
    mSelectedDeviceIndex.store(-1);
    SetDeviceState(NoDeviceFound);
    return S_OK;
}

int32_t LUpdateEngineInterface::GetSelectedDeviceIndex() const
{
    return mSelectedDeviceIndex.load();
}

KXRESULT LUpdateEngineInterface::GetSelectedDeviceErrorCode(int32_t& code)
{
    code = NoReason;
    if (mDeviceState.load() != DeviceError)
        return E_FAIL;
    return GetFoundDeviceErrorCode(static_cast<uint32_t>(mSelectedDeviceIndex.load()), code);
}

KXRESULT LUpdateEngineInterface::GetDeviceVersionText(String& text)
{
    text = kNotAvailable;
    if (mDeviceState.load() <= DevicesAvailableNoneSelected)
        return E_FAIL;
    FirmwareVersion version;
    if (GetFoundDeviceVersion(static_cast<uint32_t>(mSelectedDeviceIndex.load()), version) < 0)
        return E_FAIL;
    text = version.mText;
    return S_OK;
}

int32_t LUpdateEngineInterface::GetModeChangeBehavior() const
{
    return 1;
}

KXRESULT LUpdateEngineInterface::RequestEnterUpdateMode()
{
    if (!IsModeChangeAsynchronous())
        return EnterUpdateMode();
    mAbortRequested.store(false);
    SetDeviceState(EnteringUpdateMode);
    return TriggerWorker(EnterUpdateModeTask);
}

bool LUpdateEngineInterface::IsUpdateNeeded()
{
    if (mFirmwareFileState.load() != FileFoundVersionKnown || mDeviceState.load() <= DevicesAvailableNoneSelected)
        return false;
    const int32_t index = mSelectedDeviceIndex.load();
    if (index < 0 || static_cast<uint32_t>(index) >= GetFoundDeviceCount())
        return false;
    FirmwareVersion deviceVersion;
    if (GetFoundDeviceVersion(static_cast<uint32_t>(index), deviceVersion) < 0)
        return false;
    KX::MutexLock lock(mFileLock);
    return deviceVersion < mFirmwareFileVersion;
}

KXRESULT LUpdateEngineInterface::StartUpdate()
{
    if (mFirmwareFileState.load() < FileFoundVersionUnknown || mDeviceState.load() != InUpdateMode)
        return E_FAIL;
    mAbortRequested.store(false);
    mAcknowledgedRecords.store(0);
    SetDeviceState(Updating);
    // Running from here on, so that WaitForUpdate waits for this update even
    // before the worker has started it.
    const int32_t previousUpdateState = mUpdateState.exchange(Running);
    const KXRESULT result = TriggerWorker(UpdateFirmwareTask);
    if (result < 0) {
        // No transfer runs: back to where the update would have started, so
        // that the update can be started again and exit requests are heard.
        mUpdateState.store(previousUpdateState);
        SetDeviceState(InUpdateMode);
    }
    return result;
}

KXRESULT LUpdateEngineInterface::TriggerWorker(ThreadWorkerTask task)
{
    // The worker's run may still be ending (after its last state change); the
    // centre kept for it is replaced only once it has let go.
    if (mWorker.IsBusy())
        return E_FAIL;
    mWorkerCenter = KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    const KX::RCPtr<KX::LHolder<ThreadWorkerTask>> holder = KX::LHolder<ThreadWorkerTask>::Create(task);
    return mWorker.Trigger(KX::ConstRCPtr<KX::LThreadWorker>(this), holder, mWorkerDone,
                           KX::Thread::PriorityNormal);
}

bool LUpdateEngineInterface::StopWorker(uint32_t milliseconds)
{
    // Read by the transfer before each record: it ends at the next one.
    mAbortRequested.store(true);
    OnStopRequested();
    if (!mWorker.Stop(milliseconds))
        return false;
    // An update started just before, whose run the ending thread never began,
    // sent nothing: the device is where the update would have started.
    int32_t running = Running;
    if (mUpdateState.compare_exchange_strong(running, Idle))
        SetDeviceState(InUpdateMode);
    return true;
}

KXRESULT LUpdateEngineInterface::WaitForUpdate(uint32_t milliseconds)
{
    // A run that has set its result may still be posting its completion.
    if (mUpdateState.load() != Running && !mWorker.IsBusy())
        return S_OK;
    if (mWorkerDone->Wait(milliseconds) == 0)
        return S_OK;
    // The run may have ended between the test and the wait.
    return mUpdateState.load() == Running || mWorker.IsBusy() ? E_FAIL : S_OK;
}

int32_t LUpdateEngineInterface::GetUpdateState(bool reset)
{
    const int32_t state = mUpdateState.load();
    if (reset && (state == Failed || state == Aborted || state == Succeeded)) {
        // Only the result that was read is cleared, never a newly started run.
        int32_t expected = state;
        mUpdateState.compare_exchange_strong(expected, Idle);
    }
    return state;
}

int32_t LUpdateEngineInterface::GetFirmwareFileState() const
{
    return mFirmwareFileState.load();
}

KXRESULT LUpdateEngineInterface::GetFirmwareFilePath(String& path) const
{
    KX::MutexLock lock(mFileLock);
    path = mFirmwareFilePath;
    return path.IsEmpty() ? E_FAIL : S_OK;
}

KXRESULT LUpdateEngineInterface::GetFirmwareFileVersionText(String& text) const
{
    text = kNotAvailable;
    if (mFirmwareFileState.load() != FileFoundVersionKnown)
        return E_FAIL;
    KX::MutexLock lock(mFileLock);
    text = mFirmwareFileVersion.mText;
    return S_OK;
}

void LUpdateEngineInterface::SetDeviceState(int32_t state)
{
    const int32_t previous = mDeviceState.exchange(state);
    if (previous != state)
        PostDeviceStateChange(state, previous);
}

void LUpdateEngineInterface::SetFirmwareFileState(int32_t state)
{
    const int32_t previous = mFirmwareFileState.exchange(state);
    if (previous != state)
        PostFirmwareFileStateChange(state, previous);
}

bool LUpdateEngineInterface::IsModeChangeAsynchronous() const
{
    return mModeChangeAsynchronous;
}

void LUpdateEngineInterface::PostUpdateProgress(int32_t phase, double progress, bool autoEstimate,
                                                int32_t secondsRemaining, bool reservedFlag,
                                                const String& statusText)
{
    Post(KX::NID_FIRMWARE_UPDATE_PROGRESS,
         KX::LFirmwareUpdateProgressNotificationData::Create(phase, progress, secondsRemaining, autoEstimate,
                                                             reservedFlag, statusText));
}

void LUpdateEngineInterface::PostDeviceStateChange(int32_t state, int32_t previousState)
{
    Post(KX::NID_DEVICE_STATE_CHANGE, KX::LDeviceStateChangeNotificationData::Create(state, previousState));
}

void LUpdateEngineInterface::PostFirmwareFileStateChange(int32_t state, int32_t previousState)
{
    Post(KX::NID_FIRMWARE_FILE_STATE_CHANGE,
         KX::LFirmwareFileStateChangeNotificationData::Create(state, previousState));
}

void LUpdateEngineInterface::PostUpdateCompleted(bool success)
{
    Post(KX::NID_FIRMWARE_UPDATE_COMPLETED, KX::LFirmwareUpdateCompletedNotificationData::Create(success));
}

void LUpdateEngineInterface::Post(const wchar_t* identifier, const KX::RCPtr<KX::LRefCountedObject>& data)
{
    KX::RCPtr<KX::LNotificationCenter> center;
    if (mWorker.IsOwnThread())
        center = mWorkerCenter;
    else
        center = KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    if (!center)
        return;
    KX::RCPtr<KX::LNotification> notification;
    KX::LNotification::Create(notification, identifier, data);
    if (notification)
        center->PostNotification(notification); // a failed post is not reported
}

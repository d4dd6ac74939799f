// LUpdateEngineInterface: the update engine as the update processor and the
// update screen see it. It keeps the device, firmware-file and update states,
// the device definitions, the selection and the firmware file, reports state
// changes as notifications posted to the application notification centre,
// and owns the worker thread that runs the firmware transfer. Everything that
// talks to the device is left to LUpdateEngine.
//
// Contract:
// - The operations run on the user-interface thread, except the worker's
//   tasks (DoWork, UpdateFirmware) and what the MIDI capture thread calls
//   (Abort). The state fields that those threads share are atomics.
// - State changes go through SetDeviceState and SetFirmwareFileState, which
//   post "NID_DEVICE_STATE_CHANGE" / "NID_FIRMWARE_FILE_STATE_CHANGE" with the
//   new and the previous value, and post nothing when the value is unchanged.
// - StartUpdate marks the update running before it triggers the worker, so a
//   WaitForUpdate right after it waits for that update; WaitForUpdate also
//   waits for a run that is still posting its completion. When the worker
//   cannot be triggered the device state goes back to InUpdateMode and the
//   update state to what it was.
// - Posting never waits for a receiver; a failed post is not reported.
// - StopWorker ends the worker thread before its owner lets go of the engine:
//   a running transfer is asked to stop (the abort flag, read before each
//   record) and waited for. Until the thread has ended nothing the transfer
//   uses may be released; the process must not end under it either.
#pragma once

#include "Engine/FirmwareVersion.h"

#include "Notification/NotificationCenter.h"
#include "ObjectBase/Holder.h"
#include "ObjectBase/RefCountedObject.h"
#include "System/LEvent.h"
#include "System/Mutex.h"
#include "System/RetriggerableThreader.h"
#include "System/ThreadWorker.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>

// The application's classes live outside the framework's namespace and use its result codes.
using KX::KXRESULT;

class LUpdateEngineInterface : public virtual KX::LThreadWorker, public virtual KX::LRefCountedObject
{
public:
    using String = KX::StringT<wchar_t, char>;

    enum DeviceState : int32_t
    {
        NoDeviceDefined = 0,
        NoDeviceFound = 1,
        Scanning = 2,
        DevicesAvailableNoneSelected = 3,
        DeviceError = 4,
        NotInUpdateMode = 5,
        EnteringUpdateMode = 6,
        InUpdateMode = 7,
        Updating = 8,
    };

    enum FirmwareFileState : int32_t
    {
        NoFileDefined = 0,
        FileInvalid = 1, // no such file, or one whose image cannot be sent whole
        FileFoundVersionUnknown = 2,
        FileFoundVersionKnown = 3,
    };

    enum UpdateState : int32_t
    {
        Idle = 0,
        Running = 1,
        Failed = 2,
        Aborted = 3,
        Succeeded = 4,
    };

    enum DeviceErrorCode : int32_t
    {
        NoReason = 0,
        DriverTooOld = 1,
        SystemFailure = 2,
        FileAccessFailure = 3,
        DeviceAccessFailure = 4,
    };

    enum ThreadWorkerTask : int32_t
    {
        EnterUpdateModeTask = 0,
        UpdateFirmwareTask = 1,
    };

    // One model of device, by the names of the MIDI ports it shows up under.
    struct DeviceDefinition
    {
        int32_t mReserved[4] = {0, 0, 0, 0};
        String mNormalModeInputPort;
        String mUpdateModeInputPort;
        String mNormalModeOutputPort;
        String mUpdateModeOutputPort;
        String mReservedPort;
    };

    // How long destruction waits for the worker thread to end.
    static constexpr uint32_t kWorkerStopMilliseconds = 60000;
    // SetFirmwareFile's answer while an image is sent (the system's
    // ERROR_BUSY as a result code): the file stays the one being sent.
    static constexpr KXRESULT kRefusedWhileUpdating = static_cast<KXRESULT>(0x800700AA);

    // The engine of the system: an LUpdateEngine.
    static KX::RCPtr<LUpdateEngineInterface> Create();

    // The worker's tasks: EnterUpdateModeTask runs EnterUpdateMode,
    // UpdateFirmwareTask runs UpdateFirmware and posts its completion.
    KXRESULT DoWork(const KX::ConstRCPtr<KX::LRefCountedObject>& parameter) override;

    virtual KXRESULT Initialize(const String& commandLine);
    virtual int32_t GetDeviceState() const;
    virtual KXRESULT SetDeviceDefinitions(const KX::IArray<DeviceDefinition>& definitions);
    virtual KXRESULT Rescan() = 0;
    virtual KXRESULT SelectDevice(uint32_t index) = 0;
    virtual int32_t GetSelectedDeviceIndex() const;
    virtual KXRESULT GetSelectedDeviceErrorCode(int32_t& code);
    virtual KXRESULT GetDeviceVersionText(String& text);
    virtual KXRESULT RefreshSelectedDevice() = 0;
    virtual int32_t GetModeChangeBehavior() const;
    virtual KXRESULT EnterUpdateMode() = 0;
    virtual KXRESULT RequestEnterUpdateMode();
    virtual bool IsUpdateNeeded();
    virtual KXRESULT StartUpdate();
    virtual KXRESULT WaitForUpdate(uint32_t milliseconds);
    virtual KXRESULT Abort() = 0;
    virtual int32_t GetUpdateState(bool reset);
    virtual int32_t GetFirmwareFileState() const;
    // Stores the path and judges the file: FileFoundVersionKnown and S_OK,
    // or FileInvalid and E_FAIL. kRefusedWhileUpdating, with nothing
    // changed, while an image is sent.
    virtual KXRESULT SetFirmwareFile(const String& path) = 0;
    virtual KXRESULT GetFirmwareFilePath(String& path) const;
    virtual KXRESULT GetFirmwareFileVersionText(String& text) const;
    virtual void SetDeviceState(int32_t state);
    virtual bool IsModeChangeAsynchronous() const;
    virtual void PostUpdateProgress(int32_t phase, double progress, bool autoEstimate, int32_t secondsRemaining,
                                    bool reservedFlag, const String& statusText);
    virtual void PostDeviceStateChange(int32_t state, int32_t previousState);
    virtual void PostFirmwareFileStateChange(int32_t state, int32_t previousState);
    virtual void PostUpdateCompleted(bool success);
    virtual void SetFirmwareFileState(int32_t state);
    virtual KXRESULT ScanDevices() = 0;
    virtual uint32_t GetFoundDeviceCount() const = 0;
    virtual bool IsFoundDeviceInUpdateMode(uint32_t index) const = 0;
    virtual KXRESULT GetFoundDeviceErrorCode(uint32_t index, int32_t& code) const = 0;
    virtual KXRESULT GetFoundDeviceVersion(uint32_t index, FirmwareVersion& version) const = 0;
    virtual KXRESULT UpdateFirmware() = 0;

    // Asks a running transfer to stop, ends the worker thread and waits up to
    // `milliseconds` for it; true when the thread has ended. From then on the
    // worker takes no trigger. An update whose run had not begun ends as if it
    // had never been started (update state Idle, device state InUpdateMode).
    // User-interface thread only.
    bool StopWorker(uint32_t milliseconds);

    // The records of the running (or last) update that the device has
    // acknowledged: the measure of its progress. Any thread.
    uint32_t GetAcknowledgedRecordCount() const { return mAcknowledgedRecords.load(); }

protected:
    LUpdateEngineInterface();
    ~LUpdateEngineInterface() override;

    // Posts the notification to the application centre: the one looked up now
    // on the user-interface thread, the one kept for the run on the worker.
    void Post(const wchar_t* identifier, const KX::RCPtr<KX::LRefCountedObject>& data);
    // Triggers the worker with the task (normal priority).
    KXRESULT TriggerWorker(ThreadWorkerTask task);
    // Called by StopWorker once the abort flag is set: the implementation cuts
    // short what the worker waits for, so that the transfer soon reaches its
    // next record (and sees the flag).
    virtual void OnStopRequested() {}
    void SetUpdateState(int32_t state) { mUpdateState.store(state); }

    KX::RetriggerableThreader mWorker;
    KX::RCPtr<KX::LEvent> mWorkerDone;
    std::atomic<int32_t> mDeviceState{NoDeviceDefined};
    KX::Array<DeviceDefinition> mDeviceDefinitions;
    std::atomic<int32_t> mSelectedDeviceIndex{-1};
    std::atomic<int32_t> mUpdateState{Idle};
    std::atomic<bool> mAbortRequested{false};
    std::atomic<uint32_t> mAcknowledgedRecords{0};
    bool mModeChangeAsynchronous = false;
    std::atomic<int32_t> mFirmwareFileState{NoFileDefined};
    // The firmware path is read by the worker at the start of a transfer and
    // may be set meanwhile on the user-interface thread: both under mFileLock.
    mutable KX::Mutex mFileLock;
    String mFirmwareFilePath;
    FirmwareVersion mFirmwareFileVersion;

private:
    // The application centre, taken on the user-interface thread before each
    // run of the worker: the worker posts into it without looking centres up.
    KX::RCPtr<KX::LNotificationCenter> mWorkerCenter;
};

// LUpdateEngine: the update engine over MIDI system-exclusive messages.
//
// It finds the device by the names of its MIDI ports (a device is present in
// a mode when both its input and its output port of that mode open), asks a
// device in normal mode for its firmware version with the identity request,
// switches it into update mode with the mode-change message, and on the worker
// thread sends the firmware image record by record, paced and acknowledged.
//
// Contract (beyond LUpdateEngineInterface):
// - Every presence test works on a MIDI component made for it; the engine's
//   handler of "NID_MIDI_DATA_CAPTURED" is bound to the current component only,
//   and replies from a replaced component are ignored.
// - Replies reach the waiting operation through three signals (identity,
//   mode-change acknowledgement, data acknowledgement): the waiting side sets
//   the signal red before it sends and waits for green; the handler, on the
//   component's worker thread, turns it green. The version of an identity
//   reply is handed over under the engine's lock.
// - Rescan, SelectDevice and SetDeviceDefinitions refuse to run while entering
//   update mode or updating; RefreshSelectedDevice refuses while a transfer
//   runs, so the component and the selected device stay in place under it.
// - A firmware file is read whole and checked before anything is sent: every
//   character a hexadecimal digit in pairs (line ends at the end of the file
//   aside), at least one record, and records that fill the image exactly.
//   The check is made when the file is set (a file that fails it is in the
//   invalid file state, so the device is never switched into update mode for
//   it) and again before a transfer (the file may have changed since): a
//   file that fails it is never sent, not even in part, and the failed
//   update records FileAccessFailure as the selected device's error code,
//   so that the screen names the file as the reason.
// - SetFirmwareFile is refused with kRefusedWhileUpdating while an image is
//   sent (device state Updating): path, file state and version stay those
//   of the image being sent.
// - Data messages are paced: each one starts at least mMessageDelay
//   milliseconds after the driver reported the message before it sent (or
//   the acknowledgement awaited before it arrived).
// - All waiting goes through the engine's timing object (LEngineTiming).
#pragma once

#include "Engine/EngineTiming.h"
#include "Engine/UpdateEngineInterface.h"

#include "Midi/MidiCommInterface.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "System/TrafficLight.h"
#include "Utilities/Storage/KXFile.h"

#include <cstdint>

class LUpdateEngine : public LUpdateEngineInterface, public KX::LNotificationClient
{
public:
    using ByteArray = KX::Array<signed char>;

    // One found device: its definition and what the probe learnt of it.
    class DeviceDefinitionEx : public DeviceDefinition
    {
    public:
        DeviceDefinitionEx() = default;
        explicit DeviceDefinitionEx(const DeviceDefinition& definition) : DeviceDefinition(definition) {}
        DeviceDefinitionEx(const DeviceDefinitionEx&) = default;
        DeviceDefinitionEx& operator=(const DeviceDefinitionEx&) = default;
        virtual ~DeviceDefinitionEx() = default;

        FirmwareVersion mFirmwareVersion;
        bool mInUpdateMode = false;
        int32_t mErrorCode = NoReason;
        int32_t mReserved1 = 0;
        int32_t mReserved2 = 0;
    };

    // Time limits of the replies, in milliseconds.
    static constexpr uint32_t kIdentityReplyMilliseconds = 2000;
    static constexpr uint32_t kModeChangeAckMilliseconds = 2000;
    static constexpr uint32_t kHandshakeAckMilliseconds = 10000;
    static constexpr uint32_t kRecordAckMilliseconds = 5000;
    // Characters of hexadecimal text per data message, and the pause before each.
    static constexpr uint16_t kChunkSize = 22;
    static constexpr uint16_t kMessageDelayMilliseconds = 3;
    // Reply codes, and what ClassifyReply answers for anything else.
    static constexpr int32_t kReplyModeChangeAccepted = 0x15;
    static constexpr int32_t kReplyDataAccepted = 0x45;
    static constexpr int32_t kReplyDataAcceptedAlternative = 0x1A;
    static constexpr int32_t kReplyStopRequested = 0x20;
    static constexpr int32_t kNoReplyCode = -9;

    static KX::RCPtr<LUpdateEngine> Create();

    // The timing used for every wait and pause; the system timing by default.
    // Set it only while no operation runs.
    void SetTiming(const KX::RCPtr<LEngineTiming>& timing);
    const KX::RCPtr<LEngineTiming>& GetTiming() const { return mTiming; }

    // LUpdateEngineInterface
    KXRESULT Initialize(const String& commandLine) override;
    KXRESULT Rescan() override;
    KXRESULT SelectDevice(uint32_t index) override;
    KXRESULT RefreshSelectedDevice() override;
    KXRESULT EnterUpdateMode() override;
    KXRESULT Abort() override;
    KXRESULT SetFirmwareFile(const String& path) override;
    KXRESULT ScanDevices() override;
    uint32_t GetFoundDeviceCount() const override;
    bool IsFoundDeviceInUpdateMode(uint32_t index) const override;
    KXRESULT GetFoundDeviceErrorCode(uint32_t index, int32_t& code) const override;
    KXRESULT GetFoundDeviceVersion(uint32_t index, FirmwareVersion& version) const override;
    KXRESULT UpdateFirmware() override;

    // The engine's own operations.
    virtual KXRESULT SendSysEx(const ByteArray& bytes, const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort);
    virtual KXRESULT SendFirmwareImage(const ByteArray& image, const KX::ConstRCPtr<KX::LRefCountedObject>& capturePort,
                                       const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort);
    virtual KXRESULT SendIdentityRequest(const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort);
    virtual KXRESULT QueryDeviceIdentity(DeviceDefinitionEx& device,
                                         const KX::ConstRCPtr<KX::LRefCountedObject>& capturePort,
                                         const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort);

    bool IsDevicePresent(const String& inputPort, const String& outputPort);
    KXRESULT ProbeDevice(DeviceDefinitionEx& device);

    // The handler of "NID_MIDI_DATA_CAPTURED", on the component's worker thread.
    KXRESULT OnMidiDataCaptured(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                const KX::RCPtr<KX::LNotification>& notification);

    // KX::LNotificationReceiver
    KXRESULT ReceiveNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                 const KX::RCPtr<KX::LNotification>& notification) override;
    KXRESULT UnregisterNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;
    KXRESULT ReleaseInternalReferences() override;

    // The identity reply: exactly 15 bytes, F0 7E .. 06 02.
    static bool IsIdentityReply(const KX::IArray<signed char>& bytes);
    // The version from bytes 10-13 of an identity reply: each byte less '0',
    // and the four characters joined by '.'. E_FAIL for fewer than 14 bytes.
    static KXRESULT ParseIdentityReplyVersion(const KX::IArray<signed char>& bytes, FirmwareVersion& version);
    // The reply code of a 3-byte message F0 code F7 when the code is one of
    // 0x15, 0x45, 0x1A, 0x20; else kNoReplyCode.
    static int32_t ClassifyReply(const KX::IArray<signed char>& bytes);
    // Reads and decodes the whole file: pairs of hexadecimal digits (either
    // case), high digit first; line ends (CR, LF) at the end of the file, as
    // an editor saves it, are not part of the text. E_FAIL for text of odd
    // length, any other character that is no hexadecimal digit, or a short
    // read; the image is then empty. Throws the file's runtime error when the
    // file cannot be read at all.
    static KXRESULT ReadFirmwareImage(ByteArray& image, KX::File& file);
    // True when the image is a series of records (a big-endian length L, then
    // L bytes) that ends exactly at the image's end; an empty image is one.
    static bool IsCompleteFirmwareImage(const ByteArray& image);
    // Replaces the bytes by their upper-case hexadecimal text, high digit first.
    static void EncodeBytesAsHexText(ByteArray& bytes);
    // The 9-byte mode-change message: F0, the access code, F7.
    static KXRESULT BuildEnterUpdateModeMessage(ByteArray& message);

protected:
    LUpdateEngine();
    ~LUpdateEngine() override;

    // Drops the binding to the current component and releases it; then, when
    // makeNew, makes a new component and binds the handler to it. E_FAIL when
    // the new binding failed. Never called with the engine's lock held.
    KXRESULT ReplaceMidiComm(bool makeNew);
    // The current component, read under the lock.
    KX::RCPtr<KX::LMidiCommInterface> GetMidiComm() const;
    // A copy of the selected found device; false without a valid selection.
    bool GetSelectedDevice(DeviceDefinitionEx& device) const;
    void SetSelectedDeviceErrorCode(int32_t code);
    // The transfer itself, with its ports held in here; the states are set by
    // UpdateFirmware once the ports are released. A failure that the selected
    // device's error code is to name sets `failureReason`: FileAccessFailure
    // for a file that can no longer be sent whole, DeviceAccessFailure for a
    // send or an acknowledgement that failed; the other failures leave it
    // NoReason (and the error code as it was).
    KXRESULT RunTransfer(int32_t& failureReason);
    // Waits until the pause before the next data message is over.
    void PaceDataMessage();
    // Starts the pause: at the moment the driver reported the message sent
    // (the send began at `sendStarted`).
    void NoteMessageSent(const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort, int64_t sendStarted);
    // At shutdown: the data acknowledgement turns green, so that no wait of
    // the worker lasts its whole time; the transfer then stops at its next
    // record, before it sends anything more.
    void OnStopRequested() override;

    KX::Array<DeviceDefinitionEx> mFoundDevices;
    KX::RCPtr<KX::LNotificationHandler<LUpdateEngine>> mHandler;
    KX::RCPtr<KX::LMidiCommInterface> mMidiComm;
    KX::TrafficLight mIdentitySignal;
    KX::TrafficLight mModeAckSignal;
    KX::TrafficLight mDataAckSignal;
    uint16_t mChunkSize = kChunkSize;
    uint16_t mMessageDelay = kMessageDelayMilliseconds;
    DeviceDefinitionEx mCurrentDevice;

    // Guards what the MIDI worker thread and the engine's threads share: the
    // found devices, mCurrentDevice, the component pointer and the handler's
    // bindings. Held only for short steps, never while calling the component.
    mutable KX::Mutex mLock;
    KX::RCPtr<LEngineTiming> mTiming;
    // The worker's: when the pause before the next data message began (the
    // previous message reported sent, or the awaited acknowledgement come).
    int64_t mPauseFrom = 0;
};

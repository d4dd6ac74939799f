// LUpdateEngine: construction, the MIDI component and its binding, the
// handler of captured data, the found devices and the reply formats.
#include "Engine/UpdateEngine.h"

#include "Midi/MidiCaptureNotificationData.h"
#include "Notification/NotificationIDs.h"

namespace {

uint8_t ByteAt(const KX::IArray<signed char>& bytes, int32_t index)
{
    return static_cast<uint8_t>(bytes.GetData()[index]);
}

} // namespace

KX::RCPtr<LUpdateEngineInterface> LUpdateEngineInterface::Create()
{
    return KX::RCPtr<LUpdateEngineInterface>(LUpdateEngine::Create());
}

KX::RCPtr<LUpdateEngine> LUpdateEngine::Create()
{
    return KX::RCPtr<LUpdateEngine>(new LUpdateEngine);
}

LUpdateEngine::LUpdateEngine() : mTiming(LEngineTiming::CreateSystemTiming())
{
}

LUpdateEngine::~LUpdateEngine()
{
    // A run holds a reference on the engine, so the worker is idle here unless
    // this is its own thread; either way nothing of the engine is used after.
    mWorker.Stop(kWorkerStopMilliseconds);
}

void LUpdateEngine::SetTiming(const KX::RCPtr<LEngineTiming>& timing)
{
    mTiming = timing ? timing : LEngineTiming::CreateSystemTiming();
}

KXRESULT LUpdateEngine::Initialize(const String& commandLine)
{
    LUpdateEngineInterface::Initialize(commandLine);
    // A running transfer keeps its component and its pacing: replacing the
    // component would cut the transfer off from its acknowledgements.
    if (mUpdateState.load() == Running && GetMidiComm())
        return S_OK;
    mChunkSize = kChunkSize;
    mMessageDelay = kMessageDelayMilliseconds;
    ReplaceMidiComm(false);
    {
        KX::MutexLock lock(mLock);
        mHandler = KX::RCPtr<KX::LNotificationHandler<LUpdateEngine>>(new KX::LNotificationHandler<LUpdateEngine>(this));
    }
    return ReplaceMidiComm(true) < 0 ? E_FAIL : S_OK;
}

KXRESULT LUpdateEngine::ReplaceMidiComm(bool makeNew)
{
    KX::RCPtr<KX::LMidiCommInterface> previous;
    {
        KX::MutexLock lock(mLock);
        previous = mMidiComm;
        mMidiComm = nullptr;
        if (previous && mHandler)
            mHandler->RemoveHandler(previous, KX::NID_MIDI_DATA_CAPTURED);
    }
    if (previous) {
        Unregister(previous, KX::NID_MIDI_DATA_CAPTURED);
        // Released outside the lock: the component may end its threads here,
        // and one of them may be waiting for the lock in the handler.
        previous = nullptr;
    }
    if (!makeNew)
        return S_OK;

    KX::RCPtr<KX::LMidiCommInterface> comm;
    KX::LMidiCommInterface::Create(comm);
    if (!comm)
        return E_FAIL;
    KX::MutexLock lock(mLock);
    mMidiComm = comm;
    if (!mHandler)
        return E_FAIL;
    // Bound before any port of the component opens, so before it can send.
    return mHandler->AddHandler(&LUpdateEngine::OnMidiDataCaptured, comm, KX::NID_MIDI_DATA_CAPTURED) < 0 ? E_FAIL
                                                                                                          : S_OK;
}

KX::RCPtr<KX::LMidiCommInterface> LUpdateEngine::GetMidiComm() const
{
    KX::MutexLock lock(mLock);
    return mMidiComm;
}

KXRESULT LUpdateEngine::ReceiveNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                            const KX::RCPtr<KX::LNotification>& notification)
{
    // The bindings may change on the user-interface thread meanwhile.
    KX::MutexLock lock(mLock);
    if (!mHandler)
        return S_OK;
    return mHandler->HandleNotification(sender, notification);
}

KXRESULT LUpdateEngine::UnregisterNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                               const wchar_t* identifier)
{
    {
        KX::MutexLock lock(mLock);
        if (mHandler)
            mHandler->RemoveHandler(sender, identifier);
    }
    return Unregister(sender, identifier);
}

KXRESULT LUpdateEngine::ReleaseInternalReferences()
{
    return KX::LNotificationClient::ReleaseInternalReferences();
}

KXRESULT LUpdateEngine::OnMidiDataCaptured(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                           const KX::RCPtr<KX::LNotification>& notification)
{
    const KX::LMidiCaptureNotificationData* data =
        notification ? dynamic_cast<const KX::LMidiCaptureNotificationData*>(notification->GetData().Get()) : nullptr;
    if (!data)
        return S_OK;
    KX::MutexLock lock(mLock);
    // Late replies from a replaced component are not this device's.
    if (!sender || sender.Get() != static_cast<KX::LNotificationDistributor*>(mMidiComm.Get()))
        return S_OK;

    const KX::IArray<signed char>& bytes = data->GetBytes();
    if (IsIdentityReply(bytes)) {
        // Under the lock: the probing thread copies the record back under it.
        ParseIdentityReplyVersion(bytes, mCurrentDevice.mFirmwareVersion);
        mIdentitySignal.SetGreen();
    }
    switch (ClassifyReply(bytes)) {
    case kReplyStopRequested:
        Abort();
        break;
    case kReplyDataAccepted:
    case kReplyDataAcceptedAlternative:
        mDataAckSignal.SetGreen();
        break;
    case kReplyModeChangeAccepted:
        mModeAckSignal.SetGreen();
        break;
    default:
        break;
    }
    return S_OK;
}

KXRESULT LUpdateEngine::Abort()
{
    if (mDeviceState.load() != Updating)
        return E_FAIL;
    mAbortRequested.store(true);
    return S_OK;
}

uint32_t LUpdateEngine::GetFoundDeviceCount() const
{
    KX::MutexLock lock(mLock);
    return static_cast<uint32_t>(mFoundDevices.GetCount());
}

bool LUpdateEngine::IsFoundDeviceInUpdateMode(uint32_t index) const
{
    KX::MutexLock lock(mLock);
    if (index >= static_cast<uint32_t>(mFoundDevices.GetCount()))
        return false;
    return mFoundDevices.GetData()[index].mInUpdateMode;
}

KXRESULT LUpdateEngine::GetFoundDeviceErrorCode(uint32_t index, int32_t& code) const
{
    code = NoReason;
    KX::MutexLock lock(mLock);
    if (index >= static_cast<uint32_t>(mFoundDevices.GetCount()))
        return E_FAIL;
    code = mFoundDevices.GetData()[index].mErrorCode;
    return S_OK;
}

KXRESULT LUpdateEngine::GetFoundDeviceVersion(uint32_t index, FirmwareVersion& version) const
{
    KX::MutexLock lock(mLock);
    if (index >= static_cast<uint32_t>(mFoundDevices.GetCount()))
        return E_FAIL;
    version = mFoundDevices.GetData()[index].mFirmwareVersion;
    return S_OK;
}

bool LUpdateEngine::GetSelectedDevice(DeviceDefinitionEx& device) const
{
    KX::MutexLock lock(mLock);
    const int32_t index = mSelectedDeviceIndex.load();
    if (index < 0 || index >= mFoundDevices.GetCount())
        return false;
    device = mFoundDevices.GetData()[index];
    return true;
}

void LUpdateEngine::SetSelectedDeviceErrorCode(int32_t code)
{
    KX::MutexLock lock(mLock);
    const int32_t index = mSelectedDeviceIndex.load();
    if (index >= 0 && index < mFoundDevices.GetCount())
        mFoundDevices.GetData()[index].mErrorCode = code;
}

bool LUpdateEngine::IsIdentityReply(const KX::IArray<signed char>& bytes)
{
    return bytes.GetCount() == 15 && ByteAt(bytes, 0) == 0xF0 && ByteAt(bytes, 1) == 0x7E &&
           ByteAt(bytes, 3) == 0x06 && ByteAt(bytes, 4) == 0x02;
}

KXRESULT LUpdateEngine::ParseIdentityReplyVersion(const KX::IArray<signed char>& bytes, FirmwareVersion& version)
{
    if (bytes.GetCount() < 14)
        return E_FAIL;
    uint32_t parts[4];
    wchar_t text[8];
    for (int32_t i = 0; i < 4; ++i) {
        const uint8_t character = ByteAt(bytes, 10 + i);
        parts[i] = static_cast<uint32_t>(character) - 0x30;
        text[2 * i] = static_cast<wchar_t>(character);
        text[2 * i + 1] = i < 3 ? L'.' : L'\0';
    }
    version = FirmwareVersion(parts[0], parts[1], parts[2], parts[3], String(text));
    return S_OK;
}

int32_t LUpdateEngine::ClassifyReply(const KX::IArray<signed char>& bytes)
{
    if (bytes.GetCount() != 3 || ByteAt(bytes, 0) != 0xF0 || ByteAt(bytes, 2) != 0xF7)
        return kNoReplyCode;
    const int32_t code = ByteAt(bytes, 1);
    switch (code) {
    case kReplyModeChangeAccepted:
    case kReplyDataAccepted:
    case kReplyDataAcceptedAlternative:
    case kReplyStopRequested:
        return code;
    default:
        return kNoReplyCode;
    }
}

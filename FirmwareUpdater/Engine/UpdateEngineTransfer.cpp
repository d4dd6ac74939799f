// LUpdateEngine: the firmware file, the mode change and the transfer of the
// image on the worker thread.
#include "Engine/UpdateEngine.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace {

// The update-mode access code of the mode-change message.
const char kAccessCode[] = "QJd)>RT";
const int32_t kAccessCodeLength = 7;

// The value of one hexadecimal digit, or -1.
int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

uint8_t ByteAt(const LUpdateEngine::ByteArray& bytes, int32_t index)
{
    return static_cast<uint8_t>(bytes.GetData()[index]);
}

// The length of the record at `position` with its two length bytes, or -1
// when the record would run past the end of the image.
int32_t RecordLengthAt(const LUpdateEngine::ByteArray& image, int32_t position)
{
    const int32_t left = image.GetCount() - position;
    if (left < 2)
        return -1;
    const int32_t length = (ByteAt(image, position) << 8 | ByteAt(image, position + 1)) + 2;
    return length <= left ? length : -1;
}

// Opens the file by its full path, reads, decodes and checks it: an image
// that holds no record, or whose records do not fill it exactly, cannot be
// sent whole. Any failure, a read error included, is E_FAIL.
KXRESULT LoadFirmwareImage(const KX::StringT<wchar_t, char>& path, LUpdateEngine::ByteArray& image)
{
    if (path.IsEmpty())
        return E_FAIL;
    try {
        KX::File file;
        if (file.Open(path, KX::StringT<wchar_t, char>(), KX::File::ReadOnly) < 0)
            return E_FAIL;
        if (LUpdateEngine::ReadFirmwareImage(image, file) < 0)
            return E_FAIL;
    } catch (const std::exception&) {
        return E_FAIL;
    }
    return image.GetCount() > 0 && LUpdateEngine::IsCompleteFirmwareImage(image) ? S_OK : E_FAIL;
}

} // namespace

KXRESULT LUpdateEngine::SetFirmwareFile(const String& path)
{
    // While an image is sent the file, its state and its version stay those
    // of the image on its way. Only the user-interface thread starts an
    // update, so no transfer can begin between this test and the change.
    if (mDeviceState.load() == Updating)
        return kRefusedWhileUpdating;
    {
        KX::MutexLock lock(mFileLock);
        mFirmwareFilePath = path;
    }
    // A file that cannot be sent whole is refused now, before the device is
    // switched into update mode for it.
    ByteArray image;
    if (!KX::FileExists(path) || LoadFirmwareImage(path, image) < 0) {
        SetFirmwareFileState(FileInvalid);
        return E_FAIL;
    }
    {
        // The file is not asked for its version: every firmware file is 1.0.4.4.
        KX::MutexLock lock(mFileLock);
        mFirmwareFileVersion = FirmwareVersion(1, 0, 4, 4, L"1.0.4.4");
    }
    SetFirmwareFileState(FileFoundVersionKnown);
    return S_OK;
}

KXRESULT LUpdateEngine::BuildEnterUpdateModeMessage(ByteArray& message)
{
    const int32_t emptied = message.RemoveAll();
    if (emptied < 0)
        return emptied;
    message.SetCount(kAccessCodeLength + 2);
    signed char* data = message.GetData();
    data[0] = static_cast<signed char>(0xF0);
    for (int32_t i = 0; i < kAccessCodeLength; ++i)
        data[1 + i] = static_cast<signed char>(kAccessCode[i]);
    data[kAccessCodeLength + 1] = static_cast<signed char>(0xF7);
    return S_OK;
}

KXRESULT LUpdateEngine::EnterUpdateMode()
{
    const int32_t state = mDeviceState.load();
    if (state == InUpdateMode)
        return S_FALSE;
    if (state != NotInUpdateMode && state != EnteringUpdateMode)
        return E_FAIL;
    SetDeviceState(EnteringUpdateMode);
    mModeAckSignal.SetRed();

    KXRESULT result = E_FAIL;
    {
        DeviceDefinitionEx device;
        const bool selected = GetSelectedDevice(device);
        const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
        KX::RCPtr<KX::LRefCountedObject> capturePort;
        KX::RCPtr<KX::LRefCountedObject> renderPort;
        if (comm && selected) {
            comm->OpenCapturePort(device.mNormalModeInputPort, capturePort);
            comm->OpenRenderPort(device.mNormalModeOutputPort, renderPort);
        }
        ByteArray message;
        BuildEnterUpdateModeMessage(message);
        const KXRESULT sent = comm && renderPort ? comm->Send(renderPort, message) : E_FAIL;
        // Waited for also after a failed send, as the device may still answer.
        const bool acknowledged = mTiming->WaitForSignal(mModeAckSignal, kModeChangeAckMilliseconds);
        result = acknowledged ? sent : E_FAIL;
    } // both ports released
    if (result < 0) {
        SetSelectedDeviceErrorCode(DeviceAccessFailure);
        SetDeviceState(DeviceError);
    }
    return result;
}

KXRESULT LUpdateEngine::UpdateFirmware()
{
    SetUpdateState(Running);
    int32_t failureReason = NoReason;
    KXRESULT result = RunTransfer(failureReason);
    // The ports are released by now, so a probe may replace the component as
    // soon as the states below allow it.
    if (result < 0) {
        if (failureReason != NoReason)
            SetSelectedDeviceErrorCode(failureReason);
        SetUpdateState(Failed);
        SetDeviceState(DeviceError);
    } else if (mAbortRequested.load()) {
        SetUpdateState(Aborted);
        SetDeviceState(InUpdateMode);
        result = E_ABORT;
    } else {
        // The device state stays Updating until a probe finds the device again.
        SetUpdateState(Succeeded);
    }
    return result;
}

KXRESULT LUpdateEngine::RunTransfer(int32_t& failureReason)
{
    DeviceDefinitionEx device;
    const bool selected = GetSelectedDevice(device);
    const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
    KX::RCPtr<KX::LRefCountedObject> capturePort;
    KX::RCPtr<KX::LRefCountedObject> renderPort;
    if (comm && selected) {
        comm->OpenCapturePort(device.mUpdateModeInputPort, capturePort);
        comm->OpenRenderPort(device.mUpdateModeOutputPort, renderPort);
    }
    if (!comm || !capturePort || !renderPort)
        return E_FAIL;

    String path;
    {
        KX::MutexLock lock(mFileLock);
        path = mFirmwareFilePath;
    }
    // The whole image is read and checked before anything goes to the device.
    // A file that was good when it was set and cannot be sent whole now is
    // the reason the update failed, and the screen names it.
    ByteArray image;
    if (LoadFirmwareImage(path, image) < 0) {
        failureReason = FileAccessFailure;
        return E_FAIL;
    }

    ByteArray handshake;
    BuildEnterUpdateModeMessage(handshake);
    mDataAckSignal.SetRed();
    comm->Send(renderPort, handshake);
    if (!mTiming->WaitForSignal(mDataAckSignal, kHandshakeAckMilliseconds))
        return E_FAIL;
    mPauseFrom = mTiming->Now();

    const KXRESULT result = SendFirmwareImage(image, capturePort, renderPort);
    if (result < 0)
        failureReason = DeviceAccessFailure;
    return result;
}

void LUpdateEngine::PaceDataMessage()
{
    // The device needs the whole pause between two messages: it counts from
    // the moment the driver reported the previous message sent, or the
    // acknowledgement arrived, so the time the link takes never counts toward
    // it (and the work since, such as posting progress, does).
    mTiming->SleepUntil(mPauseFrom + static_cast<int64_t>(mMessageDelay) * 1000);
}

void LUpdateEngine::NoteMessageSent(const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort, int64_t sendStarted)
{
    // The driver reported the message sent a little before Send returned
    // (Send still had to wake up and clean up): the pause counts from the
    // report when the component knows its time, which cannot be before the
    // send began.
    const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
    const int64_t sinceDone = comm ? comm->GetTimeSinceSendDone(renderPort) : -1;
    mPauseFrom = sinceDone >= 0 ? std::max(sendStarted, mTiming->Before(sinceDone)) : mTiming->Now();
}

KXRESULT LUpdateEngine::SendFirmwareImage(const ByteArray& image, const KX::ConstRCPtr<KX::LRefCountedObject>&,
                                          const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort)
{
    const int32_t imageLength = image.GetCount();
    if (imageLength == 0)
        return S_OK;
    const int32_t pieceLimit = std::max(1, mChunkSize / 2);
    int32_t position = 0;
    for (;;) {
        if (mAbortRequested.load())
            return E_ABORT;
        const int32_t recordLength = RecordLengthAt(image, position);
        if (recordLength < 0)
            return E_FAIL; // never read beyond the image
        const int32_t recordEnd = position + recordLength;
        while (position < recordEnd) {
            PaceDataMessage();
            const int32_t pieceLength = std::min(recordEnd - position, pieceLimit);
            // Only an acknowledgement that comes after the record's last
            // message has started counts: whatever came before is wiped here.
            // (The signal is not looked at between the record's messages, so
            // resetting it before each of them would change nothing.)
            if (position + pieceLength == recordEnd)
                mDataAckSignal.SetRed();
            ByteArray piece;
            piece.SetCount(pieceLength);
            piece.CopyIn(image.GetData() + position, 0, pieceLength);
            EncodeBytesAsHexText(piece);
            const int64_t sendStarted = mTiming->Now();
            if (SendSysEx(piece, renderPort) < 0)
                return E_FAIL;
            NoteMessageSent(renderPort, sendStarted);
            position += pieceLength;
            PostUpdateProgress(0, static_cast<double>(static_cast<uint32_t>(position)) /
                                      static_cast<double>(static_cast<uint32_t>(imageLength)),
                               true, -1, false, String());
        }
        if (position >= imageLength)
            return S_OK; // no acknowledgement is awaited after the last record
        if (!mTiming->WaitForSignal(mDataAckSignal, kRecordAckMilliseconds))
            return E_FAIL;
        mPauseFrom = mTiming->Now();
        mAcknowledgedRecords.fetch_add(1);
    }
}

void LUpdateEngine::OnStopRequested()
{
    // The abort flag is set already: a wait cut short leads to the check
    // before the next record (or, for the handshake, before the first).
    mDataAckSignal.SetGreen();
}

KXRESULT LUpdateEngine::SendSysEx(const ByteArray& bytes, const KX::ConstRCPtr<KX::LRefCountedObject>& renderPort)
{
    const KX::RCPtr<KX::LMidiCommInterface> comm = GetMidiComm();
    if (!renderPort || !comm)
        return E_FAIL;
    const int32_t count = bytes.GetCount();
    ByteArray message;
    message.SetCount(count + 2);
    signed char* data = message.GetData();
    data[0] = static_cast<signed char>(0xF0);
    if (count > 0)
        std::copy(bytes.GetData(), bytes.GetData() + count, data + 1);
    data[count + 1] = static_cast<signed char>(0xF7);
    return comm->Send(renderPort, message);
}

void LUpdateEngine::EncodeBytesAsHexText(ByteArray& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const int32_t count = bytes.GetCount();
    ByteArray text;
    text.SetCount(count * 2);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t value = ByteAt(bytes, i);
        text.GetData()[2 * i] = kDigits[value >> 4];
        text.GetData()[2 * i + 1] = kDigits[value & 0x0F];
    }
    bytes = std::move(text);
}

KXRESULT LUpdateEngine::ReadFirmwareImage(ByteArray& image, KX::File& file)
{
    image.RemoveAll();
    const int32_t fileLength = file.GetLength();
    if (fileLength < 0)
        return E_FAIL;
    std::vector<char> text(static_cast<size_t>(fileLength));
    if (fileLength > 0 && file.Read(text.data(), fileLength, 0) != fileLength)
        return E_FAIL;
    // Line ends that an editor leaves at the end of the text are not part of it.
    int32_t length = fileLength;
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
        --length;
    // Text of odd length ends in half a byte.
    if (length % 2 != 0)
        return E_FAIL;
    image.SetCount(length / 2);
    for (int32_t i = 0; i < length / 2; ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            image.RemoveAll();
            return E_FAIL;
        }
        image.GetData()[i] = static_cast<signed char>(high << 4 | low);
    }
    return S_OK;
}

bool LUpdateEngine::IsCompleteFirmwareImage(const ByteArray& image)
{
    int32_t position = 0;
    while (position < image.GetCount()) {
        const int32_t recordLength = RecordLengthAt(image, position);
        if (recordLength < 0)
            return false;
        position += recordLength;
    }
    return true;
}

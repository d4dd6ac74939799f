#include "System/ClipBoard.h"

#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationDistributor.h"
#include "System/WrapperStringable.h"

#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;
using NarrowString = StringT<char, wchar_t>;

constexpr const char* kInitialize = "KX::LClipboard::Initialize";
constexpr const char* kSourcePath = "System/ClipBoard";

// Copies bytes into a new movable block and places it on the open clipboard.
bool PlaceBlock(UINT format, const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block); // still ours when the clipboard refused it
        return false;
    }
    return true;
}

} // namespace

RCPtr<LClipboard> LClipboard::Create()
{
    return RCPtr<LClipboard>(new LClipboard());
}

KXRESULT LClipboard::Initialize()
{
    mHandler = RCPtr<LNotificationHandler<LClipboard>>(new LNotificationHandler<LClipboard>(this));
    try {
        const RCPtr<LNotificationDistributor> centre(
            LNotificationCenterManager::GetInstance()->GetApplicationCenter().Get());
        KX_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnEditCut, centre, L"NID_EDIT_CUT_REQ"), kInitialize,
                           kSourcePath, 41);
        KX_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnEditCopy, centre, L"NID_EDIT_COPY_REQ"),
                           kInitialize, kSourcePath, 42);
        KX_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnEditPaste, centre, L"NID_EDIT_PASTE_REQ"),
                           kInitialize, kSourcePath, 43);
        KX_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnEditDelete, centre, L"NID_EDIT_DELETE_REQ"),
                           kInitialize, kSourcePath, 44);
    } catch (const std::runtime_error&) {
        return E_FAIL;
    }
    mInitialized = true;
    return S_OK;
}

HWND LClipboard::GetOwnerWindow() const
{
    return mHost ? mHost->GetClipboardOwnerWindow() : nullptr;
}

RCPtr<LRefCountedObject> LClipboard::GetData()
{
    const DWORD sequenceNumber = GetClipboardSequenceNumber();
    if (sequenceNumber == mSequenceNumber || IsClipboardFormatAvailable(PrivateFormat))
        return mCurrent;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) && !IsClipboardFormatAvailable(CF_TEXT)) {
        mCurrent = nullptr;
        return mCurrent;
    }
    if (!OpenClipboard(GetOwnerWindow()))
        return mCurrent;
    mCurrent = ReadText();
    CloseClipboard();
    mSequenceNumber = GetClipboardSequenceNumber();
    return mCurrent;
}

RCPtr<LRefCountedObject> LClipboard::ReadText()
{
    const bool wide = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    HANDLE data = GetClipboardData(wide ? CF_UNICODETEXT : CF_TEXT);
    if (!data)
        return RCPtr<LRefCountedObject>();
    const void* bytes = GlobalLock(data);
    if (!bytes)
        return RCPtr<LRefCountedObject>();
    // Another program's block need not end in a NUL: read no further than it.
    const size_t size = GlobalSize(data);
    String text;
    if (wide) {
        const size_t length = wcsnlen(static_cast<const wchar_t*>(bytes), size / sizeof(wchar_t));
        if (length > 0)
            text.Assign(static_cast<const wchar_t*>(bytes), static_cast<int32_t>(length));
    } else {
        const size_t length = strnlen(static_cast<const char*>(bytes), size);
        if (length > 0)
            text.Assign(static_cast<const char*>(bytes), static_cast<int32_t>(length));
    }
    GlobalUnlock(data);
    return RCPtr<LRefCountedObject>(LStringObject::Create(text).Get());
}

KXRESULT LClipboard::SetData(const RCPtr<LRefCountedObject>& object)
{
    if (mBusy)
        return S_FALSE;
    mBusy = true;
    mCurrent = object;
    KXRESULT result = S_OK;
    if (object) {
        const RCPtr<LStringObject> text = RCPtr<LStringObject>::DynamicCast(object);
        if (!OpenClipboard(GetOwnerWindow())) {
            result = E_FAIL;
        } else {
            if (!EmptyClipboard()) {
                result = E_FAIL;
            } else if (text) {
                result = PutText(text->GetValue());
            } else {
                // Delayed rendering answers no handle either way: only the
                // thread's error code tells a failure, so clear a stale one.
                SetLastError(ERROR_SUCCESS);
                SetClipboardData(PrivateFormat, nullptr);
                result = GetLastError() != ERROR_SUCCESS ? E_FAIL : S_OK;
            }
            CloseClipboard();
            mSequenceNumber = GetClipboardSequenceNumber();
        }
    }
    mBusy = false;
    return result;
}

KXRESULT LClipboard::PutText(const StringT<wchar_t, char>& text)
{
    const size_t wideBytes = (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t);
    const bool wideDone = PlaceBlock(CF_UNICODETEXT, text.GetData(), wideBytes);
    const NarrowString utf8(text);
    const bool narrowDone = PlaceBlock(CF_TEXT, utf8.GetData(), static_cast<size_t>(utf8.GetLength()) + 1);
    return wideDone && narrowDone ? S_OK : E_FAIL;
}

bool LClipboard::CanPerformFocusEdit(int32_t operation)
{
    const RCPtr<IEditTarget> target = mHost ? mHost->GetFocusEditTarget() : RCPtr<IEditTarget>();
    return target && target->CanEdit() && target->CanPerformEdit(operation);
}

KXRESULT LClipboard::PerformFocusEdit(int32_t operation)
{
    const RCPtr<IEditTarget> target = mHost ? mHost->GetFocusEditTarget() : RCPtr<IEditTarget>();
    if (!target || !target->CanEdit() || !target->CanPerformEdit(operation))
        return S_FALSE;
    return target->PerformEdit(operation);
}

KXRESULT LClipboard::OnEditCut(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    PerformFocusEdit(EditCut);
    return S_FALSE;
}

KXRESULT LClipboard::OnEditCopy(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    PerformFocusEdit(EditCopy);
    return S_FALSE;
}

KXRESULT LClipboard::OnEditPaste(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    PerformFocusEdit(EditPaste);
    return S_FALSE;
}

KXRESULT LClipboard::OnEditDelete(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    PerformFocusEdit(EditDelete);
    return S_FALSE;
}

KXRESULT LClipboard::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (!mInitialized || !mHandler)
        return S_OK;
    return mHandler->HandleNotification(sender, notification);
}

KXRESULT LClipboard::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                            const wchar_t* identifier)
{
    if (mHandler)
        mHandler->RemoveHandler(sender, identifier);
    return Unregister(sender, identifier);
}

} // namespace KX

// KX::LClipboard: the application's one clipboard service.
//
// Contract:
// - Text goes to the Windows clipboard as Unicode text and as UTF-8 text on the
//   8-bit text format; it comes back as a new string object (KX::LStringObject)
//   whenever the clipboard changed since the clipboard's own last read or write.
// - Any other object stays inside the process: the clipboard carries only the
//   private format 0x200 (delayed rendering, never rendered), and GetData
//   answers that same object for as long as the format is there.
// - The four edit requests "NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ",
//   "NID_EDIT_PASTE_REQ" and "NID_EDIT_DELETE_REQ", posted to the
//   "application" centre, go to the edit target of the focused control.
// - The application around the clipboard (its first root window's OS window,
//   its active root window's focused control) is reached through an
//   IClipboardHost that the application object sets; without one the clipboard
//   has no owner window and no edit target.
// - User-interface thread only; the busy flag only guards against re-entry
//   from the owner window's own clipboard messages (WM_DESTROYCLIPBOARD calls
//   SetData with null while SetData empties the clipboard).
#pragma once

#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace KX {

class LNotification;
class LNotificationDistributor;

// A control that takes edit operations: 0 delete, 1 cut, 2 copy, 3 paste.
class IEditTarget : public virtual LRefCountedObject
{
public:
    virtual bool CanEdit() = 0;
    // Whether the operation can be performed now.
    virtual bool CanPerformEdit(int32_t operation) = 0;
    virtual KXRESULT PerformEdit(int32_t operation) = 0;

protected:
    ~IEditTarget() override = default;
};

// What the clipboard needs of the application around it.
class IClipboardHost
{
public:
    // The OS window of the application's first root window, or null.
    virtual HWND GetClipboardOwnerWindow() = 0;
    // The edit target of the focused control of the application's active root
    // window; null without an active root window, focused control or target.
    virtual RCPtr<IEditTarget> GetFocusEditTarget() = 0;

protected:
    ~IClipboardHost() = default;
};

class LClipboard : public LNotificationClient
{
public:
    // The private clipboard format that marks an object of the application.
    static constexpr UINT PrivateFormat = 0x200;

    enum EditOperation : int32_t { EditDelete = 0, EditCut = 1, EditCopy = 2, EditPaste = 3 };

    // A new clipboard with all fields clear.
    static RCPtr<LClipboard> Create();

    // The application that owns the clipboard; null: none.
    void SetHost(IClipboardHost* host) { mHost = host; }

    // Binds the four edit requests on the "application" centre. A failed
    // registration throws the failed-result exception; a runtime error while
    // registering answers E_FAIL.
    KXRESULT Initialize();

    // The current object, refreshed from the Windows clipboard when it changed.
    RCPtr<LRefCountedObject> GetData();
    // Makes the object the current one and puts it on the Windows clipboard
    // (nothing for null). 1 while busy, 0, or E_FAIL when the clipboard could
    // not be opened, emptied or written (the current object is replaced all
    // the same).
    KXRESULT SetData(const RCPtr<LRefCountedObject>& object);

    bool CanPerformFocusEdit(int32_t operation);
    // The edit target's result, or 1 when there is no target that can perform
    // the operation now.
    KXRESULT PerformFocusEdit(int32_t operation);

    // The edit requests: each performs its operation and answers 1.
    KXRESULT OnEditCut(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnEditCopy(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnEditPaste(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnEditDelete(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    // To the handler table, once initialised.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    bool IsInitialized() const { return mInitialized; }

protected:
    LClipboard() = default;
    ~LClipboard() override = default;

private:
    HWND GetOwnerWindow() const;
    KXRESULT PutText(const StringT<wchar_t, char>& text);
    RCPtr<LRefCountedObject> ReadText();

    RCPtr<LNotificationHandler<LClipboard>> mHandler;
    DWORD mSequenceNumber = 0;
    RCPtr<LRefCountedObject> mCurrent;
    bool mInitialized = false;
    bool mBusy = false;
    IClipboardHost* mHost = nullptr;
};

} // namespace KX

// The text box within the framework: validation by its listeners and what
// the focus machinery asks of it, creation from the skin (the "LABEL" string
// is the cue text), the edit context menu with its item states, the edit
// requests that reach the text box itself, and the tool tip.
#include "Controls/TextBox.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/Look.h"
#include "ControlBase/StringTable.h"
#include "Controls/MenuDescriptor.h"
#include "Notification/Notification.h"
#include "Notification/NotificationID.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "System/ClipBoard.h"

namespace KX {

namespace {

// The edit commands of the context menu, in their order.
struct EditCommand
{
    const wchar_t* label;          // the application's string
    const wchar_t* notificationId; // the edit request
    int32_t operation;
};

constexpr EditCommand kEditCommands[] = {
    {L"EDIT_CUT", NID_EDIT_CUT_REQ, LTextBox::kEditCut},
    {L"EDIT_COPY", NID_EDIT_COPY_REQ, LTextBox::kEditCopy},
    {L"EDIT_PASTE", NID_EDIT_PASTE_REQ, LTextBox::kEditPaste},
    {L"EDIT_DELETE", NID_EDIT_DELETE_REQ, LTextBox::kEditDelete},
};

} // namespace

// ---- Validation and focus ----

RCPtr<LTextValidationParams> LTextBox::Validate()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LTextValidationParams> params = LTextValidationParams::Create(mText);
    SendNotificationWithData(NID_TEXTBOX_VALIDATING, RCPtr<LRefCountedObject>(params.Get()));
    if (params->mIsValid && params->mProposedText != mText)
        SetTextEx(params->mProposedText, false);
    if (params->mIsValid)
        SendNotificationWithData(NID_TEXTBOX_VALIDATED, RCPtr<LRefCountedObject>(params.Get()));
    return params;
}

bool LTextBox::AcceptsInput()
{
    return Validate()->mIsValid;
}

KXRESULT LTextBox::SetFocus(bool first)
{
    const RCPtr<LControl> self(this);
    if (mHasFocus)
        Validate();
    return LScrollView::SetFocus(first);
}

// ---- Creation ----

KXRESULT LTextBox::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const RCPtr<LControl> self(this);
    const String saved = mText;
    const KXRESULT result = LScrollView::ApplyControlDescriptor(descriptor);
    String label;
    if (mStringTable && mStringTable->GetString(L"LABEL", label)) {
        // The "LABEL" string is the hint shown in an empty field, never the
        // content.
        SetText(saved);
        mCueText = label;
        if (!mCueText.IsEmpty()) {
            if (const RCPtr<LLook> cue = CueTextLook()) {
                cue->SetText(mCueText);
                UpdateLooks();
            }
        }
    }
    return result;
}

KXRESULT LTextBox::Initialize()
{
    const KXRESULT result = LScrollView::Initialize();
    if (result < 0)
        return result;
    mTextBoxHandler = new TextBoxHandler(this);
    for (const EditCommand& command : kEditCommands) {
        KX_THROW_IF_FAILED(mTextBoxHandler->AddDirectHandler(&LTextBox::OnEditRequest, command.notificationId),
                           "KX::LTextBox::Initialize", "Controls\\TextBox", 120);
    }
    // The looks draw the text shifted by the scroll offset.
    mScrollLooks = true;
    UpdateCaretRect();
    return S_OK;
}

// ---- The context menu ----

KXRESULT LTextBox::ProcessRootWindowAquired()
{
    const RCPtr<LControl> self(this);
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (application && application->GetAppStringTable()) {
        RCPtr<LMenuDescriptor> menu;
        LMenuDescriptor::Create(menu);
        if (menu) {
            for (const EditCommand& command : kEditCommands) {
                String label;
                application->GetString(label, command.label);
                menu->InsertNewItem(menu->GetItemCount(), label, String(command.notificationId), true, false);
            }
            SetContextMenu(menu);
        }
    }
    // The window's idle requests and the children's own acquisitions.
    return LScrollView::ProcessRootWindowAquired();
}

int32_t LTextBox::EditOperationOf(const wchar_t* notificationId)
{
    if (!notificationId)
        return -1;
    const String identifier = GetNotificationIDText(InternNotificationID(notificationId));
    for (const EditCommand& command : kEditCommands) {
        if (identifier == command.notificationId)
            return command.operation;
    }
    return -1;
}

KXRESULT LTextBox::UpdateMenuItem(const RCPtr<LMenuDescriptor>&, int32_t, const wchar_t* notificationId,
                                  MenuItemState& state)
{
    const int32_t operation = EditOperationOf(notificationId);
    if (operation < 0)
        return S_FALSE;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    const RCPtr<LClipboard> clipboard = application ? application->GetClipboard() : RCPtr<LClipboard>();
    state.enabled = clipboard && clipboard->CanPerformFocusEdit(operation);
    return S_OK;
}

KXRESULT LTextBox::OnEditRequest(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const int32_t operation = notification ? EditOperationOf(notification->GetID()) : -1;
    if (operation >= 0 && CanPerformEdit(operation))
        PerformEdit(operation);
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LTextBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    // An edit request that a key binding forwards acts exactly as that key
    // (the control base's forwarding); only an unbound one is performed here.
    if (mCreated && mTextBoxHandler && mTextBoxHandler->Binds(sender, notification) &&
        !(mHandler && mHandler->IsBound(sender, notification->GetID()))) {
        const RCPtr<TextBoxHandler> handler = mTextBoxHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LScrollView::ReceiveNotification(sender, notification);
}

KXRESULT LTextBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mTextBoxHandler)
        mTextBoxHandler->RemoveHandler(sender, identifier);
    return LScrollView::UnregisterNotification(sender, identifier);
}

// ---- Tool tip ----

StringT<wchar_t, char> LTextBox::GetToolTipText()
{
    return IsTextTruncated() ? mText : LScrollView::GetToolTipText();
}

} // namespace KX

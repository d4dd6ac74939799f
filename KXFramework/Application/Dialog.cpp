#include "Application/Dialog.h"

#include "Application/RootWindow.h"
#include "Notification/NotificationIDs.h"

namespace KX {

KXRESULT LDialog::Close(int32_t code)
{
    const RCPtr<LControl> self(this);
    mCloseCode = code;
    const RCPtr<LCancelArgs> cancel = LCancelArgs::Create();
    SendNotificationWithData(NID_DIALOG_CLOSING, cancel);
    if (cancel->mCancel)
        return S_FALSE;
    if (const RCPtr<LRootWindow> window = GetRootWindow())
        window->RequestClose(code);
    SendNotificationWithData(NID_DIALOG_CLOSED);
    OnClosed();
    return S_OK;
}

void LDialog::OnClosed() {}

} // namespace KX

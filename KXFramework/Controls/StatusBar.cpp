// The status bar: a label that shows texts set at once or posted from any
// thread into the bar's own queue, delivered on the bar's idle step.
#include "Controls/StatusBar.h"

#include "Application/RootWindow.h"
#include "Controls/Label.h"
#include "Notification/NotificationIDs.h"
#include "System/WrapperStringable.h"

namespace KX {

LStatusBar::LStatusBar(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LStatusBar::~LStatusBar() = default;

// ---- Creation ----

KXRESULT LStatusBar::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    const RCPtr<LNotificationDistributor> self(static_cast<LNotificationDistributor*>(this));

    // Posted texts come back through the bar's own distributor to its own
    // latest-only registration, so only the newest of a pass is shown.
    mStatusHandler = new StatusHandler(this);
    if (mStatusHandler)
        mStatusHandler->AddHandler(&LStatusBar::OnSetStatusText, self, NID_SET_STATUS_TEXT,
                                   LNotificationDistributor::LatestOnly);
    if (SetDistributor(self) >= 0)
        AdjustInternalReferenceCount(1); // the queue's reference to this control's distributor part

    AddIdleRequest();

    mLabel = RCPtr<LLabel>::DynamicCast(FindChild(String(kLabelName)));
    mDefaultText = mLabel ? mLabel->GetString(L"LABEL") : String();
    return result;
}

KXRESULT LStatusBar::ApplyCreateParams()
{
    const KXRESULT result = LControl::ApplyCreateParams();
    SetFocusDisabled(true);
    return result;
}

KXRESULT LStatusBar::OnCreated()
{
    return S_OK;
}

KXRESULT LStatusBar::ReleaseInternalReferences()
{
    const bool hadDistributor = static_cast<bool>(GetDistributor());
    Shutdown();
    if (hadDistributor)
        AdjustInternalReferenceCount(-1);
    return LControl::ReleaseInternalReferences();
}

// ---- Texts ----

void LStatusBar::OnIdle()
{
    ProcessNotifications(false);
}

KXRESULT LStatusBar::SetTextNow(const String& text)
{
    const RCPtr<LControl> self(this);
    // An older posted text must not replace this one at the next pass.
    ProcessNotifications(false);
    if (const RCPtr<LLabel> label = mLabel)
        label->SetText(text);
    if (const RCPtr<LRootWindow> window = GetRootWindow())
        window->RedrawNow();
    return S_OK;
}

KXRESULT LStatusBar::PostText(const String& text)
{
    RCPtr<LNotification> notification;
    LNotification::Create(notification, NID_SET_STATUS_TEXT, RCPtr<LRefCountedObject>(LStringObject::Create(text).Get()));
    return PostNotification(notification);
}

KXRESULT LStatusBar::OnSetStatusText(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LStringObject> text =
        notification ? RCPtr<LStringObject>::DynamicCast(notification->GetData()) : RCPtr<LStringObject>();
    const RCPtr<LLabel> label = mLabel;
    if (text && label)
        label->SetText(text->GetValue());
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LStatusBar::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (mCreated && mStatusHandler && mStatusHandler->Binds(sender, notification)) {
        const RCPtr<StatusHandler> handler = mStatusHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LStatusBar::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                            const wchar_t* identifier)
{
    if (mStatusHandler)
        mStatusHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

} // namespace KX

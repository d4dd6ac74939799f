// KX::LStatusBar ("Framework.StatusBar"): one line of status text, shown by
// its label child "label1". The application finds it by the name
// "statusBar" among its main window's top control's children
// (LFrameworkApp::GetStatusBar) and sets its text through
// LFrameworkApp::SetStatusText and ResetStatusText.
//
// The status bar is also a notification queue of its own: PostText, safe on
// any thread, posts "NID_SET_STATUS_TEXT" into it, and the bar delivers what
// was posted on every idle pass of its window, to its own latest-only
// registration: of several texts posted between two passes only the last is
// shown. SetTextNow shows a text at once on the user-interface thread and
// repaints the window.
//
// Contract:
// - The control and the queue share one reference count. The queue delivers
//   through the control's own distributor part, a back-reference counted as
//   internal; the release hook shuts the queue down (posted texts are
//   dropped) and drops that count before the control's own hook runs.
// - An immediate text is never replaced by an older posted one: SetTextNow
//   delivers what is queued first.
// - The default text is the label's "LABEL" string (empty without one), read
//   at creation.
// - The bar never takes the focus, whatever its create parameters say.
// - A skin without "label1" gives a bar that shows nothing.
// - Everything but PostText runs on the user-interface thread.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationQueue.h"

namespace KX {

class LLabel;

class LStatusBar : public LControl, public LNotificationQueue
{
public:
    using StatusHandler = LNotificationHandler<LStatusBar>;

    static constexpr const wchar_t* kLabelName = L"label1";

    LStatusBar(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides, in slot order ====

    // Delivers what was posted (the texts queued when the pass began).
    void OnIdle() override;
    // The control's, then the latest-only registration for posted texts, the
    // queue's distributor, the idle request that keeps OnIdle running while
    // the bar exists, and the label with its default text.
    KXRESULT Initialize() override;
    // The control's create parameters, then the focus is disabled.
    KXRESULT ApplyCreateParams() override;
    // Nothing. 0.
    KXRESULT OnCreated() override;

    // To the status bar's table, then the control's; only once created.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations of the status bar ====

    // Delivers what is queued, shows the text, then invalidates and repaints
    // the window at once when the tree has one. 0.
    KXRESULT SetTextNow(const String& text);
    // Posts the text as "NID_SET_STATUS_TEXT"; it is shown at the next idle
    // pass unless a later post replaces it. Any thread. The posting's result
    // (E_FAIL before Initialize and after the bar was released).
    KXRESULT PostText(const String& text);
    // The label's "LABEL" string.
    String GetDefaultText() const { return mDefaultText; }
    const RCPtr<LLabel>& GetLabel() const { return mLabel; }

    // Shuts the queue down, drops the queue's back-reference, then the
    // control's hook.
    KXRESULT ReleaseInternalReferences() override;

protected:
    ~LStatusBar() override;

    // "NID_SET_STATUS_TEXT": the posted string object becomes the label's
    // text. 1.
    KXRESULT OnSetStatusText(const RCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification);

private:
    // ---- Fields, in order ----
    RCPtr<StatusHandler> mStatusHandler;
    RCPtr<LLabel> mLabel;
    String mDefaultText;
};

} // namespace KX

#include "Application/BusyCursor.h"

#include "Application/Cursors.h"
#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"

namespace KX {

CBusyCursor::CBusyCursor(const StringT<wchar_t, char>& statusText)
{
    LFrameworkApp* app = LFrameworkApp::sInstance;
    if (!app)
        return;
    mRootWindow = app->GetActiveRootWindow();
    if (!mRootWindow)
        mRootWindow = app->GetRootWindow(0);
    if (mRootWindow)
        mPreviousCursor = mRootWindow->SetCursor(app->GetCursor(UI_CURSOR_WAIT));
    app->SetStatusText(statusText, true);
    app->ProcessIdle(true);
    // What the idle pass changed is painted now: the caller blocks next.
    if (mRootWindow && mRootWindow->GetOSServices())
        UpdateWindow(mRootWindow->GetOSServices()->GetHandle());
}

CBusyCursor::~CBusyCursor()
{
    if (mRootWindow)
        mRootWindow->SetCursor(mPreviousCursor);
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->ResetStatusText(false);
    mRootWindow = RCPtr<LRootWindow>();
}

} // namespace KX

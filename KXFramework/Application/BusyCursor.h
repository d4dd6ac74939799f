// KX::CBusyCursor: a scope around a call that blocks the user-interface
// thread. While it lasts, the active root window (else root window 0) shows
// the wait cursor and the status text; when it begins, one idle pass delivers
// what was posted and the window is repainted, so that labels are current
// during the blocking call. Its end restores the previous cursor and posts
// the status bar's default text.
//
// User-interface thread only; without an application object it does nothing.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LRootWindow;

class CBusyCursor
{
public:
    explicit CBusyCursor(const StringT<wchar_t, char>& statusText);
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

private:
    HCURSOR mPreviousCursor = nullptr;
    RCPtr<LRootWindow> mRootWindow;
};

} // namespace KX

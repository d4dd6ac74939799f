// KX::LFrameworkClipboardHost: the application around the clipboard, as the
// clipboard asks for it (IClipboardHost): the OS window that owns what the
// program puts on the clipboard, and the control that edit requests go to.
// The application object holds one and gives it to its clipboard.
//
// Contract:
// - The owner window is the OS window of the application's first root
//   window; none without root windows or OS window.
// - The edit target is that of the focused control of the active root window
//   (the nearest control up its chain that edits text); none without an
//   active root window, a focused control or such a control.
// - User-interface thread only.
#pragma once

#include "System/ClipBoard.h"

namespace KX {

class LFrameworkApp;

class LFrameworkClipboardHost final : public IClipboardHost
{
public:
    explicit LFrameworkClipboardHost(LFrameworkApp& application) : mApplication(application) {}
    ~LFrameworkClipboardHost() = default;

    HWND GetClipboardOwnerWindow() override;
    RCPtr<IEditTarget> GetFocusEditTarget() override;

private:
    LFrameworkApp& mApplication;
};

} // namespace KX

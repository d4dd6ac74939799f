// The application's top-level windows: the main window, made for the skin's
// main control, and secondary root windows for other controls, modal or
// independent. Each is an OSWindow with its renderer and root window; its
// style follows the size limits of the control's layout.
//
// Contract:
// - A control is resizable unless its minimum size is not zero and equals its
//   maximum, or all four limits refer to controls. The main window has a
//   caption, a system menu and a minimise box; a resizable one a sizing
//   border too, and a maximise box when it has no maximum size (that does
//   not refer to a control).
// - The main window's client area is the main control's size: once the root
//   control exists the window rectangle is constrained by it
//   (FitMainWindowToRootControl) and kept inside the work area.
// - A secondary window made from a control is owned by the active root
//   window's OS window, else by root window 0's, else by none.
// - Everything runs on the user-interface thread.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <string>

namespace KX {

class LControl;
class LFrameworkApp;
class LLayoutDescriptor;
class OSWindow;

// Window styles of the main window and of secondary root windows.
constexpr DWORD kMainWindowFixedStyle = 0xCA0000;     // caption, system menu, minimise box
constexpr DWORD kMainWindowSizingStyle = 0xCE0000;    // and the sizing border
constexpr DWORD kMainWindowMaximizeStyle = 0xCF0000;  // and the maximise box
constexpr DWORD kRootWindowStyle = 0x80C00000;        // pop-up with caption
constexpr DWORD kRootWindowSystemMenuStyle = 0x80C80000;

// The resizable rule of a control's size limits (a missing layout is
// resizable).
bool IsResizableLayout(const LLayoutDescriptor* layout);
DWORD MainWindowStyle(const LLayoutDescriptor* layout);
DWORD RootWindowStyle(bool resizable, bool systemMenu, bool minimize, bool maximize);

// The main window for the application's main control: the OS window, its
// renderer and root window (root window 0), the saved placement restored and
// the window kept inside the work area. `operation` names the caller in the
// exception for an unknown main control. 0, E_FAIL when the window could not
// be made, else the renderer's failure; `mainWindow` is the new window (null
// on failure).
KXRESULT CreateMainOSWindow(LFrameworkApp& app, int32_t rendererType, HICON icon, const std::string& operation,
                            OSWindow*& mainWindow);

// The main window's client area made the root control's size, inside the
// work area.
void FitMainWindowToRootControl(LFrameworkApp& app, OSWindow& mainWindow);

// A secondary root window for a control (or, without one, for the skin's
// control of that name): its index among the application's root windows, or
// E_FAIL. `operation` names the caller in the exceptions for a missing
// description.
int32_t CreateRootOSWindow(LFrameworkApp& app, const RCPtr<LControl>& control, bool independent, bool systemMenu,
                           bool minimize, bool maximize, HWND owner, const StringT<wchar_t, char>& controlName,
                           HICON icon, const std::string& operation);

} // namespace KX

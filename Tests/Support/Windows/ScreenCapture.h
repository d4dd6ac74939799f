// What window tests use to look at the screen and to act as a person would:
// screenshots saved as PNG files below the build folder, pixels read back
// from the screen, and input through SendInput.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace TestScreen {

// Saves the screen rectangle (screen coordinates) as
// <build>/screenshots/<folder>/<name>.png; false when it could not.
bool SaveScreenshot(const RECT& area, const std::wstring& folder, const std::wstring& name);
// The window's rectangle on the screen.
bool SaveWindowScreenshot(HWND window, const std::wstring& folder, const std::wstring& name);

// The colour at a point of the screen (0x00BBGGRR, as GetPixel answers).
COLORREF ReadScreenPixel(int x, int y);
// The colour at a client point of a window's own surface: what was painted,
// even before the window system shows it on the screen.
COLORREF ReadWindowPixel(HWND window, int x, int y);

// Runs the message loop of the calling thread until the condition holds or
// the time is up; answers the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Waits without pumping (for conditions that another thread makes true).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Makes the window the active, foreground window (there is no window manager
// to do it).
void Activate(HWND window);

// Input through SendInput.
void MoveMouseTo(int x, int y);
void Click(int x, int y, bool doubleClick = false);
void PressKey(WORD virtualKey);
void TypeText(const std::wstring& text);
void SendWheel(int delta);

} // namespace TestScreen

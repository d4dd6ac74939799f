// What window tests use to look at the screen and to act as a person would:
// screenshots saved as PNG files below the build folder, pixels read back
// from the screen, windows brought to the front, and input through
// SendInput.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
// The pixels of a rectangle in one piece, rows top first, each 0x00RRGGBB:
// of a window's own surface (client coordinates), or of the screen when the
// window is null.
std::vector<uint32_t> ReadPixels(HWND window, int x, int y, int width, int height);

// Makes the window the active, foreground window (there is no window manager
// to do it).
void Activate(HWND window);
// Whether the window is the active window and has the keyboard focus, as a
// person's click on it would leave it.
bool IsInFront(HWND window);

// Input through SendInput.
void MoveMouseTo(int x, int y);
void Click(int x, int y, bool doubleClick = false);
void PressKey(WORD virtualKey);
// Virtual keys going down (true) or up (false), in that order.
void SendKeys(const std::vector<std::pair<WORD, bool>>& keys);
void TypeText(const std::wstring& text);
void SendWheel(int delta);

} // namespace TestScreen

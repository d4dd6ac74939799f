// The start-up error box ("STARTUP_ERROR"), shown through one function that
// can be replaced, so that tests see what would be shown without a box that
// waits for a click. Every text shown this way also goes to the debug output.
#pragma once

#include "KXPlatform.h"

namespace KX {

// Shows a box (owner, text, caption, type) and answers its result.
using MessageBoxFunction = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Shows the start-up error box through the current function.
int ShowStartupErrorBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
// Installs the function; null restores MessageBoxW. Answers the previous one.
MessageBoxFunction SetStartupErrorBoxFunction(MessageBoxFunction function);

// Reports a failure that ends the program without a box: to the standard
// error stream when there is one, and to the debug output.
void ReportFatalError(const wchar_t* text);

} // namespace KX

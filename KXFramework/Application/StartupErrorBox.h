// The program's message boxes, the start-up error box ("STARTUP_ERROR")
// among them, shown through one function that can be replaced, so that tests
// see what would be shown without a box that waits for a click. Every text
// of the start-up error box also goes to the debug output.
#pragma once

#include "KXPlatform.h"

namespace KX {

// Shows a box (owner, text, caption, type) and answers its result.
using MessageBoxFunction = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Shows the start-up error box through the current function. When no box
// could be shown (the function answers 0, as MessageBoxW does without a
// window), the text also goes to the standard error stream.
int ShowStartupErrorBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
// Any other message box of the program, through the same function (without
// the copy to the debug output).
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
// Installs the function; null restores MessageBoxW. Answers the previous one.
MessageBoxFunction SetStartupErrorBoxFunction(MessageBoxFunction function);

// Reports a failure that ends the program without a box: to the standard
// error stream when there is one, and to the debug output.
void ReportFatalError(const wchar_t* text);
// Reports a start-up problem that the program gets over (no splash screen),
// the same way.
void ReportStartupProblem(const wchar_t* text);

} // namespace KX

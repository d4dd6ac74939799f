// The OpenGL renderer's error boxes: the caption "GL_ERROR_CAPTION", a
// message followed by "GL_ERROR_UPDATE_DRIVER", all from the framework's
// string table, shown through one function that can be replaced, so that
// tests see what would be shown without a box that waits for a click.
#pragma once

#include "Application/StartupErrorBox.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

// A text of the framework's string table; the identifier itself when there
// is no application or the table lacks it (a box is never blank).
StringT<wchar_t, char> GetGLErrorString(const wchar_t* identifier);

// The box's text: the message identifier's text and the driver advice.
StringT<wchar_t, char> MakeGLErrorText(const wchar_t* messageId);
// The same with a system error (FormatGLErrorText).
StringT<wchar_t, char> MakeGLErrorText(const wchar_t* messageId, uint32_t errorCode);

// The system error put into a box text: the code into its first "%d" and
// the system's text into its first "%s", or both appended in brackets when
// the text has neither; at most 180 characters.
StringT<wchar_t, char> FormatGLErrorText(const StringT<wchar_t, char>& text, uint32_t errorCode);

// Shows the box (no owner, OK button, the given icon) through the current
// function; answers its result.
int ShowGLErrorBox(const StringT<wchar_t, char>& text, UINT icon);
// Installs the function; null restores MessageBoxW. Answers the previous one.
MessageBoxFunction SetGLErrorBoxFunction(MessageBoxFunction function);

} // namespace KX

// The single-instance hand-over: a second start of the program sends its
// command line, as UTF-8 text, to the running instance's main window in a
// WM_COPYDATA message whose wParam and record identifier are both
// kCommandLineHandOver.
#pragma once

#include "KXPlatform.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

constexpr ULONG_PTR kCommandLineHandOver = 0x465;

// The text of a received hand-over record: true and the text (up to its NUL,
// never past the record's byte count) when the record carries the
// identifier and data; false for any other record, or one without data.
bool ReadCommandLineHandOver(const COPYDATASTRUCT* record, StringT<wchar_t, char>& text);

} // namespace KX

// The cursor names through which controls ask the application for a cursor,
// and the system cursors that the framework gives them.
//
// Contract:
// - The names are program-wide string objects, made before the entry point
//   and released at exit. UI_CURSOR_ROOT_DEFAULT has the text
//   "UI_CURSOR_ARROW" but is an object of its own: a root window's default
//   cursor.
// - GetSystemCursor maps a name, by text, to a Windows system cursor; a name
//   it does not know gives the arrow.
// - GetAppCursor asks the application object (which may add cursors of its
//   own), or gives the system cursor while there is no application.
#pragma once

#include "KXPlatform.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

extern const StringT<wchar_t, char> UI_CURSOR_APP_STARTING;
extern const StringT<wchar_t, char> UI_CURSOR_ARROW;
extern const StringT<wchar_t, char> UI_CURSOR_IBEAM;
extern const StringT<wchar_t, char> UI_CURSOR_WAIT;
extern const StringT<wchar_t, char> UI_CURSOR_CROSS;
extern const StringT<wchar_t, char> UI_CURSOR_UP_ARROW;
extern const StringT<wchar_t, char> UI_CURSOR_SIZE_ALL;
extern const StringT<wchar_t, char> UI_CURSOR_SIZE_NWSE;
extern const StringT<wchar_t, char> UI_CURSOR_SIZE_NESW;
extern const StringT<wchar_t, char> UI_CURSOR_SIZE_WE;
extern const StringT<wchar_t, char> UI_CURSOR_SIZE_NS;
extern const StringT<wchar_t, char> UI_CURSOR_HAND;
extern const StringT<wchar_t, char> UI_CURSOR_HELP;
extern const StringT<wchar_t, char> UI_CURSOR_NO_DROP;
extern const StringT<wchar_t, char> UI_CURSOR_DROP_MOVE;
extern const StringT<wchar_t, char> UI_CURSOR_DROP_COPY;
extern const StringT<wchar_t, char> UI_CURSOR_SPLIT_V;
extern const StringT<wchar_t, char> UI_CURSOR_SPLIT_H;
extern const StringT<wchar_t, char> UI_CURSOR_ROTATE;
extern const StringT<wchar_t, char> UI_CURSOR_MAG;
extern const StringT<wchar_t, char> UI_CURSOR_MAG_PLUS;
extern const StringT<wchar_t, char> UI_CURSOR_MAG_MINUS;
extern const StringT<wchar_t, char> UI_CURSOR_ROOT_DEFAULT;

// The Windows system cursor of a cursor name (the arrow for an unknown name).
HCURSOR GetSystemCursor(const StringT<wchar_t, char>& name);

// The application's cursor of a cursor name (may be null: the caller then
// uses its default cursor).
HCURSOR GetAppCursor(const StringT<wchar_t, char>& name);

} // namespace KX

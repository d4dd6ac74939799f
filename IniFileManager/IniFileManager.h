// IniFileManager.dll: settings files for programs of the KX framework.
//
// The library is installed beside the program that uses it; the program loads
// it at run time by name (LoadLibraryW) and looks its exports up by name
// (GetProcAddress). The fifteen exports below have plain, undecorated names and
// ordinals 1 to 15 in the order listed here.
//
// Calling convention: every export is extern "C" and __cdecl, which on x86_64 is
// the one Microsoft x64 convention. Integers are signed 32-bit (int32_t),
// DoesNodeExist answers a one-byte bool. Every text is an 8-bit, NUL-terminated
// UTF-8 string, file paths included (the library opens files through their wide
// names, so any Unicode path works).
//
// Results: 0 success; 1 (S_FALSE) the key is missing or unusable and the default
// was answered; -2 the text buffer is too small (the needed size, terminating NUL
// included, is in *neededSize); E_INVALIDARG for a bad argument or index;
// E_HANDLE for a handle that is not open; E_ACCESSDENIED when the file is
// read-only; E_FAIL when the file cannot be read or written; E_OUTOFMEMORY. A
// failed result leaves the settings unchanged, in memory and on disk.
//
// Handles: a positive number from OpenIniFile; 0 is never a handle. Handles that
// name the same file share its contents.
//
// Keys: a key is a path of names separated by '/' (a '\' works the same), such
// as "CurrentSkinIndex" or "Window/Main/Width". Every name on a path is a node:
// a node may hold a value, child nodes, or both, and the empty path "" is the
// root node. A key has at most 64 names. Names are matched without regard to
// ASCII case (the first spelling is kept); blanks around a name are ignored; a
// name may not contain '=', '[', ']' or control characters, nor start with ';'
// or '#'.
//
// Arrays: the array at key K is the node K whose children "0", "1", ... hold the
// items; its count is the number of consecutive items from "0" on. An array is
// therefore also readable as keys: GetIniValueStr(h, "K/2", ...) is item 2.
//
// Persistence: every successful set or removal that changes the settings is in
// the file before the call returns (the new text goes to a temporary file beside
// it, which then replaces the old one), so WriteIniFile and CloseIniFile never
// need to be called for a setting to survive. One that changes nothing (a value
// set to what it was) writes nothing, and opening a file writes nothing either:
// a program that changes no setting leaves its files as they were, or does not
// make them. A read-only file is never written. A file changed on disk by
// another process is read again before the next operation on it.
//
// Thread safety: every export may be called from any thread; one lock inside the
// library serialises them.
//
// File format (plain UTF-8 text, lines ending in CR LF when written; a file in
// UTF-16 with its byte-order mark, as the system's own profile functions write
// one, is read as well, and every file is written back in the form it came in,
// a UTF-8 byte-order mark included):
//
//     ; <product name> settings, version <settings version>
//     CurrentSkinIndex=2
//     [Window/Main]
//     Width=640
//     [Recent]
//     0=C:\\Firmware\\first.led
//     1=second item\nwith a line break
//
// Lines before the first section header hold the root's values. A header names
// a node by its full path; the "name=value" lines under it are that node's
// children. In a value, "\\" is a backslash, "\n", "\r" and "\t" are a line
// feed, carriage return and tab, and "\s" is a blank kept at either end (blanks
// around values are otherwise ignored). Lines starting with ';' or '#' are
// comments. When reading, a UTF-8 byte-order mark is skipped, unreadable lines
// and the lines under an unreadable header are skipped, and of two lines for the
// same key the first counts; such a file is left as it is until a value is
// written, when it is rewritten from what could be read (comments are not kept).
#pragma once

#ifdef __cplusplus
#include <cstdint>
#define INIFILEMANAGER_EXTERN_C extern "C"
#else
#include <stdbool.h>
#include <stdint.h>
#define INIFILEMANAGER_EXTERN_C
#endif

#define INIFILEMANAGER_CALL __cdecl

// Results beyond those of windows.h.
#define INIFILE_S_DEFAULT ((int32_t)1)            // key missing or unusable: default answered
#define INIFILE_E_BUFFER_TOO_SMALL ((int32_t)-2)  // *neededSize holds the size to pass

// Most items one array may hold (SetArrayCount, SetArrayItemAt).
#define INIFILE_MAX_ARRAY_COUNT 100000

// Largest settings file that is read; a larger file is not taken for one and
// OpenIniFile fails on it, leaving it untouched.
#define INIFILE_MAX_FILE_SIZE (16 * 1024 * 1024)

// 1. Opens the settings file at path; a file that does not exist yet is made by
//    the first change (its folder must exist). settingsVersion and productName go
//    into the comment at the top of the file when it is written; either may be
//    null. *handle is 0 first and receives the handle. A file that exists but
//    cannot be read, or a path whose folder does not exist, fails with E_FAIL
//    and nothing is touched.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL OpenIniFile(
    const char* path, const char* settingsVersion, const char* productName, int32_t* handle);

// 2. Writes the file again (every change is already in it, so callers need not
//    call this); E_ACCESSDENIED for a read-only file.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL WriteIniFile(int32_t handle);

// 3. Closes the handle. The integer is reserved and ignored: nothing is pending.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL CloseIniFile(int32_t handle, int32_t reserved);

// 4. True when the node at key exists (as a value, a section or an array); false
//    for a bad handle or key.
INIFILEMANAGER_EXTERN_C bool INIFILEMANAGER_CALL DoesNodeExist(int32_t handle, const char* key);

// 5. *value is defaultValue first; receives the key's value written in decimal
//    (or "0x" hexadecimal, 32 bits). A missing or non-numeric value: result 1.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetIniValueInt(
    int32_t handle, const char* key, int32_t defaultValue, int32_t* value);

// 6. Stores value in decimal, creating the key and its parents when missing.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL SetIniValueInt(int32_t handle, const char* key, int32_t value);

// Texts come back by this protocol (7, 10, 13): bufferSize is the size of buffer
// in bytes; *neededSize (may be null) receives the text's length plus one. When
// the text and its NUL fit, they are copied and the call succeeds; otherwise
// buffer[0] becomes 0 (when bufferSize > 0) and the result is -2. A null buffer
// with bufferSize 0 asks for the size alone.

// 7. The key's text, or defaultText (null means "") with result 1 when the key
//    has no value.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetIniValueStr(int32_t handle, const char* key,
    const char* defaultText, char* buffer, int32_t bufferSize, int32_t* neededSize);

// 8. Stores text, creating the key and its parents when missing.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL SetIniValueStr(int32_t handle, const char* key, const char* text);

// 9. *count is 0 first; receives the number of children of the node at key ("" is
//    the root). A missing node: count 0, result 1.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetKeyCount(int32_t handle, const char* key, int32_t* count);

// 10. The name of child index (0-based, in file order) of the node at key. An
//     index out of range, or a missing node: E_INVALIDARG.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetKeyNameAt(int32_t handle, const char* key, int32_t index,
    char* buffer, int32_t bufferSize, int32_t* neededSize);

// 11. *count is 0 first; receives the number of items of the array at key. A
//     missing node: count 0, result 1.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetArrayCount(int32_t handle, const char* key, int32_t* count);

// 12. Makes the array hold count items: new items are empty, items from count on
//     are removed. Creates the array node (also for count 0).
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL SetArrayCount(int32_t handle, const char* key, int32_t count);

// 13. The text of item index. An index out of range: E_INVALIDARG.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL GetArrayItemAt(int32_t handle, const char* key, int32_t index,
    char* buffer, int32_t bufferSize, int32_t* neededSize);

// 14. Stores text as item index; an index at or beyond the count grows the array,
//     the items between being empty.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL SetArrayItemAt(int32_t handle, const char* key, int32_t index,
    const char* text);

// 15. Removes item index; the items after it move down by one. An index out of
//     range: E_INVALIDARG.
INIFILEMANAGER_EXTERN_C int32_t INIFILEMANAGER_CALL RemoveArrayItemAt(int32_t handle, const char* key, int32_t index);

// Pointer types of the exports, for callers that look them up by name.
typedef int32_t(INIFILEMANAGER_CALL* PFN_OpenIniFile)(const char*, const char*, const char*, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_WriteIniFile)(int32_t);
typedef int32_t(INIFILEMANAGER_CALL* PFN_CloseIniFile)(int32_t, int32_t);
typedef bool(INIFILEMANAGER_CALL* PFN_DoesNodeExist)(int32_t, const char*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetIniValueInt)(int32_t, const char*, int32_t, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_SetIniValueInt)(int32_t, const char*, int32_t);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetIniValueStr)(int32_t, const char*, const char*, char*, int32_t, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_SetIniValueStr)(int32_t, const char*, const char*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetKeyCount)(int32_t, const char*, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetKeyNameAt)(int32_t, const char*, int32_t, char*, int32_t, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetArrayCount)(int32_t, const char*, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_SetArrayCount)(int32_t, const char*, int32_t);
typedef int32_t(INIFILEMANAGER_CALL* PFN_GetArrayItemAt)(int32_t, const char*, int32_t, char*, int32_t, int32_t*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_SetArrayItemAt)(int32_t, const char*, int32_t, const char*);
typedef int32_t(INIFILEMANAGER_CALL* PFN_RemoveArrayItemAt)(int32_t, const char*, int32_t);

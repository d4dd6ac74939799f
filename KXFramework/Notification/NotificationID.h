// Notification identifiers: wide texts such as "NID_VALUE_CHANGE", interned once
// into one process-wide table so that equal texts share one address.
//
// Contract:
// - An identifier is the address of the characters that the table holds for its
//   text. Two identifiers are equal exactly when they are the same pointer; the
//   notification system compares identifiers by address only.
// - Texts are matched case-sensitively. A null or empty text has no identifier
//   (null).
// - The table only grows and its entries' characters never move, so an
//   identifier stays valid until the program-wide objects go at process exit.
// - The notification lock guards the table and the pool of notification
//   objects. It is re-entrant and is never held while a notification is
//   delivered.
#pragma once

#include "System/Mutex.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

// The process-wide notification lock, made on first use so that it exists
// before any program-wide object interns an identifier.
Mutex& GetNotificationLock();

// The table of interned texts, made on first use. Callers hold the
// notification lock while they use it.
StringArrayT& GetNotificationIDTable();

// The identifier of a text (or of an identifier): null for a null or empty
// text; otherwise the table's characters for it, added the first time the text
// is seen. Safe from any thread.
const wchar_t* InternNotificationID(const wchar_t* name);

// The text of an identifier, found by its address alone; the empty string for
// an address that is not an identifier.
StringT<wchar_t, char> GetNotificationIDText(const wchar_t* identifier);

} // namespace KX

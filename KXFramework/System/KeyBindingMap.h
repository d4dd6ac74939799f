// KX::KeyBindingMap: binds notification identifiers to keys. Every key is
// bound to at most one identifier; an identifier may have several keys, kept in
// the order they were added.
//
// Bindings come from string tables: an entry whose identifier is a prefix
// ("GHK" for the application and root windows, "LHK" for one control), a dot
// and a notification identifier binds its text, a key in text form
// (KX::KeyCode::FromString), to that notification.
//
// No lock: bindings are made and used on the user-interface thread.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/StringT.h"

#include <map>

namespace KX {

class KeyBindingMap
{
public:
    using String = StringT<wchar_t, char>;
    using StringPairs = Array<Pair<String, String>>;

    // Binds the key to the notification (a text or an identifier). E_INVALIDARG
    // when the key is already bound (to this or another notification) or the
    // name is empty; nothing changes then.
    KXRESULT AddBinding(const KeyCode& key, const wchar_t* name);

    // Binds every entry "<prefix>.<...>.<notification>" of the string table to
    // the notification behind the entry's last dot, in the table's identifier
    // order. A key that is already bound keeps its first binding. E_INVALIDARG
    // without a table. The table is anything with the string table's
    // GetAllStrings (array of (identifier, text) pairs, sorted by identifier).
    template <class Table>
    KXRESULT Load(const RCPtr<Table>& table, const String& prefix)
    {
        if (!table)
            return E_INVALIDARG;
        StringPairs pairs;
        table->GetAllStrings(pairs);
        LoadPairs(pairs, prefix);
        return S_OK;
    }
    // The same from the (identifier, text) pairs themselves.
    void LoadPairs(const StringPairs& pairs, const String& prefix);

    // The text of the notification bound to the key, or the empty text.
    String FindNotificationID(const KeyCode& key) const;
    bool IsBound(const wchar_t* name) const;
    // A copy of the keys bound to the notification (empty for an empty or
    // unbound name).
    Array<KeyCode> GetBindings(const wchar_t* name) const;
    // The first key bound to the notification, or the no-key value
    // {0x80000000, 0, 0}.
    KeyCode GetFirstKey(const wchar_t* name) const;
    // Whether nothing is bound.
    bool IsEmpty() const { return mBindings.empty(); }

private:
    // Interned identifier -> keys; ordered by the identifier's address.
    std::map<const wchar_t*, Array<KeyCode>> mBindings;
};

} // namespace KX

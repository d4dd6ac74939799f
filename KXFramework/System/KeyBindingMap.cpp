#include "System/KeyBindingMap.h"

#include "Notification/NotificationID.h"

namespace KX {

KXRESULT KeyBindingMap::AddBinding(const KeyCode& key, const wchar_t* name)
{
    if (!FindNotificationID(key).IsEmpty())
        return E_INVALIDARG;
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return E_INVALIDARG;
    mBindings[identifier].AddItem(key);
    return S_OK;
}

void KeyBindingMap::LoadPairs(const StringPairs& pairs, const String& prefix)
{
    String entryPrefix = prefix;
    entryPrefix.Append(L'.');
    for (int32_t i = 0; i < pairs.GetCount(); ++i) {
        const Pair<String, String>& entry = pairs.GetAt(i);
        if (entry.first.Left(entryPrefix.GetLength()) != entryPrefix)
            continue;
        const String name = entry.first.Mid(entry.first.ReverseFind('.') + 1);
        // A key that is already bound keeps its first binding.
        AddBinding(KeyCode::FromString(entry.second), name.GetData());
    }
}

StringT<wchar_t, char> KeyBindingMap::FindNotificationID(const KeyCode& key) const
{
    for (const auto& binding : mBindings) {
        const Array<KeyCode>& keys = binding.second;
        for (int32_t i = keys.GetCount() - 1; i >= 0; --i) {
            if (keys.GetAt(i).Matches(key))
                return String(binding.first);
        }
    }
    return String();
}

bool KeyBindingMap::IsBound(const wchar_t* name) const
{
    const wchar_t* identifier = InternNotificationID(name);
    return identifier && mBindings.count(identifier) != 0;
}

Array<KeyCode> KeyBindingMap::GetBindings(const wchar_t* name) const
{
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return Array<KeyCode>();
    const auto found = mBindings.find(identifier);
    return found == mBindings.end() ? Array<KeyCode>() : found->second;
}

KeyCode KeyBindingMap::GetFirstKey(const wchar_t* name) const
{
    const Array<KeyCode> keys = GetBindings(name);
    if (keys.GetCount() == 0)
        return KeyCode(KeyCode::NoKey, 0, 0);
    return keys.GetAt(0);
}

} // namespace KX

#include "ControlBase/StringTable.h"

namespace KX {

bool LStringTable::GetString(const wchar_t* id, String& text) const
{
    return GetString(String(id), text);
}

bool LStringTable::GetString(const String& id, String& text) const
{
    const auto found = mEntries.find(id);
    if (found == mEntries.end())
        return false;
    text = found->second;
    return true;
}

bool LStringTable::HasString(const wchar_t* id) const
{
    return HasString(String(id));
}

bool LStringTable::HasString(const String& id) const
{
    return mEntries.find(id) != mEntries.end();
}

KXRESULT LStringTable::GetAllStrings(IArray<StringPair>& pairs) const
{
    pairs.RemoveAll();
    for (const auto& entry : mEntries)
        pairs.AddItem(StringPair(entry.first, entry.second));
    return S_OK;
}

KXRESULT LStringTable::GetStringsWithPrefix(const String& prefix, IArray<StringPair>& pairs) const
{
    pairs.RemoveAll();
    // Identifiers with the prefix sort together, starting at the prefix itself.
    const int32_t prefixLength = prefix.GetLength();
    for (auto entry = mEntries.lower_bound(prefix); entry != mEntries.end(); ++entry) {
        if (entry->first.Left(prefixLength) != prefix)
            break;
        pairs.AddItem(StringPair(entry->first, entry->second));
    }
    return S_OK;
}

KXRESULT LStringTable::SetString(const wchar_t* id, const String& text)
{
    if (!id || !*id)
        return E_INVALIDARG;
    auto inserted = mEntries.emplace(String(id), text);
    if (inserted.second)
        return S_OK;
    inserted.first->second = text;
    return S_FALSE;
}

} // namespace KX

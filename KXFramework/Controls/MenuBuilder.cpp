// The string-table form of a menu: (key, text) pairs, sorted by key, become a
// tree of menu descriptors. See CreateFromStringPairs in MenuDescriptor.h for
// the key grammar.
#include "Controls/MenuDescriptor.h"

#include "Utilities/Storage/StringArrayT.h"

#include <cwchar>
#include <map>
#include <vector>

namespace KX {

namespace {

using String = LMenuDescriptor::String;
using StringPair = LMenuDescriptor::StringPair;
// (item key, text) in number order; the item key is a notification id, "-"
// for a separator, or a group name and "." for a submenu.
using EntryList = std::vector<StringPair>;
using GroupMap = std::map<String, EntryList>;

bool StartsWithDigit(const String& text)
{
    // Not iswdigit: other scripts' digits are no key numbers.
    const wchar_t first = text.IsEmpty() ? 0 : text.GetAt(0);
    return first >= L'0' && first <= L'9';
}

bool EndsWithPoint(const String& text)
{
    const int32_t length = text.GetLength();
    return length > 0 && text.GetAt(length - 1) == L'.';
}

// The pairs sorted into the top-level list and the groups. An entry is kept
// only when its number is the next one of its list.
class EntrySorter
{
public:
    void Add(const StringPair& pair)
    {
        const StringArrayT parts = pair.first.Split(L".");
        if (parts.GetCount() < 2)
            return;
        const String& first = parts.GetAt(0);
        if (first.IsEmpty())
            return;

        const bool topLevel = StartsWithDigit(first);
        const int32_t number = LMenuDescriptor::ParseKeyNumber(topLevel ? first : parts.GetAt(1));
        const int32_t keyPart = topLevel ? 1 : 2;
        String itemKey = keyPart < parts.GetCount() ? parts.GetAt(keyPart) : String();
        if (!itemKey.IsEmpty() && EndsWithPoint(pair.first))
            itemKey.Append(L'.');

        // A group is created on its first mention, even when the entry is dropped.
        EntryList& list = topLevel ? mTopLevel : mGroups[first];
        if (number == static_cast<int32_t>(list.size()))
            list.emplace_back(itemKey, pair.second);
    }

    const EntryList& GetTopLevel() const { return mTopLevel; }
    const GroupMap& GetGroups() const { return mGroups; }

private:
    EntryList mTopLevel;
    GroupMap mGroups;
};

// Fills menus from entry lists, following submenu entries into their groups.
class TreeBuilder
{
public:
    explicit TreeBuilder(const GroupMap& groups) : mGroups(groups) {}

    // Appends the items of list to menu.
    void Fill(LMenuDescriptor& menu, const EntryList& list)
    {
        for (const StringPair& entry : list)
            AddEntry(menu, entry.first, entry.second);
    }

private:
    void AddEntry(LMenuDescriptor& menu, const String& key, const String& text)
    {
        String label = text;
        String status;
        const int32_t bar = text.Find('|');
        if (bar >= 0) {
            label = text.Left(bar);
            status = text.Mid(bar + 1);
        }

        const int32_t end = menu.GetItemCount();
        if (EndsWithPoint(key)) {
            AddSubmenu(menu, key.TrimRight(L"."), label, status);
        } else if (key == L"-") {
            menu.InsertSeparator(end);
        } else {
            RCPtr<LMenuItemDescriptor> item;
            LMenuItemDescriptor::Create(label, key, true, false, item);
            item->mStatusText = status;
            menu.InsertItem(end, item);
        }
    }

    void AddSubmenu(LMenuDescriptor& menu, const String& groupName, const String& label, const String& status)
    {
        const auto group = mGroups.find(groupName);
        if (group == mGroups.end())
            return;
        // A group that contains itself, directly or through the groups it
        // names, would never end: such an entry is left out.
        for (const String& open : mOpenGroups) {
            if (open == groupName)
                return;
        }

        RCPtr<LMenuItemDescriptor> item;
        LMenuItemDescriptor::Create(label, String(), true, false, item);
        if (!status.IsEmpty())
            item->mStatusText = status;
        menu.InsertItem(menu.GetItemCount(), item);

        mOpenGroups.push_back(groupName);
        Fill(*item, group->second);
        mOpenGroups.pop_back();
    }

    const GroupMap& mGroups;
    // The groups being filled, outermost first.
    std::vector<String> mOpenGroups;
};

} // namespace

int32_t LMenuDescriptor::ParseKeyNumber(const String& part)
{
    if (!StartsWithDigit(part))
        return -1;
    // Long is 32 bits here; past its range wcstol answers LONG_MAX, which no
    // list reaches.
    return static_cast<int32_t>(std::wcstol(part.GetData(), nullptr, 10));
}

RCPtr<LMenuDescriptor> LMenuDescriptor::CreateFromStringPairs(const IArray<StringPair>& pairs)
{
    EntrySorter sorter;
    for (int32_t i = 0; i < pairs.GetCount(); ++i)
        sorter.Add(pairs.GetData()[i]);

    RCPtr<LMenuDescriptor> menu;
    if (Failed(Create(menu)) || !menu)
        return RCPtr<LMenuDescriptor>();
    TreeBuilder(sorter.GetGroups()).Fill(*menu, sorter.GetTopLevel());
    return menu;
}

} // namespace KX

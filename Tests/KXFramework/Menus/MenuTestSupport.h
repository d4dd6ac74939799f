// Helpers of the menu-model tests: a one-line description of a menu tree, and
// tags that count how many descriptors of a tree are still alive.
#pragma once

#include "Controls/MenuDescriptor.h"

#include <string>

namespace KXTest {

using String = KX::StringT<wchar_t, char>;
using KX::LMenuDescriptor;
using KX::LMenuItemDescriptor;
using KX::RCPtr;

// The items of a menu, ", "-separated: "-" for a separator, "Label=ID" for an
// item, "|Status" after it when it has a status text, "(...)" after the label
// of a submenu with its own items.
inline std::wstring Describe(const LMenuDescriptor& menu)
{
    std::wstring text;
    for (int32_t i = 0; i < menu.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor>& item = menu.GetItem(i);
        if (i > 0)
            text += L", ";
        if (item->mSeparator) {
            text += L"-";
            continue;
        }
        text += item->mText.GetData();
        if (!item->HasItems())
            text += std::wstring(L"=") + item->mNotificationId.GetData();
        if (!item->mStatusText.IsEmpty())
            text += std::wstring(L"|") + item->mStatusText.GetData();
        if (item->HasItems())
            text += L"(" + Describe(*item) + L")";
    }
    return text;
}

// A tag whose life shows the life of the descriptor that carries it: a
// descriptor releases its tag when it is destroyed.
class LiveTag : public virtual KX::LRefCountedObject
{
public:
    LiveTag() { ++sLive; }
    static inline int sLive = 0;

protected:
    ~LiveTag() override { --sLive; }
};

// Gives the menu and every descriptor below it a tag of its own; answers how
// many were tagged.
inline int TagTree(LMenuDescriptor& menu)
{
    menu.SetTag(RCPtr<KX::LRefCountedObject>(new LiveTag()));
    int tagged = 1;
    for (int32_t i = 0; i < menu.GetItemCount(); ++i)
        tagged += TagTree(*menu.GetItem(i));
    return tagged;
}

} // namespace KXTest

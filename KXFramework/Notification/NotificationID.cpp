#include "Notification/NotificationID.h"

namespace KX {

Mutex& GetNotificationLock()
{
    static Mutex sNotificationLock;
    return sNotificationLock;
}

StringArrayT& GetNotificationIDTable()
{
    // Made after the lock (interning takes the lock first), so it is destroyed
    // before the lock at exit.
    static StringArrayT sTable;
    return sTable;
}

const wchar_t* InternNotificationID(const wchar_t* name)
{
    if (!name || name[0] == L'\0')
        return nullptr;

    MutexLock lock(GetNotificationLock());
    StringArrayT& table = GetNotificationIDTable();

    // An identifier handed back in is found by its address alone.
    int32_t index = table.FindByBuffer(name);
    if (index < 0) {
        const StringT<wchar_t, char> text(name);
        const int32_t count = table.GetCount();
        for (int32_t i = 0; i < count; ++i) {
            if (table.GetAt(i) == text) {
                index = i;
                break;
            }
        }
        if (index < 0) {
            table.AddItem(text);
            index = table.GetCount() - 1;
        }
    }
    return table.GetAt(index).GetData();
}

StringT<wchar_t, char> GetNotificationIDText(const wchar_t* identifier)
{
    if (!identifier)
        return StringT<wchar_t, char>();
    MutexLock lock(GetNotificationLock());
    StringArrayT& table = GetNotificationIDTable();
    const int32_t index = table.FindByBuffer(identifier);
    return index < 0 ? StringT<wchar_t, char>() : table.GetAt(index);
}

} // namespace KX

#include "Utilities/Storage/StringArrayT.h"

#include <cwchar>

namespace KX {

int32_t StringArrayT::Find(const StringT<wchar_t, char>& value, bool caseSensitive, int32_t start) const
{
    const int32_t count = GetCount();
    if (count == 0 || static_cast<uint32_t>(start) >= static_cast<uint32_t>(count))
        return -1;
    for (int32_t i = start; i < count; ++i) {
        const StringT<wchar_t, char>& item = GetAt(i);
        if (caseSensitive) {
            if (item.GetBuffer() == value.GetBuffer() || item == value)
                return i;
        } else if (item.GetData() == value.GetData() || _wcsicmp(item.GetData(), value.GetData()) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t StringArrayT::FindByBuffer(const wchar_t* characters) const
{
    for (int32_t i = GetCount() - 1; i >= 0; --i)
        if (GetAt(i).GetData() == characters)
            return i;
    return -1;
}

} // namespace KX

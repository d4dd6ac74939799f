#include "Application/CommandLineHandOver.h"

namespace KX {

bool ReadCommandLineHandOver(const COPYDATASTRUCT* record, StringT<wchar_t, char>& text)
{
    text.Empty();
    if (!record || record->dwData != kCommandLineHandOver || !record->lpData)
        return false;
    // The sender's NUL counts in cbData, but a record without one must not
    // lead the reading past the data the message carries.
    const char* data = static_cast<const char*>(record->lpData);
    DWORD length = 0;
    while (length < record->cbData && data[length] != 0)
        ++length;
    if (length > 0)
        text.Assign(data, static_cast<int32_t>(length));
    return true;
}

} // namespace KX

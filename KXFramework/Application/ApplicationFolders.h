// The folders of the application (program, resources, settings, documents)
// and the start-up pieces of the Windows side that need no template.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

// Folder identifiers: 0 program, 1 "::" (the resources embedded in the
// program file), 2 common application data and 3 local application data,
// each with a company and a product folder below it (made when missing), 4
// documents. False for any other identifier (the path is then empty); a
// failing system query gives an empty path and true.
bool GetApplicationFolder(int32_t folderId, const StringT<wchar_t, char>& company,
                          const StringT<wchar_t, char>& product, StringT<wchar_t, char>& path);

// The resource folder that stands for the program's own resources.
constexpr const wchar_t* kResourceFolder = L"::";

// GDI+ start-up and shut-down (version 1, no debug callback).
void StartGdiplus(ULONG_PTR& token);
void StopGdiplus(ULONG_PTR& token);

} // namespace KX

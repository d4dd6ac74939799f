// The folders of the application (program, resources, settings, documents)
// and the start-up pieces of the Windows side that need no template.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

// The folder identifiers of GetFolder and GetApplicationFolder. The numbers
// are fixed: callers pass them as plain 32-bit integers.
enum ApplicationFolder : int32_t {
    FolderProgram = 0,       // the folder of the program file
    FolderResources = 1,     // "::", the resources embedded in the program file
    FolderCommonAppData = 2, // common application data, company, product
    FolderLocalAppData = 3,  // local application data, company, product
    FolderDocuments = 4,     // the user's documents
};

// The path of a folder; the company and product folders below the two
// application-data folders are made when missing. False for any other
// identifier (the path is then empty); a failing system query gives an empty
// path and true.
bool GetApplicationFolder(int32_t folderId, const StringT<wchar_t, char>& company,
                          const StringT<wchar_t, char>& product, StringT<wchar_t, char>& path);

// The resource folder that stands for the program's own resources.
constexpr const wchar_t* kResourceFolder = L"::";

// GDI+ start-up and shut-down (version 1, no debug callback).
void StartGdiplus(ULONG_PTR& token);
void StopGdiplus(ULONG_PTR& token);

} // namespace KX

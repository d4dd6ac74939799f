#include "Application/ApplicationFolders.h"

#include "Application/ProgramGlobals.h"
#include "Utilities/Storage/KXFile.h"

#include <gdiplus.h>
#include <shlobj.h>

namespace KX {

namespace {

// folder '\' name, made when missing; a failure to make it is not reported.
StringT<wchar_t, char> AddLevel(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& name)
{
    StringT<wchar_t, char> path = folder;
    path += StringT<wchar_t, char>(L"\\");
    path += MakeValidFileName(name);
    CreateDirectoryW(path.GetData(), nullptr);
    return path;
}

bool ShellFolder(int csidl, StringT<wchar_t, char>& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return false;
    path = buffer;
    return true;
}

} // namespace

bool GetApplicationFolder(int32_t folderId, const StringT<wchar_t, char>& company,
                          const StringT<wchar_t, char>& product, StringT<wchar_t, char>& path)
{
    path.Empty();
    switch (folderId) {
    case FolderProgram:
        path = GetProgramFileFolder();
        return true;
    case FolderResources:
        path = kResourceFolder;
        return true;
    case FolderCommonAppData:
    case FolderLocalAppData: {
        StringT<wchar_t, char> base;
        if (!ShellFolder(folderId == FolderCommonAppData ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, base))
            return true;
        path = AddLevel(AddLevel(base, company), product);
        return true;
    }
    case FolderDocuments:
        ShellFolder(CSIDL_PERSONAL, path);
        return true;
    default:
        return false;
    }
}

void StartGdiplus(ULONG_PTR& token)
{
    Gdiplus::GdiplusStartupInput input; // version 1, no callback, background thread, codecs
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

void StopGdiplus(ULONG_PTR& token)
{
    if (token != 0)
        Gdiplus::GdiplusShutdown(token);
    token = 0;
}

} // namespace KX

#include "Application/FileDialog.h"

#include "Application/FrameworkApp.h"
#include "Utilities/Storage/KXFile.h"

#include <objbase.h>

namespace KX {

namespace {

constexpr DWORD kInitialFlags = OFN_EXPLORER | OFN_ENABLESIZING;
constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_READONLY;

LFileDialog::OpenFunction sOpenFunction = GetOpenFileNameW;

} // namespace

struct LFileDialog::Record
{
    OPENFILENAMEW dialog{};
    String file;
    String fileTitle;
    String initialFolder;
    StringArrayT chosenFiles;
};

KXRESULT LFileDialog::Create(RCPtr<LFileDialog>& out, const String& initialFolder)
{
    out = RCPtr<LFileDialog>(new LFileDialog(initialFolder));
    return S_OK;
}

LFileDialog::LFileDialog(const String& initialFolder) : mRecord(std::make_unique<Record>())
{
    mComInitialized = SUCCEEDED(CoInitialize(nullptr));
    mRecord->initialFolder = initialFolder;
    OPENFILENAMEW& dialog = mRecord->dialog;
    // The structure of this build: 152 bytes on x64 (the dialog refuses any
    // other size).
    dialog.lStructSize = sizeof(OPENFILENAMEW);
    dialog.hwndOwner = LFrameworkApp::sInstance ? LFrameworkApp::sInstance->GetActiveRootWindowHandle() : nullptr;
    dialog.nMaxFile = kBufferSize;
    dialog.nMaxFileTitle = kBufferSize;
    dialog.lpstrInitialDir = mRecord->initialFolder.GetData();
    dialog.Flags = kInitialFlags;
}

LFileDialog::~LFileDialog()
{
    mRecord.reset();
    if (mComInitialized)
        CoUninitialize();
}

LFileDialog::OpenFunction LFileDialog::SetOpenFunction(OpenFunction function)
{
    const OpenFunction previous = sOpenFunction;
    sOpenFunction = function ? function : GetOpenFileNameW;
    return previous;
}

std::wstring LFileDialog::MakeSystemFilter(const String& filter)
{
    std::wstring system(filter.GetData(), static_cast<size_t>(filter.GetLength()));
    system.append(2, L'\0');
    for (wchar_t& character : system) {
        if (character == L'|')
            character = L'\0';
    }
    return system;
}

KXRESULT LFileDialog::ShowOpenDialog(const String& filter, const String& defaultExtension, const String& title,
                                     bool multipleSelection)
{
    Record& record = *mRecord;
    OPENFILENAMEW& dialog = record.dialog;
    record.chosenFiles.SetCount(0);
    record.file.Empty();
    record.fileTitle.Empty();
    dialog.lpstrFile = record.file.Lock(kBufferSize);
    dialog.lpstrFileTitle = record.fileTitle.Lock(kBufferSize);
    dialog.lpstrFile[0] = 0;
    dialog.lpstrFileTitle[0] = 0;
    const std::wstring systemFilter = MakeSystemFilter(filter);
    dialog.lpstrFilter = systemFilter.c_str();
    dialog.lpstrDefExt = defaultExtension.GetData();
    dialog.lpstrTitle = title.GetData();
    // Each call says for itself whether several files may be chosen.
    dialog.Flags |= kOpenFlags;
    if (multipleSelection)
        dialog.Flags |= OFN_ALLOWMULTISELECT;
    else
        dialog.Flags &= ~static_cast<DWORD>(OFN_ALLOWMULTISELECT);

    const bool chosen = sOpenFunction(&dialog) != FALSE;
    if (chosen) {
        const wchar_t* buffer = dialog.lpstrFile;
        if (!multipleSelection) {
            record.initialFolder = GetFolderPart(String(buffer));
        } else {
            // Several files: the folder, then each name, each with its NUL,
            // and an empty string at the end. One file: its full path alone.
            record.initialFolder = String(buffer);
            int32_t position = static_cast<int32_t>(wcsnlen(buffer, kBufferSize)) + 1;
            if (position < kBufferSize && buffer[position] != 0) {
                while (position < kBufferSize - 1 && buffer[position] != 0) {
                    const int32_t length = static_cast<int32_t>(wcsnlen(buffer + position, kBufferSize - position));
                    String name;
                    name.Assign(buffer + position, length);
                    String path = record.initialFolder;
                    path += String(L"\\");
                    path += name;
                    record.chosenFiles.InsertItem(record.chosenFiles.GetCount(), path);
                    position += length + 1;
                }
            } else {
                record.chosenFiles.InsertItem(record.chosenFiles.GetCount(), String(buffer));
                record.initialFolder = GetFolderPart(String(buffer));
            }
        }
        dialog.lpstrInitialDir = record.initialFolder.GetData();
    }
    dialog.lpstrFilter = nullptr;
    dialog.lpstrDefExt = nullptr;
    dialog.lpstrTitle = nullptr;
    dialog.lpstrFile = nullptr;
    dialog.lpstrFileTitle = nullptr;
    record.file.Unlock();
    record.fileTitle.Unlock();
    if (!chosen)
        record.file.Empty();
    return chosen ? S_OK : E_FAIL;
}

LFileDialog::String LFileDialog::GetFileName() const
{
    return mRecord->file;
}

const StringArrayT& LFileDialog::GetChosenFiles() const
{
    return mRecord->chosenFiles;
}

const LFileDialog::String& LFileDialog::GetInitialFolder() const
{
    return mRecord->initialFolder;
}

} // namespace KX

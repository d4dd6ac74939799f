// KX::LFileDialog: the system's open-file dialog.
//
// Contract:
// - Create makes the dialog object for an initial folder; OLE is initialised
//   for the object's life on the calling thread (the user-interface thread).
// - The owner of each dialog is the application's active root window's OS
//   window, or none.
// - ShowOpenDialog(filter, default extension, title, multiple selection):
//   the filter is display names and patterns separated by '|'
//   ("Firmware Files (*.led)|*.led|All Files (*.*)|*.*"); the chosen file
//   must exist. 0 when the user chose, E_FAIL on cancel or error (the file
//   name is then empty and the initial folder unchanged).
// - After a choice the next dialog opens in the chosen file's folder.
// - GetFileName: the file buffer's text after the last dialog: the chosen
//   path, or the folder of a multiple selection of several files.
//   GetChosenFiles: the full paths of the last multiple selection.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

#include <commdlg.h>

#include <memory>
#include <string>

namespace KX {

class LFileDialog : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The size of the file and file title buffers, in characters.
    static constexpr int32_t kBufferSize = 2600;

    static KXRESULT Create(RCPtr<LFileDialog>& out, const String& initialFolder);

    KXRESULT ShowOpenDialog(const String& filter, const String& defaultExtension, const String& title,
                            bool multipleSelection);
    String GetFileName() const;
    const StringArrayT& GetChosenFiles() const;
    const String& GetInitialFolder() const;

    // The filter as the system wants it: every '|' a NUL, two NULs at the
    // end.
    static std::wstring MakeSystemFilter(const String& filter);

    // The function that shows the dialog (GetOpenFileNameW); tests may put
    // their own in its place. Answers the previous one.
    using OpenFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    static OpenFunction SetOpenFunction(OpenFunction function);

protected:
    explicit LFileDialog(const String& initialFolder);
    ~LFileDialog() override;

private:
    struct Record;
    std::unique_ptr<Record> mRecord;
    bool mComInitialized = false;
};

} // namespace KX

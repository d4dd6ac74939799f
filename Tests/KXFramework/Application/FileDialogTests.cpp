// The open-file dialog: a person at the real dialog (its title and filter
// list read from the window, a path typed and OK pressed, or Cancel), and
// what reaches the system and comes back in the buffers.
#include "Support/Shell/ShellTestSupport.h"

#include "Application/FileDialog.h"
#include "Support/Windows/MessageLoop.h"
#include "Support/Windows/ScreenCapture.h"
#include "Support/Windows/TempFiles.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using String = KX::StringT<wchar_t, char>;
using FileDialogTest = ShellTest;

const wchar_t kFilter[] = L"Firmware Files (*.led)|*.led|All Files (*.*)|*.*";

// A temporary folder with one firmware file.
class FirmwareFolder
{
public:
    FirmwareFolder() : mFile(mFolder.WriteFile(L"Image.led", "")) {}
    const std::wstring& Folder() const { return mFolder.Path(); }
    const std::wstring& File() const { return mFile; }

private:
    TestSystem::TempFolder mFolder{L"FileDialogTests"};
    std::wstring mFile;
};

// The person at the dialog, on a thread of their own while the test's thread
// runs the dialog: waits for the window with the title, reads the file type
// list, looks at it, then acts.
class DialogPerson
{
public:
    DialogPerson(const wchar_t* title, std::function<void(HWND dialog)> act)
        : mThread([this, title, act]() {
              HWND dialog = nullptr;
              if (!TestScreen::WaitUntil([&]() {
                      dialog = FindWindowW(L"#32770", title);
                      return dialog && IsWindowVisible(dialog);
                  }, 15000))
                  return;
              mFound = true;
              ReadFileTypes(dialog);
              TestScreen::Activate(dialog);
              act(dialog);
          })
    {
    }
    ~DialogPerson() { Join(); }
    void Join()
    {
        if (mThread.joinable())
            mThread.join();
    }

    std::atomic<bool> mFound{false};
    std::vector<std::wstring> mFileTypes;

private:
    void ReadFileTypes(HWND dialog)
    {
        HWND types = GetDlgItem(dialog, 0x470); // the file type combo box
        const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[128] = {};
            SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            mFileTypes.push_back(text);
        }
    }

    std::thread mThread;
};

TEST_F(FileDialogTest, APersonChoosesAFileOrCancels)
{
    FirmwareFolder folder;
    KX::RCPtr<KX::LFileDialog> dialog;
    ASSERT_EQ(S_OK, KX::LFileDialog::Create(dialog, folder.Folder().c_str()));

    {
        DialogPerson person(L"Open Firmware", [&folder](HWND window) {
            TestScreen::TypeText(folder.File());
            // The typed text has arrived once the file name box shows it.
            TestScreen::WaitUntil([&]() {
                wchar_t typed[MAX_PATH] = {};
                SendMessageW(GetDlgItem(window, 0x47C), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(typed));
                return folder.File() == typed;
            });
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            TestScreen::SaveWindowScreenshot(window, L"FileDialogTest", L"open-firmware-typed");
            TestScreen::PressKey(VK_RETURN);
        });
        EXPECT_EQ(S_OK, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", false));
        person.Join();
        EXPECT_TRUE(person.mFound);
        EXPECT_EQ((std::vector<std::wstring>{L"Firmware Files (*.led)", L"All Files (*.*)"}), person.mFileTypes);
    }
    EXPECT_EQ(0, _wcsicmp(folder.File().c_str(), dialog->GetFileName().GetData()))
        << dialog->GetFileName().ToNarrow().GetData();
    EXPECT_EQ(0, _wcsicmp(folder.Folder().c_str(), dialog->GetInitialFolder().GetData()));

    {
        DialogPerson person(L"Open Firmware", [](HWND) { TestScreen::PressKey(VK_ESCAPE); });
        EXPECT_EQ(E_FAIL, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", false));
        person.Join();
        EXPECT_TRUE(person.mFound);
    }
    EXPECT_TRUE(dialog->GetFileName().IsEmpty());
    EXPECT_EQ(0, _wcsicmp(folder.Folder().c_str(), dialog->GetInitialFolder().GetData())); // unchanged
    EXPECT_EQ(nullptr, FindWindowW(L"#32770", L"Open Firmware"));
}

// In place of the system's dialog: records what it was given and answers as
// the test says.
struct ScriptedDialog
{
    static BOOL WINAPI Open(OPENFILENAMEW* dialog)
    {
        sCalls.push_back(*dialog);
        sFilters.emplace_back(dialog->lpstrFilter, FilterLength(dialog->lpstrFilter));
        sTitles.emplace_back(dialog->lpstrTitle ? dialog->lpstrTitle : L"");
        sExtensions.emplace_back(dialog->lpstrDefExt ? dialog->lpstrDefExt : L"");
        sInitialFolders.emplace_back(dialog->lpstrInitialDir ? dialog->lpstrInitialDir : L"");
        if (sAnswer.empty())
            return FALSE;
        memcpy(dialog->lpstrFile, sAnswer.data(), sAnswer.size() * sizeof(wchar_t));
        return TRUE;
    }
    // Up to and with the two NULs at the end.
    static size_t FilterLength(const wchar_t* filter)
    {
        size_t length = 0;
        while (filter[length] || filter[length + 1])
            ++length;
        return length + 2;
    }

    static std::vector<OPENFILENAMEW> sCalls;
    static std::vector<std::wstring> sFilters;
    static std::vector<std::wstring> sTitles;
    static std::vector<std::wstring> sExtensions;
    static std::vector<std::wstring> sInitialFolders;
    static std::wstring sAnswer; // with its NULs; empty: cancel
};
std::vector<OPENFILENAMEW> ScriptedDialog::sCalls;
std::vector<std::wstring> ScriptedDialog::sFilters;
std::vector<std::wstring> ScriptedDialog::sTitles;
std::vector<std::wstring> ScriptedDialog::sExtensions;
std::vector<std::wstring> ScriptedDialog::sInitialFolders;
std::wstring ScriptedDialog::sAnswer;

class ScriptedFileDialogTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ScriptedDialog::sCalls.clear();
        ScriptedDialog::sFilters.clear();
        ScriptedDialog::sTitles.clear();
        ScriptedDialog::sExtensions.clear();
        ScriptedDialog::sInitialFolders.clear();
        ScriptedDialog::sAnswer.clear();
        mPrevious = KX::LFileDialog::SetOpenFunction(ScriptedDialog::Open);
    }
    void TearDown() override
    {
        KX::LFileDialog::SetOpenFunction(mPrevious);
        ShellTest::TearDown();
    }
    KX::LFileDialog::OpenFunction mPrevious = nullptr;
};

TEST_F(ScriptedFileDialogTest, TheSystemGetsTheWholeStructureTheFilterPairsAndTheFlagsOfEachCall)
{
    KX::RCPtr<KX::LFileDialog> dialog;
    KX::LFileDialog::Create(dialog, L"C:\\Start");
    ScriptedDialog::sAnswer = std::wstring(L"C:\\Images\\One.led") + L'\0';
    ASSERT_EQ(S_OK, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", true));
    ASSERT_EQ(S_OK, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", false));
    ASSERT_EQ(2u, ScriptedDialog::sCalls.size());

    const OPENFILENAMEW& first = ScriptedDialog::sCalls[0];
    EXPECT_EQ(sizeof(OPENFILENAMEW), first.lStructSize);
    EXPECT_EQ(152u, sizeof(OPENFILENAMEW)); // x64: the 32-bit 88 would be refused
    EXPECT_EQ(2600u, first.nMaxFile);
    EXPECT_EQ(2600u, first.nMaxFileTitle);
    EXPECT_NE(nullptr, first.lpstrFileTitle);
    EXPECT_EQ(L"led", ScriptedDialog::sExtensions[0]);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY |
                                 OFN_READONLY | OFN_ALLOWMULTISELECT),
              first.Flags);
    // The second call allows one file only.
    EXPECT_EQ(0u, ScriptedDialog::sCalls[1].Flags & OFN_ALLOWMULTISELECT);
    EXPECT_EQ(std::wstring(L"Firmware Files (*.led)\0*.led\0All Files (*.*)\0*.*\0\0", 50),
              ScriptedDialog::sFilters[0]);
    EXPECT_EQ(L"Open Firmware", ScriptedDialog::sTitles[0]);
    EXPECT_EQ(L"C:\\Start", ScriptedDialog::sInitialFolders[0]);
    // The chosen file's folder is where the next dialog opens.
    EXPECT_EQ(L"C:\\Images", ScriptedDialog::sInitialFolders[1]);
}

TEST_F(ScriptedFileDialogTest, AMultipleSelectionGivesFullPathsAndOneFileItsPath)
{
    KX::RCPtr<KX::LFileDialog> dialog;
    KX::LFileDialog::Create(dialog, L"C:\\Start");

    ScriptedDialog::sAnswer = std::wstring(L"C:\\Images\0A.led\0B.led\0\0", 24);
    ASSERT_EQ(S_OK, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", true));
    ASSERT_EQ(2, dialog->GetChosenFiles().GetCount());
    EXPECT_EQ(String(L"C:\\Images\\A.led"), dialog->GetChosenFiles().GetAt(0));
    EXPECT_EQ(String(L"C:\\Images\\B.led"), dialog->GetChosenFiles().GetAt(1));
    EXPECT_EQ(String(L"C:\\Images"), dialog->GetFileName()); // the folder of several
    EXPECT_EQ(String(L"C:\\Images"), dialog->GetInitialFolder());

    ScriptedDialog::sAnswer = std::wstring(L"C:\\Other\\C.led\0\0", 16);
    ASSERT_EQ(S_OK, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", true));
    ASSERT_EQ(1, dialog->GetChosenFiles().GetCount()); // this dialog's choice only
    EXPECT_EQ(String(L"C:\\Other\\C.led"), dialog->GetChosenFiles().GetAt(0));
    EXPECT_EQ(String(L"C:\\Other"), dialog->GetInitialFolder());

    ScriptedDialog::sAnswer.clear();
    EXPECT_EQ(E_FAIL, dialog->ShowOpenDialog(kFilter, L"led", L"Open Firmware", true));
    EXPECT_TRUE(dialog->GetFileName().IsEmpty());
    EXPECT_EQ(String(L"C:\\Other"), dialog->GetInitialFolder());
}

} // namespace

// What the tests of the real update screen share: the program's application
// class started as the program starts it (its documents, its command line,
// its engine over the simulated TAVIK8 of this test's own state file), the
// main window opened as Run opens it, with the program's renderer or another
// one, and brought to the front, a person's clicks through SendInput at the
// buttons' places, the program's message loop with its idle passes until a
// condition holds, the labels read from the control tree, and screenshots of
// the window under screenshots/ScreenWindowTests/<test>/.
//
// A program that links it carries the program's resources
// (FirmwareUpdater/MainControl/MainControlTests.rc).
#pragma once

#include "Support/Tavik8Sim/StateFile.h"
#include "Support/Windows/TempFiles.h"

#include "Application/ApplicationBaseWin.h"
#include "Application/FileDialog.h"
#include "Controls/Button.h"
#include "Controls/ComboMenu.h"
#include "Controls/Label.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "UI/Application.h"
#include "UI/MainControl.h"

#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/StateStore.h"

#include "Support/Windows/MessageLoop.h"
#include "Support/Windows/ScreenCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace ScreenWindowTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using Engine = LUpdateEngineInterface;

std::wstring Text(const String& text);

// The screen's process label, the ready text, and the command-line option
// naming a firmware file (the file names of these tests have no blanks).
inline const std::wstring kProcess = L"labelUpdateProcessInformation";
inline const std::wstring kReady =
    L"A firmware update is available for your TAVIK8. Click UPDATE FIRMWARE to install it.";
inline std::wstring FileOption(const std::wstring& path)
{
    return L"-ABSOLUTE_FIRMWARE_FILE_PATH=" + path;
}

// The simulated device of one test, and the firmware files it is given.
class Device
{
public:
    Device();
    ~Device();

    void Do(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step);
    void Set(const char* key, const std::string& value);
    void Reset(Tavik8Sim::Mode mode, const char* version);
    void PowerCycle();
    Tavik8Sim::DeviceState State();
    int64_t Counter(const char* name);

    // A firmware file of that name in the test's folder; its text.
    std::wstring WriteFirmware(const wchar_t* name, int records, int size, uint32_t seed);
    // The device takes only the image of this file.
    void ExpectImage(const std::wstring& file);
    const std::wstring& Folder() const { return mFiles.Path(); }

private:
    Tavik8SimTest::TempStateFile mState;
    Tavik8Sim::StateStore mStore{mState.Path()};
    TestSystem::TempFolder mFiles{L"tavik8-screen-test"};
};

// The system's open-file dialog while an object of this class lives: it
// answers at once with the file given last, as a person choosing that file
// would, and counts how often it was shown. Of nested answers the innermost
// answers; the one before is back when it goes.
class OpenDialogAnswer
{
public:
    explicit OpenDialogAnswer(std::wstring file = std::wstring());
    ~OpenDialogAnswer();
    OpenDialogAnswer(const OpenDialogAnswer&) = delete;
    OpenDialogAnswer& operator=(const OpenDialogAnswer&) = delete;

    void SetFile(std::wstring file) { mFile = std::move(file); }
    int Shown() const { return mShown; }

private:
    static BOOL WINAPI Answer(OPENFILENAMEW* record);
    static OpenDialogAnswer* sCurrent;

    std::wstring mFile;
    int mShown = 0;
    OpenDialogAnswer* const mOuter;
    const KX::LFileDialog::OpenFunction mPrevious;
};

class ScreenWindowTestBase : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The renderer the application asks for (the program's own).
    static constexpr int32_t kProgramRenderer = -1;

    // Starts the application with the command line that follows the
    // program's name and opens the main window in front, with the renderer
    // of that type (0 OpenGL, 1 GDI+); a fatal failure when start-up ended
    // the run (no window).
    void Open(const std::wstring& arguments, int32_t rendererType = kProgramRenderer);

    // ---- The screen as a person sees it ----
    RCPtr<KX::LControl> Child(const wchar_t* name) const;
    std::wstring TextOf(const wchar_t* name) const;
    bool Shows(const wchar_t* name) const;
    // Clicks the middle of a visible control with the pointer (SendInput)
    // and runs the loop until the click was handled.
    void Click(const wchar_t* name);
    void ClickAt(const POINT& screenPoint);
    POINT ScreenMiddle(const RCPtr<KX::LControl>& control) const;

    // The program's loop (messages, then idle passes) until the condition.
    bool LoopUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
    bool LoopUntilText(const wchar_t* label, const std::wstring& text, DWORD timeoutMs = 10000);
    void Screenshot(const std::wstring& name);

    int32_t DeviceState() const;

    // ---- The File menu, with the pointer ----
    // The menu bar's title "File" (the bar shown).
    RCPtr<KX::LComboMenu> FileTitle() const;
    // Opens File; its item "Select Firmware File".
    RCPtr<KX::LMenuListBoxItem> OpenFileMenu();
    // File > Select Firmware File, enabled, the dialog answering with the file.
    void ChooseThroughFileMenu(const std::wstring& file);

    std::unique_ptr<KX::MFCFrameworkApp<LApplication>> mMfcApp;
    RCPtr<LApplication> mApp;
    RCPtr<KX::LMainControl> mScreen;
    HWND mWindow = nullptr;
    bool mQuitSeen = false;
    ULONG_PTR mGdiplusToken = 0;
    std::unique_ptr<Device> mDevice;
    std::wstring mFirmware; // the default firmware file of the test
    int mShot = 0;
};

} // namespace ScreenWindowTest

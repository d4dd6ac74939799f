// KX::MFCFrameworkAppBase: what the framework's WinMain needs of the MFC
// application object without knowing the program's application class: the
// objects that start-up made (control factory, framework strings, GDI+), the
// locale of all text and the single-instance decision.
#pragma once

#include "MfcLite/WinApp.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace KX {

class LControlFactory;
class LStringTable;
class SplashThread;

class MFCFrameworkAppBase : public CWinApp
{
public:
    using String = StringT<wchar_t, char>;

    MFCFrameworkAppBase();
    ~MFCFrameworkAppBase() override;

    // The language of all user-visible text.
    int32_t GetLocaleId() const { return mLocaleId; }
    void SetLocaleId(int32_t localeId) { mLocaleId = localeId; }
    bool IsFirstInstance() const { return mFirstInstance; }
    const RCPtr<LControlFactory>& GetControlFactory() const { return mControlFactory; }
    const RCPtr<LStringTable>& GetStringTable() const { return mStringTable; }

    // The end of the framework's WinMain: the control factory, the string
    // table and the registered fonts released, then GDI+ shut down.
    void ReleaseStartupObjects();

    // The running program's MFC application object, or null.
    static MFCFrameworkAppBase* GetInstance();

    // The splash screen while one runs, else null.
    SplashThread* GetSplash() const { return mSplash.get(); }

protected:
    // The start-up error box: the built-in texts, or the string table's
    // "STARTUP_ERROR" and "STARTUP_ERROR_CAPTION" where it has them.
    void ShowStartupError();
    // GDI+, the control factory with its documents, the single instance.
    // Throws on a failure to load the documents. The unique name must live
    // as long as the process: the program-wide pointer keeps its text.
    BOOL StartApplication(const String& productName, const String& uniqueAppName);
    // Hands the command line to the running instance's main window.
    static void HandOverCommandLine(HWND mainWindow);
    // The splash screen for an image file (none for an empty path, an
    // undecodable image, or while one runs), animated from 0 to 100 over 8
    // seconds.
    void StartSplash(const String& imagePath);
    // The bar at 100, then the splash stopped and deleted.
    void StopSplash();

    RCPtr<LControlFactory> mControlFactory;
    RCPtr<LStringTable> mStringTable;
    std::unique_ptr<SplashThread> mSplash; // the splash screen, when one runs
    bool mFirstInstance = true;
    ULONG_PTR mGdiplusToken = 0;
    int32_t mLocaleId = 0;
};

// The framework's WinMain: MFC start-up, the locale (-1: the user's default,
// low 16 bits), InitApplication, InitInstance and Run, then the clean-up;
// answers the program-wide exit code. An exception that leaves Run is
// reported (standard error and debug output) and ends the program with
// kUncaughtExceptionExitCode; a failed InitApplication (other than a second
// instance's hand-over) or InitInstance ends it with
// kStartupFailureExitCode. Neither is ever a status answer (1 to 5).
int FrameworkWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand,
                     int32_t localeId);

constexpr int32_t kUncaughtExceptionExitCode = 255;
constexpr int32_t kStartupFailureExitCode = 255;

} // namespace KX

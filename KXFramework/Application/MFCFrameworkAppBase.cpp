#include "Application/MFCFrameworkAppBase.h"

#include "Application/ApplicationFolders.h"
#include "Application/CommandLineHandOver.h"
#include "Application/ProgramGlobals.h"
#include "Application/SplashThread.h"
#include "Application/StartupErrorBox.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/StringTable.h"
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/Wnd.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Font.h"

#include <gdiplus.h>

#include <exception>

namespace KX {

MFCFrameworkAppBase::MFCFrameworkAppBase() = default;

MFCFrameworkAppBase::~MFCFrameworkAppBase() = default;

MFCFrameworkAppBase* MFCFrameworkAppBase::GetInstance()
{
    return dynamic_cast<MFCFrameworkAppBase*>(AfxGetApp());
}

void MFCFrameworkAppBase::ReleaseStartupObjects()
{
    // Everything that may hold rendering objects goes while GDI+ still runs:
    // a GDI+ object deleted after GdiplusShutdown is deleted in a dead
    // library.
    RCPtr<LControlFactory> factory = mControlFactory;
    mControlFactory = RCPtr<LControlFactory>();
    factory = RCPtr<LControlFactory>();
    RCPtr<LStringTable> strings = mStringTable;
    mStringTable = RCPtr<LStringTable>();
    strings = RCPtr<LStringTable>();
    LFont::ReleaseRegistry();
    StopGdiplus(mGdiplusToken);
}

void MFCFrameworkAppBase::ShowStartupError()
{
    String text(L"The application encountered problems during startup and will now close.");
    String caption(L"Error");
    if (mStringTable) {
        mStringTable->GetString(L"STARTUP_ERROR", text);
        mStringTable->GetString(L"STARTUP_ERROR_CAPTION", caption);
    }
    ShowStartupErrorBox(nullptr, text.GetData(), caption.GetData(), MB_ICONERROR);
}

BOOL MFCFrameworkAppBase::StartApplication(const String& productName, const String& uniqueAppName)
{
    mControlFactory = LControlFactory::Create(productName);
    SetModuleInstance(m_hInstance);
    mControlFactory->SetResourceModule(m_hInstance);

    String resourceFolder;
    GetApplicationFolder(FolderResources, String(), String(), resourceFolder);
    KX_THROW_IF_FAILED(mControlFactory->LoadResources(resourceFolder, mLocaleId),
                       "KX::MFCFrameworkApp<class LApplication>::InitApplication", "Application/ApplicationBaseWin",
                       161);
    mControlFactory->GetFrameworkStringTable(mStringTable);
    SetUniqueAppNamePointer(uniqueAppName.GetData());

    // One instance at a time: the mutex's name stays taken for the life of
    // the process (the handle is never closed).
    String mutexName = uniqueAppName;
    mutexName += String(L"Prevent");
    HANDLE mutex = CreateMutexW(nullptr, TRUE, mutexName.GetData());
    mFirstInstance = GetLastError() != ERROR_ALREADY_EXISTS;
    if (mutex)
        ReleaseMutex(mutex);
    if (mFirstInstance)
        return TRUE;

    HWND mainWindow = FindWindowW(uniqueAppName.GetData(), nullptr);
    if (!mainWindow)
        return TRUE; // the running instance has no window (yet): go on as the first
    HandOverCommandLine(mainWindow);
    return FALSE;
}

void MFCFrameworkAppBase::HandOverCommandLine(HWND mainWindow)
{
    HWND popup = GetLastActivePopup(mainWindow);
    BringWindowToTop(mainWindow);
    if (IsIconic(mainWindow))
        ::ShowWindow(mainWindow, SW_RESTORE);
    if (popup && popup != mainWindow)
        BringWindowToTop(popup);

    const StringT<char, wchar_t> commandLine(GetCommandLineW());
    if (commandLine.IsEmpty())
        return;
    COPYDATASTRUCT record{};
    record.dwData = kCommandLineHandOver;
    record.cbData = static_cast<DWORD>(commandLine.GetLength() + 1);
    record.lpData = const_cast<char*>(commandLine.GetData());
    SendMessageW(mainWindow, WM_COPYDATA, static_cast<WPARAM>(kCommandLineHandOver),
                 reinterpret_cast<LPARAM>(&record));
}

void MFCFrameworkAppBase::StartSplash(const String& imagePath)
{
    if (imagePath.IsEmpty() || mSplash)
        return;
    RCPtr<LBitmap> bitmap;
    LBitmap::Get(bitmap, imagePath);
    auto splash = std::make_unique<SplashThread>();
    const bool decoded = bitmap && splash->SetImage(bitmap->GetImage());
    bitmap = RCPtr<LBitmap>();
    if (!decoded) {
        OutputDebugStringW(L"The splash image cannot be decoded: no splash screen\n");
        return;
    }
    splash->Start();
    splash->PostAnimate(0, 100, 8);
    mSplash = std::move(splash);
}

void MFCFrameworkAppBase::StopSplash()
{
    if (!mSplash)
        return;
    mSplash->PostPosition(100);
    mSplash->Stop();
    mSplash.reset();
}

int FrameworkWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand,
                     int32_t localeId)
{
    MFCFrameworkAppBase* app = MFCFrameworkAppBase::GetInstance();
    if (!AfxWinInit(instance, previousInstance, commandLine, showCommand) || !app) {
        SetProgramExitCode(kStartupFailureExitCode);
    } else {
        app->SetLocaleId(localeId == -1 ? static_cast<int32_t>(GetUserDefaultLCID() & 0xFFFF) : localeId);
        if (!app->InitApplication()) {
            // A second instance that handed its command line over ends as a
            // run that did its work; any other end here is a failure, which
            // an installer must never read as a status answer.
            if (app->IsFirstInstance())
                SetProgramExitCode(kStartupFailureExitCode);
        } else {
            if (!app->InitInstance()) {
                SetProgramExitCode(kStartupFailureExitCode);
                if (app->m_pMainWnd)
                    app->m_pMainWnd->DestroyWindow();
                app->ExitInstance();
            } else {
                try {
                    app->Run();
                } catch (const std::exception& error) {
                    StringT<wchar_t, char> text(app->m_pszAppName ? app->m_pszAppName : L"");
                    text += StringT<wchar_t, char>(L": ");
                    text += StringT<wchar_t, char>(error.what());
                    ReportFatalError(text.GetData());
                    SetProgramExitCode(kUncaughtExceptionExitCode);
                }
            }
        }
    }
    if (app)
        app->ReleaseStartupObjects();
    AfxWinTerm();
    return GetProgramExitCode();
}

} // namespace KX

// The Windows/MFC side of the framework application:
// - KX::LApplicationBase<T>: the application object's Windows layer over
//   KX::LFrameworkApp (version resource, folders, settings-file manager,
//   time, the 1 ms timer resolution, the exit key, the main window); T is the
//   program's application class.
// - KX::MFCFrameworkApp<T>: the program's one MFC application object, which
//   drives start-up (InitApplication, InitInstance), the application's whole
//   life (Run) and the idle hook.
//
// T must provide
//   static KXRESULT Create(RCPtr<T>& out, const RCPtr<LControlFactory>&,
//                          const RCPtr<LStringTable>&, const StringT<wchar_t,char>& commandLine);
#pragma once

#include "Application/ApplicationFolders.h"
#include "Application/FrameworkApp.h"
#include "Application/MFCFrameworkAppBase.h"
#include "Application/OSWindow.h"
#include "Application/ProgramGlobals.h"
#include "Application/RootWindow.h"
#include "Application/StartupErrorBox.h"
#include "Application/Version.h"
#include "Application/WindowCreation.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/StringTable.h"
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/Wnd.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "System/DebugOutput.h"
#include "System/GlobalHotKeyManager.h"
#include "System/IniFileManager.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/KXFile.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <exception>
#include <string>

namespace KX {

template <class T> class MFCFrameworkApp;

template <class T>
class LApplicationBase : public LFrameworkApp
{
public:
    // "Ostrel_DEVICE_FAMILY_NAME_String_FirmwareUpdater": the main window's
    // class name, the section of the saved window placement and the stem of
    // the single-instance mutex. Made once, kept until process exit.
    static const String& GetUniqueAppName()
    {
        static const String name = String(L"Ostrel") + String(L"_") + String(L"DEVICE_FAMILY_NAME_String") +
                                   String(L"_FirmwareUpdater");
        return name;
    }

    // The 1 ms timer resolution for the application's life, the framework's
    // start-up, then the exit request: registered with the "application"
    // centre and bound to Alt+F4 unless the string table bound that key.
    KXRESULT RunApplicationStartup() override
    {
        timeBeginPeriod(1);
        SetUniqueAppNamePointer(GetUniqueAppName().GetData());
        if (LFrameworkApp::RunApplicationStartup() < 0)
            return E_FAIL;
        RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
        Register(RCPtr<LNotificationDistributor>(center.Get()), kExitRequestID);
        const KeyCode exitKey = KeyCode::FromString(String(L"Alt+VKEY_F4"));
        if (GetHotKeyManager() && GetHotKeyManager()->GetBindingMap().FindNotificationID(exitKey).IsEmpty())
            GetHotKeyManager()->GetBindingMap().AddBinding(exitKey, kExitRequestID);
        return S_OK;
    }

    KXRESULT Shutdown() override
    {
        LFrameworkApp::Shutdown();
        timeEndPeriod(1);
        return S_OK;
    }

    // MFC's own message loop on the application object.
    KXRESULT RunMessageLoop() override
    {
        if (CWinApp* app = AfxGetApp())
            app->CWinApp::Run();
        return S_OK;
    }

    KXRESULT GetCompanyName(String& name) override { return ReadVersion(name, &Version::GetCompanyName); }
    KXRESULT GetProductName(String& name) override { return ReadVersion(name, &Version::GetProductName); }
    KXRESULT GetProductVersion(String& version) override
    {
        return ReadVersion(version, &Version::GetProductVersion);
    }

    int32_t GetLocaleID() override
    {
        MFCFrameworkAppBase* app = MFCFrameworkAppBase::GetInstance();
        return app ? app->GetLocaleId() : 0;
    }

    KXRESULT GetFolder(String& path, int32_t folderId) override
    {
        return MFCFrameworkApp<T>::GetFolder(path, folderId);
    }

    const RCPtr<LIniFileManager>& GetIniFileManager() override { return mIniFileManager; }

    // Seconds since construction, advanced only when asked; a wrap of the
    // millisecond counter is harmless.
    double GetElapsedTime() override
    {
        const uint32_t now = GetTicks();
        mElapsedSeconds += static_cast<uint32_t>(now - mLastTick) / 1000.0;
        mLastTick = now;
        return mElapsedSeconds;
    }
    uint32_t GetTicks() override { return timeGetTime(); }

    // ---- Windows (WindowCreation.h) ----

    // The main window for the skin's main control: root window 0, the
    // program's main window. Throws the runtime error "Invalid Control Name"
    // when the skin has no such control.
    virtual KXRESULT CreateMainWindow(int32_t rendererType)
    {
        OSWindow* window = nullptr;
        const KXRESULT result =
            CreateMainOSWindow(*this, rendererType, GetAppIcon(), Operation("CreateMainWindow"), window);
        mMainWindow = window ? window->m_hWnd : nullptr;
        return result;
    }
    // The main window's client area made the root control's size.
    void FitMainWindowToRootControl()
    {
        if (OSWindow* window = GetMainOSWindow())
            KX::FitMainWindowToRootControl(*this, *window);
    }
    // The main window's OS window while it exists, else null.
    OSWindow* GetMainOSWindow() const { return dynamic_cast<OSWindow*>(CWnd::FromHandlePermanent(mMainWindow)); }

    // A secondary root window for the control (or, without one, the skin's
    // control of that name); its root window index, or E_FAIL.
    int32_t CreateRootWindow(const RCPtr<LControl>& control, bool independent, bool systemMenu, bool minimize,
                             bool maximize, HWND owner, const String& controlName)
    {
        return CreateRootOSWindow(*this, control, independent, systemMenu, minimize, maximize, owner, controlName,
                                  GetAppIcon(), Operation("CreateRootWindow"));
    }
    // A modal window for the control, owned by the active window: its own
    // loop runs until it closes; answers its close code, or E_FAIL.
    virtual KXRESULT DoModal(const RCPtr<LControl>& control, bool systemMenu)
    {
        const int32_t index = CreateRootWindow(control, false, systemMenu, false, false, nullptr, String());
        if (index < 0)
            return E_FAIL;
        const RCPtr<LRootWindow> window = GetRootWindow(index);
        if (!window || !window->GetOSServices())
            return E_FAIL;
        return window->GetOSServices()->RunModalLoop();
    }
    // An independent window for the control; its root window index.
    virtual int32_t OpenRootWindow(const RCPtr<LControl>& control, bool systemMenu, bool minimize, bool maximize)
    {
        return CreateRootWindow(control, true, systemMenu, minimize, maximize, nullptr, String());
    }
    // The skin's control of that name, made without a window. 0, or E_FAIL
    // when the skin has none.
    virtual KXRESULT CreateControl(RCPtr<LControl>& control, const String& controlName)
    {
        control = RCPtr<LControl>();
        if (GetControlFactory())
            GetControlFactory()->CreateChildByName(control, controlName, RCPtr<LRootWindow>());
        return control ? S_OK : E_FAIL;
    }

    // The framework string "EXCEPTION_ID" with the code, or the built-in text.
    void GetErrorCodeText(String& text, int32_t code) const
    {
        String format(L"The application encountered problems during startup and will now close.  "
                      L"(Error code = %d)");
        if (GetFrameworkStringTable())
            GetFrameworkStringTable()->GetString(L"EXCEPTION_ID", format);
        text = String::CreateFormatted(format.GetData(), code);
    }

    // Icon 128 of the program file (the module start-up recorded, else the
    // running program's).
    HICON GetAppIcon() const
    {
        const HINSTANCE module = GetModuleInstance() ? GetModuleInstance() : GetModuleHandleW(nullptr);
        return LoadIconW(module, MAKEINTRESOURCEW(128));
    }

protected:
    LApplicationBase(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                     const String& commandLine)
        : LFrameworkApp(factory, frameworkStrings, StringT<char, wchar_t>(commandLine))
    {
        LIniFileManager::Create(mIniFileManager);
        if (mIniFileManager)
            mIniFileManager->Init(String());
        mLastTick = timeGetTime();
        mElapsedSeconds = 0.0;
        // The version record's error texts come from the framework strings.
        Version::SetErrorTextSource(&ErrorTextOfApplication);
    }

    ~LApplicationBase() override
    {
        Version::SetErrorTextSource(nullptr);
        if (mIniFileManager)
            mIniFileManager->Uninit();
        mIniFileManager = RCPtr<LIniFileManager>();
    }

    // For tests of the clock: the tick the elapsed time counts from.
    void ResetElapsedTime(uint32_t tick)
    {
        mLastTick = tick;
        mElapsedSeconds = 0.0;
    }

private:
    static String ErrorTextOfApplication(int32_t code)
    {
        String text;
        if (auto* application = dynamic_cast<LApplicationBase*>(LFrameworkApp::sInstance))
            application->GetErrorCodeText(text, code);
        return text;
    }

    static KXRESULT ReadVersion(String& text, String (Version::*reader)() const)
    {
        text.Empty();
        try {
            Version version;
            text = (version.*reader)();
            return S_OK;
        } catch (const std::exception&) {
            return E_FAIL;
        }
    }

    static std::string Operation(const char* name)
    {
        return std::string("KX::LApplicationBase<") + TypeNameOf<T>() + ">::" + name;
    }

    HWND mMainWindow = nullptr;
    uint32_t mLastTick = 0;
    double mElapsedSeconds = 0.0;
    RCPtr<LIniFileManager> mIniFileManager;
};

template <class T>
class MFCFrameworkApp : public MFCFrameworkAppBase
{
public:
    // The application object; null except during Run.
    static RCPtr<T> sApplication;

    MFCFrameworkApp() = default;
    ~MFCFrameworkApp() override = default;

    // GDI+, splash, the control factory with the documents, single instance.
    // Any exception: the start-up error box and FALSE.
    BOOL InitApplication() override
    {
        try {
            CWinApp::InitApplication();
            StartGdiplus(mGdiplusToken);
            ShowSplash();
            return StartApplication(ProductName(), LApplicationBase<T>::GetUniqueAppName());
        } catch (...) {
            CloseSplash();
            ShowStartupError();
            return FALSE;
        }
    }

    // Common controls, debug output, OLE (its failure: the start-up error box
    // and FALSE), the registry key of the profile.
    BOOL InitInstance() override
    {
        InitCommonControls();
        DebugOutput::GetInstance().ApplyCommandLine(GetCommandLineW());
        if (!AfxOleInit()) {
            ShowStartupError();
            return FALSE;
        }
        String company;
        try {
            company = Version().GetCompanyName();
        } catch (const std::exception&) {
        }
        SetRegistryKey(company.GetData());
        return TRUE;
    }

    // The application's whole life; always 1.
    int Run() override
    {
        const String commandLine(GetCommandLineW());
        RCPtr<T> application;
        KX_THROW_IF_FAILED(T::Create(application, mControlFactory, mStringTable, commandLine),
                           Operation("Run").c_str(), "Application/ApplicationBaseWin", 368);
        sApplication = application;
        application->OnApplicationHook1(application->GetCommandLineText());
        const KXRESULT result = application->RunApplicationStartup();
        if (result < 0) {
            if (IsQuitCode(result)) {
                CloseSplash();
                CWinApp::Run();
            } else {
                EndRun(application);
                KX_THROW_IF_FAILED(result, Operation("Run").c_str(), "Application/ApplicationBaseWin", 368);
            }
        } else {
            application->OnApplicationHook2(application->GetCommandLineText());
            try {
                OpenMainWindow(*application);
            } catch (...) {
                EndRun(application);
                throw;
            }
            CloseSplash();
            application->RunMainLoop();
        }
        EndRun(application);
        return 1;
    }

    BOOL OnIdle(LONG idleCount) override
    {
        if (!sApplication)
            return FALSE;
        return sApplication->OnIdle(idleCount);
    }

    int ExitInstance() override { return 1; }

    // The splash image: "Splash.png" in the resource folder when that is a
    // file (never while the resources are embedded), else empty.
    virtual String GetSplashImagePath()
    {
        String path;
        GetFolder(path, FolderResources);
        path += String(L"/Splash.png");
        return FileExists(path) ? path : String();
    }
    virtual void ShowSplash() { StartSplash(GetSplashImagePath()); }
    virtual void CloseSplash() { StopSplash(); }

    static KXRESULT GetFolder(String& path, int32_t folderId)
    {
        String company;
        String product;
        if (folderId == FolderCommonAppData || folderId == FolderLocalAppData) {
            try {
                Version version;
                company = version.GetCompanyName();
                product = version.GetProductName();
            } catch (const std::exception&) {
            }
        }
        if (!GetApplicationFolder(folderId, company, product, path))
            KX_THROW(std::out_of_range, "Unknown Path ID.", Operation("GetFolder").c_str(),
                     "Application/ApplicationBaseWin", 570);
        return S_OK;
    }

private:
    static std::string Operation(const char* name)
    {
        return std::string("KX::MFCFrameworkApp<") + TypeNameOf<T>() + ">::" + name;
    }

    static String ProductName()
    {
        try {
            return Version().GetProductName();
        } catch (const std::exception&) {
            return String();
        }
    }

    // The main window with its root control, shown.
    void OpenMainWindow(T& application)
    {
        const KXRESULT created = application.CreateMainWindow(application.GetRendererType());
        // No window at all (the system refused it, as where no display can
        // be used) says so; a window whose renderer failed gives that code.
        if (created < 0 && !application.GetMainOSWindow())
            KX_THROW(std::runtime_error, "The main window cannot be created", Operation("Run").c_str(),
                     "Application/ApplicationBaseWin", 349);
        KX_THROW_IF_FAILED(created, Operation("Run").c_str(), "Application/ApplicationBaseWin", 349);
        String controlName;
        application.GetMainControlName(controlName);
        const RCPtr<LRootWindow> root = application.GetRootWindow(0);
        const KXRESULT set = root ? root->SetRootControl(controlName) : E_FAIL;
        KX_THROW_IF_FAILED(set, Operation("Run").c_str(), "Application/ApplicationBaseWin", 350);
        application.FitMainWindowToRootControl();
        if (m_pMainWnd) {
            m_pMainWnd->ShowWindow(SW_SHOW);
            m_pMainWnd->UpdateWindow();
        }
    }

    // Shut-down of the application object: a main window that is still
    // there goes first, then the application's own shut-down and release.
    void EndRun(RCPtr<T>& application)
    {
        if (!application)
            return;
        if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
            m_pMainWnd->DestroyWindow();
        application->Shutdown();
        sApplication = RCPtr<T>();
        application = RCPtr<T>();
        CloseSplash();
    }
};

template <class T> RCPtr<T> MFCFrameworkApp<T>::sApplication;

} // namespace KX

// KX::LFrameworkApp: the one object through which every component reaches the
// process-wide services of the framework: control factory and string tables,
// folders and settings files, skin and default font, time, keys, message
// boxes, the exit request and the idle pass that delivers posted
// notifications.
//
// Contract:
// - Abstract; KX::LApplicationBase<T> supplies the Windows side and the
//   program's own class what is particular to it (main control, settings
//   files, renderer type, exit permission).
// - sInstance points at the one object from the start of its construction to
//   the end of its destruction; other threads read it to reach the
//   "application" notification centre.
// - Exiting turns true once, on the first accepted "NID_APP_EXIT_REQ"; from
//   then on the idle hook does nothing.
// - Everything else runs on the user-interface thread.
#pragma once

#include "Application/ApplicationFolders.h"
#include "Notification/NotificationClient.h"
#include "System/ClipBoard.h"
#include "ObjectBase/RCPtr.h"
#include "Renderer/RendererType.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LControlFactory;
class LFont;
class LGlobalHotKeyManager;
class LIniFileManager;
class LNotification;
class LNotificationDistributor;
class LRenderer;
class LRootWindow;
class LStatusBar;
class LStringTable;

class LFrameworkApp : public LNotificationClient, public IClipboardHost
{
public:
    using String = StringT<wchar_t, char>;

    static LFrameworkApp* sInstance;

    // The exit request of the whole program.
    static constexpr const wchar_t* kExitRequestID = L"NID_APP_EXIT_REQ";

    // ---- notifications ----

    // "NID_APP_EXIT_REQ": asks CanExit, then ends the message loop (see
    // OnExitRequest). Anything else: 0, nothing happens.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;

    // ---- hooks of the run ----

    // Called before start-up and after a successful one; 0.
    virtual KXRESULT OnApplicationHook1(const String& commandLine);
    virtual KXRESULT OnApplicationHook2(const String& commandLine);
    // A second instance's command line; 0 (ignored).
    virtual KXRESULT ProcessCommandLine(const String& commandLine);
    // Start-up before any window (see the source for its steps). 0, or E_FAIL.
    virtual KXRESULT RunApplicationStartup();
    // The message loop with an idle pass before and after it.
    virtual KXRESULT RunMainLoop();
    virtual KXRESULT OnRunStart();
    // The MFC application object's own message loop.
    virtual KXRESULT RunMessageLoop() = 0;
    // Releases the control factory, the hot-key manager and the clipboard. 0.
    virtual KXRESULT Shutdown();
    virtual bool IsExiting() const { return mExiting; }
    // Whether an exit request may end the program now.
    virtual bool CanExit() = 0;

    // ---- names and places ----

    virtual KXRESULT GetCompanyName(String& name) = 0;
    virtual KXRESULT GetProductName(String& name) = 0;
    virtual KXRESULT GetProductVersion(String& version) = 0;
    virtual KXRESULT GetSettingsVersion(String& version) = 0;
    // The product name.
    virtual KXRESULT GetAppName(String& name);
    virtual KXRESULT GetMainControlName(String& name) = 0;
    virtual int32_t GetLocaleID() = 0;
    // The path of an ApplicationFolder (the two application-data folders
    // with company and product folders below them). Another identifier
    // throws the out-of-range error.
    virtual KXRESULT GetFolder(String& path, int32_t folderId) = 0;
    KXRESULT GetModuleFolder(String& path) { return GetFolder(path, FolderProgram); }
    // The RendererType of the main window.
    virtual int32_t GetRendererType() = 0;
    // The renderer of root window 0, else null. Fonts and text measurement
    // go through it.
    virtual KXRESULT GetRenderer(RCPtr<LRenderer>& renderer);

    // ---- settings and skin ----

    virtual const RCPtr<LIniFileManager>& GetIniFileManager() = 0;
    // The handle of settings file 0 ("AppSettings.ini") or 1
    // ("UserSettings.ini"); 0 when there is none.
    virtual int32_t GetSettingsFile(int32_t fileId) = 0;
    // "CurrentSkinIndex" of the user settings, 0 without them.
    virtual int32_t GetCurrentSkinIndex();
    // Makes the skin current, takes its default font, saves the index. 0.
    virtual KXRESULT SetSkin(int32_t skinIndex);
    // The system's icon-title font: face, size in points, style bits (1 bold,
    // 2 italic, 4 underline, 8 strike-out). E_FAIL when it cannot be read.
    virtual KXRESULT GetDefaultFont(String& face, float& points, int32_t& style);
    // The default font that the current skin chose; null before the first
    // SetSkin.
    const RCPtr<LFont>& GetSkinDefaultFont() const { return mDefaultFont; }
    const String& GetDefaultFontFace() const { return mDefaultFontFace; }
    float GetDefaultFontSize() const { return mDefaultFontSize; }
    int32_t GetDefaultFontStyle() const { return mDefaultFontStyle; }

    // ---- time, keys, cursors, boxes ----

    virtual double GetElapsedTime() = 0;
    virtual uint32_t GetTicks() = 0;
    virtual KXRESULT GetKeyState(int32_t virtualKey, bool& down, bool& toggled);
    virtual HCURSOR GetCursor(const String& name);
    virtual int32_t MessageBox(const wchar_t* text, const wchar_t* caption, UINT type);
    // The desktop's work area as {x, y, width, height}.
    virtual KXRESULT GetWorkArea(RectT<int32_t>& area);
    // Year, month, day of week, day, hour, minute, second, milliseconds (UTC).
    virtual KXRESULT GetSystemTime(int32_t (&parts)[8]);
    // The system's cursor display counter after the change.
    virtual int32_t ShowCursor(bool show);
    // 0, or E_FAIL when the system refused.
    virtual KXRESULT SetCursorPosition(int32_t x, int32_t y);
    // The pointer on the screen (through the active root window when there
    // is one).
    virtual KXRESULT GetCursorPosition(PointT<int32_t>& point);
    // The buttons held now: left 1, middle 2, right 4 (the active root
    // window's, else the system's).
    virtual int32_t GetMouseButtons();
    // The window handle of the active root window's OS window, or null.
    HWND GetActiveRootWindowHandle();

    // ---- the clipboard's host ----

    // Root window 0's OS window, or null.
    HWND GetClipboardOwnerWindow() override;
    // The edit target of the active root window's focused control (the
    // nearest control up its chain that edits text), or null.
    RCPtr<IEditTarget> GetFocusEditTarget() override;
    // WM_POWERBROADCAST of a window: TRUE, nothing refused.
    virtual BOOL OnPowerBroadcast(WPARAM wParam, LPARAM lParam);

    // ---- the status bar ----

    // The main window's status bar; null here, where the program has none.
    virtual RCPtr<LStatusBar> GetStatusBar();
    // The status bar shows the text at once (immediately) or at the next
    // idle pass (posted): SetTextNow's or PostText's result. E_FAIL without
    // root window 0 or without a status bar.
    virtual KXRESULT SetStatusText(const String& text, bool immediately);
    // SetStatusText with the status bar's default text.
    virtual KXRESULT ResetStatusText(bool immediately);

    // ---- root windows ----

    // Appends the root window unless it is listed; answers its index.
    virtual int32_t AddRootWindow(const RCPtr<LRootWindow>& rootWindow);
    // Removes it; a negative result when it is not listed.
    virtual KXRESULT RemoveRootWindow(const RCPtr<LRootWindow>& rootWindow);
    // The last root window whose OS window reports itself active, else the
    // null pointer.
    const RCPtr<LRootWindow>& GetActiveRootWindow() const;
    int32_t GetRootWindowCount() const { return mRootWindows.GetCount(); }
    // Root window 0 is the main window's; the null pointer outside the list.
    const RCPtr<LRootWindow>& GetRootWindow(int32_t index) const;
    // The index of a root window, or -1.
    int32_t FindRootWindow(const RCPtr<LRootWindow>& rootWindow) const;

    // ---- idle ----

    // One idle pass: every notification centre's queue, then every root
    // window's idle step from the last to the first; true while work remains.
    virtual bool ProcessIdle(bool first);
    // The MFC idle hook: the idle pass at most three times per idle phase
    // (idle counts 0, 1 and 2), only while work remains; FALSE at once while
    // exiting.
    BOOL OnIdle(LONG idleCount);

    // ---- strings and services ----

    // The text of the identifier in the application string table; empty when
    // it is not there.
    void GetString(String& text, const wchar_t* identifier) const;
    const RCPtr<LControlFactory>& GetControlFactory() const { return mControlFactory; }
    const RCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStrings; }
    const RCPtr<LStringTable>& GetAppStringTable() const { return mAppStrings; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const { return mHotKeyManager; }
    const RCPtr<LClipboard>& GetClipboard() const { return mClipboard; }
    // The command line given at construction, as UTF-8.
    const StringT<char, wchar_t>& GetCommandLineUtf8() const { return mCommandLine; }
    String GetCommandLineText() const { return String(mCommandLine); }

    // The text and caption of the start-up error box, from the framework
    // string table where it has them.
    void GetStartupErrorTexts(String& text, String& caption) const;

protected:
    LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                  const StringT<char, wchar_t>& commandLine);
    ~LFrameworkApp() override;

    // Removes the registrations, then the base answer.
    KXRESULT ReleaseInternalReferences() override;

    // The exit request once CanExit agreed: exiting, WM_CLOSE to the main
    // window when there is one, and the quit message.
    virtual void OnExitRequest();

private:
    // Every root window's control tree takes the current skin again and is
    // repainted whole, under the busy cursor.
    void ReapplySkinToRootWindows();

    RCPtr<LControlFactory> mControlFactory;
    StringT<char, wchar_t> mCommandLine;
    RCPtrArray<LRootWindow, 1, 0> mRootWindows;
    RCPtr<LStringTable> mFrameworkStrings;
    RCPtr<LStringTable> mAppStrings;
    bool mExiting = false;
    RCPtr<LFont> mDefaultFont;
    String mDefaultFontFace;
    float mDefaultFontSize = 0.0f;
    int32_t mDefaultFontStyle = 0;
    RCPtr<LGlobalHotKeyManager> mHotKeyManager;
    RCPtr<LClipboard> mClipboard;
};

// The text of the identifier in the application's string table (empty
// without an application).
void GetString(StringT<wchar_t, char>& text, const wchar_t* identifier);

} // namespace KX

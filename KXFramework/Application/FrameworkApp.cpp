#include "Application/FrameworkApp.h"

#include "Application/BusyCursor.h"
#include "Application/Cursors.h"
#include "Application/RootWindow.h"
#include "Application/StartupErrorBox.h"
#include "ControlBase/ControlEditTarget.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/StringTable.h"
#include "Controls/FrameworkControlTypes.h"
#include "Controls/StatusBar.h"
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinApp.h"
#include "MfcLite/Wnd.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationID.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Renderer.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"
#include "System/IniFileManager.h"
#include "System/KeyCode.h"
#include "Utilities/Graphics/Font.h"

#include <cstdlib>
#include <exception>

namespace KX {

LFrameworkApp* LFrameworkApp::sInstance = nullptr;

namespace {

const wchar_t* const kSkinIndexKey = L"CurrentSkinIndex";

} // namespace

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                             const StringT<char, wchar_t>& commandLine)
{
    sInstance = this;
    mControlFactory = factory;
    mCommandLine = commandLine;
    mFrameworkStrings = frameworkStrings;

    RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    RCPtr<LNotificationQueue::LPostingReceiver> posting;
    if (center)
        center->GetPostingReceiver(posting);
    mHotKeyManager = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(posting.Get()));
    mClipboard = LClipboard::Create();
    if (mClipboard)
        mClipboard->SetHost(this);
    if (mControlFactory)
        mControlFactory->GetAppStringTable(mAppStrings);
}

LFrameworkApp::~LFrameworkApp()
{
    if (mClipboard)
        mClipboard->SetHost(nullptr);
    UnregisterAll();
    LNotificationCenterManager::sInstance = RCPtr<LNotificationCenterManager>();
    LNotification::SetPoolingEnabled(false);
    sInstance = nullptr;
}

KXRESULT LFrameworkApp::ReleaseInternalReferences()
{
    UnregisterAll();
    return LRefCountedObject::ReleaseInternalReferences();
}

KXRESULT LFrameworkApp::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>& notification)
{
    if (!notification || GetNotificationIDText(notification->GetID()) != kExitRequestID)
        return S_OK;
    // A refused request is dropped without a word.
    if (!CanExit())
        return S_OK;
    OnExitRequest();
    return S_OK;
}

void LFrameworkApp::OnExitRequest()
{
    mExiting = true;
    // Secondary windows close in the next idle pass, the last one first.
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 1; --i) {
        const RCPtr<LRootWindow> window = mRootWindows.GetAt(i);
        window->RequestClose(0);
    }
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
        PostMessageW(app->m_pMainWnd->GetSafeHwnd(), WM_CLOSE, 0, 0);
    PostQuitMessage(0);
}

KXRESULT LFrameworkApp::OnApplicationHook1(const String&)
{
    return S_OK;
}

KXRESULT LFrameworkApp::OnApplicationHook2(const String&)
{
    return S_OK;
}

KXRESULT LFrameworkApp::ProcessCommandLine(const String&)
{
    return S_OK;
}

KXRESULT LFrameworkApp::RunApplicationStartup()
{
    try {
        LNotification::SetPoolingEnabled(true);
        if (mControlFactory)
            RegisterFrameworkControlTypes(*mControlFactory);
        if (mHotKeyManager)
            mHotKeyManager->GetBindingMap().Load(mAppStrings, String(L"GHK"));
        if (mClipboard)
            mClipboard->Initialize();
        int32_t skin = GetCurrentSkinIndex();
        if (mControlFactory && skin > mControlFactory->GetSkinCount() - 1)
            skin = mControlFactory->GetSkinCount() - 1;
        if (skin < 0)
            skin = 0;
        SetSkin(skin);
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

KXRESULT LFrameworkApp::RunMainLoop()
{
    if (mRootWindows.GetCount() > 0) {
        const RCPtr<LRootWindow> main = mRootWindows.GetAt(0);
        main->RedrawNow();
    }
    OnRunStart();
    ProcessIdle(true);
    try {
        RunMessageLoop();
    } catch (...) {
        String text;
        String caption;
        if (mFrameworkStrings) {
            mFrameworkStrings->GetString(L"STARTUP_ERROR", text);
            mFrameworkStrings->GetString(L"STARTUP_ERROR_CAPTION", caption);
        }
        MessageBox(text.GetData(), caption.GetData(), MB_ICONERROR);
        RCPtr<LNotification> exitRequest;
        LNotification::Create(exitRequest, kExitRequestID);
        RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
        if (center)
            center->PostNotification(exitRequest);
    }
    ProcessIdle(true);
    return S_OK;
}

KXRESULT LFrameworkApp::OnRunStart()
{
    return S_OK;
}

KXRESULT LFrameworkApp::Shutdown()
{
    RCPtr<LControlFactory> factory = mControlFactory;
    mControlFactory = RCPtr<LControlFactory>();
    factory = RCPtr<LControlFactory>();
    RCPtr<LGlobalHotKeyManager> hotKeys = mHotKeyManager;
    mHotKeyManager = RCPtr<LGlobalHotKeyManager>();
    hotKeys = RCPtr<LGlobalHotKeyManager>();
    RCPtr<LClipboard> clipboard = mClipboard;
    mClipboard = RCPtr<LClipboard>();
    if (clipboard)
        clipboard->SetHost(nullptr);
    clipboard = RCPtr<LClipboard>();
    return S_OK;
}

KXRESULT LFrameworkApp::GetAppName(String& name)
{
    return GetProductName(name);
}

int32_t LFrameworkApp::GetCurrentSkinIndex()
{
    const int32_t file = GetSettingsFile(1);
    const RCPtr<LIniFileManager>& manager = GetIniFileManager();
    int32_t index = 0;
    if (file != 0 && manager)
        manager->GetIniValueInt(file, String(kSkinIndexKey), 0, index);
    return index;
}

KXRESULT LFrameworkApp::SetSkin(int32_t skinIndex)
{
    String face;
    float points = 0.0f;
    int32_t style = 0;
    KX_THROW_IF_FAILED(GetDefaultFont(face, points, style), "KX::LFrameworkApp::SetSkin", "Application/FrameworkApp",
                       228);
    if (mControlFactory) {
        mControlFactory->SetCurrentSkinIndex(skinIndex);
        mControlFactory->GetSkinFont(face, points, style);
    }
    mDefaultFontFace = face;
    mDefaultFontSize = points;
    mDefaultFontStyle = style;
    LFont::Create(mDefaultFont, face, points, style);
    ReapplySkinToRootWindows();

    const int32_t file = GetSettingsFile(1);
    const RCPtr<LIniFileManager>& manager = GetIniFileManager();
    if (file != 0 && manager)
        manager->SetIniValueInt(file, String(kSkinIndexKey), skinIndex);
    return S_OK;
}

void LFrameworkApp::ReapplySkinToRootWindows()
{
    const RCPtrArray<LRootWindow, 1, 0> windows = mRootWindows;
    for (int32_t i = 0; i < windows.GetCount(); ++i) {
        const RCPtr<LRootWindow>& window = windows.GetAt(i);
        CBusyCursor busy(String(L"Loading Skin..."));
        IWindowOSServices* services = window->GetOSServices();
        const bool active = services && services->IsActive();
        if (active)
            window->OnFocusLost();
        if (mControlFactory && window->GetRootControl())
            mControlFactory->ReapplyControlDescriptor(window->GetRootControl());
        const RectT<long> client = window->GetClientRect();
        window->Invalidate(RectT<long>(0, 0, client.width, client.height));
        if (active)
            window->OnFocusGained();
    }
}

KXRESULT LFrameworkApp::GetRenderer(RCPtr<LRenderer>& renderer)
{
    // Root window 0 owns the renderer.
    renderer = nullptr;
    if (mRootWindows.GetCount() > 0)
        renderer = mRootWindows.GetAt(0)->GetRenderer();
    return S_OK;
}

KXRESULT LFrameworkApp::GetDefaultFont(String& face, float& points, int32_t& style)
{
    face.Empty();
    points = 0.0f;
    style = 0;
    LOGFONTW font{};
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(font), &font, 0))
        return E_FAIL;
    face = font.lfFaceName;
    points = static_cast<float>(std::abs(font.lfHeight)) * 72.0f / 96.0f;
    if (font.lfWeight >= FW_BOLD)
        style |= 1;
    if (font.lfItalic)
        style |= 2;
    if (font.lfUnderline)
        style |= 4;
    if (font.lfStrikeOut)
        style |= 8;
    return S_OK;
}

KXRESULT LFrameworkApp::GetKeyState(int32_t virtualKey, bool& down, bool& toggled)
{
    const SHORT state = ::GetKeyState(virtualKey);
    down = (state & 0x8000) != 0;
    toggled = (state & 1) != 0;
    return S_OK;
}

HCURSOR LFrameworkApp::GetCursor(const String& name)
{
    return GetSystemCursor(name);
}

int32_t LFrameworkApp::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    // Owned by the active root window's window (else the main window's)
    // while the program has its main window.
    HWND owner = nullptr;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd) {
        RCPtr<LRootWindow> window = GetActiveRootWindow();
        if (!window)
            window = GetRootWindow(0);
        if (window && window->GetOSServices())
            owner = window->GetOSServices()->GetHandle();
    }
    return ShowMessageBox(owner, text, caption, type);
}

KXRESULT LFrameworkApp::GetWorkArea(RectT<int32_t>& area)
{
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return E_FAIL;
    area = RectT<int32_t>(work.left, work.top, work.right - work.left, work.bottom - work.top);
    return S_OK;
}

KXRESULT LFrameworkApp::GetSystemTime(int32_t (&parts)[8])
{
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    const WORD fields[8] = {now.wYear,   now.wMonth,  now.wDayOfWeek, now.wDay,
                            now.wHour,   now.wMinute, now.wSecond,    now.wMilliseconds};
    for (int i = 0; i < 8; ++i)
        parts[i] = fields[i];
    return S_OK;
}

int32_t LFrameworkApp::ShowCursor(bool show)
{
    return ::ShowCursor(show ? TRUE : FALSE);
}

KXRESULT LFrameworkApp::SetCursorPosition(int32_t x, int32_t y)
{
    return SetCursorPos(x, y) ? S_OK : E_FAIL;
}

KXRESULT LFrameworkApp::GetCursorPosition(PointT<int32_t>& point)
{
    const RCPtr<LRootWindow> active = GetActiveRootWindow();
    if (active && active->GetOSServices()) {
        PointT<long> client;
        active->GetOSServices()->GetCursorPosition(client);
        PointT<long> screen;
        const KXRESULT result = active->GetOSServices()->ClientToScreen(screen, client);
        point = PointT<int32_t>(screen.x, screen.y);
        return result;
    }
    POINT position{};
    if (!GetCursorPos(&position))
        return E_FAIL;
    point = PointT<int32_t>(position.x, position.y);
    return S_OK;
}

int32_t LFrameworkApp::GetMouseButtons()
{
    const RCPtr<LRootWindow> active = GetActiveRootWindow();
    if (active && active->GetOSServices())
        return active->GetOSServices()->GetMouseButtons();
    int32_t buttons = 0;
    if (::GetKeyState(VK_LBUTTON) & 0x8000)
        buttons |= 1;
    if (::GetKeyState(VK_MBUTTON) & 0x8000)
        buttons |= 2;
    if (::GetKeyState(VK_RBUTTON) & 0x8000)
        buttons |= 4;
    return buttons;
}

HWND LFrameworkApp::GetActiveRootWindowHandle()
{
    const RCPtr<LRootWindow>& window = GetActiveRootWindow();
    return window && window->GetOSServices() ? window->GetOSServices()->GetHandle() : nullptr;
}

HWND LFrameworkApp::GetClipboardOwnerWindow()
{
    const RCPtr<LRootWindow>& window = GetRootWindow(0);
    return window && window->GetOSServices() ? window->GetOSServices()->GetHandle() : nullptr;
}

RCPtr<IEditTarget> LFrameworkApp::GetFocusEditTarget()
{
    const RCPtr<LRootWindow>& window = GetActiveRootWindow();
    return window ? LControlEditTarget::ForControl(window->GetFocusControl()) : RCPtr<IEditTarget>();
}

BOOL LFrameworkApp::OnPowerBroadcast(WPARAM, LPARAM)
{
    return TRUE;
}

// ---- Status bar ----

RCPtr<LStatusBar> LFrameworkApp::GetStatusBar()
{
    return RCPtr<LStatusBar>();
}

KXRESULT LFrameworkApp::SetStatusText(const String& text, bool immediately)
{
    if (!GetRootWindow(0))
        return E_FAIL;
    const RCPtr<LStatusBar> statusBar = GetStatusBar();
    if (!statusBar)
        return E_FAIL;
    return immediately ? statusBar->SetTextNow(text) : statusBar->PostText(text);
}

KXRESULT LFrameworkApp::ResetStatusText(bool immediately)
{
    if (!GetRootWindow(0))
        return E_FAIL;
    const RCPtr<LStatusBar> statusBar = GetStatusBar();
    if (!statusBar)
        return E_FAIL;
    return SetStatusText(statusBar->GetDefaultText(), immediately);
}

bool LFrameworkApp::ProcessIdle(bool first)
{
    bool more = LNotificationCenterManager::GetInstance()->ProcessNotifications(first);
    // A window that closes leaves the list during its own idle step.
    const RCPtrArray<LRootWindow, 1, 0> windows = mRootWindows;
    for (int32_t i = windows.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LRootWindow>& window = windows.GetAt(i);
        if (FindRootWindow(window) >= 0 && window->Idle(first))
            more = true;
    }
    return more;
}

// ---- Root windows ----

int32_t LFrameworkApp::AddRootWindow(const RCPtr<LRootWindow>& rootWindow)
{
    if (!rootWindow)
        return E_INVALIDARG;
    const int32_t existing = FindRootWindow(rootWindow);
    if (existing >= 0)
        return existing;
    return mRootWindows.AddItem(rootWindow);
}

KXRESULT LFrameworkApp::RemoveRootWindow(const RCPtr<LRootWindow>& rootWindow)
{
    const int32_t index = FindRootWindow(rootWindow);
    if (index < 0)
        return E_FAIL;
    RCPtr<LRootWindow> removed;
    mRootWindows.RemoveItem(index, removed);
    return S_OK;
}

int32_t LFrameworkApp::FindRootWindow(const RCPtr<LRootWindow>& rootWindow) const
{
    if (!rootWindow)
        return -1;
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 0; --i) {
        if (mRootWindows.GetAt(i) == rootWindow)
            return i;
    }
    return -1;
}

const RCPtr<LRootWindow>& LFrameworkApp::GetActiveRootWindow() const
{
    for (int32_t i = mRootWindows.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LRootWindow>& window = mRootWindows.GetAt(i);
        if (window->GetOSServices() && window->GetOSServices()->IsActive())
            return window;
    }
    return RCPtr<LRootWindow>::sNull;
}

const RCPtr<LRootWindow>& LFrameworkApp::GetRootWindow(int32_t index) const
{
    if (index < 0 || index >= mRootWindows.GetCount())
        return RCPtr<LRootWindow>::sNull;
    return mRootWindows.GetAt(index);
}


BOOL LFrameworkApp::OnIdle(LONG idleCount)
{
    if (mExiting)
        return FALSE;
    const bool more = ProcessIdle(idleCount == 0);
    return more && idleCount < 2 ? TRUE : FALSE;
}

void LFrameworkApp::GetString(String& text, const wchar_t* identifier) const
{
    text.Empty();
    if (mAppStrings)
        mAppStrings->GetString(identifier, text);
}

void LFrameworkApp::GetStartupErrorTexts(String& text, String& caption) const
{
    text = L"The application encountered problems during startup and will now close.";
    caption = L"Error";
    if (mFrameworkStrings) {
        mFrameworkStrings->GetString(L"STARTUP_ERROR", text);
        mFrameworkStrings->GetString(L"STARTUP_ERROR_CAPTION", caption);
    }
}

void GetString(StringT<wchar_t, char>& text, const wchar_t* identifier)
{
    text.Empty();
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->GetString(text, identifier);
}

} // namespace KX

#include "Application/WindowCreation.h"

#include "Application/FrameworkApp.h"
#include "Application/OSWindow.h"
#include "Application/ProgramGlobals.h"
#include "Application/RootWindow.h"
#include "Application/WindowPlacement.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutDescriptor.h"
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinApp.h"
#include "ObjectBase/Exception.h"

namespace KX {

using String = StringT<wchar_t, char>;

namespace {

bool SameLimit(const LLayoutDescriptor::SizeLimitSpec& a, const LLayoutDescriptor::SizeLimitSpec& b)
{
    return a.mIsControl == b.mIsControl && a.mRel == b.mRel && a.mAbs == b.mAbs;
}

RECT WorkArea(LFrameworkApp& app)
{
    RectT<int32_t> work;
    if (app.GetWorkArea(work) < 0)
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return RECT{work.x, work.y, work.x + work.width, work.y + work.height};
}

void SetIcons(OSWindow& window, HICON icon)
{
    window.SetIcon(icon, FALSE);
    window.SetIcon(icon, TRUE);
}

// Moves a window rectangle inside the work area: right or down when its left
// or top edge lies outside, left or up when its right or bottom edge does.
RECT MoveInside(RECT r, const RECT& area)
{
    const LONG width = r.right - r.left;
    const LONG height = r.bottom - r.top;
    if (r.left < area.left)
        r.left = area.left;
    else if (r.left + width > area.right)
        r.left = area.right - width;
    if (r.top < area.top)
        r.top = area.top;
    else if (r.top + height > area.bottom)
        r.top = area.bottom - height;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

// The root window that secondary windows are made from: the active one,
// else root window 0.
RCPtr<LRootWindow> OwnerRootWindow(LFrameworkApp& app)
{
    RCPtr<LRootWindow> active = app.GetActiveRootWindow();
    if (!active && app.GetRootWindowCount() > 0)
        active = app.GetRootWindow(0);
    return active;
}

} // namespace

bool IsResizableLayout(const LLayoutDescriptor* layout)
{
    if (!layout)
        return true;
    const bool minimumZero = layout->mXMinimum.mAbs == 0 && layout->mXMinimum.mRel == 0 &&
                             layout->mYMinimum.mAbs == 0 && layout->mYMinimum.mRel == 0;
    const bool minimumIsMaximum =
        SameLimit(layout->mXMinimum, layout->mXMaximum) && SameLimit(layout->mYMinimum, layout->mYMaximum);
    const bool allReferToControls = layout->mXMinimum.mIsControl && layout->mYMinimum.mIsControl &&
                                    layout->mXMaximum.mIsControl && layout->mYMaximum.mIsControl;
    return !((!minimumZero && minimumIsMaximum) || allReferToControls);
}

DWORD MainWindowStyle(const LLayoutDescriptor* layout)
{
    if (!IsResizableLayout(layout))
        return kMainWindowFixedStyle;
    if (!layout)
        return kMainWindowMaximizeStyle;
    // No maximum size: the window may be maximised.
    if (layout->mXMaximum.mAbs == 0 && layout->mYMaximum.mAbs == 0 && !layout->mXMaximum.mIsControl &&
        !layout->mYMaximum.mIsControl)
        return kMainWindowMaximizeStyle;
    return kMainWindowSizingStyle;
}

DWORD RootWindowStyle(bool resizable, bool systemMenu, bool minimize, bool maximize)
{
    DWORD style = kRootWindowStyle;
    if (systemMenu || minimize || maximize) {
        style = kRootWindowSystemMenuStyle;
        if (maximize)
            style |= WS_MAXIMIZEBOX;
        if (minimize)
            style |= WS_MINIMIZEBOX;
    }
    if (resizable)
        style |= WS_THICKFRAME;
    return style;
}

KXRESULT CreateMainOSWindow(LFrameworkApp& app, int32_t rendererType, HICON icon, const std::string& operation,
                            OSWindow*& mainWindow)
{
    mainWindow = nullptr;
    String title;
    app.GetCompanyName(title);
    String controlName;
    app.GetMainControlName(controlName);
    RCPtr<LControlDescriptor> descriptor;
    if (app.GetControlFactory())
        descriptor = app.GetControlFactory()->FindControlDescriptor(controlName);
    if (!descriptor)
        KX_THROW(std::runtime_error, "Null Pointer : Invalid Control Name", operation.c_str(),
                 "Application/ApplicationBaseWin", 1234);

    const LLayoutDescriptor* layout = descriptor->GetLayoutDescriptor().Get();
    const DWORD style = MainWindowStyle(layout);
    const int x = layout ? static_cast<int>(layout->mXPosition.mAbs) : 0;
    const int y = layout ? static_cast<int>(layout->mYPosition.mAbs) : 0;
    const int width = layout ? static_cast<int>(layout->mXSize.mAbs) : CW_USEDEFAULT;
    const int height = layout ? static_cast<int>(layout->mYSize.mAbs) : CW_USEDEFAULT;

    // The object deletes itself when its window ends, a failed creation
    // included: after a failure it is gone.
    auto* window = new OSWindow;
    if (!window->CreateEx(0, GetUniqueAppNamePointer(), title.GetData(), style, x, y, width, height, nullptr,
                          nullptr))
        return E_FAIL;
    mainWindow = window;
    SetIcons(*window, icon);
    if (CWinApp* mfcApp = AfxGetApp())
        mfcApp->m_pMainWnd = window;
    const KXRESULT result = window->CreateRenderer(rendererType);

    // Where the window was last, inside the work area (checked again once
    // the root control gives the window its size).
    if (CWinApp* mfcApp = AfxGetApp()) {
        RestoreWindowPlacement(*mfcApp, GetUniqueAppNamePointer(), window->m_hWnd, WorkArea(app),
                               [window](RECT& r) { window->ConstrainWindowRect(r); });
    }
    return result;
}

void FitMainWindowToRootControl(LFrameworkApp& app, OSWindow& mainWindow)
{
    RECT current{};
    mainWindow.GetWindowRect(&current);
    const RECT fitted =
        ClampWindowRect(current, WorkArea(app), [&mainWindow](RECT& r) { mainWindow.ConstrainWindowRect(r); });
    mainWindow.MoveWindow(fitted, TRUE);
}

int32_t CreateRootOSWindow(LFrameworkApp& app, const RCPtr<LControl>& control, bool independent, bool systemMenu,
                           bool minimize, bool maximize, HWND owner, const String& controlName, HICON icon,
                           const std::string& operation)
{
    const int32_t index = app.GetRootWindowCount();
    RCPtr<LControlDescriptor> named;
    const LLayoutDescriptor* layout = nullptr;
    if (control) {
        layout = control->GetLayoutDescriptor().Get();
    } else if (app.GetControlFactory()) {
        named = app.GetControlFactory()->FindControlDescriptor(controlName);
        if (named)
            layout = named->GetLayoutDescriptor().Get();
    }
    if (!layout)
        KX_THROW(std::runtime_error, control || controlName.IsEmpty() ? "Null Pointer : Control descriptor is null"
                                                                      : "Null Pointer : Invalid Control Name",
                 operation.c_str(), "Application/ApplicationBaseWin", control || controlName.IsEmpty() ? 943 : 1001);
    const DWORD style = RootWindowStyle(IsResizableLayout(layout), systemMenu, minimize, maximize);

    String title;
    RECT rect{};
    RCPtr<LRootWindow> from = OwnerRootWindow(app);
    if (!control) {
        RCPtr<LStringTable> strings;
        app.GetControlFactory()->GetControlStringTable(strings, String(), controlName);
        if (strings)
            strings->GetString(L"LABEL", title);
        rect = RECT{static_cast<LONG>(layout->mXPosition.mAbs), static_cast<LONG>(layout->mYPosition.mAbs),
                    static_cast<LONG>(layout->mXPosition.mAbs + layout->mXSize.mAbs),
                    static_cast<LONG>(layout->mYPosition.mAbs + layout->mYSize.mAbs)};
    } else {
        title = control->GetText();
        const PointT<double> position = control->GetRootPosition();
        const RectT<double>& bounds = control->GetRect();
        PointT<long> screen(static_cast<long>(position.x), static_cast<long>(position.y));
        if (from && from->GetOSServices()) {
            from->GetOSServices()->ClientToScreen(screen, screen);
            owner = from->GetOSServices()->GetHandle();
        }
        rect = RECT{screen.x, screen.y, screen.x + static_cast<LONG>(bounds.width),
                    screen.y + static_cast<LONG>(bounds.height)};
    }

    auto* window = new OSWindow;
    if (!window->CreateEx(independent ? 0 : WS_EX_DLGMODALFRAME, L"KXFrameworkWindow", title.GetData(), style,
                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          independent ? nullptr : owner, nullptr))
        return E_FAIL; // the object ended with its failed creation
    window->CalcWindowRect(&rect);
    window->MoveWindow(MoveInside(rect, WorkArea(app)), TRUE);
    SetIcons(*window, icon);

    if (!control) {
        window->CreateRenderer(app.GetRendererType());
    } else if (from && from->GetRenderer()) {
        window->AttachRenderer(from->GetRenderer());
    } else {
        window->CreateRenderer(app.GetRendererType());
    }
    if (app.GetRootWindowCount() != index + 1) {
        window->DestroyWindow();
        return E_FAIL;
    }
    RCPtr<LRootWindow> root = app.GetRootWindow(index);
    if (!control) {
        // A window by name is the application's main window only while there
        // is none: the end of a secondary window must not end the program.
        CWinApp* mfcApp = AfxGetApp();
        if (mfcApp && !mfcApp->m_pMainWnd)
            mfcApp->m_pMainWnd = window;
        root->SetRootControl(controlName);
        window->ShowWindow(SW_SHOW);
        window->UpdateWindow();
    } else {
        root->SetRootControl(control);
    }
    return index;
}

} // namespace KX

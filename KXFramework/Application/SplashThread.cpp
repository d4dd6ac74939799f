#include "Application/SplashThread.h"

#include "Application/ProgramGlobals.h"
#include "Application/StartupErrorBox.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <process.h>

#include <atomic>

namespace KX {

struct SplashThread::Shared
{
    ~Shared() noexcept;
    Gdiplus::GpImage* image = nullptr; // owned
    UINT width = 0;
    UINT height = 0;
    StringT<wchar_t, char> title; // empty: no caption, a tool window
    HANDLE readyEvent = nullptr;  // signalled once the window is up
    std::atomic<HWND> window{nullptr};
    HWND progressBar = nullptr; // splash thread only
};

SplashThread::Shared::~Shared() noexcept
{
    if (image)
        Gdiplus::DllExports::GdipDisposeImage(image);
    if (readyEvent)
        CloseHandle(readyEvent);
}

namespace {

const wchar_t kWindowClass[] = L"SplashWnd";

void ReleaseImage(SplashThread::Shared& shared)
{
    if (shared.image)
        Gdiplus::DllExports::GdipDisposeImage(shared.image);
    shared.image = nullptr;
    shared.width = 0;
    shared.height = 0;
}

HINSTANCE SplashModule()
{
    return GetModuleInstance() ? GetModuleInstance() : GetModuleHandleW(nullptr);
}

void CreateProgressBar(HWND window, SplashThread::Shared& shared)
{
    RECT client{};
    GetClientRect(window, &client);
    shared.progressBar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 4, client.bottom - 20,
                                         client.right - 8, 16, window, nullptr, SplashModule(), nullptr);
    SendMessageW(shared.progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

LRESULT CALLBACK SplashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* shared = reinterpret_cast<SplashThread::Shared*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!shared)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        if (shared->image) {
            Gdiplus::GpGraphics* graphics = nullptr;
            if (Gdiplus::DllExports::GdipCreateFromHWND(window, &graphics) == Gdiplus::Ok) {
                Gdiplus::DllExports::GdipDrawImageRectI(graphics, shared->image, 0, 0,
                                                        static_cast<INT>(shared->width),
                                                        static_cast<INT>(shared->height));
                Gdiplus::DllExports::GdipDeleteGraphics(graphics);
            }
        }
        ValidateRect(window, nullptr);
        return 0;
    case SplashThread::kSetPositionMessage:
        if (!shared->progressBar)
            CreateProgressBar(window, *shared);
        SendMessageW(shared->progressBar, PBM_SETPOS, wParam, 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterSplashClass()
{
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SplashWindowProc;
    windowClass.hInstance = SplashModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The splash thread's message loop: the thread messages of the object, the
// step timer of the animation, and the window's own messages.
void RunSplashLoop(HWND window, SplashThread::Shared& shared)
{
    int32_t stepsLeft = 0;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window && message.wParam == SplashThread::kStepTimer) {
            SendMessageW(shared.progressBar, PBM_STEPIT, 0, 0);
            if (stepsLeft >= 2) {
                --stepsLeft;
            } else {
                KillTimer(window, SplashThread::kStepTimer);
                stepsLeft = 0;
            }
        } else if (!message.hwnd && message.message == SplashThread::kSetPositionMessage) {
            KillTimer(window, SplashThread::kStepTimer);
            stepsLeft = 0;
            SendMessageW(window, SplashThread::kSetPositionMessage, message.wParam, 0);
        } else if (!message.hwnd && message.message == SplashThread::kAnimateMessage) {
            const int32_t start = LOWORD(message.wParam);
            const int32_t end = HIWORD(message.wParam);
            const int32_t seconds = static_cast<int32_t>(message.lParam);
            KillTimer(window, SplashThread::kStepTimer);
            stepsLeft = 0;
            if (seconds <= 0) {
                // Nothing to animate over: the end position at once.
                SendMessageW(window, SplashThread::kSetPositionMessage, static_cast<WPARAM>(end), 0);
            } else {
                SendMessageW(window, SplashThread::kSetPositionMessage, static_cast<WPARAM>(start), 0);
                SendMessageW(shared.progressBar, PBM_SETSTEP, static_cast<WPARAM>((end - start) / (seconds * 4)), 0);
                stepsLeft = seconds * 4;
                SetTimer(window, SplashThread::kStepTimer, SplashThread::kStepPeriodMs, nullptr);
            }
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

SplashThread::SplashThread() : mShared(std::make_shared<Shared>()) {}

SplashThread::~SplashThread()
{
    Stop();
}

bool SplashThread::SetImage(Gdiplus::GpImage* image)
{
    if (mShared->image || !image)
        return HasImage();
    UINT width = 0;
    UINT height = 0;
    if (Gdiplus::DllExports::GdipGetImageWidth(image, &width) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImageHeight(image, &height) != Gdiplus::Ok || width == 0 || height == 0)
        return false;
    Gdiplus::GpImage* clone = nullptr;
    if (Gdiplus::DllExports::GdipCloneImage(image, &clone) != Gdiplus::Ok || !clone)
        return false;
    mShared->image = clone;
    mShared->width = width;
    mShared->height = height;
    return true;
}

bool SplashThread::HasImage() const
{
    return mShared->image != nullptr;
}

HWND SplashThread::GetWindow() const
{
    return mShared->window.load();
}

void SplashThread::Start()
{
    if (mThread || !HasImage())
        return;
    if (!mShared->readyEvent)
        mShared->readyEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto* share = new std::shared_ptr<Shared>(mShared);
    unsigned threadId = 0;
    mThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &SplashThread::ThreadMain, share, 0, &threadId));
    if (!mThread) {
        delete share;
        OutputDebugStringW(L"Error starting SplashThread\n");
        return;
    }
    mThreadId = threadId;
    // Ready, or a thread that gave up early: either ends the wait.
    HANDLE waits[2] = {mShared->readyEvent, mThread};
    if (WaitForMultipleObjects(2, waits, FALSE, kStartTimeoutMs) != WAIT_OBJECT_0)
        OutputDebugStringW(L"Error starting SplashThread\n");
}

void SplashThread::Stop()
{
    if (mThread) {
        PostThreadMessageW(mThreadId, WM_QUIT, 0, 0);
        const bool ended = WaitForSingleObject(mThread, kStopTimeoutMs) == WAIT_OBJECT_0;
        CloseHandle(mThread);
        mThread = nullptr;
        mThreadId = 0;
        if (!ended) {
            // Abandoned: the thread keeps its share of the image and window
            // data until it ends; this object starts afresh.
            mShared = std::make_shared<Shared>();
            return;
        }
    }
    ReleaseImage(*mShared);
    mShared->title.Empty();
}

void SplashThread::PostAnimate(int32_t start, int32_t end, int32_t seconds)
{
    if (mThreadId)
        PostThreadMessageW(mThreadId, kAnimateMessage, MAKEWPARAM(start, end), seconds);
}

void SplashThread::PostPosition(int32_t position)
{
    if (mThreadId)
        PostThreadMessageW(mThreadId, kSetPositionMessage, static_cast<WPARAM>(position), 0);
}

unsigned __stdcall SplashThread::ThreadMain(void* argument)
{
    std::unique_ptr<std::shared_ptr<Shared>> share(static_cast<std::shared_ptr<Shared>*>(argument));
    Shared& shared = **share;
    if (!shared.image)
        return 0;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterSplashClass()) {
        OutputDebugStringW(L"Unable to register class SplashWnd\n");
        return 0;
    }
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = static_cast<int>(shared.width);
    const int height = static_cast<int>(shared.height);
    const int x = (work.left + work.right - width) / 2;
    const int y = (work.top + work.bottom - height) / 2;
    HWND window = CreateWindowExW(shared.title.IsEmpty() ? WS_EX_TOOLWINDOW : 0, kWindowClass,
                                  shared.title.GetData(), WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                                  nullptr, SplashModule(), nullptr);
    if (!window) {
        // Start-up goes on without the splash; where no window can be made
        // the main window's failure ends it soon after.
        ReportStartupProblem(L"Unable to create SplashWnd: no splash screen");
        return 0;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&shared));
    shared.window = window;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists from here
    SetEvent(shared.readyEvent);

    RunSplashLoop(window, shared);

    DestroyWindow(window);
    shared.window = nullptr;
    shared.progressBar = nullptr;
    return 0;
}

} // namespace KX

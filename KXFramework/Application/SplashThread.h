// KX::SplashThread: the splash screen, a borderless window that shows an
// image with a progress bar while the program starts. It runs on a thread of
// its own, with its own message loop, so it stays responsive while the
// user-interface thread loads.
//
// Contract:
// - SetImage keeps a clone of the first decodable image it is given (the
//   GDI+ image of a KX::LBitmap); Start
//   without an image starts no thread (there would be nothing to show).
// - Start waits until the window is up (at most kStartTimeoutMs); a thread
//   that fails or does not get ready in time is reported to the debugger
//   output ("Error starting SplashThread") and never stops the program.
// - PostPosition and PostAnimate post the set-position (WM_USER + 2) and
//   animate (WM_USER + 4) thread messages. An animation from start to end
//   over s seconds steps the bar every 250 ms by (end - start) / (4 s),
//   4 s times; over 0 seconds (or less) it sets the end position at once.
//   A set position stops a running animation.
// - Stop posts WM_QUIT and waits up to kStopTimeoutMs for the thread. What
//   the thread uses (image, window data) is shared with it: a thread that
//   did not end in time keeps its share alive, and its handles are closed
//   all the same.
// - Every failure goes to the debugger output only.
// - The object is used on one thread (the user-interface thread); the window
//   and the progress bar belong to the splash thread.
#pragma once

#include "KXPlatform.h"
#include "Utilities/Graphics/GdiplusTypes.h"
#include "Utilities/Storage/StringT.h"

#include <memory>

namespace KX {

class SplashThread
{
public:
    static constexpr UINT kSetPositionMessage = WM_USER + 2; // wParam: position 0 to 100
    static constexpr UINT kAnimateMessage = WM_USER + 4;     // wParam: start | end << 16; lParam: seconds
    static constexpr DWORD kStartTimeoutMs = 5000;
    static constexpr DWORD kStopTimeoutMs = 1000;
    static constexpr UINT_PTR kStepTimer = 10;
    static constexpr UINT kStepPeriodMs = 250;

    SplashThread();
    // Stops the thread.
    ~SplashThread();
    SplashThread(const SplashThread&) = delete;
    SplashThread& operator=(const SplashThread&) = delete;

    // Clones the GDI+ image when none is held and it is decodable (a known
    // size). True when the splash now has an image.
    bool SetImage(Gdiplus::GpImage* image);
    bool HasImage() const;
    void Start();
    void Stop();
    void PostAnimate(int32_t start, int32_t end, int32_t seconds);
    void PostPosition(int32_t position);

    // The splash window (null until the thread made it).
    HWND GetWindow() const;
    // The thread's identifier (0 when it does not run).
    DWORD GetThreadId() const { return mThreadId; }

    // What the thread shares with the object (SplashThread.cpp).
    struct Shared;

private:
    static unsigned __stdcall ThreadMain(void* argument);

    std::shared_ptr<Shared> mShared;
    HANDLE mThread = nullptr;
    DWORD mThreadId = 0;
};

} // namespace KX

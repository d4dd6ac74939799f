// KX::LRootWindow: the framework's side of one top-level window. It owns the
// window's control tree (through its root control), routes the input of its
// OS window to the right control with capture, hover and keyboard focus,
// collects the areas that controls invalidate and paints them through the
// renderer, delivers the notifications posted to its own queue in the idle
// pass, and closes its window on request.
//
// Contract:
// - The root window is the distributor of its own queue: a notification posted
//   to it is delivered to its registered clients in its idle step. That self
//   reference counts as internal; so does the posting receiver's.
// - Every control pointer it holds refers to a control of its tree, or is null:
//   a control that left the tree (detached, or dropped by a new skin) is
//   forgotten before the next input reaches the window and in every idle
//   step (ForgetControlsOutsideTree).
// - While a control holds the capture, only that control can be the hover
//   control (over any other control the hover becomes none).
// - Input is ignored while the OS window is not active (buttons, moves, wheel).
//   A key with no focus control to take it still reaches the window's and the
//   application's key bindings (Alt+F4, the exit request, among them).
// - Painting keeps the renderer's state stack as it found it, also when a
//   control's paint throws (the exception passes on).
// - The dirty region is the only state other threads may touch: Invalidate and
//   TakeDirtyRegion hold the lock around every change of it. Everything else
//   runs on the user-interface thread.
// - The OS services are not counted; the OS window forgets itself here
//   (DetachOSServices) before it goes.
#pragma once

#include "Application/WindowOSServices.h"
#include "ControlBase/Control.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "System/GlobalHotKeyManager.h"
#include "System/Mutex.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectRegion.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>

namespace KX {

class LRenderer;

class LRootWindow : public LNotificationDistributor, public LNotificationQueue
{
public:
    using String = StringT<wchar_t, char>;

    // Kinds of MouseButton.
    static constexpr int32_t kPress = 0;
    static constexpr int32_t kRelease = 1;
    static constexpr int32_t kDoubleClick = 2;
    static constexpr int32_t kPointerCount = 10;

    // A root window over the renderer and the OS services, distributor of its
    // own queue. The OS window registers it with the application.
    static RCPtr<LRootWindow>& Create(RCPtr<LRootWindow>& out, const RCPtr<LRenderer>& renderer,
                                      IWindowOSServices* osServices);

    // ---- The root control ----

    // Creates the named control of the current skin for this window (an
    // empty name: no control) and sets it. 0.
    KXRESULT SetRootControl(const String& controlName);
    // Makes the control fill the window and gives it the focus. 0.
    KXRESULT SetRootControl(const RCPtr<LControl>& control);
    const RCPtr<LControl>& GetRootControl() const { return mRootControl; }

    // ---- Input from the OS window ----

    // The deepest control at a client point and the point in its coordinates
    // (null when there is none); with updateHover it becomes the hover
    // control. 0.
    virtual KXRESULT GetControlAtPoint(RCPtr<LControl>& control, const PointT<long>& point,
                                       PointT<long>& localPoint, bool updateHover);
    // kind 0 press, 1 release, 2 double click; button 1, 2 or 4.
    KXRESULT MouseButton(int32_t kind, int32_t button, int32_t modifiers, const PointT<long>& position,
                         int32_t pointer);
    KXRESULT MouseMove(const PointT<long>& position, int32_t modifiers, int32_t pointer);
    // direction 0 down, 1 up, 2 left, 3 right.
    KXRESULT MouseWheel(const PointT<long>& position, int32_t modifiers, int32_t direction);
    // To the focus control; without one, to the window's key bindings and
    // then the application's.
    KXRESULT KeyEvent(const RCPtr<LKeyParam>& param);

    // ---- Focus, capture, hover ----

    KXRESULT SetFocusControl(const RCPtr<LControl>& control);
    // The focus control is put aside as the saved one; no focus control.
    KXRESULT SaveFocus();
    KXRESULT OnFocusLost();
    KXRESULT OnFocusGained();
    // E_INVALIDARG for null; the previous capture control ends its capture.
    KXRESULT SetCaptureControl(const RCPtr<LControl>& control);
    // No capture control, without telling the control. 0.
    KXRESULT ReleaseCaptureControl();
    // The OS ended the pointer capture: the capture control ends its capture.
    KXRESULT OnCaptureLost();
    KXRESULT SetHoverControl(const RCPtr<LControl>& control);
    // The pointer left the client area: no hover control, so the hover look
    // and the tool tip end as over an empty spot. S_FALSE when none was set.
    KXRESULT PointerLeft();
    // Tab at the top of the tree: the next root window, or the first control.
    KXRESULT CycleFocus(const KeyCode& key);

    const RCPtr<LControl>& GetFocusControl() const { return mFocusControl; }
    const RCPtr<LControl>& GetSavedFocusControl() const { return mSavedFocusControl; }
    const RCPtr<LControl>& GetHoverControl() const { return mHoverControl; }
    const RCPtr<LControl>& GetToolTipControl() const { return mToolTipControl; }
    const RCPtr<LControl>& GetCaptureControl() const { return mCaptureControl; }

    // Whether the control belongs to this window's tree: the root control, or
    // a control that every ancestor up to the root control lists as its child.
    bool IsInTree(const RCPtr<LControl>& control) const;
    // Drops the focus, saved focus, hover, tool-tip and capture controls that
    // are no longer in the tree. 0, or 1 when none was dropped.
    KXRESULT ForgetControlsOutsideTree();

    // ---- Painting ----

    // Clips the client rectangle to the client area and adds it to the dirty
    // region and to the OS window's invalid area; nothing outside. 0.
    KXRESULT Invalidate(const RectT<long>& rect);
    // Invalidates everything, repaints at once and puts the frame on the
    // display, so that it shows during a blocking call that follows.
    KXRESULT RedrawNow();
    // Moves the dirty region (and a pending full repaint) into `region`.
    void TakeDirtyRegion(LRectRegion& region);
    // Draws the root control into the region through the renderer. When the
    // renderer's current context asks for a complete redraw, nothing is
    // drawn: the whole OS window is invalidated instead.
    KXRESULT Paint(const LRectRegion& region);
    KXRESULT PaintControl(const RCPtr<LControl>& control, const LRectRegion& region, bool topLevel);
    void SetFullRepaint() { mFullRepaint = true; }
    bool IsFullRepaintPending() const { return mFullRepaint; }
    // A copy of the dirty region (for inspection; painting takes it).
    LRectRegion GetDirtyRegion();

    // ---- Window geometry ----

    KXRESULT OnSize(const PointT<long>& size);
    // Limits a proposed client size by the root control's layout; true when
    // it changed.
    bool ConstrainSize(int32_t& width, int32_t& height);
    // Screen coordinates; only when it differs from the client rectangle.
    KXRESULT SetWindowRect(const RectT<long>& rect);
    // The client area: origin on the screen, client size (read again).
    RectT<long> GetClientRect();
    int32_t GetMouseButtons();
    KXRESULT GetCursorPosition(PointT<long>& point);
    int32_t GetModifierKeys();
    // 0 stands for the application's arrow; answers the previous cursor.
    HCURSOR SetCursor(HCURSOR cursor);
    KXRESULT EnableTextInput(bool enable, const RCPtr<LControl>& control);

    // ---- Closing and idle ----

    // Marks the window to be closed with the code in the next idle step.
    // E_FAIL without an OS window.
    KXRESULT RequestClose(int32_t code);
    // The close command of a window that is not the main window.
    KXRESULT CloseRequest();
    // Delivers the own queue and performs a pending close; whether
    // notifications are left.
    bool Idle(bool first);
    bool IsClosePending() const { return mClosePending; }

    // ---- Services ----

    IWindowOSServices* GetOSServices() const { return mOSServices; }
    void DetachOSServices() { mOSServices = nullptr; }
    const RCPtr<LRenderer>& GetRenderer() const { return mRenderer; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const { return mLocalHotKeys; }
    int32_t GetPointerButtons(int32_t pointer) const;

    // Unregisters the clients, forgets the OS services, drops the root
    // control and shuts the queue down.
    KXRESULT ReleaseInternalReferences() override;

protected:
    LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* osServices);
    ~LRootWindow() override;

private:
    class StateDepthScope;

    // The point relative to a control's position in the tree.
    static PointT<long> ToControl(const RCPtr<LControl>& control, const PointT<long>& point);
    void HideToolTip();
    // The window's key bindings, then the application's: 1 when neither binds
    // the key.
    KXRESULT ProcessHotKeys(const KeyCode& key);
    RCPtr<LControl> ResolveToolTipOwner(const RCPtr<LControl>& control) const;
    void PaintUnclipped(RCPtrArray<LControl>& unclipped, const LRectRegion& region);
    // Whether the renderer's current context asks for a complete redraw.
    bool IsCompleteRedrawRequested() const;

    RCPtr<LRenderer> mRenderer;
    IWindowOSServices* mOSServices;
    RectT<long> mClientRect{0, 0, 1024, 768};
    RCPtr<LControl> mRootControl;
    LRectRegion mDirtyRegion;
    Mutex mLock;
    bool mFullRepaint = false;
    uint32_t mDoubleClickBits = 0; // per button 1, 2, 4
    RCPtr<LGlobalHotKeyManager> mLocalHotKeys;
    RCPtr<LControl> mFocusControl;
    RCPtr<LControl> mSavedFocusControl;
    RCPtr<LControl> mHoverControl;
    RCPtr<LControl> mToolTipControl;
    RCPtr<LControl> mCaptureControl;
    bool mClosePending = false;
    int32_t mCloseCode = 0;
    int32_t mPointerButtons[kPointerCount] = {};
};

} // namespace KX

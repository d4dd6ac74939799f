// KX::IWindowOSServices: what a root window and its controls ask of the
// operating-system window they live in. The root window never calls Win32
// itself; the OS window implements this interface over its window handle.
//
// Contract:
// - Rectangles and points are {x, y, width, height} and {x, y} in pixels;
//   client coordinates unless an operation says screen coordinates.
// - Results are 0 on success; an operation on a window whose handle is gone
//   answers E_FAIL where it says so and otherwise does nothing.
// - Not counted: the OS window owns its root window and outlives every call
//   made through this interface; the root window forgets the pointer when it
//   is detached.
// - User-interface thread only.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LControl;

class IWindowOSServices
{
public:
    virtual ~IWindowOSServices() = default;

    // The window's title (and its parent frame's). E_FAIL without a window.
    virtual KXRESULT SetTitle(const StringT<wchar_t, char>& text) = 0;
    // The whole client area, with erase, for the next paint.
    virtual KXRESULT InvalidateAll() = 0;
    // One client rectangle, without erase, for the next paint.
    virtual KXRESULT InvalidateRect(const RectT<long>& rect) = 0;
    // The client area as {left, top, width, height}; untouched when inverted.
    virtual KXRESULT GetClientRect(RectT<long>& rect) = 0;
    virtual KXRESULT ScreenToClient(PointT<long>& out, const PointT<long>& point) = 0;
    virtual KXRESULT ClientToScreen(PointT<long>& out, const PointT<long>& point) = 0;
    // Moves and sizes the window so that its client area covers the
    // rectangle (screen coordinates).
    virtual KXRESULT SetWindowRect(const RectT<long>& rect) = 0;
    // A show command; whether the window was visible before.
    virtual bool Show(int32_t showCommand) = 0;
    // Invalidates, erases and repaints at once, and puts the frame on the
    // display before it returns (the caller may block next). E_FAIL when
    // the repaint fails.
    virtual KXRESULT Redraw() = 0;
    virtual KXRESULT BringToTop() = 0;
    virtual KXRESULT SetTopMost(bool topMost) = 0;
    // Ends a modal loop with the result, else destroys the window.
    virtual KXRESULT Close(int32_t result) = 0;
    // The modal result.
    virtual int32_t RunModalLoop() = 0;
    virtual bool IsModal() = 0;
    virtual bool IsActive() = 0;
    virtual bool HasFocus() = 0;
    virtual KXRESULT SetFocus() = 0;
    // Sets the cursor shared by every window; answers the previous one.
    virtual HCURSOR SetCursor(HCURSOR cursor) = 0;
    // The pointer in client coordinates.
    virtual KXRESULT GetCursorPosition(PointT<long>& point) = 0;
    // The buttons held: left 1, middle 2, right 4.
    virtual int32_t GetMouseButtons() = 0;
    virtual HWND GetHandle() = 0;
    // A text-input control gained (enable) or lost the focus.
    virtual KXRESULT EnableTextInput(bool enable, const RCPtr<LControl>& control) = 0;
};

} // namespace KX

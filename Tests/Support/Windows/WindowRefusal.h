// Windows whose creation a test refuses, in each way the system can: a
// WH_CBT creation hook answering "no" (the window never gets a message), or
// the window itself failing WM_NCCREATE or WM_CREATE (it is made, then ends
// with WM_NCDESTROY). The test's own creation hook chooses the windows;
// RefuseWindow does the refusing.
#pragma once

#include <windows.h>

namespace TestScreen {

enum class Refusal
{
    CreationHook, // the hook answers HCBT_CREATEWND with "no"
    NcCreate,     // the window answers WM_NCCREATE with FALSE
    Create,       // the window answers WM_CREATE with -1
};

namespace RefusalDetail {

inline Refusal sRefusal = Refusal::CreationHook;
inline WNDPROC sInnerProcedure = nullptr;

inline LRESULT CALLBACK FailingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE && sRefusal == Refusal::NcCreate)
        return FALSE;
    if (message == WM_CREATE && sRefusal == Refusal::Create)
        return -1;
    return CallWindowProcW(sInnerProcedure, window, message, wParam, lParam);
}

} // namespace RefusalDetail

// Called by a WH_CBT hook at HCBT_CREATEWND for a window it refuses: answers
// what the hook must return (1 for a refusal by the hook itself), or 0 after
// giving the window a procedure that fails its creation message, when the
// hook goes on with CallNextHookEx. Install the hook before the creation, so
// that it runs after a window object's own creation hook has attached it.
inline LRESULT RefuseWindow(HWND window, Refusal refusal)
{
    if (refusal == Refusal::CreationHook)
        return 1;
    RefusalDetail::sRefusal = refusal;
    RefusalDetail::sInnerProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusalDetail::FailingProcedure)));
    return 0;
}

} // namespace TestScreen

// The main window's placement in the MFC application profile (section: the
// unique application name, entry "WP"), and the rule that keeps a window
// inside the desktop's work area.
//
// Contract:
// - A saved placement is used only when it is exactly one WINDOWPLACEMENT
//   record (by its byte count and by its own length field); anything else in
//   the entry is ignored as if nothing were saved.
// - ClampWindowRect: a window larger than the area is first cut to the
//   area's width or height (its left and top edges stay), then given the
//   caller's size rules, then moved inside the area: left and top edges onto
//   the area, right and bottom edges back into it; a window that stays wider
//   or taller than the area keeps its left or top edge at the area's.
#pragma once

#include "KXPlatform.h"

#include <functional>

class CWinApp;

namespace KX {

constexpr const wchar_t* kWindowPlacementEntry = L"WP";

// Writes the window's placement under (section, "WP"); false when the window
// or the profile refuses.
bool SaveWindowPlacement(CWinApp& app, const wchar_t* section, HWND window);

// The saved placement; false when there is none or it is not one whole
// record.
bool LoadWindowPlacement(CWinApp& app, const wchar_t* section, WINDOWPLACEMENT& placement);

// Size rules of a window: change the proposed window rectangle's right and
// bottom edges where the size is not allowed.
using ConstrainWindowRectFunction = std::function<void(RECT& window)>;

RECT ClampWindowRect(const RECT& window, const RECT& area, const ConstrainWindowRectFunction& constrain);

// Applies the saved placement (when there is one whole record) and restores
// a minimised window, then moves the window inside the area with
// ClampWindowRect, repainting.
void RestoreWindowPlacement(CWinApp& app, const wchar_t* section, HWND window, const RECT& area,
                            const ConstrainWindowRectFunction& constrain);

} // namespace KX

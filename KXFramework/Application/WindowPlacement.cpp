#include "Application/WindowPlacement.h"

#include "MfcLite/WinApp.h"

#include <memory>

namespace KX {

bool SaveWindowPlacement(CWinApp& app, const wchar_t* section, HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
        return false;
    return app.WriteProfileBinary(section, kWindowPlacementEntry, reinterpret_cast<const BYTE*>(&placement),
                                  sizeof(placement)) != FALSE;
}

bool LoadWindowPlacement(CWinApp& app, const wchar_t* section, WINDOWPLACEMENT& placement)
{
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!app.GetProfileBinary(section, kWindowPlacementEntry, &data, &bytes))
        return false;
    std::unique_ptr<BYTE[]> owned(data);
    if (bytes != sizeof(WINDOWPLACEMENT))
        return false;
    WINDOWPLACEMENT saved;
    memcpy(&saved, owned.get(), sizeof(saved));
    if (saved.length != sizeof(WINDOWPLACEMENT))
        return false;
    placement = saved;
    return true;
}

RECT ClampWindowRect(const RECT& window, const RECT& area, const ConstrainWindowRectFunction& constrain)
{
    RECT r = window;
    const LONG areaWidth = area.right - area.left;
    const LONG areaHeight = area.bottom - area.top;
    if (r.right - r.left > areaWidth)
        r.right = r.left + areaWidth;
    if (r.bottom - r.top > areaHeight)
        r.bottom = r.top + areaHeight;
    if (constrain)
        constrain(r);

    const LONG width = r.right - r.left;
    const LONG height = r.bottom - r.top;
    if (r.left < area.left) {
        r.left = area.left;
        r.right = r.left + width;
    }
    if (r.top < area.top) {
        r.top = area.top;
        r.bottom = r.top + height;
    }
    if (r.right > area.right) {
        r.right = areaWidth >= width ? area.right : area.left + width;
        r.left = r.right - width;
    }
    if (r.bottom > area.bottom) {
        r.bottom = areaHeight >= height ? area.bottom : area.top + height;
        r.top = r.bottom - height;
    }
    return r;
}

void RestoreWindowPlacement(CWinApp& app, const wchar_t* section, HWND window, const RECT& area,
                            const ConstrainWindowRectFunction& constrain)
{
    WINDOWPLACEMENT placement;
    if (LoadWindowPlacement(app, section, placement)) {
        SetWindowPlacement(window, &placement);
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
    }
    RECT current{};
    GetWindowRect(window, &current);
    const RECT clamped = ClampWindowRect(current, area, constrain);
    MoveWindow(window, clamped.left, clamped.top, clamped.right - clamped.left, clamped.bottom - clamped.top, TRUE);
}

} // namespace KX

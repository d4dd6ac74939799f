#include "Controls/MenuPlacement.h"

#include <cmath>

namespace KX {
namespace MenuPlacement {

long ClampToWindow(long pointer, long size, long limit)
{
    long value = pointer;
    if (value + size > limit)
        value = limit - size;
    if (value < 0)
        value = 0;
    return value;
}

PointT<long> PlaceAtPointer(const PointT<long>& pointer, const PointT<long>& size, const PointT<long>& window)
{
    return PointT<long>(ClampToWindow(pointer.x, size.x, window.x), ClampToWindow(pointer.y, size.y, window.y));
}

PointT<long> PlaceSubmenu(const RectT<double>& row, const PointT<long>& popupOrigin, const PointT<long>& size,
                          const PointT<long>& window)
{
    const long rightOfRow = static_cast<long>(std::trunc(row.x + row.width));
    long x = rightOfRow;
    if (size.x + x + popupOrigin.x > window.x)
        x = -size.x;
    if (popupOrigin.x + x < 0)
        x = rightOfRow;

    long y = static_cast<long>(std::trunc(row.y));
    if (size.y + y + popupOrigin.y > window.y)
        y = window.y - popupOrigin.y - size.y;
    if (popupOrigin.y + y < 0)
        y = 0;
    return PointT<long>(x, y);
}

double FitTitlePopupX(double x, double popupWidth, double rootWidth)
{
    if (x + popupWidth > rootWidth) {
        x = rootWidth - popupWidth;
        if (x < 0.0)
            x = 0.0;
    }
    return x;
}

} // namespace MenuPlacement
} // namespace KX

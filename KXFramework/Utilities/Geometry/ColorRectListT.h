// KX::ColorRectListT<T>: rectangles, each with its own packed colour
// (0xAARRGGBB), filled in one renderer call and scaled by one horizontal and
// one vertical factor (a level meter's segments, for example).
//
// Contract:
// - Rectangle i has colour i; the two lists always have the same length.
// - As with KX::PolylineT, a renderer that caches the list keys it by its
//   address (GetHandle); whoever changes the rectangles sets the changed flag
//   and the renderer that rebuilds clears it.
#pragma once

#include "Utilities/Geometry/RectT.h"

#include <cstdint>
#include <vector>

namespace KX {

template <class T>
class ColorRectListT
{
public:
    ColorRectListT() = default;

    // The cache key of a list: its address, pointer-sized.
    static intptr_t GetHandle(const ColorRectListT& list) { return reinterpret_cast<intptr_t>(&list); }

    // Appends a rectangle with its colour and marks the list changed.
    void AddRect(const RectT<T>& rect, uint32_t argb)
    {
        mRects.push_back(rect);
        mColors.push_back(argb);
        mChanged = true;
    }
    // Replaces rectangle i and its colour and marks the list changed.
    void SetRect(int32_t index, const RectT<T>& rect, uint32_t argb)
    {
        mRects[static_cast<size_t>(index)] = rect;
        mColors[static_cast<size_t>(index)] = argb;
        mChanged = true;
    }
    void RemoveAll()
    {
        mRects.clear();
        mColors.clear();
        mChanged = true;
    }

    int32_t GetCount() const { return static_cast<int32_t>(mRects.size()); }
    const RectT<T>& GetRect(int32_t index) const { return mRects[static_cast<size_t>(index)]; }
    uint32_t GetColor(int32_t index) const { return mColors[static_cast<size_t>(index)]; }

    T GetScaleX() const { return mScaleX; }
    T GetScaleY() const { return mScaleY; }
    void SetScale(T scaleX, T scaleY)
    {
        mScaleX = scaleX;
        mScaleY = scaleY;
        mChanged = true;
    }

    bool IsChanged() const { return mChanged; }
    void SetChanged(bool changed = true) const { mChanged = changed; }
    void ClearChanged() const { mChanged = false; }

private:
    std::vector<RectT<T>> mRects;
    std::vector<uint32_t> mColors;
    T mScaleX = 1;
    T mScaleY = 1;
    mutable bool mChanged = true;
};

} // namespace KX

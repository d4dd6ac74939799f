// KX::PolylineT<T>: a list of points with a line width, drawn by the renderers
// as separate segments, an open line, a closed outline or a filled polygon.
//
// Contract:
// - The renderers cache what they build from a polyline by its identity
//   (GetHandle, the object's address), not by its points. Whoever changes the
//   points sets the changed flag; the renderer that rebuilds its cached shape
//   clears it. The flag can be cleared through a const polyline because it
//   describes the renderer's cache, not the points.
// - A polyline that is drawn with keep-cached true must outlive its cache
//   entries or be invalidated by changing it: its address is the key.
#pragma once

#include "Utilities/Geometry/PointT.h"

#include <cstdint>
#include <vector>

namespace KX {

template <class T>
class PolylineT
{
public:
    PolylineT() = default;
    explicit PolylineT(T lineWidth) : mLineWidth(lineWidth) {}

    // The cache key of a polyline: its address, pointer-sized.
    static intptr_t GetHandle(const PolylineT& polyline) { return reinterpret_cast<intptr_t>(&polyline); }

    // Appends a point and marks the polyline changed.
    void AddPoint(const PointT<T>& point)
    {
        mPoints.push_back(point);
        mChanged = true;
    }
    void AddPoint(T x, T y) { AddPoint(PointT<T>(x, y)); }
    // Replaces a point and marks the polyline changed.
    void SetPoint(int32_t index, const PointT<T>& point)
    {
        mPoints[static_cast<size_t>(index)] = point;
        mChanged = true;
    }
    // Removes every point and marks the polyline changed.
    void RemoveAll()
    {
        mPoints.clear();
        mChanged = true;
    }

    int32_t GetCount() const { return static_cast<int32_t>(mPoints.size()); }
    const PointT<T>& GetPoint(int32_t index) const { return mPoints[static_cast<size_t>(index)]; }
    const PointT<T>* GetData() const { return mPoints.data(); }

    T GetLineWidth() const { return mLineWidth; }
    void SetLineWidth(T width)
    {
        mLineWidth = width;
        mChanged = true;
    }

    bool IsChanged() const { return mChanged; }
    void SetChanged(bool changed = true) const { mChanged = changed; }
    void ClearChanged() const { mChanged = false; }

private:
    std::vector<PointT<T>> mPoints;
    T mLineWidth = 1;
    mutable bool mChanged = true;
};

} // namespace KX

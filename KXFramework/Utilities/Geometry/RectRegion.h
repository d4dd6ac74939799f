// KX::LRectRegion: an area of the pixel plane held as a singly linked list of
// rectangles that do not overlap, newest first. It collects what has to be
// repainted; its nodes come from the program-wide LRectRegionNodePool.
//
// Contract:
// - Rectangles given as four integers are left, top, right, bottom and cover
//   left <= x < right, top <= y < bottom. Empty rectangles are never stored.
// - No two rectangles of a region overlap, except after Append of a region
//   that overlaps this one (Normalize repairs that).
// - A region has no lock; its owner serialises access to it.
#pragma once

#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectRegionNodePool.h"
#include "Utilities/Geometry/RectT.h"

#include <vector>

namespace KX {

template <class T> class IArray;

class LRectRegion
{
public:
    LRectRegion() = default;
    ~LRectRegion();
    LRectRegion(const LRectRegion& other);
    LRectRegion& operator=(const LRectRegion& other);
    LRectRegion(LRectRegion&& other) noexcept;
    LRectRegion& operator=(LRectRegion&& other) noexcept;

    // Adds the area: the overlapping parts already held are cut out first, then
    // the rectangle goes to the head of the list.
    void AddRect(long left, long top, long right, long bottom);
    // Adds a double rectangle: each of x, y, width and height has 0.5 added and
    // is truncated toward zero, clamped to the 32-bit range (NaN gives the
    // lower limit); right and bottom are left + width and top + height, clamped.
    void AddRect(const RectT<double>& rect);

    // Cuts the rectangle out. The cut-out pieces go to the head of `removed`
    // when it is given, else back to the pool.
    void SubtractRect(long left, long top, long right, long bottom, LRectRegion* removed = nullptr);
    // SubtractRect for each rectangle of the other region, in its list order.
    void Subtract(const LRectRegion& other, LRectRegion* removed = nullptr);
    // Keeps only the parts inside the other region.
    void Intersect(const LRectRegion& other);
    // Adds copies of the other region's rectangles without removing overlaps.
    void Append(const LRectRegion& other);
    // Moves every rectangle (saturating at the 32-bit limits).
    void Offset(long dx, long dy);
    // Rewrites the list into horizontal bands sorted by top, then left, with
    // neighbours merged inside a band and equal spans merged across bands. The
    // covered area stays the same; the number of rectangles may fall or rise.
    void Normalize();

    // The bounding box; an empty region gives {0, 0, 0, 0} and false.
    bool GetBounds(long& left, long& top, long& right, long& bottom) const;
    // The same as {x, y, width, height}.
    bool GetBounds(RectT<long>& bounds) const;
    long GetCount() const;
    bool IsEmpty() const { return mHead == nullptr; }
    // Empties the sink, then appends every rectangle in list order as
    // {x = left, y = top, width = right - left, height = bottom - top}.
    void Enumerate(IArray<RectT<long>>& sink) const;

    // True when any rectangle overlaps the given one (touching is no overlap).
    bool Intersects(long left, long top, long right, long bottom) const;
    // The double rectangle moved by the offset, cut to x, y >= 0 and right,
    // bottom <= 2^31 - 1; false when it is no wider or taller than 2^-52,
    // else rounded by rule 1 and tested as integers.
    bool Intersects(const RectT<double>& rect, const PointT<double>& offset) const;

    // Gives every node back to the pool.
    void Clear();

    // The first node of the list (null when empty), for walking it in order.
    const LRectRegionNode* GetHead() const { return mHead; }

private:
    struct Box
    {
        long left, top, right, bottom;
    };

    void Push(long left, long top, long right, long bottom);
    void PushNode(LRectRegionNode* node);
    std::vector<Box> GetBoxes() const;
    static bool Overlaps(const LRectRegionNode& node, long left, long top, long right, long bottom);

    LRectRegionNode* mHead = nullptr;
};

} // namespace KX

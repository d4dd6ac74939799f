#include "Utilities/Geometry/RectRegion.h"

#include "Utilities/Storage/IArray.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

namespace KX {

namespace {

long ClampToLong(long long value)
{
    if (value < INT32_MIN)
        return INT32_MIN;
    if (value > INT32_MAX)
        return INT32_MAX;
    return static_cast<long>(value);
}

// Truncation toward zero with the limits of rule 1: NaN and values below the
// integer range give INT_MIN, values above it INT_MAX.
long TruncateClamped(double value)
{
    if (!(value >= -2147483648.0))
        return INT32_MIN;
    if (value > 2147483647.0)
        return INT32_MAX;
    return static_cast<long>(value);
}

LRectRegionNodePool& Pool()
{
    return LRectRegionNodePool::GetInstance();
}

} // namespace

LRectRegion::~LRectRegion()
{
    Clear();
}

LRectRegion::LRectRegion(const LRectRegion& other)
{
    Append(other);
}

LRectRegion& LRectRegion::operator=(const LRectRegion& other)
{
    if (this != &other) {
        Clear();
        Append(other);
    }
    return *this;
}

LRectRegion::LRectRegion(LRectRegion&& other) noexcept : mHead(other.mHead)
{
    other.mHead = nullptr;
}

LRectRegion& LRectRegion::operator=(LRectRegion&& other) noexcept
{
    if (this != &other) {
        Clear();
        mHead = other.mHead;
        other.mHead = nullptr;
    }
    return *this;
}

bool LRectRegion::Overlaps(const LRectRegionNode& n, long left, long top, long right, long bottom)
{
    const bool horizontal = n.left < left ? left < n.right : n.left < right;
    const bool vertical = n.top < top ? top < n.bottom : n.top < bottom;
    return horizontal && vertical;
}

void LRectRegion::PushNode(LRectRegionNode* node)
{
    node->next = mHead;
    mHead = node;
}

void LRectRegion::Push(long left, long top, long right, long bottom)
{
    LRectRegionNode* node = Pool().Alloc();
    node->left = left;
    node->top = top;
    node->right = right;
    node->bottom = bottom;
    PushNode(node);
}

std::vector<LRectRegion::Box> LRectRegion::GetBoxes() const
{
    std::vector<Box> boxes;
    for (const LRectRegionNode* n = mHead; n; n = n->next)
        boxes.push_back(Box{n->left, n->top, n->right, n->bottom});
    return boxes;
}

void LRectRegion::AddRect(long left, long top, long right, long bottom)
{
    if (right <= left || bottom <= top)
        return;
    SubtractRect(left, top, right, bottom);
    Push(left, top, right, bottom);
}

void LRectRegion::AddRect(const RectT<double>& rect)
{
    const long left = TruncateClamped(rect.x + 0.5);
    const long top = TruncateClamped(rect.y + 0.5);
    const long width = TruncateClamped(rect.width + 0.5);
    const long height = TruncateClamped(rect.height + 0.5);
    AddRect(left, top, ClampToLong(static_cast<long long>(left) + width),
            ClampToLong(static_cast<long long>(top) + height));
}

void LRectRegion::SubtractRect(long left, long top, long right, long bottom, LRectRegion* removed)
{
    // An empty rectangle covers nothing; the overlap test alone would let it
    // split nodes into pieces and hand out an empty one.
    if (right <= left || bottom <= top)
        return;
    if (removed == this)
        removed = nullptr;

    // Pieces go to the head of the list; they are gathered apart and put in
    // front once the walk is over, which gives the same list and keeps the
    // walk away from them.
    LRectRegionNode* pieces = nullptr;
    LRectRegionNode* piecesTail = nullptr;
    const auto pushPiece = [&](long l, long t, long r, long b) {
        LRectRegionNode* node = Pool().Alloc();
        *node = LRectRegionNode{l, t, r, b, pieces};
        pieces = node;
        if (!piecesTail)
            piecesTail = node;
    };

    LRectRegionNode** link = &mHead;
    while (LRectRegionNode* n = *link) {
        if (!Overlaps(*n, left, top, right, bottom)) {
            link = &n->next;
            continue;
        }
        if (n->top < top) {
            pushPiece(n->left, n->top, n->right, top);
            n->top = top;
        }
        if (bottom < n->bottom) {
            pushPiece(n->left, bottom, n->right, n->bottom);
            n->bottom = bottom;
        }
        if (n->left < left) {
            pushPiece(n->left, n->top, left, n->bottom);
            n->left = left;
        }
        if (right < n->right) {
            pushPiece(right, n->top, n->right, n->bottom);
            n->right = right;
        }
        *link = n->next; // n is now the overlap: unlink it
        if (removed)
            removed->PushNode(n);
        else
            Pool().Free(n);
    }
    if (pieces) {
        piecesTail->next = mHead;
        mHead = pieces;
    }
}

void LRectRegion::Subtract(const LRectRegion& other, LRectRegion* removed)
{
    // A copy of the other list, so that a region may be cut by itself.
    for (const Box& b : other.GetBoxes())
        SubtractRect(b.left, b.top, b.right, b.bottom, removed);
}

void LRectRegion::Intersect(const LRectRegion& other)
{
    LRectRegion inside;
    Subtract(other, &inside);
    Clear();
    mHead = inside.mHead;
    inside.mHead = nullptr;
}

void LRectRegion::Append(const LRectRegion& other)
{
    for (const Box& b : other.GetBoxes())
        Push(b.left, b.top, b.right, b.bottom);
}

void LRectRegion::Offset(long dx, long dy)
{
    if (dx == 0 && dy == 0)
        return;
    LRectRegionNode** link = &mHead;
    while (LRectRegionNode* n = *link) {
        n->left = ClampToLong(static_cast<long long>(n->left) + dx);
        n->right = ClampToLong(static_cast<long long>(n->right) + dx);
        n->top = ClampToLong(static_cast<long long>(n->top) + dy);
        n->bottom = ClampToLong(static_cast<long long>(n->bottom) + dy);
        if (n->right <= n->left || n->bottom <= n->top) {
            // Pressed flat against a limit of the plane: it covers nothing.
            *link = n->next;
            Pool().Free(n);
        } else {
            link = &n->next;
        }
    }
}

void LRectRegion::Normalize()
{
    std::vector<Box> boxes = GetBoxes();
    if (boxes.empty())
        return;

    // Every top and bottom is a band edge; each rectangle is cut at the edges
    // that lie strictly inside it, so that pieces with one top share a bottom.
    std::vector<long> edges;
    for (const Box& b : boxes) {
        edges.push_back(b.top);
        edges.push_back(b.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Box> pieces;
    for (const Box& b : boxes) {
        auto edge = std::upper_bound(edges.begin(), edges.end(), b.top);
        long top = b.top;
        for (; edge != edges.end() && *edge < b.bottom; ++edge) {
            pieces.push_back(Box{b.left, top, b.right, *edge});
            top = *edge;
        }
        pieces.push_back(Box{b.left, top, b.right, b.bottom});
    }

    // Within a band: order by left and join neighbours that touch (or overlap,
    // after an Append of an overlapping region).
    std::stable_sort(pieces.begin(), pieces.end(), [](const Box& a, const Box& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    std::vector<Box> joined;
    for (const Box& b : pieces) {
        if (!joined.empty() && joined.back().top == b.top && b.left <= joined.back().right)
            joined.back().right = std::max(joined.back().right, b.right);
        else
            joined.push_back(b);
    }

    // Across bands: a piece whose span equals that of a piece ending at its
    // top extends that piece downward (which may then extend again).
    std::vector<Box> merged;
    std::map<std::tuple<long, long, long>, size_t> openEnds; // bottom, left, right -> piece
    for (const Box& b : joined) {
        const auto found = openEnds.find(std::make_tuple(b.top, b.left, b.right));
        if (found != openEnds.end()) {
            const size_t index = found->second;
            openEnds.erase(found);
            merged[index].bottom = b.bottom;
            openEnds[std::make_tuple(b.bottom, b.left, b.right)] = index;
        } else {
            openEnds[std::make_tuple(b.bottom, b.left, b.right)] = merged.size();
            merged.push_back(b);
        }
    }
    std::stable_sort(merged.begin(), merged.end(), [](const Box& a, const Box& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });

    Clear();
    for (auto it = merged.rbegin(); it != merged.rend(); ++it)
        Push(it->left, it->top, it->right, it->bottom);
}

bool LRectRegion::GetBounds(long& left, long& top, long& right, long& bottom) const
{
    if (!mHead) {
        left = top = right = bottom = 0;
        return false;
    }
    left = mHead->left;
    top = mHead->top;
    right = mHead->right;
    bottom = mHead->bottom;
    for (const LRectRegionNode* n = mHead->next; n; n = n->next) {
        left = std::min(left, n->left);
        top = std::min(top, n->top);
        right = std::max(right, n->right);
        bottom = std::max(bottom, n->bottom);
    }
    return true;
}

bool LRectRegion::GetBounds(RectT<long>& bounds) const
{
    long left, top, right, bottom;
    const bool any = GetBounds(left, top, right, bottom);
    bounds = RectT<long>(left, top, ClampToLong(static_cast<long long>(right) - left),
                         ClampToLong(static_cast<long long>(bottom) - top));
    return any;
}

long LRectRegion::GetCount() const
{
    long count = 0;
    for (const LRectRegionNode* n = mHead; n; n = n->next)
        ++count;
    return count;
}

void LRectRegion::Enumerate(IArray<RectT<long>>& sink) const
{
    sink.SetCount(0);
    for (const LRectRegionNode* n = mHead; n; n = n->next)
        sink.AddItem(RectT<long>(n->left, n->top, ClampToLong(static_cast<long long>(n->right) - n->left),
                                 ClampToLong(static_cast<long long>(n->bottom) - n->top)));
}

bool LRectRegion::Intersects(long left, long top, long right, long bottom) const
{
    for (const LRectRegionNode* n = mHead; n; n = n->next) {
        if (Overlaps(*n, left, top, right, bottom))
            return true;
    }
    return false;
}

bool LRectRegion::Intersects(const RectT<double>& rect, const PointT<double>& offset) const
{
    const double x = rect.x + offset.x;
    const double y = rect.y + offset.y;
    const double left = std::max(x, 0.0);
    const double top = std::max(y, 0.0);
    const double right = std::min(x + rect.width, 2147483647.0);
    const double bottom = std::min(y + rect.height, 2147483647.0);
    const double epsilon = 2.220446049250313e-16; // 2^-52
    if (!(right - left > epsilon) || !(bottom - top > epsilon))
        return false; // NaN fails here as well
    return Intersects(RoundDoubleToInt(left), RoundDoubleToInt(top), RoundDoubleToInt(right),
                      RoundDoubleToInt(bottom));
}

void LRectRegion::Clear()
{
    while (LRectRegionNode* n = mHead) {
        mHead = n->next;
        Pool().Free(n);
    }
}

} // namespace KX

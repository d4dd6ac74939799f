// The GDI+ renderer's polylines: separate segments, open lines, outlines and
// filled polygons, built once per polyline into a cached GDI+ path.
#include "Renderer/Gdi/GDIRenderer.h"

#include "Utilities/Graphics/GdiplusFlat.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace KX {

using namespace Gdip;

namespace {

bool IsUnitScale(const PointT<float>& scale)
{
    constexpr float kTolerance = 1.1920929e-6f;
    return std::fabs(scale.x - 1.0f) <= kTolerance && std::fabs(scale.y - 1.0f) <= kTolerance;
}

} // namespace

LGDIRenderer::LGraphicsPath::LGraphicsPath()
{
    GdipCreatePath(FillModeAlternate, &mPath);
}

LGDIRenderer::LGraphicsPath::~LGraphicsPath()
{
    if (mPath)
        GdipDeletePath(mPath);
}

void LGDIRenderer::DrawLines(const PolylineT<float>& lines, const Color& color, const PointT<float>& offset,
                             const PointT<float>& scale, bool keepCached)
{
    DrawPath(PathLines, lines, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolyline(const PolylineT<float>& line, const Color& color, const PointT<float>& offset,
                                const PointT<float>& scale, bool keepCached)
{
    DrawPath(PathPolyline, line, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                               const PointT<float>& scale, bool keepCached)
{
    DrawPath(PathPolygon, polygon, color, offset, scale, keepCached);
}

void LGDIRenderer::FillPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                               const PointT<float>& scale, bool keepCached)
{
    DrawPath(PathFilledPolygon, polygon, color, offset, scale, keepCached);
}

void LGDIRenderer::DrawPath(PathKind kind, const PolylineT<float>& polyline, const Color& color,
                            const PointT<float>& offset, const PointT<float>& scale, bool keepCached)
{
    if (!GetTarget())
        return;
    RCPtr<LGraphicsPath>& entry = mPathCache.GetEntry(polyline, false);
    if (polyline.IsChanged()) {
        polyline.ClearChanged();
        entry = nullptr;
    }
    if (!entry) {
        entry = RCPtr<LGraphicsPath>(new LGraphicsPath());
        GpPath* path = entry->Get();
        const int32_t count = polyline.GetCount();
        const PointT<float>* points = polyline.GetData();
        if (path && count > 0) {
            if (kind == PathLines) {
                for (int32_t i = 0; i + 1 < count; i += 2) {
                    GdipStartPathFigure(path);
                    GdipAddPathLine(path, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
                }
            } else {
                std::vector<GpPointF> gdiPoints;
                gdiPoints.reserve(static_cast<size_t>(count));
                for (int32_t i = 0; i < count; ++i)
                    gdiPoints.emplace_back(points[i].x, points[i].y);
                if (kind == PathPolyline)
                    GdipAddPathLine2(path, gdiPoints.data(), count);
                else
                    GdipAddPathPolygon(path, gdiPoints.data(), count);
            }
        }
    }

    OwnedPen pen;
    OwnedSolidFill brush;
    if (kind == PathFilledPolygon) {
        if (GdipCreateSolidFill(color.GetARGB(), brush.Out()) != Ok)
            return;
    } else if (GdipCreatePen1(color.GetARGB(), polyline.GetLineWidth(), UnitWorld, pen.Out()) != Ok) {
        return;
    }

    const PointT<double> moved(ClampToIntegerLimit(offset.x), ClampToIntegerLimit(offset.y));
    Translate(moved);
    GpGraphics* target = GetTarget();
    // A path may be kept after a failed creation; it then has nothing to draw.
    GpPath* path = entry ? entry->Get() : nullptr;
    OwnedPath scaled;
    if (path && !IsUnitScale(scale) && GdipClonePath(path, scaled.Out()) == Ok) {
        OwnedMatrix matrix;
        if (GdipCreateMatrix2(scale.x, 0.0f, 0.0f, scale.y, 0.0f, 0.0f, matrix.Out()) == Ok)
            GdipTransformPath(scaled.Get(), matrix.Get());
        path = scaled.Get();
    }
    if (path && target) {
        if (kind == PathFilledPolygon)
            GdipFillPath(target, brush.Get(), path);
        else
            GdipDrawPath(target, pen.Get(), path);
    }
    Translate(PointT<double>(-moved.x, -moved.y));

    if (!keepCached)
        entry = nullptr;
}

} // namespace KX

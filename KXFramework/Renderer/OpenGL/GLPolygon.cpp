#include "Renderer/OpenGL/GLPolygon.h"

#include "Utilities/Storage/ArrayBuffer.h"

namespace KX {

namespace {

GLUtesselator* sTessellator = nullptr;
int32_t sTessellatorsMade = 0;

// The coordinates handed to the tessellator, three doubles per point.
ArrayBuffer<double>& VertexBuffer()
{
    static ArrayBuffer<double> buffer;
    return buffer;
}

using TessCallback = void(CALLBACK*)();

} // namespace

CGLPolygon::CGLPolygon()
{
    if (sTessellator)
        return;
    sTessellator = gluNewTess();
    if (!sTessellator)
        return;
    ++sTessellatorsMade;
    gluTessNormal(sTessellator, 0.0, 0.0, 1.0);
    gluTessProperty(sTessellator, GLU_TESS_TOLERANCE, 1.0);
    gluTessCallback(sTessellator, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(&glBegin));
    gluTessCallback(sTessellator, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(&glVertex3dv));
    gluTessCallback(sTessellator, GLU_TESS_END, reinterpret_cast<TessCallback>(&glEnd));
}

void CGLPolygon::Fill(const PolylineT<float>& polyline)
{
    if (!sTessellator)
        return;
    const int32_t count = polyline.GetCount();
    ArrayBuffer<double>& buffer = VertexBuffer();
    if (buffer.GetCount() < count * 3)
        buffer.SetCount(count * 3);
    double* vertices = buffer.GetData();

    gluTessProperty(sTessellator, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    gluTessBeginPolygon(sTessellator, nullptr);
    gluTessBeginContour(sTessellator);
    for (int32_t i = 0; i < count; ++i) {
        double* vertex = vertices + i * 3;
        vertex[0] = polyline.GetPoint(i).x;
        vertex[1] = polyline.GetPoint(i).y;
        vertex[2] = 0.0;
        gluTessVertex(sTessellator, vertex, vertex);
    }
    gluTessEndContour(sTessellator);
    gluTessEndPolygon(sTessellator);
    DrainGLErrors();
}

GLUtesselator* CGLPolygon::GetTessellator()
{
    return sTessellator;
}

int32_t CGLPolygon::GetTessellatorsMade()
{
    return sTessellatorsMade;
}

} // namespace KX

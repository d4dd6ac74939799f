// KX::CGLPolygon: fills arbitrary polygons (concave ones too) through one
// process-wide GLU tessellator, which turns each polygon into the triangles
// GL draws (or compiles into the display list being built).
//
// Contract:
// - The tessellator is made by the first CGLPolygon and lives for the whole
//   process; so does the vertex buffer it reads (the tessellator keeps
//   pointers into it until the polygon ends).
// - Fill uses the odd winding rule: a point is inside when a ray from it
//   crosses the outline an odd number of times. Self-intersecting outlines
//   need new vertices that the tessellator is not given: GLU drops them.
// - One caller at a time (user-interface thread).
#pragma once

#include "Renderer/OpenGL/GLHeaders.h"
#include "Utilities/Geometry/PolylineT.h"

#include <cstdint>

namespace KX {

class CGLPolygon
{
public:
    CGLPolygon();

    // Fills the polygon of the polyline's points (closed implicitly).
    void Fill(const PolylineT<float>& polyline);

    // The shared tessellator, and how many were ever made (for tests).
    static GLUtesselator* GetTessellator();
    static int32_t GetTessellatorsMade();
};

} // namespace KX

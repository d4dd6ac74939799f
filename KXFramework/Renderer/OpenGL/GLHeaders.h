// The OpenGL 1.1, GLU and WGL declarations of the OpenGL renderer, with the
// few later names it uses, and the error drain every GL step ends with.
#pragma once

#include "KXPlatform.h"

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGRA
#define GL_BGRA GL_BGRA_EXT
#endif

namespace KX {

// Reads and forgets every pending GL error: the renderer ignores them, but a
// stale one must not be taken for the next step's.
inline void DrainGLErrors()
{
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace KX

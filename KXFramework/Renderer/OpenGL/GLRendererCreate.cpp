#include "Renderer/OpenGL/GLRendererCreate.h"

#include "Renderer/Renderer.h"

namespace KX {

// The OpenGL renderer's sources provide the real body of this function; this
// build has no OpenGL renderer, so type 0 yields no renderer.
RCPtr<LRenderer> CreateGLRenderer(HWND)
{
    return RCPtr<LRenderer>();
}

} // namespace KX

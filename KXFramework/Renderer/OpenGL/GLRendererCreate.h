// The OpenGL renderer as KX::LRenderer::Create makes it for type 0: the
// OpenGL glyph processor, a FreeType font renderer over it and the OpenGL
// renderer for that font renderer and the window.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"

namespace KX {

class LRenderer;

// The renderer; null when it cannot be made.
RCPtr<LRenderer> CreateGLRenderer(HWND window);

} // namespace KX

// The OpenGL renderer as KX::LRenderer::Create makes it for type 0: the
// OpenGL glyph processor, a FreeType font renderer over it and the OpenGL
// renderer for that font renderer and the window.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RCPtr.h"

namespace KX {

class LRenderer;

// The renderer; never null. A window whose pixel format or GL context cannot
// be made throws the runtime error of KX::LGLRenderer's constructor (after its
// error box), which passes on to KX::LRenderer::Create's caller.
RCPtr<LRenderer> CreateGLRenderer(HWND window);

} // namespace KX

#include "Renderer/OpenGL/GLRendererCreate.h"

#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLRenderer.h"

namespace KX {

RCPtr<LRenderer> CreateGLRenderer(HWND window)
{
    const RCPtr<LGLGlyphRenderer> glyphs = LGLGlyphRenderer::Create();
    const RCPtr<LFreetypeFontRenderer> fonts = LFreetypeFontRenderer::Create(glyphs, glyphs);
    return RCPtr<LRenderer>(LGLRenderer::Create(fonts, window).Get());
}

} // namespace KX

// KX::RendererType: the renderer kinds by the number that
// KX::LRenderer::Create takes and GetRendererType answers (a renderer's own,
// and the application's for its main window). The numbers are fixed: callers
// pass and compare them as plain 32-bit integers.
#pragma once

#include <cstdint>

namespace KX {

enum RendererType : int32_t {
    RendererOpenGL = 0,
    RendererGdiPlus = 1,   // the one the application uses
    RendererDirect3D9 = 2, // draws nothing
};

} // namespace KX

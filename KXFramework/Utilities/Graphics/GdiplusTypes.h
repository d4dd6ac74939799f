// Forward declarations of the GDI+ object types that framework headers name,
// so that only the sources that call GDI+ include its headers. They match the
// declarations of <gdiplus.h>.
#pragma once

struct IStream;

namespace Gdiplus {
class GpImage;
class GpBitmap;
class GpGraphics;
class GpCachedBitmap;
class GpPath;
} // namespace Gdiplus

// KX::LGDIRendererOffscreenSurface: one off-screen GDI+ bitmap with a
// graphics object drawing into it, made compatible with a window (its
// resolution and the pixel format GDI+ chooses for such bitmaps). A new
// surface is transparent black.
//
// Contract:
// - Resize replaces bitmap and graphics: the pixels become transparent black
//   and the graphics starts with an identity transform and no clip. A width
//   or height of 0 or less becomes 1.
// - The window may be null: the bitmap is then made compatible with the
//   screen.
// - GDI+ failures are kept as the surface's last status; a surface without a
//   bitmap draws nothing.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Graphics/GdiplusTypes.h"

#include <cstdint>

namespace KX {

class LGDIRendererOffscreenSurface : public virtual LRefCountedObject
{
public:
    static KXRESULT Create(RCPtr<LGDIRendererOffscreenSurface>& out, const PointT<long>& size, HWND window);

    // New bitmap and graphics of the size (see the contract). 0.
    KXRESULT Resize(const PointT<long>& size);

    Gdiplus::GpGraphics* GetGraphics() const { return mGraphics; }
    Gdiplus::GpBitmap* GetBitmap() const { return mBitmap; }
    // The bitmap's width and height; {0, 0} without a bitmap.
    PointT<long> GetSize() const;
    // Draws the source rectangle of the bitmap at the position on another
    // graphics object, unscaled, in pixel units. The GDI+ status (0 Ok).
    int32_t DrawTo(Gdiplus::GpGraphics* graphics, const PointT<long>& position, const RectT<long>& source);
    int32_t GetLastStatus() const { return mLastStatus; }

protected:
    LGDIRendererOffscreenSurface(const PointT<long>& size, HWND window);
    ~LGDIRendererOffscreenSurface() override;

private:
    LGDIRendererOffscreenSurface(const LGDIRendererOffscreenSurface&) = delete;
    LGDIRendererOffscreenSurface& operator=(const LGDIRendererOffscreenSurface&) = delete;

    void DeleteObjects();

    HWND mWindow = nullptr;
    Gdiplus::GpGraphics* mGraphics = nullptr;
    Gdiplus::GpBitmap* mBitmap = nullptr;
    int32_t mLastStatus = 0;
};

} // namespace KX

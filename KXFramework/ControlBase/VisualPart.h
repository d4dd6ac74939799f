// KX::LVisualPart: the drawable form of a skin part, either a rectangle of a
// bitmap (possibly colourised) or a plain colour. Looks place visual parts in
// rectangles and draw them; hit testing asks them for the colour under a
// point.
//
// Contract:
// - After construction a part has a bitmap, or a solid colorizer and no
//   bitmap; it never changes afterwards.
// - A part is made on first use by its part descriptor
//   (LVisualPartDescriptor::GetVisualPart) and shared by every look that uses
//   the descriptor. The descriptor's cache holds it as one of the part's
//   internal references and the part holds its owner descriptor: when no look
//   holds the part any more, its release hook clears the owner's cache and the
//   part goes. The next GetVisualPart makes a new one.
// - A part of no width or no height shows nothing: every colour lookup
//   answers transparent white 0x00FFFFFF.
// - User-interface thread only.
#pragma once

#include "ControlBase/Colorizer.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Renderer.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LBitmap;

class LVisualPart : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The colour of nothing: transparent white.
    static constexpr uint32_t kTransparent = 0x00FFFFFF;

    // Stores the values; with a bitmap the size becomes the bitmap's. With a
    // colorizer and a bitmap, a mask or a gradient, the bitmap is replaced by
    // the colourised part bitmap (LBitmap::CreatePartBitmap, whose errors pass
    // on).
    LVisualPart(const String& name, const RCPtr<LBitmap>& bitmap, ResizeType resizeType,
                const ConstRCPtr<LColorizer>& colorizer, const PointT<long>& size, float alphaModifier,
                const RCPtr<LBitmap>& mask);

    // Draws the part into (0, 0, size) at the renderer's current origin. 0.
    // A part with neither bitmap nor colorizer throws the runtime error.
    virtual KXRESULT Draw(const RCPtr<LRenderer>& renderer, const PointT<float>& size);

    // The packed colour of the part's own pixel; transparent white outside.
    uint32_t GetColorAtPoint(const PointT<long>& point) const;
    // The packed colour shown at a point of the part drawn at the size.
    uint32_t GetColorAtPoint(const PointT<float>& point, const PointT<float>& drawnSize) const;
    // The solid colour with its alpha multiplied by the alpha modifier.
    ColorT<float> GetSolidColor() const;

    // Makes the descriptor this part's owner: the descriptor caches the part
    // and the part keeps the descriptor until its release hook runs.
    void SetOwner(const ConstRCPtr<LVisualPartDescriptor>& owner);

    const String& GetName() const { return mName; }
    const RCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    ResizeType GetResizeType() const { return mResizeType; }
    const ConstRCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
    float GetAlphaModifier() const { return mAlphaModifier; }
    const RCPtr<LBitmap>& GetMask() const { return mMask; }
    const ConstRCPtr<LVisualPartDescriptor>& GetOwner() const { return mOwner; }

protected:
    ~LVisualPart() override;

    // No look holds the part any more: the owner's cache lets it go.
    KXRESULT ReleaseInternalReferences() override;

private:
    LVisualPart(const LVisualPart&) = delete;
    LVisualPart& operator=(const LVisualPart&) = delete;

    // The first non-transparent part pixel of the screen pixel at p, when the
    // part is drawn smaller than itself on at least one axis.
    uint32_t SampleReduced(const PointT<float>& p, float u, float v) const;

    String mName;
    RCPtr<LBitmap> mBitmap;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    ResizeType mResizeType = ResizeStretch;
    ConstRCPtr<LColorizer> mColorizer;
    float mAlphaModifier = 1.0f;
    RCPtr<LBitmap> mMask;
    ConstRCPtr<LVisualPartDescriptor> mOwner;
};

} // namespace KX

// KX::LLook: one appearance of a control, made from a look descriptor: a
// client part that fills the client area, parts docked to the look's edges
// and drawn over it, an optional image that the control sets at run time, and
// a text area in which the control's label is drawn in the colour of a
// foreground part. A control holds one look per slot of its skin's look list
// and blends them by weights.
//
// Contract:
// - A look is laid out for a size (SetSize): client rectangle, docked-part
//   rectangles and text area. A look that was never sized is 0 x 0 and draws
//   nothing.
// - Drawing is limited to the dirty region handed in, rectangle by rectangle,
//   each pushed as a clip on the renderer and popped again. While the look's
//   own region (in control coordinates) is not empty, the look draws only
//   where that region meets the dirty region.
// - The visual parts are shared with other looks through the part
//   descriptors' caches.
// - A text foreground part filled from a bitmap or a gradient is not
//   supported: drawing the label throws the domain error.
// - User-interface thread only.
#pragma once

#include "ControlBase/FontText.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/VisualPart.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Renderer.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectRegion.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace KX {

class LBitmap;

class LLook : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // A new look of the descriptor (wrap: the label wraps at the text area).
    static RCPtr<LLook>& Create(RCPtr<LLook>& out, const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap);

    // Takes the descriptor's parts and text properties and lays out again at
    // the current size. 0.
    KXRESULT SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap);
    // Lays the look out for the size (nothing when it did not change); true.
    bool SetSize(const PointT<long>& size);

    // Hand the label's text or font to the text layout: 0 when the layout
    // changed, 1 when it did not or the look has no text layout.
    KXRESULT SetText(const String& text);
    KXRESULT SetFont(const RCPtr<LFont>& font);

    // With a bitmap: a new image part of it (replacesClient: the client part
    // is not drawn under it), 0. Without: the image part goes, 0; 1 when there
    // was none.
    KXRESULT SetImage(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, bool replacesClient);

    // The docked parts. 0.
    virtual KXRESULT Draw(const RCPtr<LRenderer>& renderer, const LRectRegion& region);
    // The client area: the client part, then the image part. 0.
    virtual KXRESULT DrawInRegion(const RCPtr<LRenderer>& renderer, const LRectRegion& region);
    // The label's lines, shifted by minus the offset. 0, or 1 without a text
    // layout.
    virtual KXRESULT DrawLabelText(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                                   const PointT<double>& textOffset);

    // The packed colour 0xAARRGGBB at a point of the look: the first docked
    // part that is not transparent there, else the image part, else the
    // client part.
    uint32_t GetColorAtPoint(const PointT<long>& point) const;

    // ---- The look region (control coordinates) ----
    const LRectRegion& GetRegion() const { return mRegion; }
    void SetRegion(const LRectRegion& region) { mRegion = region; }
    void ClearRegion() { mRegion.Clear(); }

    const ConstRCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
    // The client area in look coordinates.
    const RectT<long>& GetClientRect() const { return mClientRect; }
    PointT<long> GetSize() const { return PointT<long>(mWidth, mHeight); }
    const RCPtr<LStencil>& GetStencil() const { return mClientStencil; }
    // The label's text layout; null when the descriptor has no text properties.
    const RCPtr<LFontText>& GetTextLayout() const { return mTextLayout; }
    // The top left of the text area.
    PointT<long> GetTextOrigin() const { return PointT<long>(mTextOriginX, mTextOriginY); }
    // The text area's rectangle for the current size (origin and box size).
    RectT<long> GetTextArea() const;
    const RCPtr<LVisualPart>& GetTextForegroundPart() const { return mTextForegroundPart; }
    // Replaces the part whose colour the label is drawn in.
    void SetTextForegroundPart(const RCPtr<LVisualPart>& part) { mTextForegroundPart = part; }
    const RCPtr<LVisualPart>& GetClientVisualPart() const { return mClientVisualPart; }
    const RCPtr<LVisualPart>& GetImagePart() const { return mImagePart; }
    const std::vector<RectT<long>>& GetDockedRects() const { return mDockedRects; }

protected:
    LLook() = default;
    ~LLook() override;

private:
    using DrawStep = std::function<void()>;

    void LayOut();
    // Runs the step once per dirty rectangle that meets the area (control
    // coordinates), with that part of the area pushed as a clip whose origin is
    // the area's top left.
    void ForEachDirtyRect(const RCPtr<LRenderer>& renderer, const LRectRegion& region, const RectT<double>& area,
                          const RectT<double>& within, const RCPtr<LStencil>& stencil, const DrawStep& step) const;
    // The dirty region, limited to the look region when there is one.
    LRectRegion WorkingRegion(const LRectRegion& region, const PointT<double>& translation) const;
    void DrawLines(const RCPtr<LRenderer>& renderer, const PointT<double>& textOffset);

    ConstRCPtr<LLookDescriptor> mDescriptor;
    RCPtr<LVisualPart> mTextForegroundPart;
    long mWidth = 0;
    long mHeight = 0;
    RectT<long> mClientRect;
    std::vector<RectT<long>> mDockedRects;
    std::vector<RCPtr<LVisualPart>> mDockedParts;
    RCPtr<LVisualPart> mClientVisualPart;
    RCPtr<LVisualPart> mImagePart;
    bool mImageReplacesClient = false;
    RCPtr<LStencil> mClientStencil;
    RCPtr<LFontText> mTextLayout;
    long mTextOriginX = 0;
    long mTextOriginY = 0;
    LRectRegion mRegion;
};

} // namespace KX

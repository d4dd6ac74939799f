// KX::LFont: a font by face name, size in points and GDI+ style bits (1 bold,
// 2 italic, 4 underline, 8 strike-out). Fonts are interned: every Create with
// the same face name (in any letter case), size and style answers the same
// object, so fonts compare by identity and serve as cache keys
// (GetUniqueID).
//
// Contract:
// - A process-wide registry holds one reference on every font in creation
//   order and keeps it until the program ends (or ReleaseRegistry).
// - Unique ids come from a process-wide counter raised before each new font
//   takes it: the first font has id 1.
// - Line metrics (height, ascent, descent) are measured once, on first use,
//   through the application's renderer, and kept for the font's life. Without
//   a renderer, or when the renderer cannot make the font, the getters answer
//   0 and the font stays unmeasured, so the next use measures it.
// - User-interface thread only; the registry and the counter have no lock.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LMeasurementRenderer;

class LFont : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The registered font of that face (ignoring case), size and style, or a
    // new one appended to the registry. Answers `out`.
    static RCPtr<LFont>& Create(RCPtr<LFont>& out, const String& faceName, float size, int32_t style);
    // The registry index of such a font, searched from the last; -1 when none.
    static int32_t Find(const String& faceName, float size, int32_t style);
    // The font's unique id; 0 for a null font.
    static int32_t GetUniqueID(const ConstRCPtr<LFont>& font);
    // How many fonts the registry holds.
    static int32_t GetRegistryCount();
    // Releases every font of the registry (program end, before GDI+ goes).
    static void ReleaseRegistry();

    // Line height in pixels (measured on first use; 0 without a renderer).
    int32_t GetHeight();
    // Ascent in pixels, negative (above the baseline).
    int32_t GetAscent();
    // Descent in pixels, positive.
    int32_t GetDescent();
    // Measures now through the renderer when not measured yet. True when the
    // font is measured afterwards. GetHeight and the others use the
    // application's renderer.
    bool Measure(LMeasurementRenderer* renderer);
    bool IsMeasured() const { return mHeight >= 0; }

    const String& GetFaceName() const { return mFaceName; }
    float GetSize() const { return mSize; }
    int32_t GetStyle() const { return mStyle; }

protected:
    LFont(const String& faceName, float size, int32_t style);
    ~LFont() override = default;

    // Removes the font's registry entry: 0, or E_FAIL when it is not there.
    KXRESULT ReleaseInternalReferences() override;

private:
    LFont(const LFont&) = delete;
    LFont& operator=(const LFont&) = delete;

    // Measures with the application's renderer when there is one.
    void MeasureWithApplicationRenderer();

    String mFaceName;
    float mSize = 0.0f;
    int32_t mStyle = 0;
    int32_t mHeight = -1;
    int32_t mAscent = 0;
    int32_t mDescent = 0;
    int32_t mUniqueID = 0;
};

} // namespace KX

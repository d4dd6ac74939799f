// KX::LColorizer: a named colour or gradient of a skin. Parts fill or tint
// themselves with it.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LColorizer : public virtual LRefCountedObject
{
public:
    enum ColorType : int32_t { Solid = 0, LinearGradient = 1, RadialGradient = 2 };

    static RCPtr<LColorizer> Create() { return RCPtr<LColorizer>(new LColorizer()); }

    StringT<wchar_t, char> mName;
    int32_t mColorType = Solid;
    ColorT<float> mColor;            // the solid colour, or the gradient's start colour
    ColorT<float> mGradientEndColor; // all zero for a solid colorizer
    float mGradientStartX = 0.0f;
    float mGradientStartY = 0.0f;
    float mGradientEndX = 0.0f;
    float mGradientEndY = 0.0f;

protected:
    LColorizer() = default;
    ~LColorizer() override = default;
};

} // namespace KX

// KX::LControlFactory, the look records of a skin document: colorizers, parts,
// looks with their client part, text properties and docked non-client parts,
// and the look lists. A name is resolved when the referring element starts.
#include "ControlBase/ControlFactory.h"

namespace KX {

void LControlFactory::StartColorizer(const AttributeMap& attributes)
{
    String name, type, color;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrString(attributes, L"ColorType", type) ||
        !GetAttrString(attributes, L"Color", color))
        return;
    RCPtr<LColorizer> colorizer = LColorizer::Create();
    colorizer->mName = name;
    colorizer->mColor.Parse(color.Convert().GetData());
    if (type == L"LinearGradient" || type == L"RadialGradient") {
        String endColor;
        const bool complete = GetAttrString(attributes, L"GradientEndColor", endColor) &&
                              (colorizer->mGradientEndColor.Parse(endColor.Convert().GetData()), true) &&
                              GetAttrFloat(attributes, L"GradientStartX", colorizer->mGradientStartX) &&
                              GetAttrFloat(attributes, L"GradientStartY", colorizer->mGradientStartY) &&
                              GetAttrFloat(attributes, L"GradientEndX", colorizer->mGradientEndX) &&
                              GetAttrFloat(attributes, L"GradientEndY", colorizer->mGradientEndY);
        if (complete)
            colorizer->mColorType = type == L"LinearGradient" ? LColorizer::LinearGradient : LColorizer::RadialGradient;
    }
    mColorizers.emplace(name, colorizer);
}

void LControlFactory::StartPart(const AttributeMap& attributes)
{
    String name, resize;
    int32_t width = 0, height = 0;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrInt(attributes, L"Width", width) ||
        !GetAttrInt(attributes, L"Height", height) || !GetAttrString(attributes, L"ResizeType", resize))
        return;

    String imageFile;
    int32_t imageX = 0, imageY = 0;
    const bool hasImage = GetAttrString(attributes, L"ImageFile", imageFile) &&
                          GetAttrInt(attributes, L"ImageLocX", imageX) && GetAttrInt(attributes, L"ImageLocY", imageY);
    String colorizerName;
    RCPtr<LColorizer> colorizer;
    if (GetAttrString(attributes, L"ColorizerName", colorizerName))
        colorizer = FindColorizer(colorizerName);
    if ((hasImage && imageFile.IsEmpty()) || (!hasImage && !colorizer))
        return;

    RCPtr<LVisualPartDescriptor> part = LVisualPartDescriptor::Create();
    part->mName = name;
    part->mWidth = width;
    part->mHeight = height;
    part->mResizeType = resize == L"Tile"     ? LVisualPartDescriptor::ResizeTile
                        : resize == L"Center" ? LVisualPartDescriptor::ResizeCenter
                                              : LVisualPartDescriptor::ResizeStretch;
    if (hasImage)
        part->mImage = BitmapDescriptor{mResourcePrefix + imageFile.ToLower(), imageX, imageY, width, height};
    part->mColorizer = colorizer;
    GetAttrFloat(attributes, L"ColorizerAlphaMod", part->mAlphaModifier);
    String maskFile;
    int32_t maskX = 0, maskY = 0;
    if (GetAttrString(attributes, L"ColorizerMaskFile", maskFile) && GetAttrInt(attributes, L"MaskLocX", maskX) &&
        GetAttrInt(attributes, L"MaskLocY", maskY))
        part->mMask = BitmapDescriptor{mResourcePrefix + maskFile, maskX, maskY, width, height};
    mParts.emplace(name, part);
}

void LControlFactory::StartLook(const AttributeMap& attributes)
{
    String name;
    if (!GetAttrString(attributes, L"Name", name))
        return;
    if (mInsideLooks) {
        // A second definition of a name is read (its parts go to it) but not kept.
        mCurrentLook = LLookDescriptor::Create(name);
        mLooks.emplace(name, mCurrentLook);
        return;
    }
    int32_t index = 0;
    RCPtr<LLookDescriptor> look = FindLook(name);
    if (mCurrentLookList && look && GetAttrInteger(attributes, L"Index", index) && index >= 0 &&
        index < mCurrentLookList->GetCount())
        mCurrentLookList->GetAt(index) = look;
}

void LControlFactory::StartClientPart(const AttributeMap& attributes)
{
    String name;
    RCPtr<LDockedPart> docked = LDockedPart::Create();
    if (!mCurrentLook || !GetAttrString(attributes, L"Name", name) ||
        !GetAttrInt(attributes, L"OffsetLeft", docked->mOffsetLeft) ||
        !GetAttrInt(attributes, L"OffsetTop", docked->mOffsetTop) ||
        !GetAttrInt(attributes, L"OffsetRight", docked->mOffsetRight) ||
        !GetAttrInt(attributes, L"OffsetBottom", docked->mOffsetBottom))
        return;
    docked->mPart = FindPart(name);
    if (!docked->mPart)
        return;
    docked->mGivenEdges = LDockedPart::EdgeAll;
    mCurrentLook->SetClientPart(docked);
}

void LControlFactory::StartTextProperties(const AttributeMap& attributes)
{
    LLookDescriptor::TextProperties text;
    String foreground;
    if (!mCurrentLook || !GetAttrFloat(attributes, L"TextLeftRel", text.mLeftRel) ||
        !GetAttrInt(attributes, L"TextLeftAbs", text.mLeftAbs) ||
        !GetAttrFloat(attributes, L"TextRightRel", text.mRightRel) ||
        !GetAttrInt(attributes, L"TextRightAbs", text.mRightAbs) ||
        !GetAttrFloat(attributes, L"TextHAlign", text.mHAlign) ||
        !GetAttrFloat(attributes, L"TextTopRel", text.mTopRel) ||
        !GetAttrInt(attributes, L"TextTopAbs", text.mTopAbs) ||
        !GetAttrFloat(attributes, L"TextBottomRel", text.mBottomRel) ||
        !GetAttrInt(attributes, L"TextBottomAbs", text.mBottomAbs) ||
        !GetAttrFloat(attributes, L"TextVAlign", text.mVAlign) ||
        !GetAttrString(attributes, L"TextForegroundPart", foreground))
        return;
    RCPtr<LVisualPartDescriptor> part = FindPart(foreground);
    if (part)
        mCurrentLook->SetTextProperties(text, part);
}

void LControlFactory::StartNonClientPart(const AttributeMap& attributes)
{
    String name;
    if (!mCurrentLook || !GetAttrString(attributes, L"Name", name))
        return;
    RCPtr<LDockedPart> docked = LDockedPart::Create();
    docked->mPart = FindPart(name);
    if (!docked->mPart)
        return;
    if (GetAttrInt(attributes, L"OffsetLeft", docked->mOffsetLeft))
        docked->mGivenEdges |= LDockedPart::EdgeLeft;
    if (GetAttrInt(attributes, L"OffsetTop", docked->mOffsetTop))
        docked->mGivenEdges |= LDockedPart::EdgeTop;
    if (GetAttrInt(attributes, L"OffsetRight", docked->mOffsetRight))
        docked->mGivenEdges |= LDockedPart::EdgeRight;
    if (GetAttrInt(attributes, L"OffsetBottom", docked->mOffsetBottom))
        docked->mGivenEdges |= LDockedPart::EdgeBottom;
    int32_t size = 0;
    if (GetAttrInt(attributes, L"Width", size) && size > 0) {
        docked->mHasWidth = true;
        docked->mWidth = size;
    }
    size = 0;
    if (GetAttrInt(attributes, L"Height", size) && size > 0) {
        docked->mHasHeight = true;
        docked->mHeight = size;
    }
    mCurrentLook->GetNonClientParts().AddItem(docked);
}

void LControlFactory::StartLookList(const AttributeMap& attributes)
{
    String name;
    int32_t count = 0;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrInt(attributes, L"NumLooks", count))
        return;
    RCPtr<LLookList> list = FindLookList(name);
    if (list) {
        // An existing name keeps its list; the entries that follow are ignored.
        mCurrentLookList = nullptr;
    } else {
        list = LLookList::Create();
        list->SetCount(count > 0 ? count : 0);
        mCurrentLookList = list;
        mLookLists.emplace(name, list);
    }
    if (mCurrentControl && mCurrentControl->GetSkinDescriptor())
        mCurrentControl->GetSkinDescriptor().Get()->mLookList = list;
}

} // namespace KX

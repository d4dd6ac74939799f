// KX::LControlFactory, the skins of a skin document: the top-level skins and
// the skin records of controls with their fonts and font translations, and
// the control descriptions (SubControl) with their layout attributes, whose
// children are put in layout order when the element ends.
#include "ControlBase/ControlFactory.h"

#include "Utilities/Storage/ArrayUtils.h"

namespace KX {

namespace {

using String = LControlFactory::String;
using AttributeMap = LControlFactory::AttributeMap;

} // namespace

void LControlFactory::StartSkin(const AttributeMap& attributes)
{
    String name;
    GetAttrString(attributes, L"Name", name);
    RCPtr<LSkinDescriptor> skin = LSkinDescriptor::Create(name);
    if (mCurrentControl) {
        skin->mFontFamily = TranslateFont(mHeldFont.mFamily);
        skin->mFontSize = mHeldFont.mSize;
        skin->mFontStyle = mHeldFont.mStyle;
        skin->mFontInheritsFromParent = mHeldFont.mInheritsFromParent;
        skin->mFontSizeIsRelative = mHeldFont.mSizeIsRelative;
        String lookList;
        if (GetAttrString(attributes, L"LookList", lookList))
            skin->mLookList = FindLookList(lookList);
    } else {
        // A top-level skin: one whole control tree under an "Application" description.
        mCurrentControl = LControlDescriptor::Create(String(L"Application"), mApplicationName, nullptr);
        mCurrentSkinIndex = mSkins.AddItem(mCurrentControl);
        GetAttrString(attributes, L"FontName", skin->mFontFamily);
        GetAttrFloat(attributes, L"FontSize", skin->mFontSize);
        GetAttrInt(attributes, L"FontStyle", skin->mFontStyle);
        mFontTranslations.clear();
    }
    mCurrentControl->SetSkinDescriptor(skin);
}

void LControlFactory::StartFontXLat(const AttributeMap& attributes)
{
    String name, translation;
    if (mFontLocaleId != mLocaleId || !GetAttrString(attributes, L"Name", name) ||
        !GetAttrString(attributes, L"XLat", translation))
        return;
    mFontTranslations.emplace(name, translation);
    if (mCurrentControl && mCurrentControl->GetSkinDescriptor() &&
        mCurrentControl->GetSkinDescriptor()->mFontFamily == name)
        mCurrentControl->GetSkinDescriptor().Get()->mFontFamily = translation;
}

String LControlFactory::TranslateFont(const String& family) const
{
    const auto found = mFontTranslations.find(family);
    return found == mFontTranslations.end() ? family : found->second;
}

namespace {

// "Parent" and "Screen" are kind 0, "Client" and "Active Window" kind 1.
int32_t ReferenceKind(const String& text)
{
    if (text == L"Parent" || text == L"Screen")
        return 0;
    if (text == L"Client" || text == L"Active Window")
        return 1;
    return -1;
}

void ReadPosition(const AttributeMap& attributes, const wchar_t* anchor, const wchar_t* control, const wchar_t* rel,
                  const wchar_t* abs, LLayoutDescriptor::PositionSpec& spec)
{
    LControlFactory::GetAttrFloat(attributes, anchor, spec.mAnchor);
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        const int32_t kind = ReferenceKind(reference);
        spec.mKind = kind >= 0 ? kind : LLayoutDescriptor::PositionControl;
        spec.mControlName = kind >= 0 ? String() : reference;
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadSize(const AttributeMap& attributes, const wchar_t* control, const wchar_t* rel, const wchar_t* abs,
              LLayoutDescriptor::SizeSpec& spec)
{
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        const int32_t kind = reference == L"Self" ? LLayoutDescriptor::SizeSelf : ReferenceKind(reference);
        spec.mKind = kind >= 0 ? kind : LLayoutDescriptor::SizeControl;
        spec.mControlName = kind >= 0 ? String() : reference;
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadLimit(const AttributeMap& attributes, const wchar_t* control, const wchar_t* rel, const wchar_t* abs,
               LLayoutDescriptor::SizeLimitSpec& spec)
{
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        spec.mIsControl = reference != L"Self";
        spec.mControlName = spec.mIsControl ? reference : String();
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadLayout(const AttributeMap& attributes, bool underTopLevel, LLayoutDescriptor& layout)
{
    LControlFactory::GetAttrBool(attributes, L"ClipToParent", layout.mClipToParent);
    LControlFactory::GetAttrInteger(attributes, L"Z_Order", layout.mZOrder);
    if (!underTopLevel) {
        LControlFactory::GetAttrInteger(attributes, L"TabStop", layout.mTabStop);
        LControlFactory::GetAttrBool(attributes, L"IsVisible", layout.mIsVisible);
    }
    LControlFactory::GetAttrInt(attributes, L"LayoutOrder", layout.mLayoutOrder);
    ReadPosition(attributes, L"XPlacementAnchor", L"XPositionToControl", L"XPositionRel", L"XPositionAbs",
                 layout.mXPosition);
    ReadPosition(attributes, L"YPlacementAnchor", L"YPositionToControl", L"YPositionRel", L"YPositionAbs",
                 layout.mYPosition);
    LControlFactory::GetAttrBool(attributes, L"XIsDocked", layout.mXIsDocked);
    LControlFactory::GetAttrBool(attributes, L"YIsDocked", layout.mYIsDocked);
    ReadSize(attributes, L"XSizeToControl", L"XSizeRel", L"XSizeAbs", layout.mXSize);
    ReadSize(attributes, L"YSizeToControl", L"YSizeRel", L"YSizeAbs", layout.mYSize);
    ReadLimit(attributes, L"XMinSizeToControl", L"XMinSizeRel", L"XMinSizeAbs", layout.mXMinimum);
    ReadLimit(attributes, L"YMinSizeToControl", L"YMinSizeRel", L"YMinSizeAbs", layout.mYMinimum);
    ReadLimit(attributes, L"XMaxSizeToControl", L"XMaxSizeRel", L"XMaxSizeAbs", layout.mXMaximum);
    ReadLimit(attributes, L"YMaxSizeToControl", L"YMaxSizeRel", L"YMaxSizeAbs", layout.mYMaximum);
    LControlFactory::GetAttrString(attributes, L"TextDecoration", layout.mTextDecoration);
    String overflow;
    if (LControlFactory::GetAttrString(attributes, L"TextOverflowXType", overflow)) {
        if (overflow == L"Clip")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXClip;
        else if (overflow == L"Expand")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXExpand;
        else if (overflow == L"Wrap")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXWrap;
    }
    if (LControlFactory::GetAttrString(attributes, L"TextOverflowYType", overflow)) {
        if (overflow == L"Clip")
            layout.mTextOverflowYType = LLayoutDescriptor::OverflowYClip;
        else if (overflow == L"Expand")
            layout.mTextOverflowYType = LLayoutDescriptor::OverflowYExpand;
    }
}

} // namespace

void LControlFactory::StartSubControl(const AttributeMap& attributes)
{
    String className, name;
    if (!GetAttrString(attributes, L"Class", className) || !GetAttrString(attributes, L"Name", name))
        KX_THROW(std::runtime_error, "Bad Subcontrol Element", "KX::LControlFactory::XMLStartElement",
                 "ControlBase\\ControlFactory", 1089);

    LControlDescriptor* parent = mCurrentControl.Get();
    RCPtr<LControlDescriptor> descriptor = LControlDescriptor::Create(className, name, parent);
    if (parent)
        parent->AddChild(descriptor);
    mCurrentControl = descriptor;

    RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    // The children of a top-level skin are top controls: always visible and
    // outside any tab order.
    const bool underTopLevel = !parent || !parent->GetParent();
    ReadLayout(attributes, underTopLevel, *layout);
    descriptor->SetLayoutDescriptor(layout);

    mHeldFont = HeldFont();
    GetAttrBool(attributes, L"FontInheritsFromParent", mHeldFont.mInheritsFromParent);
    GetAttrString(attributes, L"FontName", mHeldFont.mFamily);
    GetAttrInt(attributes, L"FontStyle", mHeldFont.mStyle);
    if (GetAttrFloat(attributes, L"FontSize", mHeldFont.mSize))
        GetAttrBool(attributes, L"FontSizeIsRelative", mHeldFont.mSizeIsRelative);
}

void LControlFactory::EndSubControl()
{
    if (!mCurrentControl)
        return;
    RCPtrArray<LControlDescriptor>& children = mCurrentControl->GetChildren();
    ArrayUtils::Sort<RCPtr<LControlDescriptor>>(
        children, 0, children.GetCount(),
        [](const RCPtr<LControlDescriptor>& a, const RCPtr<LControlDescriptor>& b) {
            const int32_t orderA = a && a->GetLayoutDescriptor() ? a->GetLayoutDescriptor()->mLayoutOrder : 0;
            const int32_t orderB = b && b->GetLayoutDescriptor() ? b->GetLayoutDescriptor()->mLayoutOrder : 0;
            return orderA < orderB;
        });
    mCurrentControl = RCPtr<LControlDescriptor>(mCurrentControl->GetParent());
}

} // namespace KX

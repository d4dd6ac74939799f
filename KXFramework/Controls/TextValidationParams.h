// KX::LTextValidationParams: the data of "NID_TEXTBOX_VALIDATING" and
// "NID_TEXTBOX_VALIDATED". A text box makes one per validation and hands the
// same object to every listener in turn: a listener may replace the text to
// keep (mProposedText) or refuse the text (mIsValid false); the text box then
// takes the proposed text, or keeps the typed one and the focus.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LTextValidationParams : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // Both texts are the given text; valid.
    static RCPtr<LTextValidationParams> Create(const String& text)
    {
        return RCPtr<LTextValidationParams>(new LTextValidationParams(text));
    }

    String mProposedText; // the text to keep; a listener may replace it
    String mOriginalText; // the text when validation began
    bool mIsValid = true; // a listener clears it to refuse the text

protected:
    explicit LTextValidationParams(const String& text) : mProposedText(text), mOriginalText(text) {}
    ~LTextValidationParams() override = default;
};

} // namespace KX

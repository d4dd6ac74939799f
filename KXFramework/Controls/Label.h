// KX::LLabel: the framework's text label ("Framework.Label"). Text, font,
// looks, word wrap and drawing are the control base's; a label never takes
// the keyboard focus, and while its text does not fit it offers the whole
// text as its tool tip.
//
// Also here: how a label's string-table text takes a value. Texts such as
// "Update to firmware version: %s" get the value in place of their first
// "%s" by plain replacement, never through printf, because a translation may
// hold any other "%" sequence.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LLabel : public LControl
{
public:
    LLabel(const RCPtr<LControl>& parent, const String& name);

    // Focus disabled. 0.
    KXRESULT OnCreated() override;
    // The whole text while it is cut off in the current rectangle, else the
    // "TOOLTIP" text.
    String GetToolTipText() override;

protected:
    ~LLabel() override;
};

// The text with its first "%s" replaced by the value; a text without "%s"
// comes back unchanged. Nothing else in the text is interpreted.
StringT<wchar_t, char> FillPlaceholder(const StringT<wchar_t, char>& text, const StringT<wchar_t, char>& value);

} // namespace KX

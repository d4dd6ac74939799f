// KX::LDialog: a root control of the dialog kind. Closing it asks its
// listeners first ("NID_DIALOG_CLOSING" with a KX::LCancelArgs that any of
// them may set); unless one cancels, the window closes in the next idle
// pass, "NID_DIALOG_CLOSED" goes out and the closed hook runs.
#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace KX {

// The cancel flag of a closing dialog: false until a listener sets it.
class LCancelArgs : public virtual LRefCountedObject
{
public:
    static RCPtr<LCancelArgs> Create() { return RCPtr<LCancelArgs>(new LCancelArgs()); }

    bool mCancel = false;

protected:
    LCancelArgs() = default;
    ~LCancelArgs() override = default;
};

class LDialog : public LControl
{
public:
    LDialog(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

    // Asks the listeners, then closes the dialog's window with the code. 0,
    // or 1 when a listener cancelled.
    KXRESULT Close(int32_t code);
    // The code of the last close request.
    int32_t GetCloseCode() const { return mCloseCode; }

protected:
    ~LDialog() override = default;

    // Runs after a close that nobody cancelled; empty here.
    virtual void OnClosed();

private:
    int32_t mCloseCode = 0;
};

} // namespace KX

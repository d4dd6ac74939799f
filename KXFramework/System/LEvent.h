// KX::LEvent: a reference-counted, auto-reset event, shared by every holder of
// a KX::RCPtr<KX::LEvent> (completion events of worker threads, event pools).
//
// Contract: as KX::Event (unsignalled at creation, failures not reported,
// waits answer the system's result). The last release closes the handle.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/WaitableSignal.h"

#include <cstdint>

namespace KX {

class LEvent : public virtual LRefCountedObject
{
public:
    // A new auto-reset, unsignalled event, handed out with one reference.
    static void Create(RCPtr<LEvent>& event);

    bool Set();
    bool Reset();
    uint32_t Wait(uint32_t milliseconds);
    HANDLE GetHandle() const;

protected:
    LEvent();
    ~LEvent() override;

private:
    WaitableSignal mSignal;
};

} // namespace KX

// KX::TrafficLight: a manual-reset KX::Event used as a state that threads look
// at: green (signalled) lets every waiter through until it is set red again.
//
// Contract:
// - Created red. IsGreen never changes the state. A failed test (for instance
//   a light whose creation failed) counts as green.
// - HasWaiters tells whether some thread is blocked on, or just testing, the light.
#pragma once

#include "System/Event.h"

namespace KX {

class TrafficLight : public Event
{
public:
    TrafficLight();

    BOOL SetGreen();
    BOOL SetRed();
    bool IsGreen();
    bool HasWaiters() const;
};

} // namespace KX

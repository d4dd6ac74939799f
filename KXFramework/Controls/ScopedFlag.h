// KX::ScopedFlag: sets a bool for the duration of a scope and gives it back
// the value it had before (so nested scopes of the same flag work). Controls
// use it for their re-entrancy guards.
#pragma once

namespace KX {

class ScopedFlag
{
public:
    explicit ScopedFlag(bool& flag) : mFlag(flag), mPrevious(flag) { mFlag = true; }
    ~ScopedFlag() { mFlag = mPrevious; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& mFlag;
    bool mPrevious;
};

} // namespace KX

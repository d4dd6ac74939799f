// KX::LHolder<T>: a reference-counted box of one value, so that a plain value
// can travel wherever the framework expects an object (a worker's task, a file
// handle, a flag in a notification).
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <memory>

namespace KX {

template <class T>
class LHolder : public virtual LRefCountedObject
{
public:
    LHolder() : mValue(new T()) {}
    explicit LHolder(const T& value) : mValue(new T(value)) {}

    // A new holder of the value, in an acquired pointer (count 1).
    static RCPtr<LHolder> Create(const T& value = T()) { return RCPtr<LHolder>(new LHolder(value)); }

    T& GetValue() { return *mValue; }
    const T& GetValue() const { return *mValue; }
    void SetValue(const T& value) { *mValue = value; }

private:
    std::unique_ptr<T> mValue;
};

} // namespace KX

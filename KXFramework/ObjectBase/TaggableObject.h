// KX::LTaggableObject: an object that carries one tag object. The tag starts
// null and is released with the object.
#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace KX {

class LTaggableObject : public virtual LRefCountedObject
{
public:
    const RCPtr<LRefCountedObject>& GetTag() const { return mTag; }
    void SetTag(const RCPtr<LRefCountedObject>& tag) { mTag = tag; }

private:
    RCPtr<LRefCountedObject> mTag;
};

} // namespace KX

// KX::LRCPtrArray<T,G,S>: a KX::RCPtrArray that is itself a reference-counted
// object with a tag, so several holders can share one list (a skin's look
// list, shared by the descriptors that name it).
#pragma once

#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace KX {

template <class T, uint32_t G = 1, uint32_t S = 0>
class LRCPtrArray : public RCPtrArray<T, G, S>, public virtual LTaggableObject
{
public:
    static RCPtr<LRCPtrArray> Create() { return RCPtr<LRCPtrArray>(new LRCPtrArray()); }

protected:
    // Destroyed by its last release: the elements go first, then the tag.
    ~LRCPtrArray() override = default;
};

} // namespace KX

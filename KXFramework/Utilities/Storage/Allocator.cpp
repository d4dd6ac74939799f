#include "Utilities/Storage/Allocator.h"

#include <cstdlib>

namespace KX {

void* SystemAllocator::Malloc(size_t size)
{
    return std::malloc(size);
}

void* SystemAllocator::Calloc(size_t count, size_t elementSize)
{
    return std::calloc(count, elementSize);
}

void* SystemAllocator::Realloc(void* block, size_t size)
{
    return std::realloc(block, size);
}

void SystemAllocator::Free(void* block)
{
    std::free(block);
}

IAllocator* GetSystemAllocator()
{
    // Stateless and trivially destructible: it outlives every static buffer
    // whatever the order in which static objects are torn down.
    static SystemAllocator sAllocator;
    return &sAllocator;
}

} // namespace KX

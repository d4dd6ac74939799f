// KX::IAllocator and KX::SystemAllocator: where every buffer of the framework
// gets its heap memory.
//
// Contract:
// - SystemAllocator has no state; its operations are the run-time library's
//   malloc, calloc, realloc and free with the same arguments and results, so a
//   failure answers null exactly as those do.
// - GetSystemAllocator answers the one SystemAllocator of the process. It is a
//   function-local static: made on the first call (during static
//   initialisation, when the program's static strings are built) and never
//   destroyed before exit, so buffers may use it from any static object.
#pragma once

#include <cstddef>

namespace KX {

class IAllocator
{
public:
    virtual void* Malloc(size_t size) = 0;
    virtual void* Calloc(size_t count, size_t elementSize) = 0;
    virtual void* Realloc(void* block, size_t size) = 0;
    virtual void Free(void* block) = 0;

protected:
    // Allocators are never destroyed through this interface.
    ~IAllocator() = default;
};

class SystemAllocator final : public IAllocator
{
public:
    void* Malloc(size_t size) override;
    void* Calloc(size_t count, size_t elementSize) override;
    void* Realloc(void* block, size_t size) override;
    void Free(void* block) override;
};

// The allocator function that every buffer template takes as its parameter.
using AllocatorFunction = IAllocator* (*)();

IAllocator* GetSystemAllocator();

} // namespace KX

// KX::IIterable<T>: the framework's iteration interface over elements of type
// T. Callers program against it (and KX::IArray) and work with whichever
// collection they are given.
//
// Contract:
// - Counts, indices and results are signed 32-bit; a negative result is a
//   result code (E_INVALIDARG for a bad index or a negative count, E_FAIL when
//   the collection cannot take a count).
// - A Position marks one element (for every array it is the element's
//   address); an Iterator is the collection and a Position. Both stay valid only
//   until the storage changes.
// - The defaults below are built from the other operations through iterators;
//   implementations replace them where they can do better.
// - No destructor through this interface: collections are owned by their
//   holders and destroyed through their own classes.
#pragma once

#include "ObjectBase/ResultCodes.h"

#include <cstdint>

namespace KX {

template <class T>
class IIterable
{
public:
    using ValueType = T;
    using Position = void*;

    struct Iterator
    {
        IIterable* container = nullptr;
        Position position = nullptr;

        T& operator*() const { return container->GetItem(position); }
        T* operator->() const { return &container->GetItem(position); }
        Iterator& operator++()
        {
            position = container->Advance(position, 1);
            return *this;
        }
        bool operator==(const Iterator& other) const
        {
            return container == other.container && position == other.position;
        }
        bool operator!=(const Iterator& other) const { return !(*this == other); }
    };

    virtual int32_t GetCount() const = 0;
    virtual int32_t GetMaxCount() const { return 0x7FFFFFFF; }

    Iterator Begin() const { return Iterator{const_cast<IIterable*>(this), GetBeginPosition()}; }
    Iterator End() const { return Iterator{const_cast<IIterable*>(this), GetEndPosition()}; }
    // For range-based for loops.
    Iterator begin() const { return Begin(); }
    Iterator end() const { return End(); }

    // The element at a position; the const form calls this one.
    virtual T& GetItem(Position position) = 0;
    const T& GetItem(Position position) const { return const_cast<IIterable*>(this)->GetItem(position); }

    // The element at an index: Begin, then Advance one step index times.
    virtual T& GetAt(int32_t index)
    {
        Position position = GetBeginPosition();
        for (int32_t i = 0; i < index; ++i)
            position = Advance(position, 1);
        return GetItem(position);
    }
    const T& GetAt(int32_t index) const { return const_cast<IIterable*>(this)->GetAt(index); }

    // The position n elements further (n may be negative), never leaving the
    // range from the first element to the end position.
    virtual Position Advance(Position position, int32_t n) const = 0;
    virtual Position GetBeginPosition() const = 0;
    virtual Position GetEndPosition() const = 0;

    virtual int32_t SetCount(int32_t count) = 0;
    // n new elements at the index; the new count or an error.
    virtual int32_t InsertItems(int32_t index, int32_t count) = 0;
    virtual int32_t RemoveItems(int32_t index, int32_t count) = 0;

    // 0, or E_FAIL when the collection could not be emptied.
    virtual int32_t RemoveAll() { return SetCount(0) == 0 ? 0 : static_cast<int32_t>(E_FAIL); }

    virtual int32_t InsertItem(int32_t index, const T& value)
    {
        const T copy(value); // the value may be an element that the insertion moves
        const int32_t result = InsertItems(index, 1);
        if (result < 0)
            return result;
        GetAt(index) = copy;
        return result;
    }

    // Copies the element to `out`, then removes it. A bad index answers
    // E_INVALIDARG and reads nothing.
    virtual int32_t RemoveItem(int32_t index, T& out)
    {
        if (index < 0 || index >= GetCount())
            return E_INVALIDARG;
        out = GetAt(index);
        return RemoveItems(index, 1);
    }

    // Appends copies of the other's elements: the new count, or E_FAIL when
    // this collection cannot take the new count (nothing is copied then).
    virtual int32_t Append(const IIterable& other)
    {
        const int32_t old = GetCount();
        const int32_t n = other.GetCount();
        if (n <= 0)
            return old;
        if (static_cast<int64_t>(old) + n > 0x7FFFFFFF)
            return E_FAIL;
        const int32_t total = old + n;
        if (SetCount(total) != total)
            return E_FAIL;
        // Counted walk: the other may be this collection, now twice as long.
        Position position = other.GetBeginPosition();
        for (int32_t i = 0; i < n; ++i) {
            GetAt(old + i) = other.GetItem(position);
            position = other.Advance(position, 1);
        }
        return total;
    }

    virtual int32_t AddItem(const T& value) { return InsertItem(GetCount(), value); }

    // E_FAIL on an empty collection.
    virtual int32_t RemoveLastItem(T& out)
    {
        const int32_t count = GetCount();
        if (count <= 0)
            return E_FAIL;
        return RemoveItem(count - 1, out);
    }

    // Makes this collection a copy of the other (assigning itself changes nothing).
    virtual int32_t Assign(const IIterable& other)
    {
        if (&other == this)
            return GetCount();
        SetCount(0);
        return Append(other);
    }

    virtual int32_t SwapItems(int32_t a, int32_t b)
    {
        const auto count = static_cast<uint32_t>(GetCount());
        if (static_cast<uint32_t>(a) >= count || static_cast<uint32_t>(b) >= count)
            return E_INVALIDARG;
        if (a != b) {
            T copy(GetAt(a));
            GetAt(a) = GetAt(b);
            GetAt(b) = copy;
        }
        return 0;
    }

protected:
    IIterable() = default;
    IIterable(const IIterable&) = default;
    IIterable& operator=(const IIterable&) = default;
    ~IIterable() = default;
};

} // namespace KX

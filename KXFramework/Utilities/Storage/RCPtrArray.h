// KX::RCPtrArray<T,G,S>: the array of counted pointers through which callers
// hold children, clients and items. Its primary view is KX::IArray of
// KX::RCPtr<T>; through its KX::ConstRCPtrArray base the same slots are also
// an KX::IArray of KX::ConstRCPtr<T>. Both views work on one storage and
// follow the contract of KX::ConstRCPtrArray; RemoveItem of this view throws
// with its own text.
#pragma once

#include "Utilities/Storage/ConstRCPtrArray.h"

namespace KX {

template <class T, uint32_t G = 1, uint32_t S = 0>
class RCPtrArray : public IArray<RCPtr<T>>, public ConstRCPtrArray<T, G, S>
{
    using Const = ConstRCPtrArray<T, G, S>;
    using View = IArray<RCPtr<T>>;
    using Iterable = IIterable<RCPtr<T>>;

public:
    using Position = typename Iterable::Position;
    using Iterator = typename Iterable::Iterator;

    explicit RCPtrArray(int32_t count = 0, int32_t capacity = 0) : Const(count, capacity) {}
    RCPtrArray(const RCPtrArray& other) : View(), Const(other) {}
    RCPtrArray& operator=(const RCPtrArray& other)
    {
        Const::operator=(other);
        return *this;
    }

    // Operations that both views share: one implementation, the slots'.
    int32_t GetCount() const override { return Const::GetCount(); }
    int32_t GetMaxCount() const override { return Const::GetMaxCount(); }
    Position Advance(Position position, int32_t n) const override { return Const::Advance(position, n); }
    Position GetBeginPosition() const override { return Const::GetBeginPosition(); }
    Position GetEndPosition() const override { return Const::GetEndPosition(); }
    int32_t SetCount(int32_t count) override { return Const::SetCount(count); }
    int32_t InsertItems(int32_t index, int32_t count) override { return Const::InsertItems(index, count); }
    int32_t RemoveItems(int32_t index, int32_t count) override { return Const::RemoveItems(index, count); }
    int32_t RemoveAll() override { return Const::RemoveAll(); }

    int32_t SwapItems(int32_t a, int32_t b) override { return Const::SwapItems(a, b); }

    // The const forms come from the primary view (a const GetData of this
    // class's own would clash with the buffer's).
    using View::GetData;
    using View::GetAt;
    using View::GetItem;
    RCPtr<T>* GetData() override { return static_cast<RCPtr<T>*>(Const::GetData()); }
    RCPtr<T>& GetAt(int32_t index) override { return GetData()[index]; }
    RCPtr<T>& GetItem(Position position) override { return *static_cast<RCPtr<T>*>(position); }

    Iterator Begin() const { return View::Begin(); }
    Iterator End() const { return View::End(); }
    Iterator begin() const { return View::Begin(); }
    Iterator end() const { return View::End(); }

    // The operations of the primary view.
    int32_t InsertItem(int32_t index, const RCPtr<T>& value) override { return Const::InsertItem(index, value); }
    int32_t AddItem(const RCPtr<T>& value) override { return InsertItem(GetCount(), value); }

    int32_t RemoveItem(int32_t index, RCPtr<T>& out) override
    {
        if (index < 0)
            return E_INVALIDARG;
        if (index >= GetCount()) {
            const std::string operation = "KX::RCPtrArray<" + TypeNameOf<T>() + "," + std::to_string(G) + "," +
                                          std::to_string(S) + ">::RemoveItem";
            KX_THROW(std::out_of_range, "", operation.c_str(), "utilities/Storage/RCPtrArray", 175);
        }
        return Const::TakeItem(index, out);
    }

    int32_t RemoveLastItem(RCPtr<T>& out) override { return Const::RemoveLastItem(out); }
    int32_t Append(const Iterable& other) override { return Const::AppendFrom(other); }
    int32_t Assign(const Iterable& other) override
    {
        if (&other == static_cast<const Iterable*>(this))
            return GetCount();
        SetCount(0);
        return Append(other);
    }

    // The second view, for code that takes constant pointers.
    Const& AsConst() { return *this; }
    const Const& AsConst() const { return *this; }
};

} // namespace KX

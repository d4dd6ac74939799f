// KX::ConstRCPtr<T> and KX::RCPtr<T>: intrusive counted pointers over
// KX::LRefCountedObject.
//
// Contract:
// - A non-null pointer owns exactly one count of its object. Constructing or
//   copying takes a reference; destroying or reassigning gives it back.
// - Assignment counts the new object before it releases the old one, so a
//   self-assignment never releases and p = q is safe when p held the last
//   reference of its object.
// - Acquiring an unshareable object that somebody else also holds replaces it
//   by a private copy (Unshare). When the copy is missing or of another class,
//   Unshare throws a logic error and leaves the pointer null.
// - A single pointer variable is not synchronised: its owner guards it when
//   several threads can reach it. The counts themselves are atomic.
#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace KX {

class LRefCountedObject;
template <class T> class RCPtr;

template <class T>
class ConstRCPtr
{
public:
    constexpr ConstRCPtr() noexcept = default;
    constexpr ConstRCPtr(std::nullptr_t) noexcept {}
    ConstRCPtr(T* object) : mObject(object) { Acquire(); }
    ConstRCPtr(const ConstRCPtr& other) : mObject(other.mObject) { Acquire(); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ConstRCPtr(const ConstRCPtr<U>& other) : mObject(other.Get()) { Acquire(); }
    ~ConstRCPtr()
    {
        if (mObject)
            Base(mObject)->Release();
    }

    ConstRCPtr& operator=(const ConstRCPtr& other) { Reset(other.mObject); return *this; }
    ConstRCPtr& operator=(T* object) { Reset(object); return *this; }
    ConstRCPtr& operator=(std::nullptr_t) { Reset(nullptr); return *this; }

    // A pointer to the source's object as a T when it is one, else null.
    template <class U>
    static ConstRCPtr DynamicCast(const ConstRCPtr<U>& source)
    {
        return ConstRCPtr(dynamic_cast<T*>(source.Get()));
    }
    // A pointer to the same object as a T, without a run-time test.
    template <class U>
    static ConstRCPtr StaticCast(const ConstRCPtr<U>& source)
    {
        return ConstRCPtr(static_cast<T*>(source.Get()));
    }

    const T* operator->() const { return mObject; }
    const T& operator*() const { return *mObject; }
    const T* GetConst() const { return mObject; }
    T* Get() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }
    bool IsNull() const { return mObject == nullptr; }

    template <class U>
    bool operator==(const ConstRCPtr<U>& other) const { return Base(mObject) == Base(other.Get()); }
    template <class U>
    bool operator!=(const ConstRCPtr<U>& other) const { return !(*this == other); }
    bool operator==(std::nullptr_t) const { return mObject == nullptr; }
    bool operator!=(std::nullptr_t) const { return mObject != nullptr; }

    // The null pointer of this element type, for getters that answer a
    // reference and have no object. Never assign to it. A reference, so that
    // naming ConstRCPtr<T> does not need RCPtr<T> complete.
    static const RCPtr<T>& sNull;

protected:
    static LRefCountedObject* Base(const T* object)
    {
        return const_cast<LRefCountedObject*>(static_cast<const LRefCountedObject*>(object));
    }

    void Reset(T* object)
    {
        if (object == mObject)
            return;
        T* previous = mObject;
        mObject = object;
        // The old object is released even when acquiring the new one throws
        // (Unshare's copy failed), so no reference is kept for ever.
        struct ReleaseOnExit {
            T* object;
            ~ReleaseOnExit()
            {
                if (object)
                    Base(object)->Release();
            }
        } release{previous};
        Acquire();
    }

    void Acquire()
    {
        if (!mObject)
            return;
        Base(mObject)->AddRef();
        if (!Base(mObject)->IsShareable())
            Unshare();
    }

    void Unshare();

    T* mObject = nullptr;
};

template <class T>
class RCPtr : public ConstRCPtr<T>
{
    using Super = ConstRCPtr<T>;

public:
    using Super::Super;
    constexpr RCPtr() noexcept = default;
    RCPtr(const RCPtr& other) : Super(other) {}
    RCPtr(const ConstRCPtr<T>& other) = delete; // no write access from a const pointer
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RCPtr(const RCPtr<U>& other) : Super(other.Get()) {}

    RCPtr& operator=(const RCPtr& other) { this->Reset(other.Get()); return *this; }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RCPtr& operator=(const RCPtr<U>& other) { this->Reset(other.Get()); return *this; }
    RCPtr& operator=(T* object) { this->Reset(object); return *this; }
    RCPtr& operator=(std::nullptr_t) { this->Reset(nullptr); return *this; }

    template <class U>
    static RCPtr DynamicCast(const ConstRCPtr<U>& source) { return RCPtr(dynamic_cast<T*>(source.Get())); }
    template <class U>
    static RCPtr StaticCast(const ConstRCPtr<U>& source) { return RCPtr(static_cast<T*>(source.Get())); }

    T* operator->() const { return this->mObject; }
    T& operator*() const { return *this->mObject; }
};

// The storage behind ConstRCPtr<T>::sNull: zero before any code runs.
template <class T>
struct NullRCPtr
{
    static const RCPtr<T> sValue;
};

template <class T>
const RCPtr<T> NullRCPtr<T>::sValue;

template <class T>
const RCPtr<T>& ConstRCPtr<T>::sNull = NullRCPtr<T>::sValue;

} // namespace KX

#include "ObjectBase/RefCountedObject.h"

namespace KX {

template <class T>
void ConstRCPtr<T>::Unshare()
{
    if (!mObject || Base(mObject)->GetRefCount() <= 1)
        return;
    {
        RCPtr<LRefCountedObject> copy = Base(mObject)->CreateCopy();
        T* converted = nullptr;
        if constexpr (std::is_same_v<T, LRefCountedObject>)
            converted = copy.Get();
        else
            converted = dynamic_cast<T*>(copy.Get());
        if (converted != mObject) {
            T* previous = mObject;
            mObject = converted;
            if (mObject)
                Base(mObject)->AddRef(); // the copy is shareable: no further copy
            if (previous)
                Base(previous)->Release();
        }
    }
    if (!mObject) {
        const std::string typeName = TypeNameOf<T>();
        const std::string operation = "KX::ConstRCPtr<" + typeName + ">::Unshare";
        KX_THROW(std::logic_error, typeName, operation.c_str(), "ObjectBase/RefCountedObject", 369);
    }
}

} // namespace KX

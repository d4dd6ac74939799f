// KX::LRefCountedObject: the base of every shared framework object.
//
// Contract:
// - A new object has a count of 0; the smart pointer that receives it from its
//   factory makes it 1. The release that brings the count to 0 deletes the
//   object; nothing else ever deletes one.
// - Internal references are references that an object's own parts hold back on
//   it (registrations, port lists, queue receivers). They are counted in both
//   counters. When only they would remain after a release, Release first calls
//   ReleaseInternalReferences once, which drops them and breaks the cycle.
// - An unshareable object makes every further holder take a private copy
//   (CreateCopy, driven by the smart pointer's Unshare). Only string buffers use it.
// - A class that may reach LRefCountedObject along several paths (an
//   interface that is counted itself, as most are) derives from it as a
//   virtual base, so the object holds one set of counters; a class with one
//   path only may derive from it plainly (the renderers' and thread pool's
//   inner records do).
#pragma once

#include "ObjectBase/Exception.h"

#include <atomic>
#include <cstdint>

namespace KX {

template <class C, class O> class StringT;
template <class T> class ConstRCPtr;
template <class T> class RCPtr;

// Any object can give a text for itself.
class IStringable
{
public:
    virtual ~IStringable() = default;
    virtual StringT<wchar_t, char> ToString() const = 0;
};

class IUndoable : public IStringable
{
public:
    virtual void Undo() = 0;
};

class LRefCountedObject : public IUndoable
{
public:
    LRefCountedObject() = default;
    LRefCountedObject(const LRefCountedObject&) : LRefCountedObject() {}
    LRefCountedObject& operator=(const LRefCountedObject&) { return *this; }

    // "class " and the qualified name of the most-derived class.
    StringT<wchar_t, char> ToString() const override;
    // Not implemented by any class: throws a logic error.
    void Undo() override;

    virtual int32_t AddRef();
    // Runs the internal-reference hook when due, decrements, deletes at 0.
    // Returns the new count; at 0 the object no longer exists.
    virtual int32_t Release();
    // Base: S_OK when the caller holds the only reference and no internal
    // references exist, else E_FAIL. Overrides drop their back-references.
    virtual KXRESULT ReleaseInternalReferences();
    // A new shareable copy of the object; the base throws a logic error.
    virtual RCPtr<LRefCountedObject> CreateCopy() const;

    // True makes the object unshareable; refused (runtime error) while more
    // than one reference exists. False always succeeds.
    void SetUnshareable(bool unshareable);
    // Read, add, exchange: the internal count is written by its owner's thread.
    void AdjustInternalReferenceCount(int32_t delta);

    int32_t GetRefCount() const { return mRefCount.fetch_add(0); }
    int32_t GetInternalRefCount() const { return mInternalRefCount.fetch_add(0); }
    bool IsShareable() const { return mShareable; }

protected:
    ~LRefCountedObject() override = default;

private:
    mutable std::atomic<int32_t> mRefCount{0};
    mutable std::atomic<int32_t> mInternalRefCount{0};
    std::atomic<int32_t> mReleaseHookGuard{0};
    bool mShareable = true;
};

} // namespace KX

#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"

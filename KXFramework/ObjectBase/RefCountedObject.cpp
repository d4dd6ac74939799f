#include "ObjectBase/RefCountedObject.h"

#include "ObjectBase/TypeName.h"

#include <typeinfo>

namespace KX {

StringT<wchar_t, char> LRefCountedObject::ToString() const
{
    return StringT<wchar_t, char>(ClassTypeName(typeid(*this)).c_str());
}

void LRefCountedObject::Undo()
{
    KX_THROW(std::logic_error, "Undo() not implemented for RefCountedObject", "KX::LRefCountedObject::Undo",
             "ObjectBase/RefCountedObject", 155);
}

int32_t LRefCountedObject::AddRef()
{
    return mRefCount.fetch_add(1) + 1;
}

int32_t LRefCountedObject::Release()
{
    const int32_t count = mRefCount.fetch_add(0);
    const int32_t internal = mInternalRefCount.fetch_add(0);
    if (count == internal + 1 && mReleaseHookGuard.fetch_add(0) == 0 && mInternalRefCount.fetch_add(0) > 0) {
        // The caller's reference is still counted here, so the releases the hook
        // causes can lower the count to 1 but never to 0, and the guard keeps
        // them from running the hook again.
        mReleaseHookGuard.fetch_add(1);
        ReleaseInternalReferences();
        mReleaseHookGuard.fetch_sub(1);
    }
    const int32_t remaining = mRefCount.fetch_sub(1) - 1;
    if (remaining == 0)
        delete this;
    return remaining;
}

KXRESULT LRefCountedObject::ReleaseInternalReferences()
{
    if (mInternalRefCount.fetch_add(0) != 0)
        return E_FAIL;
    if (mRefCount.fetch_add(0) != 1)
        return E_FAIL;
    return S_OK;
}

RCPtr<LRefCountedObject> LRefCountedObject::CreateCopy() const
{
    KX_THROW(std::logic_error, "CreateCopy() not implemented for RefCountedObject",
             "KX::LRefCountedObject::CreateCopy", "ObjectBase/RefCountedObject", 228);
}

void LRefCountedObject::SetUnshareable(bool unshareable)
{
    if (unshareable && mRefCount.fetch_add(0) > 1)
        KX_THROW(std::runtime_error, "", "KX::LRefCountedObject::SetUnshareable", "ObjectBase/RefCountedObject", 29);
    mShareable = !unshareable;
}

void LRefCountedObject::AdjustInternalReferenceCount(int32_t delta)
{
    const int32_t current = mInternalRefCount.fetch_add(0);
    mInternalRefCount.exchange(current + delta);
}

} // namespace KX

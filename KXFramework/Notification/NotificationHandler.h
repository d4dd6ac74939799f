// KX::LNotificationHandler<T>: a handler table that routes a received
// notification to a member function of its owner, by the pair (sender
// distributor, identifier); and KX::CAutoNotificationDisabler<T>, a scope guard
// that mutes one binding of such a table.
//
// Contract:
// - T derives from KX::LNotificationClient. The owner creates its table with
//   itself, holds it through an RCPtr and outlives it; the table does not count
//   the owner.
// - AddHandler registers the owner with the sender and binds the pair; the
//   first binding of a pair wins, though the registration's flags follow the
//   latest call. AddDirectHandler binds (no sender, identifier) for
//   notifications handed straight to the owner with a null sender.
// - Keys hold only addresses: the owner removes a binding when the sender asks
//   it to unregister (its UnregisterNotification override calls RemoveHandler
//   on each of its tables, then LNotificationClient::Unregister).
// - No lock: tables are built and changed on the owner's thread; another
//   thread may route through a table that nobody changes meanwhile.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationID.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace KX {

// The key of a binding: the sender's address (null for direct delivery) and the
// interned identifier, ordered by sender, then identifier.
class Receivable
{
public:
    Receivable(const LNotificationDistributor* sender, const wchar_t* identifier)
        : mSender(sender), mIdentifier(identifier)
    {
    }
    virtual ~Receivable() = default;

    bool operator<(const Receivable& other) const
    {
        if (mSender != other.mSender)
            return std::less<const LNotificationDistributor*>()(mSender, other.mSender);
        return std::less<const wchar_t*>()(mIdentifier, other.mIdentifier);
    }
    bool operator==(const Receivable& other) const
    {
        return mSender == other.mSender && mIdentifier == other.mIdentifier;
    }

    const LNotificationDistributor* mSender;
    const wchar_t* mIdentifier;
};

template <class T>
class LNotificationHandler : public virtual LRefCountedObject
{
public:
    using Callback = KXRESULT (T::*)(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);

    explicit LNotificationHandler(T* owner) : mOwner(owner) {}

    // 0; E_INVALIDARG for a null sender; E_FAIL when the owner could not be
    // registered (null or empty name): nothing is bound then.
    KXRESULT AddHandler(Callback callback, const RCPtr<LNotificationDistributor>& sender, const wchar_t* name,
                        uint32_t flags = 0)
    {
        if (!sender)
            return E_INVALIDARG;
        const wchar_t* identifier = Client()->Register(sender, name, flags);
        if (!identifier)
            return E_FAIL;
        mBindings.emplace(Receivable(sender.Get(), identifier), callback);
        return S_OK;
    }

    // 0, or E_FAIL for a null or empty name. Registers nothing.
    KXRESULT AddDirectHandler(Callback callback, const wchar_t* name)
    {
        const wchar_t* identifier = InternNotificationID(name);
        if (!identifier)
            return E_FAIL;
        mBindings.emplace(Receivable(nullptr, identifier), callback);
        return S_OK;
    }

    // True when a binding was removed. The owner stays registered.
    bool RemoveHandler(const RCPtr<LNotificationDistributor>& sender, const wchar_t* name)
    {
        const wchar_t* identifier = InternNotificationID(name);
        return identifier && mBindings.erase(Receivable(sender.Get(), identifier)) > 0;
    }

    // 0 with the bound callback and the owner's registration flags with the
    // sender; E_FAIL when there is no binding or no registration.
    KXRESULT GetHandler(const RCPtr<LNotificationDistributor>& sender, const wchar_t* name, Callback& callback,
                        uint32_t& flags) const
    {
        const wchar_t* identifier = InternNotificationID(name);
        if (!identifier)
            return E_FAIL;
        const auto found = mBindings.find(Receivable(sender.Get(), identifier));
        if (found == mBindings.end())
            return E_FAIL;
        callback = found->second;
        if (!sender)
            return E_FAIL;
        return sender->GetClientFlags(RCPtr<LNotificationReceiver>(Client()), identifier, flags);
    }

    // The bound member function's result, or 0 when no binding matches.
    KXRESULT HandleNotification(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification)
    {
        if (!notification)
            return S_OK;
        const auto found = mBindings.find(Receivable(sender.Get(), notification->GetID()));
        if (found == mBindings.end())
            return S_OK;
        return (mOwner->*(found->second))(sender, notification);
    }

    T* GetOwner() const { return mOwner; }
    int32_t GetBindingCount() const { return static_cast<int32_t>(mBindings.size()); }

    // Whether the table binds the notification's (sender, identifier) pair,
    // so that HandleNotification would call a member. A class whose tables
    // form a chain (its own, then its base classes') offers a notification to
    // the first table that binds it.
    bool Binds(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification) const
    {
        return notification && mBindings.count(Receivable(sender.Get(), notification->GetID())) > 0;
    }
    // Whether the table binds (sender, identifier); a null sender asks for a
    // direct binding.
    bool IsBound(const RCPtr<LNotificationDistributor>& sender, const wchar_t* name) const
    {
        const wchar_t* identifier = InternNotificationID(name);
        return identifier && mBindings.count(Receivable(sender.Get(), identifier)) > 0;
    }

protected:
    ~LNotificationHandler() override = default;

private:
    LNotificationClient* Client() const { return static_cast<LNotificationClient*>(mOwner); }

    T* mOwner;
    std::map<Receivable, Callback> mBindings;
};

// Mutes one binding of a handler table of T for the guard's scope: the owner is
// unregistered from the sender for the identifier and the binding removed; the
// destructor binds and registers it again with the saved flags (the owner is
// then the most recent registration of its pool).
// Failures throw the failed-result exception. The destructor may throw too
// (only when the binding cannot be restored), so it is declared to let its
// exception out.
template <class T>
class CAutoNotificationDisabler
{
public:
    using Handler = LNotificationHandler<T>;

    CAutoNotificationDisabler(const RCPtr<Handler>& handler, const RCPtr<LNotificationDistributor>& sender,
                              const wchar_t* name)
        : mHandler(handler), mSender(sender), mIdentifier(InternNotificationID(name))
    {
        KXRESULT result = mHandler->GetHandler(mSender, mIdentifier, mCallback, mFlags);
        if (result < 0)
            Throw(result, "CAutoNotificationDisabler", 247);
        const KXRESULT unregistered = Owner()->Unregister(mSender, mIdentifier);
        const bool removed = mHandler->RemoveHandler(mSender, mIdentifier);
        if (!removed || unregistered < 0)
            Throw(removed ? unregistered : E_FAIL, "CAutoNotificationDisabler", 248);
    }

    ~CAutoNotificationDisabler() noexcept(false)
    {
        const KXRESULT result = mHandler->AddHandler(mCallback, mSender, mIdentifier, mFlags);
        if (result < 0)
            Throw(result, "~CAutoNotificationDisabler", 253);
    }

    CAutoNotificationDisabler(const CAutoNotificationDisabler&) = delete;
    CAutoNotificationDisabler& operator=(const CAutoNotificationDisabler&) = delete;

private:
    LNotificationClient* Owner() const { return static_cast<LNotificationClient*>(mHandler->GetOwner()); }

    [[noreturn]] static void Throw(KXRESULT result, const char* operation, int line)
    {
        const std::string name = "KX::CAutoNotificationDisabler<" + TypeNameOf<T>() + ">::" + operation;
        ThrowException<FailedResultException>(ResultCodeToString(result), name.c_str(),
                                              "notification/NotificationHandler", line);
    }

    RCPtr<Handler> mHandler;
    RCPtr<LNotificationDistributor> mSender;
    const wchar_t* mIdentifier;
    uint32_t mFlags = 0;
    typename Handler::Callback mCallback = nullptr;
};

} // namespace KX

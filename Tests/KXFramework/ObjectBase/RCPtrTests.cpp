#include "ObjectBase/Holder.h"
#include "ObjectBase/RefCountedObject.h"

#include <gtest/gtest.h>

using namespace KX;

namespace {

class Counted : public virtual LRefCountedObject
{
public:
    explicit Counted(int* destroyed = nullptr) : mDestroyed(destroyed) {}
    ~Counted() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }

private:
    int* mDestroyed;
};

class Other : public virtual LRefCountedObject
{
};

// A copy-on-write object whose CreateCopy answers what the test asks for.
class Copyable : public virtual LRefCountedObject
{
public:
    enum class CopyKind { Good, Null, WrongClass };
    explicit Copyable(CopyKind kind, int value = 0) : mKind(kind), value(value) {}

    RCPtr<LRefCountedObject> CreateCopy() const override
    {
        switch (mKind) {
        case CopyKind::Good: return RCPtr<LRefCountedObject>(new Copyable(mKind, value));
        case CopyKind::WrongClass: return RCPtr<LRefCountedObject>(new Other());
        case CopyKind::Null: break;
        }
        return RCPtr<LRefCountedObject>();
    }

    CopyKind mKind;
    int value;
};

// Named only through the const pointer before any RCPtr of it exists: the
// conversion from a derived pointer must not need RCPtr<ConstOnlyBase>.
class ConstOnlyBase : public virtual LRefCountedObject
{
};
class ConstOnlyDerived : public ConstOnlyBase
{
};
int CountOf(const ConstRCPtr<ConstOnlyBase>& pointer) { return pointer->GetRefCount(); }

} // namespace

TEST(RCPtr, DerivedPointerPassesAsConstBasePointer)
{
    RCPtr<ConstOnlyDerived> derived(new ConstOnlyDerived());
    EXPECT_EQ(2, CountOf(derived));
    EXPECT_EQ(1, derived->GetRefCount());
}

TEST(RCPtr, NullPointersTouchNoCount)
{
    RCPtr<Counted> a;
    RCPtr<Counted> b = a;
    a = b;
    ConstRCPtr<LRefCountedObject> c = a;
    EXPECT_FALSE(a);
    EXPECT_TRUE(c == nullptr);
    EXPECT_TRUE(RCPtr<Counted>::sNull.IsNull());
    EXPECT_TRUE(ConstRCPtr<Counted>::sNull.IsNull());
}

TEST(RCPtr, SelfAssignmentAndSameObjectAssignmentKeepTheCount)
{
    RCPtr<Counted> a(new Counted());
    RCPtr<Counted> b = a;
    ASSERT_EQ(2, a->GetRefCount());
    a = a;
    EXPECT_EQ(2, a->GetRefCount());
    a = b;
    EXPECT_EQ(2, a->GetRefCount());
}

TEST(RCPtr, AssigningOverTheLastReferenceCountsTheNewObjectFirst)
{
    int destroyedP = 0, destroyedQ = 0;
    RCPtr<Counted> p(new Counted(&destroyedP));
    RCPtr<Counted> q(new Counted(&destroyedQ));
    p = q;
    EXPECT_EQ(1, destroyedP);
    EXPECT_EQ(0, destroyedQ);
    EXPECT_EQ(2, q->GetRefCount());

    // An object assigned from a pointer that only it keeps alive survives.
    struct Chain : public virtual LRefCountedObject {
        RCPtr<Chain> next;
    };
    RCPtr<Chain> head(new Chain());
    head->next = new Chain();
    head = head->next;
    EXPECT_EQ(1, head->GetRefCount());
}

TEST(RCPtr, DynamicCastTestsTheClassAndKeepsTheSourceCount)
{
    RCPtr<Counted> counted(new Counted());
    ConstRCPtr<LRefCountedObject> base = counted;
    EXPECT_EQ(2, counted->GetRefCount());

    RCPtr<Counted> back = RCPtr<Counted>::DynamicCast(base);
    EXPECT_EQ(counted.Get(), back.Get());
    EXPECT_EQ(3, counted->GetRefCount());

    RCPtr<Other> wrong = RCPtr<Other>::DynamicCast(base);
    EXPECT_FALSE(wrong);
    EXPECT_EQ(3, counted->GetRefCount());

    EXPECT_FALSE(RCPtr<Counted>::DynamicCast(ConstRCPtr<LRefCountedObject>()));
    EXPECT_TRUE(base == back);
}

TEST(RCPtr, UnshareableObjectHeldOnceIsKept)
{
    auto* object = new Copyable(Copyable::CopyKind::Null);
    object->SetUnshareable(true);
    RCPtr<Copyable> holder(object);
    EXPECT_EQ(object, holder.Get());
    EXPECT_EQ(1, holder->GetRefCount());
}

TEST(RCPtr, UnshareableSharedObjectGivesAPrivateCopy)
{
    RCPtr<Copyable> original(new Copyable(Copyable::CopyKind::Good, 42));
    original->SetUnshareable(true);
    RCPtr<Copyable> copy = original;
    EXPECT_NE(original.Get(), copy.Get());
    EXPECT_EQ(42, copy->value);
    EXPECT_EQ(1, copy->GetRefCount());
    EXPECT_EQ(1, original->GetRefCount());
    EXPECT_TRUE(copy->IsShareable());
}

TEST(RCPtr, FailedUnshareThrowsAndLeavesThePointerNull)
{
    for (auto kind : {Copyable::CopyKind::Null, Copyable::CopyKind::WrongClass}) {
        RCPtr<Copyable> original(new Copyable(kind));
        original->SetUnshareable(true);
        RCPtr<Copyable> target;
        try {
            target = original;
            FAIL() << "no exception";
        } catch (const std::logic_error& error) {
            const std::string text = error.what();
            EXPECT_EQ(0u, text.rfind("Logic Error : ", 0)) << text;
            EXPECT_NE(std::string::npos, text.find("KX::ConstRCPtr<class ")) << text;
            EXPECT_NE(std::string::npos, text.find(">::Unshare : ObjectBase/RefCountedObject : Line 369")) << text;
            const std::string suffix = " : Line 369";
            EXPECT_EQ(text.size() - suffix.size(), text.rfind(suffix));
        }
        EXPECT_FALSE(target);
        EXPECT_EQ(1, original->GetRefCount()); // the shared object kept only its own holder
    }
}

TEST(RCPtr, UnshareTextNamesTheElementType)
{
    class NoCopy : public virtual LRefCountedObject
    {
    public:
        RCPtr<LRefCountedObject> CreateCopy() const override { return {}; }
    };
    RCPtr<LRefCountedObject> original(new NoCopy());
    original->SetUnshareable(true);
    try {
        RCPtr<LRefCountedObject> copy = original;
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : class KX::LRefCountedObject : KX::ConstRCPtr<class KX::LRefCountedObject>::Unshare"
                     " : ObjectBase/RefCountedObject : Line 369",
                     error.what());
    }
}

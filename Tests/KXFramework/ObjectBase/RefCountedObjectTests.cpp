#include "ObjectBase/Holder.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TaggableObject.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace KX;

namespace {

std::string Narrow(const StringT<wchar_t, char>& text)
{
    std::string out;
    for (int32_t i = 0; i < text.GetLength(); ++i)
        out += static_cast<char>(text.GetData()[i]);
    return out;
}

// An object whose parts hold `internalRefs` references back on it, the way a
// registration or a port list does. Its hook drops them all.
class Cyclic : public virtual LRefCountedObject
{
public:
    explicit Cyclic(int* destroyed) : mDestroyed(destroyed) {}
    ~Cyclic() override { ++*mDestroyed; }

    void HoldBackReferences(int internalRefs)
    {
        for (int i = 0; i < internalRefs; ++i) {
            mBack.emplace_back(this);
            AdjustInternalReferenceCount(1);
        }
    }

    KXRESULT ReleaseInternalReferences() override
    {
        ++hookRuns;
        while (!mBack.empty()) {
            AdjustInternalReferenceCount(-1);
            mBack.pop_back();
        }
        return LRefCountedObject::ReleaseInternalReferences();
    }

    int hookRuns = 0;

private:
    int* mDestroyed;
    std::vector<RCPtr<Cyclic>> mBack;
};

} // namespace

TEST(RefCountedObject, NewObjectStartsAtZeroAndLastReleaseDeletes)
{
    int destroyed = 0;
    auto* object = new Cyclic(&destroyed);
    EXPECT_EQ(0, object->GetRefCount());
    EXPECT_TRUE(object->IsShareable());
    {
        RCPtr<Cyclic> holder(object);
        EXPECT_EQ(1, object->GetRefCount());
    }
    EXPECT_EQ(1, destroyed);

    auto* raw = new Cyclic(&destroyed);
    raw->AddRef();
    EXPECT_EQ(0, raw->Release());
    EXPECT_EQ(2, destroyed);
}

TEST(RefCountedObject, TwoHoldersWithoutInternalReferencesRunNoHook)
{
    int destroyed = 0;
    RCPtr<Cyclic> first(new Cyclic(&destroyed));
    first->AddRef(); // a second holder
    EXPECT_EQ(1, first->Release());
    EXPECT_EQ(0, first->hookRuns);
    EXPECT_EQ(0, destroyed);
}

TEST(RefCountedObject, HookRunsOnceWhenOnlyInternalReferencesRemain)
{
    int destroyed = 0;
    auto* object = new Cyclic(&destroyed);
    object->AddRef(); // the one outside holder
    object->HoldBackReferences(2);
    ASSERT_EQ(3, object->GetRefCount());
    ASSERT_EQ(2, object->GetInternalRefCount());

    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(1, destroyed);
}

TEST(RefCountedObject, NoHookWhileTwoOutsideHoldersRemain)
{
    int destroyed = 0;
    auto* object = new Cyclic(&destroyed);
    object->AddRef();
    object->AddRef();
    object->HoldBackReferences(1); // count 3, internal 1: 3 is not 1 + 1
    EXPECT_EQ(2, object->Release());
    EXPECT_EQ(0, object->hookRuns);
    // The last outside release finds count 2 = 1 + 1: the hook drops the back
    // reference and the object goes.
    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(1, destroyed);
}

TEST(RefCountedObject, BaseReleaseInternalReferencesAnswer)
{
    RCPtr<LHolder<int>> holder = LHolder<int>::Create();
    EXPECT_EQ(S_OK, holder->ReleaseInternalReferences());
    RCPtr<LHolder<int>> second = holder;
    EXPECT_EQ(E_FAIL, holder->ReleaseInternalReferences());
    second = nullptr;
    holder->AdjustInternalReferenceCount(1);
    EXPECT_EQ(E_FAIL, holder->ReleaseInternalReferences());
    holder->AdjustInternalReferenceCount(-1);
}

TEST(RefCountedObject, SetUnshareableRefusedWhileShared)
{
    RCPtr<LHolder<int>> holder = LHolder<int>::Create();
    holder->SetUnshareable(true);
    EXPECT_FALSE(holder->IsShareable());
    holder->SetUnshareable(false);
    EXPECT_TRUE(holder->IsShareable());

    RCPtr<LHolder<int>> second = holder;
    try {
        holder->SetUnshareable(true);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Runtime Error : KX::LRefCountedObject::SetUnshareable : ObjectBase/RefCountedObject : Line 29",
                     error.what());
    }
    EXPECT_TRUE(holder->IsShareable());
    EXPECT_NO_THROW(holder->SetUnshareable(false));
}

TEST(RefCountedObject, NotImplementedOperationsThrowTheirTexts)
{
    RCPtr<LHolder<int>> holder = LHolder<int>::Create();
    try {
        holder->CreateCopy();
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : CreateCopy() not implemented for RefCountedObject : "
                     "KX::LRefCountedObject::CreateCopy : ObjectBase/RefCountedObject : Line 228",
                     error.what());
    }
    try {
        holder->Undo();
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : Undo() not implemented for RefCountedObject : "
                     "KX::LRefCountedObject::Undo : ObjectBase/RefCountedObject : Line 155",
                     error.what());
    }
}

TEST(RefCountedObject, ToStringNamesTheMostDerivedClass)
{
    EXPECT_EQ("class KX::LHolder<int>", Narrow(LHolder<int>::Create()->ToString()));
    RCPtr<LRefCountedObject> tagged(new LTaggableObject());
    EXPECT_EQ("class KX::LTaggableObject", Narrow(tagged->ToString()));
}

TEST(Holder, CreateGivesZeroValueAndCountOne)
{
    RCPtr<LHolder<int>> holder = LHolder<int>::Create();
    EXPECT_EQ(0, holder->GetValue());
    EXPECT_EQ(1, holder->GetRefCount());
    holder->SetValue(7);
    EXPECT_EQ(7, holder->GetValue());
    EXPECT_TRUE(LHolder<bool>::Create(true)->GetValue());
}

TEST(TaggableObject, TagStartsNullAndIsReleasedWithTheObject)
{
    RCPtr<LHolder<int>> tag = LHolder<int>::Create();
    {
        RCPtr<LTaggableObject> object(new LTaggableObject());
        EXPECT_FALSE(object->GetTag());
        object->SetTag(tag);
        EXPECT_EQ(2, tag->GetRefCount());
    }
    EXPECT_EQ(1, tag->GetRefCount());
}

TEST(RefCountedObject, CountsStayExactUnderConcurrentCopies)
{
    RCPtr<LHolder<int>> shared = LHolder<int>::Create();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                RCPtr<LHolder<int>> copy = shared;
                RCPtr<LRefCountedObject> base = copy;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(1, shared->GetRefCount());
}

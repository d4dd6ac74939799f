#include "ObjectBase/StaticObjects.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

using namespace KX;

namespace {

using WString = StringT<wchar_t, char>;
using NString = StringT<char, wchar_t>;

// Made during static initialisation at the services level, in whatever order
// the linker put this file and the string's own: the shared empty strings
// must already exist.
struct MadeBeforeMain
{
    MadeBeforeMain()
        : emptyCopyHadBuffer(WString::sEmpty.GetBuffer() != nullptr),
          narrowCopyHadBuffer(NString::sEmpty.GetBuffer() != nullptr),
          copy(WString::sEmpty)
    {
    }
    bool emptyCopyHadBuffer;
    bool narrowCopyHadBuffer;
    WString defaulted;
    WString copy;
    NString narrow;
};

const MadeBeforeMain gBeforeMain KX_STATIC_INIT_SERVICES;

} // namespace

TEST(StaticObjectsTest, SharedEmptyStringsExistBeforeAnyOtherStaticObject)
{
    EXPECT_TRUE(gBeforeMain.emptyCopyHadBuffer);
    EXPECT_TRUE(gBeforeMain.narrowCopyHadBuffer);
}

TEST(StaticObjectsTest, EveryEmptyStringBeforeAndAfterStartUpSharesOneBuffer)
{
    const WString now;
    const LIBuffer* shared = WString::sEmpty.GetBuffer();
    EXPECT_EQ(shared, now.GetBuffer());
    EXPECT_EQ(shared, gBeforeMain.defaulted.GetBuffer());
    EXPECT_EQ(shared, gBeforeMain.copy.GetBuffer());
    EXPECT_EQ(NString::sEmpty.GetBuffer(), gBeforeMain.narrow.GetBuffer());
    EXPECT_EQ(NString::sEmpty.GetBuffer(), NString().GetBuffer());
    EXPECT_NE(static_cast<const void*>(shared), static_cast<const void*>(NString::sEmpty.GetBuffer()));
}

TEST(StaticObjectsTest, ReleasingOrdinaryEmptyStringsNeverFreesTheSharedBuffer)
{
    const LIBuffer* shared = WString::sEmpty.GetBuffer();
    const int32_t before = shared->GetRefCount();
    {
        WString a;
        WString b(L"x");
        b.Empty();
        EXPECT_EQ(before + 2, shared->GetRefCount());
    }
    EXPECT_EQ(before, shared->GetRefCount());
    // The program-wide copy and the string it was copied from hold it to the end.
    EXPECT_GE(before, 2);
    EXPECT_EQ(2u, shared->GetSize());
    EXPECT_EQ(L'\0', WString::sEmpty.GetData()[0]);
}

TEST(StaticObjectsTest, NullCountedPointersAreNullAndCopyWithoutCounts)
{
    EXPECT_TRUE(RCPtr<LIBuffer>::sNull.IsNull());
    EXPECT_TRUE(RCPtr<LRefCountedObject>::sNull.IsNull());
    const RCPtr<LIBuffer>& answer = RCPtr<LIBuffer>::sNull;
    RCPtr<LIBuffer> copy = answer;
    EXPECT_TRUE(copy.IsNull());
    EXPECT_EQ(&RCPtr<LIBuffer>::sNull, &answer);
}

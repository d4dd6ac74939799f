#include "Utilities/Storage/BufferT.h"
#include "Utilities/Storage/LBufferT.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

using namespace KX;

namespace {

// Counts the calls and refuses memory on request, so tests can see when a
// buffer reallocates and what it does when the heap is exhausted.
class TestAllocator final : public IAllocator
{
public:
    void* Malloc(size_t size) override
    {
        ++mallocs;
        lastMallocSize = size;
        return failing ? nullptr : std::malloc(size);
    }
    void* Calloc(size_t count, size_t elementSize) override
    {
        return failing ? nullptr : std::calloc(count, elementSize);
    }
    void* Realloc(void* block, size_t size) override
    {
        ++reallocs;
        return failing ? nullptr : std::realloc(block, size);
    }
    void Free(void* block) override
    {
        ++frees;
        std::free(block);
    }

    void Reset() { *this = TestAllocator(); }

    int mallocs = 0;
    int reallocs = 0;
    int frees = 0;
    size_t lastMallocSize = 0;
    bool failing = false;
};

TestAllocator gAllocator;
IAllocator* GetTestAllocator() { return &gAllocator; }

using StringBuffer = BufferT<1, 128, 8, char*, &GetTestAllocator>;
using PixelBuffer = BufferT<1, 0, 8, char*, &GetTestAllocator>;
using WordBuffer = BufferT<4, 0, 8, float*, &GetTestAllocator>;
using QueueBuffer = BufferT<64, 64, 8, void**, &GetTestAllocator>;
using TestLBuffer = LBufferT<1, 128, 8, char*, &GetTestAllocator>;

class BufferTest : public ::testing::Test
{
protected:
    void SetUp() override { gAllocator.Reset(); }
    void TearDown() override { gAllocator.failing = false; }
};

struct Step
{
    bool allocate; // Allocate instead of Resize
    uint32_t size;
    uint32_t expectedCapacity;
};

template <class Buffer>
void RunSteps(const std::vector<Step>& steps)
{
    Buffer buffer;
    for (const Step& step : steps) {
        const uint32_t answer = step.allocate ? buffer.Allocate(step.size) : buffer.Resize(step.size);
        SCOPED_TRACE(::testing::Message() << (step.allocate ? "Allocate(" : "Resize(") << step.size << ")");
        EXPECT_EQ(step.size, answer);
        EXPECT_EQ(step.size, buffer.GetSize());
        EXPECT_EQ(step.expectedCapacity, buffer.GetCapacity());
        EXPECT_EQ(step.expectedCapacity == 0, buffer.GetData() == nullptr);
        EXPECT_EQ(buffer.GetData(), static_cast<void*>(buffer.Data()));
    }
}

std::vector<unsigned char> Bytes(const IBuffer& buffer)
{
    const auto* data = static_cast<const unsigned char*>(buffer.GetData());
    return std::vector<unsigned char>(data, data + buffer.GetSize());
}

} // namespace

TEST_F(BufferTest, GrowthFollowsGranularityAndShrinkingWaitsForTheSlack)
{
    // Strings: G = 1, S = 128.
    RunSteps<StringBuffer>({{false, 300, 300}, {false, 200, 300}, {false, 150, 150}, {false, 40, 150}, {false, 0, 0}});
    RunSteps<StringBuffer>({{false, 100, 100}, {false, 0, 100}, {true, 0, 0}});
    // Pixels: G = 1, S = 0 reallocate on every change of size.
    RunSteps<PixelBuffer>({{false, 10, 10}, {false, 9, 9}, {false, 12, 12}, {false, 0, 0}});
    // G = 4, S = 0: 5 takes 8, 6 keeps 8, 4 reallocates to 4.
    RunSteps<WordBuffer>({{false, 5, 8}, {false, 6, 8}, {false, 4, 4}, {false, 1, 4}, {false, 0, 0}});
    // G = 64, S = 64.
    RunSteps<QueueBuffer>({{false, 4, 64}, {false, 68, 128}, {false, 64, 128}, {false, 60, 64}});
    // Allocate picks fit(n) whatever the slack, and 0 always gives the block back.
    RunSteps<QueueBuffer>({{true, 100, 128}, {true, 60, 64}, {true, 64, 64}, {true, 0, 0}});
    RunSteps<StringBuffer>({{true, 300, 300}, {true, 299, 299}, {true, 0, 0}, {true, 0, 0}});
}

TEST_F(BufferTest, ResizeKeepsTheContentsAllocateKeepsThemOnlyInTheSameBlock)
{
    WordBuffer buffer;
    buffer.Resize(6);
    std::memcpy(buffer.GetData(), "abcdef", 6);
    buffer.Resize(40);
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "abcdef", 6));
    buffer.Resize(3);
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "abc", 3));

    // Capacity 4 already equals fit(2): the block and its bytes stay.
    const int mallocs = gAllocator.mallocs;
    buffer.Allocate(2);
    EXPECT_EQ(mallocs, gAllocator.mallocs);
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "ab", 2));
    // Any other capacity takes a fresh block and no copy.
    const int reallocs = gAllocator.reallocs;
    buffer.Allocate(9);
    EXPECT_EQ(mallocs + 1, gAllocator.mallocs);
    EXPECT_EQ(reallocs, gAllocator.reallocs);
    EXPECT_EQ(12u, buffer.GetCapacity());
}

TEST_F(BufferTest, ConstructorTakesAnExplicitCapacityOnlyWhenItExceedsTheSize)
{
    {
        StringBuffer buffer(10, 3, true);
        EXPECT_EQ(10u, buffer.GetSize());
        EXPECT_EQ(10u, buffer.GetCapacity());
        EXPECT_EQ(std::vector<unsigned char>(10, 0), Bytes(buffer));
    }
    {
        StringBuffer buffer(0, 20, true);
        EXPECT_EQ(0u, buffer.GetSize());
        EXPECT_EQ(20u, buffer.GetCapacity());
    }
    {
        // Capacity 7 is taken exactly (no granularity); 7 - 5 is within G - 1.
        WordBuffer buffer(5, 7, false);
        EXPECT_EQ(7u, buffer.GetCapacity());
    }
    gAllocator.Reset();
    {
        // 16 spare bytes exceed the threshold 3: the block is given back at once.
        WordBuffer buffer(0, 16, false);
        EXPECT_EQ(1, gAllocator.mallocs);
        EXPECT_EQ(16u, gAllocator.lastMallocSize);
        EXPECT_EQ(1, gAllocator.frees);
        EXPECT_EQ(0u, buffer.GetCapacity());
        EXPECT_EQ(nullptr, buffer.GetData());
    }
    EXPECT_EQ(1, gAllocator.frees);
    {
        PixelBuffer empty;
        EXPECT_EQ(0u, empty.GetCapacity());
    }
    EXPECT_EQ(1, gAllocator.mallocs);
}

TEST_F(BufferTest, FillChecksItsRangeAgainstTheSize)
{
    PixelBuffer buffer(5, 0, true);
    EXPECT_EQ(S_OK, buffer.Fill(0x11, 5, -1)); // offset at the end: nothing to write
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(0x11, 6, -1));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(0x11, 3, 3));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(0x11, 0, 0x7FFFFFFF));
    EXPECT_EQ(std::vector<unsigned char>(5, 0), Bytes(buffer));

    EXPECT_EQ(S_OK, buffer.Fill(0x22, 3, 2));
    EXPECT_EQ(S_OK, buffer.Fill(0x33, 1, -1)); // negative: to the end
    EXPECT_EQ(S_OK, buffer.Fill(0x44, 0, 1));
    EXPECT_EQ((std::vector<unsigned char>{0x44, 0x33, 0x33, 0x33, 0x33}), Bytes(buffer));
}

TEST_F(BufferTest, Fill16WritesWholeUnitsAndLeavesAnOddLastByte)
{
    PixelBuffer buffer(6, 0, true);
    // From offset 1, five bytes remain: two units, the last byte untouched.
    EXPECT_EQ(S_OK, buffer.Fill16(0xBBAA, 1, -1));
    EXPECT_EQ((std::vector<unsigned char>{0, 0xAA, 0xBB, 0xAA, 0xBB, 0}), Bytes(buffer));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill16(0x1111, 2, 3)); // 2 + 6 > 6
    EXPECT_EQ(E_INVALIDARG, buffer.Fill16(0x1111, 7, -1));
    EXPECT_EQ(S_OK, buffer.Fill16(0x2211, 4, 1));
    EXPECT_EQ((std::vector<unsigned char>{0, 0xAA, 0xBB, 0xAA, 0x11, 0x22}), Bytes(buffer));
}

TEST_F(BufferTest, FailedAllocationThrowsAndKeepsTheOldBlock)
{
    StringBuffer buffer;
    buffer.Resize(4);
    std::memcpy(buffer.GetData(), "wxyz", 4);
    void* block = buffer.GetData();

    gAllocator.failing = true;
    EXPECT_THROW(buffer.Resize(1000), std::bad_alloc);
    EXPECT_THROW(buffer.Allocate(1000), std::bad_alloc);
    EXPECT_EQ(block, buffer.GetData());
    EXPECT_EQ(4u, buffer.GetSize());
    EXPECT_EQ(4u, buffer.GetCapacity());
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "wxyz", 4));
    EXPECT_THROW(StringBuffer(10, 0, true), std::bad_alloc);
    EXPECT_THROW(StringBuffer(0, 20, false), std::bad_alloc);

    gAllocator.failing = false;
    buffer.Resize(1000);
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "wxyz", 4));
}

TEST_F(BufferTest, CopiesOwnTheirBytes)
{
    StringBuffer original(3, 0, false);
    std::memcpy(original.GetData(), "abc", 3);
    StringBuffer copy(original);
    EXPECT_NE(original.GetData(), copy.GetData());
    EXPECT_EQ(Bytes(original), Bytes(copy));
    StringBuffer assigned;
    assigned = original;
    assigned = assigned;
    EXPECT_EQ(Bytes(original), Bytes(assigned));
}

TEST(SystemAllocatorTest, IsOneObjectThatServesTheHeap)
{
    IAllocator* allocator = GetSystemAllocator();
    ASSERT_NE(nullptr, allocator);
    EXPECT_EQ(allocator, GetSystemAllocator());
    void* block = allocator->Calloc(4, 4);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0, static_cast<unsigned char*>(block)[15]);
    block = allocator->Realloc(block, 64);
    ASSERT_NE(nullptr, block);
    allocator->Free(block);
}

class LBufferTest : public BufferTest
{
protected:
    static RCPtr<LIBuffer> Make(const std::vector<unsigned char>& bytes)
    {
        RCPtr<LIBuffer> buffer;
        EXPECT_EQ(S_OK, TestLBuffer::Create(buffer, static_cast<uint32_t>(bytes.size()), 0, false));
        if (!bytes.empty())
            std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
        return buffer;
    }
};

TEST_F(LBufferTest, CopyRangeCopiesWhatFitsAndZeroesTheRest)
{
    RCPtr<LIBuffer> source = Make({1, 2, 3, 4, 5});
    RCPtr<LIBuffer> range;
    EXPECT_EQ(&range, &source->CopyRange(range, 4, 2));
    EXPECT_EQ((std::vector<unsigned char>{3, 4, 5, 0}), Bytes(*range));
    source->CopyRange(range, 2, 0);
    EXPECT_EQ((std::vector<unsigned char>{1, 2}), Bytes(*range));
    source->CopyRange(range, 3, 5); // offset at the size: all zero, no error
    EXPECT_EQ((std::vector<unsigned char>{0, 0, 0}), Bytes(*range));
    EXPECT_EQ(1, range->GetRefCount());
    EXPECT_TRUE(range->IsShareable());
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3, 4, 5}), Bytes(*source));
}

TEST_F(LBufferTest, CreateCopyIsExactAndShareable)
{
    RCPtr<LIBuffer> source;
    TestLBuffer::Create(source, 6, 120, false);
    std::memcpy(source->GetData(), "abcdef", 6);
    EXPECT_EQ(120u, source->GetCapacity());

    RCPtr<LRefCountedObject> copyObject = source->CreateCopy();
    RCPtr<LIBuffer> copy = RCPtr<LIBuffer>::DynamicCast(copyObject);
    ASSERT_TRUE(copy);
    EXPECT_NE(source.Get(), copy.Get());
    EXPECT_EQ(6u, copy->GetSize());
    EXPECT_EQ(6u, copy->GetCapacity());
    EXPECT_EQ(Bytes(*source), Bytes(*copy));
    EXPECT_TRUE(copy->IsShareable());
    EXPECT_EQ(2, copy->GetRefCount());
}

TEST_F(LBufferTest, AnUnshareableBufferIsCopiedForEveryFurtherHolder)
{
    RCPtr<LIBuffer> owner = Make({7, 8, 9});
    owner->SetUnshareable(true);
    RCPtr<LIBuffer> other = owner;
    EXPECT_NE(owner.Get(), other.Get());
    EXPECT_EQ(Bytes(*owner), Bytes(*other));
    EXPECT_EQ(1, owner->GetRefCount());
    EXPECT_TRUE(other->IsShareable());
}

TEST_F(LBufferTest, TheLastReleaseFreesTheBlock)
{
    {
        RCPtr<LIBuffer> buffer = Make({1, 2, 3});
        EXPECT_EQ(0, gAllocator.frees);
    }
    EXPECT_EQ(1, gAllocator.frees);
    EXPECT_EQ(gAllocator.mallocs, gAllocator.frees);
}

TEST(StringBufferTest, UsesTheSystemAllocatorWithTheStringSlack)
{
    RCPtr<LIBuffer> buffer;
    LStringBuffer::Create(buffer, 200, 0, true);
    buffer->Resize(100);
    EXPECT_EQ(200u, buffer->GetCapacity());
    buffer->Resize(71);
    EXPECT_EQ(71u, buffer->GetCapacity());
}

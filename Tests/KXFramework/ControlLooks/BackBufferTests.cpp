// The bookkeeping of a control's back buffer. Nothing in the program turns a
// back buffer on; a control class that does keeps the buffer's valid and
// dirty regions through resizing, invalidation and its children's changes.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LControl;
using KX::RectT;

namespace {

std::vector<RectT<long>> Rectangles(const KX::LRectRegion& region)
{
    KX::Array<RectT<long>> sink;
    region.Enumerate(sink);
    std::vector<RectT<long>> rectangles;
    for (int32_t i = 0; i < sink.GetCount(); ++i)
        rectangles.push_back(sink.GetAt(i));
    return rectangles;
}

// A control that turns its back buffer on with a given capacity.
class BufferedControl : public PlainControl
{
public:
    BufferedControl(const RCPtr<LControl>& parent, const String& name) : PlainControl(parent, name) {}

    void TurnOn(double width, double height)
    {
        mHasBackBuffer = true;
        mBackBufferCapacity = KX::PointT<double>(width, height);
    }
    const RectT<double>& BufferRect() const { return mBackBufferRect; }
    const KX::LRectRegion& Valid() const { return mBackBufferValid; }
    KX::LRectRegion& Dirty() { return mBackBufferDirty; }
};

} // namespace

TEST_F(SkinTest, WithoutABackBufferResizingDoesNothing)
{
    OpenMainControl();
    const RCPtr<LControl> label = Find(L"labelDeviceInformation");
    ForgetInvalidations();
    EXPECT_EQ(S_FALSE, label->ResizeBackBuffer());
    EXPECT_FALSE(label->HasBackBuffer());
    EXPECT_TRUE(DirtyRectangles().empty());
    // A control with no visible area is no exception.
    const RCPtr<LControl> empty = KXTest::MakeControl<PlainControl>(Find(L"progressBar/activeOverlay"), L"none",
                                                                     KXTest::FixedLayout(0, 0, 0, 0));
    EXPECT_EQ(S_FALSE, empty->ResizeBackBuffer());
}

TEST_F(SkinTest, ABackBufferTracksWhatItHoldsAndWhatIsDirty)
{
    const RCPtr<LControl> main = OpenMainControl();
    const RCPtr<BufferedControl> buffered =
        KXTest::MakeControl<BufferedControl>(main, L"buffered", KXTest::FixedLayout(10, 10, 50, 20));
    const RCPtr<LControl> child =
        KXTest::MakeControl<PlainControl>(buffered, L"child", KXTest::FixedLayout(5, 5, 10, 10));
    buffered->TurnOn(100, 100);
    ForgetInvalidations();

    EXPECT_EQ(S_OK, buffered->ResizeBackBuffer());
    EXPECT_EQ(RectT<double>(0, 0, 50, 20), buffered->BufferRect());
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(0, 0, 50, 20)}, Rectangles(buffered->Valid()));
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(0, 0, 50, 20)}, Rectangles(buffered->Dirty()));
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(10, 10, 50, 20)}, DirtyRectangles());

    // A child's change and an invalidation from inside mark the buffer.
    buffered->Dirty().Clear();
    buffered->InvalidateChild(child);
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(5, 5, 10, 10)}, Rectangles(buffered->Dirty()));
    buffered->Dirty().Clear();
    child->InvalidateRect(RectT<double>(0, 0, 2, 2), true);
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(5, 5, 2, 2)}, Rectangles(buffered->Dirty()));

    // Too small a surface: the buffer is dropped and the control redrawn.
    buffered->TurnOn(20, 20);
    ForgetInvalidations();
    EXPECT_EQ(S_OK, buffered->ResizeBackBuffer());
    EXPECT_FALSE(buffered->HasBackBuffer());
    EXPECT_TRUE(buffered->Valid().IsEmpty());
    EXPECT_EQ(std::vector<RectT<long>>{RectT<long>(10, 10, 50, 20)}, DirtyRectangles());
}

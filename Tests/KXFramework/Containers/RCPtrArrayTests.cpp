#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayUtils.h"
#include "Utilities/Storage/LRCPtrArray.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace KX;

namespace {

// A taggable object (a class the framework really keeps in such arrays) that
// counts its destruction and carries a layout order and a name.
class Node : public LTaggableObject
{
public:
    Node(int* destroyed = nullptr, int order = 0, const char* name = "")
        : mDestroyed(destroyed), order(order), name(name)
    {
    }
    ~Node() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }

    int* mDestroyed;
    int order;
    std::string name;
};

using Nodes = RCPtrArray<LTaggableObject>;

RCPtr<LTaggableObject> Make(int* destroyed = nullptr) { return RCPtr<LTaggableObject>(new Node(destroyed)); }

std::string ThrownText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "no exception";
}

TEST(RCPtrArray, SetCountGivesNullSlots)
{
    Nodes nodes;
    EXPECT_EQ(3, nodes.SetCount(3));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(nodes.GetAt(i).IsNull());
    RCPtr<LTaggableObject> p = Make();
    nodes.GetAt(0) = p;
    EXPECT_EQ(2, p->GetRefCount());
    EXPECT_EQ(1, nodes.SetCount(1));
    EXPECT_EQ(p, nodes.GetAt(0));
    EXPECT_EQ(E_INVALIDARG, nodes.SetCount(-1));
}

TEST(RCPtrArray, RemoveItemHandsTheReferenceOver)
{
    int destroyed = 0;
    Nodes nodes;
    EXPECT_EQ(0, nodes.AddItem(Make(&destroyed)));
    EXPECT_EQ(1, nodes.AddItem(Make(&destroyed)));
    LTaggableObject* p = nodes.GetAt(0).Get();
    LTaggableObject* q = nodes.GetAt(1).Get();

    RCPtr<LTaggableObject> out = Make(&destroyed); // R, held only by out
    EXPECT_EQ(1, nodes.RemoveItem(0, out));
    EXPECT_EQ(1, destroyed);                       // R released
    EXPECT_EQ(p, out.Get());
    EXPECT_EQ(1, out->GetRefCount());              // the array's reference, handed over
    EXPECT_EQ(q, nodes.GetAt(0).Get());
    EXPECT_EQ(1, nodes.GetCount());
    EXPECT_EQ(E_INVALIDARG, nodes.RemoveItem(-1, out));
}

TEST(RCPtrArray, OutOfRangeTextsOfBothViews)
{
    Nodes nodes;
    nodes.AddItem(Make());
    nodes.AddItem(Make());
    RCPtr<LTaggableObject> out;
    ConstRCPtr<LTaggableObject> constOut;
    EXPECT_EQ("Out of Range : KX::RCPtrArray<class KX::LTaggableObject,1,0>::RemoveItem : "
              "utilities/Storage/RCPtrArray : Line 175",
              ThrownText([&] { nodes.RemoveItem(2, out); }));
    EXPECT_EQ("Out of Range : KX::ConstRCPtrArray<class KX::LTaggableObject,1,0>::RemoveItem : "
              "utilities/Storage/ConstRCPtrArray : Line 216",
              ThrownText([&] { nodes.AsConst().RemoveItem(2, constOut); }));
    EXPECT_EQ("Out of Range : KX::ConstRCPtrArray<class KX::LTaggableObject,16,16>::RemoveItem : "
              "utilities/Storage/ConstRCPtrArray : Line 216",
              ThrownText([&] { RCPtrArray<LTaggableObject, 16, 16>().AsConst().RemoveItem(0, constOut); }));
    EXPECT_EQ(2, nodes.GetCount());
}

TEST(RCPtrArray, RemoveItemsPastTheEndRemovesThenThrows)
{
    int destroyed = 0;
    Nodes nodes;
    for (int i = 0; i < 3; ++i)
        nodes.AddItem(Make(&destroyed));
    LTaggableObject* first = nodes.GetAt(0).Get();
    EXPECT_THROW(nodes.RemoveItems(1, 5), std::out_of_range);
    EXPECT_EQ(2, destroyed);
    ASSERT_EQ(1, nodes.GetCount());
    EXPECT_EQ(first, nodes.GetAt(0).Get());
    EXPECT_EQ(E_INVALIDARG, nodes.RemoveItems(-1, 1));
    EXPECT_EQ(E_INVALIDARG, nodes.RemoveItems(0, -1));
    EXPECT_EQ(1, nodes.RemoveItems(1, 0));
}

TEST(RCPtrArray, RemoveLastItem)
{
    int destroyed = 0;
    Nodes nodes;
    RCPtr<LTaggableObject> out = Make(&destroyed);
    EXPECT_EQ(E_FAIL, nodes.RemoveLastItem(out));
    EXPECT_TRUE(out.IsNull());
    EXPECT_EQ(1, destroyed);

    nodes.AddItem(Make(&destroyed));
    LTaggableObject* only = nodes.GetAt(0).Get();
    EXPECT_EQ(0, nodes.RemoveLastItem(out));
    EXPECT_EQ(only, out.Get());
    EXPECT_EQ(1, out->GetRefCount());
    EXPECT_EQ(0, nodes.GetCount());
}

TEST(RCPtrArray, InsertSwapAndBadIndices)
{
    Nodes nodes;
    RCPtr<LTaggableObject> a = Make(), b = Make(), c = Make();
    EXPECT_EQ(0, nodes.AddItem(a));
    EXPECT_EQ(1, nodes.AddItem(c));
    EXPECT_EQ(1, nodes.InsertItem(1, b));
    EXPECT_EQ(E_INVALIDARG, nodes.InsertItem(4, b));
    EXPECT_EQ(E_INVALIDARG, nodes.InsertItem(-1, b));
    EXPECT_EQ(E_INVALIDARG, nodes.InsertItems(-1, 1));
    EXPECT_EQ(E_INVALIDARG, nodes.InsertItems(0, -2));
    EXPECT_EQ(0, nodes.InsertItem(0, nodes.GetAt(2))); // a slot of its own, moved by the insertion
    EXPECT_EQ(c, nodes.GetAt(0));
    EXPECT_EQ(3, c->GetRefCount());
    EXPECT_EQ(5, nodes.InsertItems(1, 1));
    EXPECT_TRUE(nodes.GetAt(1).IsNull());

    EXPECT_EQ(0, nodes.SwapItems(0, 2));
    EXPECT_EQ(a, nodes.GetAt(0));
    EXPECT_EQ(c, nodes.GetAt(2));
    EXPECT_EQ(E_INVALIDARG, nodes.SwapItems(0, 5));
    EXPECT_EQ(E_INVALIDARG, nodes.SwapItems(-1, 0));
    EXPECT_EQ(2, a->GetRefCount()); // one from the array, whatever moved
    EXPECT_EQ(3, c->GetRefCount());
}

TEST(RCPtrArray, AssignCopyAndDestructionKeepCountsRight)
{
    int destroyed = 0;
    {
        Nodes first;
        for (int i = 0; i < 3; ++i)
            first.AddItem(Make(&destroyed));
        Nodes second;
        EXPECT_EQ(3, second.Append(first));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(2, first.GetAt(i)->GetRefCount());
        EXPECT_EQ(3, second.Assign(first)); // the same objects: released once, taken again
        EXPECT_EQ(3, second.Assign(second));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(2, first.GetAt(i)->GetRefCount());
        Nodes third(second);
        EXPECT_EQ(3, first.GetAt(0)->GetRefCount());
        EXPECT_EQ(0, second.RemoveAll());
        EXPECT_EQ(0, destroyed);
    }
    EXPECT_EQ(3, destroyed);
}

TEST(RCPtrArray, BothViewsShareTheSlots)
{
    Nodes nodes;
    RCPtr<LTaggableObject> a = Make();
    IArray<ConstRCPtr<LTaggableObject>>& constView = nodes;
    IArray<RCPtr<LTaggableObject>>& view = nodes;
    EXPECT_EQ(0, constView.AddItem(ConstRCPtr<LTaggableObject>(a)));
    EXPECT_EQ(1, view.AddItem(a));
    EXPECT_EQ(2, constView.GetCount());
    EXPECT_EQ(a.Get(), constView.GetAt(1).Get());
    EXPECT_EQ(static_cast<void*>(constView.GetData()), static_cast<void*>(view.GetData()));
    int seen = 0;
    for (const RCPtr<LTaggableObject>& p : nodes)
        seen += p == a ? 1 : 0;
    EXPECT_EQ(2, seen);
    EXPECT_EQ(3, a->GetRefCount());
}

TEST(RCPtrArray, ReservedCapacityDependsOnTheSlack)
{
    RCPtrArray<LTaggableObject, 16, 16> queue(0, 16);
    EXPECT_EQ(16 * sizeof(void*), queue.GetCapacityInBytes());
    RCPtrArray<LTaggableObject, 1, 0> plain(0, 16);
    EXPECT_EQ(0u, plain.GetCapacityInBytes());
    RCPtrArray<LTaggableObject, 1, 0> three(3);
    EXPECT_EQ(3, three.GetCount());
    EXPECT_TRUE(three.GetAt(2).IsNull());
}

TEST(LRCPtrArray, IsASharedObjectThatReleasesItsElements)
{
    int destroyed = 0;
    {
        RCPtr<LRCPtrArray<LTaggableObject>> list = LRCPtrArray<LTaggableObject>::Create();
        list->AddItem(Make(&destroyed));
        list->SetTag(RCPtr<LRefCountedObject>(new Node(&destroyed)));
        RCPtr<LRCPtrArray<LTaggableObject>> shared = list;
        EXPECT_EQ(2, list->GetRefCount());
    }
    EXPECT_EQ(2, destroyed);
}

// A class that holds an array of its own kind, as a control holds its children.
class Tree : public LTaggableObject
{
public:
    explicit Tree(int* destroyed) : mDestroyed(destroyed) {}
    ~Tree() override { ++*mDestroyed; }
    RCPtrArray<Tree> children;

private:
    int* mDestroyed;
};

TEST(RCPtrArray, ElementClassMayHoldItsOwnArray)
{
    int destroyed = 0;
    {
        RCPtr<Tree> root(new Tree(&destroyed));
        root->children.AddItem(RCPtr<Tree>(new Tree(&destroyed)));
        root->children.GetAt(0)->children.AddItem(RCPtr<Tree>(new Tree(&destroyed)));
    }
    EXPECT_EQ(3, destroyed);
}

// An object whose destructor looks at the array that released it.
class Watcher : public LTaggableObject
{
public:
    Watcher(Nodes* array, int* seenItself) : mArray(array), mSeenItself(seenItself) {}
    ~Watcher() override
    {
        for (int32_t i = 0; i < mArray->GetCount(); ++i)
            if (mArray->GetAt(i).Get() == this)
                ++*mSeenItself;
    }

private:
    Nodes* mArray;
    int* mSeenItself;
};

TEST(RCPtrArray, ReleasedObjectsFindTheArrayConsistent)
{
    int seenItself = 0;
    Nodes nodes;
    for (int i = 0; i < 4; ++i)
        nodes.AddItem(RCPtr<LTaggableObject>(new Watcher(&nodes, &seenItself)));
    nodes.RemoveItems(1, 2);
    EXPECT_EQ(2, nodes.GetCount());
    nodes.SetCount(1);
    RCPtr<LTaggableObject> out;
    nodes.RemoveLastItem(out);
    out = nullptr;
    EXPECT_EQ(0, seenItself);
}

int Order(const RCPtr<LTaggableObject>& p) { return static_cast<Node*>(p.Get())->order; }
std::string Name(const RCPtr<LTaggableObject>& p) { return static_cast<Node*>(p.Get())->name; }

TEST(ArrayUtils, SortOrdersByLayoutOrderAndKeepsTies)
{
    Nodes nodes;
    const std::pair<int, const char*> items[] = {{3, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {3, "e"}, {2, "f"}};
    for (const auto& item : items)
        nodes.AddItem(RCPtr<LTaggableObject>(new Node(nullptr, item.first, item.second)));
    const auto byOrder = [](const RCPtr<LTaggableObject>& x, const RCPtr<LTaggableObject>& y) {
        return Order(x) < Order(y);
    };
    ArrayUtils::Sort<RCPtr<LTaggableObject>>(nodes, 0, nodes.GetCount(), byOrder);
    std::string names;
    for (int i = 0; i < nodes.GetCount(); ++i) {
        names += Name(nodes.GetAt(i));
        EXPECT_EQ(1, nodes.GetAt(i)->GetRefCount());
    }
    EXPECT_EQ("bdcfae", names); // equal orders stay in document order

    ArrayUtils::Sort<RCPtr<LTaggableObject>>(nodes, 2, 1, byOrder); // one element: nothing
    EXPECT_EQ("Out of Range : KX::ArrayUtils::Sort : utilities/Storage/ArrayUtils : Line 254",
              ThrownText([&] { ArrayUtils::Sort<RCPtr<LTaggableObject>>(nodes, 5, 2, byOrder); }));
    EXPECT_THROW(ArrayUtils::Sort<RCPtr<LTaggableObject>>(nodes, -1, 2, byOrder), std::out_of_range);
    EXPECT_EQ("b", Name(nodes.GetAt(0)));

    // A partial range leaves the rest alone.
    Array<int> values{5, 4, 3, 2, 1};
    ArrayUtils::Sort<int>(values, 1, 3, [](int x, int y) { return x < y; });
    EXPECT_EQ((Array<int>{5, 2, 3, 4, 1}), values);
}

TEST(ArrayUtils, SortIndeciesNamesElementsInOrder)
{
    Nodes children;
    const int tabStops[] = {2, 0, 2, 1};
    for (int stop : tabStops)
        children.AddItem(RCPtr<LTaggableObject>(new Node(nullptr, stop)));
    const auto tabOrderLess = [&children](unsigned int a, unsigned int b) {
        const int x = Order(children.GetAt(static_cast<int32_t>(a)));
        const int y = Order(children.GetAt(static_cast<int32_t>(b)));
        return x != y ? x < y : a < b;
    };
    Array<unsigned int> order{9, 9, 9, 9, 9, 9};
    ArrayUtils::SortIndecies(order, children, 0, 4, tabOrderLess);
    EXPECT_EQ((Array<unsigned int>{1, 3, 0, 2}), order);

    EXPECT_EQ("Out of Range : KX::ArrayUtils::SortIndecies : utilities/Storage/ArrayUtils : Line 266",
              ThrownText([&] { ArrayUtils::SortIndecies(order, children, 0, 5, tabOrderLess); }));
    EXPECT_EQ(4, order.GetCount()); // unchanged by the refused call
}

} // namespace

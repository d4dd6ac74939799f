// Creation from the skin: the update screen's tree made from the program's
// own skin, its texts from the string tables, its looks and font, the
// creation rules of child descriptions, and the tree's end.
#include "SkinTestSupport.h"

#include "Notification/NotificationIDs.h"
#include "System/DebugOutput.h"

#include <sstream>
#include <stdexcept>

using namespace LooksTest;
using KX::LControl;
using KXTest::Text;

TEST_F(SkinTest, TheMainControlIsCreatedFromTheProgramsSkin)
{
    const int32_t before = LControl::GetLiveCount();
    {
        const RCPtr<LControl> main = OpenMainControl();
        ASSERT_TRUE(main);
        EXPECT_EQ(L"mainControl", Text(main->GetName()));
        // The title of the window is the main control's label.
        EXPECT_EQ(L"TAVIK8 Firmware Updater", Text(main->GetText()));
        ASSERT_FALSE(os.titles.empty());
        EXPECT_EQ(L"TAVIK8 Firmware Updater", Text(os.titles.back()));

        const RCPtr<LControl> exit = Find(L"buttonExit");
        ASSERT_TRUE(exit);
        EXPECT_EQ(L"EXIT", Text(exit->GetText()));
        EXPECT_EQ(L"Close the firmware updater.", Text(exit->GetToolTipText()));
        const RCPtr<LControl> percent = Find(L"progressBar/labelPercentComplete");
        ASSERT_TRUE(percent);
        EXPECT_EQ(L"%", Text(percent->GetText()));

        // One control per SubControl element under mainControl, in the order
        // of the skin (children sorted by LayoutOrder).
        std::vector<std::wstring> described;
        CollectDescriptorNames(factory->FindControlDescriptor(String(L"mainControl")), described);
        KX::RCPtrArray<LControl> descendants;
        main->GetDescendants(descendants);
        std::vector<std::wstring> created;
        for (int32_t i = 0; i < descendants.GetCount(); ++i)
            created.push_back(Text(descendants.GetAt(i)->GetName()));
        EXPECT_EQ(23u, described.size());
        EXPECT_EQ(described, created);
        EXPECT_EQ(before + 24, LControl::GetLiveCount());

        // Placed by the skin: the exit button at (376, 308), 160 x 32.
        EXPECT_EQ(KX::RectT<double>(376, 308, 160, 32), exit->GetRect());
        EXPECT_EQ(KX::RectT<double>(0, 0, 560, 360), main->GetRect());
    }
    // Releasing the last reference destroys every control.
    window->SetRootControl(RCPtr<LControl>());
    EXPECT_EQ(before, LControl::GetLiveCount());
}

TEST_F(SkinTest, ControlsTakeOneLookPerSlotTheFirstSelectedAndTheSkinsFont)
{
    OpenMainControl();
    const RCPtr<LControl> exit = Find(L"buttonExit");
    // LookList.Button has 14 slots, every one filled.
    ASSERT_EQ(14, exit->GetLookCount());
    for (int32_t i = 0; i < 14; ++i)
        EXPECT_TRUE(exit->GetLook(i)) << i;
    for (int32_t i = 0; i < 14; ++i)
        EXPECT_EQ(i == 0 ? 1.0f : 0.0f, exit->GetLookWeight(i)) << i;
    EXPECT_EQ(0, exit->GetActiveLookIndex());
    // The looks know the label and are laid out for the control's size.
    const RCPtr<KX::LLook>& look = exit->GetLook(0);
    EXPECT_EQ(L"EXIT", Text(look->GetTextLayout()->GetText()));
    EXPECT_EQ(KX::PointT<long>(160, 32), look->GetSize());
    EXPECT_EQ(KX::RectT<long>(4, 0, 152, 32), look->GetTextArea());

    // The skin's font (Tahoma 9, regular) is every control's default; a label
    // that follows its parent's font takes the parent's.
    ASSERT_TRUE(exit->GetFont());
    EXPECT_EQ(L"Tahoma", Text(exit->GetFont()->GetFaceName()));
    EXPECT_EQ(9.0f, exit->GetFont()->GetSize());
    EXPECT_EQ(0, exit->GetFont()->GetStyle());
    EXPECT_EQ(exit->GetFont(), look->GetTextLayout()->GetFont());
    EXPECT_EQ(Find(L"progressBar")->GetFont(), Find(L"progressBar/labelPercentComplete")->GetFont());
}

TEST_F(SkinTest, AnUnknownNameCreatesNothing)
{
    RCPtr<LControl> control;
    factory->CreateChildByName(control, String(L"noSuchControl"), window);
    EXPECT_FALSE(control);
    // A control that exists only deeper in the tree is not found either.
    factory->CreateChildByName(control, String(L"buttonExit"), window);
    EXPECT_FALSE(control);
}

namespace {

// Descriptions built in code: a parent with the given children.
RCPtr<KX::LControlDescriptor> Describe(const wchar_t* className, const wchar_t* name,
                                       const RCPtr<KX::LControlDescriptor>& parent = RCPtr<KX::LControlDescriptor>())
{
    RCPtr<KX::LControlDescriptor> descriptor = KX::LControlDescriptor::Create(className, name, parent.Get());
    descriptor->SetLayoutDescriptor(KXTest::FixedLayout(0, 0, 40, 20));
    if (parent)
        parent->AddChild(descriptor);
    return descriptor;
}

void SetParam(const RCPtr<KX::LControlDescriptor>& descriptor, const wchar_t* id, const wchar_t* value)
{
    RCPtr<KX::LStringTable> params = KX::LStringTable::Create();
    params->SetString(id, String(value));
    descriptor->SetCreateParams(params);
}

RCPtr<LControl>& CreateNothing(RCPtr<LControl>& out, const RCPtr<LControl>&, const RCPtr<KX::LControlDescriptor>&)
{
    out = nullptr;
    return out;
}

// Makes the control under its parent, then fails as a later creation step
// of a broken control would.
RCPtr<LControl>& CreateAndThrow(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                const RCPtr<KX::LControlDescriptor>& descriptor)
{
    LControl::CreateControlOfClass<PlainControl>(out, parent, descriptor);
    out = nullptr;
    throw std::runtime_error("Runtime Error : creation failed");
}

// What the program writes to its wide debug output meanwhile.
class WideDebugCapture
{
public:
    WideDebugCapture() : mStream(KX::DebugOutput::GetInstance().GetWideStream())
    {
        mPrevious = mStream.rdbuf(&mBuffer);
    }
    ~WideDebugCapture() { mStream.rdbuf(mPrevious); }
    std::wstring Text() const { return mBuffer.str(); }

private:
    std::wostream& mStream;
    std::wstringbuf mBuffer;
    std::wstreambuf* mPrevious = nullptr;
};

} // namespace

TEST_F(SkinTest, DeferredChildrenAndNullCreationsAreSkipped)
{
    factory->RegisterControlCreateFunction(String(L"Test.Nothing"), &CreateNothing);
    const RCPtr<KX::LControlDescriptor> parent = Describe(L"Framework.Panel", L"parent");
    Describe(L"Framework.Label", L"first", parent);
    SetParam(Describe(L"Framework.Label", L"deferred", parent), L"DEFER_CREATE", L" \tTRUE\r\n");
    Describe(L"Test.Nothing", L"nothing", parent);
    SetParam(Describe(L"Framework.Label", L"notDeferred", parent), L"DEFER_CREATE", L"yes");
    RCPtr<LControl> control;
    factory->CreateControl(control, OpenMainControl(), parent);
    ASSERT_TRUE(control);
    ASSERT_EQ(2, control->GetChildCount());
    EXPECT_TRUE(control->FindChild(String(L"first")));
    EXPECT_TRUE(control->FindChild(String(L"notDeferred")));
    // The deferred description stays in its parent's for a later creation.
    EXPECT_EQ(4, parent->GetChildren().GetCount());
}

TEST_F(SkinTest, AChildOfAnUnregisteredClassIsSkippedAndItsSiblingsAreMade)
{
    const RCPtr<KX::LControlDescriptor> parent = Describe(L"Framework.Panel", L"parent");
    Describe(L"Framework.Label", L"before", parent);
    Describe(L"Framework.NoSuchControl", L"broken", parent);
    Describe(L"Framework.Label", L"after", parent);
    const int32_t before = LControl::GetLiveCount();
    RCPtr<LControl> control;
    WideDebugCapture debug;
    factory->CreateControl(control, RCPtr<LControl>(), parent);
    ASSERT_TRUE(control);
    ASSERT_EQ(2, control->GetChildCount());
    EXPECT_TRUE(control->FindChild(String(L"before")));
    EXPECT_TRUE(control->FindChild(String(L"after")));
    EXPECT_EQ(before + 3, LControl::GetLiveCount());
    // The debug output names the child, its class and the factory's error.
    EXPECT_EQ(L"KX::LControl::CreateChildren : child \"broken\" of class \"Framework.NoSuchControl\" not created : "
              L"Runtime Error : KX::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : "
              L"Line 51\n",
              debug.Text());
    // The factory itself still refuses the class.
    RCPtr<LControl> alone;
    EXPECT_THROW(factory->CreateControl(alone, RCPtr<LControl>(), parent->GetChildren().GetAt(1)),
                 std::runtime_error);
}

TEST_F(SkinTest, TheProgramsSkinComesUpWithoutAChildWhoseCreationThrows)
{
    // The hidden menu bar's creation fails after it joined the tree: it is
    // taken out again, and the rest of the update screen is made.
    const RCPtr<KX::LControlDescriptor> mainDescriptor = factory->FindControlDescriptor(String(L"mainControl"));
    ASSERT_TRUE(mainDescriptor);
    RCPtr<KX::LControlDescriptor> menuDescriptor = mainDescriptor->FindChild(String(L"mainMenu"));
    ASSERT_TRUE(menuDescriptor);
    std::vector<std::wstring> menuNames{L"mainMenu"};
    CollectDescriptorNames(menuDescriptor, menuNames);
    menuDescriptor->SetCreateFunction(&CreateAndThrow);

    const int32_t before = LControl::GetLiveCount();
    WideDebugCapture debug;
    const RCPtr<LControl> main = OpenMainControl();
    ASSERT_TRUE(main);
    EXPECT_FALSE(Find(L"mainMenu"));
    ASSERT_TRUE(Find(L"buttonExit"));
    EXPECT_TRUE(Find(L"progressBar/labelPercentComplete"));
    KX::RCPtrArray<LControl> descendants;
    main->GetDescendants(descendants);
    EXPECT_EQ(23 - static_cast<int32_t>(menuNames.size()), descendants.GetCount());
    EXPECT_EQ(before + 1 + descendants.GetCount(), LControl::GetLiveCount());
    EXPECT_NE(std::wstring::npos, debug.Text().find(L"child \"mainMenu\" of class \"Framework.MainMenu\" not created : "
                                                    L"Runtime Error : creation failed"));
}

TEST_F(SkinTest, CreateParametersSetFocusabilityValueAndFlags)
{
    struct Case
    {
        int32_t tabStop;
        const wchar_t* notFocusable; // null: no parameter
        bool focusDisabled;
    };
    const Case cases[] = {
        {-1, nullptr, true}, {0, nullptr, false}, {-1, L"false", false}, {3, L" True ", true},
    };
    for (const Case& test : cases) {
        RCPtr<KX::LControlDescriptor> descriptor = Describe(L"Framework.Label", L"label");
        RCPtr<KX::LLayoutDescriptor> layout = KXTest::FixedLayout(0, 0, 40, 20);
        layout->mTabStop = test.tabStop;
        descriptor->SetLayoutDescriptor(layout);
        if (test.notFocusable)
            SetParam(descriptor, L"NOT_FOCUSABLE", test.notFocusable);
        RCPtr<LControl> control;
        factory->CreateControl(control, RCPtr<LControl>(), descriptor);
        EXPECT_EQ(test.focusDisabled, control->IsFocusDisabled(false)) << test.tabStop;
    }
    RCPtr<KX::LControlDescriptor> descriptor = Describe(L"Framework.Label", L"valued");
    SetParam(descriptor, L"INITIAL_VALUE", L"0.25 of it");
    RCPtr<LControl> control;
    factory->CreateControl(control, RCPtr<LControl>(), descriptor);
    EXPECT_DOUBLE_EQ(0.25, control->GetNormalizedValue());
}

namespace {

// A control whose string table is given before Initialize loads its keys.
class HotKeyControl : public PlainControl
{
public:
    HotKeyControl(const RCPtr<LControl>& parent, const String& name) : PlainControl(parent, name) {}

    KX::KXRESULT Initialize() override
    {
        mStringTable = KX::LStringTable::Create();
        mStringTable->SetString(L"LHK.00.NID_TEST_HOT_KEY", String(L"Ctrl+K"));
        const KX::KXRESULT result = PlainControl::Initialize();
        mHandler->AddDirectHandler(static_cast<Handler::Callback>(&HotKeyControl::OnHotKey), L"NID_TEST_HOT_KEY");
        return result;
    }

    KX::KXRESULT OnHotKey(const RCPtr<KX::LNotificationDistributor>&, const RCPtr<KX::LNotification>&)
    {
        ++hotKeys;
        return S_OK;
    }

    int hotKeys = 0;
};

} // namespace

TEST_F(SkinTest, LocalHotKeysAnswerTheParentsSiblingKeys)
{
    const RCPtr<LControl> main = OpenMainControl();
    RCPtr<KX::LControlDescriptor> descriptor = Describe(L"Test.HotKey", L"hotKeyed");
    RCPtr<LControl> created;
    LControl::CreateControlOfClass<HotKeyControl>(created, main, descriptor);
    const RCPtr<HotKeyControl> control = RCPtr<HotKeyControl>::DynamicCast(created);
    ASSERT_TRUE(control);
    EXPECT_TRUE(control->HasLocalHotKey(L"NID_TEST_HOT_KEY"));

    const KX::KeyCode bound = control->GetLocalHotKey(L"NID_TEST_HOT_KEY");
    const RCPtr<KX::LSiblingKeyParam> param = KX::LSiblingKeyParam::Create(bound, main);
    RCPtr<PlainControl>::DynamicCast(main)->SendNotificationWithData(KX::NID_SIBLING_KEY,
                                                                    RCPtr<KX::LRefCountedObject>(param.Get()));
    EXPECT_EQ(1, control->hotKeys);
    EXPECT_EQ(0, param->mResult);

    // Another key, or the same key while the control is disabled: nothing.
    const RCPtr<KX::LSiblingKeyParam> other = KX::LSiblingKeyParam::Create(KX::KeyCode(), main);
    RCPtr<PlainControl>::DynamicCast(main)->SendNotificationWithData(KX::NID_SIBLING_KEY,
                                                                    RCPtr<KX::LRefCountedObject>(other.Get()));
    control->SetEnabled(false);
    RCPtr<PlainControl>::DynamicCast(main)->SendNotificationWithData(KX::NID_SIBLING_KEY,
                                                                    RCPtr<KX::LRefCountedObject>(param.Get()));
    EXPECT_EQ(1, control->hotKeys);
}

TEST_F(SkinTest, ATopControlIsShownAndItsDescriptionStaysShown)
{
    const RCPtr<KX::LControlDescriptor> tipDescriptor = factory->FindControlDescriptor(String(L"toolTip"));
    ASSERT_TRUE(tipDescriptor);
    RCPtr<KX::LLayoutDescriptor> hidden = tipDescriptor->GetLayoutDescriptor()->Clone();
    hidden->mIsVisible = false;
    tipDescriptor->SetLayoutDescriptor(hidden);

    KXTest::FakeOSServices otherOS;
    RCPtr<KX::LRootWindow> other;
    KX::LRootWindow::Create(other, RCPtr<KX::LRenderer>(renderer.Get()), &otherOS);
    RCPtr<LControl> tip;
    factory->CreateChildByName(tip, String(L"toolTip"), other);
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->GetLayout().mIsVisible);
    EXPECT_TRUE(tipDescriptor->GetLayoutDescriptor()->mIsVisible);
    EXPECT_EQ(other, tip->GetRootWindow());
    EXPECT_TRUE(tip->IsCreated());
    tip->SetRootWindow(RCPtr<KX::LRootWindow>());
}

// A control's value with its range and mapping, its change notification, and
// its font derived from the skin's default or from the parent's font.
#include "SkinTestSupport.h"

#include "Notification/NotificationIDs.h"

#include <cmath>

using namespace LooksTest;
using KX::LControl;
using KXTest::Text;

namespace {

// Records when its hook runs against what the listener has heard.
class ValuedControl : public PlainControl
{
public:
    ValuedControl(const RCPtr<LControl>& parent, const String& name) : PlainControl(parent, name) {}
    void OnValueChange() override { heardAtHook.push_back(listener ? listener->received.size() : 0); }
    RCPtr<KXTest::Listener> listener;
    std::vector<size_t> heardAtHook;
};

RCPtr<ValuedControl> MakeValued()
{
    return KXTest::MakeControl<ValuedControl>(RCPtr<LControl>(), L"valued");
}

} // namespace

TEST_F(SkinTest, LinearAndExponentialMappingsRoundTrip)
{
    const RCPtr<ValuedControl> control = MakeValued();
    ASSERT_EQ(S_OK, control->SetValueRange(0.0, 100.0, 0));
    for (double v : {0.0, 0.1, 0.25, 0.5, 0.99, 1.0})
        EXPECT_NEAR(v, control->ValueToNormalized(control->NormalizedToValue(v)), 1e-12) << v;
    EXPECT_DOUBLE_EQ(25.0, control->NormalizedToValue(0.25));
    EXPECT_DOUBLE_EQ(1.0, control->ValueToNormalized(150.0)); // clamped to the range

    ASSERT_EQ(S_OK, control->SetValueRange(1.0, 1000.0, 1));
    EXPECT_NEAR(31.6227766, control->NormalizedToValue(0.5), 1e-6);
    for (double v : {0.0, 0.2, 0.5, 0.75, 1.0})
        EXPECT_NEAR(v, control->ValueToNormalized(control->NormalizedToValue(v)), 1e-12) << v;

    // Reversed and empty ranges; refused ranges leave the range as it was.
    ASSERT_EQ(S_OK, control->SetValueRange(100.0, 0.0, 0));
    EXPECT_DOUBLE_EQ(0.75, control->ValueToNormalized(25.0));
    EXPECT_EQ(E_INVALIDARG, control->SetValueRange(0.0, 100.0, 1));
    EXPECT_EQ(E_INVALIDARG, control->SetValueRange(1.0, 10.0, 2));
    EXPECT_DOUBLE_EQ(0.75, control->ValueToNormalized(25.0));
    ASSERT_EQ(S_OK, control->SetValueRange(5.0, 5.0, 0));
    EXPECT_EQ(0.0, control->ValueToNormalized(5.0));
}

TEST_F(SkinTest, ListenersHearEachValueChangeOnce)
{
    const RCPtr<ValuedControl> control = MakeValued();
    control->SetValueRange(0.0, 200.0, 0);
    control->listener = KXTest::Listener::Make();
    control->listener->Listen(RCPtr<KX::LNotificationDistributor>(control.Get()), KX::NID_VALUE_CHANGE);

    EXPECT_DOUBLE_EQ(0.3, control->SetNormalizedValue(0.3));
    ASSERT_EQ(1u, control->listener->received.size());
    const RCPtr<KX::LValueParam> param = RCPtr<KX::LValueParam>::DynamicCast(control->listener->received[0].data);
    ASSERT_TRUE(param);
    EXPECT_DOUBLE_EQ(0.3, param->mNormalizedValue);
    EXPECT_DOUBLE_EQ(60.0, param->mValue);
    // The hook runs before the listeners hear of it.
    EXPECT_EQ(std::vector<size_t>{0}, control->heardAtHook);

    control->SetNormalizedValue(0.3);
    EXPECT_EQ(1u, control->listener->received.size());
    EXPECT_DOUBLE_EQ(1.0, control->SetNormalizedValue(1.7));
    EXPECT_EQ(2u, control->listener->received.size());
    control->SetNormalizedValue(1.0);
    EXPECT_EQ(2u, control->listener->received.size());
}

namespace {

// A child description whose font follows its parent's.
RCPtr<KX::LControlDescriptor> FollowingDescription(float size, bool relative, const wchar_t* name = L"")
{
    RCPtr<KX::LControlDescriptor> descriptor = KX::LControlDescriptor::Create(L"Framework.Label", L"follower", nullptr);
    descriptor->SetLayoutDescriptor(KXTest::FixedLayout(0, 0, 40, 20));
    RCPtr<KX::LSkinDescriptor> skin = KX::LSkinDescriptor::Create(String(L"follower"));
    skin->mFontInheritsFromParent = true;
    skin->mFontSizeIsRelative = relative;
    skin->mFontSize = size;
    skin->mFontFamily = String(name);
    descriptor->SetSkinDescriptor(skin);
    return descriptor;
}

} // namespace

TEST_F(SkinTest, AFontFollowsTheParentsFont)
{
    const RCPtr<LControl> main = OpenMainControl();
    RCPtr<LControl> follower;
    factory->CreateControl(follower, main, FollowingDescription(1.5f, true));
    ASSERT_TRUE(follower->GetFont());
    EXPECT_EQ(L"Tahoma", Text(follower->GetFont()->GetFaceName()));
    EXPECT_FLOAT_EQ(13.5f, follower->GetFont()->GetSize());

    // The parent's font changes: the child is again 1.5 times its size.
    EXPECT_EQ(S_OK, main->SetFontFromSpec(String(L"DejaVu Sans"), 12.0f, 1, false));
    EXPECT_EQ(L"DejaVu Sans", Text(follower->GetFont()->GetFaceName()));
    EXPECT_FLOAT_EQ(18.0f, follower->GetFont()->GetSize());
    EXPECT_EQ(1, follower->GetFont()->GetStyle());
    // A fixed size and name of its own stay; the style follows.
    RCPtr<LControl> sized;
    factory->CreateControl(sized, main, FollowingDescription(7.0f, false, L"Tahoma"));
    EXPECT_FLOAT_EQ(7.0f, sized->GetFont()->GetSize());
    main->SetFontFromSpec(String(L"DejaVu Sans"), 12.0f, 0, false);
    EXPECT_EQ(L"Tahoma", Text(sized->GetFont()->GetFaceName()));
    EXPECT_FLOAT_EQ(7.0f, sized->GetFont()->GetSize());
    EXPECT_EQ(0, sized->GetFont()->GetStyle());

    // A font set directly no longer follows.
    RCPtr<KX::LFont> own;
    KX::LFont::Create(own, String(L"Tahoma"), 20.0f, 0);
    EXPECT_EQ(S_OK, follower->SetFont(own));
    main->SetFontFromSpec(String(L"Tahoma"), 8.0f, 0, false);
    EXPECT_EQ(own, follower->GetFont());
    EXPECT_EQ(E_INVALIDARG, follower->SetFont(RCPtr<KX::LFont>()));
}

TEST_F(SkinTest, TheSameFontAgainStillReachesEveryLook)
{
    OpenMainControl();
    const RCPtr<LControl> exit = Find(L"buttonExit");
    const RCPtr<KX::LFont> font = exit->GetFont();
    RCPtr<KX::LFont> other;
    KX::LFont::Create(other, String(L"Tahoma"), 14.0f, 1);
    exit->GetLook(0)->SetFont(other);
    ForgetInvalidations();
    EXPECT_EQ(S_FALSE, exit->SetFont(font));
    EXPECT_EQ(font, exit->GetLook(0)->GetTextLayout()->GetFont());
    EXPECT_TRUE(DirtyRectangles().empty());
}

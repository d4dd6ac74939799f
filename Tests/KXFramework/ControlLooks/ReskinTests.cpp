// Re-skinning the live update screen: the controls the new skin describes
// keep their objects and state and take the new looks; the others go;
// nothing is created; the window stays where it is.
#include "SkinTestSupport.h"

using namespace LooksTest;
using KX::LControl;
using KX::RectT;
using KXTest::Text;

TEST_F(SkinTest, ReskinningKeepsTheControlsTheNewSkinStillDescribes)
{
    ASSERT_EQ(S_OK, factory->LoadSkin(String(L"::SECOND_SKIN"))) << Text(factory->GetLastErrorText());
    ASSERT_EQ(2, factory->GetSkinCount());
    RegisterPlainCreators(factory);
    const RCPtr<LControl> main = OpenMainControl();
    const RCPtr<LControl> exit = Find(L"buttonExit");
    const RCPtr<LControl> label = Find(L"labelDeviceInformation");
    const RCPtr<LControl> percent = Find(L"progressBar/labelPercentComplete");
    // State that the new skin must not touch.
    exit->SetEnabled(false);
    exit->SetNormalizedValue(0.4);
    label->SetText(String(L"Looking for device."));
    const int32_t before = LControl::GetLiveCount();
    const size_t moves = os.windowRects.size();
    PaintWindow("before");
    EXPECT_EQ(0xFF3B6EA5, Pixel(380, 312));

    factory->SetCurrentSkinIndex(1);
    EXPECT_EQ(S_OK, factory->ReapplyControlDescriptor(main));

    // The same objects, their state kept, in their new places.
    EXPECT_EQ(main, window->GetRootControl());
    EXPECT_EQ(exit, Find(L"buttonExit"));
    EXPECT_EQ(label, Find(L"labelDeviceInformation"));
    EXPECT_EQ(percent, Find(L"progressBar/labelPercentComplete"));
    EXPECT_FALSE(exit->IsEnabled(false));
    EXPECT_DOUBLE_EQ(0.4, exit->GetNormalizedValue());
    EXPECT_EQ(L"EXIT", Text(exit->GetText()));
    EXPECT_EQ(L"Looking for device.", Text(label->GetText()));
    EXPECT_EQ(L"Looking for device.", Text(label->GetLook(-1)->GetTextLayout()->GetText()));
    EXPECT_EQ(RectT<double>(24, 308, 160, 32), exit->GetRect());
    EXPECT_EQ(RectT<double>(24, 60, 512, 48), label->GetRect());
    EXPECT_EQ(1, exit->GetLookCount());
    EXPECT_EQ(RectT<double>(0, 0, 560, 360), main->GetRect());

    // The ones it does not describe are gone; the one it adds is not made.
    EXPECT_FALSE(Find(L"mainMenu"));
    EXPECT_FALSE(Find(L"buttonScanForDevice"));
    EXPECT_FALSE(Find(L"progressBar/timeRemainingLabel"));
    EXPECT_FALSE(Find(L"extraLabel"));
    std::vector<std::wstring> names;
    KX::RCPtrArray<LControl> descendants;
    main->GetDescendants(descendants);
    for (int32_t i = 0; i < descendants.GetCount(); ++i)
        names.push_back(Text(descendants.GetAt(i)->GetName()));
    EXPECT_EQ((std::vector<std::wstring>{L"labelDeviceInformation", L"progressBar", L"labelPercentComplete",
                                         L"buttonUpdateFirmware", L"buttonExit"}),
              names);
    // 24 controls before; 6 are left and nothing new was made.
    EXPECT_EQ(before - 18, LControl::GetLiveCount());
    // The window did not move.
    EXPECT_EQ(moves, os.windowRects.size());

    // Drawn in the new colours.
    PaintWindow("after");
    EXPECT_EQ(0xFF402818, Pixel(5, 200));
    EXPECT_EQ(0xFF7A2E8C, Pixel(28, 312));
    EXPECT_EQ(0xFF402818, Pixel(536, 339)); // where the exit button was

    // And back.
    factory->SetCurrentSkinIndex(0);
    EXPECT_EQ(S_OK, factory->ReapplyControlDescriptor(main));
    EXPECT_EQ(exit, Find(L"buttonExit"));
    EXPECT_EQ(RectT<double>(376, 308, 160, 32), exit->GetRect());
    EXPECT_EQ(14, exit->GetLookCount());
    EXPECT_EQ(before - 18, LControl::GetLiveCount());
}

TEST_F(SkinTest, ReapplyingNeedsAControlWithAName)
{
    const RCPtr<LControl> main = OpenMainControl();
    EXPECT_EQ(E_FAIL, factory->ReapplyControlDescriptor(RCPtr<LControl>()));
    const RCPtr<LControl> stranger = KXTest::MakeControl<PlainControl>(RCPtr<LControl>(), L"stranger");
    EXPECT_EQ(E_FAIL, factory->ReapplyControlDescriptor(stranger));
    EXPECT_EQ(S_OK, factory->ReapplyControlDescriptor(main));
}

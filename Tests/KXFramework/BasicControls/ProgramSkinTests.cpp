// The program's skin as the basic controls need it: every look list that a
// control of the skin is given fills every slot that control's class can
// select, so that no state of a control shows nothing.
#include "BasicControlsTestSupport.h"

#include "ControlBase/LookDescriptor.h"

#include <map>

using namespace BasicTest;

namespace {

// How many look slots a control of the class selects from.
const std::map<std::wstring, int32_t> kSlotsByClass = {
    {L"Framework.Button", 14}, {L"Framework.MenuItem", 14}, {L"Framework.ComboMenu", 4},
    {L"Framework.PopupMenu", 3}, {L"Framework.Label", 1},    {L"Framework.ProgressBar", 1},
    {L"Framework.Panel", 1},     {L"Framework.ToolTip", 1},  {L"Framework.MainMenu", 1},
};

void CheckLookLists(const RCPtr<KX::LControlDescriptor>& descriptor, int& checked)
{
    const KX::RCPtrArray<KX::LControlDescriptor>& children = descriptor->GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const RCPtr<KX::LControlDescriptor>& child = children.GetAt(i);
        const std::wstring name = Text(child->GetName());
        const KX::ConstRCPtr<KX::LSkinDescriptor>& skin = child->GetSkinDescriptor();
        ASSERT_TRUE(skin && skin->mLookList) << KX::StringT<char, wchar_t>(name.c_str());
        const KX::LLookList& list = *skin->mLookList;
        const auto needed = kSlotsByClass.find(Text(child->GetClassName()));
        if (needed != kSlotsByClass.end()) {
            EXPECT_GE(list.GetCount(), needed->second) << KX::StringT<char, wchar_t>(name.c_str());
            ++checked;
        }
        for (int32_t slot = 0; slot < list.GetCount(); ++slot) {
            EXPECT_TRUE(list.GetAt(slot)) << KX::StringT<char, wchar_t>(name.c_str()) << " slot " << slot;
            if (list.GetAt(slot)) {
                EXPECT_TRUE(list.GetAt(slot)->GetClientPart()) << KX::StringT<char, wchar_t>(name.c_str());
            }
        }
        CheckLookLists(child, checked);
    }
}

TEST(ProgramSkin, EveryLookListFillsEverySlotItsControlSelects)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"TAVIK8 Updater"));
    ASSERT_EQ(S_OK, factory->LoadResources(String(L"::"), 0x0409));
    ASSERT_EQ(1, factory->GetSkinCount());
    int checked = 0;
    CheckLookLists(factory->GetSkins().GetAt(0), checked);
    EXPECT_EQ(24, checked); // every control of the skin but the main control
}

} // namespace

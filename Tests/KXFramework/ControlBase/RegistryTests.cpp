// The control factory's registry of control classes.
#include "TestSupport.h"

#include "ControlBase/Control.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ComboSlider.h"
#include "Controls/FileDropper.h"
#include "Controls/FrameworkControlTypes.h"
#include "Controls/Knob.h"
#include "Controls/Label.h"
#include "Controls/LevelMeter.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/MultiColumnListBox.h"
#include "Controls/NumericUpDown.h"
#include "Controls/Panel.h"
#include "Controls/PopupMenu.h"
#include "Controls/ProgressBar.h"
#include "Controls/Scrollbar.h"
#include "Controls/Slider.h"
#include "Controls/SplitterH.h"
#include "Controls/SplitterV.h"
#include "Controls/StatusBar.h"
#include "Controls/TabControl.h"
#include "Controls/TextBox.h"
#include "Controls/ToolTip.h"
#include "Controls/TreeView.h"
#include "Controls/TreeViewItem.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

using KXTest::String;
using KX::RCPtr;

RCPtr<KX::LControl>& CreateFirst(RCPtr<KX::LControl>& out, const RCPtr<KX::LControl>&,
                                 const RCPtr<KX::LControlDescriptor>&)
{
    return out;
}

RCPtr<KX::LControl>& CreateSecond(RCPtr<KX::LControl>& out, const RCPtr<KX::LControl>&,
                                  const RCPtr<KX::LControlDescriptor>&)
{
    return out;
}

TEST(ControlRegistry, FirstRegistrationWins)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateFirst), S_OK);
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateSecond), S_OK);
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Label"), &CreateSecond), S_OK);

    KX::ControlCreateFunction function = nullptr;
    EXPECT_EQ(factory->GetControlCreateFunction(String(L"Framework.Button"), function), S_OK);
    EXPECT_EQ(function, &CreateFirst);
    EXPECT_EQ(factory->GetControlCreateFunction(String(L"Framework.Label"), function), S_OK);
    EXPECT_EQ(function, &CreateSecond);
}

TEST(ControlRegistry, UnknownClassNameThrows)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateFirst);
    KX::ControlCreateFunction function = &CreateSecond;
    for (const wchar_t* name : {L"framework.button", L"Framework.Slider", L""}) {
        try {
            factory->GetControlCreateFunction(String(name), function);
            ADD_FAILURE() << "no exception for " << String(name);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Runtime Error : KX::LControlFactory::GetControlCreateFunction : "
                                       "ControlBase\\ControlFactory : Line 51");
        }
    }
    EXPECT_EQ(function, &CreateSecond);
}

TEST(ControlRegistry, DescriptorCachesItsCreateFunction)
{
    RCPtr<KX::LControlDescriptor> descriptor =
        KX::LControlDescriptor::Create(String(L"Framework.Button"), String(L"b"), nullptr);
    EXPECT_EQ(descriptor->GetCreateFunction(), nullptr);
    descriptor->SetCreateFunction(&CreateFirst);
    EXPECT_EQ(descriptor->Clone(String(L"c"))->GetCreateFunction(), &CreateFirst);
}

TEST(ControlRegistry, EveryFrameworkTypeCreatesItsClass)
{
    struct Type
    {
        const wchar_t* name;
        const std::type_info& type;
    };
    const Type types[] = {
        {L"Framework.Button", typeid(KX::LButton)},
        {L"Framework.OverlayButton", typeid(KX::LListBoxItem)},
        {L"Framework.ListBox", typeid(KX::LListBox)},
        {L"Framework.listboxNoScroll", typeid(KX::LListBox)},
        {L"Framework.ListBoxItem", typeid(KX::LListBoxItem)},
        {L"Framework.CheckedListBox", typeid(KX::LCheckedListBox)},
        {L"Framework.CheckedListBoxItem", typeid(KX::LCheckedListBoxItem)},
        {L"Framework.ListBoxWithIcons", typeid(KX::LCheckedListBox)},
        {L"Framework.listbox2ColumnSortable", typeid(KX::LMultiColumnListBox)},
        {L"Framework.ScrollBar", typeid(KX::LScrollbar)},
        {L"Framework.ScrollChannel", typeid(KX::LPanel)},
        {L"Framework.ComboBox", typeid(KX::LComboBox)},
        {L"Framework.ComboTextBox", typeid(KX::LComboBox)},
        {L"Framework.CheckedComboBox", typeid(KX::LCheckedComboBox)},
        {L"Framework.ComboBoxWithIcons", typeid(KX::LCheckedComboBox)},
        {L"Framework.ComboSlider", typeid(KX::LComboSlider)},
        {L"Framework.ComboSlider.DropDownPanel", typeid(KX::LPanel)},
        {L"Framework.Slider", typeid(KX::LSlider)},
        {L"Framework.Knob", typeid(KX::LKnob)},
        {L"Framework.TabControl", typeid(KX::LTabControl)},
        {L"Framework.Label", typeid(KX::LLabel)},
        {L"Framework.TextBox", typeid(KX::LTextBox)},
        {L"Framework.NumericUpDown", typeid(KX::LNumericUpDown)},
        {L"Framework.Panel", typeid(KX::LPanel)},
        {L"Framework.ToolTip", typeid(KX::LToolTip)},
        {L"Framework.PopupMenu", typeid(KX::LPopupMenu)},
        {L"Framework.MenuItem", typeid(KX::LMenuListBoxItem)},
        {L"Framework.ComboMenu", typeid(KX::LComboMenu)},
        {L"Framework.MainMenu", typeid(KX::LMainMenu)},
        {L"Framework.FileDropper", typeid(KX::LFileDropper)},
        {L"Framework.StatusBar", typeid(KX::LStatusBar)},
        {L"Framework.SplitterH", typeid(KX::LSplitterH)},
        {L"Framework.SplitterV", typeid(KX::LSplitterV)},
        {L"Framework.LevelMeter", typeid(KX::LLevelMeter)},
        {L"Framework.ProgressBar", typeid(KX::LProgressBar)},
        {L"Framework.TreeView", typeid(KX::LTreeView)},
        {L"Framework.TreeViewItem", typeid(KX::LTreeViewItem)},
    };
    ASSERT_EQ(37u, sizeof(types) / sizeof(types[0]));

    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    ASSERT_EQ(S_OK, KX::RegisterFrameworkControlTypes(*factory));
    const int32_t before = KX::LControl::GetLiveCount();
    for (const Type& entry : types) {
        // A bare description: no skin, no children, no parameters.
        RCPtr<KX::LControlDescriptor> descriptor =
            KX::LControlDescriptor::Create(String(entry.name), String(L"control"), nullptr);
        RCPtr<KX::LLayoutDescriptor> layout = KX::LLayoutDescriptor::Create();
        layout->mXSize.mAbs = 100;
        layout->mYSize.mAbs = 40;
        descriptor->SetLayoutDescriptor(layout);
        RCPtr<KX::LControl> control;
        factory->CreateControl(control, RCPtr<KX::LControl>(), descriptor);
        ASSERT_TRUE(control) << String(entry.name);
        EXPECT_TRUE(typeid(*control.Get()) == entry.type) << String(entry.name) << " made " << typeid(*control.Get()).name();
        EXPECT_TRUE(control->IsCreated()) << String(entry.name);
    }
    // Each control went with its last reference.
    EXPECT_EQ(before, KX::LControl::GetLiveCount());
}

} // namespace

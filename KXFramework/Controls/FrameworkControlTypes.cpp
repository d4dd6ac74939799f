// The framework's control types, in the order of the type table. A type
// whose class is built joins the table by turning its line from a comment
// into an entry; the blank lines keep every entry's change apart from its
// neighbours'.
#include "Controls/FrameworkControlTypes.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/Button.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboMenu.h"
#include "Controls/ComboSlider.h"
#include "Controls/FileDropper.h"
#include "Controls/Knob.h"
#include "Controls/Label.h"
#include "Controls/LevelMeter.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/MultiColumnListBox.h"
#include "Controls/Panel.h"
#include "Controls/PopupMenu.h"
#include "Controls/ProgressBar.h"
#include "Controls/Scrollbar.h"
#include "Controls/Slider.h"
#include "Controls/SplitterH.h"
#include "Controls/SplitterV.h"
#include "Controls/StatusBar.h"
#include "Controls/TabControl.h"
#include "Controls/ToolTip.h"
#include "Controls/TreeView.h"
#include "Controls/TreeViewItem.h"

namespace KX {

namespace {

struct ControlType
{
    const wchar_t* mClassName;
    ControlCreateFunction mCreate;
};

// Each entry: { L"Framework.<Name>", &LControl::CreateControlOfClass<KX::L<Class>> },
const ControlType kFrameworkControlTypes[] = {
    { L"Framework.Button", &LControl::CreateControlOfClass<LButton> },

    { L"Framework.OverlayButton", &LControl::CreateControlOfClass<LListBoxItem> },

    { L"Framework.ListBox", &LControl::CreateControlOfClass<LListBox> },

    { L"Framework.listboxNoScroll", &LControl::CreateControlOfClass<LListBox> },

    { L"Framework.ListBoxItem", &LControl::CreateControlOfClass<LListBoxItem> },

    { L"Framework.CheckedListBox", &LControl::CreateControlOfClass<LCheckedListBox> },

    { L"Framework.CheckedListBoxItem", &LControl::CreateControlOfClass<LCheckedListBoxItem> },

    { L"Framework.ListBoxWithIcons", &LControl::CreateControlOfClass<LCheckedListBox> },

    { L"Framework.listbox2ColumnSortable", &LControl::CreateControlOfClass<LMultiColumnListBox> },

    { L"Framework.ScrollBar", &LControl::CreateControlOfClass<LScrollbar> },

    { L"Framework.ScrollChannel", &LControl::CreateControlOfClass<LPanel> },

    // { L"Framework.ComboBox", &LControl::CreateControlOfClass<LComboBox> },

    // { L"Framework.ComboTextBox", &LControl::CreateControlOfClass<LComboBox> },

    // { L"Framework.CheckedComboBox", &LControl::CreateControlOfClass<LCheckedComboBox> },

    // { L"Framework.ComboBoxWithIcons", &LControl::CreateControlOfClass<LCheckedComboBox> },

    { L"Framework.ComboSlider", &LControl::CreateControlOfClass<LComboSlider> },

    { L"Framework.ComboSlider.DropDownPanel", &LControl::CreateControlOfClass<LPanel> },

    { L"Framework.Slider", &LControl::CreateControlOfClass<LSlider> },

    { L"Framework.Knob", &LControl::CreateControlOfClass<LKnob> },

    { L"Framework.TabControl", &LControl::CreateControlOfClass<LTabControl> },

    { L"Framework.Label", &LControl::CreateControlOfClass<LLabel> },

    // { L"Framework.TextBox", &LControl::CreateControlOfClass<LTextBox> },

    // { L"Framework.NumericUpDown", &LControl::CreateControlOfClass<LNumericUpDown> },

    { L"Framework.Panel", &LControl::CreateControlOfClass<LPanel> },

    { L"Framework.ToolTip", &LControl::CreateControlOfClass<LToolTip> },

    { L"Framework.PopupMenu", &LControl::CreateControlOfClass<LPopupMenu> },

    { L"Framework.MenuItem", &LControl::CreateControlOfClass<LMenuListBoxItem> },

    { L"Framework.ComboMenu", &LControl::CreateControlOfClass<LComboMenu> },

    { L"Framework.MainMenu", &LControl::CreateControlOfClass<LMainMenu> },

    { L"Framework.FileDropper", &LControl::CreateControlOfClass<LFileDropper> },

    { L"Framework.StatusBar", &LControl::CreateControlOfClass<LStatusBar> },

    { L"Framework.SplitterH", &LControl::CreateControlOfClass<LSplitterH> },

    { L"Framework.SplitterV", &LControl::CreateControlOfClass<LSplitterV> },

    { L"Framework.LevelMeter", &LControl::CreateControlOfClass<LLevelMeter> },

    { L"Framework.ProgressBar", &LControl::CreateControlOfClass<LProgressBar> },

    { L"Framework.TreeView", &LControl::CreateControlOfClass<LTreeView> },

    { L"Framework.TreeViewItem", &LControl::CreateControlOfClass<LTreeViewItem> },

    { nullptr, nullptr }
};

} // namespace

KXRESULT RegisterFrameworkControlTypes(LControlFactory& factory)
{
    for (const ControlType& type : kFrameworkControlTypes) {
        if (type.mClassName)
            factory.RegisterControlCreateFunction(type.mClassName, type.mCreate);
    }
    return S_OK;
}

} // namespace KX

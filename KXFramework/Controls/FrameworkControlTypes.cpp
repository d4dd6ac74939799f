// The table of the framework's control types: each class name that skins use
// with the creator of its control class and the line that names it when its
// registration fails; registered in table order (see FrameworkControlTypes.h).
#include "Controls/FrameworkControlTypes.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboBox.h"
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
#include "ObjectBase/Exception.h"

namespace KX {

namespace {

struct ControlType
{
    int mLine; // reported when the registration fails
    const wchar_t* mClassName;
    ControlCreateFunction mCreate;
};

const ControlType kFrameworkControlTypes[] = {
    { 94, L"Framework.Button", &LControl::CreateControlOfClass<LButton> },
    { 97, L"Framework.OverlayButton", &LControl::CreateControlOfClass<LListBoxItem> },
    { 99, L"Framework.ListBox", &LControl::CreateControlOfClass<LListBox> },
    { 100, L"Framework.listboxNoScroll", &LControl::CreateControlOfClass<LListBox> },
    { 101, L"Framework.ListBoxItem", &LControl::CreateControlOfClass<LListBoxItem> },
    { 102, L"Framework.CheckedListBox", &LControl::CreateControlOfClass<LCheckedListBox> },
    { 103, L"Framework.CheckedListBoxItem", &LControl::CreateControlOfClass<LCheckedListBoxItem> },
    { 104, L"Framework.ListBoxWithIcons", &LControl::CreateControlOfClass<LCheckedListBox> },
    { 105, L"Framework.listbox2ColumnSortable", &LControl::CreateControlOfClass<LMultiColumnListBox> },
    { 106, L"Framework.ScrollBar", &LControl::CreateControlOfClass<LScrollbar> },
    { 107, L"Framework.ScrollChannel", &LControl::CreateControlOfClass<LPanel> },
    { 108, L"Framework.ComboBox", &LControl::CreateControlOfClass<LComboBox> },
    { 109, L"Framework.ComboTextBox", &LControl::CreateControlOfClass<LComboBox> },
    { 110, L"Framework.CheckedComboBox", &LControl::CreateControlOfClass<LCheckedComboBox> },
    { 111, L"Framework.ComboBoxWithIcons", &LControl::CreateControlOfClass<LCheckedComboBox> },
    { 112, L"Framework.ComboSlider", &LControl::CreateControlOfClass<LComboSlider> },
    { 113, L"Framework.ComboSlider.DropDownPanel", &LControl::CreateControlOfClass<LPanel> },
    { 114, L"Framework.Slider", &LControl::CreateControlOfClass<LSlider> },
    { 115, L"Framework.Knob", &LControl::CreateControlOfClass<LKnob> },
    { 116, L"Framework.TabControl", &LControl::CreateControlOfClass<LTabControl> },
    { 117, L"Framework.Label", &LControl::CreateControlOfClass<LLabel> },
    { 118, L"Framework.TextBox", &LControl::CreateControlOfClass<LTextBox> },
    { 119, L"Framework.NumericUpDown", &LControl::CreateControlOfClass<LNumericUpDown> },
    { 120, L"Framework.Panel", &LControl::CreateControlOfClass<LPanel> },
    { 121, L"Framework.ToolTip", &LControl::CreateControlOfClass<LToolTip> },
    { 122, L"Framework.PopupMenu", &LControl::CreateControlOfClass<LPopupMenu> },
    { 123, L"Framework.MenuItem", &LControl::CreateControlOfClass<LMenuListBoxItem> },
    { 124, L"Framework.ComboMenu", &LControl::CreateControlOfClass<LComboMenu> },
    { 125, L"Framework.MainMenu", &LControl::CreateControlOfClass<LMainMenu> },
    { 126, L"Framework.FileDropper", &LControl::CreateControlOfClass<LFileDropper> },
    { 127, L"Framework.StatusBar", &LControl::CreateControlOfClass<LStatusBar> },
    { 128, L"Framework.SplitterH", &LControl::CreateControlOfClass<LSplitterH> },
    { 129, L"Framework.SplitterV", &LControl::CreateControlOfClass<LSplitterV> },
    { 130, L"Framework.LevelMeter", &LControl::CreateControlOfClass<LLevelMeter> },
    { 131, L"Framework.ProgressBar", &LControl::CreateControlOfClass<LProgressBar> },
    { 132, L"Framework.TreeView", &LControl::CreateControlOfClass<LTreeView> },
    { 133, L"Framework.TreeViewItem", &LControl::CreateControlOfClass<LTreeViewItem> },
};

} // namespace

void RegisterFrameworkControlTypes(const ControlTypeRegistrar& registerType)
{
    for (const ControlType& type : kFrameworkControlTypes) {
        KX_THROW_IF_FAILED(registerType(StringT<wchar_t, char>(type.mClassName), type.mCreate),
                           "KX::LFrameworkApp::RunApplicationStartup", "Application/FrameworkApp", type.mLine);
    }
}

KXRESULT RegisterFrameworkControlTypes(LControlFactory& factory)
{
    RegisterFrameworkControlTypes([&factory](const StringT<wchar_t, char>& className, ControlCreateFunction create) {
        return factory.RegisterControlCreateFunction(className, create);
    });
    return S_OK;
}

} // namespace KX

// What the list-box tests share: the scenes of ListBoxSkins.xml and the texts
// of ListBoxStrings.xml in the scene fixture, with plain parts ("Test.Part")
// and a control built on the checked list box ("Test.DerivedChecked"); paints
// are saved under screenshots/ListBoxTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/CheckedListBox.h"
#include "Controls/ListBox.h"

#include <string>
#include <vector>

namespace ListTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// Pointer modifiers as the window passes them.
constexpr int32_t kCtrl = 0x01;
constexpr int32_t kShift = 0x08;

// A control built on the checked list box: it must not take the checked
// list's icons from its looks.
class DerivedChecked : public KX::LCheckedListBox
{
public:
    DerivedChecked(const RCPtr<KX::LControl>& parent, const String& name) : LCheckedListBox(parent, name) {}

protected:
    ~DerivedChecked() override = default;
};

// The identifiers a listener heard, in order.
std::vector<std::wstring> Heard(const KXTest::Listener& listener);
// How often a listener heard one identifier.
int CountOf(const KXTest::Listener& listener, const wchar_t* id);

// The scenes of ListBoxSkins.xml with the test classes above, in a window
// that has the keyboard: a pressed list takes the focus.
class ListBoxTest : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    // Opens the scene and answers the list at the path.
    RCPtr<KX::LListBox> OpenList(const wchar_t* scene, const std::wstring& path);
    // Appends items "<prefix><n>" for n = 0..count-1.
    static void AddItems(const RCPtr<KX::LListBox>& list, int32_t count, const std::wstring& prefix = L"Item ");
    // The texts the rows show, row 0 first.
    static std::vector<std::wstring> RowTexts(const RCPtr<KX::LListBox>& list);
    // The item texts in order.
    static std::vector<std::wstring> ItemTexts(const RCPtr<KX::LListBox>& list);
    // The selected items in ascending order.
    static std::vector<int32_t> Selection(const RCPtr<KX::LListBox>& list);
    // The centre of the row that shows an item, in window coordinates.
    PointT<long> RowCentre(const RCPtr<KX::LListBox>& list, int32_t item) const;
};

} // namespace ListTest

// What the list-box tests share: the scenes of ListBoxSkins.xml and the texts
// of ListBoxStrings.xml in a factory with the framework's control types, plain
// parts ("Test.Part") and a control built on the checked list box
// ("Test.DerivedChecked"); an application with a fixed clock; a root window
// over the fake OS window with a real GDI+ renderer, so that scenes can be
// painted off-screen (PNGs under screenshots/ListBoxTests/); and the pointer
// with its modifiers, double clicks and keys as the OS window hands them to
// the root window.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "Controls/CheckedListBox.h"
#include "Controls/ListBox.h"
#include "System/KeyCode.h"

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

class ListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The scene of that name becomes the window's root control.
    RCPtr<KX::LControl> OpenScene(const wchar_t* scene);
    // The control at a path of names below the root control ("a/b").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
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

    // The centre of a control, and of the row that shows an item, in window
    // coordinates (rounded).
    PointT<long> CentreOf(const RCPtr<KX::LControl>& control) const;
    PointT<long> RowCentre(const RCPtr<KX::LListBox>& list, int32_t item) const;

    // Pointer input as the OS window hands it to the root window.
    void MoveTo(const PointT<long>& point, int32_t modifiers = 0);
    void Press(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    void Release(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    // Press and release.
    void Click(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    // The second press and release of a double click (the window reports
    // the press as a double click), right after a Click.
    void DoubleClick(const PointT<long>& point, int32_t button = 1);
    void Wheel(const PointT<long>& point, int32_t direction);
    // A virtual key pressed and released, as the window makes it.
    void Key(uint32_t virtualKey, uint32_t modifiers = 0);
    // The root window's answer to a key press.
    KX::KXRESULT KeyDown(uint32_t virtualKey, uint32_t modifiers = 0);
    void IdlePass();

    // Paints the whole window into an off-screen surface and saves it as
    // <test name>[_suffix].png; Pixel reads the last paint.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;
    uint32_t Pixel(const PointT<long>& point) const { return Pixel(point.x, point.y); }

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace ListTest

// What the tests of the further controls share: the small test skins of
// FurtherSkins.xml (one top-level scene per control family) in the scene
// fixture, with plain parts ("Test.Part") and a drop target of the test
// program's own, and an application whose Ctrl key the tests press and
// release. Paints are saved under screenshots/FurtherControlTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include <string>
#include <vector>

namespace FurtherTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The application of these tests: the control tests' clock and cursors, and
// a Ctrl key that the tests press and release.
class TestApplication : public KXTest::ControlTestApplication
{
public:
    static RCPtr<TestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<TestApplication>(new TestApplication(factory));
    }

    KX::KXRESULT GetKeyState(int32_t virtualKey, bool& down, bool& toggled) override
    {
        down = virtualKey == VK_CONTROL && ctrlDown;
        toggled = false;
        return S_OK;
    }

    bool ctrlDown = false;

protected:
    explicit TestApplication(const RCPtr<KX::LControlFactory>& factory) : ControlTestApplication(factory) {}
};

// A control that accepts every drop and records what the drag told it.
class DropTarget : public KXTest::TestControl
{
public:
    DropTarget(const RCPtr<KX::LControl>& parent, const String& name) : TestControl(parent, name) {}

    bool AcceptsDrop(const RCPtr<KX::LControl>&) override { return true; }
    void DragEnter(const RCPtr<KX::LControl>& dragged) override { events.push_back(L"enter " + Name(dragged)); }
    void DragLeave(const RCPtr<KX::LControl>& dragged) override { events.push_back(L"leave " + Name(dragged)); }
    KX::KXRESULT Drop(const RCPtr<KX::LControl>& dragged) override
    {
        events.push_back(L"drop " + Name(dragged));
        return S_OK;
    }

    std::vector<std::wstring> events;

protected:
    ~DropTarget() override = default;

private:
    static std::wstring Name(const RCPtr<KX::LControl>& control)
    {
        return control ? KXTest::Text(control->GetName()) : std::wstring(L"(none)");
    }
};

// The values a listener saw in "NID_VALUE_CHANGE", and the flags of
// "NID_VALUE_CHANGE_CAPTURE".
std::vector<double> ValuesSeen(const KXTest::Listener& listener);
std::vector<bool> CapturesSeen(const KXTest::Listener& listener);

// The scenes of FurtherSkins.xml with the test classes above.
class FurtherControlTest : public KXTest::SceneFixture<TestApplication>
{
protected:
    void SetUp() override;
};

} // namespace FurtherTest

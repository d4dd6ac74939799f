// What the tests of the tab control and the status bar share: the small test
// scenes of TabStatusSkins.xml with their texts in the scene fixture, with
// plain parts ("Test.Part") and a label that records its texts
// ("Test.CountingLabel"), and an application that finds its status bar as the
// program does, by the name "statusBar" among the children of its main
// window's top control. Paints are saved under screenshots/TabStatusTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/Label.h"
#include "Controls/StatusBar.h"

#include <string>
#include <vector>

namespace TabStatusTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The colours of the scenes' parts (TabStatusSkins.xml).
constexpr uint32_t kBackground = 0xFF202428;
constexpr uint32_t kHolder = 0xFF3A4048;
constexpr uint32_t kPageA = 0xFFC04030;
constexpr uint32_t kPageB = 0xFF3FAE6A;
constexpr uint32_t kPageC = 0xFF4A82BF;
constexpr uint32_t kStatus = 0xFFD8DCE0;

// The application of these tests: the control tests' clock and cursors, and
// the status bar looked up as the program's application class does.
class TestApplication : public KXTest::ControlTestApplication
{
public:
    static RCPtr<TestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<TestApplication>(new TestApplication(factory));
    }

    RCPtr<KX::LStatusBar> GetStatusBar() override;

protected:
    explicit TestApplication(const RCPtr<KX::LControlFactory>& factory) : ControlTestApplication(factory) {}
};

// A label that records every text it is given.
class CountingLabel : public KX::LLabel
{
public:
    CountingLabel(const RCPtr<KX::LControl>& parent, const String& name) : LLabel(parent, name) {}

    KX::KXRESULT SetText(const String& text) override
    {
        texts.push_back(KXTest::Text(text));
        return LLabel::SetText(text);
    }

    std::vector<std::wstring> texts;

protected:
    ~CountingLabel() override = default;
};

// The scenes of TabStatusSkins.xml with the test classes above.
class TabStatusTestBase : public KXTest::SceneFixture<TestApplication>
{
protected:
    void SetUp() override;

    // How many pixels of the last paint inside the rectangle differ from the
    // colour.
    int CountPixelsOtherThan(const RectT<long>& rect, uint32_t argb) const;

    // Whether the strings of TabStatusStrings.xml are loaded; set before
    // SetUp runs.
    bool mWithStrings = true;
};

} // namespace TabStatusTest

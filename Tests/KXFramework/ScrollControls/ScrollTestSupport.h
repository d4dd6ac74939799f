// What the scrolling tests share: the test skin (ScrollSkin.xml, embedded as
// "SCROLL_SKIN") with its plain parts in the scene fixture; paints are saved
// under screenshots/ScrollControlTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/Panel.h"
#include "Controls/ScrollView.h"
#include "Controls/Scrollbar.h"

#include <string>

namespace ScrollTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;

// The skin's plain parts ("Test.Block"): a control of the base class.
class Block : public KX::LControl
{
public:
    Block(const RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name) {}

protected:
    ~Block() override = default;
};

// The scene fixture over the test skin.
class ScrollTestBase : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    // A point of a control (its own coordinates) in the window's client area.
    KX::PointT<long> AtControl(const RCPtr<KX::LControl>& control, long x, long y) const;
    // The name of the focused control, or "none".
    std::wstring Focused() const;
};

// The skin's colours.
constexpr uint32_t kViewColor = 0xFF404850;
constexpr uint32_t kContentColor = 0xFF8090A0;
constexpr uint32_t kMarkerColor = 0xFFE04030;
constexpr uint32_t kChannelColor = 0xFF606060;
constexpr uint32_t kChannelPressedColor = 0xFF2060C0;
constexpr uint32_t kThumbColor = 0xFFD0D0D0;
constexpr uint32_t kArrowColor = 0xFF909090;

} // namespace ScrollTest

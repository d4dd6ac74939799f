// What the tests of the tree view and the multi-column list box share: the
// small test skins of TreesColumnsSkins.xml with plain parts ("Test.Part") in
// the scene fixture; paints are saved under screenshots/TreeColumnTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include <string>
#include <vector>

namespace TreesColumnsTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The scenes of TreesColumnsSkins.xml.
class TreesColumnsTest : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    // Pointer modifiers as the OS window gives them.
    static constexpr int32_t kCtrl = 0x01;
    static constexpr int32_t kShift = 0x08;
};

// The skin's colours (opaque ARGB) that the tests look for.
namespace Colour {
constexpr uint32_t kList = 0xFF30363C;
constexpr uint32_t kRow = 0xFF3A4048;
constexpr uint32_t kRowHover = 0xFF4A5560;
constexpr uint32_t kRowDisabled = 0xFF26292C;
constexpr uint32_t kRowSelected = 0xFF2C5584;
constexpr uint32_t kRowSelectedHover = 0xFF3A6A9C;
constexpr uint32_t kExpander = 0xFF808890;
constexpr uint32_t kExpanderHover = 0xFF98A0A8;
constexpr uint32_t kExpanderOpen = 0xFF3FAE6A;
constexpr uint32_t kExpanderDisabled = 0xFF50545A;
} // namespace Colour

// The item text of a list record, empty for a null text object.
std::wstring TextOf(const RCPtr<KX::LTaggableObject>& object);

} // namespace TreesColumnsTest

#include "ScreenRendererSupport.h"

#include "Application/RootWindow.h"
#include "ControlBase/Look.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

#include "Support/Windows/Screenshots.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ScreenRendererTest {

using ScreenWindowTest::String;

namespace {

RectT<long> ToPixels(const KX::PointT<double>& position, const RectT<double>& rect)
{
    const long left = static_cast<long>(std::floor(position.x + 0.5));
    const long top = static_cast<long>(std::floor(position.y + 0.5));
    return RectT<long>(left, top, static_cast<long>(std::floor(rect.width + 0.5)),
                       static_cast<long>(std::floor(rect.height + 0.5)));
}

} // namespace

int ChannelDistance(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        largest = std::max(largest, d);
    }
    return largest;
}

RectT<long> InkBounds(const Image& image, const RectT<long>& area, const std::vector<uint32_t>& backgrounds,
                      int tolerance, const std::vector<RectT<long>>& excluded)
{
    long left = area.x + area.width;
    long top = area.y + area.height;
    long right = area.x - 1;
    long bottom = area.y - 1;
    for (long y = area.y; y < area.y + area.height; ++y) {
        for (long x = area.x; x < area.x + area.width; ++x) {
            if (!image.Contains(x, y))
                continue;
            const uint32_t pixel = image.At(x, y);
            const bool plain = std::any_of(backgrounds.begin(), backgrounds.end(), [&](uint32_t background) {
                return ChannelDistance(pixel, background) <= tolerance;
            });
            if (plain)
                continue;
            const bool skip = std::any_of(excluded.begin(), excluded.end(), [&](const RectT<long>& r) {
                return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
            });
            if (skip)
                continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (right < left)
        return RectT<long>();
    return RectT<long>(left, top, right - left + 1, bottom - top + 1);
}

std::string Describe(const RectT<long>& r)
{
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + ", " +
           std::to_string(r.height) + "}";
}

bool Inside(const RectT<long>& inner, const RectT<long>& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

void ScreenRendererTestBase::OpenWithRenderer(int32_t rendererType)
{
    Open(ScreenWindowTest::FileOption(mFirmware), rendererType);
    if (HasFatalFailure())
        return;
    RestPointer();
    LoopUntil([]() { return false; }, 100);
}

void ScreenRendererTestBase::RestPointer()
{
    POINT rest{6, 230};
    ClientToScreen(mWindow, &rest);
    TestScreen::MoveMouseTo(rest.x, rest.y);
}

void ScreenRendererTestBase::CloseProgram()
{
    TearDown();
    // The fonts of the next program are measured by its own renderer.
    KX::LFont::ReleaseRegistry();
    SetUp();
}

Image ScreenRendererTestBase::CaptureClient()
{
    // Whatever the last changes invalidated is painted and shown first (as
    // the program paints it: only the dirty areas).
    LoopUntil([]() { return false; }, 150);
    return ReadClient();
}

Image ScreenRendererTestBase::ReadClient() const
{
    Image image;
    RECT client{};
    GetClientRect(mWindow, &client);
    POINT origin{0, 0};
    ClientToScreen(mWindow, &origin);
    image.width = client.right;
    image.height = client.bottom;
    // As the screen shows it: read from the screen, not the window's surface.
    image.pixels = TestScreen::ReadPixels(nullptr, origin.x, origin.y, image.width, image.height);
    return image;
}

void ScreenRendererTestBase::Save(const Image& image, const std::wstring& name) const
{
    if (image.pixels.empty())
        return;
    const std::string test = TestScreen::CurrentTestName();
    const std::wstring folder = TestScreen::ScreenshotFolder(L"ScreenRendererTests\\" + std::wstring(test.begin(), test.end()));
    EXPECT_TRUE(TestScreen::SavePixelsAsPng(image.pixels, image.width, image.height, folder + L"\\" + name + L".png"));
}

bool DrawnOver(const PlacedControl& other, const PlacedControl& control)
{
    if (other.zOrder != control.zOrder)
        return other.zOrder > control.zOrder;
    return other.drawIndex > control.drawIndex;
}

namespace {

void CollectVisible(const RCPtr<KX::LControl>& control, std::vector<PlacedControl>& placed)
{
    if (!control->IsVisible(false) || !(control->GetRect().width > 0) || !(control->GetRect().height > 0))
        return;
    PlacedControl entry;
    entry.name = ScreenWindowTest::Text(control->GetName());
    entry.text = ScreenWindowTest::Text(control->GetText());
    entry.rect = ToPixels(control->GetRootPosition(), control->GetRect());
    const RCPtr<KX::LLook>& look = control->GetLook(control->GetActiveLookIndex());
    entry.showsText = look && look->GetTextLayout() && look->GetTextForegroundPart() &&
                      entry.text.find_first_not_of(L" \t") != std::wstring::npos;
    if (look) {
        const RectT<long> area = look->GetTextArea();
        entry.textArea = RectT<long>(entry.rect.x + area.x, entry.rect.y + area.y, area.width, area.height);
    }
    entry.zOrder = control->GetEffectiveZOrder();
    entry.drawIndex = static_cast<int32_t>(placed.size());
    placed.push_back(entry);
    const KX::LControl::ChildControlList& children = control->GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i)
        CollectVisible(children.GetAt(i, KX::LControl::kDrawOrder), placed);
}

} // namespace

std::vector<PlacedControl> ScreenRendererTestBase::VisibleControls() const
{
    std::vector<PlacedControl> placed;
    if (mScreen)
        CollectVisible(RCPtr<KX::LControl>(mScreen), placed);
    return placed;
}

bool ScreenRendererTestBase::SkinColorAt(const PointT<long>& point, uint32_t& rgb) const
{
    const RCPtr<KX::LRootWindow> root = mApp ? mApp->GetRootWindow(0) : RCPtr<KX::LRootWindow>();
    if (!root)
        return false;
    RCPtr<KX::LControl> control;
    PointT<long> local;
    root->GetControlAtPoint(control, point, local, false);
    if (!control)
        return false;
    int32_t shown = -1;
    for (int32_t i = 0; i < control->GetLookCount(); ++i) {
        if (!(control->GetLookWeight(i) > 0.0f))
            continue;
        if (shown >= 0 || control->GetLookWeight(i) != 1.0f)
            return false;
        shown = i;
    }
    if (shown < 0)
        return false;
    const uint32_t argb = control->GetColorAtPoint(local, shown);
    if ((argb >> 24) != 0xFF)
        return false;
    rgb = argb & 0xFFFFFF;
    return true;
}

std::vector<FixedPoint> ScreenRendererTestBase::FixedPoints() const
{
    std::vector<FixedPoint> points;
    for (const PlacedControl& placed : VisibleControls()) {
        const RectT<long>& r = placed.rect;
        if (r.width < 6 || r.height < 6)
            continue;
        const long left = r.x + 2;
        const long top = r.y + 2;
        const long right = r.x + r.width - 3;
        const long bottom = r.y + r.height - 3;
        for (const PointT<long>& p : {PointT<long>(left, top), PointT<long>(right, top), PointT<long>(left, bottom),
                                      PointT<long>(right, bottom)}) {
            FixedPoint fixed;
            fixed.point = p;
            fixed.control = placed.name;
            if (SkinColorAt(p, fixed.rgb))
                points.push_back(fixed);
        }
    }
    return points;
}

} // namespace ScreenRendererTest

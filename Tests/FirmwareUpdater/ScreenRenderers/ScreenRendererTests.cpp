// The update screen drawn by the OpenGL renderer (type 0) and by the GDI+
// renderer (type 1) in a real window, read back from the screen: the same
// controls in the same places, the same colours at the skin's fixed points,
// each text inside the same control's rectangle at nearly the same place, and
// not one pixel different anywhere else.
#include "ScreenRendererSupport.h"

#include "Controls/ProgressBar.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace ScreenRendererTest {
namespace {

using ScreenWindowTest::Engine;
using ScreenWindowTest::String;

constexpr int32_t kOpenGL = KX::RendererOpenGL;
constexpr int32_t kGdiPlus = KX::RendererGdiPlus;

// Glyphs come from FreeType under OpenGL and from GDI+'s text drawing under
// GDI+: GDI+ starts a line two or three pixels right of its origin (the
// margin of its default layout), FreeType with its first glyph's left edge;
// the lines' heights agree within a pixel or two, their lengths within a
// few percent.
constexpr long kTextShiftX = 4;
constexpr long kTextShiftY = 2;
constexpr double kTextLengthRatio = 0.08;
// How far a pixel must be from the control's own colour to count as text.
constexpr int kInkTolerance = 24;

// What one renderer showed of one screen.
struct Shot
{
    Image image;
    std::vector<PlacedControl> controls;
    std::vector<FixedPoint> fixedPoints;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string Hex(uint32_t rgb)
{
    char text[16];
    snprintf(text, sizeof(text), "%06X", rgb);
    return text;
}

bool Contains(const RectT<long>& r, long x, long y)
{
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

class ScreenRenderers : public ScreenRendererTestBase
{
protected:
    bool IsShown(const wchar_t* name) const
    {
        const std::vector<PlacedControl> controls = VisibleControls();
        return std::any_of(controls.begin(), controls.end(),
                           [name](const PlacedControl& placed) { return placed.name == name; });
    }

    // Clicks the middle of the visible control that shows the text.
    void ClickTitle(const wchar_t* text)
    {
        for (const PlacedControl& placed : VisibleControls()) {
            if (placed.text == text) {
                POINT middle{placed.rect.x + placed.rect.width / 2, placed.rect.y + placed.rect.height / 2};
                ClientToScreen(mWindow, &middle);
                ClickAt(middle);
                return;
            }
        }
        ADD_FAILURE() << "no control shows " << Narrow(text);
    }

    // The menu bar's "File" title, clicked: its popup drops below it, over
    // the screen (a control drawn after the tree, unclipped).
    void OpenFileMenu()
    {
        ClickTitle(L"File");
        ASSERT_TRUE(LoopUntil([this]() { return IsShown(L"popupMenu"); })) << "the file menu opened";
        // Its rows are painted.
        LoopUntil([]() { return false; }, 100);
    }

    // Opens the program with the renderer, lets the scene set the screen up,
    // and reads the window back.
    Shot Take(int32_t rendererType, const std::function<void()>& scene)
    {
        Shot shot;
        OpenWithRenderer(rendererType);
        if (HasFatalFailure())
            return shot;
        scene();
        if (HasFatalFailure())
            return shot;
        shot.image = CaptureClient();
        shot.controls = VisibleControls();
        shot.fixedPoints = FixedPoints();
        Save(shot.image, rendererType == kOpenGL ? L"opengl" : L"gdiplus");
        CloseProgram();
        return shot;
    }

    // The scene once with each renderer, then the comparison.
    void CompareRenderers(const std::function<void()>& scene)
    {
        const Shot gdi = Take(kGdiPlus, scene);
        ASSERT_FALSE(HasFatalFailure());
        const Shot gl = Take(kOpenGL, scene);
        ASSERT_FALSE(HasFatalFailure());
        ExpectSameControls(gdi, gl);
        ExpectSkinColours(gdi, "GDI+");
        ExpectSkinColours(gl, "OpenGL");
        ExpectSameOutsideTexts(gdi, gl);
        ExpectSameTextPlaces(gdi, gl);
    }

    static void ExpectSameControls(const Shot& gdi, const Shot& gl)
    {
        ASSERT_EQ(gdi.image.width, gl.image.width);
        ASSERT_EQ(gdi.image.height, gl.image.height);
        ASSERT_EQ(gdi.controls.size(), gl.controls.size());
        for (size_t i = 0; i < gdi.controls.size(); ++i) {
            EXPECT_EQ(gdi.controls[i].name, gl.controls[i].name);
            EXPECT_EQ(gdi.controls[i].text, gl.controls[i].text) << Narrow(gdi.controls[i].name);
            EXPECT_EQ(gdi.controls[i].rect, gl.controls[i].rect) << Narrow(gdi.controls[i].name);
        }
    }

    // Every fixed point shows exactly the skin's colour there.
    static void ExpectSkinColours(const Shot& shot, const char* renderer)
    {
        EXPECT_GE(shot.fixedPoints.size(), 20u) << "the screen's controls give fixed points";
        for (const FixedPoint& fixed : shot.fixedPoints) {
            if (!shot.image.Contains(fixed.point.x, fixed.point.y))
                continue;
            EXPECT_EQ(Hex(fixed.rgb), Hex(shot.image.At(fixed.point.x, fixed.point.y)))
                << renderer << " at (" << fixed.point.x << ", " << fixed.point.y << ") in "
                << Narrow(fixed.control);
        }
    }

    // Text is the only thing the two renderers may draw differently: outside
    // the rectangles of the controls that show a text, every pixel is the
    // same.
    static void ExpectSameOutsideTexts(const Shot& gdi, const Shot& gl)
    {
        std::vector<RectT<long>> texts;
        for (const PlacedControl& placed : gdi.controls) {
            if (placed.showsText)
                texts.push_back(placed.rect);
        }
        long differing = 0;
        RectT<long> where;
        for (long y = 0; y < gdi.image.height; ++y) {
            for (long x = 0; x < gdi.image.width; ++x) {
                if (gdi.image.At(x, y) == gl.image.At(x, y))
                    continue;
                const bool inText = std::any_of(texts.begin(), texts.end(),
                                                [&](const RectT<long>& r) { return Contains(r, x, y); });
                if (inText)
                    continue;
                if (differing++ == 0)
                    where = RectT<long>(x, y, 1, 1);
            }
        }
        EXPECT_EQ(0, differing) << "pixels outside the texts differ, the first at (" << where.x << ", " << where.y
                                << "): GDI+ " << Hex(gdi.image.At(where.x, where.y)) << ", OpenGL "
                                << Hex(gl.image.At(where.x, where.y));
    }

    // Each text is drawn in its control's rectangle by both renderers, inside
    // its text area, at nearly the same place and length.
    void ExpectSameTextPlaces(const Shot& gdi, const Shot& gl) const
    {
        for (size_t i = 0; i < gdi.controls.size() && i < gl.controls.size(); ++i) {
            const PlacedControl& placed = gdi.controls[i];
            if (!placed.showsText)
                continue;
            const std::vector<uint32_t> backgrounds = BackgroundsOf(gdi, placed);
            const std::vector<RectT<long>> over = Covering(gdi, placed);
            const RectT<long> gdiInk = InkBounds(gdi.image, placed.rect, backgrounds, kInkTolerance, over);
            const RectT<long> glInk = InkBounds(gl.image, placed.rect, backgrounds, kInkTolerance, over);
            if (gdiInk.width == 0 && glInk.width == 0 && !over.empty())
                continue; // hidden under a popup
            const PlacedControl& glPlaced = gl.controls[i];
            const std::string what = Narrow(placed.name) + " \"" + Narrow(placed.text) + "\" in " +
                                     Describe(placed.rect) + ", text areas " + Describe(placed.textArea) + " and " +
                                     Describe(glPlaced.textArea) + ": GDI+ " + Describe(gdiInk) + ", OpenGL " +
                                     Describe(glInk);
            ASSERT_GT(gdiInk.width, 0) << what;
            ASSERT_GT(glInk.width, 0) << what;
            // Each renderer cuts the text at the text area its own
            // measurements laid out.
            EXPECT_TRUE(Inside(gdiInk, placed.textArea)) << what;
            EXPECT_TRUE(Inside(glInk, glPlaced.textArea)) << what;
            EXPECT_LE(std::abs(glInk.x - gdiInk.x), kTextShiftX) << what;
            EXPECT_LE(std::abs(glInk.y - gdiInk.y), kTextShiftY) << what;
            EXPECT_LE(std::abs((glInk.y + glInk.height) - (gdiInk.y + gdiInk.height)), kTextShiftY) << what;
            EXPECT_LE(std::abs(glInk.width - gdiInk.width),
                      kTextShiftX + static_cast<long>(kTextLengthRatio * gdiInk.width))
                << what;
        }
    }

    // The colours that are no text in the control: the skin's colour at its
    // fixed points, and what shows at its corners (a transparent label shows
    // what lies below it: the progress bar's fill and track under its
    // percentage).
    static std::vector<uint32_t> BackgroundsOf(const Shot& shot, const PlacedControl& placed)
    {
        std::vector<uint32_t> colours;
        for (const FixedPoint& fixed : shot.fixedPoints) {
            if (fixed.control == placed.name && Contains(placed.rect, fixed.point.x, fixed.point.y))
                colours.push_back(fixed.rgb);
        }
        const RectT<long>& r = placed.rect;
        for (const PointT<long>& corner : {PointT<long>(r.x + 1, r.y + 1), PointT<long>(r.x + r.width - 2, r.y + 1),
                                           PointT<long>(r.x + 1, r.y + r.height - 2),
                                           PointT<long>(r.x + r.width - 2, r.y + r.height - 2)}) {
            if (shot.image.Contains(corner.x, corner.y))
                colours.push_back(shot.image.At(corner.x, corner.y));
        }
        return colours;
    }

    // The controls drawn over a part of the control (a popup over a label,
    // a check box in a menu row): their pixels are none of its text.
    static std::vector<RectT<long>> Covering(const Shot& shot, const PlacedControl& placed)
    {
        std::vector<RectT<long>> over;
        for (const PlacedControl& other : shot.controls) {
            const RectT<long>& r = other.rect;
            const bool meets = r.x < placed.rect.x + placed.rect.width && placed.rect.x < r.x + r.width &&
                               r.y < placed.rect.y + placed.rect.height && placed.rect.y < r.y + r.height;
            if (meets && DrawnOver(other, placed))
                over.push_back(r);
        }
        return over;
    }
};

TEST_F(ScreenRenderers, TheReadyScreenLooksTheSame)
{
    CompareRenderers([this]() {
        ASSERT_TRUE(Shows(L"buttonUpdateFirmware"));
        ASSERT_TRUE(Shows(L"labelDeviceFirmwareVersion"));
    });
}

TEST_F(ScreenRenderers, TheTransferScreenWithItsProgressLooksTheSame)
{
    CompareRenderers([this]() {
        // The screen as it stands during a transfer, at a fixed point of it.
        mScreen->UpdateDisplay(Engine::Running, Engine::Updating, Engine::FileFoundVersionKnown);
        const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
        ASSERT_TRUE(bar);
        bar->SetAutoTimeEstimate(false);
        bar->SetNormalizedValue(0.43);
        bar->SetTimeRemaining(75);
        ASSERT_TRUE(Shows(L"progressBar"));
        ASSERT_TRUE(bar->GetTimeRemainingLabel()->IsVisible(true));
    });
}

TEST_F(ScreenRenderers, ATextLongerThanItsLabelIsCutAtTheLabelsEdge)
{
    CompareRenderers([this]() {
        // The version label does not wrap: what does not fit is cut off at
        // the end of its text area, 4 pixels inside the label.
        const RCPtr<KX::LControl> label = Child(L"labelDeviceFirmwareVersion");
        ASSERT_TRUE(label);
        label->SetText(String(L"Device's current firmware version: 1.0.3.0 (build 2024-11-05, bootloader 2.1, "
                              L"hardware revision C, serial number 0012-3456-7890-ABCD)"));
        const RCPtr<KX::LControl> process = Child(L"labelUpdateProcessInformation");
        ASSERT_TRUE(process);
        process->SetText(String(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    });
}

TEST_F(ScreenRenderers, TheOpenFileMenuLooksTheSame)
{
    CompareRenderers([this]() { OpenFileMenu(); });
}

TEST_F(ScreenRenderers, TheScreenUnderAClosedMenuIsRepaintedTheSame)
{
    CompareRenderers([this]() {
        OpenFileMenu();
        // A second press on the title closes the menu again; the screen
        // below it is repainted.
        ClickTitle(L"File");
        ASSERT_TRUE(LoopUntil([this]() { return !IsShown(L"popupMenu"); })) << "the menu closed";
    });
}

TEST_F(ScreenRenderers, AButtonUnderThePointerWithItsToolTipLooksTheSame)
{
    CompareRenderers([this]() {
        const RCPtr<KX::LControl> exit = Child(L"buttonExit");
        ASSERT_TRUE(exit);
        const POINT middle = ScreenMiddle(exit);
        TestScreen::MoveMouseTo(middle.x, middle.y);
        ASSERT_TRUE(LoopUntil([this]() { return IsShown(L"toolTip"); })) << "the exit button's tool tip showed";
    });
}

} // namespace
} // namespace ScreenRendererTest

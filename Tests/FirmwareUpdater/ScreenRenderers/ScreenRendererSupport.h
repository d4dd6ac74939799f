// What the comparison of the update screen under the two drawing renderers
// shares: the program's screen opened as the screen tests open it (the
// program's skin, strings and application class, the simulated TAVIK8), but
// with the main window's renderer of a given type; the window's client area
// read back from the screen as a person sees it; the controls' places taken
// from the control tree; and the captures saved as PNG files under
// screenshots/ScreenRendererTests/<test>/.
#pragma once

#include "Support/UpdateScreen/ScreenWindowSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ScreenRendererTest {

using KX::PointT;
using KX::RCPtr;
using KX::RectT;

// Pixels read back, top row first, each 0x00RRGGBB.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(long x, long y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Contains(long x, long y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The largest difference of one colour channel between two 0x00RRGGBB colours.
int ChannelDistance(uint32_t a, uint32_t b);

// The bounding box of the pixels of the area that differ from each of the
// background colours by more than the tolerance in some channel, leaving out
// the pixels inside any of the excluded rectangles; width 0 when there are
// none.
RectT<long> InkBounds(const Image& image, const RectT<long>& area, const std::vector<uint32_t>& backgrounds,
                      int tolerance, const std::vector<RectT<long>>& excluded = {});

std::string Describe(const RectT<long>& rect);
bool Inside(const RectT<long>& inner, const RectT<long>& outer);

// A visible control of the screen with its place in the window's client area.
struct PlacedControl
{
    std::wstring name;
    std::wstring text;
    RectT<long> rect; // client coordinates, whole pixels
    // Whether its shown look draws its text (a text layout and a text
    // colour), and the text is not blank.
    bool showsText = false;
    // The area its shown look draws its text in (client coordinates).
    RectT<long> textArea;
    // Where it comes in the drawing: its effective Z order (controls that
    // do not clip to their parents are drawn after the tree, by that order),
    // then its place in the tree walked depth first in draw order.
    int32_t zOrder = 0;
    int32_t drawIndex = 0;
};

// True when the other control is drawn over the control.
bool DrawnOver(const PlacedControl& other, const PlacedControl& control);

// A point of the client area and the colour the skin gives it (0x00RRGGBB).
struct FixedPoint
{
    PointT<long> point;
    uint32_t rgb = 0;
    std::wstring control;
};

class ScreenRendererTestBase : public ScreenWindowTest::ScreenWindowTestBase
{
protected:
    // Opens the screen as the program opens it, with the test's firmware
    // file and the main window's renderer of that type (0 OpenGL, 1 GDI+),
    // and puts the pointer at rest.
    void OpenWithRenderer(int32_t rendererType);
    // The pointer on the background below the labels, away from every
    // button: nothing shows a hover.
    void RestPointer();
    // Ends the program opened so far; the next one starts afresh (a new
    // simulated device of the same state, new documents and fonts).
    void CloseProgram();

    // The window's client area as the screen shows it, once every pending
    // paint was done (the program repaints only what changed).
    Image CaptureClient();
    // The client area as the screen shows it now, without running the loop
    // (also while the program's thread is blocked).
    Image ReadClient() const;
    // Saves the image as screenshots/ScreenRendererTests/<test>/<name>.png.
    void Save(const Image& image, const std::wstring& name) const;

    // Every visible control of the screen (the main control first, then its
    // descendants depth first in draw order), in client coordinates; popups
    // and other unclipped controls included.
    std::vector<PlacedControl> VisibleControls() const;
    // The colour that the skin gives a point of the client area: the colour
    // at that point of the look of the control that the point hits (hit
    // testing passes over controls that are transparent there). False when
    // that control shows more than one look, or a look only partly, or a
    // colour that is not opaque: what lies below then mixes in.
    bool SkinColorAt(const PointT<long>& point, uint32_t& rgb) const;
    // The skin's fixed points of the screen as it is now: for every visible
    // control at least 6 pixels wide and high, the points 2 pixels inside
    // its four corners (away from any text, which keeps 4 pixels from the
    // control's sides), each with the colour the skin gives it.
    std::vector<FixedPoint> FixedPoints() const;
};

} // namespace ScreenRendererTest

// Lines, outlines and filled polygons through display lists and the shared
// tessellator; colour-rectangle lists.
#include "GLTestSupport.h"

#include "Renderer/OpenGL/GLPolygon.h"

using namespace GLTest;

namespace {

using GLShape = GLFixture;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

// A chevron: its notch at (80, 60) makes it concave; the notch's inside,
// around (80, 90), is outside the polygon.
KX::PolylineT<float> Chevron()
{
    KX::PolylineT<float> chevron;
    chevron.AddPoint(20, 10);
    chevron.AddPoint(140, 10);
    chevron.AddPoint(140, 110);
    chevron.AddPoint(80, 60);
    chevron.AddPoint(20, 110);
    return chevron;
}

} // namespace

TEST_F(GLShape, AConcavePolygonFillsOnlyItsInside)
{
    const KX::PolylineT<float> chevron = Chevron();
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillPolygon(chevron, Argb(0xFFFF0000), PointT<float>(0, 0), PointT<float>(1, 1), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(80, 30)) << "the body";
    EXPECT_EQ(kRed, image.Rgb(30, 100)) << "the left leg";
    EXPECT_EQ(kRed, image.Rgb(130, 100)) << "the right leg";
    EXPECT_EQ(kWhite, image.Rgb(80, 90)) << "the notch is outside";
    EXPECT_EQ(kWhite, image.Rgb(80, 70));
    EXPECT_EQ(kWhite, image.Rgb(10, 50)) << "left of the polygon";
    EXPECT_EQ(RectT<long>(20, 10, 120, 100), InkBounds(image, kWhite));
}

TEST_F(GLShape, OffsetAndScaleMoveAndSizeTheShape)
{
    KX::PolylineT<float> square;
    square.AddPoint(0, 0);
    square.AddPoint(10, 0);
    square.AddPoint(10, 10);
    square.AddPoint(0, 10);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillPolygon(square, Argb(0xFF0000FF), PointT<float>(30, 20), PointT<float>(4, 2), false);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(RectT<long>(30, 20, 40, 20), InkBounds(image, kWhite));
}

TEST_F(GLShape, AnOutlineAndAFillOfAChangedPolygonAreBothRebuilt)
{
    KX::PolylineT<float> polygon;
    polygon.AddPoint(10, 10);
    polygon.AddPoint(60, 10);
    polygon.AddPoint(60, 60);
    polygon.AddPoint(10, 60);
    const PointT<float> origin(0, 0);
    const PointT<float> one(1, 1);
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillPolygon(polygon, Argb(0xFFFF0000), origin, one, true);
        mRenderer->DrawPolygon(polygon, Argb(0xFF0000FF), origin, one, true);
    }
    // The points move; the outline is drawn first and clears the changed flag.
    for (int i = 0; i < 4; ++i) {
        const PointT<float> p = polygon.GetPoint(i);
        polygon.SetPoint(i, PointT<float>(p.x + 80, p.y + 40));
    }
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->DrawPolygon(polygon, Argb(0xFF0000FF), origin, one, true);
        mRenderer->FillPolygon(polygon, Argb(0xFFFF0000), origin, one, true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kWhite, image.Rgb(35, 35)) << "no fill left at the old place";
    EXPECT_EQ(kRed, image.Rgb(115, 75)) << "the fill follows the new points";
}

TEST_F(GLShape, CachedShapesReplayAndUncachedOnesAreBuiltEachTime)
{
    KX::PolylineT<float> lines(3.0f);
    lines.AddPoint(10, 20);
    lines.AddPoint(150, 20);
    lines.AddPoint(10, 80);
    lines.AddPoint(150, 80);
    lines.AddPoint(77, 77); // odd last point: no segment
    KX::PolylineT<float> zigzag(1.0f);
    zigzag.AddPoint(10, 100);
    zigzag.AddPoint(80, 50);
    zigzag.AddPoint(150, 100);
    for (int pass = 0; pass < 2; ++pass) {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->DrawLines(lines, Argb(0xFFFF0000), PointT<float>(0, 0), PointT<float>(1, 1), true);
        mRenderer->DrawPolyline(zigzag, Argb(0xFF0000FF), PointT<float>(0, 0), PointT<float>(1, 1), pass == 0);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(80, 20)) << "the first segment, replayed from its list";
    EXPECT_EQ(kRed, image.Rgb(80, 80));
    EXPECT_EQ(kWhite, image.Rgb(80, 50 + 15)) << "no segment between the pairs";
    EXPECT_NE(kWhite, image.Rgb(45, 75)) << "the polyline";
}

TEST_F(GLShape, ColourRectanglesAreFilledScaledAndMoved)
{
    KX::ColorRectListT<float> rects;
    rects.AddRect(RectT<float>(0, 0, 10, 10), 0xFFFF0000);
    rects.AddRect(RectT<float>(10, 0, 10, 10), 0xFF0000FF);
    rects.SetScale(2.0f, 3.0f);
    for (int pass = 0; pass < 2; ++pass) {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillColorRects(rects, PointT<double>(5, 7), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(RectT<long>(5, 7, 40, 30), InkBounds(image, kWhite));
    EXPECT_EQ(kRed, image.Rgb(5, 7));
    EXPECT_EQ(kRed, image.Rgb(24, 36));
    EXPECT_EQ(kBlue, image.Rgb(25, 7));
    EXPECT_EQ(kBlue, image.Rgb(44, 36));
}

TEST_F(GLShape, RectangleOutlinesAndLines)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        mRenderer->FillAndFrameRect(RectT<long>(20, 20, 60, 40), Argb(0xFF0000FF), Argb(0xFFFF0000), 1.0f);
        mRenderer->DrawLine(PointT<float>(100, 10), PointT<float>(100, 110), Argb(0xFF000000), 2.0f);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kBlue, image.Rgb(50, 40)) << "the fill";
    EXPECT_NE(kBlue, image.Rgb(50, 20)) << "the frame on the top edge";
    EXPECT_NE(kWhite, image.Rgb(50, 20));
    EXPECT_NE(kWhite, image.Rgb(100, 60)) << "the line";
}

TEST(GLPolygon, ManyPolygonsShareOneTessellator)
{
    KX::CGLPolygon first;
    const GLUtesselator* shared = KX::CGLPolygon::GetTessellator();
    ASSERT_TRUE(shared);
    for (int i = 0; i < 20; ++i) {
        KX::CGLPolygon another;
        EXPECT_EQ(shared, KX::CGLPolygon::GetTessellator());
    }
    EXPECT_EQ(1, KX::CGLPolygon::GetTessellatorsMade());
}

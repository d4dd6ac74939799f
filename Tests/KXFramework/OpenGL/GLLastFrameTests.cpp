// Off-screen frames of the OpenGL renderer: the frame an off-screen context
// keeps when it finishes, copied into a window's frame, and scrolled with
// DrawLastFrame.
#include "GLTestSupport.h"

using namespace GLTest;

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;

class GLLastFrame : public GLFixture
{
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, 80, 60), SharedWindow(1), true,
                                                         mOffscreen));
    }
    void TearDown() override
    {
        mOffscreen = nullptr;
        GLFixture::TearDown();
    }

    // White, with a red square at (10, 10) and a blue one at (50, 30), each
    // 20 x 20.
    void DrawOffscreenScene()
    {
        Frame frame(mRenderer, mOffscreen);
        mRenderer->FillRect(RectT<long>(0, 0, 80, 60), Argb(0xFFFFFFFF), true);
        mRenderer->FillRect(RectT<long>(10, 10, 20, 20), Argb(0xFFFF0000), true);
        mRenderer->FillRect(RectT<long>(50, 30, 20, 20), Argb(0xFF0000FF), true);
    }

    RCPtr<KX::LRenderContextInfo> mOffscreen;
};

} // namespace

TEST_F(GLLastFrame, AnOffscreenContextKeepsTheFrameItFinished)
{
    EXPECT_EQ(0, ReadLastFrame(mOffscreen).width) << "nothing kept before the first frame";
    DrawOffscreenScene();
    const Image kept = ReadLastFrame(mOffscreen);
    Save(kept);
    ASSERT_EQ(80, kept.width);
    ASSERT_EQ(60, kept.height);
    EXPECT_EQ(kWhite, kept.Rgb(0, 0));
    EXPECT_EQ(kRed, kept.Rgb(10, 10)) << "top row first";
    EXPECT_EQ(kRed, kept.Rgb(29, 29));
    EXPECT_EQ(kWhite, kept.Rgb(30, 29));
    EXPECT_EQ(kBlue, kept.Rgb(69, 49));
    EXPECT_EQ(kWhite, kept.Rgb(79, 59));
}

TEST_F(GLLastFrame, APartOfTheLastFrameIsCopiedPixelForPixelIntoTheWindow)
{
    DrawOffscreenScene();
    {
        Frame frame(mRenderer, mContext);
        Background(kBlack);
        EXPECT_EQ(S_OK, mRenderer->CopyFromLastFrame(mOffscreen, PointT<long>(100, 50), RectT<long>(5, 5, 60, 50)));
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(RectT<long>(100, 50, 60, 50), InkBounds(image, kBlack)) << "the source rectangle's size, no more";
    EXPECT_EQ(kWhite, image.Rgb(100, 50)) << "source (5, 5)";
    EXPECT_EQ(kWhite, image.Rgb(104, 54));
    EXPECT_EQ(kRed, image.Rgb(105, 55)) << "source (10, 10)";
    EXPECT_EQ(kRed, image.Rgb(124, 74)) << "source (29, 29)";
    EXPECT_EQ(kWhite, image.Rgb(125, 75));
    EXPECT_EQ(kBlue, image.Rgb(145, 75)) << "source (50, 30)";
    EXPECT_EQ(kBlue, image.Rgb(159, 94)) << "source (64, 49)";
    EXPECT_EQ(kWhite, image.Rgb(159, 99)) << "source (64, 54), the copy's last pixel";
}

TEST_F(GLLastFrame, TheCopyIsDrawnInTheCurrentTranslationAndClip)
{
    DrawOffscreenScene();
    {
        Frame frame(mRenderer, mContext);
        Background(kBlack);
        mRenderer->PushClip(RectT<double>(20, 10, 100, 100), RectT<double>(20, 10, 15, 100), nullptr, true);
        EXPECT_EQ(S_OK, mRenderer->CopyFromLastFrame(mOffscreen, PointT<long>(0, 0), RectT<long>(10, 10, 20, 20)));
        mRenderer->PopState();
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(RectT<long>(20, 10, 15, 20), InkBounds(image, kBlack)) << "moved by (20, 10), cut at 15 wide";
    EXPECT_EQ(kRed, image.Rgb(20, 10));
    EXPECT_EQ(kRed, image.Rgb(34, 29));
}

TEST_F(GLLastFrame, DrawLastFrameStartsTheNextFrameFromTheLastOneMoved)
{
    DrawOffscreenScene();
    // Scrolled up by 10 and left by 5; a frame then draws the exposed rows.
    EXPECT_EQ(S_OK, mRenderer->DrawLastFrame(mOffscreen, PointT<long>(-5, -10)));
    const Image moved = ReadLastFrame(mOffscreen);
    Save(moved, "moved");
    ASSERT_EQ(80, moved.width);
    EXPECT_EQ(kRed, moved.Rgb(5, 0)) << "the red square from (10, 10)";
    EXPECT_EQ(kRed, moved.Rgb(24, 19));
    EXPECT_EQ(kWhite, moved.Rgb(25, 19));
    EXPECT_EQ(kBlue, moved.Rgb(45, 20)) << "the blue square from (50, 30)";
    EXPECT_EQ(kBlue, moved.Rgb(64, 39));
    EXPECT_EQ(kWhite, moved.Rgb(65, 40));
    EXPECT_TRUE(mOffscreen->mSavedStates.empty()) << "the frame's state is popped again";
    EXPECT_EQ(0, mRenderer->GetContextDepth());

    // The second scroll starts from the first one's result.
    EXPECT_EQ(S_OK, mRenderer->DrawLastFrame(mOffscreen, PointT<long>(0, 10)));
    const Image back = ReadLastFrame(mOffscreen);
    Save(back, "back");
    EXPECT_EQ(kRed, back.Rgb(5, 10));
    EXPECT_EQ(kRed, back.Rgb(24, 29));
    EXPECT_EQ(kWhite, back.Rgb(25, 29));
}

TEST_F(GLLastFrame, AnOffscreenFrameNestedInTheWindowsFrameIsKeptAndTheWindowGoesOn)
{
    {
        Frame frame(mRenderer, mContext);
        Background(kWhite);
        DrawOffscreenScene();
        EXPECT_EQ(S_OK, mRenderer->CopyFromLastFrame(mOffscreen, PointT<long>(0, 0), RectT<long>(0, 0, 80, 60)));
        mRenderer->FillRect(RectT<long>(100, 0, 20, 20), Argb(0xFF0000FF), true);
    }
    const Image image = ReadFront();
    Save(image);
    EXPECT_EQ(kRed, image.Rgb(10, 10));
    EXPECT_EQ(kBlue, image.Rgb(50, 30));
    EXPECT_EQ(kBlue, image.Rgb(110, 10)) << "the window's frame draws on after the nested one";
    EXPECT_EQ(kWhite, image.Rgb(140, 100));
}

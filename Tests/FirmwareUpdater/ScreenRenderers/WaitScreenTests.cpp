// The screen while the program's thread is blocked waiting for the device,
// read back from the display during the wait, under both renderers: the wait
// for the mode change's reply after UPDATE FIRMWARE, and the wait for the
// device's return after a transfer. The display shows the state the screen
// waits in (its texts and buttons), not the frame from before the wait.
#include "ScreenRendererSupport.h"

#include "Engine/EngineTiming.h"
#include "Engine/UpdateEngine.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace ScreenRendererTest {
namespace {

using ScreenWindowTest::Engine;
using ScreenWindowTest::String;
using Tavik8Sim::Mode;

constexpr int32_t kOpenGL = KX::RendererOpenGL;
constexpr int32_t kGdiPlus = KX::RendererGdiPlus;
// How far a pixel must be from the plain colours around a text to count as
// part of it.
constexpr int kInkTolerance = 24;

const std::wstring kProcess = L"labelUpdateProcessInformation";
const std::wstring kTransition =
    L"Switch the TAVIK8 off and on again, wait until it has started, and then press NEXT.";
const std::wstring kResetting = L"Waiting for device to reset.";

std::string Hex(uint32_t rgb)
{
    char text[16];
    snprintf(text, sizeof(text), "%06X", rgb);
    return text;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The engine's own waits, with a look at the screen when the program's
// thread first waits for the device; that wait then ends at once (the
// device of the test never answers it).
class WatchedTiming : public LEngineTiming
{
public:
    static RCPtr<WatchedTiming> Create() { return RCPtr<WatchedTiming>(new WatchedTiming); }

    bool WaitForSignal(KX::TrafficLight& signal, uint32_t milliseconds) override
    {
        if (GetCurrentThreadId() == mThread && atFirstWait) {
            const std::function<void()> look = std::move(atFirstWait);
            atFirstWait = nullptr;
            look();
            return LEngineTiming::WaitForSignal(signal, 0);
        }
        return LEngineTiming::WaitForSignal(signal, milliseconds);
    }

    std::function<void()> atFirstWait;

private:
    const DWORD mThread = GetCurrentThreadId();
};

// The pause between the probes for the device after a transfer, with a look
// at the screen at the first. It takes no time: what the display shows
// during the wait is under test, not how long the wait lasts.
std::function<void()> sAtFirstPause;
void WatchedPause(uint32_t)
{
    if (sAtFirstPause) {
        const std::function<void()> look = std::move(sAtFirstPause);
        sAtFirstPause = nullptr;
        look();
    }
}

// What the display showed at a moment, and what the control tree said it
// should show then.
struct Look
{
    Image image;
    std::vector<FixedPoint> points;
    std::wstring processText;
};

RectT<long> PlaceOf(const RCPtr<KX::LControl>& control)
{
    const KX::PointT<double> origin = control->GetRootPosition();
    return RectT<long>(static_cast<long>(std::floor(origin.x + 0.5)), static_cast<long>(std::floor(origin.y + 0.5)),
                       static_cast<long>(std::floor(control->GetRect().width + 0.5)),
                       static_cast<long>(std::floor(control->GetRect().height + 0.5)));
}

// The extent of what is drawn inside the rectangle (4 pixels in from its
// sides) in other colours than the plain ones at its inner corners: the
// text's ink.
RectT<long> TextInk(const Image& image, const RectT<long>& rect)
{
    const RectT<long> inner(rect.x + 4, rect.y + 4, rect.width - 8, rect.height - 8);
    std::vector<uint32_t> plain;
    for (const KX::PointT<long>& corner :
         {KX::PointT<long>(inner.x, inner.y), KX::PointT<long>(inner.x + inner.width - 1, inner.y),
          KX::PointT<long>(inner.x, inner.y + inner.height - 1),
          KX::PointT<long>(inner.x + inner.width - 1, inner.y + inner.height - 1)}) {
        if (image.Contains(corner.x, corner.y))
            plain.push_back(image.At(corner.x, corner.y));
    }
    return InkBounds(image, inner, plain, kInkTolerance);
}

class WaitScreens : public ScreenRendererTestBase, public ::testing::WithParamInterface<int32_t>
{
protected:
    void TearDown() override
    {
        sAtFirstPause = nullptr;
        ScreenRendererTestBase::TearDown();
    }

    void Open()
    {
        OpenWithRenderer(GetParam());
    }

    // Clicks the button by a press and release at its middle, then puts
    // the pointer back at rest (the queued input is handled in that order,
    // so that no button under the pointer changes its look during a wait).
    void ClickAndRest(const wchar_t* name)
    {
        const RCPtr<KX::LControl> button = Child(name);
        ASSERT_TRUE(button && button->IsVisible(true)) << Narrow(name);
        const POINT middle = ScreenMiddle(button);
        TestScreen::Click(middle.x, middle.y);
        RestPointer();
    }

    // Called on the program's thread during a wait: the display now, and
    // the colours the skin gives the fixed points of the visible controls
    // and the corners of the named ones, shown or not (a hidden control's
    // place shows what lies below it).
    Look LookNow(const std::vector<std::wstring>& places) const
    {
        Look look;
        look.image = ReadClient();
        look.points = FixedPoints();
        look.processText = TextOf(kProcess.c_str());
        for (const std::wstring& name : places) {
            const RCPtr<KX::LControl> control = Child(name.c_str());
            if (!control)
                continue;
            const RectT<long> r = PlaceOf(control);
            for (const KX::PointT<long>& p :
                 {KX::PointT<long>(r.x + 2, r.y + 2), KX::PointT<long>(r.x + r.width - 3, r.y + 2),
                  KX::PointT<long>(r.x + 2, r.y + r.height - 3),
                  KX::PointT<long>(r.x + r.width - 3, r.y + r.height - 3)}) {
                FixedPoint fixed;
                fixed.point = p;
                fixed.control = name + L" (its place)";
                if (SkinColorAt(p, fixed.rgb))
                    look.points.push_back(fixed);
            }
        }
        return look;
    }

    // Every point shows the skin's colour; each of the named places had
    // points to check.
    void ExpectDisplayShows(const Look& look, const std::vector<std::wstring>& places) const
    {
        ASSERT_FALSE(look.image.pixels.empty()) << "the display was read during the wait";
        for (const FixedPoint& fixed : look.points) {
            if (!look.image.Contains(fixed.point.x, fixed.point.y))
                continue;
            EXPECT_EQ(Hex(fixed.rgb), Hex(look.image.At(fixed.point.x, fixed.point.y)))
                << "at (" << fixed.point.x << ", " << fixed.point.y << ") in " << Narrow(fixed.control);
        }
        for (const std::wstring& name : places) {
            const size_t checked = std::count_if(look.points.begin(), look.points.end(), [&](const FixedPoint& f) {
                return f.control == name + L" (its place)";
            });
            EXPECT_GT(checked, 0u) << Narrow(name) << " has a plain colour at its corners";
        }
    }

    std::wstring ShotName(const wchar_t* what) const
    {
        return std::wstring(GetParam() == kOpenGL ? L"opengl_" : L"gdiplus_") + what;
    }
};

TEST_P(WaitScreens, DuringTheModeChangeReplyTheDisplayShowsTheSwitchOffAndOnStep)
{
    mDevice->Set("mode_ack", "none"); // the device never answers the mode change
    Open();
    ASSERT_FALSE(HasFatalFailure());
    const RCPtr<LUpdateEngine> engine =
        RCPtr<LUpdateEngine>::DynamicCast(mApp->GetUpdateProcessor()->GetUpdateEngine());
    ASSERT_TRUE(engine);
    const RCPtr<WatchedTiming> timing = WatchedTiming::Create();
    engine->SetTiming(timing);
    const Image ready = CaptureClient();
    const RectT<long> firstButton = PlaceOf(Child(L"buttonUpdateFirmware"));

    Look during;
    timing->atFirstWait = [&]() { during = LookNow({L"buttonExit"}); };
    ClickAndRest(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([&]() { return !timing->atFirstWait; }, 10000)) << "the device was asked";
    // The wait ended without a reply.
    ASSERT_TRUE(LoopUntil([this]() { return Shows(L"buttonReinitialize"); }, 5000));
    Save(ready, ShotName(L"ready"));
    Save(during.image, ShotName(L"waiting_for_the_reply"));

    EXPECT_EQ(kTransition, during.processText);
    // EXIT is gone from the display, and NEXT stands where UPDATE FIRMWARE
    // stood: a shorter caption.
    ExpectDisplayShows(during, {L"buttonExit"});
    const RectT<long> readyCaption = TextInk(ready, firstButton);
    const RectT<long> waitingCaption = TextInk(during.image, firstButton);
    ASSERT_GT(readyCaption.width, 0);
    EXPECT_GT(waitingCaption.width, 0);
    EXPECT_LT(waitingCaption.width * 10, readyCaption.width * 7)
        << "NEXT " << Describe(waitingCaption) << ", UPDATE FIRMWARE " << Describe(readyCaption);
    EXPECT_EQ(1, mDevice->Counter("mode_changes"));
}

TEST_P(WaitScreens, DuringTheWaitForTheDevicesReturnTheDisplayShowsTheWaitingText)
{
    mDevice->Reset(Mode::Update, "1.0.3.0");
    mDevice->Set("after_update", "never"); // every probe of the wait finds no device
    Open();
    ASSERT_FALSE(HasFatalFailure());
    KX::LMainControl::SetPauseFunction(WatchedPause);

    Look during;
    sAtFirstPause = [&]() { during = LookNow({L"progressBar", L"buttonExit"}); };
    ClickAndRest(L"buttonUpdateFirmware");
    ASSERT_TRUE(LoopUntil([this]() { return Shows(L"progressBar"); }, 5000));
    const Image transfer = CaptureClient();
    ASSERT_TRUE(LoopUntil([&]() { return !sAtFirstPause; }, 30000)) << "the transfer ended";
    ASSERT_TRUE(LoopUntil([this]() { return !mScreen->IsUpdateStarted(); }, 20000));
    Save(transfer, ShotName(L"transfer"));
    Save(during.image, ShotName(L"waiting_for_reset"));

    const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(Child(L"progressBar"));
    EXPECT_EQ(1.0, bar->GetNormalizedValue()) << "the whole image was sent";
    EXPECT_EQ(kResetting, during.processText);
    // No progress bar any more, EXIT back, and the short waiting text in
    // place of the in-progress one.
    ExpectDisplayShows(during, {L"progressBar", L"buttonExit"});
    const RectT<long> label = PlaceOf(Child(kProcess.c_str()));
    const RectT<long> inProgress = TextInk(transfer, label);
    const RectT<long> waiting = TextInk(during.image, label);
    ASSERT_GT(inProgress.width, 0);
    EXPECT_GT(waiting.width, 0);
    EXPECT_LT(waiting.width * 10, inProgress.width * 7)
        << "waiting " << Describe(waiting) << ", in progress " << Describe(inProgress);
}

INSTANTIATE_TEST_SUITE_P(Renderers, WaitScreens, ::testing::Values(kGdiPlus, kOpenGL),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return std::string(info.param == kOpenGL ? "OpenGL" : "GdiPlus");
                         });

} // namespace
} // namespace ScreenRendererTest

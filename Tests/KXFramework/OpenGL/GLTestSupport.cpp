#include "GLTestSupport.h"

#include "Renderer/OpenGL/GLErrorBox.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include "Support/Windows/Screenshots.h"

namespace GLTest {

using namespace KX::Gdip;

namespace {

std::vector<std::wstring> sErrorBoxes;

int RecordErrorBox(HWND, const wchar_t* text, const wchar_t*, UINT)
{
    sErrorBoxes.push_back(text ? text : L"");
    return IDOK;
}

// GDI+ for bitmaps and screenshots, and no error box that waits for a click.
class Environment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        GdiplusStartupInput input;
        ASSERT_EQ(Ok, GdiplusStartup(&mToken, &input, nullptr));
        KX::SetGLErrorBoxFunction(&RecordErrorBox);
    }
    void TearDown() override
    {
        KX::LFont::ReleaseRegistry();
        GdiplusShutdown(mToken);
    }

private:
    ULONG_PTR mToken = 0;
};

[[maybe_unused]] const ::testing::Environment* const sEnvironment =
    ::testing::AddGlobalTestEnvironment(new Environment());

const wchar_t* WindowClass()
{
    static const wchar_t* const name = [] {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KXOpenGLTestWindow";
        RegisterClassW(&windowClass);
        return L"KXOpenGLTestWindow";
    }();
    return name;
}

} // namespace

std::vector<std::wstring> TakeErrorBoxes()
{
    return std::exchange(sErrorBoxes, {});
}

HWND SharedWindow(int index)
{
    static HWND windows[3] = {};
    if (index < 0 || index > 2)
        return nullptr;
    if (!windows[index]) {
        const RECT place = SharedWindowRect(index);
        windows[index] = CreateWindowExW(WS_EX_TOPMOST, WindowClass(), L"OpenGL test", WS_POPUP | WS_VISIBLE,
                                         place.left, place.top, place.right - place.left, place.bottom - place.top,
                                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_TRUE(windows[index]);
        UpdateWindow(windows[index]);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return windows[index];
}

RECT SharedWindowRect(int index)
{
    // The lower left of the screen, where other programs' windows do not open
    // (theirs open at the origin, centred, or in the lower right).
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 20;
    switch (index) {
    case 0:
        return RECT{20, bottom - GLFixture::kHeight, 20 + GLFixture::kWidth, bottom};
    case 1:
        return RECT{40 + GLFixture::kWidth, bottom - 60, 120 + GLFixture::kWidth, bottom};
    default:
        return RECT{140 + GLFixture::kWidth, bottom - 30, 180 + GLFixture::kWidth, bottom};
    }
}

bool ShowsOnTop(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    for (const POINT corner : {POINT{0, 0}, POINT{client.right - 1, 0}, POINT{0, client.bottom - 1},
                               POINT{client.right - 1, client.bottom - 1}}) {
        POINT point = corner;
        ClientToScreen(window, &point);
        if (WindowFromPoint(point) != window)
            return false;
    }
    return true;
}

void GLFixture::SetUp()
{
    TakeErrorBoxes();
    mWindow = SharedWindow(0);
    RCPtr<KX::LRenderer> renderer;
    KX::LRenderer::Create(renderer, 0, RectT<long>(0, 0, kWidth, kHeight), mWindow);
    mRenderer = RCPtr<KX::LGLRenderer>::DynamicCast(renderer);
    ASSERT_TRUE(mRenderer) << "renderer type 0 is the OpenGL renderer";
    ASSERT_EQ(S_OK, mRenderer->InitRenderContextInfo(RectT<long>(0, 0, kWidth, kHeight), mWindow, false,
                                                     mContext));
    // The tests draw whole frames: so they tell the renderer, which presents
    // nothing of a window's frame that could only have been painted in part.
    mContext->mDirtyRegion.AddRect(0, 0, kWidth, kHeight);
}

void GLFixture::TearDown()
{
    mContext = nullptr;
    mRenderer = nullptr;
    EXPECT_TRUE(TakeErrorBoxes().empty()) << "no error box while things work";
}

Image GLFixture::ReadFront(const RCPtr<KX::LRenderContextInfo>& context) const
{
    Image image;
    auto glContext = RCPtr<KX::LGLRenderContextInfo>::DynamicCast(context);
    if (!glContext)
        return image;
    EXPECT_TRUE(ShowsOnTop(glContext->mWindow)) << "another window covers the one read back";
    image.width = glContext->mViewport.width;
    image.height = glContext->mViewport.height;
    std::vector<uint32_t> bottomUp(static_cast<size_t>(image.width) * image.height);
    wglMakeCurrent(glContext->GetGLDC(), mRenderer->GetGLContext());
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, image.width, image.height, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
    wglMakeCurrent(nullptr, nullptr);
    image.pixels.resize(bottomUp.size());
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(image.height - 1 - y) * image.width, image.width,
                    image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width);
    }
    return image;
}

Image GLFixture::ReadLastFrame(const RCPtr<KX::LRenderContextInfo>& context)
{
    Image image;
    auto glContext = RCPtr<KX::LGLRenderContextInfo>::DynamicCast(context);
    if (!glContext)
        return image;
    image.width = glContext->GetLastFrameSize().x;
    image.height = glContext->GetLastFrameSize().y;
    image.pixels = glContext->GetLastFrame();
    return image;
}

void GLFixture::Save(const Image& image, const std::string& suffix) const
{
    if (image.pixels.empty())
        return;
    const std::string name = TestScreen::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix);
    EXPECT_TRUE(TestScreen::SavePixelsAsPng(image.pixels, image.width, image.height, TestScreen::ScreenshotPath(name)))
        << name;
}

void GLFixture::Background(uint32_t rgb)
{
    mRenderer->FillRect(RectT<long>(0, 0, kWidth, kHeight), Argb(0xFF000000u | rgb), true);
}

RectT<long> InkBounds(const Image& image, uint32_t backgroundRgb)
{
    long left = image.width;
    long top = image.height;
    long right = -1;
    long bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.Rgb(x, y) == backgroundRgb)
                continue;
            left = std::min<long>(left, x);
            top = std::min<long>(top, y);
            right = std::max<long>(right, x);
            bottom = std::max<long>(bottom, y);
        }
    }
    if (right < 0)
        return RectT<long>();
    return RectT<long>(left, top, right - left + 1, bottom - top + 1);
}

} // namespace GLTest

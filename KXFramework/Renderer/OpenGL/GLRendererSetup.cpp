// KX::LGLRenderer: construction (pixel format, GL context), render contexts
// and the GL state every context starts with.
#include "Renderer/OpenGL/GLRenderer.h"

#include "Application/FrameworkApp.h"
#include "Renderer/OpenGL/GLErrorBox.h"

#include <GL/wglext.h>

#include <cstring>

namespace KX {

namespace {

constexpr const char* kSource = "Renderer\\OpenGL\\GLRenderer";
constexpr const char* kConstructor = "KX::LGLRenderer::LGLRenderer";
constexpr DWORD kSupportComposition = 0x8000;
constexpr DWORD kHelperWindowStyle = 0x80880000; // popup, border, system menu; never shown
constexpr UINT kMaxArbFormats = 64;

// A failure of the set-up: the error box, then the runtime error.
[[noreturn]] void Fail(const wchar_t* messageId, const char* operation, int line, UINT icon = MB_ICONERROR)
{
    ShowGLErrorBox(MakeGLErrorText(messageId), icon);
    KX_THROW(std::runtime_error, "", operation, kSource, line);
}

// The request: 32-bit RGBA drawn to a window with OpenGL, swap-copy, double
// buffered when asked.
PIXELFORMATDESCRIPTOR MakeRequest(bool doubleBuffered)
{
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_SWAP_COPY;
    if (doubleBuffered)
        request.dwFlags |= PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    return request;
}

// A procedure of the driver as the function type it has.
template <class F>
F GetProc(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

// A descriptor carrying only its size and version, which is all SetPixelFormat reads.
PIXELFORMATDESCRIPTOR MakeBareDescriptor()
{
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    return descriptor;
}

bool SwapsByCopy(DWORD flags)
{
    return (flags & PFD_SWAP_COPY) != 0 && (flags & kSupportComposition) == 0;
}

} // namespace

LGLRenderer::LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, HWND window)
    : mFontRenderer(fontRenderer), mWindow(window), mFilledPolygonCache(kDisplayListCacheSize),
      mPolygonCache(kDisplayListCacheSize), mLineListCache(kDisplayListCacheSize),
      mPolylineCache(kDisplayListCacheSize), mColorRectCache(kDisplayListCacheSize),
      mTextureCache(kTextureCacheSize)
{
    mLastPurge = LGLRenderer::GetTicks();
    HDC windowDC = GetDC(mWindow);
    try {
        ChoosePixelFormatForWindow(windowDC);
        CreateContextOnHelperWindow(windowDC);
    } catch (...) {
        wglMakeCurrent(nullptr, nullptr);
        if (mNames)
            mNames->Forget();
        if (mGLContext)
            wglDeleteContext(mGLContext);
        ReleaseDC(mWindow, windowDC);
        throw;
    }
    ReleaseDC(mWindow, windowDC);
}

LGLRenderer::~LGLRenderer()
{
    // The context's names go with it: the textures and lists that the caches
    // release after this find their record forgotten and leave GL alone.
    if (mNames)
        mNames->Forget();
    if (mGLContext && wglGetCurrentContext() == mGLContext)
        wglMakeCurrent(nullptr, nullptr);
    if (mGLContext)
        wglDeleteContext(mGLContext);
    mGLContext = nullptr;
}

RCPtr<LGLRenderer> LGLRenderer::Create(const RCPtr<LFontRenderer>& fontRenderer, HWND window)
{
    return RCPtr<LGLRenderer>(new LGLRenderer(fontRenderer, window));
}

uint32_t LGLRenderer::GetTicks() const
{
    return LFrameworkApp::sInstance ? LFrameworkApp::sInstance->GetTicks() : timeGetTime();
}

void LGLRenderer::ChoosePixelFormatForWindow(HDC windowDC)
{
    const PIXELFORMATDESCRIPTOR request = MakeRequest(mDoubleBuffered);
    mPixelFormat = ::ChoosePixelFormat(windowDC, &request);
    if (mPixelFormat == 0)
        Fail(L"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", kConstructor, 144);
}

void LGLRenderer::CreateContextOnHelperWindow(HDC windowDC)
{
    // The context is made on a hidden helper window, so that the main
    // window's pixel format is still free for the ARB choice.
    HWND helper = CreateWindowExW(0, L"STATIC", L"", kHelperWindowStyle, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!helper)
        KX_THROW(std::runtime_error, "", kConstructor, kSource, 150);
    HDC helperDC = GetDC(helper);
    struct HelperRelease {
        HWND window;
        HDC dc;
        ~HelperRelease()
        {
            wglMakeCurrent(nullptr, nullptr);
            ReleaseDC(window, dc);
            DestroyWindow(window);
        }
    } releaseHelper{helper, helperDC};

    const PIXELFORMATDESCRIPTOR request = MakeRequest(mDoubleBuffered);
    if (!SetPixelFormat(helperDC, mPixelFormat, &request))
        Fail(L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", kConstructor, 161);
    mGLContext = wglCreateContext(helperDC);
    if (!mGLContext)
        Fail(L"GL_ERROR_MESSAGE_CREATE_CONTEXT", kConstructor, 171);
    mNames = LGLContextNames::Register(mGLContext);
    DescribePixelFormat(helperDC, mPixelFormat, sizeof(mPixelFormatDescriptor), &mPixelFormatDescriptor);
    mDoubleBuffered = (mPixelFormatDescriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    mSwapCopy = SwapsByCopy(mPixelFormatDescriptor.dwFlags);
    wglMakeCurrent(helperDC, mGLContext);
    if (!(mDoubleBuffered && mSwapCopy))
        TryArbSwapCopyFormat(windowDC, helperDC);
}

void LGLRenderer::TryArbSwapCopyFormat(HDC windowDC, HDC currentDC)
{
    if (!HasWGLExtension("WGL_ARB_pixel_format", currentDC))
        return;
    const auto choose =
        GetProc<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
    if (!choose)
        return;
    const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB, 1, WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB,
                              WGL_DOUBLE_BUFFER_ARB, 1, WGL_SWAP_METHOD_ARB, WGL_SWAP_COPY_ARB, 0};
    int formats[kMaxArbFormats] = {};
    UINT count = 0;
    if (!choose(windowDC, attributes, nullptr, kMaxArbFormats, formats, &count) || count < 1)
        return;
    const int format = formats[0];
    PIXELFORMATDESCRIPTOR descriptor = {};
    DescribePixelFormat(windowDC, format, sizeof(descriptor), &descriptor);
    // Format 14 of one driver family reports composition with its copy
    // flags; it swaps by copying all the same.
    if (descriptor.dwFlags == 0x8465 && format == 14)
        descriptor.dwFlags = 0x8425;
    if (descriptor.dwFlags & PFD_GENERIC_FORMAT)
        return; // the system's software format: no better than the first choice
    if (!SetPixelFormat(windowDC, format, &descriptor))
        Fail(L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", kConstructor, 247);
    HGLRC context = wglCreateContext(windowDC);
    if (!context)
        return;
    // The first context is replaced: release it (it is current) and delete it.
    wglMakeCurrent(nullptr, nullptr);
    mNames->Forget();
    wglDeleteContext(mGLContext);
    mGLContext = context;
    mNames = LGLContextNames::Register(mGLContext);
    mPixelFormat = format;
    mPixelFormatDescriptor = descriptor;
    mDoubleBuffered = (descriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    mSwapCopy = (descriptor.dwFlags & PFD_SWAP_COPY) != 0;
}

bool LGLRenderer::HasWGLExtension(const char* name, HDC dc) const
{
    if (!name || !*name || std::strchr(name, ' '))
        return false;
    const auto getExtensions =
        GetProc<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB");
    if (!getExtensions) {
        ShowGLErrorBox(MakeGLErrorText(L"GL_ERROR_MESSAGE_GET_PROC_ADDRESS", GetLastError()), MB_ICONERROR);
        return false;
    }
    const char* extensions = getExtensions(dc);
    if (!extensions)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

KXRESULT LGLRenderer::InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                            RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LGLRenderContextInfo> created = LGLRenderContextInfo::Create(viewport, window, offscreen);
    const PIXELFORMATDESCRIPTOR descriptor = MakeBareDescriptor();
    if (!SetPixelFormat(created->GetGLDC(), mPixelFormat, &descriptor))
        Fail(L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", "KX::LGLRenderer::InitRenderContextInfo", 334, MB_ICONWARNING);
    // Current now, so that the limits are read from this context and the
    // state below lands in it.
    MakeCurrent(created->GetGLDC());
    created->ReadMaxViewport();
    InitializeGLState();
    wglMakeCurrent(nullptr, nullptr);
    context = created;
    return S_OK;
}

void LGLRenderer::InitializeGLState()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_SMOOTH);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.003921569f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
    DrainGLErrors();
}

} // namespace KX

// KX::LGLRenderContextInfo: the OpenGL renderer's render context: a window
// (or its back buffer, off-screen) with its own device context, on which the
// renderer's pixel format is set and its GL context made current.
//
// Contract:
// - GetMaxSize answers GL_MAX_VIEWPORT_DIMS, read by the renderer once the
//   pixel format is set and its GL context is current on this context's
//   device context ({0, 0} until then).
// - SwapBuffers swaps the main plane of a window's context; an off-screen
//   context is never presented.
// - An off-screen context draws into its window's back buffer, which it
//   shares with the window's own context: its frames belong into a window
//   of their own, or between the window's frames. GL 1.1 has no texture
//   that could hold such a frame, so at the end of each frame the context
//   keeps a copy of its viewport's pixels (KeepLastFrame); that copy is its
//   last frame, which the renderer copies into other targets and scrolls.
// - The device context is released with the object.
#pragma once

#include "Renderer/RenderContextInfo.h"

#include <cstdint>
#include <vector>

namespace KX {

class LGLRenderContextInfo : public LRenderContextInfo
{
public:
    static RCPtr<LGLRenderContextInfo> Create(const RectT<long>& viewport, HWND window, bool offscreen);

    PointT<long> GetMaxSize() const override { return mMaxViewport; }
    // Reads GL_MAX_VIEWPORT_DIMS from the current GL context.
    void ReadMaxViewport();
    void SwapBuffers() const;

    HDC GetGLDC() const { return mGLDC; }

    // ---- The last frame ----
    // Copies the viewport of the buffer the current GL context draws into
    // (GL context current). Each copy gets a serial number of its own, new
    // in the process.
    void KeepLastFrame();
    // The copy, top row first, each pixel 0xAARRGGBB; empty before the first.
    const std::vector<uint32_t>& GetLastFrame() const { return mLastFrame; }
    // Its width and height ({0, 0} before the first).
    PointT<long> GetLastFrameSize() const { return mLastFrameSize; }
    // 0 before the first copy.
    uint32_t GetLastFrameSerial() const { return mLastFrameSerial; }

    // The viewport size of the window's last frame ({-1, -1} before the
    // first): the size the back buffer holds a frame at.
    PointT<long> GetFrameSize() const { return mFrameSize; }
    void SetFrameSize(const PointT<long>& size) { mFrameSize = size; }

    PointT<long> mMaxViewport{0, 0};

protected:
    LGLRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen);
    ~LGLRenderContextInfo() override;

private:
    HDC mGLDC = nullptr;
    std::vector<uint32_t> mLastFrame;
    PointT<long> mLastFrameSize{0, 0};
    uint32_t mLastFrameSerial = 0;
    PointT<long> mFrameSize{-1, -1};
};

} // namespace KX

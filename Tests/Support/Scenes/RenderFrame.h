// One frame of a renderer on a render context, started when the object is
// made and finished when it goes, whatever the test does in between.
#pragma once

#include "Renderer/Renderer.h"

namespace KXTest {

class RenderFrame
{
public:
    RenderFrame(const KX::RCPtr<KX::LRenderer>& renderer, const KX::RCPtr<KX::LRenderContextInfo>& context)
        : mRenderer(renderer), mContext(context)
    {
        mRenderer->RenderStart(mContext);
    }
    ~RenderFrame() { mRenderer->RenderFinish(mContext); }
    RenderFrame(const RenderFrame&) = delete;
    RenderFrame& operator=(const RenderFrame&) = delete;

private:
    KX::RCPtr<KX::LRenderer> mRenderer;
    KX::RCPtr<KX::LRenderContextInfo> mContext;
};

} // namespace KXTest

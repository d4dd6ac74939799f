#include "Renderer/OpenGL/GLContextNames.h"

#include <algorithm>
#include <mutex>

namespace KX {

namespace {

// The live records. Made once and never destroyed, so that a texture
// released while the program's static objects are torn down still finds it.
struct Registry
{
    std::mutex mLock;
    std::vector<RCPtr<LGLContextNames>> mRecords;
};

Registry& GetRegistry()
{
    static Registry* const registry = new Registry();
    return *registry;
}

} // namespace

LGLContextNames::LGLContextNames(HGLRC context) : mContext(context)
{
}

LGLContextNames::~LGLContextNames() = default;

RCPtr<LGLContextNames> LGLContextNames::Register(HGLRC context)
{
    RCPtr<LGLContextNames> record(new LGLContextNames(context));
    if (!context) {
        record->mLive = false;
        return record;
    }
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> lock(registry.mLock);
    registry.mRecords.push_back(record);
    return record;
}

RCPtr<LGLContextNames> LGLContextNames::Current()
{
    const HGLRC current = wglGetCurrentContext();
    if (!current)
        return RCPtr<LGLContextNames>();
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> lock(registry.mLock);
    for (const RCPtr<LGLContextNames>& record : registry.mRecords) {
        if (record->mContext == current)
            return record;
    }
    return RCPtr<LGLContextNames>();
}

void LGLContextNames::Forget()
{
    const RCPtr<LGLContextNames> self(this); // the registry may hold the last reference
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> lock(registry.mLock);
    mLive = false;
    mTextures.clear();
    mLists.clear();
    auto& records = registry.mRecords;
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [this](const RCPtr<LGLContextNames>& record) { return record.Get() == this; }),
                  records.end());
}

bool LGLContextNames::IsCurrentLocked() const
{
    return mLive && mContext && wglGetCurrentContext() == mContext;
}

void LGLContextNames::DeleteTexture(GLuint name)
{
    std::lock_guard<std::mutex> lock(GetRegistry().mLock);
    if (!mLive)
        return;
    if (IsCurrentLocked()) {
        glDeleteTextures(1, &name);
        DrainGLErrors();
    } else {
        mTextures.push_back(name);
    }
}

void LGLContextNames::DeleteLists(GLuint base, GLsizei count)
{
    if (count <= 0)
        return;
    std::lock_guard<std::mutex> lock(GetRegistry().mLock);
    if (!mLive)
        return;
    if (IsCurrentLocked()) {
        glDeleteLists(base, count);
        DrainGLErrors();
    } else {
        mLists.push_back(ListBlock{base, count});
    }
}

void LGLContextNames::DeletePending()
{
    std::lock_guard<std::mutex> lock(GetRegistry().mLock);
    if (!IsCurrentLocked() || (mTextures.empty() && mLists.empty()))
        return;
    if (!mTextures.empty())
        glDeleteTextures(static_cast<GLsizei>(mTextures.size()), mTextures.data());
    for (const ListBlock& block : mLists)
        glDeleteLists(block.mBase, block.mCount);
    DrainGLErrors();
    mTextures.clear();
    mLists.clear();
}

} // namespace KX

#include "Renderer/OpenGL/GLDisplayList.h"

namespace KX {

LGLDisplayList::LGLDisplayList(int32_t count) : mCount(count > 0 ? count : 0)
{
}

LGLDisplayList::~LGLDisplayList()
{
    if (mBase != kNoBase && mNames)
        mNames->DeleteLists(mBase, mCount);
    mBase = kNoBase;
    mNames = nullptr;
}

RCPtr<LGLDisplayList>& LGLDisplayList::Create(RCPtr<LGLDisplayList>& out, int32_t count)
{
    if (count <= 0) {
        // Never released: the shared block outlives every holder.
        static LGLDisplayList* const sNullList = [] {
            LGLDisplayList* list = new LGLDisplayList(0);
            list->AddRef();
            return list;
        }();
        out = sNullList;
        return out;
    }
    out = new LGLDisplayList(count);
    return out;
}

KXRESULT LGLDisplayList::BeginCompile(int32_t index)
{
    if (mBase == kNoBase && mCount > 0) {
        const GLuint base = glGenLists(mCount);
        mBase = base == 0 ? kNoBase : base;
        mNames = LGLContextNames::Current();
        DrainGLErrors();
    }
    if (mBase == kNoBase || index < 0 || index >= mCount)
        return E_FAIL;
    glNewList(mBase + static_cast<GLuint>(index), GL_COMPILE);
    DrainGLErrors();
    return S_OK;
}

KXRESULT LGLDisplayList::EndCompile()
{
    if (mBase == kNoBase)
        return E_FAIL;
    glEndList();
    DrainGLErrors();
    return S_OK;
}

KXRESULT LGLDisplayList::Call(int32_t start, int32_t count) const
{
    if (mBase == kNoBase)
        return E_FAIL;
    if (start < 0 || count < 0 || static_cast<int64_t>(start) + count > mCount)
        return E_INVALIDARG;
    for (int32_t i = 0; i < count; ++i) {
        const GLuint list = mBase + static_cast<GLuint>(start + i);
        if (!glIsList(list)) {
            DrainGLErrors();
            return E_FAIL;
        }
        glCallList(list);
        DrainGLErrors();
    }
    return S_OK;
}

} // namespace KX

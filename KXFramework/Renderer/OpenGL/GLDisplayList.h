// KX::LGLDisplayList: a block of GL display lists, compiled once and replayed
// while the geometry it holds does not change (the OpenGL renderer keeps one
// per cached polyline, polygon and colour-rectangle list).
//
// Contract:
// - The GL names are generated on the first BeginCompile, in the GL context
//   current then, and deleted with the object in that context (at once when
//   it is current, else when the renderer next makes it current,
//   KX::LGLContextNames); a block of 0 lists is the one shared null block.
// - BeginCompile / EndCompile bracket the GL calls that make up one list;
//   Call replays lists of the block.
// - Failures are reported as result codes (the callers ignore them); GL
//   errors are drained after each call.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/OpenGL/GLContextNames.h"
#include "Renderer/OpenGL/GLHeaders.h"

#include <cstdint>

namespace KX {

class LGLDisplayList : public virtual LRefCountedObject
{
public:
    static constexpr GLuint kNoBase = 0xFFFFFFFFu;

    // A block of `count` lists (names generated later); 0 gives the shared
    // null block. Answers `out`.
    static RCPtr<LGLDisplayList>& Create(RCPtr<LGLDisplayList>& out, int32_t count);

    // Starts compiling list `index` of the block: 0, or E_FAIL when the block
    // has no lists.
    KXRESULT BeginCompile(int32_t index);
    // Ends the list being compiled: 0, or E_FAIL when the block has no lists.
    KXRESULT EndCompile();
    // Replays lists start .. start + count - 1: 0; E_FAIL without lists or at
    // the first name that is not a list; E_INVALIDARG past the block's end.
    KXRESULT Call(int32_t start, int32_t count) const;

    GLuint GetBase() const { return mBase; }
    int32_t GetCount() const { return mCount; }

protected:
    explicit LGLDisplayList(int32_t count);
    ~LGLDisplayList() override;

private:
    LGLDisplayList(const LGLDisplayList&) = delete;
    LGLDisplayList& operator=(const LGLDisplayList&) = delete;

    GLuint mBase = kNoBase;
    int32_t mCount = 0;
    // The names of the context the lists were generated in.
    RCPtr<LGLContextNames> mNames;
};

} // namespace KX

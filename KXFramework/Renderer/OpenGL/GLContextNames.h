// KX::LGLContextNames: the texture and display-list names of one GL context,
// deleted in that context. GL deletes a name in whichever context is current
// on the calling thread, and does nothing without one: a texture or display
// list released while its own context is not current (after a frame, while
// text is measured outside a frame, or during another renderer's frame)
// hands its names here, and they are deleted the next time the renderer
// makes the context current.
//
// Contract:
// - The OpenGL renderer registers every GL context it creates (Register) and
//   forgets it (Forget) before deleting it: the context's names go with the
//   context, so whatever waits is dropped, and names handed to a forgotten
//   record are ignored. A record never stands for another context, even one
//   that the system gives the same handle later.
// - Current answers the record of the GL context current on the calling
//   thread; null when none is current or it is not registered. Textures and
//   display lists take it when they generate their names.
// - DeleteTexture / DeleteLists delete at once when the record's context is
//   current on the calling thread, otherwise keep the names for
//   DeletePending, which the renderer calls with the context current.
// - The records are guarded by one lock; GL calls happen only on the thread
//   on which the context is current.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/OpenGL/GLHeaders.h"

#include <vector>

namespace KX {

class LGLContextNames : public LRefCountedObject
{
public:
    // A new record for a GL context just created.
    static RCPtr<LGLContextNames> Register(HGLRC context);
    // The record of the calling thread's current GL context, or null.
    static RCPtr<LGLContextNames> Current();

    // The context is about to be deleted: drops the waiting names and ends
    // the record.
    void Forget();
    // Deletes the names now (context current) or later (see the contract).
    void DeleteTexture(GLuint name);
    void DeleteLists(GLuint base, GLsizei count);
    // With the context current: deletes the names that waited.
    void DeletePending();

protected:
    explicit LGLContextNames(HGLRC context);
    ~LGLContextNames() override;

private:
    struct ListBlock
    {
        GLuint mBase;
        GLsizei mCount;
    };

    LGLContextNames(const LGLContextNames&) = delete;
    LGLContextNames& operator=(const LGLContextNames&) = delete;

    // Whether the record is live and its context current on this thread
    // (the registry's lock held).
    bool IsCurrentLocked() const;

    HGLRC mContext = nullptr;
    bool mLive = true;
    std::vector<GLuint> mTextures;
    std::vector<ListBlock> mLists;
};

} // namespace KX

// KX::LFreetypeLibrary: the FreeType objects and the font-file catalogue that
// every FreeType font renderer of the process shares: the library handle, the
// cache manager (at most 8 faces, 16 sizes and 0x400000 bytes, opening faces
// by file id through the catalogue), a character-map cache and an image cache
// (made for the manager's sake; glyphs are cached by the glyph processor).
//
// Contract:
// - Acquire answers the living instance or makes one: the first font renderer
//   sets FreeType up and builds the catalogue; when the last holder lets go,
//   the manager and the library are done and the catalogue is emptied.
//   Renderers that come and go one after the other therefore never tear
//   down what another one still uses.
// - A FreeType step that fails leaves the later objects null: IsReady is then
//   false and every lookup fails.
// - User-interface thread only; nothing is locked.
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <cstdint>

namespace KX {

class LFreetypeLibrary : public virtual LRefCountedObject
{
public:
    // The shared instance, made when none lives.
    static RCPtr<LFreetypeLibrary> Acquire();
    // The living instance or null (for tests).
    static LFreetypeLibrary* GetLiving() { return sLiving; }

    // The face id under which the cache manager knows a file id. FreeType
    // reserves the null face id, and file id 0 (the first family's regular
    // file) is a real file, so the ids are offset by one.
    static FTC_FaceID FaceIdOf(int32_t fileId);
    static int32_t FileIdOf(FTC_FaceID faceId);

    bool IsReady() const { return mManager != nullptr; }
    FT_Library GetLibrary() const { return mLibrary; }
    FTC_Manager GetCacheManager() const { return mManager; }

    // The face of the file id at the size in points (26.6 height, 96 x 96
    // dots per inch): 0, or a FreeType error / E_FAIL.
    KXRESULT LookupSize(int32_t fileId, float points, FT_Size& size);

protected:
    LFreetypeLibrary();
    ~LFreetypeLibrary() override;

private:
    LFreetypeLibrary(const LFreetypeLibrary&) = delete;
    LFreetypeLibrary& operator=(const LFreetypeLibrary&) = delete;

    // Opens the face of a face id from the catalogue's path.
    static FT_Error RequestFace(FTC_FaceID faceId, FT_Library library, FT_Pointer requestData, FT_Face* face);

    static LFreetypeLibrary* sLiving;

    FT_Library mLibrary = nullptr;
    FTC_Manager mManager = nullptr;
    FTC_CMapCache mCharMapCache = nullptr;
    FTC_ImageCache mImageCache = nullptr;
};

} // namespace KX

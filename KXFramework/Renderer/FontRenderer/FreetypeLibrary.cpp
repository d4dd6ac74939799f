#include "Renderer/FontRenderer/FreetypeLibrary.h"

#include "Renderer/FontRenderer/FontFileInfo.h"

#include "KXPlatform.h"

#include <string>

namespace KX {

LFreetypeLibrary* LFreetypeLibrary::sLiving = nullptr;

namespace {

constexpr FT_UInt kMaxFaces = 8;
constexpr FT_UInt kMaxSizes = 16;
constexpr FT_ULong kMaxBytes = 0x400000;
constexpr FT_UInt kDotsPerInch = 96;

// The path in the system's 8-bit code page, which is what FreeType hands to
// the C run-time when it opens the file.
std::string ToSystemCodePage(const StringT<wchar_t, char>& path)
{
    const int length = WideCharToMultiByte(CP_ACP, 0, path.GetData(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.GetData(), -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

} // namespace

RCPtr<LFreetypeLibrary> LFreetypeLibrary::Acquire()
{
    if (sLiving)
        return RCPtr<LFreetypeLibrary>(sLiving);
    return RCPtr<LFreetypeLibrary>(new LFreetypeLibrary());
}

LFreetypeLibrary::LFreetypeLibrary()
{
    sLiving = this;
    LFontFileInfo::BuildCatalogue();
    if (FT_Init_FreeType(&mLibrary) != 0) {
        mLibrary = nullptr;
        return;
    }
    if (FTC_Manager_New(mLibrary, kMaxFaces, kMaxSizes, kMaxBytes, &LFreetypeLibrary::RequestFace, this, &mManager) !=
        0) {
        mManager = nullptr;
        return;
    }
    if (FTC_CMapCache_New(mManager, &mCharMapCache) == 0)
        FTC_ImageCache_New(mManager, &mImageCache);
}

LFreetypeLibrary::~LFreetypeLibrary()
{
    // The manager owns the caches and closes its faces.
    if (mManager)
        FTC_Manager_Done(mManager);
    if (mLibrary)
        FT_Done_FreeType(mLibrary);
    LFontFileInfo::ClearCatalogue();
    if (sLiving == this)
        sLiving = nullptr;
}

FTC_FaceID LFreetypeLibrary::FaceIdOf(int32_t fileId)
{
    return reinterpret_cast<FTC_FaceID>(static_cast<intptr_t>(fileId) + 1);
}

int32_t LFreetypeLibrary::FileIdOf(FTC_FaceID faceId)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(faceId) - 1);
}

FT_Error LFreetypeLibrary::RequestFace(FTC_FaceID faceId, FT_Library library, FT_Pointer, FT_Face* face)
{
    const std::string path = ToSystemCodePage(LFontFileInfo::GetFilePath(FileIdOf(faceId)));
    return FT_New_Face(library, path.c_str(), 0, face);
}

KXRESULT LFreetypeLibrary::LookupSize(int32_t fileId, float points, FT_Size& size)
{
    size = nullptr;
    if (!mManager)
        return E_FAIL;
    FTC_ScalerRec scaler = {};
    scaler.face_id = FaceIdOf(fileId);
    scaler.width = 0;
    scaler.height = static_cast<FT_UInt>(points * 64.0f);
    scaler.pixel = 0;
    scaler.x_res = kDotsPerInch;
    scaler.y_res = kDotsPerInch;
    const FT_Error error = FTC_Manager_LookupSize(mManager, &scaler, &size);
    if (error != 0 || !size) {
        size = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

} // namespace KX

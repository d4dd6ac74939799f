// KX::LBitmapData: a bitmap's pixels locked in memory as 32-bit ARGB, from
// construction to destruction. While it lives no other lock on the same
// image can be taken (GDI+ refuses it).
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/PixelBuffer.h"

#include <cstdint>

namespace KX {

class LBitmap;

class LBitmapData : public virtual LRefCountedObject, public IPixelBuffer<long>
{
public:
    // GDI+ lock modes.
    enum LockMode : uint32_t { LockRead = 1, LockWrite = 2, LockReadWrite = 3 };

    // Locks the bitmap's rectangle of its image with the mode. A pixel buffer
    // to wrap is not supported: giving one throws the framework domain error.
    // IsLocked tells whether GDI+ granted the lock.
    static KXRESULT Create(RCPtr<LBitmapData>& out, const RCPtr<LBitmap>& bitmap, uint32_t lockMode,
                           IPixelBuffer<long>* pixelBuffer = nullptr);

    bool IsLocked() const { return mLocked; }
    // The GDI+ status of the lock (0 Ok).
    int32_t GetLockStatus() const { return mLockStatus; }

    int32_t GetWidth() const override;
    int32_t GetHeight() const override;
    // Bytes per row as GDI+ reports it.
    int32_t GetStride() const override;
    // The address of pixel (x, y): first row + y x stride + x x 4.
    const long* GetPixel(int32_t x, int32_t y) const override;
    long* GetPixel(int32_t x, int32_t y) override;

protected:
    LBitmapData(const RCPtr<LBitmap>& bitmap, uint32_t lockMode, IPixelBuffer<long>* pixelBuffer);
    ~LBitmapData() override;

private:
    LBitmapData(const LBitmapData&) = delete;
    LBitmapData& operator=(const LBitmapData&) = delete;

    RCPtr<LBitmap> mBitmap;
    // The GDI+ lock record: width, height, stride, pixel format, first row.
    uint32_t mLockWidth = 0;
    uint32_t mLockHeight = 0;
    int32_t mLockStride = 0;
    int32_t mLockPixelFormat = 0;
    void* mLockScan0 = nullptr;
    void* mLockReserved = nullptr;
    bool mLocked = false;
    int32_t mLockStatus = 0;
};

} // namespace KX

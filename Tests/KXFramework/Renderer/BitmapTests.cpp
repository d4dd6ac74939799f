// KX::LBitmap: the registry by name, resource and file images, sub-bitmaps,
// copies, pixels, locked pixel data and colourising.
#include "Support/Scenes/RendererTestSupport.h"

#include "Application/ProgramGlobals.h"
#include "ControlBase/Colorizer.h"
#include "Utilities/Graphics/BitmapData.h"

#include <algorithm>

#include <gmock/gmock.h>

namespace {

using namespace RendererTest;
using KX::PointT;
using KX::RectT;
using ::testing::StrEq;

// CE.png: 12 x 8, yellow in {0, 0, 6, 4}, blue elsewhere.
constexpr uint32_t kYellow = 0xFFFFCC00;
constexpr uint32_t kBlueish = 0xFF3366CC;

template <class F>
std::string ErrorText(F&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no exception";
}

KX::RCPtr<KX::LColorizer> SolidColorizer(uint32_t argb)
{
    KX::RCPtr<KX::LColorizer> colorizer = KX::LColorizer::Create();
    colorizer->mColor = Argb(argb);
    return colorizer;
}

TEST(Bitmap, OneResourceImageIsSharedByNameInAnyLetterCase)
{
    KX::RCPtr<KX::LBitmap> first;
    KX::RCPtr<KX::LBitmap> second;
    KX::LBitmap::Get(first, L"::ce.png");
    KX::LBitmap::Get(second, L"::CE.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(L"::CE.PNG", std::wstring(first->GetKey().GetData()));
    EXPECT_EQ(L"::ce.png", std::wstring(first->GetName().GetData()));
    EXPECT_EQ(RectT<long>(0, 0, 12, 8), first->GetRect());
    // The decoded image keeps its pixels after the load returned.
    EXPECT_EQ(kYellow, first->GetPixel(0, 0).GetARGB());
    EXPECT_EQ(kBlueish, first->GetPixel(11, 7).GetARGB());
    SaveImage(first->GetImage(), CurrentTestName());
}

TEST(Bitmap, AResourceImageKeepsTheStreamItWasDecodedFrom)
{
    // GDI+ may read a stream-decoded image's source again at any time: the
    // stream and its memory live as long as the bitmap.
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::Get(bitmap, L"::CE.png");
    ASSERT_TRUE(bitmap);
    IStream* stream = bitmap->GetSourceStream();
    ASSERT_NE(nullptr, stream);
    LARGE_INTEGER start = {};
    ASSERT_EQ(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
    unsigned char signature[8] = {};
    ULONG read = 0;
    ASSERT_EQ(S_OK, stream->Read(signature, sizeof(signature), &read));
    const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(8u, read);
    EXPECT_TRUE(std::equal(png, png + 8, signature));
    EXPECT_EQ(kYellow, bitmap->GetPixel(5, 3).GetARGB());

    KX::RCPtr<KX::LBitmap> made = MakePatternBitmap(2, 2);
    EXPECT_EQ(nullptr, made->GetSourceStream());
}

TEST(Bitmap, AMissingOrUndecodableImageGivesNullAndIsNotRegistered)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    EXPECT_FALSE(KX::LBitmap::Get(bitmap, L"::NOPE.png"));
    EXPECT_FALSE(KX::LBitmap::Get(bitmap, L"Z:\\no\\such\\file.png"));
}

TEST(Bitmap, TheLastReleaseRemovesTheEntrySoTheNextGetDecodesAgain)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::Get(bitmap, L"::CE.png");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(1, bitmap->GetInternalRefCount());
    EXPECT_EQ(2, bitmap->GetRefCount()); // the holder and the registry's entry
    const intptr_t firstImage = KX::LBitmap::GetHandle(bitmap);
    KX::RCPtr<KX::LBitmap> sub;
    bitmap->CreateSubBitmap(sub, 1, 1, 2, 2);
    bitmap = nullptr; // the sub-bitmap still holds it
    KX::RCPtr<KX::LBitmap> again;
    KX::LBitmap::Get(again, L"::ce.PNG");
    EXPECT_EQ(firstImage, KX::LBitmap::GetHandle(again));
    again = nullptr;
    sub = nullptr; // the last user
    KX::LBitmap::Get(again, L"::CE.png");
    ASSERT_TRUE(again);
    EXPECT_EQ(2, again->GetRefCount());
    EXPECT_EQ(kYellow, again->GetPixel(0, 0).GetARGB());
}

TEST(Bitmap, AFileImageIsLoadedByPath)
{
    std::wstring path = L"Z:";
    for (const char* c = KX_TEST_IMAGE_FOLDER "/CE.png"; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::Get(bitmap, path.c_str());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(kBlueish, bitmap->GetPixel(6, 4).GetARGB());
}

TEST(Bitmap, SubBitmapsPointAtTheImageOwner)
{
    KX::RCPtr<KX::LBitmap> owner = MakePatternBitmap(64, 32);
    KX::RCPtr<KX::LBitmap> whole;
    owner->CreateSubBitmap(whole, 10, 5, 0, 20);
    EXPECT_EQ(RectT<long>(0, 0, 64, 32), whole->GetRect());
    EXPECT_EQ(owner.Get(), whole->GetParent().Get());

    KX::RCPtr<KX::LBitmap> part;
    KX::RCPtr<KX::LBitmap> partOfPart;
    owner->CreateSubBitmap(part, 20, 0, 30, 30);
    part->CreateSubBitmap(partOfPart, 10, 5, 20, 20);
    EXPECT_EQ(RectT<long>(30, 5, 20, 20), partOfPart->GetRect());
    EXPECT_EQ(owner.Get(), partOfPart->GetParent().Get());
    EXPECT_EQ(KX::LBitmap::GetHandle(owner), KX::LBitmap::GetHandle(partOfPart));
    EXPECT_EQ(PatternPixel(31, 6), partOfPart->GetPixel(1, 1).GetARGB());
    EXPECT_EQ((RectT<float>(30, 5, 20, 20)), partOfPart->GetSourceRect());
}

TEST(Bitmap, CopyAreaMakesAnOwnImageOfTheRectangle)
{
    KX::RCPtr<KX::LBitmap> owner = MakePatternBitmap(20, 20);
    KX::RCPtr<KX::LBitmap> part;
    KX::RCPtr<KX::LBitmap> copy;
    owner->CreateSubBitmap(part, 5, 6, 4, 3);
    ASSERT_EQ(S_OK, part->CopyArea(copy));
    EXPECT_FALSE(copy->GetParent());
    EXPECT_NE(KX::LBitmap::GetHandle(owner), KX::LBitmap::GetHandle(copy));
    EXPECT_EQ(RectT<long>(0, 0, 4, 3), copy->GetRect());
    EXPECT_EQ(PatternPixel(5, 6), copy->GetPixel(0, 0).GetARGB());
    EXPECT_EQ(PatternPixel(8, 8), copy->GetPixel(3, 2).GetARGB());
}

TEST(Bitmap, AnUnreadablePixelIsAllZeroAndKeepsTheStatus)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(4, 4);
    EXPECT_EQ(0u, bitmap->GetPixel(40, 0).GetARGB());
    EXPECT_NE(0, bitmap->GetLastStatus());
}

TEST(BitmapData, LocksTheOwnersPixelsForReading)
{
    KX::RCPtr<KX::LBitmap> owner = MakePatternBitmap(16, 8);
    KX::RCPtr<KX::LBitmap> part;
    owner->CreateSubBitmap(part, 2, 2, 4, 4);
    KX::RCPtr<KX::LBitmapData> data;
    ASSERT_EQ(S_OK, part->LockBitmapData(data)); // delegated to the owner
    EXPECT_EQ(16, data->GetWidth());
    EXPECT_EQ(8, data->GetHeight());
    EXPECT_GE(data->GetStride(), 64);
    EXPECT_EQ(PatternPixel(3, 5), static_cast<uint32_t>(*data->GetPixel(3, 5)));
    // While locked, GDI+ refuses a second lock.
    KX::RCPtr<KX::LBitmapData> second;
    EXPECT_EQ(E_FAIL, owner->LockBitmapData(second));
    data = nullptr;
    EXPECT_EQ(S_OK, owner->LockBitmapData(second));
}

TEST(BitmapData, WrappingAPixelBufferIsRefused)
{
    struct NoBuffer : KX::IPixelBuffer<long>
    {
        int32_t GetWidth() const override { return 0; }
        int32_t GetHeight() const override { return 0; }
        int32_t GetStride() const override { return 0; }
        const long* GetPixel(int32_t, int32_t) const override { return nullptr; }
        long* GetPixel(int32_t, int32_t) override { return nullptr; }
    } buffer;
    KX::RCPtr<KX::LBitmapData> data;
    EXPECT_THAT(ErrorText([&] {
                    KX::LBitmapData::Create(data, MakePatternBitmap(2, 2), KX::LBitmapData::LockRead, &buffer);
                }),
                StrEq("Domain Error : KX::LBitmapData::LBitmapData : Utilities\\Graphics\\Bitmap : Line 483"));
}

TEST(Colorizing, ASolidColourBlendsOverEachPixelKeepingItsAlpha)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::CreateFilledBitmap(bitmap, PointT<long>(3, 2), Argb(0xFFFFFFFF));
    WriteImagePixel(bitmap, 2, 1, 0x40000000);
    KX::LBitmap::ApplyColorizer(bitmap, SolidColorizer(0xFFFF0000), 0.5f);
    EXPECT_EQ(0xFFFF8080u, ReadImagePixel(bitmap->GetImage(), 0, 0));
    EXPECT_EQ(0x40800000u, ReadImagePixel(bitmap->GetImage(), 2, 1));
}

TEST(Colorizing, AnAmountAboveOneStaysWithinTheByte)
{
    KX::RCPtr<KX::LBitmap> bitmap;
    KX::LBitmap::CreateFilledBitmap(bitmap, PointT<long>(2, 2), Argb(0xFF808080));
    KX::LBitmap::ApplyColorizer(bitmap, SolidColorizer(0xFFFFFF00), 2.0f);
    // a = 2: red and green reach (0.5 x -1 + 2) x 255, blue 0.5 x -1 x 255.
    EXPECT_EQ(0xFFFFFF00u, ReadImagePixel(bitmap->GetImage(), 1, 1));
}

TEST(Colorizing, OnlyASubBitmapsRectangleIsColourised)
{
    KX::RCPtr<KX::LBitmap> owner;
    KX::LBitmap::CreateFilledBitmap(owner, PointT<long>(4, 4), Argb(0xFF000000));
    KX::RCPtr<KX::LBitmap> part;
    owner->CreateSubBitmap(part, 2, 2, 2, 2);
    KX::LBitmap::ApplyColorizer(part, SolidColorizer(0xFF00FF00), 1.0f);
    EXPECT_EQ(0xFF000000u, ReadImagePixel(owner->GetImage(), 1, 1));
    EXPECT_EQ(0xFF00FF00u, ReadImagePixel(owner->GetImage(), 2, 2));
}

TEST(Colorizing, FailuresThrowTheFrameworkErrors)
{
    KX::RCPtr<KX::LBitmap> bitmap = MakePatternBitmap(2, 2);
    KX::RCPtr<KX::LBitmap> out;
    const std::string source = " : Utilities\\Graphics\\Bitmap : Line ";
    EXPECT_THAT(ErrorText([&] { KX::LBitmap::ApplyColorizer(nullptr, SolidColorizer(0xFF000000), 1.0f); }),
                StrEq("Runtime Error : KX::LBitmap::ApplyColorizer" + source + "368"));
    EXPECT_THAT(ErrorText([&] { KX::LBitmap::CreateFilledBitmap(out, PointT<long>(0, 3), Argb(0)); }),
                StrEq("Runtime Error : KX::LBitmap::CreateFilledBitmap" + source + "321"));
    EXPECT_THAT(ErrorText([&] {
                    KX::LBitmap::CreateColorizedBitmap(out, SolidColorizer(0), 1.0f, PointT<long>(3, -1));
                }),
                StrEq("Runtime Error : KX::LBitmap::CreateColorizedBitmap" + source + "292"));

    KX::RCPtr<KX::LColorizer> gradient = SolidColorizer(0xFF000000);
    gradient->mColorType = KX::LColorizer::LinearGradient;
    gradient->mGradientEndColor = Argb(0xFFFFFFFF);
    const std::string gradientError = "Domain Error : KX::LBitmap::CreateGradientFilledBitmap" + source + "356";
    EXPECT_THAT(ErrorText([&] { KX::LBitmap::ApplyColorizer(bitmap, gradient, 1.0f); }), StrEq(gradientError));
    EXPECT_THAT(ErrorText([&] { KX::LBitmap::CreateColorizedBitmap(out, gradient, 1.0f, PointT<long>(2, 2)); }),
                StrEq(gradientError));
    // A "gradient" of one colour is solid.
    gradient->mGradientEndColor = gradient->mColor;
    EXPECT_EQ(S_OK, KX::LBitmap::CreateColorizedBitmap(out, gradient, 1.0f, PointT<long>(2, 2)));
}

TEST(Colorizing, PartBitmapsComeFromTheImageTheMaskOrTheColourAlone)
{
    KX::RCPtr<KX::LBitmap> image;
    KX::LBitmap::CreateFilledBitmap(image, PointT<long>(4, 4), Argb(0xFFFFFFFF));
    KX::RCPtr<KX::LBitmap> out;
    KX::RCPtr<KX::LColorizer> red = SolidColorizer(0xFFFF0000);

    ASSERT_EQ(S_OK, KX::LBitmap::CreatePartBitmap(out, red, 0.5f, PointT<long>(9, 9), image, nullptr));
    EXPECT_NE(image.Get(), out.Get());
    EXPECT_EQ(0xFFFF8080u, ReadImagePixel(out->GetImage(), 3, 3));
    EXPECT_EQ(0xFFFFFFFFu, ReadImagePixel(image->GetImage(), 3, 3)); // the image itself is untouched

    ASSERT_EQ(S_OK, KX::LBitmap::CreatePartBitmap(out, red, 0.5f, PointT<long>(9, 9), nullptr, image));
    EXPECT_EQ(0xFFFF8080u, ReadImagePixel(out->GetImage(), 0, 0));

    ASSERT_EQ(S_OK, KX::LBitmap::CreatePartBitmap(out, red, 0.5f, PointT<long>(30, 10), nullptr, nullptr));
    EXPECT_EQ(RectT<long>(0, 0, 30, 10), out->GetRect());
    EXPECT_EQ(0x80FF0000u, ReadImagePixel(out->GetImage(), 29, 9));

    EXPECT_THAT(ErrorText([&] {
                    KX::LBitmap::CreatePartBitmap(out, red, 0.5f, PointT<long>(9, 9), image, image);
                }),
                StrEq("Domain Error : KX::LBitmap::ApplyColorizer : Utilities\\Graphics\\Bitmap : Line 438"));
}

} // namespace

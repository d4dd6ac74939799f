// KX::ColorT<T>: an RGBA colour with floating-point channels, 0 to 1 in normal
// use, with its packed form 0xAARRGGBB and its text form.
//
// Contract:
// - Two colours are equal when all four channels are equal.
// - SetARGB multiplies each byte by the single-precision constant 0.003921569
//   (not a division by 255), so packed values read back exactly by GetARGB.
// - GetARGB rounds each channel times 255 half away from zero and clamps it to
//   0..255.
// - Parse reads the skin's colour text: an optional "0x" or "0X", then 2
//   (alpha only), 6 (red, green, blue; alpha kept) or 8 (the whole colour)
//   hexadecimal digits. Reading stops at the first character that is no digit;
//   a text of any other length changes nothing.
#pragma once

#include <cstdint>
#include <cstring>

namespace KX {

template <class T>
class ColorT
{
public:
    ColorT() = default;
    ColorT(T red, T green, T blue, T alpha) : mRed(red), mGreen(green), mBlue(blue), mAlpha(alpha) {}

    static ColorT FromARGB(uint32_t packed)
    {
        ColorT color;
        color.SetARGB(packed);
        return color;
    }

    void SetARGB(uint32_t packed)
    {
        mAlpha = ByteToChannel(packed >> 24);
        mRed = ByteToChannel(packed >> 16);
        mGreen = ByteToChannel(packed >> 8);
        mBlue = ByteToChannel(packed);
    }

    uint32_t GetARGB() const
    {
        return (ChannelToByte(mAlpha) << 24) | (ChannelToByte(mRed) << 16) | (ChannelToByte(mGreen) << 8) |
               ChannelToByte(mBlue);
    }

    void Parse(const char* text)
    {
        if (!text)
            return;
        if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            text += 2;
        const size_t length = std::strlen(text);
        // Like "%08lx": at most eight digits, stopping at the first non-digit.
        uint32_t value = 0;
        for (size_t i = 0; i < 8 && i < length; ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0)
                break;
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
        switch (length) {
        case 2:
            mAlpha = ByteToChannel(value);
            break;
        case 6:
            mRed = ByteToChannel(value >> 16);
            mGreen = ByteToChannel(value >> 8);
            mBlue = ByteToChannel(value);
            break;
        case 8:
            SetARGB(value);
            break;
        default:
            break;
        }
    }

    bool operator==(const ColorT& other) const
    {
        return mRed == other.mRed && mGreen == other.mGreen && mBlue == other.mBlue && mAlpha == other.mAlpha;
    }
    bool operator!=(const ColorT& other) const { return !(*this == other); }

    T mRed = 0;
    T mGreen = 0;
    T mBlue = 0;
    T mAlpha = 0;

private:
    static T ByteToChannel(uint32_t byte) { return static_cast<T>(static_cast<float>(byte & 0xFF) * 0.003921569f); }

    static uint32_t ChannelToByte(T channel)
    {
        const double scaled = static_cast<double>(channel) * 255.0;
        const double rounded = scaled < 0 ? scaled - 0.5 : scaled + 0.5;
        if (rounded <= 0)
            return 0;
        if (rounded >= 255)
            return 255;
        return static_cast<uint32_t>(static_cast<int64_t>(rounded));
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }
};

} // namespace KX

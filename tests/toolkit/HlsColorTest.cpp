// The hue, lightness and saturation form the button chrome shades colours in.
#include "toolkit/HlsColor.h"

#include <gtest/gtest.h>

#include <ios>

namespace
{
TEST(HlsColorTest, ConversionFollowsTheIntegerScales)
{
    struct Case
    {
        COLORREF clr;
        int nLight, nSaturation, nHue;
        COLORREF clrBack;
    } cases[] = {
        {RGB(0, 0, 0), 0, 0, 239, RGB(0, 0, 0)},
        {RGB(255, 255, 255), 240, 0, 239, RGB(255, 255, 255)},
        {RGB(128, 128, 128), 120, 0, 239, RGB(127, 127, 127)},
        {RGB(255, 0, 0), 120, 239, 0, RGB(253, 0, 0)},
        {RGB(0, 255, 0), 120, 239, 79, RGB(6, 253, 0)},
        {RGB(0, 0, 255), 120, 239, 159, RGB(0, 6, 253)},
        // Red largest with the hue below zero before it wraps round.
        {RGB(255, 0, 255), 120, 239, 200, RGB(253, 0, 250)},
        {RGB(212, 208, 200), 193, 28, 26, RGB(211, 206, 199)},
        {RGB(100, 150, 200), 141, 112, 139, RGB(99, 150, 199)},
        // Dark: the saturation of the lower half.
        {RGB(10, 20, 30), 18, 126, 139, RGB(9, 18, 28)},
        {RGB(250, 128, 114), 171, 221, 3, RGB(249, 122, 113)},
    };
    for (const Case& c : cases)
    {
        const DWORD dwHls = RgbToHls(c.clr);
        EXPECT_EQ(static_cast<int>((dwHls >> 16) & 0xFF), c.nLight) << std::hex << c.clr;
        EXPECT_EQ(static_cast<int>((dwHls >> 8) & 0xFF), c.nSaturation) << std::hex << c.clr;
        EXPECT_EQ(static_cast<int>(dwHls & 0xFF), c.nHue) << std::hex << c.clr;
        EXPECT_EQ(HlsToRgb(dwHls), c.clrBack) << std::hex << c.clr;
    }
    // Lightness beyond the scale stays white instead of spilling over.
    EXPECT_EQ(HlsToRgb(0xFF0000), RGB(255, 255, 255));

    // The way back loses what the 240 steps of lightness and saturation
    // cannot hold, and the hue steps grow with the spread of the channels.
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15)
            {
                const COLORREF clrBack = HlsToRgb(RgbToHls(RGB(r, g, b)));
                const int nTolerance = 4 + (std::max({r, g, b}) - std::min({r, g, b})) / 12;
                ASSERT_LE(std::abs(GetRValue(clrBack) - r), nTolerance) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetGValue(clrBack) - g), nTolerance) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetBValue(clrBack) - b), nTolerance) << r << "," << g << "," << b;
            }
}
} // namespace

#include "toolkit/ImageResample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
using Pixels = std::vector<RGBQUAD>;

Pixels Resized(const Pixels& source, int cx, int cy, int cxTarget, int cyTarget)
{
    Pixels target(static_cast<size_t>(cxTarget) * cyTarget, RGBQUAD{1, 2, 3, 4});
    XTPResamplePremultiplied(source.data(), cx, cy, target.data(), cxTarget, cyTarget);
    return target;
}

struct Sizes
{
    int cx, cy, cxTarget, cyTarget;
};
// The dialog's pictures at 120, 144 and 192 DPI, shrunk, and odd ratios.
const Sizes kSizes[] = {{24, 24, 30, 30}, {24, 24, 36, 36}, {32, 32, 64, 64}, {24, 24, 16, 16},
                        {3, 2, 7, 5},     {5, 4, 2, 1},     {1, 1, 3, 3}};
} // namespace

TEST(ImageResample, AnEvenColourStaysEvenAndHardEdgesStayPremultipliedAtEverySize)
{
    // Opaque white beside transparent: the filter's overshoot must not make
    // a colour brighter than its coverage.
    const int cxEdges = 6;
    Pixels edges;
    for (int y = 0; y < cxEdges; ++y)
        for (int x = 0; x < cxEdges; ++x)
            edges.push_back((x + y) % 3 == 0 ? RGBQUAD{255, 255, 255, 255} : RGBQUAD{0, 0, 0, 0});
    for (const Sizes& s : kSizes)
    {
        SCOPED_TRACE(testing::Message() << s.cx << "x" << s.cy << " to " << s.cxTarget << "x" << s.cyTarget);
        const Pixels even(static_cast<size_t>(s.cx) * s.cy, RGBQUAD{40, 80, 120, 160});
        for (const RGBQUAD& pixel : Resized(even, s.cx, s.cy, s.cxTarget, s.cyTarget))
            ASSERT_EQ((std::vector<int>{40, 80, 120, 160}),
                      (std::vector<int>{pixel.rgbBlue, pixel.rgbGreen, pixel.rgbRed, pixel.rgbReserved}));
        for (const RGBQUAD& pixel : Resized(edges, cxEdges, cxEdges, s.cxTarget, s.cyTarget))
            ASSERT_LE(std::max({pixel.rgbBlue, pixel.rgbGreen, pixel.rgbRed}), pixel.rgbReserved);
    }
}

TEST(ImageResample, EnlargingBlendsNeighboursInsteadOfRepeatingThem)
{
    // Black to white in four steps, enlarged 1.5 times: the new pixels lie
    // between, in order, and more than four values show.
    Pixels source;
    for (BYTE value : {0, 85, 170, 255})
        source.push_back(RGBQUAD{value, value, value, 255});
    const Pixels target = Resized(source, 4, 1, 6, 1);
    std::vector<int> values;
    for (const RGBQUAD& pixel : target)
        values.push_back(pixel.rgbRed);
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(values[i - 1], values[i]) << i;
    EXPECT_LT(values.front(), 40);
    EXPECT_GT(values.back(), 215);
    EXPECT_GT(values[2], 60);
    EXPECT_LT(values[3], 195);
    EXPECT_NE(values[2], 85);
}

TEST(ImageResample, ShrinkingAveragesEverySourcePixel)
{
    // A one-pixel checker board shrunk to a quarter is an even grey.
    Pixels source;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            source.push_back((x + y) % 2 ? RGBQUAD{255, 255, 255, 255} : RGBQUAD{0, 0, 0, 255});
    for (const RGBQUAD& pixel : Resized(source, 8, 8, 2, 2))
    {
        EXPECT_NEAR(pixel.rgbRed, 128, 24);
        EXPECT_EQ(pixel.rgbReserved, 255);
    }
}

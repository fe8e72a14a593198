#include "markup/host/PngImage.h"

#include "PngTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
struct PictureInfo
{
    const char* pszName;
    int nSize;
};
const PictureInfo kPictures[] = {{"CLOCK.PNG", 24}, {"INFO.PNG", 24}, {"SYNC.PNG", 32}};

std::vector<BYTE> ResourceBytes(const char* pszName)
{
    HMODULE hModule = GetModuleHandle(nullptr);
    HRSRC hResource = FindResourceA(hModule, pszName, "PNG");
    if (!hResource)
        return {};
    const BYTE* pData = static_cast<const BYTE*>(LockResource(LoadResource(hModule, hResource)));
    return std::vector<BYTE>(pData, pData + SizeofResource(hModule, hResource));
}

struct Decoded
{
    BOOL bLoaded = FALSE;
    int cx = 0;
    int cy = 0;
    std::vector<RGBQUAD> pixels;
};

Decoded Decode(CXTPPngImage& png, BOOL bLoaded)
{
    Decoded result;
    result.bLoaded = bLoaded;
    DIBSECTION dib;
    if (bLoaded && GetObject(png.GetBitmap(), sizeof(dib), &dib) == sizeof(dib))
    {
        result.cx = dib.dsBm.bmWidth;
        result.cy = dib.dsBm.bmHeight;
        const RGBQUAD* pBits = static_cast<const RGBQUAD*>(dib.dsBm.bmBits);
        result.pixels.assign(pBits, pBits + result.cx * result.cy);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    }
    return result;
}

Decoded DecodeGuarded(const std::vector<BYTE>& data)
{
    CGuardedBuffer buffer(data);
    CXTPPngImage png;
    return Decode(png, png.LoadFromMemory(buffer.Data(), buffer.Size()));
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

TEST(PngImage, DecodesTheProgramPicturesWithTheirAlpha)
{
    for (const PictureInfo& picture : kPictures)
    {
        SCOPED_TRACE(picture.pszName);
        CXTPPngImage png;
        const BOOL bLoaded = png.LoadFromResource(GetModuleHandle(nullptr),
                                                  FindResourceA(GetModuleHandle(nullptr), picture.pszName, "PNG"));
        const Decoded decoded = Decode(png, bLoaded);
        ASSERT_TRUE(decoded.bLoaded);
        EXPECT_TRUE(png.IsAlpha());
        EXPECT_EQ(decoded.cx, picture.nSize);
        EXPECT_EQ(decoded.cy, picture.nSize);

        // Transparent corners, an opaque middle part and soft edges between.
        EXPECT_EQ(decoded.pixels.front().rgbReserved, 0);
        EXPECT_EQ(decoded.pixels.back().rgbReserved, 0);
        int nOpaque = 0;
        int nPartial = 0;
        for (const RGBQUAD& pixel : decoded.pixels)
        {
            nOpaque += pixel.rgbReserved == 255;
            nPartial += pixel.rgbReserved > 0 && pixel.rgbReserved < 255;
        }
        EXPECT_GT(nOpaque, picture.nSize * picture.nSize / 8);
        EXPECT_GT(nPartial, picture.nSize);
    }

    // The clock's red centre, through a gamma chunk that asks for no change on a 2.2 screen.
    CXTPPngImage clock;
    const Decoded decoded =
        Decode(clock, clock.LoadFromResource(GetModuleHandle(nullptr), FindResourceA(nullptr, "CLOCK.PNG", "PNG")));
    ASSERT_TRUE(decoded.bLoaded);
    const RGBQUAD centre = decoded.pixels[12 * 24 + 12];
    EXPECT_NEAR(centre.rgbRed, 0xd6, 2);
    EXPECT_NEAR(centre.rgbGreen, 0x45, 2);
    EXPECT_NEAR(centre.rgbBlue, 0x31, 2);
}

TEST(PngImage, HandsItsBitmapOver)
{
    const std::vector<BYTE> data = ResourceBytes("SYNC.PNG");
    CXTPPngImage png;
    ASSERT_TRUE(png.LoadFromMemory(data.data(), data.size()));
    HBITMAP hBitmap = png.Detach();
    EXPECT_EQ(png.GetBitmap(), nullptr);
    BITMAP bm;
    EXPECT_EQ(GetObject(hBitmap, sizeof(bm), &bm), int(sizeof(bm))) << "still alive after the decoder is gone";
    DeleteObject(hBitmap);

    EXPECT_FALSE(png.LoadFromFile("Z:/no/such/picture.png"));
    EXPECT_FALSE(png.LoadFromMemory(nullptr, 100));
    EXPECT_FALSE(png.LoadFromResource(GetModuleHandle(nullptr), nullptr));
}

TEST(PngImage, DamagedStreamsFailWithoutReadingPastTheData)
{
    const std::vector<BYTE> clock = ResourceBytes("CLOCK.PNG");
    ASSERT_TRUE(DecodeGuarded(clock).bLoaded);

    // Every truncation, from an empty stream to one missing only its last byte.
    for (size_t nLength = 0; nLength < clock.size(); ++nLength)
        ASSERT_FALSE(DecodeGuarded(std::vector<BYTE>(clock.begin(), clock.begin() + nLength)).bLoaded) << nLength;

    struct Damage
    {
        const char* pszWhat;
        size_t nOffset;
    } damages[] = {
        {"signature", 1},
        {"header size", 17},
        {"header checksum", 8 + 8 + 13},
        {"image data", 8 + 25 + 16 + 8 + 10}, // after the signature, header and gamma chunks
        {"end of the compressed data", clock.size() - 12 - 4 - 2},
    };
    for (const Damage& damage : damages)
    {
        std::vector<BYTE> damaged = clock;
        damaged[damage.nOffset] ^= 0x55;
        EXPECT_FALSE(DecodeGuarded(damaged).bLoaded) << damage.pszWhat;
    }
}

TEST(PngImage, HugeHeadersFailBeforeAnythingLargeIsAllocated)
{
    const std::vector<BYTE> rowOfFour = {0, 1, 2, 3, 4};
    struct Claim
    {
        uint32_t nWidth;
        uint32_t nHeight;
    } claims[] = {
        {100000, 100000}, // beyond the side limit
        {16000, 16000},   // within it, but 1 GB of pixels
        {4097, 4096},     // just above the pixel budget
        {0x7FFFFFFF, 1},  // the largest width the format allows
        {1, 0x7FFFFFFF},
    };
    for (const Claim& claim : claims)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(DecodeGuarded(MakePng(claim.nWidth, claim.nHeight, 6, rowOfFour)).bLoaded)
            << claim.nWidth << " x " << claim.nHeight;
        EXPECT_LT(MillisecondsSince(start), 250) << claim.nWidth << " x " << claim.nHeight;
    }

    // A sane picture made the same way decodes.
    const Decoded small = DecodeGuarded(MakePng(1, 1, 6, rowOfFour));
    ASSERT_TRUE(small.bLoaded);
    EXPECT_EQ(small.pixels[0].rgbRed, 1);
    EXPECT_EQ(small.pixels[0].rgbBlue, 3);
    EXPECT_EQ(small.pixels[0].rgbReserved, 4);
}

TEST(PngImage, KnownCrashersFailCleanly)
{
    const std::vector<std::string> files = ListPngFiles(HORALEON_PNG_TEST_IMAGES "/testpngs/crashers");
    ASSERT_GE(files.size(), 20u);
    for (const std::string& strPath : files)
    {
        SCOPED_TRACE(strPath);
        const std::vector<BYTE> data = ReadFileBytes(strPath);
        // Wine keeps no memory counters, but getting and clearing the gigabyte
        // that some of these chunks claim takes a second there.
        const auto start = std::chrono::steady_clock::now();
        const Decoded decoded = DecodeGuarded(data);
        EXPECT_LT(MillisecondsSince(start), 250);
        // Only damage in chunks a picture can do without is survivable.
        if (decoded.bLoaded)
        {
            EXPECT_NE(strPath.find("_chunk"), std::string::npos);
        }
        CXTPPngImage png;
        EXPECT_EQ(png.LoadFromFile(strPath.c_str()), decoded.bLoaded) << "file and memory agree";
    }
}

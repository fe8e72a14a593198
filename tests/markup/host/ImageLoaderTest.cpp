#include "markup/host/ImageLoader.h"
#include "markup/host/PngImage.h"
#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"

#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>

namespace
{
struct StoreRelease
{
    void operator()(CXTPImageStore* p) const { p->Release(); }
};
using StorePtr = std::unique_ptr<CXTPImageStore, StoreRelease>;

const std::string kData = HORALEON_SOURCE_DIR "/tests/markup/host/data/";
const std::string kSuite = HORALEON_PNG_TEST_IMAGES "/pngsuite/";

HMODULE ThisModule()
{
    return GetModuleHandle(nullptr);
}

RGBQUAD Rgb(BYTE r, BYTE g, BYTE b)
{
    return RGBQUAD{b, g, r, 0};
}

// Straight-alpha source over an opaque destination.
RGBQUAD Over(RGBQUAD source, RGBQUAD destination)
{
    auto Blend = [&](BYTE s, BYTE d)
    { return static_cast<BYTE>((s * source.rgbReserved + d * (255 - source.rgbReserved)) / 255.0 + 0.5); };
    return Rgb(Blend(source.rgbRed, destination.rgbRed), Blend(source.rgbGreen, destination.rgbGreen),
               Blend(source.rgbBlue, destination.rgbBlue));
}

// The decoder's own pixels of a PNG, top-down.
std::vector<RGBQUAD> DecodedPixels(const std::string& strPath, int* pcx)
{
    CXTPPngImage png;
    EXPECT_TRUE(png.LoadFromFile(strPath.c_str())) << strPath;
    BITMAP bm = {};
    GetObject(png.GetBitmap(), sizeof(bm), &bm);
    *pcx = bm.bmWidth;
    const RGBQUAD* pBits = static_cast<const RGBQUAD*>(bm.bmBits);
    return pBits ? std::vector<RGBQUAD>(pBits, pBits + bm.bmWidth * bm.bmHeight) : std::vector<RGBQUAD>();
}
} // namespace

TEST(ImageLoader, ResourcePictureIsBlendedWithItsAlpha)
{
    // Resource names ignore case: "res://clock.png" names CLOCK.PNG.
    StorePtr store(CXTPImageLoader::CreateResourceStore(ThisModule(), "clock.png"));
    CXTPImageStoreImage* pImage = store->GetImage(0, 0);
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(pImage->GetWidth(), 24);
    EXPECT_EQ(pImage->GetHeight(), 24);
    ASSERT_TRUE(pImage->IsAlpha());

    int cx = 0;
    const std::vector<RGBQUAD> picture = DecodedPixels(HORALEON_SOURCE_DIR "/app/res/CLOCK.PNG", &cx);
    ASSERT_EQ(picture.size(), 24u * 24u);
    const RGBQUAD background = Rgb(40, 200, 90);
    CDibCanvas canvas(40, 40, RGB(40, 200, 90));
    pImage->Draw(canvas.GetDC(), 8, 8, 0, 0);

    int nEdgePixels = 0;
    for (int y = 0; y < 40; ++y)
    {
        for (int x = 0; x < 40; ++x)
        {
            const bool bInside = x >= 8 && x < 32 && y >= 8 && y < 32;
            const RGBQUAD source = bInside ? picture[(y - 8) * 24 + (x - 8)] : RGBQUAD{0, 0, 0, 0};
            ASSERT_TRUE(NearColor(canvas.Pixel(x, y), Over(source, background), 1))
                << x << "," << y << ": " << canvas.Pixel(x, y) << " for " << source;
            nEdgePixels += source.rgbReserved > 0 && source.rgbReserved < 255;
        }
    }
    EXPECT_GT(nEdgePixels, 24) << "the clock's rim is anti-aliased";
    EXPECT_TRUE(NearColor(canvas.Pixel(8, 8), background, 0)) << "a transparent corner";

    // Stretched to 32 x 32 as an image element with Width and Height 32 draws it.
    canvas.Fill(RGB(40, 200, 90));
    pImage->Draw(canvas.GetDC(), 0, 0, 32, 32);
    // Resampled, not picked: the centre comes from the source pixels around
    // (11.875, 11.875), the cubic filter's overshoot cut back to a few levels.
    const RGBQUAD centre = canvas.Pixel(16, 16);
    for (int nChannel = 0; nChannel < 3; ++nChannel)
    {
        int nLow = 255;
        int nHigh = 0;
        for (int y = 10; y <= 13; ++y)
        {
            for (int x = 10; x <= 13; ++x)
            {
                const RGBQUAD source = Over(picture[y * 24 + x], background);
                const BYTE* pSource = &source.rgbBlue;
                nLow = std::min<int>(nLow, pSource[nChannel]);
                nHigh = std::max<int>(nHigh, pSource[nChannel]);
            }
        }
        const int nValue = (&centre.rgbBlue)[nChannel];
        EXPECT_GE(nValue, nLow - 4) << centre;
        EXPECT_LE(nValue, nHigh + 4) << centre;
    }
    EXPECT_TRUE(NearColor(canvas.Pixel(31, 31), background, 0));
    EXPECT_FALSE(NearColor(canvas.Pixel(16, 1), background, 8)) << "the rim reaches the stretched top edge";
}

TEST(ImageLoader, AResourcePictureIsDecodedOncePerProcess)
{
    StorePtr first(CXTPImageLoader::CreateResourceStore(ThisModule(), "sync.png"));
    StorePtr again(CXTPImageLoader::CreateResourceStore(ThisModule(), "SYNC.PNG"));
    StorePtr other(CXTPImageLoader::CreateResourceStore(ThisModule(), "clock.png"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first.get(), again.get());
    EXPECT_NE(first.get(), other.get());
    ASSERT_NE(first->GetImage(0, 0), nullptr);
    // Every holder letting go leaves the picture to the next load.
    first.reset();
    again.reset();
    StorePtr later(CXTPImageLoader::CreateResourceStore(ThisModule(), "sync.png"));
    ASSERT_NE(later, nullptr);
    EXPECT_NE(later->GetImage(0, 0), nullptr);
}

TEST(ImageLoader, MissingOrBrokenPicturesGiveNoImageAndIconsStandIn)
{
    BOOL bAlpha = TRUE;
    EXPECT_EQ(CXTPImageLoader::LoadImageFile((kData + "NOSUCH.PNG").c_str(), &bAlpha), nullptr);
    EXPECT_FALSE(bAlpha);
    bAlpha = TRUE;
    EXPECT_EQ(CXTPImageLoader::LoadImageResource(ThisModule(), "NOSUCH.PNG", &bAlpha), nullptr);
    EXPECT_FALSE(bAlpha);

    const StorePtr stores[] = {
        StorePtr(CXTPImageLoader::CreateFileStore((kData + "NOSUCH.PNG").c_str())),
        StorePtr(CXTPImageLoader::CreateFileStore((kData + "BROKEN.PNG").c_str())),
        StorePtr(CXTPImageLoader::CreateResourceStore(ThisModule(), "NOSUCH.PNG")),
        // A PNG resource that does not decode is not looked for as a bitmap or icon.
        StorePtr(CXTPImageLoader::CreateResourceStore(ThisModule(), "BROKEN.PNG")),
    };
    for (const StorePtr& store : stores)
    {
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(store->GetImage(0, 0), nullptr);
        EXPECT_EQ(store->GetMaskColor(), RGB(0, 255, 0));
    }

    // Without a PNG or bitmap of the name, the icon group of that name.
    StorePtr icons(CXTPImageLoader::CreateResourceStore(ThisModule(), "DISCS"));
    ASSERT_NE(icons->GetImage(0, 0), nullptr);
    EXPECT_EQ(icons->GetImage(0, 0)->GetWidth(), 16);
}

TEST(ImageLoader, PureGreenIsTransparentInA24BitBitmap)
{
    const StorePtr stores[] = {
        StorePtr(CXTPImageLoader::CreateFileStore((kData + "GREENFRAME.BMP").c_str())),
        StorePtr(CXTPImageLoader::CreateResourceStore(ThisModule(), "GREENFRAME")),
    };
    for (const StorePtr& store : stores)
    {
        CXTPImageStoreImage* pImage = store->GetImage(0, 0);
        ASSERT_NE(pImage, nullptr);
        EXPECT_FALSE(pImage->IsAlpha());
        EXPECT_EQ(pImage->GetWidth(), 16);
        CDibCanvas canvas(16, 16, RGB(0, 0, 255));
        pImage->Draw(canvas.GetDC(), 0, 0);
        EXPECT_TRUE(NearColor(canvas.Pixel(0, 0), Rgb(0, 0, 255), 0)) << canvas.Pixel(0, 0);
        EXPECT_TRUE(NearColor(canvas.Pixel(3, 8), Rgb(0, 0, 255), 0)) << canvas.Pixel(3, 8);
        EXPECT_TRUE(NearColor(canvas.Pixel(4, 4), Rgb(255, 0, 0), 0)) << canvas.Pixel(4, 4);
        EXPECT_TRUE(NearColor(canvas.Pixel(11, 11), Rgb(255, 0, 0), 0)) << canvas.Pixel(11, 11);
    }
}

TEST(ImageLoader, ThirtyTwoBitBitmapKeepsItsAlpha)
{
    const StorePtr stores[] = {
        StorePtr(CXTPImageLoader::CreateFileStore((kData + "ALPHAHALVES.BMP").c_str())),
        StorePtr(CXTPImageLoader::CreateResourceStore(ThisModule(), "ALPHAHALVES")),
    };
    for (const StorePtr& store : stores)
    {
        CXTPImageStoreImage* pImage = store->GetImage(0, 0);
        ASSERT_NE(pImage, nullptr);
        EXPECT_TRUE(pImage->IsAlpha());
        CDibCanvas canvas(16, 8, RGB(255, 255, 255));
        pImage->Draw(canvas.GetDC(), 0, 0);
        EXPECT_TRUE(NearColor(canvas.Pixel(3, 0), Rgb(0, 255, 0), 0)) << "top row first: " << canvas.Pixel(3, 0);
        EXPECT_TRUE(NearColor(canvas.Pixel(3, 5), Rgb(255, 0, 0), 0)) << canvas.Pixel(3, 5);
        EXPECT_TRUE(NearColor(canvas.Pixel(12, 5), Rgb(127, 127, 255), 1)) << canvas.Pixel(12, 5);
    }
}

TEST(ImageLoader, BackgroundChunkFlattensButPaletteTransparencyStays)
{
    // Red background chunk: the picture is drawn as decoded, opaque, what was
    // transparent in red; only pure green would let the blue under it through.
    const std::string strFlat = kSuite + "ftbrn2c08.png";
    StorePtr flat(CXTPImageLoader::CreateFileStore(strFlat.c_str()));
    CXTPImageStoreImage* pFlat = flat->GetImage(0, 0);
    ASSERT_NE(pFlat, nullptr);
    EXPECT_FALSE(pFlat->IsAlpha());
    CDibCanvas canvas(32, 32, RGB(0, 0, 255));
    pFlat->Draw(canvas.GetDC(), 0, 0);
    EXPECT_TRUE(NearColor(canvas.Pixel(0, 0), Rgb(255, 0, 0), 0)) << canvas.Pixel(0, 0);
    int cxFlat = 0;
    const std::vector<RGBQUAD> flattened = DecodedPixels(strFlat, &cxFlat);
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 32; ++x)
        {
            const RGBQUAD source = flattened[y * cxFlat + x];
            EXPECT_EQ(source.rgbReserved, 0);
            const bool bMasked = NearColor(source, Rgb(0, 255, 0), 0);
            ASSERT_TRUE(NearColor(canvas.Pixel(x, y), bMasked ? Rgb(0, 0, 255) : source, 0)) << x << "," << y;
        }
    }

    // Palette with a transparency chunk and no background: transparent where it says so.
    const std::string strPalette = kSuite + "ftp1n3p08.png";
    StorePtr palette(CXTPImageLoader::CreateFileStore(strPalette.c_str()));
    CXTPImageStoreImage* pPalette = palette->GetImage(0, 0);
    ASSERT_NE(pPalette, nullptr);
    EXPECT_TRUE(pPalette->IsAlpha());
    canvas.Fill(RGB(0, 0, 255));
    pPalette->Draw(canvas.GetDC(), 0, 0);
    int cx = 0;
    const std::vector<RGBQUAD> pixels = DecodedPixels(strPalette, &cx);
    int nTransparent = 0;
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 32; ++x)
        {
            const RGBQUAD source = pixels[y * cx + x];
            nTransparent += source.rgbReserved == 0;
            ASSERT_TRUE(NearColor(canvas.Pixel(x, y), Over(source, Rgb(0, 0, 255)), 1)) << x << "," << y;
        }
    }
    EXPECT_GT(nTransparent, 100);
}

TEST(ImageLoader, LeavesNoGdiObjectsBehind)
{
    const auto Cycle = []
    {
        CDibCanvas canvas(32, 32, RGB(1, 2, 3));
        for (const char* pszName :
             {"CLOCK.PNG", "INFO.PNG", "SYNC.PNG", "GREENFRAME", "ALPHAHALVES", "DISCS", "BROKEN.PNG", "NOSUCH"})
        {
            StorePtr store(CXTPImageLoader::CreateResourceStore(ThisModule(), pszName));
            if (CXTPImageStoreImage* pImage = store->GetImage(0, 0))
                pImage->Draw(canvas.GetDC(), 0, 0);
        }
        StorePtr file(CXTPImageLoader::CreateFileStore((kData + "GREENFRAME.BMP").c_str()));
        file->GetImage(0, 0)->Draw(canvas.GetDC(), 0, 0);
    };
    Cycle();
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 100; ++i)
        Cycle();
    EXPECT_EQ(CountGdiObjects(), nBefore);
}

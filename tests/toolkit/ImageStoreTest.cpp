#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"

#include "ImageTestSupport.h"
#include "support/DibCanvas.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
struct StoreRelease
{
    void operator()(CXTPImageStore* p) const { p->Release(); }
};
using StorePtr = std::unique_ptr<CXTPImageStore, StoreRelease>;

const SIZE kNaturalSize = {0, 0};

void AddSolid(CXTPImageStore* pStore, UINT nId, int cx, RGBQUAD pixel)
{
    CXTPBitmapHandle hBitmap(MakeAlphaBitmap(cx, cx, [&](int, int) { return pixel; }));
    ASSERT_TRUE(pStore->AddBitmap(hBitmap.Get(), &nId, 1, kNaturalSize, xtpImageNormal, TRUE));
}

int WidthOf(const CXTPImageStoreImage* pImage)
{
    return pImage ? pImage->GetWidth() : -1;
}

RGBQUAD AlphaPixel(const CXTPImageStoreImage* pImage, int x, int y)
{
    DIBSECTION dib;
    EXPECT_EQ(GetObject(pImage->GetAlphaBitmap(), sizeof(dib), &dib), int(sizeof(dib)));
    return static_cast<const RGBQUAD*>(dib.dsBm.bmBits)[y * pImage->GetWidth() + x];
}

// A device-dependent bitmap as LoadImage makes from a 24-bit file: a frame of
// clrFrame around a square of clrInside.
HBITMAP MakeFramedBitmap(int cx, COLORREF clrFrame, COLORREF clrInside)
{
    HDC hdcScreen = GetDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdcScreen, cx, cx);
    ReleaseDC(nullptr, hdcScreen);
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap);
    CXTPGdiObject<HBRUSH> hFrame(CreateSolidBrush(clrFrame));
    CXTPGdiObject<HBRUSH> hInside(CreateSolidBrush(clrInside));
    RECT rcAll = {0, 0, cx, cx};
    RECT rcInside = {cx / 4, cx / 4, cx - cx / 4, cx - cx / 4};
    FillRect(dc.Get(), &rcAll, hFrame.Get());
    FillRect(dc.Get(), &rcInside, hInside.Get());
    return hBitmap;
}
} // namespace

TEST(ImageStore, PicksTheImageWhoseWidthIsNearestThePreferredOne)
{
    StorePtr store(new CXTPImageStore());
    for (int cx : {24, 16, 32})
        AddSolid(store.get(), 7, cx, Rgba(cx, 0, 0, 255));

    EXPECT_EQ(WidthOf(store->GetImage(7, 0)), 16) << "0 picks the narrowest";
    EXPECT_EQ(WidthOf(store->GetImage(7, 24)), 24);
    EXPECT_EQ(WidthOf(store->GetImage(7, 31)), 32);
    EXPECT_EQ(WidthOf(store->GetImage(7, 1000)), 32);
    EXPECT_EQ(WidthOf(store->GetImage(7, 1)), 16);
    EXPECT_EQ(WidthOf(store->GetImage(7, 20)), 24) << "a tie goes to the first stored";
    EXPECT_EQ(WidthOf(store->GetImage(7, 28)), 24);
    EXPECT_EQ(store->GetImage(8, 0), nullptr);

    // A second picture of a stored width replaces the first.
    AddSolid(store.get(), 7, 16, Rgba(1, 2, 3, 255));
    EXPECT_EQ(AlphaPixel(store->GetImage(7, 16), 0, 0).rgbRed, 1);
}

TEST(ImageStore, CutsABitmapIntoPiecesOfOneWidth)
{
    const RGBQUAD colours[3] = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 128), Rgba(0, 0, 255, 0)};
    CXTPBitmapHandle hStrip(MakeAlphaBitmap(24, 8, [&](int x, int) { return colours[x / 8]; }));

    StorePtr numbered(new CXTPImageStore());
    const UINT ids[3] = {10, 20, 30};
    ASSERT_TRUE(numbered->AddBitmap(hStrip.Get(), ids, 3, kNaturalSize, xtpImageNormal, TRUE));
    StorePtr counted(new CXTPImageStore());
    ASSERT_TRUE(counted->AddBitmap(hStrip.Get(), nullptr, 3, kNaturalSize, xtpImageNormal, TRUE));

    for (int i = 0; i < 3; ++i)
    {
        for (CXTPImageStoreImage* pImage : {numbered->GetImage(ids[i], 0), counted->GetImage(i, 0)})
        {
            ASSERT_NE(pImage, nullptr);
            EXPECT_EQ(pImage->GetWidth(), 8);
            EXPECT_EQ(pImage->GetHeight(), 8);
            EXPECT_TRUE(pImage->IsAlpha());
            const RGBQUAD pixel = AlphaPixel(pImage, 7, 7);
            EXPECT_EQ(pixel.rgbRed, colours[i].rgbRed);
            EXPECT_EQ(pixel.rgbGreen, colours[i].rgbGreen);
            EXPECT_EQ(pixel.rgbReserved, colours[i].rgbReserved) << "the alpha stays straight";
        }
    }

    CXTPBitmapHandle hUneven(MakeAlphaBitmap(25, 8, [](int, int) { return Rgba(0, 0, 0, 255); }));
    StorePtr uneven(new CXTPImageStore());
    EXPECT_FALSE(uneven->AddBitmap(hUneven.Get(), nullptr, 3, kNaturalSize, xtpImageNormal, TRUE));
    EXPECT_EQ(uneven->GetImage(0, 0), nullptr);
}

TEST(ImageStore, TopLeftColourIsTheDefaultMask)
{
    CXTPBitmapHandle hBitmap(MakeFramedBitmap(16, RGB(255, 255, 0), RGB(255, 0, 0)));
    StorePtr store(new CXTPImageStore());
    ASSERT_EQ(store->GetMaskColor(), CXTPImageStore::kMaskTopLeft);
    ASSERT_TRUE(store->AddBitmap(hBitmap.Get(), nullptr, 1, kNaturalSize, xtpImageNormal, FALSE));
    CXTPImageStoreImage* pImage = store->GetImage(0, 0);
    ASSERT_NE(pImage, nullptr);
    EXPECT_FALSE(pImage->IsAlpha());

    CDibCanvas canvas(16, 16, RGB(0, 0, 200));
    pImage->Draw(canvas.GetDC(), 0, 0);
    EXPECT_TRUE(NearColor(canvas.Pixel(0, 0), Rgba(0, 0, 200, 0), 0)) << canvas.Pixel(0, 0);
    EXPECT_TRUE(NearColor(canvas.Pixel(3, 12), Rgba(0, 0, 200, 0), 0)) << canvas.Pixel(3, 12);
    EXPECT_TRUE(NearColor(canvas.Pixel(8, 8), Rgba(255, 0, 0, 0), 0)) << canvas.Pixel(8, 8);
}

TEST(ImageStore, IconGroupGivesOneImagePerSize)
{
    HMODULE hModule = GetModuleHandle(nullptr);
    StorePtr store(new CXTPImageStore());
    ASSERT_TRUE(store->AddIconResource(hModule, "DISCS", 4, kNaturalSize, xtpImageNormal));
    ASSERT_TRUE(store->AddIconResource(hModule, "discs", 5, SIZE{32, 32}, xtpImageNormal));
    EXPECT_FALSE(store->AddIconResource(hModule, "NOSUCHICON", 6, kNaturalSize, xtpImageNormal));
    EXPECT_FALSE(store->AddIconResource(hModule, "DISCS", 6, SIZE{48, 48}, xtpImageNormal));
    EXPECT_EQ(store->GetImage(6, 0), nullptr);
    // Without a group, a single icon: the resource compiler numbers the
    // group's images 1, 2, 3 in file order.
    ASSERT_TRUE(store->AddIconResource(hModule, MAKEINTRESOURCEA(3), 7, kNaturalSize, xtpImageNormal));
    EXPECT_EQ(WidthOf(store->GetImage(7, 0)), 24);

    EXPECT_EQ(WidthOf(store->GetImage(4, 0)), 16);
    EXPECT_EQ(WidthOf(store->GetImage(4, 24)), 24);
    EXPECT_EQ(WidthOf(store->GetImage(4, 40)), 32);
    EXPECT_EQ(WidthOf(store->GetImage(5, 0)), 32) << "only the size asked for";
    EXPECT_TRUE(store->GetImage(4, 16)->IsAlpha());
    EXPECT_TRUE(store->GetImage(4, 32)->IsAlpha());
    EXPECT_FALSE(store->GetImage(4, 24)->IsAlpha()) << "24-bit colour becomes an icon";

    // The 16-pixel disc: red inside, its anti-aliased rim partly transparent, corners untouched.
    CDibCanvas canvas(40, 40, RGB(0, 0, 0));
    CXTPImageStoreImage* pDisc = store->GetImage(4, 16);
    pDisc->Draw(canvas.GetDC(), 0, 0);
    EXPECT_TRUE(NearColor(canvas.Pixel(8, 8), Rgba(200, 30, 30, 0), 1)) << canvas.Pixel(8, 8);
    EXPECT_TRUE(NearColor(canvas.Pixel(0, 0), Rgba(0, 0, 0, 0), 0)) << canvas.Pixel(0, 0);
    const RGBQUAD rim = canvas.Pixel(8, 1);
    EXPECT_GT(rim.rgbRed, 0);
    EXPECT_LT(rim.rgbRed, 200) << rim;

    // The 24-bit icon: its masked two-pixel rim shows what was there.
    canvas.Fill(RGB(0, 0, 255));
    store->GetImage(4, 24)->Draw(canvas.GetDC(), 10, 10);
    EXPECT_TRUE(NearColor(canvas.Pixel(11, 11), Rgba(0, 0, 255, 0), 0)) << canvas.Pixel(11, 11);
    EXPECT_TRUE(NearColor(canvas.Pixel(12, 12), Rgba(30, 160, 30, 0), 0)) << canvas.Pixel(12, 12);
    EXPECT_TRUE(NearColor(canvas.Pixel(31, 31), Rgba(30, 160, 30, 0), 0)) << canvas.Pixel(31, 31);
    EXPECT_TRUE(NearColor(canvas.Pixel(32, 32), Rgba(0, 0, 255, 0), 0)) << canvas.Pixel(32, 32);
}

TEST(ImageStore, ImagesLiveWhileReferenced)
{
    CXTPImageStore* pStore = new CXTPImageStore();
    AddSolid(pStore, 1, 8, Rgba(0, 0, 255, 255));
    CXTPImageStoreImage* pImage = pStore->GetImage(1, 0);
    EXPECT_EQ(pImage->AddRef(), 2);
    EXPECT_EQ(pStore->Release(), 0);

    CDibCanvas canvas(8, 8, RGB(0, 0, 0));
    pImage->Draw(canvas.GetDC(), 0, 0);
    EXPECT_EQ(canvas.Pixel(4, 4).rgbBlue, 255);
    EXPECT_EQ(pImage->Release(), 0);

    EXPECT_NE(CXTPImageStore::GetSharedStore(), nullptr);
    EXPECT_EQ(CXTPImageStore::GetSharedStore(), CXTPImageStore::GetSharedStore());
}

TEST(ImageStore, AnImageDrawsAgainIntoOtherDCsInBothBlends)
{
    StorePtr store(new CXTPImageStore());
    AddSolid(store.get(), 1, 8, Rgba(0, 0, 255, 128));
    CXTPImageStoreImage* pImage = store->GetImage(1, 0);
    ASSERT_NE(pImage, nullptr);
    for (auto method :
         {CXTPImageStoreImage::BlendAuto, CXTPImageStoreImage::BlendManual, CXTPImageStoreImage::BlendAuto})
    {
        CDibCanvas canvas(12, 12, RGB(255, 0, 0));
        pImage->Draw(canvas.GetDC(), 2, 2, 8, 8, method);
        const RGBQUAD inside = canvas.Pixel(5, 5);
        EXPECT_NEAR(inside.rgbBlue, 128, 2);
        EXPECT_NEAR(inside.rgbRed, 127, 2);
        EXPECT_EQ(canvas.Pixel(0, 0).rgbRed, 255);
    }
}

#include "toolkit/DCLayout.h"
#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"
#include "toolkit/Msimg32Functions.h"

#include "ImageTestSupport.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// One image in its own store, released with it.
class CTestImage
{
public:
    CTestImage(int cx, int cy, const std::function<RGBQUAD(int, int)>& pixel) : m_pStore(new CXTPImageStore())
    {
        CXTPBitmapHandle hBitmap(MakeAlphaBitmap(cx, cy, pixel));
        m_pStore->AddBitmap(hBitmap.Get(), nullptr, 1, SIZE{0, 0}, xtpImageNormal, TRUE);
    }
    ~CTestImage() { m_pStore->Release(); }
    CTestImage(const CTestImage&) = delete;
    CTestImage& operator=(const CTestImage&) = delete;

    CXTPImageStoreImage* operator->() const { return m_pStore->GetImage(0, 0); }

private:
    CXTPImageStore* m_pStore;
};

// What straight-alpha source over an opaque destination should give, per channel.
BYTE Over(BYTE nSource, BYTE nAlpha, BYTE nDestination)
{
    return static_cast<BYTE>((nSource * nAlpha + nDestination * (255 - nAlpha)) / 255.0 + 0.5);
}

RGBQUAD BackgroundPattern(int x, int y)
{
    return Rgba(static_cast<BYTE>(x * 7), static_cast<BYTE>(y * 11), static_cast<BYTE>(255 - x * y % 256), 255);
}

RGBQUAD PicturePattern(int x, int y)
{
    return Rgba(static_cast<BYTE>(x * 16), static_cast<BYTE>(255 - y * 16), static_cast<BYTE>(x * y),
                static_cast<BYTE>((x * 16 + y * 3) % 256));
}
} // namespace

TEST(ImageDraw, BlendsStraightAlphaOverWhatIsDrawn)
{
    const RGBQUAD pixels[4] = {Rgba(255, 0, 0, 255), Rgba(0, 0, 255, 0), Rgba(0, 255, 0, 128), Rgba(255, 255, 255, 64)};
    CTestImage image(4, 1, [&](int x, int) { return pixels[x]; });
    for (auto method : {CXTPImageStoreImage::BlendSystem, CXTPImageStoreImage::BlendManual})
    {
        CDibCanvas canvas(6, 3, RGB(100, 100, 100));
        image->Draw(canvas.GetDC(), 1, 1, 0, 0, method);
        for (int x = 0; x < 4; ++x)
        {
            const RGBQUAD& p = pixels[x];
            const RGBQUAD expected = Rgba(Over(p.rgbRed, p.rgbReserved, 100), Over(p.rgbGreen, p.rgbReserved, 100),
                                          Over(p.rgbBlue, p.rgbReserved, 100), 255);
            EXPECT_TRUE(NearColor(canvas.Pixel(1 + x, 1), expected, 1))
                << "method " << method << " pixel " << x << ": " << canvas.Pixel(1 + x, 1) << " not " << expected;
        }
        EXPECT_TRUE(NearColor(canvas.Pixel(0, 1), Rgba(100, 100, 100, 255), 0)) << "nothing drawn beside it";
        EXPECT_TRUE(NearColor(canvas.Pixel(5, 1), Rgba(100, 100, 100, 255), 0));
        EXPECT_TRUE(NearColor(canvas.Pixel(1, 0), Rgba(100, 100, 100, 255), 0));
    }
}

TEST(ImageDraw, ManualBlendMatchesAlphaBlend)
{
    ASSERT_NE(CXTPMsimg32Functions::Get().m_pfnAlphaBlend, nullptr);
    CTestImage image(16, 16, PicturePattern);
    struct Size
    {
        int cx, cy;
    } sizes[] = {{16, 16}, {32, 32}, {48, 16}};
    for (const Size& size : sizes)
    {
        CDibCanvas system(64, 40, 0);
        CDibCanvas manual(64, 40, 0);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 64; ++x)
                system.Bits()[y * 64 + x] = manual.Bits()[y * 64 + x] = BackgroundPattern(x, y);
        image->Draw(system.GetDC(), 5, 3, size.cx, size.cy, CXTPImageStoreImage::BlendSystem);
        image->Draw(manual.GetDC(), 5, 3, size.cx, size.cy, CXTPImageStoreImage::BlendManual);
        int nDifferent = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 64; ++x)
                if (!NearColor(system.Pixel(x, y), manual.Pixel(x, y), 1) && nDifferent++ < 5)
                    ADD_FAILURE() << size.cx << "x" << size.cy << " at " << x << "," << y << ": AlphaBlend "
                                  << system.Pixel(x, y) << ", manual " << manual.Pixel(x, y);
    }
}

TEST(ImageDraw, SizeDefaultsToThePictureAndKeepsItsAspect)
{
    CTestImage image(8, 4, [](int, int) { return Rgba(255, 0, 0, 255); });
    CDibCanvas canvas(20, 12, RGB(0, 0, 0));
    image->Draw(canvas.GetDC(), 0, 0, 16, 0);
    EXPECT_EQ(canvas.Pixel(15, 7).rgbRed, 255) << "16 wide makes 8 high";
    EXPECT_EQ(canvas.Pixel(15, 8).rgbRed, 0);
    EXPECT_EQ(canvas.Pixel(16, 0).rgbRed, 0);

    canvas.Fill(RGB(0, 0, 0));
    image->Draw(canvas.GetDC(), 2, 2);
    EXPECT_EQ(canvas.Pixel(9, 5).rgbRed, 255) << "natural size";
    EXPECT_EQ(canvas.Pixel(10, 5).rgbRed, 0);
    EXPECT_EQ(canvas.Pixel(9, 6).rgbRed, 0);
}

TEST(ImageDraw, RowsAboveTheTopEdgeAreLeftOut)
{
    CTestImage image(4, 8, [](int, int y) { return Rgba(static_cast<BYTE>(y * 30), 0, 0, 255); });
    for (auto method : {CXTPImageStoreImage::BlendSystem, CXTPImageStoreImage::BlendManual})
    {
        CDibCanvas canvas(4, 8, RGB(0, 0, 255));
        image->Draw(canvas.GetDC(), 0, -3, 4, 8, method);
        for (int y = 0; y < 5; ++y)
            EXPECT_TRUE(NearColor(canvas.Pixel(1, y), Rgba(static_cast<BYTE>((y + 3) * 30), 0, 0, 0), 0))
                << "method " << method << " row " << y << ": " << canvas.Pixel(1, y);
        EXPECT_TRUE(NearColor(canvas.Pixel(1, 5), Rgba(0, 0, 255, 0), 0)) << canvas.Pixel(1, 5);

        canvas.Fill(RGB(0, 0, 255));
        image->Draw(canvas.GetDC(), 0, -8, 4, 8, method);
        EXPECT_TRUE(NearColor(canvas.Pixel(1, 0), Rgba(0, 0, 255, 0), 0)) << "nothing left to draw";
    }
}

TEST(ImageDraw, LayoutFunctionsReachGdi)
{
    CDibCanvas canvas(4, 4, 0);
    EXPECT_EQ(GetDCLayout(canvas.GetDC()), 0u);
    EXPECT_EQ(SetDCLayout(canvas.GetDC(), LAYOUT_RTL), 0u);
    EXPECT_EQ(GetDCLayout(canvas.GetDC()), DWORD(LAYOUT_RTL));
    SetDCLayout(canvas.GetDC(), 0);
}

TEST(ImageDraw, LeavesNoGdiObjectsBehind)
{
    const auto Cycle = []
    {
        CXTPImageStore* pStore = new CXTPImageStore();
        CXTPBitmapHandle hAlpha(MakeAlphaBitmap(24, 24, PicturePattern));
        pStore->AddBitmap(hAlpha.Get(), nullptr, 1, SIZE{0, 0}, xtpImageNormal, TRUE);
        pStore->AddBitmap(hAlpha.Get(), nullptr, 2, SIZE{0, 0}, xtpImageNormal, FALSE);
        pStore->AddIconResource(GetModuleHandle(nullptr), "DISCS", 5, SIZE{0, 0}, xtpImageNormal);
        CDibCanvas canvas(48, 48, RGB(10, 20, 30));
        pStore->GetImage(0, 0)->Draw(canvas.GetDC(), 0, 0, 0, 0, CXTPImageStoreImage::BlendSystem);
        pStore->GetImage(0, 0)->Draw(canvas.GetDC(), -2, -2, 30, 30, CXTPImageStoreImage::BlendManual);
        pStore->GetImage(1, 0)->Draw(canvas.GetDC(), 0, 0);
        for (int cx : {16, 24, 32})
            pStore->GetImage(5, cx)->Draw(canvas.GetDC(), 0, 0);
        pStore->Release();
    };
    Cycle(); // first-use records are made once
    const DWORD nBefore = CountGdiObjects();
    ASSERT_GT(nBefore, 0u);
    for (int i = 0; i < 300; ++i)
        Cycle();
    EXPECT_EQ(CountGdiObjects(), nBefore);

    // The count does see a leak: icons hold GDI bitmaps too.
    HICON hIcon = CopyIcon(LoadIcon(nullptr, IDI_APPLICATION));
    EXPECT_GT(CountGdiObjects(), nBefore);
    DestroyIcon(hIcon);
}

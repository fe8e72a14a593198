// The image element: sources resolved to pictures (program resources, files,
// image numbers of a store), the picture's size in layout and under explicit
// sizes, its drawing with per-pixel alpha, stretched or cropped, and no GDI
// objects kept over many passes.
#include "ElementTestSupport.h"

#include "markup/elements/ElementContext.h"
#include "markup/elements/Image.h"
#include "markup/elements/LayoutDump.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/PngImage.h"
#include "markup/model/String.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
const std::string kPictures = HORALEON_SOURCE_DIR "/app/res/";

struct StoreRelease
{
    void operator()(CXTPImageStore* p) const { p->Release(); }
};
using StorePtr = std::unique_ptr<CXTPImageStore, StoreRelease>;

// The host's reference goes after the tree made for it.
struct HostRelease
{
    void operator()(CXTPMarkupHost* p) const { p->Release(); }
};
using HostPtr = std::unique_ptr<CXTPMarkupHost, HostRelease>;

const RGBQUAD kRedPixel = {0, 0, 255, 255};
const RGBQUAD kHalfBluePixel = {255, 0, 0, 128};

// Adds to the store, under nId, a cx x cy picture whose left half is opaque
// red and whose right half is blue at alpha 128.
void AddHalves(CXTPImageStore* pStore, UINT nId, int cx, int cy)
{
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(cx, cy, &pBits));
    ASSERT_TRUE(hBitmap);
    RGBQUAD* pPixels = static_cast<RGBQUAD*>(pBits);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            pPixels[y * cx + x] = x < cx / 2 ? kRedPixel : kHalfBluePixel;
    ASSERT_TRUE(pStore->AddBitmap(hBitmap.Get(), &nId, 1, SIZE{0, 0}, xtpImageNormal, TRUE));
}

Ptr<CXTPMarkupImage> LoadImage(const std::string& strSource, CXTPMarkupHost* pHost = nullptr)
{
    const std::string strMarkup = "<Image Source='" + strSource + "'/>";
    Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str(), pHost);
    CXTPMarkupImage* pImage = MarkupCast<CXTPMarkupImage>(root.Get());
    EXPECT_TRUE(pImage) << strSource;
    return pImage ? Ptr<CXTPMarkupImage>(static_cast<CXTPMarkupImage*>(root.Detach())) : Ptr<CXTPMarkupImage>();
}

// The size an image of this source measures to, as "cx x cy".
std::string MeasuredSize(const std::string& strSource, CXTPMarkupHost* pHost = nullptr)
{
    Ptr<CXTPMarkupImage> image = LoadImage(strSource, pHost);
    if (!image)
        return "no element";
    CXTPMarkupGdiPainter painter;
    image->Measure(&painter, 1000, 1000);
    const SIZE sz = image->GetMeasuredSize();
    return std::to_string(sz.cx) + " x " + std::to_string(sz.cy);
}

// Straight-alpha source over an opaque destination.
RGBQUAD Over(RGBQUAD source, RGBQUAD destination)
{
    const auto Blend = [&](BYTE s, BYTE d)
    { return static_cast<BYTE>((s * source.rgbReserved + d * (255 - source.rgbReserved)) / 255.0 + 0.5); };
    return RGBQUAD{Blend(source.rgbBlue, destination.rgbBlue), Blend(source.rgbGreen, destination.rgbGreen),
                   Blend(source.rgbRed, destination.rgbRed), 0};
}

const RGBQUAD kBlackPixel = {0, 0, 0, 255};
} // namespace

TEST(ImageTest, LoadableSourcesMeasureAsTheirPicture)
{
    // Resource names and file names ignore case; only the prefixes do not.
    EXPECT_EQ("24 x 24", MeasuredSize("res://clock.png"));
    EXPECT_EQ("24 x 24", MeasuredSize("res://CLOCK.PNG"));
    EXPECT_EQ("24 x 24", MeasuredSize("res://info.png"));
    EXPECT_EQ("32 x 32", MeasuredSize("res://sync.png"));
    EXPECT_EQ("32 x 32", MeasuredSize("file://" + kPictures + "SYNC.PNG"));
    EXPECT_EQ("24 x 24", MeasuredSize("file://" + kPictures + "clock.png"));

    // A new source is loaded at the next measure; taking it away keeps the picture.
    Ptr<CXTPMarkupImage> image = LoadImage("res://clock.png");
    ASSERT_TRUE(image);
    CXTPMarkupGdiPainter painter;
    image->Measure(&painter, 100, 100);
    image->SetValue(CXTPMarkupImage::m_pSourceProperty, CXTPMarkupString::CreateValue(L"res://sync.png"));
    image->Measure(&painter, 100, 100);
    EXPECT_EQ(32, image->GetMeasuredSize().cx);
    image->SetValue(CXTPMarkupImage::m_pSourceProperty, nullptr);
    image->Measure(&painter, 100, 100);
    EXPECT_EQ(32, image->GetMeasuredSize().cx);
}

namespace
{
// Names the file and resource sources asked for; loads nothing.
std::vector<std::string> g_requested;
CXTPImageStore* RecordFile(LPCSTR lpszPath)
{
    g_requested.push_back(std::string("file ") + lpszPath);
    return nullptr;
}
CXTPImageStore* RecordResource(HMODULE, LPCSTR lpszName)
{
    g_requested.push_back(std::string("res ") + lpszName);
    return nullptr;
}
} // namespace

TEST(ImageTest, FileAndResourceSourcesGoThroughTheInstalledLoader)
{
    const XTPMarkupImageSourceLoader* pPrevious = XTPMarkupGetDefaultImageSourceLoader();
    ASSERT_TRUE(pPrevious) << "the host's registration installs the picture loader";
    const XTPMarkupImageSourceLoader recorder = {&RecordFile, &RecordResource};
    g_requested.clear();

    XTPMarkupSetDefaultImageSourceLoader(&recorder);
    EXPECT_EQ("0 x 0", MeasuredSize("file://a.png"));
    EXPECT_EQ("0 x 0", MeasuredSize("res://clock.png"));
    // Without any loader such sources load nothing, and nothing breaks.
    XTPMarkupSetDefaultImageSourceLoader(nullptr);
    EXPECT_EQ("0 x 0", MeasuredSize("res://clock.png"));
    XTPMarkupSetDefaultImageSourceLoader(pPrevious);

    EXPECT_EQ((std::vector<std::string>{"file a.png", "res clock.png"}), g_requested);
    EXPECT_EQ("24 x 24", MeasuredSize("res://clock.png"));
}

TEST(ImageTest, SourcesThatDoNotLoadMeasureZeroAndDrawNothing)
{
    // A prefix in other letters is read as an image number: none, so 0.
    const std::string sources[] = {"RES://clock.png",
                                   "Res://clock.png",
                                   "FILE://" + kPictures + "SYNC.PNG",
                                   "File://" + kPictures + "SYNC.PNG",
                                   "res://nosuch.png",
                                   "file://" + kPictures + "NOSUCH.PNG",
                                   "res://",
                                   "",
                                   "0",
                                   "clock.png"};
    for (const std::string& strSource : sources)
    {
        SCOPED_TRACE(strSource);
        const std::string strMarkup =
            "<StackPanel Background='#204060'><Image Source='" + strSource
            + "' Margin='3' HorizontalAlignment='Left' VerticalAlignment='Top'/></StackPanel>";
        Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str());
        ASSERT_TRUE(root);
        EXPECT_EQ("StackPanel 0,0,40,40\n"
                  "  Image 3,3,3,3\n",
                  LayOut(root.Get(), 40, 40));
        CXTPMarkupImage* pImage = MarkupCast<CXTPMarkupImage>(root->GetChild(0));
        ASSERT_TRUE(pImage);
        EXPECT_EQ(nullptr, pImage->GetImage());

        CDibCanvas canvas(40, 40);
        Paint(root.Get(), canvas);
        EXPECT_EQ(40 * 40, canvas.Count(RGB(0x20, 0x40, 0x60), RECT{0, 0, 40, 40}));
    }

    // Without a "Source" the element occupies its margins only.
    Ptr<CXTPMarkupFrameworkElement> root = Load("<StackPanel><Image x:Name='i' Margin='1,2,3,4'/></StackPanel>");
    ASSERT_TRUE(root);
    EXPECT_EQ("StackPanel 0,0,40,40\n"
              "  Image 1,2,37,2\n",
              LayOut(root.Get(), 40, 40));
    EXPECT_EQ(4, Find(root.Get(), L"i")->GetMeasuredSize().cx);
    EXPECT_EQ(6, Find(root.Get(), L"i")->GetMeasuredSize().cy);
}

TEST(ImageTest, ResourcePictureIsBlendedWithItsAlphaOverWhatIsDrawn)
{
    CXTPPngImage png;
    ASSERT_TRUE(png.LoadFromFile((kPictures + "CLOCK.PNG").c_str()));
    BITMAP bm = {};
    ASSERT_EQ(static_cast<int>(sizeof(bm)), GetObject(png.GetBitmap(), sizeof(bm), &bm));
    ASSERT_EQ(24, bm.bmWidth);
    const RGBQUAD* pPicture = static_cast<const RGBQUAD*>(bm.bmBits);

    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel Background='#28C85A'>
          <Image Source='res://clock.png' Margin='8' HorizontalAlignment='Left'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(40, 40);
    Paint(root.Get(), canvas);

    const RGBQUAD background = {0x5A, 0xC8, 0x28, 255};
    int nEdgePixels = 0;
    for (int y = 0; y < 40; ++y)
    {
        for (int x = 0; x < 40; ++x)
        {
            const bool bInside = x >= 8 && x < 32 && y >= 8 && y < 32;
            const RGBQUAD source = bInside ? pPicture[(y - 8) * 24 + (x - 8)] : RGBQUAD{0, 0, 0, 0};
            ASSERT_TRUE(NearColor(canvas.Pixel(x, y), Over(source, background), 1))
                << x << "," << y << ": " << canvas.Pixel(x, y) << " for " << source;
            nEdgePixels += source.rgbReserved > 0 && source.rgbReserved < 255;
        }
    }
    // The clock's anti-aliased rim: neither the picture's colour nor the background.
    EXPECT_GT(nEdgePixels, 24);
}

TEST(ImageTest, NumericSourcesComeFromTheHostsStoreElseTheSharedOne)
{
    StorePtr store(new CXTPImageStore());
    AddHalves(store.get(), 3, 32, 32);
    AddHalves(store.get(), 3, 16, 16);
    AddHalves(store.get(), 4, 24, 12);
    AddHalves(CXTPImageStore::GetSharedStore(), 9001, 8, 4);

    HostPtr host(new CXTPMarkupHost());
    host->SetImageStore(store.get());
    // The narrowest picture of the number; the number read as the system reads
    // integers: spaces and a sign before it, anything after the digits ignored.
    EXPECT_EQ("16 x 16", MeasuredSize("3", host.get()));
    EXPECT_EQ("24 x 12", MeasuredSize("4.9", host.get()));
    EXPECT_EQ("0 x 0", MeasuredSize("5", host.get()));
    // The host's store is the only one asked, even for a number it lacks.
    EXPECT_EQ("0 x 0", MeasuredSize("9001", host.get()));

    HostPtr bare(new CXTPMarkupHost());
    EXPECT_EQ("8 x 4", MeasuredSize("9001", bare.get()));
    EXPECT_EQ("8 x 4", MeasuredSize("9001"));
    EXPECT_EQ("0 x 0", MeasuredSize("3", bare.get()));
}

TEST(ImageTest, ExplicitSizesStretchOrCropThePicture)
{
    StorePtr store(new CXTPImageStore());
    AddHalves(store.get(), 1, 4, 4);
    HostPtr host(new CXTPMarkupHost());
    host->SetImageStore(store.get());
    const RGBQUAD blendedBlue = Over(kHalfBluePixel, kBlackPixel);

    struct Case
    {
        const char* pszAttributes;
        const char* pszLayout;
        int nRedEnd;  // red columns run from 0 to here
        int nBlueEnd; // then blended blue columns to here
        int nBottom;  // rows drawn
    };
    const Case cases[] = {
        // The picture's own size.
        {"", "Image 0,0,4,4\n", 2, 4, 4},
        // Larger: stretched to the box.
        {"Width='8' Height='8'", "Image 0,0,8,8\n", 4, 8, 8},
        // One size alone: the other stays the picture's.
        {"Width='8'", "Image 0,0,8,4\n", 4, 8, 4},
        {"Height='6'", "Image 0,0,4,6\n", 2, 4, 6},
        // Smaller: arranged and drawn at the picture's size, cut to the box,
        // so the picture is cropped rather than shrunk.
        {"Width='2' Height='3'", "Image 0,0,4,4\n", 2, 2, 3},
        // A stretching slot stretches the picture.
        {"HorizontalAlignment='Stretch'", "Image 0,0,12,4\n", 6, 12, 4},
        // Unbounded: stretched over what can be seen of it.
        {"Width='Auto'", "Image 0,0,2147483647,4\n", 6, 12, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszAttributes);
        std::string strMarkup = "<Image Source='1' VerticalAlignment='Top' ";
        if (!strstr(c.pszAttributes, "HorizontalAlignment"))
            strMarkup += "HorizontalAlignment='Left' ";
        strMarkup += c.pszAttributes;
        strMarkup += "/>";
        Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str(), host.get());
        ASSERT_TRUE(root);
        CDibCanvas canvas(12, 12);
        Paint(root.Get(), canvas);
        EXPECT_EQ(c.pszLayout, DumpMarkupLayout(root.Get()));
        // A stretched picture is resampled: its halves blend at the seam.
        const bool bStretched = c.nBlueEnd > 4;
        for (int y = 0; y < 12; ++y)
        {
            for (int x = 0; x < 12; ++x)
            {
                if (bStretched && y < c.nBottom && x >= c.nRedEnd - 2 && x < c.nRedEnd + 2)
                    continue;
                // The cubic filter rings a little further out on so hard an edge.
                const int nTolerance = bStretched ? 8 : 1;
                const RGBQUAD expected = y >= c.nBottom   ? kBlackPixel
                                         : x < c.nRedEnd  ? kRedPixel
                                         : x < c.nBlueEnd ? blendedBlue
                                                          : kBlackPixel;
                ASSERT_TRUE(NearColor(canvas.Pixel(x, y), expected, nTolerance))
                    << x << "," << y << ": " << canvas.Pixel(x, y) << " instead of " << expected;
            }
        }
    }
}

TEST(ImageTest, ProgramMarkupsPlaceTheirPictures)
{
    // The dialog's three panels with test boxes standing in for their texts.
    struct Case
    {
        const char* pszName;
        const char* pszMarkup;
        int cx;
        int cy;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"information", R"(
            <StackPanel>
              <StackPanel Orientation='Horizontal'>
                <Image Source='res://info.png' Width='24' Height='24' VerticalAlignment='Center'/>
                <TestBox ContentWidth='69' ContentHeight='21' VerticalAlignment='Center'/>
              </StackPanel>
              <StackPanel><TestBox ContentWidth='485' ContentHeight='48' MaxWidth='485'/></StackPanel>
            </StackPanel>)",
         500, 100,
         "StackPanel 0,0,500,100\n"
         "  StackPanel 0,0,500,24\n"
         "    Image 0,0,24,24\n"
         "    TestBox 24,1,93,22\n"
         "  StackPanel 0,24,500,72\n"
         "    TestBox 7,24,492,72\n"},
        {"result", R"(
            <StackPanel Orientation='Horizontal'>
              <Image Source='res://clock.png' Width='24' Height='24' VerticalAlignment='Center'/>
              <TestBox ContentWidth='185' ContentHeight='17' VerticalAlignment='Center'/>
            </StackPanel>)",
         400, 40,
         "StackPanel 0,0,400,40\n"
         "  Image 0,8,24,32\n"
         "  TestBox 24,11,209,28\n"},
        {"button face", R"(
            <StackPanel>
              <Image Source='res://sync.png' Width='32' Height='32' />
              <TestBox ContentWidth='80' ContentHeight='34'/>
            </StackPanel>)",
         120, 80,
         "StackPanel 0,0,120,80\n"
         "  Image 44,0,76,32\n"
         "  TestBox 0,32,120,66\n"},
    };
    for (const Case& c : cases)
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(c.pszMarkup);
        ASSERT_TRUE(root) << c.pszName;
        EXPECT_EQ(c.pszExpected, LayOut(root.Get(), c.cx, c.cy)) << c.pszName;
    }
}

TEST(ImageTest, ManyMeasuresAndDrawsLeaveNoGdiObjects)
{
    StorePtr store(new CXTPImageStore());
    AddHalves(store.get(), 2, 8, 8);
    HostPtr host(new CXTPMarkupHost());
    host->SetImageStore(store.get());
    const std::string strMarkup = "<StackPanel Orientation='Horizontal'>"
                                  "<Image Source='res://clock.png'/>"
                                  "<Image Source='res://info.png' Width='30'/>"
                                  "<Image Source='res://sync.png' Width='24' Height='24'/>"
                                  "<Image Source='res://nosuch.png'/>"
                                  "<Image Source='2'/>"
                                  "<Image Source='file://"
                                  + kPictures + "CLOCK.PNG'/></StackPanel>";
    const auto Cycle = [&]
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str(), host.get());
        ASSERT_TRUE(root);
        CDibCanvas canvas(160, 40);
        for (int i = 0; i < 3; ++i)
        {
            root->InvalidateMeasure();
            Paint(root.Get(), canvas);
        }
    };
    Cycle();
    const DWORD nBefore = CountGdiObjects();
    ASSERT_NE(0u, nBefore);
    for (int i = 0; i < 100; ++i)
        Cycle();
    EXPECT_EQ(nBefore, CountGdiObjects());
}

// The painter on real pixels: fills, outlines, gradients in every direction
// and by both of their drawing paths, the origin and clip brackets, fonts and
// text placement, and GDI objects after many passes.
#include "markup/host/CachedFont.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Brush.h"
#include "markup/model/Point.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "toolkit/GdiHandles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

const COLORREF kPaper = RGB(10, 20, 30);

COLORREF Gray(int n)
{
    return RGB(n, n, n);
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance
           && std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

// Every pixel within a tolerance of the colour inside rc, every other the paper.
::testing::AssertionResult OnlyRectHas(const CDibCanvas& canvas, const RECT& rc, COLORREF clr, int nTolerance = 0)
{
    for (int y = 0; y < canvas.Height(); ++y)
    {
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const POINT pt = {x, y};
            const bool bInside = PtInRect(&rc, pt);
            if (bInside ? !Near(canvas.Color(x, y), clr, nTolerance) : canvas.Color(x, y) != kPaper)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << canvas.Pixel(x, y);
        }
    }
    return ::testing::AssertionSuccess();
}

// A gradient with its stops in the order given; end points unset unless given.
Ptr<CXTPMarkupLinearGradientBrush> Gradient(std::initializer_list<std::pair<COLORREF, double>> stops,
                                            std::initializer_list<double> points = {})
{
    Ptr<CXTPMarkupLinearGradientBrush> brush(new CXTPMarkupLinearGradientBrush());
    for (const auto& stop : stops)
        brush->GetGradientStops()->Add(new CXTPMarkupGradientStop(stop.first, stop.second));
    if (points.size() == 4)
    {
        const double* p = points.begin();
        brush->SetValue(CXTPMarkupLinearGradientBrush::m_pStartPointProperty, new CXTPMarkupPoint(p[0], p[1]));
        brush->SetValue(CXTPMarkupLinearGradientBrush::m_pEndPointProperty, new CXTPMarkupPoint(p[2], p[3]));
    }
    return brush;
}

LOGFONTA TestFont(LONG nHeight, LONG nWeight = FW_NORMAL)
{
    LOGFONTA lf = {};
    lf.lfHeight = nHeight;
    lf.lfWeight = nWeight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    strcpy(lf.lfFaceName, "Tahoma");
    return lf;
}

TEST(PainterFillTest, SolidFillsCoverTheRectangleInTheCurrentOriginAndNothingElse)
{
    CDibCanvas canvas(40, 30, kPaper);
    SetBkColor(canvas.GetDC(), RGB(1, 2, 3));
    Ptr<CXTPMarkupSolidColorBrush> green(new CXTPMarkupSolidColorBrush(RGB(0, 255, 0)));
    Ptr<CXTPMarkupSolidColorBrush> unset(new CXTPMarkupSolidColorBrush());
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{10, 5});
    painter.FillRectangle(green.Get(), RECT{2, 3, 6, 5});
    // An unset colour, no brush, empty and inverted rectangles paint nothing.
    painter.FillRectangle(unset.Get(), RECT{-10, -5, 30, 25});
    painter.FillRectangle(nullptr, RECT{-10, -5, 30, 25});
    painter.FillRectangle(green.Get(), RECT{10, 10, 10, 15});
    painter.FillRectangle(green.Get(), RECT{20, 10, 15, 15});
    painter.FillSolidRect(20, 15, 25, 10, RGB(0, 255, 0));
    painter.SetViewportOrigin(ptPrevious);
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{12, 8, 16, 10}, RGB(0, 255, 0)));
    // The fill borrows the background colour and gives it back; the mode
    // stays transparent so that text draws no cell background.
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(canvas.GetDC()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.GetDC()));
}

TEST(PainterBracketTest, OriginsAccumulateInDeviceUnitsAndTheClipBoxFollows)
{
    CDibCanvas canvas(100, 50, kPaper);
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    const POINT ptOuter = painter.OffsetViewportOrigin(POINT{5, 7});
    const POINT ptInner = painter.OffsetViewportOrigin(POINT{3, 1});
    EXPECT_EQ(0, ptOuter.x + ptOuter.y);
    EXPECT_EQ(5, ptInner.x);
    EXPECT_EQ(7, ptInner.y);
    const RECT rcExpected = {-8, -8, 92, 42};
    EXPECT_TRUE(EqualRect(&rcExpected, &painter.GetClipBox()));
    painter.SetViewportOrigin(ptOuter);
    POINT ptDC;
    GetViewportOrgEx(canvas.GetDC(), &ptDC);
    EXPECT_EQ(0, ptDC.x + ptDC.y);
    EXPECT_EQ(100, painter.GetClipBox().right);

    // Under a scaling mapping the offsets are logical; extents count unsigned.
    SetMapMode(canvas.GetDC(), MM_ANISOTROPIC);
    SetWindowExtEx(canvas.GetDC(), 1, -1, nullptr);
    SetViewportExtEx(canvas.GetDC(), 2, 3, nullptr);
    CXTPMarkupGdiPainter scaled(canvas.GetDC());
    scaled.OffsetViewportOrigin(POINT{5, 4});
    GetViewportOrgEx(canvas.GetDC(), &ptDC);
    EXPECT_EQ(10, ptDC.x);
    EXPECT_EQ(12, ptDC.y);
}

TEST(PainterBracketTest, ClipBracketsNarrowDrawingAndPutTheClippingBack)
{
    CDibCanvas canvas(60, 40, kPaper);
    HDC hDC = canvas.GetDC();
    CXTPMarkupGdiPainter painter(hDC);
    CXTPGdiObject<HRGN> probe(CreateRectRgn(0, 0, 0, 0));

    // Without clipping the marker comes back, and restoring it removes all
    // clipping again.
    HRGN hrgnSaved = painter.SaveClipRegion();
    EXPECT_EQ(CXTPMarkupGdiPainter::NoClipRegion(), hrgnSaved);
    painter.OffsetViewportOrigin(POINT{10, 10});
    painter.IntersectClipRect(RECT{0, 0, 5, 4});
    EXPECT_EQ(5, painter.GetClipBox().right); // in the element's coordinates
    painter.FillSolidRect(-10, -10, 50, 30, RGB(0, 0, 255));
    painter.RestoreClipRegion(hrgnSaved);
    painter.SetViewportOrigin(POINT{0, 0});
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{10, 10, 15, 14}, RGB(0, 0, 255)));
    EXPECT_EQ(0, GetClipRgn(hDC, probe.Get()));
    EXPECT_EQ(60, painter.GetClipBox().right);

    // A DC clipped already gets its own region back.
    canvas.Fill(kPaper);
    CXTPGdiObject<HRGN> outer(CreateRectRgn(0, 0, 30, 20));
    SelectClipRgn(hDC, outer.Get());
    painter.RestoreClipRegion(nullptr); // nothing saved: nothing happens
    hrgnSaved = painter.SaveClipRegion();
    ASSERT_NE(CXTPMarkupGdiPainter::NoClipRegion(), hrgnSaved);
    painter.IntersectClipRect(RECT{20, 0, 60, 40});
    painter.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
    painter.RestoreClipRegion(hrgnSaved);
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{20, 0, 30, 20}, RGB(0, 0, 255)));
    ASSERT_EQ(1, GetClipRgn(hDC, probe.Get()));
    EXPECT_TRUE(EqualRgn(probe.Get(), outer.Get()));
    EXPECT_EQ(30, painter.GetClipBox().right);
}

// Axis-aligned gradients are drawn by GradientFill when the system has it
// and computed into a bitmap otherwise: every gradient test runs both ways.
enum class EPath
{
    GradientFill,
    Bitmap
};

class PainterGradientTest : public ::testing::TestWithParam<EPath>
{
protected:
    PainterGradientTest() : m_canvas(40, 30, kPaper) {}

    void SetUp() override
    {
        if (GetParam() == EPath::GradientFill && !CXTPMsimg32Functions::Get().m_pfnGradientFill)
            GTEST_SKIP() << "this system has no GradientFill";
    }

    void Prepare(CXTPMarkupGdiPainter& painter) const
    {
        if (GetParam() == EPath::Bitmap)
            painter.SetGradientFill(nullptr);
    }

    void Fill(CXTPMarkupBrush* pBrush, const RECT& rc)
    {
        CXTPMarkupGdiPainter painter(m_canvas.GetDC());
        Prepare(painter);
        painter.FillRectangle(pBrush, rc);
    }

    // GradientFill interpolates 16-bit channels where the bitmap truncates
    // exact blends: the two agree within one step.
    ::testing::AssertionResult Expect(int x, int y, COLORREF clr) const
    {
        if (Near(m_canvas.Color(x, y), clr, GetParam() == EPath::Bitmap ? 0 : 1))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << m_canvas.Pixel(x, y);
    }

    CDibCanvas m_canvas;
};

TEST_P(PainterGradientTest, EachPixelTakesTheColourOneRowBelowItInEveryDirection)
{
    // Black to white over four pixels: a quarter of the way is 63.75, truncated.
    struct
    {
        double sx, sy, ex, ey;
        COLORREF clr[4]; // down the rows, or along the columns
    } const kCases[] = {
        {0, 0, 0, 1, {Gray(63), Gray(127), Gray(191), Gray(255)}},
        {0, 1, 0, 0, {Gray(191), Gray(127), Gray(63), Gray(0)}},
        {0, 0, 1, 0, {Gray(0), Gray(63), Gray(127), Gray(191)}},
        {1, 0, 0, 0, {Gray(255), Gray(191), Gray(127), Gray(63)}},
    };
    for (const auto& c : kCases)
    {
        m_canvas.Fill(kPaper);
        Fill(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}, {c.sx, c.sy, c.ex, c.ey}).Get(), RECT{5, 6, 9, 10});
        for (int i = 0; i < 4; ++i)
        {
            for (int j = 0; j < 4; ++j)
                EXPECT_TRUE(c.sx == c.ex ? Expect(5 + j, 6 + i, c.clr[i]) : Expect(5 + i, 6 + j, c.clr[i]));
        }
        EXPECT_TRUE(OnlyRectHas(m_canvas, RECT{5, 6, 9, 10}, Gray(127), 255)); // nothing outside
    }

    // Without end points, from the top-left to the bottom-right corner:
    // t = (x + y + 1) / 8, constant along each anti-diagonal.
    Fill(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}).Get(), RECT{0, 0, 4, 4});
    EXPECT_TRUE(Expect(0, 0, Gray(31)));
    EXPECT_TRUE(Expect(3, 0, Gray(127)));
    EXPECT_TRUE(Expect(1, 2, Gray(127)));
    EXPECT_TRUE(Expect(3, 3, Gray(223)));
}

TEST_P(PainterGradientTest, StopsAreSortedAndTheOuterColoursExtendToTheEdges)
{
    // Written out of order; blue and lime share 0.5 in this order, so the
    // colour jumps from one to the other there. t = (y + 1) / 8.
    Fill(Gradient({{Gray(255), 1.0}, {RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 0.5}, {RGB(0, 255, 0), 0.5}}, {0, 0, 0, 1})
             .Get(),
         RECT{0, 0, 2, 8});
    EXPECT_TRUE(Expect(0, 0, RGB(191, 0, 63)));
    EXPECT_TRUE(Expect(1, 2, RGB(63, 0, 191)));
    EXPECT_TRUE(Expect(0, 3, RGB(0, 255, 0)));
    EXPECT_TRUE(Expect(1, 4, RGB(63, 255, 63)));
    EXPECT_TRUE(Expect(0, 7, Gray(255)));

    // Stops at 0.2 and 0.8 leave solid bands at both ends. t = x / 10.
    Fill(Gradient({{RGB(255, 0, 0), 0.2}, {RGB(0, 0, 255), 0.8}}, {0, 0, 1, 0}).Get(), RECT{10, 10, 20, 13});
    for (int x : {0, 1, 2})
        EXPECT_TRUE(Expect(10 + x, 11, RGB(255, 0, 0)));
    EXPECT_TRUE(Expect(15, 11, RGB(127, 0, 127)));
    for (int x : {8, 9})
        EXPECT_TRUE(Expect(10 + x, 11, RGB(0, 0, 255)));
}

TEST_P(PainterGradientTest, GradientsWithNothingToBlendPaintNothingOrOneColour)
{
    const RECT rcAll = {0, 0, 40, 30};
    Fill(Gradient({}).Get(), rcAll);
    Fill(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}, {0.5, 0.5, 0.5, 0.5}).Get(), rcAll);
    Fill(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}).Get(), RECT{20, 20, 10, 10});
    Fill(Gradient({{RGB(0, 128, 0), 0.7}}).Get(), RECT{3, 4, 13, 9});
    EXPECT_TRUE(OnlyRectHas(m_canvas, RECT{3, 4, 13, 9}, RGB(0, 128, 0)));
}

TEST_P(PainterGradientTest, OnlyTheVisiblePartChangesAndItKeepsItsColours)
{
    const RECT rcFill = {-5, -3, 27, 19}; // in the element's coordinates
    const std::initializer_list<double> kDirections[] = {{0, 0, 0, 1}, {1, 0, 0, 0}, {}};
    for (const auto& points : kDirections)
    {
        Ptr<CXTPMarkupLinearGradientBrush> brush =
            Gradient({{RGB(255, 0, 0), 0.1}, {RGB(0, 255, 0), 0.6}, {RGB(0, 0, 255), 0.9}}, points);
        CDibCanvas whole(40, 30, kPaper);
        CXTPMarkupGdiPainter reference(whole.GetDC());
        Prepare(reference);
        reference.OffsetViewportOrigin(POINT{6, 5});
        reference.FillRectangle(brush.Get(), rcFill);

        m_canvas.Fill(kPaper);
        CXTPMarkupGdiPainter painter(m_canvas.GetDC());
        Prepare(painter);
        const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{6, 5});
        HRGN hrgn = painter.SaveClipRegion();
        painter.IntersectClipRect(RECT{4, 2, 15, 11});
        painter.FillRectangle(brush.Get(), rcFill);
        painter.RestoreClipRegion(hrgn);
        painter.SetViewportOrigin(ptPrevious);
        for (int y = 0; y < 30; ++y)
        {
            for (int x = 0; x < 40; ++x)
            {
                if (x >= 10 && x < 21 && y >= 7 && y < 16)
                    EXPECT_TRUE(Expect(x, y, whole.Color(x, y))) << points.size();
                else
                    ASSERT_EQ(kPaper, m_canvas.Color(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_P(PainterGradientTest, EachOutlineEdgeIsAGradientOfItsOwn)
{
    CXTPMarkupGdiPainter painter(m_canvas.GetDC());
    Prepare(painter);
    painter.DrawRectangle(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}, {0, 0, 1, 0}).Get(), 0, 0, 8, 6);
    for (int x = 1; x < 7; ++x)
    {
        EXPECT_TRUE(Expect(x, 0, Gray(255 * x / 8)));
        EXPECT_TRUE(Expect(x, 5, Gray(255 * x / 8)));
    }
    // The side edges are one pixel wide: their gradient never leaves black.
    for (int y = 0; y < 6; ++y)
    {
        EXPECT_TRUE(Expect(0, y, Gray(0)));
        EXPECT_TRUE(Expect(7, y, Gray(0)));
    }
    EXPECT_EQ(kPaper, m_canvas.Color(3, 3));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, PainterGradientTest, ::testing::Values(EPath::GradientFill, EPath::Bitmap),
                         [](const ::testing::TestParamInfo<EPath>& info)
                         { return info.param == EPath::Bitmap ? "Bitmap" : "GradientFill"; });

int g_nGradientFillCalls = 0;
BOOL g_bGradientFillFails = FALSE;

BOOL WINAPI CountingGradientFill(HDC hDC, PTRIVERTEX pVertices, ULONG nVertices, PVOID pMesh, ULONG nMesh, ULONG nMode)
{
    ++g_nGradientFillCalls;
    return !g_bGradientFillFails
           && CXTPMsimg32Functions::Get().m_pfnGradientFill(hDC, pVertices, nVertices, pMesh, nMesh, nMode);
}

TEST(PainterGradientPathTest, BothPathsAgreeAndARefusingGradientFillFallsBack)
{
    if (!CXTPMsimg32Functions::Get().m_pfnGradientFill)
        GTEST_SKIP() << "this system has no GradientFill";
    // Many stops, two at one offset, end points inside and beyond the rectangle.
    const std::initializer_list<double> kPoints[] = {{0, 0.1, 0, 0.9}, {0, 1.2, 0, -0.3}, {-0.2, 0, 0.7, 0}};
    for (const auto& points : kPoints)
    {
        Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{Gray(0), 0.0},
                                                             {RGB(250, 10, 90), 0.3},
                                                             {RGB(20, 240, 30), 0.3},
                                                             {RGB(90, 90, 255), 0.75},
                                                             {Gray(255), 1.0}},
                                                            points);
        CDibCanvas bitmap(97, 61, kPaper), fill(97, 61, kPaper), fallback(97, 61, kPaper);
        CXTPMarkupGdiPainter bitmapPainter(bitmap.GetDC()), fillPainter(fill.GetDC()),
            fallbackPainter(fallback.GetDC());
        bitmapPainter.SetGradientFill(nullptr);
        fillPainter.SetGradientFill(&CountingGradientFill);
        fallbackPainter.SetGradientFill(&CountingGradientFill);
        g_nGradientFillCalls = 0;
        bitmapPainter.FillRectangle(brush.Get(), RECT{3, 2, 94, 59});
        fillPainter.FillRectangle(brush.Get(), RECT{3, 2, 94, 59});
        g_bGradientFillFails = TRUE;
        fallbackPainter.FillRectangle(brush.Get(), RECT{3, 2, 94, 59});
        g_bGradientFillFails = FALSE;
        EXPECT_EQ(2, g_nGradientFillCalls);
        EXPECT_TRUE(bitmap.SameAs(fallback));
        int nDifferent = 0;
        for (int y = 0; y < 61; ++y)
        {
            for (int x = 0; x < 97; ++x)
                nDifferent += !Near(bitmap.Color(x, y), fill.Color(x, y), 1);
        }
        EXPECT_EQ(0, nDifferent);
    }

    // Other directions never ask for GradientFill.
    CDibCanvas canvas(20, 20, kPaper);
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    painter.SetGradientFill(&CountingGradientFill);
    g_nGradientFillCalls = 0;
    painter.FillRectangle(Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}}).Get(), RECT{0, 0, 20, 20});
    EXPECT_EQ(0, g_nGradientFillCalls);
}

TEST(PainterTextTest, SetFontPutsTheDcsOwnFontBackInTheEnd)
{
    CDibCanvas canvas(10, 10, kPaper);
    HDC hDC = canvas.GetDC();
    const HGDIOBJ hOriginal = GetCurrentObject(hDC, OBJ_FONT);
    Ptr<CXTPMarkupCachedFont> small(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupCachedFont> large(new CXTPMarkupCachedFont(TestFont(-24)));
    {
        CXTPMarkupGdiPainter painter(hDC);
        painter.SetFont(small.Get());
        painter.SetFont(small.Get());
        EXPECT_EQ(2, small->GetRefCount());
        painter.SetFont(large.Get());
        EXPECT_EQ(large->GetFont(), GetCurrentObject(hDC, OBJ_FONT));
        EXPECT_EQ(1, small->GetRefCount());
        painter.SetFont(nullptr);
        EXPECT_EQ(hOriginal, GetCurrentObject(hDC, OBJ_FONT));
        EXPECT_EQ(1, large->GetRefCount());
        painter.SetFont(large.Get()); // the painter's end puts the first font back too
    }
    EXPECT_EQ(hOriginal, GetCurrentObject(hDC, OBJ_FONT));
    EXPECT_EQ(1, large->GetRefCount());
}

TEST(PainterTextTest, MeasuringAndPaintingPaintersAgreeOnExtents)
{
    Ptr<CXTPMarkupCachedFont> small(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupCachedFont> large(new CXTPMarkupCachedFont(TestFont(-24)));
    CXTPMarkupGdiPainter measuring;
    measuring.SetFont(small.Get());
    const SIZE szM = measuring.GetTextExtent(L"M", 1);
    EXPECT_GT(szM.cx, 0);
    EXPECT_EQ(2 * szM.cx, measuring.GetTextExtent(L"MMi", 2).cx); // only the count is measured
    TEXTMETRICW tm;
    ASSERT_TRUE(measuring.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, szM.cy);

    measuring.SetFont(large.Get());
    const SIZE szLarge = measuring.GetTextExtent(L"\x540C\x6B65M", 3);
    EXPECT_GT(szLarge.cy, szM.cy);
    CDibCanvas canvas(10, 10, kPaper);
    CXTPMarkupGdiPainter painting(canvas.GetDC());
    painting.SetFont(large.Get());
    EXPECT_EQ(szLarge.cx, painting.GetTextExtent(L"\x540C\x6B65M", 3).cx);
    EXPECT_EQ(szLarge.cy, painting.GetTextExtent(L"\x540C\x6B65M", 3).cy);
}

TEST(PainterTextTest, TextStartsAtTheRectanglesCornerWithoutClippingOrBackground)
{
    const COLORREF kWhite = RGB(255, 255, 255);
    CDibCanvas canvas(200, 60, kWhite);
    Ptr<CXTPMarkupCachedFont> font(new CXTPMarkupCachedFont(TestFont(-20, FW_BOLD)));
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    painter.SetFont(font.Get());
    painter.SetTextColor(RGB(255, 0, 0));
    painter.OffsetViewportOrigin(POINT{10, 5});
    const SIZE sz = painter.GetTextExtent(L"Hello", 5);
    painter.DrawTextLine(L"Hello", 5, RECT{20, 10, 21, 11}); // far smaller than the text

    // The ink lies in the text's cell, whose corner is (30, 15) on the DC, and
    // is all in the text colour: the cell gets no background.
    RECT rcInk = {200, 60, 0, 0};
    for (int y = 0; y < 60; ++y)
    {
        for (int x = 0; x < 200; ++x)
        {
            if (canvas.Color(x, y) == kWhite)
                continue;
            EXPECT_EQ(RGB(255, 0, 0), canvas.Color(x, y));
            const RECT rcPixel = {x, y, x + 1, y + 1};
            UnionRect(&rcInk, IsRectEmpty(&rcInk) ? &rcPixel : &rcInk, &rcPixel);
        }
    }
    EXPECT_GE(rcInk.left, 30);
    EXPECT_LE(rcInk.left, 30 + sz.cx / 5);
    EXPECT_GE(rcInk.top, 15);
    EXPECT_GT(rcInk.right, 30 + sz.cx / 2);
    EXPECT_LE(rcInk.right, 30 + sz.cx + 1);
    EXPECT_LE(rcInk.bottom, 15 + sz.cy);
    EXPECT_LT(canvas.Count(RGB(255, 0, 0), rcInk), (rcInk.right - rcInk.left) * (rcInk.bottom - rcInk.top));
}

TEST(PainterTextTest, CachedFontsMatchByTheFieldsThatShapeGlyphs)
{
    CXTPMarkupFontList list;
    const LOGFONTA lf = TestFont(-13);
    CXTPMarkupCachedFont* pFirst = new CXTPMarkupCachedFont(lf, &list);
    CXTPMarkupCachedFont* pSecond = new CXTPMarkupCachedFont(TestFont(-13, FW_BOLD), &list);
    CXTPMarkupCachedFont* pThird = new CXTPMarkupCachedFont(TestFont(-20), &list);
    LOGFONTA same = lf;
    same.lfUnderline = same.lfStrikeOut = TRUE;
    same.lfWidth = 7;
    same.lfCharSet = GB2312_CHARSET;
    EXPECT_EQ(pFirst, list.Find(same));
    LOGFONTA italic = lf, smooth = lf, lower = lf;
    italic.lfItalic = TRUE;
    smooth.lfQuality = CLEARTYPE_QUALITY;
    strcpy(lower.lfFaceName, "tahoma");
    for (const LOGFONTA& other : {italic, smooth, lower})
        EXPECT_EQ(nullptr, list.Find(other));

    // A font leaves the list, and deletes its HFONT, with its last reference.
    const HFONT hSecond = pSecond->GetFont();
    pSecond->Release();
    EXPECT_EQ(0u, GetObjectType(hSecond));
    EXPECT_EQ(pThird, pFirst->GetNextFont());
    pThird->Release();
    EXPECT_EQ(pFirst, list.GetTail());
    pFirst->Release();
    EXPECT_EQ(nullptr, list.GetHead());
    EXPECT_EQ(nullptr, list.GetTail());
}

TEST(PainterLeakTest, AThousandPassesLeaveNoGdiObjectsBehind)
{
    CDibCanvas canvas(64, 48, kPaper);
    Ptr<CXTPMarkupCachedFont> font(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupSolidColorBrush> solid(new CXTPMarkupSolidColorBrush(RGB(1, 2, 3)));
    Ptr<CXTPMarkupLinearGradientBrush> diagonal = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    Ptr<CXTPMarkupLinearGradientBrush> vertical =
        Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}}, {0, 0, 0, 1});
    CXTPGdiObject<HRGN> outer(CreateRectRgn(0, 0, 50, 40));

    auto pass = [&](int i)
    {
        SelectClipRgn(canvas.GetDC(), i % 2 ? outer.Get() : nullptr);
        CXTPMarkupGdiPainter painter(canvas.GetDC());
        if (i % 3 == 0)
            painter.SetGradientFill(nullptr);
        const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{3, 2});
        HRGN hrgn = painter.SaveClipRegion();
        painter.IntersectClipRect(RECT{0, 0, 40, 30});
        painter.FillRectangle(solid.Get(), RECT{0, 0, 10, 10});
        painter.FillRectangle(diagonal.Get(), RECT{5, 5, 35, 25});
        painter.DrawRectangle(vertical.Get(), 1, 1, 30, 20);
        painter.SetFont(font.Get());
        painter.DrawTextLine(L"12:00", 5, RECT{2, 2, 40, 20});
        painter.RestoreClipRegion(hrgn);
        painter.SetViewportOrigin(ptPrevious);
        CXTPMarkupGdiPainter measuring;
        measuring.SetFont(font.Get());
        measuring.GetTextExtent(L"12:00", 5);
    };
    pass(0); // the system's own first-use allocations happen here
    pass(1);
    SelectClipRgn(canvas.GetDC(), nullptr);
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 1000; ++i)
        pass(i);
    SelectClipRgn(canvas.GetDC(), nullptr);
    EXPECT_EQ(nBefore, CountGdiObjects());
}
} // namespace

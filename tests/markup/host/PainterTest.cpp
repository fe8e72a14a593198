// The painter on real pixels: fills, outlines, gradients in every direction
// and by both of their drawing paths, the origin and clip brackets, fonts and
// text placement, and GDI objects after many passes.
#include "markup/host/CachedFont.h"
#include "markup/host/Painter.h"
#include "markup/model/Brush.h"
#include "markup/model/Point.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "toolkit/GdiHandles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>

namespace
{
template <class T>
using Ptr = CXTPMarkupPtr<T>;

const COLORREF kPaper = RGB(10, 20, 30);

std::string Describe(COLORREF clr)
{
    std::ostringstream os;
    os << "(" << int(GetRValue(clr)) << "," << int(GetGValue(clr)) << "," << int(GetBValue(clr)) << ")";
    return os.str();
}

COLORREF At(const CDibCanvas& canvas, int x, int y)
{
    RGBQUAD q = canvas.Pixel(x, y);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance && std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

// The pixels of rc that differ from the paper, as a rectangle (empty if none).
RECT ChangedBounds(const CDibCanvas& canvas, COLORREF clrPaper)
{
    RECT rc = {canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y)
    {
        for (int x = 0; x < canvas.Width(); ++x)
        {
            if (At(canvas, x, y) == clrPaper)
                continue;
            rc.left = std::min<LONG>(rc.left, x);
            rc.top = std::min<LONG>(rc.top, y);
            rc.right = std::max<LONG>(rc.right, x + 1);
            rc.bottom = std::max<LONG>(rc.bottom, y + 1);
        }
    }
    if (rc.left >= rc.right)
        SetRectEmpty(&rc);
    return rc;
}

// Every pixel of rc has the colour, every other pixel the paper.
::testing::AssertionResult OnlyRectHas(const CDibCanvas& canvas, const RECT& rc, COLORREF clr)
{
    for (int y = 0; y < canvas.Height(); ++y)
    {
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const POINT pt = {x, y};
            const COLORREF clrExpected = PtInRect(&rc, pt) ? clr : kPaper;
            if (At(canvas, x, y) != clrExpected)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << Describe(At(canvas, x, y)) << ", expected "
                                                     << Describe(clrExpected);
        }
    }
    return ::testing::AssertionSuccess();
}

Ptr<CXTPMarkupLinearGradientBrush> Gradient(std::initializer_list<std::pair<COLORREF, double>> stops)
{
    Ptr<CXTPMarkupLinearGradientBrush> brush(new CXTPMarkupLinearGradientBrush());
    for (const auto& stop : stops)
        brush->GetGradientStops()->Add(new CXTPMarkupGradientStop(stop.first, stop.second));
    return brush;
}

void SetPoints(CXTPMarkupLinearGradientBrush* pBrush, double sx, double sy, double ex, double ey)
{
    pBrush->SetValue(CXTPMarkupLinearGradientBrush::m_pStartPointProperty, new CXTPMarkupPoint(sx, sy));
    pBrush->SetValue(CXTPMarkupLinearGradientBrush::m_pEndPointProperty, new CXTPMarkupPoint(ex, ey));
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

// --- Solid fills and outlines ---------------------------------------------

TEST(PainterFillTest, SolidFillsCoverTheRectangleInTheCurrentOrigin)
{
    CDibCanvas canvas(40, 30, kPaper);
    SetBkColor(canvas.GetDC(), RGB(1, 2, 3));
    {
        CXTPMarkupPainter painter(canvas.GetDC());
        const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{10, 5});
        painter.FillSolidRect(2, 3, 6, 5, RGB(200, 0, 0));
        painter.SetViewportOrigin(ptPrevious);
    }
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{12, 8, 16, 10}, RGB(200, 0, 0)));
    // The fill borrows the background colour and gives it back; the mode
    // stays transparent so that text draws no cell background.
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(canvas.GetDC()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.GetDC()));

    // A brush fills the same way; an unset colour, a null brush and empty or
    // inverted rectangles paint nothing.
    canvas.Fill(kPaper);
    Ptr<CXTPMarkupSolidColorBrush> green(new CXTPMarkupSolidColorBrush(RGB(0, 255, 0)));
    Ptr<CXTPMarkupSolidColorBrush> unset(new CXTPMarkupSolidColorBrush());
    CXTPMarkupPainter painter(canvas.GetDC());
    painter.FillRectangle(green.Get(), RECT{0, 0, 3, 2});
    painter.FillRectangle(unset.Get(), RECT{0, 0, 40, 30});
    painter.FillRectangle(nullptr, RECT{0, 0, 40, 30});
    painter.FillRectangle(green.Get(), RECT{20, 20, 20, 25});
    painter.FillRectangle(green.Get(), RECT{30, 20, 25, 25});
    painter.FillSolidRect(30, 25, 35, 20, RGB(0, 255, 0));
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{0, 0, 3, 2}, RGB(0, 255, 0)));
}

TEST(PainterFillTest, OutlinesAreOnePixelInsideTheRectangle)
{
    CDibCanvas canvas(20, 20, kPaper);
    Ptr<CXTPMarkupSolidColorBrush> red(new CXTPMarkupSolidColorBrush(RGB(255, 0, 0)));
    CXTPMarkupPainter painter(canvas.GetDC());
    painter.DrawRectangle(red.Get(), 2, 3, 8, 7);
    for (int y = 0; y < 20; ++y)
    {
        for (int x = 0; x < 20; ++x)
        {
            const bool bInside = x >= 2 && x < 8 && y >= 3 && y < 7;
            const bool bEdge = bInside && (x == 2 || x == 7 || y == 3 || y == 6);
            EXPECT_EQ(bEdge ? RGB(255, 0, 0) : kPaper, At(canvas, x, y)) << x << "," << y;
        }
    }
}

// --- Origin and clipping ---------------------------------------------------

TEST(PainterBracketTest, OriginOffsetsAccumulateAndTheClipBoxFollows)
{
    CDibCanvas canvas(100, 50, kPaper);
    CXTPMarkupPainter painter(canvas.GetDC());
    const RECT rcCanvas = {0, 0, 100, 50};
    EXPECT_TRUE(EqualRect(&painter.GetClipBox(), &rcCanvas));

    const POINT ptOuter = painter.OffsetViewportOrigin(POINT{5, 7});
    const POINT ptInner = painter.OffsetViewportOrigin(POINT{3, 1});
    EXPECT_EQ(0, ptOuter.x);
    EXPECT_EQ(0, ptOuter.y);
    EXPECT_EQ(5, ptInner.x);
    EXPECT_EQ(7, ptInner.y);
    EXPECT_EQ(-8, painter.GetClipBox().left);
    EXPECT_EQ(-8, painter.GetClipBox().top);
    EXPECT_EQ(92, painter.GetClipBox().right);
    EXPECT_EQ(42, painter.GetClipBox().bottom);

    painter.SetViewportOrigin(ptInner);
    painter.SetViewportOrigin(ptOuter);
    POINT ptDC;
    GetViewportOrgEx(canvas.GetDC(), &ptDC);
    EXPECT_EQ(0, ptDC.x);
    EXPECT_EQ(0, ptDC.y);
    EXPECT_EQ(0, painter.GetClipBox().left);

    // Applying an origin moves the DC but not the painter's record.
    painter.ApplyViewportOrigin(POINT{4, 4});
    GetViewportOrgEx(canvas.GetDC(), &ptDC);
    EXPECT_EQ(4, ptDC.x);
    EXPECT_EQ(0, painter.GetViewportOrigin().x);
}

TEST(PainterBracketTest, LogicalOffsetsAreScaledByTheMapping)
{
    CDibCanvas canvas(100, 100, kPaper);
    SetMapMode(canvas.GetDC(), MM_ANISOTROPIC);
    SetWindowExtEx(canvas.GetDC(), 1, -1, nullptr);
    SetViewportExtEx(canvas.GetDC(), 2, 3, nullptr);
    CXTPMarkupPainter painter(canvas.GetDC());
    const SIZE sz = painter.LogicalToDevice(SIZE{5, 4});
    EXPECT_EQ(10, sz.cx);
    EXPECT_EQ(12, sz.cy); // extents count without their sign
    painter.OffsetViewportOrigin(POINT{5, 4});
    POINT ptDC;
    GetViewportOrgEx(canvas.GetDC(), &ptDC);
    EXPECT_EQ(10, ptDC.x);
    EXPECT_EQ(12, ptDC.y);
}

TEST(PainterBracketTest, ClipBracketsNarrowDrawingAndPutTheClippingBack)
{
    CDibCanvas canvas(60, 40, kPaper);
    HDC hDC = canvas.GetDC();
    CXTPMarkupPainter painter(hDC);

    // A DC without clipping: the marker comes back, and restoring it removes
    // every clip region again.
    HRGN hrgnSaved = painter.SaveClipRegion();
    EXPECT_EQ(CXTPMarkupPainter::NoClipRegion(), hrgnSaved);
    painter.OffsetViewportOrigin(POINT{10, 10});
    painter.IntersectClipRect(RECT{0, 0, 5, 4});
    EXPECT_EQ(0, painter.GetClipBox().left);
    EXPECT_EQ(5, painter.GetClipBox().right);
    painter.FillSolidRect(-10, -10, 50, 30, RGB(0, 0, 255));
    painter.RestoreClipRegion(hrgnSaved);
    painter.SetViewportOrigin(POINT{0, 0});
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{10, 10, 15, 14}, RGB(0, 0, 255)));
    CXTPGdiObject<HRGN> probe(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(0, GetClipRgn(hDC, probe.Get()));
    EXPECT_EQ(60, painter.GetClipBox().right);

    // A DC clipped already: the saved region is a copy that comes back as it was.
    canvas.Fill(kPaper);
    CXTPGdiObject<HRGN> outer(CreateRectRgn(0, 0, 30, 20));
    SelectClipRgn(hDC, outer.Get());
    painter.RestoreClipRegion(nullptr); // nothing saved: nothing happens
    painter.IntersectClipRect(RECT{0, 0, 60, 40}); // reads the clip box again
    EXPECT_EQ(30, painter.GetClipBox().right);
    hrgnSaved = painter.SaveClipRegion();
    ASSERT_NE(nullptr, hrgnSaved);
    ASSERT_NE(CXTPMarkupPainter::NoClipRegion(), hrgnSaved);
    painter.IntersectClipRect(RECT{20, 0, 60, 40});
    painter.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
    painter.RestoreClipRegion(hrgnSaved);
    EXPECT_TRUE(OnlyRectHas(canvas, RECT{20, 0, 30, 20}, RGB(0, 0, 255)));
    ASSERT_EQ(1, GetClipRgn(hDC, probe.Get()));
    EXPECT_TRUE(EqualRgn(probe.Get(), outer.Get()));
    EXPECT_EQ(OBJ_REGION, GetObjectType(outer.Get())); // the caller's region is untouched
}

// --- Linear gradients, by both drawing paths --------------------------------

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

    void Prepare(CXTPMarkupPainter& painter)
    {
        if (GetParam() == EPath::Bitmap)
            painter.SetGradientFill(nullptr);
    }

    void Fill(CXTPMarkupBrush* pBrush, const RECT& rc)
    {
        CXTPMarkupPainter painter(m_canvas.GetDC());
        Prepare(painter);
        painter.FillRectangle(pBrush, rc);
    }

    // GradientFill interpolates 16-bit channels, the bitmap truncates exact
    // blends: the two agree within one step.
    int Tolerance() const { return GetParam() == EPath::Bitmap ? 0 : 1; }

    ::testing::AssertionResult Expect(int x, int y, COLORREF clr) const
    {
        if (Near(At(m_canvas, x, y), clr, Tolerance()))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << Describe(At(m_canvas, x, y))
                                             << ", expected " << Describe(clr);
    }

    CDibCanvas m_canvas;
};

COLORREF Gray(int n)
{
    return RGB(n, n, n);
}

TEST_P(PainterGradientTest, AxisGradientsTakeEachPixelsColourOneRowBelowIt)
{
    // Black to white over four pixels: 1/4 of the way is 63.75, truncated.
    struct
    {
        const char* pszName;
        double sx, sy, ex, ey;
        COLORREF clr[4]; // down the rows, or along the columns
    } const kCases[] = {
        {"down", 0, 0, 0, 1, {Gray(63), Gray(127), Gray(191), Gray(255)}},
        {"up", 0, 1, 0, 0, {Gray(191), Gray(127), Gray(63), Gray(0)}},
        {"right", 0, 0, 1, 0, {Gray(0), Gray(63), Gray(127), Gray(191)}},
        {"left", 1, 0, 0, 0, {Gray(255), Gray(191), Gray(127), Gray(63)}},
    };
    for (const auto& c : kCases)
    {
        m_canvas.Fill(kPaper);
        Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}});
        SetPoints(brush.Get(), c.sx, c.sy, c.ex, c.ey);
        Fill(brush.Get(), RECT{5, 6, 9, 10});
        const bool bVertical = c.sx == c.ex;
        for (int i = 0; i < 4; ++i)
        {
            for (int j = 0; j < 4; ++j)
                EXPECT_TRUE(bVertical ? Expect(5 + j, 6 + i, c.clr[i]) : Expect(5 + i, 6 + j, c.clr[i])) << c.pszName;
        }
        EXPECT_EQ(kPaper, At(m_canvas, 4, 6)) << c.pszName;
        EXPECT_EQ(kPaper, At(m_canvas, 9, 9)) << c.pszName;
        EXPECT_EQ(kPaper, At(m_canvas, 5, 10)) << c.pszName;
    }
}

TEST_P(PainterGradientTest, WithoutEndPointsTheGradientRunsCornerToCorner)
{
    Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}});
    Fill(brush.Get(), RECT{0, 0, 4, 4});
    // t = (x + y + 1) / 8: constant along each anti-diagonal.
    EXPECT_TRUE(Expect(0, 0, Gray(31)));
    EXPECT_TRUE(Expect(3, 0, Gray(127)));
    EXPECT_TRUE(Expect(1, 2, Gray(127)));
    EXPECT_TRUE(Expect(0, 3, Gray(127)));
    EXPECT_TRUE(Expect(3, 3, Gray(223)));
}

TEST_P(PainterGradientTest, StopsAreSortedAndEqualOffsetsMakeTheColourJump)
{
    // Written out of order; blue and lime share 0.5 in this order.
    Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{RGB(255, 255, 255), 1.0},
                                                         {RGB(255, 0, 0), 0.0},
                                                         {RGB(0, 0, 255), 0.5},
                                                         {RGB(0, 255, 0), 0.5}});
    SetPoints(brush.Get(), 0, 0, 0, 1);
    Fill(brush.Get(), RECT{0, 0, 2, 8}); // t = (y + 1) / 8
    EXPECT_TRUE(Expect(0, 0, RGB(191, 0, 63)));
    EXPECT_TRUE(Expect(1, 2, RGB(63, 0, 191)));
    EXPECT_TRUE(Expect(0, 3, RGB(0, 255, 0)));
    EXPECT_TRUE(Expect(1, 4, RGB(63, 255, 63)));
    EXPECT_TRUE(Expect(0, 7, RGB(255, 255, 255)));
}

TEST_P(PainterGradientTest, BeyondTheOuterStopsTheEndColoursStaySolid)
{
    Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{RGB(255, 0, 0), 0.2}, {RGB(0, 0, 255), 0.8}});
    SetPoints(brush.Get(), 0, 0, 1, 0);
    Fill(brush.Get(), RECT{0, 0, 10, 3}); // t = x / 10
    for (int x : {0, 1, 2})
        EXPECT_TRUE(Expect(x, 1, RGB(255, 0, 0)));
    EXPECT_TRUE(Expect(5, 1, RGB(127, 0, 127)));
    for (int x : {8, 9})
        EXPECT_TRUE(Expect(x, 1, RGB(0, 0, 255)));
}

TEST_P(PainterGradientTest, GradientsWithoutAnythingToBlendPaintNothingOrOneColour)
{
    Ptr<CXTPMarkupLinearGradientBrush> empty = Gradient({});
    Fill(empty.Get(), RECT{0, 0, 40, 30});
    Ptr<CXTPMarkupLinearGradientBrush> pointless = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    SetPoints(pointless.Get(), 0.5, 0.5, 0.5, 0.5);
    Fill(pointless.Get(), RECT{0, 0, 40, 30});
    Ptr<CXTPMarkupLinearGradientBrush> flat = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    Fill(flat.Get(), RECT{10, 10, 10, 20});
    Fill(flat.Get(), RECT{20, 20, 10, 10});
    EXPECT_TRUE(OnlyRectHas(m_canvas, RECT{0, 0, 0, 0}, 0));

    Ptr<CXTPMarkupLinearGradientBrush> single = Gradient({{RGB(0, 128, 0), 0.7}});
    Fill(single.Get(), RECT{3, 4, 13, 9});
    EXPECT_TRUE(OnlyRectHas(m_canvas, RECT{3, 4, 13, 9}, RGB(0, 128, 0)));
}

TEST_P(PainterGradientTest, OnlyTheVisiblePartChangesAndKeepsItsColours)
{
    const RECT rcFill = {-5, -3, 27, 19}; // in the element's coordinates
    const RECT rcClip = {4, 2, 15, 11};
    for (int nDirection = 0; nDirection < 3; ++nDirection)
    {
        Ptr<CXTPMarkupLinearGradientBrush> brush =
            Gradient({{RGB(255, 0, 0), 0.1}, {RGB(0, 255, 0), 0.6}, {RGB(0, 0, 255), 0.9}});
        if (nDirection == 0)
            SetPoints(brush.Get(), 0, 0, 0, 1);
        else if (nDirection == 1)
            SetPoints(brush.Get(), 1, 0, 0, 0);

        CDibCanvas whole(40, 30, kPaper);
        {
            CXTPMarkupPainter painter(whole.GetDC());
            Prepare(painter);
            painter.OffsetViewportOrigin(POINT{6, 5});
            painter.FillRectangle(brush.Get(), rcFill);
        }
        m_canvas.Fill(kPaper);
        {
            CXTPMarkupPainter painter(m_canvas.GetDC());
            Prepare(painter);
            const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{6, 5});
            HRGN hrgn = painter.SaveClipRegion();
            painter.IntersectClipRect(rcClip);
            painter.FillRectangle(brush.Get(), rcFill);
            painter.RestoreClipRegion(hrgn);
            painter.SetViewportOrigin(ptPrevious);
        }
        for (int y = 0; y < 30; ++y)
        {
            for (int x = 0; x < 40; ++x)
            {
                const bool bVisible = x >= 10 && x < 21 && y >= 7 && y < 16;
                if (bVisible)
                    EXPECT_TRUE(Expect(x, y, At(whole, x, y))) << "direction " << nDirection;
                else
                    EXPECT_EQ(kPaper, At(m_canvas, x, y)) << "direction " << nDirection << " pixel " << x << "," << y;
            }
        }
    }
}

TEST_P(PainterGradientTest, EachOutlineEdgeIsAGradientOfItsOwn)
{
    Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{Gray(0), 0.0}, {Gray(255), 1.0}});
    SetPoints(brush.Get(), 0, 0, 1, 0);
    CXTPMarkupPainter painter(m_canvas.GetDC());
    Prepare(painter);
    painter.DrawRectangle(brush.Get(), 0, 0, 8, 6);
    const int kRamp[8] = {0, 31, 63, 95, 127, 159, 191, 223};
    for (int x = 1; x < 7; ++x)
    {
        EXPECT_TRUE(Expect(x, 0, Gray(kRamp[x])));
        EXPECT_TRUE(Expect(x, 5, Gray(kRamp[x])));
    }
    // The side edges are one pixel wide: their gradient never leaves black.
    for (int y = 0; y < 6; ++y)
    {
        EXPECT_TRUE(Expect(0, y, Gray(0)));
        EXPECT_TRUE(Expect(7, y, Gray(0)));
    }
    EXPECT_EQ(kPaper, At(m_canvas, 3, 3));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, PainterGradientTest, ::testing::Values(EPath::GradientFill, EPath::Bitmap),
                         [](const ::testing::TestParamInfo<EPath>& info) {
                             return info.param == EPath::Bitmap ? "Bitmap" : "GradientFill";
                         });

// A stand-in for msimg32's GradientFill that counts its calls.
int g_nGradientFillCalls = 0;
BOOL g_bGradientFillFails = FALSE;

BOOL WINAPI CountingGradientFill(HDC hDC, PTRIVERTEX pVertices, ULONG nVertices, PVOID pMesh, ULONG nMesh,
                                 ULONG nMode)
{
    ++g_nGradientFillCalls;
    if (g_bGradientFillFails)
        return FALSE;
    return CXTPMsimg32Functions::Get().m_pfnGradientFill(hDC, pVertices, nVertices, pMesh, nMesh, nMode);
}

TEST(PainterGradientPathTest, GradientFillDrawsAxisGradientsAndFailuresFallBack)
{
    if (!CXTPMsimg32Functions::Get().m_pfnGradientFill)
        GTEST_SKIP() << "this system has no GradientFill";
    Ptr<CXTPMarkupLinearGradientBrush> vertical = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    SetPoints(vertical.Get(), 0, 0, 0, 1);
    Ptr<CXTPMarkupLinearGradientBrush> diagonal = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});

    CDibCanvas reference(20, 20, kPaper);
    {
        CXTPMarkupPainter painter(reference.GetDC());
        painter.SetGradientFill(nullptr);
        painter.FillRectangle(vertical.Get(), RECT{0, 0, 20, 20});
    }

    CDibCanvas canvas(20, 20, kPaper);
    CXTPMarkupPainter painter(canvas.GetDC());
    painter.SetGradientFill(&CountingGradientFill);
    g_nGradientFillCalls = 0;
    g_bGradientFillFails = FALSE;
    painter.FillRectangle(vertical.Get(), RECT{0, 0, 20, 20});
    painter.FillRectangle(diagonal.Get(), RECT{0, 0, 0, 0});
    painter.FillRectangle(diagonal.Get(), RECT{30, 30, 40, 40}); // outside the DC
    EXPECT_EQ(1, g_nGradientFillCalls);
    painter.FillRectangle(diagonal.Get(), RECT{0, 0, 5, 5});
    EXPECT_EQ(1, g_nGradientFillCalls);

    // A GradientFill that refuses leaves the work to the bitmap.
    g_bGradientFillFails = TRUE;
    painter.FillRectangle(vertical.Get(), RECT{0, 0, 20, 20});
    EXPECT_EQ(2, g_nGradientFillCalls);
    g_bGradientFillFails = FALSE;
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(At(reference, 7, y), At(canvas, 7, y)) << y;
}

TEST(PainterGradientPathTest, BothPathsAgreeOnManyStopsInEveryAxisDirection)
{
    if (!CXTPMsimg32Functions::Get().m_pfnGradientFill)
        GTEST_SKIP() << "this system has no GradientFill";
    const double kPoints[4][4] = {{0, 0.1, 0, 0.9}, {0, 1.2, 0, -0.3}, {-0.2, 0, 0.7, 0}, {1, 0, 0.25, 0}};
    for (const auto& p : kPoints)
    {
        Ptr<CXTPMarkupLinearGradientBrush> brush = Gradient({{RGB(0, 0, 0), 0.0},
                                                             {RGB(250, 10, 90), 0.3},
                                                             {RGB(20, 240, 30), 0.3},
                                                             {RGB(90, 90, 255), 0.75},
                                                             {RGB(255, 255, 255), 1.0}});
        SetPoints(brush.Get(), p[0], p[1], p[2], p[3]);
        CDibCanvas bitmap(97, 61, kPaper);
        CDibCanvas fill(97, 61, kPaper);
        {
            CXTPMarkupPainter painter(bitmap.GetDC());
            painter.SetGradientFill(nullptr);
            painter.FillRectangle(brush.Get(), RECT{3, 2, 94, 59});
        }
        {
            CXTPMarkupPainter painter(fill.GetDC());
            painter.FillRectangle(brush.Get(), RECT{3, 2, 94, 59});
        }
        int nDifferent = 0;
        for (int y = 0; y < 61; ++y)
        {
            for (int x = 0; x < 97; ++x)
                nDifferent += !Near(At(bitmap, x, y), At(fill, x, y), 1);
        }
        EXPECT_EQ(0, nDifferent) << p[0] << "," << p[1] << " to " << p[2] << "," << p[3];
    }
}

// --- Fonts and text ---------------------------------------------------------

TEST(PainterTextTest, SetFontPutsTheDcsOwnFontBackInTheEnd)
{
    CDibCanvas canvas(10, 10, kPaper);
    HDC hDC = canvas.GetDC();
    const HGDIOBJ hOriginal = GetCurrentObject(hDC, OBJ_FONT);
    Ptr<CXTPMarkupCachedFont> small(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupCachedFont> large(new CXTPMarkupCachedFont(TestFont(-24)));
    {
        CXTPMarkupPainter painter(hDC);
        painter.SetFont(small.Get());
        painter.SetFont(small.Get());
        EXPECT_EQ(small->GetFont(), GetCurrentObject(hDC, OBJ_FONT));
        EXPECT_EQ(2, small->GetRefCount());
        painter.SetFont(large.Get());
        EXPECT_EQ(large->GetFont(), GetCurrentObject(hDC, OBJ_FONT));
        EXPECT_EQ(1, small->GetRefCount());
        EXPECT_EQ(large.Get(), painter.GetFont());
        painter.SetFont(nullptr);
        EXPECT_EQ(hOriginal, GetCurrentObject(hDC, OBJ_FONT));
        EXPECT_EQ(1, large->GetRefCount());

        painter.SetFont(large.Get()); // the painter's end puts it back too
    }
    EXPECT_EQ(hOriginal, GetCurrentObject(hDC, OBJ_FONT));
    EXPECT_EQ(1, large->GetRefCount());
}

TEST(PainterTextTest, ExtentsFollowTheTextAndTheFont)
{
    Ptr<CXTPMarkupCachedFont> small(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupCachedFont> large(new CXTPMarkupCachedFont(TestFont(-24)));
    CXTPMarkupPainter measuring;
    ASSERT_NE(nullptr, measuring.GetHdc());
    measuring.SetFont(small.Get());
    const SIZE szM = measuring.GetTextExtent(L"M", 1);
    const SIZE szMM = measuring.GetTextExtent(L"MMi", 2); // only the count is measured
    EXPECT_GT(szM.cx, 0);
    EXPECT_EQ(2 * szM.cx, szMM.cx);
    TEXTMETRICW tm;
    ASSERT_TRUE(measuring.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, szM.cy);
    EXPECT_EQ(0, measuring.GetTextExtent(L"M", 0).cx);

    measuring.SetFont(large.Get());
    const SIZE szLarge = measuring.GetTextExtent(L"M", 1);
    EXPECT_GT(szLarge.cx, szM.cx);
    EXPECT_GT(szLarge.cy, szM.cy);
    EXPECT_GT(measuring.GetTextExtent(L"\x540C\x6B65", 2).cx, 0); // Chinese text has width

    // Measuring and painting painters agree.
    CDibCanvas canvas(10, 10, kPaper);
    CXTPMarkupPainter painting(canvas.GetDC());
    painting.SetFont(large.Get());
    EXPECT_EQ(szLarge.cx, painting.GetTextExtent(L"M", 1).cx);
    EXPECT_EQ(szLarge.cy, painting.GetTextExtent(L"M", 1).cy);
}

TEST(PainterTextTest, TextStartsAtTheRectanglesCornerWithoutClippingOrBackground)
{
    CDibCanvas canvas(200, 60, RGB(255, 255, 255));
    Ptr<CXTPMarkupCachedFont> font(new CXTPMarkupCachedFont(TestFont(-20, FW_BOLD)));
    CXTPMarkupPainter painter(canvas.GetDC());
    painter.SetFont(font.Get());
    painter.SetTextColor(RGB(255, 0, 0));
    painter.OffsetViewportOrigin(POINT{10, 5});
    const SIZE sz = painter.GetTextExtent(L"Hello", 5);
    painter.DrawTextLine(L"Hello", 5, RECT{20, 10, 21, 11}); // far smaller than the text
    GdiFlush();

    const RECT rcInk = ChangedBounds(canvas, RGB(255, 255, 255));
    ASSERT_FALSE(IsRectEmpty(&rcInk));
    // The ink lies in the text's cell, whose corner is (30, 15) on the DC.
    EXPECT_GE(rcInk.left, 30);
    EXPECT_LE(rcInk.left, 30 + sz.cx / 5);
    EXPECT_GE(rcInk.top, 15);
    EXPECT_LE(rcInk.right, 30 + sz.cx + 1);
    EXPECT_GT(rcInk.right, 30 + sz.cx / 2);
    EXPECT_LE(rcInk.bottom, 15 + sz.cy);
    // No cell background: white remains between the letters.
    int nInk = 0, nRed = 0;
    for (int y = rcInk.top; y < rcInk.bottom; ++y)
    {
        for (int x = rcInk.left; x < rcInk.right; ++x)
        {
            nInk += At(canvas, x, y) != RGB(255, 255, 255);
            nRed += At(canvas, x, y) == RGB(255, 0, 0);
        }
    }
    EXPECT_LT(nInk, (rcInk.right - rcInk.left) * (rcInk.bottom - rcInk.top));
    EXPECT_EQ(nInk, nRed); // unsmoothed glyphs in the DC's text colour
}

TEST(PainterTextTest, CachedFontsMatchByTheFieldsThatShapeGlyphs)
{
    CXTPMarkupFontList list;
    const LOGFONTA lf = TestFont(-13);
    CXTPMarkupCachedFont* pFirst = new CXTPMarkupCachedFont(lf, &list);
    LOGFONTA bold = lf;
    bold.lfWeight = FW_BOLD;
    CXTPMarkupCachedFont* pSecond = new CXTPMarkupCachedFont(bold, &list);
    CXTPMarkupCachedFont* pThird = new CXTPMarkupCachedFont(TestFont(-20), &list);
    ASSERT_NE(nullptr, pFirst->GetFont());

    LOGFONTA same = lf;
    same.lfUnderline = TRUE;
    same.lfStrikeOut = TRUE;
    same.lfWidth = 7;
    same.lfCharSet = GB2312_CHARSET;
    EXPECT_EQ(pFirst, list.Find(same));
    EXPECT_EQ(pSecond, list.Find(bold));
    for (int nField = 0; nField < 3; ++nField)
    {
        LOGFONTA other = lf;
        if (nField == 0)
            other.lfItalic = TRUE;
        else if (nField == 1)
            other.lfQuality = CLEARTYPE_QUALITY;
        else
            strcpy(other.lfFaceName, "tahoma"); // face names compare case-sensitively
        EXPECT_EQ(nullptr, list.Find(other)) << nField;
    }

    // A font leaves the list, and deletes its HFONT, with its last reference.
    const HFONT hSecond = pSecond->GetFont();
    pSecond->Release();
    EXPECT_EQ(0u, GetObjectType(hSecond));
    EXPECT_EQ(pThird, pFirst->GetNextFont());
    pThird->Release();
    EXPECT_EQ(pFirst, list.GetTail());
    EXPECT_EQ(nullptr, pFirst->GetNextFont());
    pFirst->Release();
    EXPECT_EQ(nullptr, list.GetHead());
    EXPECT_EQ(nullptr, list.GetTail());
}

// --- Resources --------------------------------------------------------------

TEST(PainterLeakTest, AThousandPassesLeaveNoGdiObjectsBehind)
{
    CDibCanvas canvas(64, 48, kPaper);
    Ptr<CXTPMarkupCachedFont> font(new CXTPMarkupCachedFont(TestFont(-12)));
    Ptr<CXTPMarkupSolidColorBrush> solid(new CXTPMarkupSolidColorBrush(RGB(1, 2, 3)));
    Ptr<CXTPMarkupLinearGradientBrush> diagonal = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    Ptr<CXTPMarkupLinearGradientBrush> vertical = Gradient({{RGB(255, 0, 0), 0.0}, {RGB(0, 0, 255), 1.0}});
    SetPoints(vertical.Get(), 0, 0, 0, 1);
    CXTPGdiObject<HRGN> outer(CreateRectRgn(0, 0, 50, 40));

    auto pass = [&](int i) {
        SelectClipRgn(canvas.GetDC(), i % 2 ? outer.Get() : nullptr);
        CXTPMarkupPainter painter(canvas.GetDC());
        if (i % 3 == 0)
            painter.SetGradientFill(nullptr);
        const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{3, 2});
        HRGN hrgn = painter.SaveClipRegion();
        painter.IntersectClipRect(RECT{0, 0, 40, 30});
        painter.FillRectangle(solid.Get(), RECT{0, 0, 10, 10});
        painter.FillRectangle(diagonal.Get(), RECT{5, 5, 35, 25});
        painter.FillRectangle(vertical.Get(), RECT{5, 5, 35, 25});
        painter.DrawRectangle(vertical.Get(), 1, 1, 30, 20);
        painter.SetFont(font.Get());
        painter.DrawTextLine(L"12:00", 5, RECT{2, 2, 40, 20});
        painter.RestoreClipRegion(hrgn);
        painter.SetViewportOrigin(ptPrevious);

        CXTPMarkupPainter measuring;
        measuring.SetFont(font.Get());
        measuring.GetTextExtent(L"12:00", 5);
    };
    pass(0); // first-use allocations of the system happen here
    pass(1);
    SelectClipRgn(canvas.GetDC(), nullptr);
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 1000; ++i)
        pass(i);
    SelectClipRgn(canvas.GetDC(), nullptr);
    EXPECT_EQ(nBefore, CountGdiObjects());
}
} // namespace

// Shapes on real pixels: stroke and fill of every figure, the polyline's
// stretch, what stays undrawn; their sizes in layout; hit testing inside and
// outside the figure; the point list's text form; GDI objects after many
// passes.
#include "ElementTestSupport.h"

#include "markup/elements/PointCollection.h"
#include "markup/elements/Shape.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// The named colour "Green".
const COLORREF kNamedGreen = RGB(0, 128, 0);

// Renders the markup, aligned top-left, on a black canvas.
std::unique_ptr<CDibCanvas> Draw(const char* pszMarkup, int cx, int cy)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(pszMarkup);
    EXPECT_TRUE(root) << pszMarkup;
    auto canvas = std::make_unique<CDibCanvas>(cx, cy);
    if (root)
        Paint(root.Get(), *canvas);
    return canvas;
}

void ExpectDrawing(const char* pszMarkup, int cx, int cy, const std::vector<Probe>& probes)
{
    SCOPED_TRACE(pszMarkup);
    ExpectPixels(*Draw(pszMarkup, cx, cy), probes);
}

TEST(ShapeDrawingTest, RectangleStrokeLiesInsideOverTheFill)
{
    ExpectDrawing("<Rectangle Width='20' Height='10' Stroke='Red' StrokeThickness='3' Fill='Blue' "
                  "HorizontalAlignment='Left' VerticalAlignment='Top'/>",
                  30, 20,
                  {{0, 0, kRed},
                   {2, 5, kRed},
                   {3, 3, kBlue},
                   {16, 6, kBlue},
                   {17, 5, kRed},
                   {19, 9, kRed},
                   {10, 2, kRed},
                   {10, 7, kRed},
                   {20, 5, kBlack},
                   {10, 10, kBlack}});
    // A stroke alone leaves the inside as it was.
    ExpectDrawing("<Rectangle Width='20' Height='10' Stroke='Red' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  30, 20, {{0, 0, kRed}, {19, 9, kRed}, {1, 1, kBlack}, {10, 5, kBlack}});
}

TEST(ShapeDrawingTest, EllipsePolygonAndLine)
{
    ExpectDrawing("<Ellipse Width='40' Height='20' Fill='Red' HorizontalAlignment='Left' VerticalAlignment='Top'/>", 50,
                  30, {{20, 10, kRed}, {2, 10, kRed}, {1, 1, kBlack}, {38, 18, kBlack}, {45, 10, kBlack}});
    ExpectDrawing("<Ellipse Width='40' Height='20' Stroke='Blue' StrokeThickness='2' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  50, 30, {{20, 0, kBlue}, {0, 10, kBlue}, {20, 10, kBlack}});
    // The polygon closes itself; its outline is drawn over the fill.
    ExpectDrawing("<Polygon Points='0,0 20,0 0,20' Fill='Green' HorizontalAlignment='Left' VerticalAlignment='Top'/>",
                  30, 30, {{3, 3, kNamedGreen}, {8, 8, kNamedGreen}, {18, 18, kBlack}, {25, 2, kBlack}});
    ExpectDrawing("<Polygon Points='2,2 20,2 20,20 2,20' Stroke='Red' Fill='Blue' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  30, 30, {{2, 10, kRed}, {10, 2, kRed}, {10, 10, kBlue}, {1, 1, kBlack}});
    ExpectDrawing("<Line X1='0' Y1='5' X2='30' Y2='5' Stroke='Red' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  40, 10, {{0, 5, kRed}, {10, 5, kRed}, {29, 5, kRed}, {10, 6, kBlack}, {10, 4, kBlack}});
    ExpectDrawing("<Line X1='5' Y1='0' X2='5' Y2='20' Stroke='Red' StrokeThickness='3' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  20, 30, {{4, 10, kRed}, {5, 10, kRed}, {6, 10, kRed}, {8, 10, kBlack}});
}

TEST(ShapeDrawingTest, OnlyThePolylineStretchesItsPoints)
{
    const char* pszStretched = "<Polyline Points='0,0 10,10' Stretch='Fill' Stroke='Red' Width='40' Height='20' "
                               "HorizontalAlignment='Left' VerticalAlignment='Top'/>";
    ExpectDrawing(pszStretched, 50, 30, {{0, 0, kRed}, {10, 5, kRed}, {20, 10, kRed}, {5, 5, kBlack}});
    const char* pszPlain = "<Polyline Points='0,0 10,10' Stroke='Red' Width='40' Height='20' "
                           "HorizontalAlignment='Left' VerticalAlignment='Top'/>";
    ExpectDrawing(pszPlain, 50, 30, {{0, 0, kRed}, {5, 5, kRed}, {9, 9, kRed}, {20, 10, kBlack}});
    // The polygon draws its points as they are, and the polyline never fills.
    ExpectDrawing("<Polygon Points='0,0 10,0 10,10' Stretch='Fill' Fill='Blue' Width='40' Height='40' "
                  "HorizontalAlignment='Left' VerticalAlignment='Top'/>",
                  50, 50, {{8, 2, kBlue}, {30, 5, kBlack}});
    ExpectDrawing("<Polyline Points='0,0 20,0 20,20' Stroke='Red' Fill='Blue' HorizontalAlignment='Left' "
                  "VerticalAlignment='Top'/>",
                  30, 30, {{10, 0, kRed}, {20, 10, kRed}, {15, 5, kBlack}});
}

TEST(ShapeDrawingTest, FiguresWithNothingToDrawLeaveThePixels)
{
    for (const char* pszMarkup : {
             "<Line X1='0' Y1='0' X2='0' Y2='0' Stroke='Red' StrokeThickness='5'/>",
             "<Line X1='0' Y1='5' X2='20' Y2='5' Stroke='Red' StrokeThickness='0'/>",
             "<Line X1='0' Y1='5' X2='20' Y2='5'/>",
             "<Polyline Points='0,0 20,20' Fill='Red'/>",
             "<Polygon Points='' Fill='Red' Stroke='Red'/>",
             "<Rectangle Width='0' Height='10' Fill='Red'/>",
             "<Ellipse Width='20' Height='20'/>",
         })
    {
        const auto canvas = Draw(pszMarkup, 30, 30);
        EXPECT_EQ(0, canvas->Count(kRed, RECT{0, 0, 30, 30})) << pszMarkup;
        EXPECT_EQ(0, canvas->Count(RGB(255, 255, 255), RECT{0, 0, 30, 30})) << pszMarkup;
    }
}

// Pens and figures far larger than the canvas draw in no time what a figure
// of ordinary size draws where the two coincide.
TEST(ShapeDrawingTest, HugePensAndFiguresDrawOnlyWhatIsVisibleAndQuickly)
{
    const char kTopLeft[] = " HorizontalAlignment='Left' VerticalAlignment='Top'/>";
    const struct
    {
        std::string strHuge;
        std::string strOrdinary; // the same pixels in the probed band
        RECT rcBand;
        int nEdgeTolerance = 0; // pixels on slanted edges that may round the other way
    } cases[] = {
        {"<Line X1='0' Y1='50' X2='50' Y2='50' Stroke='Red' StrokeThickness='3000000'",
         "<Rectangle Width='200' Height='100' Fill='Red'",
         {0, 0, 200, 100}},
        {"<Polyline Points='0,50 100000000,50' Stroke='Blue' StrokeThickness='21'",
         "<Polyline Points='0,50 300,50' Stroke='Blue' StrokeThickness='21'",
         {20, 0, 180, 100}},
        {"<Line X1='0' Y1='0' X2='100000000' Y2='100000000' Stroke='Blue' StrokeThickness='9'",
         "<Line X1='0' Y1='0' X2='300' Y2='300' Stroke='Blue' StrokeThickness='9'",
         {10, 10, 90, 90},
         2 * 80},
        {"<Polygon Points='0,0 100000000,0 0,100000000' Fill='Green' Stroke='Red' StrokeThickness='4'",
         "<Polygon Points='0,0 1000,0 0,1000' Fill='Green' Stroke='Red' StrokeThickness='4'",
         {0, 0, 200, 100}},
        {"<Ellipse Width='100000000' Height='100000000' Fill='Green' Margin='-49999904,-49999952,0,0'",
         "<Rectangle Width='200' Height='100' Fill='Green'",
         {0, 0, 200, 100}},
        {"<Ellipse Width='100000000' Height='100000000' Stroke='Red' StrokeThickness='3000000' "
         "Margin='-49999904,0,0,0'",
         "<Rectangle Width='200' Height='100' Fill='Red'",
         {0, 0, 200, 100}},
    };
    for (const auto& c : cases)
    {
        const ULONGLONG nStart = GetTickCount64();
        auto huge = Draw((c.strHuge + kTopLeft).c_str(), 200, 100);
        EXPECT_LT(GetTickCount64() - nStart, 1000u) << c.strHuge;
        auto ordinary = Draw((c.strOrdinary + kTopLeft).c_str(), 200, 100);
        int nDiffering = 0;
        for (int y = c.rcBand.top; y < c.rcBand.bottom; y++)
        {
            for (int x = c.rcBand.left; x < c.rcBand.right; x++)
                nDiffering += huge->Color(x, y) != ordinary->Color(x, y);
        }
        EXPECT_LE(nDiffering, c.nEdgeTolerance) << c.strHuge;
    }

    // The edge of a circle 10^8 pixels wide crosses the canvas near x = 96.
    // (GDI keeps origins as floats, exact this far out only in steps of 8.)
    ExpectDrawing("<Ellipse Width='100000000' Height='100000000' Fill='Red' Margin='-99999904,-50000000,0,0' "
                  "HorizontalAlignment='Left' VerticalAlignment='Top'/>",
                  200, 100, {{0, 0, kRed}, {92, 50, kRed}, {100, 50, kBlack}, {199, 99, kBlack}});
}

TEST(ShapeLayoutTest, FiguresAskForTheirPointsAndStroke)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
          <Rectangle Fill='Red'/>
          <Polygon Points='0,0 30,5 -10,12' Stroke='Red' StrokeThickness='4' HorizontalAlignment='Left'/>
          <Polyline Points='0,0 30,5 -10,12' Stroke='Red' StrokeThickness='4' HorizontalAlignment='Left'/>
          <Polyline Points='0,0 30,5' HorizontalAlignment='Left'/>
          <Line X1='20' Y1='3' X2='5' Y2='8' Stroke='Red' HorizontalAlignment='Left'/>
          <Ellipse Fill='Red' Height='6'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    // A rectangle without a size takes nothing along the stack; the polygon's
    // size ignores its stroke, the polyline's and line's add it.
    EXPECT_EQ("StackPanel 0,0,34,48\n"
              "  Rectangle 0,0,34,0\n"
              "  Polygon 0,0,30,12\n"
              "  Polyline 0,12,34,28\n"
              "  Polyline 0,28,30,33\n"
              "  Line 0,33,21,42\n"
              "  Ellipse 0,42,34,48\n",
              LayOut(root.Get(), 200, 200));
}

TEST(ShapeHitTest, OnlyPointsOfTheFigureHitIt)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Canvas Width='200' Height='200' Background='Blue' HorizontalAlignment='Left' VerticalAlignment='Top'>
          <Ellipse x:Name='ellipse' Width='40' Height='20' Fill='Red'/>
          <Line x:Name='line' Canvas.Top='50' X1='0' Y1='0' X2='20' Y2='20' Stroke='Red' StrokeThickness='4'/>
          <Rectangle x:Name='rect' Canvas.Top='100' Width='20' Height='10'/>
          <Polygon x:Name='polygon' Canvas.Left='100' Points='0,0 20,0 0,20' Fill='Red'/>
          <Line x:Name='bare' Canvas.Left='100' Canvas.Top='100' X1='0' Y1='0' X2='20' Y2='0'/>
        </Canvas>)");
    ASSERT_TRUE(root);
    LayOut(root.Get(), 300, 300);
    CXTPMarkupInputElement* pEllipse = Find(root.Get(), L"ellipse");
    CXTPMarkupInputElement* pLine = Find(root.Get(), L"line");

    EXPECT_EQ(pEllipse, root->HitTest(20, 10));
    EXPECT_EQ(pEllipse, root->HitTest(1, 10));
    EXPECT_EQ(root.Get(), root->HitTest(2, 2)); // in the box, outside the ellipse
    EXPECT_EQ(root.Get(), root->HitTest(38, 18));

    EXPECT_EQ(pLine, root->HitTest(10, 60));
    EXPECT_EQ(pLine, root->HitTest(11, 60)); // within half the thickness
    EXPECT_EQ(pLine, root->HitTest(0, 50));
    EXPECT_EQ(root.Get(), root->HitTest(15, 55));
    EXPECT_EQ(root.Get(), root->HitTest(2, 70));

    // Boxes hit everywhere, even without a fill; a line without a stroke
    // never does.
    EXPECT_EQ(Find(root.Get(), L"rect"), root->HitTest(5, 105));
    EXPECT_EQ(Find(root.Get(), L"polygon"), root->HitTest(118, 18));
    EXPECT_EQ(root.Get(), root->HitTest(105, 100));
}

TEST(PointCollectionTest, TextForms)
{
    struct Case
    {
        const wchar_t* pszText;
        bool bValid;
        int nPoints;
        RECT rcBounds;
    };
    const Case cases[] = {
        {L"0,0 10,0 10,10", true, 3, {0, 0, 10, 10}},
        {L"0 0, 10 0", true, 2, {0, 0, 10, 0}},
        {L"1,2 3,4", true, 2, {0, 0, 3, 4}},
        {L"  -5,-6   7,8  ", true, 2, {0, 0, 7, 8}},
        {L"-5,-6", true, 1, {0, 0, 0, 0}},
        {L"", true, 0, {0, 0, 0, 0}},
        {L"1,2 ,3 4", false, 0, {}},
        {L"1,2 3", false, 0, {}},
        {L"1,,2", false, 0, {}},
        {L"1;2", false, 0, {}},
        {L"1.5,2", false, 0, {}},
        {L"- 1,2", false, 0, {}},
    };
    Ptr<CXTPMarkupPointCollection> prototype(new CXTPMarkupPointCollection());
    for (const Case& c : cases)
    {
        Ptr<CXTPMarkupString> text(CXTPMarkupString::CreateValue(c.pszText, int(wcslen(c.pszText))));
        Ptr<CXTPMarkupObject> value(prototype->ParseValue(text.Get()));
        CXTPMarkupPointCollection* pPoints = MarkupCast<CXTPMarkupPointCollection>(value.Get());
        ASSERT_EQ(c.bValid, pPoints != nullptr) << c.pszText;
        if (pPoints)
        {
            EXPECT_EQ(size_t(c.nPoints), pPoints->GetPoints().size()) << c.pszText;
            EXPECT_EQ(c.rcBounds, pPoints->GetBounds()) << c.pszText;
        }
    }
    EXPECT_NE(std::string::npos, LoadError("<Polygon Points='1,2 ,3 4'/>").find("Cannot convert"));
}

TEST(ShapeLeakTest, AThousandPassesLeaveNoGdiObjectsBehind)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Canvas Background='Black'>
          <Polygon Points='0,0 20,0 0,20' Fill='Red' Stroke='Blue' StrokeThickness='3'/>
          <Polyline Points='0,0 20,0 0,20' Stroke='Blue' Stretch='Fill' Width='30' Height='30'/>
          <Rectangle Width='20' Height='10' Fill='Red' Stroke='Blue' StrokeThickness='2'/>
          <Ellipse Width='20' Height='10' Fill='Red' Stroke='Blue' StrokeThickness='2'/>
          <Ellipse Width='20' Height='10' Fill='Red'/>
          <Line X1='0' Y1='0' X2='20' Y2='10' Stroke='Blue' StrokeThickness='2'/>
          <Border BorderThickness='1' BorderBrush='Red' Background='Blue' Width='10' Height='10'/>
        </Canvas>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(40, 40);
    auto pass = [&]()
    {
        CXTPMarkupGdiPainter painter(canvas.GetDC());
        root->InvalidateMeasure();
        root->Measure(&painter, 40, 40);
        root->Arrange(RECT{0, 0, 40, 40});
        root->Render(&painter);
    };
    pass();
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 1000; ++i)
        pass();
    EXPECT_EQ(nBefore, CountGdiObjects());
}
} // namespace

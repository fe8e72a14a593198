// Canvas placement by its attached coordinates; the border's size, edges,
// background and padding on real pixels; the page; the one-child content
// rule of border and page and the parent links of children they let go.
#include "ElementTestSupport.h"

#include "markup/elements/Border.h"
#include "markup/elements/Canvas.h"
#include "markup/elements/Page.h"
#include "markup/host/GdiPainter.h"
#include "support/DibCanvas.h"

#include <gtest/gtest.h>

namespace
{
TEST(CanvasTest, ChildrenSitAtTheirAttachedCoordinates)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Canvas Width='200' Height='100' HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox Canvas.Left='10' Canvas.Top='20' Width='30' Height='10'/>
          <TestBox Canvas.Right='10' Width='50' Height='5'/>
          <TestBox Canvas.Bottom='10' Canvas.Left='5' Width='20' Height='10'/>
          <TestBox Canvas.Left='1' Canvas.Right='1' Canvas.Top='-4' Canvas.Bottom='1' Width='5' Height='5'/>
          <TestBox ContentWidth='300' ContentHeight='7'/>
        </Canvas>)");
    ASSERT_TRUE(root);
    // "Left" wins over "Right", "Top" over "Bottom"; a child keeps its whole
    // size even past the canvas's edge.
    EXPECT_EQ("Canvas 0,0,200,100\n"
              "  TestBox 10,20,40,30\n"
              "  TestBox 140,0,190,5\n"
              "  TestBox 5,80,25,90\n"
              "  TestBox 1,-4,6,1\n"
              "  TestBox 0,0,300,7\n",
              LayOut(root.Get(), 400, 300));

    // The canvas itself asks for no room.
    root = Load("<StackPanel HorizontalAlignment='Left'><Canvas><TestBox Width='30' Height='30'/></Canvas>"
                "</StackPanel>");
    ASSERT_TRUE(root);
    EXPECT_EQ("StackPanel 0,0,0,300\n"
              "  Canvas 0,0,0,0\n"
              "    TestBox 0,0,30,30\n",
              LayOut(root.Get(), 400, 300));
}

TEST(BorderTest, EdgesAndPaddingSurroundTheChild)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Border BorderThickness='1' Padding='2' HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox Width='10' Height='10'/>
        </Border>)");
    ASSERT_TRUE(root);
    EXPECT_EQ("Border 0,0,16,16\n"
              "  TestBox 3,3,13,13\n",
              LayOut(root.Get(), 100, 100));

    // Without a child only the edges count. Edges wider than the border's
    // own width leave the child nothing rather than a negative size (and the
    // border runs past its width, as any content too large does).
    root = Load("<Border BorderThickness='1,2,3,4' Padding='5' HorizontalAlignment='Left' VerticalAlignment='Top'/>");
    ASSERT_TRUE(root);
    EXPECT_EQ("Border 0,0,14,16\n", LayOut(root.Get(), 100, 100));
    root = Load("<Border BorderThickness='10' Width='6' Height='6'><TestBox/></Border>");
    ASSERT_TRUE(root);
    EXPECT_EQ("Border 47,47,67,67\n"
              "  TestBox 57,57,57,57\n",
              LayOut(root.Get(), 100, 100));
}

TEST(BorderTest, EachEdgeIsDrawnAtItsThicknessAndTheBackgroundStaysInside)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Border BorderThickness='1,2,3,4' Padding='2' BorderBrush='#FF0000' Background='#0000FF'
                HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox Width='10' Height='10' Background='#00FF00'/>
        </Border>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(30, 30);
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    root->Measure(&painter, 30, 30);
    root->Arrange(RECT{0, 0, 30, 30});
    root->Render(&painter);
    EXPECT_EQ(18, root->GetArrangedSize().cx);
    EXPECT_EQ(20, root->GetArrangedSize().cy);

    // Left edge x 0, top edge y 0-1, right edge x 15-17, bottom edge y 16-19;
    // the child starts past edge and padding at (3, 4).
    const RECT rcLeft = {0, 0, 1, 20}, rcTop = {0, 0, 18, 2}, rcRight = {15, 0, 18, 20}, rcBottom = {0, 16, 18, 20};
    EXPECT_EQ(20, canvas.Count(kRed, rcLeft));
    EXPECT_EQ(36, canvas.Count(kRed, rcTop));
    EXPECT_EQ(60, canvas.Count(kRed, rcRight));
    EXPECT_EQ(72, canvas.Count(kRed, rcBottom));
    EXPECT_EQ(100, canvas.Count(kGreen, RECT{3, 4, 13, 14}));
    EXPECT_EQ(14 * 14 - 100, canvas.Count(kBlue, RECT{0, 0, 30, 30}));
    EXPECT_EQ(kBlue, canvas.Color(1, 2));
    EXPECT_EQ(kBlue, canvas.Color(14, 15));
    EXPECT_EQ(kBlack, canvas.Color(18, 5));
    EXPECT_EQ(kBlack, canvas.Color(5, 20));

    // Only a background makes the border itself hit.
    EXPECT_EQ(static_cast<CXTPMarkupInputElement*>(root->GetChild(0)), root->HitTest(5, 5));
    EXPECT_EQ(root.Get(), root->HitTest(0, 0));
    root->SetValue(CXTPMarkupBorder::m_pBackgroundProperty, nullptr);
    EXPECT_EQ(nullptr, root->HitTest(1, 2));
}

TEST(PageTest, TheChildGetsThePagesWholeAreaAndAloneIsHit)
{
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<Page><TestBox ContentWidth='10' ContentHeight='10' Background='Red'/></Page>");
    ASSERT_TRUE(root);
    EXPECT_EQ("Page 0,0,80,60\n"
              "  TestBox 0,0,80,60\n",
              LayOut(root.Get(), 80, 60));
    EXPECT_EQ(static_cast<CXTPMarkupInputElement*>(root->GetChild(0)), root->HitTest(5, 5));
    EXPECT_EQ(10, MarkupCast<CXTPMarkupPage>(root.Get())->GetChild()->GetMeasuredSize().cx);

    root = Load("<Page HorizontalAlignment='Left' VerticalAlignment='Top'/>");
    ASSERT_TRUE(root);
    EXPECT_EQ("Page 0,0,0,0\n", LayOut(root.Get(), 80, 60));
    EXPECT_EQ(nullptr, root->HitTest(0, 0));
}

TEST(SingleChildTest, OneElementOnlyAndReleasedChildrenForgetTheirParent)
{
    for (const char* pszTag : {"Border", "Page"})
    {
        const std::string strTag = pszTag;
        const std::string strClass = "CXTPMarkup" + strTag;
        const std::string strTwo = LoadError(("<" + strTag + "><TestBox/><TestBox/></" + strTag + ">").c_str());
        EXPECT_EQ(0u, strTwo.find("'" + strClass + "' already has a child and cannot add 'CTestBox'. '" + strClass
                                  + "' can accept only one child."))
            << strTwo;
        const std::string strBrush = LoadError(("<" + strTag + "><SolidColorBrush/></" + strTag + ">").c_str());
        EXPECT_EQ(0u, strBrush.find("'CXTPMarkupSolidColorBrush' object cannot be added to '" + strClass
                                    + "'. Object cannot be converted to type 'CXTPMarkupUIElement'"))
            << strBrush;
    }

    Ptr<CXTPMarkupFrameworkElement> border = Load("<Border><TestBox/></Border>");
    Ptr<CXTPMarkupFrameworkElement> page = Load("<Page><TestBox/></Page>");
    ASSERT_TRUE(border && page);
    auto first = Ptr<CXTPMarkupUIElement>::AddRefOf(MarkupCast<CXTPMarkupBorder>(border.Get())->GetChild());
    auto second = Ptr<CXTPMarkupUIElement>::AddRefOf(MarkupCast<CXTPMarkupPage>(page.Get())->GetChild());
    EXPECT_EQ(border.Get(), first->GetParentVisual());

    // Replaced: the old child no longer leads to the border.
    MarkupCast<CXTPMarkupBorder>(border.Get())->SetChild(new CTestBox());
    EXPECT_EQ(nullptr, first->GetLogicalParent());
    // Released with its parent.
    page.Reset();
    EXPECT_EQ(nullptr, second->GetLogicalParent());
}
} // namespace

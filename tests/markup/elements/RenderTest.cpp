// Trees drawn on real pixels: backgrounds in drawing order, clipping of cut
// content and by "ClipToBounds", the painter's origin and clipping given back
// after every element, subtrees outside the visible area skipped; hit testing
// by the same rules; GDI objects after many passes.
#include "ElementTestSupport.h"

#include "markup/elements/LayoutDump.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Brush.h"
#include "markup/model/Numbers.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "toolkit/GdiHandles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
TEST(RenderTest, BackgroundsFillArrangedAreasAndLaterChildrenDrawOverEarlierOnes)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel Background='#0000FF' Margin='2'>
          <TestBox Height='10' Background='#FF0000'/>
          <TestBox Height='10' Background='#00FF00' Margin='0,-5,0,0'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(40, 30);
    Paint(root.Get(), canvas);
    ExpectPixels(canvas, {{1, 1, kBlack},
                          {2, 2, kRed},
                          {37, 6, kRed},
                          {5, 7, kGreen},
                          {37, 16, kGreen},
                          {5, 17, kBlue},
                          {37, 27, kBlue},
                          {38, 27, kBlack},
                          {5, 28, kBlack}});
}

TEST(RenderTest, CutContentIsClippedToItsSlot)
{
    // The red box is 40 wide but gets 24: its other 16 pixels are not drawn.
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
          <StackPanel Width='24' Background='#0000FF'>
            <TestBox Width='40' Height='10' Background='#FF0000'/>
          </StackPanel>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(60, 20);
    Paint(root.Get(), canvas);
    ExpectPixels(canvas, {{0, 0, kRed}, {23, 9, kRed}, {24, 5, kBlack}, {39, 5, kBlack}, {10, 10, kBlack}});
}

TEST(RenderTest, ClipToBoundsCutsChildrenThatRunPastTheEdge)
{
    for (const char* pszClip : {"False", "True"})
    {
        char szMarkup[512];
        snprintf(szMarkup, sizeof(szMarkup),
                 "<StackPanel Margin='10' HorizontalAlignment='Left' VerticalAlignment='Top' Background='#0000FF'"
                 " ClipToBounds='%s'>"
                 "<TestBox Width='20' Height='10' Margin='-5,0,0,0' HorizontalAlignment='Left' Background='#FF0000'/>"
                 "</StackPanel>",
                 pszClip);
        Ptr<CXTPMarkupFrameworkElement> root = Load(szMarkup);
        ASSERT_TRUE(root);
        CDibCanvas canvas(40, 30);
        Paint(root.Get(), canvas);
        const bool bClip = pszClip[0] == 'T';
        SCOPED_TRACE(pszClip);
        ExpectPixels(canvas, {{5, 15, bClip ? kBlack : kRed},
                              {9, 19, bClip ? kBlack : kRed},
                              {10, 10, kRed},
                              {24, 19, kRed},
                              {25, 15, kBlack},
                              {12, 20, kBlack}});
    }
}

// The state a DC is left in must be the state it was given in.
TEST(RenderTest, TheDeviceContextGetsItsOriginAndClippingBack)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top' Margin='1'>
          <StackPanel Width='24' Background='#0000FF' ClipToBounds='True'>
            <TestBox Width='40' Height='10' Background='#FF0000' Margin='2'/>
          </StackPanel>
          <TestBox Height='5' Background='#00FF00'/>
        </StackPanel>)");
    ASSERT_TRUE(root);

    for (bool bClipped : {false, true})
    {
        SCOPED_TRACE(bClipped ? "with a clip region" : "without one");
        CDibCanvas canvas(60, 40);
        HDC hDC = canvas.GetDC();
        SetViewportOrgEx(hDC, 3, 4, nullptr);
        CXTPGdiObject<HRGN> hrgnOriginal(CreateRectRgn(0, 0, 50, 30));
        if (bClipped)
            SelectClipRgn(hDC, hrgnOriginal.Get());

        CXTPMarkupGdiPainter painter(hDC);
        const RECT rcClipBefore = painter.GetClipBox();
        root->Measure(&painter, 60, 40);
        root->Arrange(RECT{0, 0, 60, 40});
        root->Render(&painter);

        POINT ptOrigin;
        GetViewportOrgEx(hDC, &ptOrigin);
        EXPECT_EQ(3, ptOrigin.x);
        EXPECT_EQ(4, ptOrigin.y);
        EXPECT_EQ(3, painter.GetViewportOrigin().x);
        EXPECT_EQ(4, painter.GetViewportOrigin().y);
        EXPECT_EQ(rcClipBefore, painter.GetClipBox());
        CXTPGdiObject<HRGN> hrgnAfter(CreateRectRgn(0, 0, 0, 0));
        const int nHasClip = GetClipRgn(hDC, hrgnAfter.Get());
        EXPECT_EQ(bClipped ? 1 : 0, nHasClip);
        if (bClipped && nHasClip == 1)
        {
            EXPECT_TRUE(EqualRgn(hrgnAfter.Get(), hrgnOriginal.Get()));
        }

        // Drawn from the DC's origin; the red box is cut to its 20-pixel
        // slot, and the sibling after the clipping panel is neither cut nor
        // moved.
        const int x = 3 + 1;
        const int y = 4 + 1;
        ExpectPixels(canvas, {{x + 2, y + 2, kRed},
                              {x + 21, y + 11, kRed},
                              {x + 22, y + 5, kBlue},
                              {x + 24, y + 5, kBlack},
                              {x, y + 12, kBlue},
                              {x, y + 14, kGreen},
                              {x + 23, y + 18, kGreen},
                              {x + 24, y + 18, kBlack}});
    }
}

TEST(RenderTest, SubtreesOutsideTheVisibleAreaAreNotVisited)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel>
          <TestBox x:Name='seen' Height='30'><TestBox x:Name='seenChild' Height='10'/></TestBox>
          <TestBox x:Name='unseen' Height='30'><TestBox x:Name='unseenChild' Height='10'/></TestBox>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(40, 80);
    IntersectClipRect(canvas.GetDC(), 0, 0, 40, 20);
    Paint(root.Get(), canvas);
    EXPECT_EQ(1, FindBox(root.Get(), L"seen")->m_nDrawCount);
    EXPECT_EQ(1, FindBox(root.Get(), L"seenChild")->m_nDrawCount);
    EXPECT_EQ(0, FindBox(root.Get(), L"unseen")->m_nDrawCount);
    EXPECT_EQ(0, FindBox(root.Get(), L"unseenChild")->m_nDrawCount);
}

TEST(HitTestTest, TheTopmostChildWinsAndPanelsWithoutBackgroundLetHitsThrough)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top' Margin='10'>
          <TestBox x:Name='a' Width='40' Height='20' Background='Red'/>
          <TestBox x:Name='b' Width='40' Height='20' Margin='0,-10,0,0' Background='Green'/>
          <StackPanel x:Name='empty' Width='40' Height='10'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    LayOut(root.Get(), 100, 100);
    CXTPMarkupInputElement* pA = Find(root.Get(), L"a");
    CXTPMarkupInputElement* pB = Find(root.Get(), L"b");

    EXPECT_EQ(pA, root->HitTest(10, 10));
    EXPECT_EQ(pA, root->HitTest(49, 19));
    EXPECT_EQ(pB, root->HitTest(15, 20)); // where b lies over a
    EXPECT_EQ(pB, root->HitTest(49, 39));
    EXPECT_EQ(nullptr, root->HitTest(15, 45));
    EXPECT_EQ(nullptr, root->HitTest(50, 15));

    root->SetValue(CXTPMarkupPanel::m_pBackgroundProperty, new CXTPMarkupSolidColorBrush(kBlue));
    EXPECT_EQ(root.Get(), root->HitTest(15, 45));
    EXPECT_EQ(nullptr, root->HitTest(5, 5)); // the margin is not the panel's
}

TEST(HitTestTest, HiddenCollapsedAndClippedPartsAreNeitherDrawnNorHit)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top' Background='#0000FF'>
          <TestBox x:Name='hidden' Width='40' Height='10' Visibility='Hidden' Background='#FF0000'>
            <TestBox Width='40' Height='10' Background='#FF0000'/>
          </TestBox>
          <StackPanel Width='20' Height='10' HorizontalAlignment='Left' Background='#00FF00'>
            <TestBox x:Name='wide' Width='40' Height='10' Background='#FF0000'/>
          </StackPanel>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CDibCanvas canvas(50, 30);
    Paint(root.Get(), canvas);
    ExpectPixels(canvas,
                 {{5, 5, kBlue}, {39, 9, kBlue}, {5, 15, kRed}, {19, 15, kRed}, {20, 15, kBlue}, {45, 5, kBlack}});

    CXTPMarkupInputElement* pWide = Find(root.Get(), L"wide");
    EXPECT_EQ(root.Get(), root->HitTest(5, 5));
    EXPECT_EQ(pWide, root->HitTest(19, 15));
    EXPECT_EQ(root.Get(), root->HitTest(25, 15));
    EXPECT_EQ(nullptr, root->HitTest(45, 5));

    // Collapsed, the element keeps its old place, but nothing of it is hit.
    Find(root.Get(), L"hidden")
        ->SetValue(CXTPMarkupUIElement::m_pVisibilityProperty,
                   CXTPMarkupEnum::CreateValue(xtpMarkupVisibilityCollapsed));
    Paint(root.Get(), canvas);
    EXPECT_EQ(pWide, root->HitTest(5, 5));
    EXPECT_EQ(nullptr, root->HitTest(30, 5));
}

TEST(RenderLeakTest, AThousandPassesLeaveNoGdiObjectsBehind)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel Background='#0000FF' Margin='2'>
          <WrapPanel x:Name='wrap' Width='30' ClipToBounds='True'>
            <WrapPanel.Background>
              <LinearGradientBrush StartPoint='0,0' EndPoint='1,1'>
                <GradientStop Color='Red' Offset='0'/><GradientStop Color='Blue' Offset='1'/>
              </LinearGradientBrush>
            </WrapPanel.Background>
            <TestBox Width='40' Height='10' Background='#FF0000'/>
            <TestBox Width='10' Height='10' Margin='-3' Background='#00FF00'/>
          </WrapPanel>
          <TestBox Height='10' Background='#00FF00' Visibility='Hidden'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    CXTPMarkupFrameworkElement* pWrap = Find(root.Get(), L"wrap");
    CDibCanvas canvas(60, 50);
    auto pass = [&](int i)
    {
        // A size change each time makes the elements measure through
        // painters of their own.
        pWrap->SetValue(CXTPMarkupFrameworkElement::m_pWidthProperty, new CXTPMarkupInt(30 + i % 2));
        Paint(root.Get(), canvas);
    };
    pass(0);
    pass(1);
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 1000; ++i)
        pass(i);
    EXPECT_EQ(nBefore, CountGdiObjects());
}

// The dump of where the host repaints: bounds cut by clipping parents.
TEST(RenderTest, VisibleBoundsDumpCutsToClippingParents)
{
    const struct
    {
        const char* pszClip;
        XTPMarkupLayoutDumpRect nRect;
        const char* pszDump;
    } cases[] = {
        {"False", xtpMarkupDumpBounds, "StackPanel 5,10,25,20\n  TestBox 5,10,25,20\n"},
        {"False", xtpMarkupDumpVisibleBounds, "StackPanel 5,10,25,20\n  TestBox 5,10,25,20\n"},
        {"True", xtpMarkupDumpBounds, "StackPanel 5,10,25,20\n  TestBox 5,10,25,20\n"},
        {"True", xtpMarkupDumpVisibleBounds, "StackPanel 10,10,25,20\n  TestBox 10,10,25,20\n"},
    };
    for (const auto& c : cases)
    {
        char szMarkup[512];
        snprintf(szMarkup, sizeof(szMarkup),
                 "<StackPanel Margin='10' HorizontalAlignment='Left' VerticalAlignment='Top' ClipToBounds='%s'>"
                 "<TestBox Width='20' Height='10' Margin='-5,0,0,0' HorizontalAlignment='Left'/>"
                 "</StackPanel>",
                 c.pszClip);
        Ptr<CXTPMarkupFrameworkElement> root = Load(szMarkup);
        ASSERT_TRUE(root);
        CDibCanvas canvas(40, 30);
        Paint(root.Get(), canvas);
        EXPECT_EQ(c.pszDump, DumpMarkupLayout(root.Get(), c.nRect)) << c.pszClip << " " << c.nRect;
    }
}

// "Auto" sizes arrange an element unbounded across; what shows of it (up to
// the end of its parent's slot) draws where it is, and its rectangles never
// wrap round to negative positions.
TEST(RenderTest, UnboundedSizesDrawWhereTheElementIs)
{
    const struct
    {
        const char* pszMarkup;
        std::vector<Probe> probes;
    } cases[] = {
        {"<StackPanel Margin='10'><TestBox Width='Auto' Height='10' Background='#FF0000'/></StackPanel>",
         {{10, 10, kRed}, {29, 19, kRed}, {9, 15, kBlack}, {30, 15, kBlack}, {20, 20, kBlack}}},
        {"<StackPanel Margin='10' Orientation='Horizontal'>"
         "<TestBox Width='10' Height='Auto' Background='#FF0000'/></StackPanel>",
         {{10, 10, kRed}, {19, 19, kRed}, {20, 15, kBlack}, {15, 20, kBlack}}},
        {"<StackPanel Margin='10'><Border Width='Auto' Height='10' BorderThickness='2' BorderBrush='#0000FF'"
         " Background='#00FF00'/></StackPanel>",
         {{10, 15, kBlue}, {11, 15, kBlue}, {20, 10, kBlue}, {20, 15, kGreen}, {20, 19, kBlue}}},
        {"<StackPanel Margin='10'><TestBox Width='Auto' Height='10' Background='#FF0000' ClipToBounds='True'>"
         "<TestBox Width='5' Height='5' Background='#00FF00' HorizontalAlignment='Left'/></TestBox></StackPanel>",
         {{12, 12, kGreen}, {20, 12, kRed}, {12, 17, kRed}}},
        {"<StackPanel Margin='10'><TestBox Width='Auto' Height='10' Margin='-5,0,0,0'><TestBox.Background>"
         "<LinearGradientBrush StartPoint='0,0' EndPoint='0,1'><GradientStop Color='#FF0000' Offset='0'/>"
         "<GradientStop Color='#FF0000' Offset='1'/></LinearGradientBrush></TestBox.Background></TestBox></StackPanel>",
         {{5, 10, kRed}, {29, 19, kRed}, {4, 15, kBlack}, {20, 20, kBlack}}},
    };
    for (const auto& c : cases)
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(c.pszMarkup);
        ASSERT_TRUE(root) << c.pszMarkup;
        CDibCanvas canvas(40, 30);
        Paint(root.Get(), canvas);
        SCOPED_TRACE(c.pszMarkup);
        ExpectPixels(canvas, c.probes);
        for (XTPMarkupLayoutDumpRect nRect : {xtpMarkupDumpBounds, xtpMarkupDumpVisibleBounds})
            EXPECT_EQ(DumpMarkupLayout(root.Get(), nRect).find('-'), std::string::npos)
                << DumpMarkupLayout(root.Get(), nRect);
    }
}
} // namespace

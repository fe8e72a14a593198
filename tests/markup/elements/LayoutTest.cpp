// Layouts computed by the rules, checked as dumps of the arranged rectangles
// (window coordinates): margins, alignments, explicit, minimum and maximum
// sizes, collapsed and hidden children, unbounded extents, stack and wrap
// panels.
#include "ElementTestSupport.h"

#include "markup/elements/LayoutDump.h"
#include "markup/elements/WrapPanel.h"

#include "markup/host/Host.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
struct LayoutCase
{
    const char* pszName;
    const char* pszMarkup;
    int cx;
    int cy;
    const char* pszExpected;
};

const int kUnbounded = 0x7FFFFFFF;

void ExpectLayouts(std::initializer_list<LayoutCase> cases)
{
    for (const LayoutCase& c : cases)
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(c.pszMarkup);
        if (root)
        {
            EXPECT_EQ(c.pszExpected, LayOut(root.Get(), c.cx, c.cy)) << c.pszName;
        }
    }
}

TEST(LayoutTest, StackPanelsPlaceChildrenByMarginsAndAlignment)
{
    ExpectLayouts({
        // A picture beside a shorter text centred against it.
        {"row", R"(<StackPanel Orientation='Horizontal' Margin='5' HorizontalAlignment='Left' VerticalAlignment='Top'>
                     <TestBox ContentWidth='24' ContentHeight='24'/>
                     <TestBox ContentWidth='100' ContentHeight='16' VerticalAlignment='Center'/>
                   </StackPanel>)",
         300, 200,
         "StackPanel 5,5,129,29\n"
         "  TestBox 5,5,29,29\n"
         "  TestBox 29,9,129,25\n"},
        // A column 105 wide centred in its slot; odd spare pixels go right;
        // a stretching child with a fixed width is centred; one wider than
        // the column keeps its width and the left edge.
        {"column", R"(<StackPanel Width='105'>
                        <TestBox ContentWidth='30' ContentHeight='10' HorizontalAlignment='Left'/>
                        <TestBox ContentWidth='30' ContentHeight='10' HorizontalAlignment='Center'/>
                        <TestBox ContentWidth='30' ContentHeight='10' HorizontalAlignment='Right'/>
                        <TestBox Width='30' Height='10'/>
                        <TestBox ContentWidth='30' ContentHeight='10' Margin='1,2,3,4'/>
                        <TestBox ContentWidth='120' ContentHeight='10'/>
                      </StackPanel>)",
         300, 200,
         "StackPanel 97,0,202,200\n"
         "  TestBox 97,0,127,10\n"
         "  TestBox 134,10,164,20\n"
         "  TestBox 172,20,202,30\n"
         "  TestBox 134,30,164,40\n"
         "  TestBox 98,42,199,52\n"
         "  TestBox 97,56,217,66\n"},
        // Margins at every level of nested panels, and a row aligned right.
        {"nested", R"(<StackPanel Margin='10,20,30,40'>
                        <StackPanel Orientation='Horizontal' Margin='1,2,3,4' HorizontalAlignment='Right'>
                          <TestBox ContentWidth='10' ContentHeight='6' Margin='1'/>
                          <WrapPanel Margin='2'><TestBox ContentWidth='5' ContentHeight='5'/></WrapPanel>
                        </StackPanel>
                      </StackPanel>)",
         200, 100,
         "StackPanel 10,20,170,60\n"
         "  StackPanel 146,22,167,31\n"
         "    TestBox 147,23,157,30\n"
         "    WrapPanel 160,24,165,29\n"
         "      TestBox 160,24,165,29\n"},
        // Content 5 wide centred in a slot 2 wide starts one pixel before it.
        {"centre overflow", R"(<StackPanel HorizontalAlignment='Left' VerticalAlignment='Top' Margin='10,0,0,0'>
                                 <StackPanel Width='2'>
                                   <TestBox ContentWidth='5' ContentHeight='3' HorizontalAlignment='Center'/>
                                 </StackPanel>
                               </StackPanel>)",
         300, 200,
         "StackPanel 10,0,12,3\n"
         "  StackPanel 10,0,12,3\n"
         "    TestBox 9,0,14,3\n"},
    });
}

TEST(LayoutTest, ExplicitMinimumAndMaximumSizesLimitTheContent)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox x:Name='fixed' Width='24' ContentWidth='40' ContentHeight='5' Margin='2'/>
          <TestBox x:Name='max' MaxWidth='50' ContentWidth='80' ContentHeight='5'/>
          <TestBox x:Name='min' MinWidth='60' MinHeight='7' ContentWidth='10' ContentHeight='5' HorizontalAlignment='Left'/>
          <TestBox x:Name='minOverHeight' Height='3' MinHeight='9' ContentHeight='5'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    // The fixed width cuts 40 to 24 (plus margins) and centres the 24 visible
    // pixels in the 56-pixel slot, while the content keeps its 40.
    EXPECT_EQ("StackPanel 0,0,60,30\n"
              "  TestBox 18,2,58,7\n"
              "  TestBox 5,9,85,14\n"
              "  TestBox 0,14,60,21\n"
              "  TestBox 0,21,60,30\n",
              LayOut(root.Get(), 300, 200));

    CTestBox* pFixed = FindBox(root.Get(), L"fixed");
    EXPECT_EQ(28, pFixed->GetMeasuredSize().cx);
    EXPECT_TRUE(pFixed->IsClipNeeded());
    EXPECT_EQ(24, pFixed->m_szLastConstraint.cx);
    EXPECT_EQ(kUnbounded, pFixed->m_szLastConstraint.cy);
    // Content longer than the maximum is measured with at most the maximum.
    EXPECT_EQ(50, FindBox(root.Get(), L"max")->m_szLastConstraint.cx);
    EXPECT_EQ(50, FindBox(root.Get(), L"max")->GetMeasuredSize().cx);
    EXPECT_FALSE(FindBox(root.Get(), L"min")->IsClipNeeded());
    EXPECT_EQ(9, FindBox(root.Get(), L"minOverHeight")->GetMeasuredSize().cy);
}

TEST(LayoutTest, CollapsedChildrenTakeNoSpaceAndHiddenOnesKeepTheirs)
{
    ExpectLayouts({
        {"visibility", R"(<StackPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
                            <TestBox ContentWidth='10' ContentHeight='10'/>
                            <TestBox Visibility='Collapsed' ContentWidth='50' ContentHeight='10'/>
                            <TestBox Visibility='hidden' ContentWidth='20' ContentHeight='10'/>
                            <TestBox ContentWidth='10' ContentHeight='10'/>
                          </StackPanel>)",
         300, 200,
         "StackPanel 0,0,20,30\n"
         "  TestBox 0,0,20,10\n"
         "  TestBox 0,0,0,0\n"
         "  TestBox 0,10,20,20\n"
         "  TestBox 0,20,20,30\n"},
        // A plain panel neither measures nor arranges its children.
        {"plain panel", "<Panel Background='Red'><TestBox ContentWidth='10' ContentHeight='10'/></Panel>", 30, 20,
         "Panel 0,0,30,20\n"
         "  TestBox 0,0,0,0\n"},
        {"empty panels", R"(<StackPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
                              <StackPanel Margin='1,2,3,4'/><WrapPanel Margin='5'/>
                            </StackPanel>)",
         300, 200,
         "StackPanel 0,0,10,16\n"
         "  StackPanel 1,2,7,2\n"
         "  WrapPanel 5,11,5,11\n"},
    });
}

TEST(LayoutTest, WrapPanelsBreakLinesAtTheirExtent)
{
    ExpectLayouts({
        // Two of three 40-pixel items fit 100 pixels; the panel is as wide as
        // its longest line.
        {"three in 100", R"(<WrapPanel HorizontalAlignment='Left' VerticalAlignment='Top'>
                              <TestBox ContentWidth='40' ContentHeight='10'/>
                              <TestBox ContentWidth='40' ContentHeight='10'/>
                              <TestBox ContentWidth='40' ContentHeight='10'/>
                            </WrapPanel>)",
         100, 200,
         "WrapPanel 0,0,80,20\n"
         "  TestBox 0,0,40,10\n"
         "  TestBox 40,0,80,10\n"
         "  TestBox 0,10,40,20\n"},
        // Lines are as thick as their thickest item; an item wider than the
        // panel gets a line of its own at its full width.
        {"line thickness", R"(<WrapPanel Width='100' HorizontalAlignment='Left' VerticalAlignment='Top'>
                                <TestBox ContentWidth='40' ContentHeight='10'/>
                                <TestBox ContentWidth='40' ContentHeight='15'/>
                                <TestBox ContentWidth='40' ContentHeight='10'/>
                                <TestBox ContentWidth='130' ContentHeight='5'/>
                                <TestBox ContentWidth='20' ContentHeight='5' VerticalAlignment='Bottom'/>
                              </WrapPanel>)",
         300, 200,
         "WrapPanel 0,0,100,35\n"
         "  TestBox 0,0,40,15\n"
         "  TestBox 40,0,80,15\n"
         "  TestBox 0,15,40,25\n"
         "  TestBox 0,25,130,30\n"
         "  TestBox 0,30,20,35\n"},
        // Fixed item slots, flowing down in columns.
        {"vertical items", R"(<WrapPanel Orientation='Vertical' ItemWidth='30' ItemHeight='20' Height='50'
                                         HorizontalAlignment='Left' VerticalAlignment='Top'>
                                <TestBox ContentWidth='50' ContentHeight='5'/>
                                <TestBox ContentWidth='10' ContentHeight='5' HorizontalAlignment='Left'/>
                                <TestBox ContentWidth='10' ContentHeight='5'/>
                              </WrapPanel>)",
         300, 200,
         "WrapPanel 0,0,60,50\n"
         "  TestBox 0,0,50,20\n"
         "  TestBox 0,20,10,40\n"
         "  TestBox 30,0,60,20\n"},
    });
}

TEST(LayoutTest, ItemWidthIsWhatEveryItemIsOffered)
{
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<WrapPanel ItemWidth='30'><TestBox x:Name='item' ContentWidth='10' ContentHeight='10'/></WrapPanel>");
    ASSERT_TRUE(root);
    LayOut(root.Get(), 100, 50);
    EXPECT_EQ(30, FindBox(root.Get(), L"item")->m_szLastConstraint.cx);
}

TEST(LayoutTest, UnboundedExtentsStayUnboundedAndNothingTurnsNegative)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <StackPanel Orientation='Horizontal' HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox x:Name='margins' Margin='7' ContentWidth='10' ContentHeight='10'/>
          <TestBox x:Name='auto' Width='Auto' Margin='5' ContentWidth='10' ContentHeight='4'/>
          <TestBox x:Name='huge' Margin='5' ContentWidth='2147483647' ContentHeight='4'/>
          <TestBox x:Name='after' Margin='-3' ContentWidth='10' ContentHeight='4'/>
        </StackPanel>)");
    ASSERT_TRUE(root);
    LayOut(root.Get(), 300, 200);

    // The stacking direction is offered without bound, whatever the margins.
    EXPECT_EQ(kUnbounded, FindBox(root.Get(), L"margins")->m_szLastConstraint.cx);
    EXPECT_EQ(186, FindBox(root.Get(), L"margins")->m_szLastConstraint.cy);
    // "Auto" reads as the unbounded width; with a margin it stays unbounded.
    EXPECT_EQ(kUnbounded, FindBox(root.Get(), L"auto")->GetMeasuredSize().cx);
    EXPECT_EQ(kUnbounded, FindBox(root.Get(), L"huge")->GetMeasuredSize().cx);
    // The row's total saturates instead of wrapping into a negative width,
    // and the root is cut to what its parent offers.
    EXPECT_EQ(300, root->GetMeasuredSize().cx);
    EXPECT_TRUE(root->IsClipNeeded());
    for (LPCWSTR lpszName : {L"margins", L"auto", L"huge", L"after"})
    {
        CTestBox* pBox = FindBox(root.Get(), lpszName);
        EXPECT_GE(pBox->GetArrangedSize().cx, 0);
        EXPECT_GE(pBox->GetOffset().x, 0);
    }
}
} // namespace

TEST(LayoutTest, LengthsAndThicknessesParsedForAnotherDpiScaleWithIt)
{
    // Sizes, margins and paddings are 96-DPI pixels: rounded to the nearest
    // pixel, halves away from zero; "Auto" and the content's own extent stay.
    struct Case
    {
        int nDpi;
        const char* pszExpected;
    };
    const Case cases[] = {
        {96, "StackPanel 0,0,38,32\n  TestBox 5,10,29,34\n  TestBox 0,31,38,32\n"},
        {120, "StackPanel 0,0,47,40\n  TestBox 6,13,36,43\n  TestBox 0,39,47,40\n"},
        {144, "StackPanel 0,0,58,48\n  TestBox 8,15,44,51\n  TestBox 0,46,58,48\n"},
        {192, "StackPanel 0,0,76,64\n  TestBox 10,20,58,68\n  TestBox 0,62,76,64\n"},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<CXTPMarkupHost, void (*)(CXTPMarkupHost*)> host(new CXTPMarkupHost(),
                                                                        [](CXTPMarkupHost* p) { p->Release(); });
        host->SetDpi(c.nDpi);
        // Through the host's own parse, which reads at the host's DPI.
        Ptr<CXTPMarkupUIElement> root(
            host->Parse("<StackPanel HorizontalAlignment='Left' VerticalAlignment='Top' MaxWidth='Auto'>"
                        "<TestBox Width='24' Height='24' Margin='5,10,9,-3' HorizontalAlignment='Left'/>"
                        "<TestBox ContentWidth='38' ContentHeight='1' MinHeight='1'/></StackPanel>"));
        ASSERT_TRUE(root);
        EXPECT_EQ(c.pszExpected, LayOut(root.Get(), 300, 200)) << c.nDpi;
    }
}

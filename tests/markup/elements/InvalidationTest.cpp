// The measure and arrange caches, counted in measure and arrange calls, and
// what property changes invalidate: who is measured again, what the host is
// asked to repaint.
#include "ElementTestSupport.h"

#include "markup/elements/LayoutDump.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Brush.h"
#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

namespace
{
const char kTree[] = R"(
    <TestBox x:Name='root' Width='100' HorizontalAlignment='Left' VerticalAlignment='Top'>
      <TestBox x:Name='row' Orientation='Horizontal'>
        <TestBox x:Name='a' ContentWidth='10' ContentHeight='10'/>
        <TestBox x:Name='b' ContentWidth='20' ContentHeight='10'/>
      </TestBox>
      <TestBox x:Name='c' Width='30' Height='5' HorizontalAlignment='Left'/>
    </TestBox>)";

const char kTreeLayout[] = "TestBox 0,0,100,15\n"
                           "  TestBox 0,0,100,10\n"
                           "    TestBox 0,0,10,10\n"
                           "    TestBox 10,0,30,10\n"
                           "  TestBox 0,10,30,15\n";

// The host holds the tree's elements' references; it goes after the tree.
class InvalidationTest : public testing::Test
{
protected:
    InvalidationTest() : m_pHost(new CRecordingHost()) {}
    ~InvalidationTest() override
    {
        m_root.Reset();
        m_pHost->Release();
    }

    void SetUp() override
    {
        m_root = Load(kTree, m_pHost);
        ASSERT_TRUE(m_root);
        ASSERT_EQ(kTreeLayout, LayOut(m_root.Get(), 200, 100));
        m_pHost->m_invalidated.clear();
    }

    CTestBox* Box(LPCWSTR lpszName) { return FindBox(m_root.Get(), lpszName); }

    CRecordingHost* m_pHost;
    Ptr<CXTPMarkupFrameworkElement> m_root;
};

TEST_F(InvalidationTest, UnchangedLayoutPassesMeasureAndArrangeNothing)
{
    EXPECT_EQ(5, TotalMeasures(m_root.Get()));
    EXPECT_EQ(5, TotalArranges(m_root.Get()));
    LayOut(m_root.Get(), 200, 100);
    EXPECT_EQ(5, TotalMeasures(m_root.Get()));
    EXPECT_EQ(5, TotalArranges(m_root.Get()));

    // A new available size measures the root again, but its children only
    // when what it offers them changed: a column offers its width (here a
    // fixed one), never its height.
    LayOut(m_root.Get(), 200, 80);
    LayOut(m_root.Get(), 90, 80);
    EXPECT_EQ(3, Box(L"root")->m_nMeasureCount);
    EXPECT_EQ(7, TotalMeasures(m_root.Get()));
    EXPECT_EQ(3, Box(L"root")->m_nArrangeCount);
    EXPECT_EQ(7, TotalArranges(m_root.Get()));
    EXPECT_EQ(0, m_pHost->m_nInvalidateAll);
    EXPECT_TRUE(m_pHost->m_invalidated.empty());
}

TEST_F(InvalidationTest, AGrownChildRemeasuresItsAncestorsButNotItsSiblings)
{
    Box(L"a")->SetValue(CTestBox::m_pContentWidthProperty, new CXTPMarkupInt(25));

    // Measured at once, up to the first ancestor whose size stays (the root,
    // 100 wide), which is arranged again and repainted.
    EXPECT_EQ(25, Box(L"a")->GetMeasuredSize().cx);
    EXPECT_EQ(45, Box(L"row")->GetMeasuredSize().cx);
    EXPECT_EQ(0, m_pHost->m_nInvalidateAll);
    ASSERT_FALSE(m_pHost->m_invalidated.empty());
    EXPECT_EQ((RECT{0, 0, 100, 15}), m_pHost->m_invalidated.back());
    EXPECT_EQ(1, Box(L"b")->m_nMeasureCount);
    EXPECT_EQ(1, Box(L"c")->m_nMeasureCount);

    EXPECT_EQ("TestBox 0,0,100,15\n"
              "  TestBox 0,0,100,10\n"
              "    TestBox 0,0,25,10\n"
              "    TestBox 25,0,45,10\n"
              "  TestBox 0,10,30,15\n",
              LayOut(m_root.Get(), 200, 100));
    EXPECT_EQ(1, Box(L"b")->m_nMeasureCount);
    EXPECT_EQ(1, Box(L"c")->m_nMeasureCount);

    const int nMeasures = TotalMeasures(m_root.Get());
    LayOut(m_root.Get(), 200, 100);
    EXPECT_EQ(nMeasures, TotalMeasures(m_root.Get()));
}

TEST_F(InvalidationTest, AChangeThatKeepsTheSizeRepaintsTheElementInPlace)
{
    CTestBox* pC = Box(L"c");
    pC->SetValue(CXTPMarkupFrameworkElement::m_pMinWidthProperty, new CXTPMarkupInt(10));

    EXPECT_EQ(2, pC->m_nMeasureCount);
    EXPECT_EQ(1, Box(L"root")->m_nMeasureCount);
    EXPECT_EQ(0, m_pHost->m_nInvalidateAll);
    ASSERT_FALSE(m_pHost->m_invalidated.empty());
    for (const RECT& rc : m_pHost->m_invalidated)
        EXPECT_EQ((RECT{0, 10, 30, 15}), rc);

    const int nMeasures = TotalMeasures(m_root.Get());
    EXPECT_EQ(kTreeLayout, LayOut(m_root.Get(), 200, 100));
    EXPECT_EQ(nMeasures, TotalMeasures(m_root.Get()));
}

TEST_F(InvalidationTest, AnAlignmentChangeMovesTheElementWithoutMeasuring)
{
    CTestBox* pC = Box(L"c");
    pC->SetValue(CXTPMarkupFrameworkElement::m_pHorizontalAlignmentProperty,
                 CXTPMarkupEnum::CreateValue(xtpMarkupHorizontalAlignmentRight));

    EXPECT_EQ(5, TotalMeasures(m_root.Get()));
    EXPECT_EQ(2, pC->m_nArrangeCount);
    EXPECT_EQ(70, pC->GetOffset().x);
    // Both where it was and where it went need painting.
    ASSERT_EQ(2u, m_pHost->m_invalidated.size());
    EXPECT_EQ((RECT{0, 10, 30, 15}), m_pHost->m_invalidated[0]);
    EXPECT_EQ((RECT{70, 10, 100, 15}), m_pHost->m_invalidated[1]);
}

TEST_F(InvalidationTest, ABackgroundChangeOnlyRepaints)
{
    Box(L"c")->SetValue(CXTPMarkupPanel::m_pBackgroundProperty, new CXTPMarkupSolidColorBrush(RGB(1, 2, 3)));

    EXPECT_EQ(5, TotalMeasures(m_root.Get()));
    EXPECT_EQ(5, TotalArranges(m_root.Get()));
    ASSERT_EQ(1u, m_pHost->m_invalidated.size());
    EXPECT_EQ((RECT{0, 10, 30, 15}), m_pHost->m_invalidated[0]);
}

TEST_F(InvalidationTest, ACollapsedElementKeepsItsOldPlaceAndIsMeasuredAfreshWhenShown)
{
    CTestBox* pA = Box(L"a");
    pA->SetValue(CXTPMarkupUIElement::m_pVisibilityProperty, CXTPMarkupEnum::CreateValue(xtpMarkupVisibilityCollapsed));
    EXPECT_EQ("TestBox 0,0,100,15\n"
              "  TestBox 0,0,100,10\n"
              "    TestBox 0,0,10,10\n"
              "    TestBox 0,0,20,10\n"
              "  TestBox 0,10,30,15\n",
              LayOut(m_root.Get(), 200, 100));

    const int nMeasures = pA->m_nMeasureCount;
    pA->SetValue(CXTPMarkupUIElement::m_pVisibilityProperty, nullptr);
    EXPECT_EQ(kTreeLayout, LayOut(m_root.Get(), 200, 100));
    EXPECT_GT(pA->m_nMeasureCount, nMeasures);
}

TEST(InvalidationBeforeLayoutTest, NothingHappensBeforeTheFirstLayout)
{
    CRecordingHost* pHost = new CRecordingHost();
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(kTree, pHost);
        ASSERT_TRUE(root);
        CTestBox* pA = FindBox(root.Get(), L"a");
        pA->SetValue(CTestBox::m_pContentWidthProperty, new CXTPMarkupInt(40));
        pA->SetValue(CXTPMarkupFrameworkElement::m_pHorizontalAlignmentProperty,
                     CXTPMarkupEnum::CreateValue(xtpMarkupHorizontalAlignmentRight));
        EXPECT_EQ(0, TotalMeasures(root.Get()));
        EXPECT_EQ(0, TotalArranges(root.Get()));
        EXPECT_EQ(0, pHost->m_nInvalidateAll);

        // Arranged without a measure, an element is measured with the
        // rectangle's size first.
        pA->Arrange(RECT{0, 0, 60, 30});
        EXPECT_EQ(1, pA->m_nMeasureCount);
        EXPECT_EQ(60, pA->m_szLastConstraint.cx);
        EXPECT_EQ(30, pA->m_szLastConstraint.cy);
        EXPECT_EQ(20, pA->GetOffset().x);
    }
    pHost->Release();
}

LRESULT CALLBACK NoPaintWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Paint messages are left alone, so that the update region stays to be read.
    if (message == WM_PAINT)
        return 0;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

TEST(HostInvalidationTest, TheHostInvalidatesTheElementsAreaOfItsWindow)
{
    HWND hWnd = CreateTestWindow("ElementInvalidationTest", NoPaintWndProc, 0, 0, 200, 100, nullptr);
    ASSERT_TRUE(hWnd);

    CXTPMarkupHost* pHost = new CXTPMarkupHost();
    pHost->SetHwnd(hWnd);
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(kTree, pHost);
        ASSERT_TRUE(root);
        LayOut(root.Get(), 200, 100);
        ValidateRect(hWnd, nullptr);

        FindBox(root.Get(), L"b")
            ->SetValue(CXTPMarkupPanel::m_pBackgroundProperty, new CXTPMarkupSolidColorBrush(RGB(1, 2, 3)));
        RECT rcUpdate;
        EXPECT_TRUE(GetUpdateRect(hWnd, &rcUpdate, FALSE));
        EXPECT_EQ((RECT{10, 0, 30, 10}), rcUpdate);

        // A new size requirement at the root repaints everything.
        ValidateRect(hWnd, nullptr);
        FindBox(root.Get(), L"c")->SetValue(CXTPMarkupFrameworkElement::m_pHeightProperty, new CXTPMarkupInt(50));
        EXPECT_TRUE(GetUpdateRect(hWnd, &rcUpdate, FALSE));
        EXPECT_EQ((RECT{0, 0, 200, 100}), rcUpdate);
    }
    pHost->Release();
    DestroyWindow(hWnd);
}
} // namespace

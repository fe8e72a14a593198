// The scroll viewer in a real window: which bars show, how the content is
// placed and cut, and scrolling by the arrows, the page areas, the thumb,
// Shift+click and the wheel, driven by mouse messages through the host; the
// bars' drawing in the visual style and the classic look; and what is left
// after a thousand viewers.
#include "markup/elements/FrameworkElement.h"
#include "markup/elements/LayoutDump.h"
#include "markup/host/Host.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/ScrollBar.h"
#include "markup/host/ScrollBarGripper.h"
#include "markup/host/ScrollViewer.h"
#include "markup/host/WindowHelpers.h"

#include "markup/model/Numbers.h"

#include "toolkit/ThemeHandle.h"

#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "support/MarkupLeakCheck.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <vssym32.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kWindowX = 200;
constexpr int kWindowY = 150;
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 200;

// Four bands of 250 pixels, 600 wide: 1000 high in all.
const std::string kBands = "<StackPanel Width='600'>"
                           " <Border Height='250' Background='#FF0000'/><Border Height='250' Background='#00FF00'/>"
                           " <Border Height='250' Background='#0000FF'/><Border Height='250' Background='#FFFF00'/>"
                           "</StackPanel>";

using Bar = CXTPMarkupScrollBar;

class ScrollViewerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetCursorPos(0, 0);
        m_hWnd = CreateTestWindow("HoraleonScrollViewerTest", &ScrollViewerTest::WindowProc, kWindowX, kWindowY,
                                  kClientWidth, kClientHeight, this, CS_DBLCLKS);
        ASSERT_TRUE(m_hWnd) << "windows need the X display";
        m_pHost = HostForWindow(m_hWnd);
        m_cxBar = GetSystemMetrics(SM_CXVSCROLL);
        m_cyBar = GetSystemMetrics(SM_CYHSCROLL);
    }

    void TearDown() override
    {
        DropElement(m_pRoot);
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        DropHost(m_pHost);
        CXTPThemeHandle::SetClassicLook(false);
        SetCursorPos(0, 0);
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* pTest = reinterpret_cast<ScrollViewerTest*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (pTest)
        {
            pTest->m_messages.push_back(message);
            LRESULT lResult = 0;
            if (pTest->m_pRoot && RouteToHost(pTest->m_pRoot, message, wParam, lParam, &lResult))
                return lResult;
            if (message == WM_NCDESTROY)
                SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }

    void Load(const std::string& markup)
    {
        DropElement(m_pRoot);
        m_pRoot = m_pHost->Parse(markup.c_str());
        ASSERT_TRUE(m_pRoot) << m_pHost->GetParseError();
        Render();
    }
    void LoadViewer(const std::string& attributes, const std::string& content = kBands)
    {
        Load("<ScrollViewer " + attributes + ">" + content + "</ScrollViewer>");
    }

    std::unique_ptr<CDibCanvas> Render()
    {
        auto canvas = std::make_unique<CDibCanvas>(kClientWidth, kClientHeight, RGB(255, 255, 255));
        const RECT rc = {0, 0, kClientWidth, kClientHeight};
        MeasureTree(m_pRoot, kClientWidth, kClientHeight);
        PaintTree(m_pRoot, canvas->GetDC(), &rc);
        return canvas;
    }

    // The viewer: the root, or the root's only child.
    CXTPMarkupScrollViewer* Viewer() const
    {
        if (auto* pViewer = MarkupCast<CXTPMarkupScrollViewer>(m_pRoot))
            return pViewer;
        return MarkupCast<CXTPMarkupScrollViewer>(m_pRoot->GetChild(0));
    }
    Bar* VBar() const { return Viewer()->GetVerticalScrollBar(); }
    Bar* HBar() const { return Viewer()->GetHorizontalScrollBar(); }
    int Offset() const { return Viewer()->GetVerticalOffset(); }

    // Client coordinates of a point of a bar's part: along the axis at
    // nAlong pixels into it (the middle when negative), across in the middle.
    POINT PointIn(Bar* pBar, Bar::Part nPart, int nAlong = -1) const
    {
        const RECT rcBar = m_pHost->GetElementRect(pBar);
        const RECT rc = pBar->GetPartRect(nPart);
        const BOOL bVertical = pBar->GetOrientation() == SB_VERT;
        const int nFrom = bVertical ? rc.top : rc.left;
        const int nLength = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
        const int a = nFrom + (nAlong < 0 ? nLength / 2 : nAlong);
        return bVertical ? POINT{rcBar.left + (rc.left + rc.right) / 2, rcBar.top + a}
                         : POINT{rcBar.left + a, rcBar.top + (rc.top + rc.bottom) / 2};
    }
    // The bar's point in client coordinates.
    POINT FromBar(Bar* pBar, int nAlong) const
    {
        const RECT rcBar = m_pHost->GetElementRect(pBar);
        return pBar->GetOrientation() == SB_VERT ? POINT{rcBar.left + m_cxBar / 2, rcBar.top + nAlong}
                                                 : POINT{rcBar.left + nAlong, rcBar.top + m_cyBar / 2};
    }

    LRESULT Send(UINT message, POINT pt, WPARAM wParam = 0)
    {
        return SendMessageA(m_hWnd, message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    void Press(POINT pt)
    {
        Send(WM_MOUSEMOVE, pt);
        Send(WM_LBUTTONDOWN, pt, MK_LBUTTON);
    }
    void Drag(POINT pt) { Send(WM_MOUSEMOVE, pt, MK_LBUTTON); }
    void Release(POINT pt) { Send(WM_LBUTTONUP, pt); }
    void Wheel(int nDelta, POINT pt)
    {
        SendMessageA(m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, nDelta), MAKELPARAM(kWindowX + pt.x, kWindowY + pt.y));
    }
    void PointerTo(POINT pt) { SetCursorPos(kWindowX + pt.x, kWindowY + pt.y); }

    HWND m_hWnd = nullptr;
    CXTPMarkupHost* m_pHost = nullptr;
    CXTPMarkupUIElement* m_pRoot = nullptr;
    std::vector<UINT> m_messages;
    int m_cxBar = 0;
    int m_cyBar = 0;
};

std::string Line(int nDepth, const std::string& tag, int l, int t, int r, int b)
{
    return std::string(2 * nDepth, ' ') + tag + " " + std::to_string(l) + "," + std::to_string(t) + ","
           + std::to_string(r) + "," + std::to_string(b) + "\n";
}

TEST_F(ScrollViewerTest, UnsetVisibilitiesGiveAVerticalBarAlwaysAndNeverAHorizontalOne)
{
    // Content that fits still gets an (inactive) vertical bar...
    LoadViewer("", "<Border Height='50' Background='Red'/>");
    ASSERT_TRUE(VBar());
    EXPECT_FALSE(VBar()->IsActive());
    EXPECT_FALSE(HBar());
    EXPECT_FALSE(Viewer()->GetGripper());
    // ...and content too wide gets no horizontal bar: it is cut.
    LoadViewer("");
    ASSERT_TRUE(VBar());
    EXPECT_TRUE(VBar()->IsActive());
    EXPECT_FALSE(HBar());
    const std::string expected = Line(0, "ScrollViewer", 0, 0, 300, 200) + Line(1, "StackPanel", 0, 0, 600, 1000)
                                 + Line(2, "Border", 0, 0, 600, 250) + Line(2, "Border", 0, 250, 600, 500)
                                 + Line(2, "Border", 0, 500, 600, 750) + Line(2, "Border", 0, 750, 600, 1000)
                                 + Line(1, "CXTPMarkupScrollBar", 300 - m_cxBar, 0, 300, 200);
    EXPECT_EQ(DumpMarkupLayout(Viewer()), expected);
}

TEST_F(ScrollViewerTest, AutoBarsAppearOnlyForContentThatDoesNotFit)
{
    LoadViewer("VerticalScrollBarVisibility='auto' HorizontalScrollBarVisibility='AUTO'",
               "<Border Width='100' Height='50' Background='Red'/>");
    EXPECT_FALSE(VBar());
    EXPECT_FALSE(HBar());
    Wheel(-120, POINT{50, 20});
    EXPECT_EQ(Offset(), 0);

    LoadViewer("VerticalScrollBarVisibility='Auto' HorizontalScrollBarVisibility='Auto'");
    ASSERT_TRUE(VBar() && HBar() && Viewer()->GetGripper());
    const int vw = 300 - m_cxBar;
    const int vh = 200 - m_cyBar;
    const std::string expected =
        Line(0, "ScrollViewer", 0, 0, 300, 200) + Line(1, "StackPanel", 0, 0, 600, 1000)
        + Line(2, "Border", 0, 0, 600, 250) + Line(2, "Border", 0, 250, 600, 500) + Line(2, "Border", 0, 500, 600, 750)
        + Line(2, "Border", 0, 750, 600, 1000) + Line(1, "CXTPMarkupScrollBar", vw, 0, 300, vh)
        + Line(1, "CXTPMarkupScrollBar", 0, vh, vw, 200) + Line(1, "CXTPMarkupScrollBarGripper", vw, vh, 300, 200);
    EXPECT_EQ(DumpMarkupLayout(Viewer()), expected);
    EXPECT_EQ(VBar()->GetScrollInfo().nMax, 999);
    EXPECT_EQ(VBar()->GetScrollInfo().nPage, vh);
    EXPECT_EQ(HBar()->GetScrollInfo().nMax, 599);
    EXPECT_EQ(HBar()->GetScrollInfo().nPage, vw);

    // Content that shrinks below the view pulls the view back up.
    Viewer()->Scroll(SB_BOTTOM, SB_VERT, 0);
    EXPECT_EQ(Offset(), 1000 - vh);
    Viewer()->GetContent()->SetValue(CXTPMarkupFrameworkElement::m_pHeightProperty, new CXTPMarkupInt(400));
    Render();
    EXPECT_EQ(Offset(), 400 - vh);
}

TEST_F(ScrollViewerTest, ArrowsScrollALineAndRepeatWhileHeld)
{
    LoadViewer("");
    const POINT ptDown = PointIn(VBar(), Bar::PartLastArrow);
    Press(ptDown);
    EXPECT_EQ(Offset(), 16);
    EXPECT_EQ(GetCapture(), m_hWnd);
    EXPECT_EQ(VBar()->GetPressedPart(), Bar::PartLastArrow);
    // Off the arrow the button shows up and nothing repeats.
    Drag(PointIn(VBar(), Bar::PartPageDown));
    EXPECT_EQ(VBar()->GetPressedPart(), Bar::PartNone);
    Release(PointIn(VBar(), Bar::PartPageDown));
    EXPECT_EQ(Offset(), 16);
    EXPECT_FALSE(VBar()->IsTracking());
    EXPECT_NE(GetCapture(), m_hWnd);

    // Held on the arrow, the command repeats after the first delay.
    PointerTo(ptDown);
    Press(ptDown);
    EXPECT_EQ(Offset(), 32);
    PumpMessagesFor(GetDoubleClickTime() * 4 / 5 + 300);
    Release(ptDown);
    EXPECT_GE(Offset(), 64);
    EXPECT_EQ(Offset() % 16, 0);
    const int nReached = Offset();
    PumpMessagesFor(200);
    EXPECT_EQ(Offset(), nReached);

    // The up arrow stops at the top.
    Viewer()->SetScrollOffset(SB_VERT, 5);
    Render();
    Press(PointIn(VBar(), Bar::PartFirstArrow));
    Release(PointIn(VBar(), Bar::PartFirstArrow));
    EXPECT_EQ(Offset(), 0);
}

TEST_F(ScrollViewerTest, HeldPageClickRepeatsOnlyUntilTheThumbReachesThePointer)
{
    LoadViewer("");
    const Bar::Geometry g = VBar()->GetGeometry();
    const int a = (g.nTrackStart + g.nTrackEnd) / 2;
    const POINT pt = FromBar(VBar(), a);
    PointerTo(pt);
    Press(pt);
    EXPECT_EQ(Offset(), 200);
    PumpMessagesFor(GetDoubleClickTime() * 4 / 5 + 800);
    // The thumb now lies under the pointer, and the page area no longer
    // does: the view stays, short of the end.
    const Bar::Geometry now = VBar()->GetGeometry();
    EXPECT_LE(now.nThumbStart, a);
    EXPECT_GT(now.nThumbEnd, a);
    EXPECT_EQ(Offset() % 200, 0);
    EXPECT_GT(Offset(), 200);
    EXPECT_LT(Offset(), 800);
    EXPECT_EQ(VBar()->GetPressedPart(), Bar::PartNone);
    EXPECT_TRUE(VBar()->IsTracking());
    const int nReached = Offset();
    PumpMessagesFor(200);
    EXPECT_EQ(Offset(), nReached);
    Release(pt);
    EXPECT_FALSE(VBar()->IsTracking());
    EXPECT_EQ(m_pHost->GetTrackingElement(), nullptr);

    // Paging up from the end comes back a page at a time.
    Viewer()->Scroll(SB_BOTTOM, SB_VERT, 0);
    Render();
    EXPECT_EQ(Offset(), 800); // the last position: maximum - page + 1
    const POINT ptUp = PointIn(VBar(), Bar::PartPageUp, 1);
    Press(ptUp);
    Release(ptUp);
    EXPECT_EQ(Offset(), 600);
}

TEST_F(ScrollViewerTest, DraggedThumbFollowsSnapsBackFarAwayAndResumes)
{
    LoadViewer("");
    const Bar::Geometry g = VBar()->GetGeometry();
    const POINT ptGrab = PointIn(VBar(), Bar::PartThumb);
    Press(ptGrab);
    EXPECT_EQ(VBar()->GetPressedPart(), Bar::PartThumb);
    EXPECT_EQ(Offset(), 0);

    // Half the free track down: half of what can scroll.
    POINT pt = {ptGrab.x, ptGrab.y + g.nFreeTrack / 2};
    Drag(pt);
    EXPECT_EQ(VBar()->GetGeometry().nThumbStart, g.nTrackStart + g.nFreeTrack / 2);
    EXPECT_EQ(Offset(), MulDiv(800, g.nFreeTrack / 2, g.nFreeTrack));
    const int nDragged = Offset();

    // Still close beside the bar the drag goes on; far beside it the thumb
    // and the view go back; back near, the drag resumes.
    Drag(POINT{pt.x - 7 * m_cxBar, pt.y});
    EXPECT_EQ(Offset(), nDragged);
    Drag(POINT{pt.x - 9 * m_cxBar, pt.y});
    EXPECT_EQ(Offset(), 0);
    EXPECT_EQ(VBar()->GetGeometry().nThumbStart, g.nThumbStart);
    Drag(pt);
    EXPECT_EQ(Offset(), nDragged);

    // Past the end of the track: the last position, and no further.
    Drag(POINT{pt.x, 190 + GetSystemMetrics(SM_CYVTHUMB)});
    EXPECT_EQ(Offset(), 800);
    Release(POINT{pt.x, 190});
    EXPECT_EQ(Offset(), 800);
    EXPECT_FALSE(VBar()->IsTracking());
    EXPECT_NE(GetCapture(), m_hWnd);
    EXPECT_EQ(VBar()->GetGeometry().nThumbEnd, g.nTrackEnd);
}

TEST_F(ScrollViewerTest, ShiftClickCentresTheThumbOnThePointer)
{
    LoadViewer("HorizontalScrollBarVisibility='Visible'");
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    const Bar::Geometry g = HBar()->GetGeometry();
    const int a = g.nTrackStart + g.nThumbLength / 2 + g.nFreeTrack / 4;
    Press(FromBar(HBar(), a));
    EXPECT_EQ(HBar()->GetPressedPart(), Bar::PartThumb);
    const Bar::Geometry now = HBar()->GetGeometry();
    EXPECT_EQ(now.nThumbStart, a - g.nThumbLength / 2);
    EXPECT_EQ(Viewer()->GetHorizontalOffset(),
              MulDiv(600 - (300 - m_cxBar), now.nThumbStart - g.nTrackStart, g.nFreeTrack));
    EXPECT_EQ(Offset(), 0);
    Release(FromBar(HBar(), a));
    EXPECT_FALSE(HBar()->IsTracking());
}

TEST_F(ScrollViewerTest, WheelScrollsFortyEightPixelsPerMessageWhateverTheDelta)
{
    LoadViewer("");
    const POINT pt = {100, 100};
    Send(WM_MOUSEMOVE, pt);
    Wheel(-120, pt);
    EXPECT_EQ(Offset(), 48);
    Wheel(-1, pt);
    EXPECT_EQ(Offset(), 96);
    Wheel(480, pt);
    EXPECT_EQ(Offset(), 48);
    // Over a bar the wheel still reaches the viewer; it stops at either end.
    Send(WM_MOUSEMOVE, PointIn(VBar(), Bar::PartPageDown));
    for (int i = 0; i < 30; ++i)
        Wheel(-120, pt);
    EXPECT_EQ(Offset(), 800);
    for (int i = 0; i < 30; ++i)
        Wheel(120, pt);
    EXPECT_EQ(Offset(), 0);
}

TEST_F(ScrollViewerTest, StepsAtTheEndOfHugeContentStayAtTheEnd)
{
    // A view shorter than a line step over content just short of 2^31 pixels.
    Load("<ScrollViewer Height='10' VerticalAlignment='Top'><Border Height='2147483646'/></ScrollViewer>");
    const POINT pt = {20, 5};
    Send(WM_MOUSEMOVE, pt);
    Viewer()->Scroll(SB_BOTTOM, SB_VERT, 0);
    const int nLast = Offset();
    ASSERT_GT(nLast, INT_MAX - 64);
    const std::function<void()> steps[] = {
        [&] { Viewer()->Scroll(SB_LINEDOWN, SB_VERT, 0); },
        [&] { Viewer()->Scroll(SB_PAGEDOWN, SB_VERT, 0); },
        [&] { Wheel(-120, pt); },
    };
    for (const auto& step : steps)
    {
        step();
        EXPECT_EQ(Offset(), nLast);
    }
    Wheel(120, pt);
    EXPECT_EQ(Offset(), nLast - 48);
}

TEST_F(ScrollViewerTest, ContentIsCutToTheViewportAndShowsWhereScrolled)
{
    Load("<Border Background='White' Padding='20'><ScrollViewer HorizontalScrollBarVisibility='Auto'>" + kBands
         + "</ScrollViewer></Border>");
    auto canvas = Render();
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), white = RGB(255, 255, 255);
    EXPECT_EQ(canvas->Color(100, 100), red);
    EXPECT_EQ(canvas->Color(10, 100), white);
    EXPECT_EQ(canvas->Color(290, 100), white);
    EXPECT_EQ(canvas->Color(100, 190), white);
    // Under the bars and their corner no content shows.
    const int xBar = 280 - m_cxBar, yBar = 180 - m_cyBar;
    EXPECT_EQ(canvas->Count(red, RECT{xBar, 20, 280, 180}), 0);
    EXPECT_EQ(canvas->Count(red, RECT{20, yBar, 280, 180}), 0);
    EXPECT_EQ(canvas->Count(GetSysColor(COLOR_BTNFACE), RECT{xBar, yBar, 280, 180}), m_cxBar * m_cyBar);

    Viewer()->SetScrollOffset(SB_VERT, 240);
    canvas = Render();
    EXPECT_EQ(canvas->Color(100, 25), red);
    EXPECT_EQ(canvas->Color(100, 40), green);
    EXPECT_EQ(canvas->Color(100, 15), white);
    EXPECT_EQ(canvas->Count(green, RECT{0, 0, 300, 20}), 0);
    // The content moved as a whole, its children with it.
    const std::string dump = DumpMarkupLayout(Viewer());
    EXPECT_NE(dump.find(Line(1, "StackPanel", 20, -220, 620, 780)), std::string::npos) << dump;
    EXPECT_NE(dump.find(Line(2, "Border", 20, 30, 620, 280)), std::string::npos) << dump;

    // The content's rectangle is its whole length, but a scroll repaints
    // only the viewer's box, and a band scrolled out of it nothing.
    const RECT rcViewer = {20, 20, 280, 180};
    CXTPMarkupUIElement* pContent = Viewer()->GetContent();
    const RECT rcContent = m_pHost->GetElementRect(pContent),
               rcLastBand = m_pHost->GetElementRect(pContent->GetChild(3));
    const RECT rcWhole = {20, -220, 620, 780}, rcBandBelow = {20, 530, 620, 780};
    EXPECT_TRUE(EqualRect(&rcContent, &rcWhole));
    EXPECT_TRUE(EqualRect(&rcLastBand, &rcBandBelow));
    ValidateRect(m_hWnd, nullptr);
    m_pHost->InvalidateElement(pContent->GetChild(3));
    EXPECT_FALSE(GetUpdateRect(m_hWnd, nullptr, FALSE));
    Send(WM_MOUSEMOVE, POINT{100, 100});
    ValidateRect(m_hWnd, nullptr);
    Wheel(-120, POINT{100, 100});
    EXPECT_EQ(Offset(), 240 + 48);
    RECT rcUpdate = {};
    ASSERT_TRUE(GetUpdateRect(m_hWnd, &rcUpdate, FALSE));
    EXPECT_TRUE(EqualRect(&rcUpdate, &rcViewer));
}

// The bar alone, drawn over grey.
std::unique_ptr<CDibCanvas> RenderBar(Bar* pBar)
{
    auto canvas = std::make_unique<CDibCanvas>(kClientWidth, kClientHeight, RGB(128, 128, 128));
    CXTPMarkupGdiPainter painter(canvas->GetDC());
    pBar->Render(&painter);
    return canvas;
}

// Whether rc of the scene holds what draw paints into a canvas of rc's size
// over the same grey.
template <class Draw> bool LooksLike(const CDibCanvas& scene, RECT rc, Draw draw)
{
    CDibCanvas reference(rc.right - rc.left, rc.bottom - rc.top, RGB(128, 128, 128));
    RECT rcReference = {0, 0, rc.right - rc.left, rc.bottom - rc.top};
    draw(reference.GetDC(), rcReference);
    for (int y = rc.top; y < rc.bottom; ++y)
    {
        for (int x = rc.left; x < rc.right; ++x)
        {
            if (scene.Color(x, y) != reference.Color(x - rc.left, y - rc.top))
                return false;
        }
    }
    return true;
}

RECT InClient(const RECT& rcPart, const RECT& rcBar)
{
    RECT rc = rcPart;
    OffsetRect(&rc, rcBar.left, rcBar.top);
    return rc;
}

TEST_F(ScrollViewerTest, ThemedBarsDrawTheStylesPartsInTheirStates)
{
    if (!CXTPThemeHandle::IsThemeActive())
        GTEST_SKIP() << "no visual style here";
    CXTPThemeHandle theme;
    ASSERT_TRUE(theme.Open(m_hWnd, L"SCROLLBAR"));
    auto part = [&](int nPart, int nState)
    { return [&theme, nPart, nState](HDC hDC, const RECT& rc) { theme.DrawBackground(hDC, nPart, nState, rc); }; };

    LoadViewer("", "<Border Height='50'/>");
    auto canvas = RenderBar(VBar());
    const RECT rcBar = m_pHost->GetElementRect(VBar());
    EXPECT_TRUE(LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartFirstArrow), rcBar),
                          part(SBP_ARROWBTN, ABS_UPDISABLED)));

    LoadViewer("");
    Send(WM_MOUSEMOVE, PointIn(VBar(), Bar::PartLastArrow));
    EXPECT_EQ(VBar()->GetHotPart(), Bar::PartLastArrow);
    canvas = RenderBar(VBar());
    EXPECT_TRUE(
        LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartLastArrow), rcBar), part(SBP_ARROWBTN, ABS_DOWNHOT)));
    EXPECT_TRUE(LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartFirstArrow), rcBar),
                          part(SBP_ARROWBTN, ABS_UPNORMAL)));

    Press(PointIn(VBar(), Bar::PartThumb));
    canvas = RenderBar(VBar());
    const bool bGripper = VBar()->GetGeometry().nThumbLength > 13;
    EXPECT_TRUE(LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartThumb), rcBar),
                          [&](HDC hDC, const RECT& rc)
                          {
                              theme.DrawBackground(hDC, SBP_THUMBBTNVERT, SCRBS_PRESSED, rc);
                              if (bGripper)
                                  theme.DrawBackground(hDC, SBP_GRIPPERVERT, SCRBS_PRESSED, rc);
                          }));
    EXPECT_TRUE(LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartPageDown), rcBar), part(7, SCRBS_NORMAL)));
    Release(PointIn(VBar(), Bar::PartThumb));

    // Too short for a thumb: the whole track, in its normal state, neither
    // pressed nor hot.
    Load("<StackPanel><ScrollViewer Height='40'>" + kBands + "</ScrollViewer></StackPanel>");
    ASSERT_FALSE(VBar()->HasVisibleThumb(VBar()->GetGeometry()));
    canvas = RenderBar(VBar());
    const RECT rcShortBar = m_pHost->GetElementRect(VBar());
    RECT rcTrack = VBar()->GetPartRect(Bar::PartFirstArrow);
    rcTrack.top = rcTrack.bottom;
    rcTrack.bottom = VBar()->GetPartRect(Bar::PartLastArrow).top;
    ASSERT_FALSE(IsRectEmpty(&rcTrack));
    EXPECT_TRUE(LooksLike(*canvas, InClient(rcTrack, rcShortBar), part(6, SCRBS_NORMAL)));
}

TEST_F(ScrollViewerTest, ThemedPageAreasDrawTheirOwnTrackParts)
{
    if (!CXTPThemeHandle::IsThemeActive())
        GTEST_SKIP() << "no visual style here";
    CXTPThemeHandle theme;
    ASSERT_TRUE(theme.Open(m_hWnd, L"SCROLLBAR"));
    LoadViewer("VerticalScrollBarVisibility='Visible' HorizontalScrollBarVisibility='Visible'",
               "<Border Width='2000' Height='2000'/>");
    Viewer()->SetScrollOffset(SB_VERT, 900);
    Viewer()->SetScrollOffset(SB_HORZ, 900);
    Render();
    struct
    {
        Bar* pBar;
        int nPageUpPart;
        int nPageDownPart;
    } const bars[] = {{VBar(), 6, 7}, {HBar(), 4, 5}};
    for (const auto& bar : bars)
    {
        auto canvas = RenderBar(bar.pBar);
        const RECT rcBar = m_pHost->GetElementRect(bar.pBar);
        const RECT rcPageUp = bar.pBar->GetPartRect(Bar::PartPageUp);
        const RECT rcPageDown = bar.pBar->GetPartRect(Bar::PartPageDown);
        ASSERT_FALSE(IsRectEmpty(&rcPageUp) || IsRectEmpty(&rcPageDown));
        for (auto [rc, nPart] : {std::pair(rcPageUp, bar.nPageUpPart), std::pair(rcPageDown, bar.nPageDownPart)})
        {
            EXPECT_TRUE(LooksLike(*canvas, InClient(rc, rcBar),
                                  [&theme, nPart](HDC hDC, const RECT& rcPart)
                                  { theme.DrawBackground(hDC, nPart, SCRBS_NORMAL, rcPart); }))
                << "part " << nPart;
        }
    }
}

TEST_F(ScrollViewerTest, ClassicBarsDrawFramesAnInvertedPressedPageAndARaisedThumb)
{
    CXTPThemeHandle::SetClassicLook(true);
    LoadViewer("", "<Border Height='50'/>");
    auto canvas = RenderBar(VBar());
    RECT rcBar = m_pHost->GetElementRect(VBar());
    auto frame = [](UINT nState)
    {
        return [nState](HDC hDC, const RECT& rc)
        {
            RECT r = rc;
            DrawFrameControl(hDC, &r, DFC_SCROLL, nState);
        };
    };
    EXPECT_TRUE(LooksLike(*canvas, InClient(VBar()->GetPartRect(Bar::PartFirstArrow), rcBar),
                          frame(DFCS_SCROLLUP | DFCS_INACTIVE)));

    LoadViewer("HorizontalScrollBarVisibility='Visible'");
    rcBar = m_pHost->GetElementRect(HBar());
    const RECT rcThumb = InClient(HBar()->GetPartRect(Bar::PartThumb), rcBar);
    const POINT ptPage = PointIn(HBar(), Bar::PartPageDown, 40);
    auto before = RenderBar(HBar());
    EXPECT_TRUE(LooksLike(*before, rcThumb,
                          [](HDC hDC, const RECT& rc)
                          {
                              RECT r = rc;
                              FillRect(hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
                              DrawEdge(hDC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
                          }));

    // Held down in the page area, the rest of that area shows inverted; the
    // arrow held down shows pushed.
    Press(ptPage);
    auto pressed = RenderBar(HBar());
    const RECT rcPage = InClient(HBar()->GetPartRect(Bar::PartPageDown), rcBar);
    const COLORREF clrBefore = before->Color(rcPage.right - 2, rcPage.top + 3);
    EXPECT_EQ(pressed->Color(rcPage.right - 2, rcPage.top + 3), clrBefore ^ 0xFFFFFF);
    Release(ptPage);
    EXPECT_EQ(RenderBar(HBar())->Color(rcPage.right - 2, rcPage.top + 3), clrBefore);

    Press(PointIn(HBar(), Bar::PartLastArrow));
    EXPECT_TRUE(LooksLike(*RenderBar(HBar()), InClient(HBar()->GetPartRect(Bar::PartLastArrow), rcBar),
                          frame(DFCS_SCROLLRIGHT | DFCS_PUSHED)));
    Release(PointIn(HBar(), Bar::PartLastArrow));
}

TEST_F(ScrollViewerTest, TrackingRunsOnTheWindowsOwnMessages)
{
    LoadViewer("");
    // The button down returns at once: nothing waiting in the queue is
    // dispatched from inside it.
    PostMessageA(m_hWnd, WM_APP, 0, 0);
    Press(PointIn(VBar(), Bar::PartThumb));
    EXPECT_TRUE(VBar()->IsTracking());
    EXPECT_EQ(std::count(m_messages.begin(), m_messages.end(), static_cast<UINT>(WM_APP)), 0);
    EXPECT_EQ(m_pHost->GetTrackingElement(), VBar());

    // Other timers of the window are not the bar's.
    LRESULT lResult = 0;
    EXPECT_FALSE(RouteToHost(m_pRoot, WM_TIMER, 1, 0, &lResult));
    EXPECT_TRUE(RouteToHost(m_pRoot, WM_TIMER, Bar::kRepeatTimerId, 0, &lResult));

    // The capture taken away ends the operation.
    Drag(PointIn(VBar(), Bar::PartThumb, 40));
    const int nDragged = Offset();
    EXPECT_GT(nDragged, 0);
    ReleaseCapture();
    EXPECT_FALSE(VBar()->IsTracking());
    EXPECT_EQ(m_pHost->GetTrackingElement(), nullptr);
    EXPECT_EQ(Offset(), nDragged);

    // A move without the button down ends a drag whose button up was missed.
    Press(PointIn(VBar(), Bar::PartThumb));
    Send(WM_MOUSEMOVE, PointIn(VBar(), Bar::PartThumb));
    EXPECT_FALSE(VBar()->IsTracking());
    EXPECT_NE(GetCapture(), m_hWnd);

    // The tree let go during a drag: the window keeps no capture, and later
    // messages find nothing to go to.
    Press(PointIn(VBar(), Bar::PartLastArrow));
    EXPECT_EQ(GetCapture(), m_hWnd);
    DropElement(m_pRoot);
    EXPECT_EQ(m_pHost->GetTrackingElement(), nullptr);
    EXPECT_NE(GetCapture(), m_hWnd);
    PumpMessagesFor(GetDoubleClickTime());
}

TEST_F(ScrollViewerTest, ThousandViewersLeaveNoObjectsOrThemeHandles)
{
    const long nThemesBefore = CXTPThemeHandle::GetOpenCount();
    auto cycle = [&]
    {
        LoadViewer("VerticalScrollBarVisibility='Auto' HorizontalScrollBarVisibility='Auto'");
        const POINT pt = PointIn(VBar(), Bar::PartLastArrow);
        Press(pt);
        Release(pt);
        Send(WM_MOUSEMOVE, POINT{50, 50});
        Wheel(-120, POINT{50, 50});
        // Measured again and again: each bar keeps one theme handle.
        for (int i = 0; i < 2; ++i)
        {
            Viewer()->SetValue(CXTPMarkupFrameworkElement::m_pWidthProperty, new CXTPMarkupInt(280 - i));
            Render();
        }
        EXPECT_LE(CXTPThemeHandle::GetOpenCount(), nThemesBefore + 2);
        Send(WM_MOUSELEAVE, POINT{0, 0});
        DropElement(m_pRoot);
    };
    cycle();
    const DWORD dwGdiBefore = CountGdiObjects();
    CMarkupLiveObjects live;
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_EQ(live.Added(), 0);
    EXPECT_EQ(CXTPThemeHandle::GetOpenCount(), nThemesBefore);
    ASSERT_NE(dwGdiBefore, 0u) << "GDI objects cannot be counted here";
    EXPECT_EQ(CountGdiObjects(), dwGdiBefore);
}
} // namespace

// The host context in a real window: parsing, enter and leave along element
// chains, capture, buttons, cursors, the wheel, tooltips, the font cache,
// the window helpers, and what is left after a thousand trees came and went.
#include "markup/elements/UIElement.h"
#include "markup/host/CachedFont.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/elements/InputElement.h"
#include "markup/host/WindowHelpers.h"

#include "markup/model/Numbers.h"
#include "markup/model/String.h"

#include "toolkit/GdiHandles.h"

#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "support/MarkupLeakCheck.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

constexpr int kWindowX = 200;
constexpr int kWindowY = 150;
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 200;

// Outer fills 0,0,200,100 with Inner in its corner (0,0,50,50); Other lies
// below Outer across the window (0,100,300,150); Root covers the rest.
// Every element reports entering and leaving; Inner takes the mouse when
// its left button goes down and handles that event itself.
const char kTree[] =
    "<StackPanel x:Name='Root' Background='White' MouseEnter='Enter' MouseLeave='Leave' "
    "  MouseLeftButtonDown='Down' MouseLeftButtonUp='Up' pLostMouseCapture='Lost' ToolTip='Root tip'>"
    " <StackPanel x:Name='Outer' Background='Red' Width='200' Height='100' HorizontalAlignment='Left'"
    "   MouseEnter='Enter' MouseLeave='Leave' MouseLeftButtonDown='Down' MouseLeftButtonUp='Up' ToolTip='Outer tip'>"
    "  <StackPanel x:Name='Inner' Background='Blue' Width='50' Height='50' HorizontalAlignment='Left' Cursor='hand'"
    "    MouseEnter='Enter' MouseLeave='Leave' MouseLeftButtonDown='Capture' MouseLeftButtonUp='Up'"
    "    pLostMouseCapture='Lost'>"
    "   <StackPanel.ToolTip><StackPanel/></StackPanel.ToolTip>"
    "  </StackPanel>"
    " </StackPanel>"
    " <StackPanel x:Name='Other' Background='Green' Height='50' Cursor='None' MouseEnter='Enter' "
    "   MouseLeave='Leave' MouseLeftButtonUp='Up'/>"
    "</StackPanel>";

const POINT kInner = {25, 25};
const POINT kOuter = {150, 50};
const POINT kOther = {150, 125};
const POINT kRootOnly = {250, 50};

std::string NameOf(CXTPMarkupObject* pObject)
{
    const CXTPMarkupString* pName =
        pObject ? MarkupCast<CXTPMarkupString>(pObject->GetValue(CXTPMarkupObject::m_pNameProperty)) : nullptr;
    return pName ? std::string(pName->GetText(), pName->GetText() + pName->GetLength()) : "?";
}

// A host that says when it is gone.
class CWatchedHost : public CXTPMarkupHost
{
public:
    explicit CWatchedHost(bool* pbDeleted) : m_pbDeleted(pbDeleted) {}

protected:
    ~CWatchedHost() override { *m_pbDeleted = true; }

private:
    bool* m_pbDeleted;
};

class HostWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The real pointer stays away from the window: only the test moves
        // the mouse over it.
        SetCursorPos(0, 0);
        m_hWnd = CreateTestWindow("HoraleonHostTest", &HostWindowTest::WindowProc, kWindowX, kWindowY, kClientWidth,
                                  kClientHeight, this, CS_DBLCLKS);
        ASSERT_TRUE(m_hWnd) << "windows need the X display";
        PumpMessagesFor(20);
        m_pHost = new CWatchedHost(&m_bHostDeleted);
        m_pHost->SetHwnd(m_hWnd);
        AddRecorder(L"Enter", "Enter");
        AddRecorder(L"Leave", "Leave");
        AddRecorder(L"Down", "Down");
        AddRecorder(L"Up", "Up");
        AddRecorder(L"Lost", "Lost");
        m_pHost->AddDelegate(L"Capture", new CXTPMarkupDelegate(
                                             [this](CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
                                             {
                                                 m_log.push_back("Capture@" + NameOf(pSender));
                                                 MarkupCast<CXTPMarkupInputElement>(pSender)->CaptureMouse();
                                                 pArgs->m_bHandled = TRUE;
                                             }));
        m_pRoot = m_pHost->Parse(kTree);
        ASSERT_TRUE(m_pRoot) << m_pHost->GetParseError();
        Layout(m_pRoot);
    }

    void TearDown() override
    {
        DropElement(m_pRoot);
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        if (m_pHost)
        {
            DropHost(m_pHost);
            EXPECT_TRUE(m_bHostDeleted);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* pTest = reinterpret_cast<HostWindowTest*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (pTest)
        {
            pTest->m_messages.push_back(message);
            LRESULT lResult = 0;
            if (pTest->m_pRoot && pTest->m_bRoute && RouteToHost(pTest->m_pRoot, message, wParam, lParam, &lResult))
                return lResult;
            if (message == WM_NCDESTROY)
                SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }

    void AddRecorder(LPCWSTR lpszName, const std::string& strEvent)
    {
        m_pHost->AddDelegate(lpszName,
                             new CXTPMarkupDelegate([this, strEvent](CXTPMarkupObject* pSender, CXTPMarkupEventArgs*)
                                                    { m_log.push_back(strEvent + "@" + NameOf(pSender)); }));
    }

    void Layout(CXTPMarkupUIElement* pRoot)
    {
        CDibCanvas canvas(kClientWidth, kClientHeight);
        const RECT rc = {0, 0, kClientWidth, kClientHeight};
        MeasureTree(pRoot, kClientWidth, kClientHeight);
        PaintTree(pRoot, canvas.GetDC(), &rc);
    }

    LRESULT Send(UINT message, POINT pt, WPARAM wParam = 0)
    {
        return SendMessageA(m_hWnd, message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    void MoveTo(POINT pt) { Send(WM_MOUSEMOVE, pt); }

    // What reached the handlers since the last call.
    Log Take() { return std::exchange(m_log, Log()); }

    std::string HotName() const { return m_pHost->GetHotElement() ? NameOf(m_pHost->GetHotElement()) : "none"; }

    HWND m_hWnd = nullptr;
    CXTPMarkupHost* m_pHost = nullptr;
    bool m_bHostDeleted = false;
    CXTPMarkupUIElement* m_pRoot = nullptr;
    bool m_bRoute = true;
    Log m_log;
    std::vector<UINT> m_messages;
};

TEST_F(HostWindowTest, EnterAndLeaveTravelOnlyTheChainsThatDiffer)
{
    MoveTo(kOuter);
    EXPECT_EQ(Take(), (Log{"Enter@Outer", "Enter@Root"}));
    EXPECT_EQ(m_pHost->GetMouseOwnerRoot(), m_pRoot);

    // Into a child and back: the shared parent hears of neither.
    MoveTo(kInner);
    EXPECT_EQ(Take(), (Log{"Enter@Inner"}));
    MoveTo(kOuter);
    EXPECT_EQ(Take(), (Log{"Leave@Inner"}));
    MoveTo(kOuter);
    EXPECT_EQ(Take(), Log{});

    // Across to a sibling branch, then out of every element.
    MoveTo(kInner);
    MoveTo(kOther);
    EXPECT_EQ(Take(), (Log{"Enter@Inner", "Leave@Inner", "Leave@Outer", "Enter@Other"}));
    MoveTo(kRootOnly);
    EXPECT_EQ(Take(), (Log{"Leave@Other"}));
    EXPECT_EQ(HotName(), "Root");

    // Leaving the window leaves the whole chain and frees the mouse.
    MoveTo(kInner);
    Take();
    SendMessageA(m_hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Take(), (Log{"Leave@Inner", "Leave@Outer", "Leave@Root"}));
    EXPECT_EQ(HotName(), "none");
    EXPECT_EQ(m_pHost->GetMouseOwnerRoot(), nullptr);
    EXPECT_FALSE(static_cast<BOOL>(
        *MarkupCast<CXTPMarkupBool>(m_pRoot->GetValue(CXTPMarkupInputElement::m_pIsMouseOverProperty))));
}

TEST_F(HostWindowTest, AskedLeaveNotificationArrivesWhenThePointerIsElsewhere)
{
    // The system watches the window for the pointer leaving it: a request
    // of the wrong size would be refused, and the leave never come.
    SetCursorPos(kWindowX + kInner.x, kWindowY + kInner.y);
    PumpMessagesFor(100);
    MoveTo(kInner);
    Take();
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&tme));
    EXPECT_EQ(tme.hwndTrack, m_hWnd);
    EXPECT_TRUE(tme.dwFlags & TME_LEAVE);
    SetCursorPos(0, 0);
    PumpMessagesFor(500);
    EXPECT_EQ(Take(), (Log{"Leave@Inner", "Leave@Outer", "Leave@Root"}));
    EXPECT_NE(std::find(m_messages.begin(), m_messages.end(), static_cast<UINT>(WM_MOUSELEAVE)), m_messages.end());
    EXPECT_EQ(HotName(), "none");
}

TEST_F(HostWindowTest, CapturedElementKeepsButtonsAndLosesHotnessOutsideItself)
{
    MoveTo(kInner);
    Send(WM_LBUTTONDOWN, kInner, MK_LBUTTON);
    EXPECT_EQ(Take(), (Log{"Enter@Inner", "Enter@Outer", "Enter@Root", "Capture@Inner"}));
    EXPECT_EQ(NameOf(m_pHost->GetCapturedElement()), "Inner");
    EXPECT_EQ(GetCapture(), m_hWnd);

    // Outside the captured element nothing is hot, not even what is under
    // the pointer; back inside, the captured element is hot again.
    MoveTo(kOther);
    EXPECT_EQ(Take(), (Log{"Leave@Inner", "Leave@Outer", "Leave@Root"}));
    EXPECT_EQ(HotName(), "none");
    MoveTo(kOuter);
    EXPECT_EQ(Take(), Log{});
    MoveTo(kInner);
    EXPECT_EQ(Take(), (Log{"Enter@Inner", "Enter@Outer", "Enter@Root"}));

    // The button goes up over another element and still reaches the captured
    // one's chain.
    MoveTo(kOther);
    Take();
    Send(WM_LBUTTONUP, kOther);
    EXPECT_EQ(Take(), (Log{"Up@Inner", "Up@Outer", "Up@Root"}));

    // Losing the system capture tells the element and clears the slot.
    ReleaseCapture();
    EXPECT_EQ(Take(), (Log{"Lost@Inner"}));
    EXPECT_EQ(m_pHost->GetCapturedElement(), nullptr);
}

TEST_F(HostWindowTest, DoubleClickIsASecondButtonDown)
{
    MoveTo(kInner);
    Take();
    Send(WM_LBUTTONDOWN, kInner, MK_LBUTTON);
    Send(WM_LBUTTONUP, kInner);
    Send(WM_LBUTTONDBLCLK, kInner, MK_LBUTTON);
    Send(WM_LBUTTONUP, kInner);
    EXPECT_EQ(Take(), (Log{"Capture@Inner", "Up@Inner", "Up@Outer", "Up@Root", "Capture@Inner", "Up@Inner", "Up@Outer",
                           "Up@Root"}));
    // Right buttons have no handlers here: unhandled, the window gets them.
    EXPECT_EQ(Send(WM_RBUTTONDOWN, kInner), 0);
    EXPECT_EQ(Take(), Log{});
}

TEST_F(HostWindowTest, ButtonWithoutAMoveBeforeItFindsTheElementUnderIt)
{
    // A pointer warped back into the window clicks before any move arrives.
    MoveTo(kOther);
    SendMessageA(m_hWnd, WM_MOUSELEAVE, 0, 0);
    Take();
    Send(WM_LBUTTONDOWN, kInner, MK_LBUTTON);
    EXPECT_EQ(Take(), (Log{"Enter@Inner", "Enter@Outer", "Enter@Root", "Capture@Inner"}));
    EXPECT_EQ(NameOf(m_pHost->GetCapturedElement()), "Inner");
    Send(WM_LBUTTONUP, kInner);
    EXPECT_EQ(Take(), (Log{"Up@Inner", "Up@Outer", "Up@Root"}));
}

TEST_F(HostWindowTest, SecondRootIsRefusedWhileTheFirstOwnsTheMouse)
{
    CXTPMarkupUIElement* pSecond =
        m_pHost->Parse("<StackPanel x:Name='Second' Background='Gray' MouseEnter='Enter' MouseLeftButtonDown='Down'/>");
    ASSERT_TRUE(pSecond);
    Layout(pSecond);
    LRESULT lResult = 0;

    MoveTo(kOuter);
    Take();
    EXPECT_FALSE(RouteToHost(pSecond, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), &lResult));
    EXPECT_FALSE(RouteToHost(pSecond, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10), &lResult));
    EXPECT_EQ(Take(), Log{});
    EXPECT_EQ(HotName(), "Outer");

    // Once the first root lets the mouse go, the second gets it.
    SendMessageA(m_hWnd, WM_MOUSELEAVE, 0, 0);
    Take();
    RouteToHost(pSecond, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), &lResult);
    RouteToHost(pSecond, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10), &lResult);
    EXPECT_EQ(Take(), (Log{"Enter@Second", "Down@Second"}));
    EXPECT_EQ(m_pHost->GetMouseOwnerRoot(), pSecond);
    SendMessageA(m_hWnd, WM_MOUSELEAVE, 0, 0);
    DropElement(pSecond);
}

TEST_F(HostWindowTest, CursorComesFromTheNearestElementThatSetsOne)
{
    MoveTo(kInner);
    EXPECT_EQ(SendMessageA(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, 0)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));

    // "None" answers without a cursor: the window keeps its own.
    MoveTo(kOther);
    EXPECT_EQ(SendMessageA(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, 0)), FALSE);
    // Nobody on the chain sets one.
    MoveTo(kOuter);
    EXPECT_EQ(SendMessageA(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, 0)), FALSE);
}

TEST_F(HostWindowTest, TooltipShowsTheNearestStringAndNeverSeesTheWheel)
{
    CMarkupToolTipRelay* pRelay = m_pHost->GetToolTipRelay();
    EXPECT_EQ(pRelay->GetStyle(), CMarkupToolTipRelay::kStylePlain);

    // Inner's tooltip is an element, not a string: Outer's text is shown,
    // for Outer's rectangle.
    MoveTo(kInner);
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    const INT_PTR nTool = m_pHost->ToolHitTest(&ti);
    ASSERT_NE(nTool, -1);
    EXPECT_EQ(NameOf(reinterpret_cast<CXTPMarkupObject*>(nTool)), "Outer");
    ASSERT_TRUE(ti.lpszText);
    EXPECT_STREQ(ti.lpszText, "Outer tip");
    free(ti.lpszText);
    EXPECT_EQ(ti.hwnd, m_hWnd);
    EXPECT_EQ(ti.rect.right, 200);
    EXPECT_EQ(ti.rect.bottom, 100);

    // The relay put that tool into the tooltip window.
    EXPECT_EQ(pRelay->GetToolText(), "Outer tip");
    HWND hTip = pRelay->GetToolTipWindow();
    ASSERT_TRUE(IsWindow(hTip));
    EXPECT_EQ(SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char szText[80] = {};
    TOOLINFOA shown = {};
    shown.cbSize = TTTOOLINFOA_V2_SIZE;
    shown.hwnd = m_hWnd;
    shown.uId = static_cast<UINT_PTR>(nTool);
    shown.lpszText = szText;
    SendMessageA(hTip, TTM_GETTEXTA, sizeof(szText), reinterpret_cast<LPARAM>(&shown));
    EXPECT_STREQ(szText, "Outer tip");

    MoveTo(kOther);
    EXPECT_EQ(pRelay->GetToolText(), "Root tip");

    // Buttons are relayed, the wheel is not.
    const UINT nRelayed = pRelay->GetRelayedCount();
    POINT ptScreen = {kWindowX + kOther.x, kWindowY + kOther.y};
    SendMessageA(m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(ptScreen.x, ptScreen.y));
    EXPECT_EQ(pRelay->GetRelayedCount(), nRelayed);
    Send(WM_RBUTTONDOWN, kOther);
    EXPECT_EQ(pRelay->GetRelayedCount(), nRelayed + 1);

    // Leaving the window takes the tool away.
    SendMessageA(m_hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pRelay->GetCurrentTool(), -1);
    EXPECT_EQ(SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_EQ(m_pHost->ToolHitTest(&ti), -1);
}

TEST_F(HostWindowTest, ReleasedElementLetsGoOfTheMouse)
{
    MoveTo(kInner);
    Send(WM_LBUTTONDOWN, kInner, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), m_hWnd);
    MoveTo(kOther); // Inner is no longer hot, only captured
    ASSERT_EQ(HotName(), "none");

    DropElement(m_pRoot);
    EXPECT_EQ(m_pHost->GetCapturedElement(), nullptr);
    EXPECT_NE(GetCapture(), m_hWnd);
}

TEST_F(HostWindowTest, HotElementAndHostDoNotOutliveTheWindow)
{
    // The tree is dropped while an element is hot, and the window goes
    // without its last messages reaching the host.
    MoveTo(kInner);
    m_bRoute = false;
    DropElement(m_pRoot);
    EXPECT_EQ(HotName(), "Inner") << "held while its window lives";
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    // Dropping the creator's reference frees the pair; the test's leak
    // check sees that the elements went too.
    DropHost(m_pHost);
    EXPECT_TRUE(m_bHostDeleted);
}

TEST_F(HostWindowTest, WindowDestructionDropsTheHotElementWhicheverRootOwnsIt)
{
    CXTPMarkupUIElement* pSecond = m_pHost->Parse("<StackPanel Background='Gray'/>");
    MoveTo(kInner);
    Take();
    LRESULT lResult = 0;
    RouteToHost(pSecond, WM_DESTROY, 0, 0, &lResult);
    EXPECT_EQ(Take(), (Log{"Leave@Inner", "Leave@Outer", "Leave@Root"}));
    EXPECT_EQ(m_pHost->GetHotElement(), nullptr);
    DropElement(pSecond);
}

TEST_F(HostWindowTest, ParseKeepsTheBuilderErrorText)
{
    CXTPMarkupUIElement* pRoot = m_pHost->Parse("<StackPanel/><StackPanel/>");
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_EQ(m_pHost->GetParseError(), "There are multiple root elements. Line 1, position 26");
    EXPECT_EQ(m_pHost->Parse("<StackPanel MouseEnter='Nobody'/>"), nullptr);
    EXPECT_EQ(m_pHost->GetParseError(), "'Nobody' delegate not found. Line 1, position 32");

    pRoot = m_pHost->Parse("<StackPanel/>");
    EXPECT_TRUE(pRoot);
    EXPECT_EQ(m_pHost->GetParseError(), "");
    DropElement(pRoot);
    EXPECT_EQ(ParseWithHost(nullptr, "<StackPanel/>"), nullptr);
    EXPECT_EQ(m_pHost->Parse(nullptr), nullptr);
}

TEST(HostTest, SameFontServesRequestsDifferingOnlyInDecorations)
{
    CXTPMarkupHost* pHost = new CXTPMarkupHost();
    LOGFONTA lf = pHost->GetDefaultFont();
    EXPECT_NE(lf.lfHeight, 0) << "the message-box font";

    CXTPMarkupCachedFont* pFont = pHost->GetCachedFont(lf);
    LOGFONTA lfUnderlined = lf;
    lfUnderlined.lfUnderline = TRUE;
    lfUnderlined.lfCharSet = SYMBOL_CHARSET;
    CXTPMarkupCachedFont* pSame = pHost->GetCachedFont(lfUnderlined);
    EXPECT_EQ(pSame, pFont);
    LOGFONTA lfBold = lf;
    lfBold.lfWeight = FW_BOLD;
    CXTPMarkupCachedFont* pBold = pHost->GetCachedFont(lfBold);
    EXPECT_NE(pBold, pFont);
    LOGFONTA lfOtherFace = lf;
    lstrcpyA(lfOtherFace.lfFaceName, "Courier New");
    CXTPMarkupCachedFont* pOtherFace = pHost->GetCachedFont(lfOtherFace);
    EXPECT_NE(pOtherFace, pFont);

    EXPECT_EQ(pHost->GetFontList()->GetHead(), pFont);
    EXPECT_EQ(pHost->GetFontList()->GetTail(), pOtherFace);

    // A font leaves the cache with its last holder; the next request makes
    // a new one.
    pFont->Release();
    pSame->Release();
    EXPECT_EQ(pHost->GetFontList()->GetHead(), pBold);
    CXTPMarkupCachedFont* pAgain = pHost->GetCachedFont(lf);
    EXPECT_EQ(pHost->GetFontList()->GetTail(), pAgain);
    pAgain->Release();
    pBold->Release();
    pOtherFace->Release();
    EXPECT_EQ(pHost->GetFontList()->GetHead(), nullptr);
    DropHost(pHost);
}

TEST(HostTest, FillAndPaintTreeFillsThenSizesTheTreeToTheRectangle)
{
    CXTPMarkupHost* pHost = HostForWindow(nullptr);
    CDibCanvas canvas(20, 10, RGB(1, 2, 3));
    CXTPGdiObject<HBRUSH> hGreen(CreateSolidBrush(RGB(0, 255, 0)));
    const RECT rc = {0, 0, 20, 10};
    FillAndPaintTree(nullptr, canvas.GetDC(), rc, hGreen.Get());
    EXPECT_EQ(canvas.Color(15, 5), RGB(0, 255, 0));

    // Measured for the rectangle: a fixed-width child is placed left, the
    // rest of the row shows the fill.
    CXTPMarkupUIElement* pRoot =
        ParseWithHost(pHost, "<StackPanel Orientation='Horizontal'><Border Width='5' Background='Red'/></StackPanel>");
    ASSERT_NE(pRoot, nullptr);
    FillAndPaintTree(pRoot, canvas.GetDC(), rc, hGreen.Get());
    EXPECT_EQ(canvas.Color(2, 5), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Color(15, 5), RGB(0, 255, 0));
    EXPECT_EQ(pRoot->GetArrangedSize().cx, 20);
    DropElement(pRoot);
    DropHost(pHost);
}

TEST(HostTest, WindowHelpersWithMissingPartsDoNothing)
{
    CXTPMarkupHost* pHost = HostForWindow(nullptr);
    EXPECT_EQ(MeasureTree(nullptr, 100, 100).cx, 0);
    CDibCanvas canvas(10, 10, RGB(1, 2, 3));
    const RECT rc = {0, 0, 10, 10};
    CXTPMarkupUIElement* pRoot = ParseWithHost(pHost, "<StackPanel Background='Red'/>");
    PaintTree(pRoot, nullptr, &rc);
    PaintTree(pRoot, canvas.GetDC(), nullptr);
    PaintTree(nullptr, canvas.GetDC(), &rc);
    EXPECT_EQ(canvas.Color(5, 5), RGB(1, 2, 3));
    PaintTree(pRoot, canvas.GetDC(), &rc);
    EXPECT_EQ(canvas.Color(5, 5), RGB(255, 0, 0));

    // No window: no message is handled.
    LRESULT lResult = 0;
    EXPECT_FALSE(RouteToHost(pRoot, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), &lResult));
    EXPECT_EQ(pHost->GetHotElement(), nullptr);
    EXPECT_FALSE(RouteToHost(nullptr, WM_MOUSEMOVE, 0, 0, &lResult));

    // Defaults: the font of a handle, and a colour unless it is "none".
    HFONT hFont = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SetHostDefaults(pHost, hFont, RGB(10, 20, 30));
    EXPECT_EQ(pHost->GetDefaultFont().lfHeight, -20);
    EXPECT_EQ(pHost->GetDefaultFont().lfWeight, FW_BOLD);
    EXPECT_EQ(pHost->GetDefaultTextColor(), RGB(10, 20, 30));
    SetHostDefaults(pHost, nullptr, CLR_INVALID);
    EXPECT_EQ(pHost->GetDefaultFont().lfHeight, -20);
    EXPECT_EQ(pHost->GetDefaultTextColor(), RGB(10, 20, 30));
    DeleteObject(hFont);

    DropElement(pRoot);
    EXPECT_EQ(pRoot, nullptr);
    DropHost(pHost);
    EXPECT_EQ(pHost, nullptr);
}

int CountThreadWindows()
{
    int nCount = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM lParam) -> BOOL
        {
            ++*reinterpret_cast<int*>(lParam);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}

TEST(HostLeakTest, ThousandWindowsTreesAndTooltipsLeaveNothing)
{
    SetCursorPos(0, 0);

    auto cycle = []
    {
        HWND hWnd = CreateTestWindow("HoraleonHostLeakTest", DefWindowProcA, 300, 300, 120, 60, nullptr);
        CXTPMarkupHost* pHost = HostForWindow(hWnd);
        CXTPMarkupUIElement* pRoot =
            ParseWithHost(pHost, "<StackPanel Background='Red' ToolTip='tip'><WrapPanel Background='Blue' "
                                 "Height='20' Cursor='Hand'/></StackPanel>");
        CDibCanvas canvas(120, 60);
        const RECT rc = {0, 0, 120, 60};
        MeasureTree(pRoot, 120, 60);
        PaintTree(pRoot, canvas.GetDC(), &rc);
        LRESULT lResult = 0;
        RouteToHost(pRoot, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), &lResult); // hot, tooltip window made
        RouteToHost(pRoot, WM_SETCURSOR, 0, 0, &lResult);
        CXTPMarkupCachedFont* pFont = pHost->GetCachedFont(pHost->GetDefaultFont());
        pFont->Release();
        RouteToHost(pRoot, WM_DESTROY, 0, 0, &lResult);
        DestroyWindow(hWnd);
        DropElement(pRoot);
        DropHost(pHost);
    };

    cycle(); // the first cycle loads what stays loaded
    const DWORD dwGdiBefore = CountGdiObjects();
    const int nWindowsBefore = CountThreadWindows();
    CMarkupLiveObjects live;
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_EQ(live.Added(), 0);
    EXPECT_EQ(CountThreadWindows(), nWindowsBefore);
    ASSERT_NE(dwGdiBefore, 0u) << "GDI objects cannot be counted here";
    EXPECT_EQ(CountGdiObjects(), dwGdiBefore);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}
} // namespace

// Buttons, check boxes and radio buttons driven by mouse messages through the
// host of a real window; their sizes, chrome pixels in both looks, and the
// colour arithmetic behind the chrome.
#include "markup/elements/Border.h"
#include "markup/elements/Hyperlink.h"
#include "markup/elements/Run.h"
#include "markup/elements/TextBlock.h"
#include "markup/host/Button.h"
#include "markup/host/CheckBox.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/host/RadioButton.h"
#include "markup/host/WindowHelpers.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"

#include "toolkit/ThemeHandle.h"

#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "support/MarkupLeakCheck.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

template <class T> using Ptr = CXTPMarkupPtr<T>;

std::string NameOf(const CXTPMarkupObject* pObject)
{
    const CXTPMarkupString* pName =
        pObject ? MarkupCast<CXTPMarkupString>(pObject->GetValue(CXTPMarkupObject::m_pNameProperty)) : nullptr;
    return pName ? std::string(pName->GetText(), pName->GetText() + pName->GetLength()) : "?";
}

// The visual named so in the subtree, depth first.
CXTPMarkupVisual* FindNamed(CXTPMarkupVisual* pVisual, const std::string& strName)
{
    if (!pVisual || NameOf(pVisual) == strName)
        return pVisual;
    for (int i = 0; i < pVisual->GetChildCount(); ++i)
    {
        if (CXTPMarkupVisual* pFound = FindNamed(pVisual->GetChild(i), strName))
            return pFound;
    }
    return nullptr;
}

std::string Narrow(LPCWSTR lpszText)
{
    std::string str;
    for (; lpszText && *lpszText; ++lpszText)
        str += static_cast<char>(*lpszText);
    return str;
}

// The classic look for one test; the style comes back after it.
class CClassicLook
{
public:
    CClassicLook() { CXTPThemeHandle::SetClassicLook(true); }
    ~CClassicLook() { CXTPThemeHandle::SetClassicLook(false); }
};

// A host without a window, for layout and drawing.
struct CWindowlessHost
{
    CWindowlessHost() : pHost(new CXTPMarkupHost()) {}
    ~CWindowlessHost() { DropHost(pHost); }

    Ptr<CXTPMarkupUIElement> Parse(const char* pszMarkup)
    {
        Ptr<CXTPMarkupUIElement> root(pHost->Parse(pszMarkup));
        EXPECT_TRUE(root) << pHost->GetParseError();
        return root;
    }

    CXTPMarkupHost* pHost;
};

// Lays the element out at its own size in the canvas's corner and draws it
// over a white canvas.
std::unique_ptr<CDibCanvas> Render(CXTPMarkupUIElement* pElement, int cx, int cy)
{
    auto canvas = std::make_unique<CDibCanvas>(cx, cy, RGB(255, 255, 255));
    const RECT rc = {0, 0, cx, cy};
    MeasureTree(pElement, cx, cy);
    PaintTree(pElement, canvas->GetDC(), &rc);
    return canvas;
}

// ---------------------------------------------------------------------------
// In a window.

constexpr int kClientWidth = 300;
constexpr int kClientHeight = 200;

// Two buttons, two check boxes, a group of radio buttons and one radio button
// on its own, stacked from the top. The root logs the toggle events and every
// click; the "Quiet" button handles its own clicks.
const char kTree[] =
    "<StackPanel x:Name='Root' Background='White' Button.Click='Log' CheckBox.Checked='Log' "
    "  CheckBox.Unchecked='Log' RadioButton.Indeterminate='Log'>"
    " <Button x:Name='Ok' Width='100' Height='30' HorizontalAlignment='Left' Click='Log'>OK</Button>"
    " <Button x:Name='Quiet' Width='100' Height='30' HorizontalAlignment='Left' Click='Handle'>Quiet</Button>"
    " <CheckBox x:Name='Three' Height='20' IsThreeState='True'>Three</CheckBox>"
    " <CheckBox x:Name='Two' Height='20'>Two</CheckBox>"
    " <StackPanel x:Name='Group'>"
    "  <RadioButton x:Name='A' Height='20' IsChecked='True'>A</RadioButton>"
    "  <RadioButton x:Name='B' Height='20'>B</RadioButton>"
    "  <RadioButton x:Name='C' Height='20'>C</RadioButton>"
    " </StackPanel>"
    " <RadioButton x:Name='Solo' Height='20' IsChecked='True'>Solo</RadioButton>"
    "</StackPanel>";

const POINT kOk = {50, 15};
const POINT kQuiet = {50, 45};
const POINT kThree = {5, 70};
const POINT kTwo = {5, 90};
const POINT kRadioA = {5, 110};
const POINT kRadioB = {5, 130};
const POINT kRadioC = {5, 150};
const POINT kAside = {250, 190};

class ButtonWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The real pointer stays away from the window.
        SetCursorPos(0, 0);
        m_hWnd = CreateTestWindow("HoraleonButtonTest", &ButtonWindowTest::WindowProc, 200, 150, kClientWidth,
                                  kClientHeight, this);
        ASSERT_TRUE(m_hWnd) << "windows need the X display";
        m_pHost = HostForWindow(m_hWnd);
        m_pHost->AddDelegate(L"Log", Recorder(""));
        m_pHost->AddDelegate(L"Handle", Recorder("handled ", TRUE));
        m_pHost->AddHandler(CXTPMarkupButtonBase::m_pClickEvent, Recorder("host "));
        m_pRoot = m_pHost->Parse(kTree);
        ASSERT_TRUE(m_pRoot) << m_pHost->GetParseError();
        CDibCanvas canvas(kClientWidth, kClientHeight);
        const RECT rc = {0, 0, kClientWidth, kClientHeight};
        MeasureTree(m_pRoot, kClientWidth, kClientHeight);
        PaintTree(m_pRoot, canvas.GetDC(), &rc);
    }

    void TearDown() override
    {
        DropElement(m_pRoot);
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        DropHost(m_pHost);
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* pTest = reinterpret_cast<ButtonWindowTest*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        LRESULT lResult = 0;
        if (pTest && pTest->m_pRoot && RouteToHost(pTest->m_pRoot, message, wParam, lParam, &lResult))
            return lResult;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }

    // Logs "Event:source@sender", with a prefix; may mark the event handled.
    CXTPMarkupDelegate* Recorder(const std::string& strPrefix, BOOL bHandle = FALSE)
    {
        return new CXTPMarkupDelegate(
            [this, strPrefix, bHandle](CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
            {
                m_log.push_back(strPrefix + Narrow(pArgs->m_pEvent->GetName()) + ":" + NameOf(pArgs->m_pSource) + "@"
                                + NameOf(pSender));
                if (bHandle)
                    pArgs->m_bHandled = TRUE;
            });
    }

    void Send(UINT message, POINT pt, WPARAM wParam = 0)
    {
        SendMessageA(m_hWnd, message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    void MoveTo(POINT pt) { Send(WM_MOUSEMOVE, pt); }
    void Down(POINT pt) { Send(WM_LBUTTONDOWN, pt, MK_LBUTTON); }
    void Up(POINT pt) { Send(WM_LBUTTONUP, pt); }
    void Click(POINT pt)
    {
        MoveTo(pt);
        Down(pt);
        Up(pt);
    }

    // The toggle events only, without the clicks that came with them.
    Log TakeToggles()
    {
        Log toggles;
        for (const std::string& str : Take())
        {
            if (str.find("Click") == std::string::npos)
                toggles.push_back(str);
        }
        return toggles;
    }
    Log Take() { return std::exchange(m_log, Log()); }

    template <class T> T* Find(LPCWSTR lpszName) const { return MarkupCast<T>(FindNamed(m_pRoot, Narrow(lpszName))); }
    BOOL IsPressed(LPCWSTR lpszName) const { return Find<CXTPMarkupButtonBase>(lpszName)->IsPressed(); }
    BOOL IsMouseOver(LPCWSTR lpszName) const
    {
        return *MarkupCast<CXTPMarkupBool>(
            Find<CXTPMarkupButtonBase>(lpszName)->GetValue(CXTPMarkupInputElement::m_pIsMouseOverProperty));
    }
    int CheckedOf(LPCWSTR lpszName) const { return Find<CXTPMarkupToggleButton>(lpszName)->GetChecked(); }

    HWND m_hWnd = nullptr;
    CXTPMarkupHost* m_pHost = nullptr;
    CXTPMarkupUIElement* m_pRoot = nullptr;
    Log m_log;
};

TEST_F(ButtonWindowTest, ClickComesOnlyFromAReleaseOverThePressedButton)
{
    // Pressed, out and back in: "IsPressed" follows the pointer, the button
    // keeps the mouse, and the release inside clicks.
    MoveTo(kOk);
    Down(kOk);
    EXPECT_TRUE(IsPressed(L"Ok"));
    EXPECT_EQ(m_pHost->GetCapturedElement(), Find<CXTPMarkupInputElement>(L"Ok"));
    EXPECT_EQ(GetCapture(), m_hWnd);
    MoveTo(kAside);
    EXPECT_FALSE(IsPressed(L"Ok"));
    MoveTo(kOk);
    EXPECT_TRUE(IsPressed(L"Ok"));
    Up(kOk);
    EXPECT_FALSE(IsPressed(L"Ok"));
    EXPECT_EQ(m_pHost->GetCapturedElement(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Take(), (Log{"Click:Ok@Ok", "Click:Ok@Root", "host Click:Ok@Ok"}));

    // Released outside: no click, and the hot look the leave left goes too.
    Down(kOk);
    MoveTo(kAside);
    EXPECT_TRUE(IsMouseOver(L"Ok"));
    Up(kAside);
    EXPECT_FALSE(IsMouseOver(L"Ok"));
    EXPECT_FALSE(IsPressed(L"Ok"));

    // Pressed elsewhere and released over the button; pressed and then
    // robbed of the mouse: neither clicks.
    Down(kAside);
    MoveTo(kOk);
    Up(kOk);
    Down(kOk);
    ReleaseCapture();
    EXPECT_FALSE(IsPressed(L"Ok"));
    Up(kOk);
    EXPECT_EQ(Take(), Log{});
}

TEST_F(ButtonWindowTest, ClickBubblesToThePanelsAndTheHostUnlessHandled)
{
    // The button's own handler, its panel's, then the host's (the host's
    // handlers get the source as sender).
    Click(kOk);
    EXPECT_EQ(Take(), (Log{"Click:Ok@Ok", "Click:Ok@Root", "host Click:Ok@Ok"}));
    // A handler that marks the click handled keeps it from everyone above.
    Click(kQuiet);
    EXPECT_EQ(Take(), (Log{"handled Click:Quiet@Quiet"}));
    // Check boxes click as well, after their state changed.
    Click(kTwo);
    EXPECT_EQ(Take(), (Log{"Checked:Two@Root", "Click:Two@Root", "host Click:Two@Two"}));
}

TEST_F(ButtonWindowTest, CheckBoxesCycleThroughTheirStates)
{
    Click(kThree);
    EXPECT_EQ(CheckedOf(L"Three"), xtpMarkupCheckStateTrue);
    Click(kThree);
    EXPECT_EQ(CheckedOf(L"Three"), xtpMarkupCheckStateIndeterminate);
    Click(kThree);
    EXPECT_EQ(CheckedOf(L"Three"), xtpMarkupCheckStateFalse);
    EXPECT_EQ(TakeToggles(), (Log{"Checked:Three@Root", "Indeterminate:Three@Root", "Unchecked:Three@Root"}));

    Click(kTwo);
    EXPECT_EQ(CheckedOf(L"Two"), xtpMarkupCheckStateTrue);
    Click(kTwo);
    EXPECT_EQ(CheckedOf(L"Two"), xtpMarkupCheckStateFalse);
    EXPECT_EQ(TakeToggles(), (Log{"Checked:Two@Root", "Unchecked:Two@Root"}));

    // Indeterminate given by markup or code still ends at False with two
    // states.
    Find<CXTPMarkupToggleButton>(L"Two")->SetChecked(xtpMarkupCheckStateIndeterminate);
    Click(kTwo);
    EXPECT_EQ(CheckedOf(L"Two"), xtpMarkupCheckStateFalse);
    EXPECT_EQ(TakeToggles(), (Log{"Indeterminate:Two@Root", "Unchecked:Two@Root"}));
}

TEST_F(ButtonWindowTest, RadioButtonsOfOneParentClearEachOther)
{
    Click(kRadioB);
    EXPECT_EQ(TakeToggles(), (Log{"Unchecked:A@Root", "Checked:B@Root"}));
    EXPECT_EQ(CheckedOf(L"A"), xtpMarkupCheckStateFalse);
    EXPECT_EQ(CheckedOf(L"B"), xtpMarkupCheckStateTrue);
    // The radio button of another parent is of another group.
    EXPECT_EQ(CheckedOf(L"Solo"), xtpMarkupCheckStateTrue);

    // A click never clears a radio button: it checks it again.
    Click(kRadioB);
    EXPECT_EQ(CheckedOf(L"B"), xtpMarkupCheckStateTrue);
    EXPECT_EQ(Take(), (Log{"Checked:B@Root", "Click:B@Root", "host Click:B@B"}));

    // So a click on either of two checked ones (as markup may load them)
    // mends the group.
    Find<CXTPMarkupToggleButton>(L"A")->SetChecked(xtpMarkupCheckStateTrue);
    Take();
    Click(kRadioB);
    EXPECT_EQ(TakeToggles(), (Log{"Unchecked:A@Root", "Checked:B@Root"}));
    EXPECT_EQ(CheckedOf(L"A"), xtpMarkupCheckStateFalse);

    // Two checked at once (as code may leave them): the next check clears
    // both.
    Find<CXTPMarkupToggleButton>(L"A")->SetChecked(xtpMarkupCheckStateIndeterminate);
    Take();
    Click(kRadioC);
    EXPECT_EQ(TakeToggles(), (Log{"Unchecked:A@Root", "Unchecked:B@Root", "Checked:C@Root"}));
}

// ---------------------------------------------------------------------------
// Without a window.

TEST(ButtonTest, IsCheckedReadsTheEmptyTextAsIndeterminate)
{
    CWindowlessHost host;
    Ptr<CXTPMarkupUIElement> root = host.Parse("<StackPanel><CheckBox IsChecked=''/><CheckBox IsChecked='TRUE'/>"
                                               "<CheckBox IsChecked='false'/><CheckBox/></StackPanel>");
    ASSERT_TRUE(root);
    const int kExpected[] = {xtpMarkupCheckStateIndeterminate, xtpMarkupCheckStateTrue, xtpMarkupCheckStateFalse,
                             xtpMarkupCheckStateFalse};
    CXTPMarkupVisual* pPanel = root.Get();
    ASSERT_EQ(pPanel->GetChildCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(MarkupCast<CXTPMarkupCheckBox>(pPanel->GetChild(i))->GetChecked(), kExpected[i]) << i;
    EXPECT_FALSE(host.pHost->Parse("<CheckBox IsChecked='maybe'/>"));
}

TEST(ButtonTest, ContentTextBecomesATextBlockAndASecondChildIsRefused)
{
    CWindowlessHost host;
    Ptr<CXTPMarkupUIElement> root = host.Parse("<Button>Press me</Button>");
    ASSERT_TRUE(root);
    CXTPMarkupButton* pButton = MarkupCast<CXTPMarkupButton>(root.Get());
    ASSERT_TRUE(pButton);
    EXPECT_TRUE(*MarkupCast<CXTPMarkupBool>(pButton->GetValue(CXTPMarkupUIElement::m_pFocusableProperty)));
    CXTPMarkupTextBlock* pText = MarkupCast<CXTPMarkupTextBlock>(pButton->GetContent());
    ASSERT_TRUE(pText);
    EXPECT_EQ(pButton->GetChildCount(), 1);
    EXPECT_EQ(pText->GetLogicalParent(), pButton);
    ASSERT_EQ(pText->GetInlines()->GetCount(), 1);
    CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(pText->GetInlines()->GetInline(0));
    ASSERT_TRUE(pRun);
    EXPECT_EQ(Narrow(pRun->GetText()), "Press me");

    EXPECT_FALSE(host.pHost->Parse("<CheckBox><Border/><TextBlock/></CheckBox>"));
    EXPECT_EQ(host.pHost->GetParseError().rfind("'CXTPMarkupCheckBox' already has a child and cannot add "
                                                "'CXTPMarkupTextBlock'. 'CXTPMarkupCheckBox' can accept only one "
                                                "child.",
                                                0),
              0u)
        << host.pHost->GetParseError();
    EXPECT_FALSE(host.pHost->Parse("<Button><SolidColorBrush/></Button>"));
    EXPECT_EQ(host.pHost->GetParseError().rfind("'CXTPMarkupSolidColorBrush' object cannot be added to "
                                                "'CXTPMarkupButton'. Object cannot be converted to type "
                                                "'CXTPMarkupUIElement'. Line ",
                                                0),
              0u)
        << host.pHost->GetParseError();
}

TEST(ButtonTest, SizesAddPaddingChromeAndGlyph)
{
    CWindowlessHost host;
    struct Case
    {
        const char* pszMarkup;
        SIZE szExpected;
    } cases[] = {
        {"<Button/>", {8, 8}},
        {"<Button Padding='1,2,3,4'><Border Width='20' Height='10'/></Button>", {32, 24}},
        {"<CheckBox/>", {16, 0}},
        {"<RadioButton/>", {16, 13}},
        {"<RadioButton Padding='0,10,0,10'/>", {16, 20}},
        {"<CheckBox Padding='2'><Border Width='20' Height='5'/></CheckBox>", {40, 13}},
        {"<RadioButton Padding='2'><Border Width='20' Height='30'/></RadioButton>", {40, 34}},
    };
    for (const Case& c : cases)
    {
        Ptr<CXTPMarkupUIElement> root = host.Parse(c.pszMarkup);
        ASSERT_TRUE(root);
        const SIZE sz = MeasureTree(root.Get(), 500, 500);
        EXPECT_EQ(sz.cx, c.szExpected.cx) << c.pszMarkup;
        EXPECT_EQ(sz.cy, c.szExpected.cy) << c.pszMarkup;
    }

    // The content of a check box starts past the glyph.
    Ptr<CXTPMarkupUIElement> root =
        host.Parse("<CheckBox Padding='3'><Border Width='20' Height='5' HorizontalAlignment='Left'/></CheckBox>");
    Render(root.Get(), 100, 40);
    const POINT ptContent = MarkupCast<CXTPMarkupCheckBox>(root.Get())->GetContent()->GetOffset();
    EXPECT_EQ(ptContent.x, 19);
}

// The offset of a button's content, released and pressed.
std::pair<POINT, POINT> ContentOffsets(CWindowlessHost& host, const char* pszMarkup)
{
    Ptr<CXTPMarkupUIElement> root = host.Parse(pszMarkup);
    CXTPMarkupButton* pButton = MarkupCast<CXTPMarkupButton>(root.Get());
    Render(pButton, 60, 40);
    const POINT ptReleased = pButton->GetContent()->GetOffset();
    pButton->SetValue(CXTPMarkupButtonBase::m_pIsPressedProperty, CXTPMarkupBool::CreateTrueValue());
    Render(pButton, 60, 40);
    return {ptReleased, pButton->GetContent()->GetOffset()};
}

TEST(ButtonTest, ContentMovesWhilePressedUnlessTheStyleShowsThePress)
{
    const char kOwnFace[] = "<Button Background='Silver' Padding='2'><Border Width='10' Height='10'/></Button>";
    const char kSystemFace[] = "<Button Padding='2'><Border Width='10' Height='10'/></Button>";
    CWindowlessHost host;
    auto moved = [](const std::pair<POINT, POINT>& offsets)
    { return offsets.second.x - offsets.first.x == 1 && offsets.second.y - offsets.first.y == 1; };
    EXPECT_TRUE(moved(ContentOffsets(host, kOwnFace)));
    if (CXTPThemeHandle::IsThemeActive())
    {
        EXPECT_TRUE(moved(ContentOffsets(host, kOwnFace)));
        const std::pair<POINT, POINT> offsets = ContentOffsets(host, kSystemFace);
        EXPECT_EQ(offsets.first.x, offsets.second.x);
        EXPECT_EQ(offsets.first.y, offsets.second.y);
    }
    CClassicLook classic;
    EXPECT_TRUE(moved(ContentOffsets(host, kOwnFace)));
    EXPECT_TRUE(moved(ContentOffsets(host, kSystemFace)));
}

// ---------------------------------------------------------------------------
// Chrome.

COLORREF PixelAt(const CDibCanvas& canvas, int x, int y)
{
    return canvas.Color(x, y);
}

// A 60 by 24 button of (100, 150, 200): light (175, 201, 227) at the top and
// left, shadow (52, 100, 145) and dark (26, 50, 72) at the bottom and right.
void ExpectOwnFaceChrome(CWindowlessHost& host)
{
    Ptr<CXTPMarkupUIElement> root = host.Parse("<Button Background='#6496C8'/>");
    ASSERT_TRUE(root);
    const COLORREF clrFace = RGB(100, 150, 200);
    const COLORREF clrLight = RGB(175, 201, 227);
    const COLORREF clrShadow = RGB(52, 100, 145);
    const COLORREF clrDark = RGB(26, 50, 72);
    std::unique_ptr<CDibCanvas> canvas = Render(root.Get(), 60, 24);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), clrLight);
    EXPECT_EQ(PixelAt(*canvas, 30, 0), clrLight);
    EXPECT_EQ(PixelAt(*canvas, 0, 12), clrLight);
    EXPECT_EQ(PixelAt(*canvas, 30, 12), clrFace);
    EXPECT_EQ(PixelAt(*canvas, 30, 22), clrShadow);
    EXPECT_EQ(PixelAt(*canvas, 58, 12), clrShadow);
    EXPECT_EQ(PixelAt(*canvas, 30, 23), clrDark);
    EXPECT_EQ(PixelAt(*canvas, 59, 0), clrDark);
    EXPECT_EQ(PixelAt(*canvas, 59, 23), clrDark);

    // Pressed: the frame colour outside, the shadow inside it.
    root->SetValue(CXTPMarkupButtonBase::m_pIsPressedProperty, CXTPMarkupBool::CreateTrueValue());
    canvas = Render(root.Get(), 60, 24);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelAt(*canvas, 59, 23), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelAt(*canvas, 1, 1), clrShadow);
    EXPECT_EQ(PixelAt(*canvas, 58, 22), clrShadow);
    EXPECT_EQ(PixelAt(*canvas, 2, 2), clrFace);
}

TEST(ButtonTest, OwnBackgroundGetsClassicEdgesOfItsOwnShadesInBothLooks)
{
    CWindowlessHost host;
    {
        SCOPED_TRACE("with the system's style");
        ExpectOwnFaceChrome(host);
    }
    CClassicLook classic;
    SCOPED_TRACE("classic");
    ExpectOwnFaceChrome(host);
}

TEST(ButtonTest, SystemFaceIsStyledOrClassic)
{
    CWindowlessHost host;
    Ptr<CXTPMarkupUIElement> root = host.Parse("<Button/>");
    ASSERT_TRUE(root);
    std::unique_ptr<CDibCanvas> styled = Render(root.Get(), 60, 24);
    std::unique_ptr<CDibCanvas> classic;
    {
        CClassicLook look;
        root->InvalidateMeasure();
        classic = Render(root.Get(), 60, 24);
    }
    EXPECT_EQ(PixelAt(*classic, 0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(*classic, 30, 12), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelAt(*classic, 30, 22), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(*classic, 30, 23), GetSysColor(COLOR_3DDKSHADOW));
    if (!CXTPThemeHandle::IsThemeActive())
        GTEST_SKIP() << "the system draws without a style here";
    EXPECT_FALSE(styled->SameAs(*classic));
}

TEST(ButtonTest, GlyphsShowTheStateAndFocusOnlyWithContent)
{
    CWindowlessHost host;
    for (bool bClassic : {false, true})
    {
        SCOPED_TRACE(bClassic ? "classic" : "styled");
        CXTPThemeHandle::SetClassicLook(bClassic);
        std::vector<std::unique_ptr<CDibCanvas>> boxes;
        for (const char* pszMarkup : {"<CheckBox Height='20'/>", "<CheckBox Height='20' IsChecked='True'/>",
                                      "<CheckBox Height='20' IsChecked=''/>", "<RadioButton Height='20'/>",
                                      "<RadioButton Height='20' IsChecked='True'/>"})
        {
            Ptr<CXTPMarkupUIElement> root = host.Parse(pszMarkup);
            boxes.push_back(Render(root.Get(), 30, 20));
            // The glyph is 13 pixels square, at the left, centred.
            const RECT rcOutside = {13, 0, 30, 20};
            EXPECT_EQ(boxes.back()->Count(RGB(255, 255, 255), rcOutside), 17 * 20) << pszMarkup;
            EXPECT_EQ(boxes.back()->Count(RGB(255, 255, 255), RECT{0, 0, 13, 4}), 13 * 4) << pszMarkup;
            EXPECT_EQ(boxes.back()->Count(RGB(255, 255, 255), RECT{0, 17, 13, 20}), 13 * 3) << pszMarkup;
        }
        EXPECT_FALSE(boxes[0]->SameAs(*boxes[1]));
        EXPECT_FALSE(boxes[0]->SameAs(*boxes[2]));
        EXPECT_FALSE(boxes[1]->SameAs(*boxes[2]));
        EXPECT_FALSE(boxes[3]->SameAs(*boxes[4]));

        auto focusChanges = [&host](const char* pszMarkup)
        {
            Ptr<CXTPMarkupUIElement> root = host.Parse(pszMarkup);
            std::unique_ptr<CDibCanvas> plain = Render(root.Get(), 60, 20);
            root->SetValue(CXTPMarkupInputElement::m_pIsKeyboardFocusedProperty, CXTPMarkupBool::CreateTrueValue());
            return !Render(root.Get(), 60, 20)->SameAs(*plain);
        };
        EXPECT_FALSE(focusChanges("<CheckBox Height='20'/>"));
        EXPECT_TRUE(focusChanges("<CheckBox Height='20'><Border/></CheckBox>"));
        EXPECT_TRUE(focusChanges("<RadioButton Height='20'><Border/></RadioButton>"));
        EXPECT_TRUE(focusChanges("<Button/>"));
    }
    CXTPThemeHandle::SetClassicLook(false);
}

// ---------------------------------------------------------------------------
// Shared records and leaks.

TEST(ButtonTest, LinksAndButtonsRaiseOneClick)
{
    EXPECT_EQ(CXTPMarkupHyperlink::m_pClickEvent, CXTPMarkupButtonBase::m_pClickEvent);
    EXPECT_EQ(CXTPMarkupDependencyProperty::FindProperty(MARKUP_TYPE(CXTPMarkupHyperlink), L"Click"),
              CXTPMarkupButtonBase::m_pClickEvent);
    EXPECT_EQ(CXTPMarkupDependencyProperty::FindProperty(MARKUP_TYPE(CXTPMarkupRadioButton), L"Click"),
              CXTPMarkupButtonBase::m_pClickEvent);
}

TEST(ButtonLeakTest, ThousandCyclesLeaveNoHandlesOrObjects)
{
    const char kSheet[] = "<StackPanel><Button Background='Red' IsKeyboardFocused='True'>One</Button>"
                          "<Button IsPressed='True'>Two</Button><CheckBox IsChecked=''>Three</CheckBox>"
                          "<RadioButton IsChecked='True'>Four</RadioButton><RadioButton>Five</RadioButton>"
                          "</StackPanel>";
    auto cycle = [&kSheet](bool bClassic)
    {
        CXTPThemeHandle::SetClassicLook(bClassic);
        CXTPMarkupHost* pHost = new CXTPMarkupHost();
        CXTPMarkupUIElement* pRoot = pHost->Parse(kSheet);
        Render(pRoot, 120, 140);
        // Measured again: the style is opened afresh, not once more.
        pRoot->InvalidateMeasure();
        Render(pRoot, 100, 140);
        DropElement(pRoot);
        DropHost(pHost);
    };
    cycle(false); // the first cycle loads what stays loaded
    const long nThemesBefore = CXTPThemeHandle::GetOpenCount();
    const DWORD dwGdiBefore = CountGdiObjects();
    CMarkupLiveObjects live;
    for (int i = 0; i < 1000; ++i)
        cycle(i % 2 == 1);
    CXTPThemeHandle::SetClassicLook(false);
    EXPECT_EQ(live.Added(), 0);
    EXPECT_EQ(CXTPThemeHandle::GetOpenCount(), nThemesBefore);
    ASSERT_NE(dwGdiBefore, 0u) << "GDI objects cannot be counted here";
    EXPECT_EQ(CountGdiObjects(), dwGdiBefore);
}
} // namespace

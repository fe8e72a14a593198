#include "app/Button.h"

#include "app/MarkupPlainText.h"
#include "app/WindowDpi.h"

#include "markup/elements/UIElement.h"
#include "markup/host/Host.h"
#include "markup/host/WindowHelpers.h"

#include "toolkit/BufferDC.h"
#include "toolkit/CodePage.h"
#include "toolkit/GdiHandles.h"

#include <windowsx.h>

#include <string>

namespace
{
// Messages on which the stock button paints its own face at once, straight to
// the screen and over ours.
const UINT kSelfPaintingMessages[] = {
    BM_SETSTATE, BM_SETSTYLE, BM_SETCHECK, WM_ENABLE, WM_SETFOCUS, WM_KILLFOCUS, WM_UPDATEUISTATE,
};

UINT HorizontalFormat(LONG_PTR nStyle)
{
    switch (nStyle & BS_CENTER)
    {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    default: return DT_CENTER;
    }
}
// The text as shown without mnemonic underlines: "&&" is an ampersand, any
// other '&' only marks the letter after it.
std::wstring WithoutPrefixes(const std::wstring& strText)
{
    std::wstring strShown;
    for (size_t i = 0; i < strText.size(); ++i)
    {
        if (strText[i] == L'&' && ++i == strText.size())
            break;
        strShown += strText[i];
    }
    return strShown;
}
} // namespace

CXTPButton::CXTPButton()
    : m_bDrawFocusFrame(TRUE), m_pTheme(new CXTPButtonTheme), m_bMarkupCaption(FALSE), m_pMarkupContext(nullptr),
      m_pMarkupUIElement(nullptr), m_bHot(FALSE), m_hMetricsWnd(NULL)
{
}

CXTPButton::~CXTPButton()
{
    ReleaseMarkupCaption();
}

LRESULT CXTPButton::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (OfferToMarkup(nMessage, wParam, lParam, lResult))
        return lResult;
    return CButton::WindowProc(nMessage, wParam, lParam);
}

bool CXTPButton::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    static const CMessageMap<CXTPButton>::Entry kMessages[] = {
        OnMessage(WM_PAINT, &CXTPButton::OnPaint),
        OnMessage(WM_PRINTCLIENT, &CXTPButton::OnPrintClient),
        OnMessage(WM_ERASEBKGND, &CXTPButton::OnEraseBackground),
        OnMessage(WM_MOUSEMOVE, &CXTPButton::OnMouseMove),
        OnMessage(WM_MOUSELEAVE, &CXTPButton::OnMouseLeave),
        OnMessage(WM_SETTEXT, &CXTPButton::OnSetText),
        OnMessage(WM_THEMECHANGED, &CXTPButton::OnThemeChanged),
        OnMessage(WM_SYSCOLORCHANGE, &CXTPButton::OnSysColorChange),
        OnMessage(WM_DESTROY, &CXTPButton::OnDestroy),
    };
    if (CMessageMap<CXTPButton>::Dispatch(kMessages, this, nMessage, wParam, lParam, lResult))
        return true;
    for (UINT nSelfPainting : kSelfPaintingMessages)
    {
        if (nMessage == nSelfPainting)
        {
            lResult = DefWindowProcUnpainted(nMessage, wParam, lParam);
            Invalidate(FALSE);
            return true;
        }
    }
    return false;
}

LRESULT CXTPButton::DefWindowProcUnpainted(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // A window without the visible style draws nothing; the style bit alone
    // changes neither the screen nor the window's place in it.
    const LONG_PTR nStyle = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    if ((nStyle & WS_VISIBLE) == 0)
        return DefWindowProc(nMessage, wParam, lParam);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, nStyle & ~WS_VISIBLE);
    const LRESULT lResult = DefWindowProc(nMessage, wParam, lParam);
    // Re-read: BM_SETSTYLE changes the style on the way.
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_VISIBLE);
    return lResult;
}

MessageResult CXTPButton::OnPaint(WPARAM wParam, LPARAM)
{
    // Some callers hand over a device context of their own.
    if (wParam != 0)
    {
        DrawButton(reinterpret_cast<HDC>(wParam));
        return MessageResult::Handled();
    }
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    {
        CXTPBufferDC dc(hDC, GetClientRect());
        DrawButton(dc);
    }
    ::EndPaint(m_hWnd, &ps);
    return MessageResult::Handled();
}

MessageResult CXTPButton::OnPrintClient(WPARAM wParam, LPARAM)
{
    DrawButton(reinterpret_cast<HDC>(wParam));
    return MessageResult::Handled();
}

MessageResult CXTPButton::OnEraseBackground(WPARAM, LPARAM)
{
    // The face covers the whole client area; erasing first would only flicker.
    return MessageResult::Handled(TRUE);
}

MessageResult CXTPButton::OnMouseMove(WPARAM, LPARAM lParam)
{
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT rc = GetClientRect();
    const bool bInside = ::PtInRect(&rc, pt) != FALSE;
    if (bInside && !m_bHot)
    {
        // The structure's own size: the 64-bit system refuses the 32-bit one,
        // and then the leave notification never comes and the face stays hot.
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(TRACKMOUSEEVENT);
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        if (::TrackMouseEvent(&tme))
            SetHot(TRUE);
    }
    else if (!bInside && m_bHot)
    {
        // While the button holds the capture, moves outside still come here.
        SetHot(FALSE);
    }
    return MessageResult::NotHandled();
}

MessageResult CXTPButton::OnMouseLeave(WPARAM, LPARAM)
{
    SetHot(FALSE);
    return MessageResult::NotHandled();
}

MessageResult CXTPButton::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (!m_bMarkupCaption)
    {
        const LRESULT lResult = DefWindowProcUnpainted(WM_SETTEXT, wParam, lParam);
        Invalidate(FALSE);
        return MessageResult::Handled(lResult);
    }
    const LPCWSTR pszMarkup = reinterpret_cast<LPCWSTR>(lParam);
    m_strCaptionMarkup = pszMarkup ? pszMarkup : L"";
    const std::wstring strPlain = MarkupPlainText(m_strCaptionMarkup);
    const LRESULT lResult = DefWindowProcUnpainted(WM_SETTEXT, wParam, reinterpret_cast<LPARAM>(strPlain.c_str()));
    ReparseMarkupCaption();
    Invalidate(FALSE);
    return MessageResult::Handled(lResult);
}

MessageResult CXTPButton::OnThemeChanged(WPARAM, LPARAM)
{
    m_pTheme->RefreshMetrics(m_hWnd);
    m_hMetricsWnd = m_hWnd;
    Invalidate(FALSE);
    return MessageResult::NotHandled();
}

MessageResult CXTPButton::OnSysColorChange(WPARAM, LPARAM)
{
    Invalidate(FALSE);
    return MessageResult::NotHandled();
}

MessageResult CXTPButton::OnDestroy(WPARAM, LPARAM)
{
    ReleaseMarkupCaption();
    m_bHot = FALSE;
    m_hMetricsWnd = NULL;
    return MessageResult::NotHandled();
}

void CXTPButton::SetHot(BOOL bHot)
{
    if (m_bHot == bHot)
        return;
    m_bHot = bHot;
    Invalidate(FALSE);
}

void CXTPButton::EnsureMetrics()
{
    if (m_hMetricsWnd == m_hWnd)
        return;
    m_pTheme->RefreshMetrics(m_hWnd);
    m_hMetricsWnd = m_hWnd;
}

CXTPButtonTheme::State CXTPButton::GetState()
{
    CXTPButtonTheme::State state;
    const LONG_PTR nStyle = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    state.bDisabled = (nStyle & WS_DISABLED) != 0;
    state.bPressed = (::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    state.bFocused = ::GetFocus() == m_hWnd;
    state.bHot = m_bHot != FALSE;
    state.bDefault = (nStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return state;
}

void CXTPButton::DrawButton(HDC hDC)
{
    EnsureMetrics();
    const int nSavedDC = ::SaveDC(hDC);
    const CXTPButtonTheme::State state = GetState();
    const CXTPButtonTheme::Face face = m_pTheme->DrawFace(hDC, m_hWnd, GetClientRect(), state);
    DrawCaption(hDC, face);
    const LRESULT nUiState = ::SendMessageW(m_hWnd, WM_QUERYUISTATE, 0, 0);
    if (state.bFocused && m_bDrawFocusFrame && (nUiState & UISF_HIDEFOCUS) == 0)
        m_pTheme->DrawFocus(hDC, face);
    ::RestoreDC(hDC, nSavedDC);
}

void CXTPButton::DrawCaption(HDC hDC, const CXTPButtonTheme::Face& face)
{
    if (!DrawMarkupCaption(hDC, face))
        DrawTextCaption(hDC, face);
}

void CXTPButton::DrawTextCaption(HDC hDC, const CXTPButtonTheme::Face& face)
{
    std::wstring strText = GetWindowText();
    if (strText.empty())
        return;
    const LONG_PTR nStyle = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    CXTPSelectObject font(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, face.clrText);

    UINT uFormat = HorizontalFormat(nStyle);
    // Mnemonics are underlined only once the keyboard is in use. The prefix
    // marks go by hand: not every DrawText honours DT_HIDEPREFIX (Wine's does not).
    if (::SendMessageW(m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL)
    {
        strText = WithoutPrefixes(strText);
        uFormat |= DT_NOPREFIX;
    }
    const LONG_PTR nVertical = nStyle & BS_VCENTER;
    RECT rc = face.rcText;
    if (nStyle & BS_MULTILINE)
    {
        // Word-broken text has no vertical alignment of its own: measure, then place.
        uFormat |= DT_WORDBREAK;
        RECT rcCalc = rc;
        ::DrawTextW(hDC, strText.c_str(), -1, &rcCalc, uFormat | DT_CALCRECT);
        const int cyText = rcCalc.bottom - rcCalc.top;
        if (nVertical == BS_TOP)
            rc.bottom = rc.top + cyText;
        else if (nVertical == BS_BOTTOM)
            rc.top = rc.bottom - cyText;
        else
            rc.top += (rc.bottom - rc.top - cyText) / 2;
    }
    else
    {
        uFormat |= DT_SINGLELINE | (nVertical == BS_TOP ? DT_TOP : nVertical == BS_BOTTOM ? DT_BOTTOM : DT_VCENTER);
    }
    ::DrawTextW(hDC, strText.c_str(), -1, &rc, uFormat);
}

// Markup caption: the button keeps a host context of its own on the heap and
// the caption's tree; without a tree it draws its window text.

void CXTPButton::UseMarkupCaption(BOOL bUseMarkup)
{
    m_bMarkupCaption = bUseMarkup;
    ReleaseMarkupCaption();
    m_strCaptionMarkup.clear();
    if (bUseMarkup)
    {
        CreateMarkupContext();
        if (m_hWnd != NULL)
            m_strCaptionMarkup = GetWindowText();
    }
    ReparseMarkupCaption();
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CXTPButton::SetDpi(int nDpi)
{
    if (m_pMarkupContext == nullptr || m_pMarkupContext->GetDpi() == nDpi)
        return;
    DropElement(m_pMarkupUIElement);
    m_pMarkupContext->SetDpi(nDpi);
    ParseCaption();
    Invalidate(FALSE);
}

void CXTPButton::CreateMarkupContext()
{
    m_pMarkupContext = HostForWindow(m_hWnd);
}

void CXTPButton::ReleaseMarkupCaption()
{
    DropElement(m_pMarkupUIElement);
    DropHost(m_pMarkupContext);
}

void CXTPButton::ReparseMarkupCaption()
{
    if (m_pMarkupContext == nullptr)
        return;
    DropElement(m_pMarkupUIElement);
    if (m_hWnd == NULL)
        return;
    m_pMarkupContext->SetDpi(WindowDpi(m_hWnd));
    ParseCaption();
}

void CXTPButton::ParseCaption()
{
    // The markup is UTF-16; it goes to the parser as UTF-8, so no character
    // is lost to the system's code page.
    const std::wstring& strText = m_strCaptionMarkup;
    const std::string strUtf8 = XTPToMultiByte(strText.c_str(), -1, CP_UTF8);
    m_pMarkupUIElement = ParseWithHost(m_pMarkupContext, strUtf8.c_str(), CP_UTF8);
}

bool CXTPButton::DrawMarkupCaption(HDC hDC, const CXTPButtonTheme::Face& face)
{
    if (m_pMarkupUIElement == nullptr)
        return false;
    SetHostDefaults(m_pMarkupContext, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), face.clrText);

    const RECT& rcText = face.rcText;
    const SIZE size = MeasureTree(m_pMarkupUIElement, rcText.right - rcText.left, rcText.bottom - rcText.top);
    const LONG_PTR nStyle = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    RECT rcCaption = rcText;
    switch (HorizontalFormat(nStyle))
    {
    case DT_LEFT: rcCaption.right = rcCaption.left + size.cx; break;
    case DT_RIGHT: rcCaption.left = rcCaption.right - size.cx; break;
    default:
        rcCaption.left = (rcText.left + rcText.right - size.cx) / 2;
        rcCaption.right = rcCaption.left + size.cx;
        break;
    }
    switch (nStyle & BS_VCENTER)
    {
    case BS_TOP: rcCaption.bottom = rcCaption.top + size.cy; break;
    case BS_BOTTOM: rcCaption.top = rcCaption.bottom - size.cy; break;
    default:
        rcCaption.top = (rcText.top + rcText.bottom - size.cy) / 2;
        rcCaption.bottom = rcCaption.top + size.cy;
        break;
    }
    PaintTree(m_pMarkupUIElement, hDC, &rcCaption);
    return true;
}

bool CXTPButton::OfferToMarkup(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (m_pMarkupUIElement == nullptr)
        return false;
    m_pMarkupContext->SetHwnd(m_hWnd);
    return RouteToHost(m_pMarkupUIElement, nMessage, wParam, lParam, &lResult) != FALSE;
}

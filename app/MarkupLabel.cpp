#include "app/MarkupLabel.h"

#include "app/MarkupPlainText.h"
#include "app/ProgramText.h"
#include "app/WindowDpi.h"
#include "markup/elements/UIElement.h"
#include "markup/host/Host.h"
#include "markup/host/WindowHelpers.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Converter.h"
#include "toolkit/BufferDC.h"

CMarkupLabel::CMarkupLabel() : m_pMarkupContext(HostForWindow(NULL)), m_pRoot(nullptr) {}

CMarkupLabel::~CMarkupLabel()
{
    DropElement(m_pRoot);
    DropHost(m_pMarkupContext);
}

void CMarkupLabel::SetMarkupText(const char* pszMarkup)
{
    m_strMarkupText = pszMarkup ? pszMarkup : "";
    if (m_hWnd != NULL)
        m_pMarkupContext->SetDpi(WindowDpi(m_hWnd));
    Reparse();
    // For readers only (see OnSetText): the label paints the markup.
    if (m_hWnd != NULL)
        SetWindowText(MarkupPlainText(WidenProgramText(m_strMarkupText.c_str())));
}

void CMarkupLabel::Reparse()
{
    DropElement(m_pRoot);
    if (!m_strMarkupText.empty())
        m_pRoot = ParseWithHost(m_pMarkupContext, m_strMarkupText.c_str(), kProgramCodePage);
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CMarkupLabel::SetDpi(int nDpi)
{
    if (nDpi == m_pMarkupContext->GetDpi())
        return;
    m_pMarkupContext->SetDpi(nDpi);
    Reparse();
}

int CMarkupLabel::GetDpi() const
{
    return m_pMarkupContext->GetDpi();
}

SIZE CMarkupLabel::MeasureMarkup(int cx)
{
    return MeasureTree(m_pRoot, cx, CXTPMarkupConverter::kUnboundedLength);
}

LRESULT CMarkupLabel::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // The tree sees every message first: a mouse move an element handles
    // never reaches the label's own handlers.
    if (m_pRoot != nullptr)
    {
        m_pMarkupContext->SetHwnd(m_hWnd);
        LRESULT lResult = 0;
        if (RouteToHost(m_pRoot, nMessage, wParam, lParam, &lResult))
            return lResult;
    }
    return CStatic::WindowProc(nMessage, wParam, lParam);
}

bool CMarkupLabel::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    static const CMessageMap<CMarkupLabel>::Entry kMessages[] = {
        OnMessage(WM_PAINT, &CMarkupLabel::OnPaint),
        OnMessage(WM_ERASEBKGND, &CMarkupLabel::OnEraseBackground),
        OnMessage(WM_SIZE, &CMarkupLabel::OnSize),
        OnMessage(WM_SETTEXT, &CMarkupLabel::OnSetText),
        OnMessage(WM_SYSCOLORCHANGE, &CMarkupLabel::OnColorsChanged),
        OnMessage(WM_THEMECHANGED, &CMarkupLabel::OnColorsChanged),
    };
    return CMessageMap<CMarkupLabel>::Dispatch(kMessages, this, nMessage, wParam, lParam, lResult);
}

MessageResult CMarkupLabel::OnPaint(WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC hPaintDC = ::BeginPaint(m_hWnd, &ps);
    {
        CXTPBufferDC dc(hPaintDC, ps.rcPaint);
        const RECT rcClient = GetClientRect();
        // Text without a colour of its own in the scheme's colour for text on
        // the button face, read at every paint.
        m_pMarkupContext->SetDefaultTextColor(::GetSysColor(COLOR_BTNTEXT));
        FillAndPaintTree(m_pRoot, dc, rcClient, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::EndPaint(m_hWnd, &ps);
    return MessageResult::Handled();
}

MessageResult CMarkupLabel::OnEraseBackground(WPARAM, LPARAM)
{
    // Painting covers every pixel; erasing first would only flicker.
    return MessageResult::Handled(TRUE);
}

MessageResult CMarkupLabel::OnSize(WPARAM, LPARAM)
{
    ::InvalidateRect(m_hWnd, NULL, TRUE);
    ::UpdateWindow(m_hWnd);
    return MessageResult::Handled();
}

MessageResult CMarkupLabel::OnSetText(WPARAM wParam, LPARAM lParam)
{
    // The stock static would paint the new text at once, straight to the
    // screen, before the markup's own paint: only the generic procedure
    // stores it, for readers.
    return MessageResult::Handled(::DefWindowProcW(m_hWnd, WM_SETTEXT, wParam, lParam));
}

MessageResult CMarkupLabel::OnColorsChanged(WPARAM, LPARAM)
{
    ::InvalidateRect(m_hWnd, NULL, FALSE);
    return MessageResult::NotHandled();
}

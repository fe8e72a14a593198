#include "app/MarkupLabel.h"

#include "app/ProgramText.h"
#include "markup/elements/UIElement.h"
#include "markup/host/Host.h"
#include "markup/host/WindowHelpers.h"
#include "toolkit/BufferDC.h"

namespace
{
struct Entity
{
    const wchar_t* pszName;
    wchar_t ch;
};
const Entity kEntities[] = {{L"lt;", L'<'}, {L"gt;", L'>'}, {L"amp;", L'&'}, {L"apos;", L'\''}, {L"quot;", L'"'}};
} // namespace

CMarkupLabel::CMarkupLabel() : m_pMarkupContext(HostForWindow(NULL)), m_pRoot(nullptr) {}

CMarkupLabel::~CMarkupLabel()
{
    DropElement(m_pRoot);
    DropHost(m_pMarkupContext);
}

void CMarkupLabel::SetMarkupText(const char* pszMarkup)
{
    m_strMarkupText = pszMarkup ? pszMarkup : "";
    DropElement(m_pRoot);
    if (!m_strMarkupText.empty())
        m_pRoot = ParseWithHost(m_pMarkupContext, m_strMarkupText.c_str(), kProgramCodePage);
    if (m_hWnd != NULL)
    {
        // The static control would paint the text itself on WM_SETTEXT; it
        // is stored for readers only, and the label paints the markup.
        SetWindowText(PlainTextOf(WidenProgramText(m_strMarkupText.c_str())));
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
}

std::wstring CMarkupLabel::PlainTextOf(const std::wstring& strMarkup)
{
    std::wstring strText;
    for (size_t i = 0; i < strMarkup.size(); ++i)
    {
        const wchar_t ch = strMarkup[i];
        if (ch == L'<')
        {
            const size_t nEnd = strMarkup.find(L'>', i);
            if (nEnd == std::wstring::npos)
                break;
            i = nEnd;
            continue;
        }
        if (ch == L'&')
        {
            bool bDecoded = false;
            for (const Entity& entity : kEntities)
            {
                if (strMarkup.compare(i + 1, wcslen(entity.pszName), entity.pszName) == 0)
                {
                    strText += entity.ch;
                    i += wcslen(entity.pszName);
                    bDecoded = true;
                    break;
                }
            }
            if (bDecoded)
                continue;
        }
        strText += ch;
    }
    return strText;
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

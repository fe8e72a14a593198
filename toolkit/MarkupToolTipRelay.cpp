#include "toolkit/MarkupToolTipRelay.h"

#include <cstdlib>
#include <utility>

namespace
{
// Wide enough for a sentence; a tip wider than this wraps, and only a tip
// with a maximum width breaks lines at "\n".
constexpr int kMaxTipWidth = 400;

void InitToolTipClass()
{
    static const BOOL bInitialized = []
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc);
    }();
    (void)bInitialized;
}

// The first version of the record: every version of the common controls
// accepts it, while the newest size is refused where the newest controls
// are not activated.
TOOLINFOA ToolRecord(HWND hWnd, INT_PTR nTool)
{
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hWnd;
    ti.uId = static_cast<UINT_PTR>(nTool);
    return ti;
}
} // namespace

CMarkupToolTipRelay::CMarkupToolTipRelay(ISite* pSite)
    : m_pSite(pSite), m_nStyle(kStylePlain), m_hWndOwner(nullptr), m_hWndToolTip(nullptr),
      m_nCurrentTool(-1), m_rcTool{}, m_nRelayed(0)
{
}

CMarkupToolTipRelay::~CMarkupToolTipRelay()
{
    DestroyToolTipWindow();
}

void CMarkupToolTipRelay::DestroyToolTipWindow()
{
    // An owned window goes with its owner: the handle may be stale already.
    if (m_hWndToolTip && IsWindow(m_hWndToolTip))
        DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
    m_hWndOwner = nullptr;
    m_nCurrentTool = -1;
    m_strToolText.clear();
}

BOOL CMarkupToolTipRelay::EnsureToolTipWindow(HWND hWnd)
{
    if (m_hWndToolTip && m_hWndOwner == hWnd && IsWindow(m_hWndToolTip))
        return TRUE;
    DestroyToolTipWindow();
    InitToolTipClass();
    m_hWndToolTip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_hWndToolTip)
        return FALSE;
    m_hWndOwner = hWnd;
    SendMessageA(m_hWndToolTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    return TRUE;
}

void CMarkupToolTipRelay::RelayMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, POINT ptCursor)
{
    const BOOL bMouse = message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK;
    if ((!bMouse && message != WM_MOUSELEAVE) || !hWnd || !m_pSite || !EnsureToolTipWindow(hWnd))
        return;
    ++m_nRelayed;
    if (message == WM_MOUSELEAVE)
    {
        Reset();
        return;
    }

    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    const INT_PTR nTool = m_pSite->ToolHitTest(&ti);
    std::string strText;
    if (ti.lpszText && ti.lpszText != LPSTR_TEXTCALLBACKA)
    {
        strText = ti.lpszText;
        free(ti.lpszText);
    }
    if (nTool == -1)
        RemoveTool();
    else if (nTool != m_nCurrentTool || strText != m_strToolText || !EqualRect(&ti.rect, &m_rcTool))
        SetTool(nTool, ti.rect, std::move(strText));

    MSG msg = {hWnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), ptCursor};
    SendMessageA(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void CMarkupToolTipRelay::Reset()
{
    RemoveTool();
    if (m_hWndToolTip && IsWindow(m_hWndToolTip))
        SendMessageA(m_hWndToolTip, TTM_POP, 0, 0);
}

void CMarkupToolTipRelay::SetTool(INT_PTR nTool, const RECT& rcTool, std::string&& strText)
{
    RemoveTool();
    m_nCurrentTool = nTool;
    m_rcTool = rcTool;
    m_strToolText = std::move(strText);
    TOOLINFOA ti = ToolRecord(m_hWndOwner, nTool);
    ti.rect = rcTool;
    ti.lpszText = const_cast<LPSTR>(m_strToolText.c_str()); // copied by the control
    SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CMarkupToolTipRelay::RemoveTool()
{
    if (m_nCurrentTool != -1 && m_hWndToolTip && IsWindow(m_hWndToolTip))
    {
        TOOLINFOA ti = ToolRecord(m_hWndOwner, m_nCurrentTool);
        SendMessageA(m_hWndToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    m_nCurrentTool = -1;
    m_rcTool = RECT{};
    m_strToolText.clear();
}

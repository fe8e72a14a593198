#include "framework/Window.h"

namespace
{
const wchar_t kObjectProperty[] = L"Horaleon.Window";
}

CWindow::~CWindow()
{
    if (m_pfnSuper)
        UnsubclassWindow();
    else
        Detach();
}

BOOL CWindow::SubclassDlgItem(UINT nId, HWND hParent)
{
    HWND hControl = ::GetDlgItem(hParent, static_cast<int>(nId));
    return hControl != NULL && SubclassWindow(hControl);
}

BOOL CWindow::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != NULL || hWnd == NULL || ::GetPropW(hWnd, kObjectProperty) != NULL)
        return FALSE;
    ::SetPropW(hWnd, kObjectProperty, this);
    m_hWnd = hWnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::SubclassProc)));
    return TRUE;
}

HWND CWindow::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && m_pfnSuper)
    {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropW(hWnd, kObjectProperty);
    }
    m_pfnSuper = nullptr;
    m_hWnd = NULL;
    return hWnd;
}

void CWindow::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropW(hWnd, kObjectProperty, this);
}

void CWindow::Detach()
{
    if (m_hWnd != NULL)
        ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = NULL;
}

CWindow* CWindow::FromHandle(HWND hWnd)
{
    return static_cast<CWindow*>(::GetPropW(hWnd, kObjectProperty));
}

std::wstring CWindow::GetWindowText() const
{
    const int nLength = ::GetWindowTextLengthW(m_hWnd);
    std::wstring strText(static_cast<size_t>(nLength) + 1, L'\0');
    strText.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, &strText[0], nLength + 1)));
    return strText;
}

void CWindow::SetWindowText(const std::wstring& strText)
{
    ::SetWindowTextW(m_hWnd, strText.c_str());
}

RECT CWindow::GetClientRect() const
{
    RECT rc = {};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

LRESULT CWindow::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (OnWndMsg(nMessage, wParam, lParam, lResult))
        return lResult;
    return DefWindowProc(nMessage, wParam, lParam);
}

bool CWindow::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWindow::DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, nMessage, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, nMessage, wParam, lParam);
}

LRESULT CALLBACK CWindow::SubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CWindow* pWindow = FromHandle(hWnd);
    if (pWindow == nullptr)
        return ::DefWindowProcW(hWnd, nMessage, wParam, lParam);
    if (nMessage == WM_NCDESTROY)
    {
        // The window is going: hand it back to its own procedure for good.
        WNDPROC pfnSuper = pWindow->m_pfnSuper;
        pWindow->UnsubclassWindow();
        return ::CallWindowProcW(pfnSuper, hWnd, nMessage, wParam, lParam);
    }
    return pWindow->WindowProc(nMessage, wParam, lParam);
}

#include "toolkit/BufferDC.h"

CXTPBufferDC::CXTPBufferDC(HDC hTargetDC, const RECT& rc) : m_hTargetDC(hTargetDC), m_rc(rc)
{
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return;
    m_hDC = ::CreateCompatibleDC(hTargetDC);
    m_hBitmap = ::CreateCompatibleBitmap(hTargetDC, cx, cy);
    if (m_hDC == NULL || m_hBitmap == NULL)
    {
        // Out of resources: draw straight to the target rather than not at all.
        if (m_hBitmap != NULL)
            ::DeleteObject(m_hBitmap);
        if (m_hDC != NULL)
            ::DeleteDC(m_hDC);
        m_hDC = NULL;
        m_hBitmap = NULL;
        return;
    }
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    ::SetViewportOrgEx(m_hDC, -rc.left, -rc.top, NULL);
}

CXTPBufferDC::~CXTPBufferDC()
{
    if (m_hDC == NULL)
        return;
    ::SetViewportOrgEx(m_hDC, 0, 0, NULL);
    ::BitBlt(m_hTargetDC, m_rc.left, m_rc.top, m_rc.right - m_rc.left, m_rc.bottom - m_rc.top, m_hDC, 0, 0, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    ::DeleteObject(m_hBitmap);
    ::DeleteDC(m_hDC);
}

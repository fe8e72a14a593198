#include "toolkit/BufferDC.h"

CXTPBufferDC::CXTPBufferDC(HDC hTargetDC, const RECT& rc) : m_hTargetDC(hTargetDC), m_rc(rc), m_dc(hTargetDC)
{
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return;
    m_hBitmap.Reset(::CreateCompatibleBitmap(hTargetDC, cx, cy));
    // Out of resources: draw straight to the target rather than not at all.
    if (m_hBitmap && !m_dc.SelectBitmap(m_hBitmap.Get()))
        m_hBitmap.Reset();
    if (m_hBitmap)
        ::SetViewportOrgEx(m_dc.Get(), -rc.left, -rc.top, NULL);
}

CXTPBufferDC::~CXTPBufferDC()
{
    if (!m_hBitmap)
        return;
    ::SetViewportOrgEx(m_dc.Get(), 0, 0, NULL);
    ::BitBlt(m_hTargetDC, m_rc.left, m_rc.top, m_rc.right - m_rc.left, m_rc.bottom - m_rc.top, m_dc.Get(), 0, 0,
             SRCCOPY);
}

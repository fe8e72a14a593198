#include "app/DialogDpiLayout.h"

void CDialogDpiLayout::Capture(HWND hDialog, int nDpi)
{
    m_hDialog = hDialog;
    m_nDpi = nDpi > 0 ? nDpi : 96;
    m_places.clear();
    for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        Place place = {hChild, {}};
        ::GetWindowRect(hChild, &place.rc);
        ::MapWindowPoints(NULL, hDialog, reinterpret_cast<POINT*>(&place.rc), 2);
        m_places.push_back(place);
    }
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hDialog, WM_GETFONT, 0, 0));
    m_bHasFont = hFont && ::GetObjectW(hFont, sizeof(m_lfFont), &m_lfFont) == sizeof(m_lfFont);
}

RECT CDialogDpiLayout::Scale(const RECT& rc, int nDpi) const
{
    // Scaled from the captured layout every time, so that going back to the
    // captured DPI gives it back exactly.
    return RECT{::MulDiv(rc.left, nDpi, m_nDpi), ::MulDiv(rc.top, nDpi, m_nDpi), ::MulDiv(rc.right, nDpi, m_nDpi),
                ::MulDiv(rc.bottom, nDpi, m_nDpi)};
}

RECT CDialogDpiLayout::PlaceOf(HWND hChild, int nDpi) const
{
    for (const Place& place : m_places)
    {
        if (place.hWnd == hChild)
            return Scale(place.rc, nDpi);
    }
    return RECT{};
}

void CDialogDpiLayout::Apply(int nDpi)
{
    if (!m_hDialog || nDpi <= 0)
        return;
    HFONT hFont = NULL;
    if (m_bHasFont)
    {
        LOGFONTW lf = m_lfFont;
        lf.lfHeight = ::MulDiv(lf.lfHeight, nDpi, m_nDpi);
        lf.lfWidth = ::MulDiv(lf.lfWidth, nDpi, m_nDpi);
        CXTPGdiObject<HFONT> hScaled(::CreateFontIndirectW(&lf));
        hFont = hScaled.Get();
        // The old font goes only once no control draws with it.
        for (const Place& place : m_places)
            ::SendMessageW(place.hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        m_hFont = std::move(hScaled);
    }
    for (const Place& place : m_places)
    {
        const RECT rc = Scale(place.rc, nDpi);
        ::SetWindowPos(place.hWnd, NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

#include "markup/host/WindowHelpers.h"

#include "markup/elements/UIElement.h"

#include "markup/host/Host.h"
#include "markup/elements/InputElement.h"
#include "markup/host/GdiPainter.h"

#include <utility>

CXTPMarkupHost* HostForWindow(HWND hWnd)
{
    CXTPMarkupHost* pHost = new CXTPMarkupHost();
    pHost->SetHwnd(hWnd);
    return pHost;
}

void DropHost(CXTPMarkupHost*& pHost)
{
    if (CXTPMarkupHost* p = std::exchange(pHost, nullptr))
        p->Release();
}

void DropElement(CXTPMarkupUIElement*& pElement)
{
    if (CXTPMarkupUIElement* p = std::exchange(pElement, nullptr))
        p->Release();
}

CXTPMarkupUIElement* ParseWithHost(CXTPMarkupHost* pHost, LPCSTR lpszMarkup, UINT nCodePage)
{
    return pHost ? pHost->Parse(lpszMarkup, nCodePage) : nullptr;
}

SIZE MeasureTree(CXTPMarkupUIElement* pElement, int cx, int cy)
{
    if (!pElement)
        return SIZE{0, 0};
    CXTPMarkupGdiPainter painter;
    pElement->Measure(&painter, cx, cy);
    return pElement->GetMeasuredSize();
}

void PaintTree(CXTPMarkupUIElement* pElement, HDC hDC, const RECT* pRect)
{
    if (!pElement || !hDC || !pRect)
        return;
    CXTPMarkupGdiPainter painter(hDC);
    pElement->Arrange(*pRect);
    pElement->Render(&painter);
}

void FillAndPaintTree(CXTPMarkupUIElement* pElement, HDC hDC, const RECT& rc, HBRUSH hBackground)
{
    if (hBackground)
        ::FillRect(hDC, &rc, hBackground);
    if (!pElement)
        return;
    CXTPMarkupGdiPainter painter(hDC);
    pElement->Measure(&painter, rc.right - rc.left, rc.bottom - rc.top);
    pElement->Arrange(rc);
    pElement->Render(&painter);
}

void SetHostDefaults(CXTPMarkupHost* pHost, HFONT hFont, COLORREF clr)
{
    if (!pHost)
        return;
    LOGFONTA lf = {};
    if (hFont && GetObjectA(hFont, sizeof(lf), &lf) == sizeof(lf))
        pHost->SetDefaultFont(lf);
    if (clr != CLR_INVALID)
        pHost->SetDefaultTextColor(clr);
}

BOOL RouteToHost(CXTPMarkupInputElement* pElement, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(pElement);
    if (!pHost)
        return FALSE;
    return pHost->HandleMessage(pElement, message, wParam, lParam, pResult);
}

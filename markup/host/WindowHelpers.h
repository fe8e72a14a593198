// Helpers for controls that keep a host on the heap and draw its tree into
// their window.
#pragma once

#include <windows.h>

class CXTPMarkupHost;
class CXTPMarkupInputElement;
class CXTPMarkupUIElement;

// A new host (one reference) for hWnd.
CXTPMarkupHost* HostForWindow(HWND hWnd);
// Release the reference and null it; nothing for null.
void DropHost(CXTPMarkupHost*& pHost);
void DropElement(CXTPMarkupUIElement*& pElement);
// pHost->Parse, or null without a host.
CXTPMarkupUIElement* ParseWithHost(CXTPMarkupHost* pHost, LPCSTR lpszMarkup, UINT nCodePage = 0);
// The size pElement asks for when cx by cy is available, measured with a
// painter of its own; (0, 0) without an element.
SIZE MeasureTree(CXTPMarkupUIElement* pElement, int cx, int cy);
// Arranges pElement to *pRect and draws it into hDC; nothing unless all three
// are given.
void PaintTree(CXTPMarkupUIElement* pElement, HDC hDC, const RECT* pRect);
// The whole paint of a window or picture showing a tree: fills rc with
// hBackground (unless null), then measures pElement for the size of rc,
// arranges it to rc and draws it into hDC; only the fill without an element.
void FillAndPaintTree(CXTPMarkupUIElement* pElement, HDC hDC, const RECT& rc, HBRUSH hBackground);
// The font of hFont (when given) becomes the default font, and clr (unless
// CLR_INVALID) the default text colour.
void SetHostDefaults(CXTPMarkupHost* pHost, HFONT hFont, COLORREF clr);
// HandleMessage of the element's host with the element as root; 0 without an
// element or host.
BOOL RouteToHost(CXTPMarkupInputElement* pElement, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

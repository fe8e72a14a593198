// The record every routed event and every input call of the host carries.
#pragma once

#include <windows.h>

class CXTPMarkupDependencyProperty;
class CXTPMarkupInputElement;

class CXTPMarkupEventArgs
{
public:
    // pEvent is the routed event, or null for a plain input call (cursor
    // query, wheel) that no handler list sees.
    explicit CXTPMarkupEventArgs(CXTPMarkupDependencyProperty* pEvent = nullptr,
                                 CXTPMarkupInputElement* pSource = nullptr);

    CXTPMarkupDependencyProperty* m_pEvent;
    CXTPMarkupInputElement* m_pSource; // where the event started; not referenced
    BOOL m_bHandled;                   // set by whoever handled it; routing stops there
    HWND m_hWnd;                       // the host's window, or null
    int m_x;                           // client coordinates of the pointer
    int m_y;
    int m_nWheelDelta; // mouse wheel: the message's signed delta
    HCURSOR m_hCursor; // cursor query: the answer (null: no cursor of its own)
};

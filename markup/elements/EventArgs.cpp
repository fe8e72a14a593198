#include "markup/elements/EventArgs.h"

CXTPMarkupEventArgs::CXTPMarkupEventArgs(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupInputElement* pSource)
    : m_pEvent(pEvent), m_pSource(pSource), m_bHandled(FALSE), m_hWnd(nullptr), m_x(0), m_y(0), m_nWheelDelta(0),
      m_hCursor(nullptr)
{
}

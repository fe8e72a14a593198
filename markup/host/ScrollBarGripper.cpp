#include "markup/host/ScrollBarGripper.h"

#include "markup/host/GdiPainter.h"

#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupScrollBarGripper, CXTPMarkupUIElement)

CXTPMarkupScrollBarGripper::CXTPMarkupScrollBarGripper() {}

void CXTPMarkupScrollBarGripper::ArrangeElement(const RECT& rcFinal)
{
    CXTPMarkupUIElement::ArrangeElement(rcFinal);
    m_ptOffset = POINT{rcFinal.left, rcFinal.top};
}

BOOL CXTPMarkupScrollBarGripper::MoveArrangement(int dx, int dy)
{
    m_ptOffset.x += dx;
    m_ptOffset.y += dy;
    return TRUE;
}

void CXTPMarkupScrollBarGripper::DrawContent(CXTPMarkupPainter* pPainter)
{
    pPainter->FillSolidRect(0, 0, m_szArranged.cx, m_szArranged.cy, GetSysColor(COLOR_BTNFACE));
}

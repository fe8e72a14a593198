#include "markup/elements/Canvas.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/UIElementCollection.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"Canvas", CXTPMarkupCanvas, CXTPMarkupPanel)

CXTPMarkupDependencyProperty* CXTPMarkupCanvas::m_pLeftProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupCanvas::m_pTopProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupCanvas::m_pRightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupCanvas::m_pBottomProperty = nullptr;

void CXTPMarkupCanvas::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupCanvas);
    m_pLeftProperty = Property::RegisterAttached(L"Left", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pTopProperty = Property::RegisterAttached(L"Top", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pRightProperty = Property::RegisterAttached(L"Right", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pBottomProperty = Property::RegisterAttached(L"Bottom", MARKUP_TYPE(CXTPMarkupInt), pOwner);
}

CXTPMarkupCanvas::CXTPMarkupCanvas() {}

SIZE CXTPMarkupCanvas::MeasureContent(CXTPMarkupPainter* pPainter, int /*cxConstraint*/, int /*cyConstraint*/)
{
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        if (CXTPMarkupUIElement* pChild = pChildren->GetElement(i))
            pChild->Measure(pPainter, kUnbounded, kUnbounded);
    }
    return {0, 0};
}

namespace
{
// The position along one axis: from the near edge when set, else from the
// far edge, else 0.
int Place(const CXTPMarkupObject* pNear, const CXTPMarkupObject* pFar, int nExtent, int nChild)
{
    if (const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(pNear))
        return *pValue;
    if (const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(pFar))
        return Clamp(static_cast<long long>(nExtent) - *pValue - nChild);
    return 0;
}
} // namespace

SIZE CXTPMarkupCanvas::ArrangeContent(int cx, int cy)
{
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        const SIZE szChild = pChild->GetMeasuredSize();
        const int x = Place(pChild->GetValue(m_pLeftProperty), pChild->GetValue(m_pRightProperty), cx, szChild.cx);
        const int y = Place(pChild->GetValue(m_pTopProperty), pChild->GetValue(m_pBottomProperty), cy, szChild.cy);
        pChild->Arrange(RECT{x, y, Add(x, szChild.cx), Add(y, szChild.cy)});
    }
    return {cx, cy};
}

#include "markup/elements/FrameworkContentElement.h"

#include "markup/elements/FrameworkElement.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"FrameworkContentElement", CXTPMarkupFrameworkContentElement, CXTPMarkupInputElement)

CXTPMarkupDependencyProperty* CXTPMarkupFrameworkContentElement::m_pTagProperty = nullptr;

void CXTPMarkupFrameworkContentElement::RegisterMarkupProperties()
{
    MARKUP_TYPE(CXTPMarkupFrameworkElement)->EnsureInitialized();
    m_pTagProperty =
        CXTPMarkupFrameworkElement::m_pTagProperty->AddOwner(MARKUP_TYPE(CXTPMarkupFrameworkContentElement));
}

CXTPMarkupFrameworkContentElement::CXTPMarkupFrameworkContentElement() {}

CXTPMarkupFrameworkElement* CXTPMarkupFrameworkContentElement::GetParentFrameworkElement() const
{
    for (CXTPMarkupObject* pObject = GetLogicalParent(); pObject; pObject = pObject->GetLogicalParent())
    {
        if (CXTPMarkupFrameworkElement* pElement = MarkupCast<CXTPMarkupFrameworkElement>(pObject))
            return pElement;
    }
    return nullptr;
}

void CXTPMarkupFrameworkContentElement::OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty,
                                                          CXTPMarkupObject* pOldValue, CXTPMarkupObject* pNewValue)
{
    // Callbacks and triggers may drop references to this element and to the
    // element that lays it out.
    CXTPMarkupPtr<CXTPMarkupFrameworkContentElement> self =
        CXTPMarkupPtr<CXTPMarkupFrameworkContentElement>::AddRefOf(this);
    CXTPMarkupInputElement::OnPropertyChanged(pProperty, pOldValue, pNewValue);
    UpdateTriggers(pProperty, pNewValue);

    const DWORD nFlags = pProperty->GetFlags();
    if (!(nFlags
          & (CXTPMarkupPropertyOptions::AffectsMeasure | CXTPMarkupPropertyOptions::AffectsArrange
             | CXTPMarkupPropertyOptions::AffectsRender)))
        return;
    CXTPMarkupPtr<CXTPMarkupFrameworkElement> owner =
        CXTPMarkupPtr<CXTPMarkupFrameworkElement>::AddRefOf(GetParentFrameworkElement());
    if (!owner)
        return;
    if (nFlags & CXTPMarkupPropertyOptions::AffectsMeasure)
        owner->InvalidateMeasure();
    if (nFlags & CXTPMarkupPropertyOptions::AffectsArrange)
        owner->InvalidateArrange();
    if (nFlags & CXTPMarkupPropertyOptions::AffectsRender)
        owner->InvalidateVisual();
}

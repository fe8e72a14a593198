#include "markup/model/Brush.h"

#include "markup/model/Color.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupBrush, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"SolidColorBrush", CXTPMarkupSolidColorBrush, CXTPMarkupBrush)

CXTPMarkupDependencyProperty* CXTPMarkupSolidColorBrush::m_pColorProperty = nullptr;

void CXTPMarkupSolidColorBrush::RegisterMarkupProperties()
{
    m_pColorProperty = CXTPMarkupDependencyProperty::Register(L"Color", MARKUP_TYPE(CXTPMarkupColor),
                                                              MARKUP_TYPE(CXTPMarkupSolidColorBrush));
}

CXTPMarkupBrush::CXTPMarkupBrush()
{
}

CXTPMarkupObject* CXTPMarkupBrush::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    COLORREF clr;
    if (!pString || !CXTPMarkupColor::ParseColorText(pString->GetText(), pString->GetLength(), clr))
        return nullptr;
    return new CXTPMarkupSolidColorBrush(clr);
}

CXTPMarkupSolidColorBrush::CXTPMarkupSolidColorBrush()
{
}

CXTPMarkupSolidColorBrush::CXTPMarkupSolidColorBrush(COLORREF clr)
{
    // Code may make a brush before any host initialised the types.
    GetMarkupType()->EnsureInitialized();
    SetValue(m_pColorProperty, new CXTPMarkupColor(clr));
}

COLORREF CXTPMarkupSolidColorBrush::GetColor() const
{
    const CXTPMarkupColor* pColor = MarkupCast<CXTPMarkupColor>(GetValue(m_pColorProperty));
    return pColor ? pColor->GetColor() : 0;
}

BOOL CXTPMarkupSolidColorBrush::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupSolidColorBrush* pOther = MarkupCast<CXTPMarkupSolidColorBrush>(pObject);
    return pOther && pOther->GetColor() == GetColor();
}

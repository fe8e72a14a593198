#include "markup/model/Brush.h"

#include "markup/model/Color.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Point.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

// Brush properties carry no metadata: changing a brush that is already in use
// does not by itself repaint anything.
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupBrush, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"SolidColorBrush", CXTPMarkupSolidColorBrush, CXTPMarkupBrush)
IMPLEMENT_MARKUPCLASS(L"GradientStop", CXTPMarkupGradientStop, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupGradientStopCollection, CXTPMarkupCollection)
IMPLEMENT_MARKUPCLASS(L"LinearGradientBrush", CXTPMarkupLinearGradientBrush, CXTPMarkupBrush)

CXTPMarkupDependencyProperty* CXTPMarkupSolidColorBrush::m_pColorProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGradientStop::m_pColorProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGradientStop::m_pOffsetProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLinearGradientBrush::m_pStartPointProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLinearGradientBrush::m_pEndPointProperty = nullptr;

void CXTPMarkupSolidColorBrush::RegisterMarkupProperties()
{
    m_pColorProperty = CXTPMarkupDependencyProperty::Register(L"Color", MARKUP_TYPE(CXTPMarkupColor),
                                                              MARKUP_TYPE(CXTPMarkupSolidColorBrush));
}

void CXTPMarkupGradientStop::RegisterMarkupProperties()
{
    m_pColorProperty = CXTPMarkupDependencyProperty::Register(L"Color", MARKUP_TYPE(CXTPMarkupColor),
                                                              MARKUP_TYPE(CXTPMarkupGradientStop));
    m_pOffsetProperty = CXTPMarkupDependencyProperty::Register(L"Offset", MARKUP_TYPE(CXTPMarkupDouble),
                                                               MARKUP_TYPE(CXTPMarkupGradientStop));
}

void CXTPMarkupLinearGradientBrush::RegisterMarkupProperties()
{
    m_pStartPointProperty = CXTPMarkupDependencyProperty::Register(L"StartPoint", MARKUP_TYPE(CXTPMarkupPoint),
                                                                   MARKUP_TYPE(CXTPMarkupLinearGradientBrush));
    m_pEndPointProperty = CXTPMarkupDependencyProperty::Register(L"EndPoint", MARKUP_TYPE(CXTPMarkupPoint),
                                                                 MARKUP_TYPE(CXTPMarkupLinearGradientBrush));
}

CXTPMarkupBrush::CXTPMarkupBrush() {}

CXTPMarkupObject* CXTPMarkupBrush::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    COLORREF clr;
    if (!pString || !CXTPMarkupColor::ParseColorText(pString->GetText(), pString->GetLength(), clr))
        return nullptr;
    return new CXTPMarkupSolidColorBrush(clr);
}

CXTPMarkupSolidColorBrush::CXTPMarkupSolidColorBrush() {}

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

BOOL CXTPMarkupSolidColorBrush::HasColor() const
{
    return MarkupCast<CXTPMarkupColor>(GetValue(m_pColorProperty)) != nullptr;
}

BOOL CXTPMarkupSolidColorBrush::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupSolidColorBrush* pOther = MarkupCast<CXTPMarkupSolidColorBrush>(pObject);
    return pOther && pOther->GetColor() == GetColor();
}

CXTPMarkupGradientStop::CXTPMarkupGradientStop() {}

CXTPMarkupGradientStop::CXTPMarkupGradientStop(COLORREF clr, double dOffset)
{
    GetMarkupType()->EnsureInitialized();
    SetValue(m_pColorProperty, new CXTPMarkupColor(clr));
    SetValue(m_pOffsetProperty, new CXTPMarkupDouble(dOffset));
}

COLORREF CXTPMarkupGradientStop::GetColor() const
{
    const CXTPMarkupColor* pColor = MarkupCast<CXTPMarkupColor>(GetValue(m_pColorProperty));
    return pColor ? pColor->GetColor() : 0;
}

double CXTPMarkupGradientStop::GetOffset() const
{
    const CXTPMarkupDouble* pOffset = MarkupCast<CXTPMarkupDouble>(GetValue(m_pOffsetProperty));
    return pOffset ? static_cast<double>(*pOffset) : 0.0;
}

CXTPMarkupGradientStopCollection::CXTPMarkupGradientStopCollection()
    : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupGradientStop))
{
}

CXTPMarkupGradientStop* CXTPMarkupGradientStopCollection::GetStop(int nIndex) const
{
    return static_cast<CXTPMarkupGradientStop*>(GetItem(nIndex));
}

CXTPMarkupLinearGradientBrush::CXTPMarkupLinearGradientBrush()
    : m_pGradientStops(new CXTPMarkupGradientStopCollection())
{
    m_pGradientStops->SetLogicalParent(this);
}

CXTPMarkupLinearGradientBrush::~CXTPMarkupLinearGradientBrush()
{
    m_pGradientStops->SetLogicalParent(nullptr);
    m_pGradientStops->Release();
}

const CXTPMarkupPoint* CXTPMarkupLinearGradientBrush::GetStartPoint() const
{
    return MarkupCast<CXTPMarkupPoint>(GetValue(m_pStartPointProperty));
}

const CXTPMarkupPoint* CXTPMarkupLinearGradientBrush::GetEndPoint() const
{
    return MarkupCast<CXTPMarkupPoint>(GetValue(m_pEndPointProperty));
}

void CXTPMarkupLinearGradientBrush::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    // The stops are written straight inside the brush; the collection names
    // itself and its element type when it refuses something.
    m_pGradientStops->AddContent(pBuilder, pContent);
}

BOOL CXTPMarkupLinearGradientBrush::HasContent() const
{
    return m_pGradientStops->HasContent();
}

int CXTPMarkupLinearGradientBrush::GetLogicalChildCount() const
{
    return 1;
}

CXTPMarkupObject* CXTPMarkupLinearGradientBrush::GetLogicalChild(int nIndex) const
{
    return nIndex == 0 ? m_pGradientStops : nullptr;
}

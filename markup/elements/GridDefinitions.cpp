#include "markup/elements/GridDefinitions.h"

#include "markup/elements/GridLength.h"
#include "markup/elements/LayoutExtent.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupDefinitionBase, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"ColumnDefinition", CXTPMarkupColumnDefinition, CXTPMarkupDefinitionBase)
IMPLEMENT_MARKUPCLASS(L"RowDefinition", CXTPMarkupRowDefinition, CXTPMarkupDefinitionBase)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupDefinitionCollection, CXTPMarkupCollection)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupColumnDefinitionCollection, CXTPMarkupDefinitionCollection)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupRowDefinitionCollection, CXTPMarkupDefinitionCollection)

CXTPMarkupDependencyProperty* CXTPMarkupColumnDefinition::m_pWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupColumnDefinition::m_pMinWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupColumnDefinition::m_pMaxWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupRowDefinition::m_pHeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupRowDefinition::m_pMinHeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupRowDefinition::m_pMaxHeightProperty = nullptr;

void CXTPMarkupColumnDefinition::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupColumnDefinition);
    m_pWidthProperty = Property::Register(L"Width", MARKUP_TYPE(CXTPMarkupGridLength), pOwner,
                                          new CXTPMarkupPropertyOptions(new CXTPMarkupGridLength()));
    m_pMinWidthProperty = Property::Register(L"MinWidth", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pMaxWidthProperty = Property::Register(L"MaxWidth", MARKUP_TYPE(CXTPMarkupInt), pOwner);
}

void CXTPMarkupRowDefinition::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupRowDefinition);
    m_pHeightProperty = Property::Register(L"Height", MARKUP_TYPE(CXTPMarkupGridLength), pOwner,
                                           new CXTPMarkupPropertyOptions(new CXTPMarkupGridLength()));
    m_pMinHeightProperty = Property::Register(L"MinHeight", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pMaxHeightProperty = Property::Register(L"MaxHeight", MARKUP_TYPE(CXTPMarkupInt), pOwner);
}

CXTPMarkupDefinitionBase::CXTPMarkupDefinitionBase(BOOL bIsColumn) : m_bIsColumn(bIsColumn)
{
    ResetLayout();
}

CXTPMarkupColumnDefinition::CXTPMarkupColumnDefinition() : CXTPMarkupDefinitionBase(TRUE) {}

CXTPMarkupRowDefinition::CXTPMarkupRowDefinition() : CXTPMarkupDefinitionBase(FALSE) {}

namespace
{
const CXTPMarkupGridLength* LengthOf(const CXTPMarkupDefinitionBase* pDefinition)
{
    return MarkupCast<CXTPMarkupGridLength>(pDefinition->GetValue(pDefinition->IsColumn()
                                                                      ? CXTPMarkupColumnDefinition::m_pWidthProperty
                                                                      : CXTPMarkupRowDefinition::m_pHeightProperty));
}
} // namespace

int CXTPMarkupDefinitionBase::GetLengthUnit() const
{
    const CXTPMarkupGridLength* pLength = LengthOf(this);
    return pLength ? pLength->GetUnit() : CXTPMarkupGridLength::Star;
}

double CXTPMarkupDefinitionBase::GetLengthValue() const
{
    const CXTPMarkupGridLength* pLength = LengthOf(this);
    return pLength ? pLength->GetValue() : 1.0;
}

int CXTPMarkupDefinitionBase::GetUserMinSize() const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(
        m_bIsColumn ? CXTPMarkupColumnDefinition::m_pMinWidthProperty : CXTPMarkupRowDefinition::m_pMinHeightProperty));
    return pValue ? static_cast<int>(*pValue) : 0;
}

int CXTPMarkupDefinitionBase::GetUserMaxSize() const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(
        m_bIsColumn ? CXTPMarkupColumnDefinition::m_pMaxWidthProperty : CXTPMarkupRowDefinition::m_pMaxHeightProperty));
    return pValue ? static_cast<int>(*pValue) : XTPMarkupLayout::kUnbounded;
}

BOOL CXTPMarkupDefinitionBase::HasUserMaxSize() const
{
    return GetValue(m_bIsColumn ? CXTPMarkupColumnDefinition::m_pMaxWidthProperty
                                : CXTPMarkupRowDefinition::m_pMaxHeightProperty)
           != nullptr;
}

double CXTPMarkupDefinitionBase::GetStarValue() const
{
    const double dValue = GetLengthValue();
    // A zero or negative share (or no number at all) would divide by zero or
    // turn the running totals of the star sizing round.
    return dValue > 0 && std::isfinite(dValue) ? dValue : 0.0;
}

double CXTPMarkupDefinitionBase::GetCap() const
{
    const int nMax = GetUserMaxSize();
    return HasUserMaxSize() && nMax >= m_nMinSize ? nMax : m_nMinSize;
}

double CXTPMarkupDefinitionBase::GetPreferredSize() const
{
    return m_nLayoutType == LayoutAuto ? m_nMinSize : std::max<double>(m_nMinSize, m_dMeasureSize);
}

void CXTPMarkupDefinitionBase::RaiseMinSize(double dValue)
{
    // Truncated like every size the sizing steps hand out; saturated so that
    // an unbounded request cannot wrap.
    const int nValue = dValue >= XTPMarkupLayout::kUnbounded ? XTPMarkupLayout::kUnbounded
                       : dValue > 0                          ? static_cast<int>(dValue)
                                                             : 0;
    m_nMinSize = std::max(m_nMinSize, nValue);
}

void CXTPMarkupDefinitionBase::ResetLayout()
{
    m_nMinSize = 0;
    m_nLayoutType = 0;
    m_dMeasureSize = 0;
    m_dSizeCache = 0;
    m_nFinalOffset = 0;
}

CXTPMarkupDefinitionCollection::CXTPMarkupDefinitionCollection(CXTPMarkupType* pElementType)
    : CXTPMarkupCollection(pElementType)
{
}

CXTPMarkupDefinitionBase* CXTPMarkupDefinitionCollection::GetDefinition(int nIndex) const
{
    return static_cast<CXTPMarkupDefinitionBase*>(GetItem(nIndex));
}

CXTPMarkupColumnDefinitionCollection::CXTPMarkupColumnDefinitionCollection()
    : CXTPMarkupDefinitionCollection(MARKUP_TYPE(CXTPMarkupColumnDefinition))
{
}

CXTPMarkupRowDefinitionCollection::CXTPMarkupRowDefinitionCollection()
    : CXTPMarkupDefinitionCollection(MARKUP_TYPE(CXTPMarkupRowDefinition))
{
}

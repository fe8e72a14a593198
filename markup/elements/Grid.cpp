#include "markup/elements/Grid.h"

#include "markup/elements/GridDefinitions.h"
#include "markup/elements/GridLength.h"
#include "markup/elements/LayoutExtent.h"
#include "markup/elements/UIElementCollection.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <utility>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"Grid", CXTPMarkupGrid, CXTPMarkupPanel)

CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pColumnDefinitionsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pRowDefinitionsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pColumnProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pRowProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pColumnSpanProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupGrid::m_pRowSpanProperty = nullptr;

void CXTPMarkupGrid::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupGrid);
    m_pColumnDefinitionsProperty =
        Property::Register(L"ColumnDefinitions", MARKUP_TYPE(CXTPMarkupColumnDefinitionCollection), pOwner);
    m_pRowDefinitionsProperty =
        Property::Register(L"RowDefinitions", MARKUP_TYPE(CXTPMarkupRowDefinitionCollection), pOwner);
    m_pColumnProperty = Property::RegisterAttached(L"Column", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                                   new Options(nullptr, &OnCellAttachedPropertyChanged));
    m_pRowProperty = Property::RegisterAttached(L"Row", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                                new Options(nullptr, &OnCellAttachedPropertyChanged));
    m_pColumnSpanProperty = Property::RegisterAttached(L"ColumnSpan", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                                       new Options(nullptr, &OnCellAttachedPropertyChanged));
    m_pRowSpanProperty = Property::RegisterAttached(L"RowSpan", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                                    new Options(nullptr, &OnCellAttachedPropertyChanged));
}

CXTPMarkupGrid::CXTPMarkupGrid()
    : m_pRowDefinitions(new CXTPMarkupRowDefinitionCollection()),
      m_pColumnDefinitions(new CXTPMarkupColumnDefinitionCollection()), m_bHasStarColumns(FALSE), m_bHasStarRows(FALSE),
      m_bGroup3InAutoRows(FALSE), m_pDefaultColumn(nullptr), m_pDefaultRow(nullptr)
{
    m_pRowDefinitions->SetLogicalParent(this);
    m_pColumnDefinitions->SetLogicalParent(this);
}

namespace
{
void ReleaseAll(std::vector<CXTPMarkupDefinitionBase*>& definitions)
{
    for (CXTPMarkupDefinitionBase* pDefinition : definitions)
        pDefinition->Release();
    definitions.clear();
}

template <class T> void ReplaceCollection(CXTPMarkupObject* pOwner, T*& pField, T* pNew)
{
    if (!pNew)
        pNew = new T();
    if (pField == pNew)
    {
        pNew->Release();
        return;
    }
    if (pField->GetLogicalParent() == pOwner)
        pField->SetLogicalParent(nullptr);
    pField->Release();
    pField = pNew;
    pField->SetLogicalParent(pOwner);
}
} // namespace

CXTPMarkupGrid::~CXTPMarkupGrid()
{
    ReleaseAll(m_columns);
    ReleaseAll(m_rows);
    if (m_pDefaultColumn)
        m_pDefaultColumn->Release();
    if (m_pDefaultRow)
        m_pDefaultRow->Release();
    m_pRowDefinitions->SetLogicalParent(nullptr);
    m_pRowDefinitions->Release();
    m_pColumnDefinitions->SetLogicalParent(nullptr);
    m_pColumnDefinitions->Release();
}

void CXTPMarkupGrid::SetColumnDefinitions(CXTPMarkupColumnDefinitionCollection* pDefinitions)
{
    ReplaceCollection(this, m_pColumnDefinitions, pDefinitions);
    InvalidateMeasure();
}

void CXTPMarkupGrid::SetRowDefinitions(CXTPMarkupRowDefinitionCollection* pDefinitions)
{
    ReplaceCollection(this, m_pRowDefinitions, pDefinitions);
    InvalidateMeasure();
}

void CXTPMarkupGrid::ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                                      CXTPMarkupObject* pValue)
{
    if (pProperty == m_pColumnDefinitionsProperty)
    {
        CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
        CXTPMarkupColumnDefinitionCollection* pColumns = MarkupCast<CXTPMarkupColumnDefinitionCollection>(pValue);
        if (!pColumns)
            throw CXTPMarkupBuilderException("CXTPMarkupColumnDefinitionCollection class expected");
        value.Detach();
        SetColumnDefinitions(pColumns);
    }
    else if (pProperty == m_pRowDefinitionsProperty)
    {
        CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
        CXTPMarkupRowDefinitionCollection* pRows = MarkupCast<CXTPMarkupRowDefinitionCollection>(pValue);
        if (!pRows)
            throw CXTPMarkupBuilderException("CXTPMarkupRowDefinitionCollection class expected");
        value.Detach();
        SetRowDefinitions(pRows);
    }
    else
        CXTPMarkupPanel::ApplyMarkupValue(pBuilder, pProperty, pValue);
}

CXTPMarkupObject* CXTPMarkupGrid::LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    if (pProperty == m_pColumnDefinitionsProperty)
        return m_pColumnDefinitions;
    if (pProperty == m_pRowDefinitionsProperty)
        return m_pRowDefinitions;
    return CXTPMarkupPanel::LookupOwnValue(pProperty);
}

void CXTPMarkupGrid::OnCellAttachedPropertyChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* /*pArgs*/)
{
    CXTPMarkupVisual* pVisual = MarkupCast<CXTPMarkupVisual>(pObject);
    if (CXTPMarkupGrid* pGrid = pVisual ? MarkupCast<CXTPMarkupGrid>(pVisual->GetParentVisual()) : nullptr)
        pGrid->InvalidateMeasure();
}

// --- Sizing steps -------------------------------------------------------------

namespace
{
typedef CXTPMarkupDefinitionBase Definition;
typedef std::vector<Definition*> Definitions;

// Sizes are worked out in real numbers and handed out truncated; beyond the
// 32-bit range they saturate.
int Truncate(double d)
{
    if (d != d)
        return 0;
    if (d >= kUnbounded)
        return kUnbounded;
    if (d <= INT_MIN)
        return INT_MIN;
    return static_cast<int>(d);
}

void ValidateDefinitions(Definitions& definitions, BOOL bTreatStarAsAuto)
{
    for (Definition* pDefinition : definitions)
    {
        pDefinition->ResetLayout();
        int nLow = std::max(0, pDefinition->GetUserMinSize());
        const int nHigh = pDefinition->GetUserMaxSize();
        double dSize = kUnbounded;
        switch (pDefinition->GetLengthUnit())
        {
        case CXTPMarkupGridLength::Auto: pDefinition->m_nLayoutType = Definition::LayoutAuto; break;
        case CXTPMarkupGridLength::Pixel:
            pDefinition->m_nLayoutType = Definition::LayoutPixel;
            dSize = std::max(0, Truncate(pDefinition->GetLengthValue()));
            nLow = std::max(nLow, std::min(static_cast<int>(dSize), nHigh));
            break;
        default: pDefinition->m_nLayoutType = bTreatStarAsAuto ? Definition::LayoutAuto : Definition::LayoutStar; break;
        }
        pDefinition->RaiseMinSize(nLow);
        pDefinition->m_dMeasureSize = std::max<double>(nLow, std::min<double>(dSize, nHigh));
    }
}

int SpanSize(const Definitions& definitions, int nStart, int nCount)
{
    double dSize = 0;
    for (int i = nStart; i < nStart + nCount; ++i)
    {
        const Definition* pDefinition = definitions[i];
        dSize += pDefinition->m_nLayoutType == Definition::LayoutAuto ? pDefinition->m_nMinSize
                                                                      : pDefinition->m_dMeasureSize;
    }
    return Truncate(dSize);
}

// Grows the minimum sizes of a span of definitions so that together they hold
// a child of nRequested: first up to the preferred sizes, then up to the
// caps, then beyond them in proportion.
void EnsureMinSizeInRange(Definitions& definitions, int nStart, int nCount, int nRequested)
{
    if (nRequested == 0 || nCount <= 0)
        return;
    const double dRequested = nRequested;
    double dRangeMin = 0, dRangePreferred = 0, dRangeCap = 0, dLargestCap = 0;
    Definitions range(definitions.begin() + nStart, definitions.begin() + nStart + nCount);
    for (Definition* pDefinition : range)
    {
        dRangeMin += pDefinition->m_nMinSize;
        dRangePreferred += pDefinition->GetPreferredSize();
        pDefinition->m_dSizeCache = pDefinition->GetCap();
        dRangeCap += pDefinition->m_dSizeCache;
        dLargestCap = std::max(dLargestCap, pDefinition->m_dSizeCache);
    }
    if (dRequested <= dRangeMin)
        return;

    auto isAuto = [](const Definition* p) { return p->GetLengthUnit() == CXTPMarkupGridLength::Auto; };
    if (dRequested <= dRangePreferred)
    {
        std::stable_sort(range.begin(), range.end(),
                         [&](const Definition* a, const Definition* b)
                         {
                             if (isAuto(a) != isAuto(b))
                                 return isAuto(a);
                             return isAuto(a) ? a->m_nMinSize < b->m_nMinSize
                                              : a->GetPreferredSize() < b->GetPreferredSize();
                         });
        double dRemaining = dRequested;
        size_t i = 0;
        for (; i < range.size() && isAuto(range[i]); ++i)
            dRemaining -= range[i]->m_nMinSize;
        for (; i < range.size(); ++i)
        {
            const double v = std::min(dRemaining / double(range.size() - i), range[i]->GetPreferredSize());
            range[i]->RaiseMinSize(v);
            dRemaining -= v;
        }
    }
    else if (dRequested <= dRangeCap)
    {
        std::stable_sort(range.begin(), range.end(),
                         [&](const Definition* a, const Definition* b)
                         {
                             if (isAuto(a) != isAuto(b))
                                 return !isAuto(a);
                             return a->m_dSizeCache < b->m_dSizeCache;
                         });
        double dRemaining = dRequested - dRangePreferred;
        size_t i = 0;
        size_t nNonAuto = 0;
        while (nNonAuto < range.size() && !isAuto(range[nNonAuto]))
            ++nNonAuto;
        for (; i < nNonAuto; ++i)
        {
            const double dPreferred = range[i]->GetPreferredSize();
            const double v = std::min(dPreferred + dRemaining / double(nNonAuto - i), range[i]->m_dSizeCache);
            range[i]->RaiseMinSize(v);
            dRemaining -= range[i]->m_nMinSize - dPreferred;
        }
        for (; i < range.size(); ++i)
        {
            const int nOld = range[i]->m_nMinSize;
            const double v = std::min(nOld + dRemaining / double(range.size() - i), range[i]->m_dSizeCache);
            range[i]->RaiseMinSize(v);
            dRemaining -= range[i]->m_nMinSize - nOld;
        }
    }
    else
    {
        const double n = double(range.size());
        if (dRequested / n >= dLargestCap)
        {
            for (Definition* pDefinition : range)
                pDefinition->RaiseMinSize(dRequested / n);
        }
        else
        {
            // Not zero: with every cap the largest, the request per
            // definition would be above it.
            const double dDivisor = n * dLargestCap - dRangeCap;
            for (Definition* pDefinition : range)
            {
                pDefinition->RaiseMinSize(pDefinition->m_dSizeCache
                                          + (dRequested - dRangeCap) * (dLargestCap - pDefinition->m_dSizeCache)
                                                / dDivisor);
            }
        }
    }
}

// Shares the space left after fixed and automatic definitions among the star
// ones, the most tightly capped first, each by its part of the stars still
// unserved; sizes land in m_dMeasureSize (measure) or m_dSizeCache (arrange).
void DistributeStars(Definitions& stars, double dAvailable, double dTaken, BOOL bArrange)
{
    for (Definition* pDefinition : stars)
    {
        const double s = pDefinition->GetStarValue();
        pDefinition->m_dMeasureSize = s;
        pDefinition->m_dSizeCache = s == 0 ? 0 : pDefinition->GetCap() / s;
    }
    std::stable_sort(stars.begin(), stars.end(),
                     [](const Definition* a, const Definition* b) { return a->m_dSizeCache < b->m_dSizeCache; });
    std::vector<double> totals(stars.size());
    double dTotal = 0;
    for (size_t i = stars.size(); i-- > 0;)
    {
        dTotal += stars[i]->GetStarValue();
        totals[i] = dTotal;
    }
    for (size_t i = 0; i < stars.size(); ++i)
    {
        Definition* pDefinition = stars[i];
        const double s = pDefinition->GetStarValue();
        int nSize = pDefinition->m_nMinSize;
        if (s != 0)
        {
            nSize = Truncate(s / totals[i] * std::max(0.0, dAvailable - dTaken));
            nSize = std::max(std::min(nSize, pDefinition->GetUserMaxSize()), pDefinition->m_nMinSize);
        }
        if (bArrange)
            pDefinition->m_dSizeCache = nSize;
        else
            pDefinition->m_dMeasureSize = nSize;
        dTaken += nSize;
    }
}

void ResolveStar(Definitions& definitions, int nAvailable)
{
    double dTaken = 0;
    Definitions stars;
    for (Definition* pDefinition : definitions)
    {
        if (pDefinition->m_nLayoutType == Definition::LayoutPixel)
            dTaken += pDefinition->m_dMeasureSize;
        else if (pDefinition->m_nLayoutType == Definition::LayoutAuto)
            dTaken += pDefinition->m_nMinSize;
        else
            stars.push_back(pDefinition);
    }
    DistributeStars(stars, nAvailable, dTaken, FALSE);
}

// The final sizes (m_dSizeCache) and offsets for the arranged extent; when
// the definitions do not fit, they give back what they can above their
// minimums, star ones with the least to give first.
void SetFinalSize(Definitions& definitions, int nFinal)
{
    Definitions work;
    Definitions others;
    double dTaken = 0;
    for (Definition* pDefinition : definitions)
    {
        if (pDefinition->m_nLayoutType == Definition::LayoutStar)
        {
            work.push_back(pDefinition);
            continue;
        }
        const double dUser = pDefinition->m_nLayoutType == Definition::LayoutAuto ? pDefinition->m_nMinSize
                                                                                  : pDefinition->GetLengthValue();
        pDefinition->m_dSizeCache =
            std::max<double>(pDefinition->m_nMinSize, std::min<double>(dUser, pDefinition->GetUserMaxSize()));
        dTaken += pDefinition->m_dSizeCache;
        others.push_back(pDefinition);
    }
    const size_t nStars = work.size();
    DistributeStars(work, nFinal, dTaken, TRUE);
    for (Definition* pDefinition : work)
        dTaken += pDefinition->m_dSizeCache;
    work.insert(work.end(), others.rbegin(), others.rend());

    if (dTaken > nFinal)
    {
        std::stable_sort(work.begin(), work.begin() + nStars,
                         [](const Definition* a, const Definition* b)
                         { return a->m_dSizeCache - a->m_nMinSize < b->m_dSizeCache - b->m_nMinSize; });
        double d = nFinal - dTaken;
        for (size_t i = 0; i < work.size(); ++i)
        {
            Definition* pDefinition = work[i];
            const double v =
                std::min(pDefinition->m_dSizeCache, std::max(pDefinition->m_dSizeCache + d / double(work.size() - i),
                                                             double(pDefinition->m_nMinSize)));
            d += pDefinition->m_dSizeCache - v;
            pDefinition->m_dSizeCache = v;
        }
    }

    int nOffset = 0;
    for (Definition* pDefinition : definitions)
    {
        pDefinition->m_nFinalOffset = nOffset;
        nOffset = Add(nOffset, Truncate(pDefinition->m_dSizeCache));
    }
}

int FinalSpan(const Definitions& definitions, int nStart, int nCount)
{
    int nSize = 0;
    for (int i = nStart; i < nStart + nCount; ++i)
        nSize = Add(nSize, Truncate(definitions[i]->m_dSizeCache));
    return nSize;
}

int ReadCellValue(const CXTPMarkupUIElement* pChild, const CXTPMarkupDependencyProperty* pProperty, int nLeast)
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(pChild->GetValue(pProperty));
    return pValue ? std::max<int>(*pValue, nLeast) : nLeast;
}
} // namespace

// --- Layout ---------------------------------------------------------------------

void CXTPMarkupGrid::UseDefinitions(Definitions& definitions, CXTPMarkupDefinitionCollection* pCollection,
                                    CXTPMarkupDefinitionBase*& pDefault, BOOL bColumn)
{
    ReleaseAll(definitions);
    for (int i = 0; i < pCollection->GetCount(); ++i)
    {
        if (CXTPMarkupDefinitionBase* pDefinition = pCollection->GetDefinition(i))
        {
            pDefinition->AddRef();
            definitions.push_back(pDefinition);
        }
    }
    if (definitions.empty())
    {
        if (!pDefault)
        {
            pDefault = bColumn ? static_cast<CXTPMarkupDefinitionBase*>(new CXTPMarkupColumnDefinition())
                               : new CXTPMarkupRowDefinition();
        }
        pDefault->AddRef();
        definitions.push_back(pDefault);
    }
}

void CXTPMarkupGrid::ValidateCells()
{
    m_cells.clear();
    for (std::vector<int>& group : m_groups)
        group.clear();
    m_bHasStarColumns = m_bHasStarRows = m_bGroup3InAutoRows = FALSE;
    if (m_columns.empty() || m_rows.empty())
        return;

    const int nColumns = int(m_columns.size());
    const int nRows = int(m_rows.size());
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        CellRecord cell = {};
        cell.child = CXTPMarkupPtr<CXTPMarkupUIElement>::AddRefOf(pChild);
        // A negative index would reach before the definitions.
        cell.nColumn = std::min(ReadCellValue(pChild, m_pColumnProperty, 0), nColumns - 1);
        cell.nRow = std::min(ReadCellValue(pChild, m_pRowProperty, 0), nRows - 1);
        cell.nColumnSpan = std::min(ReadCellValue(pChild, m_pColumnSpanProperty, 1), nColumns - cell.nColumn);
        cell.nRowSpan = std::min(ReadCellValue(pChild, m_pRowSpanProperty, 1), nRows - cell.nRow);
        for (int c = cell.nColumn; c < cell.nColumn + cell.nColumnSpan; ++c)
            cell.nColumnTypes |= m_columns[c]->m_nLayoutType;
        for (int r = cell.nRow; r < cell.nRow + cell.nRowSpan; ++r)
            cell.nRowTypes |= m_rows[r]->m_nLayoutType;

        const BOOL bStarColumn = (cell.nColumnTypes & Definition::LayoutStar) != 0;
        const BOOL bAutoColumn = (cell.nColumnTypes & Definition::LayoutAuto) != 0;
        const BOOL bStarRow = (cell.nRowTypes & Definition::LayoutStar) != 0;
        const BOOL bAutoRow = (cell.nRowTypes & Definition::LayoutAuto) != 0;
        int nGroup;
        if (bStarRow)
            nGroup = !bAutoColumn || bStarColumn ? 4 : 2;
        else if (bStarColumn)
        {
            nGroup = 3;
            if (bAutoRow)
                m_bGroup3InAutoRows = TRUE;
        }
        else
            nGroup = 1;
        m_bHasStarColumns |= bStarColumn;
        m_bHasStarRows |= bStarRow;
        m_groups[nGroup - 1].push_back(int(m_cells.size()));
        m_cells.push_back(std::move(cell));
    }
}

BOOL CXTPMarkupGrid::CellsMatchChildren() const
{
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    size_t nCell = 0;
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        if (nCell >= m_cells.size() || m_cells[nCell].child.Get() != pChild)
            return FALSE;
        ++nCell;
    }
    return nCell == m_cells.size();
}

void CXTPMarkupGrid::MeasureCell(CXTPMarkupPainter* pPainter, const CellRecord& cell, BOOL bHeightsUnbounded)
{
    const BOOL bAutoColumn = (cell.nColumnTypes & Definition::LayoutAuto) != 0;
    const BOOL bStarColumn = (cell.nColumnTypes & Definition::LayoutStar) != 0;
    const BOOL bAutoRow = (cell.nRowTypes & Definition::LayoutAuto) != 0;
    const BOOL bStarRow = (cell.nRowTypes & Definition::LayoutStar) != 0;
    const int cx = bAutoColumn && !bStarColumn ? kUnbounded : SpanSize(m_columns, cell.nColumn, cell.nColumnSpan);
    const int cy =
        bHeightsUnbounded || (bAutoRow && !bStarRow) ? kUnbounded : SpanSize(m_rows, cell.nRow, cell.nRowSpan);
    cell.child->Measure(pPainter, cx, cy);
}

void CXTPMarkupGrid::MeasureCellsGroup(CXTPMarkupPainter* pPainter, int nGroup, BOOL bWidthsIgnored,
                                       BOOL bHeightsUnbounded)
{
    struct SpanRequest
    {
        BOOL bColumns;
        int nStart;
        int nCount;
        int nSize;
    };
    std::vector<SpanRequest> requests;
    for (int nCell : m_groups[nGroup - 1])
    {
        const CellRecord& cell = m_cells[nCell];
        MeasureCell(pPainter, cell, bHeightsUnbounded);
        const SIZE szChild = cell.child->GetMeasuredSize();
        if (!bWidthsIgnored)
        {
            if (cell.nColumnSpan == 1)
                m_columns[cell.nColumn]->RaiseMinSize(szChild.cx);
            else
                requests.push_back({TRUE, cell.nColumn, cell.nColumnSpan, int(szChild.cx)});
        }
        if (!bHeightsUnbounded)
        {
            if (cell.nRowSpan == 1)
                m_rows[cell.nRow]->RaiseMinSize(szChild.cy);
            else
                requests.push_back({FALSE, cell.nRow, cell.nRowSpan, int(szChild.cy)});
        }
    }
    for (const SpanRequest& request : requests)
        EnsureMinSizeInRange(request.bColumns ? m_columns : m_rows, request.nStart, request.nCount, request.nSize);
}

SIZE CXTPMarkupGrid::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    if (m_pColumnDefinitions->GetCount() == 0 && m_pRowDefinitions->GetCount() == 0)
    {
        ReleaseAll(m_columns);
        ReleaseAll(m_rows);
        ValidateCells();
        SIZE szLargest = {0, 0};
        for (int i = 0; i < pChildren->GetCount(); ++i)
        {
            CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
            if (!pChild)
                continue;
            pChild->Measure(pPainter, cxConstraint, cyConstraint);
            szLargest.cx = std::max(szLargest.cx, pChild->GetMeasuredSize().cx);
            szLargest.cy = std::max(szLargest.cy, pChild->GetMeasuredSize().cy);
        }
        return szLargest;
    }

    UseDefinitions(m_columns, m_pColumnDefinitions, m_pDefaultColumn, TRUE);
    UseDefinitions(m_rows, m_pRowDefinitions, m_pDefaultRow, FALSE);
    // Without a bound there is nothing to share out: stars size to content.
    const int kStarAsAutoAbove = 32000;
    ValidateDefinitions(m_columns, cxConstraint > kStarAsAutoAbove);
    ValidateDefinitions(m_rows, cyConstraint > kStarAsAutoAbove);
    ValidateCells();

    MeasureCellsGroup(pPainter, 1, FALSE, FALSE);
    if (m_bGroup3InAutoRows)
    {
        if (m_groups[1].empty())
        {
            if (m_bHasStarColumns)
                ResolveStar(m_columns, cxConstraint);
            MeasureCellsGroup(pPainter, 3, FALSE, FALSE);
            if (m_bHasStarRows)
                ResolveStar(m_rows, cyConstraint);
        }
        else
        {
            MeasureCellsGroup(pPainter, 2, FALSE, TRUE);
            if (m_bHasStarColumns)
                ResolveStar(m_columns, cxConstraint);
            MeasureCellsGroup(pPainter, 3, FALSE, FALSE);
            if (m_bHasStarRows)
                ResolveStar(m_rows, cyConstraint);
            MeasureCellsGroup(pPainter, 2, TRUE, FALSE);
        }
    }
    else
    {
        if (m_bHasStarRows)
            ResolveStar(m_rows, cyConstraint);
        MeasureCellsGroup(pPainter, 2, FALSE, FALSE);
        if (m_bHasStarColumns)
            ResolveStar(m_columns, cxConstraint);
        MeasureCellsGroup(pPainter, 3, FALSE, FALSE);
    }
    MeasureCellsGroup(pPainter, 4, FALSE, FALSE);

    SIZE szTotal = {0, 0};
    for (const Definition* pColumn : m_columns)
        szTotal.cx = Add(szTotal.cx, pColumn->m_nMinSize);
    for (const Definition* pRow : m_rows)
        szTotal.cy = Add(szTotal.cy, pRow->m_nMinSize);
    return szTotal;
}

SIZE CXTPMarkupGrid::ArrangeContent(int cx, int cy)
{
    // Children added or removed since the measure get cells of their own, so
    // that no record points at a child that is gone.
    if (!CellsMatchChildren())
        ValidateCells();

    const BOOL bDefinitions = m_pColumnDefinitions->GetCount() > 0 || m_pRowDefinitions->GetCount() > 0;
    if (bDefinitions && !m_cells.empty())
    {
        SetFinalSize(m_columns, cx);
        SetFinalSize(m_rows, cy);
        for (const CellRecord& cell : m_cells)
        {
            const int x = m_columns[cell.nColumn]->m_nFinalOffset;
            const int y = m_rows[cell.nRow]->m_nFinalOffset;
            const int w = FinalSpan(m_columns, cell.nColumn, cell.nColumnSpan);
            const int h = FinalSpan(m_rows, cell.nRow, cell.nRowSpan);
            cell.child->Arrange(RECT{x, y, Add(x, w), Add(y, h)});
        }
        return {cx, cy};
    }

    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        if (CXTPMarkupUIElement* pChild = pChildren->GetElement(i))
            pChild->Arrange(RECT{0, 0, cx, cy});
    }
    return {cx, cy};
}

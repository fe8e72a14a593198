#include "markup/elements/Inline.h"

#include "markup/elements/InlineUIContainer.h"
#include "markup/elements/Run.h"
#include "markup/elements/Span.h"
#include "markup/elements/TextBlock.h"
#include "markup/elements/UIElement.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupInline, CXTPMarkupTextElement)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupInlineCollection, CXTPMarkupCollection)

CXTPMarkupDependencyProperty* CXTPMarkupInline::m_pBaselineAlignmentProperty = nullptr;

void CXTPMarkupInline::RegisterMarkupProperties()
{
    m_pBaselineAlignmentProperty = CXTPMarkupDependencyProperty::Register(
        L"BaselineAlignment", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CXTPMarkupInline),
        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertBaselineAlignment,
                                      CXTPMarkupPropertyOptions::AffectsArrange));
}

CXTPMarkupInline::CXTPMarkupInline() : m_nIndex(-1) {}

int CXTPMarkupInline::GetBaselineAlignment() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pBaselineAlignmentProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupBaseline;
}

CXTPMarkupInline* CXTPMarkupInline::GetNextLeaf() const
{
    const CXTPMarkupInline* pInline = this;
    for (;;)
    {
        const CXTPMarkupInlineCollection* pList = MarkupCast<CXTPMarkupInlineCollection>(pInline->GetLogicalParent());
        if (!pList)
            return nullptr;
        // The index is set when the inline is added; items removed before it
        // since then leave it stale, and the list is asked instead.
        int nIndex = pInline->m_nIndex;
        if (pList->GetItem(nIndex) != pInline)
            nIndex = pList->IndexOf(pInline);
        if (nIndex >= 0 && nIndex + 1 < pList->GetCount())
            return pList->GetInline(nIndex + 1)->GetFirstLeaf();
        pInline = MarkupCast<CXTPMarkupSpan>(pList->GetLogicalParent());
        if (!pInline)
            return nullptr;
    }
}

CXTPMarkupInline* CXTPMarkupInline::GetFirstLeaf()
{
    return this;
}

int CXTPMarkupInline::GetTextStart() const
{
    return kEnd;
}

int CXTPMarkupInline::Advance(int /*nPos*/) const
{
    return 0;
}

BOOL CXTPMarkupInline::IsWhiteSpaceAt(int /*nPos*/) const
{
    return FALSE;
}

BOOL CXTPMarkupInline::IsLineBreakAt(int /*nPos*/) const
{
    return FALSE;
}

BOOL CXTPMarkupInline::IsSpaceAt(int /*nPos*/) const
{
    return FALSE;
}

void CXTPMarkupInline::ArrangeRange(const RECT& /*rc*/, int /*nStart*/, int /*nEnd*/) {}

SIZE CXTPMarkupInline::MeasureRange(CXTPMarkupPainter* /*pPainter*/, int /*nStart*/, int /*nEnd*/)
{
    return {0, 0};
}

void CXTPMarkupInline::RenderRange(CXTPMarkupPainter* /*pPainter*/, const RECT& /*rc*/, int /*nStart*/, int /*nEnd*/) {}

void CXTPMarkupInline::PrepareFont(CXTPMarkupPainter* /*pPainter*/) {}

int CXTPMarkupInline::GetDescent() const
{
    return 0;
}

SIZE CXTPMarkupInline::MeasureRangeUpTo(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int /*nLimit*/)
{
    return MeasureRange(pPainter, nStart, nEnd);
}

int CXTPMarkupInline::FitRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nMaxExtent)
{
    // Position by position: inlines other than text have one or two.
    int nFit = nStart;
    for (int nPos = nStart; nPos != kEnd && nPos != nEnd;)
    {
        const int nNext = Advance(nPos);
        if (MeasureRange(pPainter, nStart, nNext).cx > nMaxExtent)
            break;
        nFit = nPos = nNext;
    }
    return nFit;
}

const CXTPMarkupVisual* CXTPMarkupInline::GetPlacement(RECT* pRect) const
{
    const CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(GetParentFrameworkElement());
    if (!pTextBlock)
        return nullptr;
    *pRect = pTextBlock->GetInlineRect(this);
    return pTextBlock;
}

CXTPMarkupInputElement* CXTPMarkupInline::HitTest(int /*x*/, int /*y*/)
{
    return this;
}

CXTPMarkupInlineCollection::CXTPMarkupInlineCollection() : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupInline)) {}

CXTPMarkupInline* CXTPMarkupInlineCollection::GetInline(int nIndex) const
{
    // Only inlines are ever added.
    return static_cast<CXTPMarkupInline*>(GetItem(nIndex));
}

void CXTPMarkupInlineCollection::OnItemAdded(CXTPMarkupObject* pItem, int nIndex)
{
    static_cast<CXTPMarkupInline*>(pItem)->m_nIndex = nIndex;
}

void CXTPMarkupInlineCollection::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    const CXTPMarkupInputElement* pOwner = MarkupCast<CXTPMarkupInputElement>(GetLogicalParent());
    if (pOwner && pContent)
    {
        CXTPMarkupElementContext* pContext = pOwner->GetMarkupContext();
        if (MarkupCast<CXTPMarkupString>(pContent))
        {
            CXTPMarkupObject* pRun = CXTPMarkupType::CreateObject(pContext, MARKUP_TYPE(CXTPMarkupRun));
            pRun->SetValue(CXTPMarkupRun::m_pTextProperty, content.Detach());
            Add(pRun);
            return;
        }
        if (MarkupCast<CXTPMarkupInline>(pContent))
        {
            Add(content.Detach());
            return;
        }
        if (MarkupCast<CXTPMarkupUIElement>(pContent))
        {
            CXTPMarkupInlineUIContainer* pContainer = static_cast<CXTPMarkupInlineUIContainer*>(
                CXTPMarkupType::CreateObject(pContext, MARKUP_TYPE(CXTPMarkupInlineUIContainer)));
            pContainer->SetChild(static_cast<CXTPMarkupUIElement*>(content.Detach()));
            Add(pContainer);
            return;
        }
    }
    throw CXTPMarkupBuilderException("'%ls' object cannot be added to '%ls'. Object cannot be converted to type "
                                     "'CXTPMarkupInline'",
                                     pContent ? pContent->GetType()->GetTypeName() : L"", GetType()->GetTypeName());
}

#include "markup/elements/TextBlock.h"

#include "markup/elements/ElementContext.h"
#include "markup/elements/Inline.h"
#include "markup/elements/LayoutExtent.h"
#include "markup/elements/LineBreakRules.h"
#include "markup/elements/LineBreaker.h"
#include "markup/elements/Run.h"
#include "markup/elements/TextElement.h"

#include "markup/elements/Painter.h"

#include "markup/model/Brush.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <climits>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"TextBlock", CXTPMarkupTextBlock, CXTPMarkupFrameworkElement)

CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pTextWrappingProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pTextTrimmingProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pTextAlignmentProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pPaddingProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pTextProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pBackgroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pForegroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pFontSizeProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pFontWeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pFontFamilyProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pFontStyleProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pTextDecorationsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextBlock::m_pFontQualityProperty = nullptr;

void CXTPMarkupTextBlock::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupTextBlock);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;

    m_pTextWrappingProperty =
        Property::Register(L"TextWrapping", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                           new Options(nullptr, &CXTPMarkupConverter::ConvertTextWrapping, Options::AffectsMeasure));
    m_pTextTrimmingProperty =
        Property::Register(L"TextTrimming", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                           new Options(nullptr, &CXTPMarkupConverter::ConvertTextTrimming, Options::AffectsMeasure));
    m_pTextAlignmentProperty =
        Property::Register(L"TextAlignment", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                           new Options(nullptr, &CXTPMarkupConverter::ConvertTextAlignment, Options::AffectsArrange));
    m_pPaddingProperty =
        Property::Register(L"Padding", MARKUP_TYPE(CXTPMarkupThickness), pOwner,
                           new Options(CXTPMarkupThickness::CreateZeroValue(), Options::AffectsMeasure));
    m_pTextProperty =
        Property::Register(L"Text", MARKUP_TYPE(CXTPMarkupString), pOwner,
                           new Options(nullptr, &CXTPMarkupTextBlock::OnTextChanged, Options::AffectsMeasure));

    MARKUP_TYPE(CXTPMarkupTextElement)->EnsureInitialized();
    m_pBackgroundProperty = CXTPMarkupTextElement::m_pBackgroundProperty->AddOwner(pOwner);
    m_pForegroundProperty = CXTPMarkupTextElement::m_pForegroundProperty->AddOwner(pOwner);
    m_pFontSizeProperty = CXTPMarkupTextElement::m_pFontSizeProperty->AddOwner(pOwner);
    m_pFontWeightProperty = CXTPMarkupTextElement::m_pFontWeightProperty->AddOwner(pOwner);
    m_pFontFamilyProperty = CXTPMarkupTextElement::m_pFontFamilyProperty->AddOwner(pOwner);
    m_pFontStyleProperty = CXTPMarkupTextElement::m_pFontStyleProperty->AddOwner(pOwner);
    m_pTextDecorationsProperty = CXTPMarkupTextElement::m_pTextDecorationsProperty->AddOwner(pOwner);
    m_pFontQualityProperty = CXTPMarkupTextElement::m_pFontQualityProperty->AddOwner(pOwner);
}

namespace
{
bool Intersects(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

// The text block's leaves as the line breaker reads them. The characters of
// a run are read here directly, the same way the run reads them: long text
// would otherwise pay three property look-ups for every character.
class CXTPMarkupTextBlock::CInlineText : public CXTPMarkupLineBreaker::CText
{
public:
    CInlineText(CXTPMarkupTextBlock& textBlock, CXTPMarkupPainter* pPainter,
                std::vector<CXTPMarkupPtr<CXTPMarkupInline>>& leaves)
        : m_textBlock(textBlock), m_pPainter(pPainter), m_leaves(leaves)
    {
        for (const CXTPMarkupPtr<CXTPMarkupInline>& leaf : m_leaves)
            AddLeafText(leaf.Get());
    }

    int GetLeafCount() const override { return static_cast<int>(m_texts.size()); }
    void BeginLeaf(int nLeaf) override { Leaf(nLeaf)->PrepareFont(m_pPainter); }
    int GetTextStart(int nLeaf) const override { return Leaf(nLeaf)->GetTextStart(); }

    int Advance(int nLeaf, int nPos) const override
    {
        const CLeafText& text = m_texts[nLeaf];
        return text.lpszText ? CXTPMarkupRun::NextPosition(text.lpszText, text.nLength, nPos)
                             : Leaf(nLeaf)->Advance(nPos);
    }
    BOOL IsWhiteSpaceAt(int nLeaf, int nPos) const override
    {
        const CLeafText& text = m_texts[nLeaf];
        return text.lpszText ? CXTPMarkupRun::IsWhiteSpaceChar(text.lpszText[nPos]) : Leaf(nLeaf)->IsWhiteSpaceAt(nPos);
    }
    BOOL IsSpaceAt(int nLeaf, int nPos) const override { return Leaf(nLeaf)->IsSpaceAt(nPos); }
    BOOL IsLineBreakAt(int nLeaf, int nPos) const override
    {
        const CLeafText& text = m_texts[nLeaf];
        return text.lpszText ? text.lpszText[nPos] == L'\n' : Leaf(nLeaf)->IsLineBreakAt(nPos);
    }

    SIZE MeasureRange(int nLeaf, int nStart, int nEnd) override
    {
        SIZE sz;
        return MeasureByPrefixes(nLeaf, nStart, nEnd, sz) ? sz : Leaf(nLeaf)->MeasureRange(m_pPainter, nStart, nEnd);
    }
    SIZE MeasureRangeUpTo(int nLeaf, int nStart, int nEnd, int nLimit) override
    {
        SIZE sz;
        return MeasureByPrefixes(nLeaf, nStart, nEnd, sz)
                   ? sz
                   : Leaf(nLeaf)->MeasureRangeUpTo(m_pPainter, nStart, nEnd, nLimit);
    }
    int FitRange(int nLeaf, int nStart, int nEnd, int nMaxExtent) override
    {
        return Leaf(nLeaf)->FitRange(m_pPainter, nStart, nEnd, nMaxExtent);
    }
    int GetDescent(int nLeaf) const override { return Leaf(nLeaf)->GetDescent(); }
    WCHAR CharAt(int nLeaf, int nPos) const override
    {
        const CLeafText& text = m_texts[nLeaf];
        return text.lpszText && nPos != CXTPMarkupLineBreaker::kEnd ? text.lpszText[nPos] : 0;
    }
    int LastBreakAtOrBefore(int nLeaf, int nStart, int nPos) const override
    {
        const CLeafText& text = m_texts[nLeaf];
        if (!text.lpszText || nPos == CXTPMarkupLineBreaker::kEnd)
            return nPos;
        for (; nPos > nStart; --nPos)
        {
            if (IS_LOW_SURROGATE(text.lpszText[nPos]))
                continue;
            if (XTPMarkupCanBreakBetween(text.lpszText[nPos - 1], text.lpszText[nPos]))
                return nPos;
        }
        return nStart;
    }

    int AddOwnLeaf(LPCWSTR lpszText) override
    {
        CXTPMarkupPtr<CXTPMarkupInline> run;
        run.Reset(m_textBlock.CreateOwnRun(lpszText));
        m_leaves.push_back(std::move(run));
        AddLeafText(m_leaves.back().Get());
        return GetLeafCount() - 1;
    }

private:
    struct CLeafText
    {
        LPCWSTR lpszText; // null for leaves that are not runs
        int nLength;
    };

    CXTPMarkupInline* Leaf(int nLeaf) const { return m_leaves[nLeaf].Get(); }

    // The breaker measures a line's piece again from the same start each time
    // it grows (Chinese text grows at every character): from the second time
    // on, the widths of the prefixes from that start, asked of the font once,
    // answer those. They reach twice as far as the longest piece asked for,
    // so that a long run is not measured to its end for every line.
    BOOL MeasureByPrefixes(int nLeaf, int nStart, int nEnd, SIZE& sz)
    {
        const CLeafText& text = m_texts[nLeaf];
        if (!text.lpszText || nStart < 0)
            return FALSE;
        if (nEnd == CXTPMarkupLineBreaker::kEnd)
            nEnd = text.nLength;
        // A longer piece is a word cut to the width, measured only as far as
        // a line reaches by the run itself.
        const int nCount = nEnd - nStart;
        if (nCount < 2 || nCount > kMostPrefixes || nEnd > text.nLength)
            return FALSE;
        if (nLeaf != m_nPrefixLeaf || nStart != m_nPrefixStart || nCount > static_cast<int>(m_prefixes.size()))
        {
            // A word measured once is measured as it is.
            if (nLeaf != m_nAskedLeaf || nStart != m_nAskedStart)
            {
                m_nAskedLeaf = nLeaf;
                m_nAskedStart = nStart;
                return FALSE;
            }
            const int nReach = std::min(text.nLength - nStart, std::max(kFirstPrefixes, 2 * nCount));
            m_prefixes.resize(nReach);
            m_nPrefixLeaf = -1;
            auto* pRun = static_cast<CXTPMarkupRun*>(Leaf(nLeaf));
            if (!pRun->MeasurePrefixes(m_pPainter, nStart, nReach, m_prefixes.data(), m_szPrefixes))
                return FALSE;
            m_nPrefixLeaf = nLeaf;
            m_nPrefixStart = nStart;
        }
        sz = {m_prefixes[nCount - 1], m_szPrefixes.cy};
        return TRUE;
    }

    void AddLeafText(CXTPMarkupInline* pLeaf)
    {
        const CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(pLeaf);
        m_texts.push_back({pRun ? pRun->GetText() : nullptr, pRun ? pRun->GetLength() : 0});
    }

    CXTPMarkupTextBlock& m_textBlock;
    CXTPMarkupPainter* m_pPainter;
    std::vector<CXTPMarkupPtr<CXTPMarkupInline>>& m_leaves;
    std::vector<CLeafText> m_texts;
    static constexpr int kFirstPrefixes = 64;
    static constexpr int kMostPrefixes = 256;
    int m_nAskedLeaf = -1;
    int m_nAskedStart = 0;
    int m_nPrefixLeaf = -1;
    int m_nPrefixStart = 0;
    std::vector<int> m_prefixes;
    SIZE m_szPrefixes = {0, 0};
};

RECT CXTPMarkupTextBlock::CChunk::GetRect() const
{
    const int nLeft = Add(x, nOffsetX);
    const int nTop = Add(y, nOffsetY);
    return {nLeft, nTop, Add(nLeft, cx), Add(nTop, cy)};
}

CXTPMarkupTextBlock::CXTPMarkupTextBlock()
    : m_pInlines(new CXTPMarkupInlineCollection()), m_nLastWidth(-1), m_szText{0, 0}
{
    m_pInlines->SetLogicalParent(this);
}

CXTPMarkupTextBlock::~CXTPMarkupTextBlock()
{
    // The pieces hold the inlines; they go first.
    m_chunks.clear();
    m_lines.clear();
    m_leaves.clear();
    m_pInlines->RemoveAll();
    m_pInlines->SetLogicalParent(nullptr);
    m_pInlines->Release();
}

int CXTPMarkupTextBlock::GetTextWrapping() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pTextWrappingProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupTextNoWrap;
}

int CXTPMarkupTextBlock::GetTextTrimming() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pTextTrimmingProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupTextTrimmingNone;
}

int CXTPMarkupTextBlock::GetTextAlignment() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pTextAlignmentProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupTextAlignmentLeft;
}

CXTPMarkupBrush* CXTPMarkupTextBlock::GetBackground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBackgroundProperty));
}

void CXTPMarkupTextBlock::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    m_pInlines->AddContent(pBuilder, pContent);
}

BOOL CXTPMarkupTextBlock::HasContent() const
{
    return m_pInlines->GetCount() > 0;
}

BOOL CXTPMarkupTextBlock::KeepsWhitespace() const
{
    return TRUE;
}

int CXTPMarkupTextBlock::GetLogicalChildCount() const
{
    return 1;
}

CXTPMarkupObject* CXTPMarkupTextBlock::GetLogicalChild(int nIndex) const
{
    return nIndex == 0 ? m_pInlines : nullptr;
}

void CXTPMarkupTextBlock::OnTextChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs)
{
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(pObject);
    if (!pTextBlock)
        return;
    pTextBlock->m_pInlines->RemoveAll();
    CXTPMarkupString* pText = MarkupCast<CXTPMarkupString>(pArgs->m_pNewValue);
    if (!pText)
        return;
    CXTPMarkupObject* pRun = CXTPMarkupType::CreateObject(pTextBlock->GetMarkupContext(), MARKUP_TYPE(CXTPMarkupRun));
    pText->AddRef();
    pRun->SetValue(CXTPMarkupRun::m_pTextProperty, pText);
    pTextBlock->m_pInlines->Add(pRun);
}

void CXTPMarkupTextBlock::InvalidateMeasureWith(CXTPMarkupPainter* pPainter)
{
    m_nLastWidth = -1;
    CXTPMarkupFrameworkElement::InvalidateMeasureWith(pPainter);
}

CXTPMarkupRun* CXTPMarkupTextBlock::CreateOwnRun(LPCWSTR lpszText)
{
    CXTPMarkupRun* pRun =
        static_cast<CXTPMarkupRun*>(CXTPMarkupType::CreateObject(GetMarkupContext(), MARKUP_TYPE(CXTPMarkupRun)));
    // The text goes in before the run joins the text block, which would
    // otherwise be told to measure again.
    pRun->SetValue(CXTPMarkupRun::m_pTextProperty, CXTPMarkupString::CreateValue(lpszText));
    pRun->SetLogicalParent(this);
    return pRun;
}

// --- Line breaking ------------------------------------------------------------

void CXTPMarkupTextBlock::Layout(CXTPMarkupPainter* pPainter, int nWidth)
{
    CXTPMarkupLineBreaker::COptions options;
    options.nWidth = nWidth;
    options.nWrapping = GetTextWrapping();
    options.nTrimming = options.nWrapping == xtpMarkupTextNoWrap ? GetTextTrimming() : xtpMarkupTextTrimmingNone;
    options.bJustify = options.nWrapping != xtpMarkupTextNoWrap && GetTextAlignment() == xtpMarkupTextAlignmentJustify;
    const BOOL bTransient = pPainter->IsTransient();

    // Lines that neither wrap nor trim are the same for every width.
    if (m_nLastWidth != -1 && !bTransient
        && (nWidth == m_nLastWidth
            || (options.nWrapping == xtpMarkupTextNoWrap && options.nTrimming == xtpMarkupTextTrimmingNone)))
        return;

    m_nLastWidth = nWidth;
    m_lines.clear();
    m_chunks.clear();
    m_leaves.clear();

    CXTPMarkupInline* pFirst = m_pInlines->GetInline(0);
    for (CXTPMarkupInline* pLeaf = pFirst ? pFirst->GetFirstLeaf() : nullptr; pLeaf; pLeaf = pLeaf->GetNextLeaf())
        m_leaves.push_back(CXTPMarkupPtr<CXTPMarkupInline>::AddRefOf(pLeaf));

    CInlineText text(*this, pPainter, m_leaves);
    CXTPMarkupLineBreaker::CResult result = CXTPMarkupLineBreaker(text, options).Break();
    m_chunks.reserve(result.pieces.size());
    for (const CXTPMarkupLineBreaker::CPiece& piece : result.pieces)
        m_chunks.push_back(CChunk{piece});
    m_lines.reserve(result.lines.size());
    for (const CXTPMarkupLineBreaker::CLine& line : result.lines)
        m_lines.push_back(CLine{line});

    if (bTransient)
        m_nLastWidth = -1;
    m_szText = {result.nWidest, result.nHeight};
    UpdateLineReach();
}

void CXTPMarkupTextBlock::UpdateLineReach()
{
    int nReach = INT_MIN;
    for (CLine& line : m_lines)
    {
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
            nReach = std::max<int>(nReach, m_chunks[i].GetRect().bottom);
        line.nReachDown = nReach;
    }
    nReach = INT_MAX;
    for (auto it = m_lines.rbegin(); it != m_lines.rend(); ++it)
    {
        for (size_t i = it->nFirst; i < it->nFirst + it->nCount; ++i)
            nReach = std::min<int>(nReach, m_chunks[i].GetRect().top);
        it->nReachUp = nReach;
    }
}

std::pair<size_t, size_t> CXTPMarkupTextBlock::LinesBetween(int nTop, int nBottom) const
{
    const auto itFirst = std::partition_point(m_lines.begin(), m_lines.end(),
                                              [nTop](const CLine& line) { return line.nReachDown <= nTop; });
    const auto itLast =
        std::partition_point(itFirst, m_lines.end(), [nBottom](const CLine& line) { return line.nReachUp < nBottom; });
    return {static_cast<size_t>(itFirst - m_lines.begin()), static_cast<size_t>(itLast - m_lines.begin())};
}

// --- Layout protocol ----------------------------------------------------------

SIZE CXTPMarkupTextBlock::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int /*cyConstraint*/)
{
    const CXTPMarkupThickness* pPadding = MarkupCast<CXTPMarkupThickness>(GetValue(m_pPaddingProperty));
    const int cxPadding = pPadding ? Add(pPadding->GetLeft(), pPadding->GetRight()) : 0;
    const int cyPadding = pPadding ? Add(pPadding->GetTop(), pPadding->GetBottom()) : 0;
    Layout(pPainter, std::max(0, Subtract(cxConstraint, cxPadding)));
    return {Add(cxPadding, m_szText.cx), Add(cyPadding, m_szText.cy)};
}

SIZE CXTPMarkupTextBlock::ArrangeContent(int cx, int cy)
{
    const CXTPMarkupThickness* pPadding = MarkupCast<CXTPMarkupThickness>(GetValue(m_pPaddingProperty));
    const int nPadLeft = pPadding ? pPadding->GetLeft() : 0;
    const int nPadTop = pPadding ? pPadding->GetTop() : 0;
    const int nPadRight = pPadding ? pPadding->GetRight() : 0;
    const int nAlignment = GetTextAlignment();

    for (const CLine& line : m_lines)
    {
        long long nSpare = static_cast<long long>(cx) - line.cx - nPadLeft - nPadRight;
        long long nShift = nAlignment == xtpMarkupTextAlignmentRight    ? nSpare
                           : nAlignment == xtpMarkupTextAlignmentCenter ? nSpare / 2
                                                                        : 0;
        // Justified lines spread the spare width over the gaps between their
        // pieces; the last line of a paragraph did not wrap and stays left.
        long long nGaps = -1;
        if (nAlignment == xtpMarkupTextAlignmentJustify && line.bWrapped && cx - line.cx > 0 && line.nCount > 0)
        {
            nGaps = -1;
            for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
                nGaps += m_chunks[i].bAfterLineBreak ? 0 : 1;
        }

        BOOL bFirst = TRUE;
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        {
            CChunk& chunk = m_chunks[i];
            long long nOffsetX = nPadLeft + nShift;
            long long nOffsetY = static_cast<long long>(nPadTop) + line.cy - chunk.cy;
            if (nGaps > 0 && nSpare > 0 && !bFirst && !chunk.bAfterLineBreak)
            {
                const long long nExtra = std::max<long long>(1, nSpare / nGaps);
                nOffsetX += nExtra;
                nShift += nExtra;
                nSpare -= nExtra;
                --nGaps;
            }
            if (!chunk.bAfterLineBreak)
                bFirst = FALSE;

            switch (LeafOf(chunk)->GetBaselineAlignment())
            {
            case xtpMarkupBaselineTop:
            case xtpMarkupBaselineTextTop: nOffsetY += chunk.cy - line.cy; break;
            case xtpMarkupBaselineCenter: nOffsetY += (chunk.cy - line.cy) / 2; break;
            case xtpMarkupBaselineBottom:
            case xtpMarkupBaselineTextBottom: break;
            case xtpMarkupBaselineSubscript: nOffsetY += chunk.nDescent - line.nMaxDescent / 2; break;
            case xtpMarkupBaselineSuperscript:
                nOffsetY += line.nMaxDescent / 2 + chunk.cy - chunk.nDescent - line.cy;
                break;
            default: nOffsetY += chunk.nDescent - line.nMaxDescent; break;
            }

            chunk.nOffsetX = Clamp(nOffsetX);
            chunk.nOffsetY = Clamp(nOffsetY);
            LeafOf(chunk)->ArrangeRange(chunk.GetRect(), chunk.nStart, chunk.nEnd);
        }
    }
    UpdateLineReach();
    return {cx, cy};
}

void CXTPMarkupTextBlock::DrawContent(CXTPMarkupPainter* pPainter)
{
    CXTPMarkupBrush* pBackground = GetBackground();
    if (pBackground)
        pPainter->FillRectangle(pBackground, 0, 0, m_szArranged.cx, m_szArranged.cy);

    const CXTPMarkupElementContext* pContext = GetMarkupContext();
    const COLORREF clrDefault = pContext ? pContext->GetDefaultTextColor() : RGB(0, 0, 0);
    const RECT rcClip = pPainter->GetClipBox();
    const COLORREF clrOld = pPainter->SetTextColor(clrDefault);

    // Long text: only the lines in the clip box are looked at.
    const std::pair<size_t, size_t> visible = LinesBetween(rcClip.top, rcClip.bottom);
    for (size_t nLine = visible.first; nLine < visible.second; ++nLine)
    {
        const CLine& line = m_lines[nLine];
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        {
            const CChunk& chunk = m_chunks[i];
            const RECT rc = chunk.GetRect();
            if (!Intersects(rc, rcClip))
                continue;
            CXTPMarkupInline* pInline = LeafOf(chunk);

            // The text block's own background is already there.
            CXTPMarkupBrush* pInlineBackground = pInline->GetBackground();
            if (pInlineBackground && pInlineBackground != pBackground)
                pPainter->FillRectangle(pInlineBackground, rc);

            const CXTPMarkupSolidColorBrush* pForeground =
                MarkupCast<CXTPMarkupSolidColorBrush>(pInline->GetForeground());
            pPainter->SetTextColor(pForeground ? pForeground->GetColor() : clrDefault);
            pInline->RenderRange(pPainter, rc, chunk.nStart, chunk.nEnd);
            DrawDecoration(pPainter, chunk, line, rc);
        }
    }
    pPainter->SetTextColor(clrOld);
}

void CXTPMarkupTextBlock::DrawDecoration(CXTPMarkupPainter* pPainter, const CChunk& chunk, const CLine& line,
                                         const RECT& rc)
{
    CXTPMarkupInline* pInline = LeafOf(chunk);
    const CXTPMarkupEnum* pDecorations =
        MarkupCast<CXTPMarkupEnum>(pInline->GetValue(CXTPMarkupTextElement::m_pTextDecorationsProperty));
    if (!pDecorations)
        return;

    const int nLineDescent = line.nMaxDescent;
    const int nLineHeight = line.cy;
    const int nThickness = std::max(1, nLineDescent / 3);
    const int nBaseline = rc.bottom - chunk.nDescent;
    int nTop = 0;
    switch (static_cast<int>(*pDecorations))
    {
    case xtpMarkupTextDecorationsUnderline: nTop = nBaseline + nThickness; break;
    case xtpMarkupTextDecorationsStrikethrough:
        nTop = nBaseline + nLineDescent - (nLineHeight - nLineDescent) / 2;
        break;
    default: return;
    }

    // The bar takes the colour of the element the decoration comes from.
    const CXTPMarkupObject* pSource = pInline->GetValueSource(CXTPMarkupTextElement::m_pTextDecorationsProperty);
    CXTPMarkupBrush* pBrush =
        pSource ? MarkupCast<CXTPMarkupBrush>(pSource->GetValue(CXTPMarkupTextElement::m_pForegroundProperty))
                : nullptr;
    if (pBrush)
    {
        pPainter->FillRectangle(pBrush, rc.left, nTop, rc.right, nTop + nThickness);
        return;
    }
    const CXTPMarkupElementContext* pContext = GetMarkupContext();
    pPainter->FillSolidRect(rc.left, nTop, rc.right, nTop + nThickness,
                            pContext ? pContext->GetDefaultTextColor() : RGB(0, 0, 0));
}

CXTPMarkupInputElement* CXTPMarkupTextBlock::HitTestSelf(int x, int y)
{
    const std::pair<size_t, size_t> lines = LinesBetween(y, y + 1);
    for (size_t nLine = lines.first; nLine < lines.second; ++nLine)
    {
        const CLine& line = m_lines[nLine];
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        {
            const RECT rc = m_chunks[i].GetRect();
            if (x < rc.left || x >= rc.right || y < rc.top || y >= rc.bottom)
                continue;
            // The ellipsis and the spaces of empty lines belong to the text
            // block itself: they live only until the next layout, shorter
            // than a host may hold on to the element under the mouse.
            CXTPMarkupInline* pInline = LeafOf(m_chunks[i]);
            return pInline->GetLogicalParent() == this ? this : pInline->HitTest(x, y);
        }
    }
    return this;
}

// --- Inspection ---------------------------------------------------------------

std::vector<CXTPMarkupTextBlock::CLineInfo> CXTPMarkupTextBlock::GetLines() const
{
    std::vector<CLineInfo> lines;
    lines.reserve(m_lines.size());
    for (const CLine& line : m_lines)
    {
        CLineInfo info = {line.cx, line.cy, line.nMaxDescent, line.bWrapped, {}};
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        {
            const CChunk& chunk = m_chunks[i];
            info.pieces.push_back({LeafOf(chunk), chunk.nStart, chunk.nEnd, chunk.GetRect(), chunk.bAfterLineBreak});
        }
        lines.push_back(std::move(info));
    }
    return lines;
}

RECT CXTPMarkupTextBlock::GetInlineRect(const CXTPMarkupInline* pInline) const
{
    RECT rcUnion = {0, 0, 0, 0};
    for (const CChunk& chunk : m_chunks)
    {
        for (const CXTPMarkupObject* pObject = LeafOf(chunk); pObject && pObject != this;
             pObject = pObject->GetLogicalParent())
        {
            if (pObject != pInline)
                continue;
            const RECT rc = chunk.GetRect();
            UnionRect(&rcUnion, &rcUnion, &rc);
            break;
        }
    }
    return rcUnion;
}

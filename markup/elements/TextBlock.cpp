#include "markup/elements/TextBlock.h"

#include "markup/elements/Inline.h"
#include "markup/elements/LayoutExtent.h"
#include "markup/elements/LineBreakRules.h"
#include "markup/elements/Run.h"
#include "markup/elements/TextElement.h"

#include "markup/host/Host.h"
#include "markup/host/Painter.h"

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

// What one line breaking pass carries from piece to piece.
struct CXTPMarkupTextBlock::CLayoutState
{
    CXTPMarkupPainter* pPainter;
    int nWidth;
    int nWrapping;
    int nTrimming;
    BOOL bJustify;

    int x = 0;       // pen in the current line
    int y = 0;       // top of the current line
    int nWidest = 0; // widest line so far
    CLine line;      // the current line; its chunks are the last of m_chunks
    BOOL bOpen = FALSE;
    CChunk open;                // the piece of the current leaf not yet ended
    std::deque<CChunk> pending; // ended pieces not yet placed: one word, often
};

namespace
{
constexpr int kEnd = CXTPMarkupInline::kEnd;

// Positions grow toward the end marker, which comes after all of them.
bool PosBefore(int nPos, int nOther)
{
    return nPos != kEnd && (nOther == kEnd || nPos < nOther);
}

bool Intersects(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
} // namespace

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

void CXTPMarkupTextBlock::MeasureChunk(CLayoutState& state, CChunk& chunk) const
{
    // Where words are cut to the width, a long piece needs its width only as
    // far as a line reaches.
    const SIZE sz = state.nWrapping == xtpMarkupTextWrap
                        ? chunk.inl->MeasureRangeUpTo(state.pPainter, chunk.nStart, chunk.nEnd, state.nWidth)
                        : chunk.inl->MeasureRange(state.pPainter, chunk.nStart, chunk.nEnd);
    chunk.cx = sz.cx;
    chunk.cy = sz.cy;
    chunk.nDescent = chunk.inl->GetDescent();
}

void CXTPMarkupTextBlock::PlaceChunk(CLayoutState& state, CChunk&& chunk)
{
    chunk.x = state.x;
    chunk.y = state.y;
    state.x = Add(state.x, chunk.cx);
    m_chunks.push_back(std::move(chunk));
    ++state.line.nCount;
}

void CXTPMarkupTextBlock::AddSpaceChunk(CLayoutState& state)
{
    // Covers no characters: no width, the height of a space in the text
    // block's own font.
    CChunk chunk;
    chunk.inl.Reset(CreateOwnRun(L" "));
    chunk.inl->PrepareFont(state.pPainter);
    MeasureChunk(state, chunk);
    state.pending.push_back(std::move(chunk));
}

void CXTPMarkupTextBlock::Layout(CXTPMarkupPainter* pPainter, int nWidth)
{
    const int nWrapping = GetTextWrapping();
    const int nTrimming = nWrapping == xtpMarkupTextNoWrap ? GetTextTrimming() : xtpMarkupTextTrimmingNone;
    const BOOL bJustify = nWrapping != xtpMarkupTextNoWrap && GetTextAlignment() == xtpMarkupTextAlignmentJustify;
    const BOOL bTransient = pPainter->IsTransient();

    // Lines that neither wrap nor trim are the same for every width.
    if (m_nLastWidth != -1 && !bTransient
        && (nWidth == m_nLastWidth || (nWrapping == xtpMarkupTextNoWrap && nTrimming == xtpMarkupTextTrimmingNone)))
        return;

    m_nLastWidth = nWidth;
    m_lines.clear();
    m_chunks.clear();

    CLayoutState state;
    state.pPainter = pPainter;
    state.nWidth = nWidth;
    state.nWrapping = nWrapping;
    state.nTrimming = nTrimming;
    state.bJustify = bJustify;

    CXTPMarkupInline* pFirst = m_pInlines->GetInline(0);
    CXTPMarkupInline* pLeaf = pFirst ? pFirst->GetFirstLeaf() : nullptr;
    if (!pLeaf)
        AddSpaceChunk(state);

    for (; pLeaf; pLeaf = pLeaf->GetNextLeaf())
    {
        pLeaf->PrepareFont(pPainter);
        int nPos = pLeaf->GetTextStart();

        // The characters of a run are read here directly, the same way the
        // run reads them: long text would otherwise pay three property
        // look-ups for every character.
        const CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(pLeaf);
        const LPCWSTR lpszText = pRun ? pRun->GetText() : nullptr;
        const int nLength = pRun ? pRun->GetLength() : 0;
        auto isWhiteSpaceAt = [&](int n)
        { return pRun ? CXTPMarkupRun::IsWhiteSpaceChar(lpszText[n]) : pLeaf->IsWhiteSpaceAt(n); };
        auto isLineBreakAt = [&](int n) { return pRun ? lpszText[n] == L'\n' : pLeaf->IsLineBreakAt(n); };
        auto advance = [&](int n)
        { return pRun ? CXTPMarkupRun::NextPosition(lpszText, nLength, n) : pLeaf->Advance(n); };

        state.open = CChunk();
        state.open.inl = CXTPMarkupPtr<CXTPMarkupInline>::AddRefOf(pLeaf);
        state.open.nStart = state.open.nEnd = nPos;
        state.bOpen = TRUE;

        while (nPos != kEnd)
        {
            state.open.nEnd = nPos;
            if (nWrapping != xtpMarkupTextNoWrap && isWhiteSpaceAt(nPos))
            {
                MeasureChunk(state, state.open);
                CommitChunk(state);
            }
            if (isLineBreakAt(nPos))
            {
                MeasureChunk(state, state.open);
                CommitChunk(state);
                if (state.line.nCount == 0)
                {
                    AddSpaceChunk(state);
                    CommitChunk(state);
                }
                FinishLine(state);
                nPos = advance(nPos);
                state.open.nStart = state.open.nEnd = nPos;
                state.open.bAfterLineBreak = TRUE;
            }
            else
            {
                nPos = advance(nPos);
            }
        }

        // The rest of the leaf waits: the next leaf may continue its word.
        state.open.nEnd = kEnd;
        if (!state.open.IsEmpty() || state.open.bAfterLineBreak)
        {
            MeasureChunk(state, state.open);
            state.pending.push_back(std::move(state.open));
        }
        state.open = CChunk();
        state.bOpen = FALSE;
    }

    CommitChunk(state);
    FinishLine(state);

    if (bTransient)
        m_nLastWidth = -1;
    m_szText = {state.nWidest, state.y};
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

void CXTPMarkupTextBlock::CommitChunk(CLayoutState& state)
{
    if (state.bOpen && (!state.open.IsEmpty() || state.open.bAfterLineBreak))
    {
        const int nEnd = state.open.nEnd;
        CChunk next;
        next.inl = CXTPMarkupPtr<CXTPMarkupInline>::AddRefOf(state.open.inl.Get());
        next.nStart = next.nEnd = nEnd;
        state.pending.push_back(std::move(state.open));
        state.open = std::move(next);
    }

    // A word of several pieces (over several runs, say) moves to the next
    // line as a whole.
    if (state.nWrapping != xtpMarkupTextNoWrap && state.x > 0)
    {
        long long nPending = 0;
        for (const CChunk& chunk : state.pending)
            nPending += chunk.cx;
        if (state.x + nPending > state.nWidth)
        {
            state.line.bWrapped = TRUE;
            FinishLine(state);
        }
    }

    while (!state.pending.empty())
    {
        CChunk chunk = std::move(state.pending.front());
        state.pending.pop_front();
        CXTPMarkupInline* pInline = chunk.inl.Get();

        // Lines after the first do not start with blanks.
        if (state.x == 0 && state.y > 0 && !chunk.IsEmpty() && pInline->IsSpaceAt(chunk.nStart))
        {
            while (PosBefore(chunk.nStart, chunk.nEnd) && pInline->IsSpaceAt(chunk.nStart))
                chunk.nStart = pInline->Advance(chunk.nStart);
            if (chunk.IsEmpty())
                continue;
            MeasureChunk(state, chunk);
        }

        // The only place where a word is cut inside: text without spaces,
        // such as Chinese, wraps character by character here.
        if (state.nWrapping == xtpMarkupTextWrap && static_cast<long long>(state.x) + chunk.cx > state.nWidth
            && !chunk.IsEmpty())
        {
            const int nFit = pInline->FitRange(state.pPainter, chunk.nStart, chunk.nEnd, state.nWidth - state.x);
            int nCut = BreakAtOrBefore(pInline, chunk.nStart, nFit);
            if (nCut == chunk.nStart && state.x > 0)
            {
                // Nothing of the piece can end this line: it starts the next.
                state.line.bWrapped = TRUE;
                FinishLine(state);
                state.pending.push_front(std::move(chunk));
                continue;
            }
            // A piece too long for a whole line is cut where it must.
            if (nCut == chunk.nStart)
                nCut = nFit;
            if (nCut == chunk.nStart)
                nCut = pInline->Advance(chunk.nStart);
            CChunk rest;
            rest.inl = CXTPMarkupPtr<CXTPMarkupInline>::AddRefOf(pInline);
            rest.nStart = nCut;
            rest.nEnd = chunk.nEnd;
            chunk.nEnd = nCut;
            MeasureChunk(state, chunk);
            PlaceChunk(state, std::move(chunk));
            state.line.bWrapped = TRUE;
            FinishLine(state);
            // A character too wide for the line takes a line of its own and
            // leaves nothing behind.
            if (!rest.IsEmpty())
            {
                MeasureChunk(state, rest);
                state.pending.push_front(std::move(rest));
            }
            continue;
        }

        // Pieces of one run that follow each other on a line are drawn as
        // one.
        if (!state.bJustify && state.line.nCount > 0)
        {
            CChunk& last = m_chunks.back();
            if (last.inl.Get() == pInline && last.nEnd == chunk.nStart && !chunk.bAfterLineBreak)
            {
                state.x = Subtract(state.x, last.cx);
                last.nEnd = chunk.nEnd;
                MeasureChunk(state, last);
                state.x = Add(state.x, last.cx);
                continue;
            }
        }

        PlaceChunk(state, std::move(chunk));
    }
}

int CXTPMarkupTextBlock::BreakAtOrBefore(const CXTPMarkupInline* pInline, int nStart, int nPos)
{
    const CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(pInline);
    if (!pRun || nPos == kEnd)
        return nPos;
    const LPCWSTR lpszText = pRun->GetText();
    for (; nPos > nStart; --nPos)
    {
        if (IS_LOW_SURROGATE(lpszText[nPos]))
            continue;
        if (XTPMarkupCanBreakBetween(lpszText[nPos - 1], lpszText[nPos]))
            return nPos;
    }
    return nStart;
}

void CXTPMarkupTextBlock::FinishLine(CLayoutState& state)
{
    CLine& line = state.line;
    if (line.nCount == 0)
        return;
    if (state.nTrimming != xtpMarkupTextTrimmingNone && state.x > state.nWidth)
        TrimLine(state);

    int cx = 0;
    int nMaxDescent = 0;
    for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
    {
        cx = Add(cx, m_chunks[i].cx);
        nMaxDescent = std::max(nMaxDescent, m_chunks[i].nDescent);
    }
    int cy = 0;
    for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        cy = std::max(cy, nMaxDescent - m_chunks[i].nDescent + m_chunks[i].cy);
    line.cx = cx;
    line.cy = cy;
    line.nMaxDescent = nMaxDescent;

    state.nWidest = std::max(state.nWidest, cx);
    state.x = 0;
    state.y = Add(state.y, cy);
    m_lines.push_back(line);
    line = CLine();
    line.nFirst = m_chunks.size();
}

void CXTPMarkupTextBlock::TrimLine(CLayoutState& state)
{
    CLine& line = state.line;
    CChunk ellipsis;
    ellipsis.inl.Reset(CreateOwnRun(L"..."));
    ellipsis.nStart = 0;
    ellipsis.nEnd = kEnd;
    ellipsis.inl->PrepareFont(state.pPainter);
    MeasureChunk(state, ellipsis);
    const long long nRoom = static_cast<long long>(state.nWidth) - ellipsis.cx;

    long long a = 0;
    for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
    {
        CChunk& chunk = m_chunks[i];
        if (a + chunk.cx <= nRoom)
        {
            a += chunk.cx;
            continue;
        }

        // The longest start of the piece that leaves room for the ellipsis;
        // by words, the last blank within it, or nothing of a later piece.
        CXTPMarkupInline* pInline = chunk.inl.Get();
        const int nMaxExtent = static_cast<int>(std::clamp<long long>(nRoom - a, -1, kUnbounded));
        const int nCandidate = pInline->FitRange(state.pPainter, chunk.nStart, chunk.nEnd, nMaxExtent);
        int nWordCut = a > 0 ? chunk.nStart : -2;
        if (state.nTrimming == xtpMarkupTextTrimmingWordEllipsis)
        {
            for (int nPos = chunk.nStart;; nPos = pInline->Advance(nPos))
            {
                if (pInline->IsWhiteSpaceAt(nPos))
                    nWordCut = nPos;
                if (nPos == nCandidate || nPos == kEnd)
                    break;
            }
        }
        chunk.nEnd = state.nTrimming == xtpMarkupTextTrimmingWordEllipsis && nWordCut != -2 ? nWordCut : nCandidate;
        MeasureChunk(state, chunk);
        a += chunk.cx;
        m_chunks.erase(m_chunks.begin() + static_cast<ptrdiff_t>(i + 1), m_chunks.end());
        line.nCount = i + 1 - line.nFirst;
        break;
    }

    ellipsis.x = static_cast<int>(std::min<long long>(a, kUnbounded));
    ellipsis.y = state.y;
    m_chunks.push_back(std::move(ellipsis));
    ++line.nCount;
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
    const int l = pPadding ? pPadding->GetLeft() : 0;
    const int t = pPadding ? pPadding->GetTop() : 0;
    const int r = pPadding ? pPadding->GetRight() : 0;
    const int nAlignment = GetTextAlignment();

    for (const CLine& line : m_lines)
    {
        long long d = static_cast<long long>(cx) - line.cx - l - r;
        long long s = nAlignment == xtpMarkupTextAlignmentRight    ? d
                      : nAlignment == xtpMarkupTextAlignmentCenter ? d / 2
                                                                   : 0;
        // Justified lines spread the spare width over the gaps between their
        // pieces; the last line of a paragraph did not wrap and stays left.
        long long g = -1;
        if (nAlignment == xtpMarkupTextAlignmentJustify && line.bWrapped && cx - line.cx > 0 && line.nCount > 0)
        {
            g = -1;
            for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
                g += m_chunks[i].bAfterLineBreak ? 0 : 1;
        }

        BOOL bFirst = TRUE;
        for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
        {
            CChunk& chunk = m_chunks[i];
            long long nOffsetX = l + s;
            long long nOffsetY = static_cast<long long>(t) + line.cy - chunk.cy;
            if (g > 0 && d > 0 && !bFirst && !chunk.bAfterLineBreak)
            {
                const long long nExtra = std::max<long long>(1, d / g);
                nOffsetX += nExtra;
                s += nExtra;
                d -= nExtra;
                --g;
            }
            if (!chunk.bAfterLineBreak)
                bFirst = FALSE;

            switch (chunk.inl->GetBaselineAlignment())
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
            chunk.inl->ArrangeRange(chunk.GetRect(), chunk.nStart, chunk.nEnd);
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

    const CXTPMarkupHost* pHost = GetMarkupContext();
    const COLORREF clrDefault = pHost ? pHost->GetDefaultTextColor() : RGB(0, 0, 0);
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
            CXTPMarkupInline* pInline = chunk.inl.Get();

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
    CXTPMarkupInline* pInline = chunk.inl.Get();
    const CXTPMarkupEnum* pDecorations =
        MarkupCast<CXTPMarkupEnum>(pInline->GetValue(CXTPMarkupTextElement::m_pTextDecorationsProperty));
    if (!pDecorations)
        return;

    const int m = line.nMaxDescent;
    const int h = line.cy;
    const int k = std::max(1, m / 3);
    const int nBaseline = rc.bottom - chunk.nDescent;
    int nTop = 0;
    switch (static_cast<int>(*pDecorations))
    {
    case xtpMarkupTextDecorationsUnderline: nTop = nBaseline + k; break;
    case xtpMarkupTextDecorationsStrikethrough: nTop = nBaseline + m - (h - m) / 2; break;
    default: return;
    }

    // The bar takes the colour of the element the decoration comes from.
    const CXTPMarkupObject* pSource = pInline->GetValueSource(CXTPMarkupTextElement::m_pTextDecorationsProperty);
    CXTPMarkupBrush* pBrush =
        pSource ? MarkupCast<CXTPMarkupBrush>(pSource->GetValue(CXTPMarkupTextElement::m_pForegroundProperty))
                : nullptr;
    if (pBrush)
    {
        pPainter->FillRectangle(pBrush, rc.left, nTop, rc.right, nTop + k);
        return;
    }
    const CXTPMarkupHost* pHost = GetMarkupContext();
    pPainter->FillSolidRect(rc.left, nTop, rc.right, nTop + k, pHost ? pHost->GetDefaultTextColor() : RGB(0, 0, 0));
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
            CXTPMarkupInline* pInline = m_chunks[i].inl.Get();
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
            info.pieces.push_back({chunk.inl.Get(), chunk.nStart, chunk.nEnd, chunk.GetRect(), chunk.bAfterLineBreak});
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
        for (const CXTPMarkupObject* pObject = chunk.inl.Get(); pObject && pObject != this;
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

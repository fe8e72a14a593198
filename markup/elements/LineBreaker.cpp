#include "markup/elements/LineBreaker.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/LineBreakRules.h"

#include "markup/model/Converter.h"

#include <algorithm>

using namespace XTPMarkupLayout;

namespace
{
constexpr int kEnd = CXTPMarkupLineBreaker::kEnd;

// Positions grow toward the end marker, which comes after all of them.
bool PosBefore(int nPos, int nOther)
{
    return nPos != kEnd && (nOther == kEnd || nPos < nOther);
}
} // namespace

CXTPMarkupLineBreaker::CXTPMarkupLineBreaker(CText& text, const COptions& options) : m_text(text), m_options(options) {}

CXTPMarkupLineBreaker::CResult CXTPMarkupLineBreaker::Break()
{
    const int nLeafCount = m_text.GetLeafCount();
    if (nLeafCount == 0)
        AddSpacePiece();

    WCHAR chBefore = 0; // the last character, over the ends of leaves
    for (int nLeaf = 0; nLeaf < nLeafCount; ++nLeaf)
    {
        m_text.BeginLeaf(nLeaf);
        int nPos = m_text.GetTextStart(nLeaf);

        m_open = CPiece();
        m_open.nLeaf = nLeaf;
        m_open.nStart = m_open.nEnd = nPos;
        m_bOpen = TRUE;

        while (nPos != kEnd)
        {
            m_open.nEnd = nPos;
            const WCHAR ch = m_text.CharAt(nLeaf, nPos);
            if (m_options.nWrapping != xtpMarkupTextNoWrap
                && (m_text.IsWhiteSpaceAt(nLeaf, nPos) || XTPMarkupCanBreakBetween(chBefore, ch)))
            {
                MeasurePiece(m_open);
                CommitPiece();
            }
            chBefore = ch;
            if (m_text.IsLineBreakAt(nLeaf, nPos))
            {
                MeasurePiece(m_open);
                CommitPiece();
                if (m_line.nCount == 0)
                {
                    AddSpacePiece();
                    CommitPiece();
                }
                FinishLine();
                chBefore = 0;
                nPos = m_text.Advance(nLeaf, nPos);
                m_open.nStart = m_open.nEnd = nPos;
                m_open.bAfterLineBreak = TRUE;
            }
            else
            {
                nPos = m_text.Advance(nLeaf, nPos);
            }
        }

        // The rest of the leaf waits: the next leaf may continue its word.
        m_open.nEnd = kEnd;
        if (!m_open.IsEmpty() || m_open.bAfterLineBreak)
        {
            MeasurePiece(m_open);
            m_pending.push_back(std::move(m_open));
        }
        m_open = CPiece();
        m_bOpen = FALSE;
    }

    CommitPiece();
    FinishLine();

    m_result.nHeight = m_y;
    return std::move(m_result);
}

void CXTPMarkupLineBreaker::MeasurePiece(CPiece& piece)
{
    // Where words are cut to the width, a long piece needs its width only as
    // far as a line reaches.
    const SIZE sz = m_options.nWrapping == xtpMarkupTextWrap
                        ? m_text.MeasureRangeUpTo(piece.nLeaf, piece.nStart, piece.nEnd, m_options.nWidth)
                        : m_text.MeasureRange(piece.nLeaf, piece.nStart, piece.nEnd);
    piece.cx = sz.cx;
    piece.cy = sz.cy;
    piece.nDescent = m_text.GetDescent(piece.nLeaf);
}

void CXTPMarkupLineBreaker::PlacePiece(CPiece&& piece)
{
    piece.x = m_x;
    piece.y = m_y;
    m_x = Add(m_x, piece.cx);
    m_result.pieces.push_back(std::move(piece));
    ++m_line.nCount;
}

void CXTPMarkupLineBreaker::AddSpacePiece()
{
    // Covers no characters: no width, the height of a space in the text
    // block's own font.
    CPiece piece;
    piece.nLeaf = m_text.AddOwnLeaf(L" ");
    m_text.BeginLeaf(piece.nLeaf);
    MeasurePiece(piece);
    m_pending.push_back(std::move(piece));
}

void CXTPMarkupLineBreaker::CommitPiece()
{
    if (m_bOpen && (!m_open.IsEmpty() || m_open.bAfterLineBreak))
    {
        CPiece next;
        next.nLeaf = m_open.nLeaf;
        next.nStart = next.nEnd = m_open.nEnd;
        m_pending.push_back(std::move(m_open));
        m_open = std::move(next);
    }

    // A word of several pieces (over several runs, say) moves to the next
    // line as a whole.
    if (m_options.nWrapping != xtpMarkupTextNoWrap && m_x > 0)
    {
        long long nPending = 0;
        for (const CPiece& piece : m_pending)
            nPending += piece.cx;
        if (m_x + nPending > m_options.nWidth)
        {
            m_line.bWrapped = TRUE;
            FinishLine();
        }
    }

    while (!m_pending.empty())
    {
        CPiece piece = std::move(m_pending.front());
        m_pending.pop_front();
        const int nLeaf = piece.nLeaf;

        // Lines after the first do not start with blanks.
        if (m_x == 0 && m_y > 0 && !piece.IsEmpty() && m_text.IsSpaceAt(nLeaf, piece.nStart))
        {
            while (PosBefore(piece.nStart, piece.nEnd) && m_text.IsSpaceAt(nLeaf, piece.nStart))
                piece.nStart = m_text.Advance(nLeaf, piece.nStart);
            if (piece.IsEmpty())
                continue;
            MeasurePiece(piece);
        }

        // The only place where a word is cut inside: text without spaces,
        // such as Chinese, wraps character by character here.
        if (m_options.nWrapping == xtpMarkupTextWrap && static_cast<long long>(m_x) + piece.cx > m_options.nWidth
            && !piece.IsEmpty())
        {
            const int nFit = m_text.FitRange(nLeaf, piece.nStart, piece.nEnd, m_options.nWidth - m_x);
            int nCut = m_text.LastBreakAtOrBefore(nLeaf, piece.nStart, nFit);
            if (nCut == piece.nStart && m_x > 0)
            {
                // Nothing of the piece can end this line: it starts the next.
                m_line.bWrapped = TRUE;
                FinishLine();
                m_pending.push_front(std::move(piece));
                continue;
            }
            // A piece too long for a whole line is cut where it must.
            if (nCut == piece.nStart)
                nCut = nFit;
            if (nCut == piece.nStart)
                nCut = m_text.Advance(nLeaf, piece.nStart);
            CPiece rest;
            rest.nLeaf = nLeaf;
            rest.nStart = nCut;
            rest.nEnd = piece.nEnd;
            piece.nEnd = nCut;
            MeasurePiece(piece);
            PlacePiece(std::move(piece));
            m_line.bWrapped = TRUE;
            FinishLine();
            // A character too wide for the line takes a line of its own and
            // leaves nothing behind.
            if (!rest.IsEmpty())
            {
                MeasurePiece(rest);
                m_pending.push_front(std::move(rest));
            }
            continue;
        }

        // Pieces of one leaf that follow each other on a line are drawn as
        // one.
        if (!m_options.bJustify && m_line.nCount > 0)
        {
            CPiece& last = m_result.pieces.back();
            if (last.nLeaf == nLeaf && last.nEnd == piece.nStart && !piece.bAfterLineBreak)
            {
                m_x = Subtract(m_x, last.cx);
                last.nEnd = piece.nEnd;
                MeasurePiece(last);
                m_x = Add(m_x, last.cx);
                continue;
            }
        }

        PlacePiece(std::move(piece));
    }
}

void CXTPMarkupLineBreaker::FinishLine()
{
    if (m_line.nCount == 0)
        return;
    if (m_options.nTrimming != xtpMarkupTextTrimmingNone && m_x > m_options.nWidth)
        TrimLine();

    const std::vector<CPiece>& pieces = m_result.pieces;
    int cx = 0;
    int nMaxDescent = 0;
    for (size_t i = m_line.nFirst; i < m_line.nFirst + m_line.nCount; ++i)
    {
        cx = Add(cx, pieces[i].cx);
        nMaxDescent = std::max(nMaxDescent, pieces[i].nDescent);
    }
    int cy = 0;
    for (size_t i = m_line.nFirst; i < m_line.nFirst + m_line.nCount; ++i)
        cy = std::max(cy, nMaxDescent - pieces[i].nDescent + pieces[i].cy);
    m_line.cx = cx;
    m_line.cy = cy;
    m_line.nMaxDescent = nMaxDescent;

    m_result.nWidest = std::max(m_result.nWidest, cx);
    m_x = 0;
    m_y = Add(m_y, cy);
    m_result.lines.push_back(m_line);
    m_line = CLine();
    m_line.nFirst = pieces.size();
}

void CXTPMarkupLineBreaker::TrimLine()
{
    std::vector<CPiece>& pieces = m_result.pieces;
    CPiece ellipsis;
    ellipsis.nLeaf = m_text.AddOwnLeaf(L"...");
    ellipsis.nStart = 0;
    ellipsis.nEnd = kEnd;
    m_text.BeginLeaf(ellipsis.nLeaf);
    MeasurePiece(ellipsis);
    const long long nRoom = static_cast<long long>(m_options.nWidth) - ellipsis.cx;
    const BOOL bByWord = m_options.nTrimming == xtpMarkupTextTrimmingWordEllipsis;

    long long nKept = 0; // width of what stays before the ellipsis
    for (size_t i = m_line.nFirst; i < m_line.nFirst + m_line.nCount; ++i)
    {
        CPiece& piece = pieces[i];
        if (nKept + piece.cx <= nRoom)
        {
            nKept += piece.cx;
            continue;
        }

        // The longest start of the piece that leaves room for the ellipsis;
        // by words, the last blank within it, or nothing of a later piece.
        const int nLeaf = piece.nLeaf;
        const int nMaxExtent = static_cast<int>(std::clamp<long long>(nRoom - nKept, -1, kUnbounded));
        const int nCandidate = m_text.FitRange(nLeaf, piece.nStart, piece.nEnd, nMaxExtent);
        int nWordCut = nKept > 0 ? piece.nStart : -2;
        if (bByWord)
        {
            for (int nPos = piece.nStart;; nPos = m_text.Advance(nLeaf, nPos))
            {
                if (m_text.IsWhiteSpaceAt(nLeaf, nPos))
                    nWordCut = nPos;
                if (nPos == nCandidate || nPos == kEnd)
                    break;
            }
        }
        piece.nEnd = bByWord && nWordCut != -2 ? nWordCut : nCandidate;
        MeasurePiece(piece);
        nKept += piece.cx;
        pieces.erase(pieces.begin() + static_cast<ptrdiff_t>(i + 1), pieces.end());
        m_line.nCount = i + 1 - m_line.nFirst;
        break;
    }

    ellipsis.x = static_cast<int>(std::min<long long>(nKept, kUnbounded));
    ellipsis.y = m_y;
    pieces.push_back(std::move(ellipsis));
    ++m_line.nCount;
}

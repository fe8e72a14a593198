// Breaks a text block's content into lines for a width: words move to the
// next line whole, ideographs break between them as Chinese readers expect,
// a word too long for a line is cut between characters, line feeds end lines, and a line that does not fit may end in
// an ellipsis.
#pragma once

#include <windows.h>

#include <deque>
#include <vector>

class CXTPMarkupLineBreaker
{
public:
    enum
    {
        kEnd = -1, // as a position: past the last character of a leaf
    };

    // What the breaker reads: the leaves of the content in order (a run of
    // text, an empty span, an embedded element), each a sequence of
    // positions from GetTextStart, stepped with Advance until kEnd. A range
    // [nStart, nEnd) covers the characters from nStart up to nEnd, kEnd as
    // nEnd reaching to the end of the leaf.
    class CText
    {
    public:
        virtual ~CText() = default;

        virtual int GetLeafCount() const = 0;
        // Called before the breaker steps through a leaf's positions.
        virtual void BeginLeaf(int nLeaf) = 0;
        virtual int GetTextStart(int nLeaf) const = 0;
        virtual int Advance(int nLeaf, int nPos) const = 0;
        virtual BOOL IsWhiteSpaceAt(int nLeaf, int nPos) const = 0; // space, tab or line feed
        virtual BOOL IsSpaceAt(int nLeaf, int nPos) const = 0;      // space or tab
        virtual BOOL IsLineBreakAt(int nLeaf, int nPos) const = 0;

        // The size of a range; an empty range has the height of a space.
        virtual SIZE MeasureRange(int nLeaf, int nStart, int nEnd) = 0;
        // Exact up to nLimit; a wider range may answer any width above it.
        virtual SIZE MeasureRangeUpTo(int nLeaf, int nStart, int nEnd, int nLimit) = 0;
        // The last position q from nStart up to nEnd whose range [nStart, q)
        // is at most nMaxExtent wide (kEnd for the whole leaf); nStart when
        // not even the first character fits.
        virtual int FitRange(int nLeaf, int nStart, int nEnd, int nMaxExtent) = 0;
        virtual int GetDescent(int nLeaf) const = 0;
        // The character at a position, 0 for an embedded element: where two
        // characters allow it, a line may end between them (ideographs).
        virtual WCHAR CharAt(int /*nLeaf*/, int /*nPos*/) const { return 0; }
        // The last position from nPos back to nStart where a line may end
        // inside a word that is too long for its line; nStart when none.
        virtual int LastBreakAtOrBefore(int /*nLeaf*/, int /*nStart*/, int nPos) const { return nPos; }

        // A new leaf of the text block's own font, not part of its content:
        // the space that gives empty lines their height, and the ellipsis.
        virtual int AddOwnLeaf(LPCWSTR lpszText) = 0;
    };

    struct COptions
    {
        int nWidth = 0;
        int nWrapping = 0; // xtpMarkupText...
        int nTrimming = 0; // xtpMarkupTextTrimming..., only without wrapping
        BOOL bJustify = FALSE;
    };

    // A placed range of one leaf.
    struct CPiece
    {
        int nLeaf = -1;
        int nStart = -1;
        int nEnd = -1;
        int x = 0; // in the line
        int y = 0; // the line's top
        int cx = 0;
        int cy = 0;
        int nDescent = 0;
        BOOL bAfterLineBreak = FALSE;

        BOOL IsEmpty() const { return nStart == nEnd; }
    };
    // The pieces of a line are pieces[nFirst, nFirst + nCount).
    struct CLine
    {
        size_t nFirst = 0;
        size_t nCount = 0;
        int cx = 0;
        int cy = 0;
        int nMaxDescent = 0;
        BOOL bWrapped = FALSE; // the next word did not fit
    };
    struct CResult
    {
        std::vector<CPiece> pieces;
        std::vector<CLine> lines;
        int nWidest = 0;
        int nHeight = 0;
    };

    CXTPMarkupLineBreaker(CText& text, const COptions& options);

    CResult Break();

private:
    void MeasurePiece(CPiece& piece);
    void PlacePiece(CPiece&& piece);
    void CommitPiece();
    void FinishLine();
    void TrimLine();
    void AddSpacePiece();

    CText& m_text;
    const COptions m_options;
    CResult m_result;

    int m_x = 0;  // pen in the current line
    int m_y = 0;  // top of the current line
    CLine m_line; // the current line; its pieces are the last of the result
    BOOL m_bOpen = FALSE;
    CPiece m_open;                // the piece of the current leaf not yet ended
    std::deque<CPiece> m_pending; // ended pieces not yet placed: one word, often
};

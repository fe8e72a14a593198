// Text of a text block. Classes: CXTPMarkupRun, CXTPMarkupLineBreak.
#pragma once

#include "markup/elements/Inline.h"

class CXTPMarkupFont;

// A piece of text in one font. Positions step over whole characters: the two
// halves of a surrogate pair are one character and are never separated.
class CXTPMarkupRun : public CXTPMarkupInline
{
    DECLARE_MARKUPCLASS(CXTPMarkupRun)
public:
    CXTPMarkupRun();

    static CXTPMarkupDependencyProperty* m_pTextProperty; // String; re-measures
    static void RegisterMarkupProperties();

    // The "Text" value; an empty text when unset.
    LPCWSTR GetText() const;
    int GetLength() const; // in UTF-16 units

    // The font from the last PrepareFont, borrowed; null before.
    CXTPMarkupFont* GetFont() const { return m_pFont; }

    // Markup text content becomes "Text".
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;

    int GetTextStart() const override;
    int Advance(int nPos) const override;
    BOOL IsWhiteSpaceAt(int nPos) const override;
    BOOL IsLineBreakAt(int nPos) const override;
    BOOL IsSpaceAt(int nPos) const override;
    SIZE MeasureRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd) override;
    void RenderRange(CXTPMarkupPainter* pPainter, const RECT& rc, int nStart, int nEnd) override;
    // Takes the font for GetLogFont from the host's cache, unless the font
    // held already is one for that description.
    void PrepareFont(CXTPMarkupPainter* pPainter) override;
    int GetDescent() const override { return m_nDescent; }
    SIZE MeasureRangeUpTo(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nLimit) override;
    int FitRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nMaxExtent) override;
    // The widths of [nStart, nStart + 1), [nStart, nStart + 2) ... up to
    // nCount characters, as MeasureRange would give them, in one call.
    BOOL MeasurePrefixes(CXTPMarkupPainter* pPainter, int nStart, int nCount, int* pExtents, SIZE& sz);

    // How run text steps and what counts as a blank, for code that walks a
    // run's characters itself: the positions are those of the protocol above.
    static int NextPosition(LPCWSTR lpszText, int nLength, int nPos);
    static BOOL IsWhiteSpaceChar(WCHAR ch) { return ch == L' ' || ch == L'\t' || ch == L'\n'; }

    // The host's default font changed by the font properties the run has or
    // inherits. Decorations are drawn separately and are not part of it.
    virtual void GetLogFont(LOGFONTA& lf) const;

protected:
    ~CXTPMarkupRun() override;

private:
    // The characters of [nStart, nEnd) as an offset and a count; FALSE for a
    // range outside the text.
    BOOL GetRange(int nStart, int nEnd, int& nOffset, int& nCount) const;
    void SelectFont(CXTPMarkupPainter* pPainter);

    int m_nDescent;
    CXTPMarkupFont* m_pFont; // held
};

// Ends the line: a run whose text is one line feed.
class CXTPMarkupLineBreak : public CXTPMarkupRun
{
    DECLARE_MARKUPCLASS(CXTPMarkupLineBreak)
public:
    CXTPMarkupLineBreak();
};

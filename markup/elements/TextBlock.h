// Formatted text: inlines (runs, spans, line breaks, links, embedded
// elements) broken into lines for the width the text block is given,
// aligned, optionally cut with an ellipsis, and drawn with each run's font,
// colour, background and decoration.
#pragma once

#include "markup/elements/FrameworkElement.h"

#include <deque>
#include <utility>
#include <vector>

class CXTPMarkupBrush;
class CXTPMarkupInline;
class CXTPMarkupInlineCollection;
class CXTPMarkupRun;

class CXTPMarkupTextBlock : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupTextBlock)
public:
    CXTPMarkupTextBlock();

    static CXTPMarkupDependencyProperty* m_pTextWrappingProperty;  // Enum, unset reads "NoWrap"
    static CXTPMarkupDependencyProperty* m_pTextTrimmingProperty;  // Enum, unset reads "None"
    static CXTPMarkupDependencyProperty* m_pTextAlignmentProperty; // Enum, unset reads "Left"
    static CXTPMarkupDependencyProperty* m_pPaddingProperty;       // Thickness, zero
    static CXTPMarkupDependencyProperty* m_pTextProperty;          // String; replaces the inlines
    // The text properties of CXTPMarkupTextElement, under the same records.
    static CXTPMarkupDependencyProperty* m_pBackgroundProperty;
    static CXTPMarkupDependencyProperty* m_pForegroundProperty;
    static CXTPMarkupDependencyProperty* m_pFontSizeProperty;
    static CXTPMarkupDependencyProperty* m_pFontWeightProperty;
    static CXTPMarkupDependencyProperty* m_pFontFamilyProperty;
    static CXTPMarkupDependencyProperty* m_pFontStyleProperty;
    static CXTPMarkupDependencyProperty* m_pTextDecorationsProperty;
    static CXTPMarkupDependencyProperty* m_pFontQualityProperty;
    static void RegisterMarkupProperties();

    // Borrowed; the text block owns its list for its whole life.
    CXTPMarkupInlineCollection* GetInlines() const { return m_pInlines; }

    int GetTextWrapping() const;            // xtpMarkupText...
    int GetTextTrimming() const;            // xtpMarkupTextTrimming...
    int GetTextAlignment() const;           // xtpMarkupTextAlignment...
    CXTPMarkupBrush* GetBackground() const; // borrowed, null when unset

    // Markup content goes to the inlines; spaces between pieces are kept.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    BOOL KeepsWhitespace() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

    // A measure invalidation always breaks the lines again.
    void InvalidateMeasureWith(CXTPMarkupPainter* pPainter) override;

    // One piece of the last layout as its line shows it: the characters
    // [nStart, nEnd) of an inline (an end of -1 reaches the end of its text)
    // and, after the arrangement, where they are in the text block.
    struct CPieceInfo
    {
        CXTPMarkupInline* pInline; // borrowed
        int nStart;
        int nEnd;
        RECT rc;
        BOOL bAfterLineBreak;
    };
    struct CLineInfo
    {
        int cx;
        int cy;
        int nMaxDescent;
        BOOL bWrapped; // the next word did not fit
        std::vector<CPieceInfo> pieces;
    };
    // The lines of the last layout, for tests and tools that check it.
    std::vector<CLineInfo> GetLines() const;
    // Where an inline's text shows, in the text block's coordinates: the
    // union of the pieces of it and of the inlines inside it.
    RECT GetInlineRect(const CXTPMarkupInline* pInline) const;

protected:
    ~CXTPMarkupTextBlock() override;

    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;

private:
    // A placed piece of one inline; holds a reference to the inline.
    struct CChunk
    {
        CXTPMarkupPtr<CXTPMarkupInline> inl;
        int nStart = -1;
        int nEnd = -1;
        int x = 0;        // in the line
        int y = 0;        // the line's top
        int nOffsetX = 0; // set by the arrangement
        int nOffsetY = 0;
        int cx = 0;
        int cy = 0;
        int nDescent = 0;
        BOOL bAfterLineBreak = FALSE;

        BOOL IsEmpty() const { return nStart == nEnd; }
        RECT GetRect() const;
    };
    // The chunks of a line are m_chunks[nFirst, nFirst + nCount).
    struct CLine
    {
        size_t nFirst = 0;
        size_t nCount = 0;
        int cx = 0;
        int cy = 0;
        int nMaxDescent = 0;
        BOOL bWrapped = FALSE;
        // How far the pieces of this line and of those above it reach down,
        // and those of this line and the lines below it up: both grow from
        // line to line, so the lines a strip shows are found by halving.
        int nReachDown = 0;
        int nReachUp = 0;
    };
    struct CLayoutState;

    static void OnTextChanged(CXTPMarkupObject* pObject, struct CXTPMarkupPropertyChangedArgs* pArgs);

    void Layout(CXTPMarkupPainter* pPainter, int nWidth);
    void MeasureChunk(CLayoutState& state, CChunk& chunk) const;
    void PlaceChunk(CLayoutState& state, CChunk&& chunk);
    void CommitChunk(CLayoutState& state);
    void FinishLine(CLayoutState& state);
    // The last position from nPos back to nStart where a line may end inside
    // pInline's text; nStart when there is none.
    static int BreakAtOrBefore(const CXTPMarkupInline* pInline, int nStart, int nPos);
    void TrimLine(CLayoutState& state);
    void AddSpaceChunk(CLayoutState& state);
    // A run of the text block's own font, not part of its content: the space
    // that gives empty lines their height, and the ellipsis.
    CXTPMarkupRun* CreateOwnRun(LPCWSTR lpszText);
    // After the pieces moved: where each line reaches.
    void UpdateLineReach();
    // The lines [first, last) that may show anything from nTop to nBottom.
    std::pair<size_t, size_t> LinesBetween(int nTop, int nBottom) const;
    void DrawDecoration(CXTPMarkupPainter* pPainter, const CChunk& chunk, const CLine& line, const RECT& rc);

    CXTPMarkupInlineCollection* m_pInlines;
    std::vector<CLine> m_lines;
    std::vector<CChunk> m_chunks;
    int m_nLastWidth; // -1: no layout to keep
    SIZE m_szText;
};

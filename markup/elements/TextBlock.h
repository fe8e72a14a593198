// Formatted text: inlines (runs, spans, line breaks, links, embedded
// elements) broken into lines for the width the text block is given,
// aligned, optionally cut with an ellipsis, and drawn with each run's font,
// colour, background and decoration.
#pragma once

#include "markup/elements/FrameworkElement.h"
#include "markup/elements/LineBreaker.h"

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
    // A placed piece of one leaf, and where the arrangement moved it.
    struct CChunk : CXTPMarkupLineBreaker::CPiece
    {
        int nOffsetX = 0;
        int nOffsetY = 0;

        RECT GetRect() const;
    };
    struct CLine : CXTPMarkupLineBreaker::CLine
    {
        // How far the pieces of this line and of those above it reach down,
        // and those of this line and the lines below it up: both grow from
        // line to line, so the lines a strip shows are found by halving.
        int nReachDown = 0;
        int nReachUp = 0;
    };
    class CInlineText;

    static void OnTextChanged(CXTPMarkupObject* pObject, struct CXTPMarkupPropertyChangedArgs* pArgs);

    void Layout(CXTPMarkupPainter* pPainter, int nWidth);
    // A run of the text block's own font, not part of its content: the space
    // that gives empty lines their height, and the ellipsis.
    CXTPMarkupRun* CreateOwnRun(LPCWSTR lpszText);
    // After the pieces moved: where each line reaches.
    void UpdateLineReach();
    // The lines [first, last) that may show anything from nTop to nBottom.
    std::pair<size_t, size_t> LinesBetween(int nTop, int nBottom) const;
    CXTPMarkupInline* LeafOf(const CChunk& chunk) const { return m_leaves[chunk.nLeaf].Get(); }
    void DrawDecoration(CXTPMarkupPainter* pPainter, const CChunk& chunk, const CLine& line, const RECT& rc);

    CXTPMarkupInlineCollection* m_pInlines;
    // The leaves of the last layout in text order, then the text block's
    // own runs it made: the pieces refer to them by index.
    std::vector<CXTPMarkupPtr<CXTPMarkupInline>> m_leaves;
    std::vector<CLine> m_lines;
    std::vector<CChunk> m_chunks;
    int m_nLastWidth; // -1: no layout to keep
    SIZE m_szText;
};

// Pieces of a text block's content and the list that holds them. Classes:
// CXTPMarkupInline, CXTPMarkupInlineCollection.
#pragma once

#include "markup/elements/TextElement.h"

#include "markup/model/Collection.h"

class CXTPMarkupPainter;

// The protocol through which a text block breaks its content into lines.
// The text block walks the leaves of its content in order (a run, an empty
// span, an embedded element) and steps through each leaf's positions; a
// position is an index into the leaf's text, and kEnd says no characters are
// left. A range [nStart, nEnd) covers the characters from nStart up to but
// not including nEnd, kEnd as nEnd reaching to the end of the text. The base
// class answers every question with the neutral value.
class CXTPMarkupInline : public CXTPMarkupTextElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupInline)
public:
    enum
    {
        kEnd = -1,
    };

    static CXTPMarkupDependencyProperty* m_pBaselineAlignmentProperty; // Enum, unset reads "Baseline"
    static void RegisterMarkupProperties();

    int GetBaselineAlignment() const; // xtpMarkupBaseline...

    // Position in the parent's inline list; -1 until added.
    int GetIndex() const { return m_nIndex; }

    // The leaf after this one in text order: the next item of the parent
    // list (its first leaf), or the leaf after the enclosing span at the end
    // of a span's list; null at the end of the text block's list.
    CXTPMarkupInline* GetNextLeaf() const;

    virtual CXTPMarkupInline* GetFirstLeaf();
    virtual int GetTextStart() const;
    virtual int Advance(int nPos) const;
    virtual BOOL IsWhiteSpaceAt(int nPos) const; // space, tab or line feed for text
    virtual BOOL IsLineBreakAt(int nPos) const;
    virtual BOOL IsSpaceAt(int nPos) const; // space or tab for text
    // Where a range ended up, in the text block's coordinates.
    virtual void ArrangeRange(const RECT& rc, int nStart, int nEnd);
    // The size of a range; an empty range has the height of a space.
    virtual SIZE MeasureRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd);
    virtual void RenderRange(CXTPMarkupPainter* pPainter, const RECT& rc, int nStart, int nEnd);
    // Makes the inline's font current and notes its descent.
    virtual void PrepareFont(CXTPMarkupPainter* pPainter);
    virtual int GetDescent() const;

    // MeasureRange for a width that matters only up to nLimit: exact up to
    // there, while a wider range may answer any width above nLimit. A long
    // run then costs only as much text as could show on one line.
    virtual SIZE MeasureRangeUpTo(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nLimit);
    // The last position q from nStart up to nEnd whose range [nStart, q) is
    // at most nMaxExtent wide (kEnd when that is the whole text); nStart
    // when not even the first character fits. Never inside a character.
    virtual int FitRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nMaxExtent);

    // Text is hit as the inline itself.
    CXTPMarkupInputElement* HitTest(int x, int y) override;
    // Text shows where its text block placed it.
    const CXTPMarkupVisual* GetPlacement(RECT* pRect) const override;

protected:
    CXTPMarkupInline();

private:
    int m_nIndex;

    friend class CXTPMarkupInlineCollection;
};

// The inlines of a text block or a span. Markup content becomes inlines: a
// text a new run, an element a new inline container around it.
class CXTPMarkupInlineCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupInlineCollection)
public:
    CXTPMarkupInlineCollection();

    CXTPMarkupInline* GetInline(int nIndex) const; // borrowed; null outside the items

    // Refused with a builder error unless the list belongs to an input
    // element (whose host makes the new runs and containers).
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;

protected:
    void OnItemAdded(CXTPMarkupObject* pItem, int nIndex) override;
};

// Inlines that group other inlines and set font properties for them.
// Classes: CXTPMarkupSpan, CXTPMarkupBold, CXTPMarkupItalic,
// CXTPMarkupUnderline.
#pragma once

#include "markup/elements/Inline.h"

class CXTPMarkupSpan : public CXTPMarkupInline
{
    DECLARE_MARKUPCLASS(CXTPMarkupSpan)
public:
    CXTPMarkupSpan();

    // Borrowed; the span owns its list for its whole life.
    CXTPMarkupInlineCollection* GetInlines() const { return m_pInlines; }

    // Content goes to the inlines; spaces between pieces of text are kept.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    BOOL KeepsWhitespace() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

    // The first child's first leaf; an empty span is a leaf itself.
    CXTPMarkupInline* GetFirstLeaf() override;

protected:
    ~CXTPMarkupSpan() override;

private:
    CXTPMarkupInlineCollection* m_pInlines;
};

// A span whose "FontWeight" is "Bold" unless markup says otherwise.
class CXTPMarkupBold : public CXTPMarkupSpan
{
    DECLARE_MARKUPCLASS(CXTPMarkupBold)
public:
    CXTPMarkupBold();
};

// A span whose "FontStyle" is "Italic" unless markup says otherwise.
class CXTPMarkupItalic : public CXTPMarkupSpan
{
    DECLARE_MARKUPCLASS(CXTPMarkupItalic)
public:
    CXTPMarkupItalic();
};

// A span whose "TextDecorations" is "Underline" unless markup says otherwise.
class CXTPMarkupUnderline : public CXTPMarkupSpan
{
    DECLARE_MARKUPCLASS(CXTPMarkupUnderline)
public:
    CXTPMarkupUnderline();
};

// Shared fonts of a host. Classes: CXTPMarkupCachedFont, CXTPMarkupFontList.
#pragma once

#include "markup/elements/Font.h"

class CXTPMarkupCachedFont;

// A host's font cache: the fonts it made, in creation order. It holds no
// references; a font stays listed while somebody holds it and leaves the
// list when it is destroyed.
class CXTPMarkupFontList
{
public:
    CXTPMarkupFontList() = default;
    CXTPMarkupFontList(const CXTPMarkupFontList&) = delete;
    CXTPMarkupFontList& operator=(const CXTPMarkupFontList&) = delete;
    ~CXTPMarkupFontList();

    // The first listed font that stands for lf (see IsSameFont), borrowed.
    CXTPMarkupCachedFont* Find(const LOGFONTA& lf) const;

    CXTPMarkupCachedFont* GetHead() const { return m_pHead; }
    CXTPMarkupCachedFont* GetTail() const { return m_pTail; }

private:
    void Append(CXTPMarkupCachedFont* pFont);
    void Unlink(CXTPMarkupCachedFont* pFont);

    CXTPMarkupCachedFont* m_pHead = nullptr;
    CXTPMarkupCachedFont* m_pTail = nullptr;

    friend class CXTPMarkupCachedFont;
};

// One font made from a LOGFONT, shared by the elements that use it. The
// HFONT lives exactly as long as this object.
class CXTPMarkupCachedFont : public CXTPMarkupFont
{
    DECLARE_MARKUPCLASS(CXTPMarkupCachedFont)
public:
    // Creates the font (CreateFontIndirectA) and appends it to pList when one
    // is given. The HFONT is null when the system refused the description.
    explicit CXTPMarkupCachedFont(const LOGFONTA& lf, CXTPMarkupFontList* pList = nullptr);

    HFONT GetFont() const { return m_hFont; }
    const LOGFONTA& GetLogFont() const override { return m_lf; }
    CXTPMarkupCachedFont* GetNextFont() const { return m_pNextFont; }

    // Whether this font serves a request for lf. Only height, weight, italic,
    // quality and face name (case-sensitive) tell fonts apart: a request that
    // differs in underline, say, shares the font, since text decorations are
    // drawn separately.
    BOOL IsSameFont(const LOGFONTA& lf) const override;

protected:
    ~CXTPMarkupCachedFont() override;

private:
    HFONT m_hFont;
    LOGFONTA m_lf;
    CXTPMarkupCachedFont* m_pNextFont;
    CXTPMarkupFontList* m_pList;

    friend class CXTPMarkupFontList;
};

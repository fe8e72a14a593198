#include "markup/host/CachedFont.h"

#include "markup/model/Type.h"

#include <cstring>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupCachedFont, CXTPMarkupObject)

CXTPMarkupFontList::~CXTPMarkupFontList()
{
    // Fonts do not outlive their host; should one still be held, it must not
    // unlink itself from a list that is gone.
    for (CXTPMarkupCachedFont* pFont = m_pHead; pFont; pFont = pFont->m_pNextFont)
        pFont->m_pList = nullptr;
}

CXTPMarkupCachedFont* CXTPMarkupFontList::Find(const LOGFONTA& lf) const
{
    for (CXTPMarkupCachedFont* pFont = m_pHead; pFont; pFont = pFont->m_pNextFont)
    {
        if (pFont->IsSameFont(lf))
            return pFont;
    }
    return nullptr;
}

void CXTPMarkupFontList::Append(CXTPMarkupCachedFont* pFont)
{
    pFont->m_pNextFont = nullptr;
    if (m_pTail)
        m_pTail->m_pNextFont = pFont;
    else
        m_pHead = pFont;
    m_pTail = pFont;
}

void CXTPMarkupFontList::Unlink(CXTPMarkupCachedFont* pFont)
{
    CXTPMarkupCachedFont* pPrev = nullptr;
    for (CXTPMarkupCachedFont* p = m_pHead; p; pPrev = p, p = p->m_pNextFont)
    {
        if (p != pFont)
            continue;
        if (pPrev)
            pPrev->m_pNextFont = p->m_pNextFont;
        else
            m_pHead = p->m_pNextFont;
        if (m_pTail == p)
            m_pTail = pPrev;
        p->m_pNextFont = nullptr;
        return;
    }
}

CXTPMarkupCachedFont::CXTPMarkupCachedFont(const LOGFONTA& lf, CXTPMarkupFontList* pList)
    : m_hFont(::CreateFontIndirectA(&lf)), m_lf(lf), m_pNextFont(nullptr), m_pList(pList)
{
    if (m_pList)
        m_pList->Append(this);
}

CXTPMarkupCachedFont::~CXTPMarkupCachedFont()
{
    if (m_pList)
        m_pList->Unlink(this);
    if (m_hFont)
        ::DeleteObject(m_hFont);
}

BOOL CXTPMarkupCachedFont::IsSameFont(const LOGFONTA& lf) const
{
    return m_lf.lfHeight == lf.lfHeight && m_lf.lfWeight == lf.lfWeight && m_lf.lfItalic == lf.lfItalic
           && m_lf.lfQuality == lf.lfQuality && strncmp(m_lf.lfFaceName, lf.lfFaceName, LF_FACESIZE) == 0;
}

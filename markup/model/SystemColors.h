// System colours in markup ({x:Static SystemColors.ControlBrush} and the
// like). Classes: CXTPMarkupColorKey, CXTPMarkupBrushKey, CXTPMarkupSystemColors.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupColor;
class CXTPMarkupSolidColorBrush;

// Resource keys naming a system colour; equal only to themselves, which is why
// one load hands out a single key object per index.
class CXTPMarkupColorKey : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupColorKey)
public:
    explicit CXTPMarkupColorKey(int nIndex = 0);
    int GetIndex() const { return m_nIndex; }

private:
    int m_nIndex;
};

class CXTPMarkupBrushKey : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupBrushKey)
public:
    explicit CXTPMarkupBrushKey(int nIndex = 0);
    int GetIndex() const { return m_nIndex; }

private:
    int m_nIndex;
};

// The system colour objects of one load: each kind and index is made once
// (reading the system colour at that moment) and handed out again with an
// added reference. The builder owns one; destroying it releases them.
class CXTPMarkupSystemColors
{
public:
    enum
    {
        kIndexCount = 31, // system colour indices 0..30
    };

    CXTPMarkupSystemColors();
    CXTPMarkupSystemColors(const CXTPMarkupSystemColors&) = delete;
    CXTPMarkupSystemColors& operator=(const CXTPMarkupSystemColors&) = delete;
    ~CXTPMarkupSystemColors();

    // One reference each; null for an index outside 0..30.
    CXTPMarkupColor* GetColor(int nIndex);
    CXTPMarkupSolidColorBrush* GetBrush(int nIndex);
    CXTPMarkupColorKey* GetColorKey(int nIndex);
    CXTPMarkupBrushKey* GetBrushKey(int nIndex);

    // "SystemColors." + colour name + "Color", "Brush", "ColorKey" or
    // "BrushKey"; a name may be abbreviated to the start of a table entry.
    // Anything else raises CXTPMarkupBuilderException.
    CXTPMarkupObject* ResolveStaticMember(LPCWSTR lpszMember);

    // What a colour or brush key stands for when no dictionary holds it: the
    // system colour or brush of its index (one reference), else null.
    CXTPMarkupObject* ResolveKey(const CXTPMarkupObject* pKey);

    // The system colour index of a colour name as written in markup, or -1.
    static int FindColorIndex(LPCWSTR lpszName, int nLength);

private:
    enum Kind
    {
        kColor,
        kBrush,
        kColorKey,
        kBrushKey,
        kKindCount
    };
    CXTPMarkupObject* Get(Kind kind, int nIndex);

    CXTPMarkupObject* m_pCache[kKindCount][kIndexCount];
};

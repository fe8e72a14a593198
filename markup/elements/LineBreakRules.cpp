#include "markup/elements/LineBreakRules.h"

#include <cwchar>

namespace
{
// The classes of the line-breaking rules that occur in Chinese and Latin
// text. Opening and closing punctuation come narrow (ASCII, which binds to the
// word beside it, as in "f(x)" or "1,234") and wide (Chinese, which does not).
enum BreakClass
{
    kOpenWide,
    kOpenNarrow,
    kCloseWide,
    kCloseNarrow,
    kIdeographic,
    kOther, // letters, digits and the rest: a word or a number
    kBlank,
    kNone, // an embedded element
    kClassCount
};

struct CClassSet
{
    BreakClass nClass;
    const WCHAR* pszChars;
};

const CClassSet kClassSets[] = {
    {kCloseNarrow, L"!),.:;?]}\x00BB"},
    {kCloseWide, L"\x2019\x201D\x3001\x3002\x3009\x300B\x300D\x300F\x3011\x3015\xFF01\xFF09\xFF0C\xFF0E\xFF1A\xFF1B"
                 L"\xFF1F\xFF3D\xFF5D"},
    {kOpenNarrow, L"([{\x00AB"},
    {kOpenWide, L"\x2018\x201C\x3008\x300A\x300C\x300E\x3010\x3014\xFF08\xFF3B\xFF5B"},
    {kBlank, L" \t\n\r"},
};

// kCanBreak[before][after]: whether a line may end between the two.
const bool kCanBreak[kClassCount][kClassCount] = {
    //           OW     ON     CW     CN     ID     Other  Blank  None
    /* OW    */ {false, false, false, false, false, false, false, false},
    /* ON    */ {false, false, false, false, false, false, false, false},
    /* CW    */ {true, true, false, false, true, true, false, false},
    /* CN    */ {true, false, false, false, true, false, false, false},
    /* ID    */ {true, true, false, false, true, true, false, false},
    /* Other */ {true, false, false, false, true, false, false, false},
    /* Blank */ {false, false, false, false, false, false, false, false},
    /* None  */ {false, false, false, false, false, false, false, false},
};

BreakClass ClassOf(WCHAR ch)
{
    if (ch == 0)
        return kNone;
    // Most text is letters, digits and unified ideographs, none of them in
    // the sets: answered before the search, which runs for every position.
    if ((ch >= L'0' && ch <= L'9') || ((ch | 0x20) >= L'a' && (ch | 0x20) <= L'z'))
        return kOther;
    if (ch >= 0x4E00 && ch <= 0x9FFF)
        return kIdeographic;
    for (const CClassSet& set : kClassSets)
    {
        if (wcschr(set.pszChars, ch))
            return set.nClass;
    }
    // CJK radicals and punctuation through the unified ideographs, Hangul
    // and the halves of the characters beyond (ideographs of the extensions,
    // emoji), compatibility ideographs, and the full-width forms.
    if ((ch >= 0x2E80 && ch <= 0xDFFF) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F)
        || (ch >= 0xFF00 && ch <= 0xFFEF))
        return kIdeographic;
    return kOther;
}
} // namespace

bool XTPMarkupCanBreakBetween(WCHAR chBefore, WCHAR chAfter)
{
    // Never inside a character of two halves.
    if (IS_LOW_SURROGATE(chAfter))
        return false;
    return kCanBreak[ClassOf(chBefore)][ClassOf(chAfter)];
}

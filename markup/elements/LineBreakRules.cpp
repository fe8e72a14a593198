#include "markup/elements/LineBreakRules.h"

#include <cwchar>

namespace
{
const WCHAR kNoLineStart[] = L"!),.:;?]}\x00BB\x2019\x201D\x3001\x3002\x3009\x300B\x300D\x300F\x3011\x3015"
                             L"\xFF01\xFF09\xFF0C\xFF0E\xFF1A\xFF1B\xFF1F\xFF3D\xFF5D";
const WCHAR kNoLineEnd[] = L"([{\x00AB\x2018\x201C\x3008\x300A\x300C\x300E\x3010\x3014\xFF08\xFF3B\xFF5B";

bool IsIdeographic(WCHAR ch)
{
    // CJK radicals and punctuation through the unified ideographs and Hangul,
    // compatibility ideographs, and the full-width forms.
    return (ch >= 0x2E80 && ch <= 0xD7FF) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F)
           || (ch >= 0xFF00 && ch <= 0xFFEF);
}

bool IsIn(const WCHAR* pszSet, WCHAR ch)
{
    return ch != 0 && wcschr(pszSet, ch) != nullptr;
}
} // namespace

bool XTPMarkupCanBreakBetween(WCHAR chBefore, WCHAR chAfter)
{
    if (IsIn(kNoLineStart, chAfter) || IsIn(kNoLineEnd, chBefore))
        return false;
    return IsIdeographic(chBefore) || IsIdeographic(chAfter);
}

#include "markup/model/Color.h"

#include "markup/model/String.h"
#include "markup/model/TextScanner.h"
#include "markup/model/Type.h"

#include <iterator>

namespace
{
struct NAMEDCOLOR
{
    const char* pszName; // upper case, sorted
    COLORREF clr;
};

// The SVG colour keywords in their gray spelling.
const NAMEDCOLOR kNamedColors[] = {
    {"ALICEBLUE", RGB(240, 248, 255)},
    {"ANTIQUEWHITE", RGB(250, 235, 215)},
    {"AQUA", RGB(0, 255, 255)},
    {"AQUAMARINE", RGB(127, 255, 212)},
    {"AZURE", RGB(240, 255, 255)},
    {"BEIGE", RGB(245, 245, 220)},
    {"BISQUE", RGB(255, 228, 196)},
    {"BLACK", RGB(0, 0, 0)},
    {"BLANCHEDALMOND", RGB(255, 235, 205)},
    {"BLUE", RGB(0, 0, 255)},
    {"BLUEVIOLET", RGB(138, 43, 226)},
    {"BROWN", RGB(165, 42, 42)},
    {"BURLYWOOD", RGB(222, 184, 135)},
    {"CADETBLUE", RGB(95, 158, 160)},
    {"CHARTREUSE", RGB(127, 255, 0)},
    {"CHOCOLATE", RGB(210, 105, 30)},
    {"CORAL", RGB(255, 127, 80)},
    {"CORNFLOWERBLUE", RGB(100, 149, 237)},
    {"CORNSILK", RGB(255, 248, 220)},
    {"CRIMSON", RGB(220, 20, 60)},
    {"CYAN", RGB(0, 255, 255)},
    {"DARKBLUE", RGB(0, 0, 139)},
    {"DARKCYAN", RGB(0, 139, 139)},
    {"DARKGOLDENROD", RGB(184, 134, 11)},
    {"DARKGRAY", RGB(169, 169, 169)},
    {"DARKGREEN", RGB(0, 100, 0)},
    {"DARKKHAKI", RGB(189, 183, 107)},
    {"DARKMAGENTA", RGB(139, 0, 139)},
    {"DARKOLIVEGREEN", RGB(85, 107, 47)},
    {"DARKORANGE", RGB(255, 140, 0)},
    {"DARKORCHID", RGB(153, 50, 204)},
    {"DARKRED", RGB(139, 0, 0)},
    {"DARKSALMON", RGB(233, 150, 122)},
    {"DARKSEAGREEN", RGB(143, 188, 143)},
    {"DARKSLATEBLUE", RGB(72, 61, 139)},
    {"DARKSLATEGRAY", RGB(47, 79, 79)},
    {"DARKTURQUOISE", RGB(0, 206, 209)},
    {"DARKVIOLET", RGB(148, 0, 211)},
    {"DEEPPINK", RGB(255, 20, 147)},
    {"DEEPSKYBLUE", RGB(0, 191, 255)},
    {"DIMGRAY", RGB(105, 105, 105)},
    {"DODGERBLUE", RGB(30, 144, 255)},
    {"FIREBRICK", RGB(178, 34, 34)},
    {"FLORALWHITE", RGB(255, 250, 240)},
    {"FORESTGREEN", RGB(34, 139, 34)},
    {"FUCHSIA", RGB(255, 0, 255)},
    {"GAINSBORO", RGB(220, 220, 220)},
    {"GHOSTWHITE", RGB(248, 248, 255)},
    {"GOLD", RGB(255, 215, 0)},
    {"GOLDENROD", RGB(218, 165, 32)},
    {"GRAY", RGB(128, 128, 128)},
    {"GREEN", RGB(0, 128, 0)},
    {"GREENYELLOW", RGB(173, 255, 47)},
    {"HONEYDEW", RGB(240, 255, 240)},
    {"HOTPINK", RGB(255, 105, 180)},
    {"INDIANRED", RGB(205, 92, 92)},
    {"INDIGO", RGB(75, 0, 130)},
    {"IVORY", RGB(255, 255, 240)},
    {"KHAKI", RGB(240, 230, 140)},
    {"LAVENDER", RGB(230, 230, 250)},
    {"LAVENDERBLUSH", RGB(255, 240, 245)},
    {"LAWNGREEN", RGB(124, 252, 0)},
    {"LEMONCHIFFON", RGB(255, 250, 205)},
    {"LIGHTBLUE", RGB(173, 216, 230)},
    {"LIGHTCORAL", RGB(240, 128, 128)},
    {"LIGHTCYAN", RGB(224, 255, 255)},
    {"LIGHTGOLDENRODYELLOW", RGB(250, 250, 210)},
    {"LIGHTGRAY", RGB(211, 211, 211)},
    {"LIGHTGREEN", RGB(144, 238, 144)},
    {"LIGHTPINK", RGB(255, 182, 193)},
    {"LIGHTSALMON", RGB(255, 160, 122)},
    {"LIGHTSEAGREEN", RGB(32, 178, 170)},
    {"LIGHTSKYBLUE", RGB(135, 206, 250)},
    {"LIGHTSLATEGRAY", RGB(119, 136, 153)},
    {"LIGHTSTEELBLUE", RGB(176, 196, 222)},
    {"LIGHTYELLOW", RGB(255, 255, 224)},
    {"LIME", RGB(0, 255, 0)},
    {"LIMEGREEN", RGB(50, 205, 50)},
    {"LINEN", RGB(250, 240, 230)},
    {"MAGENTA", RGB(255, 0, 255)},
    {"MAROON", RGB(128, 0, 0)},
    {"MEDIUMAQUAMARINE", RGB(102, 205, 170)},
    {"MEDIUMBLUE", RGB(0, 0, 205)},
    {"MEDIUMORCHID", RGB(186, 85, 211)},
    {"MEDIUMPURPLE", RGB(147, 112, 219)},
    {"MEDIUMSEAGREEN", RGB(60, 179, 113)},
    {"MEDIUMSLATEBLUE", RGB(123, 104, 238)},
    {"MEDIUMSPRINGGREEN", RGB(0, 250, 154)},
    {"MEDIUMTURQUOISE", RGB(72, 209, 204)},
    {"MEDIUMVIOLETRED", RGB(199, 21, 133)},
    {"MIDNIGHTBLUE", RGB(25, 25, 112)},
    {"MINTCREAM", RGB(245, 255, 250)},
    {"MISTYROSE", RGB(255, 228, 225)},
    {"MOCCASIN", RGB(255, 228, 181)},
    {"NAVAJOWHITE", RGB(255, 222, 173)},
    {"NAVY", RGB(0, 0, 128)},
    {"OLDLACE", RGB(253, 245, 230)},
    {"OLIVE", RGB(128, 128, 0)},
    {"OLIVEDRAB", RGB(107, 142, 35)},
    {"ORANGE", RGB(255, 165, 0)},
    {"ORANGERED", RGB(255, 69, 0)},
    {"ORCHID", RGB(218, 112, 214)},
    {"PALEGOLDENROD", RGB(238, 232, 170)},
    {"PALEGREEN", RGB(152, 251, 152)},
    {"PALETURQUOISE", RGB(175, 238, 238)},
    {"PALEVIOLETRED", RGB(219, 112, 147)},
    {"PAPAYAWHIP", RGB(255, 239, 213)},
    {"PEACHPUFF", RGB(255, 218, 185)},
    {"PERU", RGB(205, 133, 63)},
    {"PINK", RGB(255, 192, 203)},
    {"PLUM", RGB(221, 160, 221)},
    {"POWDERBLUE", RGB(176, 224, 230)},
    {"PURPLE", RGB(128, 0, 128)},
    {"RED", RGB(255, 0, 0)},
    {"ROSYBROWN", RGB(188, 143, 143)},
    {"ROYALBLUE", RGB(65, 105, 225)},
    {"SADDLEBROWN", RGB(139, 69, 19)},
    {"SALMON", RGB(250, 128, 114)},
    {"SANDYBROWN", RGB(244, 164, 96)},
    {"SEAGREEN", RGB(46, 139, 87)},
    {"SEASHELL", RGB(255, 245, 238)},
    {"SIENNA", RGB(160, 82, 45)},
    {"SILVER", RGB(192, 192, 192)},
    {"SKYBLUE", RGB(135, 206, 235)},
    {"SLATEBLUE", RGB(106, 90, 205)},
    {"SLATEGRAY", RGB(112, 128, 144)},
    {"SNOW", RGB(255, 250, 250)},
    {"SPRINGGREEN", RGB(0, 255, 127)},
    {"STEELBLUE", RGB(70, 130, 180)},
    {"TAN", RGB(210, 180, 140)},
    {"TEAL", RGB(0, 128, 128)},
    {"THISTLE", RGB(216, 191, 216)},
    {"TOMATO", RGB(255, 99, 71)},
    {"TURQUOISE", RGB(64, 224, 208)},
    {"VIOLET", RGB(238, 130, 238)},
    {"WHEAT", RGB(245, 222, 179)},
    {"WHITE", RGB(255, 255, 255)},
    {"WHITESMOKE", RGB(245, 245, 245)},
    {"YELLOW", RGB(255, 255, 0)},
    {"YELLOWGREEN", RGB(154, 205, 50)},
};

// Compares a text with an upper-case name, ignoring the text's ASCII case.
int CompareName(LPCWSTR lpszText, int nLength, const char* pszName)
{
    for (int i = 0;; ++i)
    {
        if (i == nLength)
            return pszName[i] ? -1 : 0;
        WCHAR ch = lpszText[i];
        if (ch >= 'a' && ch <= 'z')
            ch -= 'a' - 'A';
        WCHAR chName = static_cast<unsigned char>(pszName[i]);
        if (ch != chName)
            return ch < chName ? -1 : 1;
    }
}
} // namespace

IMPLEMENT_MARKUPCLASS(L"Color", CXTPMarkupColor, CXTPMarkupObject)

CXTPMarkupColor::CXTPMarkupColor(COLORREF clr) : m_clr(clr) {}

BOOL CXTPMarkupColor::LookupNamedColor(LPCWSTR lpszName, int nLength, COLORREF& clr)
{
    if (!lpszName || nLength <= 0)
        return FALSE;
    WCHAR chFirst = lpszName[0];
    if (!((chFirst >= 'a' && chFirst <= 'z') || (chFirst >= 'A' && chFirst <= 'Z')))
        return FALSE;

    int nLow = 0, nHigh = static_cast<int>(std::size(kNamedColors)) - 1;
    while (nLow <= nHigh)
    {
        int nMid = (nLow + nHigh) / 2;
        int nCompare = CompareName(lpszName, nLength, kNamedColors[nMid].pszName);
        if (nCompare == 0)
        {
            clr = kNamedColors[nMid].clr;
            return TRUE;
        }
        if (nCompare < 0)
            nHigh = nMid - 1;
        else
            nLow = nMid + 1;
    }
    return FALSE;
}

BOOL CXTPMarkupColor::ParseColorText(LPCWSTR lpszText, int nLength, COLORREF& clr)
{
    if (!lpszText || nLength <= 0)
        return FALSE;
    if (lpszText[0] != '#')
        return LookupNamedColor(lpszText, nLength, clr);

    int nFields;
    if (nLength == 7)
        nFields = 3;
    else if (nLength == 9)
        nFields = 4; // alpha first, then dropped
    else
        return FALSE;

    CXTPMarkupTextScanner scanner(lpszText + 1, nLength - 1);
    UINT nValues[4];
    for (int i = 0; i < nFields; ++i)
    {
        if (!scanner.ScanHex(2, nValues[i]))
            return FALSE;
    }
    const UINT* pRgb = nValues + nFields - 3;
    clr = RGB(static_cast<BYTE>(pRgb[0]), static_cast<BYTE>(pRgb[1]), static_cast<BYTE>(pRgb[2]));
    return TRUE;
}

CXTPMarkupObject* CXTPMarkupColor::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    COLORREF clr;
    if (!pString || !ParseColorText(pString->GetText(), pString->GetLength(), clr))
        return nullptr;
    return new CXTPMarkupColor(clr);
}

BOOL CXTPMarkupColor::IsEqual(const CXTPMarkupObject* pObject) const
{
    return pObject && pObject->GetType() == GetType() && static_cast<const CXTPMarkupColor*>(pObject)->m_clr == m_clr;
}

void CXTPMarkupColor::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pContent);
    COLORREF clr;
    if (pString && ParseColorText(pString->GetText(), pString->GetLength(), clr))
    {
        m_clr = clr;
        pContent->Release();
        return;
    }
    CXTPMarkupObject::AddContent(pBuilder, pContent);
}

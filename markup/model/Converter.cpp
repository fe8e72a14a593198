#include "markup/model/Converter.h"

#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/TextScanner.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{
struct KEYWORD
{
    const char* pszName;
    int nValue;
};

const KEYWORD kVisibility[] = {
    {"Visible", xtpMarkupVisibilityVisible},
    {"Hidden", xtpMarkupVisibilityHidden},
    {"Collapsed", xtpMarkupVisibilityCollapsed},
};

const KEYWORD kHorizontalAlignment[] = {
    {"Left", xtpMarkupHorizontalAlignmentLeft},
    {"Center", xtpMarkupHorizontalAlignmentCenter},
    {"Right", xtpMarkupHorizontalAlignmentRight},
    {"Stretch", xtpMarkupHorizontalAlignmentStretch},
};

const KEYWORD kVerticalAlignment[] = {
    {"Top", xtpMarkupVerticalAlignmentTop},
    {"Center", xtpMarkupVerticalAlignmentCenter},
    {"Bottom", xtpMarkupVerticalAlignmentBottom},
    {"Stretch", xtpMarkupVerticalAlignmentStretch},
};

const KEYWORD kTextWrapping[] = {
    {"NoWrap", xtpMarkupTextNoWrap},
    {"Wrap", xtpMarkupTextWrap},
    {"WrapWithOverflow", xtpMarkupTextWrapWithOverflow},
};

const KEYWORD kTextTrimming[] = {
    {"None", xtpMarkupTextTrimmingNone},
    {"CharacterEllipsis", xtpMarkupTextTrimmingCharacterEllipsis},
    {"WordEllipsis", xtpMarkupTextTrimmingWordEllipsis},
};

const KEYWORD kTextAlignment[] = {
    {"Left", xtpMarkupTextAlignmentLeft},
    {"Right", xtpMarkupTextAlignmentRight},
    {"Center", xtpMarkupTextAlignmentCenter},
    {"Justify", xtpMarkupTextAlignmentJustify},
};

const KEYWORD kOrientation[] = {
    {"Horizontal", xtpMarkupOrientationHorizontal},
    {"Vertical", xtpMarkupOrientationVertical},
};

const KEYWORD kBaselineAlignment[] = {
    {"Top", xtpMarkupBaselineTop},
    {"Center", xtpMarkupBaselineCenter},
    {"Bottom", xtpMarkupBaselineBottom},
    {"Baseline", xtpMarkupBaseline},
    {"TextTop", xtpMarkupBaselineTextTop},
    {"TextBottom", xtpMarkupBaselineTextBottom},
    {"Subscript", xtpMarkupBaselineSubscript},
    {"Superscript", xtpMarkupBaselineSuperscript},
};

const KEYWORD kFontWeight[] = {
    {"Thin", FW_THIN},       {"ExtraLight", FW_EXTRALIGHT}, {"Light", FW_LIGHT},         {"Normal", FW_NORMAL},
    {"Regular", FW_REGULAR}, {"Medium", FW_MEDIUM},         {"SemiBold", FW_SEMIBOLD},   {"DemiBold", FW_DEMIBOLD},
    {"Bold", FW_BOLD},       {"ExtraBold", FW_EXTRABOLD},   {"UltraBold", FW_ULTRABOLD}, {"Black", FW_BLACK},
    {"Heavy", FW_HEAVY},     {"ExtraBlack", 950},
};

const KEYWORD kFontStyle[] = {
    {"Normal", xtpMarkupFontStyleNormal},
    {"Italic", xtpMarkupFontStyleItalic},
};

const KEYWORD kTextDecorations[] = {
    {"Underline", xtpMarkupTextDecorationsUnderline},
    {"Strikethrough", xtpMarkupTextDecorationsStrikethrough},
    {"", xtpMarkupTextDecorationsNone},
};

const KEYWORD kFontQuality[] = {
    {"ClearType", CLEARTYPE_QUALITY},
};

const KEYWORD kScrollBarVisibility[] = {
    {"Disabled", xtpMarkupScrollBarDisabled},
    {"Auto", xtpMarkupScrollBarAuto},
    {"Visible", xtpMarkupScrollBarVisible},
};

const KEYWORD kStretch[] = {
    {"None", xtpMarkupStretchNone},
    {"Fill", xtpMarkupStretchFill},
    {"Uniform", xtpMarkupStretchUniform},
    {"UniformToFill", xtpMarkupStretchUniformToFill},
};

const KEYWORD kTabNavigation[] = {
    {"Continue", xtpMarkupTabNavigationContinue},   {"Once", xtpMarkupTabNavigationOnce},
    {"Cycle", xtpMarkupTabNavigationCycle},         {"None", xtpMarkupTabNavigationNone},
    {"Contained", xtpMarkupTabNavigationContained}, {"Local", xtpMarkupTabNavigationLocal},
};

// The system cursor identifiers (IDC_ARROW and so on).
const KEYWORD kCursor[] = {
    {"None", 0},        {"Arrow", 32512},    {"IBeam", 32513},    {"Wait", 32514},        {"Cross", 32515},
    {"UpArrow", 32516}, {"SizeNWSE", 32642}, {"SizeNESW", 32643}, {"SizeWE", 32644},      {"SizeNS", 32645},
    {"SizeAll", 32646}, {"No", 32648},       {"Hand", 32649},     {"AppStarting", 32650},
};

template <size_t N> const KEYWORD* FindKeyword(CXTPMarkupObject* pValue, const KEYWORD (&table)[N])
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    for (const KEYWORD& keyword : table)
    {
        if (CXTPMarkupTextScanner::EqualsNoCase(pString->GetText(), pString->GetLength(), keyword.pszName))
            return &keyword;
    }
    return nullptr;
}

template <size_t N> CXTPMarkupObject* ConvertEnum(CXTPMarkupObject* pValue, const KEYWORD (&table)[N])
{
    const KEYWORD* pKeyword = FindKeyword(pValue, table);
    return pKeyword ? CXTPMarkupEnum::CreateValue(pKeyword->nValue) : nullptr;
}

int Saturate(double dValue)
{
    if (dValue >= INT_MAX)
        return INT_MAX;
    if (dValue <= INT_MIN)
        return INT_MIN;
    return static_cast<int>(dValue);
}

// MulDiv's rounding: to nearest, halves away from zero.
int MulDivRounded(int nNumber, int nNumerator, int nDenominator)
{
    long long nProduct = static_cast<long long>(nNumber) * nNumerator;
    long long nHalf = nDenominator / 2;
    long long nResult = (nProduct >= 0 ? nProduct + nHalf : nProduct - nHalf) / nDenominator;
    return static_cast<int>(std::clamp<long long>(nResult, INT_MIN, INT_MAX));
}
} // namespace

CXTPMarkupObject* CXTPMarkupConverter::ConvertVisibility(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kVisibility);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertHorizontalAlignment(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kHorizontalAlignment);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertVerticalAlignment(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kVerticalAlignment);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertTextWrapping(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kTextWrapping);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertTextTrimming(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kTextTrimming);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertTextAlignment(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kTextAlignment);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertOrientation(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kOrientation);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertBaselineAlignment(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kBaselineAlignment);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertFontWeight(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kFontWeight);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertFontStyle(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kFontStyle);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertTextDecorations(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kTextDecorations);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertFontQuality(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kFontQuality);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertScrollBarVisibility(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kScrollBarVisibility);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertStretch(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kStretch);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertTabNavigation(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    return ConvertEnum(pValue, kTabNavigation);
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertCursor(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    const KEYWORD* pKeyword = FindKeyword(pValue, kCursor);
    return pKeyword ? new CXTPMarkupInt(pKeyword->nValue) : nullptr;
}

int CXTPMarkupConverter::ReadLength(LPCWSTR lpszText, int nLength)
{
    if (!lpszText || nLength <= 0)
        return 0;
    if (CXTPMarkupTextScanner::EqualsNoCase(lpszText, nLength, "Auto"))
        return kUnboundedLength;

    int nValue = CXTPMarkupTextScanner(lpszText, nLength).ReadLong();
    if (nValue == 0 || nLength <= 2)
        return nValue;
    LPCWSTR lpszUnit = lpszText + nLength - 2;
    if (CXTPMarkupTextScanner::EqualsNoCase(lpszUnit, 2, "pt"))
        return MulDivRounded(nValue, 96, 72);
    if (CXTPMarkupTextScanner::EqualsNoCase(lpszUnit, 2, "in"))
        return Saturate(static_cast<double>(nValue) * 96);
    if (CXTPMarkupTextScanner::EqualsNoCase(lpszUnit, 2, "cm"))
        return Saturate(std::trunc(nValue * 37.79528));
    return nValue;
}

CXTPMarkupObject* CXTPMarkupConverter::ConvertLength(CXTPMarkupElementContext*, CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    return new CXTPMarkupInt(ReadLength(pString->GetText(), pString->GetLength()));
}

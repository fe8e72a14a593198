// Text parsers that properties name in their options: keyword tables,
// lengths and cursor names.
#pragma once

#include "markup/model/DependencyProperty.h"

// Values of the keyword tables, as CXTPMarkupEnum holds them.
enum XTPMarkupVisibility
{
    xtpMarkupVisibilityVisible = 0,
    xtpMarkupVisibilityHidden = 1,
    xtpMarkupVisibilityCollapsed = 2,
};

enum XTPMarkupHorizontalAlignment
{
    xtpMarkupHorizontalAlignmentLeft = 0,
    xtpMarkupHorizontalAlignmentCenter = 1,
    xtpMarkupHorizontalAlignmentRight = 2,
    xtpMarkupHorizontalAlignmentStretch = 3,
};

enum XTPMarkupVerticalAlignment
{
    xtpMarkupVerticalAlignmentTop = 0,
    xtpMarkupVerticalAlignmentCenter = 1,
    xtpMarkupVerticalAlignmentBottom = 2,
    xtpMarkupVerticalAlignmentStretch = 3,
};

enum XTPMarkupTextWrapping
{
    xtpMarkupTextNoWrap = 0,
    xtpMarkupTextWrap = 1,
    xtpMarkupTextWrapWithOverflow = 2,
};

enum XTPMarkupTextTrimming
{
    xtpMarkupTextTrimmingNone = 0,
    xtpMarkupTextTrimmingCharacterEllipsis = 1,
    xtpMarkupTextTrimmingWordEllipsis = 2,
};

enum XTPMarkupTextAlignment
{
    xtpMarkupTextAlignmentLeft = 0,
    xtpMarkupTextAlignmentRight = 1,
    xtpMarkupTextAlignmentCenter = 2,
    xtpMarkupTextAlignmentJustify = 3,
};

enum XTPMarkupOrientation
{
    xtpMarkupOrientationHorizontal = 0,
    xtpMarkupOrientationVertical = 1,
};

enum XTPMarkupBaselineAlignment
{
    xtpMarkupBaselineTop = 0,
    xtpMarkupBaselineCenter = 1,
    xtpMarkupBaselineBottom = 2,
    xtpMarkupBaseline = 3,
    xtpMarkupBaselineTextTop = 4,
    xtpMarkupBaselineTextBottom = 5,
    xtpMarkupBaselineSubscript = 6,
    xtpMarkupBaselineSuperscript = 7,
};

enum XTPMarkupFontStyle
{
    xtpMarkupFontStyleNormal = 0,
    xtpMarkupFontStyleItalic = 1,
};

enum XTPMarkupTextDecorations
{
    xtpMarkupTextDecorationsNone = 0,
    xtpMarkupTextDecorationsUnderline = 1,
    xtpMarkupTextDecorationsStrikethrough = 2,
};

enum XTPMarkupScrollBarVisibility
{
    xtpMarkupScrollBarDisabled = 0,
    xtpMarkupScrollBarAuto = 1,
    xtpMarkupScrollBarVisible = 2,
};

enum XTPMarkupStretch
{
    xtpMarkupStretchNone = 0,
    xtpMarkupStretchFill = 1,
    xtpMarkupStretchUniform = 2,
    xtpMarkupStretchUniformToFill = 3,
};

enum XTPMarkupTabNavigation
{
    xtpMarkupTabNavigationContinue = 0,
    xtpMarkupTabNavigationOnce = 1,
    xtpMarkupTabNavigationCycle = 2,
    xtpMarkupTabNavigationNone = 3,
    xtpMarkupTabNavigationContained = 4,
    xtpMarkupTabNavigationLocal = 5,
};

// Each parser takes a string object (borrowed) and returns a new or shared
// value with one reference, or null for any other object or text. Keywords
// compare with the whole text, ignoring case. They match
// PFNCONVERTPROPERTYVALUE, for use in CXTPMarkupPropertyOptions.
class CXTPMarkupConverter
{
public:
    enum
    {
        kUnboundedLength = 0x7FFFFFFF, // "Auto"
    };

    static CXTPMarkupObject* ConvertVisibility(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertHorizontalAlignment(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertVerticalAlignment(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertTextWrapping(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertTextTrimming(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertTextAlignment(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertOrientation(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertBaselineAlignment(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    // Weights 100..950 ("Bold" is 700); enumeration objects, new above 7.
    static CXTPMarkupObject* ConvertFontWeight(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertFontStyle(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertTextDecorations(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertFontQuality(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertScrollBarVisibility(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertStretch(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static CXTPMarkupObject* ConvertTabNavigation(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    // System cursor identifiers as CXTPMarkupInt ("Hand" is 32649, "None" 0).
    static CXTPMarkupObject* ConvertCursor(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);

    // Sizes as CXTPMarkupInt: "Auto" is kUnboundedLength; otherwise a leading
    // integer (atol rules) in pixels, or in points, inches or centimetres when
    // the text ends in "pt", "in" or "cm"; results saturate at 32 bits.
    static CXTPMarkupObject* ConvertLength(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
    static int ReadLength(LPCWSTR lpszText, int nLength);
};

// The font and colour properties of text. They are attached properties
// ("TextElement.FontSize" may be written on any element, a panel say, and
// the text inside it inherits the value); the text block shares the same
// records, so a text block's "FontSize" is a run's "FontSize".
#pragma once

#include "markup/elements/FrameworkContentElement.h"

class CXTPMarkupBrush;
class CXTPMarkupElementContext;

class CXTPMarkupTextElement : public CXTPMarkupFrameworkContentElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupTextElement)
public:
    CXTPMarkupTextElement();

    static CXTPMarkupDependencyProperty* m_pBackgroundProperty;      // brush; inherits, repaints
    static CXTPMarkupDependencyProperty* m_pForegroundProperty;      // brush; inherits, repaints
    static CXTPMarkupDependencyProperty* m_pFontSizeProperty;        // Int, lengths; inherits, re-measures
    static CXTPMarkupDependencyProperty* m_pFontWeightProperty;      // Enum, 100..950
    static CXTPMarkupDependencyProperty* m_pFontFamilyProperty;      // String, a face name
    static CXTPMarkupDependencyProperty* m_pFontStyleProperty;       // Enum, "Italic" 1
    static CXTPMarkupDependencyProperty* m_pTextDecorationsProperty; // Enum, "Underline" 1, "Strikethrough" 2
    static CXTPMarkupDependencyProperty* m_pFontQualityProperty;     // Enum, "ClearType" 5
    static void RegisterMarkupProperties();

    CXTPMarkupBrush* GetBackground() const; // borrowed, null when unset
    CXTPMarkupBrush* GetForeground() const; // borrowed, null when unset

    // The host the element was created for, or else the nearest ancestor's:
    // text made in code without a host (the runs a text block makes for
    // itself) takes its fonts from the host of the tree it is in.
    CXTPMarkupElementContext* FindMarkupContext() const;
};

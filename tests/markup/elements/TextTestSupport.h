// What the text tests share: markup in code page 936, the lines of a text
// block as texts, and measuring text with a font of its own, apart from the
// painter the layout used.
#pragma once

#include "ElementTestSupport.h"

#include "markup/elements/TextBlock.h"

#include <string>
#include <vector>

class CXTPMarkupRun;

// The bytes of a text in code page 936, as the program's markup is.
std::string Cp936(const std::wstring& strText);

// The text blocks of a tree in document order, borrowed.
std::vector<CXTPMarkupTextBlock*> TextBlocks(CXTPMarkupVisual* pRoot);

// Each line of the last layout as the characters it shows: runs give their
// text, ranges of other inlines give "[]".
std::vector<std::wstring> LineTexts(const CXTPMarkupTextBlock* pTextBlock);

// A text block made in code, of one run with the text.
Ptr<CXTPMarkupTextBlock> NewTextBlock(const std::wstring& strText, CXTPMarkupHost* pHost = nullptr);

// The width of a text in a font made from lf, measured on a DC of its own.
int TextWidth(const LOGFONTA& lf, const std::wstring& strText);
// The font of the run's last layout.
LOGFONTA FontOf(const CXTPMarkupRun* pRun);

// A host held by a test; released with it.
struct CHostHolder
{
    CHostHolder();
    ~CHostHolder();
    CHostHolder(const CHostHolder&) = delete;
    CHostHolder& operator=(const CHostHolder&) = delete;
    CRecordingHost* operator->() const { return pHost; }
    CRecordingHost* pHost;
};

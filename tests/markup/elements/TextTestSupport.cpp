#include "TextTestSupport.h"

#include "markup/elements/Inline.h"
#include "markup/elements/Run.h"
#include "markup/host/CachedFont.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"
#include "toolkit/CodePage.h"
#include "toolkit/GdiHandles.h"

namespace
{
void CollectTextBlocks(CXTPMarkupObject* pObject, std::vector<CXTPMarkupTextBlock*>& found)
{
    if (CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(pObject))
        found.push_back(pTextBlock);
    for (int i = 0; i < pObject->GetLogicalChildCount(); ++i)
    {
        if (CXTPMarkupObject* pChild = pObject->GetLogicalChild(i))
            CollectTextBlocks(pChild, found);
    }
}
} // namespace

std::string Cp936(const std::wstring& strText)
{
    return XTPToMultiByte(strText.c_str(), static_cast<int>(strText.size()), 936);
}

std::vector<CXTPMarkupTextBlock*> TextBlocks(CXTPMarkupVisual* pRoot)
{
    std::vector<CXTPMarkupTextBlock*> found;
    CollectTextBlocks(pRoot, found);
    return found;
}

std::vector<std::wstring> LineTexts(const CXTPMarkupTextBlock* pTextBlock)
{
    std::vector<std::wstring> texts;
    for (const CXTPMarkupTextBlock::CLineInfo& line : pTextBlock->GetLines())
    {
        std::wstring strLine;
        for (const CXTPMarkupTextBlock::CPieceInfo& piece : line.pieces)
        {
            const CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(piece.pInline);
            if (!pRun)
            {
                strLine += L"[]";
                continue;
            }
            const std::wstring strText = pRun->GetText();
            const size_t nStart = piece.nStart < 0 ? strText.size() : piece.nStart;
            const size_t nEnd = piece.nEnd < 0 ? strText.size() : piece.nEnd;
            strLine += strText.substr(nStart, nEnd - nStart);
        }
        texts.push_back(strLine);
    }
    return texts;
}

Ptr<CXTPMarkupTextBlock> NewTextBlock(const std::wstring& strText, CXTPMarkupHost* pHost)
{
    Ptr<CXTPMarkupTextBlock> textBlock(
        static_cast<CXTPMarkupTextBlock*>(CXTPMarkupType::CreateObject(pHost, MARKUP_TYPE(CXTPMarkupTextBlock))));
    textBlock->SetValue(CXTPMarkupTextBlock::m_pTextProperty, CXTPMarkupString::CreateValue(strText.c_str()));
    return textBlock;
}

int TextWidth(const LOGFONTA& lf, const std::wstring& strText)
{
    CXTPMemoryDC dc;
    CXTPGdiObject<HFONT> font(CreateFontIndirectA(&lf));
    CXTPSelectObject select(dc.Get(), font.Get());
    SIZE sz = {0, 0};
    GetTextExtentPoint32W(dc.Get(), strText.c_str(), static_cast<int>(strText.size()), &sz);
    return sz.cx;
}

LOGFONTA FontOf(const CXTPMarkupRun* pRun)
{
    LOGFONTA lf = {};
    if (pRun && pRun->GetFont())
        lf = pRun->GetFont()->GetLogFont();
    return lf;
}

CHostHolder::CHostHolder() : pHost(new CRecordingHost()) {}

CHostHolder::~CHostHolder()
{
    pHost->Release();
}

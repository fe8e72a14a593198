#include "markup/elements/Run.h"

#include "markup/elements/ElementContext.h"

#include "markup/elements/Painter.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include "toolkit/CodePage.h"

#include <algorithm>
#include <cstddef>
#include <vector>

IMPLEMENT_MARKUPCLASS(L"Run", CXTPMarkupRun, CXTPMarkupInline)
IMPLEMENT_MARKUPCLASS(L"LineBreak", CXTPMarkupLineBreak, CXTPMarkupRun)

CXTPMarkupDependencyProperty* CXTPMarkupRun::m_pTextProperty = nullptr;

void CXTPMarkupRun::RegisterMarkupProperties()
{
    m_pTextProperty = CXTPMarkupDependencyProperty::Register(
        L"Text", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CXTPMarkupRun),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
}

namespace
{
// Runs below this length are measured whole even where only a bound is asked.
constexpr int kShortRange = 256;
// The first piece of a long run measured for a bound or a fit; it doubles
// until it reaches past the limit.
constexpr int kFirstWindow = 64;

bool IsHighSurrogate(WCHAR ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}

bool IsLowSurrogate(WCHAR ch)
{
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// Text of runs made without any host: the message-box font the host would
// have given them.
const LOGFONTA& StandaloneDefaultFont()
{
    static const LOGFONTA s_lf = []
    {
        NONCLIENTMETRICSA ncm = {};
        const UINT cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        ncm.cbSize = cbSize;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, cbSize, &ncm, 0))
            return ncm.lfMessageFont;
        LOGFONTA lf = {};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        return lf;
    }();
    return s_lf;
}

// A face name in the ANSI code page, cut at a character boundary where it
// does not fit the 31 bytes of a font description.
void CopyFaceName(LPCWSTR lpszFace, int nLength, CHAR (&szFace)[LF_FACESIZE])
{
    szFace[0] = '\0';
    const std::string buffer = XTPToMultiByte(lpszFace, nLength, CP_ACP);
    const int cbNeeded = static_cast<int>(buffer.size());
    int cb = 0;
    while (cb < cbNeeded)
    {
        const int cbChar = IsDBCSLeadByte(static_cast<BYTE>(buffer[cb])) && cb + 1 < cbNeeded ? 2 : 1;
        if (cb + cbChar > LF_FACESIZE - 1)
            break;
        cb += cbChar;
    }
    std::copy(buffer.begin(), buffer.begin() + cb, szFace);
    szFace[cb] = '\0';
}
} // namespace

CXTPMarkupRun::CXTPMarkupRun() : m_nDescent(0), m_pFont(nullptr) {}

CXTPMarkupRun::~CXTPMarkupRun()
{
    if (m_pFont)
        m_pFont->Release();
}

LPCWSTR CXTPMarkupRun::GetText() const
{
    const CXTPMarkupString* pText = MarkupCast<CXTPMarkupString>(GetValue(m_pTextProperty));
    return pText ? pText->GetText() : L"";
}

int CXTPMarkupRun::GetLength() const
{
    const CXTPMarkupString* pText = MarkupCast<CXTPMarkupString>(GetValue(m_pTextProperty));
    return pText ? pText->GetLength() : 0;
}

void CXTPMarkupRun::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    if (MarkupCast<CXTPMarkupString>(pContent))
    {
        SetValue(m_pTextProperty, pContent);
        return;
    }
    CXTPMarkupInline::AddContent(pBuilder, pContent);
}

BOOL CXTPMarkupRun::HasContent() const
{
    return GetValue(m_pTextProperty) != nullptr;
}

int CXTPMarkupRun::GetTextStart() const
{
    return GetLength() > 0 ? 0 : kEnd;
}

int CXTPMarkupRun::NextPosition(LPCWSTR lpszText, int nLength, int nPos)
{
    if (nPos < 0 || nPos >= nLength)
        return kEnd;
    int nNext = nPos + 1;
    if (IsHighSurrogate(lpszText[nPos]) && nNext < nLength && IsLowSurrogate(lpszText[nNext]))
        ++nNext;
    return nNext < nLength ? nNext : kEnd;
}

int CXTPMarkupRun::Advance(int nPos) const
{
    return NextPosition(GetText(), GetLength(), nPos);
}

BOOL CXTPMarkupRun::IsWhiteSpaceAt(int nPos) const
{
    return nPos >= 0 && nPos < GetLength() && IsWhiteSpaceChar(GetText()[nPos]);
}

BOOL CXTPMarkupRun::IsLineBreakAt(int nPos) const
{
    return nPos >= 0 && nPos < GetLength() && GetText()[nPos] == L'\n';
}

BOOL CXTPMarkupRun::IsSpaceAt(int nPos) const
{
    if (nPos < 0 || nPos >= GetLength())
        return FALSE;
    const WCHAR ch = GetText()[nPos];
    return ch == L' ' || ch == L'\t';
}

BOOL CXTPMarkupRun::GetRange(int nStart, int nEnd, int& nOffset, int& nCount) const
{
    const int nLength = GetLength();
    if (nEnd == kEnd)
        nEnd = nLength;
    if (nStart < 0 || nStart > nEnd || nEnd > nLength)
        return FALSE;
    nOffset = nStart;
    nCount = nEnd - nStart;
    return TRUE;
}

void CXTPMarkupRun::SelectFont(CXTPMarkupPainter* pPainter)
{
    if (m_pFont)
        pPainter->SetFont(m_pFont);
    else
        PrepareFont(pPainter);
}

SIZE CXTPMarkupRun::MeasureRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd)
{
    SelectFont(pPainter);
    if (nStart == nEnd)
        return {0, pPainter->GetTextExtent(L" ", 1).cy};
    int nOffset = 0;
    int nCount = 0;
    if (!GetRange(nStart, nEnd, nOffset, nCount))
        return {0, 0};
    return pPainter->GetTextExtent(GetText() + nOffset, nCount);
}

SIZE CXTPMarkupRun::MeasureRangeUpTo(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nLimit)
{
    int nOffset = 0;
    int nCount = 0;
    if (nStart == nEnd || !GetRange(nStart, nEnd, nOffset, nCount) || nCount <= kShortRange)
        return MeasureRange(pPainter, nStart, nEnd);

    // Widths only grow as characters are added, so a piece already wider
    // than the limit tells as much as the whole range would.
    SelectFont(pPainter);
    LPCWSTR lpszText = GetText() + nOffset;
    for (int nWindow = kFirstWindow;; nWindow *= 2)
    {
        int nPiece = std::min(nWindow, nCount);
        if (nPiece < nCount && IsHighSurrogate(lpszText[nPiece - 1]))
            ++nPiece;
        const SIZE sz = pPainter->GetTextExtent(lpszText, nPiece);
        if (sz.cx > nLimit || nPiece >= nCount)
            return sz;
    }
}

BOOL CXTPMarkupRun::MeasurePrefixes(CXTPMarkupPainter* pPainter, int nStart, int nCount, int* pExtents, SIZE& sz)
{
    int nOffset = 0;
    int nChecked = 0;
    if (nCount <= 0 || !GetRange(nStart, nStart + nCount, nOffset, nChecked))
        return FALSE;
    SelectFont(pPainter);
    return pPainter->GetTextExtents(GetText() + nOffset, nCount, pExtents, sz);
}

int CXTPMarkupRun::FitRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd, int nMaxExtent)
{
    int nOffset = 0;
    int nCount = 0;
    if (nStart == nEnd || !GetRange(nStart, nEnd, nOffset, nCount) || nMaxExtent < 0)
        return nStart;

    // GDI counts what fits in one pass; a long run is asked in growing
    // pieces, so that a line costs about the text it holds.
    SelectFont(pPainter);
    LPCWSTR lpszText = GetText() + nOffset;
    int nFit = 0;
    for (int nWindow = kFirstWindow;; nWindow *= 2)
    {
        const int nPiece = std::min(nWindow, nCount);
        nFit = pPainter->GetTextFit(lpszText, nPiece, nMaxExtent);
        if (nFit < nPiece || nPiece == nCount)
            break;
    }
    if (nFit > 0 && nFit < nCount && IsHighSurrogate(lpszText[nFit - 1]) && IsLowSurrogate(lpszText[nFit]))
        --nFit;

    // The layout measures ranges whole; the answer is checked against those
    // widths, so that the count agrees with them even where GDI rounds
    // differently.
    auto widthTo = [&](int n) { return n == 0 ? 0 : pPainter->GetTextExtent(lpszText, n).cx; };
    while (nFit > 0 && widthTo(nFit) > nMaxExtent)
        nFit -= nFit >= 2 && IsLowSurrogate(lpszText[nFit - 1]) && IsHighSurrogate(lpszText[nFit - 2]) ? 2 : 1;
    while (nFit < nCount)
    {
        int nNext = nFit + 1;
        if (nNext < nCount && IsHighSurrogate(lpszText[nFit]) && IsLowSurrogate(lpszText[nNext]))
            ++nNext;
        if (widthTo(nNext) > nMaxExtent)
            break;
        nFit = nNext;
    }
    const int nPos = nOffset + nFit;
    return nPos >= GetLength() ? kEnd : nPos;
}

void CXTPMarkupRun::RenderRange(CXTPMarkupPainter* pPainter, const RECT& rc, int nStart, int nEnd)
{
    int nOffset = 0;
    int nCount = 0;
    if (nStart == nEnd || !GetRange(nStart, nEnd, nOffset, nCount))
        return;
    SelectFont(pPainter);
    pPainter->DrawTextLine(GetText() + nOffset, nCount, rc);
}

void CXTPMarkupRun::GetLogFont(LOGFONTA& lf) const
{
    const CXTPMarkupElementContext* pContext = FindMarkupContext();
    lf = pContext ? pContext->GetDefaultFont() : StandaloneDefaultFont();

    if (const CXTPMarkupInt* pSize = MarkupCast<CXTPMarkupInt>(GetValue(m_pFontSizeProperty)))
        lf.lfHeight = -static_cast<int>(*pSize);
    if (const CXTPMarkupEnum* pWeight = MarkupCast<CXTPMarkupEnum>(GetValue(m_pFontWeightProperty)))
        lf.lfWeight = static_cast<int>(*pWeight);
    if (const CXTPMarkupEnum* pStyle = MarkupCast<CXTPMarkupEnum>(GetValue(m_pFontStyleProperty)))
        lf.lfItalic = static_cast<int>(*pStyle) != 0;
    if (const CXTPMarkupEnum* pQuality = MarkupCast<CXTPMarkupEnum>(GetValue(m_pFontQualityProperty)))
        lf.lfQuality = static_cast<BYTE>(static_cast<int>(*pQuality));
    if (const CXTPMarkupString* pFamily = MarkupCast<CXTPMarkupString>(GetValue(m_pFontFamilyProperty)))
        CopyFaceName(pFamily->GetText(), pFamily->GetLength(), lf.lfFaceName);
}

void CXTPMarkupRun::PrepareFont(CXTPMarkupPainter* pPainter)
{
    LOGFONTA lf;
    GetLogFont(lf);
    if (!m_pFont || !m_pFont->IsSameFont(lf))
    {
        CXTPMarkupElementContext* pContext = FindMarkupContext();
        CXTPMarkupFont* pFont = pContext ? pContext->GetCachedFont(lf) : pPainter->CreateUnsharedFont(lf);
        if (m_pFont)
            m_pFont->Release();
        m_pFont = pFont;
    }
    pPainter->SetFont(m_pFont);
    TEXTMETRICW tm;
    m_nDescent = pPainter->GetTextMetrics(tm) ? tm.tmDescent : 0;
}

CXTPMarkupLineBreak::CXTPMarkupLineBreak()
{
    SetValue(m_pTextProperty, CXTPMarkupString::CreateValue(L"\n"));
}

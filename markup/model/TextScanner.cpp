#include "markup/model/TextScanner.h"

#include <climits>

namespace
{
int Saturate(long long nValue)
{
    if (nValue > INT_MAX)
        return INT_MAX;
    if (nValue < INT_MIN)
        return INT_MIN;
    return static_cast<int>(nValue);
}

// Accumulates digits into a magnitude that stops growing once it is past any
// 32-bit result, so even a 100 000-digit text cannot overflow it.
void AddDigit(long long& nMagnitude, int nDigit, int nBase)
{
    const long long kCeiling = 0x100000000LL;
    nMagnitude = nMagnitude * nBase + nDigit;
    if (nMagnitude > kCeiling)
        nMagnitude = kCeiling;
}
} // namespace

CXTPMarkupTextScanner::CXTPMarkupTextScanner(LPCWSTR lpszText, int nLength)
    : m_lpszText(lpszText), m_nLength(lpszText && nLength > 0 ? nLength : 0), m_nPos(0)
{
}

BOOL CXTPMarkupTextScanner::IsSpace(WCHAR ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

int CXTPMarkupTextScanner::DigitValue(WCHAR ch, int nBase)
{
    int nDigit;
    if (ch >= '0' && ch <= '9')
        nDigit = ch - '0';
    else if (ch >= 'a' && ch <= 'f')
        nDigit = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F')
        nDigit = ch - 'A' + 10;
    else
        return -1;
    return nDigit < nBase ? nDigit : -1;
}

void CXTPMarkupTextScanner::SkipWhitespace()
{
    while (!AtEnd() && IsSpace(m_lpszText[m_nPos]))
        ++m_nPos;
}

void CXTPMarkupTextScanner::SkipSpaces()
{
    while (!AtEnd() && m_lpszText[m_nPos] == ' ')
        ++m_nPos;
}

BOOL CXTPMarkupTextScanner::SkipChar(WCHAR ch)
{
    if (AtEnd() || m_lpszText[m_nPos] != ch)
        return FALSE;
    ++m_nPos;
    return TRUE;
}

int CXTPMarkupTextScanner::ReadLong()
{
    SkipWhitespace();
    BOOL bNegative = FALSE;
    if (Peek() == '-' || Peek() == '+')
        bNegative = m_lpszText[m_nPos++] == '-';
    long long nMagnitude = 0;
    for (int nDigit; !AtEnd() && (nDigit = DigitValue(m_lpszText[m_nPos], 10)) >= 0; ++m_nPos)
        AddDigit(nMagnitude, nDigit, 10);
    return Saturate(bNegative ? -nMagnitude : nMagnitude);
}

BOOL CXTPMarkupTextScanner::ScanInteger(int& nValue)
{
    int nStart = m_nPos;
    SkipWhitespace();
    BOOL bNegative = FALSE;
    if (Peek() == '-' || Peek() == '+')
        bNegative = m_lpszText[m_nPos++] == '-';

    int nBase = 10;
    if (Peek() == '0')
    {
        nBase = 8;
        // "0x" selects hexadecimal only when a hexadecimal digit follows;
        // otherwise the 0 is the number and the x stays unread.
        if (m_nPos + 2 < m_nLength && (m_lpszText[m_nPos + 1] == 'x' || m_lpszText[m_nPos + 1] == 'X')
            && DigitValue(m_lpszText[m_nPos + 2], 16) >= 0)
        {
            nBase = 16;
            m_nPos += 2;
        }
    }

    long long nMagnitude = 0;
    int nDigits = 0;
    for (int nDigit; !AtEnd() && (nDigit = DigitValue(m_lpszText[m_nPos], nBase)) >= 0; ++m_nPos, ++nDigits)
        AddDigit(nMagnitude, nDigit, nBase);
    if (nDigits == 0)
    {
        m_nPos = nStart;
        return FALSE;
    }
    nValue = Saturate(bNegative ? -nMagnitude : nMagnitude);
    return TRUE;
}

BOOL CXTPMarkupTextScanner::ScanHex(int nWidth, UINT& nValue)
{
    int nStart = m_nPos;
    SkipWhitespace();
    int nEnd = nWidth > 0 && m_nLength - m_nPos > nWidth ? m_nPos + nWidth : m_nLength;

    BOOL bNegative = FALSE;
    if (m_nPos < nEnd && (m_lpszText[m_nPos] == '-' || m_lpszText[m_nPos] == '+'))
        bNegative = m_lpszText[m_nPos++] == '-';
    if (m_nPos + 2 < nEnd && m_lpszText[m_nPos] == '0'
        && (m_lpszText[m_nPos + 1] == 'x' || m_lpszText[m_nPos + 1] == 'X')
        && DigitValue(m_lpszText[m_nPos + 2], 16) >= 0)
    {
        m_nPos += 2;
    }

    long long nMagnitude = 0;
    int nDigits = 0;
    for (int nDigit; m_nPos < nEnd && (nDigit = DigitValue(m_lpszText[m_nPos], 16)) >= 0; ++m_nPos, ++nDigits)
        AddDigit(nMagnitude, nDigit, 16);
    if (nDigits == 0)
    {
        m_nPos = nStart;
        return FALSE;
    }
    // Unsigned conversions saturate at the top and wrap a negated magnitude.
    UINT nMagnitude32 = nMagnitude > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<UINT>(nMagnitude);
    nValue = bNegative ? 0u - nMagnitude32 : nMagnitude32;
    return TRUE;
}

BOOL CXTPMarkupTextScanner::EqualsNoCase(LPCWSTR lpszText, int nLength, LPCSTR lpszKeyword)
{
    if (!lpszText)
        nLength = 0;
    int i = 0;
    for (; i < nLength && lpszKeyword[i]; ++i)
    {
        WCHAR ch = lpszText[i];
        if (ch >= 'A' && ch <= 'Z')
            ch += 'a' - 'A';
        char chKey = lpszKeyword[i];
        if (chKey >= 'A' && chKey <= 'Z')
            chKey += 'a' - 'A';
        if (ch != static_cast<WCHAR>(static_cast<unsigned char>(chKey)))
            return FALSE;
    }
    return i == nLength && lpszKeyword[i] == '\0';
}

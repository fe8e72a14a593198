// Reads numbers and keywords from UTF-16 text of known length, the way the C
// runtime's atol and scanf conversions read them.
#pragma once

#include <windows.h>

// Never looks past the given length, so the text needs no terminator; a NUL
// inside it is an ordinary character. Only ASCII characters are digits,
// letters or white space.
class CXTPMarkupTextScanner
{
public:
    CXTPMarkupTextScanner(LPCWSTR lpszText, int nLength);

    BOOL AtEnd() const { return m_nPos >= m_nLength; }
    WCHAR Peek() const { return AtEnd() ? 0 : m_lpszText[m_nPos]; }
    int GetPosition() const { return m_nPos; }

    // White space as the C runtime knows it: space, tab, CR, LF, VT, FF.
    void SkipWhitespace();
    void SkipSpaces(); // U+0020 only
    // Consumes ch when it is next.
    BOOL SkipChar(WCHAR ch);

    // atol: white space, one sign, decimal digits up to the first non-digit.
    // Never fails (no digits read as 0); saturates at the 32-bit limits.
    int ReadLong();

    // scanf "%i": white space, a sign, then hexadecimal after 0x, octal after
    // a leading 0, decimal otherwise; saturates at the 32-bit limits. FALSE
    // (nothing consumed) when no digit follows.
    BOOL ScanInteger(int& nValue);

    // scanf "%Nx" with field width nWidth (0 for none): white space, then at
    // most nWidth characters of sign, optional 0x and hexadecimal digits.
    BOOL ScanHex(int nWidth, UINT& nValue);

    static BOOL IsSpace(WCHAR ch);
    static int DigitValue(WCHAR ch, int nBase); // -1 when ch is not a digit of nBase

    // Whole-text comparison with an ASCII keyword, ignoring ASCII case.
    static BOOL EqualsNoCase(LPCWSTR lpszText, int nLength, LPCSTR lpszKeyword);

private:
    LPCWSTR m_lpszText;
    int m_nLength;
    int m_nPos;
};

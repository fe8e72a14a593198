// Text between UTF-16 and the 8-bit code pages, the two ways every part of
// the program converts it.
#pragma once

#include <windows.h>

#include <string>

// nLength characters or bytes of the text; -1 reads up to its terminator,
// which the result leaves out. Characters the target lacks become the code
// page's default character; embedded NULs are kept. Empty for no text.
inline std::wstring XTPToWide(const char* pszText, int nLength, UINT nCodePage)
{
    if (!pszText || nLength == 0)
        return std::wstring();
    const int nWide = ::MultiByteToWideChar(nCodePage, 0, pszText, nLength, nullptr, 0);
    if (nWide <= 0)
        return std::wstring();
    std::wstring strWide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(nCodePage, 0, pszText, nLength, &strWide[0], nWide);
    if (nLength < 0)
        strWide.pop_back();
    return strWide;
}

inline std::string XTPToMultiByte(const wchar_t* pszText, int nLength, UINT nCodePage)
{
    if (!pszText || nLength == 0)
        return std::string();
    const int nBytes = ::WideCharToMultiByte(nCodePage, 0, pszText, nLength, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return std::string();
    std::string strBytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(nCodePage, 0, pszText, nLength, &strBytes[0], nBytes, nullptr, nullptr);
    if (nLength < 0)
        strBytes.pop_back();
    return strBytes;
}

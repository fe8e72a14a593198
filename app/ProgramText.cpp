#include "app/ProgramText.h"

std::wstring WidenProgramText(const char* pszText)
{
    const int nLength = ::MultiByteToWideChar(kProgramCodePage, 0, pszText, -1, NULL, 0);
    if (nLength <= 1)
        return std::wstring();
    std::wstring strText(static_cast<size_t>(nLength), L'\0');
    ::MultiByteToWideChar(kProgramCodePage, 0, pszText, -1, &strText[0], nLength);
    strText.resize(static_cast<size_t>(nLength - 1));
    return strText;
}

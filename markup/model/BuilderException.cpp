#include "markup/model/BuilderException.h"

#include "toolkit/CodePage.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <string>

namespace
{
// Appends whole characters of an ANSI text while they fit, so a cut never
// leaves half of a double-byte character behind.
void AppendAnsi(std::string& strOut, const char* pszText, size_t nLength)
{
    for (size_t i = 0; i < nLength && strOut.size() < CXTPMarkupBuilderException::kMaxMessage;)
    {
        size_t nChar = (IsDBCSLeadByte(static_cast<BYTE>(pszText[i])) && i + 1 < nLength) ? 2 : 1;
        if (strOut.size() + nChar > CXTPMarkupBuilderException::kMaxMessage)
            break;
        strOut.append(pszText + i, nChar);
        i += nChar;
    }
}

void AppendWide(std::string& strOut, const wchar_t* pszText)
{
    if (!pszText)
        return;
    int nWide = static_cast<int>(wcslen(pszText));
    if (nWide == 0)
        return;
    const std::string strAnsi = XTPToMultiByte(pszText, nWide, CP_ACP);
    if (strAnsi.empty())
        return;
    AppendAnsi(strOut, strAnsi.data(), strAnsi.size());
}
} // namespace

CXTPMarkupBuilderException::CXTPMarkupBuilderException(const char* pszFormat, ...)
{
    std::string strOut;
    va_list args;
    va_start(args, pszFormat);
    for (const char* p = pszFormat; *p && strOut.size() < kMaxMessage; ++p)
    {
        if (*p != '%')
        {
            strOut += *p;
            continue;
        }
        ++p;
        switch (*p)
        {
        case 'l':
            if (p[1] == 's')
            {
                ++p;
                AppendWide(strOut, va_arg(args, const wchar_t*));
            }
            break;
        case 's':
            if (const char* pszText = va_arg(args, const char*))
                AppendAnsi(strOut, pszText, strlen(pszText));
            break;
        case 'i':
        case 'd': strOut += std::to_string(va_arg(args, int)); break;
        case 'u': strOut += std::to_string(va_arg(args, unsigned)); break;
        case '%': strOut += '%'; break;
        case '\0':
            --p; // a lone % at the end
            break;
        default:
            strOut += '%';
            strOut += *p;
            break;
        }
    }
    va_end(args);
    strOut.resize(std::min<size_t>(strOut.size(), kMaxMessage));
    memcpy(m_szMessage, strOut.c_str(), strOut.size() + 1);
}

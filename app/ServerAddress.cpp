#include "app/ServerAddress.h"

#include <cstring>

namespace
{
bool IsHostText(const std::string& strHost)
{
    if (strHost.empty() || strHost.size() > CServerAddress::kMaxHostLength)
        return false;
    for (char c : strHost)
    {
        const bool bLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool bDigit = c >= '0' && c <= '9';
        if (!bLetter && !bDigit && c != '-' && c != '.' && c != '_')
            return false;
    }
    return true;
}
} // namespace

BOOL CServerAddress::ParsePort(LPCSTR pszText, USHORT& nPort)
{
    const size_t nLength = strlen(pszText);
    if (nLength == 0 || nLength > 5)
        return FALSE;
    long nValue = 0;
    for (LPCSTR p = pszText; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return FALSE;
        nValue = nValue * 10 + (*p - '0');
    }
    if (nValue < 1 || nValue > 65535)
        return FALSE;
    nPort = static_cast<USHORT>(nValue);
    return TRUE;
}

BOOL CServerAddress::Parse(LPCSTR pszText)
{
    const LPCSTR pszColon = strchr(pszText, ':');
    const std::string strNewHost = pszColon ? std::string(pszText, pszColon) : std::string(pszText);
    USHORT nNewPort = CSntpQuery::kNtpPort;
    if (pszColon != NULL && !ParsePort(pszColon + 1, nNewPort))
        return FALSE;
    if (!IsHostText(strNewHost))
        return FALSE;
    strHost = strNewHost;
    nPort = nNewPort;
    return TRUE;
}

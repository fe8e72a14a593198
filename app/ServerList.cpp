#include "app/ServerList.h"

#include <cstring>

namespace
{
const char* const kSeparators = " ,\t";
} // namespace

CServerList::CServerList()
{
    Parse(kDefaultServers);
}

size_t CServerList::Parse(LPCSTR pszText)
{
    std::vector<Entry> servers;
    const std::string strText = pszText;
    size_t nStart = strText.find_first_not_of(kSeparators);
    while (nStart != std::string::npos)
    {
        const size_t nEnd = strText.find_first_of(kSeparators, nStart);
        const std::string strEntry = strText.substr(nStart, nEnd == std::string::npos ? nEnd : nEnd - nStart);
        Entry entry;
        if (entry.address.Parse(strEntry.c_str()))
            servers.push_back(entry);
        nStart = nEnd == std::string::npos ? nEnd : strText.find_first_not_of(kSeparators, nEnd);
    }
    const size_t nTaken = servers.size();
    if (servers.empty())
    {
        // Mistyped text leaves the public servers rather than none; their
        // own text always parses, so this goes one level deep.
        Parse(kDefaultServers);
        return 0;
    }
    m_servers = servers;
    return nTaken;
}

std::string CServerList::Describe() const
{
    std::string strText;
    for (const Entry& entry : m_servers)
    {
        if (!strText.empty())
            strText += ' ';
        strText += entry.address.strHost + ":" + std::to_string(entry.address.nPort);
    }
    return strText;
}

size_t CServerList::ForAttempt(int nAttempt) const
{
    const size_t nCount = m_servers.size();
    for (size_t nStep = 0; nStep < nCount; ++nStep)
    {
        const size_t nIndex = (static_cast<size_t>(nAttempt) + nStep) % nCount;
        if (!m_servers[nIndex].bRefused)
            return nIndex;
    }
    return kNone;
}

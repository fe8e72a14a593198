// The time servers a synchronisation asks in turn, and which of them have
// told us to stop asking.
#pragma once

#include "app/ServerAddress.h"

#include <windows.h>

#include <string>
#include <vector>

class CServerList
{
public:
    static constexpr const char* kDefaultServers = "ntp.aliyun.com ntp.tencent.com ntp.ntsc.ac.cn";
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // The default list.
    CServerList();

    // "HOST[:PORT]" entries separated by spaces or commas. A malformed entry
    // is skipped; text without a usable entry gives the default list. The
    // number of entries taken from the text.
    size_t Parse(LPCSTR pszText);

    size_t GetCount() const { return m_servers.size(); }
    const CServerAddress& GetAt(size_t nIndex) const { return m_servers[nIndex].address; }
    // "host:port" entries joined by spaces.
    std::string Describe() const;

    // A server that sent a kiss-o'-death is not asked again while the
    // program runs.
    void MarkRefused(size_t nIndex) { m_servers[nIndex].bRefused = true; }
    bool IsRefused(size_t nIndex) const { return m_servers[nIndex].bRefused; }

    // The server of the nth attempt (from 0), going round the list and past
    // the refused ones; kNone when every one is refused.
    size_t ForAttempt(int nAttempt) const;

private:
    struct Entry
    {
        CServerAddress address;
        bool bRefused = false;
    };

    std::vector<Entry> m_servers;
};

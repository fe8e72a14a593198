// clockquery [HOST[:PORT]...] or clockquery HOST PORT: asks time servers how
// far this computer's clock is off, as the program does before it sets the
// clock, and never sets it.
#include "app/ServerList.h"
#include "app/SntpQuery.h"
#include "app/SyncPlatform.h"
#include "app/SyncWorker.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
int Usage()
{
    fprintf(stderr, "usage: clockquery [HOST[:PORT]...]\n       clockquery HOST PORT\n");
    return 2;
}

// A bare number is a port of the old two-word form, never a host.
bool LooksLikePort(const char* pszText)
{
    return *pszText >= '0' && *pszText <= '9' && strpbrk(pszText, ".:") == NULL;
}

// The servers named on the command line; FALSE for bad usage.
bool ReadServers(int argc, char** argv, CServerList& servers)
{
    if (argc == 3 && LooksLikePort(argv[2]))
    {
        USHORT nPort = 0;
        if (!CServerAddress::ParsePort(argv[2], nPort) || *argv[1] == '-' || strchr(argv[1], ':') != NULL)
            return false;
        const std::string strEntry = std::string(argv[1]) + ":" + argv[2];
        return servers.Parse(strEntry.c_str()) == 1;
    }
    std::string strList;
    for (int nArg = 1; nArg < argc; ++nArg)
    {
        // Each argument one server: separators inside one would split it.
        if (*argv[nArg] == '-' || LooksLikePort(argv[nArg]) || strpbrk(argv[nArg], " ,\t") != NULL)
            return false;
        CServerAddress address;
        if (!address.Parse(argv[nArg]))
            return false;
        strList += std::string(argv[nArg]) + " ";
    }
    if (argc > 1)
        servers.Parse(strList.c_str());
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    CServerList servers;
    if (!ReadServers(argc, argv, servers))
        return Usage();

    CSyncPlatform platform;
    CSntpQuery query;
    SntpResult result;
    size_t nServer = CServerList::kNone;
    if (CSyncWorker::Measure(platform, query, servers, result, nServer))
    {
        printf("server=%s stratum=%d offset=%+.6f delay=%.6f\n", servers.GetAt(nServer).strHost.c_str(),
               result.nStratum, result.dOffset, result.dDelay);
        return 0;
    }
    std::string strTried;
    for (size_t nIndex = 0; nIndex < servers.GetCount(); ++nIndex)
    {
        const CServerAddress& server = servers.GetAt(nIndex);
        strTried += (nIndex ? ", " : "") + server.strHost + ":" + std::to_string(server.nPort);
    }
    fprintf(stderr, "clockquery: no valid reply from %s\n", strTried.c_str());
    return 1;
}

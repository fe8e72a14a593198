// clockquery [HOST [PORT]]: asks a time server how far this computer's clock
// is off, as the program does before it sets the clock, and never sets it.
#include "app/ServerAddress.h"
#include "app/SntpQuery.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const int kAttempts = 3;

int Usage()
{
    fprintf(stderr, "usage: clockquery [HOST [PORT]]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 3)
        return Usage();
    const char* pszHost = argc > 1 ? argv[1] : CSntpQuery::kPublicServer;
    USHORT nPort = CSntpQuery::kNtpPort;
    if (*pszHost == '\0' || *pszHost == '-')
        return Usage();
    if (argc > 2 && !CServerAddress::ParsePort(argv[2], nPort))
        return Usage();

    WSADATA wsaData;
    WSAStartup(MAKEWORD(2, 0), &wsaData);

    CSntpQuery query;
    SntpResult result;
    for (int nAttempt = 0; nAttempt < kAttempts; ++nAttempt)
    {
        if (query.QueryServer(pszHost, result, nPort))
        {
            printf("server=%s stratum=%d offset=%+.6f delay=%.6f\n", pszHost, result.nStratum, result.dOffset,
                   result.dDelay);
            return 0;
        }
    }
    fprintf(stderr, "clockquery: no valid reply from %s:%u\n", pszHost, nPort);
    return 1;
}

// clockquery [HOST [PORT]]: asks a time server how far this computer's clock
// is off, as the program does before it sets the clock, and never sets it.
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

bool ParsePort(const char* pszText, USHORT& nPort)
{
    if (*pszText == '\0' || strlen(pszText) > 5)
        return false;
    long nValue = 0;
    for (const char* p = pszText; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        nValue = nValue * 10 + (*p - '0');
    }
    if (nValue < 1 || nValue > 65535)
        return false;
    nPort = static_cast<USHORT>(nValue);
    return true;
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
    if (argc > 2 && !ParsePort(argv[2], nPort))
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

// A time server as the user names it: "host" or "host:port", the host a
// name or a dotted IPv4 address.
#pragma once

#include "app/SntpQuery.h"

#include <windows.h>

#include <string>

class CServerAddress
{
public:
    static constexpr size_t kMaxHostLength = 253;

    std::string strHost = CSntpQuery::kPublicServer;
    USHORT nPort = CSntpQuery::kNtpPort;

    // FALSE, leaving the address as it was, for an empty host, a port that
    // is not a number from 1 to 65535, or a host with other characters than
    // letters, digits, '-', '.' and '_'.
    BOOL Parse(LPCSTR pszText);

    // Decimal digits only, 1 to 65535.
    static BOOL ParsePort(LPCSTR pszText, USHORT& nPort);
};

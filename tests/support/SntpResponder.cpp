#include "support/SntpResponder.h"

#include "app/NtpStamp.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace
{
const DWORD kPollMs = 50;

void Kiss(std::vector<BYTE>& reply, const char* pszCode)
{
    reply[1] = 0;
    memcpy(reply.data() + 12, pszCode, 4);
}
} // namespace

CSntpResponder::CSntpResponder()
{
    WSADATA wsaData;
    WSAStartup(MAKEWORD(2, 0), &wsaData);
    m_hSocket = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    int nLength = sizeof(address);
    if (m_hSocket == INVALID_SOCKET || bind(m_hSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
        || getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&address), &nLength) != 0)
        throw std::runtime_error("test responder cannot bind 127.0.0.1");
    m_nPort = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CSntpResponder::~CSntpResponder()
{
    m_bStop = true;
    m_thread.join();
    closesocket(m_hSocket);
    WSACleanup();
}

void CSntpResponder::SetBehaviour(const Behaviour& behaviour)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_behaviour = behaviour;
}

std::vector<BYTE> CSntpResponder::GetLastRequest()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastRequest;
}

CSntpResponder::Behaviour CSntpResponder::GetBehaviour()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_behaviour;
}

void CSntpResponder::Serve()
{
    while (!m_bStop)
    {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(m_hSocket, &readSet);
        timeval timeout = {0, static_cast<long>(kPollMs * 1000)};
        if (select(0, &readSet, NULL, NULL, &timeout) <= 0)
            continue;
        // Stamped on arrival, as the client stamps the reply, so that the two
        // paths are measured alike.
        const CNtpStamp now = CNtpStamp::Now();

        BYTE request[128];
        sockaddr_in peer = {};
        int nPeerLength = sizeof(peer);
        const int nBytes = recvfrom(m_hSocket, reinterpret_cast<char*>(request), sizeof(request), 0,
                                    reinterpret_cast<sockaddr*>(&peer), &nPeerLength);
        if (nBytes == SOCKET_ERROR)
            continue;
        const Behaviour behaviour = GetBehaviour();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lastRequest.assign(request, request + nBytes);
        }
        const CNtpStamp received = now + behaviour.dClockAhead;
        ++m_nRequests;
        if (nBytes < 48 || behaviour.fault == Silent || m_nRequests <= behaviour.nIgnoreFirst)
            continue;

        BYTE reply[48] = {};
        reply[0] = 0x24; // leap indicator 0, version 4, mode 4 (server)
        reply[1] = 2;
        memcpy(reply + 24, request + 40, 8);
        received.ToNetwork(reply + 32);
        if (behaviour.dwTurnaroundMs)
            Sleep(behaviour.dwTurnaroundMs);
        (CNtpStamp::Now() + behaviour.dClockAhead).ToNetwork(reply + 40);

        std::vector<BYTE> faulty(reply, reply + 48);
        faulty.resize(static_cast<size_t>(std::max(48, behaviour.nReplyBytes)));
        switch (behaviour.fault)
        {
        case ShortReply: faulty.resize(40); break;
        case ClientMode: faulty[0] = 0x23; break;
        case Version0: faulty[0] = 0x04; break;
        case Version5: faulty[0] = 0x2C; break;
        case Stratum0: faulty[1] = 0; break;
        case Stratum16: faulty[1] = 16; break;
        case Leap3: faulty[0] |= 0xC0; break;
        case ZeroTransmit: memset(faulty.data() + 40, 0, 8); break;
        case WrongOriginate: faulty[31] ^= 0x01; break;
        case KissDeny: Kiss(faulty, "DENY"); break;
        case KissRstr: Kiss(faulty, "RSTR"); break;
        case KissRate: Kiss(faulty, "RATE"); break;
        case None:
        case Silent: break;
        }
        const int nRequest = m_nRequests - 1;
        DWORD dwDelayMs = behaviour.dwReplyDelayMs;
        if (static_cast<size_t>(nRequest) < behaviour.extraDelaysMs.size())
            dwDelayMs += behaviour.extraDelaysMs[static_cast<size_t>(nRequest)];
        if (dwDelayMs)
            Sleep(dwDelayMs);
        const auto sendDatagram = [&](const std::vector<BYTE>& datagram)
        {
            sendto(m_hSocket, reinterpret_cast<const char*>(datagram.data()), static_cast<int>(datagram.size()), 0,
                   reinterpret_cast<sockaddr*>(&peer), nPeerLength);
        };
        sendDatagram(faulty);
        if (behaviour.bThenAnswer && behaviour.fault != None)
        {
            std::vector<BYTE> answer(reply, reply + 48);
            answer.resize(faulty.size() < 48 ? 48 : faulty.size());
            sendDatagram(answer);
        }
    }
}

#include "app/UdpLink.h"

CUdpLink::~CUdpLink()
{
    Close();
}

BOOL CUdpLink::Create()
{
    Close();
    m_hSocket = socket(AF_INET, SOCK_DGRAM, 0);
    return m_hSocket != INVALID_SOCKET;
}

BOOL CUdpLink::Connect(ULONG nAddress, USHORT nPort)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(nPort);
    address.sin_addr.s_addr = nAddress;
    return connect(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

BOOL CUdpLink::Send(const void* pData, int nBytes)
{
    return send(m_hSocket, static_cast<const char*>(pData), nBytes, 0) != SOCKET_ERROR;
}

CUdpLink::WaitResult CUdpLink::WaitReadable(DWORD dwTimeoutMs)
{
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(m_hSocket, &readSet);
    timeval timeout;
    timeout.tv_sec = static_cast<long>(dwTimeoutMs / 1000);
    timeout.tv_usec = static_cast<long>((dwTimeoutMs % 1000) * 1000);
    const int nReady = select(0, &readSet, NULL, NULL, &timeout);
    if (nReady == SOCKET_ERROR)
        return WaitFailed;
    return nReady == 0 ? TimedOut : Readable;
}

int CUdpLink::Receive(void* pBuffer, int nBytes)
{
    return recv(m_hSocket, static_cast<char*>(pBuffer), nBytes, 0);
}

void CUdpLink::Close()
{
    if (m_hSocket != INVALID_SOCKET)
    {
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

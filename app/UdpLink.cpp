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

CUdpLink::WaitResult CUdpLink::WaitReadable(DWORD dwTimeoutMs, HANDLE hCancel)
{
    // An event rather than select, so that one wait also watches the caller's
    // cancel event.
    if (m_hReadEvent == WSA_INVALID_EVENT)
    {
        m_hReadEvent = WSACreateEvent();
        if (m_hReadEvent == WSA_INVALID_EVENT)
            return WaitFailed;
        if (WSAEventSelect(m_hSocket, m_hReadEvent, FD_READ) != 0)
            return WaitFailed;
    }
    const WaitResult result = WaitFor(m_hReadEvent, dwTimeoutMs, hCancel);
    if (result == Readable)
    {
        // Resets the event; the next receive arms it again when more is queued.
        WSANETWORKEVENTS events;
        WSAEnumNetworkEvents(m_hSocket, m_hReadEvent, &events);
    }
    return result;
}

CUdpLink::WaitResult CUdpLink::WaitFor(HANDLE hObject, DWORD dwTimeoutMs, HANDLE hCancel)
{
    // The cancel event comes first: when both are set, cancelling wins.
    HANDLE handles[2];
    DWORD dwCount = 0;
    if (hCancel != NULL)
        handles[dwCount++] = hCancel;
    handles[dwCount++] = hObject;
    const DWORD dwWait = ::WaitForMultipleObjects(dwCount, handles, FALSE, dwTimeoutMs);
    if (dwWait == WAIT_TIMEOUT)
        return TimedOut;
    if (dwWait >= WAIT_OBJECT_0 + dwCount)
        return WaitFailed;
    return handles[dwWait - WAIT_OBJECT_0] == hCancel ? Cancelled : Readable;
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
    if (m_hReadEvent != WSA_INVALID_EVENT)
    {
        WSACloseEvent(m_hReadEvent);
        m_hReadEvent = WSA_INVALID_EVENT;
    }
}

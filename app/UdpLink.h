// One UDP socket, closed when the link goes away.
#pragma once

#include <winsock2.h>

class CUdpLink
{
public:
    enum WaitResult
    {
        Readable,
        TimedOut,
        WaitFailed,
        Cancelled,
    };

    CUdpLink() = default;
    ~CUdpLink();
    CUdpLink(const CUdpLink&) = delete;
    CUdpLink& operator=(const CUdpLink&) = delete;

    BOOL Create();
    // Only datagrams from this peer are received afterwards.
    BOOL Connect(ULONG nAddress, USHORT nPort);
    BOOL Send(const void* pData, int nBytes);
    // Also ends, with Cancelled, as soon as hCancel (when given) is signalled.
    // Readable may be stale: a receive can then find nothing (WSAEWOULDBLOCK).
    WaitResult WaitReadable(DWORD dwTimeoutMs, HANDLE hCancel = NULL);
    // Waits for any object the same way; Readable: hObject is signalled.
    static WaitResult WaitFor(HANDLE hObject, DWORD dwTimeoutMs, HANDLE hCancel);
    // The number of bytes received, or SOCKET_ERROR.
    int Receive(void* pBuffer, int nBytes);
    void Close();

private:
    SOCKET m_hSocket = INVALID_SOCKET;
    WSAEVENT m_hReadEvent = WSA_INVALID_EVENT;
};

#include "app/SingleInstance.h"

CSingleInstance::CSingleInstance(LPCWSTR pszName)
    : m_mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(Shared), pszName))
{
    // Made and tested in one call, so two copies started together cannot
    // both see themselves as the first.
    m_bFirst = !m_mapping || ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (m_mapping)
        m_pShared = static_cast<Shared*>(::MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
}

CSingleInstance::~CSingleInstance()
{
    if (m_pShared)
    {
        if (m_bFirst)
            ::InterlockedExchange64(&m_pShared->nWindow, 0);
        ::UnmapViewOfFile(m_pShared);
    }
}

void CSingleInstance::PublishWindow(HWND hWnd)
{
    if (!m_bFirst || !m_pShared)
        return;
    ::InterlockedExchange(&m_pShared->nProcessId, static_cast<LONG>(::GetCurrentProcessId()));
    ::InterlockedExchange64(&m_pShared->nWindow, reinterpret_cast<LONG_PTR>(hWnd));
}

BOOL CSingleInstance::WakeFirst(DWORD dwWaitMs) const
{
    if (m_bFirst || !m_pShared)
        return FALSE;
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        HWND hWnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(m_pShared->nWindow));
        if (hWnd != NULL && ::IsWindow(hWnd))
        {
            // Windows lets only the foreground's owner hand the foreground on;
            // a copy the user just started is that owner.
            ::AllowSetForegroundWindow(static_cast<DWORD>(m_pShared->nProcessId));
            return ::PostMessageW(hWnd, WakeMessage(), 0, 0);
        }
        if (::GetTickCount() - dwStart >= dwWaitMs)
            return FALSE;
        ::Sleep(50);
    }
}

UINT CSingleInstance::WakeMessage()
{
    static const UINT s_nMessage = ::RegisterWindowMessageW(L"Horaleon.clockfix.wake");
    return s_nMessage;
}

// One copy of the program per user session: the first copy publishes its
// window; a later one wakes that window and ends.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

class CSingleInstance
{
public:
    static constexpr const wchar_t* kProgramName = L"Local\\Horaleon.clockfix";
    // How long a second copy waits for the first copy's window to exist.
    static constexpr DWORD kWindowWaitMs = 10000;

    explicit CSingleInstance(LPCWSTR pszName = kProgramName);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // False for a copy started while another runs.
    bool IsFirst() const { return m_bFirst; }
    // The first copy's window, for later copies to find.
    void PublishWindow(HWND hWnd);
    // A later copy: posts WakeMessage to the first copy's window, letting it
    // take the foreground; FALSE when no window appeared within dwWaitMs.
    BOOL WakeFirst(DWORD dwWaitMs = kWindowWaitMs) const;

    // Posted to the first copy's window: restore and come to the front.
    static UINT WakeMessage();

private:
    struct Shared
    {
        volatile LONG64 nWindow;
        volatile LONG nProcessId;
    };

    CXTPKernelHandle m_mapping;
    Shared* m_pShared = nullptr;
    bool m_bFirst = true;
};

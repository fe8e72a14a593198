// Linked into clockfix.exe only in the tree that scripts/start-order builds,
// where everything else is compiled with -finstrument-functions: records each
// function the first time it runs, and some seconds after the start (the
// dialog painted and idle by then) writes their addresses, relative to the
// image, in the order they first ran, to the file that HORALEON_START_ORDER
// names. Nothing here may be instrumented: the hooks would call themselves.
#include <windows.h>

#include <cstdint>

extern "C"
{
    void __cyg_profile_func_enter(void* pFunction, void* pCallSite) __attribute__((no_instrument_function));
    void __cyg_profile_func_exit(void* pFunction, void* pCallSite) __attribute__((no_instrument_function));
}

namespace
{

const DWORD kRecordMilliseconds = 4000;
const size_t kSlots = 1 << 15; // well above the program's count of functions

SRWLOCK g_lock = SRWLOCK_INIT;
void* g_seen[kSlots];
void* g_order[kSlots];
size_t g_nOrdered = 0;
bool g_bStarted = false;
bool g_bWritten = false;

__attribute__((no_instrument_function)) void WriteOrder()
{
    WCHAR szPath[MAX_PATH];
    const DWORD nPath = ::GetEnvironmentVariableW(L"HORALEON_START_ORDER", szPath, MAX_PATH);
    if (nPath == 0 || nPath >= MAX_PATH)
        return;
    const HANDLE hFile = ::CreateFileW(szPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    const uintptr_t nBase = reinterpret_cast<uintptr_t>(::GetModuleHandleW(NULL));
    AcquireSRWLockExclusive(&g_lock);
    g_bWritten = true;
    for (size_t i = 0; i < g_nOrdered; ++i)
    {
        // Digits by hand: a library formatter's inline parts may be the
        // instrumented copies of other files, and the lock is held.
        uintptr_t nOffset = reinterpret_cast<uintptr_t>(g_order[i]) - nBase;
        char szLine[24];
        int nLength = 0;
        char szDigits[20];
        int nDigits = 0;
        do
        {
            szDigits[nDigits++] = "0123456789abcdef"[nOffset & 15];
            nOffset >>= 4;
        } while (nOffset != 0);
        while (nDigits > 0)
            szLine[nLength++] = szDigits[--nDigits];
        szLine[nLength++] = '\n';
        DWORD nWritten = 0;
        ::WriteFile(hFile, szLine, nLength, &nWritten, NULL);
    }
    ReleaseSRWLockExclusive(&g_lock);
    ::CloseHandle(hFile);
}

__attribute__((no_instrument_function)) DWORD WINAPI WriteOrderLater(LPVOID)
{
    ::Sleep(kRecordMilliseconds);
    WriteOrder();
    return 0;
}

} // namespace

void __cyg_profile_func_enter(void* pFunction, void*)
{
    size_t nSlot = (reinterpret_cast<uintptr_t>(pFunction) >> 4) & (kSlots - 1);
    AcquireSRWLockExclusive(&g_lock);
    if (!g_bStarted)
    {
        g_bStarted = true;
        ::CloseHandle(::CreateThread(NULL, 0, WriteOrderLater, NULL, 0, NULL));
    }
    while (!g_bWritten && g_seen[nSlot] != pFunction)
    {
        if (g_seen[nSlot] == nullptr)
        {
            g_seen[nSlot] = pFunction;
            g_order[g_nOrdered++] = pFunction;
            break;
        }
        nSlot = (nSlot + 1) & (kSlots - 1);
    }
    ReleaseSRWLockExclusive(&g_lock);
}

void __cyg_profile_func_exit(void*, void*) {}

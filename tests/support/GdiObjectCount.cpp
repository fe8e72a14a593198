#include "support/GdiObjectCount.h"

#include <winternl.h>

namespace
{
struct HandleEntry
{
    UINT64 nObject;
    USHORT nProcessId;
    USHORT nCount;
    USHORT nUnique;
    UCHAR nType;
    UCHAR nFlags;
    UINT64 nUser;
};

const size_t kTableOffset = 0xF8; // GdiSharedHandleTable in a 64-bit PEB
const int kMaxHandles = 0x10000;
} // namespace

DWORD CountGdiObjects()
{
    const DWORD nReported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (nReported != 0)
        return nReported;

    using PFNQUERY = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto pfnQuery = reinterpret_cast<PFNQUERY>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (!pfnQuery || pfnQuery(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0)
        return 0;
    const BYTE* pPeb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const HandleEntry* pTable = *reinterpret_cast<const HandleEntry* const*>(pPeb + kTableOffset);
    if (!pTable)
        return 0;
    DWORD nUsed = 0;
    for (int i = 0; i < kMaxHandles; ++i)
        nUsed += pTable[i].nType != 0;
    return nUsed;
}

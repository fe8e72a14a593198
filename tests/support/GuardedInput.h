// Input bytes that end right before an inaccessible page: a read past the end
// of the input faults instead of going unnoticed.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

class CGuardedInput
{
public:
    explicit CGuardedInput(const std::string& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t nPage = info.dwPageSize;
        const size_t nData = (bytes.size() / nPage + 1) * nPage;
        m_pBase = static_cast<char*>(VirtualAlloc(nullptr, nData + nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD dwOld;
        VirtualProtect(m_pBase + nData, nPage, PAGE_NOACCESS, &dwOld);
        m_pEnd = m_pBase + nData;
        m_pBegin = m_pEnd - bytes.size();
        memcpy(m_pBegin, bytes.data(), bytes.size());
    }
    ~CGuardedInput() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    CGuardedInput(const CGuardedInput&) = delete;
    CGuardedInput& operator=(const CGuardedInput&) = delete;

    const char* Begin() const { return m_pBegin; }
    const char* End() const { return m_pEnd; }
    size_t Size() const { return size_t(m_pEnd - m_pBegin); }

private:
    char* m_pBase;
    char* m_pBegin;
    char* m_pEnd;
};

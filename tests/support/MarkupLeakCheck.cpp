#include "support/MarkupLeakCheck.h"

#include "markup/model/Object.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <unordered_map>
#include <vector>

namespace
{
// Allocated once and never freed, so that objects destroyed during process
// exit cannot reach a map that is already gone.
std::unordered_map<CXTPMarkupObject*, unsigned long long>* g_pLiveObjects = nullptr;
unsigned long long g_nNextSerial = 0;

void OnLifetime(CXTPMarkupObject* pObject, BOOL bCounted)
{
    if (bCounted)
        (*g_pLiveObjects)[pObject] = g_nNextSerial++;
    else
        g_pLiveObjects->erase(pObject);
}

class CLeakListener : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_nStartCount = CXTPMarkupObject::GetLiveObjectCount();
        m_nStartSerial = g_nNextSerial;
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        LONG nCount = CXTPMarkupObject::GetLiveObjectCount();
        if (nCount == m_nStartCount)
            return;

        std::vector<std::pair<unsigned long long, CXTPMarkupObject*>> leaked;
        for (const auto& entry : *g_pLiveObjects)
        {
            if (entry.second >= m_nStartSerial)
                leaked.emplace_back(entry.second, entry.first);
        }
        std::sort(leaked.begin(), leaked.end());

        std::ostringstream out;
        out << (nCount - m_nStartCount) << " markup object(s) more alive than before the test";
        for (const auto& entry : leaked)
        {
            LPCWSTR lpszName = entry.second->GetType()->GetTypeName();
            out << "\n  " << std::string(lpszName, lpszName + wcslen(lpszName)) << " with "
                << entry.second->GetRefCount() << " reference(s)";
        }
        ADD_FAILURE() << out.str();
    }

    void OnTestProgramEnd(const testing::UnitTest&) override { CXTPMarkupObject::SetLifetimeHook(nullptr); }

private:
    LONG m_nStartCount = 0;
    unsigned long long m_nStartSerial = 0;
};
} // namespace

void InstallMarkupLeakCheck()
{
    if (!g_pLiveObjects)
    {
        g_pLiveObjects = new std::unordered_map<CXTPMarkupObject*, unsigned long long>();
        CXTPMarkupObject::SetLifetimeHook(&OnLifetime);
    }
    testing::UnitTest::GetInstance()->listeners().Append(new CLeakListener());
}

CMarkupLiveObjects::CMarkupLiveObjects() : m_nStart(CXTPMarkupObject::GetLiveObjectCount()) {}

LONG CMarkupLiveObjects::Added() const
{
    return CXTPMarkupObject::GetLiveObjectCount() - m_nStart;
}

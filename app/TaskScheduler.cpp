#include "app/TaskScheduler.h"

#include "toolkit/ComPtr.h"

#include <taskschd.h>

namespace
{
// The scheduler's root folder on this machine.
HRESULT OpenRootFolder(CXTPComPtr<ITaskFolder>& folder)
{
    CXTPComPtr<ITaskService> service;
    HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                    reinterpret_cast<void**>(&service));
    if (FAILED(hr))
        return hr;
    VARIANT empty = {}; // VT_EMPTY, as VariantInit makes it
    hr = service->Connect(empty, empty, empty, empty);
    if (FAILED(hr))
        return hr;
    return service->GetFolder(CXTPBstr(L"\\"), &folder);
}

// Runs work on the root folder, with the COM library started for the call.
template <class TWork> HRESULT WithRootFolder(TWork work)
{
    CXTPComInit com;
    if (!com.Succeeded())
        return E_FAIL;
    CXTPComPtr<ITaskFolder> folder;
    const HRESULT hr = OpenRootFolder(folder);
    return FAILED(hr) ? hr : work(folder);
}
} // namespace

HRESULT CTaskScheduler::Register(LPCWSTR pszName, const std::wstring& strXml)
{
    return WithRootFolder(
        [&](CXTPComPtr<ITaskFolder>& folder)
        {
            VARIANT empty = {}; // VT_EMPTY, as VariantInit makes it
            CXTPComPtr<IRegisteredTask> task;
            // The principal in the definition says who runs it; the logon type
            // here must agree with it.
            return folder->RegisterTask(CXTPBstr(pszName), CXTPBstr(strXml.c_str()), TASK_CREATE_OR_UPDATE, empty,
                                        empty, TASK_LOGON_INTERACTIVE_TOKEN, empty, &task);
        });
}

HRESULT CTaskScheduler::Delete(LPCWSTR pszName)
{
    return WithRootFolder(
        [&](CXTPComPtr<ITaskFolder>& folder)
        {
            const HRESULT hr = folder->DeleteTask(CXTPBstr(pszName), 0);
            return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
        });
}

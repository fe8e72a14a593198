// Owners for COM: CXTPComPtr (one interface pointer), CXTPBstr (one BSTR) and
// CXTPComInit (the thread's COM library while it lives).
#pragma once

#include "toolkit/OptionalFunction.h"

#include <windows.h>

#include <oleauto.h>

#include <utility>

// Releases its interface when it goes; &ptr receives a new one.
template <class TInterface> class CXTPComPtr
{
public:
    CXTPComPtr() = default;
    ~CXTPComPtr() { Reset(); }
    CXTPComPtr(const CXTPComPtr&) = delete;
    CXTPComPtr& operator=(const CXTPComPtr&) = delete;
    CXTPComPtr(CXTPComPtr&& other) noexcept : m_pInterface(std::exchange(other.m_pInterface, nullptr)) {}

    TInterface* Get() const { return m_pInterface; }
    TInterface* operator->() const { return m_pInterface; }
    explicit operator bool() const { return m_pInterface != nullptr; }
    // For the out parameter of a call that makes the interface.
    TInterface** operator&()
    {
        Reset();
        return &m_pInterface;
    }
    void Reset()
    {
        if (m_pInterface)
            m_pInterface->Release();
        m_pInterface = nullptr;
    }

private:
    TInterface* m_pInterface = nullptr;
};

// oleaut32 is loaded at the first string rather than at start: only the
// task scheduler's calls need it.
class CXTPBstr
{
public:
    explicit CXTPBstr(const wchar_t* pszText) : m_bstr(Functions().pfnAlloc ? Functions().pfnAlloc(pszText) : nullptr)
    {
    }
    ~CXTPBstr()
    {
        if (m_bstr)
            Functions().pfnFree(m_bstr);
    }
    CXTPBstr(const CXTPBstr&) = delete;
    CXTPBstr& operator=(const CXTPBstr&) = delete;

    operator BSTR() const { return m_bstr; }

private:
    struct CFunctions
    {
        BSTR(WINAPI* pfnAlloc)(const OLECHAR*) = nullptr;
        void(WINAPI* pfnFree)(BSTR) = nullptr;
    };
    static const CFunctions& Functions()
    {
        static const CFunctions functions = []
        {
            CFunctions f;
            if (HMODULE hModule = ::LoadLibraryW(L"oleaut32.dll"))
            {
                f.pfnAlloc = XTPGetOptionalFunction<decltype(f.pfnAlloc)>(hModule, "SysAllocString");
                f.pfnFree = XTPGetOptionalFunction<decltype(f.pfnFree)>(hModule, "SysFreeString");
                if (!f.pfnAlloc || !f.pfnFree)
                    f = CFunctions();
            }
            return f;
        }();
        return functions;
    }

    BSTR m_bstr;
};

class CXTPComInit
{
public:
    CXTPComInit() : m_hResult(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CXTPComInit()
    {
        if (SUCCEEDED(m_hResult))
            ::CoUninitialize();
    }
    CXTPComInit(const CXTPComInit&) = delete;
    CXTPComInit& operator=(const CXTPComInit&) = delete;

    // A thread already in another apartment can still make objects.
    bool Succeeded() const { return SUCCEEDED(m_hResult) || m_hResult == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hResult;
};

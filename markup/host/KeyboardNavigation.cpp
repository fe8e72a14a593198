#include "markup/host/KeyboardNavigation.h"

#include "markup/elements/InputElement.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <climits>

IMPLEMENT_MARKUPCLASS(L"KeyboardNavigation", CXTPMarkupKeyboardNavigation, CXTPMarkupObject)

CXTPMarkupDependencyProperty* CXTPMarkupKeyboardNavigation::m_pIsTabStopProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupKeyboardNavigation::m_pTabNavigationProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupKeyboardNavigation::m_pTabIndexProperty = nullptr;

void CXTPMarkupKeyboardNavigation::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupKeyboardNavigation);
    m_pIsTabStopProperty = CXTPMarkupDependencyProperty::RegisterAttached(
        L"IsTabStop", MARKUP_TYPE(CXTPMarkupBool), pOwner,
        new CXTPMarkupPropertyOptions(CXTPMarkupBool::CreateTrueValue()));
    m_pTabNavigationProperty = CXTPMarkupDependencyProperty::RegisterAttached(
        L"TabNavigation", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertTabNavigation));
    m_pTabIndexProperty = CXTPMarkupDependencyProperty::RegisterAttached(
        L"TabIndex", MARKUP_TYPE(CXTPMarkupInt), pOwner, new CXTPMarkupPropertyOptions(new CXTPMarkupInt(INT_MAX)));
}

CXTPMarkupKeyboardNavigation::CXTPMarkupKeyboardNavigation() : CXTPMarkupKeyboardNavigation(nullptr) {}

CXTPMarkupKeyboardNavigation::CXTPMarkupKeyboardNavigation(CXTPMarkupHost* pHost)
    : m_pMarkupContext(pHost), m_pFocusedElement(nullptr), m_pLastFocusedElement(nullptr)
{
}

CXTPMarkupKeyboardNavigation::~CXTPMarkupKeyboardNavigation()
{
    if (m_pFocusedElement)
        m_pFocusedElement->Release();
    if (m_pLastFocusedElement)
        m_pLastFocusedElement->Release();
}

BOOL CXTPMarkupKeyboardNavigation::OnWndMsg(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                            LRESULT* /*pResult*/)
{
    return FALSE;
}

void CXTPMarkupKeyboardNavigation::Focus(CXTPMarkupInputElement* /*pElement*/) {}

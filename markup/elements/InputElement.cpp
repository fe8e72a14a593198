#include "markup/elements/InputElement.h"

#include "markup/elements/Delegate.h"
#include "markup/elements/ElementContext.h"
#include "markup/elements/EventArgs.h"
#include "markup/elements/EventHandlerMap.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupInputElement, CXTPMarkupObject)

CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pCursorProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pIsMouseOverProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pStyleProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pIsKeyboardFocusedProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pIsFocusableProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pToolTipProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pResourcesProperty = nullptr;

CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseLeaveEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseEnterEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseLeftButtonUpEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseLeftButtonDownEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseRightButtonUpEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseRightButtonDownEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pMouseMoveEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupInputElement::m_pLostMouseCaptureEvent = nullptr;

void CXTPMarkupInputElement::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupInputElement);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;

    m_pCursorProperty = Property::Register(L"Cursor", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                           new Options(nullptr, &CXTPMarkupConverter::ConvertCursor));
    m_pIsMouseOverProperty = Property::Register(L"IsMouseOver", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                                                new Options(CXTPMarkupBool::CreateFalseValue()));
    m_pStyleProperty = Property::Register(L"Style", MARKUP_TYPE(CXTPMarkupStyle), pOwner,
                                          new Options(nullptr, &CXTPMarkupInputElement::OnStyleChanged));
    m_pIsKeyboardFocusedProperty =
        Property::Register(L"IsKeyboardFocused", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                           new Options(CXTPMarkupBool::CreateFalseValue(), Options::AffectsRender));
    m_pIsFocusableProperty = Property::Register(L"IsFocusable", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                                                new Options(CXTPMarkupBool::CreateFalseValue()));
    m_pToolTipProperty = Property::Register(L"ToolTip", MARKUP_TYPE(CXTPMarkupObject), pOwner);

    MARKUP_TYPE(CXTPMarkupStyle)->EnsureInitialized();
    m_pResourcesProperty = CXTPMarkupStyle::m_pResourcesProperty->AddOwner(pOwner);
    CXTPMarkupStyle::m_pElementStyleProperty = m_pStyleProperty;

    m_pMouseLeaveEvent = Property::RegisterEvent(L"MouseLeave", RoutingDirect, pOwner);
    m_pMouseEnterEvent = Property::RegisterEvent(L"MouseEnter", RoutingDirect, pOwner);
    m_pMouseLeftButtonUpEvent = Property::RegisterEvent(L"MouseLeftButtonUp", RoutingDirect, pOwner);
    m_pMouseLeftButtonDownEvent = Property::RegisterEvent(L"MouseLeftButtonDown", RoutingDirect, pOwner);
    m_pMouseRightButtonUpEvent = Property::RegisterEvent(L"MouseRightButtonUp", RoutingDirect, pOwner);
    m_pMouseRightButtonDownEvent = Property::RegisterEvent(L"MouseRightButtonDown", RoutingDirect, pOwner);
    m_pMouseMoveEvent = Property::RegisterEvent(L"MouseMove", RoutingDirect, pOwner);
    m_pLostMouseCaptureEvent = Property::RegisterEvent(L"pLostMouseCapture", RoutingDirect, pOwner);
}

CXTPMarkupInputElement::CXTPMarkupInputElement() : m_pHandlers(nullptr), m_pMarkupContext(nullptr) {}

CXTPMarkupInputElement::~CXTPMarkupInputElement()
{
    delete m_pHandlers;
}

void CXTPMarkupInputElement::OnCreatedForContext(CXTPMarkupElementContext* pContext)
{
    if (pContext)
        pContext->AttachElement(this);
}

void CXTPMarkupInputElement::OnFinalRelease()
{
    if (m_pMarkupContext)
        m_pMarkupContext->DetachElement(this);
    CXTPMarkupObject::OnFinalRelease();
}

void CXTPMarkupInputElement::OnStyleChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs)
{
    CXTPMarkupInputElement* pElement = MarkupCast<CXTPMarkupInputElement>(pObject);
    if (!pElement)
        return;
    pElement->m_styleState.SetCurrentStyle(MarkupCast<CXTPMarkupStyle>(pArgs->m_pNewValue));
}

CXTPMarkupObject* CXTPMarkupInputElement::LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    if (CXTPMarkupObject* pValue = CXTPMarkupObject::LookupOwnValue(pProperty))
        return pValue;
    return m_styleState.LookupValue(pProperty, GetType());
}

CXTPMarkupObject* CXTPMarkupInputElement::FindResource(const CXTPMarkupObject* pKey) const
{
    return CXTPMarkupResourceDictionary::FindResource(this, pKey);
}

void CXTPMarkupInputElement::OnMarkupLoaded()
{
    ApplyStyle();
}

void CXTPMarkupInputElement::ApplyStyle()
{
    CXTPMarkupPtr<CXTPMarkupInputElement> self = CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(this);
    m_styleState.ApplyStyle(this);
}

void CXTPMarkupInputElement::UpdateTriggers(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pNewValue)
{
    // A change announced by a trigger may lead a handler to drop the last
    // reference to this element, and with it the state being evaluated.
    CXTPMarkupPtr<CXTPMarkupInputElement> self = CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(this);
    m_styleState.UpdateTriggers(this, pProperty, pNewValue);
}

void CXTPMarkupInputElement::ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder,
                                              CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    if (!pProperty || !pProperty->IsEvent())
    {
        CXTPMarkupObject::ApplyMarkupValue(pBuilder, pProperty, pValue);
        return;
    }

    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (!m_pMarkupContext)
        throw CXTPMarkupBuilderException("Markup Context is NULL");
    const CXTPMarkupString* pName = MarkupCast<CXTPMarkupString>(pValue);
    LPCWSTR lpszName = pName ? pName->GetText() : L"";
    CXTPMarkupDelegate* pDelegate = m_pMarkupContext->FindDelegate(lpszName);
    if (!pDelegate)
        throw CXTPMarkupBuilderException("'%ls' delegate not found", lpszName);
    pDelegate->AddRef();
    AddHandler(pProperty, pDelegate);
}

void CXTPMarkupInputElement::AddHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate)
{
    if (!m_pHandlers)
        m_pHandlers = new CXTPMarkupEventHandlerMap();
    m_pHandlers->Add(pEvent, pDelegate);
}

BOOL CXTPMarkupInputElement::RemoveHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate)
{
    return m_pHandlers ? m_pHandlers->Remove(pEvent, pDelegate) : FALSE;
}

void CXTPMarkupInputElement::RaiseEvent(CXTPMarkupEventArgs* pArgs)
{
    if (!pArgs || !pArgs->m_pEvent)
        return;
    if (!pArgs->m_pSource)
        pArgs->m_pSource = this;

    // Handlers may release elements of the route, or the whole tree and its
    // host: the source (the sender of the host's handlers) and everything
    // still to be visited are held while they run.
    CXTPMarkupPtr<CXTPMarkupInputElement> self = CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(this);
    if (!(pArgs->m_pEvent->GetFlags() & RoutingBubble))
    {
        if (m_pHandlers)
            m_pHandlers->Raise(this, pArgs);
        return;
    }

    CXTPMarkupPtr<CXTPMarkupElementContext> context =
        CXTPMarkupPtr<CXTPMarkupElementContext>::AddRefOf(m_pMarkupContext);
    CXTPMarkupPtr<CXTPMarkupObject> current = CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(this);
    while (current)
    {
        if (CXTPMarkupInputElement* pElement = MarkupCast<CXTPMarkupInputElement>(current.Get()))
        {
            if (pElement->m_pHandlers)
                pElement->m_pHandlers->Raise(pElement, pArgs);
            if (pArgs->m_bHandled)
                return;
        }
        current = CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(current->GetLogicalParent());
    }
    if (context)
        context->RaiseHostHandlers(this, pArgs);
}

void CXTPMarkupInputElement::CaptureMouse()
{
    if (m_pMarkupContext)
        m_pMarkupContext->CaptureElement(this);
}

void CXTPMarkupInputElement::ReleaseMouseCapture()
{
    if (m_pMarkupContext && m_pMarkupContext->GetCapturedElement() == this)
        m_pMarkupContext->ReleaseElementCapture();
}

BOOL CXTPMarkupInputElement::IsMouseCaptured() const
{
    return m_pMarkupContext && m_pMarkupContext->GetCapturedElement() == this;
}

void CXTPMarkupInputElement::OnMouseEnter(CXTPMarkupEventArgs* /*pArgs*/)
{
    SetValue(m_pIsMouseOverProperty, CXTPMarkupBool::CreateTrueValue());
}

void CXTPMarkupInputElement::OnMouseLeave(CXTPMarkupEventArgs* /*pArgs*/)
{
    SetValue(m_pIsMouseOverProperty, nullptr);
}

void CXTPMarkupInputElement::OnQueryCursor(CXTPMarkupEventArgs* pArgs)
{
    const CXTPMarkupInt* pCursor = MarkupCast<CXTPMarkupInt>(GetValue(m_pCursorProperty));
    if (!pCursor)
        return;
    // "None" (0) answers with no cursor: the search ends and the window keeps
    // its own.
    int nCursor = *pCursor;
    pArgs->m_hCursor = nCursor ? LoadCursor(nullptr, MAKEINTRESOURCE(nCursor)) : nullptr;
    pArgs->m_bHandled = TRUE;
}

void CXTPMarkupInputElement::OnMouseMove(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnMouseLeftButtonUp(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnMouseRightButtonUp(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnMouseLeftButtonDown(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnMouseRightButtonDown(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnLostMouseCapture(CXTPMarkupEventArgs* /*pArgs*/) {}

void CXTPMarkupInputElement::OnMouseWheel(CXTPMarkupEventArgs* /*pArgs*/) {}

const CXTPMarkupVisual* CXTPMarkupInputElement::GetPlacement(RECT* /*pRect*/) const
{
    return nullptr;
}

CXTPMarkupInputElement* CXTPMarkupInputElement::HitTest(int /*x*/, int /*y*/)
{
    return nullptr;
}

#include "markup/elements/Hyperlink.h"

#include "markup/elements/EventArgs.h"

#include "markup/model/Brush.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Style.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Hyperlink", CXTPMarkupHyperlink, CXTPMarkupSpan)

CXTPMarkupDependencyProperty* CXTPMarkupHyperlink::m_pClickEvent = nullptr;

namespace
{
constexpr int kHandCursor = 32649; // IDC_HAND
} // namespace

void CXTPMarkupHyperlink::RegisterMarkupProperties()
{
    // One "Click" for links and buttons, so that a handler for it on a panel
    // hears both. The record lives with the link, whose library the buttons
    // build on; the buttons add themselves as owners.
    CXTPMarkupType* pType = MARKUP_TYPE(CXTPMarkupHyperlink);
    m_pClickEvent = CXTPMarkupDependencyProperty::RegisterEvent(L"Click", RoutingBubble, pType);

    // The look of every link, below what markup and styles give it. Like
    // the type records, it lives as long as the process.
    auto keep = [](auto* pObject)
    {
        pObject->MarkPermanent();
        return pObject;
    };
    CXTPMarkupStyle* pStyle = keep(new CXTPMarkupStyle());
    pStyle->AddSetter(m_pTextDecorationsProperty, CXTPMarkupEnum::CreateValue(xtpMarkupTextDecorationsUnderline));
    pStyle->AddSetter(m_pForegroundProperty, keep(new CXTPMarkupSolidColorBrush(RGB(0, 0, 255))));
    pStyle->AddSetter(m_pCursorProperty, keep(new CXTPMarkupInt(kHandCursor)));

    CXTPMarkupTrigger* pTrigger = keep(new CXTPMarkupTrigger());
    m_pIsMouseOverProperty->AddRef();
    pTrigger->SetValue(CXTPMarkupTrigger::m_pPropertyProperty, m_pIsMouseOverProperty);
    pTrigger->SetValue(CXTPMarkupTrigger::m_pValueProperty, CXTPMarkupBool::CreateTrueValue());
    CXTPMarkupSetterColection* pSetters = keep(new CXTPMarkupSetterColection());
    pSetters->Add(
        keep(new CXTPMarkupSetter(m_pForegroundProperty, keep(new CXTPMarkupSolidColorBrush(RGB(255, 0, 0))))));
    pTrigger->SetValue(CXTPMarkupTrigger::m_pSettersProperty, pSetters);
    CXTPMarkupTriggerCollection* pTriggers = keep(new CXTPMarkupTriggerCollection());
    pTriggers->Add(pTrigger);
    pStyle->SetValue(CXTPMarkupStyle::m_pTriggersProperty, pTriggers);

    CXTPMarkupType::SetDefaultStyle(pType, pStyle);
}

CXTPMarkupHyperlink::CXTPMarkupHyperlink() : m_bPressed(FALSE) {}

void CXTPMarkupHyperlink::OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs)
{
    m_bPressed = TRUE;
    pArgs->m_bHandled = TRUE;
}

void CXTPMarkupHyperlink::OnMouseLeftButtonUp(CXTPMarkupEventArgs* pArgs)
{
    if (!m_bPressed)
        return;
    m_bPressed = FALSE;
    CXTPMarkupEventArgs click(m_pClickEvent, this);
    click.m_hWnd = pArgs->m_hWnd;
    click.m_x = pArgs->m_x;
    click.m_y = pArgs->m_y;
    RaiseEvent(&click);
    pArgs->m_bHandled = TRUE;
}

void CXTPMarkupHyperlink::OnMouseLeave(CXTPMarkupEventArgs* pArgs)
{
    m_bPressed = FALSE;
    CXTPMarkupSpan::OnMouseLeave(pArgs);
}

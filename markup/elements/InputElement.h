// Base of every markup element that can receive the mouse: its context link,
// input properties, routed events with their handler lists, the default
// reactions to the mouse, and the style and trigger state of the element.
#pragma once

#include "markup/model/Object.h"
#include "markup/model/StyleState.h"

class CXTPMarkupDelegate;
class CXTPMarkupElementContext;
class CXTPMarkupEventArgs;
class CXTPMarkupEventHandlerMap;
class CXTPMarkupStyle;
class CXTPMarkupVisual;
struct CXTPMarkupPropertyChangedArgs;

class CXTPMarkupInputElement : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupInputElement)
public:
    // How an event travels, in its record's option flags (RegisterEvent).
    enum
    {
        RoutingDirect = 0, // only the element it is raised on
        RoutingBubble = 1, // the element, its input-element ancestors, then the host
    };

    static CXTPMarkupDependencyProperty* m_pCursorProperty;            // Int; a system cursor id
    static CXTPMarkupDependencyProperty* m_pIsMouseOverProperty;       // Bool, False
    static CXTPMarkupDependencyProperty* m_pStyleProperty;             // Style
    static CXTPMarkupDependencyProperty* m_pIsKeyboardFocusedProperty; // Bool, False; repaints
    static CXTPMarkupDependencyProperty* m_pIsFocusableProperty;       // Bool, False
    static CXTPMarkupDependencyProperty* m_pToolTipProperty;           // any object; a string is shown
    static CXTPMarkupDependencyProperty* m_pResourcesProperty;         // the style's, shared

    // Direct events the host raises on each element of the pointer's chain.
    static CXTPMarkupDependencyProperty* m_pMouseLeaveEvent;
    static CXTPMarkupDependencyProperty* m_pMouseEnterEvent;
    static CXTPMarkupDependencyProperty* m_pMouseLeftButtonUpEvent;
    static CXTPMarkupDependencyProperty* m_pMouseLeftButtonDownEvent;
    static CXTPMarkupDependencyProperty* m_pMouseRightButtonUpEvent;
    static CXTPMarkupDependencyProperty* m_pMouseRightButtonDownEvent;
    static CXTPMarkupDependencyProperty* m_pMouseMoveEvent;
    static CXTPMarkupDependencyProperty* m_pLostMouseCaptureEvent;

    static void RegisterMarkupProperties();

    // The context this element was created for (not counted here: the
    // element holds one reference, given back at its final release), or null.
    CXTPMarkupElementContext* GetMarkupContext() const { return m_pMarkupContext; }

    // Appends pDelegate to the element's list for pEvent; takes over the
    // reference. RemoveHandler drops the first occurrence.
    void AddHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate);
    BOOL RemoveHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate);

    // Routes pArgs->m_pEvent from this element. A direct event calls this
    // element's handlers only. A bubbling event calls the handlers of this
    // element and then of each input-element ancestor, stopping once one of
    // them marks the args handled; unhandled at the top, the host's handler
    // table gets it. A source left null becomes this element.
    void RaiseEvent(CXTPMarkupEventArgs* pArgs);

    // Mouse capture through the context; nothing without one.
    void CaptureMouse();
    void ReleaseMouseCapture();
    BOOL IsMouseCaptured() const;

    // Input operations the host calls on each element of the pointer's chain,
    // after raising the matching direct event there, until one marks the args
    // handled.
    virtual void OnMouseLeave(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseEnter(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseMove(CXTPMarkupEventArgs* pArgs);
    virtual void OnQueryCursor(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseLeftButtonUp(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseRightButtonUp(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseRightButtonDown(CXTPMarkupEventArgs* pArgs);
    virtual void OnLostMouseCapture(CXTPMarkupEventArgs* pArgs);
    virtual void OnMouseWheel(CXTPMarkupEventArgs* pArgs);

    // The deepest element under (x, y) in the parent's coordinates; visuals
    // answer, other input elements are never hit.
    virtual CXTPMarkupInputElement* HitTest(int x, int y);

    // Where the element shows: *pRect in the coordinates of the visual
    // returned, null (and *pRect untouched) for an element that never shows.
    virtual const CXTPMarkupVisual* GetPlacement(RECT* pRect) const;

    // After a load, children before parents: takes the implicit style when
    // the element has none and evaluates its style's triggers.
    virtual void ApplyStyle();

    // Local value first, then trigger values, the current style and the type's
    // built-in style.
    CXTPMarkupObject* LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const override;

    // An event attribute names a delegate of the host's delegate map.
    void ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                          CXTPMarkupObject* pValue) override;

    void OnCreatedForContext(CXTPMarkupElementContext* pContext) override;

    // The builder's resource search: this element's resources, its style's,
    // then its ancestors'.
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override;

    // The tree loaded: ApplyStyle.
    void OnMarkupLoaded() override;

    CXTPMarkupStyle* GetCurrentStyle() const { return m_styleState.GetCurrentStyle(); }
    const CXTPMarkupStyleState& GetStyleState() const { return m_styleState; }

protected:
    CXTPMarkupInputElement();
    ~CXTPMarkupInputElement() override;

    // Framework elements and framework content elements call this from their
    // OnPropertyChanged for every change, after the property's own callback.
    void UpdateTriggers(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pNewValue);

    // Tells the context to forget this element before it is deleted.
    void OnFinalRelease() override;

private:
    static void OnStyleChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs);

    CXTPMarkupEventHandlerMap* m_pHandlers; // created by the first AddHandler
    CXTPMarkupElementContext* m_pMarkupContext;
    CXTPMarkupStyleState m_styleState;

    friend class CXTPMarkupElementContext; // sets and clears the link
};

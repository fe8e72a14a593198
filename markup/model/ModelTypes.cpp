#include "markup/model/ModelTypes.h"

#include "markup/model/Brush.h"
#include "markup/model/Collection.h"
#include "markup/model/Color.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectProperty.h"
#include "markup/model/Point.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/Setter.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"
#include "markup/model/SystemColors.h"
#include "markup/model/Thickness.h"
#include "markup/model/Trigger.h"
#include "markup/model/Type.h"

void RegisterMarkupModelTypes()
{
    // Referencing each class here also keeps its object file in a static link.
    CXTPMarkupObject::GetMarkupType();
    CXTPMarkupType::GetMarkupType();
    CXTPMarkupDependencyProperty::GetMarkupType();
    CXTPMarkupRoutedEvent::GetMarkupType();
    CXTPMarkupPropertyStore::GetMarkupType();
    CXTPMarkupCollection::GetMarkupType();
    CXTPMarkupString::GetMarkupType();
    CXTPMarkupInt::GetMarkupType();
    CXTPMarkupDouble::GetMarkupType();
    CXTPMarkupEnum::GetMarkupType();
    CXTPMarkupBool::GetMarkupType();
    CXTPMarkupColor::GetMarkupType();
    CXTPMarkupThickness::GetMarkupType();
    CXTPMarkupPoint::GetMarkupType();
    CXTPMarkupColorKey::GetMarkupType();
    CXTPMarkupBrushKey::GetMarkupType();
    CXTPMarkupBrush::GetMarkupType();
    CXTPMarkupSolidColorBrush::GetMarkupType();
    CXTPMarkupObjectProperty::GetMarkupType();
    CXTPMarkupGradientStop::GetMarkupType();
    CXTPMarkupGradientStopCollection::GetMarkupType();
    CXTPMarkupLinearGradientBrush::GetMarkupType();
    CXTPMarkupResourceDictionary::GetMarkupType();
    CXTPMarkupSetter::GetMarkupType();
    CXTPMarkupSetterColection::GetMarkupType();
    CXTPMarkupTrigger::GetMarkupType();
    CXTPMarkupTriggerCollection::GetMarkupType();
    CXTPMarkupStyle::GetMarkupType();
}

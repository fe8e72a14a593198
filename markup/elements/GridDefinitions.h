// Grid columns and rows. Classes: CXTPMarkupDefinitionBase,
// CXTPMarkupColumnDefinition, CXTPMarkupRowDefinition,
// CXTPMarkupDefinitionCollection, CXTPMarkupColumnDefinitionCollection,
// CXTPMarkupRowDefinitionCollection.
#pragma once

#include "markup/model/Collection.h"

class CXTPMarkupGridLength;

// What columns and rows share: their markup length and limits, and the
// working fields the grid's sizing fills in at every measure.
class CXTPMarkupDefinitionBase : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupDefinitionBase)
public:
    enum LayoutType
    {
        LayoutPixel = 1,
        LayoutAuto = 2,
        LayoutStar = 4,
    };

    explicit CXTPMarkupDefinitionBase(BOOL bIsColumn = TRUE);

    BOOL IsColumn() const { return m_bIsColumn; }

    // "Width"/"Height" (one star when unset): CXTPMarkupGridLength's unit
    // and number.
    int GetLengthUnit() const;
    double GetLengthValue() const;
    // "MinWidth"/"MinHeight", 0 when unset; "MaxWidth"/"MaxHeight",
    // 0x7FFFFFFF when unset.
    int GetUserMinSize() const;
    int GetUserMaxSize() const;
    BOOL HasUserMaxSize() const;
    // A star share; zero and negative shares count as none.
    double GetStarValue() const;

    // The largest size the sizing steps may grow this definition to: its
    // maximum, unless that is unset or below the minimum already reached.
    double GetCap() const;
    double GetPreferredSize() const;
    void RaiseMinSize(double dValue);
    void ResetLayout();

    int m_nMinSize;
    int m_nLayoutType;
    double m_dMeasureSize;
    double m_dSizeCache;
    int m_nFinalOffset;

private:
    BOOL m_bIsColumn;
};

class CXTPMarkupColumnDefinition : public CXTPMarkupDefinitionBase
{
    DECLARE_MARKUPCLASS(CXTPMarkupColumnDefinition)
public:
    CXTPMarkupColumnDefinition();

    static CXTPMarkupDependencyProperty* m_pWidthProperty;    // GridLength, one star
    static CXTPMarkupDependencyProperty* m_pMinWidthProperty; // Int
    static CXTPMarkupDependencyProperty* m_pMaxWidthProperty; // Int
    static void RegisterMarkupProperties();
};

class CXTPMarkupRowDefinition : public CXTPMarkupDefinitionBase
{
    DECLARE_MARKUPCLASS(CXTPMarkupRowDefinition)
public:
    CXTPMarkupRowDefinition();

    static CXTPMarkupDependencyProperty* m_pHeightProperty;    // GridLength, one star
    static CXTPMarkupDependencyProperty* m_pMinHeightProperty; // Int
    static CXTPMarkupDependencyProperty* m_pMaxHeightProperty; // Int
    static void RegisterMarkupProperties();
};

class CXTPMarkupDefinitionCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupDefinitionCollection)
public:
    explicit CXTPMarkupDefinitionCollection(CXTPMarkupType* pElementType = nullptr);

    CXTPMarkupDefinitionBase* GetDefinition(int nIndex) const; // borrowed
};

class CXTPMarkupColumnDefinitionCollection : public CXTPMarkupDefinitionCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupColumnDefinitionCollection)
public:
    CXTPMarkupColumnDefinitionCollection();
};

class CXTPMarkupRowDefinitionCollection : public CXTPMarkupDefinitionCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupRowDefinitionCollection)
public:
    CXTPMarkupRowDefinitionCollection();
};

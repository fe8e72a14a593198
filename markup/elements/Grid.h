// A panel that places its children in cells of columns and rows whose sizes
// are fixed, taken from the content ("Auto") or shares of the rest ("*").
#pragma once

#include "markup/elements/Panel.h"

#include <vector>

class CXTPMarkupDefinitionBase;
class CXTPMarkupDefinitionCollection;
class CXTPMarkupColumnDefinitionCollection;
class CXTPMarkupRowDefinitionCollection;

class CXTPMarkupGrid : public CXTPMarkupPanel
{
    DECLARE_MARKUPCLASS(CXTPMarkupGrid)
public:
    CXTPMarkupGrid();

    static CXTPMarkupDependencyProperty* m_pColumnDefinitionsProperty; // the column collection
    static CXTPMarkupDependencyProperty* m_pRowDefinitionsProperty;    // the row collection
    // Attached, read on the children; a change re-measures the grid.
    static CXTPMarkupDependencyProperty* m_pColumnProperty;     // Int, unset and negative read 0
    static CXTPMarkupDependencyProperty* m_pRowProperty;        // Int
    static CXTPMarkupDependencyProperty* m_pColumnSpanProperty; // Int, unset and below 1 read 1
    static CXTPMarkupDependencyProperty* m_pRowSpanProperty;    // Int
    static void RegisterMarkupProperties();

    // Borrowed; the grid always has both collections.
    CXTPMarkupColumnDefinitionCollection* GetColumnDefinitions() const { return m_pColumnDefinitions; }
    CXTPMarkupRowDefinitionCollection* GetRowDefinitions() const { return m_pRowDefinitions; }
    // Take over the reference; null puts an empty collection in.
    void SetColumnDefinitions(CXTPMarkupColumnDefinitionCollection* pDefinitions);
    void SetRowDefinitions(CXTPMarkupRowDefinitionCollection* pDefinitions);

    // The definition collections are refused unless of their own class.
    void ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                          CXTPMarkupObject* pValue) override;
    CXTPMarkupObject* LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const override;

protected:
    ~CXTPMarkupGrid() override;

    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;

private:
    struct CellRecord
    {
        // A reference, so that a child removed after the measure cannot be
        // freed and its address reused by a new child unnoticed.
        CXTPMarkupPtr<CXTPMarkupUIElement> child;
        int nColumn;
        int nRow;
        int nColumnSpan;
        int nRowSpan;
        int nColumnTypes; // OR of the spanned columns' layout types
        int nRowTypes;
    };
    typedef std::vector<CXTPMarkupDefinitionBase*> Definitions;

    static void OnCellAttachedPropertyChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs);

    void UseDefinitions(Definitions& definitions, CXTPMarkupDefinitionCollection* pCollection,
                        CXTPMarkupDefinitionBase*& pDefault, BOOL bColumn);
    void ValidateCells();
    BOOL CellsMatchChildren() const;
    void MeasureCell(CXTPMarkupPainter* pPainter, const CellRecord& cell, BOOL bHeightsUnbounded);
    void MeasureCellsGroup(CXTPMarkupPainter* pPainter, int nGroup, BOOL bWidthsIgnored, BOOL bHeightsUnbounded);

    CXTPMarkupRowDefinitionCollection* m_pRowDefinitions;
    CXTPMarkupColumnDefinitionCollection* m_pColumnDefinitions;
    std::vector<CellRecord> m_cells;
    // Cell indices by when their sizes can be known, each in child order:
    // 1: no star row or column: pixel and auto tracks only, measured first;
    // 2: a star row, an auto column, no star column: widths for the auto columns;
    // 3: a star column, no star row: measured once star columns have widths;
    // 4: a star row with a star column or without auto columns: measured last.
    std::vector<int> m_groups[4];
    BOOL m_bHasStarColumns;
    BOOL m_bHasStarRows;
    BOOL m_bGroup3InAutoRows;
    // The definitions of the current layout: the collections' items, or a
    // single default definition when a collection is empty. Each holds a
    // reference, so that a collection replaced after the measure cannot pull
    // them away from the arrangement.
    Definitions m_columns;
    Definitions m_rows;
    CXTPMarkupDefinitionBase* m_pDefaultColumn;
    CXTPMarkupDefinitionBase* m_pDefaultRow;
};

// Excel's object model over IDispatch: the host interfaces of host/excel.h implemented by late
// binding on Excel's own member names. Each Wrap function gives null for a null object (Nothing).
//
// Members called, by interface (collections are indexed through their Item):
//   Application: Version, Hwnd, Selection, ActiveCell, ActiveWindow, ActiveSheet, ActiveWorkbook, Dialogs(n).Show,
//     Interactive, Workbooks.Item, CommandBars.Item, CommandBars.Add(Name, Position, MenuBar,
//     Temporary), SendKeys(Keys, Wait), and the AppEvents
//     connection point of its IConnectionPointContainer.
//   Range: Value, NumberFormat, HasFormula, Locked, MergeCells, Areas.Count, Count, Item(index),
//     Row, Column, Offset(RowOffset, ColumnOffset), Address(RowAbsolute, ColumnAbsolute,
//     ReferenceStyle, External), AllowEdit, Activate, Worksheet, Left, Top, Width, Height,
//     Rows.Count, Columns.Count, Rows.Item, Columns.Item, EntireRow, EntireColumn, Hidden, MergeArea.
//   Worksheet or Chart: Type, Name, ProtectContents, Cells.Item(row, column), Range(Cell1), Parent,
//     ChartObjects().Add(Left, Top, Width, Height).
//   ChartObject: Placement, Left, Top, Activate, Delete.    Workbook: Name, ReadOnly, IsInplace,
//     Worksheets.Item.
//   Window: Panes.Count, Panes.Item, ActivePane, ActiveSheet, ActiveCell, Selection, Type,
//     WindowState, Zoom, View, FreezePanes, DisplayRightToLeft, SplitHorizontal, SplitVertical,
//     PointsToScreenPixelsX/Y(Points), RangeFromPoint(x, y).
//   Pane: Index, VisibleRange, ScrollRow, ScrollColumn, PointsToScreenPixelsX/Y(Points).
//   CommandBar: Name, FindControl(Type, Id, Tag), Controls.Add(Type, Id, Parameter, Before,
//     Temporary), Controls.Count, Controls.Item, Visible.
//   CommandBarControl / CommandBarButton: Id, Tag, Enabled, Caption, BeginGroup, OnAction, Visible,
//     Style, State, TooltipText, Picture, Mask, PasteFace, and the _CommandBarButtonEvents
//     connection point of its IConnectionPointContainer.
// DISPIDs are cached by the type information's GUID, so objects should answer GetTypeInfo and
// GetTypeAttr; an object whose type information gives no GUID keeps its own DISPIDs. A selection's type name also comes from
// its type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "host/excel.h"
#include "host/ribbon.h"
#include "win/com_handles.h"

namespace tessaly::win::excel {

ExcelApplicationPtr WrapExcelApplication(IDispatch* application);
RangePtr WrapRange(IDispatch* range);
SheetPtr WrapSheet(IDispatch* sheet);
WorkbookPtr WrapWorkbook(IDispatch* workbook);
ExcelWindowPtr WrapExcelWindow(IDispatch* window);
HostObjectPtr WrapHostObject(IDispatch* object);
CommandBarPtr WrapCommandBar(IDispatch* bar);
CommandBarControlPtr WrapCommandBarControl(IDispatch* control);

// Office's ribbon and add-in objects.
RibbonUIPtr WrapRibbonUI(IDispatch* ribbon);
std::shared_ptr<IRibbonControl> WrapRibbonControl(IDispatch* control);
AddInInstancePtr WrapAddInInstance(IDispatch* add_in);

}  // namespace tessaly::win::excel

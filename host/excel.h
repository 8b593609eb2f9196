// The host spreadsheet's object model as the add-in uses it: application, workbooks, sheets, ranges,
// windows, command bars and the application events. Each member maps onto one member of the host's
// automation interface, so a COM adapter implements it call for call; "Nothing" is a null pointer.
// Every member can fail by throwing HostError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/host_error.h"
#include "host/variant.h"

namespace tessaly {

// A window handle carried as an integer (an HWND on Windows); 0 is no window.
using WindowHandle = std::uintptr_t;

namespace xl {
inline constexpr std::int32_t kWorksheet = -4167;   // sheet Type of a worksheet
inline constexpr std::int32_t kChart = -4109;       // sheet Type of a chart sheet
inline constexpr std::int32_t kA1 = 1;              // reference style A1
inline constexpr std::int32_t kR1C1 = -4150;        // reference style R1C1
inline constexpr std::int32_t kEnglishLocale = 1033;
inline constexpr std::int32_t kControlButton = 1;   // command-bar control type of a button
inline constexpr std::int32_t kButtonUp = 0;        // command-bar button State
inline constexpr std::int32_t kButtonDown = -1;
inline constexpr std::int32_t kButtonCaption = 2;         // command-bar button Style
inline constexpr std::int32_t kButtonIconAndCaption = 3;
inline constexpr std::int32_t kBarTop = 1;                // command-bar Position, docked at the top
inline constexpr std::int32_t kControlCustom = 1;         // Id of a control the add-in adds itself
inline constexpr std::int32_t kControlCut = 21;           // Id of the built-in Cut command
inline constexpr std::int32_t kWindowWorkbook = 1;  // Window.Type of a workbook window (xlWorkbook)
inline constexpr std::int32_t kChartInPlace = 4;    // Window.Type of a chart edited in place
inline constexpr std::int32_t kMinimized = -4140;   // Window.WindowState
inline constexpr std::int32_t kMaximized = -4137;
inline constexpr std::int32_t kNormal = -4143;
inline constexpr std::int32_t kNormalView = 1;      // Window.View
inline constexpr std::int32_t kPageBreakPreview = 2;
inline constexpr std::int32_t kPageLayoutView = 3;
inline constexpr std::int32_t kFreeFloating = 3;    // ChartObject.Placement
inline constexpr std::int32_t kValidateList = 3;    // Validation.Type
inline constexpr std::int32_t kValidateDate = 4;
inline constexpr std::int32_t kValidateCustom = 7;
inline constexpr std::int32_t kBetween = 1;         // Validation.Operator (xlBetween .. xlLessEqual = 8)
inline constexpr std::int32_t kNotBetween = 2;
inline constexpr std::int32_t kValidAlertStop = 1;  // Validation.AlertStyle
inline constexpr std::int32_t kValidAlertWarning = 2;
inline constexpr std::int32_t kValidAlertInformation = 3;
}  // namespace xl

// The answer of an object to a member it does not have (Excel's error 438). Members added to the
// interfaces below after their first adapters were written default to it until each adapter
// implements them.
[[noreturn]] inline void MemberNotSupported(const char* member) {
  throw HostError(HostError::kNotSupported, "Object doesn't support this property or method", member);
}

class IRange;
class ISheet;
class IWorkbook;
class IExcelWindow;
class IPane;
class IChartObject;
class IName;
class ICommandBar;
class ICommandBarControl;
class IValidation;
using RangePtr = std::shared_ptr<IRange>;
using SheetPtr = std::shared_ptr<ISheet>;
using WorkbookPtr = std::shared_ptr<IWorkbook>;
using ExcelWindowPtr = std::shared_ptr<IExcelWindow>;
using PanePtr = std::shared_ptr<IPane>;
using ChartObjectPtr = std::shared_ptr<IChartObject>;
using NamePtr = std::shared_ptr<IName>;
using CommandBarPtr = std::shared_ptr<ICommandBar>;
using CommandBarControlPtr = std::shared_ptr<ICommandBarControl>;
using ValidationPtr = std::shared_ptr<IValidation>;

// Any object the host hands out untyped, such as the selection (a range, a picture, a chart...).
class IHostObject {
 public:
  virtual ~IHostObject() = default;
  // The object's class name as the host reports it ("Range", "Picture", "ChartObject").
  virtual std::string TypeName() = 0;
  // The object viewed as a range; throws HostError (type mismatch) when it is not one.
  virtual RangePtr AsRange() = 0;
};
using HostObjectPtr = std::shared_ptr<IHostObject>;

class IRange {
 public:
  virtual ~IRange() = default;
  // The value of a one-cell range. The host gives an array for several cells, which the add-in
  // never asks for; it throws HostError then.
  virtual Variant Value() = 0;
  // Writes the value into every cell of the range; a formula there is replaced.
  virtual void SetValue(const Variant& value) = 0;
  // Text of the number format; null when the cells carry different formats.
  virtual Variant NumberFormat() = 0;
  virtual void SetNumberFormat(const std::string& format) = 0;
  // Boolean, or null when only some cells hold formulas.
  virtual Variant HasFormula() = 0;
  // The formula of a one-cell range in A1 style ("=TODAY()"); a constant's text when it holds none.
  virtual Variant Formula() { MemberNotSupported("Formula"); }
  // Enters a formula; a text that does not begin with "=" goes in as a constant.
  virtual void SetFormula(const std::string& /*formula*/) { MemberNotSupported("Formula"); }
  // Boolean, or null when only some cells are locked.
  virtual Variant Locked() = 0;
  // Boolean, or null when the range is partly merged.
  virtual Variant MergeCells() = 0;
  virtual std::int32_t AreasCount() = 0;
  virtual std::int32_t CellsCount() = 0;
  // Item of the range's Cells, 1 being the top-left cell.
  virtual RangePtr CellsItem(std::int32_t index) = 0;
  virtual std::int32_t Row() = 0;
  virtual std::int32_t Column() = 0;
  virtual RangePtr Offset(std::int32_t rows, std::int32_t columns) = 0;
  virtual std::string Address(bool row_absolute, bool column_absolute, std::int32_t reference_style,
                              bool external) = 0;
  virtual bool AllowEdit() = 0;
  virtual void Activate() = 0;
  virtual SheetPtr Worksheet() = 0;
  // Position and size in points on the sheet, unzoomed: Left and Top from the sheet's top-left
  // corner; hidden rows and columns measure 0.
  virtual double Left() { MemberNotSupported("Left"); }
  virtual double Top() { MemberNotSupported("Top"); }
  virtual double Width() { MemberNotSupported("Width"); }
  virtual double Height() { MemberNotSupported("Height"); }
  // Rows.Count and Columns.Count of the first area.
  virtual std::int32_t RowsCount() { MemberNotSupported("RowsCount"); }
  virtual std::int32_t ColumnsCount() { MemberNotSupported("ColumnsCount"); }
  // Rows(index) and Columns(index) of the first area, counted from 1.
  virtual RangePtr RowsItem(std::int32_t /*index*/) { MemberNotSupported("RowsItem"); }
  virtual RangePtr ColumnsItem(std::int32_t /*index*/) { MemberNotSupported("ColumnsItem"); }
  virtual RangePtr EntireRow() { MemberNotSupported("EntireRow"); }
  virtual RangePtr EntireColumn() { MemberNotSupported("EntireColumn"); }
  // Of whole rows or whole columns: true when all of them are hidden; HostError for other ranges.
  virtual bool Hidden() { MemberNotSupported("Hidden"); }
  // The merged area holding the range's top-left cell, or that cell when it is not merged.
  virtual RangePtr MergeArea() { MemberNotSupported("MergeArea"); }
  // Makes the range the selection of its sheet, the active sheet, with its top-left cell active.
  virtual void Select() { MemberNotSupported("Select"); }
  // The cells' data validation. The object is always given; its members fail (1004) on a cell
  // that has none.
  virtual ValidationPtr Validation() { MemberNotSupported("Validation"); }
};

// A range's data validation rule, with the alert the host shows when typing breaks it.
class IValidation {
 public:
  virtual ~IValidation() = default;
  virtual std::int32_t Type() = 0;      // xl::kValidateDate...
  virtual std::int32_t Operator() = 0;  // xl::kBetween...
  // The limits as the rule holds them: a number, a date text or a formula ("=TODAY()"). Formula2
  // fails for a rule with one limit.
  virtual std::string Formula1() = 0;
  virtual std::string Formula2() = 0;
  virtual std::int32_t AlertStyle() = 0;  // xl::kValidAlertStop...
  virtual std::string ErrorTitle() = 0;
  virtual std::string ErrorMessage() = 0;
  // True while the cells hold what the rule allows.
  virtual bool Value() = 0;
};

class ISheet {
 public:
  virtual ~ISheet() = default;
  virtual std::int32_t Type() = 0;
  virtual std::string Name() = 0;
  virtual bool ProtectContents() = 0;
  // The single cell at a row and column, both counted from 1.
  virtual RangePtr Cells(std::int32_t row, std::int32_t column) = 0;
  // The range of an A1-style address such as "$B$3" or "B3:C4".
  virtual RangePtr Range(const std::string& address) = 0;
  virtual WorkbookPtr Parent() = 0;
  // ChartObjects.Add: a new embedded chart at that place and size, in points.
  virtual ChartObjectPtr ChartObjectsAdd(double /*left*/, double /*top*/, double /*width*/, double /*height*/) { MemberNotSupported("ChartObjectsAdd"); }
  // Evaluate: the value of a formula ("=DATE(2024,9,1)", "=$B$1") on this sheet; an error value
  // when it has none.
  virtual Variant Evaluate(const std::string& /*formula*/) { MemberNotSupported("Evaluate"); }
};

// An embedded chart on a worksheet.
class IChartObject {
 public:
  virtual ~IChartObject() = default;
  virtual void SetPlacement(std::int32_t placement) = 0;  // xl::kFreeFloating...
  virtual void SetLeft(double points) = 0;
  virtual void SetTop(double points) = 0;
  // Opens the chart for editing in its own window (class "EXCELE") over the sheet.
  virtual void Activate() = 0;
  virtual void Delete() = 0;
};

// A defined name of a workbook.
class IName {
 public:
  virtual ~IName() = default;
  // The range the name refers to; throws HostError when it refers to a constant or a formula.
  virtual RangePtr RefersToRange() = 0;
};

class IWorkbook {
 public:
  virtual ~IWorkbook() = default;
  virtual std::string Name() = 0;
  virtual bool ReadOnly() = 0;
  virtual bool IsInplace() = 0;
  // The worksheet of that name; throws HostError when there is none.
  virtual SheetPtr Worksheets(const std::string& name) = 0;
  // Names(name): the workbook's defined name of that name (letter case ignored); throws
  // HostError when there is none.
  virtual NamePtr Names(const std::string& /*name*/) { MemberNotSupported("Names"); }
};

// One pane of a window: 1 top-left, 2 top-right (or bottom of two panes one above the other),
// 3 bottom-left, 4 bottom-right.
class IPane {
 public:
  virtual ~IPane() = default;
  virtual std::int32_t Index() = 0;
  // The cells shown in the pane, partly visible rows and columns at its far edges included.
  virtual RangePtr VisibleRange() = 0;
  virtual std::int32_t ScrollRow() = 0;
  virtual void SetScrollRow(std::int32_t row) = 0;
  virtual std::int32_t ScrollColumn() = 0;
  virtual void SetScrollColumn(std::int32_t column) = 0;
  // Screen pixel of a sheet distance in points, zoom and scrolling applied (hosts 12 and later).
  virtual std::int32_t PointsToScreenPixelsX(std::int32_t points) = 0;
  virtual std::int32_t PointsToScreenPixelsY(std::int32_t points) = 0;
};

class IExcelWindow {
 public:
  virtual ~IExcelWindow() = default;
  virtual std::int32_t PanesCount() = 0;
  virtual SheetPtr ActiveSheet() = 0;
  virtual RangePtr ActiveCell() = 0;
  virtual HostObjectPtr Selection() = 0;
  virtual std::int32_t Type() { MemberNotSupported("Type"); }  // xl::kWindowWorkbook...
  // The main window (XLMAIN) that holds this window; hosts before 15 (Excel 2013) lack the member.
  virtual WindowHandle Hwnd() { MemberNotSupported("Hwnd"); }
  virtual std::int32_t WindowState() { MemberNotSupported("WindowState"); }  // xl::kMinimized, xl::kMaximized, xl::kNormal
  virtual double Zoom() { MemberNotSupported("Zoom"); }  // percent
  virtual std::int32_t View() { MemberNotSupported("View"); }  // xl::kNormalView, xl::kPageBreakPreview, xl::kPageLayoutView
  virtual bool FreezePanes() { MemberNotSupported("FreezePanes"); }
  // The title: the workbook's name, or "Book1:2" while the workbook has several windows.
  virtual std::string Caption() { MemberNotSupported("Caption"); }
  // True while the window shows its active sheet right to left, column A at the right. Its panes'
  // PointsToScreenPixelsX then measure leftwards from the pane's right edge: a cell's Left gives
  // the screen x of its right edge, the edge nearest column A.
  virtual bool DisplayRightToLeft() { MemberNotSupported("DisplayRightToLeft"); }
  // Where the split lies from the grid's corner, in points on screen (zoom applied): SplitHorizontal
  // along x (panes to its right), SplitVertical along y; 0 when not split that way.
  virtual double SplitHorizontal() { MemberNotSupported("SplitHorizontal"); }
  virtual double SplitVertical() { MemberNotSupported("SplitVertical"); }
  // Panes(index), counted from 1.
  virtual PanePtr Panes(std::int32_t /*index*/) { MemberNotSupported("Panes"); }
  virtual PanePtr ActivePane() { MemberNotSupported("ActivePane"); }
  // Screen pixel of a sheet distance. Hosts before 12 take the distance as pixels from the sheet's
  // top-left corner as scrolled in pane 1 and apply neither zoom nor scale; later hosts convert
  // points as pane 1's PointsToScreenPixelsX/Y do.
  virtual std::int32_t PointsToScreenPixelsX(std::int32_t /*points*/) { MemberNotSupported("PointsToScreenPixelsX"); }
  virtual std::int32_t PointsToScreenPixelsY(std::int32_t /*points*/) { MemberNotSupported("PointsToScreenPixelsY"); }
  // The object at a screen point of the window: a cell, a drawing object, or null over anything else.
  virtual HostObjectPtr RangeFromPoint(std::int32_t /*x*/, std::int32_t /*y*/) { MemberNotSupported("RangeFromPoint"); }
};

// A button face image (the picture or its mask) as the host's Picture and Mask take it; the
// platform layer owns the bits.
class IButtonImage {
 public:
  virtual ~IButtonImage() = default;
  virtual std::string Key() const = 0;  // the icon it was drawn from
};
using ButtonImagePtr = std::shared_ptr<const IButtonImage>;

// Receiver of a command-bar button's clicks. The host raises Click for the button clicked and for
// every other button with the same tag, with the control and a cancel flag.
class ICommandBarButtonEvents {
 public:
  virtual ~ICommandBarButtonEvents() = default;
  virtual void Click(const CommandBarControlPtr& control, bool& cancel_default) = 0;
};

class ICommandBarControl {
 public:
  virtual ~ICommandBarControl() = default;
  virtual std::int32_t Id() = 0;
  virtual std::string Tag() = 0;
  virtual void SetTag(const std::string& tag) = 0;
  virtual bool Enabled() = 0;
  virtual void SetEnabled(bool /*enabled*/) { MemberNotSupported("Enabled"); }
  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool BeginGroup() = 0;
  virtual void SetBeginGroup(bool group) = 0;
  virtual std::string OnAction() = 0;
  virtual void SetOnAction(const std::string& action) = 0;
  virtual bool Visible() = 0;
  virtual void SetVisible(bool visible) = 0;
  // Button members; a control that is not a button throws HostError.
  virtual std::int32_t Style() = 0;
  virtual void SetStyle(std::int32_t style) = 0;  // xl::kButtonIconAndCaption...
  virtual std::int32_t State() = 0;
  virtual void SetState(std::int32_t state) = 0;
  virtual std::string TooltipText() = 0;
  virtual void SetTooltipText(const std::string& text) = 0;
  virtual void SetPicture(const ButtonImagePtr& picture) = 0;
  virtual void SetMask(const ButtonImagePtr& mask) = 0;
  // Takes the face from the picture on the clipboard (hosts of version 9, which have no Picture).
  virtual void PasteFace() = 0;
  // Click subscription: a cookie to end it with; the host shares ownership of the receiver for as
  // long as it may call it.
  virtual std::int32_t Advise(std::shared_ptr<ICommandBarButtonEvents> sink) = 0;
  virtual void Unadvise(std::int32_t cookie) = 0;
};

class ICommandBar {
 public:
  virtual ~ICommandBar() = default;
  virtual std::string Name() = 0;
  // The first control matching type, Id and (when not empty) tag; null when none matches.
  virtual CommandBarControlPtr FindControl(std::int32_t type, std::int32_t id, const std::string& tag) = 0;
  // Controls.Add: a new control of that type and Id before the control at position `before`
  // (counted from 1; 0 adds it at the end); a temporary one goes when the host closes.
  virtual CommandBarControlPtr ControlsAdd(std::int32_t type, std::int32_t id, std::int32_t before, bool temporary) = 0;
  virtual std::int32_t ControlsCount() = 0;
  // Controls(index), counted from 1.
  virtual CommandBarControlPtr Controls(std::int32_t index) = 0;
  virtual bool Visible() = 0;
  virtual void SetVisible(bool visible) = 0;
};

// Receiver of the application events the add-in subscribes to.
class IApplicationEvents {
 public:
  virtual ~IApplicationEvents() = default;
  virtual void SheetSelectionChange(const SheetPtr& sh, const RangePtr& target) = 0;
  virtual void SheetActivate(const SheetPtr& sh) = 0;
  virtual void SheetDeactivate(const SheetPtr& sh) = 0;
  virtual void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) = 0;
  virtual void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) = 0;
  virtual void WindowResize(const WorkbookPtr& wb, const ExcelWindowPtr& wn) = 0;
  // Cells changed by the user or through the object model (values and formulas, not formats).
  virtual void SheetChange(const SheetPtr& /*sh*/, const RangePtr& /*target*/) {}
};

class IExcelApplication {
 public:
  virtual ~IExcelApplication() = default;
  // The version text ("12.0") in the given locale.
  virtual std::string Version(std::int32_t lcid) = 0;
  virtual WindowHandle Hwnd() = 0;
  virtual HostObjectPtr Selection() = 0;
  virtual RangePtr ActiveCell() = 0;
  virtual ExcelWindowPtr ActiveWindow() = 0;
  virtual SheetPtr ActiveSheet() = 0;
  virtual WorkbookPtr ActiveWorkbook() = 0;
  virtual bool Interactive() = 0;
  // The open workbook of that name; throws HostError when there is none.
  virtual WorkbookPtr Workbooks(const std::string& name) = 0;
  // The command bar of that name; throws HostError when there is none.
  virtual CommandBarPtr CommandBars(const std::string& name) = 0;
  // CommandBars.Add: a new, hidden bar of that name at that position (xl::kBarTop...); throws
  // HostError when the name is taken.
  virtual CommandBarPtr CommandBarsAdd(const std::string& name, std::int32_t position, bool temporary) = 0;
  // Sends keystrokes in the host's key notation ("^~", "{ESC}"); with wait, returns once processed.
  virtual void SendKeys(const std::string& keys, bool wait) = 0;
  // Types the keys ("^~", "{ESC}") as real keyboard input to the host's window, as the user's own
  // keys: no call into the object model, which refuses even SendKeys while a cell is edited. The
  // host handles them with its pending messages.
  virtual void TypeKeys(const std::string& keys) = 0;
  // Lets the host handle the window messages waiting in its queue, once.
  virtual void ProcessPendingMessages() = 0;
  // Shows the host's built-in dialog of that number (42: Format Cells on its Number tab) modally;
  // true when the user closed it with OK.
  virtual bool ShowBuiltInDialog(std::int32_t /*id*/) { MemberNotSupported("Dialogs"); }
  // Event subscription: a cookie to end it with. The host shares ownership of the receiver for as
  // long as it may call it, which is past a refused Unadvise.
  virtual std::int32_t Advise(std::shared_ptr<IApplicationEvents> sink) = 0;
  virtual void Unadvise(std::int32_t cookie) = 0;
};
using ExcelApplicationPtr = std::shared_ptr<IExcelApplication>;

}  // namespace tessaly

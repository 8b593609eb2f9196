// The add-in's one controller: owns the tag, the calendar form and the command-bar buttons, decides
// on every host event whether the tag is offered, opens the calendar beside the tag and writes the
// picked date back into the cell.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app_event_relay.h"
#include "core/button_click_relay.h"
#include "core/calendar_form.h"
#include "core/date_judge.h"
#include "core/image_list.h"
#include "core/tag_window.h"
#include "core/undo_pick.h"
#include "host/clipboard.h"
#include "host/clock.h"
#include "host/error_policy.h"
#include "host/excel.h"
#include "host/file_system.h"
#include "host/help_shell.h"
#include "host/message_box.h"
#include "host/ribbon.h"
#include "host/rounding.h"
#include "host/screen_metrics.h"
#include "host/timers.h"
#include "host/window_system.h"
#include "settings/m_vantry.h"

namespace tessaly {

// The windows and dialogs the controller creates or opens; each kind is built by its own module.
class IControllerParts {
 public:
  virtual ~IControllerParts() = default;
  virtual std::unique_ptr<ITagWindow> CreateTag() = 0;
  virtual std::unique_ptr<ICalendarForm> CreateCalendarForm() = 0;
  virtual std::unique_ptr<IImageList> CreateImageList() = 0;
  // Shows the options dialog modally.
  virtual void ShowSettings() = 0;
  // Shows the About box modally with its two icon resources.
  virtual void ShowAbout(const std::string& large_icon, const std::string& small_icon) = 0;
  // The add-in's icon resource of that name as a picture; throws HostError when there is none.
  virtual ButtonImagePtr LoadIconResource(const std::string& name) = 0;
};

// Has the host unload the add-in and load it again, so that it asks for the ribbon anew; the
// add-in's state stays in place throughout. The message is shown if the host refuses.
class IAddInReload {
 public:
  virtual ~IAddInReload() = default;
  virtual void ReloadAddIn(const AddInInstancePtr& addin, const std::string& message) = 0;
};

struct ControllerServices {
  mVantry& m;
  IMessageBox& messages;
  const IScreenMetrics& screen;
  IWindowSystem& windows;
  IHelpShell& help;
  const IClock& clock;
  const IDateJudge& dates;
  IControllerParts& parts;
  const IFileSystem& files;
  IClipboard* clipboard = nullptr;  // the button faces of hosts of version 9 pass through it; none: no faces there
  UndoPick* undo = nullptr;  // the last pick, kept by whoever outlives the controller; none: the controller's own
  // The host's message loop, for what waits until it runs: the command bars (none: made at
  // start-up) and the check of the tag's place after a repaint (none: checked at once).
  ITimerFactory* timers = nullptr;
};

// Where the calendar goes beside the tag: below it, or above when it would pass the window's
// bottom; at the tag's left, or pulled back inside the window's right edge. The result is then kept
// inside the workbook window's client area, where a child window is clipped anyway. Sizes in pixels.
// On a right-to-left sheet it opens towards the reading: its right edge at the tag's right edge,
// or pushed back inside the window's left edge, and a calendar wider than the client area keeps
// its right part in view.
struct CalendarPlacementInput {
  double tag_x = 0, tag_y = 0;
  double tag_height = 0;
  double calendar_width = 0, calendar_height = 0;
  std::optional<ScreenRect> window;  // the parent window's rectangle on screen; unknown: no tests
  std::optional<ScreenRect> client;  // its client area on screen; unknown: not kept inside
  std::int32_t margin = 8;
  double tag_width = 0;  // asked only right to left
  bool right_to_left = false;
};
ScreenPoint PlaceCalendar(const CalendarPlacementInput& in);


// A stored size in twips as screen pixels: a screen's twips per pixel outside any real display's
// is taken as 96 dots per inch, and the result lies between 0 and a screen's largest window.
inline constexpr double kDefaultTwipsPerPixel = 15;
inline constexpr double kMaxWindowPixels = 32767;
double PixelsOf(std::int32_t twips, double twips_per_pixel);

// The two messages of the display-calendar command.
std::string DisabledMessage(const std::string& product_name, int excel_version);
inline constexpr const char* kSelectCellFirst = "Please select a cell first.";
// A day picked before the first day a cell can hold.
inline constexpr const char* kDateBeforeCellYears = "Excel cannot store a date before 1900. The cell was not changed.";
// When Excel turns the add-in's calls away: busy with a dialog or a macro, or a cell being edited.
inline constexpr const char* kExcelBusy = "Excel is busy, so nothing was done. Finish what Excel is doing and try again.";
inline constexpr const char* kCellBeingEdited = "A cell is being edited, so nothing was done. Press Enter or Esc and try again.";
inline constexpr const char* kDateNotWrittenBusy = "The date was not written: Excel is busy. The cell was left as it was.";
inline constexpr const char* kDateNotWrittenEditing =
    "The date was not written: a cell is being edited. Press Enter or Esc, then pick the date again.";
// Undo Date: the ribbon button, and why the last pick cannot be taken back.
inline constexpr const char* kUndoDateId = "ZorelButtonUndoDate";
inline constexpr const char* kUndoDateCaption = "Undo Date";
inline constexpr const char* kUndoGone =
    "There is no date to undo: the cell has changed since the date was picked, or its workbook was closed.";
inline constexpr const char* kUndoRefused = "The date could not be undone: Excel would not change the cell. The cell was left as it was.";

class cVantry : public IApplicationEvents, public ITagEvents, public ICalendarFormEvents {
 public:
  cVantry(const ControllerServices& services, ExcelApplicationPtr app, AddInInstancePtr addin);
  ~cVantry() override;  // teardown
  cVantry(const cVantry&) = delete;
  cVantry& operator=(const cVantry&) = delete;

  void InitThisObject() noexcept;
  void ClickCommandButton() noexcept;
  // Whether Excel answers at all; when it refuses, the user is told why and the command does nothing.
  bool ExcelAnswers() noexcept;
  // Ends the editing of a cell, if any, with the user's keys; false when a cell is still edited.
  bool LeaveCellEditMode() noexcept;

  // Application events.
  void AppExcelEvent_SheetSelectionChange(const SheetPtr& Sh, const RangePtr& Target) noexcept;
  void AppExcelEvent_SheetActivate(const SheetPtr& Sh) noexcept;
  void AppExcelEvent_SheetDeactivate(const SheetPtr& Sh) noexcept;
  void AppExcelEvent_WindowActivate(const WorkbookPtr& Wb, const ExcelWindowPtr& Wn) noexcept;
  void AppExcelEvent_WindowDeactivate(const WorkbookPtr& Wb, const ExcelWindowPtr& Wn) noexcept;
  void AppExcelEvent_WindowResize(const WorkbookPtr& Wb, const ExcelWindowPtr& Wn) noexcept;

  // Tag and calendar form events.
  void moTag_TagClick() noexcept;
  void moCalendarForm_CalendarClose(Variant value) noexcept;

  // Command-bar and menu commands.
  void cbbDisplayCalendar_Click() noexcept { ClickCommandButton(); }
  void moRightClickMenu_Click() noexcept { ClickCommandButton(); }
  void moToolbarQuickButton_Click() noexcept { ClickCommandButton(); }
  void cbbSettings_Click() noexcept;
  void cbbHelp_Click() noexcept;
  void cbbAbout_Click() noexcept;
  void cbbDisable_Click() noexcept;
  // Undo Date: puts back what the last pick replaced, while the cell still holds the picked date.
  void UndoLastPick() noexcept;
  void cbbUndoDate_Click() noexcept { UndoLastPick(); }
  // Whether Undo Date would act now; a pick whose cell has changed or gone is forgotten here.
  bool UndoAvailable() noexcept;
  void AppExcelEvent_SheetChange(const SheetPtr& Sh, const RangePtr& Target) noexcept;
  // The enable half of the toggles: shows the tag at once for the current cell when it qualifies.
  void ShowTagForActiveCell() noexcept;

  // The "Cell" context-menu entry and the quick button on another toolbar: shown, hidden, or
  // created when shown for the first time. The quick button exists on hosts before version 12 only.
  // Undo Date follows the calendar's entry in the menu, shown and hidden with it.
  void DisplayRightClickMenu(bool show) noexcept;
  bool DisplayRightClickMenu() noexcept;
  void DisplayToolbarButton(bool show) noexcept;
  bool DisplayToolbarButton() noexcept;

  // Ribbon callbacks of hosts of version 12 and later.
  std::string GetCustomUI(const std::string& ribbon_id) noexcept;
  void ZorelOnLoad(const RibbonUIPtr& ribbon) noexcept { moRibbon = ribbon; }
  void ZorelToggleButtonProc(IRibbonControl& control, bool pressed) noexcept;
  bool ZorelToggleButtonGetPressed(IRibbonControl& control) noexcept;
  void ZorelButtonProc(IRibbonControl& control) noexcept;
  ButtonImagePtr ZorelLoadImage(const std::string& image_id) noexcept;
  ButtonImagePtr ZorelGetImage(IRibbonControl& control) noexcept;
  std::string ZorelGetScreentip(IRibbonControl& control) noexcept;
  bool ZorelGetEnabled(IRibbonControl& control) noexcept;

  // The installation mode: 1 for a group in the host's Insert tab ("calgroup.xml"), 0 for a tab
  // of its own. Setting another mode stores its ribbon file and reloads the add-in.
  std::int32_t RibbonUIType() noexcept;
  void RibbonUIType(std::int32_t value) noexcept;
  // Who reloads the add-in; without one a change of mode takes effect at the next start.
  void SetReloader(IAddInReload* reloader) { reloader_ = reloader; }

  // How long a selection stays before the calendar is readied for its cell.
  static constexpr std::int32_t kPrepareDelayMs = 30;

  // For the add-in entry, the ribbon and the tests.
  const std::string& OnActionText() const { return msOnAction; }
  ITagWindow* Tag() const { return moTag.get(); }
  ICalendarForm* CalendarForm() const { return moCalendarForm.get(); }
  IImageList* ImageList() const { return moImageList.get(); }
  const CommandBarControlPtr& EditModeProbe() const { return moEditModeProbe; }
  const CommandBarControlPtr& DisableButton() const { return cbbDisable; }
  const CommandBarControlPtr& RightClickMenu() const { return moRightClickMenu; }
  const CommandBarControlPtr& RightClickUndo() const { return moRightClickUndo; }
  const CommandBarControlPtr& UndoDateButton() const { return cbbUndoDate; }
  const CommandBarControlPtr& ToolbarQuickButton() const { return moToolbarQuickButton; }
  const CommandBarPtr& Toolbar() const { return moToolbar; }
  bool Subscribed() const { return cookie_ != 0; }
  // The command bars are still to be found or built, after the connection has returned.
  bool CommandBarsPending() const { return bars_pending_; }

 private:
  // IApplicationEvents, ITagEvents, ICalendarFormEvents: straight to the named handlers.
  void SheetSelectionChange(const SheetPtr& sh, const RangePtr& target) override { AppExcelEvent_SheetSelectionChange(sh, target); }
  void SheetActivate(const SheetPtr& sh) override { AppExcelEvent_SheetActivate(sh); }
  void SheetDeactivate(const SheetPtr& sh) override { AppExcelEvent_SheetDeactivate(sh); }
  void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { AppExcelEvent_WindowActivate(wb, wn); }
  void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { AppExcelEvent_WindowDeactivate(wb, wn); }
  void WindowResize(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { AppExcelEvent_WindowResize(wb, wn); }
  void TagClick() override { moTag_TagClick(); }
  void CalendarClose(const Variant& value) override { moCalendarForm_CalendarClose(value); }
  void SheetChange(const SheetPtr& sh, const RangePtr& target) override { AppExcelEvent_SheetChange(sh, target); }

  void Withdraw() noexcept;
  // Undo Date's record: kept after a pick the cell holds, checked against the cell before use,
  // forgotten once the cell has changed; every change shows on the ribbon button.
  enum class UndoState { Ready, Gone, Refused };
  UndoState CheckUndo() noexcept;
  void RememberPick(const RangePtr& cell, const std::optional<CellContent>& replaced, const Variant& picked) noexcept;
  void ForgetPick() noexcept;
  void ShowUndoState() noexcept;
  bool TouchesPickedCell(const SheetPtr& sh, const RangePtr& target);
  IRange& PickedCell();
  UndoPick& Undo() { return s_.undo ? *s_.undo : own_undo_; }
  // The decision for a selection; throws when the host fails, which ends it with the tag hidden.
  bool Qualifies(const SheetPtr& sh, const RangePtr& target);
  RangePtr ResolveTagTarget();
  // What an opening shows of the tag's cell: its date (the default date when it holds none; no
  // start value without a cell), the workbook's holidays when they are marked, and the cell's rule.
  struct Opening {
    Variant start;
    std::vector<double> holidays;
    std::optional<DateLimits> limits;
  };
  Opening ReadOpening(const RangePtr& target, SkipFailures& step);
  // The calendar readied for the tag's cell and window while the user moves to the tag, once the
  // selection is quiet (a held arrow key readies once); the click then does only what changed.
  void DeferPrepare() noexcept;
  void PrepareCalendar() noexcept;
  // The picked day at the time of day the cell holds, while dates may carry one; else as picked.
  Variant KeepTimeOfDay(const Variant& picked, IRange& cell);
  // After a write the cell's rule refuses: its alert, and on Stop what the pick replaced put back;
  // true when it was.
  bool ObeyCellRule(IRange& cell, const std::optional<CellContent>& replaced) noexcept;
  // From Excel 2013 on every workbook has its own main window, and the first may close while the
  // add-in runs: the main window is the active window's, found at each showing and each command.
  void FollowActiveMainWindow();
  // A window of ours destroyed with its parent (a workbook's main window closing) is made again when
  // next needed; never the tag while its own click runs.
  void RenewLostTag() noexcept;
  void RenewLostCalendarForm() noexcept;
  // Excel raises no event when the user scrolls, zooms, sizes columns or rows, hides them,
  // freezes panes or collapses the ribbon: the window the tag was shown in is watched. Scrolling
  // hides the tag and the calendar. A repaint, move or new size of the window asks, once the
  // window is quiet, whether the tag's cell moved (CheckTagPlace).
  void WatchTagWindow() noexcept;
  void ViewChanged() noexcept;
  // The check at the timer's next turn; false without timers.
  bool DeferViewCheck(std::int32_t milliseconds) noexcept;
  static constexpr std::int32_t kViewRecheckMs = 250;  // while Excel turns the check away
  // The tag moved beside its cell, or hidden when the cell left the view; a calendar shown beside
  // a tag that moved goes. Where nothing moved, nothing changes.
  void CheckTagPlace() noexcept;
  void InitUI2007() {}
  // The command bars are found or built once the connection has returned (a one-shot timer on the
  // host's thread), or at once when something asks for them first.
  void DeferCommandBars() noexcept;
  void CommandBarsNow() noexcept;
  void BuildCommandBars() noexcept;
  void InitUICommandBars();
  void BuildToolbar();
  struct ToolbarButton;
  void AddToolbarButton(const ToolbarButton& b);
  void DisplayCalendarEntry(bool show) noexcept;
  void DisplayUndoEntry(bool show) noexcept;
  void FindUndoEntry() noexcept;
  std::string UndoEntryTag();
  void SetButtonIcon(const CommandBarControlPtr& button, const std::string& key);
  // Routes the button's clicks to the handler for as long as the controller lives.
  using ClickHandler = void (cVantry::*)() noexcept;
  void Listen(const CommandBarControlPtr& button, ClickHandler handler);
  void StopListening() noexcept;
  void Forget(CommandBarControlPtr& control) noexcept;
  bool DeletedFromBar(const CommandBarControlPtr& control, const std::string& bar, const std::string& tag) noexcept;
  bool QuickButtonDeleted() noexcept;
  bool RightClickMenuDeleted() noexcept;
  void Inform(const std::string& text);
  // Stores an option the user changed with a command; a refusal is told with the system's reason.
  // True when the new value is in effect.
  bool Store(short index, const Variant& value);
  // The toolbar's disable button as the option in effect says: state, tooltip and icon.
  void ShowDisableButton(bool disabled) noexcept;
  std::string TagIconPath() const;
  const cUtilRegMan& Reg() const;
  cUtilRegMan& Reg();

  ControllerServices s_;
  ExcelApplicationPtr app_;
  AddInInstancePtr addin_;
  std::int32_t cookie_ = 0;
  std::shared_ptr<ApplicationEventRelay> relay_;  // what the host calls; detached at teardown

  ExcelApplicationPtr AppExcelEvent;
  std::unique_ptr<ICalendarForm> moCalendarForm;
  std::unique_ptr<ITagWindow> moTag;
  CommandBarControlPtr cbbDisplayCalendar, cbbSettings, cbbDisable, cbbHelp, cbbAbout;
  CommandBarControlPtr moRightClickMenu, moToolbarQuickButton;
  CommandBarControlPtr cbbUndoDate, moRightClickUndo;
  std::optional<bool> undo_controls_enabled_;  // as last shown on the command-bar controls
  CommandBarPtr moToolbar;
  std::unique_ptr<IImageList> moImageList;
  std::string msOnAction;
  CommandBarControlPtr moEditModeProbe;
  RibbonUIPtr moRibbon;
  std::unique_ptr<ITimer> bars_timer_;
  bool bars_pending_ = false;
  int tag_click_depth_ = 0;
  // A selection change the host raises inside our own write (a workbook's Change macro) is handled
  // once the write is over.
  int writing_ = 0;
  std::optional<std::pair<SheetPtr, RangePtr>> selection_during_write_;
  // The tag is being moved to the selected cell: a click it raises now is its own automatic
  // opening, which leaves the keyboard to the sheet.
  bool moving_tag_ = false;
  std::unique_ptr<IWindowWatch> view_watch_;
  WindowHandle watched_ = 0;
  std::unique_ptr<ITimer> view_timer_;
  std::unique_ptr<ITimer> prepare_timer_;
  bool view_check_due_ = false;  // a check waits for the timer
  bool checking_view_ = false;   // a check runs: what it repaints itself asks nothing
  IAddInReload* reloader_ = nullptr;
  UndoPick own_undo_;
  RangePtr undo_cell_;  // the picked cell as this connection reached it; follows it when rows move
  bool undoing_ = false;

  struct ButtonSubscription {
    CommandBarControlPtr button;
    std::shared_ptr<ButtonClickRelay<cVantry>> relay;
    std::int32_t cookie = 0;
  };
  std::vector<ButtonSubscription> button_events_;
};

}  // namespace tessaly

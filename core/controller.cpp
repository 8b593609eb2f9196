// The controller: its start-up, commands, the decision on every host event and the calendar's
// placement beside the tag.
#include "core/controller.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

namespace {

constexpr const char* kIconKeys[] = {"display", "enable", "disable", "setting16", "about", "help"};

template <class T>
const T& Must(const T& p) {
  if (!p) throw HostError(91, "Object variable not set");
  return p;
}

}  // namespace

double PixelsOf(std::int32_t twips, double twips_per_pixel) {
  // No screen reports fewer than one twip per pixel (1440 dots per inch) or more than 1440.
  const double tpp = std::isfinite(twips_per_pixel) && twips_per_pixel > 0 ? std::clamp(twips_per_pixel, 1.0, 1440.0)
                                                                            : kDefaultTwipsPerPixel;
  return std::clamp(twips / tpp, 0.0, kMaxWindowPixels);
}

ScreenPoint PlaceCalendar(const CalendarPlacementInput& in) {
  double top = in.tag_y + in.tag_height;
  double left = in.right_to_left ? in.tag_x + in.tag_width - in.calendar_width : in.tag_x;
  if (in.window) {
    const ScreenRect& w = *in.window;
    if (top + in.calendar_height > w.bottom) top = in.tag_y - in.calendar_height;
    if (!in.right_to_left && in.tag_x + in.calendar_width > w.right) left = w.right - in.calendar_width - 4.0 * in.margin;
    if (in.right_to_left && left < w.left) left = w.left + 4.0 * in.margin;
  }
  if (in.client) {
    // Wholly inside the client area when it fits, else from its top corner at the reading start
    // (left, or right on a right-to-left sheet): the title row is never the part cut off.
    const ScreenRect& c = *in.client;
    const double far = c.right - in.calendar_width;
    left = in.right_to_left ? std::clamp(left, std::min<double>(c.left, far), far)
                            : std::clamp(left, double(c.left), std::max<double>(c.left, far));
    top = std::clamp(top, double(c.top), std::max<double>(c.top, c.bottom - in.calendar_height));
  }
  return {RoundHalfEven(left), RoundHalfEven(top)};
}

std::string DisabledMessage(const std::string& name, int excel_version) {
  std::string tail = excel_version >= 12 ? "click the Disable button again in the Quenby ribbon group."
                                         : "click the Disable button again on the " + name + " toolbar.";
  return "You have disabled " + name + ".\r\n\r\nTo enable " + name + ", " + tail;
}

cVantry::cVantry(const ControllerServices& services, ExcelApplicationPtr app, AddInInstancePtr addin)
    : s_(services), app_(std::move(app)), addin_(std::move(addin)) {}

std::string cVantry::TagIconPath() const { return s_.m.AddInFolder + "pictures\\cal16.ico"; }

const cUtilRegMan& cVantry::Reg() const { return *Must(s_.m.RegMan); }
cUtilRegMan& cVantry::Reg() { return *Must(s_.m.RegMan); }

void cVantry::Inform(const std::string& text) {
  s_.messages.show({text, s_.m.ProductName, MsgIcon::Information, MsgButtons::OK});
}

bool cVantry::Store(short index, const Variant& value) {
  return SaveOrReport(Reg(), index, value, s_.messages, s_.m.ProductName);
}

bool cVantry::ExcelAnswers() noexcept {
  SkipFailures ask;
  ask([&] { app_->Interactive(); });
  if (!ask.refused()) return true;
  const bool editing = Attempt([&] { return moEditModeProbe && !moEditModeProbe->Enabled(); }).value_or(false);
  SkipFailures()([&] { Inform(editing ? kCellBeingEdited : kExcelBusy); });
  return false;
}

// ---------------------------------------------------------------- start-up and teardown

void cVantry::InitThisObject() noexcept {
  SkipFailures step;
  step([&] {
    moTag = s_.parts.CreateTag();
    Must(moTag)->SetEventSink(this);
  });
  step([&] { Must(moTag)->InitThisObject(TagIconPath()); });
  // The calendar form is made when the tag first shows, or the calendar is first asked for: its
  // windows are most of a connection's time, and the host waits for the connection.
  step([&] { msOnAction = "!<" + Must(addin_)->ProgId() + ">"; });
  step([&] { moImageList = s_.parts.CreateImageList(); });
  for (const char* key : kIconKeys) step([&] { Must(moImageList)->Add(key); });
  // Building a toolbar, its buttons and their faces is most of a first start, and the host waits
  // for the connection: the command bars come once it has returned.
  DeferCommandBars();
  step([&] { moEditModeProbe = app_->CommandBars("Visual Basic")->FindControl(xl::kControlButton, 3627, ""); });
  step([&] {
    if (!moEditModeProbe) moEditModeProbe = app_->CommandBars("WordArt Context Menu")->FindControl(xl::kControlButton, 2179, "");
  });
  step([&] {
    AppExcelEvent = app_;
    relay_ = std::make_shared<ApplicationEventRelay>(this);
    cookie_ = AppExcelEvent->Advise(relay_);
  });
}

cVantry::~cVantry() {
  // First of all: no event reaches a controller being taken apart, nor one that is gone; command
  // bars not made yet are never made.
  if (relay_) relay_->Detach();
  bars_timer_.reset();
  bars_pending_ = false;
  view_watch_.reset();
  view_timer_.reset();
  prepare_timer_.reset();
  StopListening();
  SkipFailures step;
  step([&] { Withdraw(); });
  step([&] {
    if (moCalendarForm) moCalendarForm->Unload();
  });
  step([&] {
    if (moTag) moTag->Unload();
  });
  moCalendarForm.reset();
  moTag.reset();
  step([&] {
    if (moImageList) moImageList->Clear();
  });
  moImageList.reset();
  step([&] {
    if (AppExcelEvent && cookie_) AppExcelEvent->Unadvise(cookie_);
  });
  cookie_ = 0;
  AppExcelEvent.reset();
  moEditModeProbe.reset();
}

// ---------------------------------------------------------------- edit mode and commands

bool cVantry::LeaveCellEditMode() noexcept {
  SkipFailures step;
  bool editing = false;
  step([&] { editing = moEditModeProbe && !moEditModeProbe->Enabled(); });
  if (!editing) return true;
  // Excel refuses its object model, SendKeys included, while a cell is edited: the keys go in as
  // the user's own, Excel handles them with its messages, and the probe tells whether they worked.
  step([&] { app_->TypeKeys(Reg().Bool(opt::AcceptNewValueInEditingMode) ? "^~" : "{ESC}"); });
  step([&] { app_->ProcessPendingMessages(); });
  step([&] { editing = !moEditModeProbe->Enabled(); });
  return !editing;
}

void cVantry::ClickCommandButton() noexcept {
  SkipFailures step;
  step([&] { FollowActiveMainWindow(); });
  bool disabled = false;
  step([&] { disabled = Reg().Bool(opt::CalendarDisabled); });
  if (disabled) {
    step([&] { Inform(DisabledMessage(s_.m.ProductName, s_.m.ExcelVersion)); });
    return;
  }
  step([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  step([&] { Must(moTag)->TagHide(); });
  // First out of edit mode: until then Excel answers none of the calls below.
  const bool left_edit_mode = LeaveCellEditMode();
  HostObjectPtr selection;
  std::string type_name;
  SkipFailures ask;
  ask([&] { selection = app_->Selection(); });
  ask([&] { type_name = Must(selection)->TypeName(); });
  if (ask.refused()) {
    step([&] { Inform(left_edit_mode ? kExcelBusy : kCellBeingEdited); });
    return;
  }
  if (!selection || !iequals(type_name, "range")) {
    step([&] { Inform(kSelectCellFirst); });
    return;
  }
  step([&] {
    if (Must(app_->ActiveWindow())->PanesCount() >= 2) Must(app_->ActiveCell())->Activate();
  });
  RangePtr target;
  step([&] { target = selection->AsRange(); });
  if (!target) return;  // nothing to show the tag for
  RenewLostTag();
  step([&] { Must(moTag)->TagDisplay(target); });
  WatchTagWindow();
  step([&] {
    if (Must(moTag)->Displayed()) moTag->TriggerClickEvent();
  });
  // Opened from the keyboard's reach (ribbon, toolbar, cell menu), even when the tag opened it on
  // its own as it was shown: the next key acts in the calendar.
  step([&] {
    if (Must(moCalendarForm)->Shown()) moCalendarForm->TakeFocus();
  });
}

void cVantry::cbbSettings_Click() noexcept {
  SkipFailures step;
  step([&] { FollowActiveMainWindow(); });
  step([&] { s_.parts.ShowSettings(); });
}

void cVantry::cbbHelp_Click() noexcept {
  SkipFailures()([&] { s_.help.DisplayHelpTopic(s_.m.HelpFilePath, "index.htm"); });
}

void cVantry::cbbAbout_Click() noexcept {
  SkipFailures step;
  step([&] { FollowActiveMainWindow(); });
  step([&] { s_.parts.ShowAbout("app32", "app16"); });
}

void cVantry::ShowTagForActiveCell() noexcept {
  SkipFailures step;
  SheetPtr sheet;
  RangePtr cell;
  bool worksheet = false;
  step([&] { sheet = app_->ActiveSheet(); });
  step([&] { worksheet = sheet && sheet->Type() == xl::kWorksheet; });
  step([&] { cell = app_->ActiveCell(); });
  if (!worksheet || !cell) return;
  step([&] { cell->Activate(); });  // the tag is offered even when the host refuses
  step([&] { AppExcelEvent_SheetSelectionChange(sheet, Must(app_->Selection())->AsRange()); });
}

// ---------------------------------------------------------------- the activation rules

void cVantry::Withdraw() noexcept {
  SkipFailures step;
  step([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  step([&] {
    if (moTag) moTag->TagHide();
  });
}

bool cVantry::Qualifies(const SheetPtr& sh, const RangePtr& target) {
  const cUtilRegMan& reg = Reg();
  if (reg.Bool(opt::CalendarDisabled)) return false;
  if (Must(sh)->Type() != xl::kWorksheet) return false;
  if (!app_->Interactive()) return false;
  WorkbookPtr book = Must(app_->ActiveWorkbook());
  if (book->IsInplace()) return false;
  Must(target);
  if (s_.m.ExcelVersion > 9 && !target->AllowEdit()) return false;
  if (target->AreasCount() > 1) return false;
  RangePtr first = Must(target->CellsItem(1));
  if (first->Locked() == Variant::boolean(true) && sh->ProtectContents()) return false;
  if (!reg.Bool(opt::ActiveForReadOnlyWorkbook) && book->ReadOnly()) return false;
  if (!reg.Bool(opt::ActiveOverwriteFormula) && first->HasFormula() == Variant::boolean(true)) return false;

  // Shape: whole rows or columns never; several cells only as one merged area.
  std::string address = target->Address(true, true, xl::kR1C1, false);
  if (address.find('R') == std::string::npos || address.find('C') == std::string::npos) return false;
  Variant merged = target->MergeCells();
  if (merged.is_null()) return false;
  if (merged == Variant::boolean(false) && target->CellsCount() >= 2) return false;

  const bool by_format = reg.Bool(opt::ActiveForCellFormat);
  const bool by_value = reg.Bool(opt::ActiveForGeneralFormatWithDateLikeValue);
  const IDateJudge& dates = s_.dates;
  if (by_format) {
    Variant format = first->NumberFormat();
    if (format.is_text() && dates.IsDateFormat(format)) return true;
  }
  if (by_value) {
    Variant value = first->Value();
    if (!value.is_empty() && dates.IsDateLikeValue(value)) return true;
  }
  const bool below_date = reg.Bool(opt::ActiveForCellBelowDate);
  const bool date_column = reg.Bool(opt::ActiveForDateColumn);
  if (!below_date && !date_column) return false;
  const std::int32_t row = target->Row();
  if (row < 2) return false;
  if (below_date) {
    RangePtr above = Must(target->Offset(-1, 0));
    if (by_format) {
      Variant format = above->NumberFormat();
      if (format.is_text() && dates.IsDateFormat(format)) return true;
    }
    if (by_value) {
      Variant value = Must(above->CellsItem(1))->Value();
      if (!value.is_empty() && dates.IsDateLikeValue(value)) return true;
    }
  }
  if (date_column) {
    Variant heading = Must(sh->Cells(row - 1, target->Column()))->Value();
    if (heading.is_text() && icontains(heading.as_text(), "date")) return true;
  }
  return false;
}

void cVantry::AppExcelEvent_SheetSelectionChange(const SheetPtr& Sh, const RangePtr& Target) noexcept {
  if (writing_ > 0) {
    selection_during_write_.emplace(Sh, Target);
    return;
  }
  // The calendar goes at once. The tag goes unless the new cell takes it too; then it is moved
  // there, never hidden and shown again in between, and the user sees the same.
  SkipFailures()([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  bool shown = false;
  StopOnFailure([&] {
    if (!Qualifies(Sh, Target)) return;
    FollowActiveMainWindow();
    RenewLostTag();
    const bool before = std::exchange(moving_tag_, true);
    struct Restore {
      bool& flag;
      bool value;
      ~Restore() { flag = value; }
    } restore{moving_tag_, before};
    shown = Must(moTag)->TagMove(Target);
    if (shown) WatchTagWindow();
  });
  // Ready before the tag can be clicked.
  if (shown) {
    RenewLostCalendarForm();
    DeferPrepare();
  }
  if (!shown) {
    SkipFailures()([&] {
      if (moTag) moTag->TagHide();
    });
  }
}

void cVantry::WatchTagWindow() noexcept {
  SkipFailures step;
  WindowHandle window = 0;
  step([&] { window = moTag && moTag->Displayed() ? moTag->ParentWindow() : 0; });
  if (!window || (window == watched_ && view_watch_)) return;
  view_watch_.reset();
  watched_ = 0;
  step([&] {
    view_watch_ = s_.windows.WatchView(window, {[this] { Withdraw(); }, [this] { ViewChanged(); }});
    watched_ = window;
  });
}

void cVantry::ViewChanged() noexcept {
  // Every repaint of the sheet comes here: nothing but flags until the window is quiet.
  if (view_check_due_ || checking_view_) return;
  if (!Attempt([&] { return moTag && moTag->Displayed(); }).value_or(false)) return;
  if (!DeferViewCheck(1)) CheckTagPlace();
}

bool cVantry::DeferViewCheck(std::int32_t milliseconds) noexcept {
  view_check_due_ = true;
  const bool deferred = s_.timers && StopOnFailure([&] {
    if (!view_timer_) view_timer_ = s_.timers->CreateTimer([this] {
      SkipFailures()([&] { view_timer_->SetInterval(0); });
      CheckTagPlace();
    });
    view_timer_->SetInterval(milliseconds);
  });
  if (!deferred) view_check_due_ = false;
  return deferred;
}

void cVantry::CheckTagPlace() noexcept {
  view_check_due_ = false;
  if (!moTag || checking_view_) return;
  checking_view_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{checking_view_};
  SkipFailures ask;
  TagFollowing followed = TagFollowing::Unchanged;
  ask([&] {
    if (moTag->Displayed()) followed = moTag->TagFollow(ResolveTagTarget());
  });
  // Excel turns calls away while a cell is edited or a dialog of its own is up, though its status
  // bar may still zoom: the tag stays for the user to click, and the check is asked again until
  // Excel answers. Any other failure leaves the place unknown.
  if (ask.refused()) {
    DeferViewCheck(kViewRecheckMs);
    return;
  }
  if (ask.failures() > 0) return Withdraw();
  if (followed == TagFollowing::Unchanged) return;
  SkipFailures()([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  SkipFailures()([&] {
    if (followed == TagFollowing::Hidden) moTag->TagHide();
  });
}

void cVantry::FollowActiveMainWindow() {
  if (s_.m.ExcelVersion < 15) return;  // one main window for the session, found at connection
  // With no workbook open the host's own main window remains.
  const ExcelWindowPtr active = app_->ActiveWindow();
  const WindowHandle main = active ? active->Hwnd() : app_->Hwnd();
  if (main) s_.m.ExcelMainWindow = main;
}

void cVantry::RenewLostTag() noexcept {
  if (tag_click_depth_ > 0) return;
  SkipFailures step;
  bool lost = false;
  step([&] { lost = moTag && moTag->WindowLost(); });
  if (!lost) return;
  moTag.reset();
  step([&] {
    moTag = s_.parts.CreateTag();
    Must(moTag)->SetEventSink(this);
  });
  step([&] { Must(moTag)->InitThisObject(TagIconPath()); });
}

void cVantry::RenewLostCalendarForm() noexcept {
  SkipFailures step;
  bool lost = !moCalendarForm;
  step([&] { lost = lost || moCalendarForm->WindowLost(); });
  if (!lost) return;
  moCalendarForm.reset();
  step([&] {
    moCalendarForm = s_.parts.CreateCalendarForm();
    Must(moCalendarForm)->SetEventSink(this);
  });
  step([&] { Must(moCalendarForm)->InitThisObject(Variant::date(std::floor(s_.clock.now()))); });
}

void cVantry::AppExcelEvent_SheetActivate(const SheetPtr& Sh) noexcept {
  Withdraw();
  StopOnFailure([&] {
    if (Reg().Bool(opt::CalendarDisabled) || Must(Sh)->Type() != xl::kWorksheet) return;
    HostObjectPtr selection = app_->Selection();
    if (!selection) return;
    RangePtr range = selection->AsRange();
    if (to_lower(selection->TypeName()) != "range") return;
    Must(range)->Activate();
    AppExcelEvent_SheetSelectionChange(Sh, range);
  });
}

void cVantry::AppExcelEvent_WindowActivate(const WorkbookPtr&, const ExcelWindowPtr& Wn) noexcept {
  Withdraw();
  // The workbook that closed before this one came forward may hold the picked cell.
  if (undo_cell_) UndoAvailable();
  StopOnFailure([&] {
    if (Reg().Bool(opt::CalendarDisabled)) return;
    SheetPtr sheet = Must(Must(Wn)->ActiveSheet());
    if (sheet->Type() != xl::kWorksheet) return;
    RangePtr cell = Wn->ActiveCell();
    if (!cell) return;
    cell->Activate();
    AppExcelEvent_SheetSelectionChange(sheet, Must(Wn->Selection())->AsRange());
  });
}

void cVantry::AppExcelEvent_WindowResize(const WorkbookPtr&, const ExcelWindowPtr& Wn) noexcept {
  Withdraw();
  StopOnFailure([&] {
    if (Reg().Bool(opt::CalendarDisabled)) return;
    SheetPtr sheet = Must(Must(Wn)->ActiveSheet());
    if (sheet->Type() != xl::kWorksheet) return;
    HostObjectPtr selection = Wn->Selection();
    if (!selection || to_lower(selection->TypeName()) != "range") return;
    RangePtr range = selection->AsRange();
    Must(range)->Activate();
    AppExcelEvent_SheetSelectionChange(sheet, range);
  });
}

void cVantry::AppExcelEvent_SheetDeactivate(const SheetPtr&) noexcept { Withdraw(); }

void cVantry::AppExcelEvent_WindowDeactivate(const WorkbookPtr&, const ExcelWindowPtr&) noexcept {
  Withdraw();
  // The window may be closing, and a form readied in it would go with it.
  SkipFailures()([&] {
    if (moCalendarForm) moCalendarForm->ReturnHome();
  });
}

}  // namespace tessaly

// The controller's calendar: readied for the tag's cell while the user moves to the tag, opened
// beside the tag on the cell's date, and the picked date written back into the cell.
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/cell_validation.h"
#include "core/controller.h"
#include "core/holidays.h"
#include "core/must.h"
#include "date/serial_date.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

namespace {

constexpr const char* kTextFormat = "@";  // the host's Text number format

}  // namespace

RangePtr cVantry::ResolveTagTarget() {
  ITagWindow& tag = *Must(moTag);
  return Must(Must(Must(app_->Workbooks(tag.WorkbookName()))->Worksheets(tag.SheetName()))->Range(tag.TargetAddress()));
}

void cVantry::moTag_TagClick() noexcept {
  // The tag whose click this is stays alive until the click is over.
  struct Depth {
    int& d;
    explicit Depth(int& v) : d(v) { ++d; }
    ~Depth() { --d; }
  } depth(tag_click_depth_);
  SkipFailures step;
  const bool left_edit_mode = LeaveCellEditMode();
  RenewLostCalendarForm();
  if (!moTag || !moCalendarForm) return;
  // The workbook window may have moved on screen with the tag inside it since the tag was placed
  // (its main window dragged, the ribbon collapsed over a restored window), which no message of
  // that window tells: the calendar goes beside the tag where it stands now.
  step([&] { moTag->ReadPlaceOnScreen(); });
  CalendarPlacementInput place;
  WindowHandle parent = 0;
  step([&] { parent = moTag->ParentWindow(); });
  step([&] { place.tag_x = moTag->X(); });
  step([&] { place.tag_y = moTag->Y(); });
  step([&] { place.margin = moTag->Margin(); });
  step([&] { place.right_to_left = moTag->RightToLeft(); });
  step([&] { place.window = s_.windows.WindowScreenRect(parent); });
  step([&] {
    const ScreenRect c = s_.windows.ClientRect(parent);
    const ScreenPoint tl = s_.windows.ClientToScreen(parent, {c.left, c.top});
    place.client = ScreenRect{tl.x, tl.y, tl.x + c.width(), tl.y + c.height()};
  });
  step([&] {
    const cUtilRegMan& reg = Reg();
    place.tag_height = PixelsOf(reg.Long(opt::TagSizeY), s_.screen.TwipsPerPixelY(parent));
    place.tag_width = PixelsOf(reg.Long(opt::TagSizeX), s_.screen.TwipsPerPixelX(parent));
    place.calendar_height = PixelsOf(reg.Long(opt::CalSizeY), s_.screen.TwipsPerPixelY(parent));
    place.calendar_width = PixelsOf(reg.Long(opt::CalSizeX), s_.screen.TwipsPerPixelX(parent));
  });
  // The form's own size where it will be shown, when it can tell: the stored sizes do not resize it.
  step([&] {
    if (const std::optional<Size> size = moCalendarForm->SizeIn(parent)) {
      place.calendar_width = std::clamp<double>(size->cx, 0, kMaxWindowPixels);
      place.calendar_height = std::clamp<double>(size->cy, 0, kMaxWindowPixels);
    }
  });
  const ScreenPoint at = PlaceCalendar(place);

  // The cell the tag was shown for, read again: it may have changed since the calendar was readied.
  RangePtr target;
  SkipFailures find;
  find([&] { target = ResolveTagTarget(); });
  if (find.refused()) {
    step([&] { Inform(left_edit_mode ? kExcelBusy : kCellBeingEdited); });
    return;
  }
  Opening opening = ReadOpening(target, step);
  step([&] { moCalendarForm->SetHolidays(std::move(opening.holidays)); });
  step([&] { moCalendarForm->SetLimits(opening.limits); });
  step([&] { moCalendarForm->ShowCalendar(at.x, at.y, opening.start, parent); });
  // A click on the tag hands the calendar the keyboard, as a command does: the user who clicks
  // and then types reaches it. Opened on its own at a selection, it leaves the keys to the sheet.
  step([&] {
    if (!moving_tag_ && moCalendarForm->Shown()) moCalendarForm->TakeFocus();
  });
}

cVantry::Opening cVantry::ReadOpening(const RangePtr& target, SkipFailures& step) {
  Opening o;
  if (target) {
    o.start = Variant::date(s_.m.CurrentDefaultDate);
    step([&] {
      Variant value = Must(target->CellsItem(1))->Value();
      if (value.is_empty()) return;
      if (auto date = s_.dates.ReadAsDate(value)) o.start = Variant::date(*date);
    });
  }
  // The workbook's holidays, read once for an opening rather than at every paint.
  if (Reg().Bool(opt::CalMarkHolidays))
    step([&] { o.holidays = ReadHolidays(*Must(app_->Workbooks(moTag->WorkbookName())), Reg().Text(opt::CalHolidaysName)); });
  // The cell's own date rule: the calendar offers only the days it takes.
  if (target) step([&] { o.limits = ReadCellRule(*Must(target->CellsItem(1)), s_.dates).limits; });
  return o;
}

void cVantry::DeferPrepare() noexcept {
  // A host without timers has it readied at once; a timer that cannot be made leaves it all to the click.
  if (!s_.timers) return PrepareCalendar();
  StopOnFailure([&] {
    if (!prepare_timer_) prepare_timer_ = s_.timers->CreateTimer([this] {
      SkipFailures()([&] { prepare_timer_->SetInterval(0); });
      PrepareCalendar();
    });
    prepare_timer_->SetInterval(kPrepareDelayMs);
  });
}

void cVantry::PrepareCalendar() noexcept {
  SkipFailures step;
  bool waiting = false;
  // A form destroyed with its window since the tag showed is made again at the next showing.
  step([&] {
    waiting = moTag && moTag->Displayed() && moCalendarForm && !moCalendarForm->Shown() && !moCalendarForm->WindowLost();
  });
  if (!waiting) return;
  RangePtr target;
  WindowHandle parent = 0;
  // Excel busy, or the cell gone: the click does it all.
  if (!StopOnFailure([&] {
        target = ResolveTagTarget();
        parent = moTag->ParentWindow();
      }))
    return;
  Opening opening = ReadOpening(target, step);
  step([&] { moCalendarForm->SetHolidays(std::move(opening.holidays)); });
  step([&] { moCalendarForm->SetLimits(opening.limits); });
  step([&] { moCalendarForm->Prepare(opening.start, parent); });
}

Variant cVantry::KeepTimeOfDay(const Variant& picked, IRange& cell) {
  if (!Reg().Bool(opt::DateCanContainTime)) return picked;
  const std::optional<double> held = s_.dates.ReadAsDate(cell.Value());
  const double time = held ? serial::time_part(*held) : 0;
  return time > 0 ? Variant::date(serial::combine(serial::day_part(picked.as_double()), time)) : picked;
}

void cVantry::moCalendarForm_CalendarClose(Variant value) noexcept {
  // The keys that end edit mode may reach the calendar itself, whose Enter picks again: the pick
  // under way is the one written.
  if (writing_ > 0) return;
  SkipFailures step;
  // A text is the form's cancel; anything else is written only when it is a date.
  if (!value.is_text() && s_.dates.IsDateLikeValue(value)) {
    // Typing may have started edit mode since the calendar opened; a selection Excel makes while it
    // handles the keys waits too, so the date goes to the cell the calendar was opened for.
    ++writing_;
    // The calendar goes first, giving the keyboard back to the sheet: a mouse pick takes the focus
    // from the cell being typed in, and the keys that end edit mode must reach that cell.
    step([&] {
      if (moCalendarForm) moCalendarForm->HideCalendar();
    });
    const bool left_edit_mode = LeaveCellEditMode();
    SkipFailures write;
    RangePtr cell;
    write([&] { cell = Must(ResolveTagTarget()->CellsItem(1)); });
    bool written = false;
    if (cell) {
      // A picked day keeps the time of day the cell holds, while dates may carry one.
      step([&] { value = KeepTimeOfDay(value, *cell); });
      // The format the cell had before: unknown when it cannot be read, and then left alone.
      std::optional<Variant> before = Attempt([&] { return cell->NumberFormat(); });
      // What the pick replaces, for Undo Date and for a rule of the cell that stops it.
      const std::optional<CellContent> replaced = Attempt([&] { return ReadCellContent(*cell, before); });
      // A rule only the cell can judge is asked once the date is in.
      const CellRule rule = ReadCellRule(*cell, s_.dates);
      // The host keeps what a Text cell receives as text: the cell takes the date format first, so
      // that it holds a real date, and takes Text back should the date be refused.
      bool reformatted = false;
      if (before && *before == Variant::text(kTextFormat))
        step([&] {
          if (!Reg().Bool(opt::SetDateFormatForNonDateCell)) return;
          cell->SetNumberFormat(Reg().Text(opt::DefaultDateFormat));
          reformatted = true;
        });
      written = write([&] { cell->SetValue(value); });
      if (!written && reformatted) step([&] { cell->SetNumberFormat(kTextFormat); });
      if (written && before) {
        step([&] {
          // A Change macro may have rewritten the cell: its format is ours only while it holds the date.
          const Variant now = cell->Value();
          if (!(now.is_date() || now.is_number()) || now.as_double() != value.as_double()) return;
          const cUtilRegMan& reg = Reg();
          std::string remembered = before->is_text() ? before->as_text() : std::string();
          if (!reg.Bool(opt::SetDateFormatForNonDateCell) || s_.dates.IsDateFormat(Variant::text(remembered))) return;
          const std::string& wanted = reg.Text(opt::DefaultDateFormat);
          Variant format = cell->NumberFormat();
          if (!format.is_text() || to_lower(format.as_text()) != to_lower(wanted)) cell->SetNumberFormat(wanted);
        });
      }
      // A rule that stops the pick puts the cell back: nothing is left to undo.
      const bool stopped = written && rule.ask_after_write && ObeyCellRule(*cell, replaced);
      if (written && !stopped) RememberPick(cell, replaced, value);
    }
    --writing_;
    if (!written && write.refused())
      step([&] { Inform(left_edit_mode ? kDateNotWrittenBusy : kDateNotWrittenEditing); });
  } else if (value.is_date() && serial::to_parts(value.as_double()).year < serial::kFirstCellYear) {
    // A day no cell can hold is told, never dropped unseen.
    step([&] { Inform(kDateBeforeCellYears); });
  }
  step([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  if (auto moved = std::exchange(selection_during_write_, std::nullopt))
    AppExcelEvent_SheetSelectionChange(moved->first, moved->second);
}

}  // namespace tessaly

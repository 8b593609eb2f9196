// The options dialog's load, validation and storing.
#include "dialogs/frm_settings.h"

#include <algorithm>
#include <cctype>

#include "date/serial_date.h"
#include "dialogs/frm_date_format.h"
#include "dialogs/frm_default_date.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

namespace {

// The activation and calendar check boxes and the boolean options they show.
struct BoxOption {
  int box;
  opt::Index option;
};
constexpr BoxOption kActivationBoxes[] = {
    {frmSettings::chkActiveForCellFormat, opt::ActiveForCellFormat},
    {frmSettings::chkActiveForCellBelowDate, opt::ActiveForCellBelowDate},
    {frmSettings::chkActiveForDateColumn, opt::ActiveForDateColumn},
    {frmSettings::chkActiveForDateLikeValue, opt::ActiveForGeneralFormatWithDateLikeValue},
};
constexpr BoxOption kCalendarBoxes[] = {
    {frmSettings::chkDisplayTooltip, opt::DisplayTooltip},
    {frmSettings::chkDisplayCalendarAutomatically, opt::DisplayCalendarAutomatically},
    {frmSettings::chkDateCanContainTime, opt::DateCanContainTime},
    {frmSettings::chkShowWeekNumbers, opt::CalShowWeekNumbers},
    {frmSettings::chkMarkWeekends, opt::CalMarkWeekends},
    {frmSettings::chkMarkHolidays, opt::CalMarkHolidays},
};

// A year the dialog accepts: exactly four decimal digits (no sign, exponent or hexadecimal form),
// and one whose days a cell can hold, or every pick in it would be refused.
bool IsCellYear(const std::string& text) {
  return text.size() == 4 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }) &&
         std::stoi(text) >= serial::kFirstCellYear;
}

// A weekend as the list names it: its days from Monday, joined by commas.
std::string WeekendName(WeekendDays days, const LocaleData& locale) {
  std::string name;
  for (int i = 0; i < 7; ++i) {
    const int weekday = (i + 1) % 7 + 1;
    if (!is_weekend(days, weekday)) continue;
    if (!name.empty()) name += ", ";
    name += locale.day_names[static_cast<std::size_t>(weekday - 1)];
  }
  return name;
}

}  // namespace

std::string YearMessage(const std::string& field) {
  return "Please enter a 4-digits year in the '" + field + "' field.";
}

void frmSettings::Load(IDialogWindow& w) {
  w_ = &w;
  const cUtilRegMan& reg = *s_.m.RegMan;
  SkipFailures step;
  step([&] { w.SetIcons("app16"); });
  step([&] {
    w.Clear(cboWeekNames);
    for (const std::string& day : s_.m.UserLocale.day_names) w.AddItem(cboWeekNames, day);
    w.SetListIndex(cboWeekNames, reg.Long(opt::CalFirstDayOfWeek) - 1);
  });
  for (const BoxOption& b : kActivationBoxes) step([&] { w.SetValue(b.box, reg.BooleanTo10(b.option)); });
  if (s_.m.ExcelVersion < 12) {
    step([&] { w.SetVisible(lblInstallAs, false); });
    step([&] { w.SetVisible(cboInstallAs, false); });
    step([&] { w.SetValue(chkActiveForStandardToolbarButton, s_.entry.DisplayToolbarButton() ? 1 : 0); });
    step([&] { w.SetValue(chkActiveForRightClickMenu, s_.entry.DisplayRightClickMenu() ? 1 : 0); });
  } else {
    // The install row takes the toolbar box's place.
    step([&] {
      const int top = w.Top(chkActiveForStandardToolbarButton);
      w.SetTop(lblInstallAs, top + 5);
      w.SetTop(cboInstallAs, top - 50);
    });
    step([&] {
      w.Clear(cboInstallAs);
      w.AddItem(cboInstallAs, kSeparateTab);
      w.AddItem(cboInstallAs, kInsertGroup);
    });
    step([&] { w.SetListIndex(cboInstallAs, s_.entry.RibbonUIType() != 0 ? 1 : 0); });
    step([&] { w.SetVisible(chkActiveForStandardToolbarButton, false); });
    step([&] { w.SetValue(chkActiveForRightClickMenu, s_.entry.DisplayRightClickMenu() ? 1 : 0); });
  }
  step([&] { w.SetText(txtYearStart, std::to_string(reg.Long(opt::CalendarYearMin))); });
  step([&] { w.SetText(txtYearEnd, std::to_string(reg.Long(opt::CalendarYearMax))); });
  step([&] { w.SetValue(chkSetDateFormatForNonDateCell, reg.BooleanTo10(opt::SetDateFormatForNonDateCell)); });
  step([&] { w.SetText(txtDefaultDateFormat, reg.Text(opt::DefaultDateFormat)); });
  for (const BoxOption& b : kCalendarBoxes) step([&] { w.SetValue(b.box, reg.BooleanTo10(b.option)); });
  LoadMarks();
}

// The week numbering, the weekend among WORKDAY.INTL's numbered ones (or the stored one besides
// them) and the holidays' name.
void frmSettings::LoadMarks() {
  IDialogWindow& w = *w_;
  const cUtilRegMan& reg = *s_.m.RegMan;
  SkipFailures step;
  step([&] {
    w.Clear(cboWeekNumberSystem);
    w.AddItem(cboWeekNumberSystem, kWeekNumbersIso);
    w.AddItem(cboWeekNumberSystem, kWeekNumbersFirstJanuary);
    w.SetListIndex(cboWeekNumberSystem, reg.Long(opt::CalWeekNumberSystem) == 1 ? 1 : 0);
  });
  step([&] {
    const auto numbered = NumberedWeekends();
    weekends_.assign(numbered.begin(), numbered.end());
    const WeekendDays stored = ParseWeekendDays(reg.Text(opt::CalWeekendDays)).value_or(kSaturdaySunday);
    if (std::find(weekends_.begin(), weekends_.end(), stored) == weekends_.end()) weekends_.push_back(stored);
    w.Clear(cboWeekendDays);
    for (WeekendDays days : weekends_) w.AddItem(cboWeekendDays, WeekendName(days, s_.m.UserLocale));
    w.SetListIndex(cboWeekendDays, static_cast<int>(std::find(weekends_.begin(), weekends_.end(), stored) - weekends_.begin()));
  });
  step([&] { w.SetText(txtHolidaysName, reg.Text(opt::CalHolidaysName)); });
}

void frmSettings::Click(int control) {
  SkipFailures step;
  switch (control) {
    case cmdOK: step([&] { cmdOK_Click(); }); break;
    case cmdClose: Cancel(); break;
    case cmdHelp: step([&] { s_.help.DisplayHelpTopic(s_.m.HelpFilePath, "settings.htm"); }); break;
    case cmdDateFormat:
      step([&] {
        frmDateFormat dialog(s_);
        s_.dialogs.ShowModal(DialogKind::DateFormat, dialog, w_->Handle());
      });
      break;
    case cmdDefaultDate:
      step([&] {
        frmDefaultDate dialog(s_);
        s_.dialogs.ShowModal(DialogKind::DefaultDate, dialog, w_->Handle());
      });
      break;
    default: break;
  }
}

void frmSettings::Cancel() {
  SkipFailures()([&] { w_->Close(); });
}

void frmSettings::Inform(const std::string& text, int focus) {
  ShowDialogMessage(s_, text, MsgIcon::Information);
  SkipFailures()([&] { w_->SetFocus(focus); });
}

bool frmSettings::CheckYear(int text_box, const std::string& field) {
  const std::string year = trim(w_->Text(text_box));
  w_->SetText(text_box, year);
  if (IsCellYear(year)) return true;
  Inform(YearMessage(field), text_box);
  return false;
}

bool frmSettings::Validate() {
  if (!CheckYear(txtYearStart, kYearFromField)) return false;
  if (!CheckYear(txtYearEnd, kYearToField)) return false;
  if (std::stoi(w_->Text(txtYearStart)) > std::stoi(w_->Text(txtYearEnd))) {
    Inform(kYearRangeMessage, txtYearStart);
    return false;
  }
  const std::string format = trim(w_->Text(txtDefaultDateFormat));
  w_->SetText(txtDefaultDateFormat, format);
  if (!s_.dates.IsDateFormat(Variant::text(format))) {
    Inform(kInvalidDefaultFormat, txtDefaultDateFormat);
    return false;
  }
  return true;
}

void frmSettings::cmdOK_Click() {
  // A control that cannot be read fails the validation: nothing is stored and the dialog stays.
  if (!Attempt([&] { return Validate(); }).value_or(false)) return;
  // Excel busy: nothing is stored, and the dialog stays for another try.
  if (!Attempt([&] { return s_.entry.HostAnswers(); }).value_or(false)) return;
  Store();
  Cancel();
}

void frmSettings::Store() {
  cUtilRegMan& reg = *s_.m.RegMan;
  IDialogWindow& w = *w_;
  SkipFailures step;
  const auto store_box = [&](const BoxOption& b) {
    step([&] {
      const int box = w.Value(b.box);
      if (box != reg.BooleanTo10(b.option)) StoreOption(s_, b.option, Variant::boolean(box == 1));
    });
  };
  for (const BoxOption& b : kActivationBoxes) store_box(b);
  if (s_.m.ExcelVersion >= 12) {
    step([&] { s_.entry.RibbonUIType(w.ListIndex(cboInstallAs) == 0 ? kRibbonSeparateTab : kRibbonInsertGroup); });
  } else {
    step([&] {
      const bool show = w.Value(chkActiveForStandardToolbarButton) == 1;
      if (show != s_.entry.DisplayToolbarButton()) s_.entry.DisplayToolbarButton(show);
    });
  }
  step([&] {
    const bool show = w.Value(chkActiveForRightClickMenu) == 1;
    if (show != s_.entry.DisplayRightClickMenu()) s_.entry.DisplayRightClickMenu(show);
  });
  step([&] {
    // Nothing selected (a stored day outside Sunday..Saturday) keeps the stored day.
    const int day = w.ListIndex(cboWeekNames) + 1;
    if (day >= 1 && day != reg.Long(opt::CalFirstDayOfWeek))
      StoreOption(s_, opt::CalFirstDayOfWeek, Variant::i2(static_cast<std::int16_t>(day)));
  });
  for (const auto& field : {std::pair{txtYearStart, opt::CalendarYearMin}, std::pair{txtYearEnd, opt::CalendarYearMax}})
    step([&] {
      const int year = std::stoi(w.Text(field.first));
      if (year != reg.Long(field.second)) StoreOption(s_, field.second, Variant::i2(static_cast<std::int16_t>(year)));
    });
  store_box({chkSetDateFormatForNonDateCell, opt::SetDateFormatForNonDateCell});
  step([&] {
    const std::string format = trim(w.Text(txtDefaultDateFormat));
    if (format != reg.Text(opt::DefaultDateFormat)) StoreOption(s_, opt::DefaultDateFormat, Variant::text(format));
  });
  for (const BoxOption& b : kCalendarBoxes) store_box(b);
  StoreMarks();
}

void frmSettings::StoreMarks() {
  IDialogWindow& w = *w_;
  const cUtilRegMan& reg = *s_.m.RegMan;
  SkipFailures step;
  step([&] {
    const int system = w.ListIndex(cboWeekNumberSystem);
    if (system >= 0 && system != reg.Long(opt::CalWeekNumberSystem))
      StoreOption(s_, opt::CalWeekNumberSystem, Variant::i2(static_cast<std::int16_t>(system)));
  });
  step([&] {
    const int i = w.ListIndex(cboWeekendDays);
    if (i < 0 || i >= static_cast<int>(weekends_.size())) return;
    const std::string text = WeekendDaysText(weekends_[static_cast<std::size_t>(i)]);
    if (text != reg.Text(opt::CalWeekendDays)) StoreOption(s_, opt::CalWeekendDays, Variant::text(text));
  });
  step([&] {
    const std::string name = trim(w.Text(txtHolidaysName));
    if (name != reg.Text(opt::CalHolidaysName)) StoreOption(s_, opt::CalHolidaysName, Variant::text(name));
  });
}

}  // namespace tessaly

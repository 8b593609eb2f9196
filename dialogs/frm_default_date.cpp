// The default date dialog's load and OK.
#include "dialogs/frm_default_date.h"

#include <cmath>

#include "date/date_format.h"
#include "date/date_parse.h"
#include "date/serial_date.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

void frmDefaultDate::Load(IDialogWindow& w) {
  w_ = &w;
  const cUtilRegMan& reg = *s_.m.RegMan;
  SkipFailures step;
  step([&] { w.SetIcons("app16"); });
  if (reg.Bool(opt::DefaultDateResotre)) {
    step([&] { w.SetValue(chkRestore, 1); });
    step([&] { w.SetText(txtDate, reg.Text(opt::DefaultDate)); });
  } else {
    step([&] { w.SetValue(chkRestore, 0); });
    // The system's short date form: a date's default text.
    step([&] { w.SetText(txtDate, FormatDateAsText(s_.m.CurrentDefaultDate, "@", s_.m.UserLocale).value_or("")); });
  }
}

void frmDefaultDate::Click(int control) {
  SkipFailures step;
  switch (control) {
    case cmdOK: step([&] { cmdOK_Click(); }); break;
    case cmdCancel: Cancel(); break;
    case cmdHelp: step([&] { s_.help.DisplayHelpTopic(s_.m.HelpFilePath, "default_date.htm"); }); break;
    default: break;
  }
}

void frmDefaultDate::Cancel() {
  SkipFailures()([&] { w_->Close(); });
}

std::optional<double> frmDefaultDate::ParseDate(const std::string& text) const {
  const double today = std::floor(s_.clock.now());
  return ParseDateText(text, s_.m.UserLocale, serial::to_parts(today).year);
}

void frmDefaultDate::cmdOK_Click() {
  const std::string text = trim(w_->Text(txtDate));
  const std::optional<double> date = text.empty() ? std::nullopt : ParseDate(text);
  if (!text.empty() && !date) {
    ShowDialogMessage(s_, kInvalidDateValue, MsgIcon::Information);
    SkipFailures()([&] { w_->SetFocus(txtDate); });
    return;
  }
  const bool restore = w_->Value(chkRestore) == 1;
  SkipFailures step;
  step([&] { StoreOption(s_, opt::DefaultDateResotre, Variant::boolean(restore)); });
  step([&] { StoreOption(s_, opt::DefaultDate, Variant::text(restore ? text : "")); });
  step([&] { s_.m.CurrentDefaultDate = date ? *date : std::floor(s_.clock.now()); });
  Cancel();
}

}  // namespace tessaly

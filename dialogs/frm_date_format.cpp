// The custom date formats dialog's list editing, Format Cells look-up and storing.
#include "dialogs/frm_date_format.h"

#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

std::string AlreadyListedMessage(const std::string& format, bool valid_list) {
  return "The format '" + format + "' has already been added to the " + (valid_list ? "valid" : "invalid") +
         " format list.";
}

std::string DelimiterWarning(const std::string& product_name) {
  return "Warning: \r\n\r\nThe format codes you use contain the default delimiter. Your custom formats may not work "
         "propertly.\r\n\r\nPlease contact the author of " +
         product_name + " for a solution.";
}

std::vector<std::string> SplitFormatList(const std::string& stored, const std::string& delimiter) {
  if (stored.empty()) return {};
  if (delimiter.empty()) return {stored};
  return split(stored, delimiter);
}

void frmDateFormat::Load(IDialogWindow& w) {
  w_ = &w;
  SkipFailures step;
  step([&] { w.SetIcons("app16"); });
  for (const auto& pair : {std::pair{lstValidList, opt::CustomDateFormatsValid},
                            std::pair{lstInvalidList, opt::CustomDateFormatsInvalid}})
    step([&] {
      for (const std::string& item : SplitFormatList(s_.m.RegMan->Text(pair.second), s_.m.FormatDelimiter))
        w.AddItem(pair.first, item);
    });
}

void frmDateFormat::Click(int control) {
  SkipFailures step;
  switch (control) {
    case cmdValidAdd: step([&] { Add(lstValidList, txtValidEdit); }); break;
    case cmdInvalidAdd: step([&] { Add(lstInvalidList, txtInvalidEdit); }); break;
    case cmdValidDelete: step([&] { Delete(lstValidList); }); break;
    case cmdInvalidDelete: step([&] { Delete(lstInvalidList); }); break;
    case cmdValidClearAll: step([&] { w_->Clear(lstValidList); }); break;
    case cmdInvalidClearAll: step([&] { w_->Clear(lstInvalidList); }); break;
    case lstValidList:
      step([&] {
        const int index = w_->ListIndex(lstValidList);
        if (index >= 0) w_->SetText(txtValidEdit, w_->Item(lstValidList, index));
      });
      break;
    case cmdFormatCells: cmdFormatCells_Click(); break;
    case cmdOK: step([&] { cmdOK_Click(); }); break;
    case cmdCancel: Cancel(); break;
    case cmdHelp: step([&] { s_.help.DisplayHelpTopic(s_.m.HelpFilePath, "custom_date_formats.htm"); }); break;
    default: break;
  }
}

void frmDateFormat::Cancel() {
  SkipFailures()([&] { w_->Close(); });
}

std::vector<std::string> frmDateFormat::Items(int list) {
  std::vector<std::string> items;
  const int n = w_->ItemCount(list);
  for (int i = 0; i < n; ++i) items.push_back(w_->Item(list, i));
  return items;
}

void frmDateFormat::Add(int list, int edit) {
  const std::string format = trim(w_->Text(edit));
  if (format.empty() || IsFormatListed(format)) return;
  w_->AddItem(list, format);
  w_->SetText(edit, "");
  w_->SetFocus(edit);
}

bool frmDateFormat::IsFormatListed(const std::string& format) {
  for (auto [list, valid] : {std::pair{lstValidList, true}, std::pair{lstInvalidList, false}})
    for (const std::string& item : Items(list))
      if (iequals(item, format)) {
        ShowDialogMessage(s_, AlreadyListedMessage(format, valid), MsgIcon::Exclamation);
        return true;
      }
  return false;
}

void frmDateFormat::Delete(int list) {
  const int index = w_->ListIndex(list);
  if (index < 0) {
    ShowDialogMessage(s_, kSelectFormatToDelete, MsgIcon::Exclamation);
    return;
  }
  w_->RemoveItem(list, index);
}

void frmDateFormat::cmdFormatCells_Click() {
  // Only a look-up: whatever the user picks there, no cell keeps it. The host's OK formats the
  // whole selection, so only the active cell is selected while the dialog is open; its format is
  // put back, then the user's selection. A format that cannot be read could not be put back, and a
  // selection that cannot be narrowed would be formatted whole: then the dialog is not shown.
  SkipFailures step;
  RangePtr cell;
  HostObjectPtr selection;
  Variant format;
  step([&] { cell = s_.app->ActiveCell(); });
  if (cell) {
    step([&] { format = cell->NumberFormat(); });
    if (!format.is_text()) return;
    step([&] { selection = s_.app->Selection(); });
    if (!step([&] { cell->Select(); })) return;
  }
  bool ok = false;
  step([&] { ok = s_.app->ShowBuiltInDialog(kFormatCellsDialog); });
  if (!cell) return;
  if (ok) step([&] { cell->SetNumberFormat(format.as_text()); });
  step([&] {
    if (selection) selection->AsRange()->Select();
  });
  step([&] { cell->Activate(); });
}

void frmDateFormat::cmdOK_Click() {
  const std::string& delimiter = s_.m.FormatDelimiter;
  const std::vector<std::string> valid = Items(lstValidList);
  const std::vector<std::string> invalid = Items(lstInvalidList);
  for (const auto* items : {&valid, &invalid})
    for (const std::string& item : *items)
      if (!delimiter.empty() && icontains(item, delimiter))
        ShowDialogMessage(s_, DelimiterWarning(s_.m.ProductName), MsgIcon::Exclamation);
  SkipFailures step;
  for (const auto& pair : {std::pair{&valid, opt::CustomDateFormatsValid}, std::pair{&invalid, opt::CustomDateFormatsInvalid}})
    step([&] {
      const std::vector<std::string>& items = *pair.first;
      std::string joined;
      for (std::size_t i = 0; i < items.size(); ++i) joined += (i ? delimiter : "") + items[i];
      StoreOption(s_, pair.second, Variant::text(joined));
    });
  Cancel();
}

}  // namespace tessaly

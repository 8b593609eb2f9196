// The default date dialog: the date the calendar starts on for cells without a date, and whether
// it is remembered for the next start of the host.
#pragma once

#include <optional>
#include <string>

#include "dialogs/dialog_services.h"

namespace tessaly {

inline constexpr const char* kInvalidDateValue = "Invalid date value.";

class frmDefaultDate : public IDialogHandler {
 public:
  // Its controls; 1 and 2 are the default and cancel buttons.
  enum Control : int {
    cmdOK = 1,
    cmdCancel = 2,
    txtDate = 300,
    chkRestore,
    cmdHelp,
  };

  explicit frmDefaultDate(const DialogServices& services) : s_(services) {}

  void Load(IDialogWindow& window) override;
  void Click(int control) override;
  void Cancel() override;

 private:
  void cmdOK_Click();
  std::optional<double> ParseDate(const std::string& text) const;

  DialogServices s_;
  IDialogWindow* w_ = nullptr;
};

}  // namespace tessaly

// The options dialog: which cells activate the tag, where the commands appear, and the calendar's
// options; stores only what changed, and opens the custom date formats and default date dialogs.
#pragma once

#include <string>
#include <vector>

#include "date/weekend.h"

#include "dialogs/dialog_services.h"

namespace tessaly {

inline constexpr const char* kYearFromField = "Year selection box / From";
inline constexpr const char* kYearToField = "Year selection box / To";
inline constexpr const char* kYearRangeMessage = "'From' must be smaller than 'To' in the 'Year selection box' options.";
inline constexpr const char* kInvalidDefaultFormat = "Invalid default date format.";
inline constexpr const char* kSeparateTab = "A separate tab";
inline constexpr const char* kInsertGroup = "A group in Insert tab";
inline constexpr const char* kWeekNumbersIso = "ISO 8601";
inline constexpr const char* kWeekNumbersFirstJanuary = "Week of 1 January is week 1";

// The year message for a field.
std::string YearMessage(const std::string& field);

class frmSettings : public IDialogHandler {
 public:
  // Its controls; 1 and 2 are the default and cancel buttons.
  enum Control : int {
    cmdOK = 1,
    cmdClose = 2,
    chkActiveForCellFormat = 100,
    chkActiveForCellBelowDate,
    chkActiveForDateColumn,
    chkActiveForDateLikeValue,
    chkActiveForStandardToolbarButton,
    chkActiveForRightClickMenu,
    lblInstallAs,
    cboInstallAs,
    chkDateCanContainTime,
    chkDisplayCalendarAutomatically,
    chkSetDateFormatForNonDateCell,
    txtDefaultDateFormat,
    txtYearStart,
    txtYearEnd,
    chkDisplayTooltip,
    cboWeekNames,
    cmdHelp,
    cmdDateFormat,
    cmdDefaultDate,
    chkShowWeekNumbers,
    cboWeekNumberSystem,
    chkMarkWeekends,
    cboWeekendDays,
    chkMarkHolidays,
    txtHolidaysName,
  };

  explicit frmSettings(const DialogServices& services) : s_(services) {}

  void Load(IDialogWindow& window) override;
  void Click(int control) override;
  void Cancel() override;

 private:
  void cmdOK_Click();
  bool Validate();
  void Store();
  bool CheckYear(int text_box, const std::string& field);
  void Inform(const std::string& text, int focus);
  void LoadMarks();
  void StoreMarks();

  DialogServices s_;
  IDialogWindow* w_ = nullptr;
  std::vector<WeekendDays> weekends_;  // the weekend of each entry of cboWeekendDays
};

}  // namespace tessaly

// Dialog-unit layouts of the options, custom date formats and default date dialogs; the order of
// the items is the Tab order, and each edit or list box follows the label that names it.
#include "win/ui/option_dialog_layouts.h"

#include "dialogs/frm_date_format.h"
#include "dialogs/frm_default_date.h"
#include "dialogs/frm_settings.h"

namespace tessaly::win {

namespace {

constexpr DWORD kFrame = BS_GROUPBOX;
constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefault = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr const wchar_t* B = L"BUTTON";
constexpr const wchar_t* S = L"STATIC";
constexpr const wchar_t* E = L"EDIT";

using St = frmSettings;
constexpr DialogItem kSettingsItems[] = {
    {-1, B, L"When to display in-cell icon button", kFrame, 7, 4, 316, 66},
    {St::chkActiveForCellFormat, B, L"Cell &with a date format", kCheck, 15, 17, 300, 10},
    {St::chkActiveForCellBelowDate, B, L"Cell &underneath a cell with a date value or format in it", kCheck, 15, 29, 300, 10},
    {St::chkActiveForDateColumn, B, L"Cell underneath a cell &that has some form of the word \"date\" in it", kCheck, 15, 41, 300, 10},
    {St::chkActiveForDateLikeValue, B, L"Cell with &a date-like value", kCheck, 15, 53, 300, 10},
    {-1, B, L"Quenby entry points", kFrame, 7, 74, 316, 44},
    {St::chkActiveForStandardToolbarButton, B, L"Add button to &Standard toolbar", kCheck, 15, 87, 200, 10},
    {St::lblInstallAs, S, L"Install this program as", kLabel, 15, 88, 84, 8},
    {St::cboInstallAs, L"COMBOBOX", L"", kDropList, 102, 86, 120, 60, ItemKind::Combo},
    {St::chkActiveForRightClickMenu, B, L"Add command to right click &menu", kCheck, 15, 102, 200, 10},
    {-1, B, L"Calendar options", kFrame, 7, 122, 316, 120},
    {St::chkDateCanContainTime, B, L"Date can contain time", kCheck, 15, 135, 140, 10},
    {St::chkDisplayCalendarAutomatically, B, L"Display calendar automatically", kCheck, 165, 135, 150, 10},
    {St::chkSetDateFormatForNonDateCell, B, L"A&pply the following date format if the target cell is not formatted as date",
     kCheck, 15, 150, 304, 10},
    {St::txtDefaultDateFormat, E, L"", kEdit, 27, 163, 130, 13, ItemKind::Other, L"Date format for cells not formatted as date"},
    {-1, S, L"Year selection box", kLabel, 15, 185, 70, 8},
    {-1, S, L"From", kLabel, 90, 185, 20, 8},
    {St::txtYearStart, E, L"", kEdit, 112, 183, 32, 13},
    {-1, S, L"To", kLabel, 152, 185, 12, 8},
    {St::txtYearEnd, E, L"", kEdit, 166, 183, 32, 13},
    {St::chkDisplayTooltip, B, L"D&isplay tooltip", kCheck, 15, 203, 140, 10},
    {-1, S, L"First day of week", kLabel, 15, 222, 70, 8},
    {St::cboWeekNames, L"COMBOBOX", L"", kDropList, 90, 220, 90, 110, ItemKind::Combo},
    {-1, B, L"Calendar marks", kFrame, 7, 246, 316, 62},
    {St::chkShowWeekNumbers, B, L"Show wee&k numbers", kCheck, 15, 259, 95, 10},
    {-1, S, L"&Numbering", kLabel, 112, 260, 64, 8},
    {St::cboWeekNumberSystem, L"COMBOBOX", L"", kDropList, 178, 257, 138, 60, ItemKind::Combo},
    {St::chkMarkWeekends, B, L"Mark week&ends", kCheck, 15, 275, 95, 10},
    {-1, S, L"&Days", kLabel, 112, 276, 64, 8},
    {St::cboWeekendDays, L"COMBOBOX", L"", kDropList, 178, 273, 138, 130, ItemKind::Combo},
    {St::chkMarkHolidays, B, L"Mark ho&lidays", kCheck, 15, 291, 95, 10},
    {-1, S, L"Wo&rkbook name", kLabel, 112, 292, 64, 8},
    {St::txtHolidaysName, E, L"", kEdit, 178, 289, 138, 13},
    {St::cmdDateFormat, B, L"Custom Date Formats", kButton, 7, 315, 84, 14},
    {St::cmdDefaultDate, B, L"Default Date", kButton, 95, 315, 60, 14},
    {St::cmdOK, B, L"&OK", kDefault, 163, 315, 50, 14},
    {St::cmdClose, B, L"&Cancel", kButton, 218, 315, 50, 14},
    {St::cmdHelp, B, L"&Help", kButton, 273, 315, 50, 14},
};

using Df = frmDateFormat;
constexpr DialogItem kDateFormatItems[] = {
    {-1, S,
     L"Specify valid and/or invalid date formats in the following lists. These formats are applied before the normal "
     L"test procedure. For example, if you add \"MM/DD/YYYY\" to the invalid date format list, the format will be "
     L"treated as invalid even if it can pass the normal test procedure.\r\n \r\nFormat codes are case-insensitive.\r\n",
     kLabel, 7, 7, 316, 52},
    {-1, B, L"Valid date format", kFrame, 7, 62, 158, 130},
    {Df::lstValidList, L"LISTBOX", L"", kList, 14, 74, 144, 76, ItemKind::List, L"Valid date formats"},
    {Df::txtValidEdit, E, L"", kEdit, 14, 153, 144, 13, ItemKind::Other, L"Valid date format to add"},
    {Df::cmdValidAdd, B, L"Add", kButton, 14, 171, 44, 14, ItemKind::Other, L"Add valid date format"},
    {Df::cmdValidDelete, B, L"Delete", kButton, 62, 171, 44, 14, ItemKind::Other, L"Delete valid date format"},
    {Df::cmdValidClearAll, B, L"Clear All", kButton, 110, 171, 48, 14, ItemKind::Other, L"Clear all valid date formats"},
    {-1, B, L"Invalid date format", kFrame, 171, 62, 152, 130},
    {Df::lstInvalidList, L"LISTBOX", L"", kList, 178, 74, 138, 76, ItemKind::List, L"Invalid date formats"},
    {Df::txtInvalidEdit, E, L"", kEdit, 178, 153, 138, 13, ItemKind::Other, L"Invalid date format to add"},
    {Df::cmdInvalidAdd, B, L"Add", kButton, 178, 171, 42, 14, ItemKind::Other, L"Add invalid date format"},
    {Df::cmdInvalidDelete, B, L"Delete", kButton, 224, 171, 42, 14, ItemKind::Other, L"Delete invalid date format"},
    {Df::cmdInvalidClearAll, B, L"Clear All", kButton, 270, 171, 46, 14, ItemKind::Other, L"Clear all invalid date formats"},
    {-1, B, L"Format codes in Excel", kFrame, 7, 196, 316, 84},
    {Df::cmdFormatCells, B, L"Format Cells / Number", kButton, 14, 209, 90, 14},
    {-1, S,
     L"Click this button to open the Number tab of the Format Cells dialog box of Excel. To find out the format codes of "
     L"a predefined format, first select the format in question, and then click Custom in the Category list.",
     kLabel, 110, 209, 206, 34},
    {-1, S,
     L"Closing Excel's Format Cells dialog box won't change the format of the currently selected cell, no matter which "
     L"button (OK or Cancel) is clicked to close the dialog box.",
     kLabel, 110, 247, 206, 28},
    {Df::cmdOK, B, L"&OK", kDefault, 163, 286, 50, 14},
    {Df::cmdCancel, B, L"&Cancel", kButton, 218, 286, 50, 14},
    {Df::cmdHelp, B, L"&Help", kButton, 273, 286, 50, 14},
};

using Dd = frmDefaultDate;
constexpr DialogItem kDefaultDateItems[] = {
    {-1, S, L"APP32", SS_ICON, 7, 7, 21, 20, ItemKind::Picture},
    {-1, S, L"Set the calendar to this date if the target cell does not contain a date value.", kLabel, 36, 7, 196, 18},
    {Dd::txtDate, E, L"", kEdit, 36, 28, 100, 13},
    {-1, S, L"If this box is left empty, the default date will be current system date.", kLabel, 36, 46, 196, 18},
    {Dd::chkRestore, B, L"Restore this setting next time Excel starts", kCheck, 36, 66, 196, 10},
    {Dd::cmdOK, B, L"&OK", kDefault, 72, 86, 50, 14},
    {Dd::cmdCancel, B, L"&Cancel", kButton, 127, 86, 50, 14},
    {Dd::cmdHelp, B, L"&Help", kButton, 182, 86, 50, 14},
};

const DialogLayout kSettings{L"Settings", 330, 336, kSettingsItems};
const DialogLayout kDateFormat{L"Custom Date Formats", 330, 307, kDateFormatItems};
const DialogLayout kDefaultDate{L"Default date", 240, 107, kDefaultDateItems};

}  // namespace

const DialogLayout& OptionDialogLayout(DialogKind kind) {
  switch (kind) {
    case DialogKind::Settings: return kSettings;
    case DialogKind::DateFormat: return kDateFormat;
    case DialogKind::DefaultDate: break;
  }
  return kDefaultDate;
}

}  // namespace tessaly::win

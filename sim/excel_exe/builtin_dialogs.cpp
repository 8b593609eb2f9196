// The stand-in's Format Cells window: the number format text, OK and Cancel.
#include "sim/excel_exe/builtin_dialogs.h"

#include <string>
#include <vector>

#include "win/ui/dialog_template.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

constexpr int kFormatText = 100;
constexpr UINT_PTR kAnswerTimer = 1;
constexpr UINT kScriptedAnswerDelay = 400;  // long enough to be seen in a screenshot

constexpr win::DialogItem kFormatCellsItems[] = {
    {-1, L"STATIC", L"&Type:", SS_LEFT, 7, 9, 30, 8},
    {kFormatText, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 7, 150, 13},
    {IDOK, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 85, 28, 50, 14},
    {IDCANCEL, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 140, 28, 50, 14},
};
const win::DialogLayout kFormatCells{L"Format Cells", 197, 49, kFormatCellsItems};

struct FormatCellsRun {
  const SimExcel::DialogAnswer* scripted;
  std::string initial;
  SimExcel::DialogAnswer answer;
};

std::string Text(HWND dialog) {
  wchar_t buffer[512] = {};
  ::GetDlgItemTextW(dialog, kFormatText, buffer, 512);
  return win::to_utf8(buffer);
}

INT_PTR CALLBACK FormatCellsProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  auto* run = reinterpret_cast<FormatCellsRun*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      ::SetWindowLongPtrW(dialog, DWLP_USER, lp);
      run = reinterpret_cast<FormatCellsRun*>(lp);
      ::SetDlgItemTextW(dialog, kFormatText, win::to_wide(run->initial).c_str());
      if (run->scripted) ::SetTimer(dialog, kAnswerTimer, kScriptedAnswerDelay, nullptr);
      return TRUE;
    case WM_TIMER:
      ::KillTimer(dialog, kAnswerTimer);
      ::SetDlgItemTextW(dialog, kFormatText, win::to_wide(run->scripted->number_format).c_str());
      ::PostMessageW(dialog, WM_COMMAND, run->scripted->ok ? IDOK : IDCANCEL, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        run->answer = {LOWORD(wp) == IDOK, Text(dialog)};
        ::EndDialog(dialog, LOWORD(wp));
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

bool ShowBuiltInDialog(HWND main_window, SimExcel& model, std::int32_t n) {
  constexpr std::int32_t kFormatCellsDialog = 42;
  const bool has_cells = model.HasWorkbook() && model.ActiveSheetModel().type == xl::kWorksheet;
  if (n != kFormatCellsDialog || !has_cells) return model.ShowBuiltInDialog(n);
  SheetModel& sheet = model.ActiveSheetModel();
  const auto cell = sheet.cells.find({sheet.active_row, sheet.active_column});
  FormatCellsRun run{model.NextFormatCellsAnswer(), cell == sheet.cells.end() ? "General" : cell->second.number_format, {}};
  const std::vector<std::uint8_t> form = win::BuildDialogTemplate(kFormatCells);
  // Excel's dialogs are modal to the window active at the time: an add-in's dialog that asked for
  // it stays disabled under it, and the main window stays disabled after it.
  HWND active = ::GetActiveWindow();
  HWND owner = active ? active : main_window;
  if (::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(form.data()), owner,
                                FormatCellsProc, reinterpret_cast<LPARAM>(&run)) == -1)
    throw HostError(static_cast<std::int32_t>(::GetLastError()), "Show method of Dialog class failed");
  // The user's own answer goes to the model as the scripted one would.
  if (!run.scripted) model.ScriptFormatCells(run.answer);
  return model.ShowBuiltInDialog(n);
}

}  // namespace tessaly::sim::exe

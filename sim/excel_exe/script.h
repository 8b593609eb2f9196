// Steps that drive the stand-in Excel for tests and the main job, one per line of a script:
// set-up of cells, the user's real input (clicks and keys through the system's input queue),
// waits, fault injection and reports printed to standard output.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <oaidl.h>

#include "sim/excel_exe/memory_census.h"
#include "sim/excel_exe/workbook_window.h"

namespace tessaly::sim::exe {

class RibbonStrip;
class ToolbarStrip;

struct ScriptStep {
  std::string verb;
  std::string argument;  // the rest of the line
};

// The private format of another program that --clipboard-text puts beside the text.
inline constexpr wchar_t kPrivateClipboardFormat[] = L"Stand-in User Private Text";

// The steps of a script text; blank lines and lines starting with '#' are left out.
std::vector<ScriptStep> ParseScript(const std::string& text);

class ScriptRunner {
 public:
  // What the script reaches beyond the model and its windows: the add-ins' ribbon strip (none
  // without add-ins), the application object the benchmark step calls through IDispatch, and the
  // COM Add-ins dialog's way of turning the add-ins off and on again, and the first add-in object.
  struct AddIns {
    std::function<RibbonStrip*()> ribbon = [] { return static_cast<RibbonStrip*>(nullptr); };
    IDispatch* application = nullptr;
    std::function<void()> reconnect = [] {};
    std::function<IDispatch*()> addin = [] { return static_cast<IDispatch*>(nullptr); };  // the first connected add-in
    // The toolbars of hosts before version 12; none on later hosts.
    std::function<ToolbarStrip*()> toolbars = [] { return static_cast<ToolbarStrip*>(nullptr); };
  };
  ScriptRunner(SimExcel& model, HostWindows& windows, AddIns addins);
  // Runs the steps in order, letting the windows handle their messages between steps; false at
  // the first step that cannot be carried out (it is reported), or when the main window closed.
  bool Run(const std::vector<ScriptStep>& steps);

 private:
  bool Do(const ScriptStep& step);
  // Each family of steps carries out its own (false when it cannot) and leaves the others: empty.
  std::optional<bool> SheetStep(const ScriptStep& s);  // cells, names, validation, selection
  std::optional<bool> InputStep(const ScriptStep& s);  // real input, where things are, waits
  std::optional<bool> ViewStep(const ScriptStep& s);   // the view and the workbooks' windows
  std::optional<bool> HostStep(const ScriptStep& s);   // faults, add-ins, figures, quitting
  CellRef CellOf(const std::string& a1) const;

  SimExcel& model_;
  HostWindows& windows_;
  AddIns addins_;
  IDispatch* application_;
  DISPID active_cell_id_ = DISPID_UNKNOWN;
  MemoryCensus census_;
};

// Lets the thread's windows handle their messages for the given time; false once the thread was
// asked to quit.
bool PumpMessages(unsigned milliseconds);

}  // namespace tessaly::sim::exe

// The three option dialogs over a recording window and the stand-in host: controls by number,
// modal dialogs opened over each other and driven by a script per kind.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/date_predicates.h"
#include "dialogs/dialog_services.h"
#include "host/host_error.h"
#include "settings/fakes.h"
#include "settings/init_system.h"
#include "sim/desktop.h"
#include "sim/excel_sim.h"

namespace tessaly::testing {

struct FakeControl {
  std::string text;
  int value = 0;
  bool visible = true;
  int top = 0;
  std::vector<std::string> items;
  int index = -1;
};

class FakeDialogWindow : public IDialogWindow {
 public:
  WindowHandle Handle() override { return 0x5000; }
  void SetIcons(const std::string& icon) override { icons = icon; }
  std::string Text(int c) override { return at(c).text; }
  void SetText(int c, const std::string& t) override { at(c).text = t; }
  int Value(int c) override { return at(c).value; }
  void SetValue(int c, int v) override { at(c).value = v; }
  void SetVisible(int c, bool v) override { at(c).visible = v; }
  void SetFocus(int c) override { focus = c; }
  int Top(int c) override { return at(c).top; }
  void SetTop(int c, int t) override { at(c).top = t; }
  void Clear(int c) override { at(c).items.clear(), at(c).index = -1; }
  void AddItem(int c, const std::string& t) override { at(c).items.push_back(t); }
  void RemoveItem(int c, int i) override { at(c).items.erase(at(c).items.begin() + i), at(c).index = -1; }
  int ItemCount(int c) override { return static_cast<int>(at(c).items.size()); }
  std::string Item(int c, int i) override { return at(c).items.at(static_cast<std::size_t>(i)); }
  int ListIndex(int c) override { return at(c).index; }
  void SetListIndex(int c, int i) override {
    if (i < -1 || i >= ItemCount(c)) throw HostError(380, "Invalid property value.");
    at(c).index = i;
  }
  void Close() override { closed = true; }

  FakeControl& at(int c) {
    if (failing.count(c)) throw HostError(0x80004005, "The control does not answer.");
    return controls[c];
  }
  std::map<int, FakeControl> controls;
  std::set<int> failing;
  std::string icons;
  int focus = 0;
  bool closed = false;
};

// Runs each dialog: Load, then the script for its kind (which plays the user), until it closes.
class ScriptedDialogHost : public IDialogHost {
 public:
  using Script = std::function<void(FakeDialogWindow&, IDialogHandler&)>;
  void ShowModal(DialogKind kind, IDialogHandler& handler, WindowHandle owner) override {
    owners.push_back(owner);
    FakeDialogWindow window = start;
    handler.Load(window);
    if (scripts.count(kind)) scripts[kind](window, handler);
    if (!window.closed) handler.Cancel();  // the close box
  }
  std::map<DialogKind, Script> scripts;
  FakeDialogWindow start;  // what each window holds before Load, such as a control's place
  std::vector<WindowHandle> owners;
};

struct FakeEntryPoints : IEntryPoints {
  bool DisplayToolbarButton() override { ++toolbar_reads; return toolbar; }
  void DisplayToolbarButton(bool v) override { toolbar = v, ++writes; }
  bool DisplayRightClickMenu() override { return menu; }
  void DisplayRightClickMenu(bool v) override { menu = v, ++writes; }
  std::int32_t RibbonUIType() override { return ribbon; }
  void RibbonUIType(std::int32_t v) override { ribbon = v, ++ribbon_writes; }
  bool HostAnswers() override { return answers; }
  bool toolbar = false, menu = true, answers = true;
  std::int32_t ribbon = 0;
  int toolbar_reads = 0, writes = 0, ribbon_writes = 0;
};

struct DialogWorld {
  explicit DialogWorld(const std::string& version = "12.0") {
    platform.locale.data.date_separator = ".";  // as the day-first pattern has it
    InitSystem(m, platform.services());
    m.ExcelVersion = std::atoi(version.c_str());
    judge = MakeDatePredicates(m, platform.clock);
    host = sim::SimExcel::Create(version);
    host->AddWorkbook("Book1");
    platform.store.saves = 0;
  }
  DialogServices services() { return {m, platform.messages, desk, dialogs, *judge, platform.clock, entry, host}; }
  // Opens a dialog of that kind with its logic, as the options dialog and the commands do.
  template <class Dialog>
  void Open(DialogKind kind, ScriptedDialogHost::Script script) {
    dialogs.scripts[kind] = std::move(script);
    Dialog dialog(services());
    dialogs.ShowModal(kind, dialog, 0x100);
  }
  const std::vector<MessageRequest>& messages() { return platform.messages.shown(); }
  cUtilRegMan& reg() { return *m.RegMan; }

  FakePlatform platform;
  mVantry m;
  std::unique_ptr<IDateJudge> judge;
  std::shared_ptr<sim::SimExcel> host;
  sim::SimDesktop desk;
  ScriptedDialogHost dialogs;
  FakeEntryPoints entry;
};

}  // namespace tessaly::testing

// Connection and disconnection of the add-in, in the host's order of events.
#include "addin/connect.h"

#include <cctype>

#include "addin/options_dialog.h"
#include "core/date_predicates.h"
#include "dialogs/frm_settings.h"
#include "host/callback_depth.h"
#include "host/error_policy.h"
#include "host/text.h"

namespace tessaly {

int ExtractExcelVersionNumber(const std::string& text) {
  std::string t = trim(text);
  int value = 0;
  for (char ch : t) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) break;
    if (value > 100000) break;  // a version never runs that long; keep the number in range
    value = value * 10 + (ch - '0');
  }
  return value;
}

WindowHandle GetExcelMainWindow(int excel_version, IExcelApplication& app, IWindowSystem& windows) {
  if (excel_version > 9) return app.Hwnd();
  const std::uint32_t me = windows.CurrentProcessId();
  for (WindowHandle w = windows.FindTopLevelWindow("XLMAIN", 0); w != 0; w = windows.FindTopLevelWindow("XLMAIN", w))
    if (windows.WindowProcessId(w) == me) return w;
  return 0;
}

void Connect::OnConnection(const ExcelApplicationPtr& Application, std::int32_t ConnectMode,
                           const AddInInstancePtr& AddInInst, const std::vector<Variant>& custom) noexcept {
  SkipFailures step;
  step([&] {
    m_.AddInFolder = s_.addin_folder;
    const char sep = s_.settings.files.separator();
    if (m_.AddInFolder.empty() || m_.AddInFolder.back() != sep) m_.AddInFolder += sep;
  });
  addin_ = AddInInst;
  // Connected again before the last disconnection could finish: the controller stays in service.
  if (teardown_pending_) {
    teardown_pending_ = false;
    return;
  }
  if (ConnectMode == kConnectExternal || ConnectMode == kConnectCommandLine || pending_reload_) return;
  // Started by automation: no user to serve. A first value the host's array would not give up
  // may be just that, so it counts as automation too.
  if (!custom.empty() && (custom[0].is_error() || (custom[0].is_number() && custom[0].as_double() == 3))) return;
  app_ = Application;
  // A host that passes no application (Nothing) fails each step that needs it, never dereferences it.
  const auto host = [&]() -> IExcelApplication& {
    if (!app_) throw HostError("the host passed no application");
    return *app_;
  };
  step([&] { m_.ExcelVersion = ExtractExcelVersionNumber(host().Version(xl::kEnglishLocale)); });
  step([&] { m_.ProductName = MakeProductName(); });
  step([&] { ReadFirstTimeRun(m_, s_.settings.store); });
  step([&] { InitSystem(m_, s_.settings); });
  step([&] { m_.ExcelMainWindow = GetExcelMainWindow(m_.ExcelVersion, host(), s_.windows); });
  const bool built = StopOnFailure([&] {
    host();
    if (!m_.RegMan) throw HostError("the options are not loaded");
    judge_ = MakeDatePredicates(m_, s_.settings.clock);
    controller_ = std::make_unique<cVantry>(
        ControllerServices{m_, s_.settings.messages, s_.screen, s_.windows, s_.help, s_.settings.clock, *judge_, s_.parts,
                           s_.settings.files, s_.clipboard, &undo_, s_.timers},
        app_, addin_);
    controller_->SetReloader(this);
    controller_->InitThisObject();
  });
  if (!built) controller_.reset();
}

void Connect::OnDisconnection(std::int32_t, const std::vector<Variant>&) noexcept {
  if (pending_reload_) return;
  // A controller method may be on the stack below this call (pending messages handled inside a
  // callback): the teardown waits until the outermost call into the add-in has returned.
  teardown_pending_ = true;
  StopOnFailure([&] {
    WhenOutermost([this, alive = std::weak_ptr<int>(alive_)] {
      if (alive.lock() && teardown_pending_) Teardown();
    });
  });
}

void Connect::Teardown() noexcept {
  teardown_pending_ = false;
  // Turned off before the first run's command bars were made: the next start makes them.
  SkipFailures()([&] {
    if (controller_ && controller_->CommandBarsPending() && m_.FirstRun) KeepFirstTimeRun(m_, s_.settings.store);
  });
  controller_.reset();
  judge_.reset();
  app_.reset();
  addin_.reset();
}

void Connect::ReloadAddIn(const AddInInstancePtr& addin, const std::string& message) {
  auto reconnector = std::make_shared<cUtilAddinReconnector>(ReconnectorServices{
      s_.timers, s_.settings.messages, m_.ProductName, [this] { pending_reload_.reset(); }});
  pending_reload_ = reconnector;
  reconnector->ReconnectAddin(addin, message);
}

Connect::~Connect() { controller_.reset(); }

void Connect::ShowOptions(WindowHandle owner, IDialogHost& dialogs) noexcept {
  SkipFailures()([&] {
    if (!controller_ || !judge_) return;
    ControllerEntryPoints entry(*controller_);
    frmSettings dialog(DialogServices{m_, s_.settings.messages, s_.help, dialogs, *judge_, s_.settings.clock, entry, app_});
    dialogs.ShowModal(DialogKind::Settings, dialog, owner);
  });
}

// Each ribbon call is a call from the host: pending messages handled inside it may disconnect the
// add-in, whose teardown then waits for the call to return.
std::string Connect::GetCustomUI(const std::string& ribbon_id) noexcept {
  CallbackScope call;
  return controller_ ? controller_->GetCustomUI(ribbon_id) : std::string();
}
void Connect::ZorelOnLoad(const RibbonUIPtr& ribbon) noexcept {
  CallbackScope call;
  if (controller_) controller_->ZorelOnLoad(ribbon);
}
void Connect::ZorelToggleButtonProc(IRibbonControl& control, bool pressed) noexcept {
  CallbackScope call;
  if (controller_) controller_->ZorelToggleButtonProc(control, pressed);
}
bool Connect::ZorelToggleButtonGetPressed(IRibbonControl& control) noexcept {
  CallbackScope call;
  return controller_ && controller_->ZorelToggleButtonGetPressed(control);
}
void Connect::ZorelButtonProc(IRibbonControl& control) noexcept {
  CallbackScope call;
  if (controller_) controller_->ZorelButtonProc(control);
}
ButtonImagePtr Connect::ZorelLoadImage(const std::string& image_id) noexcept {
  CallbackScope call;
  return controller_ ? controller_->ZorelLoadImage(image_id) : nullptr;
}
ButtonImagePtr Connect::ZorelGetImage(IRibbonControl& control) noexcept {
  CallbackScope call;
  return controller_ ? controller_->ZorelGetImage(control) : nullptr;
}
std::string Connect::ZorelGetScreentip(IRibbonControl& control) noexcept {
  CallbackScope call;
  return controller_ ? controller_->ZorelGetScreentip(control) : std::string();
}
bool Connect::ZorelGetEnabled(IRibbonControl& control) noexcept {
  CallbackScope call;
  return controller_ && controller_->ZorelGetEnabled(control);
}

}  // namespace tessaly

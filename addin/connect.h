// The add-in the host connects: the process-wide start-up values, the controller's creation and
// release, the pending reload, and the ribbon calls passed on to the controller. One lives as long
// as the process; each COM object the host creates and releases adopts it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "addin/addin_reconnector.h"
#include "core/controller.h"
#include "host/dialog_window.h"
#include "host/ribbon.h"
#include "host/window_system.h"
#include "settings/init_system.h"
#include "settings/m_vantry.h"
#include "settings/settings_services.h"

namespace tessaly {

// The leading digits of a version text ("12.0" -> 12, "11.0a" -> 11); 0 without a leading digit.
int ExtractExcelVersionNumber(const std::string& text);

// The host's main window: the application's handle on versions above 9, else the first
// top-level "XLMAIN" window of this process (0 when there is none).
WindowHandle GetExcelMainWindow(int excel_version, IExcelApplication& app, IWindowSystem& windows);

struct ConnectServices {
  SettingsServices settings;
  const IScreenMetrics& screen;
  IWindowSystem& windows;
  IHelpShell& help;
  IControllerParts& parts;
  std::string addin_folder;  // the folder of the add-in's own file
  // The reload's timers and the deferred check of the tag's place; none: a change of mode waits for
  // a restart, and the tag's place is checked at each repaint.
  ITimerFactory* timers = nullptr;
  IClipboard* clipboard = nullptr;  // for the button faces of hosts of version 9
};

inline constexpr std::int32_t kConnectAfterStartup = 0;
inline constexpr std::int32_t kConnectStartup = 1;
inline constexpr std::int32_t kConnectExternal = 2;
inline constexpr std::int32_t kConnectCommandLine = 3;

class Connect final : public IAddInReload {
 public:
  explicit Connect(ConnectServices services) : s_(std::move(services)) {}
  ~Connect() override;
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // IDTExtensibility2
  void OnConnection(const ExcelApplicationPtr& Application, std::int32_t ConnectMode, const AddInInstancePtr& AddInInst,
                    const std::vector<Variant>& custom) noexcept;
  void OnDisconnection(std::int32_t RemoveMode, const std::vector<Variant>& custom) noexcept;
  void OnAddInsUpdate(const std::vector<Variant>&) noexcept {}
  void OnStartupComplete(const std::vector<Variant>&) noexcept {}
  void OnBeginShutdown(const std::vector<Variant>&) noexcept {}

  // IRibbonExtensibility and the ribbon callbacks: the controller's, or empty without one.
  std::string GetCustomUI(const std::string& ribbon_id) noexcept;
  void ZorelOnLoad(const RibbonUIPtr& ribbon) noexcept;
  void ZorelToggleButtonProc(IRibbonControl& control, bool pressed) noexcept;
  bool ZorelToggleButtonGetPressed(IRibbonControl& control) noexcept;
  void ZorelButtonProc(IRibbonControl& control) noexcept;
  ButtonImagePtr ZorelLoadImage(const std::string& image_id) noexcept;
  ButtonImagePtr ZorelGetImage(IRibbonControl& control) noexcept;
  std::string ZorelGetScreentip(IRibbonControl& control) noexcept;
  bool ZorelGetEnabled(IRibbonControl& control) noexcept;

  // A reload in progress keeps everything across the disconnection and connection it causes.
  void SetPendingReload(std::shared_ptr<void> reconnector) { pending_reload_ = std::move(reconnector); }
  bool ReloadPending() const { return pending_reload_ != nullptr; }
  // The reconnector made the pending reload, started on the add-in object.
  void ReloadAddIn(const AddInInstancePtr& addin, const std::string& message) override;
  // A disconnection whose teardown waits for the outermost host call to return.
  bool TeardownPending() const { return teardown_pending_; }

  // The options dialog, modal over the owner (0: the host's main window); nothing without a connection.
  void ShowOptions(WindowHandle owner, IDialogHost& dialogs) noexcept;

  const mVantry& Module() const { return m_; }
  mVantry& Module() { return m_; }
  cVantry* Controller() const { return controller_.get(); }
  const ExcelApplicationPtr& Application() const { return app_; }

 private:
  ConnectServices s_;
  mVantry m_;
  ExcelApplicationPtr app_;
  AddInInstancePtr addin_;
  std::unique_ptr<IDateJudge> judge_;
  // Undo Date's last pick: here, so that the controller of a reload finds it.
  UndoPick undo_;
  std::unique_ptr<cVantry> controller_;
  std::shared_ptr<void> pending_reload_;
  bool teardown_pending_ = false;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // work deferred past our end finds it gone

  void Teardown() noexcept;
};

}  // namespace tessaly

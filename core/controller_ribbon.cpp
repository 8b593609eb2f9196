// The controller's ribbon callbacks: the ribbon description, the buttons and the disable toggle.
#include "core/controller.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

namespace {
constexpr const char* kToggleId = "ZorelToggleButtonDisable";
constexpr const char* kTabFile = "caltab.xml";
constexpr const char* kGroupFile = "calgroup.xml";
// Far above any ribbon description; a larger file is refused with the warning, not read.
constexpr std::size_t kMaxRibbonFileBytes = 16 << 20;
}

std::string cVantry::GetCustomUI(const std::string&) noexcept {
  std::string path;
  SkipFailures step;
  step([&] { path = Reg().Text(opt::RibbonFile); });
  try {
    std::string xml = s_.files.read_file(path, kMaxRibbonFileBytes);
    // A byte-order mark is no text for the host's XML reader.
    if (xml.starts_with("\xEF\xBB\xBF")) xml.erase(0, 3);
    return xml;
  } catch (const std::exception& e) {
    step([&] {
      s_.messages.show({"Warning: Cannot load the following Ribbon XML file: \r\n\r\n" + path +
                            "\r\n\r\nError message returned by the system: " + SystemDescription(e),
                        s_.m.ProductName, MsgIcon::Critical, MsgButtons::OK});
    });
  } catch (...) {
  }
  return {};
}

void cVantry::ZorelToggleButtonProc(IRibbonControl& control, bool pressed) noexcept {
  SkipFailures step;
  if (!ExcelAnswers()) {
    // The toggle shows the stored state again.
    step([&] {
      if (moRibbon) moRibbon->InvalidateControl(kToggleId);
    });
    return;
  }
  // A state the store refuses is told and not acted on; the refresh below shows the real one.
  bool stored = false;
  step([&] { stored = Store(opt::CalendarDisabled, Variant::boolean(pressed)); });
  // A control that cannot tell its id is taken for the toggle, the one control calling back here:
  // the stored state is in force either way, and nothing is refreshed without an id.
  std::optional<std::string> id = Attempt([&] { return control.Id(); });
  if (stored && (!id || iequals(*id, kToggleId))) {
    if (pressed) Withdraw();
    else step([&] { ShowTagForActiveCell(); });
  }
  if (!id || id->empty()) return;
  step([&] {
    if (moRibbon) moRibbon->InvalidateControl(*id);
  });
}

bool cVantry::ZorelToggleButtonGetPressed(IRibbonControl& control) noexcept {
  return Attempt([&] { return iequals(control.Id(), kToggleId) && Reg().Bool(opt::CalendarDisabled); }).value_or(false);
}

void cVantry::ZorelButtonProc(IRibbonControl& control) noexcept {
  std::string id = Attempt([&] { return control.Id(); }).value_or("");
  if (iequals(id, "ZorelButtonCalendar")) {
    LeaveCellEditMode();
    ClickCommandButton();
  } else if (iequals(id, "ZorelButtonCalendarQuickAccessBar")) {
    ClickCommandButton();
  } else if (iequals(id, "ZorelButtonSettings")) {
    cbbSettings_Click();
  } else if (iequals(id, "ZorelButtonHelp")) {
    cbbHelp_Click();
  } else if (iequals(id, "ZorelButtonAbout")) {
    cbbAbout_Click();
  } else if (iequals(id, kUndoDateId)) {
    UndoLastPick();
  }
}

ButtonImagePtr cVantry::ZorelLoadImage(const std::string& image_id) noexcept {
  return Attempt([&] { return s_.parts.LoadIconResource(image_id); }).value_or(nullptr);
}

ButtonImagePtr cVantry::ZorelGetImage(IRibbonControl&) noexcept {
  return Attempt([&] { return s_.parts.LoadIconResource(Reg().Bool(opt::CalendarDisabled) ? "enable" : "disable"); })
      .value_or(nullptr);
}

std::string cVantry::ZorelGetScreentip(IRibbonControl&) noexcept {
  bool disabled = Attempt([&] { return Reg().Bool(opt::CalendarDisabled); }).value_or(false);
  return (disabled ? "Click to enable " : "Click to disable ") + s_.m.ProductName;
}

std::int32_t cVantry::RibbonUIType() noexcept {
  const std::string file = Attempt([&] { return Reg().Text(opt::RibbonFile); }).value_or("");
  return to_lower(file).find(kGroupFile) != std::string::npos ? 1 : 0;
}

void cVantry::RibbonUIType(std::int32_t value) noexcept {
  const std::int32_t mode = value != 0 ? 1 : 0;
  if (mode == RibbonUIType()) return;
  const std::string path = s_.m.AddInFolder + (mode ? kGroupFile : kTabFile);
  SkipFailures step;
  const auto found = Attempt([&] { return s_.files.attributes(path); }).value_or(std::nullopt);
  if (!found || found->directory) {
    step([&] {
      s_.messages.show({"Cannot find the following Ribbon XML file: \r\n\r\n" + path, s_.m.ProductName,
                        MsgIcon::Critical, MsgButtons::OK});
    });
    return;
  }
  // Unstored, the mode would not survive the reload: the refusal is told and nothing more done.
  bool stored = false;
  step([&] { stored = Store(opt::RibbonFile, Variant::text(path)); });
  if (!stored) return;
  const std::string message = "You have changed the installation mode of " + s_.m.ProductName +
                              ". Please restart Excel to make the changes take effect.";
  if (!reloader_ || !step([&] { reloader_->ReloadAddIn(addin_, message); }))
    step([&] { s_.messages.show({message, s_.m.ProductName, MsgIcon::Information, MsgButtons::OK}); });
}

}  // namespace tessaly

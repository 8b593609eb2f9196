// Start-up of the options: the first-run flag, the data folders, the catalogue and the values
// derived from it.
#include "settings/init_system.h"

#include <cmath>

#include "date/date_parse.h"
#include "date/serial_date.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/folders.h"
#include "settings/option_catalogue.h"

namespace tessaly {

namespace {

constexpr const char* kMakerFolder = "Brenmoor";

// The data folder under a special folder; empty (with the step's warning) when it cannot be made.
std::string PrepareDataFolder(mVantry& m, const SettingsServices& s, int csidl, bool grant) {
  const char sep = s.files.separator();
  std::string base = GetSpecialFolder(s.shell, s.files, csidl);
  std::string folder = base + kMakerFolder + sep + m.ProductName + sep;
  FolderContext ctx{s.files, s.messages, m.ProductName, m.WinVersion};
  if (!base.empty() && EnsureFolderExists(ctx, folder, grant)) return folder;
  SkipFailures()([&] {
    s.messages.show({"Warning: Cannot create the following folder: \r\n\r\n" + folder, m.ProductName, MsgIcon::Critical,
                     MsgButtons::OK});
  });
  // A folder relative to wherever the host runs would scatter files; keep it unknown instead.
  return base.empty() ? std::string() : folder;
}

}  // namespace

void ReadFirstTimeRun(mVantry& m, IUserSettings& store) {
  m.FirstRun = trim(store.get(m.ProductName, kOptionSection, "FirstTimeRun", "1")) == "1";
  if (m.FirstRun) store.save(m.ProductName, kOptionSection, "FirstTimeRun", "0");
}

void KeepFirstTimeRun(const mVantry& m, IUserSettings& store) { store.save(m.ProductName, kOptionSection, "FirstTimeRun", "1"); }

void InitSystem(mVantry& m, const SettingsServices& s) {
  SkipFailures step;
  step([&] { m.HelpFilePath = m.AddInFolder + "TESSALY.chm"; });
  step([&] { m.WinVersion = s.system.windows_version(); });
  step([&] { m.UserDataFolder = PrepareDataFolder(m, s, kCsidlAppData, false); });
  step([&] { m.MachineDataFolder = PrepareDataFolder(m, s, kCsidlCommonAppData, true); });
  m.RegMan = std::make_unique<cUtilRegMan>(s, m.ProductName, m.MachineDataFolder);
  cUtilRegMan& reg = *m.RegMan;
  reg.InitThisObject(opt::kMaxEntry, kOptionSection);

  step([&] { m.UserLocale = s.locale.user_default(); });
  for (const OptionSpec& o : OptionCatalogue())
    reg.InitValue(o.index, std::string(o.key), o.type, DefaultValue(o, m.UserLocale.short_date_pattern, m.AddInFolder),
                  o.store);
  step([&] { reg.LoadAll(); });

  m.UrlHome = reg.Text(opt::UrlHome);
  m.UrlProduct = reg.Text(opt::UrlProduct);
  m.FormatDelimiter = trim(reg.Text(opt::CustomDateFormatDelimiter));

  double today = 0;
  step([&] { today = m.CurrentDefaultDate = std::floor(s.clock.now()); });
  if (reg.Bool(opt::DefaultDateResotre)) {
    step([&] {
      const int year = today > 0 ? serial::to_parts(today).year : 0;
      if (auto date = ParseDateText(reg.Text(opt::DefaultDate), m.UserLocale, year)) m.CurrentDefaultDate = *date;
    });
  }
}

}  // namespace tessaly

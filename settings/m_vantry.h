// The process-wide start-up values: set when the add-in connects and read directly afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/locale.h"
#include "host/shell_folders.h"
#include "settings/reg_man.h"

namespace tessaly {

// The product's one fixed name, assembled at run time: message-box titles, the settings
// application, the data folders and the machine file.
std::string MakeProductName();

struct mVantry {
  std::string AddInFolder;           // the add-in file's folder, with a trailing separator
  int ExcelVersion = 0;              // the host's major version
  std::uintptr_t ExcelMainWindow = 0;
  std::string ProductName = MakeProductName();
  bool FirstRun = false;
  std::string HelpFilePath;          // AddInFolder + "TESSALY.chm"
  std::string UserDataFolder;        // per-user data folder + "Brenmoor\" + ProductName + "\"
  std::string MachineDataFolder;     // all-users data folder, the same way
  std::string FormatDelimiter;       // CustomDateFormatDelimiter, trimmed
  double CurrentDefaultDate = 0;     // serial date
  std::unique_ptr<cUtilRegMan> RegMan;
  WindowsVersion WinVersion;
  LocaleData UserLocale = LocaleData::us_english();  // read once at start-up
  std::string UrlHome;
  std::string UrlProduct;
};

}  // namespace tessaly

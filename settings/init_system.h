// Start-up of the options: the first-run flag, the data folders, the catalogue and the values
// derived from it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "settings/m_vantry.h"
#include "settings/settings_services.h"

namespace tessaly {

// Parses a date text as the user would type it; empty when it is no date.
using DateTextParser = std::function<std::optional<double>(const std::string&)>;

// Reads "FirstTimeRun" (default "1"), sets FirstRun and, on the first run, stores "0".
void ReadFirstTimeRun(mVantry& m, IUserSettings& store);

// Prepares the folders, registers and loads every option and sets the start-up values.
// Failing steps keep their defaults; only the folder messages are shown.
void InitSystem(mVantry& m, const SettingsServices& services, const DateTextParser& parse_date);

}  // namespace tessaly

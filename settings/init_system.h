// Start-up of the options: the first-run flag, the data folders, the catalogue and the values
// derived from it.
#pragma once

#include "settings/m_vantry.h"
#include "settings/settings_services.h"

namespace tessaly {

// Reads "FirstTimeRun" (default "1"), sets FirstRun and, on the first run, stores "0".
void ReadFirstTimeRun(mVantry& m, IUserSettings& store);
// Stores "FirstTimeRun" as "1" again: the first run's work was not done, and the next start does it.
void KeepFirstTimeRun(const mVantry& m, IUserSettings& store);

// Prepares the folders, registers and loads every option and sets the start-up values.
// Failing steps keep their defaults; only the folder messages are shown. The remembered default
// date is read with the date engine in the user's locale.
void InitSystem(mVantry& m, const SettingsServices& services);

}  // namespace tessaly

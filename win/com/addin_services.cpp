// Bundling the Win32 services into what the portable add-in is built with.
#include "win/com/addin_services.h"

#include "settings/m_vantry.h"

namespace tessaly::win {

AddInServices::AddInServices(HMODULE module, std::string addin_folder)
    : parts_(module, MakeProductName(), windows_, windows_, clock_, locale_, help_), addin_folder_(std::move(addin_folder)) {}

ConnectServices AddInServices::Services() {
  return ConnectServices{SettingsServices{store_, files_, shell_, system_, messages_, locale_, clock_},
                         windows_, windows_, help_, parts_, addin_folder_, &timers_, &clipboard_};
}

}  // namespace tessaly::win

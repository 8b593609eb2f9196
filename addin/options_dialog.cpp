// The controller's entry points for the options dialog.
#include "addin/options_dialog.h"

#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

std::int32_t ControllerEntryPoints::RibbonUIType() {
  return m_.RegMan && icontains(m_.RegMan->Text(opt::RibbonFile), "calgroup.xml") ? kRibbonInsertGroup
                                                                                   : kRibbonSeparateTab;
}

}  // namespace tessaly

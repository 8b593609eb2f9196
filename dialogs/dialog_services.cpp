// The dialogs' message box: the product's name as title and an OK button.
#include "dialogs/dialog_services.h"

namespace tessaly {

void ShowDialogMessage(const DialogServices& s, const std::string& text, MsgIcon icon) {
  s.messages.show(MessageRequest{text, s.m.ProductName, icon, MsgButtons::OK});
}

void StoreOption(const DialogServices& s, short index, const Variant& value) {
  cUtilRegMan& reg = *s.m.RegMan;
  const SaveResult result = reg.Save(index, value);
  if (!result.ok() && !result.reported) s.messages.show(SaveFailureMessage(reg.Name(index), result, s.m.ProductName));
}

}  // namespace tessaly

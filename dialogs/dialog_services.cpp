// The dialogs' message box: the product's name as title and an OK button.
#include "dialogs/dialog_services.h"

namespace tessaly {

void ShowDialogMessage(const DialogServices& s, const std::string& text, MsgIcon icon) {
  s.messages.show(MessageRequest{text, s.m.ProductName, icon, MsgButtons::OK});
}

void StoreOption(const DialogServices& s, short index, const Variant& value) {
  SaveOrReport(*s.m.RegMan, index, value, s.messages, s.m.ProductName);
}

}  // namespace tessaly

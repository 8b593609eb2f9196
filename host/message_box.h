// The one message box of the product: what the user is shown and which button they pressed.
#pragma once

#include <string>

namespace tessaly {

enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgButtons { OK, YesNo, OKCancel };
enum class MsgResult { OK, Cancel, Yes, No };

// One box as the user sees it. Line breaks inside the text are CR LF.
// (Not called MessageBox: windows.h defines that name as a macro.)
struct MessageRequest {
  std::string text;
  std::string title;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::OK;

  friend bool operator==(const MessageRequest&, const MessageRequest&) = default;
};

// Shows a modal message box and returns the button pressed. A box that cannot be shown
// throws HostError.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  virtual MsgResult show(const MessageRequest& request) = 0;
};

}  // namespace tessaly

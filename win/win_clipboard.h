// The Windows clipboard, through a message-only window of the add-in's own: the user's content is
// copied format by format and put back in its order after a button face has passed over it.
#pragma once

#include <windows.h>

#include "host/clipboard.h"
#include "win/handles.h"

namespace tessaly::win {

class WinClipboard final : public IClipboard {
 public:
  std::unique_ptr<Content> Save() override;
  void PutPicture(const ButtonImagePtr& picture) override;
  void Restore(const Content& saved) override;

 private:
  HWND Window();
  unique_hwnd window_;
};

}  // namespace tessaly::win

// The standard tooltip control for one owner window: always shown, no prefix processing, a
// maximum width, visible time and delay, a font, and one text per tool window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "win/handles.h"

namespace tessaly::win {

struct TooltipOptions {
  int max_width = 400;
  int visible_time_ms = 0;  // 0 or less: the system's
  int delay_time_ms = 0;
  HFONT font = nullptr;
  bool always_tip = true;  // TTS_ALWAYSTIP: also while the owner's application is inactive
  bool no_prefix = true;   // TTS_NOPREFIX: ampersands shown as they are
};

class Tooltip {
 public:
  // Empty when the control cannot be made.
  static std::unique_ptr<Tooltip> try_create(HWND owner, const TooltipOptions& options);
  ~Tooltip() = default;
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  // The tooltip shows `text` while the pointer rests on `tool`; false when refused.
  bool add_tool(HWND tool, const std::string& text);
  HWND hwnd() const { return window_.get(); }

 private:
  Tooltip() = default;
  HWND owner_ = nullptr;
  unique_hwnd window_;
};

}  // namespace tessaly::win

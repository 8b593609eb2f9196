// Where the add-in's commands appear, as the options dialog reads and sets them through the
// controller: the toolbar quick button, the context-menu entry and the ribbon mode.
#pragma once

#include <cstdint>

namespace tessaly {

inline constexpr std::int32_t kRibbonSeparateTab = 0;
inline constexpr std::int32_t kRibbonInsertGroup = 1;

class IEntryPoints {
 public:
  virtual ~IEntryPoints() = default;
  // Reading tells whether the entry is present; writing adds or removes it.
  virtual bool DisplayToolbarButton() = 0;
  virtual void DisplayToolbarButton(bool show) = 0;
  virtual bool DisplayRightClickMenu() = 0;
  virtual void DisplayRightClickMenu(bool show) = 0;
  // 0: a separate ribbon tab, 1: a group in the Insert tab. Writing acts only on a change of mode.
  virtual std::int32_t RibbonUIType() = 0;
  virtual void RibbonUIType(std::int32_t type) = 0;
  // Whether the host takes calls now; when it refuses (busy, or a cell being edited) the user has
  // been told, and the caller changes nothing.
  virtual bool HostAnswers() = 0;
};

}  // namespace tessaly

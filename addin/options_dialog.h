// The options dialog as the add-in opens it: over the controller's entry points and the options
// loaded at connection.
#pragma once

#include "core/controller.h"
#include "core/entry_points.h"

namespace tessaly {

// The controller's entry points as the options dialog reads and sets them. The context-menu entry
// is the controller's; the toolbar quick button exists only below version 12, and the ribbon mode
// is read from the stored ribbon file.
class ControllerEntryPoints : public IEntryPoints {
 public:
  ControllerEntryPoints(cVantry* controller, const mVantry& m) : c_(controller), m_(m) {}
  bool DisplayToolbarButton() override { return false; }
  void DisplayToolbarButton(bool) override {}
  bool DisplayRightClickMenu() override { return c_ && c_->DisplayRightClickMenu(); }
  void DisplayRightClickMenu(bool show) override {
    if (c_) c_->DisplayRightClickMenu(show);
  }
  std::int32_t RibbonUIType() override;
  void RibbonUIType(std::int32_t) override {}

 private:
  cVantry* c_;
  const mVantry& m_;
};

}  // namespace tessaly

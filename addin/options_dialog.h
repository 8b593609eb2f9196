// The options dialog as the add-in opens it: over the controller's entry points and the options
// loaded at connection.
#pragma once

#include "core/controller.h"
#include "core/entry_points.h"

namespace tessaly {

// The controller's entry points as the options dialog reads and sets them. The toolbar quick
// button exists only below version 12; on later hosts it reads false and is never built.
class ControllerEntryPoints : public IEntryPoints {
 public:
  explicit ControllerEntryPoints(cVantry& controller) : c_(controller) {}
  bool DisplayToolbarButton() override { return c_.DisplayToolbarButton(); }
  void DisplayToolbarButton(bool show) override { c_.DisplayToolbarButton(show); }
  bool DisplayRightClickMenu() override { return c_.DisplayRightClickMenu(); }
  void DisplayRightClickMenu(bool show) override { c_.DisplayRightClickMenu(show); }
  std::int32_t RibbonUIType() override { return c_.RibbonUIType(); }
  void RibbonUIType(std::int32_t type) override { c_.RibbonUIType(type); }
  bool HostAnswers() override { return c_.ExcelAnswers(); }

 private:
  cVantry& c_;
};

}  // namespace tessaly

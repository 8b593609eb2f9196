// The receiver the controller subscribes to the host's application events, apart from the
// controller itself.
#pragma once

#include "host/callback_depth.h"
#include "host/excel.h"

namespace tessaly {

// Passes each application event on to its target until the target detaches. The host shares
// ownership of it, so when the host refuses to end the subscription at teardown, a late event
// reaches this relay, finds no controller and does nothing.
class ApplicationEventRelay final : public IApplicationEvents {
 public:
  explicit ApplicationEventRelay(IApplicationEvents* target) : target_(target) {}
  void Detach() { target_ = nullptr; }

  void SheetSelectionChange(const SheetPtr& sh, const RangePtr& target) override {
    CallbackScope call;
    if (target_) target_->SheetSelectionChange(sh, target);
  }
  void SheetActivate(const SheetPtr& sh) override {
    CallbackScope call;
    if (target_) target_->SheetActivate(sh);
  }
  void SheetDeactivate(const SheetPtr& sh) override {
    CallbackScope call;
    if (target_) target_->SheetDeactivate(sh);
  }
  void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    CallbackScope call;
    if (target_) target_->WindowActivate(wb, wn);
  }
  void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    CallbackScope call;
    if (target_) target_->WindowDeactivate(wb, wn);
  }
  void WindowResize(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    CallbackScope call;
    if (target_) target_->WindowResize(wb, wn);
  }
  void SheetChange(const SheetPtr& sh, const RangePtr& target) override {
    CallbackScope call;
    if (target_) target_->SheetChange(sh, target);
  }

 private:
  IApplicationEvents* target_;
};

}  // namespace tessaly

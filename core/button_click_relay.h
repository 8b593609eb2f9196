// The receiver the controller subscribes to each of its command-bar buttons, apart from the controller.
#pragma once

#include "host/callback_depth.h"
#include "host/excel.h"

namespace tessaly {

// Passes a button's Click on to one handler of its target until the target detaches; like the
// application events' relay, it outlives a refused Unadvise harmlessly.
template <class Target>
class ButtonClickRelay final : public ICommandBarButtonEvents {
 public:
  using Handler = void (Target::*)() noexcept;
  ButtonClickRelay(Target* target, Handler handler) : target_(target), handler_(handler) {}
  void Detach() { target_ = nullptr; }
  // The clicked control and the cancel flag are the host's; the handlers need neither.
  // A call into the add-in like any other: a disconnection it causes waits until it returns.
  void Click(const CommandBarControlPtr&, bool&) override {
    CallbackScope call;
    if (target_) (target_->*handler_)();
  }

 private:
  Target* target_;
  Handler handler_;
};

}  // namespace tessaly

// The COM object that receives a command-bar button's Click (the _CommandBarButtonEvents
// dispinterface) and forwards it to the add-in's receiver until it is detached.
#pragma once

#include <memory>

#include "host/excel.h"
#include "win/excel/events_sink.h"

namespace tessaly::win::excel {

class ButtonEventsSink final : public EventsSink<kDiidCommandBarButtonEvents> {
 public:
  static com_ptr<ButtonEventsSink> Create(std::shared_ptr<ICommandBarButtonEvents> receiver);

  // From now on clicks reach nobody.
  void Detach() noexcept { receiver_.reset(); }

 private:
  explicit ButtonEventsSink(std::shared_ptr<ICommandBarButtonEvents> receiver);
  void Deliver(const EventId& event, DISPPARAMS& params) override;

  std::shared_ptr<ICommandBarButtonEvents> receiver_;
};

}  // namespace tessaly::win::excel

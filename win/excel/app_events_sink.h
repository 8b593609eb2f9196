// The COM object that receives Excel's application events (the AppEvents dispinterface) and
// forwards them to the add-in's receiver. The host holds it by reference count; the add-in detaches
// it on unsubscribing, so an event that still arrives later (after a failed Unadvise) does nothing.
#pragma once

#include "host/excel.h"
#include "win/excel/events_sink.h"

namespace tessaly::win::excel {

class AppEventsSink final : public EventsSink<kDiidAppEvents> {
 public:
  static com_ptr<AppEventsSink> Create(IApplicationEvents* receiver);

  // From now on events reach nobody.
  void Detach() noexcept { receiver_ = nullptr; }
  bool attached() const noexcept { return receiver_ != nullptr; }

 private:
  explicit AppEventsSink(IApplicationEvents* receiver);
  void Deliver(const EventId& event, DISPPARAMS& params) override;

  IApplicationEvents* receiver_;
};

}  // namespace tessaly::win::excel

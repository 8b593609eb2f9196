// A command-bar button's Click into ICommandBarButtonEvents.
#include "win/excel/button_events_sink.h"

#include "win/excel/excel_objects.h"

namespace tessaly::win::excel {

namespace {

// The clicked control, by value or by one reference; null when it is anything else.
IDispatch* control_argument(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
  if (V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v)) return *V_DISPATCHREF(&v);
  return nullptr;
}

}  // namespace

// The interface has no event but Click.
ButtonEventsSink::ButtonEventsSink(std::shared_ptr<ICommandBarButtonEvents> receiver)
    : EventsSink(kButtonEvents, DISP_E_MEMBERNOTFOUND), receiver_(std::move(receiver)) {}

com_ptr<ButtonEventsSink> ButtonEventsSink::Create(std::shared_ptr<ICommandBarButtonEvents> receiver) {
  return com_ptr<ButtonEventsSink>::attach(new ButtonEventsSink(std::move(receiver)));
}

void ButtonEventsSink::Deliver(const EventId&, DISPPARAMS& params) {
  std::shared_ptr<ICommandBarButtonEvents> receiver = receiver_;  // the handler may detach this sink
  if (!receiver) return;
  // Arguments arrive last-first: rgvarg[1] is the control, rgvarg[0] the cancel flag by reference.
  VARIANT& cancel = params.rgvarg[0];
  const bool by_reference = V_VT(&cancel) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&cancel);
  bool cancel_default = by_reference && *V_BOOLREF(&cancel);
  receiver->Click(WrapCommandBarControl(control_argument(params.rgvarg[1])), cancel_default);
  if (by_reference) *V_BOOLREF(&cancel) = cancel_default ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace tessaly::win::excel

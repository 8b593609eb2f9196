// Excel's application events into IApplicationEvents.
#include "win/excel/app_events_sink.h"

#include "win/excel/excel_objects.h"

namespace tessaly::win::excel {

namespace {

// An object argument, passed by value or by reference; null when it is anything else.
IDispatch* object_argument(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
  if (V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v)) return *V_DISPATCHREF(&v);
  if (V_VT(&v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&v)) return object_argument(*V_VARIANTREF(&v));
  return nullptr;
}

}  // namespace

// The many application events the add-in does not handle are answered as handled.
AppEventsSink::AppEventsSink(IApplicationEvents* receiver) : EventsSink(kAppEvents, S_OK), receiver_(receiver) {}

com_ptr<AppEventsSink> AppEventsSink::Create(IApplicationEvents* receiver) {
  return com_ptr<AppEventsSink>::attach(new AppEventsSink(receiver));
}

void AppEventsSink::Deliver(const EventId& event, DISPPARAMS& params) {
  if (!receiver_) return;
  IDispatch* first = object_argument(params.rgvarg[event.arguments - 1]);
  IDispatch* second = event.arguments == 2 ? object_argument(params.rgvarg[0]) : nullptr;
  switch (event.dispid) {
    case kDispidSheetSelectionChange: receiver_->SheetSelectionChange(WrapSheet(first), WrapRange(second)); break;
    case kDispidSheetActivate: receiver_->SheetActivate(WrapSheet(first)); break;
    case kDispidSheetDeactivate: receiver_->SheetDeactivate(WrapSheet(first)); break;
    case kDispidWindowResize: receiver_->WindowResize(WrapWorkbook(first), WrapExcelWindow(second)); break;
    case kDispidWindowActivate: receiver_->WindowActivate(WrapWorkbook(first), WrapExcelWindow(second)); break;
    case kDispidWindowDeactivate: receiver_->WindowDeactivate(WrapWorkbook(first), WrapExcelWindow(second)); break;
    case kDispidSheetChange: receiver_->SheetChange(WrapSheet(first), WrapRange(second)); break;
    default: break;
  }
}

}  // namespace tessaly::win::excel

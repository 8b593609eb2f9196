// The application-events sink: Excel's six events reach the receiver with their arguments in
// order, through a real connection point; after unsubscribing, even when the host refuses to let
// go, a late event reaches nobody.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "fake_dispatch.h"
#include "support/variants.h"
#include "win/excel/app_events_sink.h"
#include "win/excel/excel_ids.h"
#include "win/excel/excel_objects.h"

namespace tessaly::win {
namespace {

using Log = std::vector<std::string>;

// Writes each event with what its arguments answer, so a swapped argument shows.
class Receiver : public IApplicationEvents {
 public:
  Log events;
  void SheetSelectionChange(const SheetPtr& sh, const RangePtr& target) override {
    std::string name = sh->Name();
    events.push_back("SheetSelectionChange " + name + " " + std::to_string(target->Row()));
  }
  void SheetActivate(const SheetPtr& sh) override { events.push_back("SheetActivate " + sh->Name()); }
  void SheetDeactivate(const SheetPtr& sh) override { events.push_back("SheetDeactivate " + sh->Name()); }
  void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { window("WindowActivate", wb, wn); }
  void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { window("WindowDeactivate", wb, wn); }
  void WindowResize(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override { window("WindowResize", wb, wn); }
  void SheetChange(const SheetPtr& sh, const RangePtr& target) override {
    std::string name = sh->Name();
    events.push_back("SheetChange " + name + " " + std::to_string(target->Row()));
  }

 private:
  void window(const char* name, const WorkbookPtr& wb, const ExcelWindowPtr& wn) {
    std::string book = wb->Name();
    events.push_back(std::string(name) + " " + book + " " + std::to_string(wn->PanesCount()));
  }
};

// Excel's application as far as events go: one connection point for AppEvents.
class EventSource final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
 public:
  com_ptr<IDispatch> sink;
  HRESULT unadvise_result = S_OK;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IConnectionPoint) *out = static_cast<IConnectionPoint*>(this);
    else return *out = nullptr, E_NOINTERFACE;
    return S_OK;  // lives on the test's stack
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    if (iid != excel::kDiidAppEvents) return *out = nullptr, CONNECT_E_NOCONNECTION;
    *out = this;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { return *iid = excel::kDiidAppEvents, S_OK; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    return *out = this, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknown, DWORD* cookie) override {
    HRESULT hr = unknown->QueryInterface(excel::kDiidAppEvents, sink.put_void());
    *cookie = 7;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    if (cookie != 7) return CONNECT_E_NOCONNECTION;
    if (SUCCEEDED(unadvise_result)) sink.reset();
    return unadvise_result;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

// Raises an event with its arguments given first-first, as Excel declares them.
HRESULT raise(IDispatch* sink, DISPID id, std::vector<IDispatch*> arguments) {
  std::vector<VARIANT> reversed;
  for (IDispatch* a : arguments) reversed.insert(reversed.begin(), testing::Var(VT_DISPATCH, a));
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return sink->Invoke(id, IID_NULL, 1033, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

struct Arguments {
  std::shared_ptr<test::FakeWorld> world = std::make_shared<test::FakeWorld>();
  com_ptr<IDispatch> sheet = test::MakeFakeObject(world, {L"Worksheet", GUID{1, world->salt, 2, {}}});
  com_ptr<IDispatch> range = test::MakeFakeObject(world, {L"Range", GUID{2, world->salt, 2, {}}});
  com_ptr<IDispatch> book = test::MakeFakeObject(world, {L"Workbook", GUID{3, world->salt, 2, {}}});
  com_ptr<IDispatch> window = test::MakeFakeObject(world, {L"Window", GUID{4, world->salt, 2, {}}});
  Arguments() {
    world->results = {{L"Name", Variant::text("Sheet1")}, {L"Row", Variant::i4(5)}, {L"Count", Variant::i4(1)}};
  }
};

TEST(AppEvents, SevenEventsReachTheReceiverInOrder) {
  Arguments a;
  Receiver receiver;
  com_ptr<excel::AppEventsSink> sink = excel::AppEventsSink::Create(&receiver);
  struct Case {
    DISPID id;
    std::vector<IDispatch*> arguments;
    std::string event;
  };
  const Case cases[] = {
      {excel::kDispidSheetSelectionChange, {a.sheet.get(), a.range.get()}, "SheetSelectionChange Sheet1 5"},
      {excel::kDispidSheetActivate, {a.sheet.get()}, "SheetActivate Sheet1"},
      {excel::kDispidSheetDeactivate, {a.sheet.get()}, "SheetDeactivate Sheet1"},
      {excel::kDispidWindowActivate, {a.book.get(), a.window.get()}, "WindowActivate Sheet1 1"},
      {excel::kDispidWindowDeactivate, {a.book.get(), a.window.get()}, "WindowDeactivate Sheet1 1"},
      {excel::kDispidWindowResize, {a.book.get(), a.window.get()}, "WindowResize Sheet1 1"},
      {excel::kDispidSheetChange, {a.sheet.get(), a.range.get()}, "SheetChange Sheet1 5"},
  };
  for (const Case& c : cases) {
    receiver.events.clear();
    a.world->log.clear();
    EXPECT_EQ(raise(sink.get(), c.id, c.arguments), S_OK);
    EXPECT_EQ(receiver.events, Log{c.event});
    // The first argument was asked its name: the arguments were not swapped.
    EXPECT_EQ(a.world->log.at(0), c.arguments.size() == 1 || c.id == excel::kDispidSheetSelectionChange ||
                                          c.id == excel::kDispidSheetChange
                                      ? "Worksheet.get Name()"
                                      : "Workbook.get Name()");
  }
  receiver.events.clear();
  EXPECT_EQ(raise(sink.get(), 0x61D /* NewWorkbook */, {a.book.get()}), S_OK);
  EXPECT_EQ(raise(sink.get(), excel::kDispidSheetActivate, {}), DISP_E_BADPARAMCOUNT);
  a.world->failures[L"Name"] = DISP_E_EXCEPTION;  // the receiver's error stays with the sink
  EXPECT_EQ(raise(sink.get(), excel::kDispidSheetActivate, {a.sheet.get()}), S_OK);
  EXPECT_EQ(receiver.events, Log{});
}

TEST(AppEvents, NoReceiverAfterUnsubscribingEvenWhenTheHostRefuses) {
  for (HRESULT unadvise : {S_OK, E_FAIL}) {
    Arguments a;
    EventSource source;
    source.unadvise_result = unadvise;
    ExcelApplicationPtr app = excel::WrapExcelApplication(&source);
    auto receiver = std::make_shared<Receiver>();
    std::int32_t cookie = app->Advise(receiver);
    ASSERT_TRUE(source.sink);
    EXPECT_EQ(raise(source.sink.get(), excel::kDispidSheetActivate, {a.sheet.get()}), S_OK);
    EXPECT_EQ(receiver->events, Log{"SheetActivate Sheet1"});

    if (FAILED(unadvise)) EXPECT_THROW(app->Unadvise(cookie), HostError);
    else EXPECT_NO_THROW(app->Unadvise(cookie));
    receiver.reset();
    if (source.sink) {  // the host still holds the sink: a late event finds no receiver
      a.world->log.clear();
      EXPECT_EQ(raise(source.sink.get(), excel::kDispidSheetActivate, {a.sheet.get()}), S_OK);
      EXPECT_EQ(a.world->log, Log{});
    }
    EXPECT_EQ(source.sink.get() != nullptr, FAILED(unadvise));
    EXPECT_THROW(app->Unadvise(cookie), HostError) << "a cookie ends once";
  }
}

}  // namespace
}  // namespace tessaly::win

// A controller connected to the stand-in host, with recording doubles for the tag and the calendar
// form and a small date judge, shared by the controller tests.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/controller.h"
#include "core/date/serial_date.h"
#include "settings/fakes.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/desktop.h"
#include "sim/excel_sim.h"

namespace tessaly::testing {

// Shows itself for every target unless told the cell is off screen; records what it was shown for.
class RecordingTag : public ITagWindow {
 public:
  void InitThisObject(const std::string& icon_path) override { icon = icon_path; }
  void SetEventSink(ITagEvents* s) override { sink = s; }
  bool TagDisplay(const RangePtr& target) override {
    ++displays;
    if (displayed) return true;
    if (!on_screen) return false;
    address = target->Address(true, true, xl::kA1, false);
    SheetPtr sheet = target->Worksheet();
    sheet_name = sheet->Name();
    book_name = sheet->Parent()->Name();
    displayed = true;
    return true;
  }
  void TagHide() override { displayed = false; }
  void TriggerClickEvent() override {
    if (sink) sink->TagClick();
  }
  void Unload() override { unloaded = true; }
  bool Displayed() const override { return displayed; }
  bool LeftSide() const override { return false; }
  WindowHandle ParentWindow() const override { return parent; }
  std::int32_t X() const override { return x; }
  std::int32_t Y() const override { return y; }
  std::string TargetAddress() const override { return address; }
  std::string SheetName() const override { return sheet_name; }
  std::string WorkbookName() const override { return book_name; }
  std::int32_t Margin() const override { return 8; }

  ITagEvents* sink = nullptr;
  std::string icon, address, sheet_name, book_name;
  bool displayed = false, on_screen = true, unloaded = false;
  WindowHandle parent = 0;
  std::int32_t x = 100, y = 100;
  int displays = 0;
};

class RecordingCalendar : public ICalendarForm {
 public:
  void InitThisObject(const Variant& v) override { init = v; }
  void SetEventSink(ICalendarFormEvents* s) override { sink = s; }
  void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) override {
    if (shown) return;
    ++shows;
    at = {x, y};
    start = start_date;
    owner = parent;
    shown = true;
  }
  void HideCalendar() override { shown = false; }
  void Unload() override { unloaded = true; }
  bool Shown() const override { return shown; }
  void Close(const Variant& v) { sink->CalendarClose(v); }

  ICalendarFormEvents* sink = nullptr;
  Variant init, start;
  ScreenPoint at;
  WindowHandle owner = 0;
  bool shown = false, unloaded = false;
  int shows = 0;
};

class RecordingParts : public IControllerParts {
 public:
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto t = std::make_unique<RecordingTag>();
    tag = t.get();
    return t;
  }
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    auto c = std::make_unique<RecordingCalendar>();
    calendar = c.get();
    return c;
  }
  std::unique_ptr<IImageList> CreateImageList() override { return std::make_unique<InMemoryImageList>(); }
  void ShowSettings() override { ++settings_shown; }
  void ShowAbout(const std::string& a, const std::string& b) override { about.push_back(a + "," + b); }
  ButtonImagePtr LoadIconResource(const std::string& name) override {
    InMemoryImageList list;
    list.Add(name);
    return list.Picture(name);
  }

  RecordingTag* tag = nullptr;
  RecordingCalendar* calendar = nullptr;
  int settings_shown = 0;
  std::vector<std::string> about;
};

// Dates as the tests need them: a format is a date format when it has day, month or year codes
// and no time codes; values are dates from 1900 on without a time of day; texts "yyyy-mm-dd".
class TestDateJudge : public IDateJudge {
 public:
  bool IsDateFormat(const Variant& f) const override {
    if (!f.is_text()) return false;
    std::string t = to_lower(f.as_text());
    if (t == "general" || t.find('h') != std::string::npos) return false;
    return t.find('d') != std::string::npos || t.find('y') != std::string::npos || t.find("mmm") != std::string::npos;
  }
  bool IsDateLikeValue(const Variant& v) const override {
    auto d = ReadAsDate(v);
    return d && *d >= 2 && *d == std::floor(*d);
  }
  std::optional<double> ReadAsDate(const Variant& v) const override {
    if (v.is_date()) return v.as_double();
    if (!v.is_text()) return std::nullopt;
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(v.as_text().c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3) return std::nullopt;
    if (m < 1 || m > 12 || d < 1 || d > serial::days_in_month(y, m)) return std::nullopt;
    return serial::from_ymd(y, m, d);
  }
};

inline double Ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }

struct ControllerWorld {
  explicit ControllerWorld(const std::string& version = "12.0") {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, platform.services(), nullptr);
    m.ExcelVersion = std::atoi(version.c_str());
    m.CurrentDefaultDate = Ymd(2025, 12, 9);
    host = sim::SimExcel::Create(version);
    host->AddWorkbook("Book1", {"Sheet1", "Sheet2"});
    host->AddChartSheet("Book1", "Chart1");
    desk.AddWindow(host->Book("Book1").window, "EXCEL7", desk.current_process, {0, 0, 1000, 700});
  }
  void Start() {
    controller = std::make_unique<cVantry>(
        ControllerServices{m, platform.messages, desk, desk, desk, platform.clock, judge, parts, platform.files}, host, "TESSALY.Connect");
    controller->InitThisObject();
    tag().parent = host->Book("Book1").window;
  }
  sim::SheetModel& sheet(const std::string& name = "Sheet1") { return host->Sheet("Book1", name); }
  RecordingTag& tag() { return *parts.tag; }
  RecordingCalendar& calendar() { return *parts.calendar; }
  cUtilRegMan& reg() { return *m.RegMan; }
  void set(opt::Index i, bool v) { reg().Value(i, Variant::boolean(v)); }

  FakePlatform platform;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host;
  sim::SimDesktop desk;
  RecordingParts parts;
  TestDateJudge judge;
  std::unique_ptr<cVantry> controller;
};

}  // namespace tessaly::testing

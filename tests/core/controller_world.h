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
#include "sim/headless_ui.h"

namespace tessaly::testing {

using RecordingTag = sim::HeadlessTag;
using RecordingCalendar = sim::HeadlessCalendarForm;
using RecordingParts = sim::HeadlessParts;

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

// A scripted session of the add-in connected to the stand-in host: the user selects cells, clicks
// the tag, picks dates and uses the commands, and every step prints what the add-in did.
#include "demo/session.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "addin/connect.h"
#include "core/date/serial_date.h"
#include "core/date_predicates.h"
#include "sim/desktop.h"
#include "sim/excel_sim.h"
#include "sim/headless_ui.h"
#include "sim/memory_services.h"

namespace tessaly::demo {

namespace {

std::string DateText(const Variant& v) {
  if (!v.is_date()) return v.is_empty() ? "(empty)" : "\"" + v.to_text() + "\"";
  DateParts p = serial::to_parts(v.as_double());
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buf;
}

class PrintingTag : public sim::HeadlessTag {
 public:
  bool TagDisplay(const RangePtr& target) override {
    bool was = displayed;
    bool ok = HeadlessTag::TagDisplay(target);
    if (ok && !was) std::printf("    tag shown for [%s]%s!%s at (%d, %d)\n", book_name.c_str(), sheet_name.c_str(), address.c_str(), x, y);
    return ok;
  }
  void TagHide() override {
    if (displayed) std::printf("    tag hidden\n");
    HeadlessTag::TagHide();
  }
};

class PrintingCalendar : public sim::HeadlessCalendarForm {
 public:
  void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) override {
    if (!shown) std::printf("    calendar opened at (%d, %d) on %s\n", x, y, DateText(start_date).c_str());
    HeadlessCalendarForm::ShowCalendar(x, y, start_date, parent);
  }
  void HideCalendar() override {
    if (shown) std::printf("    calendar closed\n");
    HeadlessCalendarForm::HideCalendar();
  }
};

class PrintingParts : public sim::HeadlessParts {
 public:
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto t = std::make_unique<PrintingTag>();
    t->place_on_grid = true;
    t->origin_x = 40;
    t->origin_y = 160;
    tag = t.get();
    return t;
  }
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    auto c = std::make_unique<PrintingCalendar>();
    calendar = c.get();
    return c;
  }
};

struct Instance : IAddInInstance {
  std::string ProgId() override { return "TESSALY.Connect"; }
};

struct Control : IRibbonControl {
  explicit Control(std::string i) : id(std::move(i)) {}
  std::string Id() override { return id; }
  std::string id;
};

void Step(const char* what) { std::printf("\n> %s\n", what); }

}  // namespace

void RunStandInSession() {
  std::printf("\nSession on the stand-in host (Excel 12.0, in-memory settings):\n");
  sim::MemoryServices mem;
  auto host = sim::SimExcel::Create("12.0");
  host->AddWorkbook("Invoices.xlsx", {"2025"});
  host->AddChartSheet("Invoices.xlsx", "Chart1");
  sim::SimDesktop desk;
  desk.AddWindow(0x10010, "XLMAIN", desk.current_process, {0, 0, 1280, 800});
  desk.AddWindow(host->Book("Invoices.xlsx").window, "EXCEL7", desk.current_process, {40, 160, 1240, 760});
  sim::SheetModel& sheet = host->Sheet("Invoices.xlsx", "2025");
  sim::SimExcel::Cell(sheet, "A1").value = Variant::text("Invoice date");
  sim::SimExcel::Cell(sheet, "B1").value = Variant::text("Amount");
  sim::SimExcel::Cell(sheet, "C1").value = Variant::text("Paid on");
  sim::SimExcel::Cell(sheet, "C2").number_format = "d mmm yyyy";
  sim::SimExcel::Cell(sheet, "C2").value = Variant::date(*serial::from_ymd(2025, 11, 3));
  sim::SimExcel::Cell(sheet, "B2").value = Variant::number(1250);

  PrintingParts parts;
  Connect addin(ConnectServices{mem.services(), desk, desk, desk, parts,
                                [&mem](const mVantry& mv) { return MakeDatePredicates(mv, LocaleData::us_english(), mem.clock); }, nullptr,
                                "C:\\Program Files\\Tessaly"});
  Step("the host connects the add-in");
  addin.OnConnection(host, kConnectStartup, std::make_shared<Instance>(), {Variant::i4(1)});
  const mVantry& m = addin.Module();
  std::printf("    controller %s; Excel version %d; main window 0x%llx; first run %s\n",
              addin.Controller() ? "created" : "missing", m.ExcelVersion,
              static_cast<unsigned long long>(m.ExcelMainWindow), m.FirstRun ? "yes" : "no");
  std::size_t boxes = 0;
  auto messages = [&] {
    for (; boxes < mem.messages.shown().size(); ++boxes) {
      std::string text = mem.messages.shown()[boxes].text;
      for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, " | ");
      std::printf("    message [%s]: %s\n", mem.messages.shown()[boxes].title.c_str(), text.c_str());
    }
  };
  messages();

  Step("select C2 (formatted d mmm yyyy, holds 2025-11-03)");
  host->UserSelect("C2");
  Step("click the tag");
  parts.tag->TriggerClickEvent();
  Step("pick 2025-12-24");
  parts.calendar->Close(Variant::date(*serial::from_ymd(2025, 12, 24)));
  std::printf("    C2 = %s, format %s\n", DateText(sim::SimExcel::Cell(sheet, "C2").value).c_str(),
              sim::SimExcel::Cell(sheet, "C2").number_format.c_str());

  Step("select B2 (the number 1250 under \"Amount\")");
  host->UserSelect("B2");
  Step("select A2 (empty, under \"Invoice date\")");
  host->UserSelect("A2");
  parts.tag->TriggerClickEvent();
  Step("pick 2025-12-01");
  parts.calendar->Close(Variant::date(*serial::from_ymd(2025, 12, 1)));
  std::printf("    A2 = %s, format %s\n", DateText(sim::SimExcel::Cell(sheet, "A2").value).c_str(),
              sim::SimExcel::Cell(sheet, "A2").number_format.c_str());

  Step("select A3 and type 2025-10-15, then use the calendar command while still editing");
  host->UserSelect("A3");
  host->UserBeginEdit("2025-10-15");
  addin.Controller()->ClickCommandButton();
  std::printf("    keys sent: %s; A3 = %s\n", host->sent_keys.empty() ? "none" : host->sent_keys.back().c_str(),
              DateText(sim::SimExcel::Cell(sheet, "A3").value).c_str());
  Step("cancel the calendar");
  parts.calendar->Close(Variant::text(""));

  Step("select a picture and use the calendar command");
  host->UserSelectObject("Picture");
  addin.Controller()->ClickCommandButton();
  messages();

  Step("press the ribbon's disable toggle, select C2, use the calendar command");
  Control toggle("ZorelToggleButtonDisable");
  addin.ZorelToggleButtonProc(toggle, true);
  std::printf("    screen tip now: %s\n", addin.ZorelGetScreentip(toggle).c_str());
  host->UserSelect("C2");
  addin.Controller()->ClickCommandButton();
  messages();
  Step("release the toggle");
  addin.ZorelToggleButtonProc(toggle, false);

  Step("activate the chart sheet");
  host->UserActivateSheet("Chart1");
  Step("back to the sheet");
  host->UserActivateSheet("2025");

  Step("the host disconnects the add-in");
  addin.OnDisconnection(0, {});
  std::printf("    controller %s; host calls made: %lld\n", addin.Controller() ? "alive" : "released",
              static_cast<long long>(host->TotalCalls()));
}

}  // namespace tessaly::demo

// A scripted session of the add-in connected to the stand-in host: the user selects cells, clicks
// the tag, picks dates and uses the commands, and every step prints what the add-in did.
#include "demo/session.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "addin/connect.h"
#include "calendar/dual_months.h"
#include "date/date_format.h"
#include "date/serial_date.h"
#include "core/date_predicates.h"
#include "host/platform_graphics.h"
#include "tag/frm_tag.h"
#include "sim/desktop.h"
#include "sim/addin_instance.h"
#include "sim/excel_sim.h"
#include "sim/headless_picture.h"
#include "sim/headless_tag_form.h"
#include "sim/headless_ui.h"
#include "sim/memory_services.h"

#ifndef _WIN32
#include "posix/cairo_graphics.h"
#endif

namespace tessaly::demo {

namespace {

std::string DateText(const Variant& v) {
  if (!v.is_date()) return v.is_empty() ? "(empty)" : "\"" + v.to_text() + "\"";
  DateParts p = serial::to_parts(v.as_double());
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buf;
}

// The add-in's real tag on the stand-in desktop, printing where it goes.
class PrintingTag : public ITagWindow {
 public:
  PrintingTag(TagServices services, sim::SimDesktop& desk)
      : form_(new sim::HeadlessTagForm(desk, services.m.ExcelMainWindow)), tag_(services, std::unique_ptr<ITagForm>(form_)) {}
  void InitThisObject(const std::string& icon_path) override { tag_.InitThisObject(icon_path); }
  void SetEventSink(ITagEvents* sink) override { tag_.SetEventSink(sink); }
  bool TagDisplay(const RangePtr& target) override {
    bool was = tag_.Displayed();
    bool ok = tag_.TagDisplay(target);
    if (ok && !was)
      std::printf("    tag shown for [%s]%s!%s at (%d, %d)%s\n", tag_.WorkbookName().c_str(), tag_.SheetName().c_str(),
                  tag_.TargetAddress().c_str(), tag_.X(), tag_.Y(), tag_.LeftSide() ? ", left of the cell" : "");
    return ok;
  }
  bool TagMove(const RangePtr& target) override {
    if (!tag_.Displayed()) return TagDisplay(target);
    bool ok = tag_.TagMove(target);
    if (ok) std::printf("    tag moved to [%s]%s!%s at (%d, %d)\n", tag_.WorkbookName().c_str(), tag_.SheetName().c_str(),
                        tag_.TargetAddress().c_str(), tag_.X(), tag_.Y());
    else std::printf("    tag hidden\n");
    return ok;
  }
  void TagHide() override {
    if (tag_.Displayed()) std::printf("    tag hidden\n");
    tag_.TagHide();
  }
  TagFollowing TagFollow(const RangePtr& target) override {
    const TagFollowing done = tag_.TagFollow(target);
    if (done == TagFollowing::Moved) std::printf("    tag moved with its cell to (%d, %d)\n", tag_.X(), tag_.Y());
    if (done == TagFollowing::Hidden) std::printf("    tag hidden: its cell left the view\n");
    return done;
  }
  void ReadPlaceOnScreen() override { tag_.ReadPlaceOnScreen(); }
  void TriggerClickEvent() override { tag_.TriggerClickEvent(); }
  void Unload() override { tag_.Unload(); }
  bool WindowLost() const override { return tag_.WindowLost(); }
  bool Displayed() const override { return tag_.Displayed(); }
  bool LeftSide() const override { return tag_.LeftSide(); }
  bool RightToLeft() const override { return tag_.RightToLeft(); }
  WindowHandle ParentWindow() const override { return tag_.ParentWindow(); }
  std::int32_t X() const override { return tag_.X(); }
  std::int32_t Y() const override { return tag_.Y(); }
  std::string TargetAddress() const override { return tag_.TargetAddress(); }
  std::string SheetName() const override { return tag_.SheetName(); }
  std::string WorkbookName() const override { return tag_.WorkbookName(); }
  std::int32_t Margin() const override { return tag_.Margin(); }
  // The stand-in mouse clicks the middle of the tag.
  void Click() { form_->ClickAt({tag_.X() + 10, tag_.Y() + 10}); }

 private:
  sim::HeadlessTagForm* form_;  // owned by the tag
  frmTag tag_;
};


// The pop-up's calendar control on the platform surface: printed as a month grid, saved as a
// picture where the platform can write one, and picked from with real clicks on its day cells.
class PrintingCalendar : public sim::HeadlessCalendarForm {
 public:
  PrintingCalendar(IGraphics& graphics, const IClock& clock) : graphics_(&graphics), clock_(&clock) {}

  void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) override {
    if (!shown) std::printf("    calendar opened at (%d, %d) on %s\n", x, y, DateText(start_date).c_str());
    HeadlessCalendarForm::ShowCalendar(x, y, start_date, parent);
    const double day = serial::day_part(start_date.is_date() ? start_date.as_double() : clock_->now());
    cal_.reset();  // the control lets go of its picture first
    picture_ = std::make_unique<sim::ScreenPicture>(*graphics_, 233, 161);
    cal_ = std::make_unique<calendar::clsDualMonths>(*graphics_, *clock_);
    cal_->LinkControl(picture_.get());
    cal_->set_CalendarCustomDate(day);
    cal_->SelectDay(day);
    // As the pop-up does: the argument is the old focus day; the new selection is what counts.
    cal_->DateClicked = [this](double) {
      if (cal_->SelectedDays().count() > 0) Close(Variant::date(cal_->SelectedDays().Item(1).DateTime()));
    };
    cal_->RebuildImage();
    PrintGrid(day);
    SavePicture();
  }
  void HideCalendar() override {
    if (shown) std::printf("    calendar closed\n");
    HeadlessCalendarForm::HideCalendar();
  }
  // Clicks the centre of the day's cell, as the user would.
  void ClickDay(double day) {
    for (const calendar::clsDateItem& d : cal_->DayCells()) {
      if (d.DateTime() != day) continue;
      std::printf("    click at (%d, %d)\n", (d.Left() + d.Right()) / 2, (d.TOp() + d.Bottom()) / 2);
      picture_->click((d.Left() + d.Right()) / 2, (d.TOp() + d.Bottom()) / 2);
      return;
    }
    std::printf("    %s is not on display\n", DateText(Variant::date(day)).c_str());
  }
  void PressKey(int key) { picture_->key_down(key); }

 private:
  void PrintGrid(double day) {
    const LocaleData& us = LocaleData::us_english();
    std::printf("      %s\n     ", FormatDateValue(day, "mmmm yyyy", us).value_or("").c_str());
    for (int k = 0; k < 7; ++k)
      std::printf(" %s ", us.day_abbreviations[static_cast<std::size_t>((cal_->FirstDayOfWeek() - 1 + k) % 7)].substr(0, 2).c_str());
    const int month = serial::to_parts(day).month;
    int column = 0;
    for (const calendar::clsDateItem& d : cal_->DayCells()) {
      const DateParts p = serial::to_parts(d.DateTime());
      if (p.month != month) continue;
      if (column == 0) {
        std::printf("\n     ");
        // The month's first day stands under its weekday.
        column = (serial::weekday(d.DateTime()) - cal_->FirstDayOfWeek() + 7) % 7;
        for (int k = 0; k < column; ++k) std::printf("    ");
      } else if (column % 7 == 0) {
        std::printf("\n     ");
      }
      ++column;
      const bool picked = cal_->SelectedDays().Exists(cal_->SelectedDays().FormatKey(d.DateTime()));
      std::printf(picked ? "[%2d]" : " %2d ", p.day);  // the picked day in brackets
    }
    std::printf("\n");
  }
  void SavePicture() {
#ifndef _WIN32
    if (auto* cairo = dynamic_cast<posix::CairoSurface*>(&picture_->screen())) {
      const std::string path = "tessaly-calendar-" + std::to_string(++pictures_) + ".png";
      if (cairo->write_png(path)) std::printf("    calendar picture saved as %s\n", path.c_str());
    }
#endif
  }

  IGraphics* graphics_;
  const IClock* clock_;
  std::unique_ptr<sim::ScreenPicture> picture_;
  std::unique_ptr<calendar::clsDualMonths> cal_;
  int pictures_ = 0;
};

class PrintingParts : public sim::HeadlessParts {
 public:
  PrintingParts(IGraphics& graphics, const IClock& clock, std::shared_ptr<sim::SimExcel> host)
      : graphics_(&graphics), clock_(&clock), host_(std::move(host)) {}
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto t = std::make_unique<PrintingTag>(TagServices{*module, host_, host_->Desktop(), host_->Desktop()}, host_->Desktop());
    real_tag = t.get();
    return t;
  }
  const mVantry* module = nullptr;  // the add-in's start-up values, once it has connected
  PrintingTag* real_tag = nullptr;
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    auto c = std::make_unique<PrintingCalendar>(*graphics_, *clock_);
    calendar = c.get();
    shown_calendar = c.get();
    return c;
  }
  PrintingCalendar* shown_calendar = nullptr;

 private:
  IGraphics* graphics_;
  const IClock* clock_;
  std::shared_ptr<sim::SimExcel> host_;
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
  sim::SimDesktop& desk = host->Desktop();
  sim::SheetModel& sheet = host->Sheet("Invoices.xlsx", "2025");
  sim::SimExcel::Cell(sheet, "A1").value = Variant::text("Invoice date");
  sim::SimExcel::Cell(sheet, "B1").value = Variant::text("Amount");
  sim::SimExcel::Cell(sheet, "C1").value = Variant::text("Paid on");
  sim::SimExcel::Cell(sheet, "C2").number_format = "d mmm yyyy";
  sim::SimExcel::Cell(sheet, "C2").value = Variant::date(*serial::from_ymd(2025, 11, 3));
  sim::SimExcel::Cell(sheet, "B2").value = Variant::number(1250);

  const std::unique_ptr<IGraphics> graphics = MakePlatformGraphics();
  PrintingParts parts(*graphics, mem.clock, host);
  Connect addin(ConnectServices{mem.services(), desk, desk, desk, parts, "C:\\Program Files\\Tessaly"});
  parts.module = &addin.Module();
  Step("the host connects the add-in");
  addin.OnConnection(host, kConnectStartup, std::make_shared<sim::SimAddInInstance>(), {Variant::i4(1)});
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
  parts.real_tag->Click();
  Step("click 24 November on the calendar");
  parts.shown_calendar->ClickDay(*serial::from_ymd(2025, 11, 24));
  std::printf("    C2 = %s, format %s\n", DateText(sim::SimExcel::Cell(sheet, "C2").value).c_str(),
              sim::SimExcel::Cell(sheet, "C2").number_format.c_str());

  Step("select B2 (the number 1250 under \"Amount\")");
  host->UserSelect("B2");
  Step("select A2 (empty, under \"Invoice date\")");
  host->UserSelect("A2");
  parts.real_tag->Click();
  Step("press Right on the calendar (the focus day moves), then Enter (it is written)");
  parts.shown_calendar->PressKey(vk::kRight);
  parts.shown_calendar->PressKey(vk::kReturn);
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

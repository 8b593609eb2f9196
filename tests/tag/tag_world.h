// The real tag on the stand-in host: a workbook window on the stand-in desktop, the options at
// their defaults, and the tag's window as a window of that desktop.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "settings/fakes.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/excel_sim.h"
#include "sim/headless_tag_form.h"
#include "tag/frm_tag.h"

namespace tessaly::testing {

struct ClickCounter : ITagEvents {
  void TagClick() override { ++clicks; }
  int clicks = 0;
};

struct TagWorld {
  explicit TagWorld(const std::string& version = "12.0", double dpi = 96) {
    InitSystem(m, platform.services());
    m.ExcelVersion = std::atoi(version.c_str());
    host = sim::SimExcel::Create(version);
    host->AddWorkbook("Book1", {"Sheet1"});
    desk().SetDpi(dpi);
    m.ExcelMainWindow = 0x10010;
  }
  // Builds the tag once the options and the window are set up, as the controller does at start.
  frmTag& Start(const std::string& icon = "C:\\Tessaly\\pictures\\cal16.ico") {
    auto f = std::make_unique<sim::HeadlessTagForm>(desk(), m.ExcelMainWindow, [](const std::string& p) { return p.ends_with("cal16.ico"); });
    form = f.get();
    tag = std::make_unique<frmTag>(TagServices{m, host, desk(), desk()}, std::move(f));
    tag->SetEventSink(&events);
    tag->InitThisObject(icon);
    return *tag;
  }
  // Writes an option with a value of its own type.
  void Set(opt::Index i, std::int64_t v) {
    cUtilRegMan& r = *m.RegMan;
    short type = r.ValueType(i);
    r.Value(i, type == 11 ? Variant::boolean(v != 0) : type == 2 ? Variant::i2(std::int16_t(v)) : Variant::i4(std::int32_t(v)));
  }
  sim::SimDesktop& desk() { return host->Desktop(); }
  sim::WorkbookModel& book() { return host->Book("Book1"); }
  sim::SheetModel& sheet() { return host->Sheet("Book1", "Sheet1"); }
  RangePtr Range(const std::string& a1) {
    return host->RangeObject(host->SheetShared(&sheet()), sim::address::Parse(a1, host->MaxRow(), host->MaxColumn()));
  }
  // The cell's rectangle on screen as the stand-in host paints it.
  ScreenRect Painted(const std::string& a1) {
    auto a = sim::address::Parse(a1, host->MaxRow(), host->MaxColumn())[0];
    sim::WindowLayout layout = host->Layout(book());
    const sim::PaneLayout& pane = sim::PaneShowing(layout, a.r1, a.c1);
    return sim::CellRect(host->Axes(sheet()), layout, pane, a.r1, a.c1);
  }
  ScreenRect Client() {
    ScreenRect c = desk().ClientRect(book().window);
    ScreenPoint o = desk().ClientToScreen(book().window, {0, 0});
    return {o.x, o.y, o.x + c.right, o.y + c.bottom};
  }

  FakePlatform platform;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host;
  std::unique_ptr<frmTag> tag;
  sim::HeadlessTagForm* form = nullptr;
  ClickCounter events;
};

}  // namespace tessaly::testing

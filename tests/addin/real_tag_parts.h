// The add-in's parts with the real tag on the stand-in desktop, reached through the given window
// and screen services; the calendar stays a recording one unless the real pop-up is asked for.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "calendar/frm_cal.h"
#include "core/controller_world.h"
#include "sim/headless_form.h"
#include "sim/headless_tag_form.h"
#include "sim/raster_surface.h"
#include "tag/frm_tag.h"

namespace tessaly::testing {

struct RealTagParts : RecordingParts {
  RealTagParts(std::shared_ptr<sim::SimExcel> h, IWindowSystem& w, const IScreenMetrics& s)
      : host(std::move(h)), windows(w), screen(s) {}
  std::unique_ptr<ITagWindow> CreateTag() override {
    ++tags_made;
    auto form = std::make_unique<sim::HeadlessTagForm>(host->Desktop(), module->ExcelMainWindow);
    auto t = std::make_unique<frmTag>(TagServices{*module, host, windows, screen}, std::move(form));
    real_tag = t.get();
    return t;
  }
  // The main window the options dialog and the About box are shown over.
  void ShowSettings() override { dialog_owners.push_back(module->ExcelMainWindow); }
  void ShowAbout(const std::string&, const std::string&) override { dialog_owners.push_back(module->ExcelMainWindow); }
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    if (!clock) return RecordingParts::CreateCalendarForm();
    auto window = std::make_unique<sim::HeadlessCalendarFormWindow>();
    real_calendar_window = window.get();
    auto form = std::make_unique<calendar::frmCal>(calendar::CalendarFormServices{*module, graphics, *clock, LocaleData::us_english(), {}, nullptr}, std::move(window));
    real_calendar = form.get();
    return form;
  }
  std::shared_ptr<sim::SimExcel> host;
  IWindowSystem& windows;
  const IScreenMetrics& screen;
  mVantry* module = nullptr;  // set once the add-in that owns it is made
  frmTag* real_tag = nullptr;
  std::vector<WindowHandle> dialog_owners;
  // The real pop-up on a windowless form window, made while a clock is given.
  const IClock* clock = nullptr;
  sim::RasterGraphics graphics;
  calendar::frmCal* real_calendar = nullptr;
  sim::HeadlessCalendarFormWindow* real_calendar_window = nullptr;
};

}  // namespace tessaly::testing

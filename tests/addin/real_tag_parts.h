// The add-in's parts with the real tag on the stand-in desktop, reached through the given window
// and screen services; the calendar stays a recording one.
#pragma once

#include <memory>

#include "core/controller_world.h"
#include "sim/headless_tag_form.h"
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
  std::shared_ptr<sim::SimExcel> host;
  IWindowSystem& windows;
  const IScreenMetrics& screen;
  const mVantry* module = nullptr;  // set once the add-in that owns it is made
  frmTag* real_tag = nullptr;
};

}  // namespace tessaly::testing

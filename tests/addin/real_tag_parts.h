// The add-in's parts with the real tag on the stand-in desktop, reached through the given window
// and screen services; the calendar stays a recording one.
#pragma once

#include <memory>
#include <string>
#include <vector>

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
  // The main window the options dialog and the About box are shown over.
  void ShowSettings() override { dialog_owners.push_back(module->ExcelMainWindow); }
  void ShowAbout(const std::string&, const std::string&) override { dialog_owners.push_back(module->ExcelMainWindow); }
  std::shared_ptr<sim::SimExcel> host;
  IWindowSystem& windows;
  const IScreenMetrics& screen;
  const mVantry* module = nullptr;  // set once the add-in that owns it is made
  frmTag* real_tag = nullptr;
  std::vector<WindowHandle> dialog_owners;
};

}  // namespace tessaly::testing

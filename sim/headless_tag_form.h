// The tag's platform window on the stand-in desktop: a window of the desktop's tree that records
// its look, runs its timer when told to tick, keeps its tooltips, and takes the stand-in mouse.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "host/host_error.h"
#include "host/tag_form.h"
#include "sim/desktop.h"

namespace tessaly::sim {

class HeadlessTooltip : public ITooltip {
 public:
  HeadlessTooltip(TooltipSettings settings, int& live) : settings_(std::move(settings)), live_(live) { ++live_; }
  ~HeadlessTooltip() override { --live_; }
  const TooltipSettings& Settings() const override { return settings_; }

 private:
  TooltipSettings settings_;
  int& live_;
};

class HeadlessTagForm : public ITagForm {
 public:
  // `readable` tells which icon files load.
  HeadlessTagForm(SimDesktop& desk, WindowHandle owner, std::function<bool(const std::string&)> readable = {})
      : desk_(desk), handle_(desk.NewHandle()), readable_(std::move(readable)) {
    SimDesktop::Window& w = desk_.AddWindow(handle_, "TessalyTag", desk_.current_process, {0, 0, 20, 20});
    w.visible = false;
    if (owner && desk_.Exists(owner)) desk_.SetParent(handle_, owner);
  }
  ~HeadlessTagForm() override {
    if (desk_.Exists(handle_)) desk_.RemoveWindow(handle_);
  }

  WindowHandle Handle() const override { return handle_; }
  bool Destroyed() const override { return !desk_.Exists(handle_); }
  void SetEventSink(ITagFormEvents* sink) override { sink_ = sink; }
  void SetLook(const TagLook& look) override {
    ++paints;
    this->look = look;
    ScreenRect& r = desk_.Get(handle_).rect;
    r.right = r.left + look.width;
    r.bottom = r.top + look.height;
  }
  bool LoadIconFile(const std::string& path) override {
    icon_loaded = readable_ && readable_(path);
    if (icon_loaded) icon = path;
    return icon_loaded;
  }
  void StartTimer(std::int32_t period_ms) override {
    if (refuse_timer) throw HostError("The system has no timer left.");
    timer_ms = period_ms;
  }
  void StopTimer() override { timer_ms = 0; }
  bool HighContrast() const override { return high_contrast; }
  void SetAccessibleName(const std::string& name) override { accessible_name = name; }
  // The system's colours changed while the tag exists.
  void colors_changed() {
    if (sink_) sink_->ColorsChanged();
  }
  std::unique_ptr<ITooltip> CreateTooltip(const TooltipSettings& settings) override {
    ++tooltips_made;
    return std::make_unique<HeadlessTooltip>(settings, live_tooltips);
  }

  // The stand-in mouse: moves the cursor and tells the window under it; a click there clicks it.
  void MoveMouse(ScreenPoint p) {
    desk_.cursor = p;
    if (sink_ && desk_.WindowFromPoint(p) == handle_) sink_->MouseMove();
  }
  void ClickAt(ScreenPoint p) {
    MoveMouse(p);
    if (sink_ && desk_.WindowFromPoint(p) == handle_) sink_->Click();
  }
  // One period of the running timer passes.
  void Tick() {
    if (sink_ && timer_ms > 0) sink_->Timer();
  }
  const SimDesktop::Window& Window() const { return desk_.Get(handle_); }

  TagLook look;
  std::string icon;
  bool icon_loaded = false;
  std::int32_t timer_ms = 0;  // 0: stopped
  bool high_contrast = false;
  std::string accessible_name;
  bool refuse_timer = false;
  int paints = 0, tooltips_made = 0, live_tooltips = 0;

 private:
  SimDesktop& desk_;
  WindowHandle handle_;
  std::function<bool(const std::string&)> readable_;
  ITagFormEvents* sink_ = nullptr;
};

}  // namespace tessaly::sim

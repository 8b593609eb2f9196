// Windowless stand-ins for the tag, the calendar form and the dialogs, for sessions and tests on
// the stand-in host.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/controller.h"

namespace tessaly::sim {

// A tag without a window: shows itself for every target unless told the cell is off screen, at
// the stand-in grid's position of the cell (columns 64 and rows 20 pixels from the window's
// corner), and records what it was shown for.
class HeadlessTag : public ITagWindow {
 public:
  void InitThisObject(const std::string& icon_path) override { icon = icon_path; }
  void SetEventSink(ITagEvents* s) override { sink = s; }
  bool TagDisplay(const RangePtr& target) override {
    ++displays;
    if (displayed) return true;
    if (!on_screen) return false;
    address = target->Address(true, true, xl::kA1, false);
    if (place_on_grid) {
      x = origin_x + target->Column() * 64 + 10;
      y = origin_y + (target->Row() - 1) * 20;
    }
    SheetPtr sheet = target->Worksheet();
    sheet_name = sheet->Name();
    book_name = sheet->Parent()->Name();
    displayed = true;
    if (opens_calendar) TriggerClickEvent();
    return true;
  }
  bool TagMove(const RangePtr& target) override {
    ++moves;
    displayed = false;
    return TagDisplay(target);
  }
  void TagHide() override { displayed = false; }
  TagFollowing TagFollow(const RangePtr&) override {
    ++follows;
    if (!displayed) return TagFollowing::Hidden;
    if (on_screen) return TagFollowing::Unchanged;
    displayed = false;
    return TagFollowing::Hidden;
  }
  void ReadPlaceOnScreen() override {}  // placed by rule, never carried along
  void TriggerClickEvent() override {
    if (sink) sink->TagClick();
  }
  void Unload() override { unloaded = true; }
  bool WindowLost() const override { return lost; }
  bool Displayed() const override { return displayed; }
  bool LeftSide() const override { return false; }
  bool RightToLeft() const override { return right_to_left; }
  WindowHandle ParentWindow() const override {
    if (parent_lost) throw HostError(1400, "Invalid window handle.");
    return parent;
  }
  std::int32_t X() const override { return x; }
  std::int32_t Y() const override { return y; }
  std::string TargetAddress() const override { return address; }
  std::string SheetName() const override { return sheet_name; }
  std::string WorkbookName() const override { return book_name; }
  std::int32_t Margin() const override { return 8; }

  ITagEvents* sink = nullptr;
  std::string icon, address, sheet_name, book_name;
  bool displayed = false, on_screen = true, unloaded = false, parent_lost = false, lost = false;
  bool right_to_left = false;
  WindowHandle parent = 0;
  std::int32_t x = 100, y = 100;
  bool place_on_grid = false;
  std::int32_t origin_x = 0, origin_y = 0;
  int displays = 0, moves = 0, follows = 0;
  bool opens_calendar = false;  // clicks itself once shown, as the option to open automatically does
};

// A calendar form without a window: records where and with which date it was shown.
class HeadlessCalendarForm : public ICalendarForm {
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
  void Prepare(const Variant& start_date, WindowHandle parent) override {
    if (shown) return;
    prepared.push_back({start_date, parent, holidays, limits});
    parked = parent;
  }
  void ReturnHome() override {
    HideCalendar();
    parked = 0;
    ++homes;
  }
  void SetHolidays(std::vector<double> days) override { holidays = std::move(days); }
  void SetLimits(std::optional<DateLimits> l) override { limits = l; }
  void HideCalendar() override { shown = focused = false; }
  void TakeFocus() override { focused = shown; }
  void Unload() override {
    if (unloads) ++*unloads;
  }
  bool WindowLost() const override { return lost; }
  bool Shown() const override { return shown; }
  std::optional<Size> SizeIn(WindowHandle) const override { return size; }
  void Close(const Variant& v) { sink->CalendarClose(v); }

  ICalendarFormEvents* sink = nullptr;
  Variant init, start;
  std::vector<double> holidays;
  std::optional<DateLimits> limits;
  ScreenPoint at;
  WindowHandle owner = 0;
  bool shown = false, focused = false, lost = false;
  int shows = 0;
  // Each readying, with the holidays and limits set for it.
  struct Prepared {
    Variant start;
    WindowHandle parent = 0;
    std::vector<double> holidays;
    std::optional<DateLimits> limits;
  };
  std::vector<Prepared> prepared;
  WindowHandle parked = 0;  // where the hidden form waits; 0: the host's main window
  int homes = 0;
  int* unloads = nullptr;  // counted where the form's owner can read it after the form is gone
  std::optional<Size> size;  // what it says it takes; empty: it cannot tell
};

// The controller's parts for sessions on the stand-in host.
class HeadlessParts : public IControllerParts {
 public:
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto t = std::make_unique<HeadlessTag>();
    tag = t.get();
    ++tags_made;
    return t;
  }
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    auto c = std::make_unique<HeadlessCalendarForm>();
    calendar = c.get();
    c->unloads = &calendars_unloaded;
    ++calendars_made;
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

  HeadlessTag* tag = nullptr;
  HeadlessCalendarForm* calendar = nullptr;
  int settings_shown = 0, tags_made = 0, calendars_made = 0, calendars_unloaded = 0;
  std::vector<std::string> about;
};

}  // namespace tessaly::sim

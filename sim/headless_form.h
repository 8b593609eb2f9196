// The calendar form's window without a window: combo boxes that hold their items and text, the
// windowless picture, and functions that deliver the user's clicks, edits and keys.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calendar/form_layout.h"
#include "host/calendar_form_window.h"
#include "sim/headless_picture.h"

namespace tessaly::sim {

class HeadlessComboBox : public IComboBox {
 public:
  void clear() override {
    ++clears;
    items.clear();
    index = -1;
    edit_text.clear();
  }
  void add_item(const std::string& text) override { items.push_back(text); }
  int count() const override { return static_cast<int>(items.size()); }
  int selected_index() const override { return index; }
  void set_selected_index(int i) override {
    index = i >= 0 && i < count() ? i : -1;
    edit_text = index >= 0 ? items[static_cast<std::size_t>(index)] : std::string();
  }
  std::string text() const override { return edit_text; }
  void set_text(const std::string& t) override {
    edit_text = t;
    index = -1;
    for (int i = 0; i < count(); ++i)
      if (items[static_cast<std::size_t>(i)] == t) index = i;
  }

  std::vector<std::string> items;
  int clears = 0;
  int index = -1;
  std::string edit_text;
};

class HeadlessCalendarFormWindow : public ICalendarFormWindow {
 public:
  // The design's client area at 96 dots per inch, the picture inside it.
  HeadlessCalendarFormWindow() : picture_(233, 161) {}

  void set_listener(ICalendarFormListener* l) override { listener = l; }
  IPictureControl& picture() override { return picture_; }
  IComboBox& months() override { return months_; }
  IComboBox& years() override { return years_; }
  Size client_size() const override { return layout.client; }
  void set_resolution(double dpi) override {
    if (dpi == resolution) return;
    resolution = dpi;
    layout = calendar::CalendarFormLayout(1440 / dpi, 1440 / dpi);
    const Rect& p = layout[FormControl::Calendar];
    picture_.resize(p.width(), p.height());
  }
  void set_back_color(Rgb c) override { back_color = c; }
  void set_border(Rgb c, const Rect& r) override {
    border_color = c;
    border = r;
  }
  void set_tooltips(const FormTooltips* s) override {
    if (tooltips) ++tooltips_destroyed;
    tooltips.reset();
    if (s) tooltips = *s;
  }
  void show_at_screen_point(std::uintptr_t p, int x, int y) override {
    parent = p;
    at = {x, y, x, y};
    visible = true;
  }
  void hide(std::uintptr_t owner) override {
    if (owner) parent = owner;
    visible = false;
    grid_focused = false;
  }
  void focus_day_grid() override {
    grid_focused = true;
    picture_.gain_focus();
  }
  std::uintptr_t window_handle() const override { return 0x3C4D; }

  // The user's actions.
  void click(FormControl c) {
    if (listener) listener->on_click(c);
  }
  void choose_month(int index) {
    months_.set_selected_index(index);
    click(FormControl::Months);
  }
  // Types into the year box and leaves it.
  void type_year(const std::string& text) {
    years_.edit_text = text;
    if (listener) listener->on_year_validate();
  }
  void choose_year(const std::string& text) {
    years_.set_text(text);
    click(FormControl::Years);
  }
  void colors_changed() {
    if (listener) listener->on_colors_changed();
  }
  void press(int key_code) {
    if (listener) listener->on_form_key(key_code);
  }

  HeadlessPicture& headless_picture() { return picture_; }
  HeadlessComboBox& headless_months() { return months_; }
  HeadlessComboBox& headless_years() { return years_; }

  ICalendarFormListener* listener = nullptr;
  bool grid_focused = false;
  Rgb back_color = 0, border_color = 0;
  Rect border;
  std::optional<FormTooltips> tooltips;
  int tooltips_destroyed = 0;
  std::uintptr_t parent = 0;
  Rect at;
  double resolution = 96;
  calendar::FormLayout layout = calendar::CalendarFormLayout(15, 15);
  bool visible = false;

 private:
  HeadlessPicture picture_;
  HeadlessComboBox months_, years_;
};

}  // namespace tessaly::sim

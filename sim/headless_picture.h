// A picture control without a window: a client-sized pixel buffer as its device, window styles,
// a key-state table, and functions that deliver mouse, key, focus, paint and resize events.
#pragma once

#include <cstdint>
#include <memory>
#include <set>

#include "host/picture_control.h"
#include "sim/raster_surface.h"

namespace tessaly::sim {

class HeadlessPicture : public IPictureControl {
 public:
  HeadlessPicture(int width, int height);

  IDevice& device() override { return pixels_; }
  int scale_width() const override { return pixels_.width(); }
  int scale_height() const override { return pixels_.height(); }
  std::uintptr_t window_handle() const override { return 0x1A2B; }
  void set_listener(IPictureListener* listener) override { listener_ = listener; }
  void set_accessible(IAccessibleSource* source) override { accessible_ = source; }
  IAccessibleSource* accessible() const { return accessible_; }

  void set_no_border() override { ++no_border_calls_; }
  void set_auto_redraw(bool on) override { auto_redraw_ = on; }
  void set_back_color(Rgb color) override { back_color_ = color; }
  void set_appearance(Appearance appearance) override { appearance_ = appearance; }

  WindowStyles window_styles() const override { return styles_; }
  void set_window_styles(const WindowStyles& styles) override;

  bool is_key_down(int virtual_key) const override { return held_.count(virtual_key) != 0; }

  // What the control has been told.
  PixelBuffer& pixels() { return pixels_; }
  IPictureListener* listener() const { return listener_; }
  int no_border_calls() const { return no_border_calls_; }
  bool auto_redraw() const { return auto_redraw_; }
  Rgb back_color() const { return back_color_; }
  Appearance appearance() const { return appearance_; }
  int frame_refreshes() const { return frame_refreshes_; }
  // Styles as a window would start with them (set before linking, for border-style tests).
  void preset_styles(const WindowStyles& styles) { styles_ = styles; }

  // Keyboard state read by the control at a press.
  void hold(int virtual_key, bool down = true);
  void release_all_keys() { held_.clear(); }

  // Events, delivered to the listener when there is one. `click` is a press and a release.
  void mouse_down(int button, int x, int y, int shift = 0);
  void mouse_move(int x, int y, int button = 0, int shift = 0);
  void mouse_up(int button, int x, int y, int shift = 0);
  void click(int x, int y);
  void key_down(int key_code, int shift = 0);
  void lose_focus();
  void gain_focus();
  void mouse_leave();
  void paint();
  // Changes the client size, then tells the listener.
  void resize(int width, int height);

 private:
  PixelBuffer pixels_;
  IPictureListener* listener_ = nullptr;
  IAccessibleSource* accessible_ = nullptr;
  WindowStyles styles_{0x50000000, 0};  // WS_CHILD | WS_VISIBLE
  std::set<int> held_;
  int no_border_calls_ = 0;
  bool auto_redraw_ = true;
  Rgb back_color_ = 0;
  Appearance appearance_ = Appearance::ThreeD;
  int frame_refreshes_ = 0;
};

// A windowless picture whose screen is a surface of the given graphics (Cairo, GDI), so what the
// control copies to its window can be read back or saved.
class ScreenPicture : public HeadlessPicture {
 public:
  ScreenPicture(IGraphics& g, int w, int h) : HeadlessPicture(w, h), screen_(g.try_create_surface(w, h)) {}
  IDevice& device() override { return *screen_; }
  ISurface& screen() { return *screen_; }

 private:
  std::unique_ptr<ISurface> screen_;
};

}  // namespace tessaly::sim

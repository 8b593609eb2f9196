// A child window lent to an owner-drawn control: its device, client size, window styles, and the
// mouse, key, focus, paint and resize notifications it delivers to one listener.
#pragma once

#include <cstdint>

#include "host/accessible.h"
#include "host/surface.h"

namespace tessaly {

// Mouse buttons and shift-key flags as the platform's form events report them.
namespace mouse {
inline constexpr int kLeft = 1, kRight = 2, kMiddle = 4;
}
namespace shift {
inline constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
}

// Virtual-key codes the controls act on.
namespace vk {
inline constexpr int kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kSpace = 0x20;
inline constexpr int kPageUp = 0x21, kPageDown = 0x22;
inline constexpr int kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
}  // namespace vk

// Window style bits, with the platform's values.
namespace ws {
inline constexpr std::uint32_t kBorder = 0x00800000, kThickFrame = 0x00040000;
inline constexpr std::uint32_t kExWindowEdge = 0x00000100, kExClientEdge = 0x00000200, kExStaticEdge = 0x00020000;
}  // namespace ws

struct WindowStyles {
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  friend bool operator==(const WindowStyles&, const WindowStyles&) = default;
};

enum class Appearance { Flat, ThreeD };

// The owner's side of the picture control. Coordinates are client pixels.
class IPictureListener {
 public:
  virtual ~IPictureListener() = default;
  virtual void on_mouse_down(int button, int shift, int x, int y) = 0;
  virtual void on_mouse_move(int button, int shift, int x, int y) = 0;
  virtual void on_mouse_up(int button, int shift, int x, int y) = 0;
  virtual void on_double_click() {}
  // The pointer has left the window.
  virtual void on_mouse_leave() {}
  // True when the next paint covers the whole client area, so the background need not be erased.
  virtual bool paints_whole_client() const { return false; }
  virtual void on_key_down(int key_code, int shift) = 0;
  virtual void on_lost_focus() = 0;
  virtual void on_got_focus() {}
  virtual void on_paint() = 0;
  virtual void on_resize() = 0;
};

class IPictureControl {
 public:
  virtual ~IPictureControl() = default;

  // Where the owner's image goes; valid as long as the control lives.
  virtual IDevice& device() = 0;
  // Client size in pixels (the only scale the control uses).
  virtual int scale_width() const = 0;
  virtual int scale_height() const = 0;
  virtual std::uintptr_t window_handle() const = 0;
  // One listener at a time; nullptr stops the notifications.
  virtual void set_listener(IPictureListener* listener) = 0;

  // The control's own look: no border of its own, no persistent image (the owner paints on every
  // paint request), a background colour and flat or three-dimensional appearance.
  virtual void set_no_border() = 0;
  virtual void set_auto_redraw(bool on) = 0;
  virtual void set_back_color(Rgb color) = 0;
  virtual void set_appearance(Appearance appearance) = 0;

  virtual WindowStyles window_styles() const = 0;
  // Writes both styles and refreshes the frame without moving or sizing the window.
  virtual void set_window_styles(const WindowStyles& styles) = 0;

  // What the window tells screen readers; nullptr: nothing of its own. The source must outlive
  // the setting.
  virtual void set_accessible(IAccessibleSource* source) { (void)source; }

  // Whether a key is held down at this moment (the high bit of its key state).
  virtual bool is_key_down(int virtual_key) const = 0;
};

}  // namespace tessaly

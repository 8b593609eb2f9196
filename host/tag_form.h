// The platform window under the tag: a small child window that paints a bordered square with a
// 16 by 16 icon, reports the mouse, owns a timer and can carry the standard tooltip. Placing,
// re-parenting and showing it go through IWindowSystem by its handle.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "host/window_system.h"

namespace tessaly {

// What the window shows; colours are 0x00BBGGRR or system colours 0x800000nn (the platform
// translates those when it paints).
struct TagLook {
  std::int32_t width = 20, height = 20;  // window size in pixels
  std::uint32_t background = 0;
  std::uint32_t border = 0;              // a one-pixel outline over the whole client area
  ScreenRect icon;                       // the icon's place in client coordinates
  friend bool operator==(const TagLook&, const TagLook&) = default;
};

// The standard tooltip control with one tool.
struct TooltipSettings {
  WindowHandle owner = 0;   // the window that owns the control (the host's main window)
  WindowHandle tool = 0;    // the tool: this window, identified by handle, the control watching
                            // the mouse over it on its own (TTF_IDISHWND | TTF_SUBCLASS)
  std::string text;         // UTF-8
  bool always_tip = true;   // TTS_ALWAYSTIP: tips even when the host is not the active application
  bool no_prefix = true;    // TTS_NOPREFIX: ampersands shown literally
  std::int32_t max_width = 400;      // pixels
  std::int32_t autopop_ms = 0;       // hides the tip after this long
  std::int32_t initial_ms = 0;       // delay before the tip shows
  std::string font_face = "Tahoma";
  double font_points = 8.25;
  friend bool operator==(const TooltipSettings&, const TooltipSettings&) = default;
};

// A stored time as the tooltip control takes it: its times are 16-bit milliseconds.
inline std::int32_t TooltipMilliseconds(std::int32_t stored) { return std::clamp(stored, 0, 32767); }

// A live tooltip control; destroying the object destroys the control.
class ITooltip {
 public:
  virtual ~ITooltip() = default;
  virtual const TooltipSettings& Settings() const = 0;
};

// What the window reports. The icon is painted, not a window of its own, so the mouse over the
// icon is over the tag.
class ITagFormEvents {
 public:
  virtual ~ITagFormEvents() = default;
  virtual void MouseMove() = 0;
  virtual void Click() = 0;
  virtual void Timer() = 0;  // the running timer's period has passed
  // The system's colours or its high-contrast mode changed.
  virtual void ColorsChanged() {}
};

// Created hidden; the tag re-parents, places and shows it through IWindowSystem by its handle.
// Destroyed with the object.
class ITagForm {
 public:
  virtual ~ITagForm() = default;
  virtual WindowHandle Handle() const = 0;
  // True once the window was destroyed with its parent.
  virtual bool Destroyed() const = 0;
  virtual void SetEventSink(ITagFormEvents* sink) = 0;
  // Sizes the window to the look and repaints it.
  virtual void SetLook(const TagLook& look) = 0;
  // Loads the icon from an .ico file for every later paint; false, with the built-in calendar icon
  // kept, when the file is missing or unreadable.
  virtual bool LoadIconFile(const std::string& path) = 0;
  // The window's own timer: Timer() every period until stopped; starting again replaces the period.
  virtual void StartTimer(std::int32_t period_ms) = 0;
  virtual void StopTimer() = 0;
  // A new tooltip control as set out; throws HostError when the platform refuses.
  virtual std::unique_ptr<ITooltip> CreateTooltip(const TooltipSettings& settings) = 0;
  // Whether the system's high-contrast mode is on now.
  virtual bool HighContrast() const { return false; }
  // The name screen readers give the window, a button that opens the calendar.
  virtual void SetAccessibleName(const std::string& name) { (void)name; }
};

}  // namespace tessaly

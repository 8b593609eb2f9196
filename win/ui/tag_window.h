// The tag as a Win32 window: a small non-activating child window that paints a bordered square
// with a 16 by 16 icon, reports the mouse and its clicks, owns a timer and carries tooltips.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/tag_form.h"
#include "tag/frm_tag.h"
#include "win/handles.h"
#include "win/ui/gdi_graphics.h"
#include "win/ui/msaa_object.h"
#include "win/ui/system_change_watch.h"
#include "win/ui/window_timer.h"

namespace tessaly::win {


// The built-in calendar icon as a system icon; empty when the system refuses it.
unique_hicon CreateBuiltinCalendarIcon();

class TagWindow final : public ITagForm, private IAccessibleSource {
 public:
  static constexpr const wchar_t* kClassName = L"TessalyTag";

  // A hidden child of `owner` (the host's main window); empty when the window cannot be made.
  static std::unique_ptr<TagWindow> try_create(HWND owner);
  ~TagWindow() override;
  TagWindow(const TagWindow&) = delete;
  TagWindow& operator=(const TagWindow&) = delete;

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }
  bool Destroyed() const override { return destroyed_; }
  void SetEventSink(ITagFormEvents* sink) override { sink_ = sink; }
  void SetLook(const TagLook& look) override;
  bool LoadIconFile(const std::string& path) override;
  // Throws HostError when the system refuses the timer.
  void StartTimer(std::int32_t period_ms) override;
  void StopTimer() override { timer_.stop(); }
  std::unique_ptr<ITooltip> CreateTooltip(const TooltipSettings& settings) override;
  bool HighContrast() const override;
  void SetAccessibleName(const std::string& name) override;

  HWND hwnd() const { return window_; }
  bool has_file_icon() const { return static_cast<bool>(file_icon_); }

 private:
  TagWindow() = default;
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
  void on_paint();

  HWND window_ = nullptr;
  ITagFormEvents* sink_ = nullptr;
  TagLook look_;
  unique_hicon file_icon_, builtin_icon_;
  WindowTimer timer_;
  bool pressed_ = false;
  std::unique_ptr<SystemChangeWatch> system_watch_;
  bool destroyed_ = false;  // with its parent, behind our back
  std::string accessible_name_;
  std::unique_ptr<MsaaAnswer> msaa_;

  // A push button for screen readers; pressing it is a click.
  AccessibleElement Self() override;
  int ChildCount() override { return 0; }
  AccessibleElement Child(int) override { return Self(); }
  int FocusedChild() override { return -1; }
  int SelectedChild() override { return -1; }
  void DoDefaultAction(int index) override;
};

// The tag's platform window for the add-in: a hidden child of the host's main window. Throws
// HostError when the window cannot be made.
std::unique_ptr<ITagForm> CreateTagForm(HWND owner);

// The whole tag for the add-in: the portable tag over this window, owned by `owner` (the host's
// main window). Throws HostError when the window cannot be made.
std::unique_ptr<ITagWindow> CreateTag(TagServices services, HWND owner);

}  // namespace tessaly::win

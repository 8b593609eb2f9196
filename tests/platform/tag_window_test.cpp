// The tag as a real child of the workbook window: placed through the window system without taking
// activation or focus, clicked and hovered with real input, its timer and tooltip, its icon.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/host_error.h"
#include "support/win_ui.h"
#include "win/ui/tag_window.h"
#include "win/window_dpi.h"
#include "win/win_window_system.h"

namespace tessaly {
namespace {

struct Counts : ITagFormEvents {
  void MouseMove() override { ++moves; }
  void Click() override { ++clicks; }
  void Timer() override { ++timers; }
  int moves = 0, clicks = 0, timers = 0;
};

class TagWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tag_ = win::CreateTagForm(host_.main);
    tag_->SetEventSink(&events_);
    // A button-face square with a grey outline, the icon two pixels in.
    tag_->SetLook({.width = 20, .height = 20, .background = 0x8000000F, .border = 0x00808080, .icon = {2, 2, 18, 18}});
  }
  // Beside a cell of the workbook window, as the tag places itself.
  void show() {
    const WindowHandle h = tag_->Handle(), book = reinterpret_cast<WindowHandle>(host_.book);
    windows_.SetWindowStyles(h, ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost);
    windows_.SetParent(h, book);
    windows_.MoveWindow(h, {200, 120, 220, 140});
    windows_.ShowWindow(h, true);
    testing::Pump(150);
  }
  HWND hwnd() const { return reinterpret_cast<HWND>(tag_->Handle()); }

  testing::HostWindows host_;
  win::Win32WindowSystem windows_;
  std::unique_ptr<ITagForm> tag_;
  Counts events_;
};

TEST_F(TagWindowTest, clicked_with_real_input_without_taking_activation_or_focus) {
  EXPECT_FALSE(::IsWindowVisible(hwnd()));
  EXPECT_EQ(::GetParent(hwnd()), host_.main);
  show();
  EXPECT_TRUE(::IsWindowVisible(hwnd()));
  EXPECT_EQ(::GetParent(hwnd()), host_.book);
  EXPECT_EQ(windows_.WindowScreenRect(tag_->Handle()).width(), 20);
  const ScreenPoint at = windows_.ClientToScreen(reinterpret_cast<WindowHandle>(host_.book), {200, 120});
  EXPECT_EQ(windows_.WindowFromPoint({at.x + 5, at.y + 5}), tag_->Handle());

  testing::MoveTo(at.x + 8, at.y + 8);
  EXPECT_GT(events_.moves, 0);
  testing::ClickAt(at.x + 10, at.y + 10);  // over the icon: still the tag's
  EXPECT_EQ(events_.clicks, 1);
  EXPECT_EQ(::GetForegroundWindow(), host_.main);
  EXPECT_EQ(::GetActiveWindow(), host_.main);
  EXPECT_EQ(::GetFocus(), host_.book) << "the host keeps the keyboard";

  // A press that ends outside the tag is no click.
  testing::MoveTo(at.x + 10, at.y + 10);
  testing::SendMouse(MOUSEEVENTF_LEFTDOWN);
  testing::MoveTo(at.x + 100, at.y + 100);
  testing::SendMouse(MOUSEEVENTF_LEFTUP);
  testing::Pump(100);
  EXPECT_EQ(events_.clicks, 1);

  const int dpi = win::WindowDpi(host_.main);
  EXPECT_TRUE(testing::SaveScreen({at.x - 40, at.y - 20, at.x + 60, at.y + 40}, "tag_" + std::to_string(dpi) + "dpi.png"));
  windows_.ShowWindow(tag_->Handle(), false);
  EXPECT_FALSE(::IsWindowVisible(hwnd()));
}

TEST_F(TagWindowTest, timer_runs_until_stopped) {
  tag_->StartTimer(40);
  testing::Pump(400);
  EXPECT_GE(events_.timers, 3);
  tag_->StopTimer();
  const int stopped_at = events_.timers;
  testing::Pump(200);
  EXPECT_EQ(events_.timers, stopped_at);
}

TEST_F(TagWindowTest, icon_file_and_tooltip) {
  EXPECT_FALSE(tag_->LoadIconFile("C:\\no such folder\\cal16.ico"));
  TooltipSettings s{.owner = reinterpret_cast<WindowHandle>(host_.main), .tool = tag_->Handle(),
                    .text = "Click to open the calendar & pick", .autopop_ms = 3000, .initial_ms = 500};
  std::unique_ptr<ITooltip> tip = tag_->CreateTooltip(s);
  ASSERT_TRUE(tip);
  s.tool = 0x1234;  // no such window
  EXPECT_THROW(tag_->CreateTooltip(s), HostError);
}

}  // namespace
}  // namespace tessaly
#endif  // _WIN32

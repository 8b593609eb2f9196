// The workbook window's view watch on real windows: scrolling and the wheel as scrolling; a paint,
// a move or a new size as a change, a change of z-order alone as nothing; lifting repaint
// suppression paints before it returns; the watch ends with its object or its window.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/win_ui.h"
#include "win/win_window_system.h"

namespace tessaly {
namespace {

using testing::HostWindows;
using testing::Pump;

struct Heard {
  int scrolled = 0, changed = 0;
};

class ViewWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pump(50);
    watch_ = windows_.WatchView(book(), {[this] { ++heard_.scrolled; }, [this] { ++heard_.changed; }});
  }
  WindowHandle book() const { return reinterpret_cast<WindowHandle>(host_.book); }
  void Repaint() {
    ::InvalidateRect(host_.book, nullptr, FALSE);
    ::UpdateWindow(host_.book);
  }

  HostWindows host_;
  win::Win32WindowSystem windows_;
  Heard heard_;
  std::unique_ptr<IWindowWatch> watch_;
};

TEST_F(ViewWatchTest, scrolling_and_the_wheel_are_scrolling) {
  ::SendMessageW(host_.book, WM_VSCROLL, SB_LINEDOWN, 0);
  ::SendMessageW(host_.book, WM_HSCROLL, SB_LINERIGHT, 0);
  ::SendMessageW(host_.book, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(heard_.scrolled, 3);
  EXPECT_EQ(heard_.changed, 0);
}

TEST_F(ViewWatchTest, a_paint_a_move_and_a_new_size_are_changes) {
  Repaint();
  EXPECT_EQ(heard_.changed, 1) << "the paint";
  RECT r{};
  ::GetClientRect(host_.desk, &r);
  ::SetWindowPos(host_.book, nullptr, 0, 30, r.right, r.bottom - 30, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  EXPECT_EQ(heard_.changed, 2) << "the move and new size";
  ::SetWindowPos(host_.book, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  EXPECT_EQ(heard_.changed, 2) << "z-order alone moves no cell";
  EXPECT_EQ(heard_.scrolled, 0);
}

TEST_F(ViewWatchTest, lifting_repaint_suppression_paints_before_it_returns) {
  windows_.SetRepaintSuppressed(book(), true);
  const int before = heard_.changed;
  windows_.SetRepaintSuppressed(book(), false);
  EXPECT_GT(heard_.changed, before);
}

TEST_F(ViewWatchTest, the_watch_ends_with_its_object_and_with_its_window) {
  watch_.reset();
  Repaint();
  ::SendMessageW(host_.book, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(heard_.changed + heard_.scrolled, 0);
  watch_ = windows_.WatchView(book(), {[this] { ++heard_.scrolled; }, [this] { ++heard_.changed; }});
  ::DestroyWindow(host_.book);
  watch_.reset();  // after its window: nothing left to undo, nothing crashes
  EXPECT_EQ(heard_.scrolled, 0);
}

}  // namespace
}  // namespace tessaly
#endif  // _WIN32

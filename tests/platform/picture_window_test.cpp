// The picture control as a real child window: messages reach the listener in client pixels,
// styles are written and read back, paints draw through the window's device.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "host/platform_graphics.h"
#include "support/win_ui.h"
#include "win/ui/picture_window.h"

namespace tessaly {
namespace {

struct Event {
  std::string kind;
  int a = 0, b = 0, x = 0, y = 0;
  friend bool operator==(const Event&, const Event&) = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << e.kind << "(" << e.a << "," << e.b << "," << e.x << "," << e.y << ")";
}

class RecordingListener : public IPictureListener {
 public:
  void on_mouse_down(int button, int shift, int x, int y) override { events.push_back({"down", button, shift, x, y}); }
  void on_mouse_move(int button, int shift, int x, int y) override { events.push_back({"move", button, shift, x, y}); }
  void on_mouse_up(int button, int shift, int x, int y) override { events.push_back({"up", button, shift, x, y}); }
  void on_double_click() override { events.push_back({"double"}); }
  void on_key_down(int key, int shift) override { events.push_back({"key", key, shift}); }
  void on_lost_focus() override { events.push_back({"lost_focus"}); }
  void on_paint() override {
    events.push_back({"paint"});
    if (paint) paint();
  }
  void on_resize() override { events.push_back({"resize"}); }
  void on_mouse_leave() override { events.push_back({"leave"}); }
  bool paints_whole_client() const override { return covers; }

  std::vector<Event> events;
  std::function<void()> paint;
  bool covers = false;
};

class PictureWindowTest : public ::testing::Test {
 protected:
  // One shown top-level window for the suite: showing one takes the window system a while.
  static void SetUpTestSuite() {
    top_ = ::CreateWindowExW(0, L"STATIC", L"picture test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() {
    if (top_) ::DestroyWindow(top_);
    top_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(top_);
    picture_ = win::PictureWindow::try_create(top_, Rect{10, 20, 243, 181});
    ASSERT_TRUE(picture_);
    picture_->set_listener(&listener_);
  }
  void TearDown() override { picture_.reset(); }
  LRESULT send(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::SendMessageW(picture_->hwnd(), message, wparam, lparam);
  }

  static inline HWND top_ = nullptr;
  std::unique_ptr<win::PictureWindow> picture_;
  RecordingListener listener_;
};

TEST_F(PictureWindowTest, messages_reach_the_listener) {
  struct Case {
    UINT message;
    WPARAM wparam;
    int x, y;
    std::vector<Event> want;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, 15, 30, {{"down", mouse::kLeft, 0, 15, 30}}},
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 1, 2, {{"down", mouse::kLeft, shift::kShift, 1, 2}}},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 200, 150, {{"down", mouse::kRight, shift::kCtrl, 200, 150}}},
      {WM_MBUTTONDOWN, MK_MBUTTON, 0, 0, {{"down", mouse::kMiddle, 0, 0, 0}}},
      {WM_LBUTTONUP, 0, 40, 41, {{"up", mouse::kLeft, 0, 40, 41}}},
      {WM_RBUTTONUP, MK_SHIFT | MK_CONTROL, 3, 4, {{"up", mouse::kRight, shift::kShift | shift::kCtrl, 3, 4}}},
      {WM_MBUTTONUP, 0, 5, 6, {{"up", mouse::kMiddle, 0, 5, 6}}},
      {WM_MOUSEMOVE, 0, 7, 8, {{"move", 0, 0, 7, 8}}},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 9, 10, {{"move", mouse::kLeft | mouse::kRight, 0, 9, 10}}},
      // A captured mouse reports points left of and above the window as negative.
      {WM_MOUSEMOVE, MK_LBUTTON, -5, -7, {{"move", mouse::kLeft, 0, -5, -7}}},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, 12, 13, {{"down", mouse::kLeft, 0, 12, 13}, {"double"}}},
      {WM_KEYDOWN, VK_LEFT, 0, 0, {{"key", vk::kLeft, 0}}},
      {WM_KEYDOWN, VK_HOME, 0, 0, {{"key", vk::kHome, 0}}},
      {WM_KILLFOCUS, 0, 0, 0, {{"lost_focus"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    listener_.events.clear();
    send(c.message, c.wparam, MAKELPARAM(c.x, c.y));
    EXPECT_EQ(listener_.events, c.want);
  }
}

TEST_F(PictureWindowTest, parent_size_and_arrow_keys) {
  EXPECT_EQ(reinterpret_cast<HWND>(picture_->window_handle()), picture_->hwnd());
  EXPECT_EQ(::GetParent(picture_->hwnd()), top_);
  EXPECT_EQ(std::tuple(picture_->scale_width(), picture_->scale_height()), std::tuple(233, 161));
  EXPECT_EQ(send(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS) << "arrow keys stay with the control";
  ::SetWindowPos(picture_->hwnd(), nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_FALSE(listener_.events.empty());
  EXPECT_EQ(listener_.events.back(), Event{"resize"});
  EXPECT_EQ(std::tuple(picture_->scale_width(), picture_->scale_height()), std::tuple(120, 90));
}

TEST_F(PictureWindowTest, no_listener_no_notifications) {
  picture_->set_listener(nullptr);
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  send(WM_KEYDOWN, VK_RIGHT, 0);
  ::InvalidateRect(picture_->hwnd(), nullptr, TRUE);
  ::UpdateWindow(picture_->hwnd());
  EXPECT_TRUE(listener_.events.empty());
}

TEST_F(PictureWindowTest, styles_written_and_read_back) {
  const WindowStyles plain = picture_->window_styles();
  EXPECT_TRUE(plain.style & WS_CHILD);
  struct Case {
    std::uint32_t style, ex_style;
  };
  const Case cases[] = {
      {ws::kBorder | ws::kThickFrame, ws::kExWindowEdge},
      {0, ws::kExStaticEdge},
      {0, ws::kExClientEdge},
  };
  for (const Case& c : cases) {
    picture_->set_window_styles({plain.style | c.style, plain.ex_style | c.ex_style});
    const WindowStyles now = picture_->window_styles();
    EXPECT_EQ(now.style & c.style, c.style);
    EXPECT_EQ(now.ex_style & c.ex_style, c.ex_style);
    // The frame is recomputed at once: the border takes client space, the window keeps its place.
    EXPECT_LT(picture_->scale_width(), 233);
    RECT r{};
    ::GetWindowRect(picture_->hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 233);
  }
  picture_->set_window_styles(plain);
  EXPECT_EQ(picture_->window_styles(), plain);
  EXPECT_EQ(picture_->scale_width(), 233);

  picture_->set_window_styles({plain.style | ws::kBorder, plain.ex_style | ws::kExClientEdge});
  picture_->set_no_border();
  EXPECT_EQ(picture_->window_styles().style & ws::kBorder, 0u);
  EXPECT_EQ(picture_->window_styles().ex_style & ws::kExClientEdge, 0u);
  EXPECT_EQ(picture_->scale_width(), 233);
}

TEST_F(PictureWindowTest, key_state_read_at_once) {
  BYTE keys[256] = {};
  ASSERT_TRUE(::GetKeyboardState(keys));
  keys[VK_SHIFT] = 0x80;
  keys[VK_CONTROL] = 0;
  ASSERT_TRUE(::SetKeyboardState(keys));
  EXPECT_TRUE(picture_->is_key_down(vk::kShift));
  EXPECT_FALSE(picture_->is_key_down(vk::kControl));
  listener_.events.clear();
  send(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(listener_.events, (std::vector<Event>{{"key", vk::kDown, shift::kShift}}));
  keys[VK_SHIFT] = 0;
  ASSERT_TRUE(::SetKeyboardState(keys));
  EXPECT_FALSE(picture_->is_key_down(vk::kShift));
}

TEST_F(PictureWindowTest, paint_draws_through_the_device) {
  auto graphics = MakePlatformGraphics();
  auto image = graphics->try_create_surface(233, 161);
  ASSERT_TRUE(image);
  image->fill_solid(Rect{0, 0, 233, 161}, rgb(255, 0, 0));
  image->fill_solid(Rect{100, 50, 110, 60}, rgb(0, 0, 255));
  listener_.paint = [&] { image->blit_to(picture_->device(), 0, 0, 233, 161, 0, 0, RasterOp::Copy); };
  ::InvalidateRect(picture_->hwnd(), nullptr, TRUE);
  ::UpdateWindow(picture_->hwnd());
  ASSERT_EQ(listener_.events, (std::vector<Event>{{"paint"}}));

  HDC dc = ::GetDC(picture_->hwnd());
  const COLORREF at_red = ::GetPixel(dc, 5, 5), at_blue = ::GetPixel(dc, 105, 55);
  ::ReleaseDC(picture_->hwnd(), dc);
  if (at_red == CLR_INVALID) GTEST_SKIP() << "this display gives no pixels back";
  EXPECT_EQ(at_red, rgb(255, 0, 0));
  EXPECT_EQ(at_blue, rgb(0, 0, 255));

  // The rubber band is drawn onto the window directly, and a second one takes it off.
  const auto changed_on_top_edge = [&] {
    HDC wdc = ::GetDC(picture_->hwnd());
    int changed = 0;
    for (int x = 2; x < 40; ++x) changed += ::GetPixel(wdc, x, 2) != rgb(255, 0, 0);
    ::ReleaseDC(picture_->hwnd(), wdc);
    return changed;
  };
  picture_->device().draw_focus_rect(Rect{2, 2, 40, 30});
  EXPECT_GT(changed_on_top_edge(), 0);
  picture_->device().draw_focus_rect(Rect{2, 2, 40, 30});
  EXPECT_EQ(changed_on_top_edge(), 0);
}

TEST_F(PictureWindowTest, erases_only_when_the_image_leaves_gaps) {
  for (bool covers : {true, false}) {
    listener_.covers = covers;
    HDC dc = ::GetDC(picture_->hwnd());
    ::SetPixel(dc, 5, 5, rgb(0, 255, 0));
    EXPECT_EQ(send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    const COLORREF after = ::GetPixel(dc, 5, 5);
    ::ReleaseDC(picture_->hwnd(), dc);
    if (after == CLR_INVALID) GTEST_SKIP() << "this display gives no pixels back";
    EXPECT_EQ(after == rgb(0, 255, 0), covers) << covers;
  }
}

TEST_F(PictureWindowTest, the_pointer_leaving_is_reported) {
  RECT r{};
  ::GetClientRect(picture_->hwnd(), &r);
  const POINT inside = testing::ScreenCentre(picture_->hwnd(), r);
  testing::MoveTo(inside.x, inside.y);
  testing::MoveTo(inside.x + 5, inside.y + 5);
  ASSERT_FALSE(listener_.events.empty());
  EXPECT_EQ(listener_.events.back().kind, "move");
  listener_.events.clear();
  testing::MoveTo(inside.x + 300, inside.y);  // outside the control, still over the test window
  testing::Pump(300);
  EXPECT_EQ(std::count(listener_.events.begin(), listener_.events.end(), Event{"leave"}), 1);
}

// A control needs a live parent; destroyed, it takes its window along, telling no one.
TEST(PictureWindowCreation, needs_a_live_parent_and_goes_with_its_window) {
  EXPECT_EQ(win::PictureWindow::try_create(nullptr, Rect{0, 0, 10, 10}), nullptr);
  HWND top = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(top);
  auto picture = win::PictureWindow::try_create(top, Rect{0, 0, 50, 50});
  ASSERT_TRUE(picture);
  const HWND hwnd = picture->hwnd();
  RecordingListener listener;
  picture->set_listener(&listener);
  picture.reset();
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_TRUE(listener.events.empty()) << "the closing messages reach no one";
  ::DestroyWindow(top);
  EXPECT_EQ(win::PictureWindow::try_create(top, Rect{0, 0, 10, 10}), nullptr) << "a parent that is gone";
}

}  // namespace
}  // namespace tessaly
#endif  // _WIN32

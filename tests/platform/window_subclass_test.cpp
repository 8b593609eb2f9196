// Window subclassing: the chosen messages reach the handler first, the rest pass on, and the
// refusals (no window, another process's window, a message already claimed) hold.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "win/ui/window_subclass.h"

namespace tessaly {
namespace {

const win::WindowSubclass::Handler kAnswer42 = [](UINT, WPARAM, LPARAM) { return std::optional<LRESULT>(42); };

TEST(WindowSubclass, chosen_messages_first_claims_and_refusals) {
  HWND w = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(w);
  auto hook = win::WindowSubclass::try_attach(w, {WM_USER + 1}, kAnswer42);
  ASSERT_TRUE(hook);
  EXPECT_EQ(::SendMessageW(w, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(::SendMessageW(w, WM_USER + 2, 0, 0), 0) << "other messages reach the window";

  DWORD desktop_process = 0;
  ::GetWindowThreadProcessId(::GetDesktopWindow(), &desktop_process);
  ASSERT_NE(desktop_process, ::GetCurrentProcessId()) << "the desktop window belongs to the shell's process";
  struct Refusal {
    const char* why;
    HWND window;
    UINT message;
  };
  const Refusal refusals[] = {
      {"no window", nullptr, WM_USER + 3},
      {"a window that is gone", reinterpret_cast<HWND>(0x7FFF0), WM_USER + 3},
      {"claimed by another handler", w, WM_USER + 1},
      {"another process's window", ::GetDesktopWindow(), WM_USER + 3},
  };
  for (const Refusal& r : refusals) EXPECT_FALSE(win::WindowSubclass::try_attach(r.window, {r.message}, kAnswer42)) << r.why;

  // A message of its own is still free on the same window; a released claim is free again.
  EXPECT_TRUE(win::WindowSubclass::try_attach(w, {WM_USER + 2}, kAnswer42));
  hook.reset();
  EXPECT_EQ(::SendMessageW(w, WM_USER + 1, 0, 0), 0);
  EXPECT_TRUE(win::WindowSubclass::try_attach(w, {WM_USER + 1}, kAnswer42));
  ::DestroyWindow(w);
}

}  // namespace
}  // namespace tessaly
#endif  // _WIN32

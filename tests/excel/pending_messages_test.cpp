// The one pass over the thread's pending window messages that follows the keystrokes leaving
// cell edit mode: what waits is handled, a quit request stays for the message loop, and a window
// that keeps posting to itself does not hold the pass for ever.
#include <windows.h>

#include <gtest/gtest.h>

#include "fake_dispatch.h"
#include "win/excel/excel_objects.h"

namespace tessaly::win {
namespace {

constexpr UINT kPing = WM_APP + 1, kEcho = WM_APP + 2;
int g_pings = 0, g_echoes = 0;

LRESULT CALLBACK Counter(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == kPing) return ++g_pings, 0;
  if (message == kEcho) {
    if (++g_echoes < 1000000) ::PostMessageW(window, kEcho, 0, 0);
    return 0;
  }
  return ::DefWindowProcW(window, message, w, l);
}

TEST(PendingMessages, OnePassOverTheQueue) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Counter;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TessalyPendingMessagesTest";
  ::RegisterClassW(&wc);
  HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(window);
  auto world = std::make_shared<test::FakeWorld>();
  ExcelApplicationPtr app = excel::WrapExcelApplication(test::MakeFakeObject(world, {L"Application", GUID{}}).get());

  for (int i = 0; i < 3; ++i) ::PostMessageW(window, kPing, 0, 0);
  app->ProcessPendingMessages();
  EXPECT_EQ(g_pings, 3);
  MSG msg;
  EXPECT_FALSE(::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));

  ::PostQuitMessage(7);
  ::PostMessageW(window, kPing, 0, 0);
  app->ProcessPendingMessages();
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit request was swallowed";
  EXPECT_EQ(msg.wParam, 7u);
  app->ProcessPendingMessages();
  EXPECT_EQ(g_pings, 4);

  ::PostMessageW(window, kEcho, 0, 0);
  app->ProcessPendingMessages();
  EXPECT_LT(g_echoes, 1000000) << "the pass followed a window posting to itself";
  EXPECT_TRUE(world->log.empty()) << "the pass is the add-in's own, not a call into the host";
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace tessaly::win

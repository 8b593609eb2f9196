// The About box in Tessaly.dll: its version from the DLL's own resource, and the box itself as a
// real modal window over its owner, worked with real mouse input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_error.h"
#include "tessaly_version.h"
#include "tests/com/com_test_support.h"
#include "win/ui/about_ids.h"
#include "win/ui/about_window.h"

namespace tessaly::win {
namespace {

TEST(about_window, version_from_the_dlls_own_resource) {
  EXPECT_EQ(AboutVersionText(ModuleFileVersion(test::AddInModule())), std::string("Version ") + TESSALY_VERSION);
  EXPECT_THROW(ModuleFileVersion(::GetModuleHandleW(nullptr)), HostError) << "the test program has no version resource";
}

// Records the addresses the box's buttons hand to the shell.
struct Shell : IHelpShell {
  void DisplayHelpTopic(const std::string&, const std::string&) override {}
  void OpenAddress(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

// What the watcher saw of the box while it was up.
struct Seen {
  HWND owner = nullptr;
  BOOL owner_enabled = TRUE;
  std::wstring caption, product, version, font;
  int ticks = 0;
};
Seen* g_seen = nullptr;

std::wstring ItemText(HWND box, int id) {
  wchar_t buf[256] = {};
  ::GetDlgItemTextW(box, id, buf, 256);
  return buf;
}

// First tick: reads the box and clicks its web-site button; next: clicks OK, as a user would.
void CALLBACK WatchAbout(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = ::FindWindowW(L"#32770", L"Tessaly");
  if (!box || !::IsWindowVisible(box)) return;
  Seen& s = *g_seen;
  if (s.ticks++ == 0) {
    s.owner = ::GetWindow(box, GW_OWNER);
    s.owner_enabled = ::IsWindowEnabled(s.owner);
    wchar_t buf[256] = {};
    ::GetWindowTextW(box, buf, 256);
    s.caption = buf;
    s.product = ItemText(box, IDC_ABOUT_PRODUCT);
    s.version = ItemText(box, IDC_ABOUT_VERSION);
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    s.font = lf.lfFaceName;
    ::SetForegroundWindow(box);
    testing::ClickWindow(::GetDlgItem(box, IDC_ABOUT_WEBSITE));
  } else if (s.ticks == 2) {
    testing::ClickWindow(::GetDlgItem(box, IDOK));
  } else if (s.ticks > 50) {
    ::EndDialog(box, IDCANCEL);  // the clicks never arrived: end the box, the test fails
  }
}

TEST(about_window, a_modal_box_over_its_owner_worked_by_mouse) {
  HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
  mVantry m;
  m.ProductName = "Tessaly";
  m.UrlProduct = "https://brenmoor.example/tessaly/";
  Shell shell;
  frmAbout about(m, shell, {1, 2, 3});
  about.InitThisObject("app32", "app16");
  Seen seen;
  g_seen = &seen;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, WatchAbout);
  ShowAboutWindow(test::AddInModule(), host, about);
  ::KillTimer(nullptr, timer);
  g_seen = nullptr;
  EXPECT_EQ(seen.owner, host);
  EXPECT_FALSE(seen.owner_enabled) << "the owner is disabled while the box is up";
  EXPECT_EQ(seen.caption, L"Tessaly");
  EXPECT_EQ(seen.product, L"Tessaly");
  EXPECT_EQ(seen.version, L"Version 1.2.3");
  EXPECT_EQ(seen.font, L"Tahoma");
  EXPECT_EQ(shell.opened, std::vector<std::string>{"https://brenmoor.example/tessaly/"});
  EXPECT_LT(seen.ticks, 50) << "OK closed the box";
  EXPECT_TRUE(::IsWindowEnabled(host));
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace tessaly::win

// The About box's logic: its texts, and what each button opens.
#include "core/about_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/desktop.h"

namespace tessaly {
namespace {

TEST(about_box, texts) {
  EXPECT_EQ(AboutVersionText({1, 4, 27}), "Version 1.4.27");
  EXPECT_EQ(AboutVersionText({}), "Version 0.0.0");
  EXPECT_EQ(SupportMailAddress("Tessaly", {2, 0, 1}),
            "mailto:support@brenmoor.example?subject=Tessaly%20Version%202.0.1");
  EXPECT_EQ(SupportMailAddress("A&b?c=d", {1, 0, 0}),
            "mailto:support@brenmoor.example?subject=A%26b%3Fc%3Dd%20Version%201.0.0");
}

// Web site and support open their address and leave the box open; only Close closes it. An
// address that is no web page is never handed to the shell, and a shell that fails is no error.
TEST(about_box, buttons) {
  struct Case {
    const char* url;
    AboutButton button;
    bool closes;
    const char* opened;  // "" when nothing is opened
  };
  const Case cases[] = {
      {"https://brenmoor.example/tessaly/", AboutButton::WebSite, false, "https://brenmoor.example/tessaly/"},
      {"  HTTP://x.example/ ", AboutButton::WebSite, false, "HTTP://x.example/"},
      {"C:\\Windows\\System32\\calc.exe", AboutButton::WebSite, false, ""},
      {"\\\\server\\share\\setup.exe", AboutButton::WebSite, false, ""},
      {"file:///C:/x.exe", AboutButton::WebSite, false, ""},
      {"https://", AboutButton::WebSite, false, ""},
      {"", AboutButton::WebSite, false, ""},
      {"https://x/", AboutButton::Support, false, "mailto:support@brenmoor.example?subject=Tessaly%20Version%201.2.3"},
      {"https://x/", AboutButton::Close, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    mVantry m;
    m.ProductName = "Tessaly";
    m.UrlProduct = c.url;
    sim::SimDesktop shell;  // records what it opens; fail_help makes it throw
    frmAbout about(m, shell, {1, 2, 3});
    about.InitThisObject("app32", "app16");
    EXPECT_EQ(about.Caption(), "Tessaly");
    EXPECT_EQ(about.VersionText(), "Version 1.2.3");
    EXPECT_EQ(about.Click(c.button), c.closes);
    EXPECT_EQ(shell.addresses_opened, std::string(c.opened).empty() ? std::vector<std::string>{}
                                                                     : std::vector<std::string>{c.opened});
    shell.fail_help = true;
    EXPECT_EQ(about.Click(c.button), c.closes);
  }
}

}  // namespace
}  // namespace tessaly

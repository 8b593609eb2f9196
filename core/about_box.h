// The About box frmAbout apart from its window: what it shows and what its three buttons do.
#pragma once

#include <string>

#include "host/help_shell.h"
#include "settings/m_vantry.h"

namespace tessaly {

// The add-in file's own version numbers, as its version resource gives them.
struct FileVersion {
  int major = 0, minor = 0, revision = 0;
};

// "Version " and the major, minor and revision numbers joined by ".".
std::string AboutVersionText(const FileVersion& version);

// Where the support button's mail goes.
inline constexpr const char* kSupportMailbox = "support@brenmoor.example";

// The support request: a new mail to the support mailbox, its subject naming product and version.
std::string SupportMailAddress(const std::string& product_name, const FileVersion& version);

// True for an http or https address. UrlProduct comes from the machine file, which every user of
// the computer may write: anything else (a program's path, a share) is never handed to the shell.
bool IsWebAddress(const std::string& address);

enum class AboutButton { Close, WebSite, Support };

class frmAbout {
 public:
  frmAbout(const mVantry& m, IHelpShell& shell, FileVersion version) : m_(m), shell_(shell), version_(version) {}

  // The icon resources of the box (large) and of its title bar (small).
  void InitThisObject(const std::string& large_icon, const std::string& small_icon);

  const std::string& Caption() const { return m_.ProductName; }
  const std::string& ProductText() const { return m_.ProductName; }
  std::string VersionText() const { return AboutVersionText(version_); }
  const std::string& LargeIcon() const { return large_icon_; }
  const std::string& SmallIcon() const { return small_icon_; }

  // A button pressed: the web site in the default browser, the support mail in the default mail
  // program, neither of which fails the box. True when the box closes.
  bool Click(AboutButton button) noexcept;

 private:
  const mVantry& m_;
  IHelpShell& shell_;
  FileVersion version_;
  std::string large_icon_, small_icon_;
};

}  // namespace tessaly

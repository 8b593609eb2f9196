// The About box frmAbout apart from its window.
#include "core/about_box.h"

#include <cstdio>

#include "host/error_policy.h"
#include "host/text.h"

namespace tessaly {

namespace {

// Bytes outside the unreserved set of a mailto address, percent-encoded.
std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

std::string AboutVersionText(const FileVersion& v) {
  return "Version " + std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision);
}

std::string SupportMailAddress(const std::string& product_name, const FileVersion& version) {
  return std::string("mailto:") + kSupportMailbox + "?subject=" + Escaped(product_name + " " + AboutVersionText(version));
}

bool IsWebAddress(const std::string& address) {
  const std::string a = trim(address);
  for (const std::string scheme : {"http://", "https://"})
    if (a.size() > scheme.size() && iequals(a.substr(0, scheme.size()), scheme)) return true;
  return false;
}

void frmAbout::InitThisObject(const std::string& large_icon, const std::string& small_icon) {
  large_icon_ = large_icon;
  small_icon_ = small_icon;
}

bool frmAbout::Click(AboutButton button) noexcept {
  switch (button) {
    case AboutButton::Close:
      return true;
    case AboutButton::WebSite:
      if (IsWebAddress(m_.UrlProduct)) SkipFailures()([&] { shell_.OpenAddress(trim(m_.UrlProduct)); });
      return false;
    case AboutButton::Support:
      SkipFailures()([&] { shell_.OpenAddress(SupportMailAddress(m_.ProductName, version_)); });
      return false;
  }
  return false;
}

}  // namespace tessaly

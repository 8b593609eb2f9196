// Windows parts of the controller: icon pictures from the DLL's resources and the About box.
#include "win/com/controller_parts.h"

#include <algorithm>
#include <cctype>

#include "tessaly_version.h"
#include "win/com/icon_pictures.h"
#include "win/com_error.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

constexpr int kButtonFace = 16;

}  // namespace

void IconImageList::Add(const std::string& key) {
  const std::string k = Lower(key);
  images_[k] = {IconPicture(module_, k, kButtonFace), IconMask(module_, k, kButtonFace)};
}

bool IconImageList::Has(const std::string& key) const { return images_.count(Lower(key)) != 0; }

const std::pair<ButtonImagePtr, ButtonImagePtr>& IconImageList::Find(const std::string& key) const {
  const auto it = images_.find(Lower(key));
  if (it == images_.end()) throw HostError(HRESULT_FROM_WIN32(ERROR_NOT_FOUND), "no image " + key);
  return it->second;
}

ButtonImagePtr IconImageList::Picture(const std::string& key) const { return Find(key).first; }
ButtonImagePtr IconImageList::Mask(const std::string& key) const { return Find(key).second; }

std::unique_ptr<ITagWindow> Win32ControllerParts::CreateTag() {
  throw HostError(E_NOTIMPL, "The tag window is not available on this platform yet.");
}

std::unique_ptr<ICalendarForm> Win32ControllerParts::CreateCalendarForm() {
  throw HostError(E_NOTIMPL, "The calendar form is not available on this platform yet.");
}

std::unique_ptr<IImageList> Win32ControllerParts::CreateImageList() {
  return std::make_unique<IconImageList>(module_);
}

void Win32ControllerParts::ShowAbout(const std::string&, const std::string&) {
  const std::wstring title = to_wide(product_name_);
  const std::wstring text = title + L"\r\nVersion " + to_wide(TESSALY_VERSION) + L"\r\nA date picker for Microsoft Excel.";
  MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

ButtonImagePtr Win32ControllerParts::LoadIconResource(const std::string& name) {
  return IconPicture(module_, Lower(name));
}

}  // namespace tessaly::win

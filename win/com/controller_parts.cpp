// Windows parts of the controller: icon pictures from the DLL's resources and the About box.
#include "win/com/controller_parts.h"

#include <algorithm>
#include <cctype>

#include "addin/connect.h"
#include "host/platform_graphics.h"
#include "win/com/icon_pictures.h"
#include "win/com_error.h"
#include "win/ui/about_window.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/modal_dialog.h"
#include "win/ui/tag_window.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

constexpr int kButtonFace = 16;

}  // namespace

// Only the resource is looked for here; its face and mask are drawn when first asked for, since
// hosts with a ribbon never ask, and drawing six of them is a large part of a connection's time.
void IconImageList::Add(const std::string& key) {
  const std::string k = Lower(key);
  if (!::FindResourceW(module_, to_wide(k).c_str(), RT_GROUP_ICON))
    throw com_error(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND));
  images_[k] = {};
}

bool IconImageList::Has(const std::string& key) const { return images_.count(Lower(key)) != 0; }

const std::pair<ButtonImagePtr, ButtonImagePtr>& IconImageList::Find(const std::string& key) const {
  const auto it = images_.find(Lower(key));
  if (it == images_.end()) throw HostError(HRESULT_FROM_WIN32(ERROR_NOT_FOUND), "no image " + key);
  if (!it->second.first)
    it->second = {IconPicture(module_, it->first, kButtonFace), IconMask(module_, it->first, kButtonFace)};
  return it->second;
}

ButtonImagePtr IconImageList::Picture(const std::string& key) const { return Find(key).first; }
ButtonImagePtr IconImageList::Mask(const std::string& key) const { return Find(key).second; }

Connect& Win32ControllerParts::BoundAddIn() const {
  if (!addin_) throw HostError(E_UNEXPECTED, "The add-in's windows are asked for before it is connected.");
  return *addin_;
}

std::unique_ptr<ITagWindow> Win32ControllerParts::CreateTag() {
  Connect& addin = BoundAddIn();
  const auto owner = reinterpret_cast<HWND>(addin.Module().ExcelMainWindow);
  return win::CreateTag(TagServices{addin.Module(), addin.Application(), windows_, screen_}, owner);
}

std::unique_ptr<ICalendarForm> Win32ControllerParts::CreateCalendarForm() {
  Connect& addin = BoundAddIn();
  if (!graphics_) graphics_ = MakePlatformGraphics();
  const auto owner = reinterpret_cast<HWND>(addin.Module().ExcelMainWindow);
  // Its Settings button opens the options dialog owned by the pop-up itself.
  auto show_options = [this](std::uintptr_t form) { ShowOptions(form); };
  return win::CreateCalendarForm(
      calendar::CalendarFormServices{addin.Module(), *graphics_, clock_, locale_.user_default(), show_options, &screen_},
      owner);
}

void Win32ControllerParts::ShowSettings() { ShowOptions(0); }

void Win32ControllerParts::ShowOptions(WindowHandle owner) {
  Connect& addin = BoundAddIn();
  Win32DialogHost dialogs(module_, reinterpret_cast<HWND>(addin.Module().ExcelMainWindow));
  addin.ShowOptions(owner, dialogs);
}

std::unique_ptr<IImageList> Win32ControllerParts::CreateImageList() {
  return std::make_unique<IconImageList>(module_);
}

void Win32ControllerParts::ShowAbout(const std::string& large_icon, const std::string& small_icon) {
  Connect& addin = BoundAddIn();
  frmAbout about(addin.Module(), shell_, ModuleFileVersion(module_));
  about.InitThisObject(large_icon, small_icon);
  ShowAboutWindow(module_, reinterpret_cast<HWND>(addin.Module().ExcelMainWindow), about);
}

ButtonImagePtr Win32ControllerParts::LoadIconResource(const std::string& name) {
  return IconPicture(module_, Lower(name));
}

}  // namespace tessaly::win

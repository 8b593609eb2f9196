// The controller's parts on Windows: its windows, the icon image list, the About box and the
// pictures of the DLL's icon resources.
#pragma once

#include <windows.h>

#include <map>

#include "core/controller.h"
#include "core/image_list.h"

namespace tessaly::win {

// 16 by 16 button faces and masks of the DLL's icon resources, by key (case ignored).
class IconImageList : public IImageList {
 public:
  explicit IconImageList(HMODULE module) : module_(module) {}
  void Add(const std::string& key) override;
  bool Has(const std::string& key) const override;
  std::size_t Count() const override { return images_.size(); }
  ButtonImagePtr Picture(const std::string& key) const override;
  ButtonImagePtr Mask(const std::string& key) const override;
  void Clear() override { images_.clear(); }

 private:
  const std::pair<ButtonImagePtr, ButtonImagePtr>& Find(const std::string& key) const;
  HMODULE module_;
  std::map<std::string, std::pair<ButtonImagePtr, ButtonImagePtr>> images_;  // lower-case keys
};

class Win32ControllerParts : public IControllerParts {
 public:
  Win32ControllerParts(HMODULE module, std::string product_name)
      : module_(module), product_name_(std::move(product_name)) {}
  // The tag and the calendar form are the Win32 windows of win/ui/; until those exist these
  // throw HostError, and the controller goes on without them.
  std::unique_ptr<ITagWindow> CreateTag() override;
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override;
  std::unique_ptr<IImageList> CreateImageList() override;
  // The options dialog comes with the dialogs: for now the command does nothing.
  void ShowSettings() override {}
  // A message box owned by the active window, with the product's name and version.
  void ShowAbout(const std::string& large_icon, const std::string& small_icon) override;
  ButtonImagePtr LoadIconResource(const std::string& name) override;

 private:
  HMODULE module_;
  std::string product_name_;
};

}  // namespace tessaly::win

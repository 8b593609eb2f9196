// The controller's parts on Windows: its windows, the icon image list, the About box and the
// pictures of the DLL's icon resources.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "core/controller.h"
#include "core/image_list.h"
#include "host/help_shell.h"
#include "host/locale.h"
#include "host/surface.h"

namespace tessaly {
class Connect;
}

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
  // Lower-case keys; face and mask drawn at the first request.
  mutable std::map<std::string, std::pair<ButtonImagePtr, ButtonImagePtr>> images_;
};

class Win32ControllerParts : public IControllerParts {
 public:
  Win32ControllerParts(HMODULE module, std::string product_name, IWindowSystem& windows,
                       const IScreenMetrics& screen, const IClock& clock, const ILocale& locale, IHelpShell& shell)
      : module_(module), product_name_(std::move(product_name)), windows_(windows), screen_(screen),
        clock_(clock), locale_(locale), shell_(shell) {}
  // The add-in whose options, start-up values and host the windows work with; the controller
  // asks for its windows only once the connection has established them.
  void Bind(Connect& addin) { addin_ = &addin; }
  // The tag and the calendar form are Win32 windows owned by the host's main window.
  std::unique_ptr<ITagWindow> CreateTag() override;
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override;
  std::unique_ptr<IImageList> CreateImageList() override;
  // The options dialog, modal over the host's main window.
  void ShowSettings() override;
  // The About box, modal to the host's main window, with the version of this DLL's resource.
  void ShowAbout(const std::string& large_icon, const std::string& small_icon) override;
  ButtonImagePtr LoadIconResource(const std::string& name) override;

 private:
  Connect& BoundAddIn() const;
  // The options dialog over that owner window (0: the host's main window).
  void ShowOptions(WindowHandle owner);

  HMODULE module_;
  std::string product_name_;
  IWindowSystem& windows_;
  const IScreenMetrics& screen_;
  const IClock& clock_;
  const ILocale& locale_;
  IHelpShell& shell_;
  Connect* addin_ = nullptr;
  std::unique_ptr<IGraphics> graphics_;  // the calendar draws with it as long as the parts live
};

}  // namespace tessaly::win

// The stand-in Excel's ribbon strip: the buttons an add-in's customUI XML describes, in a band of
// their own at the top of the main window. Each click calls the add-in's callback by name through
// its IDispatch with an IRibbonControl; pressed states, images and screen tips come from its
// getters, asked again after the add-in invalidates a control through the IRibbonUI it was given.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

#include "sim/ribbon_xml.h"
#include "win/com_handles.h"
#include "win/handles.h"
#include "win/ui/gdi_graphics.h"

namespace tessaly::sim::exe {

class RibbonStrip {
 public:
  virtual ~RibbonStrip() = default;
  // The centre of the button with that control id in screen pixels; empty when there is none.
  virtual std::optional<POINT> ButtonCentreOnScreen(const std::string& id) const = 0;
  // Whether that button takes clicks (its getEnabled said so); false when there is none.
  virtual bool ButtonEnabled(const std::string& id) const = 0;
  // The tab the controls are in: a built-in tab's idMso ("TabInsert"), else its label.
  virtual std::string Tab() const = 0;
};

class AddInRibbon final : public RibbonStrip {
 public:
  // Lays the controls out in the strip window and hands the add-in its IRibbonUI (onLoad).
  AddInRibbon(HWND strip, win::com_ptr<IDispatch> addin, const RibbonXml& xml);
  ~AddInRibbon() override;
  AddInRibbon(const AddInRibbon&) = delete;
  AddInRibbon& operator=(const AddInRibbon&) = delete;

  std::optional<POINT> ButtonCentreOnScreen(const std::string& id) const override;
  bool ButtonEnabled(const std::string& id) const override;
  std::string Tab() const override;
  // A button of the strip was clicked (its command id).
  void OnCommand(int command);
  // Marks a control (every control for an empty id) to be asked again, later, as Office does.
  void Invalidate(const std::string& id);
  // Asks the getters of the marked controls again.
  void RefreshInvalidated();

  static constexpr UINT kRefreshMessage = WM_APP + 1;

 private:
  struct Control {
    RibbonControlXml xml;
    HWND button = nullptr, image = nullptr;
    // The picture's image at the strip's 16 by 16 pixels, owned here.
    win::unique_hicon icon;
    win::gdi::unique_bitmap bitmap;
    bool invalid = true;
  };
  HRESULT Call(const std::string& callback, std::vector<VARIANT> args, VARIANT* result) const;
  win::com_ptr<IDispatch> ControlObject(const Control& c) const;
  void AskGetters(Control& c);
  void ShowPicture(Control& c, const VARIANT& picture);
  void SetTip(const Control& c, const std::wstring& text);

  HWND strip_;
  HWND tips_ = nullptr;
  win::com_ptr<IDispatch> addin_;
  RibbonXml xml_;
  std::vector<Control> controls_;
  std::string tab_;
  std::vector<HWND> built_in_;  // the tab's name and the host's own commands beside the add-in's
  win::com_ptr<IDispatch> ribbon_ui_;
};

}  // namespace tessaly::sim::exe

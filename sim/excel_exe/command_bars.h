// The stand-in Excel's command bars on screen: for hosts before version 12 the visible toolbars
// docked at the top, in the band the ribbon takes on later hosts, and on every version the "Cell"
// context menu on a right click. Captions, pictures through their masks, group separators and
// pressed states are drawn from the model; a click on a control is the model's click on it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/excel_sim.h"

namespace tessaly::sim::exe {

class ToolbarStrip {
 public:
  ToolbarStrip(HWND strip, std::shared_ptr<SimExcel> model);
  ~ToolbarStrip();
  ToolbarStrip(const ToolbarStrip&) = delete;
  ToolbarStrip& operator=(const ToolbarStrip&) = delete;

  // Lays the buttons out again when the bars changed, else draws them again.
  void Refresh();
  // A button of the strip was clicked (its command id); false when it is none of these.
  bool OnCommand(int command);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);
  // The centre of a bar's control (counted from 1) on screen; empty when it is not shown.
  std::optional<POINT> ControlCentreOnScreen(const std::string& bar, std::size_t position) const;

 private:
  struct Button {
    std::string bar;
    std::size_t position = 0;
    std::shared_ptr<ControlModel> control;
    HWND window = nullptr;
  };
  std::string Signature() const;
  void Lay();

  HWND strip_;
  std::shared_ptr<SimExcel> model_;
  std::vector<Button> buttons_;
  std::string signature_;
};

// The bitmap of a picture an add-in gave a button; null when there is none.
HBITMAP BitmapOf(const ButtonImagePtr& image);

// Shows the "Cell" bar's visible controls as a context menu at a screen point and clicks the one
// chosen; false when nothing was chosen.
bool ShowCellMenu(HWND owner, SimExcel& model, POINT at);

}  // namespace tessaly::sim::exe

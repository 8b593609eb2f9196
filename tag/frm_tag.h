// The tag: a small square beside the qualifying cell, a child of the workbook window that never
// takes the focus, turning to its active colour under the mouse, with a tooltip, raising TagClick
// when clicked.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/tag_window.h"
#include "host/screen_metrics.h"
#include "host/tag_form.h"
#include "host/window_system.h"
#include "settings/m_vantry.h"
#include "tag/cell_geometry.h"

namespace tessaly {

inline constexpr const char* kTagTooltipText = "Click to pick a date from calendar";
inline constexpr const char* kTagAccessibleName = "Open the calendar";
inline constexpr std::int32_t kHoverPeriodMs = 100;
inline constexpr std::int32_t kIconPixels = 16;

// Where the tag goes beside a cell, all in screen pixels unless said otherwise.
struct TagPlacementInput {
  ScreenPoint cell;           // the cell's top-left corner, its top-right one when right to left
  double cell_width = 0;      // points, unzoomed
  double zoom = 1;
  ScaleFactors scale;
  double interspace_x = 10, interspace_y = 0;  // points
  std::int32_t size_x = 300, size_y = 300;     // twips
  std::int32_t client_right = 0;               // the workbook window's client area, screen
  std::int32_t client_left = 0;
  // The sheet reads right to left: the tag goes to the cell's left, towards the reading, and to
  // its right when the client's left edge leaves no room.
  bool right_to_left = false;
};
struct TagPlacement {
  ScreenPoint at;
  bool left_side = false;  // on the cell's left, whichever the reading direction
  std::int32_t width = 20, height = 20;
  friend bool operator==(const TagPlacement&, const TagPlacement&) = default;
};
// Right of the cell, or left of it with the same gap when the right side has no room; mirrored on a
// right-to-left sheet (left of the cell, or right of it past the client's left edge). Never moved
// onto another display: the tag stands beside its cell on whichever display shows the cell.
TagPlacement PlaceTag(const TagPlacementInput& in);
// The tag's size in pixels from twips, kept between 4 and 256 pixels whatever is stored.
std::int32_t TagPixels(std::int32_t twips, double twips_per_pixel);

// What the tag shows: the square, its border and the icon centred in it.
TagLook MakeTagLook(std::int32_t width, std::int32_t height, std::uint32_t background, std::uint32_t border);

// The tag's colours: the options', or the system's while high contrast is on.
struct TagColours {
  std::uint32_t active, inactive, border;
};
TagColours TagColoursFor(bool high_contrast, const cUtilRegMan& options);

struct TagServices {
  const mVantry& m;           // options, ExcelVersion, ExcelMainWindow
  ExcelApplicationPtr app;
  IWindowSystem& windows;
  const IScreenMetrics& screen;
};

class frmTag : public ITagWindow, private ITagFormEvents {
 public:
  frmTag(TagServices services, std::unique_ptr<ITagForm> form);
  ~frmTag() override;

  void InitThisObject(const std::string& icon_path) override;
  void SetEventSink(ITagEvents* sink) override { sink_ = sink; }
  bool TagDisplay(const RangePtr& target) override;
  bool TagMove(const RangePtr& target) override;
  void TagHide() override;
  TagFollowing TagFollow(const RangePtr& target) override;
  void ReadPlaceOnScreen() override;
  void TriggerClickEvent() override;
  void Unload() override;
  bool WindowLost() const override { return form_->Destroyed(); }

  bool Displayed() const override { return displayed_; }
  bool LeftSide() const override { return left_side_; }
  bool RightToLeft() const override { return right_to_left_; }
  WindowHandle ParentWindow() const override { return parent_; }
  std::int32_t X() const override { return x_; }
  std::int32_t Y() const override { return y_; }
  std::string TargetAddress() const override { return address_; }
  std::string SheetName() const override { return sheet_name_; }
  std::string WorkbookName() const override { return workbook_name_; }
  std::int32_t Margin() const override { return 8; }

  bool Hovered() const { return hovered_; }
  const ITooltip* Tooltip() const { return tooltip_.get(); }
  bool IconLoaded() const { return icon_loaded_; }
  WindowHandle Handle() const { return form_->Handle(); }

 private:
  void MouseMove() override;
  void Click() override;
  void Timer() override;
  void ColorsChanged() override;
  void Show(const RangePtr& target);
  // Where the tag goes beside the target; empty when it is not on screen. Place also records it.
  struct Placed {
    WindowHandle window = 0;
    TagPlacement place;
    ScreenPoint computed;  // the cell's corner by the position rule, from the window's client corner
    bool right_to_left = false;
  };
  std::optional<Placed> Locate(const RangePtr& target, const GeometrySettings& g);
  std::optional<Placed> Place(const RangePtr& target);
  void RefreshAppearance(std::int32_t width, std::int32_t height);
  void RefreshTooltip();
  void Paint(bool active);
  GeometrySettings Geometry() const;
  const cUtilRegMan& Options() const { return *s_.m.RegMan; }

  TagServices s_;
  std::unique_ptr<ITagForm> form_;
  std::unique_ptr<ITooltip> tooltip_;
  bool tip_held_ = false;  // no tip from a click until the mouse leaves the tag
  ITagEvents* sink_ = nullptr;
  ScanWindow scan_;
  ScaleFactors scale_;
  bool icon_loaded_ = false;
  bool displayed_ = false, left_side_ = false, right_to_left_ = false, hovered_ = false, displayed_once_ = false;
  WindowHandle parent_ = 0;
  std::int32_t x_ = 0, y_ = 0;
  ScreenPoint computed_;  // Placed::computed at the last showing or move
  std::string address_, sheet_name_, workbook_name_;
  TagLook look_;
  std::uint32_t active_colour_ = 0, inactive_colour_ = 0;
};

}  // namespace tessaly

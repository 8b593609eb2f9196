// The tag window: placement beside the cell, the record of what it was shown for, hover colour,
// tooltip and click.
#include "tag/frm_tag.h"

#include <algorithm>

#include "host/error_policy.h"
#include "core/show_form.h"
#include "host/rounding.h"
#include "settings/option_ids.h"

namespace tessaly {

std::int32_t TagPixels(std::int32_t twips, double twips_per_pixel) {
  return std::clamp(RoundHalfEven(twips / twips_per_pixel), 4, 256);
}

TagPlacement PlaceTag(const TagPlacementInput& in) {
  const double ppx = in.scale.form_x, ppy = in.scale.form_y, z = in.zoom;
  TagPlacement out;
  out.width = TagPixels(in.size_x, in.scale.twips_per_pixel_x);
  out.height = TagPixels(in.size_y, in.scale.twips_per_pixel_y);
  // The room test and the flip take the stored width as it is; only the window's own size is kept sane.
  const double width = in.size_x / in.scale.twips_per_pixel_x;
  const double cell_pixels = RoundHalfEven(in.cell_width * ppx * z);
  // The whole flip: the cell and a gap either side of it, and the tag itself.
  const double flip = ((in.cell_width * z + 2 * in.interspace_x) * 1440 / 72 + in.size_x) / in.scale.twips_per_pixel_x;
  const double y = RoundHalfEven(in.cell.y + in.interspace_y * ppy);
  double x = 0;
  if (!in.right_to_left) {
    x = RoundHalfEven(in.cell.x + cell_pixels + in.interspace_x * ppx);
    if (x + width > in.client_right) {
      // The tag's right edge goes as far left of the cell as its left edge would have been right of it.
      out.left_side = true;
      x = RoundHalfEven(x - flip);
    }
  } else {
    // The mirror image: the cell's corner is its right edge, the tag's right edge a gap left of the
    // cell's left edge, and past the client's left edge the tag goes as far right of the cell.
    out.left_side = true;
    x = RoundHalfEven(in.cell.x - cell_pixels - in.interspace_x * ppx - width);
    if (x < in.client_left) {
      out.left_side = false;
      x = RoundHalfEven(x + flip);
    }
  }
  out.at = {RoundHalfEven(x), RoundHalfEven(y)};
  return out;
}

TagLook MakeTagLook(std::int32_t width, std::int32_t height, std::uint32_t background, std::uint32_t border) {
  TagLook look;
  look.width = width, look.height = height;
  look.background = background, look.border = border;
  const std::int32_t left = (width - kIconPixels) / 2, top = (height - kIconPixels) / 2;
  look.icon = {left, top, left + kIconPixels, top + kIconPixels};
  return look;
}

frmTag::frmTag(TagServices services, std::unique_ptr<ITagForm> form) : s_(std::move(services)), form_(std::move(form)) {
  form_->SetEventSink(this);
  SkipFailures()([&] { form_->SetAccessibleName(kTagAccessibleName); });
  // As loaded: the icon in the top-left corner.
  look_.icon = {0, 0, kIconPixels, kIconPixels};
}

frmTag::~frmTag() { form_->SetEventSink(nullptr); }

void frmTag::InitThisObject(const std::string& icon_path) {
  displayed_ = false;
  if (!icon_path.empty()) icon_loaded_ = Attempt([&] { return form_->LoadIconFile(icon_path); }).value_or(false);
  scale_ = ScreenScale(s_.screen, s_.m.ExcelMainWindow);
  const cUtilRegMan& o = Options();
  scan_ = {o.Long(opt::GTLCHSTART), o.Long(opt::GTLCHEND), o.Long(opt::GTLCVSTART), o.Long(opt::GTLCVEND),
           std::max<std::int32_t>(1, o.Long(opt::GTLCSTEP))};
}

GeometrySettings frmTag::Geometry() const {
  GeometrySettings g;
  g.excel_version = s_.m.ExcelVersion;
  g.main_window = s_.m.ExcelMainWindow;
  g.scan = scan_;
  g.allow_chart = Options().Bool(opt::AllowPositionByAddingChart);
  // The display that shows the workbook window sets the scale; the one at start-up stands in.
  WindowHandle book = GetActiveWindowHandle(s_.windows, g.main_window);
  g.scale = book ? ScreenScale(s_.screen, book) : scale_;
  return g;
}

bool frmTag::TagDisplay(const RangePtr& target) {
  if (displayed_) return true;
  if (!StopOnFailure([&] { Show(target); }) || !displayed_) {
    // Whichever step failed, the window goes back, hidden, under the main window.
    displayed_ = false;
    HideForm(s_.windows, form_->Handle(), s_.m.ExcelMainWindow);
    return false;
  }
  if (Options().Bool(opt::DisplayCalendarAutomatically)) TriggerClickEvent();
  return true;
}

std::optional<frmTag::Placed> frmTag::Locate(const RangePtr& target, const GeometrySettings& g) {
  std::optional<CellPosition> cell = LocateTarget(*s_.app, s_.windows, g, target);
  if (!cell) return std::nullopt;
  const cUtilRegMan& o = Options();
  TagPlacementInput in{cell->at, target->Width(), cell->zoom, g.scale, double(o.Long(opt::TagInterspaceX)),
                       double(o.Long(opt::TagInterspaceY)), o.Long(opt::TagSizeX), o.Long(opt::TagSizeY),
                       cell->client.right, cell->client.left, cell->right_to_left};
  return Placed{cell->window, PlaceTag(in), {cell->computed.x - cell->client.left, cell->computed.y - cell->client.top},
                cell->right_to_left};
}

std::optional<frmTag::Placed> frmTag::Place(const RangePtr& target) {
  std::optional<Placed> placed = Locate(target, Geometry());
  if (!placed) return std::nullopt;
  const TagPlacement& place = placed->place;
  std::string address = target->Address(true, true, xl::kA1, false);
  SheetPtr sheet = target->Worksheet();
  std::string sheet_name = sheet->Name();
  std::string workbook_name = sheet->Parent()->Name();

  address_ = std::move(address), sheet_name_ = std::move(sheet_name), workbook_name_ = std::move(workbook_name);
  x_ = place.at.x, y_ = place.at.y;
  left_side_ = place.left_side;
  right_to_left_ = placed->right_to_left;
  computed_ = placed->computed;
  return placed;
}

void frmTag::Show(const RangePtr& target) {
  std::optional<Placed> placed = Place(target);
  if (!placed) return;
  parent_ = placed->window;
  displayed_ = true;
  RefreshAppearance(placed->place.width, placed->place.height);
  ShowFormAtScreenPoint(s_.windows, form_->Handle(), parent_, placed->place.at, s_.m.ExcelMainWindow);
}

bool frmTag::TagMove(const RangePtr& target) {
  if (!displayed_) return TagDisplay(target);
  bool moved = false;
  const bool ran = StopOnFailure([&] {
    std::optional<Placed> placed = Place(target);
    if (!placed || placed->window != parent_) return;
    RefreshAppearance(placed->place.width, placed->place.height);
    // Same window, styles and parent: one move, which repaints only what the tag uncovers.
    const ScreenPoint at = s_.windows.ScreenToClient(parent_, placed->place.at);
    s_.windows.MoveWindow(form_->Handle(), {at.x, at.y, at.x + look_.width, at.y + look_.height});
    moved = true;
  });
  if (!ran || !moved) {
    // Off screen, failed, or in another window now: hidden, and shown afresh where it belongs.
    TagHide();
    return ran && TagDisplay(target);
  }
  if (Options().Bool(opt::DisplayCalendarAutomatically)) TriggerClickEvent();
  return true;
}

TagFollowing frmTag::TagFollow(const RangePtr& target) {
  if (!displayed_) return TagFollowing::Hidden;
  GeometrySettings g = Geometry();
  // The chart probe adds a chart to the sheet and deletes it, which repaints the sheet: a probe
  // here would bring the next check, and so on without end. Without it, the rule's own answer is
  // compared with its answer at the showing; where the probe had to put it right, a changed
  // answer cannot be put right again, and the tag goes.
  const bool probed = g.allow_chart && g.excel_version < 12;
  g.allow_chart = false;
  // A cell in a hidden row or column has no pixels left to stand beside.
  const bool hidden = target->Width() <= 0 || target->Height() <= 0;
  const std::optional<Placed> placed = hidden ? std::nullopt : Locate(target, g);
  // The tag is a child of the workbook window and moves with it: only where it stands on screen
  // now counts, not where it was put.
  const ScreenRect now = s_.windows.WindowScreenRect(form_->Handle());
  const bool same_window = placed && placed->window == parent_;
  const bool stays = same_window && (probed ? placed->computed == computed_ : placed->place.at == ScreenPoint{now.left, now.top});
  if (stays) {
    x_ = now.left, y_ = now.top;
    return TagFollowing::Unchanged;
  }
  if (!same_window || probed) {
    TagHide();
    return TagFollowing::Hidden;
  }
  const ScreenPoint at = s_.windows.ScreenToClient(parent_, placed->place.at);
  s_.windows.MoveWindow(form_->Handle(), {at.x, at.y, at.x + look_.width, at.y + look_.height});
  x_ = placed->place.at.x, y_ = placed->place.at.y;
  left_side_ = placed->place.left_side;
  right_to_left_ = placed->right_to_left;
  computed_ = placed->computed;
  return TagFollowing::Moved;
}

void frmTag::ReadPlaceOnScreen() {
  if (!displayed_) return;
  const ScreenRect now = s_.windows.WindowScreenRect(form_->Handle());
  x_ = now.left, y_ = now.top;
}

void frmTag::RefreshAppearance(std::int32_t width, std::int32_t height) {
  const cUtilRegMan& o = Options();
  const TagColours c = TagColoursFor(form_->HighContrast(), o);
  active_colour_ = c.active;
  inactive_colour_ = c.inactive;
  const TagLook look = MakeTagLook(width, height, inactive_colour_, c.border);
  // Repainted only when something shows differently.
  if (!(look == look_) || !displayed_once_) form_->SetLook(look);
  look_ = look;
  displayed_once_ = true;
  RefreshTooltip();
}

void frmTag::RefreshTooltip() {
  const cUtilRegMan& o = Options();
  if (!o.Bool(opt::DisplayTooltip)) {
    tooltip_.reset();
    return;
  }
  if (tooltip_ || tip_held_) return;  // a live tooltip keeps its settings until it is made again
  TooltipSettings t;
  t.owner = s_.m.ExcelMainWindow;
  t.tool = form_->Handle();
  t.text = kTagTooltipText;
  t.autopop_ms = TooltipMilliseconds(o.Long(opt::TooltipVisibleTime));
  t.initial_ms = TooltipMilliseconds(o.Long(opt::TooltipDelayTime));
  tooltip_ = form_->CreateTooltip(t);
}

TagColours TagColoursFor(bool high_contrast, const cUtilRegMan& o) {
  // The system's pairs in high contrast: button face framed in button text, highlight under the mouse.
  if (high_contrast) return {0x8000000Du, 0x8000000Fu, 0x80000012u};
  return {std::uint32_t(o.Long(opt::TagActiveColor)), std::uint32_t(o.Long(opt::TagInactiveColor)),
          std::uint32_t(o.Long(opt::TagBorderColor))};
}

void frmTag::ColorsChanged() {
  SkipFailures()([&] {
    if (displayed_) RefreshAppearance(look_.width, look_.height);
  });
}

void frmTag::Paint(bool active) {
  look_.background = active ? active_colour_ : inactive_colour_;
  form_->SetLook(look_);
}

void frmTag::TagHide() {
  tip_held_ = false;  // the mouse is no longer over a hidden tag
  if (!displayed_) return;
  displayed_ = false;
  HideForm(s_.windows, form_->Handle(), s_.m.ExcelMainWindow);
}

void frmTag::TriggerClickEvent() {
  if (sink_) sink_->TagClick();
}

void frmTag::Unload() {
  SkipFailures step;
  step([&] { TagHide(); });
  step([&] { form_->StopTimer(); });
  hovered_ = false;
  tooltip_.reset();
}

void frmTag::Click() {
  // The tip would stand over the calendar's title and arrows that the click opens. Taking it away
  // is not enough: a tip still waiting out its delay would show after the click, so it goes with
  // its control and comes back once the mouse has left the tag.
  tooltip_.reset();
  tip_held_ = true;
  TriggerClickEvent();
}

void frmTag::MouseMove() {
  if (hovered_) return;
  StopOnFailure([&] {
    form_->StartTimer(kHoverPeriodMs);
    hovered_ = true;
    Paint(true);
  });
}

void frmTag::Timer() {
  StopOnFailure([&] {
    if (s_.windows.WindowFromPoint(s_.windows.CursorPos()) == form_->Handle()) return;
    form_->StopTimer();
    hovered_ = false;
    Paint(false);
    if (tip_held_) {
      tip_held_ = false;
      RefreshTooltip();
    }
  });
}

}  // namespace tessaly

// The calendar control: properties, day collections, selection, mouse, keys and border styles.
#include "calendar/dual_months.h"

#include <vector>

#include "calendar/day_keys.h"
#include "date/serial_date.h"
#include "host/error_policy.h"

namespace tessaly::calendar {

namespace {

constexpr OleColor kButtonFace = 0x8000000F;

double month_step(double date, int months) { return serial::add_months(date, months).value_or(date); }

}  // namespace

clsDualMonths::clsDualMonths(IGraphics& graphics, const IClock& clock, const LocaleData& locale)
    : graphics_(&graphics),
      clock_(&clock),
      locale_(&locale),
      draw_(graphics),
      vars_(clock),
      day_cells_(locale),
      selected_(locale),
      custom_date_(today(clock)) {
  draw_.CreateSurface(1, 1);
  draw_.SetFont("Tahoma", 8, true);
  RefreshCollection();
}

clsDualMonths::~clsDualMonths() {
  if (canvas_) canvas_->set_listener(nullptr);
}

// ---- properties that act ----

void clsDualMonths::set_BorderStyle(std::int32_t style) {
  border_style_ = style;
  ApplyBorderStyle();
}

void clsDualMonths::set_CalendarCustomDate(double date) {
  custom_date_ = is_valid_date(date) ? date : today(*clock_);
  RefreshCollection();
}

void clsDualMonths::set_DualMonths(bool on) {
  dual_months_ = on;
  RefreshCollection();
}

void clsDualMonths::set_SelectedDays(const clsDateItems& days) {
  if (&days == &selected_) return;
  selected_.Clear();
  for (const clsDateItem& d : days) selected_.Add(d.DateTime());
}

void clsDualMonths::ApplyBorderStyle() {
  if (canvas_ == nullptr) return;
  if (border_style_ == 0 || border_style_ == 1) canvas_->set_appearance(Appearance::Flat);
  if (border_style_ == 3) canvas_->set_appearance(Appearance::ThreeD);
  WindowStyles s = canvas_->window_styles();
  s.style &= ~(ws::kBorder | ws::kThickFrame);
  s.ex_style &= ~(ws::kExStaticEdge | ws::kExClientEdge | ws::kExWindowEdge);
  switch (border_style_) {
    case 1:
      s.ex_style |= ws::kExWindowEdge;
      s.style |= ws::kBorder | ws::kThickFrame;
      break;
    case 2: s.ex_style |= ws::kExStaticEdge; break;
    case 3: s.ex_style |= ws::kExClientEdge; break;
    default: break;
  }
  canvas_->set_window_styles(s);
}

// ---- operations ----

void clsDualMonths::LinkControl(IPictureControl* control) {
  const bool relinked = control != nullptr && control == canvas_;
  if (canvas_) canvas_->set_listener(nullptr);
  canvas_ = control;
  if (canvas_ == nullptr) return;
  canvas_->set_no_border();
  canvas_->set_auto_redraw(false);
  canvas_->set_back_color(static_cast<Rgb>(translate_ole_color(kButtonFace, *graphics_)));
  width_ = canvas_->scale_width();
  height_ = canvas_->scale_height();
  canvas_->set_listener(this);
  // Linked again to the same control at the same size, the surface and its font are kept.
  if (relinked && draw_.Width() == width_ && draw_.Height() == height_) return;
  draw_.CreateSurface(width_, height_);
  band_on_screen_ = false;
}

void clsDualMonths::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  draw_.Resize(width, height);
  RebuildImage();
}

void clsDualMonths::BlitImage() {
  if (canvas_ == nullptr) return;
  draw_.BlitImage(canvas_->device(), 0, 0, draw_.Width(), draw_.Height());
  band_on_screen_ = false;
}

double clsDualMonths::MonthAnchor(int month) const { return month_step(custom_date_, month); }

std::optional<int> clsDualMonths::WeekNumberOf(double date) const {
  if (!show_week_numbers_) return std::nullopt;
  const int first = first_day_of_week_ >= 1 && first_day_of_week_ <= 7 ? first_day_of_week_ : 1;
  const double day = serial::day_part(date);
  const double row_start = day - (serial::weekday(day) - first + 7) % 7;
  return RowWeekNumber(row_start, week_number_system_, first);
}

void clsDualMonths::RefreshCollection() {
  vars_ = clsDateVars(*clock_);
  day_cells_.Clear();
  const int months = dual_months_ ? 2 : 1;
  for (int m = 0; m < months; ++m) {
    double anchor = MonthAnchor(m);
    vars_.SetMonth(anchor, first_day_of_week_);
    const double first = vars_.FirstDayOfMonth();
    const double n = vars_.LastDayOfMonth() - first + 1;
    // At the end of the date range the second month cannot follow the first; its days are
    // already there and are not added twice.
    for (int i = 0; i < n; ++i)
      if (!day_cells_.Exists(FormatKey(first + i))) day_cells_.Add(first + i);
  }
}

void clsDualMonths::RaiseDateClicked() {
  if (DateClicked) DateClicked(focus_date_);
}

void clsDualMonths::SelectDay(double date) {
  if (selected_.Exists(FormatKey(date))) return;
  selected_.Add(date);
  RaiseDateClicked();
}

void clsDualMonths::UnSelectDay(double date) {
  const std::string key = FormatKey(date);
  if (!selected_.Exists(key)) return;
  selected_.Remove(key);
  RaiseDateClicked();
}

// ---- mouse ----

bool clsDualMonths::ArrowClick(bool previous) {
  int& state = previous ? prev_arrow_state_ : next_arrow_state_;
  const Rect& r = previous ? layout_.PrevArrowRect : layout_.NextArrowRect;
  if (!r.contains(pressed_x_, pressed_y_) || state == 2) return false;
  state = 2;
  prev_arrow_focus_ = previous;
  next_arrow_focus_ = !previous;
  StepMonth(previous);
  return true;
}

void clsDualMonths::StepMonth(bool previous) {
  custom_date_ = month_step(custom_date_, previous ? -1 : 1);
  // The focus day goes along, so the keys go on in the month now shown.
  if (has_focus_date_) focus_date_ = month_step(focus_date_, previous ? -1 : 1);
  RefreshCollection();
  RebuildImage();
  if (DateChanged) DateChanged();
}

void clsDualMonths::SelectDayCell(const clsDateItem& hit) {
  const double day = hit.DateTime();
  const bool shift = canvas_ && canvas_->is_key_down(vk::kShift);
  const bool ctrl = canvas_ && canvas_->is_key_down(vk::kControl);
  if (!multi_select_ || (!shift && !ctrl)) {
    selected_.Clear();
    SelectDay(day);
  } else if (ctrl && !shift) {
    if (selected_.Exists(FormatKey(day)))
      UnSelectDay(day);
    else
      SelectDay(day);
  } else if (shift && !ctrl) {
    if (selected_.count() == 0 || !has_focus_date_) {
      selected_.Clear();
      SelectDay(day);
    } else {
      selected_.Clear();
      const double step = day >= focus_date_ ? 1 : -1;
      for (double d = focus_date_;; d += step) {
        SelectDay(d);
        if (d == day) break;
      }
    }
  }
  // Shift and Ctrl together leave the selection as it is.
  focus_date_ = day;
  has_focus_date_ = true;
  RebuildImage();
}

void clsDualMonths::MouseDown(int button, int x, int y) {
  pressed_x_ = x;
  pressed_y_ = y;
  left_down_ = button == mouse::kLeft;
  if (!left_down_) return;
  if (ArrowClick(true) || ArrowClick(false)) return;
  for (const clsDateItem& d : day_cells_) {
    if (d.HitTest(x, y)) {
      if (Allows(d.DateTime())) SelectDayCell(d);
      return;
    }
  }
}

void clsDualMonths::MouseMove(int x, int y) {
  const bool in_prev = layout_.PrevArrowRect.contains(x, y);
  const bool in_next = layout_.NextArrowRect.contains(x, y);
  if (in_prev && prev_arrow_state_ != 1) {
    prev_arrow_state_ = 1;
    RebuildImage();
  } else if (in_next && next_arrow_state_ != 1) {
    next_arrow_state_ = 1;
    RebuildImage();
  } else if (!in_prev && prev_arrow_state_ != 0) {
    prev_arrow_state_ = 0;
    RebuildImage();
  } else if (!in_next && next_arrow_state_ != 0) {
    next_arrow_state_ = 0;
    RebuildImage();
  }
  if (!left_down_ || !multi_select_ || canvas_ == nullptr) return;
  // XOR frame: drawing the previous one again erases it, unless a redraw has wiped it already.
  IDevice& screen = canvas_->device();
  if (band_on_screen_) screen.draw_focus_rect(drag_rect_);
  drag_frame_.SetFrameRect(pressed_x_, pressed_y_, x, y);
  drag_frame_.GetFrameRect(drag_rect_.left, drag_rect_.top, drag_rect_.right, drag_rect_.bottom);
  screen.draw_focus_rect(drag_rect_);
  band_on_screen_ = true;
}

void clsDualMonths::MouseUp(int button) {
  if (button != mouse::kLeft) return;
  if (multi_select_ && !drag_rect_.empty()) {
    std::vector<double> hits;
    for (const clsDateItem& d : day_cells_)
      if (Allows(d.DateTime()) && overlaps(drag_rect_, Rect{d.Left(), d.TOp(), d.Right(), d.Bottom()}))
        hits.push_back(d.DateTime());
    for (double d : hits) SelectDay(d);
    RebuildImage();
  }
  drag_rect_ = Rect{-1, -1, -1, -1};
  drag_frame_.Clear();
  left_down_ = false;
}

// ---- keys ----

void clsDualMonths::set_FocusDate(double date) {
  focus_date_ = serial::day_part(date);
  has_focus_date_ = true;
}

void clsDualMonths::PressKey(int key_code, bool shift) {
  StopOnFailure([&] { KeyDown(key_code, shift); });
}

// Moving only moves the focus day; the month follows it into view. Nothing is picked until Enter.
void clsDualMonths::MoveFocus(double day) {
  focus_date_ = day;
  has_focus_date_ = true;
  const double first = day_cells_.Item(1).DateTime();
  const double last = day_cells_.Item(day_cells_.count()).DateTime();
  const double anchor = AnchorShowing(day, custom_date_, first, last, dual_months_ ? 2 : 1);
  const bool month_changed = anchor != custom_date_;
  if (month_changed) {
    custom_date_ = anchor;
    RefreshCollection();
  }
  RebuildImage();
  if (month_changed && DateChanged) DateChanged();
}

void clsDualMonths::KeyDown(int key_code, bool shift) {
  if (day_cells_.count() == 0) return;
  const double first = day_cells_.Item(1).DateTime();
  const double last = day_cells_.Item(day_cells_.count()).DateTime();
  // Until a day is focused, the keys start from the selection, or from the month's anchor.
  if (!has_focus_date_) focus_date_ = serial::day_part(selected_.count() ? selected_.Item(1).DateTime() : custom_date_);
  const DayKeyResult r = DayGridKey(key_code, shift, focus_date_, first, last);
  switch (r.action) {
    case DayKeyAction::Move: return MoveFocus(r.focus);
    case DayKeyAction::Pick:
      if (!Allows(r.focus)) return;
      // As a click on the day: the selection becomes the day, which tells the owner.
      has_focus_date_ = true;
      selected_.Clear();
      SelectDay(r.focus);
      RebuildImage();
      return;
    case DayKeyAction::None: return;
  }
}

// ---- events of the linked control ----

void clsDualMonths::on_mouse_down(int button, int, int x, int y) {
  StopOnFailure([&] { MouseDown(button, x, y); });
}

void clsDualMonths::on_mouse_move(int, int, int x, int y) {
  StopOnFailure([&] { MouseMove(x, y); });
}

void clsDualMonths::on_mouse_up(int button, int, int, int) {
  StopOnFailure([&] { MouseUp(button); });
}

void clsDualMonths::on_key_down(int key_code, int shift_state) {
  PressKey(key_code, (shift_state & shift::kShift) != 0);
}

void clsDualMonths::on_got_focus() {
  StopOnFailure([&] {
    focus_visible_ = true;
    RebuildImage();
  });
}

void clsDualMonths::on_lost_focus() {
  StopOnFailure([&] {
    focus_visible_ = false;
    prev_arrow_focus_ = next_arrow_focus_ = false;
    prev_arrow_state_ = next_arrow_state_ = 0;
    RebuildImage();
  });
}

void clsDualMonths::on_mouse_leave() {
  StopOnFailure([&] {
    // A hot arrow cools when the pointer leaves; a pressed one stays pressed.
    bool changed = false;
    for (int* state : {&prev_arrow_state_, &next_arrow_state_}) {
      if (*state != 1) continue;
      *state = 0;
      changed = true;
    }
    if (changed) RebuildImage();
  });
}

bool clsDualMonths::paints_whole_client() const {
  return canvas_ && draw_.Width() >= canvas_->scale_width() && draw_.Height() >= canvas_->scale_height();
}

void clsDualMonths::on_paint() {
  StopOnFailure([&] { BlitImage(); });
}

void clsDualMonths::on_resize() {
  StopOnFailure([&] {
    if (canvas_) Resize(canvas_->scale_width(), canvas_->scale_height());
  });
}

}  // namespace tessaly::calendar

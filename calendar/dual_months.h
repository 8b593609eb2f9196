// The owner-drawn calendar of one or two months: displayed months, selected days and a focus day,
// driven by the mouse and the keyboard on a lent picture control, drawn off screen.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calendar/contrast.h"
#include "calendar/memory_draw.h"
#include "calendar/month_model.h"
#include "calendar/rebuild_image.h"
#include "date/date_limits.h"
#include "host/clock.h"
#include "host/locale.h"
#include "host/picture_control.h"

namespace tessaly::calendar {

class clsDualMonths : public IPictureListener {
 public:
  clsDualMonths(IGraphics& graphics, const IClock& clock, const LocaleData& locale = LocaleData::us_english());
  ~clsDualMonths() override;
  clsDualMonths(const clsDualMonths&) = delete;
  clsDualMonths& operator=(const clsDualMonths&) = delete;

  // ---- properties ----
  OleColor Backcolor() const { return backcolor_; }
  void set_Backcolor(OleColor c) { backcolor_ = c; }
  std::int32_t BorderStyle() const { return border_style_; }
  void set_BorderStyle(std::int32_t style);
  double CalendarCustomDate() const { return custom_date_; }
  void set_CalendarCustomDate(double date);
  OleColor CurrentPeriodBackColor() const { return current_back_; }
  void set_CurrentPeriodBackColor(OleColor c) { current_back_ = c; }
  OleColor CurrentPeriodForeColor() const { return current_fore_; }
  void set_CurrentPeriodForeColor(OleColor c) { current_fore_ = c; }
  OleColor DateSelectedBackColor() const { return selected_back_; }
  void set_DateSelectedBackColor(OleColor c) { selected_back_ = c; }
  OleColor DateSelectedForeColor() const { return selected_fore_; }
  void set_DateSelectedForeColor(OleColor c) { selected_fore_ = c; }
  std::int16_t DayHeadAlignment() const { return day_head_alignment_; }
  void set_DayHeadAlignment(std::int16_t a) { day_head_alignment_ = a; }
  OleColor DayHeaderBackColor() const { return header_back_; }
  void set_DayHeaderBackColor(OleColor c) { header_back_ = c; }
  OleColor DayHeaderForeColor() const { return header_fore_; }
  void set_DayHeaderForeColor(OleColor c) { header_fore_ = c; }
  std::int32_t DayHeaderFormat() const { return day_header_format_; }
  void set_DayHeaderFormat(std::int32_t f) { day_header_format_ = f; }
  std::int16_t DayNumberAlignment() const { return day_number_alignment_; }
  void set_DayNumberAlignment(std::int16_t a) { day_number_alignment_ = a; }
  bool DualMonths() const { return dual_months_; }
  void set_DualMonths(bool on);
  std::int16_t DualMonthsSpace() const { return dual_months_space_; }
  void set_DualMonthsSpace(std::int16_t space) { dual_months_space_ = space; }
  std::int32_t FirstDayOfWeek() const { return first_day_of_week_; }
  void set_FirstDayOfWeek(std::int32_t d) { first_day_of_week_ = d; }
  OleColor FlatLineColor() const { return flat_line_color_; }
  void set_FlatLineColor(OleColor c) { flat_line_color_ = c; }
  OleColor Forecolor() const { return forecolor_; }
  void set_Forecolor(OleColor c) { forecolor_ = c; }
  std::int32_t LineStyle() const { return line_style_; }
  void set_LineStyle(std::int32_t s) { line_style_ = s; }
  bool MultiSelect() const { return multi_select_; }
  void set_MultiSelect(bool on) { multi_select_ = on; }
  OleColor PostPeriodBackColor() const { return post_back_; }
  void set_PostPeriodBackColor(OleColor c) { post_back_ = c; }
  OleColor PostPeriodForeColor() const { return post_fore_; }
  void set_PostPeriodForeColor(OleColor c) { post_fore_ = c; }
  OleColor PrePeriodBackColor() const { return pre_back_; }
  void set_PrePeriodBackColor(OleColor c) { pre_back_ = c; }
  OleColor PrePeriodForeColor() const { return pre_fore_; }
  void set_PrePeriodForeColor(OleColor c) { pre_fore_ = c; }
  // The live collection; setting replaces its contents by the given days.
  clsDateItems& SelectedDays() { return selected_; }
  const clsDateItems& SelectedDays() const { return selected_; }
  void set_SelectedDays(const clsDateItems& days);
  bool ShowDayHeader() const { return show_day_header_; }
  void set_ShowDayHeader(bool on) { show_day_header_ = on; }
  bool ShowPostPeriod() const { return show_post_period_; }
  void set_ShowPostPeriod(bool on) { show_post_period_ = on; }
  bool ShowPrePeriod() const { return show_pre_period_; }
  void set_ShowPrePeriod(bool on) { show_pre_period_ = on; }
  // The system's high-contrast mode: drawn in system colours, the colour properties kept as set.
  bool HighContrast() const { return high_contrast_; }
  void set_HighContrast(bool on) { high_contrast_ = on; }
  // Week numbers in a narrow column left of each month's days.
  bool ShowWeekNumbers() const { return show_week_numbers_; }
  void set_ShowWeekNumbers(bool on) { show_week_numbers_ = on; }
  WeekNumbering WeekNumberSystem() const { return week_number_system_; }
  void set_WeekNumberSystem(WeekNumbering system) { week_number_system_ = system; }
  // Weekend days and holidays marked among the month's days.
  bool MarkWeekends() const { return mark_weekends_; }
  void set_MarkWeekends(bool on) { mark_weekends_ = on; marks_.SetWeekend(mark_weekends_, weekend_days_); }
  WeekendDays Weekend() const { return weekend_days_; }
  void set_Weekend(WeekendDays days) { weekend_days_ = days; marks_.SetWeekend(mark_weekends_, weekend_days_); }
  const std::vector<double>& Holidays() const { return marks_.Holidays(); }
  void set_Holidays(std::vector<double> days) { marks_.SetHolidays(std::move(days)); }
  // A day's marks, and the week number its row shows (none without week numbers).
  DayMarks MarksOf(double date) const { return marks_.Of(date); }
  std::optional<int> WeekNumberOf(double date) const;
  // The days a pick may take, the cell's own rule; none: every day. The others are drawn grey
  // and refused to the mouse, the keys and the accessible Invoke.
  const std::optional<DateLimits>& Limits() const { return limits_; }
  void set_Limits(std::optional<DateLimits> limits) { limits_ = limits; }
  bool Allows(double date) const { return !limits_ || limits_->Allows(date); }
  std::int32_t StampDayHeadSpace() const { return stamp_day_head_space_; }
  void set_StampDayHeadSpace(std::int32_t s) { stamp_day_head_space_ = s; }
  // The resolution of the display it is shown on, for its fonts; 0: the screen's.
  void set_PixelsPerInch(int pixels_per_inch) { draw_.set_PixelsPerInch(pixels_per_inch); }

  // ---- operations ----
  // The control becomes the canvas and this object its listener; nullptr unlinks. The control
  // must stay alive while it is linked.
  void LinkControl(IPictureControl* control);
  void Resize(int width, int height);
  void RebuildImage();
  // While held, a RebuildImage only notes that the image is due; the last release builds it once
  // when it is, so a change of several properties draws one image.
  void HoldImage() { ++image_holds_; }
  void ReleaseImage();
  void BlitImage();
  void RefreshCollection();
  void SelectDay(double date);
  void UnSelectDay(double date);
  std::string FormatKey(double date) const { return selected_.FormatKey(date); }
  // The day the keys start from; the month shown is left as it is.
  void set_FocusDate(double date);
  // A key of the day grid: moves the focus day (and the month with it) or picks it.
  void PressKey(int key_code, bool shift);
  // What the month arrows do: the month before or after is shown, the focus day going along.
  void StepMonth(bool previous);

  // ---- events ----
  // DateClicked: the selection changed; the argument is the focus day when it is raised.
  std::function<void(double)> DateClicked;
  // DateChanged: an arrow or a key moved the displayed month.
  std::function<void()> DateChanged;
  // Drawn: the image now shows the calendar as it stands (its month, focus day, selection and
  // keyboard focus), whatever changed them.
  std::function<void()> Drawn;

  // ---- state the owner and tests may read ----
  const clsDateItems& DayCells() const { return day_cells_; }
  double FocusDate() const { return focus_date_; }
  bool HasFocusDate() const { return has_focus_date_; }
  // The linked control has the keyboard focus, so the focus day is drawn.
  bool FocusVisible() const { return focus_visible_; }
  int PrevArrowState() const { return prev_arrow_state_; }
  int NextArrowState() const { return next_arrow_state_; }
  bool PrevArrowFocus() const { return prev_arrow_focus_; }
  bool NextArrowFocus() const { return next_arrow_focus_; }
  const CalendarLayout& Layout() const { return layout_; }
  Rect PrevArrowRect() const { return layout_.PrevArrowRect; }
  Rect NextArrowRect() const { return layout_.NextArrowRect; }
  Rect TitleRect() const { return layout_.TitleRects[0]; }
  int CellWidth() const { return layout_.CellWidth; }
  int CellHeight() const { return layout_.CellHeight; }
  int ArrowWidth() const { return layout_.ArrowWidth; }
  int ArrowHeight() const { return layout_.ArrowHeight; }
  Rect DragRect() const { return drag_rect_; }
  clsMemoryDraw& Surface() { return draw_; }

  // ---- events of the linked control; no failure inside them reaches the control ----
  void on_mouse_down(int button, int shift, int x, int y) override;
  void on_mouse_move(int button, int shift, int x, int y) override;
  void on_mouse_up(int button, int shift, int x, int y) override;
  void on_key_down(int key_code, int shift) override;
  void on_lost_focus() override;
  void on_got_focus() override;
  void on_mouse_leave() override;
  bool paints_whole_client() const override;
  void on_paint() override;
  void on_resize() override;

 private:
  void MouseDown(int button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int button);
  void KeyDown(int key_code, bool shift);
  void MoveFocus(double day);
  bool ArrowClick(bool previous);
  void SelectDayCell(const clsDateItem& day);
  void RaiseDateClicked();
  void ApplyBorderStyle();

  // Drawing, in rebuild_image.cpp.
  LayoutInput MeasureLayout();
  void PlaceDayCells();
  void PaintArrows();
  void PaintTitles();
  void PaintHeader();
  void PaintWeekNumbers();
  void DrawMarks(const Rect& r, const DayCellLook& look);
  void PaintDays();
  void UseFont(bool bold);
  OleColor Shown(OleColor option, OleColor system) const;
  void FrameCell(const Rect& r, OleColor colour, int width);
  void FrameFocusDay(const Rect& r, const DayCellLook& look);
  double MonthAnchor(int month) const;

  IGraphics* graphics_;
  const IClock* clock_;
  const LocaleData* locale_;
  IPictureControl* canvas_ = nullptr;
  clsMemoryDraw draw_;
  clsDateVars vars_;
  clsDateItems day_cells_;
  clsDateItems selected_;
  int width_ = 1, height_ = 1;
  CalendarLayout layout_;
  int image_holds_ = 0;
  bool image_due_ = false;

  OleColor backcolor_ = 0x8000000F;
  std::int32_t border_style_ = 1;
  double custom_date_ = 0;
  OleColor current_back_ = 0x8000000F;
  OleColor current_fore_ = 0x00800000;
  OleColor selected_back_ = 0x8000000D;
  OleColor selected_fore_ = 0x000000FF;
  std::int16_t day_head_alignment_ = 0;
  OleColor header_back_ = 0x0080FFFF;
  OleColor header_fore_ = 0x00800000;
  std::int32_t day_header_format_ = 2;
  std::int16_t day_number_alignment_ = 0;
  bool dual_months_ = false;
  std::int16_t dual_months_space_ = 8;
  std::int32_t first_day_of_week_ = 1;
  OleColor flat_line_color_ = 0x80000015;
  OleColor forecolor_ = 0x80000012;
  std::int32_t line_style_ = 3;
  bool multi_select_ = false;
  OleColor post_back_ = 0x0080FFFF, pre_back_ = 0x0080FFFF;
  OleColor post_fore_ = 0x00808080, pre_fore_ = 0x00808080;
  bool show_day_header_ = true;
  bool high_contrast_ = false;
  bool show_post_period_ = true, show_pre_period_ = true;
  std::int32_t stamp_day_head_space_ = 10;
  bool show_week_numbers_ = false;
  WeekNumbering week_number_system_ = WeekNumbering::Iso8601;
  bool mark_weekends_ = false;
  WeekendDays weekend_days_ = kSaturdaySunday;
  clsDayMarks marks_;
  std::optional<DateLimits> limits_;

  double focus_date_ = 0;
  bool has_focus_date_ = false;
  bool focus_visible_ = false;
  int prev_arrow_state_ = 0, next_arrow_state_ = 0;
  bool prev_arrow_focus_ = false, next_arrow_focus_ = false;
  int pressed_x_ = 0, pressed_y_ = 0;
  bool left_down_ = false;
  Rect drag_rect_{-1, -1, -1, -1};
  bool band_on_screen_ = false;  // the rubber band is drawn on the control and not yet wiped
  clsFrame drag_frame_;
};

}  // namespace tessaly::calendar

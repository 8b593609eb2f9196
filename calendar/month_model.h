// The data behind the calendar control: one month's grid, day items with their cell rectangles,
// a keyed collection of days, and the normalised rubber-band frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "date/week_number.h"
#include "date/weekend.h"
#include "host/clock.h"
#include "host/locale.h"

namespace tessaly::calendar {

// Today as the calendar counts it: the whole day of the clock's local time.
double today(const IClock& clock);
// True for a finite serial date inside the host's date range.
bool is_valid_date(double serial);

// Where the six-week grid of one month starts and ends.
class clsDateVars {
 public:
  explicit clsDateVars(const IClock& clock) : clock_(&clock) {}

  // `date` is replaced by today when it is not a valid date. first_day_of_week: 1 = Sunday .. 7.
  void SetMonth(double& date, int first_day_of_week);

  double FirstDayOfMonth() const { return first_day_; }
  double LastDayOfMonth() const { return last_day_; }
  double GridStartDate() const { return grid_start_date_; }
  std::int16_t GridStartDay() const { return grid_start_day_; }
  std::int16_t PrevMonthLastDay() const { return prev_month_last_day_; }

 private:
  const IClock* clock_;
  double first_day_ = 0, last_day_ = 0, grid_start_date_ = 0;
  std::int16_t grid_start_day_ = 0, prev_month_last_day_ = -1;
};

// One day and the rectangle of its cell on the calendar surface.
class clsDateItem {
 public:
  explicit clsDateItem(double date = 0) : date_(date) {}

  double DateTime() const { return date_; }
  void set_DateTime(double date) { date_ = date; }

  std::int32_t Left() const { return left_; }
  std::int32_t TOp() const { return top_; }
  std::int32_t Right() const { return right_; }
  std::int32_t Bottom() const { return bottom_; }
  void set_Left(std::int32_t v) { left_ = v; }
  void set_TOp(std::int32_t v) { top_ = v; }
  void set_Right(std::int32_t v) { right_ = v; }
  void set_Bottom(std::int32_t v) { bottom_ = v; }

  // A day not yet placed on the surface has an empty cell.
  bool Placed() const { return right_ > left_ && bottom_ > top_; }
  // All four edges inclusive; a day not placed is never hit.
  bool HitTest(std::int32_t x, std::int32_t y) const {
    return Placed() && left_ <= x && x <= right_ && top_ <= y && y <= bottom_;
  }

 private:
  double date_;
  std::int32_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

// Days in insertion order, 1-based, each under the key "DD Mmm YYYY" of its date.
class clsDateItems {
 public:
  explicit clsDateItems(const LocaleData& locale = LocaleData::us_english()) : locale_(&locale) {}

  // Throws std::invalid_argument when the date's key is already present.
  clsDateItem& Add(double date);
  void Clear();
  std::size_t count() const { return items_.size(); }
  bool Exists(const std::string& key) const { return index_.count(key) != 0; }
  bool Exists(std::size_t index) const { return index >= 1 && index <= items_.size(); }
  std::string FormatKey(double date) const;
  // Throw std::out_of_range for a missing index or key.
  clsDateItem& Item(std::size_t index);
  const clsDateItem& Item(std::size_t index) const;
  clsDateItem& Item(const std::string& key);
  void Remove(std::size_t index);
  void Remove(const std::string& key);

  // NewEnum: the items in order.
  class iterator {
   public:
    using Inner = std::vector<std::unique_ptr<clsDateItem>>::const_iterator;
    explicit iterator(Inner it) : it_(it) {}
    clsDateItem& operator*() const { return **it_; }
    iterator& operator++() { ++it_; return *this; }
    bool operator!=(const iterator& o) const { return it_ != o.it_; }

   private:
    Inner it_;
  };
  iterator begin() const { return iterator(items_.begin()); }
  iterator end() const { return iterator(items_.end()); }

 private:
  void reindex();

  const LocaleData* locale_;
  std::vector<std::unique_ptr<clsDateItem>> items_;
  std::vector<std::string> keys_;
  std::unordered_map<std::string, std::size_t> index_;  // key -> 0-based position
};

// Free form of the day key, shared by the collection and the control.
std::string format_day_key(double date, const LocaleData& locale);

// What sets a day apart besides its period: a weekend day, a holiday of the workbook.
struct DayMarks {
  bool weekend = false, holiday = false;
  friend bool operator==(const DayMarks&, const DayMarks&) = default;
};

// The marks the calendar shows: weekends when asked for, and the given holidays.
class clsDayMarks {
 public:
  // Weekend days are marked only while `on`.
  void SetWeekend(bool on, WeekendDays days) { weekend_ = on ? days : WeekendDays{0}; }
  // The holidays' times of day are ignored; order and repeats do not matter.
  void SetHolidays(std::vector<double> days);
  const std::vector<double>& Holidays() const { return holidays_; }
  DayMarks Of(double date) const;

 private:
  WeekendDays weekend_ = 0;
  std::vector<double> holidays_;  // whole days, sorted, each once
};

// The week number a grid row shows, the row beginning on `row_start`: in ISO 8601 the week of
// the row's Thursday, which holds most of the row whatever its first day; counted from 1 January
// the week of its last day, so the row that holds 1 January is week 1.
int RowWeekNumber(double row_start, WeekNumbering system, int first_day_of_week);

// A rectangle kept normalised: left <= right and top <= bottom after every SetFrameRect.
class clsFrame {
 public:
  void Clear() { empty_ = true; left_ = top_ = right_ = bottom_ = 0; }
  void SetFrameRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  // Leaves the arguments untouched while the frame is empty.
  void GetFrameRect(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom) const;

 private:
  bool empty_ = true;
  std::int32_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

}  // namespace tessaly::calendar

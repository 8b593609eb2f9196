// The month grid, day items and collections of the calendar control.
#include "calendar/month_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "date/serial_date.h"

namespace tessaly::calendar {

double today(const IClock& clock) { return serial::day_part(clock.now()); }

bool is_valid_date(double serial) { return std::isfinite(serial) && serial::in_range(serial); }

namespace {

int day_of(double date) { return serial::to_parts(date).day; }

// Day 1 of the month `months` away from that of `date`; the nearest month inside the date range
// when that one lies outside it.
double first_of_month(double date, int months) {
  const DateParts p = serial::to_parts(date);
  if (auto d = serial::from_ymd(p.year, p.month + months, 1)) return *d;
  return months < 0 ? *serial::from_ymd(serial::kMinYear, 1, 1) : *serial::from_ymd(serial::kMaxYear, 12, 1);
}

}  // namespace

void clsDateVars::SetMonth(double& date, int first_day_of_week) {
  if (!is_valid_date(date)) date = today(*clock_);
  if (first_day_of_week < 1 || first_day_of_week > 7) first_day_of_week = 1;
  first_day_ = first_of_month(date, 0);
  const DateParts p = serial::to_parts(first_day_);
  last_day_ = first_day_ + serial::days_in_month(p.year, p.month) - 1;
  const int w = (serial::weekday(first_day_) - first_day_of_week + 7) % 7 + 1;
  if (w != 1) {
    prev_month_last_day_ = static_cast<std::int16_t>(day_of(first_day_ - 1));
    grid_start_date_ = first_day_ - (w - 1);
    grid_start_day_ = static_cast<std::int16_t>(day_of(grid_start_date_));
  } else {
    grid_start_day_ = 0;
    prev_month_last_day_ = -1;
    grid_start_date_ = first_day_ - 7;
  }
}

std::string format_day_key(double date, const LocaleData& locale) {
  const DateParts p = serial::to_parts(serial::day_part(date));
  char head[8], tail[8];
  std::snprintf(head, sizeof head, "%02d ", p.day % 100);
  std::snprintf(tail, sizeof tail, " %04d", p.year % 10000);
  const int m = (p.month >= 1 && p.month <= 12) ? p.month - 1 : 0;
  return head + locale.month_abbreviations[static_cast<std::size_t>(m)] + tail;
}

std::string clsDateItems::FormatKey(double date) const { return format_day_key(date, *locale_); }

clsDateItem& clsDateItems::Add(double date) {
  std::string key = FormatKey(date);
  if (Exists(key)) throw std::invalid_argument("key already present: " + key);
  index_.emplace(key, items_.size());
  keys_.push_back(std::move(key));
  items_.push_back(std::make_unique<clsDateItem>(date));
  return *items_.back();
}

void clsDateItems::Clear() {
  items_.clear();
  keys_.clear();
  index_.clear();
}

clsDateItem& clsDateItems::Item(std::size_t index) {
  if (!Exists(index)) throw std::out_of_range("no item at index " + std::to_string(index));
  return *items_[index - 1];
}

const clsDateItem& clsDateItems::Item(std::size_t index) const {
  if (!Exists(index)) throw std::out_of_range("no item at index " + std::to_string(index));
  return *items_[index - 1];
}

clsDateItem& clsDateItems::Item(const std::string& key) {
  const auto it = index_.find(key);
  if (it == index_.end()) throw std::out_of_range("no item under key " + key);
  return *items_[it->second];
}

void clsDateItems::Remove(std::size_t index) {
  if (!Exists(index)) throw std::out_of_range("no item at index " + std::to_string(index));
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index - 1));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index - 1));
  reindex();
}

void clsDateItems::Remove(const std::string& key) {
  const auto it = index_.find(key);
  if (it == index_.end()) throw std::out_of_range("no item under key " + key);
  Remove(it->second + 1);
}

void clsDateItems::reindex() {
  index_.clear();
  for (std::size_t i = 0; i < keys_.size(); ++i) index_.emplace(keys_[i], i);
}

void clsDayMarks::SetHolidays(std::vector<double> days) {
  for (double& d : days) d = serial::day_part(d);
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  holidays_ = std::move(days);
}

DayMarks clsDayMarks::Of(double date) const {
  const double day = serial::day_part(date);
  return DayMarks{is_weekend(weekend_, serial::weekday(day)), std::binary_search(holidays_.begin(), holidays_.end(), day)};
}

int RowWeekNumber(double row_start, WeekNumbering system, int first_day_of_week) {
  if (system != WeekNumbering::Iso8601) return serial::week_number(row_start + 6, system, first_day_of_week);
  const int from_monday = (serial::weekday(row_start) + 5) % 7;  // days from Monday to the row's first
  return serial::week_number(row_start + (3 - from_monday + 7) % 7, system, first_day_of_week);
}

void clsFrame::SetFrameRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  empty_ = false;
}

void clsFrame::GetFrameRect(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom) const {
  if (empty_) return;
  left = left_;
  top = top_;
  right = right_;
  bottom = bottom_;
}

}  // namespace tessaly::calendar

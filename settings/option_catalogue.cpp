// The catalogue of options.
#include "settings/option_catalogue.h"

#include <array>

#include "settings/reg_man.h"

namespace tessaly {

namespace {

using namespace opt;
constexpr short L = kTypeLong, I = kTypeInteger, S = kTypeString, B = kTypeBoolean;
constexpr std::int32_t U = kStorePerUser, M = kStorePerMachine;

constexpr std::int32_t color(std::uint32_t bgr) { return static_cast<std::int32_t>(bgr); }

const std::array kCatalogue = {
    OptionSpec{TagActiveColor, "TagActiveColor", L, 0x0000FFFF, "", U},
    OptionSpec{TagInactiveColor, "TagInactiveColor", L, 0x00FFFFFF, "", U},
    OptionSpec{TagBorderColor, "TagBorderColor", L, 0x00FF0000, "", U},
    OptionSpec{UrlHome, "UrlHome", S, 0, "https://brenmoor.example/", M},
    OptionSpec{UrlProduct, "UrlProduct", S, 0, "https://brenmoor.example/tessaly/", M},
    OptionSpec{DisplayTooltip, "DisplayTooltip", B, 1, "", U},
    OptionSpec{TooltipVisibleTime, "TooltipVisibleTime", L, 3000, "", U},
    OptionSpec{TooltipDelayTime, "TooltipDelayTime", L, 500, "", U},
    OptionSpec{CommandButtonTagString, "CommandButtonTagString", S, 0, "Brenmoor Quenby", U},
    OptionSpec{CommandButtonCaption, "CommandButtonCaption", S, 0, "Quenby", U},
    OptionSpec{CommandBarNameToAddButton, "CommandBarNameToAddButton", S, 0, "Standard", U},
    OptionSpec{TagSizeX, "TagSizeX", L, 300, "", U},
    OptionSpec{TagSizeY, "TagSizeY", L, 300, "", U},
    OptionSpec{CalSizeX, "CalSizeX", I, 5175, "", U},
    OptionSpec{CalSizeY, "CalSizeY", I, 2655, "", U},
    // 0x80FF read as a 16-bit integer: no valid colour, so the pop-up keeps its design colour.
    OptionSpec{CalFormBorderColor, "CalFormBorderColor", L, -32513, "", U, RuntimeDefault::None, true},
    OptionSpec{CalLineStyle, "CalLineStyle", I, 2, "", U},
    OptionSpec{CalFirstDayOfWeek, "CalFirstDayOfWeek", I, 1, "", U},
    OptionSpec{CalShowDayHeader, "CalShowDayHeader", B, 1, "", U},
    OptionSpec{CalDayHeaderFormat, "CalDayHeaderFormat", I, 2, "", U},
    OptionSpec{CalBackColor, "CalBackColor", L, 0x00C0FFFF, "", U},
    OptionSpec{CalCurrentPeriodBackColor, "CalCurrentPeriodBackColor", L, 0x00C0FFFF, "", U},
    OptionSpec{CalCurrentPeriodForeColor, "CalCurrentPeriodForeColor", L, 0x00000000, "", U},
    OptionSpec{CalDateSelectedBackColor, "CalDateSelectedBackColor", L, 0x0080C0FF, "", U},
    OptionSpec{CalDateSelectedForeColor, "CalDateSelectedForeColor", L, 0x000000FF, "", U},
    OptionSpec{CalDayHeaderBackColor, "CalDayHeaderBackColor", L, 0x0000FFFF, "", U},
    OptionSpec{CalDayHeaderForeColor, "CalDayHeaderForeColor", L, 0x00C00000, "", U},
    OptionSpec{CalFlatLineColor, "CalFlatLineColor", L, 0x00C0C0C0, "", U},
    OptionSpec{CalForeColor, "CalForeColor", L, 0x00000000, "", U},
    OptionSpec{CalPostPeriodBackColor, "CalPostPeriodBackColor", L, color(0x80000018), "", U},
    OptionSpec{CalPostPeriodForeColor, "CalPostPeriodForeColor", L, 0x00808080, "", U},
    OptionSpec{CalPrePeriodBackColor, "CalPrePeriodBackColor", L, color(0x80000018), "", U},
    OptionSpec{CalPrePeriodForeColor, "CalPrePeriodForeColor", L, 0x00808080, "", U},
    OptionSpec{CalShowPostPeriod, "CalShowPostPeriod", B, 1, "", U},
    OptionSpec{CalShowPrePeriod, "CalShowPrePeriod", B, 1, "", U},
    OptionSpec{DefaultDateFormat, "DefaultDateFormat", S, 0, "", U, RuntimeDefault::ShortDatePattern},
    OptionSpec{SetDateFormatForNonDateCell, "SetDateFormatForNonDateCell", B, 1, "", U},
    OptionSpec{CalendarYearMin, "CalendarYearMin", I, 2000, "", U},
    OptionSpec{CalendarYearMax, "CalendarYearMax", I, 2100, "", U},
    OptionSpec{TagInterspaceX, "TagInterspaceX", I, 10, "", U},
    OptionSpec{TagInterspaceY, "TagInterspaceY", I, 0, "", U},
    OptionSpec{CalendarDisabled, "CalendarDisabled", B, 0, "", U},
    OptionSpec{ActiveForCellFormat, "ActiveForCellFormat", B, 1, "", U},
    OptionSpec{ActiveForGeneralFormatWithDateLikeValue, "ActiveForGeneralFormatWithDateLikeValue", B, 1, "", U},
    OptionSpec{ActiveForCellBelowDate, "ActiveForCellBelowDate", B, 1, "", U},
    OptionSpec{ActiveForDateColumn, "ActiveForDateColumn", B, 1, "", U},
    OptionSpec{ActiveOverwriteFormula, "ActiveOverwriteFormula", B, 0, "", U},
    OptionSpec{ActiveForReadOnlyWorkbook, "ActiveForReadOnlyWorkbook", B, 1, "", U},
    OptionSpec{CustomDateFormatsValid, "CustomDateFormatsValid", S, 0, "", U},
    OptionSpec{CustomDateFormatsInvalid, "CustomDateFormatsInvalid", S, 0, "", U},
    OptionSpec{CustomDateFormatDelimiter, "CustomDateFormatDelimiter", S, 0, "`1`", U},
    OptionSpec{AcceptNewValueInEditingMode, "AcceptNewValueInEditingMode", B, 1, "", U},
    OptionSpec{AllowPositionByAddingChart, "AllowPositionByAddingChart", B, 0, "", U},
    OptionSpec{DateCanContainTime, "DateCanContainTime", B, 0, "", U},
    OptionSpec{GTLCHSTART, "GTLCHSTART", I, 1, "", U},
    OptionSpec{GTLCHEND, "GTLCHEND", I, 150, "", U},
    OptionSpec{GTLCVSTART, "GTLCVSTART", I, 1, "", U},
    OptionSpec{GTLCVEND, "GTLCVEND", I, 150, "", U},
    OptionSpec{GTLCSTEP, "GTLCSTEP", I, 2, "", U},
    OptionSpec{RibbonFile, "RibbonFile", S, 0, "", U, RuntimeDefault::RibbonFileInAddInFolder},
    OptionSpec{DisplayCalendarAutomatically, "DisplayCalendarAutomatically", B, 0, "", U},
    OptionSpec{DefaultDate, "DefaultDate", S, 0, "", U},
    OptionSpec{DefaultDateResotre, "DefaultDateResotre", B, 0, "", U},
    // The calendar's marks, all off until the user turns them on. The weekend is written as
    // WORKDAY.INTL writes it: seven digits from Monday to Sunday, 1 for a weekend day.
    OptionSpec{CalShowWeekNumbers, "CalShowWeekNumbers", B, 0, "", U},
    OptionSpec{CalWeekNumberSystem, "CalWeekNumberSystem", I, 0, "", U},  // 0 ISO 8601, 1 from 1 January
    OptionSpec{CalMarkWeekends, "CalMarkWeekends", B, 0, "", U},
    OptionSpec{CalWeekendDays, "CalWeekendDays", S, 0, "0000011", U},
    OptionSpec{CalMarkHolidays, "CalMarkHolidays", B, 0, "", U},
    OptionSpec{CalHolidaysName, "CalHolidaysName", S, 0, "Holidays", U},
};

}  // namespace

std::span<const OptionSpec> OptionCatalogue() { return kCatalogue; }

Variant DefaultValue(const OptionSpec& spec, const std::string& short_date_pattern, const std::string& addin_folder) {
  switch (spec.runtime) {
    case RuntimeDefault::ShortDatePattern:
      return Variant::text(short_date_pattern);
    case RuntimeDefault::RibbonFileInAddInFolder:
      return Variant::text(addin_folder + "caltab.xml");
    case RuntimeDefault::None:
      break;
  }
  switch (spec.type) {
    case kTypeBoolean:
      return Variant::boolean(spec.number != 0);
    case kTypeInteger:
      return Variant::i2(static_cast<std::int16_t>(spec.number));
    case kTypeLong:
      return spec.i2_default ? Variant::i2(static_cast<std::int16_t>(spec.number)) : Variant::i4(spec.number);
    default:
      return Variant::text(std::string(spec.text));
  }
}

}  // namespace tessaly

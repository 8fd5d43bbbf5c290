#include "qel/date_time.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "qel/os.h"

namespace qel {
namespace {

// Built by the first empty time and never released; reachable through this pointer for
// the life of the process.
year_table* process_years = nullptr;

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr double milliseconds_per_day = 86'400'000.0;

}  // namespace

year_table::year_table(int last_year) {
    const int last = std::clamp(last_year, int{first_year}, int{std::numeric_limits<std::int16_t>::max()});
    SetCount(static_cast<std::size_t>(last - first_year + 1));
    std::int32_t days = 0;
    for (std::size_t i = 0; i < Count(); ++i) {
        const int year = first_year + static_cast<int>(i);
        (*this)[i] = TBTmYr{static_cast<std::int16_t>(year), days};
        days += is_leap(year) ? 366 : 365;
    }
}

const year_table* YearTable() noexcept { return process_years; }

b_time::b_time() {
    RegisterDateTimeErrors();
    if (process_years == nullptr) process_years = new year_table(os::LocalYear());
}

b_time::b_time(std::uint32_t day, std::int8_t hour, std::int8_t minute, std::int8_t second,
               std::int16_t millisecond) {
    RegisterDateTimeErrors();
    value_ = static_cast<double>(day);
    SetTime(hour, minute, second, millisecond);
}

std::uint32_t b_time::SetTime(std::int8_t hour, std::int8_t minute, std::int8_t second,
                              std::int16_t millisecond) {
    // A negative part would move the value back into the day before, or onto the empty
    // value itself, so it is out of range just as an overlarge one.
    if (hour < 0 || hour > 23) return dtrWrongHour;
    if (minute < 0 || minute > 59) return dtrWrongMinute;
    if (second < 0 || second > 59) return dtrWrongSec;
    if (millisecond < 0 || millisecond > 999) return dtrWrongMSec;
    const double day = Succeeded(Check()) ? std::trunc(value_) : 0.0;
    const int ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    value_ = day + ms / milliseconds_per_day;
    return 0;
}

result b_time::Check() const {
    if (value_ != -1.0) return result(code_success, {}, severity_success);
    return result(code_invalid_parameter, {}, severity_error);
}

}  // namespace qel

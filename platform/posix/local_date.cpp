// The local calendar on POSIX.
#include <time.h>

#include <chrono>

#include "qel/os.h"

namespace qel::os {
namespace {

// No time zone is further than this from UTC (POSIX TZ offsets stop below 25 hours).
constexpr std::chrono::hours widest_offset{25};

int utc_year(std::chrono::system_clock::time_point t) {
    // Pure calendar arithmetic: the C library's gmtime_r would read the time zone database too.
    return static_cast<int>(std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(t)}.year());
}

}  // namespace

int LocalYear() {
    const auto now = std::chrono::system_clock::now();
    // Away from New Year every time zone is in the same year as UTC, and the time zone
    // database need not be read (that is most of what asking for the local time costs).
    const int earliest = utc_year(now - widest_offset);
    if (earliest == utc_year(now + widest_offset)) return earliest;
    const time_t seconds = std::chrono::system_clock::to_time_t(now);
    struct tm local {};
    // Without a time zone there is no better answer than the year table's first year.
    if (::localtime_r(&seconds, &local) == nullptr) return 1601;
    return local.tm_year + 1900;
}

}  // namespace qel::os

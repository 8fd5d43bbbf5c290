// The library's date-and-time value and what every time value relies on: the nine date
// and time error codes in the registry and the table of years since 1601. A time value
// counts days from 1 January 1601 (day 0) in its integer part and the time of day as a
// fraction of 86,400,000 milliseconds; -1.0 means it holds no value.
#pragma once

#include <cstdint>
#include <string_view>

#include "qel/array.h"
#include "qel/base.h"
#include "qel/result.h"

namespace qel {

inline constexpr std::uint32_t dtrInvalidDateFormat = 0x20000101;
inline constexpr std::uint32_t dtrInvalidTimeFormat = 0x20000102;
inline constexpr std::uint32_t dtrWrongYear = 0x20000103;
inline constexpr std::uint32_t dtrWrongMonth = 0x20000104;
inline constexpr std::uint32_t dtrWrongDay = 0x20000105;
inline constexpr std::uint32_t dtrWrongHour = 0x20000106;
inline constexpr std::uint32_t dtrWrongMinute = 0x20000107;
inline constexpr std::uint32_t dtrWrongSec = 0x20000108;
inline constexpr std::uint32_t dtrWrongMSec = 0x20000109;

inline constexpr std::u16string_view txtInvldDtFrmt =
    u"Ошибка в формате (не найден символ, разделяющий компоненты даты).";
inline constexpr std::u16string_view txtInvldTmFrmt =
    u"Ошибка в формате (не найден символ, разделяющий компоненты времени).";
inline constexpr std::u16string_view txtWrongYear = u"Ошибка в номере года.";
inline constexpr std::u16string_view txtWrongMonth = u"Ошибка в числе месяцев.";
inline constexpr std::u16string_view txtWrongDay = u"Ошибка в числе дней.";
inline constexpr std::u16string_view txtWrongHour = u"Ошибка в числе часов.";
inline constexpr std::u16string_view txtWrongMinute = u"Ошибка в числе минут.";
inline constexpr std::u16string_view txtWrongSecond = u"Ошибка в числе секунд.";
inline constexpr std::u16string_view txtWrongMSec = u"Ошибка в числе миллисекунд.";

// Registers the nine codes above with their texts, in code order, the first time it is
// called in the process; later calls return at once. A code that the registry refuses is
// a failed check naming the row, and the rows after it are not registered.
void RegisterDateTimeErrors();

// One year of the year table: the year and the days from 1 January 1601 to its 1 January.
struct TBTmYr {
    std::int16_t year = 0;
    std::int32_t days = 0;
};

// Every year from 1601 to a last year, in order.
class year_table : public Array<TBTmYr> {
public:
    static constexpr std::int16_t first_year = 1601;

    // A last year before 1601 gives the one entry for 1601; one beyond the 16-bit range
    // stops at 32767.
    explicit year_table(int last_year);
    std::int16_t FirstYear() const noexcept { return first_year; }
};

// The process's table, 1601 to the local year when it was made; null until the first
// empty time is made. It is never released.
const year_table* YearTable() noexcept;

class time_base : public base {
public:
    double Value() const noexcept { return value_; }
    // Code 0 when the time holds a value; code 87 with severity 3 when it is empty.
    virtual result Check() const = 0;

protected:
    time_base() = default;
    double value_ = -1.0;
};

class b_time : public time_base {
public:
    // An empty time. Registers the date and time errors and builds the year table, each
    // once per process.
    b_time();
    // Day `day` at the given time of day; parts out of range leave the time at the start
    // of that day. Registers the date and time errors once per process.
    b_time(std::uint32_t day, std::int8_t hour, std::int8_t minute, std::int8_t second,
           std::int16_t millisecond);

    // Sets the time of day, keeping the day (day 0 for an empty time). Returns 0, or the
    // code of the first part out of range (hour, minute, second, millisecond, in that
    // order; negative counts as out of range), leaving the value unchanged.
    std::uint32_t SetTime(std::int8_t hour, std::int8_t minute, std::int8_t second,
                          std::int16_t millisecond);

    result Check() const override;
};

}  // namespace qel

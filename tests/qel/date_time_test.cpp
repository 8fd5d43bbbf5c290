#include <gtest/gtest.h>

#include <ctime>

#include "fresh_registry.h"
#include "qel/date_time.h"
#include "qel/error_registry.h"

namespace {

using date_time_test = fresh_registry;

constexpr double day_ms = 86'400'000.0;

TEST_F(date_time_test, EmptyAndZeroTimes) {
    const qel::b_time empty;
    EXPECT_EQ(empty.Value(), -1.0);
    const qel::result empty_check = empty.Check();
    EXPECT_EQ(empty_check.Code(), 87u);
    EXPECT_EQ(empty_check.Severity(), 3);
    EXPECT_EQ(empty_check.Message(), u"The parameter is incorrect.");

    const qel::b_time zero(0, 0, 0, 0, 0);
    EXPECT_EQ(zero.Value(), 0.0);
    EXPECT_EQ(zero.Check().Code(), 0u);
    EXPECT_EQ(zero.Check().Severity(), 0);

    // Either constructor registers the date and time errors.
    EXPECT_EQ(qel::MessageText(qel::dtrWrongMSec), u"Ошибка в числе миллисекунд.");
}

TEST_F(date_time_test, SetTimeRefusesPartsOutOfRangeInOrder) {
    qel::b_time t(0, 0, 0, 0, 0);
    EXPECT_EQ(t.SetTime(24, 0, 0, 0), qel::dtrWrongHour);
    EXPECT_EQ(t.SetTime(24, 60, 60, 1000), qel::dtrWrongHour);
    EXPECT_EQ(t.SetTime(0, 60, 60, 1000), qel::dtrWrongMinute);
    EXPECT_EQ(t.SetTime(0, 0, 60, 1000), qel::dtrWrongSec);
    EXPECT_EQ(t.SetTime(0, 0, 0, 1000), qel::dtrWrongMSec);
    EXPECT_EQ(t.SetTime(-1, 0, 0, 0), qel::dtrWrongHour);
    EXPECT_EQ(t.SetTime(0, -1, 0, 0), qel::dtrWrongMinute);
    EXPECT_EQ(t.SetTime(0, 0, -1, 0), qel::dtrWrongSec);
    EXPECT_EQ(t.SetTime(0, 0, 0, -1), qel::dtrWrongMSec);
    EXPECT_EQ(t.Value(), 0.0);

    EXPECT_EQ(t.SetTime(23, 59, 59, 999), 0u);
    EXPECT_EQ(t.Value(), 86'399'999 / day_ms);
    EXPECT_EQ(t.SetTime(24, 0, 0, 0), qel::dtrWrongHour);
    EXPECT_EQ(t.Value(), 86'399'999 / day_ms);
}

TEST_F(date_time_test, SetTimeKeepsTheDayOrStartsAnEmptyTimeOnDayZero) {
    qel::b_time on_day(146'097, 12, 0, 0, 0);
    EXPECT_EQ(on_day.Value(), 146'097.5);
    EXPECT_EQ(on_day.SetTime(6, 0, 0, 0), 0u);
    EXPECT_EQ(on_day.Value(), 146'097.25);

    qel::b_time empty;
    EXPECT_EQ(empty.SetTime(18, 0, 0, 0), 0u);
    EXPECT_EQ(empty.Value(), 0.75);
    EXPECT_EQ(empty.Check().Code(), 0u);

    // A day number beyond the signed range is read as unsigned.
    const qel::b_time far(0xFFFFFFFFu, 0, 0, 0, 0);
    EXPECT_EQ(far.Value(), 4294967295.0);
    // A part out of range in the constructor leaves the start of the day.
    const qel::b_time bad(3, 25, 0, 0, 0);
    EXPECT_EQ(bad.Value(), 3.0);
}

TEST_F(date_time_test, YearTableRunsFrom1601ToThisYear) {
    const qel::b_time empty;
    const qel::year_table* table = qel::YearTable();
    ASSERT_NE(table, nullptr);
    const std::time_t now = std::time(nullptr);
    const int this_year = std::localtime(&now)->tm_year + 1900;
    ASSERT_EQ(table->Count(), static_cast<std::size_t>(this_year - 1600));
    EXPECT_EQ(table->FirstYear(), 1601);
    EXPECT_EQ((*table)[0].year, 1601);
    EXPECT_EQ((*table)[0].days, 0);
    EXPECT_EQ((*table)[100].year, 1701);
    EXPECT_EQ((*table)[100].days, 36'524);
    EXPECT_EQ((*table)[400].year, 2001);
    EXPECT_EQ((*table)[400].days, 146'097);
    EXPECT_EQ((*table)[table->Count() - 1].year, this_year);

    // Made once: later empty times find it in place.
    const qel::b_time another;
    EXPECT_EQ(qel::YearTable(), table);
}

TEST(YearTable, LeapYearsFollowTheGregorianRule) {
    const qel::year_table table(2025);
    EXPECT_EQ(table.Count(), 425u);
    for (std::size_t i = 1; i < table.Count(); ++i) {
        const int previous = table[i - 1].year;
        const bool leap = (previous % 4 == 0 && previous % 100 != 0) || previous % 400 == 0;
        ASSERT_EQ(table[i].days - table[i - 1].days, leap ? 366 : 365) << previous;
    }
    EXPECT_EQ(table[1900 - 1601].days - table[1899 - 1601].days, 365);  // 1899 is common
    EXPECT_EQ(table[1901 - 1601].days - table[1900 - 1601].days, 365);  // 1900 is not leap
    EXPECT_EQ(table[2001 - 1601].days - table[2000 - 1601].days, 366);  // 2000 is

    EXPECT_EQ(qel::year_table(1500).Count(), 1u);
    EXPECT_EQ(qel::year_table(40000).Count(), static_cast<std::size_t>(32767 - 1600));
}

}  // namespace

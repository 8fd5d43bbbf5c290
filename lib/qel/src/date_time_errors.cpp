#include <string>

#include "internal.h"
#include "qel/date_time.h"
#include "qel/error_registry.h"
#include "qel/wexception.h"

namespace qel {
namespace {

struct date_time_error {
    std::uint32_t code;
    std::u16string_view name;
    std::u16string_view text_name;
    int line;  // where the registration stands in the date and time source, for the check text
    std::u16string_view text;
};

constexpr date_time_error rows[] = {
    {dtrInvalidDateFormat, u"dtrInvalidDateFormat", u"txtInvldDtFrmt", 26, txtInvldDtFrmt},
    {dtrInvalidTimeFormat, u"dtrInvalidTimeFormat", u"txtInvldTmFrmt", 27, txtInvldTmFrmt},
    {dtrWrongYear, u"dtrWrongYear", u"txtWrongYear", 28, txtWrongYear},
    {dtrWrongMonth, u"dtrWrongMonth", u"txtWrongMonth", 29, txtWrongMonth},
    {dtrWrongDay, u"dtrWrongDay", u"txtWrongDay", 30, txtWrongDay},
    {dtrWrongHour, u"dtrWrongHour", u"txtWrongHour", 31, txtWrongHour},
    {dtrWrongMinute, u"dtrWrongMinute", u"txtWrongMinute", 32, txtWrongMinute},
    {dtrWrongSec, u"dtrWrongSec", u"txtWrongSecond", 33, txtWrongSecond},
    {dtrWrongMSec, u"dtrWrongMSec", u"txtWrongMSec", 34, txtWrongMSec},
};

bool registered = false;

}  // namespace

void RegisterDateTimeErrors() {
    if (registered) return;
    for (const date_time_error& row : rows) {
        if (!RegisterError(row.code, std::u16string(row.text))) {
            std::u16string expression = u"::RegisterError(";
            expression.append(row.name).append(u",").append(row.text_name).append(u")");
            FailCheck(expression, u"..\\Src\\gen\\BTmErr", row.line);
        }
    }
    registered = true;
}

namespace detail {

void ForgetDateTimeErrors() noexcept { registered = false; }

}  // namespace detail
}  // namespace qel

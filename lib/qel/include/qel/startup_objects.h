// The support library's process-wide objects, in the one order they depend on: the empty
// and the zero time first (the first registers the date and time errors and builds the
// year table), then the ODBC environment (its two texts take the codes after the date
// and time errors). Make one before the program's entry runs and let it go after the
// entry returns; its members go in reverse. The registry and the year table stay.
#pragma once

#include "qel/base.h"
#include "qel/date_time.h"
#include "qel/odbc_environment.h"

namespace qel {

class startup_objects : public base {
public:
    startup_objects() = default;
    startup_objects(const startup_objects&) = delete;
    startup_objects& operator=(const startup_objects&) = delete;

    const b_time EmptyTime;
    const b_time ZeroTime{0, 0, 0, 0, 0};

private:
    odbc::environment environment_;
};

}  // namespace qel

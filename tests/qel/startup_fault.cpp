// Takes the code of the year error before the program starts, as a library defect would,
// so that registering the date and time errors at start-up fails its check.
#include "qel/date_time.h"
#include "qel/error_registry.h"

namespace {

const bool taken = qel::RegisterError(qel::dtrWrongYear, u"taken before start-up");

}  // namespace

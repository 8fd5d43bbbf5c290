#include "internal.h"

namespace qel::detail {

void ResetRegistryForTests() {
    DropRegistry();
    ForgetDateTimeErrors();
    ForgetOdbcTexts();
}

}  // namespace qel::detail

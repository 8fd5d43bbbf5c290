// The local calendar on Windows.
#include <windows.h>

#include "qel/os.h"

namespace qel::os {

int LocalYear() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wYear;
}

}  // namespace qel::os

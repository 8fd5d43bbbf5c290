// What the portable library asks of the system it runs on. Each platform defines these
// (platform/posix for POSIX).
#pragma once

#include <cstdint>
#include <string>

namespace qel::os {

// The system's own text for a system error code, as the system's message table holds it
// (it may end in a line break); empty when the system has no text for the code.
std::u16string MessageTableText(std::uint32_t code);

// The current year of the local calendar.
int LocalYear();

}  // namespace qel::os

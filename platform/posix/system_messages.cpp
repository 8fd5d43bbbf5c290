// The system's message table on POSIX: the English texts that Windows gives for the
// system error codes the library and its callers meet, in the same form (ending in a line
// break), so that the lookup treats them alike on both systems.
#include "qel/os.h"

namespace qel::os {

std::u16string MessageTableText(std::uint32_t code) {
    switch (code) {
        case 0: return u"The operation completed successfully.\r\n";
        case 1: return u"Incorrect function.\r\n";
        case 2: return u"The system cannot find the file specified.\r\n";
        case 3: return u"The system cannot find the path specified.\r\n";
        case 5: return u"Access is denied.\r\n";
        case 6: return u"The handle is invalid.\r\n";
        case 8: return u"Not enough memory resources are available to process this command.\r\n";
        case 14: return u"Not enough memory resources are available to complete this operation.\r\n";
        case 87: return u"The parameter is incorrect.\r\n";
        default: return {};
    }
}

}  // namespace qel::os

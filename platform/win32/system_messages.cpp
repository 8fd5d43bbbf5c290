// The system's message table on Windows.
#include <windows.h>

#include "qel/os.h"

namespace qel::os {

std::u16string MessageTableText(std::uint32_t code) {
    wchar_t buffer[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                   buffer, 511, nullptr);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

}  // namespace qel::os

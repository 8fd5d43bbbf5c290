#include "io/line_ends.h"

#include <cstring>

namespace io {

void append_with_crlf(std::string_view bytes, std::string& out) {
    while (!bytes.empty()) {
        const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
        if (lf == nullptr) {
            out.append(bytes);
            return;
        }
        const auto n = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data());
        out.append(bytes.data(), n);
        out.append("\r\n", 2);
        bytes.remove_prefix(n + 1);
    }
}

}  // namespace io

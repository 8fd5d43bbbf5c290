#include "printable.h"

#include "io/utf8.h"

namespace huecast {
namespace {

constexpr char hex_digits[] = "0123456789abcdef";

void append_hex(std::string& out, std::string_view prefix, unsigned value, int digits) {
    out.append(prefix);
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(hex_digits[(value >> shift) & 0xF]);
}

// Characters a terminal acts on rather than shows: C0 controls, DEL and C1 controls (a
// lone 0x9B is CSI to a terminal that reads 8-bit controls).
bool is_control(std::uint32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Characters that reorder or break the text shown around them: line and paragraph
// separators, the bidi marks, embeddings, overrides and isolates.
bool is_format_hazard(std::uint32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The code point of the UTF-8 form of a surrogate at `at` (ED A0-BF 80-BF), which no valid
// text holds; 0 when there is none.
std::uint32_t surrogate_at(std::string_view text, std::size_t at) {
    if (text.size() - at < 3) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    if (p[0] != 0xED || p[1] < 0xA0 || p[1] > 0xBF || !io::utf8::is_continuation(p[2])) return 0;
    return 0xD000u | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
}

// One character of the text as it is echoed: its length in bytes, and what is written.
std::size_t echo_one(std::string_view text, std::size_t i, std::string& out) {
    unsigned char byte = 0;
    if (io::utf8::escaped_byte_at(text, i, byte)) {
        append_hex(out, "\\x", byte, 2);
        return io::utf8::escaped_byte_length;
    }
    if (const std::uint32_t surrogate = surrogate_at(text, i); surrogate != 0) {
        append_hex(out, "\\u", surrogate, 4);
        return 3;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    const std::size_t n = io::utf8::sequence_length(p, text.size() - i);
    if (n == 0) {
        append_hex(out, "\\x", p[0], 2);
        return 1;
    }
    const std::uint32_t c = io::utf8::code_point(p, n);
    switch (c) {
        case 0x1B:
            out.append("\\e");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            if (is_control(c)) {
                append_hex(out, "\\x", c, 2);
            } else if (is_format_hazard(c)) {
                append_hex(out, "\\u", c, 4);
            } else {
                out.append(text.substr(i, n));
            }
    }
    return n;
}

}  // namespace

std::string printable(std::string_view text, std::size_t longest) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    for (std::size_t characters = 0; i < text.size() && characters < longest; ++characters) {
        i += echo_one(text, i, out);
    }
    if (i < text.size()) out.append("...");
    return out;
}

}  // namespace huecast

#include "printable.h"

#include "io/codec.h"
#include "io/utf16.h"

namespace huecast {
namespace {

using io::utf16::is_high_surrogate;
using io::utf16::is_low_surrogate;

constexpr char16_t hex_digits[] = u"0123456789abcdef";

void append_hex(std::u16string& out, std::u16string_view prefix, unsigned value, int digits) {
    out.append(prefix);
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(hex_digits[(value >> shift) & 0xF]);
}

// Characters a terminal acts on rather than shows: C0 controls, DEL and C1 controls (a
// lone 0x9B is CSI to a terminal that reads 8-bit controls).
bool is_control(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Characters that reorder or break the text shown around them: line and paragraph
// separators, the bidi marks, embeddings, overrides and isolates.
bool is_format_hazard(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::u16string printable(std::u16string_view text) {
    // A pair counts as one character, so the cut never falls between its halves.
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < printable_length; ++characters) {
        end += is_high_surrogate(text[end]) && end + 1 < text.size() && is_low_surrogate(text[end + 1]) ? 2 : 1;
    }
    const bool cut = end < text.size();
    text = text.substr(0, end);
    std::u16string out;
    out.reserve(text.size() + (cut ? 3 : 0));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            out.push_back(c);
            out.push_back(text[++i]);
        } else if (c == 0x1B) {
            out.append(u"\\e");
        } else if (c == u'\r') {
            out.append(u"\\r");
        } else if (c == u'\n') {
            out.append(u"\\n");
        } else if (c == u'\t') {
            out.append(u"\\t");
        } else if (is_control(c)) {
            append_hex(out, u"\\x", c, 2);
        } else if (io::is_escaped_byte(c)) {
            append_hex(out, u"\\x", static_cast<unsigned char>(io::byte_of_escape(c)), 2);
        } else if (io::utf16::is_surrogate(c) || is_format_hazard(c)) {
            append_hex(out, u"\\u", c, 4);
        } else {
            out.push_back(c);
        }
    }
    if (cut) out.append(u"...");
    return out;
}

}  // namespace huecast

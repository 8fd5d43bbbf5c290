#include "filter/match/search_text.h"

#include <cstring>

#include "filter/match/case_folding.h"
#include "io/utf8.h"

namespace huecast {

bool search_text::all_below_0080(std::string_view text) noexcept { return io::utf8::is_ascii(text); }

bool search_text::holds_equivalent(std::string_view text) noexcept {
    for (const unsigned char lead : equivalent_leads) {
        const char* p = text.data();
        const char* const end = p + text.size();
        while (const void* hit = std::memchr(p, lead, static_cast<std::size_t>(end - p))) {
            const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            char letter = 0;
            if (equivalent_at(text, at, letter) != 0) return true;
            p = static_cast<const char*>(hit) + 1;
        }
    }
    return false;
}

}  // namespace huecast

#include "io/utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace io::utf8 {
namespace {

// The first byte at or above 0x80 in [p, end), or end. Most text is ASCII.
const unsigned char* skip_ascii(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        if (high != 0) return p + __builtin_ctz(static_cast<unsigned>(high));
    }
#endif
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if ((word & 0x8080808080808080ull) != 0) break;
    }
    while (p < end && *p < 0x80) ++p;
    return p;
}

}  // namespace

bool is_ascii(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    // Lines are short: every byte once, the last block overlapping the one before it rather
    // than a loop over the bytes that are left.
#if defined(__SSE2__)
    if (n >= 16) {
        __m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
        for (std::size_t i = 0; i + 16 <= n; i += 16) {
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        }
        return _mm_movemask_epi8(any) == 0;
    }
#endif
    if (n >= 8) {
        std::uint64_t first, last;
        std::memcpy(&first, p, 8);
        std::memcpy(&last, p + n - 8, 8);
        if (((first | last) & 0x8080808080808080ull) != 0) return false;
        if (n <= 16) return true;
    }
    return skip_ascii(p, p + n) == p + n;
}

std::size_t ascii_end(std::string_view text, std::size_t from) noexcept {
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    return static_cast<std::size_t>(skip_ascii(begin + from, begin + text.size()) - begin);
}

std::size_t first_invalid(std::string_view text, std::size_t from) noexcept {
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const unsigned char* p = begin + from;
    while ((p = skip_ascii(p, end)) < end) {
        const std::size_t n = sequence_length(p, static_cast<std::size_t>(end - p));
        if (n == 0) break;
        p += n;
    }
    return static_cast<std::size_t>(p - begin);
}

std::size_t utf16_length(std::string_view text) noexcept {
    std::size_t units = 0;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        // Every sequence counts at its lead; one of four bytes is a surrogate pair.
        if (!is_continuation(b)) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

}  // namespace io::utf8

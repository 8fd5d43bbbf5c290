#include "filter/match/literal_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>

#include "filter/match/case_folding.h"

namespace huecast {
namespace {

// True when the folded `literal` begins at `at`, all in ASCII.
bool ascii_folded_at(std::string_view text, std::size_t at, std::string_view literal) {
    if (literal.size() > text.size() - at) return false;
    for (std::size_t k = 0; k < literal.size(); ++k) {
        if (folded_byte(static_cast<unsigned char>(text[at + k])) != static_cast<unsigned char>(literal[k])) {
            return false;
        }
    }
    return true;
}

// Every place tried in turn, equivalents and all: for the rare text that holds one.
literal_place find_with_equivalents(std::string_view text, std::size_t from, std::string_view literal) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (const std::size_t n = folded_match_length(text, i, literal); n != 0) return {i, n};
    }
    return no_place;
}

literal_place find_ascii(std::string_view text, std::size_t from, std::string_view literal) {
    if (text.size() < literal.size() || from > text.size() - literal.size()) return no_place;
    const std::size_t last = text.size() - literal.size();  // the last place it can begin
    const char first = literal[0];
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen places at a time for the first two bytes (the first twice for a word of one):
    // each a letter in either case; then the rest compared where it is.
    const char second = literal.size() > 1 ? literal[1] : first;
    const std::size_t shift = literal.size() > 1 ? 1 : 0;
    struct byte_test {
        __m128i folded, case_bit;
    };
    const auto is = [](char c) {
        const bool letter = c >= 'a' && c <= 'z';
        return byte_test{_mm_set1_epi8(c), _mm_set1_epi8(letter ? 0x20 : 0)};
    };
    const byte_test a = is(first);
    const byte_test b = is(second);
    const auto matches = [](__m128i bytes, const byte_test& c) {
        return _mm_cmpeq_epi8(_mm_or_si128(bytes, c.case_bit), c.folded);
    };
    // The places [at, at + 16) whose bits are in `wanted`; the second byte of the last place
    // lies one past it, inside the text as long as the word has two bytes.
    const auto block = [&](std::size_t at, unsigned wanted) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + shift));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(matches(bytes, a), matches(next, b))));
        mask &= wanted;
        while (mask != 0) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(mask));
            mask &= mask - 1;
            if (ascii_folded_at(text, place, literal)) return place;
        }
        return static_cast<std::size_t>(-1);
    };
    if (last - from >= 15) {
        for (; i <= last && last - i >= 15; i += 16) {
            if (const std::size_t found = block(i, 0xFFFF); found != static_cast<std::size_t>(-1)) {
                return {found, literal.size()};
            }
        }
        // The last places in one more block that ends at the last place, without those tried.
        if (i > last) return no_place;
        const std::size_t at = last - 15;
        const std::size_t found = block(at, 0xFFFFu << (i - at) & 0xFFFF);
        return found != static_cast<std::size_t>(-1) ? literal_place{found, literal.size()} : no_place;
    }
#endif
    for (; i <= last; ++i) {
        if (folded_byte(static_cast<unsigned char>(text[i])) == static_cast<unsigned char>(first) &&
            ascii_folded_at(text, i, literal)) {
            return {i, literal.size()};
        }
    }
    return no_place;
}

bool has_letter_with_equivalent(std::string_view literal) {
    for (const char c : literal) {
        if (has_equivalent(c)) return true;
    }
    return false;
}

}  // namespace

literal_place find_folded(std::string_view text, std::size_t from, std::string_view literal,
                          bool may_hold_equivalents) {
    if (may_hold_equivalents && has_letter_with_equivalent(literal)) return find_with_equivalents(text, from, literal);
    return find_ascii(text, from, literal);
}

}  // namespace huecast

#include "filter/literal_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>

#include "filter/required_literals.h"

namespace huecast {
namespace {

// What an expression reads as an operator, or as the start of one, outside a class.
constexpr std::u16string_view operators = u"\\^$.|?*+()[]{}";

// The unit outside ASCII that folds to `c`, or `c` itself.
constexpr char16_t equivalent_of(char16_t c) {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (e.letter == c) return e.unit;
    }
    return c;
}

}  // namespace

std::u16string plain_literal_of(std::u16string_view expression) {
    std::u16string literal;
    for (const char16_t c : expression) {
        if (c < 0x20 || c > 0x7E || operators.find(c) != std::u16string_view::npos) return {};
        literal.push_back(folded_unit(c));
    }
    return literal;
}

bool folded_at(std::u16string_view text, std::size_t at, std::u16string_view literal) {
    if (literal.size() > text.size() - at) return false;
    for (std::size_t k = 0; k < literal.size(); ++k) {
        if (folded_unit(text[at + k]) != literal[k]) return false;
    }
    return true;
}

std::size_t find_folded(std::u16string_view text, std::size_t from, std::u16string_view literal) {
    if (text.size() < literal.size() || from > text.size() - literal.size()) return std::u16string_view::npos;
    const std::size_t last = text.size() - literal.size();  // the last place it can begin
    const char16_t first = literal[0];
    std::size_t i = from;
#if defined(__SSE2__)
    // Eight places at a time for the first unit: a letter in either case, or the unit
    // outside ASCII that folds to it; then the rest compared where it is.
    const bool letter = first >= u'a' && first <= u'z';
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(first));
    const __m128i case_bit = _mm_set1_epi16(letter ? 0x20 : 0);
    const __m128i equivalent = _mm_set1_epi16(static_cast<short>(equivalent_of(first)));
    for (; last - i >= 8 && i <= last; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(_mm_or_si128(units, case_bit), wanted),
                                          _mm_cmpeq_epi16(units, equivalent));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
            mask &= mask - 1;
            mask &= mask - 1;  // both bytes of the unit
            if (folded_at(text, at, literal)) return at;
        }
    }
#endif
    for (; i <= last; ++i) {
        if (folded_unit(text[i]) == first && folded_at(text, i, literal)) return i;
    }
    return std::u16string_view::npos;
}

}  // namespace huecast

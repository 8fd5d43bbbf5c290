#include "filter/literal_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>

#include "filter/case_folding.h"

namespace huecast {

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
    // Eight places at a time for the first two units (the first twice for a word of one):
    // each a letter in either case, or the unit outside ASCII that folds to it; then the
    // rest compared where it is.
    const char16_t second = literal.size() > 1 ? literal[1] : first;
    const std::size_t shift = literal.size() > 1 ? 1 : 0;
    struct unit_test {
        __m128i folded, case_bit, equivalent;
    };
    const auto is = [](char16_t c) {
        const bool letter = c >= u'a' && c <= u'z';
        return unit_test{_mm_set1_epi16(static_cast<short>(c)), _mm_set1_epi16(letter ? 0x20 : 0),
                         _mm_set1_epi16(static_cast<short>(equivalent_of(c)))};
    };
    const unit_test a = is(first);
    const unit_test b = is(second);
    const auto matches = [](__m128i units, const unit_test& c) {
        return _mm_or_si128(_mm_cmpeq_epi16(_mm_or_si128(units, c.case_bit), c.folded),
                            _mm_cmpeq_epi16(units, c.equivalent));
    };
    // The places [at, at + 8) whose bits are in `wanted`; the second unit of the last place
    // lies one past it, inside the text as long as the word has two units.
    const auto block = [&](std::size_t at, unsigned wanted) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + shift));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(matches(units, a), matches(next, b))));
        mask &= wanted;
        while (mask != 0) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
            mask &= mask - 1;
            mask &= mask - 1;  // both bytes of the unit
            if (folded_at(text, place, literal)) return place;
        }
        return std::u16string_view::npos;
    };
    if (last - from >= 7) {
        for (; i <= last && last - i >= 7; i += 8) {
            if (const std::size_t found = block(i, 0xFFFF); found != std::u16string_view::npos) return found;
        }
        // The last places in one more block that ends at the last place, without those tried.
        if (i > last) return std::u16string_view::npos;
        const std::size_t at = last - 7;
        return block(at, 0xFFFFu << (2 * (i - at)) & 0xFFFF);
    }
#endif
    for (; i <= last; ++i) {
        if (folded_unit(text[i]) == first && folded_at(text, i, literal)) return i;
    }
    return std::u16string_view::npos;
}

}  // namespace huecast

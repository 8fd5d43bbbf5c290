#include "filter/search_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace huecast {

bool search_text::all_below_0080(std::u16string_view text) noexcept {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
#if defined(__SSE2__)
    __m128i all = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        all = _mm_or_si128(all, _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8))));
    }
    // Units at or above U+0080 have a bit set outside the low seven.
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(all, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                          _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
#endif
    char16_t rest = 0;
    for (; p < end; ++p) rest |= *p;
    return rest < 0x80;
}

}  // namespace huecast

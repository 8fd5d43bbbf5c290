#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/codec.h"
#include "io/utf16.h"

namespace io {
namespace {

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Most text is ASCII: runs of it are widened and narrowed 16 units at a time.

// Widens the run of ASCII bytes at the front of [p, end) and returns where it stopped.
const unsigned char* widen_ascii(const unsigned char* p, const unsigned char* end, char16_t*& out) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(bytes) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
        p += 16;
        out += 16;
    }
#endif
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull) break;
        for (int i = 0; i < 8; ++i) out[i] = p[i];
        p += 8;
        out += 8;
    }
    while (p < end && *p < 0x80) *out++ = *p++;
    return p;
}

// Narrows the run of units below U+0080 at the front of [p, end) and returns where it stopped.
const char16_t* narrow_ascii(const char16_t* p, const char16_t* end, unsigned char*& out) {
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        const __m128i non_ascii = _mm_and_si128(_mm_or_si128(a, b), high);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(non_ascii, zero)) != 0xFFFF) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(a, b));
        p += 16;
        out += 16;
    }
#endif
    while (end - p >= 4) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0xFF80FF80FF80FF80ull) break;
        for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(p[i]);
        p += 4;
        out += 4;
    }
    return p;
}

class utf8_codec final : public codec {
public:
    void decode(std::string_view bytes, std::u16string& text) const override {
        const std::size_t start = text.size();
        // No sequence yields more 16-bit units than it has bytes.
        text.resize(start + bytes.size());
        char16_t* out = text.data() + start;
        auto p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto end = p + bytes.size();
        while (p < end) {
            p = widen_ascii(p, end, out);
            if (p == end) break;
            const unsigned char b0 = *p;
            const std::size_t left = static_cast<std::size_t>(end - p);
            std::uint32_t cp = 0;
            std::size_t len = 0;
            if (b0 >= 0xC2 && b0 <= 0xDF) {
                if (left >= 2 && is_continuation(p[1])) {
                    cp = ((b0 & 0x1Fu) << 6) | (p[1] & 0x3Fu);
                    len = 2;
                }
            } else if (b0 >= 0xE0 && b0 <= 0xEF) {
                const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
                const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
                if (left >= 3 && p[1] >= lo && p[1] <= hi && is_continuation(p[2])) {
                    cp = ((b0 & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
                    len = 3;
                }
            } else if (b0 >= 0xF0 && b0 <= 0xF4) {
                const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
                const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
                if (left >= 4 && p[1] >= lo && p[1] <= hi && is_continuation(p[2]) &&
                    is_continuation(p[3])) {
                    cp = ((b0 & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) |
                         (p[3] & 0x3Fu);
                    len = 4;
                }
            }
            if (len == 0) {
                *out++ = escaped_byte(b0);
                ++p;
            } else if (cp >= 0x10000) {
                *out++ = utf16::high_surrogate_of(cp);
                *out++ = utf16::low_surrogate_of(cp);
                p += len;
            } else {
                *out++ = static_cast<char16_t>(cp);
                p += len;
            }
        }
        text.resize(static_cast<std::size_t>(out - text.data()));
    }

    void encode(std::u16string_view text, std::string& bytes) const override {
        const std::size_t start = bytes.size();
        bytes.resize(start + 3 * text.size());
        auto out = reinterpret_cast<unsigned char*>(bytes.data() + start);
        const char16_t* p = text.data();
        const char16_t* const end = p + text.size();
        while (p < end) {
            p = narrow_ascii(p, end, out);
            if (p == end) break;
            const char16_t c = *p++;
            if (c < 0x80) {
                *out++ = static_cast<unsigned char>(c);
            } else if (c < 0x800) {
                *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
                *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            } else if (!utf16::is_surrogate(c)) {
                *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
                *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
                *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            } else if (utf16::is_high_surrogate(c) && p < end && utf16::is_low_surrogate(*p)) {
                const std::uint32_t cp = utf16::code_point_of(c, *p++);
                *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
                *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
                *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
                *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            } else if (is_escaped_byte(c)) {
                *out++ = static_cast<unsigned char>(byte_of_escape(c));
            } else {
                *out++ = static_cast<unsigned char>(substitute_byte);
            }
        }
        bytes.resize(static_cast<std::size_t>(out - reinterpret_cast<unsigned char*>(bytes.data())));
    }

    std::size_t complete_prefix(std::string_view bytes) const override {
        const std::size_t n = bytes.size();
        // Only the last three bytes can hold the start of an unfinished sequence.
        for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
            const auto b = static_cast<unsigned char>(bytes[n - back]);
            if (is_continuation(b)) continue;
            const std::size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 1;
            return length > back ? n - back : n;
        }
        return n;
    }
};

}  // namespace

std::unique_ptr<codec> make_utf8_codec() { return std::make_unique<utf8_codec>(); }

}  // namespace io

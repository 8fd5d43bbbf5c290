#include "filter/literal_prefilter.h"

#include <algorithm>
#include <bit>
#include <map>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#define HUECAST_PREFILTER_X86 1
#include <immintrin.h>
#define HUECAST_TARGET(features) __attribute__((target(features)))
#endif

// GCC does not keep the stack aligned for 32-byte vectors on Windows (it assumes an
// alignment that the Windows x64 ABI does not give), so a spilled AVX register could fault.
#if defined(HUECAST_PREFILTER_X86) && !defined(_WIN32)
#define HUECAST_PREFILTER_AVX2 1
#endif

namespace huecast {

namespace {

// How the SIMD methods see a unit: _mm_packus_epi16 reads it as signed and saturates, so a
// unit below U+0100 keeps its value, one below U+8000 becomes 0xFF and any other 0.
constexpr std::uint8_t packed_unit(char16_t c) {
    return c < 0x100 ? static_cast<std::uint8_t>(c) : c < 0x8000 ? 0xFF : 0x00;
}

// Fills the places past the end of a line in the last block of the SIMD methods. No literal
// has its high nibble, so only a literal that ends before it passes there.
constexpr std::uint8_t padding_byte = 0x80;

// Every equivalent packs to a byte with its high bit set, so a block that holds one shows it,
// and not to one with the padding's high nibble.
constexpr bool equivalents_pack_high() {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (packed_unit(e.unit) < 0x80 || packed_unit(e.unit) >> 4 == padding_byte >> 4) return false;
    }
    return true;
}
static_assert(equivalents_pack_high());

}  // namespace

// One scan of one line: what is found so far, and which groups and buckets still have a
// literal of a filter not yet let through.
struct literal_prefilter::scan_state {
    const literal_prefilter& filter;
    std::u16string_view line;
    char* may_match;
    std::uint32_t* first_at;  // null when not asked for
    std::uint64_t pending_groups;
    std::uint8_t live;  // buckets

    bool pending(const literal& l) const {
        for (std::uint32_t k = 0; k < l.filter_count; ++k) {
            if (may_match[filter.literal_filters_[l.filters + k]] == 0) return true;
        }
        return false;
    }

    bool group_pending(std::size_t g) const {
        for (std::size_t l = g; l < filter.literals_.size(); l += groups) {
            if (pending(filter.literals_[l])) return true;
        }
        return false;
    }

    bool occurs_at(const literal& l, std::size_t start) const {
        if (l.length > line.size() - start) return false;
        const char16_t* text = filter.texts_.data() + l.text;
        const char16_t* unit = line.data() + start;
        std::uint32_t k = 0;
#if defined(__SSE2__)
        // The head in one comparison: a loop that stops at the first difference costs a
        // mispredicted branch on many candidates.
        if (line.size() - start >= head_units) {
            const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit));
            const __m128i upper = _mm_cmpeq_epi16(
                _mm_subs_epu16(_mm_sub_epi16(u, _mm_set1_epi16(u'A')), _mm_set1_epi16(u'Z' - u'A')),
                _mm_setzero_si128());
            const __m128i lower = _mm_add_epi16(u, _mm_and_si128(upper, _mm_set1_epi16(0x20)));
            const __m128i same = _mm_or_si128(
                _mm_cmpeq_epi16(lower, _mm_load_si128(reinterpret_cast<const __m128i*>(l.head.data()))),
                _mm_cmpeq_epi16(u, _mm_load_si128(reinterpret_cast<const __m128i*>(l.head_equivalent.data()))));
            const unsigned wanted = l.length >= head_units ? 0xFFFF : (1u << (2 * l.length)) - 1;
            if ((static_cast<unsigned>(_mm_movemask_epi8(same)) & wanted) != wanted) return false;
            k = head_units;
        }
#endif
        for (; k < l.length; ++k) {
            if (folded_unit(unit[k]) != text[k]) return false;
        }
        return true;
    }

    // A group or a bucket stops taking part once none of its literals can tell anything new.
    void let_through(std::uint32_t f) {
        may_match[f] = 1;
        for (std::uint32_t k = filter.filter_literal_begin_[f]; k < filter.filter_literal_begin_[f + 1]; ++k) {
            const std::size_t g = filter.filter_literals_[k] % groups;
            if ((pending_groups >> g & 1) != 0 && !group_pending(g)) pending_groups &= ~(std::uint64_t{1} << g);
        }
        unsigned affected = filter.buckets_of_filter_[f] & live;
        while (affected != 0) {
            const int b = std::countr_zero(affected);
            affected &= affected - 1;
            const std::uint32_t* first = filter.bucket_filters_.data() + filter.bucket_filter_begin_[b];
            const std::uint32_t* last = filter.bucket_filters_.data() + filter.bucket_filter_begin_[b + 1];
            if (std::all_of(first, last, [&](std::uint32_t other) { return may_match[other] != 0; })) {
                live = static_cast<std::uint8_t>(live & ~(1u << b));
            }
        }
    }

    void verify_literal(std::size_t l, std::size_t start) {
        const literal& lit = filter.literals_[l];
        if (!pending(lit) || !occurs_at(lit, start)) return;
        for (std::uint32_t k = 0; k < lit.filter_count; ++k) {
            const std::uint32_t f = filter.literal_filters_[lit.filters + k];
            if (may_match[f] != 0) continue;
            // Places are tried from the front, so the first let-through is the first place.
            if (first_at != nullptr) first_at[f] = static_cast<std::uint32_t>(start);
            let_through(f);
        }
    }

    // The literals of the groups in `candidates` that may begin at `start` (< line.size()).
    void verify(std::size_t start, std::uint64_t candidates) {
        while (candidates != 0) {
            const std::size_t g = static_cast<std::size_t>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            for (std::size_t l = g; l < filter.literals_.size(); l += groups) verify_literal(l, start);
        }
    }

    // A place where the SIMD tables allow the literals of `buckets`: a bucket of one
    // literal names it; otherwise the group tables tell which to compare.
    void verify_buckets(std::size_t start, unsigned buckets) {
        buckets &= live;
        if (buckets == 0) return;
        const int b = std::countr_zero(buckets);
        if ((buckets & (buckets - 1)) == 0 && filter.sole_literal_[b] != no_literal) {
            verify_literal(filter.sole_literal_[b], start);
        } else {
            verify_at(start);
        }
    }

    std::size_t folded_at(std::size_t k) const { return k < line.size() ? folded_unit(line[k]) : past_end; }

    // The literals that may begin at `start`, told apart by the group tables.
    void verify_at(std::size_t start) {
        const std::uint64_t candidates = filter.group_table_[0][folded_at(start)] &
                                         filter.group_table_[1][folded_at(start + 1)] &
                                         filter.group_table_[2][folded_at(start + 2)] & pending_groups;
        if (candidates != 0) verify(start, candidates);
    }

    void scan_portable();
#if defined(HUECAST_PREFILTER_X86)
    HUECAST_TARGET("ssse3") void scan_ssse3();
    HUECAST_TARGET("ssse3") bool report_16(__m128i candidates, std::size_t base, unsigned lanes_wanted);
#endif
#if defined(HUECAST_PREFILTER_AVX2)
    HUECAST_TARGET("avx2") void scan_avx2();
    HUECAST_TARGET("avx2") bool report_32(__m256i candidates, std::size_t base, std::uint32_t lanes_wanted);
#endif
};

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters)
    : literal_prefilter(filters, fastest()) {}

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters, scan_method method)
    : buckets_of_filter_(filters.size(), 0), always_(filters.size(), 0), method_(method) {
    if (!supported(method)) throw std::invalid_argument("scan method not supported by this processor");

    // Each distinct literal once, with the filters it lets through.
    std::map<std::u16string, std::vector<std::uint32_t>> users;
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const auto& any_of = filters[f].any_of;
        const bool known = !any_of.empty() && std::none_of(any_of.begin(), any_of.end(),
                                                           [](const std::u16string& t) { return t.empty(); });
        if (!known) {
            always_[f] = 1;
            continue;
        }
        for (const std::u16string& text : any_of) {
            auto& u = users[text];
            if (u.empty() || u.back() != f) u.push_back(static_cast<std::uint32_t>(f));
        }
    }

    // Literals that share a bucket should look alike where the tables check them: short
    // ones (which pass anything past their end) go together, the rest by their start. The
    // map gives them sorted by text.
    std::vector<const std::pair<const std::u16string, std::vector<std::uint32_t>>*> order;
    for (const auto& entry : users) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return std::min(a->first.size(), checked_units) < std::min(b->first.size(), checked_units);
    });

    std::vector<std::vector<std::uint32_t>> literals_of_filter(filters.size());
    std::array<std::vector<std::uint32_t>, buckets> filters_in_bucket;
    for (std::size_t l = 0; l < order.size(); ++l) {
        const auto& [text, literal_users] = *order[l];
        const std::size_t b = l * buckets / order.size();
        const auto bucket_bit = static_cast<std::uint8_t>(1u << b);
        const std::uint64_t group_bit = std::uint64_t{1} << (l % groups);
        literal& added = literals_.emplace_back();
        added.text = static_cast<std::uint32_t>(texts_.size());
        added.length = static_cast<std::uint32_t>(text.size());
        added.filters = static_cast<std::uint32_t>(literal_filters_.size());
        added.filter_count = static_cast<std::uint32_t>(literal_users.size());
        for (std::size_t k = 0; k < std::min(text.size(), head_units); ++k) {
            added.head[k] = text[k];
            added.head_equivalent[k] = equivalent_of(text[k]);
        }
        texts_ += text;
        literal_filters_.insert(literal_filters_.end(), literal_users.begin(), literal_users.end());
        used_buckets_ = static_cast<std::uint8_t>(used_buckets_ | bucket_bit);
        used_groups_ |= group_bit;
        for (const std::uint32_t f : literal_users) {
            literals_of_filter[f].push_back(static_cast<std::uint32_t>(l));
            buckets_of_filter_[f] = static_cast<std::uint8_t>(buckets_of_filter_[f] | bucket_bit);
            auto& in = filters_in_bucket[b];
            if (std::find(in.begin(), in.end(), f) == in.end()) in.push_back(f);
        }

        for (std::size_t j = 0; j < checked_units; ++j) {
            if (j >= text.size()) {
                for (auto& entry : group_table_[j]) entry |= group_bit;
                for (auto& set : nibble_tables_) {
                    for (auto& entry : set[j]) entry |= bucket_bit;
                    for (auto& entry : set[j + checked_units]) entry |= bucket_bit;
                }
                continue;
            }
            const char16_t c = text[j];
            group_table_[j][c] |= group_bit;
            // Every unit of a line that folds to c, as the SIMD methods see it.
            const units_folding_to units(c);
            for (std::size_t set = 0; set < nibble_tables_.size(); ++set) {
                for (std::size_t k = 0; k < (set == 0 ? units.ascii : units.count); ++k) {
                    nibble_tables_[set][j][packed_unit(units.units[k]) & 0x0F] |= bucket_bit;
                    nibble_tables_[set][j + checked_units][packed_unit(units.units[k]) >> 4] |= bucket_bit;
                }
            }
        }
    }
    sole_literal_.fill(no_literal);
    for (std::size_t l = 0; l < literals_.size(); ++l) {
        const std::size_t b = l * buckets / literals_.size();
        const bool alone = (l == 0 || (l - 1) * buckets / literals_.size() != b) &&
                           (l + 1 == literals_.size() || (l + 1) * buckets / literals_.size() != b);
        if (alone) sole_literal_[b] = static_cast<std::uint32_t>(l);
    }
    filter_literal_begin_.push_back(0);
    for (const auto& own : literals_of_filter) {
        filter_literals_.insert(filter_literals_.end(), own.begin(), own.end());
        filter_literal_begin_.push_back(static_cast<std::uint32_t>(filter_literals_.size()));
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        bucket_filters_.insert(bucket_filters_.end(), filters_in_bucket[b].begin(), filters_in_bucket[b].end());
        bucket_filter_begin_[b + 1] = static_cast<std::uint32_t>(bucket_filters_.size());
    }
}

bool literal_prefilter::supported(scan_method method) {
    switch (method) {
        case scan_method::portable:
            return true;
        case scan_method::ssse3:
#if defined(HUECAST_PREFILTER_X86)
            __builtin_cpu_init();
            return __builtin_cpu_supports("ssse3");
#else
            return false;
#endif
        case scan_method::avx2:
#if defined(HUECAST_PREFILTER_AVX2)
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
#else
            return false;
#endif
    }
    return false;
}

scan_method literal_prefilter::fastest() {
    for (const scan_method m : {scan_method::avx2, scan_method::ssse3}) {
        if (supported(m)) return m;
    }
    return scan_method::portable;
}

void literal_prefilter::scan(std::u16string_view line, std::vector<char>& may_match) const {
    scan(line, may_match, nullptr);
}

void literal_prefilter::scan(std::u16string_view line, std::vector<char>& may_match,
                             std::vector<std::uint32_t>& first_at) const {
    first_at.resize(always_.size());
    scan(line, may_match, first_at.data());
}

void literal_prefilter::scan(std::u16string_view line, std::vector<char>& may_match, std::uint32_t* first_at) const {
    may_match.assign(always_.begin(), always_.end());
    if (used_buckets_ == 0) return;
    scan_state state{*this, line, may_match.data(), first_at, used_groups_, used_buckets_};
    // A SIMD method needs a line of one block at least; a shorter one falls to the next
    // method down.
#if defined(HUECAST_PREFILTER_AVX2)
    if (method_ == scan_method::avx2 && line.size() >= 32) {
        state.scan_avx2();
        return;
    }
#endif
#if defined(HUECAST_PREFILTER_X86)
    if (method_ != scan_method::portable && line.size() >= 16) {
        state.scan_ssse3();
        return;
    }
#endif
    state.scan_portable();
}

// The reference method: each place of the line is looked up in the group tables, and a
// literal may begin where the three places from there all allow its group.
void literal_prefilter::scan_state::scan_portable() {
    const auto& t0 = filter.group_table_[0];
    const auto& t1 = filter.group_table_[1];
    const auto& t2 = filter.group_table_[2];
    // Group bits two places back (first table) and one place back (first and second).
    std::uint64_t two_back = 0;
    std::uint64_t one_back_0 = 0;
    std::uint64_t one_back_1 = 0;
    const std::size_t n = line.size();
    // A literal of one or two units may begin at either of the last two places.
    for (std::size_t end = 0; end < n + 2; ++end) {
        const std::size_t x = folded_at(end);
        const std::uint64_t candidates = two_back & one_back_1 & t2[x] & pending_groups;
        two_back = one_back_0;
        one_back_0 = t0[x];
        one_back_1 = t1[x];
        if (candidates == 0) continue;
        verify(end - 2, candidates);
        if (pending_groups == 0) return;
    }
}

#if defined(HUECAST_PREFILTER_X86)

// The SIMD methods (Teddy): a block of units is packed to bytes; for each byte, two 16-entry
// lookups (low and high nibble) give the buckets whose literals may have it at each of the
// first three places; the places are lined up by shifting in the lookups of the block before,
// and a literal of a bucket may begin where all three agree. The end of a line is read as one
// block more that overlaps the one before, so that nothing is read past the end.

namespace {

HUECAST_TARGET("ssse3") inline __m128i packed_16(const char16_t* p) {
    return _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)));
}

// The buckets that allow each byte of `bytes` at place j.
HUECAST_TARGET("ssse3") inline __m128i lookup_16(__m128i bytes, const __m128i (&t)[6], int j) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(bytes, nibble);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
    return _mm_and_si128(_mm_shuffle_epi8(t[j], low), _mm_shuffle_epi8(t[j + 3], high));
}

HUECAST_TARGET("ssse3") inline void load_tables_16(const std::uint8_t* tables, __m128i (&t)[6]) {
    for (int j = 0; j < 6; ++j) t[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables + 16 * j));
}

}  // namespace

// Verifies the places of the lanes of `c` set in `lanes_wanted`: lane k holds the buckets
// of the literals that may begin at base + k - 2. False once nothing is left to find.
bool literal_prefilter::scan_state::report_16(__m128i c, std::size_t base, unsigned lanes_wanted) {
    unsigned found = (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_setzero_si128()))) ^ 0xFFFF) &
                     lanes_wanted;
    if (found == 0) return true;
    alignas(16) std::uint8_t lanes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), c);
    while (found != 0) {
        const int lane = std::countr_zero(found);
        found &= found - 1;
        verify_buckets(base + static_cast<std::size_t>(lane) - 2, lanes[lane]);
    }
    return live != 0;
}

void literal_prefilter::scan_state::scan_ssse3() {
    const std::size_t n = line.size();
    const char16_t* const units = line.data();
    __m128i t[6];
    load_tables_16(filter.nibble_tables_[0][0].data(), t);
    bool outside_ascii = false;
    __m128i previous_0 = _mm_setzero_si128();
    __m128i previous_1 = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = packed_16(units + i);
        if (!outside_ascii && _mm_movemask_epi8(bytes) != 0) {
            outside_ascii = true;
            load_tables_16(filter.nibble_tables_[1][0].data(), t);
        }
        const __m128i r0 = lookup_16(bytes, t, 0);
        const __m128i r1 = lookup_16(bytes, t, 1);
        const __m128i r2 = lookup_16(bytes, t, 2);
        const __m128i c = _mm_and_si128(
            _mm_and_si128(_mm_alignr_epi8(r0, previous_0, 14), _mm_alignr_epi8(r1, previous_1, 15)),
            _mm_and_si128(r2, _mm_set1_epi8(static_cast<char>(live))));
        previous_0 = r0;
        previous_1 = r1;
        if (!report_16(c, i, 0xFFFF)) return;
    }
    // The rest, from i - 2 on: the last 16 units as one block, each place shifted along it
    // with padding past the end.
    const std::size_t o = n - 16;
    const __m128i bytes = packed_16(units + o);
    if (!outside_ascii && _mm_movemask_epi8(bytes) != 0) load_tables_16(filter.nibble_tables_[1][0].data(), t);
    const __m128i padding = _mm_set1_epi8(static_cast<char>(padding_byte));
    const __m128i c = _mm_and_si128(
        _mm_and_si128(lookup_16(bytes, t, 0), lookup_16(_mm_alignr_epi8(padding, bytes, 1), t, 1)),
        _mm_and_si128(lookup_16(_mm_alignr_epi8(padding, bytes, 2), t, 2), _mm_set1_epi8(static_cast<char>(live))));
    const std::size_t rest = n - i;
    // Places in order, so that a filter's first let-through is its first place.
    if (rest == 15) verify_at(o - 1);
    report_16(c, o + 2, rest < 14 ? 0xFFFFu << (14 - rest) & 0xFFFF : 0xFFFF);
}

#endif

#if defined(HUECAST_PREFILTER_AVX2)

namespace {

HUECAST_TARGET("avx2") inline __m256i packed_32(const char16_t* p) {
    // Packing works within each 16-byte half; the permutation puts the quarters in order.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16))),
                                    0xD8);
}

HUECAST_TARGET("avx2") inline __m256i lookup_32(__m256i bytes, const __m256i (&t)[6], int j) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i low = _mm256_and_si256(bytes, nibble);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
    return _mm256_and_si256(_mm256_shuffle_epi8(t[j], low), _mm256_shuffle_epi8(t[j + 3], high));
}

// `now` moved up by `places` bytes across the whole vector, the last bytes of `before`
// filling the front.
template <int places>
HUECAST_TARGET("avx2") inline __m256i shifted_in(__m256i now, __m256i before) {
    return _mm256_alignr_epi8(now, _mm256_permute2x128_si256(before, now, 0x21), 16 - places);
}

// `now` moved down by `places` bytes across the whole vector, `after` filling the end.
template <int places>
HUECAST_TARGET("avx2") inline __m256i shifted_out(__m256i now, __m256i after) {
    return _mm256_alignr_epi8(_mm256_permute2x128_si256(now, after, 0x21), now, places);
}

HUECAST_TARGET("avx2") inline void load_tables_32(const std::uint8_t* tables, __m256i (&t)[6]) {
    for (int j = 0; j < 6; ++j) {
        t[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables + 16 * j)));
    }
}

}  // namespace

bool literal_prefilter::scan_state::report_32(__m256i c, std::size_t base, std::uint32_t lanes_wanted) {
    std::uint32_t found =
        ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(c, _mm256_setzero_si256()))) & lanes_wanted;
    if (found == 0) return true;
    alignas(32) std::uint8_t lanes[32];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), c);
    while (found != 0) {
        const int lane = std::countr_zero(found);
        found &= found - 1;
        verify_buckets(base + static_cast<std::size_t>(lane) - 2, lanes[lane]);
    }
    return live != 0;
}

void literal_prefilter::scan_state::scan_avx2() {
    const std::size_t n = line.size();
    const char16_t* const units = line.data();
    __m256i t[6];
    load_tables_32(filter.nibble_tables_[0][0].data(), t);
    bool outside_ascii = false;
    __m256i previous_0 = _mm256_setzero_si256();
    __m256i previous_1 = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i bytes = packed_32(units + i);
        if (!outside_ascii && _mm256_movemask_epi8(bytes) != 0) {
            outside_ascii = true;
            load_tables_32(filter.nibble_tables_[1][0].data(), t);
        }
        const __m256i r0 = lookup_32(bytes, t, 0);
        const __m256i r1 = lookup_32(bytes, t, 1);
        const __m256i r2 = lookup_32(bytes, t, 2);
        const __m256i c =
            _mm256_and_si256(_mm256_and_si256(shifted_in<2>(r0, previous_0), shifted_in<1>(r1, previous_1)),
                             _mm256_and_si256(r2, _mm256_set1_epi8(static_cast<char>(live))));
        previous_0 = r0;
        previous_1 = r1;
        if (!report_32(c, i, 0xFFFFFFFFu)) return;
    }
    const std::size_t o = n - 32;
    const __m256i bytes = packed_32(units + o);
    if (!outside_ascii && _mm256_movemask_epi8(bytes) != 0) load_tables_32(filter.nibble_tables_[1][0].data(), t);
    const __m256i padding = _mm256_set1_epi8(static_cast<char>(padding_byte));
    const __m256i c = _mm256_and_si256(
        _mm256_and_si256(lookup_32(bytes, t, 0), lookup_32(shifted_out<1>(bytes, padding), t, 1)),
        _mm256_and_si256(lookup_32(shifted_out<2>(bytes, padding), t, 2), _mm256_set1_epi8(static_cast<char>(live))));
    const std::size_t rest = n - i;
    // Places in order, so that a filter's first let-through is its first place.
    if (rest == 31) verify_at(o - 1);
    report_32(c, o + 2, rest < 30 ? 0xFFFFFFFFu << (30 - rest) : 0xFFFFFFFFu);
}

#endif

}  // namespace huecast

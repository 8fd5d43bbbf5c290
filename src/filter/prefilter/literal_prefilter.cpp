#include "filter/prefilter/literal_prefilter.h"

#include <stdexcept>

#include "filter/prefilter/prefilter_scan.h"
#include "filter/prefilter/prefilter_tables.h"

namespace huecast {

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters)
    : literal_prefilter(filters, fastest()) {}

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters, scan_method method)
    : method_(method) {
    if (!supported(method)) throw std::invalid_argument("scan method not supported by this processor");
    auto tables = std::make_shared<prefilter_tables>(build_prefilter_tables(filters));
    useful_ = tables->used_buckets != 0;
    folds_beyond_ascii_ = !tables->folding_beyond_ascii.empty();
    tables_ = std::move(tables);
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
        case scan_method::neon:
#if defined(HUECAST_PREFILTER_NEON)
            return true;
#else
            return false;
#endif
    }
    return false;
}

scan_method literal_prefilter::fastest() {
    for (const scan_method m : {scan_method::avx2, scan_method::ssse3, scan_method::neon}) {
        if (supported(m)) return m;
    }
    return scan_method::portable;
}

void literal_prefilter::scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match) const {
    scan(line, may_hold_equivalents, may_match, nullptr);
}

void literal_prefilter::scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match,
                             std::vector<std::uint32_t>& first_at) const {
    first_at.resize(tables_->always.size());
    scan(line, may_hold_equivalents, may_match, first_at.data());
}

void literal_prefilter::scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match,
                             std::uint32_t* first_at) const {
    const prefilter_tables& t = *tables_;
    may_match.assign(t.always.begin(), t.always.end());
    if (!useful_) return;
    if (may_hold_equivalents) {
        for (const std::uint32_t f : t.folding_beyond_ascii) {
            may_match[f] = 1;
            if (first_at != nullptr) first_at[f] = unknown_place;
        }
    }
    prefilter_line_scan state{t, line, may_match.data(), first_at, t.used_groups, t.used_buckets};
    // A SIMD method needs a line of one block at least; a shorter one falls to the next
    // method down.
#if defined(HUECAST_PREFILTER_AVX2)
    if (method_ == scan_method::avx2 && line.size() >= 32) {
        scan_avx2(state);
        return;
    }
#endif
#if defined(HUECAST_PREFILTER_X86)
    if (method_ != scan_method::portable && line.size() >= 16) {
        scan_ssse3(state);
        return;
    }
#endif
#if defined(HUECAST_PREFILTER_NEON)
    if (method_ == scan_method::neon && line.size() >= 16) {
        scan_neon(state);
        return;
    }
#endif
    scan_portable(state);
}

}  // namespace huecast

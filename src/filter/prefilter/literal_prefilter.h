// Tells, for a line, which filters can possibly match it, from the literals that every match
// of each must contain (expression_facts): all filters at once, in one pass over the line.
// The answer is exact for the literals: a filter is let through exactly when one of its
// literals occurs in the line, compared as case_folding.h folds, and then it also tells
// where the first of them begins.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "filter/match/expression_facts.h"

namespace huecast {

struct prefilter_tables;

// How a line is scanned. Every method gives the same answers; they differ only in speed and
// in what the processor must offer.
enum class scan_method {
    portable,  // plain C++, everywhere
    ssse3,     // 16 bytes at a time (x86-64 with SSSE3)
    avx2,      // 32 bytes at a time (x86-64 with AVX2; not in Windows builds)
    neon,      // 16 bytes at a time (aarch64, which always has it)
};

// Copyable, immutable after construction, and safe to share between threads.
class literal_prefilter {
public:
    // One entry per filter, in the filters' order. Uses the fastest method this processor has.
    explicit literal_prefilter(const std::vector<required_literals>& filters);
    // With a method of one's choosing, which must be supported.
    literal_prefilter(const std::vector<required_literals>& filters, scan_method method);

    static bool supported(scan_method method);
    static scan_method fastest();

    // Sets may_match (resized to the number of filters) to 0 only for a filter that has no
    // match anywhere in `line`, and to 1 otherwise; 1 is never wrong. A filter with nothing
    // known is always 1; any other is 1 exactly when one of its literals occurs in the line.
    // The line may hold anything (bytes that are not UTF-8, NUL, CR). Where
    // `may_hold_equivalents` (search_text), a filter with a literal that an equivalent outside
    // ASCII could match is let through unscanned.
    void scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match) const;
    // The same, and for every filter let through by a literal, where in the line the first
    // of its literals begins: unknown_place for one let through unscanned (first_at resized;
    // other entries are left undefined).
    void scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match,
              std::vector<std::uint32_t>& first_at) const;
    static constexpr std::uint32_t unknown_place = ~std::uint32_t{0};

    // False when no filter has literals: every answer is 1, and the caller can skip scanning.
    bool useful() const { return useful_; }
    // False when no literal has a letter that an equivalent outside ASCII may stand for:
    // then whether a line holds one makes no difference.
    bool folds_beyond_ascii() const { return folds_beyond_ascii_; }

    scan_method method() const { return method_; }

private:
    void scan(std::string_view line, bool may_hold_equivalents, std::vector<char>& may_match,
              std::uint32_t* first_at) const;

    std::shared_ptr<const prefilter_tables> tables_;
    bool useful_ = false;
    bool folds_beyond_ascii_ = false;
    scan_method method_ = scan_method::portable;
};

}  // namespace huecast

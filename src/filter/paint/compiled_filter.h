// A filter ready to paint with: the styles of its matches and of their capture groups, its
// expression compiled, and the label that names it in messages. The one record of a filter
// once its text has been read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "colour/colour.h"
#include "filter/match/matcher.h"
#include "filter/sources/filter_arguments.h"
#include "value_or_error.h"

namespace huecast {

// Aligned so that its size is a multiple of 128: the filter set's loops then find a filter
// with a shift and at most one addition, as they did before the group styles came.
struct alignas(128) compiled_filter {
    std::optional<text_colour> colour;  // the match's style; none: the match is left as it is
    matcher expression;
    std::string label;
    // The styles of groups 1, 2, ..., up to the last that has one; the expression reports
    // those groups. None for a filter that styles no group.
    std::vector<std::optional<text_colour>> group_styles = {};
};

// The most that the compiled expressions of a run may take in all: far more than any real
// set of filters needs, and little enough that a file of thousands of huge expressions is
// refused at start-up rather than taking the machine's memory.
constexpr std::size_t most_compiled_bytes = std::size_t{64} << 20;

// Every filter of `filters` compiled, front first; or the message for the first whose
// expression does not compile (its label, PCRE2's reason and where), whose group styles
// outnumber its expression's groups, or with which the compiled expressions would take
// more than most_compiled_bytes.
value_or_error<std::vector<compiled_filter>, std::string> compile_filters(const FilterList& filters,
                                                                          const match_limits& limits = {});

}  // namespace huecast

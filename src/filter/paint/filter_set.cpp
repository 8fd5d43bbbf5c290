#include "filter/paint/filter_set.h"

#include <algorithm>

namespace huecast {
namespace {

// What the prefilter is given to look for. A literal of one byte (a blank, an "=") is in
// nearly every line: it rules out little, and the places it stands keep its bucket of the
// scan busy for the other literals, so a filter that needs one is searched in every line.
bool selective(const required_literals& literals) {
    return std::none_of(literals.any_of.begin(), literals.any_of.end(),
                        [](const std::string& text) { return text.size() < 2; });
}

std::vector<required_literals> literals_of(const std::vector<compiled_filter>& filters) {
    std::vector<required_literals> literals;
    for (const compiled_filter& f : filters) {
        const required_literals& required = f.expression.facts().required;
        literals.push_back(selective(required) ? required : required_literals{});
    }
    return literals;
}

// A plain word's first match comes from the scan, where the scan looks for it.
std::vector<std::uint32_t> word_lengths_of(const std::vector<compiled_filter>& filters) {
    std::vector<std::uint32_t> lengths;
    for (const compiled_filter& f : filters) {
        const expression_facts& facts = f.expression.facts();
        lengths.push_back(selective(facts.required) ? static_cast<std::uint32_t>(facts.plain_literal.size()) : 0);
    }
    return lengths;
}

}  // namespace

filter_set::filter_set(std::vector<compiled_filter> filters)
    : filters_(std::move(filters)),
      word_length_(word_lengths_of(filters_)),
      prefilter_(literals_of(filters_)),
      first_at_(filters_.size(), 0),
      next_(filters_.size()),
      budget_(filters_.size()) {}

void filter_set::search_from(std::size_t filter, std::size_t position) {
    next_match& next = next_[filter];
    switch (filters_[filter].expression.search(line_, position, anchor::unanchored, next.match, budget_[filter])) {
        case search_result::found:
            next.state = next_match::found;
            break;
        case search_result::none:
            next.state = next_match::none;
            break;
        case search_result::gave_up:
            next.state = next_match::gave_up;
            gave_up_.push_back(filter);
            break;
    }
}

}  // namespace huecast

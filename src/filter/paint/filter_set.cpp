#include "filter/paint/filter_set.h"

#include <algorithm>
#include <cstring>
#include <string>

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

// For a filter left out of the prefilter: the bytes of its literals when every one is a
// single byte that stands only for itself (no letter, which case folding may let other
// characters match). A line that holds none of them cannot match; a few calls of memchr
// tell, and a search that would look for them at every place is saved. Rare bytes ("@",
// "=", "/") save the most, and a common one costs next to nothing, being found at once.
std::vector<std::string> required_bytes_of(const std::vector<compiled_filter>& filters) {
    std::vector<std::string> bytes;
    for (const compiled_filter& f : filters) {
        const required_literals& required = f.expression.facts().required;
        std::string of_filter;
        const bool all_bytes = !required.any_of.empty() && !selective(required) &&
                               std::all_of(required.any_of.begin(), required.any_of.end(), [](const std::string& text) {
                                   const auto c = static_cast<unsigned char>(text[0]);
                                   return text.size() == 1 && c < 0x80 && !(c >= 'a' && c <= 'z');
                               });
        if (all_bytes && required.any_of.size() <= 4) {
            for (const std::string& text : required.any_of) of_filter += text;
        }
        bytes.push_back(std::move(of_filter));
    }
    return bytes;
}

}  // namespace

bool filter_set::holds_one_of(const std::string& bytes, std::string_view line) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [&](char c) { return std::memchr(line.data(), c, line.size()) != nullptr; });
}

filter_set::filter_set(std::vector<compiled_filter> filters)
    : filters_(std::move(filters)),
      word_length_(word_lengths_of(filters_)),
      required_bytes_(required_bytes_of(filters_)),
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

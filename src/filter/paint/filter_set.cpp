#include "filter/paint/filter_set.h"

namespace huecast {
namespace {

std::vector<required_literals> literals_of(const std::vector<matcher>& filters) {
    std::vector<required_literals> literals;
    for (const matcher& m : filters) literals.push_back(m.facts().required);
    return literals;
}

std::vector<std::uint32_t> word_lengths_of(const std::vector<matcher>& filters) {
    std::vector<std::uint32_t> lengths;
    for (const matcher& m : filters) lengths.push_back(static_cast<std::uint32_t>(m.facts().plain_literal.size()));
    return lengths;
}

}  // namespace

filter_set::filter_set(std::vector<matcher> filters)
    : filters_(std::move(filters)),
      word_length_(word_lengths_of(filters_)),
      prefilter_(literals_of(filters_)),
      first_at_(filters_.size(), 0) {}

}  // namespace huecast

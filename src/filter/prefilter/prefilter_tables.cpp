#include "filter/prefilter/prefilter_tables.h"

#include <algorithm>
#include <map>

namespace huecast {
namespace {

using tables = prefilter_tables;

// Each distinct literal once, with the filters it lets through, sorted by text; a filter
// with nothing known is marked in `always` instead.
using literal_users = std::map<std::string, std::vector<std::uint32_t>>;

literal_users users_of_literals(const std::vector<required_literals>& filters, std::vector<char>& always) {
    literal_users users;
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const auto& any_of = filters[f].any_of;
        const bool known = !any_of.empty() && std::none_of(any_of.begin(), any_of.end(),
                                                           [](const std::string& t) { return t.empty(); });
        if (!known) {
            always[f] = 1;
            continue;
        }
        for (const std::string& text : any_of) {
            auto& u = users[text];
            if (u.empty() || u.back() != f) u.push_back(static_cast<std::uint32_t>(f));
        }
    }
    return users;
}

// Literals that share a bucket should look alike where the tables check them: short ones
// (which pass anything past their end) go together, the rest by their start.
std::vector<const literal_users::value_type*> in_bucket_order(const literal_users& users) {
    std::vector<const literal_users::value_type*> order;
    for (const auto& entry : users) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return std::min(a->first.size(), tables::checked_units) < std::min(b->first.size(), tables::checked_units);
    });
    return order;
}

void add_literal(tables& t, const std::string& text, const std::vector<std::uint32_t>& users) {
    tables::literal& added = t.literals.emplace_back();
    added.text = static_cast<std::uint32_t>(t.texts.size());
    added.length = static_cast<std::uint32_t>(text.size());
    added.filters = static_cast<std::uint32_t>(t.literal_filters.size());
    added.filter_count = static_cast<std::uint32_t>(users.size());
    for (std::size_t k = 0; k < std::min(text.size(), tables::head_units); ++k) added.head[k] = text[k];
    t.texts += text;
    t.literal_filters.insert(t.literal_filters.end(), users.begin(), users.end());
}

// The group and nibble tables let the literal through wherever its first units may stand.
void add_checked_units(tables& t, const std::string& text, std::size_t group, std::size_t bucket) {
    const std::uint64_t group_bit = std::uint64_t{1} << group;
    const auto bucket_bit = static_cast<std::uint8_t>(1u << bucket);
    for (std::size_t j = 0; j < tables::checked_units; ++j) {
        if (j >= text.size()) {
            for (auto& entry : t.group_table[j]) entry |= group_bit;
            for (auto& entry : t.nibble_tables[j]) entry |= bucket_bit;
            for (auto& entry : t.nibble_tables[j + tables::checked_units]) entry |= bucket_bit;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[j]);
        t.group_table[j][c] |= group_bit;
        // The byte in either case: a letter's cases differ in bit 5 alone.
        const unsigned char cases[2] = {c, static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 0x20 : c)};
        for (const unsigned char b : cases) {
            t.nibble_tables[j][b & 0x0F] |= bucket_bit;
            t.nibble_tables[j + tables::checked_units][b >> 4] |= bucket_bit;
        }
    }
}

// A bucket of one literal names it, and then needs no group lookup.
void find_sole_literals(tables& t) {
    t.sole_literal.fill(tables::no_literal);
    const std::size_t n = t.literals.size();
    for (std::size_t l = 0; l < n; ++l) {
        const std::size_t b = tables::bucket_of(l, n);
        const bool alone =
            (l == 0 || tables::bucket_of(l - 1, n) != b) && (l + 1 == n || tables::bucket_of(l + 1, n) != b);
        if (alone) t.sole_literal[b] = static_cast<std::uint32_t>(l);
    }
}

// The literals of each filter, and the filters of each bucket, for the scan to tell when a
// group or a bucket has nothing more to find.
void index_filters(tables& t, std::size_t filter_count) {
    std::vector<std::vector<std::uint32_t>> literals_of_filter(filter_count);
    std::array<std::vector<std::uint32_t>, tables::buckets> filters_in_bucket;
    for (std::size_t l = 0; l < t.literals.size(); ++l) {
        const tables::literal& lit = t.literals[l];
        const std::size_t b = tables::bucket_of(l, t.literals.size());
        for (std::uint32_t k = 0; k < lit.filter_count; ++k) {
            const std::uint32_t f = t.literal_filters[lit.filters + k];
            literals_of_filter[f].push_back(static_cast<std::uint32_t>(l));
            t.buckets_of_filter[f] = static_cast<std::uint8_t>(t.buckets_of_filter[f] | 1u << b);
            auto& in = filters_in_bucket[b];
            if (std::find(in.begin(), in.end(), f) == in.end()) in.push_back(f);
        }
    }
    t.filter_literal_begin.push_back(0);
    for (const auto& own : literals_of_filter) {
        t.filter_literals.insert(t.filter_literals.end(), own.begin(), own.end());
        t.filter_literal_begin.push_back(static_cast<std::uint32_t>(t.filter_literals.size()));
    }
    for (std::size_t b = 0; b < tables::buckets; ++b) {
        t.bucket_filters.insert(t.bucket_filters.end(), filters_in_bucket[b].begin(), filters_in_bucket[b].end());
        t.bucket_filter_begin[b + 1] = static_cast<std::uint32_t>(t.bucket_filters.size());
    }
}

}  // namespace

prefilter_tables build_prefilter_tables(const std::vector<required_literals>& filters) {
    tables t;
    t.always.assign(filters.size(), 0);
    t.buckets_of_filter.assign(filters.size(), 0);
    const literal_users users = users_of_literals(filters, t.always);
    const auto order = in_bucket_order(users);
    for (std::size_t l = 0; l < order.size(); ++l) {
        const auto& [text, literal_users] = *order[l];
        const std::size_t bucket = tables::bucket_of(l, order.size());
        add_literal(t, text, literal_users);
        add_checked_units(t, text, l % tables::groups, bucket);
        t.used_buckets = static_cast<std::uint8_t>(t.used_buckets | 1u << bucket);
        t.used_groups |= std::uint64_t{1} << (l % tables::groups);
    }
    find_sole_literals(t);
    index_filters(t, filters.size());
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const auto& any_of = filters[f].any_of;
        const bool folds = std::any_of(any_of.begin(), any_of.end(), [](const std::string& text) {
            return std::any_of(text.begin(), text.end(), has_equivalent);
        });
        if (folds && t.always[f] == 0) t.folding_beyond_ascii.push_back(static_cast<std::uint32_t>(f));
    }
    return t;
}

}  // namespace huecast

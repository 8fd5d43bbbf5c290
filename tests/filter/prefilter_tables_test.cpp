// The prefilter's tables against what they promise the scans, on random literal sets: every
// literal and filter indexed once and consistently, and every byte of a line that folds to a
// literal's byte let through wherever the scans look it up.
#include "filter/prefilter/prefilter_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "random_filters.h"

namespace huecast {
namespace {

using tables = prefilter_tables;

// Random literal sets: a small alphabet so that literals share bytes, lengths from one byte
// to far past what the tables check, filters with nothing known, and sets large enough to
// fill every bucket and wrap around the groups.
std::vector<required_literals> random_literal_sets(std::mt19937& rng, std::size_t round) {
    static const std::string letters = "abkse0 \r-";
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    std::vector<required_literals> filters(1 + pick(round % 5 == 0 ? 80 : 8));
    for (required_literals& f : filters) {
        if (pick(6) == 0) continue;
        for (std::size_t n = 1 + pick(round % 3 == 0 ? 10 : 3); n > 0; --n) {
            std::string literal;
            for (std::size_t length = 1 + pick(pick(4) == 0 ? 12 : 4); literal.size() < length;) {
                literal += letters[pick(letters.size())];
            }
            f.any_of.push_back(literal);
        }
    }
    return filters;
}

std::string text_of(const tables& t, std::size_t l) {
    return t.texts.substr(t.literals[l].text, t.literals[l].length);
}

TEST(PrefilterTables, IndexEveryLiteralAndFilterOnce) {
    std::mt19937 rng(11);
    for (std::size_t round = 0, rounds = testing::seed_count(200); round < rounds; ++round) {
        const std::vector<required_literals> filters = random_literal_sets(rng, round);
        const tables t = build_prefilter_tables(filters);
        const std::size_t n = t.literals.size();

        // Each distinct literal once, with exactly the filters that listed it, and the filters
        // with nothing known always let through.
        std::set<std::string> distinct;
        for (const required_literals& f : filters) distinct.insert(f.any_of.begin(), f.any_of.end());
        ASSERT_EQ(n, distinct.size());
        for (std::size_t f = 0; f < filters.size(); ++f) {
            EXPECT_EQ(t.always[f], filters[f].any_of.empty() ? 1 : 0);
            std::set<std::string> indexed;
            for (std::uint32_t k = t.filter_literal_begin[f]; k < t.filter_literal_begin[f + 1]; ++k) {
                indexed.insert(text_of(t, t.filter_literals[k]));
            }
            EXPECT_EQ(indexed, std::set<std::string>(filters[f].any_of.begin(), filters[f].any_of.end()));
        }
        std::vector<std::uint8_t> buckets_of_filter(filters.size(), 0);
        std::array<std::set<std::uint32_t>, tables::buckets> filters_in_bucket;
        for (std::size_t l = 0; l < n; ++l) {
            const std::string text = text_of(t, l);
            ASSERT_TRUE(distinct.count(text)) << testing::shown(text);
            const tables::literal& lit = t.literals[l];
            const std::size_t b = tables::bucket_of(l, n);
            for (std::uint32_t k = 0; k < lit.filter_count; ++k) {
                const std::uint32_t f = t.literal_filters[lit.filters + k];
                const auto& own = filters[f].any_of;
                EXPECT_NE(std::find(own.begin(), own.end(), text), own.end());
                buckets_of_filter[f] = static_cast<std::uint8_t>(buckets_of_filter[f] | 1u << b);
                filters_in_bucket[b].insert(f);
            }
        }
        EXPECT_EQ(t.buckets_of_filter, buckets_of_filter);
        for (std::size_t b = 0; b < tables::buckets; ++b) {
            const std::set<std::uint32_t> indexed(t.bucket_filters.begin() + t.bucket_filter_begin[b],
                                                  t.bucket_filters.begin() + t.bucket_filter_begin[b + 1]);
            EXPECT_EQ(indexed, filters_in_bucket[b]) << "bucket " << b;
        }
    }
}

// Every byte that folds to `c`, found by trying them all.
const std::vector<unsigned char>& folding_to(unsigned char c) {
    static const std::vector<std::vector<unsigned char>> by_folded = [] {
        std::vector<std::vector<unsigned char>> bytes(tables::past_end);
        for (unsigned b = 0; b <= 0xFF; ++b) bytes[folded_byte(static_cast<unsigned char>(b))].push_back(b);
        return bytes;
    }();
    return by_folded[c];
}

TEST(PrefilterTables, LetEveryFoldedFormOfALiteralThrough) {
    std::mt19937 rng(12);
    for (std::size_t round = 0, rounds = testing::seed_count(200); round < rounds; ++round) {
        const tables t = build_prefilter_tables(random_literal_sets(rng, round));
        const std::size_t n = t.literals.size();
        const auto& nibbles = t.nibble_tables;
        for (std::size_t l = 0; l < n; ++l) {
            const std::string text = text_of(t, l);
            const std::uint64_t group_bit = std::uint64_t{1} << (l % tables::groups);
            const unsigned bucket_bit = 1u << tables::bucket_of(l, n);
            for (std::size_t j = 0; j < tables::checked_units; ++j) {
                if (j >= text.size()) {
                    // Past its end a literal accepts anything, the end of the line included.
                    for (std::size_t x = 0; x <= tables::past_end; ++x) EXPECT_NE(t.group_table[j][x] & group_bit, 0u);
                    for (std::size_t nibble = 0; nibble < 16; ++nibble) {
                        EXPECT_NE(nibbles[j][nibble] & bucket_bit, 0u);
                        EXPECT_NE(nibbles[j + tables::checked_units][nibble] & bucket_bit, 0u);
                    }
                    continue;
                }
                const auto c = static_cast<unsigned char>(text[j]);
                EXPECT_NE(t.group_table[j][c] & group_bit, 0u);
                // Every byte of a line that folds to it, as the SIMD scans read it.
                for (const unsigned char b : folding_to(c)) {
                    EXPECT_NE(nibbles[j][b & 0x0F] & nibbles[j + tables::checked_units][b >> 4] & bucket_bit, 0u)
                        << "byte " << unsigned{b} << " for " << testing::shown(text);
                }
            }
        }
        // The padding past a line's end lets through only the buckets of literals that have
        // ended by then.
        for (std::size_t j = 0; j < tables::checked_units; ++j) {
            unsigned ended = 0;
            for (std::size_t l = 0; l < n; ++l) {
                if (t.literals[l].length <= j) ended |= 1u << tables::bucket_of(l, n);
            }
            EXPECT_EQ(nibbles[j + tables::checked_units][padding_byte >> 4], ended);
        }
    }
}

}  // namespace
}  // namespace huecast

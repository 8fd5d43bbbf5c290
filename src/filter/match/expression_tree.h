// A filter expression read into the small tree that its facts are taken from, each node a
// part read as PCRE2 reads it. Where the literals of a part cannot be vouched for, it is an
// unknown node, and the literal facts take their safe answer; what the reader still follows
// inside it stays in the tree for the other facts.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace huecast {

enum class node_kind : std::uint8_t {
    literal,       // one ASCII character that stands for itself
    single,        // any other one character: a class, `.`, an escape, a character above ASCII
    sequence,      // its children one after another
    alternatives,  // one of its children (two or more)
    repeat,        // its one child, from `least` to `most` times
    group,         // its one child, in parentheses of any kind that match it as it is
    lookahead,     // its one child ahead, or (negative) its absence
    lookbehind,    // its one child behind, or (negative) its absence
    anchor,        // a place, matching nothing
    empty,         // a comment, an empty quote, options set for the rest of the group
    verb,          // a control verb, an option at the start, an alpha assertion (its body, if any)
    unknown,       // what the literals cannot be vouched for in; holds what was read inside it
};

enum class single_kind : std::uint8_t {
    any_but_break,    // `.` and `\N`
    character_class,  // [...]
    character_type,   // \d, \w, \s and their opposites
    other,
};

enum class anchor_kind : std::uint8_t {
    line_start,         // ^
    line_end,           // $
    text_start,         // \A
    text_end,           // \z, \Z
    search_start,       // \G
    word_boundary,      // \b
    not_word_boundary,  // \B
    word_start,         // [[:<:]]
    word_end,           // [[:>:]]
    reported_start,     // \K
};

struct expression_node {
    static constexpr unsigned unbounded = std::numeric_limits<unsigned>::max();

    node_kind kind = node_kind::sequence;
    char folded = 0;     // literal: the character as folded_byte folds it
    bool plain = false;  // literal: written as itself, printable, and no operator
    single_kind single = single_kind::other;
    anchor_kind anchor = anchor_kind::line_start;
    bool names_beyond_ascii = false;  // single: an escape may name a character above U+007F
    bool negative = false;  // lookahead, lookbehind
    unsigned least = 1;     // repeat
    unsigned most = 1;      // repeat; unbounded for no limit
    std::vector<expression_node> children;
};

struct expression_tree {
    expression_node root;
    // The reader lost track of how the text reads (extended mode, an expression that does
    // not compile, nesting deeper than PCRE2 allows): root is an unknown node that holds
    // only the `\G` anchors found among the text's escapes, since the search start has no
    // safe side (expression_facts::asserts_search_start).
    bool lost = false;
    // Some byte of the text lies above 0x7F: a character written as itself, wherever it is.
    bool writes_beyond_ascii = false;
};

// `expression` in the dialect that the matcher compiles (PCRE2 with UTF, caseless, ALT_BSUX,
// ALLOW_EMPTY_CLASS).
expression_tree read_expression_tree(std::string_view expression);

// True when `node` or any node below it satisfies `test`.
template <class Test>
bool holds(const expression_node& node, const Test& test) {
    if (test(node)) return true;
    for (const expression_node& child : node.children) {
        if (holds(child, test)) return true;
    }
    return false;
}

}  // namespace huecast

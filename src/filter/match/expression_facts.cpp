#include "filter/match/expression_facts.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "filter/match/expression_tree.h"

namespace huecast {
namespace {

using literal_set = std::vector<std::string>;

// A set this large says little and costs the prefilter more than it saves.
constexpr std::size_t most_literals = 64;

// What is known of every text that one part of an expression matches.
struct piece {
    // Every match is exactly `front`; then `back` is unused.
    bool exact = true;
    std::string front;  // every match begins with this
    std::string back;   // every match ends with this
    // Every text in which a match is found contains one of these (also from lookarounds,
    // so not necessarily inside the match). Empty: nothing known.
    literal_set needs;

    const std::string& ending() const { return exact ? front : back; }
};

piece matching_anything() {
    piece p;
    p.exact = false;
    return p;
}

// A set is more selective the longer its shortest member is, then the fewer members it has.
bool more_selective(const literal_set& a, const literal_set& b) {
    if (a.empty()) return false;
    if (b.empty()) return true;
    const auto shortest = [](const literal_set& s) {
        std::size_t n = s.front().size();
        for (const std::string& t : s) n = std::min(n, t.size());
        return n;
    };
    const std::size_t sa = shortest(a);
    const std::size_t sb = shortest(b);
    return sa != sb ? sa > sb : a.size() < b.size();
}

void consider(literal_set& needs, literal_set candidate) {
    if (more_selective(candidate, needs)) needs = std::move(candidate);
}

void consider(literal_set& needs, const std::string& text) {
    if (!text.empty()) consider(needs, literal_set{text});
}

// The best single requirement of a piece, from all it knows.
literal_set best_of(const piece& p) {
    literal_set best = p.needs;
    consider(best, p.front);
    if (!p.exact) consider(best, p.back);
    return best;
}

// Drops members that contain another member (a text holding the longer holds the shorter)
// and duplicates; an empty result means the set is of no use.
literal_set minimised(literal_set set) {
    std::sort(set.begin(), set.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    literal_set kept;
    for (std::string& t : set) {
        if (t.empty()) return {};
        const bool covered = std::any_of(kept.begin(), kept.end(), [&](const std::string& k) {
            return t.find(k) != std::string::npos;
        });
        if (!covered) kept.push_back(std::move(t));
    }
    if (kept.size() > most_literals) return {};
    return kept;
}

// `seq` followed by `next`. A piece's front and back are weighed only when it is done
// with (best_of), so only a text that is about to be dropped is weighed here.
void append(piece& seq, piece&& next) {
    consider(seq.needs, std::move(next.needs));
    if (seq.exact) {
        seq.front += next.front;
        if (!next.exact) {
            seq.exact = false;
            seq.back = std::move(next.back);
        }
    } else if (next.exact) {
        seq.back += next.front;
    } else {
        // The end of what came before touches the start of what follows.
        consider(seq.needs, seq.back + next.front);
        seq.back = std::move(next.back);
    }
}

piece repeated(piece p, unsigned least, unsigned most) {
    if (least == 1 && most == 1) return p;
    const bool zero_width = p.exact && p.front.empty();
    if (least == 0) return zero_width ? piece{} : matching_anything();
    if (zero_width) return p;
    piece r = matching_anything();
    r.needs = std::move(p.needs);
    r.front = p.front;
    r.back = p.ending();
    return r;
}

std::string common_prefix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return a.substr(0, n);
}

std::string common_suffix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return a.substr(a.size() - n);
}

// One of `branches`.
piece either(std::vector<piece>& branches) {
    if (branches.size() == 1) return std::move(branches.front());
    piece r;
    r.front = branches.front().front;
    std::string back = branches.front().ending();
    literal_set any;
    bool all_known = true;
    for (const piece& b : branches) {
        r.exact = r.exact && b.exact && b.front == branches.front().front;
        r.front = common_prefix(r.front, b.front);
        back = common_suffix(back, b.ending());
        literal_set own = best_of(b);
        if (own.empty()) all_known = false;
        any.insert(any.end(), own.begin(), own.end());
    }
    if (!r.exact) r.back = std::move(back);
    if (all_known) r.needs = minimised(std::move(any));
    consider(r.needs, r.front);
    if (!r.exact) consider(r.needs, r.back);
    return r;
}

// A lookaround matches nothing itself; a positive one still needs its text somewhere in the
// line.
piece assertion(const piece& inner, bool positive) {
    piece p;
    if (positive) p.needs = best_of(inner);
    return p;
}

// What is known of every text that `node` matches. Only asked of a tree that holds nothing
// unknown and no verb.
piece piece_of(const expression_node& node) {
    switch (node.kind) {
        case node_kind::literal: {
            piece p;
            p.front = std::string(1, node.folded);
            return p;
        }
        case node_kind::sequence: {
            piece seq;
            for (const expression_node& item : node.children) append(seq, piece_of(item));
            return seq;
        }
        case node_kind::alternatives: {
            std::vector<piece> branches;
            for (const expression_node& branch : node.children) branches.push_back(piece_of(branch));
            return either(branches);
        }
        case node_kind::repeat:
            return repeated(piece_of(node.children.front()), node.least, node.most);
        case node_kind::group:
            return piece_of(node.children.front());
        case node_kind::lookahead:
        case node_kind::lookbehind:
            return assertion(piece_of(node.children.front()), !node.negative);
        case node_kind::anchor:
        case node_kind::empty:
            return piece{};
        case node_kind::single:
        case node_kind::verb:
        case node_kind::unknown:
            break;
    }
    return matching_anything();
}

bool is_kind(const expression_node& n, node_kind kind) { return n.kind == kind; }
bool is_anchor(const expression_node& n, anchor_kind what) {
    return n.kind == node_kind::anchor && n.anchor == what;
}
bool is_single(const expression_node& n, single_kind what) {
    return n.kind == node_kind::single && n.single == what;
}
bool is_word_boundary(const expression_node& n) {
    return is_anchor(n, anchor_kind::word_boundary) || is_anchor(n, anchor_kind::not_word_boundary) ||
           is_anchor(n, anchor_kind::word_start) || is_anchor(n, anchor_kind::word_end);
}
bool looks_behind(const expression_node& n) { return is_kind(n, node_kind::lookbehind) || is_word_boundary(n); }

// A verb may tie one start's attempt to another's, look behind, set options, or (as an
// alpha assertion) hold a lookbehind.
bool holds_verb(const expression_tree& tree) {
    return holds(tree.root, [](const expression_node& n) { return is_kind(n, node_kind::verb); });
}

// The literals need every part of the tree followed; the reader gives up on them all where
// it does not follow one, since a quantifier may reach into it or past it.
required_literals required_of(const expression_tree& tree) {
    const bool followed = !tree.lost && !holds(tree.root, [](const expression_node& n) {
        return is_kind(n, node_kind::unknown) || is_kind(n, node_kind::verb);
    });
    if (!followed) return {};
    return {minimised(best_of(piece_of(tree.root)))};
}

std::string plain_literal_of(const expression_tree& tree) {
    if (tree.lost || tree.root.kind != node_kind::sequence) return {};
    std::string word;
    for (const expression_node& item : tree.root.children) {
        if (item.kind != node_kind::literal || !item.plain) return {};
        word += item.folded;
    }
    return word;
}

// Where the front of a text is: whether it holds there says whether anything lies before.
bool is_start_anchor(const expression_node& n) {
    return is_anchor(n, anchor_kind::line_start) || is_anchor(n, anchor_kind::text_start) ||
           is_anchor(n, anchor_kind::search_start);
}

// How many characters before an attempt's start the expression may look at. A word
// boundary looks back one character from where it stands, which is never before the start
// unless a lookbehind took it there. PCRE2 counts each lookbehind alone, so its count is the
// reach only when no lookbehind holds an assertion that looks behind or for the front (from
// a character back, `^` asks whether another lies before it), or what the reader does not
// follow (a call may hold one); otherwise nothing bounds it.
std::uint32_t behind_reach(const expression_tree& tree, const compiled_code_facts& compiled) {
    constexpr std::uint32_t unbounded = std::numeric_limits<std::uint32_t>::max();
    if (tree.lost) return unbounded;
    if (!holds(tree.root, looks_behind)) return 0;
    if (!holds(tree.root, [](const expression_node& n) { return is_kind(n, node_kind::lookbehind); })) return 1;
    const auto reaches_further = [](const expression_node& n) {
        return looks_behind(n) || is_start_anchor(n) || is_kind(n, node_kind::unknown);
    };
    const auto nests = [&](const expression_node& n) {
        return is_kind(n, node_kind::lookbehind) && holds(n.children.front(), reaches_further);
    };
    return holds(tree.root, nests) ? unbounded : compiled.max_lookbehind;
}

bool reaches_behind_start(const expression_tree& tree, const compiled_code_facts& compiled) {
    return tree.lost || holds_verb(tree) || behind_reach(tree, compiled) > 1;
}

bool sees_start_of_text(const expression_tree& tree, const compiled_code_facts& compiled) {
    return tree.lost || holds(tree.root, is_start_anchor) || holds_verb(tree) || behind_reach(tree, compiled) > 0;
}

bool same_without_utf_on_ascii(const expression_tree& tree) {
    return !tree.lost && !tree.writes_beyond_ascii && !holds_verb(tree) &&
           !holds(tree.root, [](const expression_node& n) { return n.names_beyond_ascii; });
}

bool gains_without_utf(const expression_tree& tree) {
    return !tree.lost && holds(tree.root, [](const expression_node& n) {
        return is_single(n, single_kind::any_but_break) || is_single(n, single_kind::character_class) ||
               is_single(n, single_kind::character_type) || is_word_boundary(n);
    });
}

// PCRE2 anchors an expression whose every branch begins with `.*` (at the front alone with
// (?s), after line breaks too otherwise), which shows in its start rule; the tree only
// tells whether a `.` is there at all.
bool may_begin_with_dot_star(const expression_tree& tree, const compiled_code_facts& compiled) {
    const bool dot = tree.lost || holds(tree.root, [](const expression_node& n) {
        return is_single(n, single_kind::any_but_break);
    });
    return dot && (compiled.first_code_type == 2 || compiled.anchored);
}

// Also where the reader lost track (expression_tree::lost).
bool asserts_search_start(const expression_tree& tree) {
    return holds(tree.root, [](const expression_node& n) { return is_anchor(n, anchor_kind::search_start); });
}

}  // namespace

expression_facts read_expression(std::string_view expression, const compiled_code_facts& compiled) {
    const expression_tree tree = read_expression_tree(expression);
    expression_facts facts;
    facts.plain_literal = plain_literal_of(tree);
    facts.required = required_of(tree);
    facts.reaches_behind_start = reaches_behind_start(tree, compiled);
    facts.sees_start_of_text = sees_start_of_text(tree, compiled);
    facts.same_without_utf_on_ascii = same_without_utf_on_ascii(tree);
    facts.gains_without_utf = gains_without_utf(tree);
    facts.may_begin_with_dot_star = may_begin_with_dot_star(tree, compiled);
    facts.asserts_search_start = asserts_search_start(tree);
    return facts;
}

}  // namespace huecast

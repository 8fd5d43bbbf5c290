// What a filter expression is, read once from its text in the dialect that the matcher
// compiles (expression_tree.h) and from what PCRE2 says of its compiled code: the facts that
// the matcher and the prefilter act on. No other code reads an expression's text. A fact may
// be wrong only on the side its comment names, where a wrong answer costs a search and never
// a match; what the reader does not follow for certain gives the safe answer.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace huecast {

struct required_literals {
    // Every text in which the expression finds a non-empty match (from any start, in any
    // line) contains at least one of these, compared as folded_unit folds. Empty: nothing
    // is known, and the expression must always be searched.
    std::vector<std::string> any_of;  // folded (lower-case ASCII), each non-empty
};

struct expression_facts {
    // The expression folded, when it is one plain word and nothing else: printable ASCII
    // characters that stand for themselves and are no operator. Its matches are then
    // exactly that word's places, and `required` holds that word alone. Empty otherwise;
    // empty is never wrong.
    std::string plain_literal;
    // Empty is never wrong.
    required_literals required;
    // True when the expression can look back further than one character from where an
    // attempt starts (lookbehind) or can tie one start's attempt to another's (control
    // verbs such as (*SKIP)). For any other expression, an attempt that starts past the
    // front of a text sees exactly what it would see in any longer text ending the same way.
    // True is never wrong.
    bool reaches_behind_start = true;
    // False when an attempt cannot tell the front of a text from any other place: the
    // expression has no `^`, `\A`, `\G` or verb, and nothing that looks behind. An attempt of
    // such an expression at the front of a text succeeds or fails as it did at the same
    // place in any longer text ending the same way. True is never wrong.
    bool sees_start_of_text = true;
    // True when the expression finds the same matches without UTF on a text of ASCII
    // characters alone: it names no character above U+007F, by itself or by an escape, so
    // no case folding (the Kelvin sign folds to "k") or property reaches beyond ASCII.
    // False is never wrong.
    bool same_without_utf_on_ascii = false;
    // True when a search without UTF is faster, because UTF mode must step over whole
    // characters: word boundaries, character types, classes, `.`. Either answer is correct.
    bool gains_without_utf = false;
    // True when a branch may begin with a run of any characters (`.*`, `\N*`), which PCRE2
    // tries only at the front and after line breaks. True is never wrong.
    bool may_begin_with_dot_star = true;
    // True when the expression asserts where the search began (`\G`). Read exactly: the
    // matcher tries extra starts for an expression that begins with `.*`, and `\G` would
    // hold at each of them.
    bool asserts_search_start = true;
};

// What PCRE2 says of the expression once compiled (pcre2_pattern_info), where it knows a fact
// more exactly than the text tells it. The defaults say nothing, and the facts are then
// those of the text alone.
struct compiled_code_facts {
    // PCRE2_INFO_MAXLOOKBEHIND: the longest lookbehind, in characters, each one counted
    // alone (one inside another is not added to it); `\b` and `\B` count as one.
    std::uint32_t max_lookbehind = std::numeric_limits<std::uint32_t>::max();
    // PCRE2_INFO_FIRSTCODETYPE: 2 when attempts start only at the front and after line breaks.
    std::uint32_t first_code_type = 2;
    // PCRE2_ANCHORED among PCRE2_INFO_ALLOPTIONS: attempts start only at the front.
    bool anchored = true;
};

expression_facts read_expression(std::string_view expression, const compiled_code_facts& compiled = {});

}  // namespace huecast

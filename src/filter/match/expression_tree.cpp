#include "filter/match/expression_tree.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "filter/match/case_folding.h"
#include "io/utf8.h"

namespace huecast {
namespace {

// PCRE2's own limit on nested parentheses; deeper is not worth a deeper stack.
constexpr int deepest_nesting = 250;

// Thrown where the reader cannot tell how the rest of the text is read.
struct lost_track {};

// A byte of the expression as a number, whatever the signedness of char.
constexpr unsigned char byte_value(char c) { return static_cast<unsigned char>(c); }

bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_hex_digit(char c) {
    return is_ascii_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool is_name_start(char c) { return is_ascii_letter(c) || c == '_'; }
bool is_name_char(char c) { return is_name_start(c) || is_ascii_digit(c); }
bool is_name_char_or_plus(char c) { return is_name_char(c) || c == '+'; }

// What an expression reads as an operator, or as the start of one, outside a class.
constexpr std::string_view operators = "\\^$.|?*+()[]{}";

bool is_plain(char c) {
    return byte_value(c) >= 0x20 && byte_value(c) <= 0x7E && operators.find(c) == std::string_view::npos;
}

expression_node leaf(node_kind kind) {
    expression_node n;
    n.kind = kind;
    return n;
}

expression_node literal_node(char c, bool plain) {
    expression_node n = leaf(node_kind::literal);
    n.folded = static_cast<char>(folded_byte(byte_value(c)));
    n.plain = plain;
    return n;
}

expression_node single_node(single_kind what, bool beyond_ascii = false) {
    expression_node n = leaf(node_kind::single);
    n.single = what;
    n.names_beyond_ascii = beyond_ascii;
    return n;
}

expression_node anchor_node(anchor_kind what) {
    expression_node n = leaf(node_kind::anchor);
    n.anchor = what;
    return n;
}

expression_node parent_of(node_kind kind, expression_node child) {
    expression_node n = leaf(kind);
    n.children.push_back(std::move(child));
    return n;
}

expression_node unknown_of(expression_node inside) { return parent_of(node_kind::unknown, std::move(inside)); }

expression_node look(node_kind direction, expression_node body, bool negative) {
    expression_node n = parent_of(direction, std::move(body));
    n.negative = negative;
    return n;
}

// What a class holds that matters beyond its extent.
struct class_members {
    bool beyond_ascii = false;
    bool followed = true;  // every member is read for certain
};

// A recursive-descent reader of the filter dialect. It follows the whole text, so that every
// fact sees every part; a part whose literals it does not understand for certain becomes an
// unknown node, and the reading goes on.
class tree_reader {
public:
    explicit tree_reader(std::string_view e) : e_(e) {}

    expression_node read() {
        expression_node whole = alternatives(0);
        if (i_ != e_.size()) throw lost_track{};  // a stray `)`
        return whole;
    }

private:
    bool at(std::string_view text) const { return e_.substr(i_, text.size()) == text; }
    bool more() const { return i_ < e_.size(); }
    char peek(std::size_t ahead = 0) const { return i_ + ahead < e_.size() ? e_[i_ + ahead] : '\0'; }
    bool has(std::size_t ahead) const { return i_ + ahead < e_.size(); }

    expression_node alternatives(int depth) {
        if (depth > deepest_nesting) throw lost_track{};
        expression_node first = sequence(depth);
        if (!more() || peek() != '|') return first;
        expression_node either = parent_of(node_kind::alternatives, std::move(first));
        while (more() && peek() == '|') {
            ++i_;
            either.children.push_back(sequence(depth));
        }
        return either;
    }

    expression_node sequence(int depth) {
        expression_node seq = leaf(node_kind::sequence);
        while (more() && peek() != '|' && peek() != ')') {
            if (at("\\Q")) {
                quoted(seq);
                continue;
            }
            bool quantifiable = true;
            expression_node item = atom(depth, quantifiable);
            if (starts_quantifier()) item = quantified(std::move(item), quantifiable);
            seq.children.push_back(std::move(item));
        }
        return seq;
    }

    bool starts_quantifier() const {
        return more() && (peek() == '*' || peek() == '+' || peek() == '?' || peek() == '{');
    }

    // `item` and the quantifier that follows it. A quantifier after something that cannot
    // be repeated reaches past it, and one after another is read as the next item; a `{`
    // that begins no quantifier is left to be read as the next item.
    expression_node quantified(expression_node item, bool quantifiable) {
        unsigned least = 0;
        unsigned most = 0;
        bool doubled = false;
        if (!quantifier(least, most, doubled)) return unknown_of(std::move(item));
        expression_node r = parent_of(node_kind::repeat, std::move(item));
        r.least = least;
        r.most = most;
        return quantifiable && !doubled ? std::move(r) : unknown_of(std::move(r));
    }

    // Reads a quantifier and its lazy or possessive mark. PCRE2 versions differ on what a
    // `{` that is not exactly {n}, {n,} or {n,m} means, so nothing else is taken: false,
    // with the `{` left to be read as a character.
    bool quantifier(unsigned& least, unsigned& most, bool& doubled) {
        const std::size_t start = i_;
        const char c = e_[i_++];
        if (c == '*') {
            least = 0, most = expression_node::unbounded;
        } else if (c == '+') {
            least = 1, most = expression_node::unbounded;
        } else if (c == '?') {
            least = 0, most = 1;
        } else {
            bool read = number(least);
            most = least;
            if (read && more() && peek() == ',') {
                ++i_;
                if (more() && peek() == '}') {
                    most = expression_node::unbounded;
                } else {
                    read = number(most);
                }
            }
            if (!read || !more() || peek() != '}' || most < least) {
                i_ = start;
                return false;
            }
            ++i_;
        }
        if (more() && (peek() == '?' || peek() == '+')) ++i_;
        doubled = starts_quantifier();
        return true;
    }

    bool number(unsigned& n) {
        std::size_t digits = 0;
        n = 0;
        while (more() && is_ascii_digit(peek())) {
            if (++digits > 5) return false;
            n = n * 10 + static_cast<unsigned>(e_[i_++] - '0');
        }
        return digits != 0 && n <= 0xFFFF;
    }

    // \Q...\E: each character stands for itself. PCRE2 lets a quantifier after \E reach
    // back to the last quoted character, or past an empty quote to what came before; not
    // worth following, and atom() refuses it.
    void quoted(expression_node& seq) {
        i_ += 2;
        const std::size_t before = seq.children.size();
        while (more() && !at("\\E")) seq.children.push_back(character(false));
        if (more()) i_ += 2;
        // A quote of nothing still keeps the expression from being a plain word.
        if (seq.children.size() == before) seq.children.push_back(leaf(node_kind::empty));
    }

    // One character as it stands in the text: an ASCII one is a literal, any other (all its
    // bytes taken whole) is matched some other way, perhaps as an ASCII letter.
    expression_node character(bool plain) {
        const char c = e_[i_++];
        if (byte_value(c) < 0x80) return literal_node(c, plain);
        skip_continuation();
        return single_node(single_kind::other);
    }

    // The rest of a character whose first byte was just read.
    void skip_continuation() {
        while (more() && io::utf8::is_continuation(byte_value(peek()))) ++i_;
    }

    expression_node atom(int depth, bool& quantifiable) {
        const char c = peek();
        switch (c) {
            case '(':
                return group(depth, quantifiable);
            case '[':
                return character_class();
            case '.':
                ++i_;
                return single_node(single_kind::any_but_break);
            case '^':
                ++i_;
                return anchor_node(anchor_kind::line_start);
            case '$':
                ++i_;
                return anchor_node(anchor_kind::line_end);
            case '\\':
                return escape();
            case '*':
            case '+':
            case '?':
                // Nothing to repeat, or a quantifier that reaches back past \E.
            case '{':
                // A `{` that begins no quantifier PCRE2 may read as itself, or some other way.
                ++i_;
                return leaf(node_kind::unknown);
            default:
                return character(is_plain(c));
        }
    }

    expression_node escape() {
        if (!has(1)) throw lost_track{};
        const char c = e_[i_ + 1];
        i_ += 2;
        if (byte_value(c) >= 0x80) {
            skip_continuation();
            return unknown_of(single_node(single_kind::other));
        }
        if (!is_ascii_letter(c) && !is_ascii_digit(c)) return literal_node(c, false);
        if (is_ascii_digit(c)) {
            // A back-reference or an octal character; reading every digit into it can only
            // lose a literal digit that follows, never invent one. Two digits or more may
            // name a character above U+007F.
            std::size_t digits = 1;
            for (; more() && is_ascii_digit(peek()); ++i_) ++digits;
            return single_node(single_kind::other, digits > 1);
        }
        switch (c) {
            case 'd': case 'D': case 'w': case 'W': case 's': case 'S':
                return single_node(single_kind::character_type);
            case 'h': case 'H': case 'v': case 'V': case 'R': case 'C':
            case 'a': case 'e': case 'f': case 'n': case 'r': case 't':
                return single_node(single_kind::other);
            case 'X':
                return single_node(single_kind::other, true);
            case 'N':
                if (more() && peek() == '{') {  // \N{U+hhhh}
                    braced(is_name_char_or_plus);
                    return unknown_of(single_node(single_kind::other, true));
                }
                return single_node(single_kind::any_but_break, true);
            case 'b': return anchor_node(anchor_kind::word_boundary);
            case 'B': return anchor_node(anchor_kind::not_word_boundary);
            case 'A': return anchor_node(anchor_kind::text_start);
            case 'G': return anchor_node(anchor_kind::search_start);
            case 'z': case 'Z': return anchor_node(anchor_kind::text_end);
            case 'K': return anchor_node(anchor_kind::reported_start);
            case 'x': return code_point(2);
            case 'u': return code_point(4);
            case 'o':
                if (more() && peek() == '{') braced(is_ascii_digit);
                return unknown_of(single_node(single_kind::other, true));
            case 'p':
            case 'P': {
                expression_node n = single_node(single_kind::other, true);
                return property() ? n : unknown_of(std::move(n));
            }
            case 'c':
                // The next character, whatever it is, names a control character.
                if (!more()) throw lost_track{};
                ++i_;
                return unknown_of(single_node(single_kind::other));
            case 'g':
            case 'k':
                // A back-reference or a subroutine call, by number or name.
                reference();
                return leaf(node_kind::unknown);
            default:
                return leaf(node_kind::unknown);
        }
    }

    // `{` and the characters that `valid` allows, then `}`; otherwise nothing is read.
    bool braced(bool (*valid)(char)) {
        std::size_t k = i_ + 1;
        while (k < e_.size() && valid(e_[k])) ++k;
        if (k == i_ + 1 || k >= e_.size() || e_[k] != '}') return false;
        i_ = k + 1;
        return true;
    }

    // With ECMAScript's escapes, \x and \u take exactly this many digits or a braced number;
    // without them they are other things.
    expression_node code_point(std::size_t count) {
        expression_node n = single_node(single_kind::other, true);
        if (more() && peek() == '{') {
            braced(is_hex_digit);
            return unknown_of(std::move(n));
        }
        for (std::size_t k = 0; k < count; ++k) {
            if (!more() || !is_hex_digit(peek())) return unknown_of(std::move(n));
            ++i_;
        }
        return n;
    }

    // After \p or \P: false when what follows is not a property the reader knows the extent of.
    bool property() {
        if (more() && is_ascii_letter(peek())) {
            ++i_;
            return true;
        }
        if (!more() || peek() != '{') return false;
        const std::size_t close = e_.find('}', i_);
        if (close == std::string_view::npos) throw lost_track{};
        i_ = close + 1;
        return true;
    }

    // After \g or \k: a number, or a name in <>, '' or {}.
    void reference() {
        if (!more()) return;
        const char open = peek();
        const char close = open == '<' ? '>' : open == '\'' ? '\'' : open == '{' ? '}' : '\0';
        if (close != '\0') {
            const std::size_t end = e_.find(close, i_ + 1);
            if (end == std::string_view::npos) throw lost_track{};
            i_ = end + 1;
            return;
        }
        if (peek() == '+' || peek() == '-') ++i_;
        while (more() && is_ascii_digit(peek())) ++i_;
    }

    // Only its end matters to the literals: whatever it holds, it matches one character.
    // The word boundaries [[:<:]] and [[:>:]] are classes only in how they are written.
    expression_node character_class() {
        if (at("[[:<:]]") || at("[[:>:]]")) {
            const anchor_kind side = peek(3) == '<' ? anchor_kind::word_start : anchor_kind::word_end;
            i_ += 7;
            return anchor_node(side);
        }
        class_members members;
        ++i_;
        if (more() && peek() == '^') ++i_;
        // An empty class is allowed, so a `]` at the start closes it.
        while (true) {
            if (!more()) throw lost_track{};
            const char c = e_[i_];
            if (c == ']') {
                ++i_;
                break;
            }
            if (c == '\\') {
                if (at("\\Q")) {
                    const std::size_t end = e_.find("\\E", i_ + 2);
                    if (end == std::string_view::npos) throw lost_track{};
                    i_ = end + 2;
                    continue;
                }
                if (!has(1)) throw lost_track{};
                class_escape(members);
                continue;
            }
            if (c == '[' && (peek(1) == ':' || peek(1) == '.' || peek(1) == '=')) {
                posix_class(members);
                continue;
            }
            ++i_;
        }
        expression_node n = single_node(single_kind::character_class, members.beyond_ascii);
        return members.followed ? std::move(n) : unknown_of(std::move(n));
    }

    // An escape inside a class: a member, or a set of members.
    void class_escape(class_members& members) {
        const char c = e_[i_ + 1];
        i_ += 2;
        switch (c) {
            case 'x':
            case 'u':
                members.beyond_ascii = true;
                if (more() && peek() == '{') braced(is_hex_digit);
                return;
            case 'o':
                members.beyond_ascii = true;
                if (more() && peek() == '{') braced(is_ascii_digit);
                return;
            case 'N':
            case 'X':
                members.beyond_ascii = true;
                return;
            case 'p':
            case 'P':
                members.beyond_ascii = true;
                members.followed = property() && members.followed;
                return;
            case 'c':
                // \c takes the next character, whatever it is.
                members.followed = false;
                if (!more()) throw lost_track{};
                ++i_;
                return;
            default:
                if (is_ascii_digit(c)) {
                    std::size_t digits = 1;
                    for (; more() && is_ascii_digit(peek()); ++i_) ++digits;
                    if (digits > 1) members.beyond_ascii = true;
                } else if (byte_value(c) >= 0x80) {
                    skip_continuation();
                }
                return;
        }
    }

    // [:name:] or [:^name:] inside a class; any other `[` is read as a member. PCRE2 knows
    // the word boundaries only as a whole class (character_class), and refuses them here.
    void posix_class(class_members& members) {
        std::size_t k = i_ + 2;
        if (peek(1) == ':') {
            if (k < e_.size() && e_[k] == '^') ++k;
            const std::size_t name = k;
            while (k < e_.size() && is_ascii_letter(e_[k])) ++k;
            const bool boundary = k == name && k < e_.size() && (e_[k] == '<' || e_[k] == '>');
            if (boundary) ++k;
            if (k != name && e_.substr(k, 2) == ":]") {
                if (boundary) throw lost_track{};
                i_ = k + 2;
                return;
            }
        }
        members.followed = false;
        ++i_;
    }

    expression_node group(int depth, bool& quantifiable) {
        ++i_;
        if (more() && peek() == '*') return verb_or_alpha_assertion(depth);
        if (!more() || peek() != '?') return parent_of(node_kind::group, group_body(depth));
        ++i_;
        const char kind = peek();
        switch (kind) {
            case '#': {
                const std::size_t close = e_.find(')', i_);
                if (close == std::string_view::npos) throw lost_track{};
                i_ = close + 1;
                quantifiable = false;  // PCRE2 would let a quantifier reach past it
                return leaf(node_kind::empty);
            }
            case ':':
            case '|':
            case '>':
                ++i_;
                return parent_of(node_kind::group, group_body(depth));
            case '=':
            case '!':
                ++i_;
                return look(node_kind::lookahead, group_body(depth), kind == '!');
            case '*':  // a non-atomic lookahead
                ++i_;
                return unknown_of(look(node_kind::lookahead, group_body(depth), false));
            case '<':
                if (peek(1) == '=' || peek(1) == '!' || peek(1) == '*') {
                    const char how = peek(1);
                    i_ += 2;
                    expression_node behind = look(node_kind::lookbehind, group_body(depth), how == '!');
                    return how == '*' ? unknown_of(std::move(behind)) : std::move(behind);
                }
                ++i_;
                name('>');
                return parent_of(node_kind::group, group_body(depth));
            case '\'':
                ++i_;
                name('\'');
                return parent_of(node_kind::group, group_body(depth));
            default:
                return group_of_another_kind(depth, quantifiable);
        }
    }

    // After `(?`: named groups in Python's form, conditions, callouts, calls, options.
    expression_node group_of_another_kind(int depth, bool& quantifiable) {
        const char kind = peek();
        switch (kind) {
            case 'P':
                if (peek(1) == '<') {
                    i_ += 2;
                    name('>');
                    return parent_of(node_kind::group, group_body(depth));
                }
                // (?P=name), (?P>name)
                skip_to_close();
                return leaf(node_kind::unknown);
            case '(':
                return condition(depth);
            case 'C':
                callout();
                quantifiable = false;
                return leaf(node_kind::unknown);
            case 'R':
            case '&':
            case '+':
                // A subroutine call or a recursion.
                skip_to_close();
                return leaf(node_kind::unknown);
            default:
                if (is_ascii_digit(kind) || (kind == '-' && is_ascii_digit(peek(1)))) {
                    skip_to_close();
                    return leaf(node_kind::unknown);
                }
                return options(depth, quantifiable);
        }
    }

    // (*VERB), (*VERB:name), (*:name), an option such as (*UTF) at the start, or an alpha
    // assertion such as (*plb:...), whose body is read like a group's.
    expression_node verb_or_alpha_assertion(int depth) {
        ++i_;
        expression_node verb = leaf(node_kind::verb);
        const std::size_t name = i_;
        bool lower = true;
        for (; more() && is_name_char(peek()); ++i_) lower = lower && !(peek() >= 'A' && peek() <= 'Z');
        if (i_ != name && lower && more() && peek() == ':') {
            ++i_;
            verb.children.push_back(group_body(depth));
            return verb;
        }
        skip_to_close();
        return verb;
    }

    // After `(?`: a condition in parentheses, then one or two branches.
    expression_node condition(int depth) {
        expression_node conditional = leaf(node_kind::unknown);
        if (peek(1) == '?' || peek(1) == '*') {
            bool quantifiable = true;
            // an assertion, or a callout that an assertion follows
            conditional.children.push_back(group(depth + 1, quantifiable));
        } else {
            skip_to_close();  // a group's number or name, R, DEFINE, VERSION
        }
        conditional.children.push_back(group_body(depth));
        return conditional;
    }

    // (?C), (?Cn) or (?C"text"), with the text in any of PCRE2's delimiters; two closing
    // delimiters stand for one.
    void callout() {
        ++i_;
        static constexpr std::string_view delimiters = "`'\"^%#${";
        if (more() && delimiters.find(peek()) != std::string_view::npos) {
            const char close = peek() == '{' ? '}' : peek();
            for (++i_;; ++i_) {
                if (!more()) throw lost_track{};
                if (peek() != close) continue;
                if (peek(1) != close) break;
                ++i_;
            }
            ++i_;
        }
        while (more() && is_ascii_digit(peek())) ++i_;
        if (!more() || peek() != ')') throw lost_track{};
        ++i_;
    }

    void skip_to_close() {
        const std::size_t close = e_.find(')', i_);
        if (close == std::string_view::npos) throw lost_track{};
        i_ = close + 1;
    }

    void name(char close) {
        if (!more() || !is_name_start(peek())) throw lost_track{};
        while (more() && is_name_char(peek())) ++i_;
        if (!more() || peek() != close) throw lost_track{};
        ++i_;
    }

    // (?i) or (?-i:...) and the like; none of these options changes what a literal needs,
    // except extended mode, which changes the reading of the text itself.
    expression_node options(int depth, bool& quantifiable) {
        static constexpr std::string_view harmless = "imnsJU-^";
        bool followed = true;
        for (; more() && (is_ascii_letter(peek()) || peek() == '-' || peek() == '^'); ++i_) {
            if (peek() == 'x') throw lost_track{};
            if (harmless.find(peek()) == std::string_view::npos) followed = false;
        }
        if (!more()) throw lost_track{};
        expression_node n;
        if (peek() == ')') {
            ++i_;
            quantifiable = false;
            n = leaf(node_kind::empty);
        } else {
            if (peek() != ':') throw lost_track{};
            ++i_;
            n = parent_of(node_kind::group, group_body(depth));
        }
        return followed ? std::move(n) : unknown_of(std::move(n));
    }

    expression_node group_body(int depth) {
        expression_node inner = alternatives(depth + 1);
        if (!more() || peek() != ')') throw lost_track{};
        ++i_;
        return inner;
    }

    std::string_view e_;
    std::size_t i_ = 0;
};

// Where the reader lost track, only `\G` is looked for, at every escape.
expression_node when_lost(std::string_view e) {
    expression_node unknown = leaf(node_kind::unknown);
    for (std::size_t i = 0; i + 1 < e.size(); ++i) {
        if (e[i] != '\\') continue;
        if (e[i + 1] == 'G') unknown.children.push_back(anchor_node(anchor_kind::search_start));
        ++i;
    }
    return unknown;
}

}  // namespace

expression_tree read_expression_tree(std::string_view expression) {
    expression_tree tree;
    tree.writes_beyond_ascii =
        std::any_of(expression.begin(), expression.end(), [](char c) { return byte_value(c) >= 0x80; });
    try {
        tree.root = tree_reader(expression).read();
    } catch (const lost_track&) {
        tree.root = when_lost(expression);
        tree.lost = true;
    }
    return tree;
}

}  // namespace huecast

#include "filter/match/expression_facts.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "filter/match/case_folding.h"
#include "io/utf8.h"

namespace huecast {
namespace {

using literal_set = std::vector<std::string>;

// A set this large says little and costs the prefilter more than it saves.
constexpr std::size_t most_literals = 64;
// PCRE2's own limit on nested parentheses; deeper is not worth a deeper stack.
constexpr int deepest_nesting = 250;

// Thrown where the reader cannot tell how the rest of the text is read (extended mode, or
// an expression that does not compile): every fact then takes its safe answer.
struct lost_track {};

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

// A byte of the expression as a number, whatever the signedness of char.
constexpr unsigned byte_value(char c) { return static_cast<unsigned char>(c); }

bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_hex_digit(char c) {
    return is_ascii_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool is_name_start(char c) { return is_ascii_letter(c) || c == '_'; }
bool is_name_char(char c) { return is_name_start(c) || is_ascii_digit(c); }

// What an expression reads as an operator, or as the start of one, outside a class.
constexpr std::string_view operators = "\\^$.|?*+()[]{}";

// A recursive-descent reader of the filter dialect (PCRE2 as the matcher compiles it). It
// follows the whole text, so that every fact sees every part; where it meets something
// whose literals it does not understand for certain, it stops collecting literals and
// reads on.
class reader {
public:
    explicit reader(std::string_view e) : e_(e) {}

    expression_facts read() {
        expression_facts facts;
        beyond_ascii_ = std::any_of(e_.begin(), e_.end(), [](char c) { return byte_value(c) >= 0x80; });
        const piece whole = alternatives(0);
        if (i_ != e_.size()) throw lost_track{};  // a stray `)`
        if (literals_known_) {
            facts.required.any_of = minimised(best_of(whole));
            if (plain_) facts.plain_literal = whole.front;
        }
        facts.reaches_behind_start = reaches_behind_;
        facts.sees_start_of_text = reaches_behind_ || sees_start_;
        facts.same_without_utf_on_ascii = !beyond_ascii_;
        facts.gains_without_utf = gains_without_utf_;
        facts.may_begin_with_dot_star = any_run_;
        facts.asserts_search_start = asserts_search_start_;
        return facts;
    }

    // Where the reader lost track every fact takes its safe answer; `\G` has no safe side
    // (expression_facts::asserts_search_start), so every escape is looked at for it.
    static expression_facts when_lost(std::string_view e) {
        expression_facts facts;
        facts.asserts_search_start = false;
        for (std::size_t i = 0; i + 1 < e.size(); ++i) {
            if (e[i] != '\\') continue;
            facts.asserts_search_start = facts.asserts_search_start || e[i + 1] == 'G';
            ++i;
        }
        return facts;
    }

private:
    bool at(std::string_view text) const { return e_.substr(i_, text.size()) == text; }
    bool more() const { return i_ < e_.size(); }
    char peek(std::size_t ahead = 0) const { return i_ + ahead < e_.size() ? e_[i_ + ahead] : '\0'; }
    bool has(std::size_t ahead) const { return i_ + ahead < e_.size(); }

    // What follows gives no literals that the reader can vouch for.
    void give_up_literals() { literals_known_ = false; }

    void sees_start() { sees_start_ = true; }
    void looks_behind() { reaches_behind_ = sees_start_ = true; }
    // A control verb, an option at the start or an alpha assertion: each may tie attempts
    // together, look behind, or change how the rest is matched.
    void verb() {
        reaches_behind_ = sees_start_ = beyond_ascii_ = true;
        give_up_literals();
    }

    piece alternatives(int depth) {
        if (depth > deepest_nesting) throw lost_track{};
        std::vector<piece> branches;
        branches.push_back(sequence(depth));
        while (more() && peek() == '|') {
            ++i_;
            plain_ = false;
            branches.push_back(sequence(depth));
        }
        return either(branches);
    }

    piece sequence(int depth) {
        piece seq;
        while (more() && peek() != '|' && peek() != ')') {
            if (at("\\Q")) {
                quoted(seq);
                continue;
            }
            bool quantifiable = true;
            piece item = atom(depth, quantifiable);
            if (starts_quantifier()) {
                plain_ = false;
                if (!quantifiable) give_up_literals();
                unsigned least = 0;
                unsigned most = 0;
                if (quantifier(least, most)) {
                    item = repeated(std::move(item), least, most);
                } else {
                    give_up_literals();
                }
            }
            append(seq, std::move(item));
        }
        return seq;
    }

    bool starts_quantifier() const {
        return more() && (peek() == '*' || peek() == '+' || peek() == '?' || peek() == '{');
    }

    // Reads a quantifier and its lazy or possessive mark. PCRE2 versions differ on what a
    // `{` that is not exactly {n}, {n,} or {n,m} means, so nothing else is taken: false,
    // with the `{` left to be read as a character.
    bool quantifier(unsigned& least, unsigned& most) {
        constexpr unsigned unbounded = 0x10000;
        const std::size_t start = i_;
        const char c = e_[i_++];
        if (c == '*') {
            least = 0, most = unbounded;
        } else if (c == '+') {
            least = 1, most = unbounded;
        } else if (c == '?') {
            least = 0, most = 1;
        } else {
            bool read = number(least);
            most = least;
            if (read && more() && peek() == ',') {
                ++i_;
                if (more() && peek() == '}') {
                    most = unbounded;
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
        // A quantifier after a quantifier: read as the next item.
        if (starts_quantifier()) give_up_literals();
        return true;
    }

    bool number(unsigned& n) {
        std::size_t digits = 0;
        n = 0;
        while (more() && is_ascii_digit(peek())) {
            if (++digits > 5) return false;
            n = n * 10 + (e_[i_++] - '0');
        }
        return digits != 0 && n <= 0xFFFF;
    }

    // \Q...\E: each character stands for itself.
    void quoted(piece& seq) {
        plain_ = false;
        i_ += 2;
        while (more() && !at("\\E")) append(seq, character());
        if (more()) i_ += 2;
        // PCRE2 lets a quantifier after \E reach back to the last quoted character, or past
        // an empty quote to what came before; not worth following, and atom() refuses it.
    }

    // One character as it stands in the text: an ASCII one is a literal, any other (all its
    // bytes taken whole) is matched some other way, perhaps as an ASCII letter.
    piece character() {
        const char c = e_[i_++];
        if (byte_value(c) < 0x80) {
            piece p;
            p.front = std::string(1, static_cast<char>(folded_byte(byte_value(c))));
            return p;
        }
        skip_continuation();
        return matching_anything();
    }

    // The rest of a character whose first byte was just read.
    void skip_continuation() {
        while (more() && io::utf8::is_continuation(byte_value(peek()))) ++i_;
    }

    piece atom(int depth, bool& quantifiable) {
        const char c = peek();
        if (byte_value(c) < 0x20 || byte_value(c) > 0x7E || operators.find(c) != std::string_view::npos) plain_ = false;
        switch (c) {
            case '(':
                return group(depth, quantifiable);
            case '[':
                character_class();
                return matching_anything();
            case '.':
                ++i_;
                any_run_ = gains_without_utf_ = true;
                return matching_anything();
            case '^':
                ++i_;
                sees_start();
                return piece{};
            case '$':
                ++i_;
                return piece{};
            case '\\':
                return escape();
            case '*':
            case '+':
            case '?':
                // Nothing to repeat, or a quantifier that reaches back past \E: either way
                // no literal that the reader can vouch for.
                give_up_literals();
                ++i_;
                return piece{};
            case '{':
                // A `{` that begins no quantifier PCRE2 may read as itself, or some other way.
                give_up_literals();
                ++i_;
                return matching_anything();
            default:
                return character();
        }
    }

    piece escape() {
        if (!has(1)) throw lost_track{};
        const char c = e_[i_ + 1];
        i_ += 2;
        if (byte_value(c) >= 0x80) {
            give_up_literals();
            skip_continuation();
            return matching_anything();
        }
        if (!is_ascii_letter(c) && !is_ascii_digit(c)) {
            piece p;
            p.front = std::string(1, c);
            return p;
        }
        if (is_ascii_digit(c)) {
            // A back-reference or an octal character; reading every digit into it can only
            // lose a literal digit that follows, never invent one. Two digits or more may
            // name a character above U+007F.
            std::size_t digits = 1;
            for (; more() && is_ascii_digit(peek()); ++i_) ++digits;
            if (digits > 1) beyond_ascii_ = true;
            return matching_anything();
        }
        switch (c) {
            case 'd': case 'D': case 'w': case 'W': case 's': case 'S':
                gains_without_utf_ = true;
                return matching_anything();
            case 'h': case 'H': case 'v': case 'V': case 'R': case 'C':
            case 'a': case 'e': case 'f': case 'n': case 'r': case 't':
                return matching_anything();
            case 'X':
                beyond_ascii_ = true;
                return matching_anything();
            case 'N':
                beyond_ascii_ = true;
                if (more() && peek() == '{') {  // \N{U+hhhh}
                    give_up_literals();
                    braced(is_name_char_or_plus);
                    return matching_anything();
                }
                // Any character but a line break, like `.`.
                any_run_ = gains_without_utf_ = true;
                return matching_anything();
            case 'b': case 'B':
                gains_without_utf_ = true;
                sees_start();
                return piece{};
            case 'A':
                sees_start();
                return piece{};
            case 'G':
                sees_start();
                asserts_search_start_ = true;
                return piece{};
            case 'z': case 'Z': case 'K':
                return piece{};
            case 'x':
                beyond_ascii_ = true;
                code_point(2);
                return matching_anything();
            case 'u':
                beyond_ascii_ = true;
                code_point(4);
                return matching_anything();
            case 'o':
                beyond_ascii_ = true;
                give_up_literals();
                if (more() && peek() == '{') braced(is_ascii_digit);
                return matching_anything();
            case 'p':
            case 'P':
                beyond_ascii_ = true;
                property();
                return matching_anything();
            case 'c':
                // The next character, whatever it is, names a control character.
                give_up_literals();
                if (!more()) throw lost_track{};
                ++i_;
                return matching_anything();
            case 'g':
            case 'k':
                // A back-reference or a subroutine call, by number or name.
                give_up_literals();
                reference();
                return matching_anything();
            default:
                give_up_literals();
                return matching_anything();
        }
    }

    static bool is_name_char_or_plus(char c) { return is_name_char(c) || c == '+'; }

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
    void code_point(std::size_t count) {
        if (more() && peek() == '{') {
            give_up_literals();
            braced(is_hex_digit);
            return;
        }
        for (std::size_t k = 0; k < count; ++k) {
            if (!more() || !is_hex_digit(peek())) {
                give_up_literals();
                return;
            }
            ++i_;
        }
    }

    void property() {
        if (more() && is_ascii_letter(peek())) {
            ++i_;
            return;
        }
        if (!more() || peek() != '{') {
            give_up_literals();
            return;
        }
        const std::size_t close = e_.find('}', i_);
        if (close == std::string_view::npos) throw lost_track{};
        i_ = close + 1;
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
    void character_class() {
        gains_without_utf_ = true;
        ++i_;
        if (more() && peek() == '^') ++i_;
        // An empty class is allowed, so a `]` at the start closes it.
        while (true) {
            if (!more()) throw lost_track{};
            const char c = e_[i_];
            if (c == ']') {
                ++i_;
                return;
            }
            if (c == '\\') {
                if (at("\\Q")) {
                    const std::size_t end = e_.find("\\E", i_ + 2);
                    if (end == std::string_view::npos) throw lost_track{};
                    i_ = end + 2;
                    continue;
                }
                if (!has(1)) throw lost_track{};
                class_escape();
                continue;
            }
            if (c == '[' && (peek(1) == ':' || peek(1) == '.' || peek(1) == '=')) {
                posix_class();
                continue;
            }
            ++i_;
        }
    }

    // An escape inside a class: a member, or a set of members.
    void class_escape() {
        const char c = e_[i_ + 1];
        i_ += 2;
        switch (c) {
            case 'd': case 'D': case 'w': case 'W': case 's': case 'S': case 'b': case 'B':
                gains_without_utf_ = true;
                return;
            case 'x':
            case 'u':
                beyond_ascii_ = true;
                if (more() && peek() == '{') braced(is_hex_digit);
                return;
            case 'o':
                beyond_ascii_ = true;
                if (more() && peek() == '{') braced(is_ascii_digit);
                return;
            case 'N':
            case 'X':
                beyond_ascii_ = true;
                return;
            case 'p':
            case 'P':
                beyond_ascii_ = true;
                property();
                return;
            case 'c':
                // \c takes the next character, whatever it is.
                give_up_literals();
                if (!more()) throw lost_track{};
                ++i_;
                return;
            default:
                if (is_ascii_digit(c)) {
                    std::size_t digits = 1;
                    for (; more() && is_ascii_digit(peek()); ++i_) ++digits;
                    if (digits > 1) beyond_ascii_ = true;
                } else if (byte_value(c) >= 0x80) {
                    skip_continuation();
                }
                return;
        }
    }

    // [:name:] or [:^name:] inside a class, and the word boundaries [:<:] and [:>:]; any
    // other `[` is read as a member.
    void posix_class() {
        std::size_t k = i_ + 2;
        if (peek(1) == ':') {
            if (k < e_.size() && e_[k] == '^') ++k;
            const std::size_t name = k;
            while (k < e_.size() && is_ascii_letter(e_[k])) ++k;
            const bool boundary = k == name && k < e_.size() && (e_[k] == '<' || e_[k] == '>');
            if (boundary) ++k;
            if (k != name && e_.substr(k, 2) == ":]") {
                if (boundary) sees_start();
                i_ = k + 2;
                return;
            }
        }
        give_up_literals();
        ++i_;
    }

    piece group(int depth, bool& quantifiable) {
        plain_ = false;
        ++i_;
        if (more() && peek() == '*') return verb_or_alpha_assertion(depth);
        if (!more() || peek() != '?') return group_body(depth);
        ++i_;
        const char kind = peek();
        switch (kind) {
            case '#': {
                const std::size_t close = e_.find(')', i_);
                if (close == std::string_view::npos) throw lost_track{};
                i_ = close + 1;
                quantifiable = false;  // PCRE2 would let a quantifier reach past it
                return piece{};
            }
            case ':':
            case '|':
            case '>':
                ++i_;
                return group_body(depth);
            case '=':
                ++i_;
                return assertion(group_body(depth), true);
            case '!':
                ++i_;
                return assertion(group_body(depth), false);
            case '*':  // a non-atomic lookahead
                ++i_;
                give_up_literals();
                return assertion(group_body(depth), false);
            case '<':
                if (peek(1) == '=' || peek(1) == '!' || peek(1) == '*') {
                    const char how = peek(1);
                    i_ += 2;
                    looks_behind();
                    if (how == '*') give_up_literals();
                    return assertion(group_body(depth), how == '=');
                }
                ++i_;
                name('>');
                return group_body(depth);
            case 'P':
                if (peek(1) == '<') {
                    i_ += 2;
                    name('>');
                    return group_body(depth);
                }
                // (?P=name), (?P>name)
                give_up_literals();
                skip_to_close();
                return matching_anything();
            case '\'':
                ++i_;
                name('\'');
                return group_body(depth);
            case '(':
                return condition(depth);
            case 'C':
                callout();
                quantifiable = false;
                return piece{};
            case 'R':
            case '&':
            case '+':
                // A subroutine call or a recursion.
                give_up_literals();
                skip_to_close();
                return matching_anything();
            default:
                if (is_ascii_digit(kind) || (kind == '-' && is_ascii_digit(peek(1)))) {
                    give_up_literals();
                    skip_to_close();
                    return matching_anything();
                }
                return options(depth, quantifiable);
        }
    }

    // (*VERB), (*VERB:name), (*:name), an option such as (*UTF) at the start, or an alpha
    // assertion such as (*plb:...), whose body is read like a group's.
    piece verb_or_alpha_assertion(int depth) {
        ++i_;
        verb();
        const std::size_t name = i_;
        bool lower = true;
        for (; more() && is_name_char(peek()); ++i_) lower = lower && !(peek() >= 'A' && peek() <= 'Z');
        if (i_ != name && lower && more() && peek() == ':') {
            ++i_;
            group_body(depth);
            return matching_anything();
        }
        skip_to_close();
        return piece{};
    }

    // After `(?`: a condition in parentheses, then one or two branches.
    piece condition(int depth) {
        give_up_literals();
        if (peek(1) == '?' || peek(1) == '*') {
            bool quantifiable = true;
            group(depth + 1, quantifiable);  // an assertion, or a callout that an assertion follows
        } else {
            skip_to_close();  // a group's number or name, R, DEFINE, VERSION
        }
        group_body(depth);
        return matching_anything();
    }

    // (?C), (?Cn) or (?C"text"), with the text in any of PCRE2's delimiters; two closing
    // delimiters stand for one.
    void callout() {
        give_up_literals();
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
    piece options(int depth, bool& quantifiable) {
        static constexpr std::string_view harmless = "imnsJU-^";
        for (; more() && (is_ascii_letter(peek()) || peek() == '-' || peek() == '^'); ++i_) {
            if (peek() == 'x') throw lost_track{};
            if (harmless.find(peek()) == std::string_view::npos) give_up_literals();
        }
        if (!more()) throw lost_track{};
        if (peek() == ')') {
            ++i_;
            quantifiable = false;
            return piece{};
        }
        if (peek() != ':') throw lost_track{};
        ++i_;
        return group_body(depth);
    }

    piece group_body(int depth) {
        piece inner = alternatives(depth + 1);
        if (!more() || peek() != ')') throw lost_track{};
        ++i_;
        return inner;
    }

    // A lookaround matches nothing itself; a positive one still needs its text somewhere
    // in the line.
    static piece assertion(const piece& inner, bool positive) {
        piece p;
        if (positive) p.needs = best_of(inner);
        return p;
    }

    std::string_view e_;
    std::size_t i_ = 0;
    bool literals_known_ = true;
    bool plain_ = true;  // every item so far is a character that stands for itself
    bool reaches_behind_ = false;
    bool sees_start_ = false;
    bool beyond_ascii_ = false;  // a character, an escape or a verb may name one above U+007F
    bool gains_without_utf_ = false;
    bool any_run_ = false;
    bool asserts_search_start_ = false;
};

}  // namespace

expression_facts read_expression(std::string_view expression) {
    try {
        return reader(expression).read();
    } catch (const lost_track&) {
        return reader::when_lost(expression);
    }
}

}  // namespace huecast

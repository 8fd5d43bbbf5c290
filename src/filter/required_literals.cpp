#include "filter/required_literals.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "io/utf16.h"

namespace huecast {
namespace {

using literal_set = std::vector<std::u16string>;

// A set this large says little and costs the prefilter more than it saves.
constexpr std::size_t most_literals = 64;
// PCRE2's own limit on nested parentheses; deeper is not worth a deeper stack.
constexpr int deepest_nesting = 250;

// Thrown where the text uses something the reader does not understand for certain: the
// whole expression then gives nothing rather than a guess.
struct not_understood {};

// What is known of every text that one part of an expression matches.
struct piece {
    // Every match is exactly `front`; then `back` is unused.
    bool exact = true;
    std::u16string front;  // every match begins with this
    std::u16string back;   // every match ends with this
    // Every text in which a match is found contains one of these (also from lookarounds,
    // so not necessarily inside the match). Empty: nothing known.
    literal_set needs;

    const std::u16string& ending() const { return exact ? front : back; }
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
        for (const std::u16string& t : s) n = std::min(n, t.size());
        return n;
    };
    const std::size_t sa = shortest(a);
    const std::size_t sb = shortest(b);
    return sa != sb ? sa > sb : a.size() < b.size();
}

void consider(literal_set& needs, literal_set candidate) {
    if (more_selective(candidate, needs)) needs = std::move(candidate);
}

void consider(literal_set& needs, const std::u16string& text) {
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
    std::sort(set.begin(), set.end(), [](const std::u16string& a, const std::u16string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    literal_set kept;
    for (std::u16string& t : set) {
        if (t.empty()) return {};
        const bool covered = std::any_of(kept.begin(), kept.end(), [&](const std::u16string& k) {
            return t.find(k) != std::u16string::npos;
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

std::u16string common_prefix(const std::u16string& a, const std::u16string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return a.substr(0, n);
}

std::u16string common_suffix(const std::u16string& a, const std::u16string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return a.substr(a.size() - n);
}

// One of `branches`.
piece either(std::vector<piece>& branches) {
    if (branches.size() == 1) return std::move(branches.front());
    piece r;
    r.front = branches.front().front;
    std::u16string back = branches.front().ending();
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

bool is_ascii_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool is_ascii_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool is_hex_digit(char16_t c) {
    return is_ascii_digit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool is_name_start(char16_t c) { return is_ascii_letter(c) || c == u'_'; }
bool is_name_char(char16_t c) { return is_name_start(c) || is_ascii_digit(c); }

// A recursive-descent reader of the filter dialect (PCRE2 as the matcher compiles it).
class reader {
public:
    explicit reader(std::u16string_view e) : e_(e) {}

    literal_set read() {
        const piece whole = alternatives(0);
        if (i_ != e_.size()) throw not_understood{};  // a stray `)`
        return minimised(best_of(whole));
    }

private:
    bool at(std::u16string_view text) const { return e_.substr(i_, text.size()) == text; }
    bool more() const { return i_ < e_.size(); }
    char16_t peek(std::size_t ahead = 0) const { return i_ + ahead < e_.size() ? e_[i_ + ahead] : u'\0'; }
    bool has(std::size_t ahead) const { return i_ + ahead < e_.size(); }

    piece alternatives(int depth) {
        if (depth > deepest_nesting) throw not_understood{};
        std::vector<piece> branches;
        branches.push_back(sequence(depth));
        while (more() && peek() == u'|') {
            ++i_;
            branches.push_back(sequence(depth));
        }
        return either(branches);
    }

    piece sequence(int depth) {
        piece seq;
        while (more() && peek() != u'|' && peek() != u')') {
            if (at(u"\\Q")) {
                quoted(seq);
                continue;
            }
            bool quantifiable = true;
            piece item = atom(depth, quantifiable);
            if (starts_quantifier()) {
                if (!quantifiable) throw not_understood{};
                unsigned least = 0;
                unsigned most = 0;
                quantifier(least, most);
                item = repeated(std::move(item), least, most);
            }
            append(seq, std::move(item));
        }
        return seq;
    }

    bool starts_quantifier() const {
        return more() && (peek() == u'*' || peek() == u'+' || peek() == u'?' || peek() == u'{');
    }

    // Reads a quantifier and its lazy or possessive mark. PCRE2 versions differ on what a
    // `{` that is not exactly {n}, {n,} or {n,m} means, so nothing else is taken.
    void quantifier(unsigned& least, unsigned& most) {
        constexpr unsigned unbounded = 0x10000;
        const char16_t c = e_[i_++];
        if (c == u'*') {
            least = 0, most = unbounded;
        } else if (c == u'+') {
            least = 1, most = unbounded;
        } else if (c == u'?') {
            least = 0, most = 1;
        } else {
            least = number();
            most = least;
            if (more() && peek() == u',') {
                ++i_;
                most = more() && peek() == u'}' ? unbounded : number();
            }
            if (!more() || peek() != u'}' || most < least) throw not_understood{};
            ++i_;
        }
        if (more() && (peek() == u'?' || peek() == u'+')) ++i_;
        if (starts_quantifier()) throw not_understood{};
    }

    unsigned number() {
        std::size_t digits = 0;
        unsigned n = 0;
        while (more() && is_ascii_digit(peek())) {
            if (++digits > 5) throw not_understood{};
            n = n * 10 + (e_[i_++] - u'0');
        }
        if (digits == 0 || n > 0xFFFF) throw not_understood{};
        return n;
    }

    // \Q...\E: each character stands for itself.
    void quoted(piece& seq) {
        i_ += 2;
        while (more() && !at(u"\\E")) append(seq, character());
        if (more()) i_ += 2;
        // PCRE2 lets a quantifier after \E reach back to the last quoted character, or past
        // an empty quote to what came before; not worth following, and atom() refuses it.
    }

    // One character as it stands in the text: an ASCII one is a literal, any other (a
    // surrogate pair taken whole) is matched some other way, perhaps as an ASCII letter.
    piece character() {
        const char16_t c = e_[i_++];
        if (c < 0x80) {
            piece p;
            p.front = std::u16string(1, folded_unit(c));
            return p;
        }
        if (io::utf16::is_high_surrogate(c) && more() && io::utf16::is_low_surrogate(peek())) ++i_;
        return matching_anything();
    }

    piece atom(int depth, bool& quantifiable) {
        switch (peek()) {
            case u'(':
                return group(depth, quantifiable);
            case u'[':
                character_class();
                return matching_anything();
            case u'.':
                ++i_;
                return matching_anything();
            case u'^':
            case u'$':
                ++i_;
                return piece{};
            case u'\\':
                return escape();
            case u'*':
            case u'+':
            case u'?':
            case u'{':
                throw not_understood{};  // nothing to repeat, or a `{` read some other way
            default:
                return character();
        }
    }

    piece escape() {
        if (!has(1)) throw not_understood{};
        const char16_t c = e_[i_ + 1];
        i_ += 2;
        if (c >= 0x80) throw not_understood{};
        if (!is_ascii_letter(c) && !is_ascii_digit(c)) {
            piece p;
            p.front = std::u16string(1, c);
            return p;
        }
        if (is_ascii_digit(c)) {
            // A back-reference or an octal character; reading every digit into it can only
            // lose a literal digit that follows, never invent one.
            while (more() && is_ascii_digit(peek())) ++i_;
            return matching_anything();
        }
        switch (c) {
            case u'd': case u'D': case u'w': case u'W': case u's': case u'S': case u'h': case u'H':
            case u'v': case u'V': case u'R': case u'X': case u'C':
            case u'a': case u'e': case u'f': case u'n': case u'r': case u't':
                return matching_anything();
            case u'N':
                if (more() && peek() == u'{') throw not_understood{};  // \N{U+hhhh}
                return matching_anything();
            case u'b': case u'B': case u'A': case u'z': case u'Z': case u'G': case u'K':
                return piece{};
            case u'x':
                hex_digits(2);
                return matching_anything();
            case u'u':
                hex_digits(4);
                return matching_anything();
            case u'p':
            case u'P':
                property();
                return matching_anything();
            default:
                throw not_understood{};
        }
    }

    // With ECMAScript's escapes, \x and \u without exactly these digits are other things.
    void hex_digits(std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            if (!more() || !is_hex_digit(peek())) throw not_understood{};
            ++i_;
        }
    }

    void property() {
        if (more() && is_ascii_letter(peek())) {
            ++i_;
            return;
        }
        if (!more() || peek() != u'{') throw not_understood{};
        const std::size_t close = e_.find(u'}', i_);
        if (close == std::u16string_view::npos) throw not_understood{};
        i_ = close + 1;
    }

    // Only its end matters: whatever it holds, it matches one character.
    void character_class() {
        ++i_;
        if (more() && peek() == u'^') ++i_;
        // An empty class is allowed, so a `]` at the start closes it.
        while (true) {
            if (!more()) throw not_understood{};
            const char16_t c = e_[i_];
            if (c == u']') {
                ++i_;
                return;
            }
            if (c == u'\\') {
                if (at(u"\\Q")) {
                    const std::size_t end = e_.find(u"\\E", i_ + 2);
                    if (end == std::u16string_view::npos) throw not_understood{};
                    i_ = end + 2;
                    continue;
                }
                // \c takes the next character, whatever it is.
                if (!has(1) || peek(1) == u'c') throw not_understood{};
                i_ += 2;
                continue;
            }
            if (c == u'[' && (peek(1) == u':' || peek(1) == u'.' || peek(1) == u'=')) {
                posix_class();
                continue;
            }
            ++i_;
        }
    }

    // [:name:] or [:^name:] inside a class; anything else that begins so is not followed.
    void posix_class() {
        if (peek(1) != u':') throw not_understood{};
        std::size_t k = i_ + 2;
        if (k < e_.size() && e_[k] == u'^') ++k;
        const std::size_t name = k;
        while (k < e_.size() && is_ascii_letter(e_[k])) ++k;
        if (k == name && k < e_.size() && (e_[k] == u'<' || e_[k] == u'>')) ++k;  // word boundaries
        if (k == name || e_.substr(k, 2) != u":]") throw not_understood{};
        i_ = k + 2;
    }

    piece group(int depth, bool& quantifiable) {
        ++i_;
        if (more() && peek() == u'*') throw not_understood{};  // verbs, alpha assertions
        if (!more() || peek() != u'?') return group_body(depth);
        ++i_;
        const char16_t kind = peek();
        switch (kind) {
            case u'#': {
                const std::size_t close = e_.find(u')', i_);
                if (close == std::u16string_view::npos) throw not_understood{};
                i_ = close + 1;
                quantifiable = false;  // PCRE2 would let a quantifier reach past it
                return piece{};
            }
            case u':':
            case u'|':
            case u'>':
                ++i_;
                return group_body(depth);
            case u'=':
                ++i_;
                return assertion(group_body(depth), true);
            case u'!':
                ++i_;
                return assertion(group_body(depth), false);
            case u'<':
                if (peek(1) == u'=' || peek(1) == u'!') {
                    // Read before the body: the order in which a call's arguments are
                    // evaluated is unspecified (GCC for aarch64 reads left to right).
                    const bool positive = peek(1) == u'=';
                    i_ += 2;
                    return assertion(group_body(depth), positive);
                }
                ++i_;
                name(u'>');
                return group_body(depth);
            case u'P':
                if (peek(1) != u'<') throw not_understood{};  // (?P=name), (?P>name)
                i_ += 2;
                name(u'>');
                return group_body(depth);
            case u'\'':
                ++i_;
                name(u'\'');
                return group_body(depth);
            default:
                return options(depth, quantifiable);
        }
    }

    void name(char16_t close) {
        if (!more() || !is_name_start(peek())) throw not_understood{};
        while (more() && is_name_char(peek())) ++i_;
        if (!more() || peek() != close) throw not_understood{};
        ++i_;
    }

    // (?i) or (?-i:...) and the like; none of these options changes what a literal needs,
    // except extended mode, which changes the reading of the text itself.
    piece options(int depth, bool& quantifiable) {
        static constexpr std::u16string_view harmless = u"imnsJU-^";
        while (more() && harmless.find(peek()) != std::u16string_view::npos) ++i_;
        if (!more()) throw not_understood{};
        if (peek() == u')') {
            ++i_;
            quantifiable = false;
            return piece{};
        }
        if (peek() != u':') throw not_understood{};
        ++i_;
        return group_body(depth);
    }

    piece group_body(int depth) {
        piece inner = alternatives(depth + 1);
        if (!more() || peek() != u')') throw not_understood{};
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

    std::u16string_view e_;
    std::size_t i_ = 0;
};

}  // namespace

required_literals find_required_literals(std::u16string_view expression) {
    try {
        return {reader(expression).read()};
    } catch (const not_understood&) {
        return {};
    }
}

}  // namespace huecast

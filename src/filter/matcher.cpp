#include "filter/matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <new>

namespace huecast {
namespace {

// These options give the filter dialect: ECMAScript's escapes (\uhhhh, \xhh), an unset
// back-reference matching the empty string, an empty class `[]` that matches nothing, `$`
// only at the end, case folded throughout; invalid UTF-16 (a lone surrogate standing for
// an undecodable byte) splits the text rather than failing the search.
constexpr std::uint32_t compile_options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_CASELESS | PCRE2_ALT_BSUX |
                                          PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                                          PCRE2_ALLOW_EMPTY_CLASS;

// An empty match never wins: it would leave the line where it is.
constexpr std::uint32_t match_options = PCRE2_NOTEMPTY;

// PCRE2 wants a real pointer even for an empty text.
constexpr char16_t empty_text[1] = {0};

PCRE2_SPTR16 pointer_to(std::u16string_view text) {
    return reinterpret_cast<PCRE2_SPTR16>(text.empty() ? empty_text : text.data());
}

std::u16string error_text(int code) {
    PCRE2_UCHAR16 buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (n < 0) return u"unknown error";
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n));
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Where the next run of valid UTF-16 begins after a lone surrogate at or after `from`
// (which is not inside a pair); text.size() when there is none.
std::size_t next_run_after_lone_surrogate(std::u16string_view text, std::size_t from) {
    bool after_lone = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            if (after_lone) return i;
            ++i;
        } else if (is_high_surrogate(c) || is_low_surrogate(c)) {
            after_lone = true;
        } else if (after_lone) {
            return i;
        }
    }
    return text.size();
}

// Where PCRE2 begins its attempts: the kind of first code unit it looks for (2: the start
// or after a line break) and whether only the start counts.
struct start_rule {
    std::uint32_t first_code_type = 0;
    bool anchored = false;
    bool operator==(const start_rule&) const = default;
};

start_rule start_rule_of(const pcre2_code* code) {
    start_rule rule;
    std::uint32_t options = 0;
    pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODETYPE, &rule.first_code_type);
    pcre2_pattern_info(code, PCRE2_INFO_ALLOPTIONS, &options);
    rule.anchored = (options & PCRE2_ANCHORED) != 0;
    return rule;
}

bool contains(std::u16string_view text, std::u16string_view piece) {
    return text.find(piece) != std::u16string_view::npos;
}

// True when the expression finds the same matches without UTF on a text of ASCII characters
// alone: it is ASCII itself and names no character above U+007F by an escape, so no case
// folding (the Kelvin sign folds to "k") or property can reach beyond ASCII. The test is on
// the text and errs on the safe side.
bool same_without_utf_on_ascii(std::u16string_view e) {
    if (contains(e, u"(*")) return false;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i] >= 0x80) return false;
        if (e[i] != u'\\' || i + 1 == e.size()) continue;
        const char16_t next = e[++i];
        if (contains(u"xuoNpPX", std::u16string_view(&next, 1))) return false;
        // An octal escape of two or more digits may name a character above U+007F.
        if (next >= u'0' && next <= u'9' && i + 1 < e.size() && e[i + 1] >= u'0' && e[i + 1] <= u'9') return false;
    }
    return true;
}

}  // namespace

struct matcher::state {
    pcre2_code* code = nullptr;
    pcre2_code* front_code = nullptr;  // the same expression, anchored at the start
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jit_stack = nullptr;
    bool jitted = false;
    bool front_jitted = false;
    // Without UTF, which is faster, for texts of ASCII characters alone; null when the
    // expression could mean something else there.
    pcre2_code* ascii_code = nullptr;
    pcre2_code* ascii_front_code = nullptr;
    bool ascii_jitted = false;
    bool ascii_front_jitted = false;
    // When every branch begins with `.*`, PCRE2 tries the expression only at the front and
    // after a line break (or, with (?s), at the front alone): `.*` reaches every other
    // start from there. A lone surrogate stops `.` as well, which PCRE2 does not take into
    // account, so for such an expression the start of each run of valid text after a lone
    // surrogate is tried too.
    bool starts_only_after_breaks = false;

    // One search of `code` from `offset`; PCRE2's return code.
    int match(pcre2_code* c, bool jit, std::u16string_view text, std::size_t offset) const {
        // The JIT entry skips pcre2_match's per-call checks, which cost as much as a short search.
        return jit ? pcre2_jit_match(c, pointer_to(text), text.size(), offset, match_options, data, context)
                   : pcre2_match(c, pointer_to(text), text.size(), offset, match_options, data, context);
    }

    // The match the last successful search found.
    found_match last_match() const {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        return {pcre2_get_startchar(data), ovector[0], ovector[1]};
    }

    ~state() {
        pcre2_code_free(code);
        pcre2_code_free(front_code);
        pcre2_code_free(ascii_code);
        pcre2_code_free(ascii_front_code);
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jit_stack);
    }
};

matcher::matcher(std::unique_ptr<state> s) : state_(std::move(s)) {}
matcher::~matcher() = default;
matcher::matcher(matcher&&) noexcept = default;
matcher& matcher::operator=(matcher&&) noexcept = default;

value_or_error<matcher, compile_error> matcher::compile(std::u16string_view expression, const match_limits& limits) {
    auto s = std::make_unique<state>();
    pcre2_compile_context* cc = pcre2_compile_context_create(nullptr);
    if (cc == nullptr) throw std::bad_alloc();
    pcre2_set_compile_extra_options(cc, PCRE2_EXTRA_ALT_BSUX);
    pcre2_set_newline(cc, PCRE2_NEWLINE_ANYCRLF);

    int code = 0;
    PCRE2_SIZE offset = 0;
    s->code = pcre2_compile(pointer_to(expression), expression.size(), compile_options, &code, &offset, cc);
    if (s->code != nullptr) {
        s->front_code =
            pcre2_compile(pointer_to(expression), expression.size(), compile_options | PCRE2_ANCHORED, &code, &offset, cc);
    }
    if (s->code == nullptr || s->front_code == nullptr) {
        pcre2_compile_context_free(cc);
        return compile_error{error_text(code), offset};
    }

    // Only an expression with a `.` can begin with `.*`. `\G` would hold at a start after a
    // lone surrogate, so an expression with it keeps PCRE2's starts.
    if (contains(expression, u".") && !contains(expression, u"\\G")) {
        pcre2_code* any_start = pcre2_compile(pointer_to(expression), expression.size(),
                                              compile_options | PCRE2_NO_DOTSTAR_ANCHOR, &code, &offset, cc);
        if (any_start == nullptr) {
            pcre2_compile_context_free(cc);
            throw std::bad_alloc();
        }
        s->starts_only_after_breaks = start_rule_of(s->code) != start_rule_of(any_start);
        pcre2_code_free(any_start);
    }

    // Without JIT (an expression it does not support) the interpreter runs, under the
    // depth and heap limits; both are correct, JIT is only faster.
    s->jitted = pcre2_jit_compile(s->code, PCRE2_JIT_COMPLETE) == 0;
    s->front_jitted = pcre2_jit_compile(s->front_code, PCRE2_JIT_COMPLETE) == 0;
    // Only a word boundary gains: in UTF mode it must step back over a whole character,
    // while a plain search costs the same either way.
    const bool word_boundary = contains(expression, u"\\b") || contains(expression, u"\\B");
    if (word_boundary && same_without_utf_on_ascii(expression)) {
        constexpr std::uint32_t without_utf = compile_options & ~(PCRE2_UTF | PCRE2_MATCH_INVALID_UTF);
        int ignored_code = 0;
        PCRE2_SIZE ignored_offset = 0;
        s->ascii_code = pcre2_compile(pointer_to(expression), expression.size(), without_utf, &ignored_code,
                                      &ignored_offset, cc);
        s->ascii_front_code = pcre2_compile(pointer_to(expression), expression.size(), without_utf | PCRE2_ANCHORED,
                                            &ignored_code, &ignored_offset, cc);
        if (s->ascii_code == nullptr || s->ascii_front_code == nullptr) {
            pcre2_code_free(s->ascii_code);
            pcre2_code_free(s->ascii_front_code);
            s->ascii_code = s->ascii_front_code = nullptr;
        } else {
            s->ascii_jitted = pcre2_jit_compile(s->ascii_code, PCRE2_JIT_COMPLETE) == 0;
            s->ascii_front_jitted = pcre2_jit_compile(s->ascii_front_code, PCRE2_JIT_COMPLETE) == 0;
        }
    }
    pcre2_compile_context_free(cc);

    s->data = pcre2_match_data_create(1, nullptr);
    s->context = pcre2_match_context_create(nullptr);
    s->jit_stack = pcre2_jit_stack_create(32 * 1024, limits.jit_stack_bytes, nullptr);
    if (s->data == nullptr || s->context == nullptr || s->jit_stack == nullptr) throw std::bad_alloc();
    pcre2_jit_stack_assign(s->context, nullptr, s->jit_stack);
    pcre2_set_match_limit(s->context, limits.steps);
    pcre2_set_depth_limit(s->context, limits.depth);
    pcre2_set_heap_limit(s->context, limits.heap_kib);

    std::uint32_t lookbehind = 0;
    pcre2_pattern_info(s->code, PCRE2_INFO_MAXLOOKBEHIND, &lookbehind);
    // \b, \B and \A look one character back; only real lookbehinds and verbs look further
    // or join attempts together. The text test errs on the safe side ("(*" inside a
    // class also counts), which costs speed, never correctness.
    const bool reaches = lookbehind > 1 || contains(expression, u"(*") || contains(expression, u"(?<=") ||
                         contains(expression, u"(?<!");

    matcher m(std::move(s));
    m.reaches_behind_start_ = reaches;
    // The same text test on the safe side: a "^" in a class or an escaped "\\A" counts too.
    m.sees_start_of_text_ = reaches || lookbehind > 0 || contains(expression, u"^") ||
                             contains(expression, u"\\A") || contains(expression, u"\\G");
    return m;
}

bool matcher::faster_on_ascii() const { return state_->ascii_code != nullptr; }

search_result matcher::find(std::u16string_view text, found_match& match, bool ascii_text) {
    return run(false, ascii_text, text, match);
}

search_result matcher::find_at_front(std::u16string_view text, found_match& match, bool ascii_text) {
    return run(true, ascii_text, text, match);
}

search_result matcher::run(bool front_only, bool ascii_text, std::u16string_view text, found_match& match) {
    const state& s = *state_;
    const bool without_utf = ascii_text && s.ascii_code != nullptr;
    pcre2_code* code = without_utf ? (front_only ? s.ascii_front_code : s.ascii_code)
                                   : (front_only ? s.front_code : s.code);
    const bool jitted = without_utf ? (front_only ? s.ascii_front_jitted : s.ascii_jitted)
                                    : (front_only ? s.front_jitted : s.jitted);
    const int rc = s.match(code, jitted, text, 0);
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) return search_result::gave_up;
    search_result result = search_result::none;
    if (rc >= 0) {
        match = s.last_match();
        // Without JIT, an anchored expression is tried again at the start of each run of
        // valid text after a lone surrogate; such a match did not start at the front.
        if (front_only && match.attempt != 0) return search_result::none;
        result = search_result::found;
    }
    if (!s.starts_only_after_breaks || front_only || ascii_text) return result;

    // The starts PCRE2 left out: each run of valid text after a lone surrogate, up to the
    // attempt that succeeded. A match from there cannot cross the next lone surrogate.
    const std::size_t limit = result == search_result::found ? match.attempt : text.size();
    for (std::size_t start = next_run_after_lone_surrogate(text, 0); start < limit;
         start = next_run_after_lone_surrogate(text, start)) {
        const int at = s.match(s.front_code, s.front_jitted, text, start);
        if (at == PCRE2_ERROR_NOMATCH) continue;
        if (at < 0) return search_result::gave_up;
        const found_match m = s.last_match();
        if (m.attempt != start) continue;  // the interpreter's retry further on
        match = m;
        return search_result::found;
    }
    return result;
}

}  // namespace huecast

#include "filter/match/matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <memory>
#include <new>
#include <optional>

#include "filter/match/case_folding.h"
#include "filter/match/literal_search.h"
#include "io/utf8.h"

namespace huecast {
namespace {

// Every PCRE2 object is owned by one of these, so that no path, the failing ones
// included, has to remember to free it.
template <auto free_function>
struct freed_by {
    template <class T>
    void operator()(T* object) const noexcept {
        free_function(object);
    }
};
using code_ptr = std::unique_ptr<pcre2_code, freed_by<&pcre2_code_free>>;
using compile_context_ptr = std::unique_ptr<pcre2_compile_context, freed_by<&pcre2_compile_context_free>>;
using match_data_ptr = std::unique_ptr<pcre2_match_data, freed_by<&pcre2_match_data_free>>;
using match_context_ptr = std::unique_ptr<pcre2_match_context, freed_by<&pcre2_match_context_free>>;

// PCRE2's create calls return null only when memory ran out.
template <class Owner>
Owner created(typename Owner::pointer object) {
    if (object == nullptr) throw std::bad_alloc();
    return Owner(object);
}

// These options give the filter dialect: ECMAScript's escapes (\uhhhh, \xhh), an unset
// back-reference matching the empty string, an empty class `[]` that matches nothing, `$`
// only at the end, case folded throughout; bytes that are not UTF-8 (or an escaped byte of
// another code page) split the text rather than failing the search. `\C` is refused: it
// matches one byte and so could end a piece inside a character.
constexpr std::uint32_t compile_options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_CASELESS | PCRE2_ALT_BSUX |
                                          PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                                          PCRE2_ALLOW_EMPTY_CLASS | PCRE2_NEVER_BACKSLASH_C;

// An empty match never wins: it would leave the line where it is.
constexpr std::uint32_t match_options = PCRE2_NOTEMPTY;

// PCRE2 wants a real pointer even for an empty text.
constexpr char empty_text[1] = {0};

PCRE2_SPTR8 pointer_to(std::string_view text) {
    return reinterpret_cast<PCRE2_SPTR8>(text.empty() ? empty_text : text.data());
}

std::string error_text(int code) {
    // PCRE2 blames "the application", which means nothing to the one who wrote the filter.
    if (code == PCRE2_ERROR_BACKSLASH_C_CALLER_DISABLED) {
        return "\\C is not allowed (it can match half of a character)";
    }
    PCRE2_UCHAR8 buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (n < 0) return "unknown error";
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

// Where the next run of valid UTF-8 begins after a byte that is part of no character, at or
// after `from` (which begins a character or is such a byte); text.size() when there is none.
std::size_t next_run_after_invalid(std::string_view text, std::size_t from) {
    std::size_t i = io::utf8::first_invalid(text, from);
    while (i < text.size() && io::utf8::sequence_length(text, i) == 0) ++i;
    return i;
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

// What the compiled code knows of the expression that its text tells less exactly.
compiled_code_facts code_facts_of(const pcre2_code* code) {
    compiled_code_facts known;
    pcre2_pattern_info(code, PCRE2_INFO_MAXLOOKBEHIND, &known.max_lookbehind);
    const start_rule rule = start_rule_of(code);
    known.first_code_type = rule.first_code_type;
    known.anchored = rule.anchored;
    return known;
}

// The JIT stack that every matcher searches with. Each search runs alone, so one stack serves
// all: dozens of filters do not reserve dozens of stacks of address space, which a limit on
// it (ulimit -v) would refuse. Where even one is refused, a smaller one is taken; where none
// can be had, JIT code runs on PCRE2's own small stack, and a search too deep for it gives up.
std::shared_ptr<pcre2_jit_stack> shared_jit_stack(std::size_t most_bytes) {
    static std::weak_ptr<pcre2_jit_stack> shared;
    static std::size_t shared_bytes = 0;
    if (std::shared_ptr<pcre2_jit_stack> stack = shared.lock(); stack && shared_bytes == most_bytes) return stack;
    constexpr std::size_t start_bytes = 32 * 1024;
    for (std::size_t bytes = most_bytes; bytes >= start_bytes; bytes /= 2) {
        if (pcre2_jit_stack* made = pcre2_jit_stack_create(start_bytes, bytes, nullptr)) {
            std::shared_ptr<pcre2_jit_stack> stack(made, freed_by<&pcre2_jit_stack_free>());
            shared = stack;
            shared_bytes = most_bytes;
            return stack;
        }
    }
    return nullptr;
}

// One compiled variant of the expression, made when first searched with.
struct compiled_code {
    code_ptr code;        // null until made, or when this variant cannot be made
    bool made = false;    // compiled, and JIT tried
    bool jitted = false;  // JIT compiled it; otherwise the interpreter runs it
};

// The rows of the table of compiled codes.
enum text_kind : std::size_t {
    any_text,    // with UTF: right for every text
    ascii_text,  // without UTF, which is faster, for texts of ASCII characters alone
    text_kinds,
};
constexpr std::size_t anchors = 2;

// `expression` compiled in the filter dialect with `options`; null with `error` and `offset`
// set when it does not compile.
code_ptr compiled(std::string_view expression, std::uint32_t options, int& error, PCRE2_SIZE& offset) {
    const auto cc = created<compile_context_ptr>(pcre2_compile_context_create(nullptr));
    pcre2_set_compile_extra_options(cc.get(), PCRE2_EXTRA_ALT_BSUX);
    pcre2_set_newline(cc.get(), PCRE2_NEWLINE_ANYCRLF);
    return code_ptr(pcre2_compile(pointer_to(expression), expression.size(), options, &error, &offset, cc.get()));
}

// The column of the table of compiled codes.
constexpr std::size_t column(anchor where) { return static_cast<std::size_t>(where); }

}  // namespace

struct matcher::state {
    // [text_kind][anchor]. The ascii_text row is empty when the expression could mean
    // something else without UTF. JIT-compiled code does not honour PCRE2_ANCHORED passed
    // at match time (pcre2_jit_match ignores it, pcre2_match then falls back to the slow
    // interpreter), so an anchored search needs code compiled with PCRE2_ANCHORED: the
    // at_start column holds that.
    // Every code but the unanchored one with UTF, which tells whether the expression is
    // valid, is compiled when first searched with, and JIT compiles each then: start-up,
    // and a run that never needs a variant, pay nothing for it.
    std::array<std::array<compiled_code, anchors>, text_kinds> codes;
    bool ascii_row = false;  // the expression means the same without UTF on ASCII texts
    std::string expression;
    // A plain word (facts.plain_literal) is found without PCRE2, which for a word costs
    // more to call than to search with.
    expression_facts facts;
    match_data_ptr data;
    std::shared_ptr<pcre2_jit_stack> jit_stack;  // before the context that refers to it, so that it outlives it
    match_context_ptr context;
    // When every branch begins with `.*`, PCRE2 tries the expression only at the front and
    // after a line break (or, with (?s), at the front alone): `.*` reaches every other
    // start from there. A byte that is no character stops `.` as well, which PCRE2 does not
    // take into account, so for such an expression the start of each run of valid text after
    // such a byte is tried too.
    bool starts_only_after_breaks = false;

    // One search of `c` in `text` from `offset`; PCRE2's return code.
    int run(const compiled_code& c, std::string_view text, std::size_t offset) const {
        // The JIT entry skips pcre2_match's per-call checks, which cost as much as a short search.
        return c.jitted ? pcre2_jit_match(c.code.get(), pointer_to(text), text.size(), offset, match_options,
                                          data.get(), context.get())
                        : pcre2_match(c.code.get(), pointer_to(text), text.size(), offset, match_options, data.get(),
                                      context.get());
    }

    // The match the last successful search found, in offsets of the text it searched.
    found_match last_match() const {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        return {pcre2_get_startchar(data.get()), ovector[0], ovector[1]};
    }

    search_result search(const search_text& text, std::size_t from, anchor where, found_match& match);
    // The code for `kind` and `where`, made now if it was not; null only for an ascii_text
    // code that cannot be made.
    const compiled_code* code(std::size_t kind, anchor where);
};

matcher::matcher(std::unique_ptr<state> s) : state_(std::move(s)) {}
matcher::~matcher() = default;
matcher::matcher(matcher&&) noexcept = default;
matcher& matcher::operator=(matcher&&) noexcept = default;

value_or_error<matcher, compile_error> matcher::compile(std::string_view expression, const match_limits& limits) {
    // PCRE2 would only say "UTF-8 error"; the user needs to know the text itself is at fault.
    if (const std::size_t invalid = io::utf8::first_invalid(expression); invalid < expression.size()) {
        return compile_error{"invalid character in the locale's encoding",
                             io::utf8::utf16_length(expression.substr(0, invalid))};
    }

    auto s = std::make_unique<state>();
    s->expression.assign(expression);
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ptr& unanchored = s->codes[any_text][column(anchor::unanchored)].code;
    unanchored = compiled(expression, compile_options, error, offset);
    if (unanchored == nullptr) {
        return compile_error{error_text(error), io::utf8::utf16_length(expression.substr(0, offset))};
    }
    const pcre2_code* const unanchored_code = unanchored.get();
    s->facts = read_expression(expression, code_facts_of(unanchored_code));
    const expression_facts& facts = s->facts;

    // `\G` would hold at a start after a byte that is no character, so an expression with it
    // keeps PCRE2's starts.
    if (facts.may_begin_with_dot_star && !facts.asserts_search_start) {
        const code_ptr any_start = compiled(expression, compile_options | PCRE2_NO_DOTSTAR_ANCHOR, error, offset);
        // It compiled without that option, so only memory can have run out.
        if (any_start == nullptr) throw std::bad_alloc();
        s->starts_only_after_breaks = start_rule_of(unanchored_code) != start_rule_of(any_start.get());
    }

    s->ascii_row = facts.gains_without_utf && facts.same_without_utf_on_ascii;

    s->data = created<match_data_ptr>(pcre2_match_data_create(1, nullptr));
    s->context = created<match_context_ptr>(pcre2_match_context_create(nullptr));
    s->jit_stack = shared_jit_stack(limits.jit_stack_bytes);
    if (s->jit_stack != nullptr) pcre2_jit_stack_assign(s->context.get(), nullptr, s->jit_stack.get());
    pcre2_set_match_limit(s->context.get(), limits.steps);
    pcre2_set_depth_limit(s->context.get(), limits.depth);
    pcre2_set_heap_limit(s->context.get(), limits.heap_kib);

    matcher m(std::move(s));
    m.reaches_behind_start_ = m.state_->facts.reaches_behind_start;
    m.sees_start_of_text_ = m.state_->facts.sees_start_of_text;
    return m;
}

std::string_view matcher::expression() const { return state_->expression; }

const expression_facts& matcher::facts() const { return state_->facts; }

search_result matcher::search(const search_text& text, std::size_t from, anchor where, found_match& match) {
    return state_->search(text, from, where, match);
}

const compiled_code* matcher::state::code(std::size_t kind, anchor where) {
    compiled_code& c = codes[kind][column(where)];
    if (c.made) return c.code != nullptr ? &c : nullptr;
    c.made = true;
    if (c.code == nullptr) {
        constexpr std::uint32_t without_utf = compile_options & ~(PCRE2_UTF | PCRE2_MATCH_INVALID_UTF);
        const std::uint32_t options =
            (kind == ascii_text ? without_utf : compile_options) | (where == anchor::at_start ? PCRE2_ANCHORED : 0);
        int error = 0;
        PCRE2_SIZE offset = 0;
        c.code = compiled(expression, options, error, offset);
        if (c.code == nullptr) {
            // The expression compiled with UTF; only the ASCII variant can fail, and then the
            // codes with UTF serve ASCII texts as well.
            if (kind == ascii_text) {
                ascii_row = false;
                return nullptr;
            }
            throw std::bad_alloc();
        }
    }
    // Without JIT (an expression it does not support, or one that asks for none with
    // (*NO_JIT), for which pcre2_jit_compile succeeds and makes nothing) the interpreter
    // runs, under the depth and heap limits; both are correct, JIT is only faster.
    std::size_t jit_size = 0;
    c.jitted = pcre2_jit_compile(c.code.get(), PCRE2_JIT_COMPLETE) == 0 &&
               pcre2_pattern_info(c.code.get(), PCRE2_INFO_JITSIZE, &jit_size) == 0 && jit_size > 0;
    return &c;
}

search_result matcher::state::search(const search_text& text, std::size_t from, anchor where, found_match& match) {
    if (const std::string& literal = facts.plain_literal; !literal.empty()) {
        literal_place place = no_place;
        if (where == anchor::unanchored) {
            place = find_folded(text.view(), from, literal, text.may_hold_equivalents());
        } else if (const std::size_t n = folded_match_length(text.view(), from, literal); n != 0) {
            place = {from, n};
        }
        if (place.at >= text.size()) return search_result::none;
        match = {place.at, place.at, place.at + place.length};
        return search_result::found;
    }
    const std::string_view rest(text.view().data() + from, text.size() - from);
    // The text is asked only when the answer picks the code: the first question scans it.
    const compiled_code* chosen = ascii_row && text.is_ascii() ? code(ascii_text, where) : nullptr;
    if (chosen == nullptr) chosen = code(any_text, where);
    const bool at_start = where == anchor::at_start;
    const int rc = run(*chosen, rest, 0);
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) return search_result::gave_up;
    std::optional<found_match> found;
    if (rc >= 0) {
        // Without JIT, an anchored expression is tried again at the start of each run of
        // valid text after an invalid byte; such a match did not start at the front.
        if (at_start && pcre2_get_startchar(data.get()) != 0) return search_result::none;
        found = last_match();
    }
    if (starts_only_after_breaks && !at_start && !text.is_ascii()) {
        // The starts PCRE2 left out: each run of valid text after an invalid byte, up to the
        // attempt that succeeded. A match from there cannot cross the next invalid byte.
        const compiled_code& anchored = *code(any_text, anchor::at_start);
        const std::size_t limit = found ? found->attempt : rest.size();
        for (std::size_t start = next_run_after_invalid(rest, 0); start < limit;
             start = next_run_after_invalid(rest, start)) {
            const int at = run(anchored, rest, start);
            if (at == PCRE2_ERROR_NOMATCH) continue;
            if (at < 0) return search_result::gave_up;
            if (pcre2_get_startchar(data.get()) != start) continue;  // the interpreter's retry further on
            found = last_match();
            break;
        }
    }
    if (!found) return search_result::none;
    match = {found->attempt + from, found->begin + from, found->end + from};
    return search_result::found;
}

}  // namespace huecast

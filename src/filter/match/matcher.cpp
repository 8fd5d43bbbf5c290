#include "filter/match/matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <vector>

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

// The JIT stacks that every matcher searches with, one for each size that a line may need:
// a line gets a stack of memory_per_byte times its length, within the limits, so that the
// memory a search may take grows with the line, not to the ceiling on every line. Each
// search runs alone, so one stack of a size serves all matchers. A stack reserves address
// space when made and takes memory only as used; where the system refuses one (ulimit -v),
// the address space is short, and a quarter of the most that fits is taken, since the most
// that fits would leave the lines next to nothing; where none can be had JIT code runs on
// PCRE2's own small stack, and a search too deep for it gives up.
class jit_stacks {
public:
    explicit jit_stacks(const match_limits& limits) : limits_(limits) {}
    ~jit_stacks() {
        for (pcre2_jit_stack* s : made_) {
            if (s != nullptr) pcre2_jit_stack_free(s);
        }
    }
    jit_stacks(const jit_stacks&) = delete;
    jit_stacks& operator=(const jit_stacks&) = delete;

    // The stack for a text of `bytes`; null where none can be had.
    pcre2_jit_stack* for_text(std::size_t bytes) {
        const std::size_t wanted = std::clamp(bytes * limits_.memory_per_byte, limits_.least_memory, limits_.most_memory);
        std::size_t size_class = 0;
        while (size_class + 1 < classes && (limits_.least_memory << size_class) < wanted) ++size_class;
        pcre2_jit_stack*& stack = made_[size_class];
        if (stack == nullptr && !tried_[size_class]) {
            tried_[size_class] = true;
            constexpr std::size_t start_bytes = 32 * 1024;
            const std::size_t whole = limits_.least_memory << size_class;
            stack = pcre2_jit_stack_create(start_bytes, whole, nullptr);
            for (std::size_t most = whole / 2; stack == nullptr && most / 4 >= start_bytes; most /= 2) {
                if (pcre2_jit_stack* fits = pcre2_jit_stack_create(start_bytes, most, nullptr)) {
                    pcre2_jit_stack_free(fits);
                    stack = pcre2_jit_stack_create(start_bytes, most / 4, nullptr);
                    break;
                }
            }
        }
        return stack;
    }
    const match_limits& limits() const { return limits_; }

    // JIT code made so far by the matchers that share these stacks, and whether `bytes` more
    // may be made: beyond most_jit_bytes in all, the interpreter runs what is left, which is
    // as correct and takes far less memory.
    bool may_add_jit_code() const { return jit_bytes_ < most_jit_bytes; }
    void add_jit_code(std::size_t bytes) { jit_bytes_ += bytes; }

private:
    static constexpr std::size_t classes = 16;
    static constexpr std::size_t most_jit_bytes = std::size_t{256} << 20;
    std::size_t jit_bytes_ = 0;
    match_limits limits_;
    std::array<pcre2_jit_stack*, classes> made_{};
    std::array<bool, classes> tried_{};
};

// The stacks for `limits`, shared by every matcher made with the same.
std::shared_ptr<jit_stacks> shared_jit_stacks(const match_limits& limits) {
    static std::weak_ptr<jit_stacks> shared;
    if (std::shared_ptr<jit_stacks> stacks = shared.lock();
        stacks && stacks->limits().memory_per_byte == limits.memory_per_byte &&
        stacks->limits().least_memory == limits.least_memory && stacks->limits().most_memory == limits.most_memory) {
        return stacks;
    }
    auto stacks = std::make_shared<jit_stacks>(limits);
    shared = stacks;
    return stacks;
}

// The bytes that a match attempt may begin with, as the compiled code knows them: its one
// first code unit (in both ASCII cases, since the expression ignores case: PCRE2 names one
// only where no other character folds to it), or its table of first code units. False when
// it knows neither.
bool first_bytes_of(const pcre2_code* code, std::array<bool, 256>& bytes) {
    std::uint32_t type = 0;
    pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODETYPE, &type);
    if (type == 1) {
        std::uint32_t unit = 0;
        pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODEUNIT, &unit);
        if (unit > 0xFF) return false;
        bytes[unit] = true;
        if (unit < 0x80 && std::isalpha(static_cast<int>(unit)) != 0) bytes[unit ^ 0x20] = true;
        return true;
    }
    const std::uint8_t* table = nullptr;
    pcre2_pattern_info(code, PCRE2_INFO_FIRSTBITMAP, &table);
    if (table == nullptr) return false;
    for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b] = (table[b / 8] >> (b % 8) & 1) != 0;
    return true;
}

// The limit that a search's error code says it reached.
limit_reached limit_of(int code) {
    switch (code) {
        case PCRE2_ERROR_MATCHLIMIT:
            return limit_reached::steps;
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_NOMEMORY:
            return limit_reached::memory;
        case PCRE2_ERROR_JIT_STACKLIMIT:
            return limit_reached::stack;
        case PCRE2_ERROR_DEPTHLIMIT:
            return limit_reached::depth;
        default:
            return limit_reached::other;
    }
}

// A search's first try may take this many steps, each try after that eight times as many as
// the one before, until the budget is spent: an ordinary search takes a handful and is done
// at the first try, and a runaway one is charged at most about what it ran.
constexpr std::uint64_t first_try_steps = 16;
constexpr std::uint64_t try_growth = 8;

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
    // The groups that report_groups asked for, of the last match found, in offsets of the
    // text that search was given; none asked for, none kept.
    std::vector<group_span> groups;
    std::shared_ptr<jit_stacks> stacks;  // before the context that refers to them, so that they outlive it
    pcre2_jit_stack* stack_now = nullptr;  // the one for the text being searched
    std::size_t memory_for_bytes = ~std::size_t{0};  // the length of line that the limits are set for
    match_context_ptr context;
    match_limits limits;
    // When every branch begins with `.*`, PCRE2 tries the expression only at the front and
    // after a line break (or, with (?s), at the front alone): `.*` reaches every other
    // start from there. A byte that is no character stops `.` as well, which PCRE2 does not
    // take into account, so for such an expression the start of each run of valid text after
    // such a byte is tried too.
    bool starts_only_after_breaks = false;

    // One search of `c` in `text` from `offset`; PCRE2's return code.
    int run_once(const compiled_code& c, std::string_view text, std::size_t offset) const {
        // The JIT entry skips pcre2_match's per-call checks, which cost as much as a short search.
        return c.jitted ? pcre2_jit_match(c.code.get(), pointer_to(text), text.size(), offset, match_options,
                                          data.get(), context.get())
                        : pcre2_match(c.code.get(), pointer_to(text), text.size(), offset, match_options, data.get(),
                                      context.get());
    }

    // The match the last successful search found, in offsets of the text it searched. Its
    // groups are taken now, in offsets of the whole text, `from` on: a later search that
    // fails may leave the match data changed.
    found_match last_match(std::size_t from) {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        if (!groups.empty()) [[unlikely]] take_groups(ovector, from);
        return {pcre2_get_startchar(data.get()), ovector[0], ovector[1]};
    }
    // Kept out of line, away from the searches of the filters that need no groups.
    [[gnu::noinline]] void take_groups(const PCRE2_SIZE* ovector, std::size_t from) {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const PCRE2_SIZE begin = ovector[2 * g + 2];
            groups[g] = begin == PCRE2_UNSET ? group_span{} : group_span{begin + from, ovector[2 * g + 3] + from};
        }
    }

    // One search of `c` in `text` from `offset` within `budget`, tried with a few steps first
    // and more each time the limit is reached, the steps of every try charged; PCRE2's
    // return code, and the limit reached when it gave up.
    int run(const compiled_code& c, std::string_view text, std::size_t offset, search_budget& budget);
    search_result search(const search_text& text, std::size_t from, anchor where, found_match& match,
                         search_budget& budget);
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
        if (error == PCRE2_ERROR_HEAP_FAILED) throw std::bad_alloc();
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
    s->stacks = shared_jit_stacks(limits);
    s->limits = limits;
    // PCRE2 asks for the stack as each search starts: the one for the text being searched.
    pcre2_jit_stack_assign(
        s->context.get(), [](void* state) { return static_cast<matcher::state*>(state)->stack_now; }, s.get());
    pcre2_set_depth_limit(s->context.get(), limits.depth);

    matcher m(std::move(s));
    m.reaches_behind_start_ = m.state_->facts.reaches_behind_start;
    m.sees_start_of_text_ = m.state_->facts.sees_start_of_text;
    m.begins_anywhere_ = !first_bytes_of(unanchored_code, m.first_bytes_);
    return m;
}

std::string_view matcher::expression() const { return state_->expression; }

std::size_t matcher::compiled_bytes() const {
    std::size_t bytes = 0;
    pcre2_pattern_info(state_->codes[any_text][column(anchor::unanchored)].code.get(), PCRE2_INFO_SIZE, &bytes);
    return bytes;
}

const expression_facts& matcher::facts() const { return state_->facts; }

std::size_t matcher::group_count() const {
    std::uint32_t count = 0;
    pcre2_pattern_info(state_->codes[any_text][column(anchor::unanchored)].code.get(), PCRE2_INFO_CAPTURECOUNT, &count);
    return count;
}

void matcher::report_groups(std::size_t count) {
    count = std::min(count, group_count());
    state_->data = created<match_data_ptr>(pcre2_match_data_create(static_cast<std::uint32_t>(count + 1), nullptr));
    state_->groups.assign(count, group_span{});
}

std::span<const group_span> matcher::groups() const { return state_->groups; }

search_result matcher::search(const search_text& text, std::size_t from, anchor where, found_match& match,
                               search_budget& budget) {
    return state_->search(text, from, where, match, budget);
}

search_budget matcher::budget_for(std::size_t bytes) const {
    return {state_->limits.line_steps + state_->limits.steps_per_byte * bytes, limit_reached::none};
}

int matcher::state::run(const compiled_code& c, std::string_view text, std::size_t offset, search_budget& budget) {
    for (std::uint64_t steps = first_try_steps;; steps *= try_growth) {
        steps = std::min(steps, budget.steps);
        if (steps == 0) {
            budget.reached = limit_reached::steps;
            return PCRE2_ERROR_MATCHLIMIT;
        }
        pcre2_set_match_limit(context.get(), static_cast<std::uint32_t>(std::min<std::uint64_t>(steps, UINT32_MAX)));
        const int rc = run_once(c, text, offset);
        budget.steps -= steps;
        if (rc >= 0 || rc == PCRE2_ERROR_NOMATCH) return rc;
        if (rc != PCRE2_ERROR_MATCHLIMIT || budget.steps == 0) {
            budget.reached = limit_of(rc);
            return rc;
        }
    }
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
    c.jitted = stacks->may_add_jit_code() && pcre2_jit_compile(c.code.get(), PCRE2_JIT_COMPLETE) == 0 &&
               pcre2_pattern_info(c.code.get(), PCRE2_INFO_JITSIZE, &jit_size) == 0 && jit_size > 0;
    stacks->add_jit_code(jit_size);
    return &c;
}

search_result matcher::state::search(const search_text& text, std::size_t from, anchor where, found_match& match,
                                      search_budget& budget) {
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
    // The memory a search may take grows with the whole line.
    if (text.size() != memory_for_bytes) {
        memory_for_bytes = text.size();
        const std::size_t memory =
            std::clamp(text.size() * limits.memory_per_byte, limits.least_memory, limits.most_memory);
        pcre2_set_heap_limit(context.get(), static_cast<std::uint32_t>(memory >> 10));
        stack_now = stacks->for_text(text.size());
    }
    const int rc = run(*chosen, rest, 0, budget);
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) return search_result::gave_up;
    std::optional<found_match> found;
    if (rc >= 0) {
        // Without JIT, an anchored expression is tried again at the start of each run of
        // valid text after an invalid byte; such a match did not start at the front.
        if (at_start && pcre2_get_startchar(data.get()) != 0) return search_result::none;
        found = last_match(from);
    }
    if (starts_only_after_breaks && !at_start && !text.is_ascii()) {
        // The starts PCRE2 left out: each run of valid text after an invalid byte, up to the
        // attempt that succeeded. A match from there cannot cross the next invalid byte.
        const compiled_code& anchored = *code(any_text, anchor::at_start);
        const std::size_t limit = found ? found->attempt : rest.size();
        for (std::size_t start = next_run_after_invalid(rest, 0); start < limit;
             start = next_run_after_invalid(rest, start)) {
            const int at = run(anchored, rest, start, budget);
            if (at == PCRE2_ERROR_NOMATCH) continue;
            if (at < 0) return search_result::gave_up;
            if (pcre2_get_startchar(data.get()) != start) continue;  // the interpreter's retry further on
            found = last_match(from);
            break;
        }
    }
    if (!found) return search_result::none;
    match = {found->attempt + from, found->begin + from, found->end + from};
    return search_result::found;
}

}  // namespace huecast

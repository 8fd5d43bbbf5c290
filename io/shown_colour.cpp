#include "io/shown_colour.h"

#include <algorithm>
#include <cstring>

namespace io {
namespace {

constexpr char escape = '\x1b';

// The last ESC in [p, end), or null. Colour output is long runs of text between few
// sequences: memrchr skips the runs at the speed of memory.
const char* last_escape(const char* p, const char* end) {
#if defined(__GLIBC__)
    return static_cast<const char*>(::memrchr(p, escape, static_cast<std::size_t>(end - p)));
#else
    while (end != p) {
        if (*--end == escape) return end;
    }
    return nullptr;
#endif
}

enum class kind { unfinished, sgr, other };

struct parsed {
    kind what;
    const char* end;
};

// The sequence that starts with the ESC at `p`, read no further than `limit`. Only control
// sequences (ESC [) are told apart; any other escape counts as two bytes that set nothing.
parsed parse(const char* p, const char* limit) {
    const char* q = p + 1;
    if (q == limit) return {kind::unfinished, limit};
    if (*q != '[') return {kind::other, q + 1};
    bool plain = true;  // parameters of SGR: digits, ';' and ':', no private marker or intermediate
    for (++q; q < limit; ++q) {
        const auto c = static_cast<unsigned char>(*q);
        if (c >= 0x30 && c <= 0x3F) {
            plain = plain && c <= ';';
        } else if (c >= 0x20 && c <= 0x2F) {
            plain = false;
        } else if (c >= 0x40 && c <= 0x7E) {
            return {c == 'm' && plain ? kind::sgr : kind::other, q + 1};
        } else {
            return {kind::other, q};
        }
    }
    return {kind::unfinished, limit};
}

}  // namespace

void shown_colour::passed(const char* bytes, std::size_t size) {
    const char* p = bytes;
    const char* const end = bytes + size;
    if (unfinished_size_ > 0) {
        p = go_on_with_unfinished(p, end);
        if (unfinished_size_ > 0) return;
    }
    // From the end back: the last sequence may be unfinished; the last SGR sequence says
    // what shows, and nothing before it matters.
    const char* limit = end;
    while (const char* e = last_escape(p, limit)) {
        const parsed s = parse(e, limit);
        const auto size_of_s = static_cast<std::size_t>(s.end - e);
        if (s.what == kind::unfinished && limit == end && size_of_s <= longest) {
            std::memcpy(unfinished_, e, size_of_s);
            unfinished_size_ = size_of_s;
        } else if (s.what == kind::sgr && size_of_s <= longest) {
            set_sequence(e, size_of_s);
            return;
        }
        limit = e;
    }
}

const char* shown_colour::go_on_with_unfinished(const char* p, const char* end) {
    // The sequence so far and the bytes after it, up to an ESC that would abandon it.
    const std::size_t had = unfinished_size_;
    unfinished_size_ = 0;
    const void* next_escape = std::memchr(p, escape, static_cast<std::size_t>(end - p));
    const char* const stop = next_escape != nullptr ? static_cast<const char*>(next_escape) : end;
    const std::size_t more = std::min(static_cast<std::size_t>(stop - p), longest);
    char joined[2 * longest];
    std::memcpy(joined, unfinished_, had);
    std::memcpy(joined + had, p, more);
    const parsed s = parse(joined, joined + had + more);
    if (s.what == kind::unfinished) {
        if (p + more == end && had + more <= longest) {
            std::memcpy(unfinished_, joined, had + more);
            unfinished_size_ = had + more;
        }
        return p + more;
    }
    const auto size_of_s = static_cast<std::size_t>(s.end - joined);
    if (s.what == kind::sgr && size_of_s <= longest) set_sequence(joined, size_of_s);
    return p + (size_of_s - had);
}

void shown_colour::set_sequence(const char* sgr, std::size_t size) {
    // Parameters that are all 0 or empty put the terminal's own colours back.
    const bool resets = std::all_of(sgr + 2, sgr + size - 1, [](char c) { return c == '0' || c == ';'; });
    sequence_size_ = 0;
    if (resets) return;
    std::memcpy(sequence_, sgr, size);
    sequence_size_ = size;
}

}  // namespace io

// The filter colouring loop at its plainest, to check the painter against: every round
// searches every filter in the rest of the line, as a text of its own, from its front, with
// nothing remembered and nothing ruled out beforehand, and always with PCRE2; the earliest
// start wins, the front filter a tie; the next round starts at the winner's end. Each byte
// of the winner gets its style on its own, from every group that holds it; the pieces are
// the runs of bytes alike (plain, or of one match in one style).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "filter/paint/painter.h"

namespace huecast::testing {

using qel::ColourAttribute;

struct filter_text {
    ColourAttribute attribute;
    std::string text;
    // The styles of groups 1, 2, ... (at most the expression's groups); and whether the
    // match's style is empty, so that the match is left as it is but for its groups.
    std::vector<std::optional<text_colour>> group_styles = {};
    bool plain_match = false;
};

// Segments as the painter gives them. `gave_up` is set when some search hit a limit.
std::vector<segment> reference_paint(const std::vector<filter_text>& filters, std::string_view line,
                                     bool& gave_up, const match_limits& limits = {});

// A painter over the same filters, compiled once.
painter make_painter(const std::vector<filter_text>& filters, const match_limits& limits = {});

// The matcher's promises that the painter rests on, for one search from inside `line`: it
// finds what a search of text[from, end) alone finds, with or without UTF, and an anchored
// search at `from` finds a match exactly when the first match's attempt begins there, and
// then the same one. Returns which promise is broken, or nullptr; `gave_up` is set when
// some search hit a limit, and then nothing was compared.
const char* broken_search_promise(matcher& expression, std::string_view line, std::size_t from, bool& gave_up);

// The colour of an attribute word, for writing expected segments.
constexpr text_colour colour_of(ColourAttribute word) { return text_colour::from_attribute(word); }

}  // namespace huecast::testing

namespace huecast {

// Readable failure messages: "[7,9)=0b" for a coloured piece, "[4,7)" for a plain one.
inline void PrintTo(const segment& s, std::ostream* os) {
    *os << '[' << s.begin << ',' << s.end << ')';
    if (s.colour) {
        *os << '=' << std::hex << static_cast<unsigned>(s.colour->background().console())
            << static_cast<unsigned>(s.colour->text().console()) << std::dec;
    }
}

}  // namespace huecast

#include "colour/parse_style.h"

#include <algorithm>
#include <array>
#include <optional>

namespace huecast {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_word(std::string_view written, std::string_view name) {
    if (written.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (lower(written[i]) != name[i]) return false;
    }
    return true;
}

int hex_value(char c) {
    const char l = lower(c);
    if (l >= '0' && l <= '9') return l - '0';
    if (l >= 'a' && l <= 'f') return l - 'a' + 10;
    return -1;
}

struct attribute_name {
    std::string_view name;
    text_attribute attribute;
};
constexpr std::array<attribute_name, 8> attribute_names = {{
    {"bold", text_attribute::bold},
    {"dim", text_attribute::dim},
    {"italic", text_attribute::italic},
    {"ul", text_attribute::underline},
    {"underline", text_attribute::underline},
    {"blink", text_attribute::blink},
    {"reverse", text_attribute::reverse},
    {"strike", text_attribute::strike},
}};

// In ANSI order, the number of each.
constexpr std::array<std::string_view, 8> colour_names = {"black", "red",     "green", "yellow",
                                                          "blue",  "magenta", "cyan",  "white"};

std::optional<text_attribute> attribute_of(std::string_view word) {
    for (const auto& [name, attribute] : attribute_names) {
        if (same_word(word, name)) return attribute;
    }
    return std::nullopt;
}

// A colour word, or the fault that it is none.
value_or_error<colour_value, style_error::fault> colour_of(std::string_view word) {
    if (same_word(word, "normal") || same_word(word, "default")) return colour_value();
    const bool bright = word.size() > 6 && same_word(word.substr(0, 6), "bright");
    const std::string_view hue = bright ? word.substr(6) : word;
    for (std::size_t i = 0; i < colour_names.size(); ++i) {
        if (same_word(hue, colour_names[i])) {
            return colour_value::basic(static_cast<std::uint8_t>(i + (bright ? 8 : 0)));
        }
    }
    if (word.front() >= '0' && word.front() <= '9') {
        unsigned number = 0;
        for (const char c : word) {
            if (c < '0' || c > '9') return style_error::fault::unknown_word;
            // Beyond 255 it only has to stay out of range, however many digits follow.
            number = std::min(number * 10 + static_cast<unsigned>(c - '0'), 256u);
        }
        if (number > 255) return style_error::fault::out_of_range;
        return colour_value::palette(static_cast<std::uint8_t>(number));
    }
    if (word.front() == '#' && (word.size() == 4 || word.size() == 7)) {
        std::array<int, 6> digits{};
        const std::size_t count = word.size() - 1;
        for (std::size_t i = 0; i < count; ++i) {
            digits[i] = hex_value(word[i + 1]);
            if (digits[i] < 0) return style_error::fault::unknown_word;
        }
        // #rgb is #rrggbb with each digit twice, as on the web.
        const auto channel = [&](std::size_t i) {
            return static_cast<std::uint8_t>(count == 3 ? digits[i] * 17 : digits[2 * i] * 16 + digits[2 * i + 1]);
        };
        return colour_value::rgb(channel(0), channel(1), channel(2));
    }
    return style_error::fault::unknown_word;
}

}  // namespace

std::string style_error::reason() const {
    const std::string quoted = "'" + word + "'";
    switch (what) {
        case fault::no_words:
            return "a style needs a colour or an attribute";
        case fault::unknown_word:
            if (!word.empty() && word.front() == '#') return quoted + " is no 24-bit colour: write #rrggbb or #rgb";
            return quoted + " is neither a colour nor an attribute";
        case fault::out_of_range:
            return quoted + " is out of range: palette colours are 0 to 255";
        case fault::third_colour:
            return quoted + " is a third colour: a style has a text colour and a background";
    }
    return quoted + " is not understood";
}

value_or_error<text_colour, style_error> parse_style(std::string_view text) {
    if (text.size() == 2 && hex_value(text[0]) >= 0 && hex_value(text[1]) >= 0) {
        return text_colour::from_attribute(
            static_cast<qel::ColourAttribute>(hex_value(text[0]) << 4 | hex_value(text[1])));
    }
    std::array<colour_value, 2> colours;
    std::size_t colour_count = 0;
    text_attribute attributes = text_attribute::none;
    bool any_word = false;
    for (std::size_t at = 0; at < text.size();) {
        if (is_blank(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !is_blank(text[end])) ++end;
        const std::string_view word = text.substr(at, end - at);
        at = end;
        any_word = true;
        if (const auto attribute = attribute_of(word)) {
            attributes = attributes | *attribute;
            continue;
        }
        auto colour = colour_of(word);
        if (!colour) return style_error{colour.error(), std::string(word)};
        if (colour_count == colours.size()) return style_error{style_error::fault::third_colour, std::string(word)};
        colours[colour_count++] = *colour;
    }
    if (!any_word) return style_error{style_error::fault::no_words, ""};
    return text_colour(colours[0], colours[1], attributes);
}

}  // namespace huecast

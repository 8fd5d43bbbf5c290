// Styles as users write them, laid over one another, and the nearest colour an output that
// cannot show one takes instead.
#include <gtest/gtest.h>

#include <string>

#include "colour/nearest_colour.h"
#include "colour/parse_style.h"

namespace {

using huecast::colour_value;
using huecast::console_colour;
using huecast::text_attribute;
using huecast::text_colour;
using fault = huecast::style_error::fault;

constexpr colour_value terminal{};
constexpr colour_value basic(int n) { return colour_value::basic(static_cast<std::uint8_t>(n)); }
constexpr colour_value palette(int n) { return colour_value::palette(static_cast<std::uint8_t>(n)); }
constexpr colour_value rgb(int r, int g, int b) {
    return colour_value::rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b));
}

text_colour style(std::string_view text) {
    const auto parsed = huecast::parse_style(text);
    EXPECT_TRUE(parsed) << text;
    return parsed ? *parsed : text_colour();
}

TEST(ParseStyle, WordsInAnyOrderAndCaseOrAColourCode) {
    const std::pair<std::string_view, text_colour> cases[] = {
        {"0c", text_colour::from_attribute(0x0C)},
        // Two hexadecimal digits are the colour code even where they could be a palette number.
        {"12", text_colour::from_attribute(0x12)},
        {"12 normal", {palette(12), terminal}},
        {" 12", {palette(12), terminal}},
        {"Red BLUE", {basic(1), basic(4)}},
        {"brightred brightBlack", {basic(9), basic(8)}},
        {"normal blue", {terminal, basic(4)}},
        {"default 0", {terminal, palette(0)}},
        {"255 007", {palette(255), palette(7)}},
        {"#F80 #0a0B0c", {rgb(255, 136, 0), rgb(10, 11, 12)}},
        {"bold dim italic ul blink reverse strike", {terminal, terminal, huecast::any_style_attribute}},
        {"underline UL", {terminal, terminal, text_attribute::underline}},
        {"  red \t bold\tblack  ", {basic(1), basic(0), text_attribute::bold}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(style(text), expected) << text;
}

TEST(ParseStyle, RefusesNamingTheBadWord) {
    const struct {
        std::string_view text;
        fault what;
        std::string word;
    } cases[] = {
        {" \t ", fault::no_words, ""},
        {"bold blu", fault::unknown_word, "blu"},
        {"brightnormal", fault::unknown_word, "brightnormal"},
        {"-1", fault::unknown_word, "-1"},
        {"0c bold", fault::unknown_word, "0c"},
        {"#12345", fault::unknown_word, "#12345"},
        {"bold\nred", fault::unknown_word, "bold\nred"},
        {"r\xC3\xA9" "d", fault::unknown_word, "r\xC3\xA9" "d"},
        {"256", fault::out_of_range, "256"},
        {"red 99999999999999999999", fault::out_of_range, "99999999999999999999"},
        {"normal default 7", fault::third_colour, "7"},
    };
    for (const auto& c : cases) {
        const auto parsed = huecast::parse_style(c.text);
        ASSERT_FALSE(parsed) << c.text;
        EXPECT_EQ(parsed.error().what, c.what) << c.text;
        EXPECT_EQ(parsed.error().word, c.word) << c.text;
        if (c.what != fault::no_words) {
            EXPECT_NE(parsed.error().reason().find("'" + c.word + "'"), std::string::npos) << c.text;
        }
    }
}

TEST(Style, LaidOverAnotherTakesWhatItLeavesOpenAndAddsTheAttributes) {
    const struct {
        text_colour upper, lower, expected;
    } cases[] = {
        {style("bold"), style("0c"), text_colour(console_colour::light_red, console_colour::black, text_attribute::bold)},
        {style("blue"), style("yellow red"), style("blue red")},
        {style("normal green"), style("#102030 #405060"), style("#102030 green")},
        {style("0a"), style("ul 200 201"),
         text_colour(console_colour::light_green, console_colour::black, text_attribute::underline)},
        {text_colour::terminal_default(), style("bold 1 2"), style("bold 1 2")},
    };
    for (const auto& c : cases) EXPECT_EQ(c.upper.over(c.lower), c.expected);
}

TEST(NearestColour, OfThePaletteForA24BitColour) {
    const struct {
        int red, green, blue, entry;
    } cases[] = {
        {0, 0, 0, 16},       {255, 255, 255, 231},  {95, 135, 175, 67},   {255, 128, 0, 208},
        {8, 8, 8, 232},      {238, 238, 238, 255},  {100, 100, 100, 241}, {90, 100, 110, 241},
        {115, 115, 115, 243},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(huecast::nearest_palette(static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                                           static_cast<std::uint8_t>(c.blue)),
                  c.entry)
            << c.red << "," << c.green << "," << c.blue;
    }
}

TEST(NearestColour, OfTheConsolesSixteen) {
    const std::pair<colour_value, console_colour> cases[] = {
        {colour_value::code(console_colour::light_aqua), console_colour::light_aqua},
        {basic(1), console_colour::red},
        {basic(11), console_colour::light_yellow},
        {palette(9), console_colour::light_red},
        {palette(232), console_colour::black},
        {palette(244), console_colour::gray},
        {rgb(255, 255, 255), console_colour::bright_white},
        {rgb(128, 0, 0), console_colour::red},
        {rgb(255, 136, 0), console_colour::light_yellow},
        {rgb(0, 0, 200), console_colour::light_blue},
        // Halfway between white and gray: the lower number.
        {rgb(160, 160, 160), console_colour::white},
    };
    for (const auto& [colour, nearest] : cases) EXPECT_EQ(huecast::nearest_console(colour), nearest) << int{colour.number()};
}

}  // namespace

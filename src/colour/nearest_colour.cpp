#include "colour/nearest_colour.h"

#include <array>
#include <cstdlib>

namespace huecast {
namespace {

struct rgb {
    int red, green, blue;
};

int distance(rgb a, rgb b) {
    const int r = a.red - b.red, g = a.green - b.green, b_ = a.blue - b.blue;
    return r * r + g * g + b_ * b_;
}

constexpr std::array<int, 6> cube_levels = {0, 95, 135, 175, 215, 255};

int nearest_level(int v) {
    int best = 0;
    for (int i = 1; i < 6; ++i) {
        if (std::abs(v - cube_levels[i]) < std::abs(v - cube_levels[best])) best = i;
    }
    return best;
}

rgb palette_rgb(std::uint8_t n) {
    if (n >= 232) {
        const int grey = 8 + 10 * (n - 232);
        return {grey, grey, grey};
    }
    const int i = n - 16;
    return {cube_levels[i / 36], cube_levels[i / 6 % 6], cube_levels[i % 6]};
}

// The console's colours before a scheme could be chosen, in its own order; terminals show
// the sixteen much alike.
constexpr std::array<rgb, 16> console_table = {{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};

// ANSI orders the colour bits red, green, blue; the console blue, green, red.
console_colour from_ansi(std::uint8_t ansi) {
    const unsigned v = ansi & 15u;
    return static_cast<console_colour>((v & 8u) | (v & 1u) << 2 | (v & 2u) | (v & 4u) >> 2);
}

console_colour nearest_in_table(rgb c) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < console_table.size(); ++i) {
        if (distance(c, console_table[i]) < distance(c, console_table[best])) best = i;
    }
    return static_cast<console_colour>(best);
}

}  // namespace

std::uint8_t nearest_palette(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const rgb c{red, green, blue};
    // The cube's levels are the same for each of the three, so its nearest entry is the
    // nearest level of each; the ramp's is one of its 24 greys.
    const int r = nearest_level(red), g = nearest_level(green), b = nearest_level(blue);
    const rgb in_cube{cube_levels[r], cube_levels[g], cube_levels[b]};
    int best_grey = 0;
    for (int k = 1; k < 24; ++k) {
        if (distance(c, palette_rgb(static_cast<std::uint8_t>(232 + k))) <
            distance(c, palette_rgb(static_cast<std::uint8_t>(232 + best_grey)))) {
            best_grey = k;
        }
    }
    if (distance(c, palette_rgb(static_cast<std::uint8_t>(232 + best_grey))) < distance(c, in_cube)) {
        return static_cast<std::uint8_t>(232 + best_grey);
    }
    return static_cast<std::uint8_t>(16 + 36 * r + 6 * g + b);
}

console_colour nearest_console(colour_value colour) {
    switch (colour.what()) {
        case colour_value::kind::code:
            return colour.console();
        case colour_value::kind::basic:
            return from_ansi(colour.number());
        case colour_value::kind::palette:
            if (colour.number() < 16) return from_ansi(colour.number());
            return nearest_in_table(palette_rgb(colour.number()));
        case colour_value::kind::rgb:
            return nearest_in_table({colour.red(), colour.green(), colour.blue()});
        case colour_value::kind::terminal:
            break;
    }
    return console_colour::white;
}

}  // namespace huecast

// A piece of a line as the painter cuts it and the printer writes it.
#pragma once

#include <cstddef>
#include <optional>

#include "colour/colour.h"

namespace huecast {

// [begin, end) of the line, in `colour` or, without one, written as it is.
struct segment {
    std::size_t begin;
    std::size_t end;
    std::optional<text_colour> colour;
    friend bool operator==(const segment&, const segment&) = default;
};

}  // namespace huecast

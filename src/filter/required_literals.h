// What every match of a filter expression must contain, read from the expression's text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "filter/case_folding.h"

namespace huecast {

struct required_literals {
    // Every text in which the expression finds a non-empty match (from any start, in any
    // line) contains at least one of these, compared as folded_unit folds. Empty: nothing
    // is known, and the expression must always be searched.
    std::vector<std::u16string> any_of;  // folded (lower-case ASCII), each non-empty
};

// Never wrong, often empty: what the reader does not understand for certain gives nothing.
required_literals find_required_literals(std::u16string_view expression);

}  // namespace huecast

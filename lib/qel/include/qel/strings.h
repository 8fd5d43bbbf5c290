// In-place operations on wide strings.
#pragma once

#include <string>

namespace qel {

// Removes enclosing pairs of `open` ... `close` (a `close` of 0 means `open`), once per
// level of nesting. A lone `open` left at the end is removed too. Always returns 0.
int strip_pairs(std::u16string& text, char16_t open, char16_t close);

}  // namespace qel

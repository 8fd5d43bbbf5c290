// In-place operations on wide strings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qel {

// Removes enclosing pairs of `open` ... `close` (a `close` of 0 means `open`), once per
// level of nesting. A lone `open` left at the end is removed too. Always returns 0.
int strip_pairs(std::u16string& text, char16_t open, char16_t close);

// Removes leading characters that are in `set`.
void TrimLeft(std::u16string& s, std::u16string_view set);
// Removes trailing characters that are in `set`.
void TrimRight(std::u16string& s, std::u16string_view set);
// TrimLeft with `left`, then TrimRight with `right`, or with `left` when `right` is absent.
void Trim(std::u16string& s, std::u16string_view left,
          std::optional<std::u16string_view> right = std::nullopt);

// Replaces every occurrence of `placeholder` in `s`, scanning left to right: occurrences
// never overlap and inserted text is never scanned again. Returns the number replaced;
// an empty placeholder replaces nothing.
std::size_t ReplaceAll(std::u16string& s, std::u16string_view placeholder,
                       std::u16string_view replacement);

}  // namespace qel

#include "qel/strings.h"

namespace qel {

int strip_pairs(std::u16string& text, char16_t open, char16_t close) {
    if (close == 0) close = open;
    while (!text.empty() && text.front() == open && text.back() == close) {
        text.erase(0, 1);
        // A text that was a single `open` has no last character left to remove.
        if (!text.empty()) text.pop_back();
    }
    return 0;
}

void TrimLeft(std::u16string& s, std::u16string_view set) {
    const std::size_t first = s.find_first_not_of(set.data(), 0, set.size());
    s.erase(0, first == std::u16string::npos ? s.size() : first);
}

void TrimRight(std::u16string& s, std::u16string_view set) {
    const std::size_t last = s.find_last_not_of(set.data(), std::u16string::npos, set.size());
    s.erase(last == std::u16string::npos ? 0 : last + 1);
}

void Trim(std::u16string& s, std::u16string_view left, std::optional<std::u16string_view> right) {
    TrimLeft(s, left);
    TrimRight(s, right.value_or(left));
}

std::size_t ReplaceAll(std::u16string& s, std::u16string_view placeholder,
                       std::u16string_view replacement) {
    if (placeholder.empty()) return 0;
    std::size_t at = s.find(placeholder.data(), 0, placeholder.size());
    if (at == std::u16string::npos) return 0;
    std::u16string out;
    std::size_t from = 0, replaced = 0;
    for (; at != std::u16string::npos; at = s.find(placeholder.data(), from, placeholder.size())) {
        out.append(s, from, at - from).append(replacement);
        from = at + placeholder.size();
        ++replaced;
    }
    out.append(s, from);
    s = std::move(out);
    return replaced;
}

}  // namespace qel

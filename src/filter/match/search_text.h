// A line as the matcher searches it (UTF-8, as it lies), together with what is learnt about
// it once and then kept for every search of that line. It refers to the line: the line must
// outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace huecast {

class search_text {
public:
    explicit search_text(std::string_view text) noexcept : text_(text) {}

    std::string_view view() const noexcept { return text_; }
    std::size_t size() const noexcept { return text_.size(); }

    // True when every byte is below 0x80; then so is every part of the text. The text is
    // read on the first call only.
    bool is_ascii() const {
        if (ascii_ == learnt::unknown) ascii_ = all_below_0080(text_) ? learnt::yes : learnt::no;
        return ascii_ == learnt::yes;
    }
    // False when the text holds none of the characters outside ASCII that fold to an ASCII
    // letter (case_folding.h); true is never wrong. Read on the first call only.
    bool may_hold_equivalents() const {
        if (equivalents_ == learnt::unknown) {
            equivalents_ = !is_ascii() && holds_equivalent(text_) ? learnt::yes : learnt::no;
        }
        return equivalents_ == learnt::yes;
    }

private:
    enum class learnt : std::uint8_t { unknown, yes, no };

    static bool all_below_0080(std::string_view text) noexcept;
    static bool holds_equivalent(std::string_view text) noexcept;

    std::string_view text_;
    // A cache, not a part of the value: a search that reads a const text may fill it.
    mutable learnt ascii_ = learnt::unknown;
    mutable learnt equivalents_ = learnt::unknown;
};

}  // namespace huecast

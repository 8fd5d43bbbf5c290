// The bytes of one Windows code page, single- or double-byte, as UTF-8 text. It keeps the
// io::codec promises: a byte or pair of bytes counts as a character only when the code page
// writes that character back as exactly those bytes; any other byte (or a lead byte without
// its second byte) becomes an escaped byte and is written back as the same byte, and a
// character the code page cannot represent is written as "?" while writing goes on.
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <vector>

#include "io/codec.h"

namespace platform {

class code_page_codec final : public io::codec {
public:
    // `code_page` must be one the system supports (see is_usable_code_page).
    explicit code_page_codec(unsigned code_page);

    void decode(std::string_view bytes, std::string& text) const override;
    void encode(std::string_view text, std::string& bytes) const override;

    unsigned code_page() const { return code_page_; }
    bool double_byte() const { return double_byte_; }
    // True for a byte that starts a two-byte character.
    bool is_lead_byte(unsigned char byte) const { return lead_bytes_[byte]; }
    // The length of `bytes` without a last lead byte that still waits for its second byte,
    // pairing bytes exactly as decode does.
    std::size_t complete_prefix(std::string_view bytes) const override;

private:
    // The character of a lead byte and the byte after it, or a marker when they are none.
    char16_t pair(unsigned char lead, unsigned char trail) const { return pairs_[pair_index_[lead] * 256u + trail]; }
    void encode_run(std::u16string_view run, std::string& bytes) const;
    // The UTF-8 text of byte b standing alone: its character, or the escaped byte.
    struct single_text {
        std::uint8_t length = 0;
        std::array<char, 3> bytes{};
    };

    unsigned code_page_;
    bool double_byte_ = false;
    std::bitset<256> lead_bytes_;
    std::array<char16_t, 256> single_{};
    std::array<single_text, 256> single_text_{};
    // For a double-byte code page: the character of lead byte L and second byte T at
    // pair_index_[L] * 256 + T, or no_character.
    std::array<std::uint8_t, 256> pair_index_{};
    std::vector<char16_t> pairs_;
};

// True for a code page that the system converts and that can serve as the process code
// page: not 0, and not the UTF-7 or UTF-8 pseudo code pages.
bool is_usable_code_page(unsigned code_page);

}  // namespace platform
